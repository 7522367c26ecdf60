#pragma once
#include <objbase.h>

namespace base {

// Joins the calling thread to a COM apartment (single-threaded unless told otherwise).
// CoUninitialize must balance only a successful CoInitializeEx, so the guard remembers whether
// it succeeded.
class ComApartment {
public:
    ComApartment() = default;
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;
    ~ComApartment() { Leave(); }

    HRESULT Enter(DWORD model = COINIT_APARTMENTTHREADED) noexcept {
        Leave();
        HRESULT hr = CoInitializeEx(nullptr, model);
        m_entered = SUCCEEDED(hr);
        return hr;
    }
    void Leave() noexcept {
        if (m_entered) {
            CoUninitialize();
            m_entered = false;
        }
    }

private:
    bool m_entered = false;
};

} // namespace base
