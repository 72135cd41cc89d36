// Every member of every class, as a hostile page would call it: each interface the type library lists
// for a class, each operation of it, called through IDispatch::Invoke with bad argument sets, on a
// fresh object and again on the same object once every member has run (so after close, twice, and
// before init for those that come first). Nothing may crash or hang, every object goes, and no file
// appears outside the private data folder.
//
// A watchdog closes any dialog the process shows and ends the program if one call runs too long.
//
// test-lock: diagnostic-log
// test-lock: private-data-folder
#include "support/LibraryModule.h"

#include "shared/Bstr.h"
#include "shared/ComPtr.h"
#include "shared/Storage.h"
#include "shared/TextUtil.h"

#include "Zembrolatix.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <cstdio>
#include <functional>
#include <limits>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

namespace {

// Longer than any single member should ever take, the million-character arguments included.
constexpr DWORD kCallDeadlineMs = 60000;

// An automation object of no kind the library knows: no window, no file, no stream.
class Stranger : public IDispatch {
public:
    STDMETHOD(QueryInterface)(REFIID iid, void** ppv) override {
        if (!ppv) return E_POINTER;
        *ppv = nullptr;
        if (!::IsEqualIID(iid, IID_IUnknown) && !::IsEqualIID(iid, IID_IDispatch)) return E_NOINTERFACE;
        *ppv = static_cast<IDispatch*>(this);
        AddRef();
        return S_OK;
    }
    STDMETHOD_(ULONG, AddRef)() override { return ++m_refs; }
    STDMETHOD_(ULONG, Release)() override { return --m_refs; }
    STDMETHOD(GetTypeInfoCount)(UINT*) override { return E_NOTIMPL; }
    STDMETHOD(GetTypeInfo)(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    STDMETHOD(GetIDsOfNames)(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return DISP_E_UNKNOWNNAME; }
    STDMETHOD(Invoke)(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override {
        return DISP_E_MEMBERNOTFOUND;
    }
    ULONG refs() const { return m_refs; }

private:
    std::atomic<ULONG> m_refs{1};
};

// Closes the dialogs of this process and stops a call that does not come back.
class Watchdog {
public:
    Watchdog() : m_thread([this] { Run(); }) {
        s_current = this;
        m_handler = ::AddVectoredExceptionHandler(1, &NameTheCall);
    }
    ~Watchdog() {
        ::RemoveVectoredExceptionHandler(m_handler);
        s_current = nullptr;
        m_stop = true;
        m_thread.join();
    }
    // The call about to start; an empty name when none is running.
    void Begin(const std::string& call) {
        std::lock_guard guard(m_lock);
        m_call = call;
        m_running = !call.empty();
        m_started = ::GetTickCount();
    }
    int dialogsClosed() const { return m_closed; }

private:
    // A crash names the call that caused it before the process goes.
    static LONG CALLBACK NameTheCall(EXCEPTION_POINTERS* info) {
        const DWORD code = info->ExceptionRecord->ExceptionCode;
        if (s_current && (code == EXCEPTION_ACCESS_VIOLATION || code == EXCEPTION_STACK_OVERFLOW ||
                          code == EXCEPTION_ILLEGAL_INSTRUCTION)) {
            std::fprintf(stderr, "bad-input matrix: crash 0x%08lx in %s\n", static_cast<unsigned long>(code),
                         s_current->m_call.c_str());
            std::fflush(stderr);
        }
        return EXCEPTION_CONTINUE_SEARCH;
    }
    static BOOL CALLBACK CloseDialog(HWND window, LPARAM self) {
        DWORD pid = 0;
        ::GetWindowThreadProcessId(window, &pid);
        wchar_t cls[64] = {};
        ::GetClassNameW(window, cls, 64);
        if (pid == ::GetCurrentProcessId() &&
            (std::wstring_view(cls) == L"#32770" ||
             std::wstring_view(cls) == L"Internet Explorer_TridentDlgFrame")) {
            ::PostMessageW(window, WM_COMMAND, IDCANCEL, 0);
            ::PostMessageW(window, WM_CLOSE, 0, 0);
            ++reinterpret_cast<Watchdog*>(self)->m_closed;
        }
        return TRUE;
    }
    void Run() {
        while (!m_stop) {
            ::Sleep(100);
            ::EnumWindows(&CloseDialog, reinterpret_cast<LPARAM>(this));
            std::lock_guard guard(m_lock);
            if (m_running && ::GetTickCount() - m_started > kCallDeadlineMs) {
                std::fprintf(stderr, "bad-input matrix: no answer from %s\n", m_call.c_str());
                std::fflush(stderr);
                ::TerminateProcess(::GetCurrentProcess(), 3);
            }
        }
    }

    static inline Watchdog* s_current = nullptr;
    PVOID m_handler = nullptr;
    std::atomic<bool> m_stop{false};
    std::atomic<int> m_closed{0};
    std::mutex m_lock;
    std::string m_call;
    bool m_running = false;
    DWORD m_started = 0;
    std::thread m_thread;
};

// Keeps its own reference: the walk below moves on while the attributes are still held.
struct TypeAttrOf {
    ComPtr<ITypeInfo> info;
    TYPEATTR* attr = nullptr;
    explicit TypeAttrOf(ITypeInfo* i) : info(i) { info->GetTypeAttr(&attr); }
    ~TypeAttrOf() {
        if (attr) info->ReleaseTypeAttr(attr);
    }
};

struct Operation {
    std::string name;
    DISPID id;
    INVOKEKIND kind;
    UINT declared; // arguments a caller gives (the out value not counted)
};

std::string Narrow(std::wstring_view text) {
    std::string out;
    for (wchar_t c : text)
        out.push_back(c < 0x80 ? static_cast<char>(c) : '?');
    return out;
}

// The operations of an interface and its bases, IDispatch's and IUnknown's left out.
std::vector<Operation> OperationsOf(ITypeInfo* described) {
    std::vector<Operation> out;
    ComPtr<ITypeInfo> current(described);
    {
        TypeAttrOf attr(described);
        HREFTYPE ref = 0;
        ComPtr<ITypeInfo> table;
        if (attr.attr && attr.attr->typekind == TKIND_DISPATCH &&
            SUCCEEDED(described->GetRefTypeOfImplType(static_cast<UINT>(-1), &ref)) &&
            SUCCEEDED(described->GetRefTypeInfo(ref, table.put())))
            current = table;
    }
    while (current) {
        TypeAttrOf attr(current.get());
        if (!attr.attr || ::IsEqualGUID(attr.attr->guid, IID_IDispatch) ||
            ::IsEqualGUID(attr.attr->guid, IID_IUnknown))
            break;
        for (UINT i = 0; i < attr.attr->cFuncs; ++i) {
            FUNCDESC* func = nullptr;
            if (FAILED(current->GetFuncDesc(i, &func))) continue;
            UINT declared = 0;
            for (SHORT p = 0; p < func->cParams; ++p)
                if (!(func->lprgelemdescParam[p].paramdesc.wParamFlags & PARAMFLAG_FRETVAL)) ++declared;
            Bstr name;
            current->GetDocumentation(func->memid, name.put(), nullptr, nullptr, nullptr);
            out.push_back({Narrow(name.view()), func->memid, func->invkind, declared});
            current->ReleaseFuncDesc(func);
        }
        HREFTYPE ref = 0;
        ComPtr<ITypeInfo> base;
        if (attr.attr->cImplTypes == 0 || FAILED(current->GetRefTypeOfImplType(0, &ref)) ||
            FAILED(current->GetRefTypeInfo(ref, base.put())))
            break;
        current = base;
    }
    return out;
}

// An interface script reaches (dispatch or dual) and its operations.
struct ScriptInterface {
    IID iid;
    std::string name;
    std::vector<Operation> ops;
};

// Every such interface of the library; each class is asked for each, so an interface a class answers
// without listing it is called too.
std::vector<ScriptInterface> ScriptInterfaces(ITypeLib* typeLib) {
    std::vector<ScriptInterface> out;
    for (UINT t = 0; t < typeLib->GetTypeInfoCount(); ++t) {
        ComPtr<ITypeInfo> itf;
        if (FAILED(typeLib->GetTypeInfo(t, itf.put()))) continue;
        TypeAttrOf attr(itf.get());
        if (!attr.attr ||
            (attr.attr->typekind != TKIND_DISPATCH &&
             !(attr.attr->typekind == TKIND_INTERFACE && (attr.attr->wTypeFlags & TYPEFLAG_FDUAL))))
            continue;
        Bstr name;
        typeLib->GetDocumentation(static_cast<INT>(t), name.put(), nullptr, nullptr, nullptr);
        out.push_back({attr.attr->guid, Narrow(name.view()), OperationsOf(itf.get())});
    }
    return out;
}

// One bad value, made fresh for each call (the callee may keep or change what it is given).
struct BadValue {
    const char* name;
    std::function<void(VARIANT&)> make;
};

constexpr size_t kPlainText = 5; // the ordinary string among the values below
const std::wstring kToken = L"zbxm" + std::to_wstring(::GetCurrentProcessId());

std::vector<BadValue> BadValues(Stranger& stranger) {
    auto text = [](std::wstring s) {
        return [s](VARIANT& v) {
            v.vt = VT_BSTR;
            v.bstrVal = ::SysAllocStringLen(s.data(), static_cast<UINT>(s.size()));
        };
    };
    return {
        {"null", [](VARIANT& v) { v.vt = VT_NULL; }},
        {"empty", [](VARIANT& v) { v.vt = VT_EMPTY; }},
        {"missing",
         [](VARIANT& v) {
             v.vt = VT_ERROR;
             v.scode = DISP_E_PARAMNOTFOUND;
         }},
        {"null string",
         [](VARIANT& v) {
             v.vt = VT_BSTR;
             v.bstrVal = nullptr;
         }},
        {"empty string", text(L"")},
        {"text", text(kToken)},
        {"long text", text(kToken + std::wstring(1000000, L'a'))},
        {"text with NULs", text(kToken + std::wstring(L"\0..\\..\0x", 9))},
        {"-1",
         [](VARIANT& v) {
             v.vt = VT_I4;
             v.lVal = -1;
         }},
        {"2^31",
         [](VARIANT& v) {
             v.vt = VT_R8;
             v.dblVal = 2147483648.0;
         }},
        {"NaN",
         [](VARIANT& v) {
             v.vt = VT_R8;
             v.dblVal = std::numeric_limits<double>::quiet_NaN();
         }},
        {"stranger",
         [&stranger](VARIANT& v) {
             v.vt = VT_DISPATCH;
             v.pdispVal = &stranger;
             stranger.AddRef();
         }},
        {"null object",
         [](VARIANT& v) {
             v.vt = VT_DISPATCH;
             v.pdispVal = nullptr;
         }},
    };
}

// Every file below folder (recursively), by full path.
void ListFiles(const std::wstring& folder, std::set<std::wstring>& out, int depth) {
    WIN32_FIND_DATAW data;
    HANDLE find = ::FindFirstFileW((folder + L"\\*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE) return;
    do {
        const std::wstring name = data.cFileName;
        if (name == L"." || name == L"..") continue;
        const std::wstring path = folder + L"\\" + name;
        out.insert(path);
        if ((data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) &&
            !(data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) && depth > 0)
            ListFiles(path, out, depth - 1);
    } while (::FindNextFileW(find, &data));
    ::FindClose(find);
}

// Files whose name holds something only this program's arguments spell.
std::set<std::wstring> MatrixFiles() {
    wchar_t cwd[MAX_PATH] = {};
    ::GetCurrentDirectoryW(MAX_PATH, cwd);
    std::set<std::wstring> all;
    ListFiles(L"C:", all, 8);
    ListFiles(cwd, all, 0);
    std::set<std::wstring> out;
    for (const std::wstring& path : all) {
        std::wstring_view leaf = std::wstring_view(path).substr(path.rfind(L'\\') + 1);
        if (leaf.find(kToken) != std::wstring_view::npos ||
            leaf.find(L"2147483648") != std::wstring_view::npos ||
            leaf.find(L"NaN") != std::wstring_view::npos || leaf == L"-1")
            out.insert(path);
    }
    return out;
}

struct Counts {
    long calls = 0;
    int interfaces = 0;
    int operations = 0;
};

HRESULT Call(IDispatch* target, const Operation& op, WORD flags, std::vector<VARIANT>& args,
             bool wantResult) {
    DISPID put = DISPID_PROPERTYPUT;
    const bool isPut = (flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) != 0;
    DISPPARAMS params{args.empty() ? nullptr : args.data(), isPut && !args.empty() ? &put : nullptr,
                      static_cast<UINT>(args.size()), isPut && !args.empty() ? 1u : 0u};
    Variant result;
    EXCEPINFO excep{};
    UINT argErr = 0;
    HRESULT hr = target->Invoke(op.id, IID_NULL, LOCALE_USER_DEFAULT, flags, &params,
                                wantResult ? result.get() : nullptr, &excep, &argErr);
    ::SysFreeString(excep.bstrSource);
    ::SysFreeString(excep.bstrDescription);
    ::SysFreeString(excep.bstrHelpFile);
    for (VARIANT& v : args)
        ::VariantClear(&v);
    return hr;
}

// Every argument set for one operation, each under every way a script engine calls such a member.
void Exercise(IDispatch* target, const std::string& where, const Operation& op,
              const std::vector<BadValue>& values, Watchdog& watchdog, Counts& counts) {
    std::vector<WORD> flagSets;
    switch (op.kind) {
    case INVOKE_FUNC:
        flagSets = {DISPATCH_METHOD, DISPATCH_METHOD | DISPATCH_PROPERTYGET};
        break;
    case INVOKE_PROPERTYGET:
        flagSets = {DISPATCH_PROPERTYGET, DISPATCH_METHOD | DISPATCH_PROPERTYGET};
        break;
    case INVOKE_PROPERTYPUT:
        flagSets = {DISPATCH_PROPERTYPUT};
        break;
    case INVOKE_PROPERTYPUTREF:
        flagSets = {DISPATCH_PROPERTYPUTREF};
        break;
    }
    for (WORD flags : flagSets) {
        auto run = [&](const char* set, std::vector<VARIANT> args, bool wantResult) {
            watchdog.Begin(where + "." + op.name + " (" + set + ")");
            Call(target, op, flags, args, wantResult);
            ++counts.calls;
        };
        const BadValue& plain = values[kPlainText];
        run("no arguments", {}, true);
        // One more than declared: a getter's surplus argument must never reach its result.
        std::vector<VARIANT> surplus(op.declared + 1);
        for (VARIANT& v : surplus)
            plain.make(v);
        run("too many", std::move(surplus), true);
        for (const BadValue& value : values) {
            std::vector<VARIANT> args(op.declared);
            for (VARIANT& v : args) {
                ::VariantInit(&v);
                value.make(v);
            }
            run(value.name, std::move(args), true);
        }
        std::vector<VARIANT> unanswered(op.declared);
        for (VARIANT& v : unanswered)
            plain.make(v);
        run("no result wanted", std::move(unanswered), false);
    }
}

// obj.getter("extra") from script: the surplus argument is refused before the getter runs, so it is
// never applied to the getter's result (here a null object).
TEST(BadInputMatrix, SurplusArgumentToAGetterIsRefusedBeforeAnyCall) {
    const struct {
        const wchar_t* progId;
        const wchar_t* member;
    } cases[] = {{L"Zembrolatix.WebBrowserPersist", L"progressListener"},
                 {L"Zembrolatix.FilePicker", L"file"}};
    for (const auto& c : cases) {
        CLSID clsid;
        ASSERT_EQ(::CLSIDFromProgID(c.progId, &clsid), S_OK);
        ComPtr<IDispatch> object;
        ASSERT_EQ(::CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch, object.put_void()),
                  S_OK);
        LPOLESTR name = const_cast<LPOLESTR>(c.member);
        DISPID id = 0;
        ASSERT_EQ(object->GetIDsOfNames(IID_NULL, &name, 1, LOCALE_USER_DEFAULT, &id), S_OK);
        for (WORD flags : {WORD(DISPATCH_METHOD | DISPATCH_PROPERTYGET), WORD(DISPATCH_PROPERTYGET)}) {
            Variant extra;
            extra->vt = VT_BSTR;
            extra->bstrVal = ::SysAllocString(L"extra");
            DISPPARAMS params{extra.get(), nullptr, 1, 0};
            Variant result;
            EXPECT_EQ(object->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &params, result.get(), nullptr,
                                     nullptr),
                      DISP_E_BADPARAMCOUNT)
                << Narrow(c.member);
            EXPECT_EQ(result->vt, VT_EMPTY);
        }
    }
}

TEST(BadInputMatrix, EveryMemberOfEveryClassSurvivesHostileArguments) {
    LibraryModule lib;
    ASSERT_NE(lib.getClassObject, nullptr);
    ComPtr<ITypeLib> typeLib;
    ASSERT_EQ(::LoadRegTypeLib(LIBID_ZembrolatixLib, 1, 0, LOCALE_NEUTRAL, typeLib.put()), S_OK);
    const std::set<std::wstring> before = MatrixFiles();
    const std::vector<ScriptInterface> interfaces = ScriptInterfaces(typeLib.get());

    Stranger stranger;
    const std::vector<BadValue> values = BadValues(stranger);
    Watchdog watchdog;
    Counts counts;
    int classes = 0;
    for (UINT t = 0; t < typeLib->GetTypeInfoCount(); ++t) {
        TYPEKIND kind;
        ComPtr<ITypeInfo> coclass;
        if (FAILED(typeLib->GetTypeInfoType(t, &kind)) || kind != TKIND_COCLASS ||
            FAILED(typeLib->GetTypeInfo(t, coclass.put())))
            continue;
        Bstr className;
        typeLib->GetDocumentation(static_cast<INT>(t), className.put(), nullptr, nullptr, nullptr);
        TypeAttrOf classAttr(coclass.get());
        ASSERT_NE(classAttr.attr, nullptr);
        ComPtr<IClassFactory> factory;
        ASSERT_EQ(lib.getClassObject(classAttr.attr->guid, IID_IClassFactory, factory.put_void()), S_OK)
            << Narrow(className.view());
        ComPtr<IUnknown> object;
        ASSERT_EQ(factory->CreateInstance(nullptr, IID_IUnknown, object.put_void()), S_OK);
        factory.reset();
        ++classes;

        for (int pass = 0; pass < 2; ++pass) {
            for (const ScriptInterface& itf : interfaces) {
                ComPtr<IDispatch> target;
                if (FAILED(object->QueryInterface(itf.iid, target.put_void()))) continue;
                if (pass == 0) {
                    ++counts.interfaces;
                    counts.operations += static_cast<int>(itf.ops.size());
                }
                for (const Operation& op : itf.ops)
                    Exercise(target.get(), Narrow(className.view()) + "/" + itf.name, op, values, watchdog,
                             counts);
            }
        }
        object.reset();
        EXPECT_EQ(lib.canUnloadNow(), S_OK) << Narrow(className.view()) << " left something alive";
    }
    watchdog.Begin("");

    EXPECT_EQ(classes, 19);
    EXPECT_EQ(stranger.refs(), 1u) << "a stranger object is still held";
    const std::set<std::wstring> after = MatrixFiles();
    std::wstring privateFolder;
    PrivateDataFolder(privateFolder);
    for (const std::wstring& path : after) {
        if (before.count(path) || StartsWithIgnoreAsciiCase(path, privateFolder + L"\\")) continue;
        ADD_FAILURE() << "a file appeared: " << Narrow(path);
    }
    std::printf(
        "bad-input matrix: %ld calls on %d classes, %d interfaces, %d operations; %d dialogs closed\n",
        counts.calls, classes, counts.interfaces, counts.operations, watchdog.dialogsClosed());
}

} // namespace
