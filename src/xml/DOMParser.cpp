#include "xml/DOMParser.h"

#include "host/XmlServices.h"
#include "script/Boundary.h"
#include "shared/Bstr.h"
#include "shared/SafeArray.h"
#include "shared/Win32.h"

#include <string>

STDMETHODIMP CDOMParser::parseFromString(BSTR, VARIANT, IXMLDOMDocument**) noexcept {
    return E_NOTIMPL;
}

namespace {

// The bytes of the file at path, as the byte array MSXML loads from. The file is opened afresh, shared
// with readers only, as a browser opens a file it reads.
HRESULT ReadBytes(const std::wstring& path, SafeArray& bytes) {
    API::Win32::File file;
    if (!file.open(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr))
        return FailWithLastError();
    DWORD size = 0;
    if (!file.wholeSize(size))
        return ::GetLastError() == ERROR_FILE_TOO_LARGE ? E_OUTOFMEMORY : FailWithLastError();
    SafeArray array(::SafeArrayCreateVector(VT_UI1, 0, size));
    if (!array) return E_OUTOFMEMORY;
    HRESULT hr = array.lock();
    if (FAILED(hr)) return hr;
    DWORD read = 0;
    if (!file.read(array.get()->pvData, size, read)) return FailWithLastError();
    if (read == size) {
        bytes = std::move(array);
        return S_OK;
    }
    // A file that shrank while it was read gives what it still held; an array resizes only unlocked.
    bytes = SafeArray(array.Detach());
    SAFEARRAYBOUND bound{read, 0};
    return ::SafeArrayRedim(bytes.get(), &bound);
}

} // namespace

// The stream only names the file: it is neither read nor moved. The library reads the file by the path
// the stream was opened on and MSXML parses its bytes, deciding the encoding from them as it does for
// a file it loads itself (a byte order mark, the declaration, else UTF-8). Parsing bytes in memory takes
// about half the time of MSXML's own load of a file, which goes through a URL download; the document's
// url stays empty. charset, contentLength and contentType are not used.
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
        SafeArray bytes;
        hr = ReadBytes(std::wstring(path.view()), bytes);
        if (FAILED(hr)) return hr;
        VARIANT source;
        source.vt = VT_ARRAY | VT_UI1;
        source.parray = bytes.get();

        VARIANT_BOOL loaded = VARIANT_FALSE;
        hr = doc->load(source, &loaded);
        if (FAILED(hr)) return hr;
        if (loaded != VARIANT_TRUE) return FailWithReason("the document did not load");
        *pRet = doc.Detach();
        return S_OK;
    });
}
