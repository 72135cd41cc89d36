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

bool IsDriveLetter(wchar_t c) noexcept {
    return (c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z');
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
    // "\??\" is handed to the system's own name space unchanged, where it may name anything.
    if (path.size() >= 4 && IsSeparator(path[0]) && path[1] == L'?' && path[2] == L'?' &&
        IsSeparator(path[3]))
        return true;
    if (path.size() < 2 || !IsSeparator(path[0]) || !IsSeparator(path[1])) return false;
    // "\\?\" and "\\.\" lead into the device name space, which also holds "UNC", "GLOBALROOT" and
    // "Global": only a drive letter there is surely on this machine.
    if (path.size() >= 3 && (path[2] == L'?' || path[2] == L'.') &&
        (path.size() == 3 || IsSeparator(path[3]))) {
        const std::wstring_view rest = path.size() > 4 ? path.substr(4) : std::wstring_view();
        const bool drive = rest.size() >= 2 && IsDriveLetter(rest[0]) && rest[1] == L':' &&
                           (rest.size() == 2 || IsSeparator(rest[2]));
        return !drive;
    }
    return true;
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
    if (!IsResUrl(url)) return true;
    const std::wstring module = GetResModulePath(url);
    return !IsUncPath(module) || IsRegisteredModule(module, entries);
}

} // namespace RegisteredLocations
