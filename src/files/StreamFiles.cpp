#include "files/StreamFiles.h"

#include "script/Boundary.h"
#include "shared/TextUtil.h"

#include <algorithm>
#include <new>

namespace {

// Bytes read from the file at once when the reader asks for fewer.
constexpr size_t kReadAhead = 64 * 1024;
// ReadFile takes at most this many bytes per call here.
constexpr size_t kMaxReadCall = 16 * 1024 * 1024;
// Why a file operation was refused before any system call.
constexpr char kNotOpen[] = "the file is not open";
// Attempts at a free temporary name before giving up.
constexpr unsigned kTemporaryAttempts = 16;
// Longest part of the target's name kept in the temporary's name.
constexpr size_t kMaxTemporaryStem = 200;

} // namespace

std::optional<std::wstring> TemporaryPathBeside(std::wstring_view target, unsigned number) {
    const size_t separator = target.find_last_of(L"\\/");
    if (separator == std::wstring_view::npos || separator + 1 == target.size()) return std::nullopt;
    const std::wstring_view leaf = target.substr(separator + 1).substr(0, kMaxTemporaryStem);
    std::wstring path(target.substr(0, separator + 1));
    path += leaf;
    path += L'~';
    for (int shift = 28; shift >= 0; shift -= 4)
        path += HexDigitChar(number >> shift);
    path += L".tmp";
    return path;
}

// ---- StreamFile ----------------------------------------------------------------------------------

bool StreamFile::open(const wchar_t* path, DWORD access, DWORD share, LPSECURITY_ATTRIBUTES security,
                      DWORD disposition, DWORD flags, HANDLE templateFile) noexcept {
    close();
    return File::open(path, access, share, security, disposition, flags, templateFile);
}

HRESULT StreamFile::seek(LONG whence, LONGLONG offset) noexcept {
    if (!isValid()) return FailWithReason("the file is not open");
    if (whence < FILE_BEGIN || whence > FILE_END) return FailWithReason("no such starting point");
    LARGE_INTEGER distance{};
    distance.QuadPart = offset;
    return ::SetFilePointerEx(get(), distance, nullptr, static_cast<DWORD>(whence)) ? S_OK
                                                                                    : FailWithLastError();
}

HRESULT StreamFile::tell(ULONGLONG* position) const noexcept {
    if (!position) return E_POINTER;
    if (!isValid()) return FailWithReason("the file is not open");
    LARGE_INTEGER zero{}, current{};
    if (!::SetFilePointerEx(get(), zero, &current, FILE_CURRENT)) return FailWithLastError();
    *position = static_cast<ULONGLONG>(current.QuadPart);
    return S_OK;
}

// ---- InputFile -----------------------------------------------------------------------------------

void InputFile::forget() noexcept {
    m_begin = m_end = 0;
    m_reading = Reading{};
}

BOOL InputFile::close() noexcept {
    forget();
    return File::close();
}

HRESULT InputFile::tell(ULONGLONG* position) const noexcept {
    if (!position) return E_POINTER;
    ULONGLONG system = 0;
    const HRESULT hr = StreamFile::tell(&system);
    if (FAILED(hr)) return hr;
    *position = system - (m_end - m_begin);
    return S_OK;
}

HRESULT InputFile::seek(LONG whence, LONGLONG offset) noexcept {
    if (!isValid()) return FailWithReason(kNotOpen);
    if (m_end > m_begin) {
        // Back to the first byte not handed out, so the move starts from the stream's own position.
        LARGE_INTEGER back{};
        back.QuadPart = -static_cast<LONGLONG>(m_end - m_begin);
        if (!::SetFilePointerEx(get(), back, nullptr, FILE_CURRENT)) return FailWithLastError();
    }
    // What was learnt about the file (the rule's answer, its byte-order mark) still holds.
    Reading kept;
    kept.allowed = m_reading.allowed;
    kept.bomCharset = m_reading.bomCharset;
    forget();
    m_reading = std::move(kept);
    return StreamFile::seek(whence, offset);
}

HRESULT InputFile::remaining(ULONGLONG* count) const noexcept {
    if (!count) return E_POINTER;
    if (!isValid()) return FailWithReason(kNotOpen);
    LARGE_INTEGER size{};
    if (!::GetFileSizeEx(get(), &size)) return FailWithLastError();
    ULONGLONG position = 0;
    if (const HRESULT told = tell(&position); FAILED(told)) return FailWithResult(told);
    const ULONGLONG end = static_cast<ULONGLONG>(size.QuadPart);
    *count = position < end ? end - position : 0;
    return S_OK;
}

