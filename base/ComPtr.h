#pragma once
#include <objbase.h>
#include <utility>

namespace base {

// Owns one COM reference. Move-only, so every copy of a reference is a visible AddRef
// (CopyFrom); put() releases what was held before handing out the address to fill.
template <typename T> class ComPtr {
public:
    ComPtr() = default;
    ComPtr(std::nullptr_t) {}
    explicit ComPtr(T* adopted) : m_p(adopted) {}
    ComPtr(const ComPtr&) = delete;
    ComPtr& operator=(const ComPtr&) = delete;
    ComPtr(ComPtr&& other) noexcept : m_p(other.detach()) {}
    ComPtr& operator=(ComPtr&& other) noexcept {
        if (this != &other) {
            reset(other.detach());
        }
        return *this;
    }
    ~ComPtr() { reset(); }

    static ComPtr CopyFrom(T* p) {
        if (p) {
            p->AddRef();
        }
        return ComPtr(p);
    }

    T* get() const { return m_p; }
    T* operator->() const { return m_p; }
    explicit operator bool() const { return m_p != nullptr; }

    T** put() {
        reset();
        return &m_p;
    }
    void** put_void() { return reinterpret_cast<void**>(put()); }

    void reset(T* adopted = nullptr) {
        T* old = m_p;
        m_p = adopted;
        if (old) {
            old->Release();
        }
    }
    T* detach() { return std::exchange(m_p, nullptr); }

    template <typename U> HRESULT As(ComPtr<U>& out) const {
        if (!m_p) {
            out.reset();
            return E_POINTER;
        }
        return m_p->QueryInterface(__uuidof(U), out.put_void());
    }

private:
    T* m_p = nullptr;
};

} // namespace base
