#include "bundles/StringBundleService.h"

#include "shared/Registered.h"

STDMETHODIMP CStringBundleService::createBundle(BSTR url, IStringBundle** pBundle) noexcept {
    if (!url) return E_INVALIDARG;
    if (!pBundle) return E_POINTER;
    *pBundle = nullptr;
    return CreateBound(CLSID_StringBundle, url, pBundle);
}
