// The boundary of every script-visible call: no C++ exception crosses it, and a failure says why, once.
//
// The step that turns a platform error (or a broken rule) into the library's answer records the cause
// for its thread through one of the FailWith helpers, which give the answer to return. The dispatch
// layer, where a member's call leaves the library, writes one line to the diagnostic log when the call
// failed with E_FAIL, with an HRESULT the library does not document, or with a cause recorded (a caught
// exception), and clears the record. A call that succeeds costs nothing here.
#pragma once

#include <windows.h>
#include <oaidl.h>

#include <source_location>

// The recorded cause of the latest failure of the calling thread.
struct FailureCause {
    enum class Kind : unsigned char { None, Win32, Com, Rule, Exception };
    Kind kind = Kind::None;
    HRESULT result = S_OK;       // the answer the library gave for it
    long code = 0;               // the Win32 error code (Win32) or the HRESULT (Com) behind it
    const char* what = nullptr;  // the rule broken or the exception's text (Rule, Exception)
    const char* where = nullptr; // the function that recorded it
    unsigned line = 0;
};

// E_FAIL, recording a Win32 error code (a registry call's result, GetLastError's value).
HRESULT FailWithError(DWORD error, std::source_location where = std::source_location::current()) noexcept;
// E_FAIL, recording the calling thread's last Win32 error: call it right after the failed call.
inline HRESULT FailWithLastError(std::source_location where = std::source_location::current()) noexcept {
    return FailWithError(::GetLastError(), where);
}
// E_FAIL, recording the failure HRESULT of a call whose own code the library does not pass on (or
// keeping the cause already recorded for that answer, by the step that gave it).
HRESULT FailWithResult(HRESULT cause, std::source_location where = std::source_location::current()) noexcept;
// E_FAIL, recording why in words (static text) when no platform call failed.
HRESULT FailWithReason(const char* reason,
                       std::source_location where = std::source_location::current()) noexcept;
// For a catch (...) handler: the answer for the exception being handled (E_OUTOFMEMORY for
// std::bad_alloc, E_FAIL for any other), recording its text.
HRESULT FailWithCurrentException(std::source_location where) noexcept;

// The thread's record, emptied.
FailureCause TakeFailureCause() noexcept;

// Runs fn and turns any C++ exception into an HRESULT, so nothing unwinds into a COM caller.
template <class F>
HRESULT ComBoundary(F&& fn, std::source_location where = std::source_location::current()) noexcept {
    try {
        return fn();
    } catch (...) {
        return FailWithCurrentException(where);
    }
}

// Where a member's call through IDispatch::Invoke leaves the library with the failure hr: writes the
// line for it when one is due and clears the thread's record. The member's own answer is hr, or the
// code excep carries when hr is DISP_E_EXCEPTION. info, when given, names the interface and the member.
// Returns hr.
HRESULT ReportFailedCall(ITypeInfo* info, DISPID id, HRESULT hr, const EXCEPINFO* excep) noexcept;
