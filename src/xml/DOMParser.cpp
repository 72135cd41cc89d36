#include "xml/DOMParser.h"

STDMETHODIMP CDOMParser::parseFromString(BSTR, VARIANT, IXMLDOMDocument**) noexcept { return E_NOTIMPL; }

STDMETHODIMP CDOMParser::parseFromStream(VARIANT, VARIANT, VARIANT, VARIANT, IXMLDOMDocument**) noexcept { return E_NOTIMPL; }
