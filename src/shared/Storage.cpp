#include "shared/Storage.h"

#include "script/Boundary.h"

#include <shlobj.h>

namespace {

constexpr std::wstring_view kOrdinaryRoot = L"Software\\";
constexpr std::wstring_view kLowRoot = L"Software\\Microsoft\\Internet Explorer\\LowRegistry\\";
constexpr std::wstring_view kCompanyProduct = L"Belvanquist\\Zembrolatix";
constexpr std::wstring_view kProduct = L"Zembrolatix";

// Computed at first use; concurrent first uses compute the same value.
bool g_lowComputed = false;
bool g_low = false;

std::wstring Concat(std::initializer_list<std::wstring_view> parts) {
    std::wstring out;
    for (auto p : parts)
        out.append(p);
    return out;
}

} // namespace

bool UseLowStorage() noexcept {
    if (!g_lowComputed) {
        OSVERSIONINFOW info{};
        info.dwOSVersionInfoSize = sizeof(info);
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
        ::GetVersionExW(&info);
#pragma GCC diagnostic pop
        g_low = info.dwMajorVersion > 5;
        g_lowComputed = true;
    }
    return g_low;
}

void OverrideLowStorage(bool low) noexcept {
    g_low = low;
    g_lowComputed = true;
}

namespace StoragePaths {

std::wstring SettingsRootKey(bool low) {
    return Concat({low ? kLowRoot : kOrdinaryRoot, kCompanyProduct});
}

std::wstring ExtensionKey(bool low, std::wstring_view name) {
    return Concat({SettingsRootKey(low), L"\\Extensions\\", name});
}

std::wstring PreferenceKey(bool low, std::wstring_view branchText) {
    return Concat({low ? kLowRoot : kOrdinaryRoot, branchText});
}

std::wstring PrivateDataFolder(bool low, std::wstring_view localAppData) {
    return Concat({localAppData, low ? L"Low" : L"", L"\\", kProduct});
}

std::wstring LowLogFolder(std::wstring_view localAppData) {
    return PrivateDataFolder(true, localAppData);
}

std::wstring LowLogFile(std::wstring_view localAppData) {
    return Concat({LowLogFolder(localAppData), L"\\", kProduct, L".log"});
}

std::wstring OrdinaryLogFile(std::wstring_view modulePath) {
    return Concat({modulePath, L".log"});
}

} // namespace StoragePaths

void OpenSettingsRootKey(API::Win32::RegKey& key) noexcept {
    try {
        const std::wstring path = StoragePaths::SettingsRootKey(UseLowStorage());
        key.create(HKEY_CURRENT_USER, path.c_str(), nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr,
                   nullptr);
    } catch (...) {
        key.close();
    }
}

HRESULT LocalAppDataFolder(std::wstring& out) {
    wchar_t buffer[MAX_PATH + 1] = {};
    HRESULT hr = ::SHGetFolderPathW(nullptr, CSIDL_LOCAL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, buffer);
    if (FAILED(hr)) return hr;
    out = buffer;
    return S_OK;
}

HRESULT PrivateDataFolder(std::wstring& out) {
    std::wstring appData;
    HRESULT hr = LocalAppDataFolder(appData);
    if (FAILED(hr)) return hr;
    std::wstring folder = StoragePaths::PrivateDataFolder(UseLowStorage(), appData);
    if (folder.size() > MAX_PATH) return FailWithError(ERROR_FILENAME_EXCED_RANGE);
    out = std::move(folder);
    return S_OK;
}
