#!/usr/bin/env python3
"""Makes the menu family's resources: the TMoney skin (a component resource holding a binary
component stream), the standard-command glyph strips and the check and radio marks.

    make-menu-art.py <output folder>

Writes money.skin, menuitemcache0.bmp, menuitemcache1.bmp, checkmark.bmp and radioitem.bmp.
The value-type codes are read from framework/ComponentStream.h, where they are fixed.
"""
import os
import re
import struct
import sys


def value_types():
    header = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "framework", "ComponentStream.h")
    with open(header, encoding="ascii") as f:
        enum = re.search(r"enum TValueType : uint8_t \{(.*?)\};", f.read(), re.S).group(1)
    return {name: int(code) for name, code in re.findall(r"(va\w+) = (\d+)", enum)}


_VA = value_types()
VA_INT8, VA_INT16, VA_INT32, VA_IDENT, VA_FALSE, VA_TRUE, VA_SET = (
    _VA[n] for n in ("vaInt8", "vaInt16", "vaInt32", "vaIdent", "vaFalse", "vaTrue", "vaSet"))

# TMoney's look: only what differs from the defaults.
MONEY = [
    ("Colors.Bevel", 0x444444), ("Colors.BevelShadow", 0x444444), ("Colors.Border", 0x5B5B5B),
    ("Colors.DisabledText", 0x919191), ("Colors.DisabledShadow", "clNone"), ("Colors.Highlight", 0x505050),
    ("Colors.HighlightText", 0x7FDFFF), ("Colors.Line", 0x707070), ("Colors.LineShadow", "clNone"),
    ("Colors.Menu", 0x5B5B5B), ("Colors.MenuText", "clWhite"), ("Colors.Pressed", 0x505050),
    ("Colors.PressedText", 0x7FDFFF), ("Colors.Sunken", 0x707070), ("Colors.SunkenText", 0xD8D8D8),
    ("Margins.Bevel", 1), ("Margins.Border", 0),
    ("Ctl3D", False), ("Flags", ["mfNoBitmapRect"]),
]


def short_string(text):
    data = text.encode("ascii")
    return bytes([len(data)]) + data


def value(v):
    if isinstance(v, bool):
        return bytes([VA_TRUE if v else VA_FALSE])
    if isinstance(v, int):
        if -128 <= v <= 127:
            return struct.pack("<Bb", VA_INT8, v)
        if -32768 <= v <= 32767:
            return struct.pack("<Bh", VA_INT16, v)
        return struct.pack("<Bi", VA_INT32, v)
    if isinstance(v, list):
        return bytes([VA_SET]) + b"".join(short_string(n) for n in v) + short_string("")
    return bytes([VA_IDENT]) + short_string(v)


def skin_resource(class_name, object_name, props):
    body = b"TPF0" + short_string(class_name) + short_string(object_name)
    for name, v in props:
        body += short_string(name) + value(v)
    body += b"\0\0"  # end of the properties, end of the (empty) child list
    header = b"\xff" + struct.pack("<H", 10) + object_name.upper().encode("ascii") + b"\0"
    header += struct.pack("<HI", 0x1030, len(body))
    return header + body


