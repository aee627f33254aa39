#!/usr/bin/env python3
"""Draws the glyphs of the predefined button kinds and writes them as 16-colour
BMP files into resources/glyphs/.

Each file holds two cells side by side: the normal picture and the picture for
the disabled state (the shape in grey with a white edge below and to the right).
The background is olive, the colour the buttons treat as transparent.

    python3 tools/MakeKindGlyphs.py [output folder]
"""

import math
import os
import struct
import sys

# The 16 colours of the classic palette, in index order (red, green, blue).
PALETTE = [
    (0x00, 0x00, 0x00), (0x80, 0x00, 0x00), (0x00, 0x80, 0x00), (0x80, 0x80, 0x00),
    (0x00, 0x00, 0x80), (0x80, 0x00, 0x80), (0x00, 0x80, 0x80), (0xC0, 0xC0, 0xC0),
    (0x80, 0x80, 0x80), (0xFF, 0x00, 0x00), (0x00, 0xFF, 0x00), (0xFF, 0xFF, 0x00),
    (0x00, 0x00, 0xFF), (0xFF, 0x00, 0xFF), (0x00, 0xFF, 0xFF), (0xFF, 0xFF, 0xFF),
]
BLACK, MAROON, GREEN, OLIVE, NAVY, PURPLE, TEAL, SILVER = range(8)
GREY, RED, LIME, YELLOW, BLUE, FUCHSIA, AQUA, WHITE = range(8, 16)

CELL = 18


class Cell:
    def __init__(self, height=CELL):
        self.width = CELL
        self.height = height
        self.pixels = [[OLIVE] * self.width for _ in range(height)]

    def plot(self, x, y, colour):
        if 0 <= x < self.width and 0 <= y < self.height:
            self.pixels[y][x] = colour

    def fill_where(self, inside, colour):
        for y in range(self.height):
            for x in range(self.width):
                if inside(x + 0.5, y + 0.5):
                    self.pixels[y][x] = colour

    def stroke(self, points, colour, radius=1.3):
        segments = list(zip(points, points[1:]))
        self.fill_where(lambda x, y: any(distance_to_segment(x, y, a, b) <= radius
                                         for a, b in segments), colour)

    def grid(self, rows, colours, left=0, top=0):
        for dy, row in enumerate(rows):
            for dx, ch in enumerate(row):
                if ch != '.':
                    self.plot(left + dx, top + dy, colours[ch])


def distance_to_segment(x, y, a, b):
    (ax, ay), (bx, by) = a, b
    dx, dy = bx - ax, by - ay
    length = dx * dx + dy * dy
    t = 0.0 if length == 0 else max(0.0, min(1.0, ((x - ax) * dx + (y - ay) * dy) / length))
    return math.hypot(x - (ax + t * dx), y - (ay + t * dy))


def in_triangle(x, y, a, b, c):
    def side(p, q):
        return (x - q[0]) * (p[1] - q[1]) - (p[0] - q[0]) * (y - q[1])
    d1, d2, d3 = side(a, b), side(b, c), side(c, a)
    negative = d1 < 0 or d2 < 0 or d3 < 0
    positive = d1 > 0 or d2 > 0 or d3 > 0
    return not (negative and positive)


def disabled(cell):
    """Grey shape, white kept white, a white edge one pixel below and right."""
    result = Cell(cell.height)
    shape = [[c != OLIVE for c in row] for row in cell.pixels]
    for y in range(cell.height):
        for x in range(cell.width):
            if shape[y][x]:
                result.pixels[y][x] = WHITE if cell.pixels[y][x] == WHITE else GREY
    for y in range(cell.height):
        for x in range(cell.width):
            if shape[y][x] and x + 1 < cell.width and y + 1 < cell.height \
                    and not shape[y + 1][x + 1]:
                result.pixels[y + 1][x + 1] = WHITE
    return result


def check(cell, dx=0, dy=0, radius=1.3):
    cell.stroke([(3 + dx, 9 + dy), (7 + dx, 13 + dy), (15 + dx, 4 + dy)], GREEN, radius)


def glyph_ok():
    cell = Cell()
    check(cell)
    return cell


def glyph_cancel():
    cell = Cell()
    cell.stroke([(4, 4), (14, 14)], RED)
    cell.stroke([(14, 4), (4, 14)], RED)
    return cell


