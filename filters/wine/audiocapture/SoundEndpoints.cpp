#include "filters/wine/audiocapture/SoundEndpoints.h"

#include <mmsystem.h>
// After mmsystem.h, whose types it uses.
#include <mmddk.h>

#include "base/ComApartment.h"
#include "base/ComPtr.h"

namespace audiocapture {

namespace {

// PKEY_Device_FriendlyName and PKEY_AudioEndpoint_FormFactor, spelled out: the headers define
// them only where initguid.h comes first.
constexpr PROPERTYKEY kFriendlyName = {
    {0xa45c254e, 0xdf1c, 0x4efd, {0x80, 0x20, 0x67, 0xd1, 0x46, 0xa8, 0x50, 0xe0}}, 14};
constexpr PROPERTYKEY kFormFactor = {
    {0x1da5d803, 0xd492, 0x4edd, {0x8c, 0x23, 0xe0, 0xc0, 0xff, 0xee, 0x7f, 0x0e}}, 0};

void ReadProperties(IMMDevice* device, AudioEndpoint& endpoint) {
    base::ComPtr<IPropertyStore> store;
    if (FAILED(device->OpenPropertyStore(STGM_READ, store.put()))) {
        return;
    }
    PROPVARIANT value;
    PropVariantInit(&value);
    if (SUCCEEDED(store->GetValue(kFriendlyName, &value)) && value.vt == VT_LPWSTR) {
        endpoint.name = value.pwszVal;
    }
    PropVariantClear(&value);
    if (SUCCEEDED(store->GetValue(kFormFactor, &value)) && value.vt == VT_UI4) {
        endpoint.formFactor = value.ulVal;
    }
    PropVariantClear(&value);
}

std::vector<AudioEndpoint> ReadEndpoints(IMMDeviceEnumerator* enumerator, EDataFlow flow) {
    std::vector<AudioEndpoint> endpoints;
    base::ComPtr<IMMDeviceCollection> devices;
    UINT count = 0;
    if (FAILED(enumerator->EnumAudioEndpoints(flow, DEVICE_STATE_ACTIVE, devices.put())) ||
        FAILED(devices->GetCount(&count))) {
        return endpoints;
    }
    for (UINT i = 0; i < count; ++i) {
        base::ComPtr<IMMDevice> device;
        if (SUCCEEDED(devices->Item(i, device.put()))) {
            AudioEndpoint endpoint;
            endpoint.id = SoundEndpoints::IdOf(device.get());
            ReadProperties(device.get(), endpoint);
            endpoints.push_back(std::move(endpoint));
        }
    }
    return endpoints;
}

} // namespace

// A thread without COM (the graph may pause its filters from one) joins the multithreaded
// apartment for the call.
EndpointCatalog SoundEndpoints::Read() {
    base::ComApartment com;
    com.Enter(COINIT_MULTITHREADED);
    base::ComPtr<IMMDeviceEnumerator> enumerator;
    if (FAILED(CoCreateInstance(__uuidof(MMDeviceEnumerator), nullptr, CLSCTX_INPROC_SERVER,
                                __uuidof(IMMDeviceEnumerator), enumerator.put_void()))) {
        return {};
    }
    base::ComPtr<IMMDevice> output;
    enumerator->GetDefaultAudioEndpoint(eRender, eConsole, output.put());
    return EndpointCatalog(ReadEndpoints(enumerator.get(), eRender),
                           ReadEndpoints(enumerator.get(), eCapture), IdOf(output.get()));
}

std::wstring SoundEndpoints::IdOf(IMMDevice* device) {
    LPWSTR id = nullptr;
    if (!device || FAILED(device->GetId(&id))) {
        return {};
    }
    std::wstring text = id;
    CoTaskMemFree(id);
    return text;
}

std::wstring SoundEndpoints::EndpointOfWaveIn(UINT waveInId) {
    auto device = reinterpret_cast<HWAVEIN>(static_cast<UINT_PTR>(waveInId));
    ULONG size = 0;
    if (waveInMessage(device, DRV_QUERYFUNCTIONINSTANCEIDSIZE, reinterpret_cast<DWORD_PTR>(&size),
                      0) != MMSYSERR_NOERROR ||
        size < sizeof(WCHAR)) {
        return {};
    }
    std::wstring id(size / sizeof(WCHAR), L'\0');
    if (waveInMessage(device, DRV_QUERYFUNCTIONINSTANCEID, reinterpret_cast<DWORD_PTR>(id.data()),
                      size) != MMSYSERR_NOERROR) {
        return {};
    }
    id.resize(wcsnlen(id.c_str(), id.size()));
    return id;
}

// Wine 8 and 10 keep it as "0,<sink>" (0 for output) with a binary value "guid".
std::wstring SoundEndpoints::GuidOfSink(const std::wstring& sink) {
    const std::wstring key = L"Software\\Wine\\Drivers\\winepulse.drv\\devices\\0," + sink;
    GUID guid{};
    DWORD size = sizeof(guid);
    if (RegGetValueW(HKEY_CURRENT_USER, key.c_str(), L"guid", RRF_RT_REG_BINARY, nullptr, &guid,
                     &size) != ERROR_SUCCESS ||
        size != sizeof(guid)) {
        return {};
    }
    WCHAR text[40];
    return StringFromGUID2(guid, text, 40) ? text : std::wstring();
}

} // namespace audiocapture
