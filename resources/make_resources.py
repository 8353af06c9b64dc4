#!/usr/bin/env python3
"""Turns the text pixel maps in icons/ into the .ico and .bmp files of the Windows resources.

A pixel map holds a palette header and then the rows, one character per pixel:

    # free comment
    . none          <- a transparent colour
    K 202020        <- a character and its colour as RRGGBB
    pixels
    ....KKKK....

Usage:
    make_resources.py --list               names of the files it writes, one a line
    make_resources.py --out DIR            writes them into DIR
    make_resources.py --preview FILE.png   an enlarged, labelled sheet of every image (needs montage)
"""
import argparse
import os
import struct
import subprocess
import sys
import tempfile
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))
MAPS = os.path.join(HERE, "icons")


class Image:
    """Rows of (r, g, b, a) tuples, a = 0 or 255."""

    def __init__(self, rows):
        self.rows = rows
        self.height = len(rows)
        self.width = len(rows[0]) if rows else 0


def load_map(name):
    path = os.path.join(MAPS, name + ".txt")
    palette, rows, in_pixels = {}, [], False
    with open(path, encoding="utf-8") as f:
        for lineno, line in enumerate(f, 1):
            line = line.rstrip("\n")
            where = f"{path}:{lineno}"
            if in_pixels:
                if not line:
                    continue
                for ch in line:
                    if ch not in palette:
                        sys.exit(f"{where}: '{ch}' is not in the palette")
                rows.append([palette[ch] for ch in line])
            elif not line.strip() or line.startswith("#"):
                continue
            elif line.strip() == "pixels":
                in_pixels = True
            else:
                ch, value = line[0], line[1:].strip()
                palette[ch] = parse_colour(value, where)
    if not rows or any(len(r) != len(rows[0]) for r in rows):
        sys.exit(f"{path}: the rows are missing or of different lengths")
    return Image(rows)


def parse_colour(value, where):
    if value == "none":
        return (0, 0, 0, 0)
    if len(value) != 6:
        sys.exit(f"{where}: a colour is RRGGBB or none, not '{value}'")
    return (int(value[0:2], 16), int(value[2:4], 16), int(value[4:6], 16), 255)


def grey(image):
    """The disabled look: each opaque pixel as a light grey of its brightness."""
    def one(p):
        if p[3] == 0:
            return p
        lum = (p[0] * 299 + p[1] * 587 + p[2] * 114) // 1000
        v = 96 + lum * 128 // 255
        return (v, v, v, 255)
    return Image([[one(p) for p in row] for row in image.rows])


def scale(image, factor):
    rows = []
    for row in image.rows:
        wide = [p for p in row for _ in range(factor)]
        rows.extend([list(wide) for _ in range(factor)])
    return Image(rows)


def strip(images):
    """Images side by side, as an image list loads them."""
    height = images[0].height
    if any(i.height != height for i in images):
        sys.exit("a strip needs images of one height")
    return Image([sum((i.rows[y] for i in images), []) for y in range(height)])


# What each output file is made of; odbackup.rc.in names the same files.
def _m(name):
    return load_map(name)


RECIPES = {
    "app.ico": lambda: [_m("set1_0"), scale(_m("set1_0"), 2)],
    "set1_0.ico": lambda: [_m("set1_0")],
    "set1_1.ico": lambda: [_m("set1_1")],
    "set1_2.ico": lambda: [_m("set1_2")],
    "set1_3.ico": lambda: [grey(_m("set1_0"))],
    "set2_0.ico": lambda: [_m("set2_0")],
    "set2_1.ico": lambda: [_m("set2_1")],
    "set2_2.ico": lambda: [_m("set2_2")],
    "set2_3.ico": lambda: [grey(_m("set2_2"))],
    "traymenu.bmp": lambda: strip([_m("tray_window_cross"), _m("tray_windows"),
                                   _m("tray_cross"), _m("tray_download"), _m("tray_tiles")]),
    "folder.bmp": lambda: _m("folder"),
    "folder_disabled.bmp": lambda: grey(_m("folder")),
    "change.bmp": lambda: _m("change"),
    "ok.bmp": lambda: _m("ok"),
    "hide.bmp": lambda: _m("hide"),
    # Konec has the same red cross as the tray menu's Konec.
    "exit.bmp": lambda: _m("tray_cross"),
    "chooser_set1.bmp": lambda: scale(_m("set1_0"), 2),
    "chooser_set2.bmp": lambda: scale(_m("set2_1"), 2),
}


