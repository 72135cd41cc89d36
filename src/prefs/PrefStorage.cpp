#include "prefs/PrefStorage.h"

#include "shared/Storage.h"
#include "shared/TextUtil.h"

#include <algorithm>
#include <type_traits>

namespace PrefStorage {

namespace {
constexpr std::wstring_view kBranchPrefix = L"Zembrolatix\\";

template <class T> StoredValue LittleEndian(DWORD type, T value) {
    StoredValue out;
    out.type = type;
    out.data.resize(sizeof(T));
    for (size_t i = 0; i < sizeof(T); ++i)
        out.data[i] = static_cast<BYTE>(static_cast<std::make_unsigned_t<T>>(value) >> (8 * i));
    return out;
}

// A key path with repeated separators read as one and no leading or closing separator.
std::wstring Collapsed(std::wstring_view keyPath) {
    std::wstring collapsed;
    collapsed.reserve(keyPath.size());
    for (wchar_t c : keyPath)
        if (c != L'\\' || (!collapsed.empty() && collapsed.back() != L'\\')) collapsed.push_back(c);
    if (!collapsed.empty() && collapsed.back() == L'\\') collapsed.pop_back();
    return collapsed;
}

bool StartsWith(std::wstring_view text, std::wstring_view prefix) noexcept {
    return text.substr(0, prefix.size()) == prefix;
}
} // namespace

bool MayWrite(bool low, std::wstring_view keyPath) {
    const std::wstring collapsed = Collapsed(keyPath);
    // The Extensions key says which modules and folders are the application's own: a page that could
    // write there could make any file readable and any module openable.
    const std::wstring extensions = Collapsed(StoragePaths::ExtensionKey(low, L""));
    if (StartsWithIgnoreAsciiCase(collapsed, extensions) &&
        (collapsed.size() == extensions.size() || collapsed[extensions.size()] == L'\\'))
        return false;
    if (low) return true;
    for (std::wstring_view own : {L"Software\\Zembrolatix", L"Software\\Belvanquist"}) {
        if (StartsWithIgnoreAsciiCase(collapsed, own) &&
            (collapsed.size() == own.size() || collapsed[own.size()] == L'\\'))
            return true;
    }
    return false;
}

std::wstring BranchTextFromRoot(std::wstring_view root) {
    std::wstring text;
    text.reserve(kBranchPrefix.size() + root.size());
    text.append(kBranchPrefix);
    text.append(root);
    std::replace(text.begin() + kBranchPrefix.size(), text.end(), L'.', L'\\');
    return text;
}

std::wstring BranchKeyPath(bool low, std::wstring_view branchText) {
    return StoragePaths::PreferenceKey(low, branchText);
}

bool HasEmbeddedNul(std::wstring_view text) noexcept {
    return text.find(L'\0') != std::wstring_view::npos;
}

StoredValue BoolValue(VARIANT_BOOL value) {
    return IntValue(value == VARIANT_TRUE ? 1 : 0);
}

StoredValue IntValue(LONG value) {
    return LittleEndian<LONG>(REG_DWORD, value);
}

StoredValue Int64Value(LONGLONG value) {
    return LittleEndian<LONGLONG>(REG_QWORD, value);
}

StoredValue CharValue(std::wstring_view text) {
    StoredValue out;
    out.type = REG_SZ;
    out.data.resize((text.size() + 1) * sizeof(wchar_t));
    for (size_t i = 0; i < text.size(); ++i) {
        out.data[2 * i] = static_cast<BYTE>(text[i] & 0xFF);
        out.data[2 * i + 1] = static_cast<BYTE>(text[i] >> 8);
    }
    return out;
}

std::wstring ChildName(std::wstring_view keyName, std::wstring_view valueName) {
    if (keyName.empty()) return std::wstring(valueName);
    std::wstring name;
    name.reserve(keyName.size() + 1 + valueName.size());
    name.append(keyName).append(1, L'.').append(valueName);
    return name;
}

Reach SubkeyReach(std::wstring_view keyName, std::wstring_view prefix) {
    const std::wstring below = ChildName(keyName, L"");
    if (StartsWith(below, prefix)) return Reach::All;
    return StartsWith(prefix, below) ? Reach::Some : Reach::None;
}

std::wstring DeletionPrefix(std::wstring_view startingAt) {
    std::wstring prefix(startingAt);
    if (!prefix.empty() && prefix.back() != L'.') prefix.push_back(L'.');
    return prefix;
}

bool DeletionReaches(std::wstring_view startingAt, std::wstring_view name) {
    const std::wstring prefix = DeletionPrefix(startingAt);
    return StartsWith(name, prefix) ||
           (!prefix.empty() && name == std::wstring_view(prefix).substr(0, prefix.size() - 1));
}

PrefType TypeOfStored(DWORD type, DWORD size) noexcept {
    if (size == 0) return kPrefInvalid;
    switch (type) {
    case REG_SZ:
    case REG_EXPAND_SZ:
        return kPrefString;
    case REG_DWORD:
        return size <= sizeof(DWORD) ? kPrefInt : kPrefInvalid;
    default:
        return kPrefInvalid;
    }
}

StorePlace PlaceInStore(bool low, std::wstring_view keyPath) {
    const std::wstring store = Collapsed(BranchKeyPath(low, kBranchPrefix));
    const std::wstring collapsed = Collapsed(keyPath);
    if (!StartsWithIgnoreAsciiCase(collapsed, store)) return StorePlace::Outside;
    if (collapsed.size() == store.size()) return StorePlace::Top;
    return collapsed[store.size()] == L'\\' ? StorePlace::Below : StorePlace::Outside;
}

std::wstring RootFromBranchText(std::wstring_view branchText) {
    if (StartsWithIgnoreAsciiCase(branchText, kBranchPrefix)) branchText.remove_prefix(kBranchPrefix.size());
    std::wstring root(branchText);
    std::replace(root.begin(), root.end(), L'\\', L'.');
    return root;
}

} // namespace PrefStorage
