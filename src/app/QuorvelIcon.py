#!/usr/bin/env python3
"""Draws Quorvel's icon and writes it as a Windows .ico: a document that becomes a PDF.

    QuorvelIcon.py OUTPUT.ico [PREVIEW_FOLDER]

The pale blue page with lines is the application document; the green arrow turns it into the
white page with the red "PDF" band. Each size is drawn for its own pixel grid (edges snapped to
whole pixels, the band's letters only where they fit), so that 16 pixels stay legible. The
output depends on nothing but this file: the same bytes on every run. With PREVIEW_FOLDER, each
size is also written there as a PNG to look at.
"""
import struct
import sys
import zlib

SIZES = (16, 20, 24, 32, 48, 256)
SAMPLES = 4  # sub-samples per pixel and axis for the slanted edges

DOC_EDGE = (0x1F, 0x3A, 0x68)
DOC_PAPER = (0xE3, 0xEC, 0xF8)
DOC_LINE = (0x3B, 0x6E, 0xC0)
PDF_EDGE = (0x50, 0x50, 0x50)
PDF_PAPER = (0xFF, 0xFF, 0xFF)
PDF_FOLD = (0xD8, 0xD8, 0xD8)
PDF_RED = (0xD3, 0x1F, 0x2A)
ARROW = (0x1E, 0x8E, 0x3E)
WHITE = (0xFF, 0xFF, 0xFF)

# "PDF" in a 3 x 5 cell font, one column between the letters.
GLYPHS = ("###.##..###", "#.#.#.#.#..", "###.#.#.##.", "#...#.#.#..", "#...##..#..")


class Canvas:
    def __init__(self, size):
        self.size = size
        self.pixels = [[(0, 0, 0, 0.0)] * size for _ in range(size)]

    def blend(self, x, y, colour, coverage):
        if coverage <= 0 or not (0 <= x < self.size and 0 <= y < self.size):
            return
        r, g, b, a = self.pixels[y][x]
        out = coverage + a * (1 - coverage)
        mix = [(c * coverage + d * a * (1 - coverage)) / out for c, d in zip(colour, (r, g, b))]
        self.pixels[y][x] = (mix[0], mix[1], mix[2], out)

    def rect(self, x0, y0, x1, y1, colour):
        """A rectangle on whole pixels, right and bottom edges exclusive."""
        for y in range(max(0, y0), min(self.size, y1)):
            for x in range(max(0, x0), min(self.size, x1)):
                self.blend(x, y, colour, 1.0)

    def polygon(self, points, colour):
        """A convex polygon in pixel units, its edges smoothed by sub-sampling."""
        xs, ys = [p[0] for p in points], [p[1] for p in points]
        edges = list(zip(points, points[1:] + points[:1]))
        turn = 1 if sum((b[0] - a[0]) * (b[1] + a[1]) for a, b in edges) < 0 else -1
        step = 1.0 / SAMPLES

        def inside(px, py):
            return all(turn * ((b[0] - a[0]) * (py - a[1]) - (b[1] - a[1]) * (px - a[0])) >= 0 for a, b in edges)

        for y in range(max(0, int(min(ys))), min(self.size, int(max(ys)) + 1)):
            for x in range(max(0, int(min(xs))), min(self.size, int(max(xs)) + 1)):
                if all(inside(x + dx, y + dy) for dx in (0, 1) for dy in (0, 1)):
                    hits = SAMPLES * SAMPLES  # a convex shape holds the whole pixel when it holds its corners
                else:
                    hits = sum(inside(x + (sx + 0.5) * step, y + (sy + 0.5) * step)
                               for sy in range(SAMPLES) for sx in range(SAMPLES))
                self.blend(x, y, colour, hits / (SAMPLES * SAMPLES))


def page(canvas, x0, y0, x1, y1, fold, edge, paper, flap):
    """A sheet with its top right corner folded down; edges `edge` wide, in whole pixels."""
    t = max(1, round(canvas.size / 24))
    slant = t * 0.4142  # how far a t-wide border moves along the 45-degree fold
    canvas.polygon([(x0, y0), (x1 - fold, y0), (x1, y0 + fold), (x1, y1), (x0, y1)], edge)
    canvas.polygon([(x0 + t, y0 + t), (x1 - fold - slant, y0 + t), (x1 - t, y0 + fold + slant), (x1 - t, y1 - t),
                    (x0 + t, y1 - t)], paper)
    canvas.polygon([(x1 - fold, y0), (x1 - fold, y0 + fold), (x1, y0 + fold)], edge)
    if fold > 3 * t:
        canvas.polygon([(x1 - fold + t, y0 + 2.4142 * t), (x1 - fold + t, y0 + fold - t),
                        (x1 - 2.4142 * t, y0 + fold - t)], flap)
    return t


