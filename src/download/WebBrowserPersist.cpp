#include "download/WebBrowserPersist.h"

STDMETHODIMP CWebBrowserPersist::get_progressListener(IDispatch**) noexcept { return E_NOTIMPL; }

STDMETHODIMP CWebBrowserPersist::put_progressListener(IDispatch*) noexcept { return E_NOTIMPL; }

STDMETHODIMP CWebBrowserPersist::saveURI(BSTR, ILocalFile*) noexcept { return E_NOTIMPL; }
