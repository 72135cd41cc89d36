#include "files/FileInputStream.h"

STDMETHODIMP CFileInputStream::seek(LONG, LONGLONG) noexcept { return E_NOTIMPL; }

STDMETHODIMP CFileInputStream::setEOF() noexcept { return E_NOTIMPL; }

STDMETHODIMP CFileInputStream::tell(ULONGLONG*) noexcept { return E_NOTIMPL; }

STDMETHODIMP CFileInputStream::available(ULONGLONG*) noexcept { return E_NOTIMPL; }

STDMETHODIMP CFileInputStream::close() noexcept { return E_NOTIMPL; }

STDMETHODIMP CFileInputStream::isNonBlocking(VARIANT_BOOL*) noexcept { return E_NOTIMPL; }

STDMETHODIMP CFileInputStream::init(ILocalFile*, LONG, LONG, LONG) noexcept { return E_NOTIMPL; }
