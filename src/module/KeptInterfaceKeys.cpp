#include "module/KeptInterfaceKeys.h"

#include "module/OwnedKey.h"
#include "script/TypeLibWalker.h"

#include <iterator>
#include <string>

namespace Registrar {
namespace {

// The longest value name and key name the registry stores, and the terminator.
constexpr DWORD kValueNameUnits = 16384;
constexpr DWORD kKeyNameUnits = 256;

std::wstring GuidText(const GUID& guid) {
    wchar_t text[40] = {};
    ::StringFromGUID2(guid, text, static_cast<int>(std::size(text)));
    return text;
}

constexpr wchar_t kInterfaces[] = L"Software\\Classes\\Interface";

// True when HKCR\Interface\{iid}, in the registry's view for 64-bit or 32-bit programs, exists and its
// TypeLib names a library other than ownLibrary, or none.
bool RegisteredForOtherLibrary(const std::wstring& iid, REGSAM view, const GUID& ownLibrary) {
    OwnedKey key;
    if (!key.open(HKEY_CLASSES_ROOT, (L"Interface\\" + iid).c_str(), KEY_READ | view)) return false;
    OwnedKey typeLib;
    std::wstring named;
    GUID library{};
    if (!typeLib.open(key.get(), L"TypeLib", KEY_READ | view) || !typeLib.readString(L"", named)) return true;
    return FAILED(::IIDFromString(named.c_str(), &library)) || library != ownLibrary;
}

// Appends the key at path below root, then each of its subkeys the same way. False when any of them
// cannot be read whole.
template <class Keys> bool ReadTree(HKEY root, REGSAM view, const std::wstring& path, Keys& keys) {
    OwnedKey key;
    if (!key.open(root, path.c_str(), KEY_READ | view)) return false;
    auto& read = keys.emplace_back();
    read.path = path;
    std::wstring name(kValueNameUnits, L'\0');
    for (DWORD index = 0;; ++index) {
        DWORD nameLength = kValueNameUnits, type = REG_NONE, size = 0;
        LONG result =
            ::RegEnumValueW(key.get(), index, name.data(), &nameLength, nullptr, &type, nullptr, &size);
        if (result == ERROR_NO_MORE_ITEMS) break;
        if (result != ERROR_SUCCESS) return false;
        auto& value = read.values.emplace_back();
        value.data.resize(size);
        nameLength = kValueNameUnits;
        result = ::RegEnumValueW(key.get(), index, name.data(), &nameLength, nullptr, &value.type,
                                 value.data.data(), &size);
        if (result != ERROR_SUCCESS) return false;
        value.data.resize(size);
        value.name.assign(name.data(), nameLength);
    }
    std::vector<std::wstring> subkeys;
    for (DWORD index = 0;; ++index) {
        DWORD nameLength = kKeyNameUnits;
        LONG result =
            ::RegEnumKeyExW(key.get(), index, name.data(), &nameLength, nullptr, nullptr, nullptr, nullptr);
        if (result == ERROR_NO_MORE_ITEMS) break;
        if (result != ERROR_SUCCESS) return false;
        subkeys.emplace_back(name.data(), nameLength);
    }
    for (const std::wstring& subkey : subkeys)
        if (!ReadTree(root, view, path + L"\\" + subkey, keys)) return false;
    return true;
}

} // namespace

void KeptInterfaceKeys::Save(ITypeLib* typeLib) {
    m_trees.clear();
    TLIBATTR* libraryAttributes = nullptr;
    if (FAILED(typeLib->GetLibAttr(&libraryAttributes))) return;
    const GUID ownLibrary = libraryAttributes->guid;
    typeLib->ReleaseTLibAttr(libraryAttributes);

    ForEachTypeInfo(typeLib, [&](UINT, ITypeInfo*, const TYPEATTR& attributes) {
        if (attributes.typekind != TKIND_INTERFACE && attributes.typekind != TKIND_DISPATCH) return S_OK;
        const std::wstring iid = GuidText(attributes.guid);
        // A 64-bit registration writes the view of 32-bit programs as well.
        for (REGSAM view : {KEY_WOW64_64KEY, KEY_WOW64_32KEY}) {
            if (!RegisteredForOtherLibrary(iid, view, ownLibrary)) continue;
            const std::wstring path = std::wstring(kInterfaces) + L"\\" + iid;
            for (HKEY root : {HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER}) {
                Tree tree{root, view, iid, {}};
                HKEY opened = nullptr;
                const LONG result = ::RegOpenKeyExW(root, path.c_str(), 0, KEY_READ | view, &opened);
                OwnedKey present;
                if (result == ERROR_SUCCESS) present.reset(opened);
                // Only a key known to be missing is kept as missing.
                if (result != ERROR_FILE_NOT_FOUND &&
                    (result != ERROR_SUCCESS || !ReadTree(root, view, path, tree.keys)))
                    continue;
                m_trees.push_back(std::move(tree));
            }
        }
        return S_OK;
    });
}

void KeptInterfaceKeys::Restore() const noexcept {
    for (const Tree& tree : m_trees) {
        OwnedKey interfaces;
        if (interfaces.open(tree.root, kInterfaces, KEY_ALL_ACCESS | tree.view))
            ::RegDeleteTreeW(interfaces.get(), tree.iid.c_str());
        for (const Key& saved : tree.keys) {
            OwnedKey key;
            if (!key.create(tree.root, saved.path.c_str(), nullptr, REG_OPTION_NON_VOLATILE,
                            KEY_WRITE | tree.view, nullptr, nullptr))
                break;
            for (const Value& value : saved.values)
                key.writeValue(value.name.c_str(), value.type, value.data.data(),
                               static_cast<DWORD>(value.data.size()));
        }
    }
}

} // namespace Registrar
