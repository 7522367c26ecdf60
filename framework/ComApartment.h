#pragma once
#include <objbase.h>

namespace fw {

// Joins the calling thread to a single-threaded COM apartment. CoUninitialize must balance
// only a successful CoInitializeEx, so the guard remembers whether it succeeded.
class ComApartment {
public:
    ComApartment() = default;
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;
    ~ComApartment() { Leave(); }

    HRESULT Enter() {
        Leave();
        HRESULT hr = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        m_entered = SUCCEEDED(hr);
        return hr;
    }
    void Leave() {
        if (m_entered) {
            CoUninitialize();
            m_entered = false;
        }
    }
    bool entered() const { return m_entered; }

private:
    bool m_entered = false;
};

} // namespace fw
