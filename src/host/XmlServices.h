// MSXML as the library uses it: the DOM document created by ProgID, and the DOM interfaces by IID.
#pragma once

#include "shared/ComPtr.h"

#include <msxml.h>

// MinGW's header declares these interfaces without their identifiers for __uuidof.
__CRT_UUID_DECL(IXMLDOMNode, 0x2933bf80, 0x7b36, 0x11d2, 0xb2, 0x0e, 0x00, 0xc0, 0x4f, 0x98, 0x3e, 0x60)
__CRT_UUID_DECL(IXMLDOMDocument, 0x2933bf81, 0x7b36, 0x11d2, 0xb2, 0x0e, 0x00, 0xc0, 0x4f, 0x98, 0x3e, 0x60)

// A new, empty "Microsoft.XMLDOM" document that reads nothing but the source it is given: external
// entities are not resolved and nothing is validated (a document that declares a DTD still loads).
// The failure of the ProgID lookup, of the creation or of either setting is returned unchanged, and
// doc is then left as it was.
HRESULT CreateXmlDocument(ComPtr<IXMLDOMDocument>& doc) noexcept;

// A new HTTP request object for script to drive: "Msxml2.XMLHTTP", else the older "Microsoft.XMLHTTP".
// When neither gives one, the failure of the second attempt; *request stays null.
HRESULT CreateHttpRequest(IDispatch** request) noexcept;
