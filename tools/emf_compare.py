#!/usr/bin/env python3
"""Plays every metafile of a folder through our emfplay and through LibreOffice
(and Inkscape, when asked) and prints, per file and in total, how far the
renderings are apart.

    tools/emf_compare.py SAMPLES_DIR --emfplay build/tools/emfplay [--inkscape]
                         [--cache DIR] [--only TEXT] [--montage DIR] [--csv FILE]

LibreOffice is the reference: it is the most complete open renderer. Its and
Inkscape's renderings take seconds per file, so they are kept in a cache
folder (by default ~/.cache/stellaro-emf-compare) under the SHA-1 of the
metafile; ours are made afresh on every run. Needs python3-pil; LibreOffice
(libreoffice-draw-nogui) and Inkscape only where they are installed.

The measure. LibreOffice draws the picture onto a page of its own, at its own
scale, so placement and scale must not count: ours is played again at
LibreOffice's scale where LibreOffice drew it larger, each image is trimmed to the box
of its ink (every pixel not near white) and the two boxes are averaged down to
the same GRID x GRID cells. A cell that is inked in either image counts; it
agrees when its mean colours differ by at most COLOUR_TOLERANCE in every
channel. A file's similarity is the share of counted cells that agree (1 when
both images are blank, 0 when only one is). Averaging over cells forgives
antialiasing, a pixel's rounding and a slightly different face, which a
per-pixel measure would count, while a missing shape, a wrong fill colour, a
wrong fill rule or misplaced text empties or recolours whole cells. A file
agrees when its similarity is at least AGREE.
"""

import argparse
import hashlib
import os
import shutil
import subprocess
import sys
import tempfile

try:
    from PIL import Image, ImageChops
except ImportError:
    sys.exit("emf_compare.py needs Pillow (Debian: python3-pil)")

GRID = 32
COLOUR_TOLERANCE = 64
INK_LEVEL = 240      # a channel below this is ink
INK_SHARE = 0.02     # a cell with less ink than this counts as empty
AGREE = 0.75


def sha1(path):
    with open(path, "rb") as f:
        return hashlib.sha1(f.read()).hexdigest()


def ink_box(img):
    """Bounding box of the pixels that are not near white, or None."""
    grey = img.convert("RGB").point(lambda v: 255 if v < INK_LEVEL else 0)
    # A pixel is ink if any channel is: merge the channels with lighter().
    r, g, b = grey.split()
    mask = ImageChops.lighter(ImageChops.lighter(r, g), b)
    return mask.getbbox(), mask


def cells(path):
    """(colours, ink shares) of the trimmed image on the grid, or None when blank."""
    img = Image.open(path).convert("RGBA")
    # Transparent pixels are paper.
    paper = Image.new("RGBA", img.size, (255, 255, 255, 255))
    img = Image.alpha_composite(paper, img).convert("RGB")
    box, mask = ink_box(img)
    if box is None:
        return None
    colours = list(img.crop(box).resize((GRID, GRID), Image.Resampling.BOX).getdata())
    shares = [v / 255 for v in mask.crop(box).resize((GRID, GRID), Image.Resampling.BOX).getdata()]
    return colours, shares


def similarity(a, b):
    if a is None or b is None:
        return 1.0 if a is None and b is None else 0.0
    counted = agreed = 0
    for ca, sa, cb, sb in zip(a[0], a[1], b[0], b[1]):
        if sa < INK_SHARE and sb < INK_SHARE:
            continue
        counted += 1
        if max(abs(x - y) for x, y in zip(ca, cb)) <= COLOUR_TOLERANCE:
            agreed += 1
    return agreed / counted if counted else 1.0


def render_libreoffice(files, cache):
    """Converts the files missing from the cache in one LibreOffice run."""
    todo = [(f, h) for f, h in files if not os.path.exists(os.path.join(cache, h + ".lo.png"))]
    if not todo or not shutil.which("soffice"):
        return
    with tempfile.TemporaryDirectory() as tmp:
        src = os.path.join(tmp, "in")
        out = os.path.join(tmp, "out")
        os.makedirs(src)
        for f, h in todo:
            shutil.copy(f, os.path.join(src, h + ".emf"))
        env = dict(os.environ, HOME=os.path.join(tmp, "home"))
        # In batches, so that one file that hangs LibreOffice costs one batch.
        names = sorted(os.listdir(src))
        for i in range(0, len(names), 20):
            batch = [os.path.join(src, n) for n in names[i:i + 20]]
            try:
                subprocess.run(["soffice", "--headless", "--convert-to", "png", "--outdir", out] + batch,
                               env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=600)
            except subprocess.TimeoutExpired:
                pass
            for n in names[i:i + 20]:
                png = os.path.join(out, n[:-4] + ".png")
                dest = os.path.join(cache, n[:-4] + ".lo.png")
                if os.path.exists(png):
                    shutil.move(png, dest)
                else:
                    open(dest + ".failed", "w").close()


def render_inkscape(path, h, cache, scale=1.0):
    """Inkscape's rendering at the frame's size times `scale`; its file name."""
    dest = os.path.join(cache, h + (".ink.png" if scale == 1.0 else ".ink@%.3f.png" % scale))
    if os.path.exists(dest) or os.path.exists(dest + ".failed") or not shutil.which("inkscape"):
        return dest
    # Inkscape crashes or hangs on some damaged files.
    try:
        subprocess.run(["inkscape", path, "--export-type=png", "--export-filename=" + dest,
                        "--export-dpi=%.2f" % (96 * scale)],
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=60)
    except subprocess.TimeoutExpired:
        pass
    if not os.path.exists(dest):
        open(dest + ".failed", "w").close()
    return dest


