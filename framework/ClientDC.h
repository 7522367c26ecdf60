#pragma once
#include <windows.h>

namespace fw {

// Pairs GetDC with ReleaseDC. A null window gives the screen's context.
class ClientDC {
public:
    explicit ClientDC(HWND hwnd) : m_hwnd(hwnd), m_dc(GetDC(hwnd)) {}
    ClientDC(const ClientDC&) = delete;
    ClientDC& operator=(const ClientDC&) = delete;
    ~ClientDC() {
        if (m_dc) {
            ReleaseDC(m_hwnd, m_dc);
        }
    }
    HDC get() const { return m_dc; }

private:
    HWND m_hwnd;
    HDC m_dc;
};

} // namespace fw
