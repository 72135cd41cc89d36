#include "bundles/Extensions.h"

#include "bundles/ResourceUrl.h"
#include "script/Boundary.h"
#include "shared/Storage.h"

#include <iterator>

HRESULT LookupExtension(const std::wstring& name, std::wstring& text) noexcept {
    return ComBoundary([&] {
        const std::wstring path = StoragePaths::ExtensionKey(UseLowStorage(), name);
        API::Win32::RegKey key;
        if (!key.open(HKEY_CURRENT_USER, path.c_str(), KEY_ALL_ACCESS)) return FailWithLastError();
        // Any value type; the text ends at the first NUL unit or with the data.
        std::wstring value;
        if (!key.readString(nullptr, value)) return FailWithLastError();
        text = std::move(value);
        return S_OK;
    });
}

HRESULT ResolveUrl(std::wstring_view url, std::wstring& resolved) noexcept {
    return ComBoundary([&] { return ResolveUrl(url, ExtensionLookup(&LookupExtension), resolved); });
}

std::vector<ExtensionEntry> ReadExtensionEntries() {
    std::vector<ExtensionEntry> entries;
    std::wstring root = StoragePaths::ExtensionKey(UseLowStorage(), L"");
    while (!root.empty() && root.back() == L'\\')
        root.pop_back();
    API::Win32::RegKey key;
    if (!key.open(HKEY_CURRENT_USER, root.c_str(), KEY_READ)) return entries;
    wchar_t name[256];
    for (DWORD index = 0;; ++index) {
        DWORD length = static_cast<DWORD>(std::size(name));
        const LONG status =
            ::RegEnumKeyExW(key.get(), index, name, &length, nullptr, nullptr, nullptr, nullptr);
        if (status == ERROR_MORE_DATA) continue; // a name longer than any registry key name: skip it
        if (status != ERROR_SUCCESS) break;
        API::Win32::RegKey sub;
        std::wstring text;
        if (!sub.open(key.get(), name, KEY_QUERY_VALUE) || !sub.readString(nullptr, text)) continue;
        entries.push_back({std::wstring(name, length), std::move(text)});
    }
    return entries;
}

bool IsRegisteredModule(std::wstring_view modulePath) {
    return RegisteredLocations::IsRegisteredModule(modulePath, ReadExtensionEntries());
}

bool LiesInRegisteredLocation(std::wstring_view path) {
    return RegisteredLocations::LiesInRegisteredLocation(path, ReadExtensionEntries());
}

bool MayLoadResModule(std::wstring_view url) {
    return RegisteredLocations::MayLoadResModule(url, ReadExtensionEntries());
}
