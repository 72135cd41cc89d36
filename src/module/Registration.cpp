// Registration entry points: the AppID, the classes of the object map with their ProgIDs and categories,
// and the type library, machine-wide or (DllInstall "user") for the current user.
#include "module/Module.h"
#include "module/KeptInterfaceKeys.h"
#include "module/ObjectMap.h"
#include "module/OwnedKey.h"
#include "module/RegistrarScript.h"
#include "module/RegistryApplier.h"
#include "shared/Bstr.h"
#include "shared/ComPtr.h"
#include "shared/Win32.h"

#include <comcat.h>
#include <oleauto.h>
#include <windows.h>

#include <string>
#include <utility>

namespace {

constexpr wchar_t kAppId[] = L"{831C5CAE-0208-4797-86F9-412F02094DAB}";

// {0002E005-0000-0000-C000-000000000046}
constexpr CLSID kComponentCategoriesManager = {
    0x0002E005, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
// {0002E012-0000-0000-C000-000000000046}
constexpr IID kCatRegisterIid = {
    0x0002E012, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
// Safe for scripting and safe for initializing.
constexpr CATID kSafeCategories[] = {
    {0x7DD95801, 0x9882, 0x11CF, {0x9F, 0xA9, 0x00, 0xAA, 0x00, 0x6C, 0x42, 0xC4}},
    {0x7DD95802, 0x9882, 0x11CF, {0x9F, 0xA9, 0x00, 0xAA, 0x00, 0x6C, 0x42, 0xC4}},
};

// Switched on by DllInstall "user"; stays on for the rest of the process.
bool g_perUserRegistration = false;

using RegisterTypeLibForUserFunc = HRESULT(WINAPI*)(ITypeLib*, OLECHAR*, OLECHAR*);
using UnRegisterTypeLibForUserFunc = HRESULT(WINAPI*)(REFGUID, WORD, WORD, LCID, SYSKIND);

HRESULT LastErrorResult() noexcept {
    DWORD error = ::GetLastError();
    return error != ERROR_SUCCESS ? HRESULT_FROM_WIN32(error) : E_FAIL;
}

// Runs registration with the thread's locale set to the system default, restoring it afterwards.
class SystemLocaleScope {
public:
    SystemLocaleScope() noexcept : m_saved(::GetThreadLocale()) { ::SetThreadLocale(LOCALE_SYSTEM_DEFAULT); }
    SystemLocaleScope(const SystemLocaleScope&) = delete;
    SystemLocaleScope& operator=(const SystemLocaleScope&) = delete;
    ~SystemLocaleScope() { ::SetThreadLocale(m_saved); }

private:
    LCID m_saved;
};

HRESULT GetModulePath(std::wstring& path) {
    wchar_t buffer[MAX_PATH];
    DWORD length = ::GetModuleFileNameW(ModuleInstance(), buffer, MAX_PATH);
    if (length == 0) return LastErrorResult();
    if (length == MAX_PATH) return HRESULT_FROM_WIN32(ERROR_INSUFFICIENT_BUFFER);
    path.assign(buffer, length);
    return S_OK;
}

// The 8-bit text of a "REGISTRY" resource of the module file, in the thread's code page.
HRESULT LoadScriptText(const std::wstring& modulePath, UINT id, std::wstring& text) {
    API::Win32::Library module(modulePath.c_str(), LOAD_LIBRARY_AS_DATAFILE);
    if (!module.isValid()) return LastErrorResult();
    HRSRC resource = ::FindResourceW(module.get(), MAKEINTRESOURCEW(id), L"REGISTRY");
    if (!resource) return LastErrorResult();
    DWORD size = ::SizeofResource(module.get(), resource);
    HGLOBAL loaded = ::LoadResource(module.get(), resource);
    const char* data = loaded ? static_cast<const char*>(::LockResource(loaded)) : nullptr;
    if (!data) return LastErrorResult();
    text.clear();
    if (size == 0) return S_OK;
    int length = ::MultiByteToWideChar(CP_THREAD_ACP, 0, data, static_cast<int>(size), nullptr, 0);
    if (length <= 0) return LastErrorResult();
    text.resize(static_cast<size_t>(length));
    if (::MultiByteToWideChar(CP_THREAD_ACP, 0, data, static_cast<int>(size), text.data(), length) != length)
        return LastErrorResult();
    return S_OK;
}

// Runs a registration script with the module's replacements, and with the class's for a class script.
HRESULT RunScript(UINT id, const ObjectMapEntry* entry, bool doRegister) {
    std::wstring modulePath;
    if (HRESULT hr = GetModulePath(modulePath); FAILED(hr)) return hr;
    std::wstring text;
    if (HRESULT hr = LoadScriptText(modulePath, id, text); FAILED(hr)) return hr;
    Registrar::Replacements replacements;
    if (entry) {
        wchar_t clsid[40] = {};
        if (::StringFromGUID2(*entry->clsid, clsid, static_cast<int>(std::size(clsid))) == 0) return E_FAIL;
        replacements = Registrar::ClassReplacements(modulePath, kAppId, entry->name, clsid);
    } else {
        replacements = Registrar::ModuleReplacements(modulePath, kAppId);
    }
    Registrar::Script script;
    HRESULT hr = Registrar::PrepareScript(text, replacements, g_perUserRegistration, script);
    if (FAILED(hr)) return hr;
    return Registrar::ApplyScript(script, doRegister);
}

// The class script, then for a class safe for scripting its pre-approval.
HRESULT RunClassScripts(const ObjectMapEntry& entry, bool doRegister) {
    if (HRESULT hr = RunScript(kClassRegistryScript, &entry, doRegister); FAILED(hr)) return hr;
    if (!entry.safeForScripting) return S_OK;
    return RunScript(kPreApprovedRegistryScript, &entry, doRegister);
}

ComPtr<ICatRegister> CreateCategoryManager() noexcept {
    ComPtr<ICatRegister> manager;
    if (FAILED(::CoCreateInstance(kComponentCategoriesManager, nullptr, CLSCTX_INPROC_SERVER, kCatRegisterIid,
                                  manager.put_void())))
        manager.reset();
    return manager;
}

HRESULT RegisterCategories(const ObjectMapEntry& entry) {
    if (!entry.safeForScripting) return S_OK;
    ComPtr<ICatRegister> manager = CreateCategoryManager();
    if (!manager) return S_OK; // no category manager: nothing to register
    for (CATID category : kSafeCategories) {
        if (HRESULT hr = manager->RegisterClassImplCategories(*entry.clsid, 1, &category); FAILED(hr))
            return hr;
    }
    return S_OK;
}

// Deletes HKCR\CLSID\{C}\<name> when nothing is left below it.
void DeleteEmptyCategoryKey(const std::wstring& classKey, const wchar_t* name) {
    std::wstring path = classKey + L"\\" + name;
    Registrar::OwnedKey key;
    if (!key.open(HKEY_CLASSES_ROOT, path.c_str(), KEY_READ)) return;
    bool keep = Registrar::HasSubkeys(key.get());
    key.close();
    if (!keep) ::RegDeleteKeyW(HKEY_CLASSES_ROOT, path.c_str());
}

void UnregisterCategories(const ObjectMapEntry& entry) {
    if (entry.safeForScripting) {
        if (ComPtr<ICatRegister> manager = CreateCategoryManager()) {
            for (CATID category : kSafeCategories)
                manager->UnRegisterClassImplCategories(*entry.clsid, 1, &category);
        }
    }
    wchar_t clsid[40] = {};
    if (::StringFromGUID2(*entry.clsid, clsid, static_cast<int>(std::size(clsid))) == 0) return;
    std::wstring classKey = std::wstring(L"CLSID\\") + clsid;
    DeleteEmptyCategoryKey(classKey, L"Required Categories");
    DeleteEmptyCategoryKey(classKey, L"Implemented Categories");
}

// Loads the type library from the module file, or from the .tlb file beside it; path is the one used.
HRESULT LoadModuleTypeLib(ComPtr<ITypeLib>& typeLib, std::wstring& path) {
    if (HRESULT hr = GetModulePath(path); FAILED(hr)) return hr;
    HRESULT hr = ::LoadTypeLib(path.c_str(), typeLib.put());
    if (SUCCEEDED(hr)) return hr;
    path = Registrar::ReplaceExtension(path, L".tlb");
    return ::LoadTypeLib(path.c_str(), typeLib.put());
}

// An export of the already loaded OLE Automation module, or null when it has no such export.
template <class F> F OleAutomationExport(const char* name) noexcept {
    HMODULE oleaut = ::GetModuleHandleW(L"OLEAUT32.DLL");
    FARPROC proc = oleaut ? ::GetProcAddress(oleaut, name) : nullptr;
    return reinterpret_cast<F>(reinterpret_cast<void*>(proc));
}

// Runs a registration call for typeLib, leaving the interfaces it describes for other libraries
// registered as they were (see KeptInterfaceKeys).
template <class Call> HRESULT KeepingOtherInterfaces(ITypeLib* typeLib, Call&& call) {
    Registrar::KeptInterfaceKeys kept;
    kept.Save(typeLib);
    const HRESULT hr = call();
    kept.Restore();
    return hr;
}

HRESULT RegisterTypeLibrary() {
    ComPtr<ITypeLib> typeLib;
    std::wstring path;
    if (HRESULT hr = LoadModuleTypeLib(typeLib, path); FAILED(hr)) return hr;
    Bstr helpFile;
    std::wstring helpFolder;
    if (SUCCEEDED(typeLib->GetDocumentation(-1, nullptr, nullptr, nullptr, helpFile.put())) &&
        helpFile.length())
        helpFolder = Registrar::FolderOfPath(helpFile.view());
    OLECHAR* help = helpFolder.empty() ? nullptr : helpFolder.data();
    return KeepingOtherInterfaces(typeLib.get(), [&] {
        if (g_perUserRegistration) {
            auto forUser = OleAutomationExport<RegisterTypeLibForUserFunc>("RegisterTypeLibForUser");
            if (forUser) return forUser(typeLib.get(), path.data(), help);
        }
        return ::RegisterTypeLib(typeLib.get(), path.data(), help);
    });
}

HRESULT UnregisterTypeLibrary() {
    ComPtr<ITypeLib> typeLib;
    std::wstring path;
    if (HRESULT hr = LoadModuleTypeLib(typeLib, path); FAILED(hr)) return hr;
    TLIBATTR* attributes = nullptr;
    if (HRESULT hr = typeLib->GetLibAttr(&attributes); FAILED(hr)) return hr;
    TLIBATTR attr = *attributes;
    typeLib->ReleaseTLibAttr(attributes);
    return KeepingOtherInterfaces(typeLib.get(), [&] {
        if (g_perUserRegistration) {
            auto forUser = OleAutomationExport<UnRegisterTypeLibForUserFunc>("UnRegisterTypeLibForUser");
            if (forUser)
                return forUser(attr.guid, attr.wMajorVerNum, attr.wMinorVerNum, attr.lcid, attr.syskind);
        }
        return ::UnRegisterTypeLib(attr.guid, attr.wMajorVerNum, attr.wMinorVerNum, attr.lcid, attr.syskind);
    });
}

HRESULT RegisterServer() {
    SystemLocaleScope locale;
    if (HRESULT hr = RunScript(kAppIdRegistryScript, nullptr, true); FAILED(hr)) return hr;
    for (ObjectMapEntry* entry = ObjectMapBegin(); entry != ObjectMapEnd(); ++entry) {
        if (HRESULT hr = RunClassScripts(*entry, true); FAILED(hr)) return hr;
        if (HRESULT hr = RegisterCategories(*entry); FAILED(hr)) return hr;
    }
    return RegisterTypeLibrary();
}

HRESULT UnregisterServer() {
    SystemLocaleScope locale;
    for (ObjectMapEntry* entry = ObjectMapBegin(); entry != ObjectMapEnd(); ++entry) {
        UnregisterCategories(*entry);
        if (HRESULT hr = RunClassScripts(*entry, false); FAILED(hr)) return hr;
    }
    if (HRESULT hr = UnregisterTypeLibrary(); FAILED(hr)) return hr;
    return RunScript(kAppIdRegistryScript, nullptr, false);
}

} // namespace

STDAPI DllRegisterServer() {
    return ComBoundary([] { return RegisterServer(); });
}

STDAPI DllUnregisterServer() {
    return ComBoundary([] { return UnregisterServer(); });
}

STDAPI DllInstall(BOOL install, LPCWSTR commandLine) {
    return ComBoundary([&] {
        if (Registrar::IsPerUserCommandLine(commandLine)) g_perUserRegistration = true;
        if (!install) return UnregisterServer();
        HRESULT hr = RegisterServer();
        if (FAILED(hr)) UnregisterServer();
        return hr;
    });
}