def load(path):
    """The grid of an image; None when blank, missing, or too large to open: an
    image past Pillow's limit (Inkscape sizes some files at gigapixels) is
    no rendering that could be used."""
    try:
        return cells(path) if path and os.path.exists(path) else None
    except Exception:
        return None


def box_size(path):
    try:
        box = ink_box(Image.open(path).convert("RGB"))[0]
    except Exception:
        return None
    return (box[2] - box[0], box[3] - box[1]) if box else None


def lo_scale(ours_png, lo_png):
    """How much larger than the frame's size LibreOffice drew the picture, when
    it drew it larger (it fits pictures to its page): ours and Inkscape's are
    then made at that scale too, since a line one pixel wide covers half a grid
    cell of a 50-pixel drawing and a tenth of one on a page-sized drawing."""
    a, b = box_size(ours_png), box_size(lo_png)
    if not a or not b:
        return 1.0
    ratio = max(b[0] / a[0], b[1] / a[1])
    return round(min(ratio, 16), 1) if ratio > 1.25 else 1.0


def main():
    ap = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    ap.add_argument("samples")
    ap.add_argument("--emfplay", required=True)
    ap.add_argument("--cache", default=os.path.expanduser("~/.cache/stellaro-emf-compare"))
    ap.add_argument("--inkscape", action="store_true", help="also measure Inkscape against LibreOffice")
    ap.add_argument("--only", default="", help="only files whose path contains this text")
    ap.add_argument("--montage", help="write ours | LibreOffice (| Inkscape) side by side here")
    ap.add_argument("--csv", help="write the per-file figures here")
    args = ap.parse_args()

    files = []
    for root, _, names in os.walk(args.samples):
        for n in sorted(names):
            if n.lower().endswith(".emf") and args.only in os.path.join(root, n):
                p = os.path.join(root, n)
                files.append((p, sha1(p)))
    files.sort()
    os.makedirs(args.cache, exist_ok=True)
    render_libreoffice(files, args.cache)
    if args.inkscape:
        for f, h in files:
            render_inkscape(f, h, args.cache)
    if args.montage:
        os.makedirs(args.montage, exist_ok=True)

    rows = []
    with tempfile.TemporaryDirectory() as tmp:
        for f, h in files:
            ours_png = os.path.join(tmp, h + ".png")
            subprocess.run([args.emfplay, f, ours_png], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                           timeout=120)
            lo_png = os.path.join(args.cache, h + ".lo.png")
            ink_png = os.path.join(args.cache, h + ".ink.png")
            if not os.path.exists(lo_png):
                continue  # LibreOffice could not read it: nothing to compare with
            scale = lo_scale(ours_png, lo_png)
            if scale != 1.0:
                subprocess.run([args.emfplay, f, ours_png], env=dict(os.environ, STELLARO_EMFPLAY_SCALE=str(scale)),
                               stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=120)
                if args.inkscape:
                    ink_png = render_inkscape(f, h, args.cache, scale)
            lo, ours = load(lo_png), load(ours_png)
            ink = load(ink_png) if args.inkscape else None
            row = {"file": os.path.relpath(f, args.samples), "ours": similarity(ours, lo),
                   "ours_blank": ours is None and lo is not None}
            if args.inkscape:
                row["inkscape"] = similarity(ink, lo)
                row["inkscape_blank"] = ink is None and lo is not None
            rows.append(row)
            if args.montage:
                imgs = []
                for p in (ours_png, lo_png, ink_png if args.inkscape else None):
                    try:
                        imgs.append(Image.open(p).convert("RGB"))
                    except Exception:
                        pass  # missing, or too large to open (Inkscape makes gigapixel images of some files)
                imgs = [i.crop(ink_box(i)[0] or (0, 0, 1, 1)) for i in imgs]
                imgs = [i.resize((max(1, i.width * 300 // max(1, i.height)), 300)) if i.height else i for i in imgs]
                m = Image.new("RGB", (sum(i.width + 10 for i in imgs), 300), (200, 0, 200))
                x = 0
                for i in imgs:
                    m.paste(i, (x, 0))
                    x += i.width + 10
                m.save(os.path.join(args.montage, row["file"].replace("/", "_") + ".png"))

    for r in rows:
        line = "%-60s ours %.2f%s" % (r["file"], r["ours"], " BLANK" if r["ours_blank"] else "")
        if args.inkscape:
            line += "   inkscape %.2f%s" % (r["inkscape"], " BLANK" if r["inkscape_blank"] else "")
        print(line)
    n = len(rows)
    if not n:
        print("nothing compared (is LibreOffice installed?)")
        return 1
    print()
    print("files compared with LibreOffice: %d (similarity >= %.2f counts as agreeing)" % (n, AGREE))
    for who in ("ours", "inkscape") if args.inkscape else ("ours",):
        agree = sum(1 for r in rows if r[who] >= AGREE)
        mean = sum(r[who] for r in rows) / n
        blank = sum(1 for r in rows if r[who + "_blank"])
        print("%-9s agree %3d (%.0f%%), mean similarity %.3f, blank where LibreOffice draws: %d"
              % (who, agree, 100 * agree / n, mean, blank))
    if args.csv:
        with open(args.csv, "w") as f:
            keys = list(rows[0].keys())
            f.write(",".join(keys) + "\n")
            for r in rows:
                f.write(",".join(str(r[k]) for k in keys) + "\n")
    return 0


if __name__ == "__main__":
    sys.exit(main())
