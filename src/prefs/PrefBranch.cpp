#include "prefs/PrefBranch.h"

STDMETHODIMP CPrefBranch::init(BSTR) noexcept { return E_NOTIMPL; }

STDMETHODIMP CPrefBranch::InitWithKey(BSTR) noexcept { return E_NOTIMPL; }

STDMETHODIMP CPrefBranch::prefHasUserValue(BSTR, VARIANT_BOOL*) noexcept { return E_NOTIMPL; }

STDMETHODIMP CPrefBranch::getBoolPref(BSTR, VARIANT_BOOL*) noexcept { return E_NOTIMPL; }

STDMETHODIMP CPrefBranch::setBoolPref(BSTR, VARIANT_BOOL) noexcept { return E_NOTIMPL; }

STDMETHODIMP CPrefBranch::getCharPref(BSTR, BSTR*) noexcept { return E_NOTIMPL; }

STDMETHODIMP CPrefBranch::setCharPref(BSTR, BSTR) noexcept { return E_NOTIMPL; }

STDMETHODIMP CPrefBranch::getIntPref(BSTR, LONG*) noexcept { return E_NOTIMPL; }

STDMETHODIMP CPrefBranch::setIntPref(BSTR, LONG) noexcept { return E_NOTIMPL; }

STDMETHODIMP CPrefBranch::getInt64Pref(BSTR, LONGLONG*) noexcept { return E_NOTIMPL; }

STDMETHODIMP CPrefBranch::setInt64Pref(BSTR, LONGLONG) noexcept { return E_NOTIMPL; }
