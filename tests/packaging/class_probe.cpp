// Prints what an installed "WAV Dest" looks like to COM and DirectShow:
//   created WAV Dest | not created 0x<hr>
//   listed <friendly name> | not listed
// and exits 0 only when both hold.
#include <windows.h>

#include <dshow.h>

#include <cstdio>

#include "kit/ComPtr.h"

namespace {

// {3C78B8E2-6C4D-11D1-ADE2-0000F8754B98}: the class the recorder creates.
const CLSID kWavDest = {
    0x3c78b8e2, 0x6c4d, 0x11d1, {0xad, 0xe2, 0x00, 0x00, 0xf8, 0x75, 0x4b, 0x98}};

class ComApartment {
public:
    ComApartment() noexcept : m_hr(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
    ~ComApartment() {
        // Only a successful initialisation is paired with an uninitialisation.
        if (SUCCEEDED(m_hr))
            CoUninitialize();
    }
    HRESULT Result() const noexcept { return m_hr; }

private:
    HRESULT m_hr;
};

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
    kit::ComPtr<IBaseFilter> filter;
    HRESULT hr = CoCreateInstance(kWavDest, nullptr, CLSCTX_INPROC_SERVER, IID_IBaseFilter,
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
    kit::ComPtr<ICreateDevEnum> devices;
    kit::ComPtr<IEnumMoniker> monikers;
    if (FAILED(CoCreateInstance(CLSID_SystemDeviceEnum, nullptr, CLSCTX_INPROC_SERVER,
                                IID_ICreateDevEnum, devices.put_void())) ||
        devices->CreateClassEnumerator(CLSID_LegacyAmFilterCategory, monikers.put(), 0) != S_OK) {
        std::printf("not listed\n");
        return false;
    }
    kit::ComPtr<IMoniker> moniker;
    while (monikers->Next(1, moniker.put(), nullptr) == S_OK) {
        kit::ComPtr<IPropertyBag> bag;
        if (FAILED(moniker->BindToStorage(nullptr, nullptr, IID_IPropertyBag, bag.put_void())))
            continue;
        Variant clsid, name;
        if (FAILED(bag->Read(L"CLSID", clsid.get(), nullptr)) || clsid.value().vt != VT_BSTR)
            continue;
        CLSID id{};
        if (FAILED(CLSIDFromString(clsid.value().bstrVal, &id)) || id != kWavDest)
            continue;
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
    ComApartment com;
    if (FAILED(com.Result()))
        return 2;
    bool created = Created();
    bool listed = Listed();
    return created && listed ? 0 : 1;
}
