#include "files/FileOutputStream.h"

#include "files/StreamPosition.h"

#include <string>

namespace {

constexpr LONG kCreateFlag = 0x08;
constexpr LONG kAppendFlag = 0x10;

// The creation disposition chosen by the create and append bits; every other bit is ignored.
DWORD Disposition(LONG ioFlags) noexcept {
    const bool create = ioFlags & kCreateFlag, append = ioFlags & kAppendFlag;
    if (create) return append ? OPEN_ALWAYS : CREATE_ALWAYS;
    return append ? OPEN_EXISTING : TRUNCATE_EXISTING;
}

} // namespace

// Opens the file of a local file for writing, shared with no one. Only a local file allowed to change
// the file system may be written: an unsafe one is refused before anything is stored or opened.
STDMETHODIMP CFileOutputStream::init(ILocalFile* file, LONG ioFlags, LONG, LONG) noexcept {
    if (!file) return E_INVALIDARG;
    VARIANT_BOOL safe = VARIANT_FALSE;
    HRESULT hr = file->GetSafe(&safe);
    if (FAILED(hr)) return hr;
    Bstr path;
    hr = file->get_nativePath(path.put());
    if (FAILED(hr)) return hr;
    if (BstrEmpty(path.get())) return E_INVALIDARG;
    if (safe != VARIANT_TRUE) return E_ACCESSDENIED;
    hr = ISafeLocalFileImpl::init(path.get(), safe);
    if (FAILED(hr)) return hr;
    // The earlier file is released even when this one cannot be opened.
    if (!m_file.open(m_path.c_str(), GENERIC_WRITE, 0, nullptr, Disposition(ioFlags), 0, nullptr))
        return E_FAIL;
    return (ioFlags & kAppendFlag) ? seek(FILE_END, 0) : S_OK;
}

// Writes the first count UTF-16 units of data as UTF-8 at the current position. Exactly the bytes the
// conversion reports are written; a surrogate pair cut by count is converted as the system converts a
// lone surrogate.
STDMETHODIMP CFileOutputStream::write(BSTR data, LONG count, LONG* pRet) noexcept {
    if (!data || count == 0 || static_cast<ULONG>(count) > ::SysStringLen(data)) return E_INVALIDARG;
    if (!pRet) return E_POINTER;
    if (!m_file.isValid()) return E_UNEXPECTED;
    return ComBoundary([&] {
        std::string bytes;
        const int size = ::WideCharToMultiByte(CP_UTF8, 0, data, count, nullptr, 0, nullptr, nullptr);
        if (size > 0) {
            bytes.resize(static_cast<size_t>(size));
            const int converted =
                ::WideCharToMultiByte(CP_UTF8, 0, data, count, bytes.data(), size, nullptr, nullptr);
            bytes.resize(converted > 0 && converted <= size ? static_cast<size_t>(converted) : 0);
        }
        if (!m_file.write(bytes.data(), static_cast<DWORD>(bytes.size()))) return E_FAIL;
        *pRet = static_cast<LONG>(m_file.lastWriteCount());
        return S_OK;
    });
}

STDMETHODIMP CFileOutputStream::seek(LONG whence, LONGLONG offset) noexcept {
    return SeekFile(m_file, whence, offset);
}

STDMETHODIMP CFileOutputStream::setEOF() noexcept {
    return E_NOTIMPL;
}

STDMETHODIMP CFileOutputStream::tell(ULONGLONG* pRet) noexcept {
    return TellFile(m_file, pRet);
}

STDMETHODIMP CFileOutputStream::close() noexcept {
    m_file.close();
    return S_OK;
}

STDMETHODIMP CFileOutputStream::finish() noexcept {
    return close();
}

STDMETHODIMP CFileOutputStream::flush() noexcept {
    return S_OK;
}

STDMETHODIMP CFileOutputStream::isNonBlocking(VARIANT_BOOL*) noexcept {
    return E_NOTIMPL;
}
