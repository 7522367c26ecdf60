// The class factory that the DLL exports hand out for each entry of the class table.
#pragma once
#include <new>
#include <span>

#include "filters/kit/ComObject.h"

namespace kit {

using CreateFunction = HRESULT (*)(IUnknown* outer, REFIID riid, void** ppv);
struct ClassEntry;

class ClassFactory : public IClassFactory, public ComObject {
public:
    explicit ClassFactory(CreateFunction create) noexcept : m_create(create) {}
    KIT_IUNKNOWN
    STDMETHODIMP CreateInstance(IUnknown* pUnkOuter, REFIID riid, void** ppv) noexcept override;
    STDMETHODIMP LockServer(WINBOOL fLock) noexcept override;

protected:
    void* FindInterface(REFIID riid) noexcept override;

private:
    CreateFunction m_create;
};

// Creates `T` (whose constructor starts the count at one) and queries it for riid; with an
// outer object, `T` is aggregated and the outer gets its non-delegating IUnknown, the only
// interface COM lets it ask for then.
template <typename T> HRESULT CreateAndQuery(IUnknown* outer, REFIID riid, void** ppv) noexcept {
    if (!ppv) {
        return E_POINTER;
    }
    *ppv = nullptr;
    if (outer && !IsEqualIID(riid, IID_IUnknown)) {
        return CLASS_E_NOAGGREGATION;
    }
    T* object = new (std::nothrow) T();
    if (!object) {
        return E_OUTOFMEMORY;
    }
    if (outer) {
        object->Aggregate(outer);
        *ppv = object->InnerUnknown();
        return S_OK;
    }
    HRESULT hr = object->QueryObject(riid, ppv);
    object->ReleaseObject();
    return hr;
}

HRESULT GetClassObjectFrom(std::span<const ClassEntry> entries, REFCLSID rclsid, REFIID riid,
                           void** ppv) noexcept;
HRESULT CanUnloadNow() noexcept;

} // namespace kit
