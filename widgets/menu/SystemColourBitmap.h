#pragma once
#include "base/GdiObject.h"

#include <windows.h>
#include <cstddef>

// A 16-colour bitmap resource whose classic toolbar colours (black, greys, white) become the
// user's 3-D colours, as toolbar glyphs are loaded.
class SystemColourBitmap {
public:
    // Null when the resource is missing, has another colour depth or is not whole.
    static base::Bitmap Load(INT_PTR resource);
    // Whether the header, its colour table and every row of pixels lie within size bytes.
    static bool IsWhole(const BITMAPINFOHEADER& header, size_t size);
};
