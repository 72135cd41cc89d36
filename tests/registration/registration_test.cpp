// DllRegisterServer, DllUnregisterServer and DllInstall of the built library against the registry.
#include "registration/RegistryProbe.h"
#include "module/ObjectMap.h"
#include "script/TypeInfoHolder.h"
#include "shared/Bstr.h"
#include "support/TypeLibWalk.h"

#include <oleauto.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

using namespace RegistrationTest;

namespace {

struct ClassEntry {
    std::wstring name;
    std::wstring clsid;
    bool safe;
};

// The classes of the built library: each coclass of its type library, safe for scripting as the object
// map says.
const std::vector<ClassEntry>& Classes() {
    static const std::vector<ClassEntry> classes = [] {
        std::vector<ClassEntry> out;
        ComPtr<ITypeLib> typeLib;
        if (FAILED(::LoadTypeLibEx(BuiltLibraryPath().c_str(), REGKIND_NONE, typeLib.put()))) return out;
        for (const CoclassEntry& coclass : Coclasses(typeLib.get())) {
            const CLSID clsid = coclass.clsid;
            wchar_t text[40] = {};
            ::StringFromGUID2(clsid, text, 40);
            const ObjectMapEntry* entry = std::find_if(ObjectMapBegin(), ObjectMapEnd(), [&](const auto& e) {
                return ::IsEqualCLSID(*e.clsid, clsid);
            });
            out.push_back({coclass.name, text, entry != ObjectMapEnd() && entry->safeForScripting});
        }
        return out;
    }();
    return classes;
}

const std::wstring kLibId = L"{319E3E22-1234-4401-87F6-5D25FB1DBCAC}";
const std::wstring kAppId = L"{831C5CAE-0208-4797-86F9-412F02094DAB}";
const std::wstring kPreApproved = L"Software\\Microsoft\\Windows\\CurrentVersion\\Ext\\PreApproved";
const std::wstring kSafeForScripting = L"{7DD95801-9882-11CF-9FA9-00AA006C42C4}";
const std::wstring kSafeForInitializing = L"{7DD95802-9882-11CF-9FA9-00AA006C42C4}";

// Where the class entries go: HKCR machine-wide, HKCU\Software\Classes per user.
struct ClassesPlace {
    HKEY root;
    std::wstring prefix;
};
const ClassesPlace kMachine{HKEY_CLASSES_ROOT, L""};
const ClassesPlace kPerUser{HKEY_CURRENT_USER, L"Software\\Classes\\"};

void ExpectRegistered(const ClassesPlace& at, const std::wstring& modulePath) {
    HKEY root = at.root;
    const std::wstring& p = at.prefix;
    EXPECT_EQ(ReadString(root, p + L"AppID\\" + kAppId), L"Zembrolatix");
    EXPECT_EQ(ReadString(root, p + L"AppID\\Zembrolatix.DLL", L"AppID"), kAppId);
    EXPECT_FALSE(Classes().empty());
    for (const ClassEntry& c : Classes()) {
        SCOPED_TRACE(Narrow(c.name));
        const std::wstring name = c.name;
        const std::wstring progId = L"Zembrolatix." + name + L".1";
        const std::wstring independent = L"Zembrolatix." + name;
        const std::wstring display = name + L" Class";
        const std::wstring clsidKey = p + L"CLSID\\" + c.clsid;

        EXPECT_EQ(ReadString(root, p + progId), display);
        EXPECT_EQ(ReadString(root, p + progId + L"\\CLSID"), c.clsid);
        EXPECT_EQ(ReadString(root, p + independent), display);
        EXPECT_EQ(ReadString(root, p + independent + L"\\CLSID"), c.clsid);
        EXPECT_EQ(ReadString(root, p + independent + L"\\CurVer"), progId);

        EXPECT_EQ(ReadString(root, clsidKey), display);
        EXPECT_EQ(ReadString(root, clsidKey + L"\\ProgID"), progId);
        EXPECT_EQ(ReadString(root, clsidKey + L"\\VersionIndependentProgID"), independent);
        EXPECT_TRUE(KeyExists(root, clsidKey + L"\\Programmable"));
        EXPECT_EQ(ReadString(root, clsidKey + L"\\InprocServer32"), modulePath);
        EXPECT_EQ(ReadString(root, clsidKey + L"\\InprocServer32", L"ThreadingModel"), L"Apartment");
        EXPECT_EQ(ReadString(root, clsidKey + L"\\TypeLib"), kLibId);

        if (c.safe) {
            EXPECT_EQ(ReadString(HKEY_LOCAL_MACHINE, kPreApproved + L"\\" + c.clsid), L"");
        } else {
            EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kPreApproved + L"\\" + c.clsid));
        }
    }
}

