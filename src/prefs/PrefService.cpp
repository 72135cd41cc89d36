#include "prefs/PrefService.h"

#include "shared/Registered.h"

STDMETHODIMP CPrefService::getBranch(BSTR aPrefRoot, IPrefBranch** pBranch) noexcept {
    if (!aPrefRoot) return E_INVALIDARG;
    if (!pBranch) return E_POINTER;
    return CreateBound(CLSID_PrefBranch, aPrefRoot, pBranch);
}
