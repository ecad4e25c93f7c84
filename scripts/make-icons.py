#!/usr/bin/env python3
"""Draws the program's own icons and bitmaps and writes them as .ico/.bmp files.

usage: make-icons.py OUTDIR

A small camera on a rounded tile: blue for the normal state, green with a red "recording" dot while
automatic capture runs, grey with a bar while key input is disabled or no profile is loaded."""
import struct
import sys
from pathlib import Path


def draw(size, body, accent, mark):
    px = [[(0, 0, 0, 0)] * size for _ in range(size)]
    s = size / 32.0

    def put(x, y, c):
        if 0 <= x < size and 0 <= y < size:
            px[y][x] = c

    def rect(x0, y0, x1, y1, c):
        for y in range(int(y0 * s), int(y1 * s)):
            for x in range(int(x0 * s), int(x1 * s)):
                put(x, y, c)

    def disc(cx, cy, r, c):
        for y in range(size):
            for x in range(size):
                if ((x + 0.5) / s - cx) ** 2 + ((y + 0.5) / s - cy) ** 2 <= r * r:
                    put(x, y, c)

    rect(2, 9, 30, 27, body)          # camera body
    rect(6, 6, 13, 9, body)           # flash housing
    disc(16, 18, 7, (255, 255, 255, 255))
    disc(16, 18, 5, accent)           # lens
    disc(16, 18, 2, (255, 255, 255, 255))
    if mark == "dot":
        disc(26, 6, 4.5, (220, 30, 30, 255))
    elif mark == "bar":
        for i in range(int(32 * s)):
            for w in range(max(1, int(3 * s))):
                put(i, min(size - 1, i + w - int(s)), (200, 30, 30, 255))
    return px


def draw_mark(size, kind):
    """The conversion list's row marks: a pale blue gem (pending), a green check (converted), a
    red cross (failed)."""
    px = [[(0, 0, 0, 0)] * size for _ in range(size)]
    s = size / 16.0

    def near_segment(x, y, ax, ay, bx, by, width):
        dx, dy = bx - ax, by - ay
        t = max(0.0, min(1.0, ((x - ax) * dx + (y - ay) * dy) / (dx * dx + dy * dy)))
        return (x - ax - t * dx) ** 2 + (y - ay - t * dy) ** 2 <= width * width

    for y in range(size):
        for x in range(size):
            fx, fy = (x + 0.5) / s, (y + 0.5) / s
            if kind == "gem":
                # a diamond: flat top facet, pointed bottom
                if 3 <= fy <= 6 and abs(fx - 8) <= 3 + (fy - 3):
                    px[y][x] = (190, 225, 250, 255)
                elif 6 < fy <= 14 and abs(fx - 8) <= 6 * (14 - fy) / 8:
                    px[y][x] = (120, 180, 235, 255)
            elif kind == "check":
                if near_segment(fx, fy, 2.5, 8.5, 6.5, 12.5, 1.6) or near_segment(fx, fy, 6.5, 12.5, 13.5, 3.5, 1.6):
                    px[y][x] = (30, 160, 60, 255)
            elif kind == "cross":
                if near_segment(fx, fy, 3, 3, 13, 13, 1.6) or near_segment(fx, fy, 13, 3, 3, 13, 1.6):
                    px[y][x] = (215, 35, 35, 255)
    return px


def ico(images):
    """images: list of (size, pixels). 32-bit BMP entries with an all-zero AND mask."""
    header = struct.pack("<HHH", 0, 1, len(images))
    entries, blobs = b"", b""
    offset = 6 + 16 * len(images)
    for size, px in images:
        xor = b"".join(bytes((b, g, r, a)) for row in reversed(px) for (r, g, b, a) in row)
        mask_row = ((size + 31) // 32) * 4
        blob = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, len(xor), 0, 0, 0, 0)
        blob += xor + b"\0" * (mask_row * size)
        entries += struct.pack("<BBBBHHII", size % 256, size % 256, 0, 0, 1, 32, len(blob), offset)
        blobs += blob
        offset += len(blob)
    return header + entries + blobs


def bmp24(width, height, pixel):
    row = (width * 3 + 3) & ~3
    data = b""
    for y in reversed(range(height)):
        line = b"".join(bytes(reversed(pixel(x, y))) for x in range(width))
        data += line + b"\0" * (row - len(line))
    return (struct.pack("<2sIHHI", b"BM", 54 + len(data), 0, 0, 54) +
            struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(data), 0, 0, 0, 0) + data)


