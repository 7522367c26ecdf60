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
    return ++m_refs;
}

ULONG ComObject::ReleaseObject() noexcept {
    ULONG left = --m_refs;
    if (left == 0) {
        delete this;
    }
    return left;
}

HRESULT ComObject::QueryObject(REFIID riid, void** ppv) noexcept {
    if (!ppv) {
        return E_POINTER;
    }
    *ppv = FindInterface(riid);
    if (!*ppv) {
        return E_NOINTERFACE;
    }
    static_cast<IUnknown*>(*ppv)->AddRef();
    return S_OK;
}

} // namespace kit
