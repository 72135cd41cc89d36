#include "module/RegistryApplier.h"

#include "module/OwnedKey.h"

#include <iterator>
#include <utility>

namespace Registrar {

namespace {

HKEY RootHandle(RootKey root) noexcept {
    // In the order of RootKey.
    static const HKEY roots[] = {HKEY_CLASSES_ROOT,     HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE, HKEY_USERS,
                                 HKEY_PERFORMANCE_DATA, HKEY_DYN_DATA,     HKEY_CURRENT_CONFIG};
    const auto index = static_cast<size_t>(root);
    return index < std::size(roots) ? roots[index] : nullptr;
}

HRESULT FromWin32(LONG error) noexcept {
    return HRESULT_FROM_WIN32(static_cast<DWORD>(error));
}

LONG SetValue(HKEY key, const std::wstring& name, const ValueData& value) {
    const wchar_t* valueName = name.empty() ? nullptr : name.c_str();
    switch (value.type) {
    case ValueType::String:
        return ::RegSetValueExW(key, valueName, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.text.c_str()),
                                static_cast<DWORD>((value.text.size() + 1) * sizeof(wchar_t)));
    case ValueType::Dword: {
        DWORD number = value.number;
        return ::RegSetValueExW(key, valueName, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number),
                                sizeof number);
    }
    case ValueType::Binary:
        return ::RegSetValueExW(key, valueName, 0, REG_BINARY, value.bytes.data(),
                                static_cast<DWORD>(value.bytes.size()));
    case ValueType::MultiString: {
        // Each string ends with a terminator, the list with one more.
        std::wstring data = value.text;
        data.push_back(L'\0');
        data.push_back(L'\0');
        return ::RegSetValueExW(key, valueName, 0, REG_MULTI_SZ, reinterpret_cast<const BYTE*>(data.data()),
                                static_cast<DWORD>(data.size() * sizeof(wchar_t)));
    }
    }
    return ERROR_INVALID_PARAMETER;
}

// Opens a key for writing, for reading only when that is all that is allowed, and creates it when missing.
LONG OpenOrCreate(HKEY parent, const std::wstring& name, OwnedKey& key) {
    if (key.open(parent, name.c_str(), KEY_READ | KEY_WRITE)) return ERROR_SUCCESS;
    if (key.open(parent, name.c_str(), KEY_READ)) return ERROR_SUCCESS;
    HKEY created = nullptr;
    LONG error = ::RegCreateKeyExW(parent, name.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                   KEY_READ | KEY_WRITE, nullptr, &created, nullptr);
    if (error == ERROR_SUCCESS) key.reset(created);
    return error;
}

HRESULT RegisterEntries(HKEY parent, const std::vector<Entry>& entries) {
    for (const Entry& entry : entries) {
        if (entry.isValue) {
            if (LONG error = SetValue(parent, entry.name, entry.value); error != ERROR_SUCCESS)
                return FromWin32(error);
            continue;
        }
        if ((entry.marker == Marker::ForceRemove || entry.marker == Marker::Delete) &&
            !IsProtectedKeyName(entry.name)) {
            // A key that is not there is no error; one that cannot be deleted is reused as it stands.
            ::RegDeleteTreeW(parent, entry.name.c_str());
        }
        if (entry.marker == Marker::Delete) continue;

        OwnedKey key;
        if (LONG error = OpenOrCreate(parent, entry.name, key); error != ERROR_SUCCESS)
            return FromWin32(error);
        if (entry.hasValue) {
            if (LONG error = SetValue(key.get(), L"", entry.value); error != ERROR_SUCCESS)
                return FromWin32(error);
        }
        if (HRESULT hr = RegisterEntries(key.get(), entry.children); FAILED(hr)) return hr;
    }
    return S_OK;
}

HRESULT UnregisterEntries(HKEY parent, const std::vector<Entry>& entries) {
    for (const Entry& entry : entries) {
        if (entry.isValue) {
            if (entry.marker == Marker::NoRemove) continue;
            LONG error = ::RegDeleteValueW(parent, entry.name.empty() ? nullptr : entry.name.c_str());
            if (error != ERROR_SUCCESS && error != ERROR_FILE_NOT_FOUND) return FromWin32(error);
            continue;
        }
        OwnedKey key;
        // A key that is not there (or cannot be opened) is skipped with everything listed below it.
        if (!key.open(parent, entry.name.c_str(), KEY_READ | KEY_WRITE)) continue;
        if (HRESULT hr = UnregisterEntries(key.get(), entry.children); FAILED(hr)) return hr;
        if (entry.marker == Marker::NoRemove) continue;
        bool keep = HasSubkeys(key.get());
        key.close();
        if (keep) continue;
        LONG error = ::RegDeleteKeyW(parent, entry.name.c_str());
        if (error != ERROR_SUCCESS && error != ERROR_FILE_NOT_FOUND) return FromWin32(error);
    }
    return S_OK;
}

} // namespace

HRESULT ApplyScript(const Script& script, bool doRegister) {
    for (const RootBlock& block : script.blocks) {
        HKEY root = RootHandle(block.root);
        if (doRegister) {
            HRESULT hr = RegisterEntries(root, block.entries);
            if (FAILED(hr)) {
                UnregisterEntries(root, block.entries);
                return hr;
            }
        } else if (HRESULT hr = UnregisterEntries(root, block.entries); FAILED(hr)) {
            return hr;
        }
    }
    return S_OK;
}

} // namespace Registrar
