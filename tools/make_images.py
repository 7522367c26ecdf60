#!/usr/bin/env python3
"""Writes the program's icons, cursor and background bitmap into OUTDIR.

    python3 tools/make_images.py OUTDIR

Every image is drawn here from shapes or ASCII art, so the resources are reviewable source and
not opaque binaries. Shapes are sampled 4x4 per pixel for smooth, alpha-blended edges.
"""

import math
import os
import struct
import sys

SIZE = 32
SUBSAMPLES = 4


def clamp(v, lo=0.0, hi=1.0):
    return lo if v < lo else hi if v > hi else v


def lerp(a, b, t):
    return tuple(x + (y - x) * t for x, y in zip(a, b))


def hex_rgb(text):
    return tuple(int(text[i:i + 2], 16) / 255.0 for i in (0, 2, 4))


# A scene maps a point (x right, y down, in pixels) to a straight-alpha (r, g, b, a) colour or
# None where nothing is drawn; layers are painted back to front.
def over(dst, src):
    if src is None:
        return dst
    sa = src[3]
    da = dst[3] * (1 - sa)
    a = sa + da
    if a <= 0:
        return (0.0, 0.0, 0.0, 0.0)
    rgb = tuple((src[i] * sa + dst[i] * da) / a for i in range(3))
    return rgb + (a,)


def render(layers, size=SIZE):
    """Returns size rows of size (r, g, b, a) tuples in 0..255, top row first; the scene is drawn
    in SIZE units and scaled to fit."""
    rows = []
    n = SUBSAMPLES
    scale = SIZE / size
    for py in range(size):
        row = []
        for px in range(size):
            acc = [0.0, 0.0, 0.0, 0.0]
            for sy in range(n):
                for sx in range(n):
                    x = (px + (sx + 0.5) / n) * scale
                    y = (py + (sy + 0.5) / n) * scale
                    c = (0.0, 0.0, 0.0, 0.0)
                    for layer in layers:
                        c = over(c, layer(x, y))
                    for i in range(3):
                        acc[i] += c[i] * c[3]
                    acc[3] += c[3]
            a = acc[3] / (n * n)
            if a <= 0:
                row.append((0, 0, 0, 0))
                continue
            rgb = [round(255 * clamp(acc[i] / acc[3])) for i in range(3)]
            row.append((rgb[0], rgb[1], rgb[2], round(255 * a)))
        rows.append(row)
    return rows


def disc(cx, cy, r, paint):
    def layer(x, y):
        d = math.hypot(x - cx, y - cy)
        return paint(x, y, d / r) if d <= r else None

    return layer


def rounded_rect(x0, y0, x1, y1, radius, paint):
    def layer(x, y):
        qx = max(x0 + radius - x, 0, x - (x1 - radius))
        qy = max(y0 + radius - y, 0, y - (y1 - radius))
        if x < x0 or x > x1 or y < y0 or y > y1 or math.hypot(qx, qy) > radius:
            return None
        return paint(x, y, (y - y0) / (y1 - y0))

    return layer


def shaded(light, dark, highlight=0.0):
    """A paint that runs from light (top) to dark (bottom) with an optional top sheen."""

    def paint(_x, _y, t):
        c = lerp(light, dark, clamp(t))
        if highlight and t < 0.45:
            c = lerp(c, (1.0, 1.0, 1.0), highlight * (1 - t / 0.45))
        return c + (1.0,)

    return paint


def ring_paint(inner, rim, rim_from):
    """A radial paint for discs: inner colour to a rim colour past rim_from of the radius."""

    def paint(x, y, rel):
        c = lerp(inner, rim, clamp((rel - rim_from) / (1 - rim_from)))
        return c + (1.0,)

    return paint


def waveform(x0, x1, cy, amplitude, width, colour):
    """A decaying sine burst, the picture of recorded sound, drawn as a stroke."""

    def wave(x):
        t = (x - x0) / (x1 - x0)
        envelope = max(math.sin(math.pi * t), 0.0) ** 1.5
        return cy - amplitude * envelope * math.sin(2 * math.pi * 2.5 * t)

    def layer(x, y):
        if x < x0 or x > x1:
            return None
        h = 1e-3
        slope = (wave(x + h) - wave(x - h)) / (2 * h)
        distance = abs(y - wave(x)) / math.sqrt(1 + slope * slope)
        return colour + (1.0,) if distance <= width / 2 else None

    return layer


def app_icon(size=SIZE):
    navy, deep = hex_rgb("2f5d9e"), hex_rgb("0f2446")
    return render([
        disc(16, 16, 15.5, lambda x, y, rel: (0.55, 0.62, 0.72, 1.0)),
        disc(16, 16, 14.5, lambda x, y, rel: lerp(navy, deep, clamp(rel ** 1.3 + (y - 16) / 40))
             + (1.0,)),
        waveform(4.5, 27.5, 15.5, 7.5, 2.2, hex_rgb("bfe9ff")),
        disc(24.5, 24.5, 5.2, lambda x, y, rel: (1.0, 1.0, 1.0, 1.0)),
        disc(24.5, 24.5, 4.2, ring_paint(hex_rgb("ff5a4f"), hex_rgb("b3140c"), 0.3)),
    ], size)


def record_icon():
    return render([
        disc(16, 16, 12.5, lambda x, y, rel: hex_rgb("7a0d08") + (1.0,)),
        disc(16, 16, 11.5, ring_paint(hex_rgb("ff6a5c"), hex_rgb("c0180e"), 0.15)),
        disc(13, 12, 4.5, lambda x, y, rel: (1.0, 1.0, 1.0, 0.45 * (1 - rel))),
    ])


TRANSPORT_LIGHT, TRANSPORT_DARK = hex_rgb("5b6f8a"), hex_rgb("1e2a3b")


