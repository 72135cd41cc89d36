// Preference branches and the preference service, created through their registered classes: the order
// of the argument checks, binding, the keys reached in both storage modes and the exact registry bytes.
#include <windows.h>

#include "shared/Storage.h"
#include "shared/Win32.h"
#include "support/ComTest.h"
#include "support/Scoped.h"

#include "Zembrolatix.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

using namespace std::literals;

namespace {

using Bytes = std::vector<BYTE>;

std::wstring Base(bool low) {
    return low ? L"Software\\Microsoft\\Internet Explorer\\LowRegistry\\" : L"Software\\";
}

ComPtr<IPrefBranch> NewBranch() {
    ComPtr<IPrefBranch> branch = Create<IPrefBranch>(CLSID_PrefBranch);
    EXPECT_TRUE(branch);
    return branch;
}

// A value as the registry holds it, read past the library.
struct RawValue {
    LONG status = ERROR_FILE_NOT_FOUND;
    DWORD type = REG_NONE;
    Bytes data;
};

RawValue ReadRaw(const std::wstring& keyPath, const wchar_t* name) {
    RawValue raw;
    API::Win32::RegKey key;
    if (!key.open(HKEY_CURRENT_USER, keyPath.c_str(), KEY_READ)) return raw;
    DWORD size = 0;
    raw.status = ::RegQueryValueExW(key.get(), name, nullptr, &raw.type, nullptr, &size);
    if (raw.status != ERROR_SUCCESS) return raw;
    raw.data.resize(size);
    raw.status = ::RegQueryValueExW(key.get(), name, nullptr, &raw.type, raw.data.data(), &size);
    raw.data.resize(size);
    return raw;
}

void DeleteValue(const std::wstring& keyPath, const wchar_t* name) {
    API::Win32::RegKey key;
    if (key.open(HKEY_CURRENT_USER, keyPath.c_str(), KEY_ALL_ACCESS)) ::RegDeleteValueW(key.get(), name);
}

// A key below the library's preference key (in this program's storage mode unless told), removed with its
// parents up to that key at the end of the scope.
ScopedKeyChain OwnedKey(const std::wstring& below, bool low = UseLowStorage()) {
    const std::wstring product = Base(low) + L"Zembrolatix";
    return ScopedKeyChain({product + L"\\" + below, product});
}

// ---- Argument checks, before any state ------------------------------------------------------------

// A getter called with or without its name and out pointer; the out value must stay as it was on
// failure (a string out is cleared).
using Getter = std::function<HRESULT(IPrefBranch*, BSTR, bool withOut)>;

template <class T, class Call> Getter MakeGetter(T sentinel, Call call) {
    return [=](IPrefBranch* b, BSTR name, bool withOut) {
        T out = sentinel;
        HRESULT hr = call(b, name, withOut ? &out : nullptr);
        if (FAILED(hr)) {
            EXPECT_EQ(out, sentinel) << "out written on failure";
        }
        return hr;
    };
}

const struct {
    const char* name;
    Getter call;
} kGetters[] = {
    {"prefHasUserValue",
     MakeGetter<VARIANT_BOOL>(
         7, [](IPrefBranch* b, BSTR n, VARIANT_BOOL* o) { return b->prefHasUserValue(n, o); })},
    {"getBoolPref", MakeGetter<VARIANT_BOOL>(
                        7, [](IPrefBranch* b, BSTR n, VARIANT_BOOL* o) { return b->getBoolPref(n, o); })},
    {"getIntPref", MakeGetter<LONG>(77, [](IPrefBranch* b, BSTR n, LONG* o) { return b->getIntPref(n, o); })},
    {"getInt64Pref",
     MakeGetter<LONGLONG>(77, [](IPrefBranch* b, BSTR n, LONGLONG* o) { return b->getInt64Pref(n, o); })},
    {"getCharPref",
     [](IPrefBranch* b, BSTR n, bool withOut) {
         BSTR out = reinterpret_cast<BSTR>(0x1);
         HRESULT hr = b->getCharPref(n, withOut ? &out : nullptr);
         if (FAILED(hr) && hr != E_POINTER && hr != E_INVALIDARG) {
             EXPECT_EQ(out, nullptr) << "string out not cleared";
         }
         if (SUCCEEDED(hr)) ::SysFreeString(out);
         return hr;
     }},
};

const struct {
    const char* name;
    std::function<HRESULT(IPrefBranch*, BSTR)> call;
} kSetters[] = {
    {"setBoolPref", [](IPrefBranch* b, BSTR n) { return b->setBoolPref(n, VARIANT_TRUE); }},
    {"setIntPref", [](IPrefBranch* b, BSTR n) { return b->setIntPref(n, 5); }},
    {"setInt64Pref", [](IPrefBranch* b, BSTR n) { return b->setInt64Pref(n, 5); }},
    {"setCharPref", [](IPrefBranch* b, BSTR n) { return b->setCharPref(n, nullptr); }},
};

TEST(PrefBranchChecks, NameThenOutPointerThenBinding) {
    const ScopedKeyChain owned = OwnedKey(L"zxprefs_cpp_checks");
    ComPtr<IPrefBranch> unbound = NewBranch();
    ASSERT_TRUE(unbound);
    Bstr name(L"zxprefs.cpp.checks");
    for (const auto& g : kGetters) {
        SCOPED_TRACE(g.name);
        EXPECT_EQ(g.call(unbound.get(), nullptr, false), E_INVALIDARG);
        EXPECT_EQ(g.call(unbound.get(), nullptr, true), E_INVALIDARG);
        EXPECT_EQ(g.call(unbound.get(), name.get(), false), E_POINTER);
        EXPECT_EQ(g.call(unbound.get(), name.get(), true), E_UNEXPECTED);
    }
    for (const auto& s : kSetters) {
        SCOPED_TRACE(s.name);
        EXPECT_EQ(s.call(unbound.get(), nullptr), E_INVALIDARG);
        EXPECT_EQ(s.call(unbound.get(), name.get()), E_UNEXPECTED);
    }
    EXPECT_EQ(unbound->init(nullptr), E_INVALIDARG);
    EXPECT_EQ(unbound->InitWithKey(nullptr), E_INVALIDARG);

    // Bound: the argument checks still come first.
    ComPtr<IPrefBranch> bound = NewBranch();
    Bstr root(L"Zembrolatix\\zxprefs_cpp_checks");
    ASSERT_EQ(bound->InitWithKey(root.get()), S_OK);
    EXPECT_EQ(bound->init(nullptr), E_INVALIDARG);
    for (const auto& g : kGetters) {
        SCOPED_TRACE(g.name);
        EXPECT_EQ(g.call(bound.get(), nullptr, true), E_INVALIDARG);
        EXPECT_EQ(g.call(bound.get(), name.get(), false), E_POINTER);
    }
}

TEST(PrefServiceChecks, ArgumentsAndInitFailurePassThrough) {
    ComPtr<IPrefService> service = Create<IPrefService>(CLSID_PrefService);
    ASSERT_TRUE(service);
    IPrefBranch* const sentinel = reinterpret_cast<IPrefBranch*>(0x1);
    IPrefBranch* out = sentinel;
    Bstr root(L"zxprefs_cpp_service.");
    EXPECT_EQ(service->getBranch(nullptr, nullptr), E_INVALIDARG);
    EXPECT_EQ(service->getBranch(nullptr, &out), E_INVALIDARG);
    EXPECT_EQ(service->getBranch(root.get(), nullptr), E_POINTER);
    // A key name part longer than the registry allows: the branch's E_FAIL, nothing handed out.
    Bstr tooLong(std::wstring(300, L'x'));
    EXPECT_EQ(service->getBranch(tooLong.get(), &out), E_FAIL);
    EXPECT_EQ(out, sentinel);
}

TEST(PrefBranchBinding, FailedBindingCanBeRetriedAndNulsAreRefused) {
    const ScopedKeyChain owned = OwnedKey(L"zxprefs_cpp_bind");
    ComPtr<IPrefBranch> branch = NewBranch();
    Bstr tooLong(L"Zembrolatix\\" + std::wstring(300, L'x'));
    Bstr withNul(L"Zembrolatix\\zxprefs_cpp_bind\0other"sv);
    EXPECT_EQ(branch->InitWithKey(tooLong.get()), E_FAIL);
    Bstr tooLongRoot(std::wstring(300, L'x'));
    EXPECT_EQ(branch->init(tooLongRoot.get()), E_FAIL);
    EXPECT_EQ(branch->InitWithKey(withNul.get()), E_FAIL);
    LONG value = 0;
    Bstr name(L"n");
    EXPECT_EQ(branch->getIntPref(name.get(), &value), E_UNEXPECTED) << "a failed binding leaves it unbound";

    Bstr key(L"Zembrolatix\\zxprefs_cpp_bind");
    ASSERT_EQ(branch->InitWithKey(key.get()), S_OK);
    // A name the registry would cut short at its NUL is never read or written under the shorter name.
    Bstr nulName(L"n\0tail"sv);
    EXPECT_EQ(branch->setIntPref(nulName.get(), 3), E_FAIL);
    EXPECT_EQ(branch->getIntPref(name.get(), &value), E_FAIL);
    ASSERT_EQ(branch->setIntPref(name.get(), 4), S_OK);
    EXPECT_EQ(branch->getIntPref(nulName.get(), &value), E_FAIL);
    VARIANT_BOOL has = VARIANT_TRUE;
    EXPECT_EQ(branch->prefHasUserValue(nulName.get(), &has), S_OK);
    EXPECT_EQ(has, VARIANT_FALSE);
}

// Script hosts reach the 64-bit members through IDispatch: the value travels as VT_I8 both ways.
TEST(PrefBranchDispatch, Int64TravelsAsI8) {
    const ScopedKeyChain owned = OwnedKey(L"zxprefs_cpp_dispatch");
    ComPtr<IPrefBranch> branch = NewBranch();
    Bstr key(L"Zembrolatix\\zxprefs_cpp_dispatch");
    ASSERT_EQ(branch->InitWithKey(key.get()), S_OK);
    ComPtr<IDispatch> dispatch;
    ASSERT_EQ(branch.As(dispatch), S_OK);

    Bstr name(L"q");
    VARIANT args[2] = {Arg(VT_I8), TextArg(name.get())}; // in reverse order: value, name
    V_I8(&args[0]) = -5000000000LL;
    DISPPARAMS setParams{args, nullptr, 2, 0};
    ASSERT_EQ(dispatch->Invoke(11, IID_NULL, 0, DISPATCH_METHOD, &setParams, nullptr, nullptr, nullptr),
              S_OK);

    Variant result;
    DISPPARAMS getParams{&args[1], nullptr, 1, 0};
    ASSERT_EQ(dispatch->Invoke(10, IID_NULL, 0, DISPATCH_METHOD, &getParams, result.get(), nullptr, nullptr),
              S_OK);
    EXPECT_EQ(V_VT(result.get()), VT_I8);
    EXPECT_EQ(V_I8(result.get()), -5000000000LL);
}

// ---- Reading what the registry holds ----------------------------------------------------------------

TEST(PrefBranchReading, StoredBytesAsEachType) {
    const ScopedKeyChain owned = OwnedKey(L"zxprefs_cpp_reading");
    const std::wstring& keyPath = owned.get().first;
    ComPtr<IPrefBranch> branch = NewBranch();
    Bstr keyText(L"Zembrolatix\\zxprefs_cpp_reading");
    ASSERT_EQ(branch->InitWithKey(keyText.get()), S_OK);
    API::Win32::RegKey key;
    ASSERT_TRUE(key.open(HKEY_CURRENT_USER, keyPath.c_str(), KEY_ALL_ACCESS));

    constexpr HRESULT F = E_FAIL;
    // Each row: stored type and bytes; then getCharPref, getIntPref, getBoolPref, getInt64Pref (result and
    // value) and prefHasUserValue.
    static const struct {
        const char* what;
        DWORD type;
        Bytes data;
        HRESULT charHr;
        std::wstring_view text;
        HRESULT intHr;
        LONG intValue;
        HRESULT boolHr;
        VARIANT_BOOL boolValue;
        HRESULT int64Hr;
        LONGLONG int64Value;
        VARIANT_BOOL has;
    } cases[] = {
        {"dword 42 00 41 00", REG_DWORD, {0x42, 0, 0x41, 0}, S_OK, L"B", S_OK, 0x00410042, S_OK, 0, F, 0, -1},
        {"dword 1", REG_DWORD, {1, 0, 0, 0}, S_OK, L"\x0001", S_OK, 1, S_OK, -1, F, 0, -1},
        {"dword 2", REG_DWORD, {2, 0, 0, 0}, S_OK, L"\x0002", S_OK, 2, S_OK, 0, F, 0, -1},
        {"dword -1", REG_DWORD, {0xFF, 0xFF, 0xFF, 0xFF}, S_OK, L"\xFFFF", S_OK, -1, S_OK, 0, F, 0, -1},
        {"dword of 8 bytes",
         REG_DWORD,
         {1, 0, 0, 0, 0, 0, 0, 0},
         S_OK,
         L"\x0001\0\0"sv,
         F,
         0,
         F,
         0,
         F,
         0,
         -1},
        {"dword of 2 bytes", REG_DWORD, {5, 0}, S_OK, L"", S_OK, 5, S_OK, 0, F, 0, -1},
        {"qword",
         REG_QWORD,
         {8, 7, 6, 5, 4, 3, 2, 1},
         S_OK,
         L"\x0708\x0506\x0304",
         F,
         0,
         F,
         0,
         S_OK,
         0x0102030405060708LL,
         -1},
        {"qword of 16 bytes", REG_QWORD, Bytes(16, 1), S_OK, L"\x0101\x0101\x0101\x0101\x0101\x0101\x0101", F,
         0, F, 0, F, 0, -1},
        {"qword of 4 bytes", REG_QWORD, {7, 0, 0, 0}, S_OK, L"\x0007", F, 0, F, 0, S_OK, 7, -1},
        {"string", REG_SZ, {'a', 0, 'b', 0, 'c', 0, 0, 0}, S_OK, L"abc", F, 0, F, 0, F, 0, -1},
        // REG_BINARY: for REG_SZ the registry itself counts a NUL found just after the data.
        {"string without terminator", REG_BINARY, {'a', 0, 'b', 0}, S_OK, L"a", F, 0, F, 0, F, 0, -1},
        {"embedded NUL kept", REG_SZ, {'a', 0, 0, 0, 'b', 0, 0, 0}, S_OK, L"a\0b"sv, F, 0, F, 0, F, 0, -1},
        {"odd 5 bytes", REG_BINARY, {'A', 0, 'B', 0, 'C'}, S_OK, L"A", F, 0, F, 0, F, 0, -1},
        {"odd 3 bytes", REG_BINARY, {'A', 0, 'B'}, S_OK, L"", F, 0, F, 0, F, 0, -1},
        {"one byte", REG_BINARY, {'A'}, S_OK, L"", F, 0, F, 0, F, 0, -1},
        {"terminator alone", REG_SZ, {0, 0}, S_OK, L"", F, 0, F, 0, F, 0, -1},
        {"no data", REG_SZ, {}, S_OK, L"", F, 0, F, 0, F, 0, 0},
        {"no data dword", REG_DWORD, {}, S_OK, L"", F, 0, F, 0, F, 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Bstr name(L"zxprefs.read");
        ASSERT_EQ(::RegSetValueExW(key.get(), name.get(), 0, c.type, c.data.data(),
                                   static_cast<DWORD>(c.data.size())),
                  ERROR_SUCCESS);
        Bstr text;
        EXPECT_EQ(branch->getCharPref(name.get(), text.put()), c.charHr);
        EXPECT_EQ(text.view(), SUCCEEDED(c.charHr) ? c.text : L""sv);
        LONG intValue = 77;
        EXPECT_EQ(branch->getIntPref(name.get(), &intValue), c.intHr);
        EXPECT_EQ(intValue, SUCCEEDED(c.intHr) ? c.intValue : 77) << "failed getters leave the out value";
        VARIANT_BOOL boolValue = 7;
        EXPECT_EQ(branch->getBoolPref(name.get(), &boolValue), c.boolHr);
        EXPECT_EQ(boolValue, SUCCEEDED(c.boolHr) ? c.boolValue : 7);
        LONGLONG int64Value = 77;
        EXPECT_EQ(branch->getInt64Pref(name.get(), &int64Value), c.int64Hr);
        EXPECT_EQ(int64Value, SUCCEEDED(c.int64Hr) ? c.int64Value : 77);
        VARIANT_BOOL has = 7;
        EXPECT_EQ(branch->prefHasUserValue(name.get(), &has), S_OK);
        EXPECT_EQ(has, c.has);
    }
}

// ---- Keys reached and bytes written, in this process's storage mode -------------------------------------

struct WriteCase {
    const wchar_t* name; // dots stay dots in value names
    std::function<HRESULT(IPrefBranch*, BSTR)> write;
    DWORD type;
    Bytes data;
};

const WriteCase kWrites[] = {
    {L"zxprefs.int",
     [](IPrefBranch* b, BSTR n) { return b->setIntPref(n, 640); },
     REG_DWORD,
     {0x80, 2, 0, 0}},
    {L"zxprefs.neg",
     [](IPrefBranch* b, BSTR n) { return b->setIntPref(n, -1); },
     REG_DWORD,
     {0xFF, 0xFF, 0xFF, 0xFF}},
    {L"zxprefs.true",
     [](IPrefBranch* b, BSTR n) { return b->setBoolPref(n, VARIANT_TRUE); },
     REG_DWORD,
     {1, 0, 0, 0}},
    {L"zxprefs.bool1", [](IPrefBranch* b, BSTR n) { return b->setBoolPref(n, 1); }, REG_DWORD, {0, 0, 0, 0}},
    {L"zxprefs.int64",
     [](IPrefBranch* b, BSTR n) { return b->setInt64Pref(n, 0x0102030405060708LL); },
     REG_QWORD,
     {8, 7, 6, 5, 4, 3, 2, 1}},
    {L"zxprefs.text",
     [](IPrefBranch* b, BSTR n) {
         Bstr v(L"abc");
         return b->setCharPref(n, v.get());
     },
     REG_SZ,
     {'a', 0, 'b', 0, 'c', 0, 0, 0}},
    {L"zxprefs.empty",
     [](IPrefBranch* b, BSTR n) {
         Bstr v(L"");
         return b->setCharPref(n, v.get());
     },
     REG_SZ,
     {0, 0}},
    {L"zxprefs.null", [](IPrefBranch* b, BSTR n) { return b->setCharPref(n, nullptr); }, REG_SZ, {0, 0}},
};

void CheckKeyPaths(bool low) {
    const ScopedKeyChain myapp = OwnedKey(L"extensions\\myapp", low), ab = OwnedKey(L"a\\b", low);
    static const struct {
        const char* what;
        bool withKey;
        const wchar_t* arg;
        const wchar_t* keyBelowBase;
    } cases[] = {
        {"init with the empty root", false, L"", L"Zembrolatix"},
        // The doubled separator goes to the registry unchanged; Wine's registry reads the empty part
        // as nothing, so the key is a\b.
        {"init with a doubled dot", false, L"a..b", L"Zembrolatix\\a\\b"},
        {"init with a dotted root", false, L"extensions.myapp.", L"Zembrolatix\\extensions\\myapp"},
        {"InitWithKey", true, L"Zembrolatix\\extensions\\myapp\\", L"Zembrolatix\\extensions\\myapp"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ComPtr<IPrefBranch> branch = NewBranch();
        ASSERT_TRUE(branch);
        Bstr arg(c.arg);
        ASSERT_EQ(c.withKey ? branch->InitWithKey(arg.get()) : branch->init(arg.get()), S_OK);
        const std::wstring here = Base(low) + c.keyBelowBase;
        const std::wstring other = Base(!low) + c.keyBelowBase;
        for (const auto& w : kWrites) {
            SCOPED_TRACE(std::wstring(w.name));
            Bstr name(w.name);
            ASSERT_EQ(w.write(branch.get(), name.get()), S_OK);
            RawValue raw = ReadRaw(here, w.name);
            EXPECT_EQ(raw.status, ERROR_SUCCESS);
            EXPECT_EQ(raw.type, w.type);
            EXPECT_EQ(raw.data, w.data);
            EXPECT_NE(ReadRaw(other, w.name).status, ERROR_SUCCESS) << "written in the other storage mode";
        }
        for (const auto& w : kWrites)
            DeleteValue(here, w.name);
    }
}

// The ordinary locations are checked by this program run again in the XP mode (tests/support/TestMain.h).
bool InXpMode() {
    return ::GetEnvironmentVariableW(L"ZEMBROLATIX_TEST_STORAGE", nullptr, 0) != 0;
}

DWORD RunInXpMode(const wchar_t* filter) {
    wchar_t self[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring commandLine = L"\"" + std::wstring(self) + L"\" --gtest_brief=1 --gtest_filter=" + filter;
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = ::GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = ::GetStdHandle(STD_OUTPUT_HANDLE);
    startup.hStdError = ::GetStdHandle(STD_ERROR_HANDLE);
    PROCESS_INFORMATION info{};
    ::SetEnvironmentVariableW(L"ZEMBROLATIX_TEST_STORAGE", L"ordinary");
    const BOOL started = ::CreateProcessW(self, commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr,
                                          nullptr, &startup, &info);
    ::SetEnvironmentVariableW(L"ZEMBROLATIX_TEST_STORAGE", nullptr);
    if (!started) return 1001;
    API::Win32::Handle process(info.hProcess), thread(info.hThread);
    if (::WaitForSingleObject(info.hProcess, 300000) != WAIT_OBJECT_0) {
        ::TerminateProcess(info.hProcess, 1002);
        return 1002;
    }
    DWORD code = 1003;
    ::GetExitCodeProcess(info.hProcess, &code);
    return code;
}

} // namespace

TEST(PrefKeyPaths, LowLocations) {
    if (InXpMode()) GTEST_SKIP();
    ASSERT_TRUE(UseLowStorage()) << "the test prefix reports Windows 6.1";
    CheckKeyPaths(true);
}

TEST(PrefKeyPaths, OrdinaryLocations) {
    if (InXpMode()) {
        ASSERT_FALSE(UseLowStorage()) << "the XP mode";
        CheckKeyPaths(false);
        return;
    }
    EXPECT_EQ(RunInXpMode(L"PrefKeyPaths.OrdinaryLocations"), 0u);
}
