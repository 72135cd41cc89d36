#include "shared/LogWriter.h"

#include "module/Module.h"
#include "shared/AnsiText.h"
#include "shared/Storage.h"
#include "shared/Win32.h"

#include <cstring>
#include <cwchar>
#include <string>

namespace {

constexpr int kOpenAttempts = 10;
constexpr DWORD kOpenRetryDelayMs = 50;

// Set by the first writer of the process that builds the low log path; creating twice is harmless.
bool g_lowLogFolderCreated = false;

bool ReadLogSwitch() noexcept {
    API::Win32::RegKey key;
    OpenSettingsRootKey(key);
    bool on = false;
    return key.readBool(L"log", on) && on;
}

// Copies text with its terminator into the path field; false when it does not fit in `limit` units.
bool CopyPath(const std::wstring& text, wchar_t (&field)[LogWriter::kPathSize], std::size_t limit) noexcept {
    if (text.size() + 1 > limit) return false;
    std::wmemcpy(field, text.c_str(), text.size() + 1);
    return true;
}

} // namespace

LogWriter::LogWriter(const char* name) noexcept {
    ComposeLogPrefix(name, m_prefix);
    std::wmemset(m_path, L'\0', kPathSize);
    m_enabled = ReadLogSwitch();
    if (m_enabled) m_enabled = buildPath();
}

void LogWriter::setName(const char* name) noexcept {
    ComposeLogPrefix(name, m_prefix);
}

// Fills the path for the storage mode in use. False when the path cannot be built in full: the writer
// then stays off rather than write to a cut-off path. A failed lookup of the local application data
// folder keeps the writer on with an empty path, so its lines are tried and dropped.
bool LogWriter::buildPath() noexcept {
    try {
        if (!UseLowStorage()) {
            wchar_t module[MAX_PATH];
            const DWORD length = ::GetModuleFileNameW(ModuleInstance(), module, MAX_PATH);
            if (length == 0 || length >= MAX_PATH) return false;
            return CopyPath(StoragePaths::OrdinaryLogFile(std::wstring_view(module, length)), m_path,
                            MAX_PATH);
        }
        std::wstring appData;
        if (FAILED(LocalAppDataFolder(appData))) return true;
        if (!g_lowLogFolderCreated) {
            g_lowLogFolderCreated = true;
            ::CreateDirectoryW(StoragePaths::LowLogFolder(appData).c_str(), nullptr);
        }
        return CopyPath(StoragePaths::LowLogFile(appData), m_path, kPathSize);
    } catch (...) {
        return false;
    }
}

void LogWriter::levelLine(const char* level, const wchar_t* message) noexcept {
    if (!m_enabled || !message) return;
    ThreadAnsiText text(message);
    if (!text.valid()) return;
    appendLine(level, text.c_str(), text.size());
}

void LogWriter::write(const char* text) noexcept {
    if (!m_enabled || !text) return;
    appendLine(nullptr, text, std::strlen(text));
}

void LogWriter::appendLine(const char* level, const char* text, std::size_t size) noexcept {
    API::Win32::File file;
    for (int attempt = 0; attempt < kOpenAttempts; ++attempt) {
        if (file.open(m_path, GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_ALWAYS, 0, nullptr)) break;
        ::Sleep(kOpenRetryDelayMs);
    }
    if (!file.isValid()) return;
    ::SetFilePointer(file.get(), 0, nullptr, FILE_END);
    // One write per piece; a failed write loses the rest of the line, nothing more.
    if (level) {
        file.write(level, static_cast<DWORD>(std::strlen(level)));
        file.write(" ", 1);
    }
    if (m_prefix[0]) file.write(m_prefix, static_cast<DWORD>(std::strlen(m_prefix)));
    file.write(text, static_cast<DWORD>(size));
    file.write("\r\n", 2);
}
