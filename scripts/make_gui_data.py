#!/usr/bin/env python3
"""Writes the generated pictures of data/gui: the imageset pictures, the loading
screens (PNG data under the .dds names the game asks for; CEGUI reads pictures by
content) and the hardware-cursor textures (uncompressed 32-bit TGA).

Run from anywhere: python3 scripts/make_gui_data.py. The output is committed."""
import os
import struct
import zlib

ROOT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "data", "gui")


def png(path, width, height, pixel):
    """pixel(x, y) -> (r, g, b, a)."""
    rows = b"".join(b"\0" + b"".join(bytes(pixel(x, y)) for x in range(width)) for y in range(height))

    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF)

    data = b"\x89PNG\r\n\x1a\n"
    data += chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0))
    data += chunk(b"IDAT", zlib.compress(rows, 9))
    data += chunk(b"IEND", b"")
    write(path, data)


def tga(path, width, height, pixel):
    header = struct.pack("<BBBHHBHHHHBB", 0, 0, 2, 0, 0, 0, 0, 0, width, height, 32, 0x28)
    body = b"".join(bytes((b, g, r, a)) for y in range(height) for x in range(width) for r, g, b, a in [pixel(x, y)])
    write(path, header + body)


def write(path, data):
    full = os.path.join(ROOT, path)
    os.makedirs(os.path.dirname(full), exist_ok=True)
    with open(full, "wb") as f:
        f.write(data)


def arrow(x, y):
    """A 32x32 arrow pointer: white with a black outline, transparent around it."""
    if y >= 24 or x > y // 2 + 1:
        return (0, 0, 0, 0)
    edge = x == 0 or x == y // 2 + 1 or y == 23
    return (0, 0, 0, 255) if edge else (255, 255, 255, 255)


def cross(x, y):
    if (x == 15 or y == 15) and 2 < x < 29 and 2 < y < 29:
        return (255, 255, 255, 255)
    return (0, 0, 0, 0)


def invalid(x, y):
    d = ((x - 15.5) ** 2 + (y - 15.5) ** 2) ** 0.5
    if 11 < d < 14 or (abs(x - y) < 2 and d < 12):
        return (220, 30, 30, 255)
    return (0, 0, 0, 0)


def finger(x, y):
    if 12 <= x <= 16 and 2 <= y <= 28 or 8 <= x <= 24 and 16 <= y <= 28:
        return (255, 230, 200, 255)
    return (0, 0, 0, 0)


def hourglass(x, y):
    w = abs(15.5 - y)
    if 4 <= y <= 27 and abs(x - 15.5) <= w:
        return (230, 200, 120, 255)
    return (0, 0, 0, 0)


CURSORS = [("empty", lambda x, y: (0, 0, 0, 0)), ("default", arrow), ("crosshair", cross),
           ("invalid", invalid), ("finger", finger), ("hourglass", hourglass)]

# Loading-screen pictures: a vertical gradient, each in its own colour.
SCREENS = {
    "loadscreen_start": (20, 60, 110), "loadingscreen": (30, 90, 70), "loadscreen_01": (110, 60, 20),
    "loadscreen_02": (90, 30, 90), "loadscreen_03": (20, 100, 120), "loadscreen_04": (120, 110, 30),
    "loadscreen_05": (60, 60, 60), "loadscreen_06": (130, 40, 40),
}


def main():
    # CorallineLook imageset, 8x8 cells: a white brush, a translucent panel, then the
    # button faces normal, hover, pushed and disabled.
    cells = [(255, 255, 255, 255), (20, 30, 40, 200), (120, 70, 30, 255), (170, 110, 40, 255),
             (80, 45, 20, 255), (90, 90, 90, 255)]
    png("imagesets/CorallineLook.png", 8 * len(cells), 8, lambda x, y: cells[x // 8])
    # Cursors imageset: six 32x32 cursors side by side, in CURSOR_TYPES order.
    png("imagesets/Cursors.png", 32 * len(CURSORS), 32, lambda x, y: CURSORS[x // 32][1](x % 32, y))
    for name, draw in CURSORS:
        tga("textures/cursors/%s.tga" % name, 32, 32, draw)
    for name, (r, g, b) in SCREENS.items():
        png("textures/%s.dds" % name, 64, 36,
            lambda x, y, r=r, g=g, b=b: (min(255, r + y * 3), min(255, g + y * 3), min(255, b + y * 3), 255))


if __name__ == "__main__":
    main()
