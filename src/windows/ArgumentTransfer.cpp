#include "windows/ArgumentTransfer.h"

STDMETHODIMP CArgumentTransfer::Attach(IDispatch*, VARIANT) noexcept {
    return E_NOTIMPL;
}

STDMETHODIMP CArgumentTransfer::Detach() noexcept {
    return E_NOTIMPL;
}

STDMETHODIMP CArgumentTransfer::DocumentComplete(IDispatch*, VARIANT*) noexcept {
    return E_NOTIMPL;
}
