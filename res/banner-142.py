#!/usr/bin/env python3
"""Draws the fixture panel's banner (bitmap resource 142): 160 x 81 pixels, 32 bits per pixel.

A luminaire in the top left throws red, green and blue beams that mix to white, over the
name Vexmira written in LED dots. Standard library only: run it to rewrite banner-142.png.
"""
import math
import os
import struct
import zlib

WIDTH, HEIGHT = 160, 81
SS = 4  # supersampling per axis

# 5 x 7 dot glyphs, top row first.
GLYPHS = {
    "V": ["10001", "10001", "10001", "10001", "01010", "01010", "00100"],
    "e": ["00000", "00000", "01110", "10001", "11111", "10000", "01111"],
    "x": ["00000", "00000", "10001", "01010", "00100", "01010", "10001"],
    "m": ["00000", "00000", "11010", "10101", "10101", "10101", "10101"],
    "i": ["010", "000", "110", "010", "010", "010", "111"],
    "r": ["00000", "00000", "10110", "11001", "10000", "10000", "10000"],
    "a": ["00000", "00000", "01110", "00001", "01111", "10001", "01111"],
}


def background(x, y):
    t = y / HEIGHT
    return [0.05 + 0.04 * t, 0.08 + 0.05 * t, 0.15 + 0.08 * t]


def beam(px, py, origin, direction, half_angle, colour, reach):
    """Light a point gets from a soft-edged cone: brightest on its axis, fading with distance."""
    dx, dy = px - origin[0], py - origin[1]
    dist = math.hypot(dx, dy)
    if dist < 1e-6:
        return [0.0, 0.0, 0.0]
    angle = abs(math.atan2(dy, dx) - direction)
    if angle > half_angle:
        return [0.0, 0.0, 0.0]
    edge = 1.0 - (angle / half_angle) ** 3
    fade = max(0.0, 1.0 - dist / reach) ** 0.8
    strength = 0.55 * edge * fade
    return [c * strength for c in colour]


def inside_luminaire(x, y):
    """A can-shaped head tilted along the beam, on a yoke fixed to a short bar at the top."""
    cx, cy = 17.0, 16.0
    a = math.radians(20)
    # Coordinates along and across the head's axis.
    u = (x - cx) * math.cos(a) + (y - cy) * math.sin(a)
    v = -(x - cx) * math.sin(a) + (y - cy) * math.cos(a)
    if -9.0 <= u <= 6.0 and abs(v) <= 6.0 - max(0.0, -u - 5.0) * 0.6:
        return "head"
    if 6.0 < u <= 7.5 and abs(v) <= 5.2:
        return "lens"
    if 4.0 <= x <= 30.0 and 2.0 <= y <= 4.0:
        return "bar"
    if abs(x - 17.0) <= 1.0 and 4.0 <= y <= 10.0:
        return "yoke"
    return None


def text_dots(x, y, left, top, cell):
    """Whether (x, y) lies in one of the name's LED dots, and how bright."""
    col = left
    for ch in "Vexmira":
        rows = GLYPHS[ch]
        w = len(rows[0])
        if col <= x < col + w * cell + cell:
            gx = int((x - col) // cell)
            gy = int((y - top) // cell)
            if 0 <= gx < w and 0 <= gy < 7 and rows[gy][gx] == "1":
                ccx = col + (gx + 0.5) * cell
                ccy = top + (gy + 0.5) * cell
                if math.hypot(x - ccx, y - ccy) <= cell * 0.46:
                    return True
        col += (w + 1) * cell
    return False


def render():
    origin = (24.5, 19.0)
    direction = math.radians(20)
    beams = [
        (direction - math.radians(5), [1.0, 0.25, 0.2]),
        (direction, [0.3, 1.0, 0.35]),
        (direction + math.radians(5), [0.25, 0.4, 1.0]),
    ]
    cell = 3.0
    text_width = sum((len(GLYPHS[c][0]) + 1) for c in "Vexmira") * cell - cell
    left = WIDTH - 6 - text_width
    top = 53.0

    pixels = bytearray()
    for y in range(HEIGHT):
        pixels.append(0)  # PNG filter: none
        for x in range(WIDTH):
            acc = [0.0, 0.0, 0.0]
            for sy in range(SS):
                for sx in range(SS):
                    px = x + (sx + 0.5) / SS
                    py = y + (sy + 0.5) / SS
                    c = background(px, py)
                    for d, colour in beams:
                        light = beam(px, py, origin, d, math.radians(13), colour, 165.0)
                        c = [a + b for a, b in zip(c, light)]
                    part = inside_luminaire(px, py)
                    if part == "head":
                        c = [0.55, 0.58, 0.62]
                    elif part == "lens":
                        c = [1.0, 0.98, 0.9]
                    elif part in ("bar", "yoke"):
                        c = [0.4, 0.42, 0.46]
                    if text_dots(px, py, left, top, cell):
                        c = [1.0, 0.93, 0.72]
                    acc = [a + b for a, b in zip(acc, c)]
            for a in acc:
                v = min(1.0, a / (SS * SS))
                pixels.append(int(round(255 * v ** (1 / 1.1))))
            pixels.append(255)
    return bytes(pixels)


def chunk(kind, data):
    body = kind + data
    return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)


def write_png(path, rows):
    header = struct.pack(">IIBBBBB", WIDTH, HEIGHT, 8, 6, 0, 0, 0)  # 8-bit RGBA
    with open(path, "wb") as f:
        f.write(b"\x89PNG\r\n\x1a\n")
        f.write(chunk(b"IHDR", header))
        f.write(chunk(b"IDAT", zlib.compress(rows, 9)))
        f.write(chunk(b"IEND", b""))


if __name__ == "__main__":
    write_png(os.path.join(os.path.dirname(os.path.abspath(__file__)), "banner-142.png"), render())
