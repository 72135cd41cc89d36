// Every member of every class, as a hostile page would call it: each class is asked for each script
// interface of the type library, and each operation it answers is called through IDispatch::Invoke
// with bad argument sets, on a fresh object and again on the same object once every member has run
// (so after close, twice, and before init for those that come first). Nothing may crash or hang, a
// surplus argument is refused before anything runs, every object goes, and no file appears outside
// the private data folder. A watchdog closes any dialog the process shows and ends the program, naming
// the call, if one call does not come back or crashes.
//
// test-lock: diagnostic-log
// test-lock: private-data-folder
// test-lock: foreground-window
#include "support/ComTest.h"
#include "support/TypeLibWalk.h"

#include "script/TypeInfoHolder.h"
#include "shared/Bstr.h"
#include "shared/ComPtr.h"
#include "shared/Storage.h"
#include "shared/TextUtil.h"

#include "Zembrolatix.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <limits>
#include <set>
#include <string>
#include <vector>

namespace {

constexpr DWORD kCallDeadlineMs = 60000;
const std::wstring kToken = L"zbxm" + std::to_wstring(::GetCurrentProcessId());

struct Operation {
    std::string name;
    DISPID id;
    INVOKEKIND kind;
    UINT declared; // arguments a caller gives (the out value not counted)
};

struct ScriptInterface {
    IID iid;
    std::string name;
    std::vector<Operation> ops;
};

// The operations of a dispatch or dual interface and its bases, IDispatch's and IUnknown's left out.
std::vector<Operation> OperationsOf(ITypeInfo* described) {
    std::vector<Operation> out;
    ForEachOperation(OperationTable(described).get(),
                     [&](ITypeInfo* current, const TYPEATTR&, const FUNCDESC& func) -> HRESULT {
                         UINT declared = 0;
                         for (SHORT p = 0; p < func.cParams; ++p)
                             if (!(func.lprgelemdescParam[p].paramdesc.wParamFlags & PARAMFLAG_FRETVAL))
                                 ++declared;
                         Bstr name;
                         current->GetDocumentation(func.memid, name.put(), nullptr, nullptr, nullptr);
                         out.push_back({Narrow(name.view()), func.memid, func.invkind, declared});
                         return S_OK;
                     });
    return out;
}

std::vector<ScriptInterface> ScriptInterfaces(ITypeLib* typeLib) {
    std::vector<ScriptInterface> out;
    ForEachTypeInfo(typeLib, [&](UINT t, ITypeInfo* itf, const TYPEATTR& attr) -> HRESULT {
        if (attr.typekind != TKIND_DISPATCH &&
            !(attr.typekind == TKIND_INTERFACE && (attr.wTypeFlags & TYPEFLAG_FDUAL)))
            return S_OK;
        Bstr name;
        typeLib->GetDocumentation(static_cast<INT>(t), name.put(), nullptr, nullptr, nullptr);
        out.push_back({attr.guid, Narrow(name.view()), OperationsOf(itf)});
        return S_OK;
    });
    return out;
}

// One bad value; every argument of a call gets the same one.
struct BadValue {
    const char* name;
    VARTYPE vt;
    double number = 0;
    std::wstring text = {};
};

void Make(const BadValue& value, IDispatch* stranger, VARIANT& v) {
    v = Arg(value.vt);
    switch (value.vt) {
    case VT_BSTR:
        v.bstrVal = value.number ? nullptr : ::SysAllocStringLen(value.text.data(), UINT(value.text.size()));
        break;
    case VT_I4:
        v.lVal = static_cast<LONG>(value.number);
        break;
    case VT_R8:
        v.dblVal = value.number;
        break;
    case VT_ERROR:
        v.scode = DISP_E_PARAMNOTFOUND;
        break;
    case VT_DISPATCH:
        v.pdispVal = value.number ? stranger : nullptr;
        if (v.pdispVal) v.pdispVal->AddRef();
        break;
    }
}

// Files whose name holds something only this program's arguments spell.
void ListMatrixFiles(const std::wstring& folder, std::set<std::wstring>& out, int depth) {
    WIN32_FIND_DATAW data;
    HANDLE find = ::FindFirstFileW((folder + L"\\*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE) return;
    do {
        const std::wstring name = data.cFileName, path = folder + L"\\" + name;
        if (name == L"." || name == L"..") continue;
        if (name.find(kToken) != std::wstring::npos || name.find(L"2147483648") != std::wstring::npos ||
            name.find(L"NaN") != std::wstring::npos || name == L"-1")
            out.insert(path);
        if ((data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && depth > 0)
            ListMatrixFiles(path, out, depth - 1);
    } while (::FindNextFileW(find, &data));
    ::FindClose(find);
}

std::set<std::wstring> MatrixFiles() {
    wchar_t cwd[MAX_PATH] = {};
    ::GetCurrentDirectoryW(MAX_PATH, cwd);
    std::set<std::wstring> out;
    ListMatrixFiles(L"C:", out, 8);
    ListMatrixFiles(cwd, out, 0);
    return out;
}

HRESULT Call(IDispatch* target, DISPID id, WORD flags, std::vector<VARIANT>& args, bool wantResult) {
    DISPID put = DISPID_PROPERTYPUT;
    const bool named = (flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) && !args.empty();
    DISPPARAMS params{args.data(), named ? &put : nullptr, UINT(args.size()), named ? 1u : 0u};
    Variant result;
    EXCEPINFO excep{};
    HRESULT hr = target->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &params,
                                wantResult ? result.get() : nullptr, &excep, nullptr);
    ::SysFreeString(excep.bstrSource);
    ::SysFreeString(excep.bstrDescription);
    ::SysFreeString(excep.bstrHelpFile);
    for (VARIANT& v : args)
        ::VariantClear(&v);
    return hr;
}

TEST(BadInputMatrix, EveryMemberOfEveryClassSurvivesHostileArguments) {
    ComPtr<ITypeLib> typeLib;
    ASSERT_EQ(::LoadRegTypeLib(LIBID_ZembrolatixLib, kTypeLibMajorVersion, kTypeLibMinorVersion,
                               LOCALE_NEUTRAL, typeLib.put()),
              S_OK);
    const std::vector<ScriptInterface> interfaces = ScriptInterfaces(typeLib.get());
    const std::set<std::wstring> before = MatrixFiles();
    // An automation object of no kind the library knows: no window, no file, no stream.
    ComPtr<IDispatch> stranger = CreateByProgId(L"Microsoft.XMLDOM");
    ASSERT_TRUE(stranger);
    const BadValue plain{"text", VT_BSTR, 0, kToken};
    const std::vector<BadValue> values = {
        {"null", VT_NULL},
        {"empty", VT_EMPTY},
        {"missing", VT_ERROR},
        {"null string", VT_BSTR, 1},
        {"empty string", VT_BSTR},
        plain,
        {"long text", VT_BSTR, 0, kToken + std::wstring(1000000, L'a')},
        {"text with NULs", VT_BSTR, 0, kToken + std::wstring(L"\0..\\..\0x", 9)},
        {"-1", VT_I4, -1},
        {"2^31", VT_R8, 2147483648.0},
        {"NaN", VT_R8, std::numeric_limits<double>::quiet_NaN()},
        {"stranger", VT_DISPATCH, 1},
        {"null object", VT_DISPATCH},
    };

    Watchdog watchdog("bad-input matrix", kCallDeadlineMs, true);
    long calls = 0;
    int classes = 0, answered = 0, operations = 0;
    for (const CoclassEntry& coclass : Coclasses(typeLib.get())) {
        const std::wstring& className = coclass.name;
        ComPtr<IClassFactory> factory;
        ComPtr<IUnknown> object;
        ASSERT_EQ(::DllGetClassObject(coclass.clsid, IID_IClassFactory, factory.put_void()), S_OK);
        ASSERT_EQ(factory->CreateInstance(nullptr, IID_IUnknown, object.put_void()), S_OK);
        factory.reset();
        ++classes;

        for (int pass = 0; pass < 2; ++pass) {
            for (const ScriptInterface& itf : interfaces) {
                ComPtr<IDispatch> target;
                if (FAILED(object->QueryInterface(itf.iid, target.put_void()))) continue;
                answered += pass == 0;
                operations += pass == 0 ? int(itf.ops.size()) : 0;
                for (const Operation& op : itf.ops) {
                    const std::string where = Narrow(className) + "/" + itf.name + "." + op.name;
                    for (WORD flags :
                         {WORD(op.kind), WORD(op.kind == INVOKE_FUNC || op.kind == INVOKE_PROPERTYGET
                                                  ? DISPATCH_METHOD | DISPATCH_PROPERTYGET
                                                  : 0)}) {
                        if (!flags) continue;
                        auto run = [&](const char* set, std::vector<VARIANT> args, bool wantResult) {
                            watchdog.Begin(where + " (" + set + ")");
                            ++calls;
                            return Call(target.get(), op.id, flags, args, wantResult);
                        };
                        run("no arguments", {}, true);
                        // A surplus argument never reaches the member, nor its result (a getter's
                        // object would be called as a function).
                        std::vector<VARIANT> surplus(op.declared + 1);
                        for (VARIANT& v : surplus)
                            Make(plain, stranger.get(), v);
                        EXPECT_EQ(run("too many", std::move(surplus), true), DISP_E_BADPARAMCOUNT) << where;
                        for (const BadValue& value : values) {
                            std::vector<VARIANT> args(op.declared);
                            for (VARIANT& v : args)
                                Make(value, stranger.get(), v);
                            run(value.name, std::move(args), value.vt != VT_BSTR);
                        }
                    }
                }
            }
        }
        object.reset();
        EXPECT_EQ(::DllCanUnloadNow(), S_OK) << Narrow(className) << " left something alive";
    }
    watchdog.Begin("");

    EXPECT_EQ(classes, 19);
    std::wstring privateFolder;
    PrivateDataFolder(privateFolder);
    for (const std::wstring& path : MatrixFiles())
        if (!before.count(path) && !StartsWithIgnoreAsciiCase(path, privateFolder + L"\\"))
            ADD_FAILURE() << "a file appeared: " << Narrow(path);
    std::printf(
        "bad-input matrix: %ld calls on %d classes, %d class interfaces, %d operations; %d dialogs closed\n",
        calls, classes, answered, operations, watchdog.dialogsClosed());
}

} // namespace
