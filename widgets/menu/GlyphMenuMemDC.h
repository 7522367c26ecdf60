#pragma once
#include "base/GdiObject.h"

#include <windows.h>

// An off-screen context over a rectangle of a target context, drawn in the target's
// coordinates and copied to it when destroyed. A printing context is drawn into directly.
class GlyphMenuMemDC {
public:
    GlyphMenuMemDC(HDC target, const RECT& rect);
    GlyphMenuMemDC(const GlyphMenuMemDC&) = delete;
    GlyphMenuMemDC& operator=(const GlyphMenuMemDC&) = delete;
    ~GlyphMenuMemDC();

    HDC get() const { return m_dc; }

private:
    HDC m_target;
    RECT m_rect;
    HDC m_dc = nullptr;
    fw::Bitmap m_bitmap;
    HGDIOBJ m_displaced = nullptr;
    bool m_offScreen = false;
};
