#pragma once
#include "base/GdiObject.h"

#include <windows.h>

// A copy of the parent window's pixels behind a child window, taken once and reused, so that
// painting the child never makes the parent repaint.
class ParentBackground {
public:
    ParentBackground() = default;
    ParentBackground(const ParentBackground&) = delete;
    ParentBackground& operator=(const ParentBackground&) = delete;
    ~ParentBackground() { Discard(); }

    bool taken() const { return m_dc != nullptr; }
    // Copies the stored pixels to dc at (0, 0), taking them from the parent first if needed.
    void Paint(HWND child, HDC dc);
    void Discard();

private:
    bool Take(HWND child, HDC parentDc, const RECT& inParent);

    HDC m_dc = nullptr;
    fw::Bitmap m_bitmap;
    HGDIOBJ m_previous = nullptr;
    int m_width = 0;
    int m_height = 0;
};
