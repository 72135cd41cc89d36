#include "xml/DOMSerializer.h"

STDMETHODIMP CDOMSerializer::serializeToString(VARIANT, BSTR*) noexcept { return E_NOTIMPL; }

STDMETHODIMP CDOMSerializer::serializeToStream(VARIANT, VARIANT, VARIANT) noexcept { return E_NOTIMPL; }