def glyph_help():
    cell = Cell()
    cell.grid([
        "..nnnnnn..",
        ".nnnnnnnn.",
        "nnn....nnn",
        "nnn....nnn",
        ".......nnn",
        "......nnn.",
        ".....nnn..",
        "....nnn...",
        "....nnn...",
        "..........",
        "....nnn...",
        "....nnn...",
    ], {'n': NAVY}, left=4, top=3)
    return cell


def glyph_no():
    cell = Cell()
    cell.fill_where(lambda x, y: 4.2 <= math.hypot(x - 9, y - 9) <= 7.0, RED)
    cell.stroke([(4.5, 4.5), (13.5, 13.5)], RED, 1.2)
    return cell


def glyph_close():
    cell = Cell()
    cell.fill_where(lambda x, y: 4 <= x <= 14 and 1 <= y <= 17, BLACK)
    cell.fill_where(lambda x, y: 5 <= x <= 13 and 2 <= y <= 17, MAROON)
    cell.fill_where(lambda x, y: math.hypot(x - 11.5, y - 9.5) <= 1.0, YELLOW)
    return cell


def glyph_abort():
    cell = Cell()
    cell.fill_where(lambda x, y: math.hypot(x - 9, y - 9) <= 7.5, RED)
    cell.stroke([(6, 6), (12, 12)], WHITE, 0.9)
    cell.stroke([(12, 6), (6, 12)], WHITE, 0.9)
    return cell


def glyph_retry():
    cell = Cell()
    cx, cy, radius = 9.0, 9.5, 5.2

    def on_arc(x, y):
        angle = math.degrees(math.atan2(cy - y, x - cx)) % 360
        return abs(math.hypot(x - cx, y - cy) - radius) <= 1.2 and not 15 <= angle <= 80

    cell.fill_where(on_arc, GREEN)
    end = (cx + radius * math.cos(math.radians(15)), cy - radius * math.sin(math.radians(15)))
    head = ((end[0] - 3.2, end[1] - 0.5), (end[0] + 3.2, end[1] - 0.5), (end[0], end[1] + 3.5))
    cell.fill_where(lambda x, y: in_triangle(x, y, *head), GREEN)
    return cell


def glyph_ignore():
    cell = Cell()
    cell.fill_where(lambda x, y: in_triangle(x, y, (2, 4), (2, 14), (8, 9)), NAVY)
    cell.fill_where(lambda x, y: in_triangle(x, y, (8, 4), (8, 14), (14, 9)), NAVY)
    cell.fill_where(lambda x, y: 14 <= x <= 16 and 4 <= y <= 14, BLACK)
    return cell


def glyph_all():
    cell = Cell(19)
    check(cell, -1, -3, 1.1)
    check(cell, 1, 3, 1.1)
    return cell


GLYPHS = {
    "ok": glyph_ok, "cancel": glyph_cancel, "help": glyph_help, "yes": glyph_ok,
    "no": glyph_no, "close": glyph_close, "abort": glyph_abort, "retry": glyph_retry,
    "ignore": glyph_ignore, "all": glyph_all,
}


def write_bmp(path, cells):
    height = cells[0].height
    width = sum(c.width for c in cells)
    rows = []
    for y in range(height):
        indexes = [i for c in cells for i in c.pixels[y]]
        row = bytes((indexes[x] << 4) | (indexes[x + 1] if x + 1 < width else 0)
                    for x in range(0, width, 2))
        rows.append(row + b"\0" * (-len(row) % 4))
    bits = b"".join(reversed(rows))
    palette = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in PALETTE)
    offset = 14 + 40 + len(palette)
    header = struct.pack("<2sIHHI", b"BM", offset + len(bits), 0, 0, offset)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 4, 0, len(bits),
                       2835, 2835, 16, 16)
    with open(path, "wb") as out:
        out.write(header + info + palette + bits)


def main():
    folder = sys.argv[1] if len(sys.argv) > 1 else os.path.join(
        os.path.dirname(os.path.abspath(__file__)), "..", "resources", "glyphs")
    os.makedirs(folder, exist_ok=True)
    for name, draw in GLYPHS.items():
        cell = draw()
        write_bmp(os.path.join(folder, name + ".bmp"), [cell, disabled(cell)])


if __name__ == "__main__":
    main()
