#include "files/FileOutputStream.h"

#include "script/Boundary.h"

#include <algorithm>
#include <span>
#include <string_view>

namespace {

constexpr LONG kCreateFlag = 0x08;
constexpr LONG kAppendFlag = 0x10;

// XPCOM's ioFlags (NSPR's open flags) for initWithFlags and initSafe. The access bits (read-only 0x01,
// write-only 0x02, read-write 0x04) change nothing: an output stream always writes.
constexpr LONG kPrCreateFile = 0x08;
constexpr LONG kPrAppend = 0x10;
constexpr LONG kPrTruncate = 0x20;
constexpr LONG kPrSync = 0x40;
constexpr LONG kPrExclusive = 0x80;
// -1: XPCOM's default, write-only | create | truncate.
constexpr LONG kXpcomDefaultFlags = 0x02 | kPrCreateFile | kPrTruncate;

LONG XpcomFlags(LONG ioFlags) noexcept {
    return ioFlags == -1 ? kXpcomDefaultFlags : ioFlags;
}

DWORD XpcomDisposition(LONG flags) noexcept {
    const bool create = flags & kPrCreateFile, truncate = flags & kPrTruncate;
    if (create && (flags & kPrExclusive)) return CREATE_NEW;
    if (create) return truncate ? CREATE_ALWAYS : OPEN_ALWAYS;
    return truncate ? TRUNCATE_EXISTING : OPEN_EXISTING;
}

DWORD XpcomAttributes(LONG flags) noexcept {
    return (flags & kPrSync) ? FILE_FLAG_WRITE_THROUGH : 0;
}
// UTF-8 needs at most three bytes for one UTF-16 unit (a surrogate pair takes four for two units).
constexpr size_t kMaxUtf8PerUnit = 3;
// Longer texts are converted and written in pieces of this many units, which bounds the kept buffer.
constexpr size_t kPieceUnits = 32768;

// The creation disposition chosen by the create and append bits; every other bit is ignored.
DWORD Disposition(LONG ioFlags) noexcept {
    const bool create = ioFlags & kCreateFlag, append = ioFlags & kAppendFlag;
    if (create) return append ? OPEN_ALWAYS : CREATE_ALWAYS;
    return append ? OPEN_EXISTING : TRUNCATE_EXISTING;
}

// Copies the leading ASCII units of text, one byte each as in UTF-8, up to the first other unit; returns
// how many it copied.
size_t CopyAsciiPrefix(std::wstring_view text, char* out) noexcept {
    size_t i = 0;
    for (; i < text.size() && text[i] < 0x80; ++i)
        out[i] = static_cast<char>(text[i]);
    return i;
}

} // namespace

// Opens the file of a local file for writing, shared with no one. Only a local file allowed to change
// the file system may be written: an unsafe one is refused before anything is stored or opened.
STDMETHODIMP CFileOutputStream::init(ILocalFile* file, LONG ioFlags, LONG, LONG) noexcept {
    HRESULT hr = adoptFile(file);
    if (FAILED(hr)) return hr;
    hr = openTaken(GENERIC_WRITE, 0, Disposition(ioFlags), 0);
    if (FAILED(hr)) return hr;
    return (ioFlags & kAppendFlag) ? seek(FILE_END, 0) : S_OK;
}

HRESULT CFileOutputStream::adoptFile(ILocalFile* file) noexcept {
    return takeOver(file, FirstAnswer::Flag,
                    [](std::wstring_view, bool safe) noexcept { return safe ? S_OK : E_ACCESSDENIED; });
}

// Opens as XPCOM's file output stream does with these ioFlags: create (0x08), exclusive with create
// (0x80), truncate (0x20), append at every write (0x10), write through (0x40); -1 for the default.
STDMETHODIMP CFileOutputStream::initWithFlags(ILocalFile* file, LONG ioFlags, LONG, LONG) noexcept {
    const LONG flags = XpcomFlags(ioFlags);
    HRESULT hr = adoptFile(file);
    if (FAILED(hr)) return hr;
    hr = openTaken(GENERIC_WRITE, 0, XpcomDisposition(flags), XpcomAttributes(flags));
    if (FAILED(hr)) return hr;
    m_file.setAppendEachWrite(flags & kPrAppend);
    return S_OK;
}

// Opens for an all-or-nothing replacement: writes go to a new temporary file beside the target, finish
// puts it in the target's place, close (or the end of the object) removes it and leaves the target as
// it was. The target's content is never kept, so append is accepted only together with truncate.
STDMETHODIMP CFileOutputStream::initSafe(ILocalFile* file, LONG ioFlags, LONG, LONG) noexcept {
    const LONG flags = XpcomFlags(ioFlags);
    if ((flags & kPrAppend) && !(flags & kPrTruncate)) return E_INVALIDARG;
    HRESULT hr = adoptFile(file);
    if (FAILED(hr)) return hr;
    API::Win32::FileAttributes target;
    const bool exists = target.read(m_path.c_str());
    const bool create = flags & kPrCreateFile;
    if ((exists && (target.isDirectory() || (create && (flags & kPrExclusive)))) ||
        (!exists && (!create || (target.error() != ERROR_FILE_NOT_FOUND)))) {
        m_file.close();
        return exists ? FailWithReason("the target is a folder, or exists and must not")
                      : FailWithError(target.error());
    }
    return m_file.openReplacing(m_path, XpcomAttributes(flags));
}

// Writes the first count UTF-16 units of data as UTF-8 at the current position. Exactly the bytes the
// conversion reports are written; a surrogate pair cut by count is converted as the system converts a
// lone surrogate. Long texts go out in pieces that never split a surrogate pair, so the bytes are the
// same as those of one conversion of the whole text.
STDMETHODIMP CFileOutputStream::write(BSTR data, LONG count, LONG* pRet) noexcept {
    if (!data || count == 0 || static_cast<ULONG>(count) > ::SysStringLen(data)) return E_INVALIDARG;
    if (!pRet) return E_POINTER;
    if (!m_file.isValid()) return E_UNEXPECTED;
    return ComBoundary([&] {
        const wchar_t* text = data;
        size_t left = static_cast<ULONG>(count);
        ULONG written = 0;
        do {
            size_t units = std::min(left, kPieceUnits);
            if (units < left && IS_HIGH_SURROGATE(text[units - 1])) --units;
            const std::span<char> bytes = m_utf8.reserve(units * kMaxUtf8PerUnit);
            // ASCII needs no conversion; the system converts from the first other unit on.
            const size_t ascii = CopyAsciiPrefix(std::wstring_view(text, units), bytes.data());
            int size = static_cast<int>(ascii);
            if (ascii < units)
                size += ::WideCharToMultiByte(CP_UTF8, 0, text + ascii, static_cast<int>(units - ascii),
                                              bytes.data() + ascii, static_cast<int>(bytes.size() - ascii),
                                              nullptr, nullptr);
            if (!m_file.write(bytes.data(), static_cast<DWORD>(size))) return FailWithLastError();
            written += m_file.lastWriteCount();
            if (m_file.lastWriteCount() != static_cast<DWORD>(size)) break;
            text += units;
            left -= units;
        } while (left > 0);
        *pRet = static_cast<LONG>(written);
        return S_OK;
    });
}

// Closes; a stream opened by initSafe replaces its target now.
STDMETHODIMP CFileOutputStream::finish() noexcept {
    return m_file.commit();
}

STDMETHODIMP CFileOutputStream::flush() noexcept {
    return S_OK;
}
