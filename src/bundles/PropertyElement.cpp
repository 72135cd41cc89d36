#include "bundles/PropertyElement.h"

STDMETHODIMP CPropertyElement::get_key(VARIANT*) noexcept { return E_NOTIMPL; }

STDMETHODIMP CPropertyElement::put_key(VARIANT) noexcept { return E_NOTIMPL; }

STDMETHODIMP CPropertyElement::get_value(VARIANT*) noexcept { return E_NOTIMPL; }

STDMETHODIMP CPropertyElement::put_value(VARIANT) noexcept { return E_NOTIMPL; }
