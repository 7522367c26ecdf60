// An owning COM reference: move-only, releases what it holds.
#pragma once
#include <unknwn.h>
#include <utility>

namespace kit {

template <typename T> class ComPtr {
public:
    ComPtr() noexcept = default;
    // Adopts a reference the caller already owns.
    explicit ComPtr(T* p) noexcept : m_p(p) {}
    ComPtr(const ComPtr&) = delete;
    ComPtr& operator=(const ComPtr&) = delete;
    ComPtr(ComPtr&& o) noexcept : m_p(o.release()) {}
    ComPtr& operator=(ComPtr&& o) noexcept {
        if (this != &o)
            reset(o.release());
        return *this;
    }
    ~ComPtr() { reset(); }

    static ComPtr AddRefOf(T* p) noexcept {
        if (p)
            p->AddRef();
        return ComPtr(p);
    }

    T* get() const noexcept { return m_p; }
    T* operator->() const noexcept { return m_p; }
    explicit operator bool() const noexcept { return m_p != nullptr; }
    T** put() noexcept {
        reset();
        return &m_p;
    }
    void** put_void() noexcept { return reinterpret_cast<void**>(put()); }
    T* release() noexcept { return std::exchange(m_p, nullptr); }
    void reset(T* p = nullptr) noexcept {
        T* old = std::exchange(m_p, p);
        if (old)
            old->Release();
    }

    template <typename U> HRESULT As(REFIID iid, ComPtr<U>& out) const noexcept {
        return m_p ? m_p->QueryInterface(iid, out.put_void()) : E_POINTER;
    }

private:
    T* m_p = nullptr;
};

} // namespace kit
