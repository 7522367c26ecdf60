// IKsPropertySet of a pin that tells its category (AMPROPSETID_Pin, AMPROPERTY_PIN_CATEGORY),
// as a capture device's pins do: read-only, the only property of the set. A graph builder asks
// it to find a capture pin, a sink to tell a live source.
#pragma once
#include <windows.h>
#include <dshow.h>

namespace kit {

class PinCategoryProperty : public IKsPropertySet {
public:
    explicit PinCategoryProperty(const GUID& category) noexcept : m_category(category) {}

    STDMETHODIMP Set(REFGUID set, DWORD id, void* instance, DWORD instanceBytes, void* data,
                     DWORD bytes) noexcept override;
    STDMETHODIMP Get(REFGUID set, DWORD id, void* instance, DWORD instanceBytes, void* data,
                     DWORD bytes, DWORD* returned) noexcept override;
    STDMETHODIMP QuerySupported(REFGUID set, DWORD id, DWORD* support) noexcept override;

protected:
    ~PinCategoryProperty() = default;

private:
    static HRESULT Known(REFGUID set, DWORD id) noexcept;

    GUID m_category;
};

} // namespace kit
