// How preferences are laid out in the registry: the key a branch binds to and the registry type and
// bytes each preference type is stored as. Plain rules, no registry access.
#pragma once

#include <windows.h>
#include <oleauto.h>

#include <string>
#include <string_view>
#include <vector>

namespace PrefStorage {

// Branch text for a dotted preference root: "Zembrolatix\" followed by the root with every '.'
// turned into '\'. Nothing else is changed: "a..b" keeps its doubled separator.
std::wstring BranchTextFromRoot(std::wstring_view root);

// The branch key under HKEY_CURRENT_USER for a branch text, in the given storage mode.
std::wstring BranchKeyPath(bool low, std::wstring_view branchText);

// Whether a branch bound to keyPath (under HKEY_CURRENT_USER) may write there. In the low storage mode
// every branch key lies in the browser's protected-mode mirror, which confines writes by itself.
// Otherwise only the library's own keys take writes: Software\Zembrolatix (where init binds) and the
// maker's key Software\Belvanquist, each with everything below it. Compared without regard to ASCII
// case, at a separator boundary, with repeated separators read as one.
bool MayWrite(bool low, std::wstring_view keyPath);

// True when text holds a NUL unit: the registry would see a shorter name than the one given.
bool HasEmbeddedNul(std::wstring_view text) noexcept;

// One registry value: its type and its data bytes.
struct StoredValue {
    DWORD type = REG_NONE;
    std::vector<BYTE> data;
};

// DWORD 1 only for VARIANT_TRUE (-1); every other VARIANT_BOOL stores 0.
StoredValue BoolValue(VARIANT_BOOL value);
// DWORD, the signed value little-endian.
StoredValue IntValue(LONG value);
// QWORD, the signed value little-endian.
StoredValue Int64Value(LONGLONG value);
// REG_SZ: every unit of text (embedded NULs included) and one NUL unit.
StoredValue CharValue(std::wstring_view text);

// A stored DWORD read as a boolean: true only for exactly 1.
inline bool BoolFromDword(DWORD stored) noexcept {
    return stored == 1;
}

} // namespace PrefStorage
