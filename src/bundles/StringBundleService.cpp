#include "bundles/StringBundleService.h"

STDMETHODIMP CStringBundleService::createBundle(BSTR, IStringBundle**) noexcept { return E_NOTIMPL; }
