#!/usr/bin/env python3
"""Makes the program's own art: the splash picture (JPEG), the program icon, the main
window's 20 x 20 button glyphs, the video window's 10 x 10 state icons, its 16 x 16 caption
buttons, the main window's 12 x 12 face buttons, the extras panel's check boxes, radio buttons,
power buttons and close box (bitmaps) and the settings' speaker layouts (JPEG).

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


def write_bmp(path, width, height, pixel):
    """A 24-bit bitmap; pixel(x, y) gives (r, g, b) with y counting from the top."""
    row_size = (width * 3 + 3) // 4 * 4
    rows = []
    for y in range(height - 1, -1, -1):
        row = bytearray()
        for x in range(width):
            r, g, b = pixel(x, y)
            row += bytes((b, g, r))
        row += bytes(row_size - len(row))
        rows.append(bytes(row))
    data = b"".join(rows)
    header = struct.pack("<2sIHHI", b"BM", 14 + 40 + len(data), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    with open(path, "wb") as f:
        f.write(header + info + data)


def tri(px, py, a, b, c):
    """Point inside the triangle a, b, c."""
    def side(p, q, r):
        return (p[0] - r[0]) * (q[1] - r[1]) - (q[0] - r[0]) * (p[1] - r[1])
    d1, d2, d3 = side((px, py), a, b), side((px, py), b, c), side((px, py), c, a)
    return not ((d1 < 0 or d2 < 0 or d3 < 0) and (d1 > 0 or d2 > 0 or d3 > 0))


def box(px, py, x0, y0, x1, y1):
    return x0 <= px <= x1 and y0 <= py <= y1


def ring(px, py, cx, cy, r0, r1):
    d = math.hypot(px - cx, py - cy)
    return r0 <= d <= r1


# What each glyph shows, as a test of one point (x, y in 0..19, y down).
GLYPHS = {
    0: lambda x, y: box(x, y, 4, 5, 5, 14) or tri(x, y, (15, 5), (15, 14), (6, 9.5)),           # previous
    1: lambda x, y: box(x, y, 4, 5, 15, 14) and not box(x, y, 6, 7, 13, 12),                      # frame
    2: lambda x, y: box(x, y, 5, 5, 8, 14) or box(x, y, 11, 5, 14, 14),                           # pause
    3: lambda x, y: tri(x, y, (6, 4), (6, 15), (15, 9.5)),                                       # play
    4: lambda x, y: box(x, y, 5, 5, 14, 14),                                                    # stop
    5: lambda x, y: tri(x, y, (4, 5), (4, 14), (10, 9.5)) or tri(x, y, (10, 5), (10, 14), (16, 9.5)),
    6: lambda x, y: tri(x, y, (4, 5), (4, 14), (13, 9.5)) or box(x, y, 14, 5, 15, 14),           # next
    12: lambda x, y: (box(x, y, 3, 7, 16, 15) and not ring(x, y, 9.5, 11, 0, 2.2)) or box(x, y, 7, 5, 12, 6),  # camera
    15: lambda x, y: tri(x, y, (4, 11), (15, 11), (9.5, 5)) or box(x, y, 4, 13, 15, 14),         # open
    17: lambda x, y: any(box(x, y, 4, r, 15, r + 1) for r in (5, 9, 13)),                        # list
    19: lambda x, y: abs((y - 5) - (x - 4) * 9 / 11) < 1.1 and 4 <= x <= 15 or
                     abs((y - 14) + (x - 4) * 9 / 11) < 1.1 and 4 <= x <= 15,                    # shuffle
    20: lambda x, y: box(x, y, 6, 4, 13, 15) and not tri(x, y, (6, 16), (13, 16), (9.5, 11)),    # bookmark
    21: lambda x, y: box(x, y, 3, 8, 6, 11) or tri(x, y, (6, 8.5), (6, 10.5), (11, 9.5)) or
                     tri(x, y, (6, 9), (11, 4), (11, 15)) or ring(x, y, 11, 9.5, 4.5, 5.6) and x > 12,  # speaker
    22: lambda x, y: ring(x, y, 9.5, 9.5, 4, 5.5) and not (x > 11 and y < 8) or tri(x, y, (12, 2), (12, 9), (16, 5.5)),
}
GLYPH_COUNT = 23
OLIVE = (128, 128, 0)  # the glyphs' transparent colour


def make_control_images(out):
    def pixel(x, y):
        n, gx = divmod(x, 20)
        shape = GLYPHS.get(n, lambda a, b: box(a, b, 8, 8, 11, 11))
        if shape(gx, y):
            return (30, 40, 70)
        return OLIVE
    write_bmp(os.path.join(out, "control_images.bmp"), 20 * GLYPH_COUNT, 20, pixel)


def make_video_state_images(out):
    shapes = [
        lambda x, y: tri(x, y, (2, 1), (2, 8), (8, 4.5)),                    # playing
        lambda x, y: box(x, y, 2, 1, 3, 8) or box(x, y, 6, 1, 7, 8),         # paused
        lambda x, y: box(x, y, 2, 2, 7, 7),                                  # stopped
    ]
    def pixel(x, y):
        n, gx = divmod(x, 10)
        return (230, 230, 230) if shapes[n](gx, y) else (255, 0, 255)
    write_bmp(os.path.join(out, "video_state.bmp"), 30, 10, pixel)


# Maximise, restore, minimise, close; 16 x 16 each, fully opaque. Pure green never appears:
# it is the key colour of the caption buttons' window region.
CAPTION_SHAPES = [
    lambda x, y: box(x, y, 3, 3, 12, 12) and not box(x, y, 4, 6, 11, 11),
    lambda x, y: (box(x, y, 5, 3, 12, 9) and not box(x, y, 6, 5, 11, 8)) or
                 (box(x, y, 3, 6, 10, 12) and not box(x, y, 4, 8, 9, 11)),
    lambda x, y: box(x, y, 4, 10, 11, 11),
    lambda x, y: abs(x - y) < 1.2 and 3 <= x <= 12 or abs(x + y - 15) < 1.2 and 3 <= x <= 12,
]


def caption_pixel(shapes, size):
    def pixel(x, y):
        n, gx = divmod(x, size)
        if shapes[n](gx, y):
            return (235, 235, 235)
        edge = gx in (0, size - 1) or y in (0, size - 1)
        return (90, 90, 96) if edge else (40, 40, 46)
    return pixel


def make_caption_buttons(out):
    write_bmp(os.path.join(out, "caption_buttons.bmp"), 16 * len(CAPTION_SHAPES), 16,
              caption_pixel(CAPTION_SHAPES, 16))


# The main window's face: the menu, minimise and close (12 x 12 each).
FACE_SHAPES = [
    lambda x, y: tri(x, y, (2, 4), (9, 4), (5.5, 8)),
    lambda x, y: box(x, y, 3, 8, 8, 9),
    lambda x, y: abs(x - y) < 1.0 and 2 <= x <= 9 or abs(x + y - 11) < 1.0 and 2 <= x <= 9,
]


def make_face_buttons(out):
    write_bmp(os.path.join(out, "face_buttons.bmp"), 12 * len(FACE_SHAPES), 12, caption_pixel(FACE_SHAPES, 12))


# The extras panel's owner-drawn controls, on the image lists' transparent magenta.
MAGENTA = (255, 0, 255)
LIT, DIM = (235, 245, 255), (110, 114, 124)


def make_check_boxes(out):
    """17 x 17: unchecked, checked, then both disabled."""
    def pixel(x, y):
        n, gx = divmod(x, 17)
        ink = LIT if n < 2 else DIM
        frame = box(gx, y, 2, 2, 14, 14) and not box(gx, y, 3, 3, 13, 13)
        tick = n % 2 == 1 and (abs((y - 9) - (gx - 5)) < 1.2 and 5 <= gx <= 7 or
                               abs((y - 11) + (gx - 7)) < 1.2 and 7 <= gx <= 12)
        return ink if frame or tick else MAGENTA
    write_bmp(os.path.join(out, "checkbox_images.bmp"), 17 * 4, 17, pixel)


def make_radio_buttons(out):
    """17 x 17: unselected, selected, then both disabled."""
    def pixel(x, y):
        n, gx = divmod(x, 17)
        ink = LIT if n < 2 else DIM
        if ring(gx, y, 8, 8, 5.2, 6.6) or n % 2 == 1 and ring(gx, y, 8, 8, 0, 2.8):
            return ink
        return MAGENTA
    write_bmp(os.path.join(out, "radiobutton_images.bmp"), 17 * 4, 17, pixel)


def make_power_buttons(out):
    """43 x 17: spare, on, pressed, off, disabled: a rounded key with the power sign and a lamp."""
    looks = [  # key face, sign, lamp, shift of the face when pressed
        ((40, 44, 52), DIM, (60, 60, 60), 0),
        ((44, 52, 66), LIT, (90, 235, 110), 0),
        ((28, 32, 40), LIT, (60, 160, 80), 1),
        ((44, 52, 66), LIT, (150, 40, 40), 0),
        ((34, 36, 40), DIM, (60, 60, 60), 0),
    ]

    def pixel(x, y):
        n, gx = divmod(x, 43)
        face, sign, lamp, shift = looks[n]
        gx, gy = gx - shift, y - shift
        corner = min(gx, 42 - gx) + min(gy, 16 - gy)
        if not box(gx, gy, 0, 0, 42, 16) or corner < 2:
            return MAGENTA
        if gx in (0, 42) or gy in (0, 16):
            return (120, 126, 140)
        if ring(gx, gy, 12, 8.5, 3.6, 4.8) and not (gy < 7 and abs(gx - 12) < 2) or box(gx, gy, 12, 2, 12, 8):
            return sign
        if box(gx, gy, 27, 6, 35, 10):
            return lamp
        return face
    write_bmp(os.path.join(out, "powerbtn_images.bmp"), 43 * 5, 17, pixel)


def make_close_extras(out):
    """12 x 12: spare, normal, pressed: a cross in a frame, drawn on the panel's black."""
    def pixel(x, y):
        n, gx = divmod(x, 12)
        ink = (150, 155, 165) if n != 2 else LIT
        d = 1 if n == 2 else 0
        frame = box(gx, y, 0, 0, 11, 11) and not box(gx, y, 1, 1, 10, 10)
        cross = 3 <= gx - d <= 8 and 3 <= y - d <= 8 and (abs(gx - y) < 0.9 or abs(gx + y - 2 * d - 11) < 0.9)
        return ink if n > 0 and (frame or cross) else MAGENTA
    write_bmp(os.path.join(out, "closeextras_images.bmp"), 12 * 3, 12, pixel)