HRESULT InputFile::fill(size_t atLeast, bool& atEnd) noexcept {
    atEnd = false;
    if (!isValid()) return FailWithReason(kNotOpen);
    try {
        // Keep the bytes not handed out at the front, and make room behind them.
        if (m_begin > 0) {
            std::copy(m_bytes.begin() + m_begin, m_bytes.begin() + m_end, m_bytes.begin());
            m_end -= m_begin;
            m_begin = 0;
        }
        const size_t want = std::max(atLeast, kReadAhead);
        if (m_bytes.size() < m_end + want) m_bytes.resize(m_end + want);
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
    size_t got = 0;
    while (got < atLeast || got == 0) {
        const size_t room = m_bytes.size() - m_end;
        DWORD read = 0;
        if (!::ReadFile(get(), m_bytes.data() + m_end, static_cast<DWORD>(std::min(room, kMaxReadCall)),
                        &read, nullptr))
            return FailWithLastError();
        if (read == 0) {
            atEnd = true;
            break;
        }
        m_end += read;
        got += read;
        if (got >= atLeast) break;
    }
    return S_OK;
}

HRESULT InputFile::read(size_t count, std::vector<unsigned char>& out) noexcept {
    try {
        out.clear();
        const std::span<const unsigned char> ahead = buffered();
        const size_t first = std::min(count, ahead.size());
        out.assign(ahead.begin(), ahead.begin() + first);
        consume(first);
        if (first == count) return S_OK;
        out.resize(count);
        size_t got = first;
        while (got < count) {
            DWORD read = 0;
            if (!::ReadFile(get(), out.data() + got, static_cast<DWORD>(std::min(count - got, kMaxReadCall)),
                            &read, nullptr))
                return FailWithLastError();
            if (read == 0) break;
            got += read;
        }
        out.resize(got);
        return S_OK;
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
}

// ---- OutputFile ----------------------------------------------------------------------------------

HRESULT OutputFile::openReplacing(const std::wstring& target, DWORD flags) noexcept {
    close();
    try {
        unsigned number = ::GetTickCount() ^ (::GetCurrentProcessId() << 16);
        for (unsigned attempt = 0; attempt < kTemporaryAttempts;
             ++attempt, number = number * 1103515245u + 12345u) {
            const std::optional<std::wstring> temporary = TemporaryPathBeside(target, number);
            if (!temporary) return FailWithReason("the target has no folder or no name");
            if (File::open(temporary->c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, flags, nullptr)) {
                m_target = target;
                m_temporary = *temporary;
                return S_OK;
            }
            if (::GetLastError() != ERROR_FILE_EXISTS && ::GetLastError() != ERROR_ALREADY_EXISTS)
                return FailWithLastError();
        }
        return FailWithReason("no free temporary name beside the target");
    } catch (const std::bad_alloc&) {
        close();
        return E_OUTOFMEMORY;
    }
}

BOOL OutputFile::close() noexcept {
    const BOOL result = File::close();
    if (!m_temporary.empty()) ::DeleteFileW(m_temporary.c_str());
    m_temporary.clear();
    m_target.clear();
    m_appendEachWrite = false;
    m_writeFailed = false;
    return result;
}

bool OutputFile::write(const void* data, DWORD size) noexcept {
    if (m_appendEachWrite) {
        LARGE_INTEGER zero{};
        if (!::SetFilePointerEx(get(), zero, nullptr, FILE_END)) {
            m_writeFailed = true;
            return false;
        }
    }
    const bool written = File::write(data, size);
    if (!written || lastWriteCount() != size) m_writeFailed = true;
    return written;
}

HRESULT OutputFile::commit() noexcept {
    if (m_temporary.empty()) {
        close();
        return S_OK;
    }
    const bool flushed = ::FlushFileBuffers(get()) != FALSE;
    DWORD error = flushed ? ERROR_SUCCESS : ::GetLastError();
    const bool writeFailed = m_writeFailed;
    File::close();
    const bool replaced = flushed && !writeFailed &&
                          ::MoveFileExW(m_temporary.c_str(), m_target.c_str(),
                                        MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != FALSE;
    if (flushed && !writeFailed && !replaced) error = ::GetLastError();
    if (replaced) m_temporary.clear();
    close();
    if (replaced) return S_OK;
    return writeFailed ? FailWithReason("a write failed or fell short") : FailWithError(error);
}
