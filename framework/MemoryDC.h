#pragma once
#include <windows.h>

namespace fw {

// A memory device context compatible with another one (the screen's when null).
class MemoryDC {
public:
    explicit MemoryDC(HDC compatibleWith = nullptr) : m_dc(CreateCompatibleDC(compatibleWith)) {}
    MemoryDC(const MemoryDC&) = delete;
    MemoryDC& operator=(const MemoryDC&) = delete;
    ~MemoryDC() {
        if (m_dc) {
            DeleteDC(m_dc);
        }
    }
    HDC get() const { return m_dc; }

private:
    HDC m_dc;
};

} // namespace fw