# Where the speakers stand for each speaker item, on a 0..1 floor seen from above (listener at
# the centre); a larger dot is the subwoofer.
SPEAKER_LAYOUTS = [
    [],                                                                  # headphones
    [(0.2, 0.25), (0.8, 0.25)],
    [(0.2, 0.25), (0.8, 0.25), (0.5, 0.85, 1)],
    [(0.2, 0.25), (0.8, 0.25), (0.2, 0.8), (0.8, 0.8)],
    [(0.2, 0.25), (0.8, 0.25), (0.2, 0.8), (0.8, 0.8), (0.5, 0.95, 1)],
    [(0.2, 0.25), (0.5, 0.15), (0.8, 0.25), (0.2, 0.8), (0.8, 0.8), (0.65, 0.95, 1)],
    [(0.2, 0.25), (0.5, 0.15), (0.8, 0.25), (0.1, 0.6), (0.9, 0.6), (0.5, 0.9), (0.75, 0.95, 1)],
    [(0.2, 0.25), (0.5, 0.15), (0.8, 0.25), (0.1, 0.55), (0.9, 0.55), (0.3, 0.9), (0.7, 0.9), (0.5, 0.97, 1)],
    [(0.2, 0.25), (0.5, 0.15), (0.8, 0.25), (0.1, 0.55), (0.9, 0.55), (0.2, 0.9), (0.5, 0.95), (0.8, 0.9),
     (0.92, 0.95, 1)],
]
SPK_W, SPK_H = 120, 90


