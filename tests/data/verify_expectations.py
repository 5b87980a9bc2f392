#!/usr/bin/python3
"""Computes expected.txt from Quorbel's own bitmap reader and proves it against bmpsuite's
reference renderings before anyone trusts it.

    verify_expectations.py QUORBEL_SHEET HTML_FOLDER [--write]

QUORBEL_SHEET is the built quorbel-sheet; HTML_FOLDER is bmpsuite's html/ folder (its reference
PNGs and bmpnotes.json), which stays outside the repository because it is GPL. Each .bmp here is
decoded on its own through quorbel-sheet (a sheet of one frame is the frame); every decoded g/
and q/ file must match its reference, and the files that load or are refused must be the ones
listed below. Without --write the expectations are compared with the committed expected.txt;
with it they replace it. Any disagreement fails with exit status 1. Needs Pillow
(Debian: python3-pil).
"""
import hashlib, json, pathlib, re, shutil, struct, subprocess, sys, tempfile, zlib
from PIL import Image

HERE = pathlib.Path(__file__).resolve().parent
HEADER = """\
# What Quorbel's bitmap reader makes of every .bmp under tests/data, one line per file:
#   PATH WxH SHA256   the file loads as a W by H picture; SHA256 is the hash of its pixels as
#                     red, green, blue bytes, rows top to bottom, no padding, no alpha
#   PATH refused N    the reader refuses the file with error number N
# Written by verify_expectations.py after checking every decoded file against bmpsuite's
# reference renderings; do not edit by hand.
"""
INVALID_PICTURE = 481
# Questionable files without a sprite frame inside: Huffman or RLE24 compression, an embedded
# JPEG or PNG, 64 bits per pixel.
REFUSED_QUESTIONABLE = {"pal1huffmsb", "rgb24jpeg", "rgb24png", "rgb24rle24", "rgba64"}
# Bad files that still describe a whole picture: only fields the reader ignores or cuts to fit
# are wrong, or indexes past the palette and colour channels without bits.
LOADED_BAD = {"badbitssize", "baddens1", "baddens2", "badfilesize", "badpalettesize",
              "pal8badindex", "rgb16-880"}
REFUSED_BAD = {"badbitcount", "badheadersize", "badplanes", "badrle", "badrle4", "badrle4bis",
               "badrle4ter", "badrlebis", "badrleter", "badwidth", "reallybig", "rletopdown",
               "shortfile"}
COUNTS = {"bmpsuite/g": 27, "bmpsuite/q": 41, "bmpsuite/b": 20, "bmpsuite/x": 1, "crafted": 12}


def must_refuse(path):
    folder, stem = str(path.parent), path.stem
    return (folder == "bmpsuite/q" and stem in REFUSED_QUESTIONABLE
            or folder == "bmpsuite/b" and stem in REFUSED_BAD
            or folder in ("bmpsuite/x", "crafted"))


def decode(sheet, path):
    """(width, height, RGB bytes top to bottom) or the error number."""
    with tempfile.TemporaryDirectory() as tmp:
        frames = pathlib.Path(tmp, "frames")
        frames.mkdir()
        shutil.copy(HERE / path, frames / path.name)
        out = pathlib.Path(tmp, "sheet.bmp")
        run = subprocess.run([sheet, str(frames), "--rows", "1", "-o", str(out)],
                             capture_output=True, text=True)
        if run.returncode == 2:
            number = re.search(r"(\d+)\D*$", run.stderr)
            if not number or out.exists():
                sys.exit(f"{path}: refusal without a number or with a sheet: {run.stderr!r}")
            return int(number.group(1))
        if run.returncode != 0:
            sys.exit(f"{path}: quorbel-sheet ended with {run.returncode}: {run.stderr!r}")
        data = out.read_bytes()
    offset, = struct.unpack_from("<I", data, 10)
    width, height, planes, bits, compression = struct.unpack_from("<iiHHI", data, 18)
    if data[:2] != b"BM" or height <= 0 or bits != 24 or compression != 0:
        sys.exit(f"{path}: the sheet is not a bottom-up 24-bit bitmap")
    stride = (width * 3 + 3) & ~3
    rgb = bytearray()
    for y in range(height - 1, -1, -1):
        row = data[offset + y * stride: offset + y * stride + width * 3]
        for x in range(0, len(row), 3):
            rgb += row[x + 2: x + 3] + row[x + 1: x + 2] + row[x: x + 1]
    return width, height, bytes(rgb)


