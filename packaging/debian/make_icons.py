#!/usr/bin/env python3
"""Writes the program's icon as PNG files for the hicolor theme, drawn from the same shapes as
the Windows icon:

    python3 packaging/debian/make_icons.py OUTDIR

gives OUTDIR/<N>x<N>/apps/corvale-recorder.png for each size the desktops look for.
"""

import os
import struct
import sys
import zlib

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "tools"))
import make_images  # noqa: E402

SIZES = (16, 24, 32, 48, 64, 128, 256)


def chunk(kind, data):
    body = kind + data
    return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)


def png_bytes(rows):
    """An 8-bit RGBA PNG of the rows (top first) that render() returns."""
    height, width = len(rows), len(rows[0])
    raw = b"".join(b"\0" + bytes(v for pixel in row for v in pixel) for row in rows)
    header = struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(raw, 9))
            + chunk(b"IEND", b""))


def main(argv):
    if len(argv) != 2:
        sys.stderr.write("usage: make_icons.py OUTDIR\n")
        return 2
    # Fewer samples per pixel at the large sizes: the edges stay smooth and it runs in seconds.
    for size in SIZES:
        make_images.SUBSAMPLES = 4 if size <= 48 else 2
        folder = os.path.join(argv[1], "%dx%d" % (size, size), "apps")
        os.makedirs(folder, exist_ok=True)
        with open(os.path.join(folder, "corvale-recorder.png"), "wb") as f:
            f.write(png_bytes(make_images.app_icon(size)))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
