#include "filters/wine/audiocapture/SoundEndpoints.h"

#include <mmdeviceapi.h>
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
    fw::ComPtr<IPropertyStore> store;
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

std::wstring IdOf(IMMDevice* device) {
    LPWSTR id = nullptr;
    if (!device || FAILED(device->GetId(&id))) {
        return {};
    }
    std::wstring text = id;
    CoTaskMemFree(id);
    return text;
}

std::vector<AudioEndpoint> ReadEndpoints(IMMDeviceEnumerator* enumerator, EDataFlow flow) {
    std::vector<AudioEndpoint> endpoints;
    fw::ComPtr<IMMDeviceCollection> devices;
    UINT count = 0;
    if (FAILED(enumerator->EnumAudioEndpoints(flow, DEVICE_STATE_ACTIVE, devices.put())) ||
        FAILED(devices->GetCount(&count))) {
        return endpoints;
    }
    for (UINT i = 0; i < count; ++i) {
        fw::ComPtr<IMMDevice> device;
        if (SUCCEEDED(devices->Item(i, device.put()))) {
            AudioEndpoint endpoint;
            endpoint.id = IdOf(device.get());
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
    fw::ComApartment com;
    com.Enter(COINIT_MULTITHREADED);
    fw::ComPtr<IMMDeviceEnumerator> enumerator;
    if (FAILED(CoCreateInstance(__uuidof(MMDeviceEnumerator), nullptr, CLSCTX_INPROC_SERVER,
                                __uuidof(IMMDeviceEnumerator), enumerator.put_void()))) {
        return {};
    }
    fw::ComPtr<IMMDevice> output;
    enumerator->GetDefaultAudioEndpoint(eRender, eConsole, output.put());
    return EndpointCatalog(ReadEndpoints(enumerator.get(), eRender),
                           ReadEndpoints(enumerator.get(), eCapture), IdOf(output.get()));
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

std::optional<UINT> SoundEndpoints::WaveInOfEndpoint(const std::wstring& endpointId) {
    for (UINT id = 0; id < waveInGetNumDevs(); ++id) {
        if (EndpointOfWaveIn(id) == endpointId) {
            return id;
        }
    }
    return std::nullopt;
}

UINT SoundEndpoints::DefaultOutputMonitor() noexcept {
    try {
        EndpointCatalog catalog = Read();
        if (const AudioEndpoint* monitor = catalog.DefaultOutputMonitor()) {
            if (auto id = WaveInOfEndpoint(monitor->id)) {
                return *id;
            }
        }
    } catch (...) {
    }
    return waveInGetNumDevs();
}

} // namespace audiocapture
