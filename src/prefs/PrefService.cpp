#include "prefs/PrefService.h"

#include "shared/ComPtr.h"

STDMETHODIMP CPrefService::getBranch(BSTR aPrefRoot, IPrefBranch** pBranch) noexcept {
    if (!aPrefRoot) return E_INVALIDARG;
    if (!pBranch) return E_POINTER;
    // Through the class registry, so a branch is made exactly as a script would make one; creation and
    // binding failures reach the caller unchanged.
    ComPtr<IPrefBranch> branch;
    HRESULT hr =
        ::CoCreateInstance(CLSID_PrefBranch, nullptr, CLSCTX_ALL, IID_IPrefBranch, branch.put_void());
    if (FAILED(hr)) return hr;
    hr = branch->init(aPrefRoot);
    if (FAILED(hr)) return hr;
    *pBranch = branch.Detach();
    return S_OK;
}
