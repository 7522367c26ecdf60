#pragma once
#include "tests/unit/FakeComObject.h"
#include "tests/unit/FakeEnum.h"

#include <dshow.h>
#include <vector>

// The system device enumerator over the devices present when it was made. Like the real one
// it answers S_FALSE and no enumerator when the category is empty.
class FakeDeviceEnum : public FakeComObject<ICreateDevEnum> {
public:
    explicit FakeDeviceEnum(std::vector<IMoniker*> devices) : m_devices(std::move(devices)) {
        Expose(IID_ICreateDevEnum, static_cast<ICreateDevEnum*>(this));
    }

    STDMETHODIMP CreateClassEnumerator(REFCLSID category, IEnumMoniker** monikers,
                                       DWORD) noexcept override {
        *monikers = nullptr;
        if (!IsEqualCLSID(category, CLSID_AudioInputDeviceCategory) || m_devices.empty()) {
            return S_FALSE;
        }
        *monikers = new FakeEnumMoniker(m_devices);
        return S_OK;
    }

private:
    std::vector<IMoniker*> m_devices;
};
