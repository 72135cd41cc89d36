// The preferences below a branch key as a tree of registry keys: listing them with their stored form
// and deleting the ones a starting point reaches. Every key is reached through a handle opened below
// the branch key by a name the registry itself enumerated, so nothing outside the branch is touched.
#pragma once

#include <windows.h>

#include <map>
#include <string>
#include <string_view>

namespace PrefTree {

// Subkey levels a walk goes below the branch key, and values one walk visits; a walk stops there.
constexpr int kMaxDepth = 32;
constexpr size_t kMaxValues = 20000;

// A stored value: its registry type, size and a digest of type and data (0 when not asked for).
struct Stored {
    DWORD type = REG_NONE;
    DWORD size = 0;
    ULONGLONG digest = 0;
};
// Preference names below the branch (ordered, each once) and what is stored under them; when a name
// is stored both ways (a dotted value name and a subkey value), the first one found.
using Listing = std::map<std::wstring, Stored>;

// Every value below key whose name starts with prefix. digests: also read each value's data.
// Out of memory throws; a key that cannot be read is skipped.
void List(HKEY key, std::wstring_view prefix, bool digests, Listing& out);

// Deletes every value and subkey below key whose names deleteBranch(startingAt) reaches (see
// PrefStorage::DeletionReaches); key itself stays. False when some deletion was refused.
bool Delete(HKEY key, std::wstring_view startingAt);

} // namespace PrefTree
