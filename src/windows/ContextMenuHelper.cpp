#include "windows/ContextMenuHelper.h"

#include "shared/Bstr.h"
#include "windows/BrowserWindow.h"

STDMETHODIMP CContextMenuHelper::GetDocumentLocation(IDispatch* doc, BSTR* location) noexcept {
    if (!doc) return E_INVALIDARG;
    if (!location) return E_POINTER;
    Bstr address;
    HRESULT hr = DocumentAddress(doc, address);
    if (FAILED(hr)) return hr;
    *location = address.Detach();
    return S_OK;
}
