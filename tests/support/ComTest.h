// What the C++ tests share for COM objects: making them, calling them by name through IDispatch, the
// VARIANTs a caller passes, and a watchdog that keeps a stuck call or a dialog from hanging the run.
#pragma once

#include "shared/Bstr.h"
#include "shared/ComPtr.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <cstdio>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

// A new object of the class asked for interface I (null when it cannot be made).
template <class I = IDispatch> ComPtr<I> Create(REFCLSID clsid) {
    ComPtr<I> object;
    ::CoCreateInstance(clsid, nullptr, CLSCTX_ALL, __uuidof(I), object.put_void());
    return object;
}

// A new instance of class T of the library asked for interface I, made straight from its class.
template <class T, class I> ComPtr<I> MakeObject() {
    ComPtr<I> object;
    EXPECT_EQ(T::CreateInstance(nullptr, __uuidof(I), object.put_void()), S_OK);
    return object;
}

// Text for a failure message: ASCII as it is, anything else as '?'.
inline std::string Narrow(std::wstring_view text) {
    std::string out;
    for (wchar_t c : text)
        out.push_back(c < 0x80 ? static_cast<char>(c) : '?');
    return out;
}

inline ComPtr<IDispatch> CreateByProgId(const wchar_t* progId) {
    CLSID clsid;
    return SUCCEEDED(::CLSIDFromProgID(progId, &clsid)) ? Create(clsid) : nullptr;
}

// Calls a named member of an automation object, with arguments in the script's order (they are cleared).
inline HRESULT CallMember(IDispatch* object, const wchar_t* name, WORD flags, std::vector<VARIANT> args,
                          VARIANT* result) {
    DISPID id = DISPID_UNKNOWN;
    LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
    HRESULT hr = object ? object->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id) : E_POINTER;
    std::vector<VARIANT> reversed(args.rbegin(), args.rend());
    DISPPARAMS params{reversed.data(), nullptr, static_cast<UINT>(reversed.size()), 0};
    if (SUCCEEDED(hr))
        hr = object->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &params, result, nullptr, nullptr);
    for (VARIANT& arg : args)
        ::VariantClear(&arg);
    return hr;
}

inline ComPtr<IDispatch> ObjectProperty(IDispatch* object, const wchar_t* name) {
    Variant value;
    if (FAILED(CallMember(object, name, DISPATCH_PROPERTYGET, {}, value.get())) || value->vt != VT_DISPATCH)
        return nullptr;
    return ComPtr<IDispatch>(value->pdispVal);
}

// A VARIANT of the type, its value zero.
inline VARIANT Arg(VARTYPE vt) {
    VARIANT v;
    ::VariantInit(&v);
    v.vt = vt;
    return v;
}
// A text of its own (cleared by CallMember or a Variant).
inline VARIANT StringValue(std::wstring_view text) {
    VARIANT v = Arg(VT_BSTR);
    v.bstrVal = ::SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
    return v;
}
// The arguments below borrow what they hold: never cleared.
inline VARIANT MissingArg() {
    VARIANT v = Arg(VT_ERROR);
    v.scode = DISP_E_PARAMNOTFOUND;
    return v;
}
inline VARIANT IntArg(LONG value) {
    VARIANT v = Arg(VT_I4);
    v.lVal = value;
    return v;
}
inline VARIANT TextArg(BSTR text) {
    VARIANT v = Arg(VT_BSTR);
    v.bstrVal = text;
    return v;
}
inline VARIANT ObjectArg(IDispatch* object) {
    VARIANT v = Arg(VT_DISPATCH);
    v.pdispVal = object;
    return v;
}
inline VARIANT RefArg(VARIANT* referred) {
    VARIANT v = Arg(VT_BYREF | VT_VARIANT);
    v.pvarVal = referred;
    return v;
}

// IDispatch's own members answering E_NOTIMPL, over IDispatch or a generated stub class of an interface
// derived from it (TestStubs.h): a stand-in overrides only what it answers.
template <class Stubs = IDispatch> struct DispatchStubs : Stubs {
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                                     UINT*) override {
        return E_NOTIMPL;
    }
};

// While it lives: names the running call when it crashes, ends the program naming it when it does not
// come back within the deadline, and (when asked) closes every dialog the process shows.
class Watchdog {
public:
    Watchdog(const char* program, DWORD deadlineMs, bool closeDialogs = false)
        : m_program(program), m_deadline(deadlineMs), m_closeDialogs(closeDialogs),
          m_thread([this] { Run(); }) {
        s_current = this;
        m_handler = ::AddVectoredExceptionHandler(1, &NameTheCall);
    }
    ~Watchdog() {
        ::RemoveVectoredExceptionHandler(m_handler);
        s_current = nullptr;
        m_stop = true;
        m_thread.join();
    }
    Watchdog(const Watchdog&) = delete;
    Watchdog& operator=(const Watchdog&) = delete;
    // The call about to start; an empty name when none runs.
    void Begin(const std::string& call) {
        std::lock_guard guard(m_lock);
        m_call = call;
        m_started = ::GetTickCount();
    }
    int dialogsClosed() const { return m_closed; }

private:
    static LONG CALLBACK NameTheCall(EXCEPTION_POINTERS* info) {
        const DWORD code = info->ExceptionRecord->ExceptionCode;
        if (s_current && (code == EXCEPTION_ACCESS_VIOLATION || code == EXCEPTION_STACK_OVERFLOW)) {
            std::fprintf(stderr, "%s: crash 0x%08lx in %s\n", s_current->m_program,
                         static_cast<unsigned long>(code), s_current->m_call.c_str());
            std::fflush(stderr);
        }
        return EXCEPTION_CONTINUE_SEARCH;
    }
    static BOOL CALLBACK CloseDialog(HWND window, LPARAM self) {
        DWORD pid = 0;
        ::GetWindowThreadProcessId(window, &pid);
        wchar_t cls[64] = {};
        ::GetClassNameW(window, cls, 64);
        const std::wstring_view name(cls);
        if (pid == ::GetCurrentProcessId() &&
            (name == L"#32770" || name == L"Internet Explorer_TridentDlgFrame")) {
            ::PostMessageW(window, WM_COMMAND, IDCANCEL, 0);
            ::PostMessageW(window, WM_CLOSE, 0, 0);
            ++reinterpret_cast<Watchdog*>(self)->m_closed;
        }
        return TRUE;
    }
    void Run() {
        while (!m_stop) {
            ::Sleep(100);
            if (m_closeDialogs) ::EnumWindows(&CloseDialog, reinterpret_cast<LPARAM>(this));
            std::lock_guard guard(m_lock);
            if (!m_call.empty() && ::GetTickCount() - m_started > m_deadline) {
                std::fprintf(stderr, "%s: no answer from %s\n", m_program, m_call.c_str());
                std::fflush(stderr);
                ::TerminateProcess(::GetCurrentProcess(), 3);
            }
        }
    }

    static inline Watchdog* s_current = nullptr;
    const char* m_program;
    const DWORD m_deadline;
    const bool m_closeDialogs;
    PVOID m_handler = nullptr;
    std::atomic<bool> m_stop{false};
    std::atomic<int> m_closed{0};
    std::mutex m_lock;
    std::string m_call;
    DWORD m_started = 0;
    std::thread m_thread;
};