# 5x7 capitals for the banners' format names.
GLYPHS = {
    "B": ["11110", "10001", "10001", "11110", "10001", "10001", "11110"],
    "M": ["10001", "11011", "10101", "10101", "10001", "10001", "10001"],
    "P": ["11110", "10001", "10001", "11110", "10000", "10000", "10000"],
    "J": ["00111", "00010", "00010", "00010", "00010", "10010", "01100"],
    "G": ["01110", "10001", "10000", "10111", "10001", "10001", "01111"],
    "I": ["01110", "00100", "00100", "00100", "00100", "00100", "01110"],
    "F": ["11111", "10000", "10000", "11110", "10000", "10000", "10000"],
    "N": ["10001", "11001", "10101", "10011", "10001", "10001", "10001"],
}


def banner(name, colour):
    """The general page's image-type banner, 200x62: a soft band of the format's colour, a
    picture frame and the format's name."""
    w, h, scale = 200, 62, 5
    text_w = len(name) * 6 * scale - scale
    tx, ty = 84 + (110 - text_w) // 2, (h - 7 * scale) // 2

    def pixel(x, y):
        if 14 <= x < 70 and 10 <= y < 52:            # a small picture: frame, sky, hill, sun
            if x in (14, 69) or y in (10, 51):
                return (90, 90, 90)
            if (x - 54) ** 2 + (y - 22) ** 2 <= 25:
                return (250, 200, 60)
            if y > 40 - (x - 14) * 0.3 + abs(x - 40) * 0.25:
                return (90, 160, 80)
            return tuple(min(255, c + 90) for c in colour)
        gx, gy = (x - tx) // scale, (y - ty) // scale
        if 0 <= y - ty < 7 * scale and 0 <= x - tx < text_w and gx % 6 < 5:
            glyph = GLYPHS[name[gx // 6]]
            if glyph[gy][gx % 6] == "1":
                return colour
        t = x / (w - 1)
        return tuple(int(255 - (255 - min(255, c + 150)) * t * 0.8) for c in colour)

    return bmp24(w, h, pixel)


def info_sign():
    """The quick-start page's information sign: a blue disc with a white "i", 60x60, on white."""
    def pixel(x, y):
        fx, fy = x + 0.5, y + 0.5
        d2 = (fx - 30) ** 2 + (fy - 30) ** 2
        if d2 > 28 * 28:
            return (255, 255, 255)
        if (fx - 30) ** 2 + (fy - 17) ** 2 <= 16 or (26 <= fx <= 34 and 25 <= fy <= 46):
            return (255, 255, 255)
        return (40, 110, 210) if d2 <= 25 * 25 else (120, 170, 235)
    return bmp24(60, 60, pixel)


def main(out):
    out = Path(out)
    out.mkdir(parents=True, exist_ok=True)
    blue, green, grey = (40, 100, 200, 255), (30, 150, 70, 255), (130, 130, 130, 255)
    dark = (20, 40, 80, 255)
    states = {"tray_normal.ico": (blue, dark, None), "tray_auto.ico": (green, dark, "dot"),
              "tray_disabled.ico": (grey, (70, 70, 70, 255), "bar"), "app.ico": (blue, dark, None)}
    for name, (body, accent, mark) in states.items():
        (out / name).write_bytes(ico([(n, draw(n, body, accent, mark)) for n in (16, 32, 48)]))
    for name, kind in (("convert_pending.ico", "gem"), ("convert_done.ico", "check"),
                       ("convert_failed.ico", "cross")):
        (out / name).write_bytes(ico([(n, draw_mark(n, kind)) for n in (16, 32)]))
    # Page-list row bitmap: 1x25, a faint line at the bottom of each row.
    (out / "pagelist_row.bmp").write_bytes(
        bmp24(1, 25, lambda x, y: (230, 230, 230) if y == 24 else (255, 255, 255)))
    # The general page's banners and the quick-start page's information sign.
    for name, colour in (("BMP", (60, 120, 200)), ("JPG", (210, 100, 40)), ("GIF", (60, 160, 80)),
                         ("PNG", (150, 70, 180))):
        (out / ("banner_%s.bmp" % name.lower())).write_bytes(banner(name, colour))
    (out / "quickstart_info.bmp").write_bytes(info_sign())


if __name__ == "__main__":
    main(sys.argv[1])