// The categories go through the system's category manager, into the classes view of the registry.
void ExpectCategories() {
    for (const ClassEntry& c : Classes()) {
        SCOPED_TRACE(Narrow(c.name));
        const std::wstring categories = L"CLSID\\" + c.clsid + L"\\Implemented Categories";
        if (c.safe) {
            EXPECT_TRUE(KeyExists(HKEY_CLASSES_ROOT, categories + L"\\" + kSafeForScripting));
            EXPECT_TRUE(KeyExists(HKEY_CLASSES_ROOT, categories + L"\\" + kSafeForInitializing));
        } else {
            EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, categories));
        }
    }
}

void ExpectNoClassKeys(const ClassesPlace& at) {
    for (const ClassEntry& c : Classes()) {
        SCOPED_TRACE(Narrow(c.name));
        const std::wstring name = c.name;
        EXPECT_FALSE(KeyExists(at.root, at.prefix + L"Zembrolatix." + name + L".1"));
        EXPECT_FALSE(KeyExists(at.root, at.prefix + L"Zembrolatix." + name));
        EXPECT_FALSE(KeyExists(at.root, at.prefix + L"CLSID\\" + c.clsid));
        EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kPreApproved + L"\\" + c.clsid));
    }
}

// The type library's registration for this build's platform.
std::wstring TypeLibPath() {
    const std::wstring version =
        L"\\" + std::to_wstring(kTypeLibMajorVersion) + L"." + std::to_wstring(kTypeLibMinorVersion);
    return kLibId + version + (sizeof(void*) == 8 ? L"\\0\\win64" : L"\\0\\win32");
}

class RegistrationTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(library.ok()); }

    LoadedLibrary library{BuiltLibraryPath()};
};

TEST_F(RegistrationTest, RegisterWritesEveryEntry) {
    ASSERT_EQ(library.registerServer(), S_OK);
    ExpectRegistered(kMachine, library.ModulePath());
    ExpectCategories();
    EXPECT_EQ(ReadString(HKEY_CLASSES_ROOT, L"TypeLib\\" + TypeLibPath()), library.ModulePath());
    // Registering again over an existing registration gives the same result.
    ASSERT_EQ(library.registerServer(), S_OK);
    ExpectRegistered(kMachine, library.ModulePath());
}

TEST_F(RegistrationTest, UnregisterRemovesClassKeysAndKeepsSharedKeys) {
    ASSERT_EQ(library.registerServer(), S_OK);
    ASSERT_EQ(library.unregisterServer(), S_OK);
    ExpectNoClassKeys(kMachine);
    EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, L"AppID\\" + kAppId));
    EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, L"AppID\\Zembrolatix.DLL"));
    EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, L"TypeLib\\" + TypeLibPath()));
    EXPECT_TRUE(KeyExists(HKEY_CLASSES_ROOT, L"CLSID"));
    EXPECT_TRUE(KeyExists(HKEY_CLASSES_ROOT, L"AppID"));
    EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, kPreApproved));

    // DllInstall with install false unregisters as well.
    ASSERT_EQ(library.registerServer(), S_OK);
    EXPECT_EQ(library.install(FALSE, nullptr), S_OK);
    ExpectNoClassKeys(kMachine);
    ASSERT_EQ(library.registerServer(), S_OK);
}

