#pragma once
#include <windows.h>

namespace fw {

// Pairs BeginPaint with EndPaint for one WM_PAINT.
class PaintDC {
public:
    explicit PaintDC(HWND hwnd) : m_hwnd(hwnd) { m_dc = BeginPaint(hwnd, &m_ps); }
    PaintDC(const PaintDC&) = delete;
    PaintDC& operator=(const PaintDC&) = delete;
    ~PaintDC() { EndPaint(m_hwnd, &m_ps); }

    HDC get() const { return m_dc; }
    const PAINTSTRUCT& paint() const { return m_ps; }

private:
    HWND m_hwnd;
    PAINTSTRUCT m_ps{};
    HDC m_dc = nullptr;
};

} // namespace fw
