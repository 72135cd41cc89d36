#include "files/FileOutputStream.h"

STDMETHODIMP CFileOutputStream::seek(LONG, LONGLONG) noexcept { return E_NOTIMPL; }

STDMETHODIMP CFileOutputStream::setEOF() noexcept { return E_NOTIMPL; }

STDMETHODIMP CFileOutputStream::tell(ULONGLONG*) noexcept { return E_NOTIMPL; }

STDMETHODIMP CFileOutputStream::close() noexcept { return E_NOTIMPL; }

STDMETHODIMP CFileOutputStream::flush() noexcept { return E_NOTIMPL; }

STDMETHODIMP CFileOutputStream::isNonBlocking(VARIANT_BOOL*) noexcept { return E_NOTIMPL; }

STDMETHODIMP CFileOutputStream::write(BSTR, LONG, LONG*) noexcept { return E_NOTIMPL; }

STDMETHODIMP CFileOutputStream::finish() noexcept { return E_NOTIMPL; }

STDMETHODIMP CFileOutputStream::init(ILocalFile*, LONG, LONG, LONG) noexcept { return E_NOTIMPL; }
