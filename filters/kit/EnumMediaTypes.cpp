#include "filters/kit/EnumMediaTypes.h"

#include <new>

#include "filters/kit/EnumSteps.h"
#include "filters/kit/Filter.h"

namespace kit {

EnumMediaTypes::EnumMediaTypes(PinBase& pin, ULONG position) noexcept
    : m_pin(pin), m_pinRef(base::ComPtr<IPin>::CopyFrom(&pin)), m_position(position) {}

EnumMediaTypes::~EnumMediaTypes() = default;

void* EnumMediaTypes::FindInterface(REFIID riid) noexcept {
    return FindInEntries(riid, {{&IID_IUnknown, static_cast<IEnumMediaTypes*>(this)},
                                {&IID_IEnumMediaTypes, static_cast<IEnumMediaTypes*>(this)}});
}

STDMETHODIMP EnumMediaTypes::Next(ULONG cMediaTypes, AM_MEDIA_TYPE** ppMediaTypes,
                                  ULONG* pcFetched) noexcept {
    return EnumNext(cMediaTypes, ppMediaTypes, pcFetched, m_position,
                    [&](ULONG at, AM_MEDIA_TYPE*& copy) {
                        MediaType mt;
                        if (m_pin.GetMediaType(static_cast<int>(at), mt.get()) != S_OK) {
                            return false;
                        }
                        copy = CreateMediaType(mt.get());
                        return copy != nullptr;
                    });
}

STDMETHODIMP EnumMediaTypes::Skip(ULONG cMediaTypes) noexcept {
    return EnumSkip(cMediaTypes, m_position, [&](ULONG at) {
        MediaType mt;
        return m_pin.GetMediaType(static_cast<int>(at), mt.get()) == S_OK;
    });
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
