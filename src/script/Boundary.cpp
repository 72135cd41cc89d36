#include "script/Boundary.h"

#include "shared/Bstr.h"
#include "shared/LogWriter.h"
#include "shared/ProcessLog.h"

#include <cstddef>
#include <exception>
#include <new>
#include <string>

namespace {

thread_local FailureCause t_cause;
// The text of the latest exception caught on the thread: the exception itself is gone by the time the
// cause is reported.
thread_local char t_exceptionText[96];

HRESULT Record(FailureCause::Kind kind, HRESULT result, long code, const char* what,
               const std::source_location& where) noexcept {
    t_cause = {kind, result, code, what, where.function_name(), static_cast<unsigned>(where.line())};
    return result;
}

// The answers of the library's conventions and of the dispatch layer: a failure with one of these
// needs no line unless a cause was recorded for it.
bool IsDocumentedResult(HRESULT hr) noexcept {
    switch (hr) {
    case E_INVALIDARG:
    case E_POINTER:
    case E_UNEXPECTED:
    case E_NOTIMPL:
    case E_ACCESSDENIED:
    case E_OUTOFMEMORY:
    case E_NOINTERFACE:
        return true;
    default:
        return HRESULT_FACILITY(hr) == FACILITY_DISPATCH;
    }
}

void AppendHex(std::wstring& out, unsigned long value) {
    constexpr wchar_t kHex[] = L"0123456789ABCDEF";
    out += L"0x";
    for (int shift = 28; shift >= 0; shift -= 4)
        out += kHex[(value >> shift) & 0xF];
}

void AppendAscii(std::wstring& out, const char* text) {
    for (; text && *text; ++text)
        out += static_cast<wchar_t>(static_cast<unsigned char>(*text));
}

// "IName.member", "IName#7" when the member has no name, "#7" without type information.
void AppendMember(std::wstring& out, ITypeInfo* info, DISPID id) {
    if (info) {
        Bstr type;
        if (SUCCEEDED(info->GetDocumentation(MEMBERID_NIL, type.put(), nullptr, nullptr, nullptr)))
            out += type.view();
        Bstr member;
        UINT count = 0;
        if (SUCCEEDED(info->GetNames(id, member.put(), 1, &count)) && count == 1) {
            out += L'.';
            out += member.view();
            return;
        }
    }
    out += L'#';
    out += std::to_wstring(id);
}

void AppendCause(std::wstring& out, const FailureCause& cause) {
    switch (cause.kind) {
    case FailureCause::Kind::None:
        out += L"no cause recorded";
        return;
    case FailureCause::Kind::Win32:
        out += L"Win32 error " + std::to_wstring(static_cast<unsigned long>(cause.code));
        break;
    case FailureCause::Kind::Com:
        out += L"error ";
        AppendHex(out, static_cast<unsigned long>(cause.code));
        break;
    case FailureCause::Kind::Rule:
        AppendAscii(out, cause.what);
        break;
    case FailureCause::Kind::Exception:
        out += L"exception ";
        AppendAscii(out, cause.what);
        break;
    }
    out += L" in ";
    AppendAscii(out, cause.where);
    out += L" line " + std::to_wstring(cause.line);
}

} // namespace

HRESULT FailWithError(DWORD error, std::source_location where) noexcept {
    return Record(FailureCause::Kind::Win32, E_FAIL, static_cast<long>(error), nullptr, where);
}

HRESULT FailWithResult(HRESULT cause, std::source_location where) noexcept {
    // A cause recorded by the step that gave this very answer says more: it is kept.
    if (t_cause.kind != FailureCause::Kind::None && t_cause.result == cause) {
        t_cause.result = E_FAIL;
        return E_FAIL;
    }
    return Record(FailureCause::Kind::Com, E_FAIL, cause, nullptr, where);
}

HRESULT FailWithReason(const char* reason, std::source_location where) noexcept {
    return Record(FailureCause::Kind::Rule, E_FAIL, 0, reason, where);
}

HRESULT FailWithCurrentException(std::source_location where) noexcept {
    HRESULT result = E_FAIL;
    const char* text = "of an unknown type";
    try {
        throw;
    } catch (const std::bad_alloc&) {
        result = E_OUTOFMEMORY;
        text = "std::bad_alloc";
    } catch (const std::exception& e) {
        text = e.what();
    } catch (...) {
    }
    std::size_t n = 0;
    for (; text && text[n] && n + 1 < sizeof(t_exceptionText); ++n)
        t_exceptionText[n] = text[n];
    t_exceptionText[n] = '\0';
    return Record(FailureCause::Kind::Exception, result, 0, t_exceptionText, where);
}

FailureCause TakeFailureCause() noexcept {
    FailureCause cause = t_cause;
    t_cause = {};
    return cause;
}

HRESULT ReportFailedCall(ITypeInfo* info, DISPID id, HRESULT hr, const EXCEPINFO* excep) noexcept {
    FailureCause cause = TakeFailureCause();
    // The type information's call hands a member's failure on as DISP_E_EXCEPTION with the code in excep.
    HRESULT answer = hr;
    if (hr == DISP_E_EXCEPTION) {
        if (excep && FAILED(excep->scode))
            answer = excep->scode;
        else if (FAILED(cause.result))
            answer = cause.result;
    }
    // A cause left by an earlier failure that gave another answer is not this call's.
    if (cause.result != answer) cause = {};
    if (cause.kind == FailureCause::Kind::None && IsDocumentedResult(answer)) return hr;
    LogWriter* log = ProcessLog();
    if (!log || !log->isEnabled()) return hr;
    try {
        std::wstring line;
        AppendMember(line, info, id);
        line += L" failed with ";
        AppendHex(line, static_cast<unsigned long>(answer));
        line += L": ";
        AppendCause(line, cause);
        log->error(line.c_str());
    } catch (...) {
        // Logging never changes the call's answer.
    }
    return hr;
}
