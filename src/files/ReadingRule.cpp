#include "files/ReadingRule.h"

#include "bundles/Extensions.h"
#include "files/PathRules.h"
#include "script/Boundary.h"
#include "shared/Storage.h"

bool InsidePrivateDataFolder(std::wstring_view path) {
    std::wstring folder;
    if (FAILED(PrivateDataFolder(folder))) return false;
    return PathRules::LiesInside(path, folder);
}

bool MayReadFile(std::wstring_view path, bool safe) {
    return safe || InsidePrivateDataFolder(path) || LiesInRegisteredLocation(path);
}

HRESULT ReadableFileOf(ILocalFile* file, Bstr& path, VARIANT_BOOL& safe) noexcept {
    if (!file) return E_INVALIDARG;
    VARIANT_BOOL flag = VARIANT_FALSE;
    HRESULT hr = file->GetSafe(&flag);
    if (FAILED(hr)) return hr;
    Bstr named;
    hr = file->get_nativePath(named.put());
    if (FAILED(hr)) return hr;
    if (BstrEmpty(named.get())) return E_INVALIDARG;
    return ComBoundary([&] {
        if (!MayReadFile(named.view(), flag == VARIANT_TRUE)) return E_ACCESSDENIED;
        path = std::move(named);
        safe = flag;
        return S_OK;
    });
}