// MSXML's interfaces, which the type library describes for DOMParser, stay registered as MSXML's: the
// library neither points them at itself nor deletes them when it goes.
TEST_F(RegistrationTest, OtherLibrariesInterfacesStayAsTheyWere) {
    const std::wstring document = L"Interface\\{2933BF81-7B36-11D2-B20E-00C04F983E60}"; // IXMLDOMDocument
    const std::wstring msxml = L"{F5078F18-C551-11D3-89B9-0000F81FE221}";
    {
        ScopedKey key;
        ASSERT_EQ(::RegCreateKeyExW(HKEY_CLASSES_ROOT, (document + L"\\TypeLib").c_str(), 0, nullptr, 0,
                                    KEY_WRITE, nullptr, &key.h, nullptr),
                  ERROR_SUCCESS);
        ASSERT_EQ(::RegSetValueExW(key.h, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(msxml.c_str()),
                                   static_cast<DWORD>((msxml.size() + 1) * sizeof(wchar_t))),
                  ERROR_SUCCESS);
    }
    const auto proxy = ReadString(HKEY_CLASSES_ROOT, document + L"\\ProxyStubClsid32");
    for (const auto& step : {+[](LoadedLibrary& l) { return l.registerServer(); },
                             +[](LoadedLibrary& l) { return l.unregisterServer(); },
                             +[](LoadedLibrary& l) { return l.registerServer(); }}) {
        ASSERT_EQ(step(library), S_OK);
        EXPECT_EQ(ReadString(HKEY_CLASSES_ROOT, document + L"\\TypeLib"), msxml);
        EXPECT_EQ(ReadString(HKEY_CLASSES_ROOT, document + L"\\ProxyStubClsid32"), proxy);
    }
}

TEST_F(RegistrationTest, ModulePathWithQuoteIsWrittenOnce) {
    wchar_t temp[MAX_PATH] = {};
    ASSERT_NE(::GetTempPathW(MAX_PATH, temp), 0u);
    const std::wstring folder = std::wstring(temp) + L"zembrolatix reg 'quoted'";
    const std::wstring copy = folder + L"\\Zembrolatix.dll";
    ::CreateDirectoryW(folder.c_str(), nullptr);
    ASSERT_TRUE(::CopyFileW(BuiltLibraryPath().c_str(), copy.c_str(), FALSE));
    {
        LoadedLibrary quoted(copy);
        ASSERT_TRUE(quoted.ok());
        ASSERT_NE(quoted.ModulePath().find(L"'quoted'"), std::wstring::npos);
        EXPECT_EQ(quoted.registerServer(), S_OK);
        ExpectRegistered(kMachine, quoted.ModulePath());
        EXPECT_EQ(quoted.unregisterServer(), S_OK);
    }
    ::DeleteFileW(copy.c_str());
    ::RemoveDirectoryW(folder.c_str());
    EXPECT_EQ(library.registerServer(), S_OK);
}

TEST_F(RegistrationTest, ModulePathFillingTheBufferIsRefused) {
    ASSERT_EQ(library.registerServer(), S_OK);
    wchar_t temp[MAX_PATH] = {};
    ASSERT_NE(::GetTempPathW(MAX_PATH, temp), 0u);
    const std::wstring outer = std::wstring(temp) + L"zembrolatix long path";
    const std::wstring folder = outer + L"\\" + std::wstring(240, L'x');
    const std::wstring copy = folder + L"\\Zembrolatix.dll";
    ASSERT_GE(copy.size(), size_t(MAX_PATH));
    ::CreateDirectoryW(outer.c_str(), nullptr);
    ::CreateDirectoryW(folder.c_str(), nullptr);
    if (!::CopyFileW(BuiltLibraryPath().c_str(), copy.c_str(), FALSE))
        GTEST_SKIP() << "no paths this long here";
    bool loaded = false;
    {
        LoadedLibrary longPath(copy);
        loaded = longPath.ok();
        if (loaded) {
            EXPECT_EQ(longPath.registerServer(), HRESULT_FROM_WIN32(ERROR_INSUFFICIENT_BUFFER));
            EXPECT_EQ(longPath.unregisterServer(), HRESULT_FROM_WIN32(ERROR_INSUFFICIENT_BUFFER));
        }
    }
    ::DeleteFileW(copy.c_str());
    ::RemoveDirectoryW(folder.c_str());
    ::RemoveDirectoryW(outer.c_str());
    if (!loaded) GTEST_SKIP() << "the loader takes no module paths this long here";
    // Nothing was written: the registration of the built library is untouched.
    ExpectRegistered(kMachine, library.ModulePath());
}

