#include "files/FilePicker.h"

STDMETHODIMP CFilePicker::init(IDispatch*, BSTR, LONG) noexcept {
    return E_NOTIMPL;
}

STDMETHODIMP CFilePicker::appendFilter(BSTR, BSTR) noexcept {
    return E_NOTIMPL;
}

STDMETHODIMP CFilePicker::appendFilters(LONG) noexcept {
    return E_NOTIMPL;
}

STDMETHODIMP CFilePicker::show(LONG*) noexcept {
    return E_NOTIMPL;
}

STDMETHODIMP CFilePicker::get_file(ILocalFile**) noexcept {
    return E_NOTIMPL;
}

STDMETHODIMP CFilePicker::get_files(ISimpleEnumerator**) noexcept {
    return E_NOTIMPL;
}

STDMETHODIMP CFilePicker::get_defaultExtension(BSTR*) noexcept {
    return E_NOTIMPL;
}

STDMETHODIMP CFilePicker::put_defaultExtension(BSTR) noexcept {
    return E_NOTIMPL;
}

STDMETHODIMP CFilePicker::get_defaultString(BSTR*) noexcept {
    return E_NOTIMPL;
}

STDMETHODIMP CFilePicker::put_defaultString(BSTR) noexcept {
    return E_NOTIMPL;
}

STDMETHODIMP CFilePicker::get_displayDirectory(ILocalFile**) noexcept {
    return E_NOTIMPL;
}

STDMETHODIMP CFilePicker::put_displayDirectory(ILocalFile*) noexcept {
    return E_NOTIMPL;
}

STDMETHODIMP CFilePicker::get_filterIndex(LONG*) noexcept {
    return E_NOTIMPL;
}

STDMETHODIMP CFilePicker::put_filterIndex(LONG) noexcept {
    return E_NOTIMPL;
}
