#include "prefs/PrefTree.h"

#include "prefs/PrefStorage.h"
#include "shared/Win32.h"

#include <vector>

namespace PrefTree {

namespace {

using API::Win32::RegKey;

// The longest value and subkey names of one key, and its counts.
struct KeyInfo {
    DWORD subkeys = 0, maxSubkeyName = 0, values = 0, maxValueName = 0, maxData = 0;
    bool read(HKEY key) noexcept {
        return ::RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, &subkeys, &maxSubkeyName, nullptr, &values,
                                  &maxValueName, &maxData, nullptr, nullptr) == ERROR_SUCCESS;
    }
};

ULONGLONG Digest(DWORD type, const BYTE* data, DWORD size) noexcept {
    ULONGLONG hash = 0xcbf29ce484222325ULL;
    auto mix = [&](BYTE b) { hash = (hash ^ b) * 0x100000001b3ULL; };
    for (int i = 0; i < 4; ++i)
        mix(static_cast<BYTE>(type >> (8 * i)));
    for (DWORD i = 0; i < size; ++i)
        mix(data[i]);
    return hash;
}

// The names of the values (or subkeys) of key, as enumerated before anything changes.
std::vector<std::wstring> Names(HKEY key, bool subkeys) {
    std::vector<std::wstring> names;
    KeyInfo info;
    if (!info.read(key)) return names;
    std::wstring buffer((subkeys ? info.maxSubkeyName : info.maxValueName) + 2, L'\0');
    for (DWORD i = 0;; ++i) {
        DWORD length = static_cast<DWORD>(buffer.size());
        const LONG rc =
            subkeys ? ::RegEnumKeyExW(key, i, buffer.data(), &length, nullptr, nullptr, nullptr, nullptr)
                    : ::RegEnumValueW(key, i, buffer.data(), &length, nullptr, nullptr, nullptr, nullptr);
        if (rc == ERROR_NO_MORE_ITEMS) break;
        if (rc == ERROR_MORE_DATA) { // grew since the count was taken
            buffer.resize(buffer.size() * 2 + 256);
            --i;
            continue;
        }
        if (rc != ERROR_SUCCESS) break;
        names.emplace_back(buffer.data(), length);
    }
    return names;
}

std::wstring SubkeyName(std::wstring_view keyName, std::wstring_view subkey) {
    return keyName.empty() ? std::wstring(subkey) : PrefStorage::ChildName(keyName, subkey);
}

void Walk(HKEY key, const std::wstring& keyName, int depth, std::wstring_view prefix, bool digests,
          Listing& out) {
    std::vector<BYTE> data;
    for (const std::wstring& value : Names(key, false)) {
        if (out.size() >= kMaxValues) return;
        std::wstring name = PrefStorage::ChildName(keyName, value);
        if (name.compare(0, prefix.size(), prefix) != 0 || out.count(name)) continue;
        Stored stored;
        if (::RegQueryValueExW(key, value.c_str(), nullptr, &stored.type, nullptr, &stored.size) !=
            ERROR_SUCCESS)
            continue;
        if (digests) {
            data.resize(stored.size);
            DWORD size = stored.size;
            if (::RegQueryValueExW(key, value.c_str(), nullptr, &stored.type, data.data(), &size) !=
                ERROR_SUCCESS)
                continue;
            stored.size = size;
            stored.digest = Digest(stored.type, data.data(), size);
        }
        out.emplace(std::move(name), stored);
    }
    if (depth >= kMaxDepth) return;
    for (const std::wstring& subkey : Names(key, true)) {
        const std::wstring child = SubkeyName(keyName, subkey);
        if (PrefStorage::SubkeyReach(child, prefix) == PrefStorage::Reach::None) continue;
        RegKey sub;
        if (sub.open(key, subkey.c_str(), KEY_READ)) Walk(sub.get(), child, depth + 1, prefix, digests, out);
    }
}

// Deletes the subkey name of parent with everything below it.
bool DeleteSubtree(HKEY parent, const std::wstring& name, int depth) {
    bool ok = depth < kMaxDepth;
    {
        RegKey sub;
        if (!sub.open(parent, name.c_str(), KEY_READ | DELETE)) return false;
        for (const std::wstring& child : ok ? Names(sub.get(), true) : std::vector<std::wstring>{})
            ok = DeleteSubtree(sub.get(), child, depth + 1) && ok;
    }
    return ok && ::RegDeleteKeyW(parent, name.c_str()) == ERROR_SUCCESS;
}

bool DeleteBelow(HKEY key, const std::wstring& keyName, int depth, std::wstring_view startingAt) {
    bool ok = true;
    for (const std::wstring& value : Names(key, false))
        if (PrefStorage::DeletionReaches(startingAt, PrefStorage::ChildName(keyName, value)))
            ok = ::RegDeleteValueW(key, value.c_str()) == ERROR_SUCCESS && ok;
    const std::wstring prefix = PrefStorage::DeletionPrefix(startingAt);
    for (const std::wstring& subkey : Names(key, true)) {
        const std::wstring child = SubkeyName(keyName, subkey);
        switch (PrefStorage::SubkeyReach(child, prefix)) {
        case PrefStorage::Reach::All:
            ok = DeleteSubtree(key, subkey, depth + 1) && ok;
            break;
        case PrefStorage::Reach::Some: {
            RegKey sub;
            ok = depth + 1 < kMaxDepth && sub.open(key, subkey.c_str(), KEY_ALL_ACCESS) &&
                 DeleteBelow(sub.get(), child, depth + 1, startingAt) && ok;
            break;
        }
        case PrefStorage::Reach::None:
            break;
        }
    }
    return ok;
}

} // namespace

void List(HKEY key, std::wstring_view prefix, bool digests, Listing& out) {
    out.clear();
    Walk(key, std::wstring(), 0, prefix, digests, out);
}

bool Delete(HKEY key, std::wstring_view startingAt) {
    return DeleteBelow(key, std::wstring(), 0, startingAt);
}

} // namespace PrefTree