TEST_F(RegistrationTest, FailedInstallLeavesNoClassKeyBehind) {
    ASSERT_EQ(library.registerServer(), S_OK);
    // The last class of the map cannot write its ProgID's CLSID key below a volatile key.
    const std::wstring blocker = L"Zembrolatix.WindowManager.1";
    DeleteTree(HKEY_CLASSES_ROOT, blocker);
    {
        ScopedKey volatileKey;
        ASSERT_EQ(::RegCreateKeyExW(HKEY_CLASSES_ROOT, blocker.c_str(), 0, nullptr, REG_OPTION_VOLATILE,
                                    KEY_ALL_ACCESS, nullptr, &volatileKey.h, nullptr),
                  ERROR_SUCCESS);
    }

    EXPECT_EQ(library.install(TRUE, nullptr), HRESULT_FROM_WIN32(ERROR_CHILD_MUST_BE_VOLATILE));
    ExpectNoClassKeys(kMachine);

    DeleteTree(HKEY_CLASSES_ROOT, blocker);
    EXPECT_EQ(library.install(TRUE, nullptr), S_OK);
    ExpectRegistered(kMachine, library.ModulePath());
}

// Per-user mode stays on for the rest of a process: these cases run in a child process.
bool InPerUserChild() {
    return ::GetEnvironmentVariableW(L"ZEMBROLATIX_PER_USER_CHILD", nullptr, 0) != 0;
}

TEST(PerUserChild, InstallUserWritesBelowCurrentUserClasses) {
    if (!InPerUserChild()) GTEST_SKIP() << "runs in the child process of PerUserRegistration";
    LoadedLibrary library(BuiltLibraryPath());
    ASSERT_TRUE(library.ok());
    ASSERT_EQ(library.install(TRUE, L"USER"), S_OK);
    ExpectRegistered(kPerUser, library.ModulePath());
    // The type library per user: HKCU's classes on Windows; Wine writes it machine-wide.
    EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, L"Software\\Classes\\TypeLib\\" + TypeLibPath()) ||
                KeyExists(HKEY_CLASSES_ROOT, L"TypeLib\\" + TypeLibPath()));

    ASSERT_EQ(library.install(FALSE, L"user"), S_OK);
    ExpectNoClassKeys(kPerUser);
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, L"Software\\Classes\\AppID\\" + kAppId));
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, L"Software\\Classes\\AppID\\Zembrolatix.DLL"));
    EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, L"Software\\Classes"));
}

TEST(PerUserRegistration, RunsInChildProcess) {
    if (InPerUserChild()) GTEST_SKIP();
    wchar_t exe[MAX_PATH] = {};
    ASSERT_NE(::GetModuleFileNameW(nullptr, exe, MAX_PATH), 0u);
    std::wstring commandLine =
        L"\"" + std::wstring(exe) + L"\" --gtest_brief=1 --gtest_filter=PerUserChild.*";
    ASSERT_TRUE(::SetEnvironmentVariableW(L"ZEMBROLATIX_PER_USER_CHILD", L"1"));
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    BOOL started = ::CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                                    &startup, &process);
    ::SetEnvironmentVariableW(L"ZEMBROLATIX_PER_USER_CHILD", nullptr);
    ASSERT_TRUE(started);
    ScopedHandle thread(process.hThread);
    ScopedHandle child(process.hProcess);
    EXPECT_EQ(::WaitForSingleObject(child.h, 300000), WAIT_OBJECT_0);
    DWORD exitCode = 1;
    ::GetExitCodeProcess(child.h, &exitCode);
    EXPECT_EQ(exitCode, 0u) << "the per-user cases failed in the child process";
}

} // namespace
