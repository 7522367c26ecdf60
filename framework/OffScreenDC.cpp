#include "framework/OffScreenDC.h"

namespace fw {

OffScreenDC::OffScreenDC(HDC target, const RECT& rect) : m_target(target), m_rect(rect) {
    if (GetDeviceCaps(target, TECHNOLOGY) == DT_RASPRINTER) {
        return;
    }
    m_memory.emplace(target);
    m_bitmap.reset(CreateCompatibleBitmap(target, rect.right - rect.left, rect.bottom - rect.top));
    if (!m_memory->get() || !m_bitmap) {
        return;
    }
    m_select.emplace(m_memory->get(), m_bitmap.get());
    SetWindowOrgEx(m_memory->get(), rect.left, rect.top, nullptr);
}

OffScreenDC::~OffScreenDC() {
    if (m_select) {
        BitBlt(m_target, m_rect.left, m_rect.top, m_rect.right - m_rect.left,
               m_rect.bottom - m_rect.top, m_memory->get(), m_rect.left, m_rect.top, SRCCOPY);
    }
}

} // namespace fw
