// Shared by the bundle tests of both storage modes: the test package module built under
// tests/doubles, and packages registered under the Extensions key for the length of a test.
#pragma once

#include "shared/Storage.h"

#include <windows.h>

#include <string>

// <build>/tests/doubles/zbt_bundle_module.dll; the test programs run from the build folder.
inline std::wstring TestModulePath() {
    wchar_t exe[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, exe, MAX_PATH);
    std::wstring path(exe);
    path.resize(path.find_last_of(L'\\') + 1);
    return path + L"tests\\doubles\\zbt_bundle_module.dll";
}

// Set by the test module's start-up code whenever an ordinary load runs it.
constexpr const wchar_t* kModuleStartedVariable = L"ZBT_BUNDLE_MODULE_STARTED";

inline bool TestModuleStarted() {
    return ::GetEnvironmentVariableW(kModuleStartedVariable, nullptr, 0) != 0;
}

// A name registered under the Extensions key of one storage mode until the end of the scope.
class ScopedExtension {
public:
    ScopedExtension(bool low, const std::wstring& name, const std::wstring& text)
        : m_path(StoragePaths::ExtensionKey(low, name)) {
        HKEY key = nullptr;
        if (::RegCreateKeyExW(HKEY_CURRENT_USER, m_path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                              nullptr) != ERROR_SUCCESS)
            return;
        ::RegSetValueExW(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                         static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
        ::RegCloseKey(key);
    }
    // Registered with raw value data of any type (or none, for a null data pointer).
    ScopedExtension(bool low, const std::wstring& name, DWORD type, const void* data, DWORD size)
        : m_path(StoragePaths::ExtensionKey(low, name)) {
        HKEY key = nullptr;
        if (::RegCreateKeyExW(HKEY_CURRENT_USER, m_path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                              nullptr) != ERROR_SUCCESS)
            return;
        if (data) ::RegSetValueExW(key, nullptr, 0, type, static_cast<const BYTE*>(data), size);
        ::RegCloseKey(key);
    }
    ~ScopedExtension() { ::RegDeleteKeyW(HKEY_CURRENT_USER, m_path.c_str()); }
    ScopedExtension(const ScopedExtension&) = delete;
    ScopedExtension& operator=(const ScopedExtension&) = delete;

private:
    std::wstring m_path;
};

inline bool ExtensionKeyExists(bool low, const std::wstring& name) {
    HKEY key = nullptr;
    if (::RegOpenKeyExW(HKEY_CURRENT_USER, StoragePaths::ExtensionKey(low, name).c_str(), 0, KEY_READ,
                        &key) != ERROR_SUCCESS)
        return false;
    ::RegCloseKey(key);
    return true;
}
