#include "prefs/PrefBranch.h"

#include "module/Module.h"
#include "shared/Bstr.h"
#include "shared/Storage.h"

namespace {
// A name the registry would cut short at an embedded NUL names some other value: it is never read
// or written.
bool UsableName(BSTR name) noexcept {
    return !PrefStorage::HasEmbeddedNul(BstrView(name));
}
} // namespace

STDMETHODIMP CPrefBranch::init(BSTR aPrefRoot) noexcept {
    if (!aPrefRoot) return E_INVALIDARG;
    return ComBoundary([&] {
        Bstr branchText(PrefStorage::BranchTextFromRoot(BstrView(aPrefRoot)));
        // Through the interface, as a script would call it.
        return static_cast<IPrefBranch*>(this)->InitWithKey(branchText.get());
    });
}

STDMETHODIMP CPrefBranch::InitWithKey(BSTR aPrefRoot) noexcept {
    if (!aPrefRoot) return E_INVALIDARG;
    if (m_key.isValid()) return E_UNEXPECTED;
    if (!UsableName(aPrefRoot)) return E_FAIL;
    return ComBoundary([&] {
        const bool low = UseLowStorage();
        const std::wstring path = PrefStorage::BranchKeyPath(low, BstrView(aPrefRoot));
        const bool writable = PrefStorage::MayWrite(low, path);
        // A key that takes no writes is not created either: it is read where it exists.
        const bool bound = writable ? m_key.create(HKEY_CURRENT_USER, path.c_str(), nullptr,
                                                   REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr, nullptr)
                                    : m_key.open(HKEY_CURRENT_USER, path.c_str(), KEY_READ);
        if (!bound) return E_FAIL;
        m_writable = writable;
        return S_OK;
    });
}

HRESULT CPrefBranch::CheckRead(BSTR name, const void* out) const noexcept {
    if (!name) return E_INVALIDARG;
    if (!out) return E_POINTER;
    if (!m_key.isValid()) return E_UNEXPECTED;
    return S_OK;
}

HRESULT CPrefBranch::CheckWrite(BSTR name) const noexcept {
    if (!name) return E_INVALIDARG;
    if (!m_key.isValid()) return E_UNEXPECTED;
    if (!m_writable) return E_ACCESSDENIED;
    return S_OK;
}

HRESULT CPrefBranch::Store(BSTR name, const PrefStorage::StoredValue& value) const noexcept {
    if (!UsableName(name)) return E_FAIL;
    return m_key.writeValue(name, value.type, value.data.data(), static_cast<DWORD>(value.data.size()))
               ? S_OK
               : E_FAIL;
}

STDMETHODIMP CPrefBranch::prefHasUserValue(BSTR aPrefName, VARIANT_BOOL* pRet) noexcept {
    HRESULT hr = CheckRead(aPrefName, pRet);
    if (FAILED(hr)) return hr;
    *pRet = UsableName(aPrefName) && m_key.valueExists(aPrefName) ? VARIANT_TRUE : VARIANT_FALSE;
    return S_OK;
}

STDMETHODIMP CPrefBranch::getBoolPref(BSTR aPrefName, VARIANT_BOOL* pRet) noexcept {
    HRESULT hr = CheckRead(aPrefName, pRet);
    if (FAILED(hr)) return hr;
    DWORD stored = 0;
    if (!UsableName(aPrefName) || !m_key.readDword(aPrefName, stored)) return E_FAIL;
    *pRet = PrefStorage::BoolFromDword(stored) ? VARIANT_TRUE : VARIANT_FALSE;
    return S_OK;
}

STDMETHODIMP CPrefBranch::setBoolPref(BSTR aPrefName, VARIANT_BOOL aValue) noexcept {
    HRESULT hr = CheckWrite(aPrefName);
    if (FAILED(hr)) return hr;
    return ComBoundary([&] { return Store(aPrefName, PrefStorage::BoolValue(aValue)); });
}

STDMETHODIMP CPrefBranch::getCharPref(BSTR aPrefName, BSTR* pRet) noexcept {
    if (!aPrefName) return E_INVALIDARG;
    if (!pRet) return E_POINTER;
    // A string out is cleared on every later failure, so the caller never frees a stale pointer.
    *pRet = nullptr;
    if (!m_key.isValid()) return E_UNEXPECTED;
    if (!UsableName(aPrefName)) return E_FAIL;
    Bstr text;
    if (!m_key.readString(aPrefName, *text.put())) return E_FAIL;
    *pRet = text.Detach();
    return S_OK;
}

STDMETHODIMP CPrefBranch::setCharPref(BSTR aPrefName, BSTR aValue) noexcept {
    HRESULT hr = CheckWrite(aPrefName);
    if (FAILED(hr)) return hr;
    // A null value is the empty string: the terminator alone.
    return ComBoundary([&] { return Store(aPrefName, PrefStorage::CharValue(BstrView(aValue))); });
}

STDMETHODIMP CPrefBranch::getIntPref(BSTR aPrefName, LONG* pRet) noexcept {
    HRESULT hr = CheckRead(aPrefName, pRet);
    if (FAILED(hr)) return hr;
    DWORD stored = 0;
    if (!UsableName(aPrefName) || !m_key.readDword(aPrefName, stored)) return E_FAIL;
    *pRet = static_cast<LONG>(stored);
    return S_OK;
}

STDMETHODIMP CPrefBranch::setIntPref(BSTR aPrefName, LONG aValue) noexcept {
    HRESULT hr = CheckWrite(aPrefName);
    if (FAILED(hr)) return hr;
    return ComBoundary([&] { return Store(aPrefName, PrefStorage::IntValue(aValue)); });
}

STDMETHODIMP CPrefBranch::getInt64Pref(BSTR aPrefName, LONGLONG* pRet) noexcept {
    HRESULT hr = CheckRead(aPrefName, pRet);
    if (FAILED(hr)) return hr;
    ULONGLONG stored = 0;
    if (!UsableName(aPrefName) || !m_key.readQword(aPrefName, stored)) return E_FAIL;
    *pRet = static_cast<LONGLONG>(stored);
    return S_OK;
}

STDMETHODIMP CPrefBranch::setInt64Pref(BSTR aPrefName, LONGLONG aValue) noexcept {
    HRESULT hr = CheckWrite(aPrefName);
    if (FAILED(hr)) return hr;
    return ComBoundary([&] { return Store(aPrefName, PrefStorage::Int64Value(aValue)); });
}
