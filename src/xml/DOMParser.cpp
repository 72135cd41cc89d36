#include "xml/DOMParser.h"

#include "files/PathRules.h"
#include "host/XmlServices.h"
#include "script/Boundary.h"
#include "shared/Bstr.h"

STDMETHODIMP CDOMParser::parseFromString(BSTR, VARIANT, IXMLDOMDocument**) noexcept {
    return E_NOTIMPL;
}

// MSXML reads the file itself, by the path the stream was opened on; the stream only names the file
// and is neither read nor moved. The path goes to MSXML as an escaped file: URL, because MSXML reads
// any text it is given as a URL and would decode a "%41" or cut at a "#" in the file's name.
// charset, contentLength and contentType are not used.
STDMETHODIMP CDOMParser::parseFromStream(VARIANT stream, VARIANT, VARIANT, VARIANT,
                                         IXMLDOMDocument** pRet) noexcept {
    if (stream.vt != VT_DISPATCH) return E_INVALIDARG;
    if (!pRet) return E_POINTER;
    return ComBoundary([&]() -> HRESULT {
        ComPtr<IXMLDOMDocument> doc;
        HRESULT hr = CreateXmlDocument(doc);
        if (FAILED(hr)) return hr;

        ComPtr<IFileInputStream> input;
        if (!stream.pdispVal || FAILED(ComPtr<IDispatch>(stream.pdispVal).As(input))) return E_NOTIMPL;
        ULONGLONG position = 0;
        hr = input->tell(&position);
        if (FAILED(hr)) return hr;
        ComPtr<ISafeLocalFile> file;
        bool named = SUCCEEDED(input.As(file));
        // Only a stream still at its start stands for the whole file.
        if (position != 0 || !named) return E_NOTIMPL;

        Bstr path;
        hr = file->GetPath(path.put());
        if (FAILED(hr)) return hr;
        Variant source;
        source->vt = VT_BSTR;
        source->bstrVal = Bstr(PathRules::FileUrlFromPath(path.view())).Detach();

        VARIANT_BOOL loaded = VARIANT_FALSE;
        hr = doc->load(*source.get(), &loaded);
        if (FAILED(hr)) return hr;
        if (loaded != VARIANT_TRUE) return FailWithReason("the document did not load");
        *pRet = doc.Detach();
        return S_OK;
    });
}
