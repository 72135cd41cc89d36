#include "files/DirectoryService.h"

#include "shared/Bstr.h"
#include "shared/Storage.h"
#include "shared/TextUtil.h"

namespace {

constexpr std::wstring_view kLocalFileIid = L"{F75B5C32-B42D-416D-93AC-8798869674CE}";

// Set while the library is loaded; the first "ProfD" request creates the private data folder and clears it.
bool g_createPrivateFolder = true;

HRESULT PrivateFolderPath(std::wstring& out) {
    HRESULT hr = PrivateDataFolder(out);
    if (FAILED(hr)) return hr;
    if (g_createPrivateFolder) {
        g_createPrivateFolder = false;
        ::CreateDirectoryW(out.c_str(), nullptr);
    }
    return S_OK;
}

HRESULT TempFolderPath(std::wstring& out) {
    wchar_t buffer[MAX_PATH] = {};
    const DWORD length = ::GetTempPathW(MAX_PATH, buffer);
    if (length == 0 || length >= MAX_PATH) return E_FAIL;
    out.assign(buffer, length);
    return S_OK;
}

} // namespace

// A new local file on the private data folder ("ProfD") or the temporary folder ("TmpD"), allowed to
// change the file system below it.
STDMETHODIMP CDirectoryService::get(BSTR prop, BSTR iid, VARIANT* pRet) noexcept {
    if (BstrEmpty(prop) || !iid) return E_INVALIDARG;
    if (!pRet) return E_POINTER;
    if (!EqualsIgnoreAsciiCase(BstrView(iid), kLocalFileIid)) return E_FAIL;
    return ComBoundary([&] {
        ComPtr<ISafeLocalFile> file;
        HRESULT hr =
            ::CoCreateInstance(CLSID_LocalFile, nullptr, CLSCTX_ALL, IID_ISafeLocalFile, file.put_void());
        if (FAILED(hr)) return hr;
        std::wstring path;
        if (EqualsIgnoreAsciiCase(BstrView(prop), L"ProfD"))
            hr = PrivateFolderPath(path);
        else if (EqualsIgnoreAsciiCase(BstrView(prop), L"TmpD"))
            hr = TempFolderPath(path);
        else
            return E_INVALIDARG;
        if (FAILED(hr)) return hr;
        Bstr text(path);
        hr = file->init(text.get(), VARIANT_TRUE);
        if (FAILED(hr)) return hr;
        ::VariantClear(pRet);
        ComPtr<IDispatch> dispatch;
        if (SUCCEEDED(file.As(dispatch))) {
            pRet->vt = VT_DISPATCH;
            pRet->pdispVal = dispatch.Detach();
        } else {
            pRet->vt = VT_UNKNOWN;
            pRet->punkVal = file.Detach();
        }
        return S_OK;
    });
}
