#!/usr/bin/env python3
"""Writes the short video clips of data/cutscenes (Windows Media video in ASF
files, the intro with a tone as its sound) with the ffmpeg program.

Every frame names its clip and its number, for people and for tests:
- the top quarter holds 8 cells, the clip's id in binary (most significant bit
  left, white = 1), the next quarter 8 cells with the frame number the same way;
- the lower half shows the clip's name and the frame number as text.
Cells are W // 8 pixels wide; columns right of the last cell are grey.

Run from anywhere: python3 scripts/make_video_data.py (needs ffmpeg). The output
is committed."""
import os
import subprocess

ROOT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "data", "cutscenes")

# (file, id, label, width, height, frames per second, frames, tone in Hz or 0,
#  colour of the lower half as B, G, R)
CLIPS = [
    ("intro_movie.wmv", 1, "intro", 160, 120, 15, 30, 440, (160, 60, 20)),
    ("Menuvideo.wmv", 2, "menu", 162, 90, 10, 15, 0, (40, 120, 40)),
    ("cutscene1_walker.wmv", 3, "walker", 128, 96, 10, 12, 0, (30, 30, 150)),
    ("cutscene1_jolie.wmv", 4, "jolie", 128, 96, 10, 12, 0, (150, 30, 150)),
    ("cutscene1_jack.wmv", 5, "jack", 128, 96, 10, 12, 0, (30, 140, 160)),
]

# 5 x 7 glyphs, one string of five characters per row.
GLYPHS = {
    "a": [".....", ".....", ".###.", "....#", ".####", "#...#", ".####"],
    "c": [".....", ".....", ".###.", "#....", "#....", "#...#", ".###."],
    "e": [".....", ".....", ".###.", "#...#", "#####", "#....", ".###."],
    "i": ["..#..", ".....", ".##..", "..#..", "..#..", "..#..", ".###."],
    "j": ["...#.", ".....", "..##.", "...#.", "...#.", "#..#.", ".##.."],
    "k": ["#....", "#....", "#..#.", "#.#..", "##...", "#.#..", "#..#."],
    "l": [".##..", "..#..", "..#..", "..#..", "..#..", "..#..", ".###."],
    "m": [".....", ".....", "##.#.", "#.#.#", "#.#.#", "#...#", "#...#"],
    "n": [".....", ".....", "#.##.", "##..#", "#...#", "#...#", "#...#"],
    "o": [".....", ".....", ".###.", "#...#", "#...#", "#...#", ".###."],
    "r": [".....", ".....", "#.##.", "##..#", "#....", "#....", "#...."],
    "t": [".#...", ".#...", "####.", ".#...", ".#...", ".#..#", "..##."],
    "u": [".....", ".....", "#...#", "#...#", "#...#", "#..##", ".##.#"],
    "w": [".....", ".....", "#...#", "#...#", "#.#.#", "#.#.#", ".#.#."],
    "0": [".###.", "#...#", "#..##", "#.#.#", "##..#", "#...#", ".###."],
    "1": ["..#..", ".##..", "..#..", "..#..", "..#..", "..#..", ".###."],
    "2": [".###.", "#...#", "....#", "...#.", "..#..", ".#...", "#####"],
    "3": ["#####", "...#.", "..#..", "...#.", "....#", "#...#", ".###."],
    "4": ["...#.", "..##.", ".#.#.", "#..#.", "#####", "...#.", "...#."],
    "5": ["#####", "#....", "####.", "....#", "....#", "#...#", ".###."],
    "6": ["..##.", ".#...", "#....", "####.", "#...#", "#...#", ".###."],
    "7": ["#####", "....#", "...#.", "..#..", ".#...", ".#...", ".#..."],
    "8": [".###.", "#...#", "#...#", ".###.", "#...#", "#...#", ".###."],
    "9": [".###.", "#...#", "#...#", ".####", "....#", "...#.", ".##.."],
    " ": [".....", ".....", ".....", ".....", ".....", ".....", "....."],
}


def frame_bytes(clip_id, label, width, height, number, colour):
    pixels = bytearray(width * height * 3)

    def put(x, y, bgr):
        if 0 <= x < width and 0 <= y < height:
            i = (y * width + x) * 3
            pixels[i:i + 3] = bytes(bgr)

    cell = width // 8
    quarter = height // 4
    for y in range(height):
        for x in range(width):
            if y < 2 * quarter:
                value = clip_id if y < quarter else number
                if x >= 8 * cell:
                    bgr = (128, 128, 128)
                else:
                    bit = (value >> (7 - x // cell)) & 1
                    bgr = (255, 255, 255) if bit else (0, 0, 0)
            else:
                bgr = colour
            put(x, y, bgr)

    text = "%s %02d" % (label, number)
    scale = 2 if len(text) * 12 <= width else 1
    x0 = max(0, (width - len(text) * 6 * scale) // 2)
    y0 = 2 * quarter + max(0, (height - 2 * quarter - 7 * scale) // 2)
    for k, ch in enumerate(text):
        for row, line in enumerate(GLYPHS[ch]):
            for col, mark in enumerate(line):
                if mark != "#":
                    continue
                for dy in range(scale):
                    for dx in range(scale):
                        put(x0 + (k * 6 + col) * scale + dx, y0 + row * scale + dy, (255, 255, 255))
    return bytes(pixels)


def main():
    os.makedirs(ROOT, exist_ok=True)
    for name, clip_id, label, width, height, fps, frames, tone, colour in CLIPS:
        out = os.path.join(ROOT, name)
        seconds = frames / fps
        cmd = ["ffmpeg", "-y", "-hide_banner", "-loglevel", "error",
               "-f", "rawvideo", "-pix_fmt", "bgr24", "-s", "%dx%d" % (width, height), "-r", str(fps), "-i", "-"]
        if tone:
            cmd += ["-f", "lavfi", "-i", "sine=frequency=%d:duration=%g:sample_rate=22050" % (tone, seconds)]
        cmd += ["-map", "0:v"] + (["-map", "1:a", "-c:a", "wmav2", "-b:a", "32k", "-ac", "1"] if tone else [])
        cmd += ["-c:v", "wmv2", "-q:v", "2", "-g", str(fps), "-fflags", "+bitexact", "-flags", "+bitexact",
                "-map_metadata", "-1", out]
        data = b"".join(frame_bytes(clip_id, label, width, height, n, colour) for n in range(frames))
        subprocess.run(cmd, input=data, check=True)
        print("wrote", out)


if __name__ == "__main__":
    main()