def pause_icon():
    paint = shaded(TRANSPORT_LIGHT, TRANSPORT_DARK, 0.25)
    return render([
        rounded_rect(7.5, 6, 13.5, 26, 1.8, paint),
        rounded_rect(18.5, 6, 24.5, 26, 1.8, paint),
    ])


def stop_icon():
    return render([rounded_rect(7, 7, 25, 25, 2.5, shaded(TRANSPORT_LIGHT, TRANSPORT_DARK, 0.25))])


def icon_bytes(rows):
    """An .ico file with one 32x32 image: 32-bit BGRA colour plus the AND mask."""
    xor = bytearray()
    for row in reversed(rows):
        for r, g, b, a in row:
            xor += bytes((b, g, r, a))
    mask = and_mask([[a == 0 for (_r, _g, _b, a) in row] for row in rows])
    image = bitmap_info(32, 0) + bytes(xor) + mask
    return directory(1, 0, 1, 32, image)


def and_mask(transparent_rows):
    """A 1-bit mask, bottom row first, each row padded to 32 bits; 1 means transparent."""
    out = bytearray()
    for row in reversed(transparent_rows):
        bits = 0
        for x, transparent in enumerate(row):
            if transparent:
                bits |= 1 << (31 - x)
        out += struct.pack(">I", bits)
    return bytes(out)


def bitmap_info(bit_count, colours):
    # Icon images carry colour and mask stacked, hence twice the height.
    row_bytes = (SIZE * bit_count + 31) // 32 * 4
    image_size = row_bytes * SIZE + 4 * SIZE
    return struct.pack("<IiiHHIIiiII", 40, SIZE, 2 * SIZE, 1, bit_count, 0, image_size, 0, 0,
                       colours, 0)


def directory(kind, colour_count, field1, field2, image):
    """ICONDIR plus one entry: planes and bit count for icons (kind 1), the hot spot for cursors."""
    header = struct.pack("<HHH", 0, kind, 1)
    entry = struct.pack("<BBBBHHII", SIZE, SIZE, colour_count, 0, field1, field2, len(image), 6 + 16)
    return header + entry + image


# The hand cursor: X black outline, o white fill, anything else transparent. The tip of the
# index finger sits at column 5 of row 0, which is the hot spot.
HAND = """
.....XX
....XooX
....XooX
....XooX
....XooX
....XooXXX
....XooXooXXX
....XooXooXooXX
....XooXooXooXooX
.XX.XooXooXooXooX
XooXXoooooooooooX
XoooXoooooooooooX
.XooooooooooooooX
..XoooooooooooooX
..XoooooooooooooX
...XooooooooooooX
...XoooooooooooX
....XooooooooooX
....XooooooooooX
.....XooooooooX
.....XooooooooX
.....XXXXXXXXXX
"""
HAND_HOTSPOT = (5, 0)


def art_rows(art):
    lines = art.strip("\n").split("\n")
    return [line.ljust(SIZE, ".")[:SIZE] for line in lines] + ["." * SIZE] * (SIZE - len(lines))


def cursor_bytes(art, hotspot):
    """A monochrome .cur: the colour bits pick black or white, the mask makes the rest clear."""
    rows = art_rows(art)
    colour = and_mask([[ch == "o" for ch in row] for row in rows])
    mask = and_mask([[ch not in "Xo" for ch in row] for row in rows])
    palette = bytes((0, 0, 0, 0, 255, 255, 255, 0))
    image = bitmap_info(1, 2) + palette + colour + mask
    return directory(2, 2, hotspot[0], hotspot[1], image)


BACKGROUND_WIDTH, BACKGROUND_HEIGHT = 14, 58


def background_pixel(x, y):
    # A soft band, lightest at the top and bottom so that vertical tiling shows no seam, with a
    # faint two-pixel grain; both periods divide the image size, so it tiles in both directions.
    t = 0.5 - 0.5 * math.cos(2 * math.pi * (y + 0.5) / BACKGROUND_HEIGHT)
    base = lerp((247, 248, 251), (226, 231, 239), t)
    grain = 1.5 if (x + y) % 2 == 0 else -1.5
    return tuple(int(round(clamp(c + grain, 0, 255))) for c in base)


def background_bytes():
    """A 24-bit bottom-up .bmp, each row padded to four bytes."""
    row_bytes = (BACKGROUND_WIDTH * 3 + 3) // 4 * 4
    pixels = bytearray()
    for y in reversed(range(BACKGROUND_HEIGHT)):
        row = bytearray()
        for x in range(BACKGROUND_WIDTH):
            r, g, b = background_pixel(x, y)
            row += bytes((b, g, r))
        pixels += row + bytes(row_bytes - len(row))
    info = struct.pack("<IiiHHIIiiII", 40, BACKGROUND_WIDTH, BACKGROUND_HEIGHT, 1, 24, 0,
                       len(pixels), 2835, 2835, 0, 0)
    offset = 14 + len(info)
    header = struct.pack("<2sIHHI", b"BM", offset + len(pixels), 0, 0, offset)
    return header + info + bytes(pixels)


def main(argv):
    if len(argv) != 2:
        sys.stderr.write("usage: make_images.py OUTDIR\n")
        return 2
    outdir = argv[1]
    os.makedirs(outdir, exist_ok=True)
    files = {
        "app.ico": icon_bytes(app_icon()),
        "record.ico": icon_bytes(record_icon()),
        "pause.ico": icon_bytes(pause_icon()),
        "stop.ico": icon_bytes(stop_icon()),
        "hand.cur": cursor_bytes(HAND, HAND_HOTSPOT),
        "background.bmp": background_bytes(),
    }
    for name, data in files.items():
        with open(os.path.join(outdir, name), "wb") as f:
            f.write(data)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
