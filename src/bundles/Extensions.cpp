#include "bundles/Extensions.h"

#include "bundles/ResourceUrl.h"
#include "module/Module.h"
#include "shared/Storage.h"

HRESULT LookupExtension(const std::wstring& name, std::wstring& text) noexcept {
    return ComBoundary([&] {
        const std::wstring path = StoragePaths::ExtensionKey(UseLowStorage(), name);
        API::Win32::RegKey key;
        if (!key.open(HKEY_CURRENT_USER, path.c_str(), KEY_ALL_ACCESS)) return E_FAIL;
        // Any value type; the text ends at the first NUL unit or with the data.
        std::wstring value;
        if (!key.readString(nullptr, value)) return E_FAIL;
        text = std::move(value);
        return S_OK;
    });
}

HRESULT ResolveUrl(std::wstring_view url, std::wstring& resolved) noexcept {
    return ComBoundary([&] { return ResolveUrl(url, ExtensionLookup(&LookupExtension), resolved); });
}