def png16(data, width, height, channels):
    """RGBA pixels of a non-interlaced PNG of 16-bit samples, each rounded to the nearest 8-bit
    value: Pillow keeps only the high byte, which is one too low for about half the values."""
    raw = zlib.decompress(b"".join(data[p + 8: p + 8 + n] for p, n, kind in chunks(data)
                                   if kind == b"IDAT"))
    step, stride = channels * 2, width * channels * 2
    prev, pixels = bytearray(stride), []
    for y in range(height):
        start = y * (stride + 1)
        kind, line = raw[start], bytearray(raw[start + 1: start + 1 + stride])
        for i in range(stride):
            a, b = line[i - step] if i >= step else 0, prev[i]
            c = prev[i - step] if i >= step else 0
            p = a + b - c
            pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
            paeth = a if pa <= pb and pa <= pc else b if pb <= pc else c
            line[i] = (line[i] + (0, a, b, (a + b) // 2, paeth)[kind]) & 255
        prev = line
        for x in range(width):
            samples = struct.unpack_from(f">{channels}H", line, x * step)
            pixels.append(tuple((2 * v + 257) // 514 for v in samples) + (255,) * (4 - channels))
    return pixels


def chunks(data):
    p = 8
    while p < len(data):
        n, kind = struct.unpack_from(">I4s", data, p)
        yield p, n, kind
        p += 12 + n


def reference_pixels(path):
    data = path.read_bytes()
    width, height, depth, colour, _, _, interlace = struct.unpack_from(">IIBBBBB", data, 16)
    if depth != 16:
        image = Image.open(path).convert("RGBA")
        return image.size, list(image.getdata())
    if colour not in (2, 6) or interlace:
        sys.exit(f"{path}: a 16-bit PNG of a kind this script does not read")
    return (width, height), png16(data, width, height, 3 if colour == 2 else 4)


def mismatch(width, height, rgb, reference, tolerance):
    """None when every fully opaque reference pixel shows in the decoded one."""
    size, ref = reference_pixels(reference)
    if size != (width, height):
        return f"size {width}x{height}, reference {size[0]}x{size[1]}"
    compared = 0
    for i, (r, g, b, a) in enumerate(ref):
        if a != 255:
            continue  # frames have no alpha: a see-through pixel does not say what lies beneath
        compared += 1
        got = rgb[i * 3: i * 3 + 3]
        if max(abs(got[0] - r), abs(got[1] - g), abs(got[2] - b)) > tolerance:
            want = bytes((r, g, b)).hex()
            return f"pixel ({i % width},{i // width}) is {got.hex()}, reference {want}"
    return None if compared else "reference has no opaque pixel"


def check_reference(path, decoded, html, notes):
    key = f"{path.parent.name}/{path.name}"  # "g/pal8.bmp"
    refs = notes.get(key, {}).get("refs", [])
    # Where the references differ in what fills skipped pixels, only the black one applies.
    refs = [r for r in refs if "-b." in r] or refs
    if not refs:
        return "no reference" if key.startswith("g/") else None
    # Its 11-bit values are not the nearest to the 8-bit source, so exact rounding is one off.
    tolerance = 1 if key == "q/rgb32-111110.bmp" else 0
    misses = [f"{r}: {m}" for r in refs if (m := mismatch(*decoded, html / r, tolerance))]
    return None if len(misses) < len(refs) else "; ".join(misses)


def main():
    if len(sys.argv) not in (3, 4) or sys.argv[3:] not in ([], ["--write"]):
        sys.exit(__doc__)
    sheet, html = sys.argv[1], pathlib.Path(sys.argv[2])
    notes = json.loads((html / "bmpnotes.json").read_text())
    files = sorted(p.relative_to(HERE) for p in HERE.rglob("*.bmp"))
    lines, faults, counts = [], [], {}
    for path in files:
        counts[str(path.parent)] = counts.get(str(path.parent), 0) + 1
        decoded = decode(sheet, path)
        refused = isinstance(decoded, int)
        if refused != must_refuse(path) or refused and decoded != INVALID_PICTURE:
            faults.append(f"{path}: {'refused ' + str(decoded) if refused else 'loaded'}")
            continue
        if refused:
            lines.append(f"{path} refused {decoded}")
            continue
        width, height, rgb = decoded
        miss = path.parent.name in ("g", "q") and check_reference(path, decoded, html, notes)
        if miss:
            faults.append(f"{path}: {miss}")
        lines.append(f"{path} {width}x{height} {hashlib.sha256(rgb).hexdigest()}")
    if counts != COUNTS:
        faults.append(f"files per folder {counts}, expected {COUNTS}")
    for fault in faults:
        print("FAIL", fault, file=sys.stderr)
    if faults:
        sys.exit(1)
    text = HEADER + "\n".join(lines) + "\n"
    target = HERE / "expected.txt"
    if sys.argv[3:] == ["--write"]:
        target.write_text(text)
    elif not target.exists() or target.read_text() != text:
        sys.exit(f"{target} differs from what the reader gives now; rerun with --write")
    print(f"{len(lines)} files agree with the references and the expected outcomes")


if __name__ == "__main__":
    main()