def outputs():
    return {name: make() for name, make in RECIPES.items()}


def bgra_rows_bottom_up(image):
    # Transparent pixels are all zero: already premultiplied, as menus and AlphaBlend expect.
    return b"".join(bytes(c for p in row for c in (p[2], p[1], p[0], p[3]))
                    for row in reversed(image.rows))


def info_header(width, height, bits, size):
    return struct.pack("<IiiHHIIiiII", 40, width, height, 1, bits, 0, size, 0, 0, 0, 0)


def and_mask(image):
    stride = (image.width + 31) // 32 * 4
    out = bytearray()
    for row in reversed(image.rows):
        line = bytearray(stride)
        for x, p in enumerate(row):
            if p[3] == 0:
                line[x // 8] |= 0x80 >> (x % 8)
        out += line
    return bytes(out)


def ico_bytes(images):
    blobs = []
    for image in images:
        xor = bgra_rows_bottom_up(image)
        mask = and_mask(image)
        header = info_header(image.width, image.height * 2, 32, len(xor) + len(mask))
        blobs.append(header + xor + mask)
    data = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for image, blob in zip(images, blobs):
        data += struct.pack("<BBBBHHII", image.width % 256, image.height % 256, 0, 0, 1, 32,
                            len(blob), offset)
        offset += len(blob)
    return data + b"".join(blobs)


def bmp_bytes(image):
    pixels = bgra_rows_bottom_up(image)
    head = info_header(image.width, image.height, 32, len(pixels))
    return struct.pack("<2sIHHI", b"BM", 14 + len(head) + len(pixels), 0, 0, 14 + len(head)) \
        + head + pixels


def write_all(out_dir):
    os.makedirs(out_dir, exist_ok=True)
    for name, content in outputs().items():
        data = ico_bytes(content) if name.endswith(".ico") else bmp_bytes(content)
        with open(os.path.join(out_dir, name), "wb") as f:
            f.write(data)


def png_bytes(image, zoom):
    """An enlarged PNG with a checkerboard behind the transparent pixels."""
    raw = bytearray()
    for y in range(image.height * zoom):
        raw.append(0)
        for x in range(image.width * zoom):
            p = image.rows[y // zoom][x // zoom]
            if p[3] == 0:
                c = 225 if ((x // 4) + (y // 4)) % 2 else 250
                raw += bytes((c, c, c))
            else:
                raw += bytes(p[:3])

    def chunk(kind, body):
        return struct.pack(">I", len(body)) + kind + body + struct.pack(
            ">I", zlib.crc32(kind + body) & 0xFFFFFFFF)
    ihdr = struct.pack(">IIBBBBB", image.width * zoom, image.height * zoom, 8, 2, 0, 0, 0)
    return b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", ihdr) + chunk(b"IDAT", zlib.compress(
        bytes(raw))) + chunk(b"IEND", b"")


def write_preview(target):
    with tempfile.TemporaryDirectory() as tmp:
        tiles = []
        for name, content in outputs().items():
            images = content if isinstance(content, list) else [content]
            for image in images:
                zoom = 8 if image.height <= 16 else 4
                tile = os.path.join(tmp, f"{len(tiles):02d}.png")
                with open(tile, "wb") as f:
                    f.write(png_bytes(image, zoom))
                tiles += ["-label", f"{name} {image.width}x{image.height}", tile]
        subprocess.run(["montage", *tiles, "-tile", "6x", "-geometry", "+8+8",
                        "-pointsize", "11", "-background", "white", target], check=True)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    group = parser.add_mutually_exclusive_group(required=True)
    group.add_argument("--list", action="store_true")
    group.add_argument("--out")
    group.add_argument("--preview")
    args = parser.parse_args()
    if args.list:
        print("\n".join(RECIPES))
    elif args.out:
        write_all(args.out)
    else:
        write_preview(args.preview)


if __name__ == "__main__":
    main()
