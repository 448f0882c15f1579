#!/usr/bin/env python3
"""Writes Tarvel.ico: 16 x 16 and 32 x 32 images in the 16 standard Windows colours.

The picture is drawn from a few rectangles, so the bytes are the same on every run:
a white tile with a navy frame holding a dimension (two extension lines, the dimension
line with filled arrowheads) and a red bar for its value standing above it.
"""
import struct
import sys

# The standard 16-colour palette, in Windows' order.
PALETTE = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128), (0, 128, 128),
    (192, 192, 192), (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0), (0, 0, 255),
    (255, 0, 255), (0, 255, 255), (255, 255, 255),
]
NAVY, SILVER, RED, BLUE, WHITE = 4, 7, 9, 12, 15


def picture(size):
    """Rows of palette indices, top row first; None is transparent."""
    grid = [[None] * size for _ in range(size)]

    def fill(x0, y0, x1, y1, colour):  # inclusive corners, in 32-pixel units
        k = size / 32
        for y in range(int(y0 * k), int((y1 + 1) * k)):
            for x in range(int(x0 * k), int((x1 + 1) * k)):
                grid[y][x] = colour

    fill(1, 1, 30, 30, NAVY)
    fill(3, 3, 28, 28, WHITE)
    fill(6, 14, 7, 26, BLUE)       # extension lines
    fill(24, 14, 25, 26, BLUE)
    fill(6, 18, 25, 19, BLUE)      # dimension line
    for step in range(4):          # arrowheads pointing outward
        fill(8 + step, 18 - step, 9 + step, 19 + step, BLUE)
        fill(22 - step, 18 - step, 23 - step, 19 + step, BLUE)
    fill(10, 7, 21, 10, RED)       # the value
    fill(9, 12, 22, 12, SILVER)    # its underline
    return grid


def image(size):
    grid = picture(size)
    xor_row = (size * 4 + 31) // 32 * 4
    and_row = (size + 31) // 32 * 4
    xor, mask = bytearray(), bytearray()
    for row in reversed(grid):     # bitmaps are stored bottom-up
        line = bytearray(xor_row)
        bits = bytearray(and_row)
        for x, colour in enumerate(row):
            index = 0 if colour is None else colour
            line[x // 2] |= index << (4 if x % 2 == 0 else 0)
            if colour is None:
                bits[x // 8] |= 0x80 >> (x % 8)
        xor += line
        mask += bits
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 4, 0, len(xor) + len(mask), 0, 0, 16, 0)
    palette = b"".join(struct.pack("BBBB", b, g, r, 0) for r, g, b in PALETTE)
    return header + palette + bytes(xor) + bytes(mask)


def main(path):
    images = [image(16), image(32)]
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, data in zip((16, 32), images):
        out += struct.pack("<BBBBHHII", size, size, 16, 0, 1, 4, len(data), offset)
        offset += len(data)
    with open(path, "wb") as f:
        f.write(out + b"".join(images))


if __name__ == "__main__":
    main(sys.argv[1] if len(sys.argv) > 1 else "Tarvel.ico")
