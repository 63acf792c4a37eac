#!/usr/bin/env python3
"""Writes the pause bitmap, the program icon and the two row sounds of Talvex into shell/res/.

Deterministic: the same files come out on every run, so the outputs are committed beside this
script and a rerun shows no difference.
"""
import math
import os
import struct
import sys

# The standard 16-colour palette, in index order.
PALETTE = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0),
    (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
    (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
    (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]
SILVER, BLUE, WHITE = 7, 12, 15


def palette_bytes():
    return b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in PALETTE)


def info_header(width, height, bits, image_size):
    return struct.pack("<IiiHHIIiiII", 40, width, height, 1, bits, 0, image_size, 0, 0, 16, 0)


def pack_4bpp(pixels):
    """Rows of colour indices, top first, as bottom-up 4-bit rows padded to 32 bits."""
    out = bytearray()
    for row in reversed(pixels):
        line = bytearray()
        for i in range(0, len(row), 2):
            line.append((row[i] << 4) | (row[i + 1] if i + 1 < len(row) else 0))
        while len(line) % 4:
            line.append(0)
        out += line
    return bytes(out)


def pack_mask(mask):
    """Rows of 1 (transparent) / 0 (opaque), top first, as a bottom-up 1-bit mask."""
    out = bytearray()
    for row in reversed(mask):
        line = bytearray()
        for i in range(0, len(row), 8):
            byte = 0
            for bit, value in enumerate(row[i:i + 8]):
                byte |= value << (7 - bit)
            line.append(byte)
        while len(line) % 4:
            line.append(0)
        out += line
    return bytes(out)


def pause_bitmap():
    size = 16
    pixels = [[SILVER] * size for _ in range(size)]
    for y in range(3, 13):
        for x in list(range(4, 7)) + list(range(9, 12)):
            pixels[y][x] = BLUE
    bits = pack_4bpp(pixels)
    header = info_header(size, size, 4, len(bits))
    offset = 14 + len(header) + 64
    file_header = struct.pack("<2sIHHI", b"BM", offset + len(bits), 0, 0, offset)
    return file_header + header + palette_bytes() + bits


# Icon: a turned piece falling onto a stepped stack, cells as bevelled squares on a 4 x 4 grid.
# Each entry: (column, row from the top, fill, light edge, dark edge).
ICON_CELLS = [
    (1, 0, 13, WHITE, 5),
    (1, 1, 13, WHITE, 5), (2, 1, 13, WHITE, 5),
    (2, 2, 13, WHITE, 5),
    (0, 2, 11, WHITE, 3),
    (0, 3, 9, WHITE, 1), (1, 3, 10, WHITE, 2), (2, 3, 12, 14, 4), (3, 3, 12, 14, 4),
    (3, 2, 14, WHITE, 6),
]


def icon_pixels(size):
    """The icon's picture at a size: palette indices, with None where it is transparent."""
    cell = size // 4
    edge = max(1, cell // 8)  # the bevel keeps its proportion in the larger images
    pixels = [[None] * size for _ in range(size)]
    for column, row, fill, light, dark in ICON_CELLS:
        left, top = column * cell, row * cell
        for y in range(top, top + cell):
            for x in range(left, left + cell):
                dx, dy = x - left, y - top
                if dx >= cell - edge or dy >= cell - edge:
                    colour = dark
                elif dx < edge or dy < edge:
                    colour = light
                else:
                    colour = fill
                pixels[y][x] = colour
    return pixels


def icon_image(size):
    """16 colours with a transparency mask, for the small sizes every screen asks for."""
    picture = icon_pixels(size)
    pixels = [[0 if p is None else p for p in row] for row in picture]
    mask = [[1 if p is None else 0 for p in row] for row in picture]
    xor = pack_4bpp(pixels)
    and_mask = pack_mask(mask)
    header = info_header(size, size * 2, 4, len(xor) + len(and_mask))
    return header + palette_bytes() + xor + and_mask


def icon_image_alpha(size):
    """32-bit colour with alpha, for the sizes a desktop's title bars, menus and docks ask for."""
    picture = icon_pixels(size)
    xor = bytearray()
    for row in reversed(picture):
        for p in row:
            if p is None:
                xor += b"\0\0\0\0"
            else:
                r, g, b = PALETTE[p]
                xor += struct.pack("<BBBB", b, g, r, 255)
    and_mask = pack_mask([[1 if p is None else 0 for p in row] for row in picture])
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, len(xor) + len(and_mask),
                         0, 0, 0, 0)
    return header + bytes(xor) + and_mask


def icon_file():
    # (size, colours in the directory, bits per pixel, image)
    images = [(32, 16, 4, icon_image(32)), (16, 16, 4, icon_image(16))]
    images += [(size, 0, 32, icon_image_alpha(size)) for size in (24, 48, 64, 256)]
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, colours, bits, data in images:
        side = size % 256  # 256 is written as 0
        out += struct.pack("<BBBBHHII", side, side, colours, 0, 1, bits, len(data), offset)
        offset += len(data)
    return out + b"".join(data for *_, data in images)


RATE = 11025


def wave_file(samples):
    data = bytes(samples)
    fmt = struct.pack("<HHIIHH", 1, 1, RATE, RATE, 1, 8)
    body = b"WAVE" + b"fmt " + struct.pack("<I", len(fmt)) + fmt
    body += b"data" + struct.pack("<I", len(data)) + data
    return b"RIFF" + struct.pack("<I", len(body)) + body


def to_unsigned(values):
    return [max(0, min(255, 128 + int(round(v)))) for v in values]


def envelope(t, attack, decay):
    """Soft attack, exponential decay: no clicks at either end."""
    if t < 0:
        return 0.0
    rise = min(1.0, t / attack)
    return rise * math.exp(-t / decay)


def chime(count):
    """A rising three-note bell, played when the level goes up."""
    notes = [(0.00, 1046.50), (0.11, 1318.51), (0.22, 1567.98)]
    values = []
    for n in range(count):
        t = n / RATE
        v = 0.0
        for start, freq in notes:
            local = t - start
            if local < 0:
                continue
            e = envelope(local, 0.004, 0.16)
            v += e * (math.sin(2 * math.pi * freq * local)
                      + 0.3 * math.sin(2 * math.pi * 2 * freq * local))
        fade = min(1.0, (count - n) / 400)  # reach silence by the last sample
        values.append(34 * v * fade)
    return to_unsigned(values)


def click(count):
    """A short wooden knock, played when rows go without a level change."""
    values = []
    for n in range(count):
        t = n / RATE
        freq = 660 - 900 * t  # a slight downward bend
        e = envelope(t, 0.002, 0.035)
        v = e * (math.sin(2 * math.pi * freq * t) + 0.4 * math.sin(2 * math.pi * 2.7 * freq * t))
        fade = min(1.0, (count - n) / 200)
        values.append(70 * v * fade)
    return to_unsigned(values)


def main():
    root = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "shell", "res")
    outputs = {
        "pause.bmp": pause_bitmap(),
        "talvex.ico": icon_file(),
        "level_up.wav": wave_file(chime(7136)),
        "rows.wav": wave_file(click(2472)),
    }
    for name, data in outputs.items():
        with open(os.path.join(root, name), "wb") as f:
            f.write(data)
    return 0


if __name__ == "__main__":
    sys.exit(main())
