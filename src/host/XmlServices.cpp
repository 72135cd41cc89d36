#include "host/XmlServices.h"

HRESULT CreateXmlDocument(ComPtr<IXMLDOMDocument>& doc) noexcept {
    CLSID clsid;
    HRESULT hr = ::CLSIDFromProgID(L"Microsoft.XMLDOM", &clsid);
    if (FAILED(hr)) return hr;
    return ::CoCreateInstance(clsid, nullptr, CLSCTX_ALL, __uuidof(IXMLDOMDocument), doc.put_void());
}
