#include "xml/DOMSerializer.h"

#include "host/XmlServices.h"
#include "script/Boundary.h"
#include "shared/Bstr.h"
#include "xml/XmlDeclaration.h"

#include <climits>
#include <string>
#include <vector>

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

// The document's markup as its get_xml gives it. MSXML writes a document as each of its top-level nodes
// followed by a line break; asked node by node it gives the same text several times faster than asked
// for the document at once. A document without children, or with one that gives no markup (a document
// type node), is asked as a whole.
HRESULT DocumentMarkup(const ComPtr<IXMLDOMDocument>& doc, std::wstring& markup) {
    constexpr std::wstring_view kLineBreak = L"\r\n";
    std::vector<Bstr> pieces;
    size_t length = 0;
    ComPtr<IXMLDOMNode> child;
    HRESULT hr = doc->get_firstChild(child.put());
    while (SUCCEEDED(hr) && child) {
        Bstr piece;
        hr = child->get_xml(piece.put());
        if (FAILED(hr) || !piece.get()) break;
        length += piece.length() + kLineBreak.size();
        pieces.push_back(std::move(piece));
        ComPtr<IXMLDOMNode> next;
        hr = child->get_nextSibling(next.put());
        child = std::move(next);
    }
    if (FAILED(hr) || child || pieces.empty()) {
        Bstr whole;
        hr = doc->get_xml(whole.put());
        if (FAILED(hr)) return hr;
        markup.assign(whole.view());
        return S_OK;
    }
    markup.clear();
    markup.reserve(length);
    for (const Bstr& piece : pieces)
        markup.append(piece.view()).append(kLineBreak);
    return S_OK;
}

// text behind a declaration naming UTF-8 (see WithUtf8Declaration), as one new BSTR.
HRESULT DeclaredText(std::wstring_view text, Bstr& out) {
    const size_t size = WithUtf8DeclarationLength(text);
    if (size > static_cast<size_t>(LONG_MAX)) return E_OUTOFMEMORY;
    BSTR made = ::SysAllocStringLen(nullptr, static_cast<UINT>(size));
    if (!made) return E_OUTOFMEMORY;
    WriteWithUtf8Declaration(text, made);
    *out.put() = made;
    return S_OK;
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

        std::wstring markup;
        hr = DocumentMarkup(doc, markup);
        if (FAILED(hr)) return hr;
        Bstr text;
        hr = DeclaredText(markup, text);
        if (FAILED(hr)) return hr;
        std::wstring().swap(markup);

        const LONG count = static_cast<LONG>(text.length());
        LONG written = 0;
        hr = output->write(text.get(), count, &written);
        if (FAILED(hr)) return hr;
        return written < count ? FailWithReason("the stream took fewer units than given") : S_OK;
    });
}
