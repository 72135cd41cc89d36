#include "script/InterfaceFinder.h"

#include "script/ScriptImplementsImpl.h"

STDMETHODIMP CInterfaceFinder::Implements(IDispatch* pObj, BSTR bsIID, VARIANT_BOOL* pRet) noexcept {
    if (!pObj || BstrEmpty(bsIID)) return E_INVALIDARG;
    if (!pRet) return E_POINTER;
    IID iid;
    HRESULT hr = ParseInterfaceId(bsIID, &iid);
    if (FAILED(hr)) return hr;
    ComPtr<IUnknown> itf;
    *pRet = SUCCEEDED(static_cast<IUnknown*>(pObj)->QueryInterface(iid, itf.put_void())) ? VARIANT_TRUE
                                                                                         : VARIANT_FALSE;
    return S_OK;
}
