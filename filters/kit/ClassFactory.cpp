#include "filters/kit/ClassFactory.h"

#include "filters/kit/ClassTable.h"

namespace kit {

void* ClassFactory::FindInterface(REFIID riid) noexcept {
    return FindInEntries(riid, {{&IID_IUnknown, static_cast<IClassFactory*>(this)},
                                {&IID_IClassFactory, static_cast<IClassFactory*>(this)}});
}

STDMETHODIMP ClassFactory::CreateInstance(IUnknown* pUnkOuter, REFIID riid, void** ppv) noexcept {
    if (!ppv) {
        return E_POINTER;
    }
    *ppv = nullptr;
    return m_create(pUnkOuter, riid, ppv);
}

STDMETHODIMP ClassFactory::LockServer(WINBOOL fLock) noexcept {
    if (fLock) {
        ++ModuleObjectCount();
    } else {
        --ModuleObjectCount();
    }
    return S_OK;
}

HRESULT GetClassObjectFrom(std::span<const ClassEntry> entries, REFCLSID rclsid, REFIID riid,
                           void** ppv) noexcept {
    if (!ppv) {
        return E_POINTER;
    }
    *ppv = nullptr;
    for (const ClassEntry& entry : entries) {
        if (!IsEqualCLSID(rclsid, *entry.clsid)) {
            continue;
        }
        auto* factory = new (std::nothrow) ClassFactory(entry.create);
        if (!factory) {
            return E_OUTOFMEMORY;
        }
        HRESULT hr = factory->QueryObject(riid, ppv);
        factory->ReleaseObject();
        return hr;
    }
    return CLASS_E_CLASSNOTAVAILABLE;
}

HRESULT CanUnloadNow() noexcept {
    return ModuleObjectCount() == 0 ? S_OK : S_FALSE;
}

} // namespace kit
