#!/usr/bin/env python3
"""Draws setup.exe's icon: a blue USB stick with a white arrow pointing into
it, at 48, 32 and 16 pixels, 32 bits per pixel with a 1-bit mask, and writes
them as one .ico file (AdminExe/resources/setup.ico by default).

Plain Python, no imaging library: the shapes are computed per pixel at four
times the size and averaged down, which gives smooth edges at 16 pixels.
The output is committed; run this again only to change the drawing.
"""
import struct
import sys

SIZES = (48, 32, 16)
SUPERSAMPLE = 4


def inside_round_rect(x, y, x0, y0, x1, y1, r):
    """True when (x, y) lies in the rectangle [x0,x1]x[y0,y1] with corners of radius r."""
    if x < x0 or x > x1 or y < y0 or y > y1:
        return False
    cx = min(max(x, x0 + r), x1 - r)
    cy = min(max(y, y0 + r), y1 - r)
    return (x - cx) ** 2 + (y - cy) ** 2 <= r * r


def inside_arrow(x, y):
    """A downward arrow in the upper middle, in unit coordinates."""
    if 0.44 <= x <= 0.56 and 0.10 <= y <= 0.40:
        return True
    # The head: a triangle from (0.30, 0.36) to (0.70, 0.36) down to (0.50, 0.56).
    if 0.36 <= y <= 0.56:
        half = (0.56 - y) / 0.20 * 0.20
        return abs(x - 0.5) <= half
    return False


def colour_at(x, y):
    """RGBA in 0..1 of the drawing at unit coordinates (x, y)."""
    if inside_arrow(x, y):
        return (1.0, 1.0, 1.0, 1.0)
    # The connector: a grey metal tab on top of the stick.
    if inside_round_rect(x, y, 0.36, 0.30, 0.64, 0.48, 0.02):
        return (0.75, 0.77, 0.80, 1.0)
    # The stick's body, darker towards the bottom.
    if inside_round_rect(x, y, 0.24, 0.44, 0.76, 0.94, 0.08):
        shade = 0.85 - 0.35 * (y - 0.44) / 0.50
        return (0.10 * shade, 0.45 * shade, 0.95 * shade, 1.0)
    return (0.0, 0.0, 0.0, 0.0)


def render(size):
    """Rows of (r, g, b, a) bytes, top row first."""
    n = size * SUPERSAMPLE
    rows = []
    for py in range(size):
        row = []
        for px in range(size):
            acc = [0.0, 0.0, 0.0, 0.0]
            for sy in range(SUPERSAMPLE):
                for sx in range(SUPERSAMPLE):
                    r, g, b, a = colour_at((px * SUPERSAMPLE + sx + 0.5) / n,
                                           (py * SUPERSAMPLE + sy + 0.5) / n)
                    acc[0] += r * a
                    acc[1] += g * a
                    acc[2] += b * a
                    acc[3] += a
            samples = SUPERSAMPLE * SUPERSAMPLE
            alpha = acc[3] / samples
            if alpha > 0:
                rgb = [acc[i] / acc[3] for i in range(3)]
            else:
                rgb = [0.0, 0.0, 0.0]
            row.append(tuple(int(round(v * 255)) for v in rgb + [alpha]))
        rows.append(row)
    return rows


def icon_image(size):
    """One icon image: BITMAPINFOHEADER, BGRA pixels bottom-up, AND mask."""
    rows = render(size)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    pixels = bytearray()
    for row in reversed(rows):
        for r, g, b, a in row:
            pixels += bytes((b, g, r, a))
    mask_stride = ((size + 31) // 32) * 4
    mask = bytearray()
    for row in reversed(rows):
        bits = bytearray(mask_stride)
        for x, (_, _, _, a) in enumerate(row):
            if a == 0:  # transparent where nothing is drawn
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bits
    return header + bytes(pixels) + bytes(mask)


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else "AdminExe/resources/setup.ico"
    images = [icon_image(s) for s in SIZES]
    data = bytearray(struct.pack("<HHH", 0, 1, len(images)))
    offset = 6 + 16 * len(images)
    for size, image in zip(SIZES, images):
        data += struct.pack("<BBBBHHII", size, size, 0, 0, 1, 32, len(image), offset)
        offset += len(image)
    for image in images:
        data += image
    with open(out, "wb") as f:
        f.write(data)


if __name__ == "__main__":
    main()
