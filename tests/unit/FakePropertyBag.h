#pragma once
#include "tests/unit/FakeComObject.h"

#include <oaidl.h>
#include <string>

// A device's property bag: FriendlyName only, or a scripted read failure.
class FakePropertyBag : public FakeComObject<IPropertyBag> {
public:
    explicit FakePropertyBag(std::wstring friendlyName) : m_name(std::move(friendlyName)) {
        Expose(IID_IPropertyBag, static_cast<IPropertyBag*>(this));
    }

    HRESULT readResult = S_OK;

    STDMETHODIMP Read(LPCOLESTR property, VARIANT* value, IErrorLog*) noexcept override {
        if (FAILED(readResult)) {
            return readResult;
        }
        if (std::wstring(property) != L"FriendlyName") {
            return E_INVALIDARG;
        }
        V_VT(value) = VT_BSTR;
        V_BSTR(value) = SysAllocString(m_name.c_str());
        return S_OK;
    }
    STDMETHODIMP Write(LPCOLESTR, VARIANT*) noexcept override { return E_NOTIMPL; }

private:
    std::wstring m_name;
};
