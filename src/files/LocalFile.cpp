#include "files/LocalFile.h"

STDMETHODIMP CLocalFile::get_fileSize(ULONGLONG*) noexcept { return E_NOTIMPL; }

STDMETHODIMP CLocalFile::get_leafName(BSTR*) noexcept { return E_NOTIMPL; }

STDMETHODIMP CLocalFile::get_nativeLeafName(BSTR*) noexcept { return E_NOTIMPL; }

STDMETHODIMP CLocalFile::get_path(BSTR*) noexcept { return E_NOTIMPL; }

STDMETHODIMP CLocalFile::get_nativePath(BSTR*) noexcept { return E_NOTIMPL; }

STDMETHODIMP CLocalFile::append(BSTR) noexcept { return E_NOTIMPL; }

STDMETHODIMP CLocalFile::exists(VARIANT_BOOL*) noexcept { return E_NOTIMPL; }

STDMETHODIMP CLocalFile::isDirectory(VARIANT_BOOL*) noexcept { return E_NOTIMPL; }

STDMETHODIMP CLocalFile::create(LONG, LONG) noexcept { return E_NOTIMPL; }

STDMETHODIMP CLocalFile::remove(VARIANT_BOOL) noexcept { return E_NOTIMPL; }

STDMETHODIMP CLocalFile::initWithFile(ILocalFile*) noexcept { return E_NOTIMPL; }

STDMETHODIMP CLocalFile::initWithNativePath(BSTR) noexcept { return E_NOTIMPL; }

STDMETHODIMP CLocalFile::initWithPath(BSTR) noexcept { return E_NOTIMPL; }

STDMETHODIMP CLocalFile::GetSafe(VARIANT_BOOL* pvbSafe) noexcept { return ISafeLocalFileImpl::GetSafe(pvbSafe); }
