// The COM exports of every filter DLL, made from the DLL's class table.
#include <windows.h>

#include "filters/kit/ClassTable.h"

STDAPI DllGetClassObject(REFCLSID rclsid, REFIID riid, void** ppv) {
    return kit::GetClassObjectFrom(kit::ModuleClasses(), rclsid, riid, ppv);
}

STDAPI DllCanUnloadNow() {
    return kit::CanUnloadNow();
}

STDAPI DllRegisterServer() {
    for (const kit::ClassEntry& entry : kit::ModuleClasses()) {
        HRESULT hr = kit::RegisterThisServer(*entry.clsid, entry.name);
        if (SUCCEEDED(hr) && !entry.mapperPins.empty()) {
            hr = kit::RegisterWithMapper(*entry.clsid, entry.name, entry.merit, entry.mapperPins);
        }
        if (FAILED(hr)) {
            return hr;
        }
    }
    return S_OK;
}

STDAPI DllUnregisterServer() {
    HRESULT result = S_OK;
    for (const kit::ClassEntry& entry : kit::ModuleClasses()) {
        if (!entry.mapperPins.empty()) {
            kit::UnregisterFromMapper(*entry.clsid);
        }
        HRESULT hr = kit::UnregisterThisServer(*entry.clsid);
        if (SUCCEEDED(result)) {
            result = hr;
        }
    }
    return result;
}
