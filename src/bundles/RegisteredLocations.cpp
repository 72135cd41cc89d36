#include "bundles/RegisteredLocations.h"

#include "bundles/ResourceUrl.h"
#include "files/PathRules.h"
#include "shared/TextUtil.h"

namespace RegisteredLocations {

namespace {

bool IsBraceToken(std::wstring_view name) noexcept {
    return name.size() >= 2 && name.front() == L'{' && name.back() == L'}';
}

bool IsSeparator(wchar_t c) noexcept {
    return c == L'\\' || c == L'/';
}

// The folder part of a module path: everything before its last separator.
std::wstring_view FolderOf(std::wstring_view path) noexcept {
    const size_t last = path.find_last_of(L"\\/");
    return last == std::wstring_view::npos ? std::wstring_view() : path.substr(0, last);
}

bool SameFile(std::wstring_view a, std::wstring_view b) {
    const auto fullA = PathRules::FullPathForm(a);
    const auto fullB = PathRules::FullPathForm(b);
    return fullA && fullB && EqualsIgnoreAsciiCase(*fullA, *fullB);
}

} // namespace

bool IsUncPath(std::wstring_view path) noexcept {
    // "\??\" hands the rest to the object manager as it stands, as "\\?\" does.
    const bool objectPath = path.size() >= 4 && path.substr(0, 4) == L"\\??\\";
    if (!objectPath) {
        if (path.size() < 2 || !IsSeparator(path[0]) || !IsSeparator(path[1])) return false;
        if (path.size() < 4 || (path[2] != L'?' && path[2] != L'.') || !IsSeparator(path[3])) return true;
    }
    // A device path ("\\?\", "\\.\", "\??\") is local only when it names a drive: "UNC", a
    // GLOBALROOT device or a volume name may lead anywhere, the network redirector included.
    const std::wstring_view rest = path.substr(4);
    const bool drive = rest.size() >= 3 &&
                       ((rest[0] >= L'A' && rest[0] <= L'Z') || (rest[0] >= L'a' && rest[0] <= L'z')) &&
                       rest[1] == L':' && IsSeparator(rest[2]);
    return !drive;
}

bool IsRegisteredModule(std::wstring_view modulePath, const std::vector<ExtensionEntry>& entries) {
    if (modulePath.empty()) return false;
    for (const ExtensionEntry& entry : entries) {
        if (entry.text.empty()) continue;
        if (IsBraceToken(entry.name) ? PathRules::LiesInside(modulePath, entry.text)
                                     : SameFile(modulePath, entry.text))
            return true;
    }
    return false;
}

bool LiesInRegisteredLocation(std::wstring_view path, const std::vector<ExtensionEntry>& entries) {
    if (path.empty()) return false;
    for (const ExtensionEntry& entry : entries) {
        const std::wstring_view location =
            IsBraceToken(entry.name) ? std::wstring_view(entry.text) : FolderOf(entry.text);
        if (!location.empty() && PathRules::LiesInside(path, location)) return true;
    }
    return false;
}

bool MayLoadResModule(std::wstring_view url, const std::vector<ExtensionEntry>& entries) {
    if (GetUrlScheme(url) != L"res") return true;
    const std::wstring module = GetResModulePath(url);
    if (!IsUncPath(module)) return true;
    for (const ExtensionEntry& entry : entries)
        if (!IsBraceToken(entry.name) && EqualsIgnoreAsciiCase(module, entry.text)) return true;
    return false;
}

} // namespace RegisteredLocations
