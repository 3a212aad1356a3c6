#!/usr/bin/env python3
"""Makes the program's own art: the splash picture (JPEG) and the program icon.

    make-art.py <output folder>

The pictures are computed here; ImageMagick's convert turns the splash into a JPEG and
writes the program's name on it. The icon is written directly (32-bit bitmaps in an ICO).
"""
import math
import os
import struct
import subprocess
import sys

SPLASH_W, SPLASH_H = 524, 268


def clamp(v):
    return max(0, min(255, int(v)))


def splash_pixels():
    """A night-blue field, a glowing waveform and a row of spectrum bars."""
    rows = []
    bars = 40
    bar_w = SPLASH_W / bars
    heights = [0.25 + 0.65 * abs(math.sin(i * 0.37) * math.cos(i * 0.11)) for i in range(bars)]
    for y in range(SPLASH_H):
        row = bytearray()
        fy = y / (SPLASH_H - 1)
        for x in range(SPLASH_W):
            fx = x / (SPLASH_W - 1)
            r = 8 + 30 * fy
            g = 14 + 40 * fy
            b = 48 + 90 * (1 - fy) * (0.6 + 0.4 * fx)
            # spectrum bars along the bottom
            bar = int(x / bar_w)
            top = SPLASH_H - heights[bar] * 110
            inside = (x % bar_w) < bar_w - 3
            if y >= top and inside:
                t = (SPLASH_H - y) / 110
                r += 40 + 120 * t
                g += 90 + 80 * (1 - t)
                b += 60
            # a glowing sine wave across the middle
            wave = 150 + 28 * math.sin(fx * math.pi * 5.0) * math.exp(-((fx - 0.55) ** 2) * 4)
            d = abs(y - wave)
            glow = math.exp(-d * d / 18.0)
            r += 200 * glow
            g += 230 * glow
            b += 120 * glow
            row += bytes((clamp(r), clamp(g), clamp(b)))
        rows.append(bytes(row))
    return rows


def write_ppm(path, width, height, rows):
    with open(path, "wb") as f:
        f.write(b"P6\n%d %d\n255\n" % (width, height))
        for row in rows:
            f.write(row)


def make_splash(out):
    ppm = os.path.join(out, "splash.ppm")
    write_ppm(ppm, SPLASH_W, SPLASH_H, splash_pixels())
    jpg = os.path.join(out, "splash.jpg")
    font = "/usr/share/fonts/truetype/liberation/LiberationSans-BoldItalic.ttf"
    text = []
    if os.path.exists(font):
        text = ["-font", font, "-fill", "#E8F0FF", "-pointsize", "54",
                "-gravity", "NorthEast", "-annotate", "+24+100", "Parvolux",
                "-pointsize", "13", "-fill", "#9FB8E0", "-annotate", "+30+84", "media player"]
    subprocess.run(["convert", ppm] + text + ["-quality", "90", jpg], check=True)
    os.remove(ppm)


def icon_image(size):
    """A play triangle in a ring, as BGRA rows bottom-up with an AND mask, for an ICO entry."""
    c = (size - 1) / 2
    pixels = []
    for y in range(size - 1, -1, -1):
        for x in range(size):
            dx, dy = x - c, y - c
            dist = math.hypot(dx, dy)
            a = 0.0
            col = (0, 0, 0)
            if dist <= c + 0.5:
                a = min(1.0, c + 0.5 - dist)
                shade = 1 - dist / (c + 1)
                col = (clamp(30 + 40 * shade), clamp(60 + 90 * shade), clamp(150 + 100 * shade))
            # the triangle, pointing right
            tx = (x - size * 0.36) / (size * 0.4)
            ty = abs(y - c) / (size * 0.28)
            if 0 <= tx <= 1 and ty <= 1 - tx:
                col = (255, 235, 120)
            pixels.append(struct.pack("BBBB", col[2], col[1], col[0], clamp(a * 255)))
    xor = b"".join(pixels)
    mask_row = ((size + 31) // 32) * 4
    and_mask = bytes(mask_row * size)  # transparency comes from the alpha channel
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, len(xor) + len(and_mask), 0, 0, 0, 0)
    return header + xor + and_mask


def make_icon(out):
    sizes = [16, 32, 48]
    images = [icon_image(s) for s in sizes]
    data = struct.pack("<HHH", 0, 1, len(sizes))
    offset = 6 + 16 * len(sizes)
    for s, img in zip(sizes, images):
        data += struct.pack("<BBBBHHII", s, s, 0, 0, 1, 32, len(img), offset)
        offset += len(img)
    with open(os.path.join(out, "parvolux.ico"), "wb") as f:
        f.write(data + b"".join(images))


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else "."
    os.makedirs(out, exist_ok=True)
    make_splash(out)
    make_icon(out)


if __name__ == "__main__":
    main()
