#!/usr/bin/env python3
"""Checks a printed profile sheet (a PDF from the printer) against the page design.

The sheet is rasterised with pdftoppm, turned to landscape if CUPS laid it on
upright paper, and compared with the design in design units (1/96 inch):

  * the sheet is one landscape A4 page;
  * the border strips are where the design puts them, pixel for pixel: black
    where the glyph pixel map is black, white where it is white, with later
    strips covering earlier ones;
  * every label that should carry text has ink in its box;
  * there is no ink anywhere else on the sheet.

The printed matter's origin (the corner of the printer's printable area) is
found by lining the strips up with the sheet; it is printed as
"origin X Y" in design units so that callers can compare two sheets.

Usage: sheet_check.py PDF --page male|female --margin UNITS [--empty LABEL ...]
                      [--save-pgm FILE]
Exit status 0 when the sheet matches, 1 with the reasons on stderr otherwise.
Only the Python standard library and poppler's pdftoppm/pdfinfo are used.
"""

import argparse
import os
import re
import subprocess
import sys
import tempfile

RASTER_DPI = 288
K = RASTER_DPI // 96          # raster pixels per design unit
DARK = 128                    # grey levels below this are ink
A4_INCHES = (297 / 25.4, 210 / 25.4)

# The glyph rows (2 to 12) of the horizontal strip, 150 x 15 pixels, white
# around them: Libra, Scorpio, Sagittarius, Capricorn, Aquarius, Pisces at a
# pitch of 25 columns from column 7.
GLYPH_ROWS = [
    ("...........", "##.##.##...", ".#....#####", "##....##...", "..#...#...#", "##.....##"),
    ("...#####...", "########...", ".##.....###", "#######....", ".###.###.##", ".##...##."),
    ("..#######..", "########...", ".##....####", ".######....", "###########", ".##...##."),
    ("..##...##..", "##.##.##...", "..##..###.#", "....##.....", "##.###.###.", "..##.##.."),
    ("..##...##..", "##.##.##...", "...#####..#", "....##.....", "#...#...#..", "..##.##.."),
    ("####...####", "##.##.##...", "....###....", "...##.####.", "...........", "..##.##.."),
    ("###.....###", "##.##.##.##", "...####....", "...########", "..#...#...#", "#########"),
    ("...........", "##.##.####.", "..###.##...", "..##.##..##", ".###.###.##", "#########"),
    ("###########", "##.##.###..", ".###...###.", "..##.##..##", "###########", "..##.##.."),
    ("###########", "##.########", "###.....###", ".##..######", "##.###.###.", ".##...##."),
    ("...........", "##.####.###", "##.........", "......####.", "#...#...#..", ".##...##."),
]
GLYPH_COLUMNS = (7, 32, 57, 82, 107, 132)


def horizontal_strip():
    """The 150 x 15 strip as rows of booleans, True for black."""
    rows = [[False] * 150 for _ in range(15)]
    for r, parts in enumerate(GLYPH_ROWS, start=2):
        for first, part in zip(GLYPH_COLUMNS, parts):
            for i, ch in enumerate(part):
                rows[r][first + i] = ch == "#"
    return rows


def vertical_strip(h):
    """The 15 x 150 strip: the horizontal one turned a quarter clockwise."""
    return [[h[14 - c][r] for c in range(15)] for r in range(150)]


# Border images in the order the band prints them: (bitmap, left, top).
STRIPS = {
    "male": [
        ("H", 32, 11), ("H", 179, 11), ("H", 339, 11), ("H", 491, 11), ("H", 651, 11),
        ("H", 771, 11), ("H", 879, 747),
        ("V", 1029, 184), ("V", 1029, 32), ("V", 1029, 336), ("V", 1029, 480), ("V", 1029, 591),
        ("H", 892, 11),
        ("V", 7, 8), ("V", 7, 160), ("V", 7, 608), ("V", 7, 456), ("V", 7, 304),
        ("H", 8, 747), ("H", 736, 745), ("H", 592, 745), ("H", 304, 745), ("H", 160, 745),
        ("H", 448, 745),
    ],
    "female": [
        ("H", 40, 19), ("H", 187, 19), ("H", 339, 19), ("H", 499, 19), ("H", 659, 19),
        ("H", 891, 19),
        ("V", 1029, 192), ("V", 1029, 40), ("V", 1029, 344), ("V", 1029, 488), ("V", 1029, 615),
        ("H", 812, 19),
        ("V", 15, 16), ("V", 15, 168), ("V", 15, 616), ("V", 15, 464), ("V", 15, 312),
        ("H", 16, 747), ("H", 744, 745), ("H", 600, 745), ("H", 304, 745), ("H", 160, 745),
        ("H", 456, 745), ("H", 896, 745),
    ],
}

