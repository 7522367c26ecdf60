#include "base/FindPin.h"

#include "base/ComPtr.h"

HRESULT FindPin(IBaseFilter* filter, PIN_DIRECTION direction, int n, IPin** pin) {
    *pin = nullptr;
    if (!filter) {
        return E_POINTER;
    }
    base::ComPtr<IEnumPins> pins;
    HRESULT hr = filter->EnumPins(pins.put());
    if (FAILED(hr)) {
        return hr;
    }
    hr = E_FAIL;
    base::ComPtr<IPin> candidate;
    while (pins->Next(1, candidate.put(), nullptr) == S_OK) {
        // A value that matches no direction, so a failed query counts as no match.
        auto found = static_cast<PIN_DIRECTION>(3);
        candidate->QueryDirection(&found);
        if (found == direction) {
            if (n == 0) {
                *pin = candidate.detach();
                hr = S_OK;
                break;
            }
            --n;
        }
    }
    return hr;
}
