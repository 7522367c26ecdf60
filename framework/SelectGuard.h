#pragma once
#include <windows.h>

namespace fw {

// Selects a GDI object into a context and puts the previous one back, so that an owned
// object is never deleted while still selected.
class SelectGuard {
public:
    SelectGuard(HDC dc, HGDIOBJ object)
        : m_dc(dc), m_old(object ? SelectObject(dc, object) : nullptr) {}
    SelectGuard(const SelectGuard&) = delete;
    SelectGuard& operator=(const SelectGuard&) = delete;
    ~SelectGuard() {
        if (m_old) {
            SelectObject(m_dc, m_old);
        }
    }

private:
    HDC m_dc;
    HGDIOBJ m_old;
};

} // namespace fw
