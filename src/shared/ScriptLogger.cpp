#include "shared/ScriptLogger.h"

STDMETHODIMP CScriptLogger::init(BSTR) noexcept { return E_NOTIMPL; }

STDMETHODIMP CScriptLogger::get_isEnabled(VARIANT_BOOL*) noexcept { return E_NOTIMPL; }

STDMETHODIMP CScriptLogger::debug(BSTR) noexcept { return E_NOTIMPL; }

STDMETHODIMP CScriptLogger::warn(BSTR) noexcept { return E_NOTIMPL; }

STDMETHODIMP CScriptLogger::error(BSTR) noexcept { return E_NOTIMPL; }

STDMETHODIMP CScriptLogger::dumpProperties(VARIANT) noexcept { return E_NOTIMPL; }
