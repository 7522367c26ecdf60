// The DLL's COM exports: class object and self-registration of our capture source under
// CLSID_AudioRecord (only in the recorder's Wine prefix), the class Wine's device
// enumerator binds audio-input monikers to.
#include <windows.h>

#include "../../kit/ClassFactory.h"
#include "../../kit/Registration.h"
#include "AudioCaptureFilter.h"

namespace {

const kit::ClassEntry kClasses[] = {
    {&CLSID_AudioRecord, &kit::CreateAndQuery<audiocapture::AudioCaptureFilter>},
};

} // namespace

STDAPI DllGetClassObject(REFCLSID rclsid, REFIID riid, void** ppv) {
    return kit::GetClassObjectFrom(kClasses, 1, rclsid, riid, ppv);
}

STDAPI DllCanUnloadNow() {
    return kit::CanUnloadNow();
}

STDAPI DllRegisterServer() {
    return kit::RegisterThisServer(CLSID_AudioRecord, L"Audio Capture Filter");
}

STDAPI DllUnregisterServer() {
    return kit::UnregisterThisServer(CLSID_AudioRecord);
}
