#pragma once
#include "base/UniqueHandle.h"

#include <windows.h>

namespace base {

template <typename H> struct GdiTraits {
    using Handle = H;
    static Handle None() { return nullptr; }
    static void Close(Handle h) { DeleteObject(h); }
};

// Owns one GDI object (pen, brush, font, bitmap, region) and deletes it. A borrowed object is
// a plain handle; only owners free.
template <typename H> using GdiObject = UniqueHandle<GdiTraits<H>>;

using Pen = GdiObject<HPEN>;
using Brush = GdiObject<HBRUSH>;
using Font = GdiObject<HFONT>;
using Bitmap = GdiObject<HBITMAP>;
using Region = GdiObject<HRGN>;

} // namespace base
