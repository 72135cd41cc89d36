// Helpers for the diagnostic log tests: the log switch, the log file and child processes of the test
// program. They work on the storage mode of the running program (low or ordinary).
#pragma once

#include "shared/Storage.h"
#include "shared/Win32.h"

#include <windows.h>

#include <optional>
#include <string>

namespace logtest {

// Sets the value "log" under the settings root key with any type and data.
inline bool SetLogSwitch(DWORD type, const void* data, DWORD size) {
    API::Win32::RegKey key;
    OpenSettingsRootKey(key);
    return key.isValid() && ::RegSetValueExW(key.get(), L"log", 0, type, static_cast<const BYTE*>(data),
                                             size) == ERROR_SUCCESS;
}

inline bool SetLogSwitchDword(DWORD value) {
    return SetLogSwitch(REG_DWORD, &value, sizeof(value));
}

inline void RemoveLogSwitch() {
    API::Win32::RegKey key;
    OpenSettingsRootKey(key);
    if (key.isValid()) ::RegDeleteValueW(key.get(), L"log");
}

inline std::wstring LocalAppData() {
    std::wstring folder;
    LocalAppDataFolder(folder);
    return folder;
}

// Where the writers of this program put their lines.
inline std::wstring LogFile() {
    if (UseLowStorage()) return StoragePaths::LowLogFile(LocalAppData());
    wchar_t module[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, module, MAX_PATH);
    return StoragePaths::OrdinaryLogFile(module);
}

inline bool Exists(const std::wstring& path) {
    return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

inline void DeleteLogFile() {
    ::DeleteFileW(LogFile().c_str());
}

// The whole file, or nothing when it cannot be opened.
inline std::optional<std::string> ReadBytes(const std::wstring& path) {
    API::Win32::File file;
    if (!file.open(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0,
                   nullptr))
        return std::nullopt;
    std::string bytes(::GetFileSize(file.get(), nullptr), '\0');
    DWORD read = 0;
    if (!bytes.empty() &&
        !::ReadFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr))
        return std::nullopt;
    bytes.resize(read);
    return bytes;
}

inline std::string ReadLog() {
    return ReadBytes(LogFile()).value_or("<no file>");
}

inline DWORD WaitForChild(const API::Win32::Handle& process, DWORD timeoutMs = 30000) {
    if (::WaitForSingleObject(process.get(), timeoutMs) != WAIT_OBJECT_0) return STILL_ACTIVE;
    DWORD code = 0;
    ::GetExitCodeProcess(process.get(), &code);
    return code;
}

// Starts this test program again with the given arguments (see main_test.cpp for the child modes).
inline bool StartChild(const std::wstring& arguments, API::Win32::Handle& process) {
    wchar_t self[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring line = L"\"" + std::wstring(self) + L"\" --child " + arguments;
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info{};
    if (!::CreateProcessW(self, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info))
        return false;
    ::CloseHandle(info.hThread);
    process.reset(info.hProcess);
    return true;
}

// Runs a child to its end: its exit code, or STILL_ACTIVE when it could not start or did not end.
inline DWORD RunChild(const std::wstring& arguments) {
    API::Win32::Handle process;
    if (!StartChild(arguments, process)) return STILL_ACTIVE;
    return WaitForChild(process);
}

// Restores the thread locale (and so CP_THREAD_ACP) when a test changed it.
class ThreadLocaleScope {
public:
    explicit ThreadLocaleScope(LCID locale) : m_saved(::GetThreadLocale()) {
        m_ok = ::SetThreadLocale(locale);
    }
    ~ThreadLocaleScope() { ::SetThreadLocale(m_saved); }
    ThreadLocaleScope(const ThreadLocaleScope&) = delete;
    ThreadLocaleScope& operator=(const ThreadLocaleScope&) = delete;
    bool ok() const { return m_ok; }

private:
    LCID m_saved;
    bool m_ok = false;
};

} // namespace logtest
