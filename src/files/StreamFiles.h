// The files under the two file streams. Both open and move as a stream file does. An input file reads
// ahead into a buffer of its own, so text can be decoded and lines found in memory, while its position
// stays that of the bytes handed out. An output file can append at each write, and can stand in for a
// target it replaces only when told to commit.
#pragma once

#include "files/TextDecoding.h"
#include "shared/Win32.h"

#include <optional>
#include <span>
#include <string>
#include <vector>

// The name of a new temporary file beside target (same folder, so it can replace target by a rename):
// target's name, "~", eight hexadecimal digits of number, ".tmp". Nothing when target has no folder or
// no name. Text only.
std::optional<std::wstring> TemporaryPathBeside(std::wstring_view target, unsigned number);

// An open file and its position.
class StreamFile : public API::Win32::File {
public:
    // Closes the file held (and with it all the stream kept about it), then opens as File::open does.
    bool open(const wchar_t* path, DWORD access, DWORD share, LPSECURITY_ATTRIBUTES security,
              DWORD disposition, DWORD flags, HANDLE templateFile) noexcept;
    // Closes the file; the kinds below also let go of what they kept about it.
    virtual BOOL close() noexcept { return File::close(); }
    virtual ~StreamFile() = default;

    // Moves the pointer; whence 0, 1 and 2 are FILE_BEGIN, FILE_CURRENT and FILE_END. E_FAIL on any
    // failure (no open file, another whence, a negative position).
    HRESULT seek(LONG whence, LONGLONG offset) noexcept;
    // The position as an unsigned 64-bit number; E_POINTER for a null pointer, E_FAIL without an open file.
    HRESULT tell(ULONGLONG* position) const noexcept;
};

class InputFile : public StreamFile {
public:
    // Forgets everything read ahead.
    BOOL close() noexcept override;
    ~InputFile() override { InputFile::close(); }

    // The position of the next byte handed out, and moving it; as a stream file's.
    HRESULT seek(LONG whence, LONGLONG offset) noexcept;
    HRESULT tell(ULONGLONG* position) const noexcept;
    // Bytes from the position to the end (0 beyond the end).
    HRESULT remaining(ULONGLONG* count) const noexcept;

    // Bytes read ahead and not handed out yet.
    std::span<const unsigned char> buffered() const noexcept {
        return {m_bytes.data() + m_begin, m_end - m_begin};
    }
    void consume(size_t count) noexcept { m_begin += count; }
    // Reads at least `atLeast` more bytes (fewer at the end of the file) behind the buffered ones; atEnd is
    // set when the file had nothing more. E_FAIL when the system cannot read, E_OUTOFMEMORY.
    HRESULT fill(size_t atLeast, bool& atEnd) noexcept;
    // Hands out up to count bytes into out (buffered ones first); fewer only at the end of the file.
    HRESULT read(size_t count, std::vector<unsigned char>& out) noexcept;

    // What the readers of this open file keep about it; forgotten when it is opened or closed.
    struct Reading {
        bool allowed = false;    // the reading rule was asked and said yes
        bool bomChecked = false; // the start was looked at for a byte-order mark
        std::wstring pending;    // text decoded and not handed out yet (the second half of a pair)
        bool moreLines = true;   // the last line read ended with a line end
        std::optional<TextDecoding::Charset> bomCharset; // the charset a byte-order mark announced
    };
    Reading& reading() noexcept { return m_reading; }

private:
    void forget() noexcept;

    std::vector<unsigned char> m_bytes;
    size_t m_begin = 0, m_end = 0;
    Reading m_reading;
};

class OutputFile : public StreamFile {
public:
    // Opens a new temporary file beside target, to replace target at commit. E_FAIL when none can be made.
    HRESULT openReplacing(const std::wstring& target, DWORD flags) noexcept;
    // Closes; a replacement not committed is abandoned: its temporary file is removed, target stays.
    BOOL close() noexcept override;
    ~OutputFile() override { OutputFile::close(); }

    // With appendEachWrite, every write goes to the end of the file, wherever the position was.
    void setAppendEachWrite(bool on) noexcept { m_appendEachWrite = on; }
    // Writes as File::write does; a write that fails or falls short is remembered until the file closes.
    bool write(const void* data, DWORD size) noexcept;

    bool replacing() const noexcept { return !m_temporary.empty(); }
    // Closes and lets the temporary file take target's place. E_FAIL, target untouched and the temporary
    // removed, when a write failed or the system refuses the replacement.
    HRESULT commit() noexcept;

private:
    std::wstring m_target, m_temporary;
    bool m_appendEachWrite = false;
    bool m_writeFailed = false;
};
