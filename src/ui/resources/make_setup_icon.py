#!/usr/bin/env python3
"""Writes setup_icon.ico: the setup icon the stub carries, 32x32, 4 bits per
pixel with the standard 16-colour palette. Windows scales it down where it
needs 16x16; a second image would cost the stub 300-odd bytes.

The picture is a blue package box with a lid line and a red arrow pointing
into it, drawn from a few rectangles scaled to each size. Run it from this
folder to remake the checked-in icon: python3 make_setup_icon.py
"""
import struct

# The standard 16-colour palette, as (blue, green, red, 0) entries.
PALETTE = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0),
    (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
    (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
    (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]  # (red, green, blue)
BLACK, DARK_BLUE, BLUE, RED, WHITE, GREY = 0, 4, 12, 9, 15, 8
TRANSPARENT = None


def draw(size):
    """Returns rows top to bottom of palette indices or TRANSPARENT."""
    unit = size / 16.0
    pixels = [[TRANSPARENT] * size for _ in range(size)]

    def fill(x0, y0, x1, y1, colour):
        for y in range(int(y0 * unit), int(y1 * unit)):
            for x in range(int(x0 * unit), int(x1 * unit)):
                pixels[y][x] = colour

    fill(1, 5, 15, 15, BLACK)       # box outline
    fill(2, 6, 14, 14, BLUE)        # box front
    fill(2, 8, 14, 9, DARK_BLUE)    # lid line
    fill(6, 10, 10, 12, WHITE)      # label
    fill(7, 0, 9, 5, RED)           # arrow shaft
    fill(5, 3, 11, 4, RED)          # arrow head, wide row
    fill(6, 4, 10, 5, RED)          # arrow head, narrow row
    fill(7, 5, 9, 6, RED)           # arrow tip, on the lid
    return pixels


def image(size):
    pixels = draw(size)
    header = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 4, 0, 0, 0, 0, 16, 0)
    palette = b''.join(struct.pack('BBBB', b, g, r, 0) for (r, g, b) in PALETTE)
    xor_rows, and_rows = [], []
    for row in reversed(pixels):  # bitmaps are stored bottom-up
        nibbles = [0 if p is TRANSPARENT else p for p in row]
        xor = bytes((nibbles[i] << 4) | nibbles[i + 1] for i in range(0, size, 2))
        xor_rows.append(xor + b'\0' * (-len(xor) % 4))
        bits = 0
        for p in row:
            bits = (bits << 1) | (1 if p is TRANSPARENT else 0)
        mask = bits.to_bytes(size // 8, 'big')
        and_rows.append(mask + b'\0' * (-len(mask) % 4))
    return header + palette + b''.join(xor_rows) + b''.join(and_rows)


def main():
    images = [image(32)]
    offset = 6 + 16 * len(images)
    directory = struct.pack('<HHH', 0, 1, len(images))
    for size, data in zip((32,), images):
        directory += struct.pack('<BBBBHHII', size, size, 16, 0, 1, 4, len(data), offset)
        offset += len(data)
    with open('setup_icon.ico', 'wb') as out:
        out.write(directory + b''.join(images))


if __name__ == '__main__':
    main()
