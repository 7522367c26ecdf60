// IEnumMediaTypes over a pin's GetMediaType list; holds a reference to the pin's filter.
#pragma once
#include "base/ComPtr.h"
#include "filters/kit/ComObject.h"
#include "filters/kit/Pin.h"

namespace kit {

class EnumMediaTypes : public IEnumMediaTypes, public ComObject {
public:
    EnumMediaTypes(PinBase& pin, ULONG position) noexcept;
    ~EnumMediaTypes() override;
    KIT_IUNKNOWN
    STDMETHODIMP Next(ULONG cMediaTypes, AM_MEDIA_TYPE** ppMediaTypes,
                      ULONG* pcFetched) noexcept override;
    STDMETHODIMP Skip(ULONG cMediaTypes) noexcept override;
    STDMETHODIMP Reset() noexcept override;
    STDMETHODIMP Clone(IEnumMediaTypes** ppEnum) noexcept override;

protected:
    void* FindInterface(REFIID riid) noexcept override;

private:
    PinBase& m_pin;
    base::ComPtr<IPin> m_pinRef; // keeps m_pin's filter alive
    ULONG m_position;
};

} // namespace kit
