// File-system work over whole folders for local files: making missing folders, listing a folder,
// copying and removing a folder with everything below it. Folder links (reparse points) are never
// followed: a copy leaves them out and a removal removes the link, not what it points to. Trees are
// walked with a list of pending folders, not by recursion, so a deep tree cannot exhaust the stack.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace FileTree {

// The calling thread's last error as an HRESULT; E_FAIL when the system left none.
HRESULT LastError() noexcept;

// What the file system holds under one path: found or not, its attributes and last write time.
struct Status {
    bool found = false;
    DWORD attributes = 0;
    FILETIME lastWrite{};
    bool isDirectory() const noexcept { return found && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0; }
};
Status StatusOf(const std::wstring& path) noexcept;

// Makes folder and every missing folder above it; S_OK when it is a folder afterwards.
HRESULT EnsureFolder(const std::wstring& folder);

struct Entry {
    std::wstring name;
    DWORD attributes;
};
// The entries of a folder, "." and ".." left out, in the order the file system gives them.
HRESULT List(const std::wstring& folder, std::vector<Entry>& entries);

// Copies a file, or a folder with everything below it, to target, which must not exist yet.
HRESULT Copy(const std::wstring& source, const std::wstring& target);

// Removes a folder and everything below it.
HRESULT RemoveTree(const std::wstring& folder);

} // namespace FileTree
