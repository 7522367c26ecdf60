#pragma once
#include "base/GdiObject.h"
#include "framework/MemoryDC.h"
#include "framework/SelectGuard.h"

#include <windows.h>
#include <optional>

// A copy of the parent window's pixels behind a child window, taken once and reused, so that
// painting the child never makes the parent repaint.
class ParentBackground {
public:
    ParentBackground() = default;
    ParentBackground(const ParentBackground&) = delete;
    ParentBackground& operator=(const ParentBackground&) = delete;
    ~ParentBackground() { Discard(); }

    bool taken() const { return m_selected.has_value(); }
    // Copies the stored pixels to dc at (0, 0), taking them from the parent first if needed.
    void Paint(HWND child, HDC dc);
    void Discard();

private:
    bool Take(HWND child, HDC parentDc, const RECT& inParent);

    // Declared in the order they are made: the bitmap is put out of the context before either
    // is deleted.
    std::optional<fw::MemoryDC> m_dc;
    base::Bitmap m_bitmap;
    std::optional<fw::SelectGuard> m_selected;
    int m_width = 0;
    int m_height = 0;
};
