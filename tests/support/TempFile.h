// A file under the temporary folder (or the given one, ending in a separator) with a name unique to
// this process, deleted when it goes away.
#pragma once

#include "shared/Win32.h"

#include <windows.h>

#include <string>
#include <string_view>

class TempFile {
public:
    explicit TempFile(std::wstring_view name, std::wstring folder = {}) {
        if (folder.empty()) {
            folder.resize(MAX_PATH + 1);
            folder.resize(::GetTempPathW(MAX_PATH, folder.data()));
        }
        m_path = folder + L"zbx-" + std::to_wstring(::GetCurrentProcessId()) + L"-" + std::wstring(name);
        ::DeleteFileW(m_path.c_str());
    }
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;
    ~TempFile() { ::DeleteFileW(m_path.c_str()); }

    const std::wstring& path() const noexcept { return m_path; }
    std::wstring url() const { return L"file:///" + m_path; }

    bool write(std::string_view bytes) const {
        API::Win32::File file;
        if (!file.open(m_path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr)) return false;
        return bytes.empty() || file.write(bytes.data(), static_cast<DWORD>(bytes.size()));
    }
    // The whole file, or nothing when it cannot be read.
    std::string read() const {
        API::Win32::File file;
        std::string out;
        if (!file.open(m_path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr))
            return out;
        char buffer[4096];
        DWORD got = 0;
        while (::ReadFile(file.get(), buffer, sizeof(buffer), &got, nullptr) && got > 0)
            out.append(buffer, got);
        return out;
    }
    bool exists() const { return ::GetFileAttributesW(m_path.c_str()) != INVALID_FILE_ATTRIBUTES; }

private:
    std::wstring m_path;
};
