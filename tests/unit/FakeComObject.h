#pragma once
#include <objbase.h>

#include <vector>

// Reference count and interface table of a fake COM object. The fake exposes the interfaces it
// implements in its constructor; every method it does not need answers E_NOTIMPL. Tests create
// fakes with one reference (adopted by a base::ComPtr) and can read the count to find leaks.
template <typename... Interfaces> class FakeComObject : public Interfaces... {
public:
    FakeComObject(const FakeComObject&) = delete;
    FakeComObject& operator=(const FakeComObject&) = delete;

    STDMETHODIMP QueryInterface(REFIID iid, void** object) noexcept override {
        if (!object) {
            return E_POINTER;
        }
        *object = nullptr;
        for (const Entry& entry : m_table) {
            if (IsEqualIID(iid, entry.iid) ||
                (IsEqualIID(iid, IID_IUnknown) && &entry == &m_table[0])) {
                *object = entry.pointer;
                AddRef();
                return S_OK;
            }
        }
        return E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() noexcept override { return ++m_refs; }
    STDMETHODIMP_(ULONG) Release() noexcept override {
        const ULONG left = --m_refs;
        if (left == 0) {
            delete this;
        }
        return left;
    }

    ULONG refs() const { return m_refs; }
    // Makes a later QueryInterface for the interface fail, as on an object that lacks it.
    void Hide(REFIID iid) {
        std::erase_if(m_table, [&](const Entry& entry) { return IsEqualIID(iid, entry.iid); });
    }

protected:
    FakeComObject() = default;
    virtual ~FakeComObject() = default;
    // The first exposed pointer also answers IUnknown.
    void Expose(REFIID iid, void* pointer) { m_table.push_back({iid, pointer}); }

private:
    struct Entry {
        IID iid;
        void* pointer;
    };
    std::vector<Entry> m_table;
    ULONG m_refs = 1;
};
