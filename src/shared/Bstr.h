// Owning wrappers for BSTR and VARIANT.
#pragma once

#include "shared/Unique.h"

#include <windows.h>
#include <oleauto.h>

#include <new>
#include <string_view>

struct BstrTraits {
    using type = BSTR;
    static constexpr type empty() noexcept { return nullptr; }
    static void close(type s) noexcept { ::SysFreeString(s); }
};

// An owned BSTR; null is empty.
class Bstr : public Unique<BstrTraits> {
public:
    Bstr() noexcept = default;
    // A new copy of text; throws std::bad_alloc when none can be made.
    explicit Bstr(std::wstring_view text)
        : Unique(::SysAllocStringLen(text.data(), static_cast<UINT>(text.size()))) {
        if (!get()) throw std::bad_alloc();
    }

    BSTR Detach() noexcept { return release(); }
    UINT length() const noexcept { return get() ? ::SysStringLen(get()) : 0; }
    std::wstring_view view() const noexcept { return {get() ? get() : L"", length()}; }
};

// A BSTR argument as text: null and empty both give an empty view.
inline std::wstring_view BstrView(BSTR s) noexcept {
    return {s ? s : L"", s ? ::SysStringLen(s) : 0u};
}
inline bool BstrEmpty(BSTR s) noexcept {
    return !s || ::SysStringLen(s) == 0;
}

// Gives a new BSTR copy of text to an out parameter.
inline HRESULT BstrCopyOut(std::wstring_view text, BSTR* out) noexcept {
    *out = ::SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
    return *out ? S_OK : E_OUTOFMEMORY;
}

// An owned VARIANT, cleared with its owner. Written in place through get() (unlike the owners built on
// Unique, whose put() empties the slot first), so it is kept apart.
class Variant {
public:
    Variant() noexcept { ::VariantInit(&m_v); }
    Variant(const Variant&) = delete;
    Variant& operator=(const Variant&) = delete;
    ~Variant() { ::VariantClear(&m_v); }
    VARIANT* get() noexcept { return &m_v; }
    const VARIANT* get() const noexcept { return &m_v; }
    VARIANT* operator->() noexcept { return &m_v; }
    VARIANT Detach() noexcept {
        VARIANT v = m_v;
        ::VariantInit(&m_v);
        return v;
    }

private:
    VARIANT m_v;
};

// The exception record of a call made through IDispatch::Invoke; the strings the callee put in it are
// freed with it.
struct ExcepInfo : EXCEPINFO {
    ExcepInfo() noexcept : EXCEPINFO{} {}
    ExcepInfo(const ExcepInfo&) = delete;
    ExcepInfo& operator=(const ExcepInfo&) = delete;
    ~ExcepInfo() {
        ::SysFreeString(bstrSource);
        ::SysFreeString(bstrDescription);
        ::SysFreeString(bstrHelpFile);
    }
};
