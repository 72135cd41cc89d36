#include "host/XmlServices.h"

namespace {

HRESULT CreateByProgId(const wchar_t* progId, REFIID iid, void** object) noexcept {
    CLSID clsid;
    HRESULT hr = ::CLSIDFromProgID(progId, &clsid);
    if (FAILED(hr)) return hr;
    return ::CoCreateInstance(clsid, nullptr, CLSCTX_ALL, iid, object);
}

} // namespace

HRESULT CreateXmlDocument(ComPtr<IXMLDOMDocument>& doc) noexcept {
    ComPtr<IXMLDOMDocument> created;
    HRESULT hr = CreateByProgId(L"Microsoft.XMLDOM", __uuidof(IXMLDOMDocument), created.put_void());
    // MSXML 3 would otherwise fetch external entities and DTDs: any file or address a document names.
    if (SUCCEEDED(hr)) hr = created->put_resolveExternals(VARIANT_FALSE);
    if (SUCCEEDED(hr)) hr = created->put_validateOnParse(VARIANT_FALSE);
    if (SUCCEEDED(hr)) doc = std::move(created);
    return hr;
}

HRESULT CreateHttpRequest(IDispatch** request) noexcept {
    *request = nullptr;
    HRESULT hr = CreateByProgId(L"Msxml2.XMLHTTP", IID_IDispatch, reinterpret_cast<void**>(request));
    if (FAILED(hr))
        hr = CreateByProgId(L"Microsoft.XMLHTTP", IID_IDispatch, reinterpret_cast<void**>(request));
    return hr;
}
