// The diagnostic log writer: appends lines to the library's log file when the current user has
// switched the log on (REG_DWORD "log" = 1 under the settings root key). Each line opens the file,
// moves to its end, writes and closes it again, so writers in several threads and processes can
// share the file; they serialise through its share mode. Nothing here ever reports a failure.
#pragma once

#include "shared/LogText.h"

#include <cstddef>

class LogWriter {
public:
    static constexpr std::size_t kPathSize = 324;

    // Reads the switch (opening, and creating when missing, the settings root key) and, when the log
    // is on, builds the log file's path. A path that would not fit leaves the writer switched off.
    explicit LogWriter(const char* name = nullptr) noexcept;
    LogWriter(const LogWriter&) = delete;
    LogWriter& operator=(const LogWriter&) = delete;

    // The line prefix becomes the name (at most 60 bytes of it) followed by "\t- ".
    void setName(const char* name) noexcept;
    bool isEnabled() const noexcept { return m_enabled; }

    // Level lines: the level word, a blank, the prefix, the message, "\r\n". A null message writes nothing.
    void debug(const wchar_t* message) noexcept { levelLine("DEBUG", message); }
    void warn(const wchar_t* message) noexcept { levelLine("WARN", message); }
    void error(const wchar_t* message) noexcept { levelLine("ERROR", message); }
    // A plain line: the prefix, the text, "\r\n".
    void write(const char* text) noexcept;

    const char* prefix() const noexcept { return m_prefix; }
    const wchar_t* path() const noexcept { return m_path; }

private:
    void levelLine(const char* level, const wchar_t* message) noexcept;
    void appendLine(const char* level, const char* text, std::size_t size) noexcept;
    bool buildPath() noexcept;

    char m_prefix[kLogPrefixSize];
    bool m_enabled = false;
    wchar_t m_path[kPathSize];
};
