#include "windows/WindowManager.h"

STDMETHODIMP CWindowManager::resolveURL(BSTR, BSTR*) noexcept {
    return E_NOTIMPL;
}

STDMETHODIMP CWindowManager::openDialog(BSTR, LONG, LONG, VARIANT, VARIANT, VARIANT, VARIANT, VARIANT,
                                        VARIANT, VARIANT, VARIANT, VARIANT, VARIANT) noexcept {
    return E_NOTIMPL;
}

STDMETHODIMP CWindowManager::openFullScreen(BSTR, VARIANT, VARIANT, VARIANT, VARIANT, VARIANT, VARIANT,
                                            VARIANT, VARIANT, VARIANT, VARIANT) noexcept {
    return E_NOTIMPL;
}

STDMETHODIMP CWindowManager::openHiddenDialog(BSTR, VARIANT, VARIANT, VARIANT, VARIANT, VARIANT, VARIANT,
                                              VARIANT, VARIANT, VARIANT, VARIANT) noexcept {
    return E_NOTIMPL;
}

STDMETHODIMP CWindowManager::showModalDialog(IDispatch*, BSTR, VARIANT*, VARIANT*, VARIANT*) noexcept {
    return E_NOTIMPL;
}

STDMETHODIMP CWindowManager::close(IDispatch*) noexcept {
    return E_NOTIMPL;
}

STDMETHODIMP CWindowManager::clearDialogTitle(IDispatch*) noexcept {
    return E_NOTIMPL;
}

STDMETHODIMP CWindowManager::setDialogStatus(IDispatch*, BSTR) noexcept {
    return E_NOTIMPL;
}

STDMETHODIMP CWindowManager::ResendKey(IDispatch*, LONG, VARIANT_BOOL, VARIANT_BOOL, VARIANT_BOOL) noexcept {
    return E_NOTIMPL;
}

STDMETHODIMP CWindowManager::StopKey(IDispatch*, LONG, VARIANT_BOOL, VARIANT_BOOL, VARIANT_BOOL) noexcept {
    return E_NOTIMPL;
}

STDMETHODIMP CWindowManager::get_XMLHttpRequest(IDispatch**) noexcept {
    return E_NOTIMPL;
}
