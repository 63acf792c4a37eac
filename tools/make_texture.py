#!/usr/bin/env python3
"""Writes the well's stone texture: a 36 x 45, 256-colour BMP of grey speckles.

The output is committed; running this again reproduces it byte for byte.
Usage: make_texture.py [OUTPUT]   (default: shell/res/texture.bmp beside this tool)
"""
import os
import random
import struct
import sys

WIDTH, HEIGHT = 36, 45
DARKEST, LIGHTEST = 128, 234
SEED = 20240611


def speckles():
    rng = random.Random(SEED)
    noise = [[rng.random() for _ in range(WIDTH)] for _ in range(HEIGHT)]
    # A little blur, wrapping at the edges so the tiles meet without seams, gives the grain of
    # stone; a few single dark and light grains on top give the speckles.
    grain = [[0.0] * WIDTH for _ in range(HEIGHT)]
    for y in range(HEIGHT):
        for x in range(WIDTH):
            total = 0.0
            for dy in (-1, 0, 1):
                for dx in (-1, 0, 1):
                    weight = 4 if dx == dy == 0 else 1
                    total += weight * noise[(y + dy) % HEIGHT][(x + dx) % WIDTH]
            grain[y][x] = total / 12
    low = min(min(row) for row in grain)
    high = max(max(row) for row in grain)
    pixels = []
    for y in range(HEIGHT):
        row = []
        for x in range(WIDTH):
            level = 150 + (grain[y][x] - low) / (high - low) * 70
            roll = rng.random()
            if roll < 0.04:
                level = rng.uniform(DARKEST, 145)
            elif roll > 0.97:
                level = rng.uniform(222, LIGHTEST)
            row.append(max(DARKEST, min(LIGHTEST, int(round(level)))))
        pixels.append(row)
    return pixels


def bmp(pixels):
    # Palette entry i is the grey of level i, so a pixel's index is its grey.
    palette = b"".join(struct.pack("<BBBB", i, i, i, 0) for i in range(256))
    stride = (WIDTH + 3) // 4 * 4
    rows = b"".join(bytes(row) + b"\0" * (stride - WIDTH) for row in reversed(pixels))
    offset = 14 + 40 + len(palette)
    info = struct.pack("<IiiHHIIiiII", 40, WIDTH, HEIGHT, 1, 8, 0, len(rows), 2835, 2835, 256, 0)
    header = struct.pack("<2sIHHI", b"BM", offset + len(rows), 0, 0, offset)
    return header + info + palette + rows


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "..", "shell", "res", "texture.bmp")
    with open(out, "wb") as f:
        f.write(bmp(speckles()))


if __name__ == "__main__":
    main()
