#!/usr/bin/env python3
"""Writes the generated pictures of data/gui: the imageset pictures (and the
CorallineLook imageset file that names its cells), the loading
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
    # The strongholds' own screens, by the stronghold's scene type 2 to 5.
    "loadscreen_pirate": (120, 20, 20), "loadscreen_corsair": (20, 40, 130),
    "loadscreen_buccaneer": (100, 80, 20), "loadscreen_brinemark": (30, 110, 100),
}


# CorallineLook imageset: one flat-coloured 8x8 cell per brush, the image being the
# cell's inner 4x4 so that filtering never picks up a neighbour's colour. The order
# only sets the cell positions; the imageset file is written from this list too.
CORALLINE = [
    ("GenericBrush", (255, 255, 255, 255)), ("Panel", (20, 30, 40, 200)),
    ("ButtonNormal", (120, 70, 30, 255)), ("ButtonHover", (170, 110, 40, 255)),
    ("ButtonPushed", (80, 45, 20, 255)), ("ButtonDisabled", (90, 90, 90, 255)),
    ("CheckboxNormal", (230, 215, 180, 255)), ("CheckboxHover", (250, 238, 205, 255)),
    ("CheckboxDisabled", (140, 135, 125, 255)), ("CheckboxMark", (40, 110, 40, 255)),
    ("RadioNormal", (60, 80, 110, 255)), ("RadioHover", (85, 110, 150, 255)),
    ("RadioSelected", (240, 190, 70, 255)), ("RadioDisabled", (75, 75, 80, 255)),
    ("ListboxBackground", (25, 35, 45, 230)), ("ListboxSelectionBrush", (60, 120, 170, 255)),
    ("ScrollbarTrack", (45, 40, 35, 255)), ("ScrollbarThumb", (200, 150, 80, 255)),
    ("ScrollbarThumbHover", (230, 185, 110, 255)), ("ScrollbarThumbPushed", (160, 115, 55, 255)),
    ("FrameBackground", (35, 45, 60, 240)), ("TitlebarActive", (95, 55, 25, 255)),
    ("TitlebarInactive", (70, 60, 50, 255)), ("CloseNormal", (160, 40, 35, 255)),
    ("CloseHover", (210, 70, 60, 255)), ("ClosePushed", (110, 25, 20, 255)),
    ("TabNormal", (70, 60, 50, 255)), ("TabHover", (110, 90, 65, 255)),
    ("TabSelected", (150, 105, 50, 255)), ("TabPane", (40, 36, 32, 235)),
    ("BlueWindow", (40, 80, 140, 235)), ("RedWindow", (140, 35, 35, 235)),
    ("YellowFrame", (245, 200, 40, 255)), ("RedFrame", (210, 40, 40, 255)),
]


def coralline():
    png("imagesets/CorallineLook.png", 8 * len(CORALLINE), 8, lambda x, y: CORALLINE[x // 8][1])
    lines = ['<?xml version="1.0" ?>',
             "<!-- Written by scripts/make_gui_data.py: the flat brushes the CorallineLook widgets draw with. -->",
             '<Imageset version="2" name="CorallineLook" imagefile="CorallineLook.png" nativeHorzRes="1280"'
             ' nativeVertRes="720" autoScaled="false">']
    for i, (name, _) in enumerate(CORALLINE):
        lines.append('    <Image name="%s" xPos="%d" yPos="2" width="4" height="4" />' % (name, 8 * i + 2))
    lines.append("</Imageset>")
    write("imagesets/CorallineLook.imageset", ("\n".join(lines) + "\n").encode())


def main():
    coralline()
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


def half_ball(left, right):
    full, empty = ball(left), ball(right)
    return lambda x, y: full(x, y) if x < 8 else empty(x, y)


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


def empty_preview(x, y):
    """A save without a picture: a dark frame around a faint sea."""
    if x < 3 or x > 156 or y < 3 or y > 96:
        return (90, 60, 30, 255)
    return (20, 35 + y // 4, 55 + y // 3, 255)


def new_game_imagesets():
    imageset("GUI_Window_01", "Window pieces: the power balls of the hero rows, the empty save preview",
             window_01_images())
    hero_and_weapon_imagesets()


def window_01_images():
    return [("PowerBallBlue", 16, 16, ball((70, 150, 230, 255))), ("PowerBallNone", 16, 16, ball((60, 55, 50, 255))),
            ("LoadEmptyWindow", 160, 100, empty_preview),
            # The ship panels' rows show half a ball for half a point.
            ("PowerBallHalf", 16, 16, half_ball((70, 150, 230, 255), (60, 55, 50, 255)))]


def with_skill_states(images):
    """Each skill picture SkillNNormal also hovered (lighter) and disabled (grey)."""
    out = list(images)
    for name, w, h, draw in images:
        if name.startswith("Skill") and name.endswith("Normal") and name != "Skill3Normal":
            out.append((name + "Hover", w, h, lambda x, y, d=draw: tuple(min(255, c + 50) for c in d(x, y)[:3]) + (255,)))
            out.append((name + "Disabled", w, h, lambda x, y, d=draw: (sum(d(x, y)[:3]) // 3,) * 3 + (255,)))
    return out


def hero_and_weapon_imagesets():
    gold = (240, 200, 90, 255)
    heroes = [("Walker", (150, 40, 30, 255)), ("Jolie", (40, 110, 60, 255)), ("Jack", (60, 60, 140, 255))]
    images = []
    for name, coat in heroes:
        images.append((name, 128, 192, portrait(coat)))
        images.append((name + "Selected", 128, 192, portrait(coat, frame=gold)))
    # The land HUD's portrait button of the player's character.
    for name, coat in heroes:
        images.append((name + "Normal", 128, 192, portrait(coat)))
        images.append((name + "Hover", 128, 192, portrait(coat, frame=(250, 240, 200, 255))))
        images.append((name + "Disabled", 128, 192, portrait((90, 90, 90, 255), skin=(150, 150, 150, 255))))
    # The radar's indicator of the player's character: head and shoulders.
    for name, coat in heroes:
        images.append((name + "Mini", 36, 36, lambda x, y, d=portrait(coat): d(28 + 2 * x, 14 + 2 * y)))
    imageset("CharacterImages_01", "The three heroes, plain and framed as chosen", images)
    imageset("Buttons_01", "Skill buttons: the heroes' perks", with_skill_states(
             [("Skill0Normal", 32, 32, icon((200, 200, 220, 255), lambda x, y: abs(x - 16) + abs(y - 16) < 10)),
              ("Skill1Normal", 32, 32, icon((220, 120, 40, 255), lambda x, y: (x - 16) ** 2 + (y - 16) ** 2 < 100)),
              ("Skill2Normal", 32, 32, icon((160, 60, 160, 255), lambda x, y: 8 <= x <= 24 and 8 <= y <= 24)),
              # The tutorial window's icon: a question mark.
              ("Skill3Normal", 32, 32, icon((90, 190, 230, 255), lambda x, y: 9 <= y <= 12 and 11 <= x <= 21
                                            or 12 <= y <= 16 and 18 <= x <= 21 or 16 <= y <= 19 and 14 <= x <= 21
                                            or 19 <= y <= 21 and 14 <= x <= 17 or 24 <= y <= 26 and 14 <= x <= 17)),
              # The potion HUD's first slot starts with this picture.
              ("Potion1", 32, 32, icon((70, 110, 220, 255), lambda x, y: (x - 16) ** 2 + (y - 19) ** 2 < 64
                                       or (12 <= x <= 20 and 5 <= y <= 12)))]))
    imageset("SpecialWeapons_01", "The special weapons offered at the start of a new game",
             [("Mine", 64, 64, weapon((70, 70, 75, 255), lambda x, y: (x - 32) ** 2 + (y - 34) ** 2 < 22 ** 2
                                      or (abs(x - 32) < 3 and 4 < y < 14))),
              ("Mortar", 64, 64, weapon((110, 90, 60, 255), lambda x, y: 14 <= x <= 50 and 30 <= y <= 58
                                        or 24 <= x <= 40 and 8 <= y < 30)),
              ("StinkBomb", 64, 64, weapon((120, 160, 60, 255), lambda x, y: (x - 32) ** 2 + (y - 40) ** 2 < 18 ** 2
                                           or (x - 24) ** 2 + (y - 14) ** 2 < 6 ** 2
                                           or (x - 40) ** 2 + (y - 10) ** 2 < 5 ** 2)),
              # A pirate curled into a ball: round body, head on top.
              ("HumanCannonBall", 64, 64, weapon((200, 150, 110, 255), lambda x, y: (x - 32) ** 2 + (y - 38) ** 2 < 17 ** 2
                                                 or (x - 32) ** 2 + (y - 13) ** 2 < 8 ** 2))])


if __name__ == "__main__":
    new_game_imagesets()


# Captain's log ------------------------------------------------------------------
# The row icons of the log: a faction mission's flag and a story mission's scroll.

def mission_imagesets():
    imageset("ShipIcons_01", "Ship log icons: the kinds of missions", ship_icons_01_images())


def ship_icons_01_images():
    def flag(x, y):
        return 4 <= x <= 6 and 3 <= y <= 28 or 7 <= x <= 26 and 4 <= y <= 16
    def scroll(x, y):
        return 6 <= x <= 25 and 5 <= y <= 26 and not (10 <= x <= 21 and y in (10, 14, 18, 22))
    return [("MissionFaction", 32, 32, icon((180, 40, 40, 255), flag)),
            ("MissionStory", 32, 32, icon((225, 205, 150, 255), scroll)),
            # A town's wealth on its name tag, one ball a point.
            ("PowerBallYellow", 16, 16, ball((240, 200, 60, 255)))]


# Save and load screens ------------------------------------------------------------
# The heroes' faces on the saved slots (Player1..3 in the order Walker, Jack, Jolie)
# and the selection brush of the slot lists.

def face(coat, hair):
    def draw(x, y):
        d = ((x - 31.5) ** 2 + (y - 30) ** 2) ** 0.5
        if y >= 52:
            return coat
        if d < 20 and y < 18:
            return hair
        if d < 20:
            return (230, 190, 150, 255)
        return (30, 60 + y // 2, 90 + y // 2, 255)
    return draw


def player_faces():
    return [("Player1Normal", 64, 64, face((150, 40, 30, 255), (60, 40, 20, 255))),
            ("Player2Normal", 64, 64, face((60, 60, 140, 255), (20, 20, 20, 255))),
            ("Player3Normal", 64, 64, face((40, 110, 60, 255), (170, 60, 30, 255)))]


# The small faces of the units (a unit type's image with "Mini") on the radar's unit
# indicators and the player ship panel's crew rows, and the empty place that pads a
# row of them.
UNIT_FACE_COLOURS = [("Walker", (150, 40, 30, 255), (60, 40, 20, 255)),
                     ("Jolie", (60, 60, 140, 255), (20, 20, 20, 255)),
                     ("Jack", (40, 110, 60, 255), (170, 60, 30, 255)),
                     ("HeroCorsair", (70, 70, 160, 255), (90, 60, 30, 255)),
                     ("HeroBuccaneer", (50, 120, 70, 255), (30, 30, 30, 255)),
                     ("HeroPirate", (160, 50, 40, 255), (200, 170, 80, 255)),
                     ("PirateBasic", (120, 40, 30, 255), (50, 30, 20, 255)),
                     ("BrinemarkBasic", (90, 90, 90, 255), (40, 40, 40, 255)),
                     ("BrinemarkRanged", (110, 100, 80, 255), (40, 40, 40, 255)),
                     ("ColonialBasic", (170, 30, 30, 255), (220, 220, 220, 255)),
                     ("Castaway", (150, 130, 90, 255), (120, 80, 40, 255)),
                     ("Quickdraw", (80, 50, 30, 255), (20, 20, 20, 255))]


def unit_face_mini_images():
    def small(draw):
        return lambda x, y: draw(x * 64 // 36, y * 64 // 36)

    def empty(x, y):
        edge = x in (0, 35) or y in (0, 35)
        return (90, 70, 50, 200) if edge else (30, 25, 20, 120)

    return ([(name + "Mini", 36, 36, small(face(coat, hair))) for name, coat, hair in UNIT_FACE_COLOURS] +
            [("EmptySmallMini", 36, 36, empty)])


def save_load_imagesets():
    imageset("UnitFaces_01", "The heroes' faces shown with a saved game, the units' small faces",
             player_faces() + unit_face_mini_images())
    imageset("MenuElements_01", "Menu pieces: the selection brush of the slot lists",
             [("ListboxSelection", 8, 8, lambda x, y: (120, 80, 30, 200))])


if __name__ == "__main__":
    mission_imagesets()
    save_load_imagesets()


# Radar ---------------------------------------------------------------------------
# The sea radar's indicator pieces (64x64 around the target; the arrow points up
# and is turned by the game), the small unit faces the indicators show, and the
# land radar's border marker (a texture of its own, drawn as a screen mask).

def radar_imagesets():
    def ring(r0, r1, colour):
        def draw(x, y):
            d = ((x - 31.5) ** 2 + (y - 31.5) ** 2) ** 0.5
            return colour if r0 <= d <= r1 else (0, 0, 0, 0)
        return draw

    def target_cross(x, y):
        d = ((x - 31.5) ** 2 + (y - 31.5) ** 2) ** 0.5
        if 14 <= d <= 17 or ((abs(x - 31.5) < 2 or abs(y - 31.5) < 2) and 6 < d < 26):
            return (230, 40, 30, 255)
        return (0, 0, 0, 0)

    def compass(x, y):
        dx, dy = abs(x - 31.5), abs(y - 31.5)
        if dx + dy * 3 < 28 or dy + dx * 3 < 28:
            return (240, 200, 60, 255)
        return (0, 0, 0, 0)

    def arrow_up(x, y):
        # A notch on the ring's top edge, pointing out of it.
        if y < 14 and abs(x - 31.5) < (14 - y) * 0.8:
            return (250, 230, 180, 255)
        return (0, 0, 0, 0)

    def flag(colour):
        return lambda x, y: colour if (3 <= x <= 5 and 2 <= y <= 29) or (6 <= x <= 27 and 3 <= y <= 15) else (0, 0, 0, 0)

    imageset("Radar_01", "Radar indicator pieces",
             [("Cross", 64, 64, target_cross),
              ("CloseMarker", 64, 64, ring(20, 23, (240, 220, 90, 255))),
              ("CompassCross", 64, 64, compass),
              ("UnitArrow", 64, 64, arrow_up),
              ("UnitGlow", 64, 64, ring(17, 24, (230, 40, 30, 170))),
              ("UnitFrame", 32, 32, lambda x, y: (60, 40, 20, 255) if x in (0, 31) or y in (0, 31) else (0, 0, 0, 0)),
              ("Faction1", 32, 32, flag((30, 30, 30, 255))),
              ("Faction2", 32, 32, flag((180, 40, 40, 255))),
              ("Faction3", 32, 32, flag((40, 90, 180, 255)))])
    # The land radar's marker: a red pennant on a dark disc, 64 pixels.
    def land_marker(x, y):
        d = ((x - 31.5) ** 2 + (y - 31.5) ** 2) ** 0.5
        if d > 26:
            return (0, 0, 0, 0)
        if d > 23:
            return (20, 15, 10, 255)
        if (20 <= x <= 23 and 14 <= y <= 50) or (24 <= x <= 46 and 14 <= y <= 30 and y - 14 < (46 - x) * 0.75):
            return (210, 40, 30, 255)
        return (40, 55, 70, 220)
    png("textures/radar/LandRadarMarker.png", 64, 64, land_marker)


if __name__ == "__main__":
    radar_imagesets()


# Health bars ------------------------------------------------------------------------
# GUI_Window_01 again, with the bars over ships, soldiers and buildings after the
# pieces above: the player's look, its low-health look and the enemy look, each a
# fill and the background it sits in.

def bar_fill(colour):
    light = tuple(min(255, c + 60) for c in colour[:3]) + (255,)
    return lambda x, y: light if y < 2 else colour


def bar_background(edge):
    return lambda x, y: edge if x in (0, 55) or y in (0, 7) else (20, 15, 10, 220)


def health_bar_images():
    return [("HealthBarPlayer", 56, 8, bar_fill((60, 170, 60, 255))),
            ("HealthBarPlayerBG", 56, 8, bar_background((40, 30, 20, 255))),
            ("HealthBarPlayerLowHp", 56, 8, bar_fill((210, 150, 40, 255))),
            ("HealthBarPlayerLowHpBG", 56, 8, bar_background((230, 40, 30, 255))),
            ("HealthBarEnemy", 56, 8, bar_fill((190, 40, 35, 255))),
            ("HealthBarEnemyBG", 56, 8, bar_background((90, 20, 15, 255)))]


if __name__ == "__main__":
    imageset("GUI_Window_01", "Window pieces: the power balls of the hero rows, the empty save preview, the health bars",
             window_01_images() + health_bar_images())


# Sea battle HUD ------------------------------------------------------------------------
# ShipIcons_01 again with the HUD's pictures after the pieces above: the test ships
# by their icon names ("<icon>Normal") and every special weapon the ship yard sells
# by its projectile type number, large on the HUD ("Weapon<n>Normal") and small in
# the ship panels' rows ("Weapon<n>Icon").

SHIP_ICONS = [("Sloop", (150, 110, 60, 255), 1), ("Frigate", (110, 70, 40, 255), 2)]

# Projectile type number, colour and shape of each special weapon.
SPECIAL_WEAPONS = [
    (3, (200, 200, 210, 255), lambda u, v: abs(u - v) < 0.08 and 0.15 < u < 0.85 or u > 0.7 and v > 0.55 and u - v < 0.3),
    (4, (70, 70, 75, 255), lambda u, v: (u - 0.5) ** 2 + (v - 0.55) ** 2 < 0.1 or abs(u - 0.5) < 0.05 and v < 0.3),
    (5, (110, 90, 60, 255), lambda u, v: 0.2 <= u <= 0.8 and 0.5 <= v <= 0.9 or 0.35 <= u <= 0.65 and 0.1 <= v < 0.5),
    (6, (230, 150, 40, 255), lambda u, v: any((u - cx) ** 2 + (v - cy) ** 2 < 0.012
                                              for cx, cy in ((0.3, 0.3), (0.7, 0.3), (0.5, 0.55), (0.3, 0.75), (0.7, 0.75)))),
    (7, (210, 60, 40, 255), lambda u, v: abs(u - 0.5) < 0.1 and 0.15 < v < 0.85 or abs(u - 0.5) < 0.25 and v > 0.7),
    (8, (200, 150, 110, 255), lambda u, v: (u - 0.5) ** 2 + (v - 0.6) ** 2 < 0.07 or (u - 0.5) ** 2 + (v - 0.2) ** 2 < 0.015),
    (9, (120, 80, 40, 255), lambda u, v: 0.3 <= u <= 0.7 and 0.2 <= v <= 0.8 and not abs(v - 0.5) < 0.04),
    (10, (120, 160, 60, 255), lambda u, v: (u - 0.5) ** 2 + (v - 0.6) ** 2 < 0.06 or (u - 0.35) ** 2 + (v - 0.2) ** 2 < 0.01),
]


def ship_picture(hull, masts):
    def draw(x, y):
        u, v = x / 63.0, y / 63.0
        if 0.62 <= v <= 0.8 and 0.1 + (v - 0.62) <= u <= 0.9 - (v - 0.62):
            return hull
        for m in range(masts):
            mx = 0.5 if masts == 1 else 0.35 + 0.3 * m
            if abs(u - mx) < 0.02 and 0.15 <= v < 0.62:
                return (60, 40, 20, 255)
            if 0.2 <= v <= 0.55 and mx + 0.03 <= u <= mx + 0.03 + 0.25 * (v - 0.15):
                return (240, 235, 215, 255)
        return (30, 60 + y // 2, 90 + y // 2, 255)
    return draw


def special_weapon_picture(colour, shape, size):
    def draw(x, y):
        if x in (0, size - 1) or y in (0, size - 1):
            return (60, 40, 20, 255)
        return colour if shape(x / (size - 1.0), y / (size - 1.0)) else (25, 20, 15, 255)
    return draw


def sea_hud_images():
    images = [(name + "Normal", 64, 64, ship_picture(hull, masts)) for name, hull, masts in SHIP_ICONS]
    for number, colour, shape in SPECIAL_WEAPONS:
        images.append(("Weapon%dNormal" % number, 64, 64, special_weapon_picture(colour, shape, 64)))
        images.append(("Weapon%dIcon" % number, 32, 32, special_weapon_picture(colour, shape, 32)))
    return images


# Land head-up display ------------------------------------------------------------------
# UnitFaces_01 again, with the portrait buttons of the heroes and units of the game
# script's unit table (its image names) after the saved games' faces: each normal,
# hovered, greyed and framed as selected.

def land_unit_faces():
    # The player's characters first: the sea HUD's hero button shows them.
    units = [("Walker", (150, 40, 30, 255), (60, 40, 20, 255)),
             ("Jolie", (40, 110, 60, 255), (170, 60, 30, 255)),
             ("Jack", (60, 60, 140, 255), (20, 20, 20, 255)),
             ("HeroCorsair", (40, 110, 60, 255), (170, 60, 30, 255)),
             ("HeroBuccaneer", (60, 60, 140, 255), (20, 20, 20, 255)),
             ("HeroPirate", (150, 40, 30, 255), (60, 40, 20, 255)),
             ("PirateBasic", (120, 50, 40, 255), (40, 30, 20, 255)),
             ("BrinemarkBasic", (200, 200, 210, 255), (90, 70, 40, 255)),
             ("BrinemarkRanged", (170, 180, 200, 255), (90, 70, 40, 255)),
             ("ColonialBasic", (180, 40, 40, 255), (230, 230, 230, 255)),
             ("Castaway", (150, 130, 90, 255), (120, 90, 40, 255)),
             ("Quickdraw", (70, 50, 30, 255), (30, 20, 10, 255))]
    images = []
    for name, coat, hair in units:
        plain = face(coat, hair)
        images.append((name + "Normal", 48, 48, lambda x, y, d=plain: d(x * 4 // 3, y * 4 // 3)))
        images.append((name + "Hover", 48, 48,
                       lambda x, y, d=plain: tuple(min(255, c + 40) for c in d(x * 4 // 3, y * 4 // 3)[:3]) + (255,)))
        images.append((name + "Disabled", 48, 48,
                       lambda x, y, d=plain: (sum(d(x * 4 // 3, y * 4 // 3)[:3]) // 3,) * 3 + (255,)))
        images.append((name + "Selected", 48, 48,
                       lambda x, y, d=plain: (240, 200, 90, 255) if x < 3 or x > 44 or y < 3 or y > 44
                       else d(x * 4 // 3, y * 4 // 3)))
    return images


if __name__ == "__main__":
    imageset("ShipIcons_01", "Ship icons: the kinds of missions, the ships and their special weapons",
             ship_icons_01_images() + sea_hud_images())
    imageset("UnitFaces_01", "The heroes' faces shown with a saved game and on the land HUD's unit buttons, the "
             "units' small faces", player_faces() + land_unit_faces() + unit_face_mini_images())


# World map --------------------------------------------------------------------------
# The sea chart behind the map's dots, and the big icons of the named towns and
# strongholds, one per town name key (the map asks for "WorldMap/<key>"). Keys
# the map's icon rule leaves out (str_TOWN_SL..., the black stronghold, a town
# without a name) show as small dots and need no icon.

def sea_chart(x, y):
    grid = x % 64 == 0 or y % 64 == 0
    return (60, 90, 120, 255) if grid else (150, 185, 205, 255)


def town_icon(roof):
    def draw(x, y):
        if 30 <= x < 66 and 34 <= y < 62:
            return (215, 195, 160, 255)
        if 26 <= x < 70 and 18 <= y < 34 and abs(x - 48) <= (y - 18) * 22 // 16:
            return roof
        if 6 <= y < 74 and ((x - 48) ** 2) / 44 ** 2 + ((y - 40) ** 2) / 34 ** 2 <= 1:
            return (235, 225, 190, 90)
        return (0, 0, 0, 0)
    return draw


def world_map_imageset():
    imageset("WorldMap", "World map: the sea chart and the towns' icons by name key",
             [("SeaChart", 128, 128, sea_chart),
              ("str_TOWN_SALTMARSH", 96, 80, town_icon((40, 70, 160, 255))),
              ("str_TOWN_FORT_AMBER", 96, 80, town_icon((200, 140, 40, 255))),
              ("str_TOWN_STRONGHOLD_PIRATE", 96, 80, town_icon((170, 30, 30, 255))),
              ("PlayerDot", 14, 14, ball((250, 250, 250, 255))),
              ("MissionDot", 14, 14, ball((230, 40, 30, 255))),
              ("TownDot", 10, 10, lambda x, y: ball((240, 200, 60, 255))(x * 3 // 2, y * 3 // 2))])


if __name__ == "__main__":
    world_map_imageset()


# Speech ------------------------------------------------------------------------------
# The portraits that conversation lines name for speakers other than the heroes
# (who use their CharacterImages_01 pictures).

def speech_imagesets():
    imageset("SpeechPortraits_01", "Portraits of the speakers in conversations",
             [("Bosun", 128, 192, portrait((110, 70, 40, 255), frame=(60, 40, 20, 255)))])


if __name__ == "__main__":
    speech_imagesets()
