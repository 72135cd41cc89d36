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
} // namespace

bool MayWrite(bool low, std::wstring_view keyPath) {
    if (low) return true;
    std::wstring collapsed;
    collapsed.reserve(keyPath.size());
    for (wchar_t c : keyPath)
        if (c != L'\\' || (!collapsed.empty() && collapsed.back() != L'\\')) collapsed.push_back(c);
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

} // namespace PrefStorage