def speaker_rows(layout):
    rows = []
    for y in range(SPK_H):
        row = bytearray()
        for x in range(SPK_W):
            r, g, b = 24, 30, 48
            # the listener
            if math.hypot(x - SPK_W / 2, y - SPK_H / 2) < 6:
                r, g, b = 230, 200, 120
            for spot in layout:
                radius = 8 if len(spot) > 2 else 5
                if math.hypot(x - spot[0] * SPK_W, y - spot[1] * SPK_H) < radius:
                    r, g, b = 120, 190, 250
            if not layout and (abs(math.hypot(x - SPK_W / 2, y - SPK_H / 2) - 14) < 1.5 and y < SPK_H / 2 or
                               math.hypot(x - SPK_W / 2 + 14, y - SPK_H / 2) < 4 or
                               math.hypot(x - SPK_W / 2 - 14, y - SPK_H / 2) < 4):
                r, g, b = 120, 190, 250                                  # a headband over the listener
            row += bytes((r, g, b))
        rows.append(bytes(row))
    return rows


def make_speaker_pictures(out):
    for n, layout in enumerate(SPEAKER_LAYOUTS, start=1):
        ppm = os.path.join(out, "spk%d.ppm" % n)
        write_ppm(ppm, SPK_W, SPK_H, speaker_rows(layout))
        subprocess.run(["convert", ppm, "-quality", "90", os.path.join(out, "spk%d.jpg" % n)], check=True)
        os.remove(ppm)


