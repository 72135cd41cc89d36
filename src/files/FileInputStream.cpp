#include "files/FileInputStream.h"

#include "files/ReadingRule.h"
#include "files/StreamPosition.h"

// Opens the file of a local file for reading; other readers may open it too, writers may not. A file
// the reading rule keeps from the caller is refused before anything changes.
STDMETHODIMP CFileInputStream::init(ILocalFile* file, LONG, LONG, LONG) noexcept {
    Bstr path;
    VARIANT_BOOL safe = VARIANT_FALSE;
    HRESULT hr = ReadableFileOf(file, path, safe);
    if (FAILED(hr)) return hr;
    hr = ISafeLocalFileImpl::init(path.get(), safe);
    if (FAILED(hr)) return hr;
    // The earlier file is released even when this one cannot be opened.
    return m_file.open(m_path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr)
               ? S_OK
               : E_FAIL;
}

STDMETHODIMP CFileInputStream::seek(LONG whence, LONGLONG offset) noexcept {
    return SeekFile(m_file, whence, offset);
}

STDMETHODIMP CFileInputStream::setEOF() noexcept {
    return E_NOTIMPL;
}

STDMETHODIMP CFileInputStream::tell(ULONGLONG* pRet) noexcept {
    return TellFile(m_file, pRet);
}

// What is left from the position to the end; nothing at all once the position is past the end.
STDMETHODIMP CFileInputStream::available(ULONGLONG* pRet) noexcept {
    if (!pRet) return E_POINTER;
    if (!m_file.isValid()) return E_FAIL;
    LARGE_INTEGER size{};
    if (!::GetFileSizeEx(m_file.get(), &size)) return E_FAIL;
    ULONGLONG position = 0;
    if (FAILED(TellFile(m_file, &position))) return E_FAIL;
    const ULONGLONG end = static_cast<ULONGLONG>(size.QuadPart);
    *pRet = position < end ? end - position : 0;
    return S_OK;
}

STDMETHODIMP CFileInputStream::close() noexcept {
    m_file.close();
    return S_OK;
}

STDMETHODIMP CFileInputStream::isNonBlocking(VARIANT_BOOL*) noexcept {
    return E_NOTIMPL;
}
