#include "bundles/StringBundleService.h"

#include "shared/ComPtr.h"

STDMETHODIMP CStringBundleService::createBundle(BSTR url, IStringBundle** pBundle) noexcept {
    if (!url) return E_INVALIDARG;
    if (!pBundle) return E_POINTER;
    *pBundle = nullptr;
    ComPtr<IStringBundle> bundle;
    HRESULT hr =
        ::CoCreateInstance(CLSID_StringBundle, nullptr, CLSCTX_ALL, IID_IStringBundle, bundle.put_void());
    if (FAILED(hr)) return hr;
    hr = bundle->init(url);
    if (FAILED(hr)) return hr;
    *pBundle = bundle.Detach();
    return S_OK;
}
