// The DLL's COM exports: class object and self-registration of "WAV Dest".
#include <windows.h>

#include "../kit/ClassFactory.h"
#include "../kit/Registration.h"
#include "WavDestFilter.h"

namespace {

const kit::ClassEntry kClasses[] = {
    {&wavdest::CLSID_WavDest, &kit::CreateAndQuery<wavdest::WavDestFilter>},
};

const kit::MapperPin kPins[] = {
    {L"In", false, &MEDIATYPE_Audio, &MEDIASUBTYPE_PCM},
    {L"Out", true, &MEDIATYPE_Stream, &MEDIASUBTYPE_WAVE},
};

} // namespace

STDAPI DllGetClassObject(REFCLSID rclsid, REFIID riid, void** ppv) {
    return kit::GetClassObjectFrom(kClasses, 1, rclsid, riid, ppv);
}

STDAPI DllCanUnloadNow() {
    return kit::CanUnloadNow();
}

STDAPI DllRegisterServer() {
    WCHAR path[MAX_PATH];
    HRESULT hr = kit::ModulePath(reinterpret_cast<const void*>(&DllRegisterServer), path, MAX_PATH);
    if (SUCCEEDED(hr))
        hr = kit::RegisterInprocServer(wavdest::CLSID_WavDest, L"WAV Dest", path);
    if (SUCCEEDED(hr))
        hr = kit::RegisterWithMapper(wavdest::CLSID_WavDest, L"WAV Dest", MERIT_DO_NOT_USE, kPins,
                                     2);
    return hr;
}

STDAPI DllUnregisterServer() {
    WCHAR path[MAX_PATH];
    HRESULT hr = kit::ModulePath(reinterpret_cast<const void*>(&DllRegisterServer), path, MAX_PATH);
    kit::UnregisterFromMapper(wavdest::CLSID_WavDest);
    if (SUCCEEDED(hr))
        hr = kit::UnregisterInprocServer(wavdest::CLSID_WavDest, path);
    return hr;
}
