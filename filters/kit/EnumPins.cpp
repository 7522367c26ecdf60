#include "filters/kit/EnumPins.h"

#include <new>

#include "filters/kit/EnumSteps.h"
#include "filters/kit/Pin.h"

namespace kit {

EnumPins::EnumPins(FilterBase& filter, ULONG position) noexcept
    : m_filter(filter), m_filterRef(base::ComPtr<IBaseFilter>::CopyFrom(&filter)),
      m_position(position) {}

EnumPins::~EnumPins() = default;

void* EnumPins::FindInterface(REFIID riid) noexcept {
    return FindInEntries(riid, {{&IID_IUnknown, static_cast<IEnumPins*>(this)},
                                {&IID_IEnumPins, static_cast<IEnumPins*>(this)}});
}

STDMETHODIMP EnumPins::Next(ULONG cPins, IPin** ppPins, ULONG* pcFetched) noexcept {
    return EnumNext(cPins, ppPins, pcFetched, m_position, [&](ULONG at, IPin*& pin) {
        if (at >= static_cast<ULONG>(m_filter.PinCount())) {
            return false;
        }
        pin = m_filter.GetPin(static_cast<int>(at));
        pin->AddRef();
        return true;
    });
}

STDMETHODIMP EnumPins::Skip(ULONG cPins) noexcept {
    return EnumSkip(cPins, m_position,
                    [&](ULONG at) { return at < static_cast<ULONG>(m_filter.PinCount()); });
}

STDMETHODIMP EnumPins::Reset() noexcept {
    m_position = 0;
    return S_OK;
}

STDMETHODIMP EnumPins::Clone(IEnumPins** ppEnum) noexcept {
    if (!ppEnum) {
        return E_POINTER;
    }
    *ppEnum = new (std::nothrow) EnumPins(m_filter, m_position);
    return *ppEnum ? S_OK : E_OUTOFMEMORY;
}

} // namespace kit
