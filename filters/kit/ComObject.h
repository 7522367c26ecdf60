// Reference counting and interface tables for our COM objects, without SDK base classes.
#pragma once
#include <windows.h>
#include <unknwn.h>
#include <atomic>
#include <initializer_list>

namespace kit {

struct InterfaceEntry {
    const IID* iid;
    void* object;
};

// Returns the entry's pointer for riid, or nullptr; no reference is added.
void* FindInEntries(REFIID riid, std::initializer_list<InterfaceEntry> table) noexcept;

// Objects alive in this module plus IClassFactory::LockServer locks: DllCanUnloadNow reads it.
std::atomic<long>& ModuleObjectCount() noexcept;

// The counted part of every object; a derived class lists its interfaces in FindInterface and
// maps IUnknown's three methods onto this base with KIT_IUNKNOWN. An aggregated object hands
// its outer object a non-delegating IUnknown (InnerUnknown) and forwards every other
// interface's IUnknown calls to the outer one.
class ComObject {
public:
    ComObject() noexcept;
    virtual ~ComObject();
    ComObject(const ComObject&) = delete;
    ComObject& operator=(const ComObject&) = delete;

    // The object's IUnknown methods as its interfaces answer them: the outer object's, when
    // aggregated.
    ULONG AddRefObject() noexcept;
    ULONG ReleaseObject() noexcept;
    HRESULT QueryObject(REFIID riid, void** ppv) noexcept;

    // Called once, right after construction, by a class factory given an outer object.
    void Aggregate(IUnknown* outer) noexcept { m_outer = outer; }
    IUnknown* InnerUnknown() noexcept { return &m_inner; }

protected:
    // The interface pointer for riid (IUnknown included), or nullptr.
    virtual void* FindInterface(REFIID riid) noexcept = 0;

private:
    class Inner final : public IUnknown {
    public:
        explicit Inner(ComObject& owner) noexcept : m_owner(owner) {}
        STDMETHODIMP QueryInterface(REFIID riid, void** ppv) noexcept override;
        STDMETHODIMP_(ULONG) AddRef() noexcept override;
        STDMETHODIMP_(ULONG) Release() noexcept override;

    private:
        ComObject& m_owner;
    };

    ULONG AddRefOwn() noexcept;
    ULONG ReleaseOwn() noexcept;
    HRESULT QueryOwn(REFIID riid, void** ppv) noexcept;

    std::atomic<ULONG> m_refs{1};
    IUnknown* m_outer = nullptr; // not counted: the outer object owns this one
    Inner m_inner{*this};
};

} // namespace kit

#define KIT_IUNKNOWN                                                                               \
    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) noexcept override {                       \
        return QueryObject(riid, ppv);                                                             \
    }                                                                                              \
    STDMETHODIMP_(ULONG) AddRef() noexcept override {                                              \
        return AddRefObject();                                                                     \
    }                                                                                              \
    STDMETHODIMP_(ULONG) Release() noexcept override {                                             \
        return ReleaseObject();                                                                    \
    }
