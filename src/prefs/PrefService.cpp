#include "prefs/PrefService.h"

STDMETHODIMP CPrefService::getBranch(BSTR, IPrefBranch**) noexcept { return E_NOTIMPL; }