# Labels: name -> (left, top, width, height, auto size), male values; the
# female page differs in the entries of FEMALE_LABELS.
LABELS = {
    "QRLabel1": (247, 82, 578, 41, False),
    "QRLabel2": (247, 187, 577, 19, False),
    "QRLabel3": (247, 260, 577, 19, False),
    "QRLabel4": (247, 341, 577, 19, False),
    "QRLabel5": (247, 422, 577, 19, False),
    "QRLabel6": (247, 503, 577, 19, False),
    "QRLabel7": (239, 592, 577, 19, False),
    "QRLabel8": (386, 634, 118, 19, False),
    "QRLabel9": (666, 634, 58, 22, True),
    "QRLabel10": (495, 151, 74, 22, True),
    "QRLabel11": (487, 224, 93, 22, True),
    "QRLabel12": (495, 305, 95, 22, True),
    "QRLabel13": (511, 386, 38, 22, True),
    "QRLabel14": (503, 459, 54, 22, True),
    "QRLabel15": (495, 548, 64, 22, True),
    "QRLabel16": (320, 634, 81, 22, True),
    "QRLabel17": (554, 634, 105, 19, False),
    "QRLabel18": (242, 24, 586, 54, False),
    "QRLabel19": (383, 128, 69, 22, True),
    "QRLabel20": (583, 128, 125, 19, False),
    "QRLabel21": (247, 673, 577, 19, False),
    "QRLabel22": (387, 705, 145, 19, False),
    "QRLabel23": (533, 705, 193, 19, False),
}
FEMALE_LABELS = {
    "QRLabel7": (247, 592, 577, 19, False),
    "QRLabel9": (690, 634, 58, 22, True),
    "QRLabel13": (519, 386, 38, 22, True),
    "QRLabel14": (511, 459, 54, 22, True),
    "QRLabel15": (511, 556, 64, 22, True),
    "QRLabel16": (304, 634, 81, 22, True),
    "QRLabel17": (578, 634, 105, 19, False),
    "QRLabel19": (383, 128, 74, 22, True),
    "QRLabel23": (535, 705, 225, 19, False),
}
# An auto-size value label grows with its text: room allowed for the colour.
AUTO_SIZE_GROWTH = {"QRLabel9": 150}
# Italic glyphs of an auto-size label may lean a little out of its box.
AUTO_SIZE_PAD = 3


def labels_of(page):
    labels = dict(LABELS)
    if page == "female":
        labels.update(FEMALE_LABELS)
    return labels


def run(args):
    return subprocess.run(args, check=True, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL).stdout


def read_pgm(path):
    with open(path, "rb") as f:
        data = f.read()
    m = re.match(rb"P5\s+(\d+)\s+(\d+)\s+(\d+)\s", data)
    if not m:
        raise SystemExit(f"{path}: not a binary PGM")
    w, h = int(m.group(1)), int(m.group(2))
    pixels = data[m.end():m.end() + w * h]
    if len(pixels) != w * h:
        raise SystemExit(f"{path}: cut short")
    return w, h, pixels


