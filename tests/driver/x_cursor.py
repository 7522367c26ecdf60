#!/usr/bin/env python3
"""Prints the X server's current pointer image: what Wine shows, seen from the host.

    python3 tests/driver/x_cursor.py    (with DISPLAY set)
    -> cursor hotspot 5 0 size 32 32 opaque 180 serial 12

Inside Wine a cursor handle of another process cannot be read (GetIconInfo fails on it),
so the end-to-end tests read the pointer shape here. "opaque" counts the pixels with alpha.
"""

import ctypes
import ctypes.util
import sys


class CursorImage(ctypes.Structure):
    _fields_ = [
        ("x", ctypes.c_short), ("y", ctypes.c_short),
        ("width", ctypes.c_ushort), ("height", ctypes.c_ushort),
        ("xhot", ctypes.c_ushort), ("yhot", ctypes.c_ushort),
        ("cursor_serial", ctypes.c_ulong),
        ("pixels", ctypes.POINTER(ctypes.c_ulong)),
        ("atom", ctypes.c_ulong), ("name", ctypes.c_char_p),
    ]


def main():
    x11 = ctypes.CDLL(ctypes.util.find_library("X11"))
    xfixes = ctypes.CDLL(ctypes.util.find_library("Xfixes"))
    x11.XOpenDisplay.restype = ctypes.c_void_p
    x11.XOpenDisplay.argtypes = [ctypes.c_char_p]
    x11.XCloseDisplay.argtypes = [ctypes.c_void_p]
    x11.XFree.argtypes = [ctypes.c_void_p]
    xfixes.XFixesGetCursorImage.restype = ctypes.POINTER(CursorImage)
    xfixes.XFixesGetCursorImage.argtypes = [ctypes.c_void_p]
    display = x11.XOpenDisplay(None)
    if not display:
        print("x_cursor: cannot open the display")
        return 1
    image = xfixes.XFixesGetCursorImage(display)
    if not image:
        print("x_cursor: no cursor image")
        return 1
    c = image.contents
    count = c.width * c.height
    opaque = sum(1 for i in range(count) if (c.pixels[i] >> 24) & 0xFF)
    print("cursor hotspot %d %d size %d %d opaque %d serial %d"
          % (c.xhot, c.yhot, c.width, c.height, opaque, c.cursor_serial))
    x11.XFree(image)
    x11.XCloseDisplay(display)
    return 0


if __name__ == "__main__":
    sys.exit(main())
