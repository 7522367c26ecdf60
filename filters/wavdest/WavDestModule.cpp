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
    HRESULT hr = kit::RegisterThisServer(wavdest::CLSID_WavDest, L"WAV Dest");
    if (SUCCEEDED(hr))
        hr = kit::RegisterWithMapper(wavdest::CLSID_WavDest, L"WAV Dest", MERIT_DO_NOT_USE, kPins,
                                     2);
    return hr;
}

STDAPI DllUnregisterServer() {
    kit::UnregisterFromMapper(wavdest::CLSID_WavDest);
    return kit::UnregisterThisServer(wavdest::CLSID_WavDest);
}
