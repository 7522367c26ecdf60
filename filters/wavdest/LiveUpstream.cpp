#include "filters/wavdest/LiveUpstream.h"

#include "base/ComPtr.h"

namespace wavdest {

namespace {

// Deep enough for any chain of converters between a source and us; a cycle ends here too.
constexpr int kMaxDepth = 16;

bool IsCapturePin(IPin* output) noexcept {
    base::ComPtr<IKsPropertySet> properties;
    if (FAILED(output->QueryInterface(IID_IKsPropertySet, properties.put_void()))) {
        return false;
    }
    GUID category{};
    DWORD returned = 0;
    return SUCCEEDED(properties->Get(AMPROPSETID_Pin, AMPROPERTY_PIN_CATEGORY, nullptr, 0,
                                     &category, sizeof(category), &returned)) &&
           returned == sizeof(category) && IsEqualGUID(category, PIN_CATEGORY_CAPTURE);
}

bool IsLiveFrom(IPin* output, int depth) noexcept {
    if (!output || depth > kMaxDepth) {
        return false;
    }
    if (IsCapturePin(output)) {
        return true;
    }
    PIN_INFO info{};
    if (FAILED(output->QueryPinInfo(&info)) || !info.pFilter) {
        return false;
    }
    base::ComPtr<IBaseFilter> filter(info.pFilter);
    FILTER_STATE state;
    if (filter->GetState(0, &state) == VFW_S_CANT_CUE) {
        return true;
    }
    base::ComPtr<IEnumPins> pins;
    if (FAILED(filter->EnumPins(pins.put()))) {
        return false;
    }
    base::ComPtr<IPin> pin;
    while (pins->Next(1, pin.put(), nullptr) == S_OK) {
        PIN_DIRECTION direction;
        base::ComPtr<IPin> peer;
        if (SUCCEEDED(pin->QueryDirection(&direction)) && direction == PINDIR_INPUT &&
            SUCCEEDED(pin->ConnectedTo(peer.put())) && IsLiveFrom(peer.get(), depth + 1)) {
            return true;
        }
    }
    return false;
}

} // namespace

bool IsLiveUpstream(IPin* connectedOutput) noexcept {
    return IsLiveFrom(connectedOutput, 0);
}

} // namespace wavdest
