// IEnumPins over a filter's pins; holds a reference to the filter.
#pragma once
#include "base/ComPtr.h"
#include "filters/kit/ComObject.h"
#include "filters/kit/Filter.h"

namespace kit {

class EnumPins : public IEnumPins, public ComObject {
public:
    EnumPins(FilterBase& filter, ULONG position) noexcept;
    ~EnumPins() override;
    KIT_IUNKNOWN
    STDMETHODIMP Next(ULONG cPins, IPin** ppPins, ULONG* pcFetched) noexcept override;
    STDMETHODIMP Skip(ULONG cPins) noexcept override;
    STDMETHODIMP Reset() noexcept override;
    STDMETHODIMP Clone(IEnumPins** ppEnum) noexcept override;

protected:
    void* FindInterface(REFIID riid) noexcept override;

private:
    FilterBase& m_filter;
    base::ComPtr<IBaseFilter> m_filterRef; // keeps m_filter alive
    ULONG m_position;
};

} // namespace kit
