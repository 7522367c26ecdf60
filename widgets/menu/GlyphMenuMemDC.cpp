#include "widgets/menu/GlyphMenuMemDC.h"

GlyphMenuMemDC::GlyphMenuMemDC(HDC target, const RECT& rect) : m_target(target), m_rect(rect) {
    m_dc = target;
    if (GetDeviceCaps(target, TECHNOLOGY) == DT_RASPRINTER) {
        return;
    }
    HDC memory = CreateCompatibleDC(target);
    fw::Bitmap bitmap(
        CreateCompatibleBitmap(target, rect.right - rect.left, rect.bottom - rect.top));
    if (!memory || !bitmap) {
        if (memory) {
            DeleteDC(memory);
        }
        return;
    }
    m_dc = memory;
    m_bitmap = std::move(bitmap);
    m_displaced = SelectObject(m_dc, m_bitmap.get());
    SetWindowOrgEx(m_dc, rect.left, rect.top, nullptr);
    m_offScreen = true;
}

GlyphMenuMemDC::~GlyphMenuMemDC() {
    if (!m_offScreen) {
        return;
    }
    BitBlt(m_target, m_rect.left, m_rect.top, m_rect.right - m_rect.left,
           m_rect.bottom - m_rect.top, m_dc, m_rect.left, m_rect.top, SRCCOPY);
    SelectObject(m_dc, m_displaced);
    DeleteDC(m_dc);
}
