#!/usr/bin/env python3
"""Writes the short sound files of data/sounds and data/music: mono 8-bit WAV at
8000 Hz, each a tone or a noise burst of a length that is an exact binary
fraction of a second, so tests can compare lengths exactly.

Run from anywhere: python3 scripts/make_sound_data.py. The output is committed."""
import math
import os
import random
import wave

ROOT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "data")
RATE = 8000

# (folder, file, seconds, kind, frequency)
FILES = [
    ("sounds", "click.wav", 0.125, "tone", 1200),
    ("sounds", "cannon_01.wav", 0.5, "noise", 0),
    ("sounds", "cannon_02.wav", 0.375, "noise", 0),
    ("sounds", "kraken_idle.wav", 1.0, "tone", 110),
    ("sounds", "order_01.wav", 0.25, "tone", 440),
    ("sounds", "order_02.wav", 0.25, "tone", 494),
    ("sounds", "order_03.wav", 0.25, "tone", 523),
    ("sounds", "curtains.wav", 0.75, "noise", 0),
    ("sounds", "joke.wav", 0.25, "tone", 660),
    ("music", "menu.wav", 1.0, "tone", 262),
    ("music", "track_a.wav", 1.0, "tone", 330),
    ("music", "track_b.wav", 0.75, "tone", 392),
    ("music", "battle.wav", 0.5, "tone", 196),
    ("music", "conversation.wav", 0.5, "tone", 294),
    ("music", "credits.wav", 0.5, "tone", 349),
    ("sounds/HarHar", "Man1Fearful1.wav", 0.25, "tone", 330),
    ("sounds", "sailing.wav", 1.0, "tone", 73),
    ("sounds/voice", "tutorial_colony_part1.wav", 0.5, "tone", 220),
    ("sounds/FX", "wpn_rifle_shot_CR_02.wav", 0.125, "noise", 0),
    ("sounds/FX", "fx_harpoon_hit.wav", 0.25, "noise", 0),
    ("sounds/FX", "rocket_grenade_explosion.wav", 0.5, "noise", 0),
    ("sounds/FX", "fx_mortar_hit.wav", 0.375, "noise", 0),
    ("sounds/FX", "fx_mine_explosion.wav", 0.5, "noise", 0),
    ("sounds/FX", "fx_fart_bomb.wav", 0.75, "tone", 65),
    ("sounds/FX", "fx_cannon_hit_hull_01.wav", 0.25, "noise", 0),
    ("sounds/FX", "fx_cannon_hit_hull_critical_01.wav", 0.375, "noise", 0),
    # New files go last: the noise draws of the files above stay as they are.
    ("sounds/FX", "fx_harpoon_shoot.wav", 0.25, "noise", 0),
    ("sounds/FX", "fx_rocket_ship_launch.wav", 1.0, "noise", 0),
    ("sounds/FX", "fx_use_grog.wav", 0.25, "tone", 247),
    ("sounds/FX", "fx_use_grog_woman.wav", 0.25, "tone", 392),
    ("sounds/voice", "wreck_bosun_1.wav", 1.5, "tone", 165),
    ("sounds/voice", "wreck_captain_2.wav", 1.25, "tone", 247),
]


def samples(seconds, kind, freq, rng):
    count = int(seconds * RATE)
    out = bytearray()
    for i in range(count):
        # Short ramps at both ends keep the files free of clicks.
        ramp = min(1.0, i / 80.0, (count - 1 - i) / 80.0)
        if kind == "tone":
            v = math.sin(2.0 * math.pi * freq * i / RATE)
        else:
            v = rng.uniform(-1.0, 1.0) * (1.0 - i / count)
        out.append(int(128 + 100 * ramp * v))
    return bytes(out)


def main():
    rng = random.Random(7)
    for folder, name, seconds, kind, freq in FILES:
        path = os.path.join(ROOT, folder, name)
        os.makedirs(os.path.dirname(path), exist_ok=True)
        with wave.open(path, "wb") as w:
            w.setnchannels(1)
            w.setsampwidth(1)
            w.setframerate(RATE)
            w.writeframes(samples(seconds, kind, freq, rng))


if __name__ == "__main__":
    main()
