#include "xml/DOMSerializer.h"

#include "host/XmlServices.h"
#include "script/Boundary.h"
#include "shared/Bstr.h"
#include "xml/XmlDeclaration.h"

#include <climits>

namespace {

// The MSXML node an argument holds: E_INVALIDARG unless it is a non-null object giving IXMLDOMNode.
HRESULT NodeOf(const VARIANT& root, ComPtr<IXMLDOMNode>& node) noexcept {
    if (root.vt != VT_DISPATCH || !root.pdispVal) return E_INVALIDARG;
    if (FAILED(ComPtr<IDispatch>(root.pdispVal).As(node))) return E_INVALIDARG;
    return S_OK;
}

// The document that node is, or else the one that owns it.
HRESULT DocumentOf(const ComPtr<IXMLDOMNode>& node, ComPtr<IXMLDOMDocument>& doc) noexcept {
    if (SUCCEEDED(node.As(doc))) return S_OK;
    HRESULT hr = node->get_ownerDocument(doc.put());
    if (FAILED(hr)) return hr;
    return doc ? S_OK : FailWithReason("the node has no document");
}

} // namespace

// The node's own markup as MSXML gives it; any declaration a document holds is left as it is.
STDMETHODIMP CDOMSerializer::serializeToString(VARIANT root, BSTR* pRet) noexcept {
    ComPtr<IXMLDOMNode> node;
    HRESULT hr = NodeOf(root, node);
    if (FAILED(hr)) return hr;
    if (!pRet) return E_POINTER;
    return node->get_xml(pRet);
}

// Writes the whole document that root belongs to, behind a declaration naming UTF-8, through the
// stream's write. charset is not used: the stream decides the bytes (UTF-8 for a FileOutputStream).
// The stream is neither flushed nor closed.
STDMETHODIMP CDOMSerializer::serializeToStream(VARIANT root, VARIANT stream, VARIANT) noexcept {
    if (root.vt != VT_DISPATCH || stream.vt != VT_DISPATCH) return E_INVALIDARG;
    ComPtr<IXMLDOMNode> node;
    HRESULT hr = NodeOf(root, node);
    if (FAILED(hr)) return hr;
    return ComBoundary([&]() -> HRESULT {
        ComPtr<IXMLDOMDocument> doc;
        HRESULT hr = DocumentOf(node, doc);
        if (FAILED(hr)) return hr;

        ComPtr<IOutputStream> output;
        if (!stream.pdispVal || FAILED(ComPtr<IDispatch>(stream.pdispVal).As(output))) return E_NOTIMPL;

        Bstr markup;
        hr = doc->get_xml(markup.put());
        if (FAILED(hr)) return hr;
        Bstr text(WithUtf8Declaration(markup.view()));
        markup.reset();
        if (text.length() > static_cast<UINT>(LONG_MAX)) return E_OUTOFMEMORY;

        const LONG count = static_cast<LONG>(text.length());
        LONG written = 0;
        hr = output->write(text.get(), count, &written);
        if (FAILED(hr)) return hr;
        return written < count ? FailWithReason("the stream took fewer units than given") : S_OK;
    });
}