def write_bmp(path, width, height, pixel):
    """A 24-bit bottom-up bitmap; pixel(x, y) gives (r, g, b) with y counted from the top."""
    stride = (width * 3 + 3) & ~3
    data = bytearray()
    for y in range(height - 1, -1, -1):
        row = bytearray()
        for x in range(width):
            r, g, b = pixel(x, y)
            row += bytes((b, g, r))
        row += b"\0" * (stride - len(row))
        data += row
    header = struct.pack("<2sIHHI", b"BM", 14 + 40 + len(data), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    with open(path, "wb") as f:
        f.write(header + info + data)


# The glyph rows in table order (the rows of the standard-command table that have glyphs).
GLYPH_ROWS_FIRST_STRIP = 100
KEY = (255, 0, 255)

# A 3 x 5 font for the letter pictograms.
FONT = {
    "A": "010101111101101", "B": "110101110101110", "C": "011100100100011", "D": "110101101101110",
    "E": "111100110100111", "F": "111100110100100", "G": "011100101101011", "H": "101101111101101",
    "I": "111010010010111", "J": "001001001101010", "K": "101101110101101", "L": "100100100100111",
    "M": "101111111101101", "N": "110101101101101", "O": "010101101101010", "P": "110101110100100",
    "Q": "010101101110011", "R": "110101110101101", "S": "011100010001110", "T": "111010010010010",
    "U": "101101101101111", "V": "101101101101010", "W": "101101111111101", "X": "101101010101101",
    "Y": "101101010010010", "Z": "111001010100111",
}


def letter_glyph(caption, index):
    """A tinted page with the caption's initials: a distinct pictogram for every row."""
    words = [w for w in caption.replace("(", " ").split() if w[0].isalpha()]
    initials = "".join(w[0].upper() for w in words)[:2] or "X"
    hue = [(40, 90, 170), (30, 130, 60), (160, 60, 40), (120, 60, 150), (20, 120, 130), (150, 110, 20)][index % 6]
    cells = {}
    for y in range(16):
        for x in range(16):
            if 1 <= x <= 14 and 1 <= y <= 14:
                edge = x in (1, 14) or y in (1, 14)
                cells[(x, y)] = hue if edge else (250, 250, 245)
    for n, ch in enumerate(initials):
        bits = FONT.get(ch, FONT["X"])
        ox = 3 + n * 5 if len(initials) == 2 else 6
        for i, bit in enumerate(bits):
            if bit == "1":
                cells[(ox + i % 3, 5 + i // 3)] = hue
    return cells


def shape(points_fn):
    cells = {}
    for y in range(16):
        for x in range(16):
            c = points_fn(x, y)
            if c:
                cells[(x, y)] = c
    return cells


def bookmarks_glyph():
    blue, dark = (40, 80, 200), (20, 40, 120)

    def p(x, y):  # a ribbon with a notch at the bottom
        if 4 <= x <= 11 and 1 <= y <= 14:
            if y >= 11 and abs(x - 7.5) < (y - 10):
                return None
            return dark if x in (4, 11) or y == 1 else blue
        return None
    return shape(p)


def full_screen_glyph():
    frame, arrow = (50, 50, 50), (30, 110, 220)

    def p(x, y):
        if (x in (1, 14) and 2 <= y <= 13) or (y in (2, 13) and 1 <= x <= 14):
            return frame
        for cx, cy in ((3, 4), (12, 4), (3, 11), (12, 11)):  # four corner arrows
            if abs(x - cx) + abs(y - cy) <= 1:
                return arrow
        if 6 <= x <= 9 and 6 <= y <= 9:
            return arrow
        return None
    return shape(p)


def delete_glyph():
    red = (210, 30, 30)

    def p(x, y):
        if 2 <= x <= 13 and 2 <= y <= 13 and (abs(x - y) <= 1 or abs(x + y - 15) <= 1):
            return red
        return None
    return shape(p)


def copy_glyph():
    ink = (40, 40, 40)

    def page(x, y, ox, oy):
        return ox <= x <= ox + 8 and oy <= y <= oy + 10

    def p(x, y):
        front, back = page(x, y, 6, 4), page(x, y, 1, 1)
        if front:
            return ink if x in (6, 14) or y in (4, 14) else (255, 255, 255)
        if back:
            return ink if x in (1, 9) or y in (1, 11) else (255, 255, 255)
        return None
    return shape(p)


SPECIAL = {"Bookmarks": bookmarks_glyph, "Full Screen": full_screen_glyph, "Delete": delete_glyph,
           "Copy": copy_glyph}


def glyph_rows():
    here = os.path.dirname(os.path.abspath(__file__))
    rows = os.path.join(here, "..", "menus", "MenuItemCacheRows.inc")
    captions = []
    with open(rows) as f:
        for line in f:
            line = line.strip()
            if not line.startswith("{"):
                continue
            caption = line[2:line.index('"', 2)]
            if ", true," in line:
                captions.append(caption)
    return captions


def write_strip(path, captions, first_index):
    cells = [SPECIAL[c]() if c in SPECIAL else letter_glyph(c, first_index + n) for n, c in enumerate(captions)]

    def pixel(x, y):
        return cells[x // 16].get((x % 16, y), KEY)
    write_bmp(path, 16 * len(cells), 16, pixel)


def mark(path, inside):
    write_bmp(path, 16, 16, lambda x, y: (0, 0, 0) if inside(x, y) else (255, 255, 255))


def main():
    out = sys.argv[1]
    os.makedirs(out, exist_ok=True)
    with open(os.path.join(out, "money.skin"), "wb") as f:
        f.write(skin_resource("TAnimatedSkin2000", "Money", MONEY))
    captions = glyph_rows()
    assert len(captions) == 198, len(captions)
    write_strip(os.path.join(out, "menuitemcache0.bmp"), captions[:GLYPH_ROWS_FIRST_STRIP], 0)
    write_strip(os.path.join(out, "menuitemcache1.bmp"), captions[GLYPH_ROWS_FIRST_STRIP:], GLYPH_ROWS_FIRST_STRIP)
    check = {(4, 8), (5, 9), (6, 10), (7, 9), (8, 8), (9, 7), (10, 6), (11, 5)}
    mark(os.path.join(out, "checkmark.bmp"), lambda x, y: (x, y) in check or (x, y - 1) in check)
    mark(os.path.join(out, "radioitem.bmp"), lambda x, y: (x - 7.5) ** 2 + (y - 7.5) ** 2 <= 6.5)


if __name__ == "__main__":
    main()
