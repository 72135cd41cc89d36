// Owners of what a test leaves behind, named by path and removed when the owner goes: a file, an
// empty folder, a key tree under HKEY_CURRENT_USER, and a key with its parents up to a given key.
#pragma once

#include "shared/Unique.h"

#include <windows.h>

#include <string>
#include <utility>

template <void (*Remove)(const std::wstring&) noexcept> struct RemovedPath {
    using type = std::wstring;
    static type empty() { return {}; }
    static void close(const type& path) noexcept { Remove(path); }
};
inline void RemoveFile(const std::wstring& path) noexcept {
    ::DeleteFileW(path.c_str());
}
inline void RemoveFolder(const std::wstring& path) noexcept {
    ::RemoveDirectoryW(path.c_str());
}
inline void RemoveKeyTree(const std::wstring& path) noexcept {
    ::RegDeleteTreeW(HKEY_CURRENT_USER, path.c_str());
}
using ScopedFile = Unique<RemovedPath<&RemoveFile>>;
using ScopedFolder = Unique<RemovedPath<&RemoveFolder>>;
using ScopedKeyTree = Unique<RemovedPath<&RemoveKeyTree>>;

// The keys of a path from the leaf up to (not including) a key above it; a key that still holds
// subkeys (someone else's) stays.
struct RemovedKeyChain {
    using type = std::pair<std::wstring, std::wstring>; // the leaf, the key it stops at
    static type empty() { return {}; }
    static void close(type chain) noexcept {
        for (std::wstring& path = chain.first; path.size() > chain.second.size();
             path.resize(path.find_last_of(L'\\')))
            ::RegDeleteKeyW(HKEY_CURRENT_USER, path.c_str());
    }
};
using ScopedKeyChain = Unique<RemovedKeyChain>;
