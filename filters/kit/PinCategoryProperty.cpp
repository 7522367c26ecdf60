#include "filters/kit/PinCategoryProperty.h"

#include <ks.h>
#include <vfwmsgs.h>

namespace kit {

HRESULT PinCategoryProperty::Known(REFGUID set, DWORD id) noexcept {
    if (!IsEqualGUID(set, AMPROPSETID_Pin)) {
        return E_PROP_SET_UNSUPPORTED;
    }
    return id == AMPROPERTY_PIN_CATEGORY ? S_OK : E_PROP_ID_UNSUPPORTED;
}

STDMETHODIMP PinCategoryProperty::Set(REFGUID set, DWORD id, void*, DWORD, void*, DWORD) noexcept {
    HRESULT hr = Known(set, id);
    return FAILED(hr) ? hr : E_PROP_ID_UNSUPPORTED;
}

STDMETHODIMP PinCategoryProperty::Get(REFGUID set, DWORD id, void*, DWORD, void* data, DWORD bytes,
                                      DWORD* returned) noexcept {
    HRESULT hr = Known(set, id);
    if (FAILED(hr)) {
        return hr;
    }
    if (!data && returned) {
        *returned = sizeof(GUID);
        return S_OK;
    }
    if (!data) {
        return E_POINTER;
    }
    if (bytes < sizeof(GUID)) {
        return E_UNEXPECTED;
    }
    *static_cast<GUID*>(data) = m_category;
    if (returned) {
        *returned = sizeof(GUID);
    }
    return S_OK;
}

STDMETHODIMP PinCategoryProperty::QuerySupported(REFGUID set, DWORD id, DWORD* support) noexcept {
    HRESULT hr = Known(set, id);
    if (SUCCEEDED(hr) && support) {
        *support = KSPROPERTY_SUPPORT_GET;
    }
    return hr;
}

} // namespace kit
