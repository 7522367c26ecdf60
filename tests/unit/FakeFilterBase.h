#pragma once
#include "tests/unit/FakeComObject.h"

#include <dshow.h>

// A filter that answers IBaseFilter (plus any further interfaces) with every method but those a
// fake overrides unimplemented.
template <typename... More> class FakeFilterBase : public FakeComObject<IBaseFilter, More...> {
public:
    STDMETHODIMP GetClassID(CLSID*) noexcept override { return E_NOTIMPL; }
    STDMETHODIMP Stop() noexcept override { return E_NOTIMPL; }
    STDMETHODIMP Pause() noexcept override { return E_NOTIMPL; }
    STDMETHODIMP Run(REFERENCE_TIME) noexcept override { return E_NOTIMPL; }
    STDMETHODIMP GetState(DWORD, FILTER_STATE*) noexcept override { return E_NOTIMPL; }
    STDMETHODIMP SetSyncSource(IReferenceClock*) noexcept override { return E_NOTIMPL; }
    STDMETHODIMP GetSyncSource(IReferenceClock**) noexcept override { return E_NOTIMPL; }
    STDMETHODIMP EnumPins(IEnumPins**) noexcept override { return E_NOTIMPL; }
    STDMETHODIMP FindPin(LPCWSTR, IPin**) noexcept override { return E_NOTIMPL; }
    STDMETHODIMP QueryFilterInfo(FILTER_INFO*) noexcept override { return E_NOTIMPL; }
    STDMETHODIMP JoinFilterGraph(IFilterGraph*, LPCWSTR) noexcept override { return E_NOTIMPL; }
    STDMETHODIMP QueryVendorInfo(LPWSTR*) noexcept override { return E_NOTIMPL; }

protected:
    FakeFilterBase() {
        this->Expose(IID_IBaseFilter, static_cast<IBaseFilter*>(this));
        this->Expose(IID_IMediaFilter, static_cast<IBaseFilter*>(this));
        this->Expose(IID_IPersist, static_cast<IBaseFilter*>(this));
    }
};
