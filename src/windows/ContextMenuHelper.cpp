#include "windows/ContextMenuHelper.h"

STDMETHODIMP CContextMenuHelper::GetDocumentLocation(IDispatch*, BSTR*) noexcept {
    return E_NOTIMPL;
}
