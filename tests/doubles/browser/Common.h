// Shared frame of the browser stand-in: reference counting, owning pointers to its own classes and
// dispatch over the browser's registered type descriptions.
#pragma once

#include <windows.h>
#include <ole2.h>

#include <atomic>
#include <new>
#include <string>
#include <utility>

#include "shared/Bstr.h"
#include "shared/ComPtr.h"

namespace zbt {

// Live objects and windows of this module; it may unload only at 0.
inline std::atomic<long> g_moduleUsers{0};

// Base of every object of the module: counts itself as a module user and starts with one reference.
class Counted {
protected:
    Counted() noexcept { ++g_moduleUsers; }
    virtual ~Counted() { --g_moduleUsers; }
    std::atomic<ULONG> m_refs{1};
};

// IUnknown for a class whose Find(iid) names the interfaces it answers.
#define ZBT_UNKNOWN                                                                                          \
    ULONG STDMETHODCALLTYPE AddRef() override {                                                              \
        return ++m_refs;                                                                                     \
    }                                                                                                        \
    ULONG STDMETHODCALLTYPE Release() override {                                                             \
        const ULONG left = --m_refs;                                                                         \
        if (left == 0) delete this;                                                                          \
        return left;                                                                                         \
    }                                                                                                        \
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {                              \
        if (!out) return E_POINTER;                                                                          \
        *out = Find(iid);                                                                                    \
        if (!*out) return E_NOINTERFACE;                                                                     \
        AddRef();                                                                                            \
        return S_OK;                                                                                         \
    }

// Owning pointer to one of the module's own classes (whose several interface bases make an
// IUnknown cast ambiguous): one reference, released on scope exit.
template <class T> class Ref {
public:
    Ref() noexcept = default;
    explicit Ref(T* p) noexcept : m_p(p) {
        if (m_p) m_p->AddRef();
    }
    Ref(const Ref& o) noexcept : Ref(o.m_p) {}
    Ref(Ref&& o) noexcept : m_p(std::exchange(o.m_p, nullptr)) {}
    ~Ref() { reset(); }
    Ref& operator=(Ref o) noexcept {
        std::swap(m_p, o.m_p);
        return *this;
    }
    // Wraps a new object, taking over its first reference.
    static Ref Adopt(T* p) noexcept {
        Ref r;
        r.m_p = p;
        return r;
    }
    void reset() noexcept {
        if (T* p = std::exchange(m_p, nullptr)) p->Release();
    }
    T* get() const noexcept { return m_p; }
    T* operator->() const noexcept { return m_p; }
    T& operator*() const noexcept { return *m_p; }
    explicit operator bool() const noexcept { return m_p != nullptr; }

private:
    T* m_p = nullptr;
};

// The vtable form of a browser interface's registered type description (MSHTML's or SHDocVw's).
HRESULT BrowserTypeInfo(REFIID iid, ComPtr<ITypeInfo>& out) noexcept;
// IDispatch over such a description, for the object's interface pointer `self`.
HRESULT TypeInfoIdsOfNames(REFIID iid, LPOLESTR* names, UINT count, DISPID* ids) noexcept;
HRESULT TypeInfoInvoke(void* self, REFIID iid, DISPID id, WORD flags, DISPPARAMS* params, VARIANT* result,
                       EXCEPINFO* error, UINT* argError) noexcept;
HRESULT TypeInfoCount(UINT* count) noexcept;
HRESULT TypeInfoOf(REFIID iid, UINT index, ITypeInfo** out) noexcept;

// Text of a BSTR result into a new BSTR out parameter.
inline HRESULT CopyOut(const std::wstring& text, BSTR* out) noexcept {
    if (!out) return E_POINTER;
    return BstrCopyOut(text, out);
}

// Runs body and turns any escaping C++ exception into an HRESULT.
template <class F> HRESULT Guard(F&& body) noexcept {
    try {
        return body();
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    } catch (...) {
        return E_UNEXPECTED;
    }
}

} // namespace zbt

// The standard IDispatch members forwarded to the type-description helpers for interface IFACE.
#define ZBT_TYPEINFO_DISPATCH(IFACE)                                                                         \
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {                                       \
        return zbt::TypeInfoCount(count);                                                                    \
    }                                                                                                        \
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID, ITypeInfo** out) override {                      \
        return zbt::TypeInfoOf(__uuidof(IFACE), index, out);                                                 \
    }                                                                                                        \
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids)          \
        override {                                                                                           \
        return zbt::TypeInfoIdsOfNames(__uuidof(IFACE), names, count, ids);                                  \
    }                                                                                                        \
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params,                \
                                     VARIANT* result, EXCEPINFO* error, UINT* argError) override {           \
        return zbt::TypeInfoInvoke(static_cast<IFACE*>(this), __uuidof(IFACE), id, flags, params, result,    \
                                   error, argError);                                                         \
    }
