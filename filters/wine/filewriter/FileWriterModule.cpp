// The DLL's COM exports: class object and self-registration of our File Writer under
// CLSID_FileWriter (only in the recorder's Wine prefix).
#include <windows.h>

#include "../../kit/ClassFactory.h"
#include "../../kit/Registration.h"
#include "FileWriterFilter.h"

namespace {

const kit::ClassEntry kClasses[] = {
    {&CLSID_FileWriter, &kit::CreateAndQuery<filewriter::FileWriterFilter>},
};

} // namespace

STDAPI DllGetClassObject(REFCLSID rclsid, REFIID riid, void** ppv) {
    return kit::GetClassObjectFrom(kClasses, 1, rclsid, riid, ppv);
}

STDAPI DllCanUnloadNow() {
    return kit::CanUnloadNow();
}

STDAPI DllRegisterServer() {
    return kit::RegisterThisServer(CLSID_FileWriter, L"File writer");
}

STDAPI DllUnregisterServer() {
    return kit::UnregisterThisServer(CLSID_FileWriter);
}
