#!/usr/bin/env python3
"""Prints the colours of pixels of a 24-bit BMP screenshot, one "RRGGBB" a line.

usage: pixels.py FILE.bmp X,Y [X,Y ...]
       pixels.py FILE.bmp --count RRGGBB X Y W H   pixels of one colour in a rectangle
"""
import struct
import sys


def read_bmp(path):
    data = open(path, "rb").read()
    offset, = struct.unpack_from("<I", data, 10)
    width, height, _, bits = struct.unpack_from("<iiHH", data, 18)
    if bits != 24:
        raise SystemExit("unsupported BMP: %d bits" % bits)
    stride = (width * 3 + 3) & ~3

    def pixel(x, y):
        row = y if height < 0 else abs(height) - 1 - y
        b, g, r = data[offset + row * stride + x * 3:offset + row * stride + x * 3 + 3]
        return "%02x%02x%02x" % (r, g, b)
    return pixel


def main(args):
    pixel = read_bmp(args[0])
    if args[1] == "--count":
        colour, x, y, w, h = args[2].lower(), *map(int, args[3:7])
        print(sum(pixel(i, j) == colour for j in range(y, y + h) for i in range(x, x + w)))
        return
    for point in args[1:]:
        x, y = map(int, point.split(","))
        print(pixel(x, y))


main(sys.argv[1:])
