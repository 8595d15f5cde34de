#!/usr/bin/env python3
"""Draws the eight demo icon bitmaps that the editor embeds as resources.

Run once from the repository root; the resulting .bmp files are committed:
    python3 scripts/make_demo_icons.py src/ui/icons

The Qev set shows a lettering logo on white, the MBMZembrel set a stack of picture
frames on white. Every mask is black where its icon is drawn and white around it.
IconBigQevMask.bmp is stored as 8 bits per pixel with a grey palette, all the others
as 24 bits per pixel.
"""
import os
import struct
import sys

WHITE = (255, 255, 255)
BLACK = (0, 0, 0)

# 5 x 7 glyphs of the logo's letters, '#' = ink.
GLYPHS = {
    "Q": [".###.", "#...#", "#...#", "#...#", "#.#.#", "#..#.", ".##.#"],
    "E": ["#####", "#....", "#....", "####.", "#....", "#....", "#####"],
    "V": ["#...#", "#...#", "#...#", "#...#", ".#.#.", ".#.#.", "..#.."],
}


def canvas(w, h):
    return [[WHITE for _ in range(w)] for _ in range(h)]


def fill(img, x0, y0, x1, y1, colour):
    """Fills the rectangle [x0, x1) x [y0, y1), clipped to the picture."""
    for y in range(max(0, y0), min(len(img), y1)):
        for x in range(max(0, x0), min(len(img[0]), x1)):
            img[y][x] = colour


def lettering(w, h):
    """The Qev logo: the letters QEV, each in its own colour, centred on white."""
    colours = [(200, 30, 40), (30, 110, 200), (20, 150, 70)]
    cx = max(1, min((w - 4) // (3 * 6), (h - 4) // 7))
    # At the small size one-pixel-wide letters get two-pixel-high strokes, to stay legible.
    cy = cx if cx > 1 else max(1, min(2, (h - 4) // 7))
    text_w, text_h = 3 * 6 * cx - cx, 7 * cy
    left, top = (w - text_w) // 2, (h - text_h) // 2
    img = canvas(w, h)
    for i, letter in enumerate("QEV"):
        for row, line in enumerate(GLYPHS[letter]):
            for col, ink in enumerate(line):
                if ink == "#":
                    x = left + (i * 6 + col) * cx
                    y = top + row * cy
                    fill(img, x, y, x + cx, y + cy, colours[i])
    return img


def frames(w, h):
    """A stack of three picture frames, each offset down and right of the one behind it."""
    img = canvas(w, h)
    fw, fh = w * 3 // 5, h * 3 // 5
    step_x, step_y = (w - fw) // 3, (h - fh) // 3
    border = max(1, min(w, h) // 16)
    skies = [(120, 170, 230), (250, 200, 90), (110, 190, 120)]
    for i in range(3):
        x0, y0 = 1 + i * step_x, 1 + i * step_y
        x1, y1 = x0 + fw, y0 + fh
        fill(img, x0, y0, x1, y1, (60, 40, 20))  # frame
        fill(img, x0 + border, y0 + border, x1 - border, y1 - border, skies[i])
        # A hill in the picture of each frame.
        for x in range(x0 + border, x1 - border):
            crest = y1 - border - (fh // 3) + abs(x - (x0 + x1) // 2) * fh // (2 * fw)
            fill(img, x, crest, x + 1, y1 - border, (40, 120, 50))
    return img


def mask_of(img):
    """Black where the icon is drawn (anything but white), white around it."""
    return [[BLACK if p != WHITE else WHITE for p in row] for row in img]


def bmp_bytes(img, bits):
    h, w = len(img), len(img[0])
    if bits == 24:
        stride = (w * 3 + 3) & ~3
        palette = b""
        rows = []
        for row in reversed(img):
            data = b"".join(bytes((b, g, r)) for (r, g, b) in row)
            rows.append(data + b"\0" * (stride - len(data)))
    elif bits == 8:
        stride = (w + 3) & ~3
        palette = b"".join(bytes((i, i, i, 0)) for i in range(256))
        rows = []
        for row in reversed(img):
            data = bytes((r * 299 + g * 587 + b * 114) // 1000 for (r, g, b) in row)
            rows.append(data + b"\0" * (stride - len(data)))
    else:
        raise ValueError(bits)
    pixels = b"".join(rows)
    offset = 14 + 40 + len(palette)
    colours = 256 if bits == 8 else 0
    header = struct.pack("<2sIHHI", b"BM", offset + len(pixels), 0, 0, offset)
    info = struct.pack("<IiiHHIIiiII", 40, w, h, 1, bits, 0, len(pixels), 3780, 3780,
                       colours, colours)
    return header + info + palette + pixels


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else "src/ui/icons"
    os.makedirs(out, exist_ok=True)
    sets = [("Qev", lettering), ("MBMZembrel", frames)]
    for name, draw in sets:
        for size, (w, h) in (("Big", (64, 50)), ("Small", (25, 20))):
            icon = draw(w, h)
            mask_bits = 8 if (name, size) == ("Qev", "Big") else 24
            files = {
                f"Icon{size}{name}.bmp": bmp_bytes(icon, 24),
                f"Icon{size}{name}Mask.bmp": bmp_bytes(mask_of(icon), mask_bits),
            }
            for file, data in files.items():
                with open(os.path.join(out, file), "wb") as f:
                    f.write(data)


if __name__ == "__main__":
    main()
