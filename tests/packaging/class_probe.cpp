// Prints what an installed "WAV Dest" looks like to COM and DirectShow:
//   created WAV Dest | not created 0x<hr>
//   listed <friendly name> | not listed
// and exits 0 only when both hold.
#include <windows.h>

#include <dshow.h>

#include <cstdio>

#include "base/ComApartment.h"
#include "base/ComPtr.h"
#include "filters/wavdest/WavDestClassId.h"

namespace {

class Variant {
public:
    Variant() noexcept { VariantInit(&m_v); }
    ~Variant() { VariantClear(&m_v); }
    Variant(const Variant&) = delete;
    Variant& operator=(const Variant&) = delete;
    VARIANT* get() noexcept { return &m_v; }
    const VARIANT& value() const noexcept { return m_v; }

private:
    VARIANT m_v;
};

bool Created() {
    base::ComPtr<IBaseFilter> filter;
    HRESULT hr = CoCreateInstance(CLSID_WavDest, nullptr, CLSCTX_INPROC_SERVER, IID_IBaseFilter,
                                  filter.put_void());
    if (FAILED(hr)) {
        std::printf("not created 0x%08lx\n", static_cast<unsigned long>(hr));
        return false;
    }
    std::printf("created WAV Dest\n");
    return true;
}

// The friendly name of the category entry whose CLSID is "WAV Dest"'s, or false.
bool Listed() {
    base::ComPtr<ICreateDevEnum> devices;
    base::ComPtr<IEnumMoniker> monikers;
    if (FAILED(CoCreateInstance(CLSID_SystemDeviceEnum, nullptr, CLSCTX_INPROC_SERVER,
                                IID_ICreateDevEnum, devices.put_void())) ||
        devices->CreateClassEnumerator(CLSID_LegacyAmFilterCategory, monikers.put(), 0) != S_OK) {
        std::printf("not listed\n");
        return false;
    }
    base::ComPtr<IMoniker> moniker;
    while (monikers->Next(1, moniker.put(), nullptr) == S_OK) {
        base::ComPtr<IPropertyBag> bag;
        if (FAILED(moniker->BindToStorage(nullptr, nullptr, IID_IPropertyBag, bag.put_void()))) {
            continue;
        }
        Variant clsid, name;
        if (FAILED(bag->Read(L"CLSID", clsid.get(), nullptr)) || clsid.value().vt != VT_BSTR) {
            continue;
        }
        CLSID id{};
        if (FAILED(CLSIDFromString(clsid.value().bstrVal, &id)) || id != CLSID_WavDest) {
            continue;
        }
        if (SUCCEEDED(bag->Read(L"FriendlyName", name.get(), nullptr)) &&
            name.value().vt == VT_BSTR) {
            std::printf("listed %ls\n", name.value().bstrVal);
            return true;
        }
    }
    std::printf("not listed\n");
    return false;
}

} // namespace

int main() {
    base::ComApartment com;
    if (FAILED(com.Enter())) {
        return 2;
    }
    bool created = Created();
    bool listed = Listed();
    return created && listed ? 0 : 1;
}
