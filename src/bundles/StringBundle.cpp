#include "bundles/StringBundle.h"

STDMETHODIMP CStringBundle::init(BSTR) noexcept { return E_NOTIMPL; }

STDMETHODIMP CStringBundle::GetStringFromName(BSTR, BSTR*) noexcept { return E_NOTIMPL; }

STDMETHODIMP CStringBundle::getSimpleEnumeration(ISimpleEnumerator**) noexcept { return E_NOTIMPL; }