class Sheet:
    """The rasterised sheet, landscape, one byte of grey per pixel."""

    def __init__(self, w, h, pixels):
        self.w, self.h, self.px = w, h, pixels

    @staticmethod
    def from_pdf(pdf, problems):
        info = run(["pdfinfo", pdf]).decode("latin-1")
        pages = re.search(r"^Pages:\s+(\d+)", info, re.M)
        if not pages or int(pages.group(1)) != 1:
            problems.append(f"the sheet has {pages.group(1) if pages else '?'} pages, not 1")
        with tempfile.TemporaryDirectory() as tmp:
            run(["pdftoppm", "-r", str(RASTER_DPI), "-gray", "-singlefile", pdf, os.path.join(tmp, "sheet")])
            w, h, px = read_pgm(os.path.join(tmp, "sheet.pgm"))
        if h > w:
            # CUPS lays a landscape job onto upright paper turned a quarter
            # anticlockwise; turn it back clockwise.
            px = b"".join(px[y::w][::-1] for y in range(w))
            w, h = h, w
        want_w, want_h = (round(x * RASTER_DPI) for x in A4_INCHES)
        if abs(w - want_w) > 2 or abs(h - want_h) > 2:
            problems.append(f"the sheet is {w} x {h} pixels at {RASTER_DPI} dpi, not landscape A4 ({want_w} x {want_h})")
        return Sheet(w, h, px)

    def ink_row(self, y):
        """Row y as bytes, 1 where there is ink and 0 elsewhere."""
        return self.px[y * self.w:(y + 1) * self.w].translate(INK_TABLE)

    def ink_box(self):
        """The bounding box of all ink: (left, top, right, bottom) or None."""
        left = top = right = bottom = None
        for y in range(self.h):
            row = self.ink_row(y)
            first = row.find(1)
            if first < 0:
                continue
            last = row.rfind(1)
            top = y if top is None else top
            bottom = y
            left = first if left is None else min(left, first)
            right = last if right is None else max(right, last)
        return None if top is None else (left, top, right, bottom)


INK_TABLE = bytes(1 if v < DARK else 0 for v in range(256))


def strip_pictures(page, margin):
    """Each strip as [(x, y, black?)], minus what later strips cover."""
    h = horizontal_strip()
    bitmaps = {"H": h, "V": vertical_strip(h)}
    owner = {}
    for i, (kind, left, top) in enumerate(STRIPS[page]):
        for r, row in enumerate(bitmaps[kind]):
            for c, black in enumerate(row):
                owner[(margin + left + c, top + r)] = (i, black)
    pictures = [[] for _ in STRIPS[page]]
    for (x, y), (i, black) in owner.items():
        pictures[i].append((x, y, black))
    return pictures


def mismatches(sheet, samples, ox, oy):
    """Samples whose ink differs from the design with the design origin at raster (ox, oy)."""
    bad, seen = [], 0
    for x, y, black in samples:
        rx, ry = ox + x * K + K // 2, oy + y * K + K // 2
        if 0 <= rx < sheet.w and 0 <= ry < sheet.h:
            seen += 1
            if (sheet.px[ry * sheet.w + rx] < DARK) != black:
                bad.append((x, y, black))
    return bad, seen


def best_offset(sheet, samples, ox, oy, reach, step):
    """The origin within reach of (ox, oy), in steps, where the fewest samples differ."""
    best = None
    for dy in range(-reach, reach + 1, step):
        for dx in range(-reach, reach + 1, step):
            bad, _ = mismatches(sheet, samples, ox + dx, oy + dy)
            if best is None or len(bad) < best[0] or (len(bad) == best[0] and abs(dx) + abs(dy) < best[3]):
                best = (len(bad), ox + dx, oy + dy, abs(dx) + abs(dy))
    return best[1], best[2]


def find_origin(sheet, pictures):
    """Lines the strips up with the sheet: a first guess from the ink's corner,
    then the origin, to a raster pixel, where the glyphs match best."""
    box = sheet.ink_box()
    if box is None:
        return None
    blacks = [(x, y, b) for picture in pictures for x, y, b in picture if b]
    ex, ey = min(x for x, _, _ in blacks), min(y for _, y, _ in blacks)
    ox, oy = box[0] - ex * K, box[1] - ey * K
    ox, oy = best_offset(sheet, blacks[::3], ox, oy, 2 * K, K)
    return best_offset(sheet, blacks, ox, oy, K - 1, 1)


def check_strips(sheet, pictures, origin, problems):
    """Every strip pixel for pixel. The sheet may be scaled a hair off the
    design (the printable area is a whole number of page units), so each
    strip may sit a raster pixel from where the origin puts it."""
    ox, oy = origin
    total_seen = total = 0
    for i, picture in enumerate(pictures):
        total += len(picture)
        sx, sy = best_offset(sheet, picture, ox, oy, 1, 1)
        bad, seen = mismatches(sheet, picture, sx, sy)
        total_seen += seen
        if bad:
            sample = ", ".join(f"({x},{y}) {'black' if b else 'white'}" for x, y, b in bad[:6])
            problems.append(f"strip {i + 1}: {len(bad)} of {seen} pixels differ from the design, e.g. {sample}")
    if total_seen < total // 2:
        problems.append(f"only {total_seen} of {total} strip pixels fall on the sheet")


