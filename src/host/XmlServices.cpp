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
    return CreateByProgId(L"Microsoft.XMLDOM", __uuidof(IXMLDOMDocument), doc.put_void());
}

HRESULT CreateHttpRequest(IDispatch** request) noexcept {
    *request = nullptr;
    HRESULT hr = CreateByProgId(L"Msxml2.XMLHTTP", IID_IDispatch, reinterpret_cast<void**>(request));
    if (FAILED(hr))
        hr = CreateByProgId(L"Microsoft.XMLHTTP", IID_IDispatch, reinterpret_cast<void**>(request));
    return hr;
}
