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


# Hero and special-weapon choice --------------------------------------------------
# Imagesets of the new-game pages, each written with its picture. Images lie side
# by side in one row; each entry is (name, width, height, pixel(x, y)).

def imageset(name, note, images):
    width = sum(w for _, w, _, _ in images)
    height = max(h for _, _, h, _ in images)
    spans = []
    x0 = 0
    for image_name, w, h, draw in images:
        spans.append((x0, w, h, draw))
        x0 += w

    def pixel(x, y):
        for start, w, h, draw in spans:
            if start <= x < start + w:
                return draw(x - start, y) if y < h else (0, 0, 0, 0)
        return (0, 0, 0, 0)

    png("imagesets/%s.png" % name, width, height, pixel)
    lines = ['<?xml version="1.0" ?>', "<!-- %s (made by scripts/make_gui_data.py) -->" % note,
             '<Imageset version="2" name="%s" imagefile="%s.png" nativeHorzRes="1280" nativeVertRes="720" '
             'autoScaled="false">' % (name, name)]
    x0 = 0
    for image_name, w, h, _ in images:
        lines.append('    <Image name="%s" xPos="%d" yPos="0" width="%d" height="%d" />' % (image_name, x0, w, h))
        x0 += w
    lines.append("</Imageset>")
    write("imagesets/%s.imageset" % name, ("\n".join(lines) + "\n").encode())


def ball(colour):
    def draw(x, y):
        d = ((x - 7.5) ** 2 + (y - 7.5) ** 2) ** 0.5
        if d > 7:
            return (0, 0, 0, 0)
        if d > 5.5:
            return (30, 25, 20, 255)
        return colour
    return draw


def portrait(coat, skin=(230, 190, 150, 255), frame=None):
    """A standing figure on a sea-blue ground: head, coat and legs."""
    def draw(x, y):
        if frame and (x < 3 or x > 124 or y < 3 or y > 188):
            return frame
        if (x - 64) ** 2 + (y - 50) ** 2 < 22 ** 2:
            return skin
        if 36 <= x <= 92 and 74 <= y <= 140:
            return coat
        if (44 <= x <= 58 or 70 <= x <= 84) and 140 < y <= 180:
            return (40, 30, 25, 255)
        return (30, 60 + y // 4, 90 + y // 3, 255)
    return draw


def icon(colour, shape):
    def draw(x, y):
        if x in (0, 31) or y in (0, 31):
            return (60, 40, 20, 255)
        return colour if shape(x, y) else (25, 20, 15, 255)
    return draw


def weapon(colour, shape):
    def draw(x, y):
        return colour if shape(x, y) else (0, 0, 0, 0)
    return draw


def new_game_imagesets():
    imageset("GUI_Window_01", "Window pieces: the power balls of the hero rows",
             [("PowerBallBlue", 16, 16, ball((70, 150, 230, 255))), ("PowerBallNone", 16, 16, ball((60, 55, 50, 255)))])
    gold = (240, 200, 90, 255)
    heroes = [("Walker", (150, 40, 30, 255)), ("Jolie", (40, 110, 60, 255)), ("Jack", (60, 60, 140, 255))]
    images = []
    for name, coat in heroes:
        images.append((name, 128, 192, portrait(coat)))
        images.append((name + "Selected", 128, 192, portrait(coat, frame=gold)))
    imageset("CharacterImages_01", "The three heroes, plain and framed as chosen", images)
    imageset("Buttons_01", "Skill buttons: the heroes' perks",
             [("Skill0Normal", 32, 32, icon((200, 200, 220, 255), lambda x, y: abs(x - 16) + abs(y - 16) < 10)),
              ("Skill1Normal", 32, 32, icon((220, 120, 40, 255), lambda x, y: (x - 16) ** 2 + (y - 16) ** 2 < 100)),
              ("Skill2Normal", 32, 32, icon((160, 60, 160, 255), lambda x, y: 8 <= x <= 24 and 8 <= y <= 24))])
    imageset("SpecialWeapons_01", "The special weapons offered at the start of a new game",
             [("Mine", 64, 64, weapon((70, 70, 75, 255), lambda x, y: (x - 32) ** 2 + (y - 34) ** 2 < 22 ** 2
                                      or (abs(x - 32) < 3 and 4 < y < 14))),
              ("Mortar", 64, 64, weapon((110, 90, 60, 255), lambda x, y: 14 <= x <= 50 and 30 <= y <= 58
                                        or 24 <= x <= 40 and 8 <= y < 30)),
              ("StinkBomb", 64, 64, weapon((120, 160, 60, 255), lambda x, y: (x - 32) ** 2 + (y - 40) ** 2 < 18 ** 2
                                           or (x - 24) ** 2 + (y - 14) ** 2 < 6 ** 2
                                           or (x - 40) ** 2 + (y - 10) ** 2 < 5 ** 2))])


if __name__ == "__main__":
    new_game_imagesets()
