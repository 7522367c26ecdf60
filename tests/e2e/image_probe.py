#!/usr/bin/env python3
"""Measures a region of a 24-bit BMP screenshot.

usage: image_probe.py blue-run FILE.bmp X Y W H   longest horizontal run of link-blue pixels
       image_probe.py ink-width FILE.bmp X Y W H  width of the span of columns with dark pixels
"""
import struct
import sys


def read_bmp(path):
    data = open(path, "rb").read()
    offset, = struct.unpack_from("<I", data, 10)
    width, height, _, bits = struct.unpack_from("<iiHH", data, 18)
    if bits not in (24, 32):
        raise SystemExit("unsupported BMP: %d bits" % bits)
    step = bits // 8
    stride = (width * step + 3) & ~3
    rows = []
    for y in range(abs(height)):
        source = y if height < 0 else abs(height) - 1 - y
        start = offset + source * stride
        rows.append([tuple(data[start + x * step:start + x * step + 3]) for x in range(width)])
    return rows


def is_link_blue(pixel):
    b, g, r = pixel
    return b > 120 and r < 100 and g < 100


def is_ink(pixel):
    return max(pixel) < 96


def blue_run(rows, x, y, w, h):
    best = 0
    for row in rows[y:y + h]:
        run = longest = 0
        for pixel in row[x:x + w]:
            run = run + 1 if is_link_blue(pixel) else 0
            longest = max(longest, run)
        best = max(best, longest)
    return best


def ink_width(rows, x, y, w, h):
    columns = [c for c in range(x, x + w) if any(is_ink(row[c]) for row in rows[y:y + h])]
    return columns[-1] - columns[0] + 1 if columns else 0


def main():
    mode, path = sys.argv[1], sys.argv[2]
    x, y, w, h = map(int, sys.argv[3:7])
    measure = {"blue-run": blue_run, "ink-width": ink_width}[mode]
    print(measure(read_bmp(path), x, y, w, h))


main()
