#pragma once
#include "tests/unit/CallLog.h"
#include "tests/unit/FakeCaptureFilter.h"
#include "tests/unit/FakeComObject.h"
#include "tests/unit/FakePropertyBag.h"

#include "base/ComPtr.h"

#include <string>

// One audio-input device: binds to its property bag and to its capture filter, either of
// which can be scripted to fail.
class FakeMoniker : public FakeComObject<IMoniker> {
public:
    FakeMoniker(CallLog& log, const std::string& name);

    FakeCaptureFilter& filter() const { return *m_filter.get(); }
    FakePropertyBag& bag() const { return *m_bag.get(); }
    const std::string& name() const { return m_name; }
    HRESULT storageResult = S_OK;
    HRESULT objectResult = S_OK;

    STDMETHODIMP BindToObject(IBindCtx*, IMoniker*, REFIID iid, void** object) noexcept override;
    STDMETHODIMP BindToStorage(IBindCtx*, IMoniker*, REFIID iid, void** object) noexcept override;

    STDMETHODIMP GetClassID(CLSID*) noexcept override { return E_NOTIMPL; }
    STDMETHODIMP IsDirty() noexcept override { return E_NOTIMPL; }
    STDMETHODIMP Load(IStream*) noexcept override { return E_NOTIMPL; }
    STDMETHODIMP Save(IStream*, WINBOOL) noexcept override { return E_NOTIMPL; }
    STDMETHODIMP GetSizeMax(ULARGE_INTEGER*) noexcept override { return E_NOTIMPL; }
    STDMETHODIMP Reduce(IBindCtx*, DWORD, IMoniker**, IMoniker**) noexcept override {
        return E_NOTIMPL;
    }
    STDMETHODIMP ComposeWith(IMoniker*, WINBOOL, IMoniker**) noexcept override { return E_NOTIMPL; }
    STDMETHODIMP Enum(WINBOOL, IEnumMoniker**) noexcept override { return E_NOTIMPL; }
    STDMETHODIMP IsEqual(IMoniker*) noexcept override { return E_NOTIMPL; }
    STDMETHODIMP Hash(DWORD*) noexcept override { return E_NOTIMPL; }
    STDMETHODIMP IsRunning(IBindCtx*, IMoniker*, IMoniker*) noexcept override { return E_NOTIMPL; }
    STDMETHODIMP GetTimeOfLastChange(IBindCtx*, IMoniker*, FILETIME*) noexcept override {
        return E_NOTIMPL;
    }
    STDMETHODIMP Inverse(IMoniker**) noexcept override { return E_NOTIMPL; }
    STDMETHODIMP CommonPrefixWith(IMoniker*, IMoniker**) noexcept override { return E_NOTIMPL; }
    STDMETHODIMP RelativePathTo(IMoniker*, IMoniker**) noexcept override { return E_NOTIMPL; }
    STDMETHODIMP GetDisplayName(IBindCtx*, IMoniker*, LPOLESTR*) noexcept override {
        return E_NOTIMPL;
    }
    STDMETHODIMP ParseDisplayName(IBindCtx*, IMoniker*, LPOLESTR, ULONG*,
                                  IMoniker**) noexcept override {
        return E_NOTIMPL;
    }
    STDMETHODIMP IsSystemMoniker(DWORD*) noexcept override { return E_NOTIMPL; }

private:
    CallLog& m_log;
    std::string m_name;
    base::ComPtr<FakePropertyBag> m_bag;
    base::ComPtr<FakeCaptureFilter> m_filter;
};
