#include "filters/kit/ComObject.h"

namespace kit {

void* FindInEntries(REFIID riid, std::initializer_list<InterfaceEntry> table) noexcept {
    for (const InterfaceEntry& e : table) {
        if (IsEqualIID(riid, *e.iid)) {
            return e.object;
        }
    }
    return nullptr;
}

std::atomic<long>& ModuleObjectCount() noexcept {
    static std::atomic<long> count{0};
    return count;
}

ComObject::ComObject() noexcept {
    ++ModuleObjectCount();
}

ComObject::~ComObject() {
    --ModuleObjectCount();
}

ULONG ComObject::AddRefObject() noexcept {
    return m_outer ? m_outer->AddRef() : AddRefOwn();
}

ULONG ComObject::ReleaseObject() noexcept {
    return m_outer ? m_outer->Release() : ReleaseOwn();
}

HRESULT ComObject::QueryObject(REFIID riid, void** ppv) noexcept {
    return m_outer ? m_outer->QueryInterface(riid, ppv) : QueryOwn(riid, ppv);
}

ULONG ComObject::AddRefOwn() noexcept {
    return ++m_refs;
}

ULONG ComObject::ReleaseOwn() noexcept {
    ULONG left = --m_refs;
    if (left == 0) {
        delete this;
    }
    return left;
}

// An aggregated object's IUnknown is the inner one, so that the outer object can tell it from
// the interfaces that delegate.
HRESULT ComObject::QueryOwn(REFIID riid, void** ppv) noexcept {
    if (!ppv) {
        return E_POINTER;
    }
    *ppv = m_outer && IsEqualIID(riid, IID_IUnknown) ? &m_inner : FindInterface(riid);
    if (!*ppv) {
        return E_NOINTERFACE;
    }
    static_cast<IUnknown*>(*ppv)->AddRef();
    return S_OK;
}

STDMETHODIMP ComObject::Inner::QueryInterface(REFIID riid, void** ppv) noexcept {
    return m_owner.QueryOwn(riid, ppv);
}

STDMETHODIMP_(ULONG) ComObject::Inner::AddRef() noexcept {
    return m_owner.AddRefOwn();
}

STDMETHODIMP_(ULONG) ComObject::Inner::Release() noexcept {
    return m_owner.ReleaseOwn();
}

} // namespace kit
