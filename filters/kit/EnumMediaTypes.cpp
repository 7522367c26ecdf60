#include "filters/kit/EnumMediaTypes.h"

#include <new>

#include "filters/kit/Filter.h"

namespace kit {

EnumMediaTypes::EnumMediaTypes(PinBase& pin, ULONG position) noexcept
    : m_pin(pin), m_pinRef(fw::ComPtr<IPin>::CopyFrom(&pin)), m_position(position) {}

EnumMediaTypes::~EnumMediaTypes() = default;

void* EnumMediaTypes::FindInterface(REFIID riid) noexcept {
    return FindInEntries(riid, {{&IID_IUnknown, static_cast<IEnumMediaTypes*>(this)},
                                {&IID_IEnumMediaTypes, static_cast<IEnumMediaTypes*>(this)}});
}

STDMETHODIMP EnumMediaTypes::Next(ULONG cMediaTypes, AM_MEDIA_TYPE** ppMediaTypes,
                                  ULONG* pcFetched) noexcept {
    if (!ppMediaTypes) {
        return E_POINTER;
    }
    if (cMediaTypes > 1 && !pcFetched) {
        return E_INVALIDARG;
    }
    ULONG fetched = 0;
    while (fetched < cMediaTypes) {
        MediaType mt;
        if (m_pin.GetMediaType(static_cast<int>(m_position), mt.get()) != S_OK) {
            break;
        }
        AM_MEDIA_TYPE* copy = CreateMediaType(mt.get());
        if (!copy) {
            break;
        }
        ppMediaTypes[fetched++] = copy;
        ++m_position;
    }
    if (pcFetched) {
        *pcFetched = fetched;
    }
    return fetched == cMediaTypes ? S_OK : S_FALSE;
}

STDMETHODIMP EnumMediaTypes::Skip(ULONG cMediaTypes) noexcept {
    while (cMediaTypes--) {
        MediaType mt;
        if (m_pin.GetMediaType(static_cast<int>(m_position), mt.get()) != S_OK) {
            return S_FALSE;
        }
        ++m_position;
    }
    return S_OK;
}

STDMETHODIMP EnumMediaTypes::Reset() noexcept {
    m_position = 0;
    return S_OK;
}

STDMETHODIMP EnumMediaTypes::Clone(IEnumMediaTypes** ppEnum) noexcept {
    if (!ppEnum) {
        return E_POINTER;
    }
    *ppEnum = new (std::nothrow) EnumMediaTypes(m_pin, m_position);
    return *ppEnum ? S_OK : E_OUTOFMEMORY;
}

} // namespace kit