# The display's sprites in TBitmap32's stored form "Data": width, height (32-bit little endian),
# then B, G, R, A per pixel, top down. Light glyphs on transparent pixels.
LIGHT = (235, 245, 255)

# Seven segments in a 13 x 19 digit cell: x0, y0, x1, y1 (inclusive).
SEGMENTS = {
    "a": (3, 1, 9, 2), "b": (9, 2, 10, 8), "c": (9, 10, 10, 16), "d": (3, 16, 9, 17),
    "e": (2, 10, 3, 16), "f": (2, 2, 3, 8), "g": (3, 8, 9, 9),
}
DIGIT_SEGMENTS = ["abcdef", "bc", "abdeg", "abcdg", "bcfg", "acdfg", "acdefg", "abc", "abcdefg", "abcdfg"]


def write_data(path, width, height, pixel):
    """pixel(x, y) gives (r, g, b, a)."""
    out = bytearray(struct.pack("<ii", width, height))
    for y in range(height):
        for x in range(width):
            r, g, b, a = pixel(x, y)
            out += bytes((b, g, r, a))
    with open(path, "wb") as f:
        f.write(out)


def lit(on, alpha=255):
    return LIGHT + (alpha,) if on else (0, 0, 0, 0)


def make_digit_sprite(out):
    """182 x 19: digits 0-9 at 13-pixel cells, the minus at 143, the lit colon at 159, the dark one at 172."""
    def segment_on(segments, x, y):
        return any(box(x, y, *SEGMENTS[s]) for s in segments)

    def dots(x, y):
        return box(x, y, 2, 5, 4, 7) or box(x, y, 2, 12, 4, 14)

    def pixel(x, y):
        if x < 130:
            n, cx = divmod(x, 13)
            return lit(segment_on(DIGIT_SEGMENTS[n], cx, y))
        if 143 <= x < 156:
            return lit(segment_on("g", x - 143, y))
        if 159 <= x < 166:
            return lit(dots(x - 159, y))
        if 172 <= x < 179:
            return lit(dots(x - 172, y), 50)
        return lit(False)
    write_data(os.path.join(out, "image321.data"), 182, 19, pixel)


def make_indicator_sprite(out):
    """72 x 12: cells of 12; audio at 12, subtitles at 24, play, pause and stop at 36, 48, 60."""
    shapes = [
        lambda x, y: False,
        lambda x, y: box(x, y, 1, 4, 3, 7) or tri(x, y, (3, 4), (3, 7), (7, 1)) or tri(x, y, (3, 7), (7, 10), (7, 1))
                     or ring(x, y, 6, 5.5, 4, 5) and x > 8,                                   # speaker
        lambda x, y: (box(x, y, 0, 1, 11, 8) and not box(x, y, 1, 2, 10, 7)) or box(x, y, 2, 4, 9, 5)
                     or tri(x, y, (3, 8), (6, 8), (3, 11)),                                   # speech box
        lambda x, y: tri(x, y, (2, 1), (2, 10), (10, 5.5)),                                 # play
        lambda x, y: box(x, y, 2, 1, 4, 10) or box(x, y, 7, 1, 9, 10),                     # pause
        lambda x, y: box(x, y, 2, 2, 9, 9),                                                 # stop
    ]

    def pixel(x, y):
        n, cx = divmod(x, 12)
        return lit(shapes[n](cx, y))
    write_data(os.path.join(out, "image322.data"), 72, 12, pixel)


def make_caption_sprite(out):
    """A gloss for the caption box, stretched over it: light fading out towards the bottom."""
    height = 14

    def pixel(x, y):
        return LIGHT + (clamp(110 * (1 - y / (height - 1)) ** 2),)
    write_data(os.path.join(out, "image323.data"), 16, height, pixel)


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else "."
    os.makedirs(out, exist_ok=True)
    make_splash(out)
    make_icon(out)
    make_control_images(out)
    make_video_state_images(out)
    make_caption_buttons(out)
    make_face_buttons(out)
    make_check_boxes(out)
    make_radio_buttons(out)
    make_power_buttons(out)
    make_close_extras(out)
    make_speaker_pictures(out)
    make_digit_sprite(out)
    make_indicator_sprite(out)
    make_caption_sprite(out)


if __name__ == "__main__":
    main()