def allowed_ink(page, margin, empty):
    """Boxes (left, top, right, bottom) in design units where ink may be: strips and labels."""
    boxes = []
    for kind, left, top in STRIPS[page]:
        w, h = (150, 15) if kind == "H" else (15, 150)
        boxes.append((margin + left, top, margin + left + w, top + h))
    for name, (left, top, width, height, auto) in labels_of(page).items():
        if name in empty:
            continue
        pad = AUTO_SIZE_PAD if auto else 0
        right = left + width + AUTO_SIZE_GROWTH.get(name, 0)
        boxes.append((margin + left - pad, top, margin + right + pad, top + height + pad))
    return boxes


def ink_outside(sheet, origin, boxes):
    """Raster pixels with ink outside every allowed box (one design unit of slack)."""
    ox, oy = origin
    allowed = [bytearray(sheet.w) for _ in range(sheet.h)]
    for left, top, right, bottom in boxes:
        x0 = max(0, ox + (left - 1) * K)
        x1 = min(sheet.w, ox + (right + 1) * K)
        if x1 <= x0:
            continue
        for ry in range(max(0, oy + (top - 1) * K), min(sheet.h, oy + (bottom + 1) * K)):
            allowed[ry][x0:x1] = b"\x01" * (x1 - x0)
    stray = []
    for ry in range(sheet.h):
        ink = int.from_bytes(sheet.ink_row(ry), "big")
        if ink & ~int.from_bytes(allowed[ry], "big"):
            row = sheet.ink_row(ry)
            stray.extend((rx, ry) for rx in range(sheet.w) if row[rx] and not allowed[ry][rx])
    return stray


def label_ink(sheet, origin, page, margin, name):
    """Raster pixels with ink inside a label's box."""
    left, top, width, height, _ = labels_of(page)[name]
    ox, oy = origin
    x0 = max(0, ox + (margin + left) * K)
    x1 = min(sheet.w, ox + (margin + left + width) * K)
    rows = range(max(0, oy + top * K), min(sheet.h, oy + (top + height) * K))
    return sum(sheet.ink_row(ry)[x0:x1].count(1) for ry in rows) if x1 > x0 else 0


def main():
    ap = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    ap.add_argument("pdf")
    ap.add_argument("--page", choices=sorted(STRIPS), required=True)
    ap.add_argument("--margin", type=int, required=True, help="left margin in design units")
    ap.add_argument("--empty", action="append", default=[], help="a label that must print nothing")
    ap.add_argument("--save-pgm", help="also write the landscape raster here")
    args = ap.parse_args()

    problems = []
    sheet = Sheet.from_pdf(args.pdf, problems)
    if args.save_pgm:
        with open(args.save_pgm, "wb") as f:
            f.write(b"P5 %d %d 255\n" % (sheet.w, sheet.h) + sheet.px)
    pictures = strip_pictures(args.page, args.margin)
    origin = find_origin(sheet, pictures)
    if origin is None:
        problems.append("the sheet is blank")
        origin = (0, 0)
    else:
        check_strips(sheet, pictures, origin, problems)
        labels = labels_of(args.page)
        for name in labels:
            ink = label_ink(sheet, origin, args.page, args.margin, name)
            if name in args.empty and ink:
                problems.append(f"{name} should print nothing but has {ink} dark pixels")
            elif name not in args.empty and ink < 10 * K * K:
                problems.append(f"{name} has no text ({ink} dark pixels in its box)")
        stray = ink_outside(sheet, origin, allowed_ink(args.page, args.margin, args.empty))
        if stray:
            ox, oy = origin
            where = ", ".join(f"({(x - ox) / K:.0f},{(y - oy) / K:.0f})" for x, y in stray[:8])
            problems.append(f"{len(stray)} dark pixels outside the strips and labels, at design {where}")

    print(f"origin {origin[0] / K:.1f} {origin[1] / K:.1f}")
    for p in problems:
        print(f"sheet: {p}", file=sys.stderr)
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
