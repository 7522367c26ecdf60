#pragma once
#include "base/GdiObject.h"
#include "framework/MemoryDC.h"
#include "framework/SelectGuard.h"

#include <windows.h>
#include <optional>

namespace fw {

// An off-screen context over a rectangle of a target context, drawn in the target's
// coordinates and copied to it when destroyed. A printing context is drawn into directly.
class OffScreenDC {
public:
    OffScreenDC(HDC target, const RECT& rect);
    OffScreenDC(const OffScreenDC&) = delete;
    OffScreenDC& operator=(const OffScreenDC&) = delete;
    ~OffScreenDC();

    HDC get() const { return m_select ? m_memory->get() : m_target; }

private:
    HDC m_target;
    RECT m_rect;
    // Destroyed in reverse: the bitmap is deselected, then deleted, then the context.
    std::optional<MemoryDC> m_memory;
    base::Bitmap m_bitmap;
    std::optional<SelectGuard> m_select;
};

} // namespace fw
