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
// case, at a separator boundary, with repeated separators read as one. The Extensions key and
// everything below it never take writes, in either mode.
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

// ---- Names below a branch ------------------------------------------------------------------------
//
// A preference's name below a branch: the path of its key below the branch key, separators turned into
// dots, then a dot and the value's name; a value of the branch key itself is named as stored. So the
// value "width" of the subkey "window" is "window.width", as is a value stored as "window.width" in the
// branch key.

// The name of the value valueName in the subkey whose dotted path below the branch is keyName ("" for
// the branch key itself).
std::wstring ChildName(std::wstring_view keyName, std::wstring_view valueName);

// How the names below one subkey (dotted path keyName) relate to a prefix: every one of them starts
// with it, some may, or none can.
enum class Reach { None, Some, All };
Reach SubkeyReach(std::wstring_view keyName, std::wstring_view prefix);

// deleteBranch's reach: "" is every name; otherwise the name itself without a closing dot and every
// name below it ("a" and "a." both reach "a", "a.b" and "a.b.c", not "ab").
std::wstring DeletionPrefix(std::wstring_view startingAt);
bool DeletionReaches(std::wstring_view startingAt, std::wstring_view name);

// XPCOM's type constants, and the type a stored value reads as, by the getter that reads it: text for
// REG_SZ and REG_EXPAND_SZ (getCharPref), an integer for a REG_DWORD of at most four bytes (getIntPref;
// booleans are stored as integers, so they read as integers), nothing for a missing or empty value or
// any other type (a REG_QWORD is read by getInt64Pref only, which XPCOM does not have).
enum PrefType : LONG { kPrefInvalid = 0, kPrefString = 32, kPrefInt = 64, kPrefBool = 128 };
PrefType TypeOfStored(DWORD type, DWORD size) noexcept;

// Where a key path (under HKEY_CURRENT_USER) lies against the library's own preference key (the key
// that init("") binds to), read as MayWrite reads paths.
enum class StorePlace { Outside, Top, Below };
StorePlace PlaceInStore(bool low, std::wstring_view keyPath);

// The dotted root of a branch bound to branchText below the base path: the text after the library's
// "Zembrolatix\" (when there) with every separator turned into a dot. init's root gives init's root
// back.
std::wstring RootFromBranchText(std::wstring_view branchText);

// A stored DWORD read as a boolean: true only for exactly 1.
inline bool BoolFromDword(DWORD stored) noexcept {
    return stored == 1;
}

} // namespace PrefStorage
