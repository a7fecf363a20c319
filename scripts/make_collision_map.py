#!/usr/bin/env python3
"""Makes the navigation picture (CollisionMap.dds) of a scene from its terrain and its
collision boxes: an uncompressed 8-bit DDS, one pixel per cell, white (255) where the
ground is open and black (0) where a box, grown by a clearance for the soldiers,
covers the cell's centre. The first row of the picture is the row of least y.

Usage: make_collision_map.py <scene.vscene> <CollisionMap.dds> [cells across] [clearance]
"""
import math
import struct
import sys
import xml.etree.ElementTree as ET


def vector(text, default):
    if not text:
        return default
    return [float(v) for v in text.split("/")]


def boxes(scene):
    """Each collision box as (centre x, centre y, half x, half y, yaw in degrees)."""
    out = []
    for entity in scene.iter("entity"):
        position = vector(entity.get("position"), [0.0, 0.0, 0.0])
        yaw = vector(entity.get("orientation"), [0.0, 0.0, 0.0])[0]
        for collision in entity.iter("collision"):
            size = vector(collision.get("box"), None)
            offset = vector(collision.get("offset"), [0.0, 0.0, 0.0])
            c, s = math.cos(math.radians(yaw)), math.sin(math.radians(yaw))
            cx = position[0] + c * offset[0] - s * offset[1]
            cy = position[1] + s * offset[0] + c * offset[1]
            out.append((cx, cy, size[0] / 2.0, size[1] / 2.0, yaw))
    return out


def covered(box, x, y, clearance):
    cx, cy, hx, hy, yaw = box
    c, s = math.cos(math.radians(yaw)), math.sin(math.radians(yaw))
    dx, dy = x - cx, y - cy
    lx, ly = c * dx + s * dy, -s * dx + c * dy
    return abs(lx) <= hx + clearance and abs(ly) <= hy + clearance


def dds_8bit(width, height, pixels):
    header = struct.pack(
        "<4s7I44x8I",
        b"DDS ", 124, 0x1 | 0x2 | 0x4 | 0x8 | 0x1000, height, width, width, 0, 0,
        32, 0x20000, 0, 8, 0xFF, 0, 0, 0)
    caps = struct.pack("<5I", 0x1000, 0, 0, 0, 0)
    return header + caps + bytes(pixels)


def main():
    if len(sys.argv) < 3:
        sys.exit(__doc__)
    scene = ET.parse(sys.argv[1]).getroot()
    cells = int(sys.argv[3]) if len(sys.argv) > 3 else 64
    clearance = float(sys.argv[4]) if len(sys.argv) > 4 else 1.0
    terrain = scene.find("terrain")
    if terrain is None or terrain.get("size") is None:
        sys.exit("the scene needs a terrain with a size")
    origin = vector(terrain.get("origin"), [0.0, 0.0, 0.0])
    size = vector(terrain.get("size"), None)
    width, height = cells, max(1, round(cells * size[1] / size[0]))
    step_x, step_y = size[0] / width, size[1] / height
    solid = boxes(scene)
    pixels = []
    for row in range(height):
        y = origin[1] + (row + 0.5) * step_y
        for column in range(width):
            x = origin[0] + (column + 0.5) * step_x
            pixels.append(0 if any(covered(b, x, y, clearance) for b in solid) else 255)
    with open(sys.argv[2], "wb") as f:
        f.write(dds_8bit(width, height, pixels))


if __name__ == "__main__":
    main()
