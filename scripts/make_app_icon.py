#!/usr/bin/env python3
"""Draws the program's icon: three stacked picture frames, the front one showing a hill
under a sun. Writes the scalable SVG and PNG renderings of the same shapes.

Run once from the repository root; the resulting files are committed:
    python3 scripts/make_app_icon.py data/icons
"""
import os
import struct
import sys
import zlib

# Shapes in a 256 x 256 design space, painted in order: (kind, geometry, RGB).
FRAMES = [(24, 24, "#d9d9d9"), (48, 56, "#bcd4ee"), (72, 88, "#ffffff")]
FRAME_W, FRAME_H, RADIUS, STROKE, INK = 160, 128, 14, 6, "#3a3a3a"
SKY = (84, 100, 136, 104, "#7fb8f0")
SUN = (190, 128, 15, "#ffd23c")
HILL = ([(84, 204), (128, 140), (158, 176), (186, 150), (220, 204)], "#3c9b4a")


def rgb(hex_colour):
    return tuple(int(hex_colour[i:i + 2], 16) for i in (1, 3, 5))


def in_round_rect(x, y, left, top, w, h, r):
    if x < left or y < top or x > left + w or y > top + h:
        return False
    cx = min(max(x, left + r), left + w - r)
    cy = min(max(y, top + r), top + h - r)
    return (x - cx) ** 2 + (y - cy) ** 2 <= r * r


def in_polygon(x, y, points):
    inside = False
    j = len(points) - 1
    for i, (xi, yi) in enumerate(points):
        xj, yj = points[j]
        if (yi > y) != (yj > y) and x < (xj - xi) * (y - yi) / (yj - yi) + xi:
            inside = not inside
        j = i
    return inside


def colour_at(x, y):
    """The colour at design point (x, y), or None for transparent."""
    colour = None
    for left, top, fill in FRAMES:
        if in_round_rect(x, y, left, top, FRAME_W, FRAME_H, RADIUS):
            inner = in_round_rect(x, y, left + STROKE, top + STROKE, FRAME_W - 2 * STROKE,
                                  FRAME_H - 2 * STROKE, RADIUS - STROKE)
            colour = fill if inner else INK
    sl, st, sw, sh, sky = SKY
    if sl <= x <= sl + sw and st <= y <= st + sh:
        colour = sky
        cx, cy, r, sun = SUN
        if (x - cx) ** 2 + (y - cy) ** 2 <= r * r:
            colour = sun
        if in_polygon(x, y, HILL[0]):
            colour = HILL[1]
    return colour


def render(size, samples=4):
    scale = 256.0 / size
    rows = []
    for py in range(size):
        row = bytearray([0])
        for px in range(size):
            r = g = b = a = 0
            for sy in range(samples):
                for sx in range(samples):
                    c = colour_at((px + (sx + 0.5) / samples) * scale,
                                  (py + (sy + 0.5) / samples) * scale)
                    if c:
                        cr, cg, cb = rgb(c)
                        r, g, b, a = r + cr, g + cg, b + cb, a + 1
            n = samples * samples
            row += bytes([r // a, g // a, b // a, 255 * a // n] if a else [0, 0, 0, 0])
        rows.append(bytes(row))
    return rows


def write_png(path, size, rows):
    def chunk(tag, data):
        body = tag + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))
    with open(path, "wb") as f:
        f.write(b"\x89PNG\r\n\x1a\n")
        f.write(chunk(b"IHDR", struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0)))
        f.write(chunk(b"IDAT", zlib.compress(b"".join(rows), 9)))
        f.write(chunk(b"IEND", b""))


def write_svg(path):
    parts = ['<svg xmlns="http://www.w3.org/2000/svg" width="256" height="256" '
             'viewBox="0 0 256 256">']
    for left, top, fill in FRAMES:
        half = STROKE / 2
        parts.append(f'<rect x="{left + half}" y="{top + half}" width="{FRAME_W - STROKE}" '
                     f'height="{FRAME_H - STROKE}" rx="{RADIUS - half}" fill="{fill}" '
                     f'stroke="{INK}" stroke-width="{STROKE}"/>')
    sl, st, sw, sh, sky = SKY
    parts.append(f'<clipPath id="p"><rect x="{sl}" y="{st}" width="{sw}" height="{sh}"/>'
                 '</clipPath><g clip-path="url(#p)">')
    parts.append(f'<rect x="{sl}" y="{st}" width="{sw}" height="{sh}" fill="{sky}"/>')
    cx, cy, r, sun = SUN
    parts.append(f'<circle cx="{cx}" cy="{cy}" r="{r}" fill="{sun}"/>')
    points = " ".join(f"{x},{y}" for x, y in HILL[0])
    parts.append(f'<polygon points="{points}" fill="{HILL[1]}"/></g></svg>')
    with open(path, "w") as f:
        f.write("\n".join(parts) + "\n")


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else "data/icons"
    os.makedirs(out, exist_ok=True)
    write_svg(os.path.join(out, "mbmzembrel.svg"))
    for size in (16, 32, 48, 128, 256):
        write_png(os.path.join(out, f"mbmzembrel-{size}.png"), size, render(size))


if __name__ == "__main__":
    main()
