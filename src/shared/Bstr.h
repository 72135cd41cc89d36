// Owning wrappers for BSTR and VARIANT.
#pragma once

#include <windows.h>
#include <oleauto.h>

#include <string_view>
#include <utility>

class Bstr {
public:
    Bstr() noexcept = default;
    explicit Bstr(std::wstring_view text)
        : m_s(::SysAllocStringLen(text.data(), static_cast<UINT>(text.size()))) {
        if (!m_s) throw std::bad_alloc();
    }
    Bstr(const Bstr&) = delete;
    Bstr& operator=(const Bstr&) = delete;
    Bstr(Bstr&& o) noexcept : m_s(std::exchange(o.m_s, nullptr)) {}
    Bstr& operator=(Bstr&& o) noexcept {
        if (this != &o) {
            reset();
            m_s = std::exchange(o.m_s, nullptr);
        }
        return *this;
    }
    ~Bstr() { reset(); }

    void reset() noexcept {
        if (m_s) ::SysFreeString(std::exchange(m_s, nullptr));
    }
    BSTR get() const noexcept { return m_s; }
    BSTR* put() noexcept {
        reset();
        return &m_s;
    }
    BSTR Detach() noexcept { return std::exchange(m_s, nullptr); }
    UINT length() const noexcept { return m_s ? ::SysStringLen(m_s) : 0; }
    std::wstring_view view() const noexcept { return {m_s ? m_s : L"", length()}; }

private:
    BSTR m_s = nullptr;
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
