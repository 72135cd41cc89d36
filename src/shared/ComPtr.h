// Owning smart pointer for COM interface pointers: one reference, released on scope exit. Plus the owner
// of memory from the COM task allocator.
#pragma once

#include "shared/Unique.h"

#include <objbase.h>
#include <unknwn.h>

#include <utility>

template <class T> class ComPtr {
public:
    ComPtr() noexcept = default;
    ComPtr(std::nullptr_t) noexcept {}
    // Takes a new reference to p.
    explicit ComPtr(T* p) noexcept : m_p(p) {
        if (m_p) Unknown(m_p)->AddRef();
    }
    ComPtr(const ComPtr& o) noexcept : ComPtr(o.m_p) {}
    ComPtr(ComPtr&& o) noexcept : m_p(std::exchange(o.m_p, nullptr)) {}
    ~ComPtr() { reset(); }
    ComPtr& operator=(ComPtr o) noexcept {
        std::swap(m_p, o.m_p);
        return *this;
    }

    // Wraps a pointer whose reference the caller hands over.
    static ComPtr Attach(T* p) noexcept {
        ComPtr r;
        r.m_p = p;
        return r;
    }
    T* Detach() noexcept { return std::exchange(m_p, nullptr); }
    void reset() noexcept {
        if (T* p = std::exchange(m_p, nullptr)) Unknown(p)->Release();
    }

    T* get() const noexcept { return m_p; }
    T* operator->() const noexcept { return m_p; }
    explicit operator bool() const noexcept { return m_p != nullptr; }

    // For out parameters: releases what is held and gives the slot.
    T** put() noexcept {
        reset();
        return &m_p;
    }
    void** put_void() noexcept { return reinterpret_cast<void**>(put()); }

    // Asks the held object for another interface.
    template <class U> HRESULT As(ComPtr<U>& out) const noexcept {
        if (!m_p) return E_POINTER;
        return Unknown(m_p)->QueryInterface(__uuidof(U), out.put_void());
    }
    HRESULT CopyTo(T** out) const noexcept {
        if (!out) return E_POINTER;
        *out = m_p;
        if (m_p) Unknown(m_p)->AddRef();
        return S_OK;
    }

private:
    // Some of the library's interfaces declare a script method named QueryInterface that hides
    // IUnknown's; every reference operation goes through IUnknown explicitly.
    static IUnknown* Unknown(T* p) noexcept { return static_cast<IUnknown*>(p); }
    T* m_p = nullptr;
};

// Memory the COM task allocator gave (a shell item list, a known folder's path): CoTaskMemFree.
template <class T> struct CoTaskMemTraits {
    using type = T*;
    static constexpr type empty() noexcept { return nullptr; }
    static void close(type p) noexcept { ::CoTaskMemFree(p); }
};
template <class T> using CoTaskMem = Unique<CoTaskMemTraits<T>>;
