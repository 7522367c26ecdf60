#pragma once
#include <windows.h>
#include <utility>

namespace fw {

// Owns one GDI object (pen, brush, font, bitmap, region) and deletes it. A borrowed object is
// a plain handle; only owners free.
template <typename H> class GdiObject {
public:
    GdiObject() = default;
    explicit GdiObject(H adopted) : m_h(adopted) {}
    GdiObject(const GdiObject&) = delete;
    GdiObject& operator=(const GdiObject&) = delete;
    GdiObject(GdiObject&& other) noexcept : m_h(other.release()) {}
    GdiObject& operator=(GdiObject&& other) noexcept {
        if (this != &other) {
            reset(other.release());
        }
        return *this;
    }
    ~GdiObject() { reset(); }

    H get() const { return m_h; }
    explicit operator bool() const { return m_h != nullptr; }
    H release() { return std::exchange(m_h, nullptr); }
    void reset(H adopted = nullptr) {
        H old = std::exchange(m_h, adopted);
        if (old) {
            DeleteObject(old);
        }
    }

private:
    H m_h = nullptr;
};

using Pen = GdiObject<HPEN>;
using Brush = GdiObject<HBRUSH>;
using Font = GdiObject<HFONT>;
using Bitmap = GdiObject<HBITMAP>;
using Region = GdiObject<HRGN>;

} // namespace fw
