// Where the library keeps its per-user settings and files: the ordinary places, or on Windows
// versions above 5 the low ones that the browser's protected mode may write. Every location of the
// library is composed here and nowhere else.
#pragma once

#include "shared/Win32.h"

#include <string>
#include <string_view>

// True when the operating system's major version is greater than 5; decided once per process.
bool UseLowStorage() noexcept;
// For test programs only: UseLowStorage answers low from now on, whatever the version.
void OverrideLowStorage(bool low) noexcept;

// Plain path rules, for either storage mode.
namespace StoragePaths {
// Under HKEY_CURRENT_USER.
std::wstring SettingsRootKey(bool low);
std::wstring ExtensionKey(bool low, std::wstring_view name);
std::wstring PreferenceKey(bool low, std::wstring_view branchText);
// From the local application data folder's path.
std::wstring PrivateDataFolder(bool low, std::wstring_view localAppData);
std::wstring LowLogFile(std::wstring_view localAppData);
std::wstring LowLogFolder(std::wstring_view localAppData);
// The ordinary log file lies beside the library's module file and bears its full name plus ".log".
std::wstring OrdinaryLogFile(std::wstring_view modulePath);
} // namespace StoragePaths

// The settings root key, opened (and created when missing) with full access; empty on failure.
void OpenSettingsRootKey(API::Win32::RegKey& key) noexcept;

// The current user's local application data folder (SHGetFolderPathW, CSIDL_LOCAL_APPDATA).
HRESULT LocalAppDataFolder(std::wstring& out);

// The private data folder text; the failure of the folder lookup, or E_FAIL when longer than 260.
HRESULT PrivateDataFolder(std::wstring& out);
