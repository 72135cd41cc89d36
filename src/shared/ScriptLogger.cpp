#include "shared/ScriptLogger.h"

#include "shared/AnsiText.h"
#include "shared/Bstr.h"
#include "shared/OutValue.h"
#include "shared/ProcessLog.h"

#include <algorithm>
#include <cwchar>

namespace {

bool IsHighSurrogate(wchar_t c) noexcept {
    return c >= 0xD800 && c <= 0xDBFF;
}

// Converts a script's prefix, keeping as many whole characters as fit in the writer's name field:
// a longer prefix is cut, never in the middle of a character.
void ConvertName(BSTR prefix, ThreadAnsiText& name) noexcept {
    const std::size_t length = ::wcsnlen(prefix, ::SysStringLen(prefix));
    // Every byte of converted text comes from at most two UTF-16 units.
    std::size_t units = std::min(length, 2 * kLogNameMaxBytes);
    name.assign(prefix, units);
    while (name.valid() && name.size() > kLogNameMaxBytes && units > 0) {
        --units;
        if (units > 0 && IsHighSurrogate(prefix[units - 1])) --units;
        name.assign(prefix, units);
    }
}

} // namespace

STDMETHODIMP CScriptLogger::init(BSTR prefix) noexcept {
    if (BstrEmpty(prefix)) return E_INVALIDARG;
    ThreadAnsiText name;
    ConvertName(prefix, name);
    if (!name.valid()) return E_OUTOFMEMORY;
    m_log.setName(name.c_str());
    return S_OK;
}

STDMETHODIMP CScriptLogger::get_isEnabled(VARIANT_BOOL* pVal) noexcept {
    return BoolOut(m_log.isEnabled(), pVal);
}

STDMETHODIMP CScriptLogger::debug(BSTR message) noexcept {
    m_log.debug(message);
    return S_OK;
}

STDMETHODIMP CScriptLogger::warn(BSTR message) noexcept {
    m_log.warn(message);
    return S_OK;
}

STDMETHODIMP CScriptLogger::error(BSTR message) noexcept {
    m_log.error(message);
    return S_OK;
}

STDMETHODIMP CScriptLogger::dumpProperties(VARIANT) noexcept {
    if (LogWriter* log = ProcessLog()) log->write("dumpProperties(...) is not implemented");
    return S_OK;
}
