#include "filters/kit/EnumPins.h"

#include <new>

#include "filters/kit/Pin.h"

namespace kit {

EnumPins::EnumPins(FilterBase& filter, ULONG position) noexcept
    : m_filter(filter), m_filterRef(fw::ComPtr<IBaseFilter>::CopyFrom(&filter)),
      m_position(position) {}

EnumPins::~EnumPins() = default;

void* EnumPins::FindInterface(REFIID riid) noexcept {
    return FindInEntries(riid, {{&IID_IUnknown, static_cast<IEnumPins*>(this)},
                                {&IID_IEnumPins, static_cast<IEnumPins*>(this)}});
}

STDMETHODIMP EnumPins::Next(ULONG cPins, IPin** ppPins, ULONG* pcFetched) noexcept {
    if (!ppPins) {
        return E_POINTER;
    }
    if (cPins > 1 && !pcFetched) {
        return E_INVALIDARG;
    }
    ULONG fetched = 0;
    while (fetched < cPins && m_position < static_cast<ULONG>(m_filter.PinCount())) {
        IPin* pin = m_filter.GetPin(static_cast<int>(m_position++));
        pin->AddRef();
        ppPins[fetched++] = pin;
    }
    if (pcFetched) {
        *pcFetched = fetched;
    }
    return fetched == cPins ? S_OK : S_FALSE;
}

STDMETHODIMP EnumPins::Skip(ULONG cPins) noexcept {
    ULONG count = static_cast<ULONG>(m_filter.PinCount());
    if (m_position + cPins > count) {
        m_position = count;
        return S_FALSE;
    }
    m_position += cPins;
    return S_OK;
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