def draw(size):
    canvas = Canvas(size)
    u = size / 32.0  # the design is laid out on a 32-unit grid

    def at(v):
        return int(v * u + 0.5)

    # The application document, behind: lines of text.
    t = page(canvas, at(1), at(0), at(19), at(22), at(6), DOC_EDGE, DOC_PAPER, DOC_PAPER)
    line_count = 3 if size < 32 else 4
    top, bottom = at(8), at(20) - t
    for i in range(line_count):
        y = top + (bottom - top) * i // line_count
        canvas.rect(at(4), y, at(16) if i % 2 == 0 else at(12), y + max(1, at(1.5)), DOC_LINE)

    # The PDF, in front: a white sheet with the red band.
    x0, y0, x1, y1 = at(11), at(8), at(31), at(32)
    t = page(canvas, x0, y0, x1, y1, at(7), PDF_EDGE, PDF_PAPER, PDF_FOLD)
    band_top, band_bottom = at(19), at(28)
    canvas.rect(x0, band_top, x1, band_bottom, PDF_RED)
    if size >= 24:
        canvas.rect(x0 + t + at(2), at(14), x1 - at(9), at(14) + max(1, at(1.5)), PDF_EDGE)
        cell = max(1, min((x1 - x0 - 2 * t) // 12, (band_bottom - band_top) * 10 // 65))
        left = x0 + (x1 - x0 - 11 * cell + 1) // 2
        top = band_top + (band_bottom - band_top - 5 * cell + 1) // 2
        for row, text in enumerate(GLYPHS):
            for col, mark in enumerate(text):
                if mark == "#":
                    canvas.rect(left + col * cell, top + row * cell, left + (col + 1) * cell, top + (row + 1) * cell, WHITE)

    # The arrow from the one to the other, under the document: a shaft of odd width and a head
    # whose 45-degree sides step one pixel per column, crisp at every size.
    free = at(22)  # the first row below the document
    mid = (free + size) // 2
    shaft = 2 * round(1.5 * u - 0.5) + 1
    half = min(round(4.5 * u), size - 1 - mid, mid - free)
    tip = x0 - 1
    canvas.rect(at(1), mid - shaft // 2, tip - half, mid + shaft // 2 + 1, ARROW)
    for k in range(half + 1):
        canvas.rect(tip - half + k, mid - (half - k), tip - half + k + 1, mid + (half - k) + 1, ARROW)
    return canvas


def rgba_rows(canvas):
    for row in canvas.pixels:
        yield bytes(int(c + 0.5) for r, g, b, a in row for c in (r, g, b, a * 255))


def png(canvas):
    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF)

    raw = b"".join(b"\0" + row for row in rgba_rows(canvas))
    header = struct.pack(">IIBBBBB", canvas.size, canvas.size, 8, 6, 0, 0, 0)
    return b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b"")


def bmp(canvas):
    """The classic icon image: a 32-bit bottom-up bitmap of twice the height, then the AND mask."""
    size = canvas.size
    rows = list(rgba_rows(canvas))
    colour = b"".join(bytes(v for i in range(0, len(row), 4) for v in (row[i + 2], row[i + 1], row[i], row[i + 3]))
                      for row in reversed(rows))
    stride = (size + 31) // 32 * 4
    mask = b""
    for row in reversed(rows):
        bits = bytearray(stride)
        for x in range(size):
            if row[4 * x + 3] == 0:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bytes(bits)
    header = struct.pack("<IiiHHIIiiII", 40, size, 2 * size, 1, 32, 0, len(colour) + len(mask), 0, 0, 0, 0)
    return header + colour + mask


def main():
    canvases = [draw(size) for size in SIZES]
    images = [png(c) if c.size >= 256 else bmp(c) for c in canvases]
    offset = 6 + 16 * len(images)
    out = struct.pack("<HHH", 0, 1, len(images))
    for canvas, image in zip(canvases, images):
        side = canvas.size % 256  # 256 is written as 0
        out += struct.pack("<BBBBHHII", side, side, 0, 0, 1, 32, len(image), offset)
        offset += len(image)
    with open(sys.argv[1], "wb") as ico:
        ico.write(out + b"".join(images))
    if len(sys.argv) > 2:
        for canvas in canvases:
            with open(f"{sys.argv[2]}/Quorvel-{canvas.size}.png", "wb") as preview:
                preview.write(png(canvas))


if __name__ == "__main__":
    main()
