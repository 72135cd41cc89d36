#include "files/FileTree.h"

#include "files/PathRules.h"
#include "script/Boundary.h"
#include "shared/Win32.h"

#include <utility>

namespace FileTree {

namespace {

bool IsFolderLink(DWORD attributes) noexcept {
    return (attributes & FILE_ATTRIBUTE_DIRECTORY) && (attributes & FILE_ATTRIBUTE_REPARSE_POINT);
}

} // namespace

HRESULT LastError() noexcept {
    const DWORD error = ::GetLastError();
    return error == ERROR_SUCCESS ? FailWithReason("the system gave no error code")
                                  : HRESULT_FROM_WIN32(error);
}

Status StatusOf(const std::wstring& path) noexcept {
    Status status;
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (path.empty() || !::GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) return status;
    status.found = true;
    status.attributes = data.dwFileAttributes;
    status.lastWrite = data.ftLastWriteTime;
    return status;
}

HRESULT EnsureFolder(const std::wstring& folder) {
    // The missing folders, the deepest first.
    std::vector<std::wstring> missing;
    std::wstring current = folder;
    for (;;) {
        const Status status = StatusOf(current);
        if (status.found) {
            if (!status.isDirectory()) return HRESULT_FROM_WIN32(ERROR_DIRECTORY);
            break;
        }
        missing.push_back(current);
        std::optional<std::wstring> parent = PathRules::ParentPath(current);
        if (!parent) break;
        current = std::move(*parent);
    }
    for (auto it = missing.rbegin(); it != missing.rend(); ++it) {
        if (::CreateDirectoryW(it->c_str(), nullptr)) continue;
        const HRESULT hr = LastError();
        if (!StatusOf(*it).isDirectory()) return hr;
    }
    return S_OK;
}

HRESULT List(const std::wstring& folder, std::vector<Entry>& entries) {
    entries.clear();
    API::Win32::FileFind find;
    if (!find.first(PathRules::AppendNode(folder, L"*").c_str())) {
        const DWORD error = ::GetLastError();
        // A drive root without entries has no "." either.
        return error == ERROR_FILE_NOT_FOUND ? S_OK : LastError();
    }
    do {
        const WIN32_FIND_DATAW& data = find.data();
        const std::wstring_view name = data.cFileName;
        if (name == L"." || name == L"..") continue;
        entries.push_back({std::wstring(name), data.dwFileAttributes});
    } while (find.next());
    return ::GetLastError() == ERROR_NO_MORE_FILES ? S_OK : LastError();
}

HRESULT Copy(const std::wstring& source, const std::wstring& target) {
    const Status status = StatusOf(source);
    if (!status.found) return LastError();
    if (!status.isDirectory()) return ::CopyFileW(source.c_str(), target.c_str(), TRUE) ? S_OK : LastError();

    std::vector<std::pair<std::wstring, std::wstring>> pending{{source, target}};
    std::vector<Entry> entries;
    while (!pending.empty()) {
        const auto [from, to] = std::move(pending.back());
        pending.pop_back();
        if (!::CreateDirectoryW(to.c_str(), nullptr)) return LastError();
        HRESULT hr = List(from, entries);
        if (FAILED(hr)) return hr;
        for (const Entry& entry : entries) {
            if (IsFolderLink(entry.attributes)) continue;
            std::wstring fromEntry = PathRules::AppendNode(from, entry.name);
            std::wstring toEntry = PathRules::AppendNode(to, entry.name);
            if (entry.attributes & FILE_ATTRIBUTE_DIRECTORY)
                pending.emplace_back(std::move(fromEntry), std::move(toEntry));
            else if (!::CopyFileW(fromEntry.c_str(), toEntry.c_str(), TRUE))
                return LastError();
        }
    }
    return S_OK;
}

HRESULT RemoveTree(const std::wstring& folder) {
    // Each folder is emptied first (its files and links go at once, its folders are pushed), then
    // removed when it is met again on the way back.
    std::vector<std::pair<std::wstring, bool>> pending{{folder, false}};
    std::vector<Entry> entries;
    while (!pending.empty()) {
        if (pending.back().second) {
            if (!::RemoveDirectoryW(pending.back().first.c_str())) return LastError();
            pending.pop_back();
            continue;
        }
        pending.back().second = true;
        const std::wstring current = pending.back().first;
        HRESULT hr = List(current, entries);
        if (FAILED(hr)) return hr;
        for (const Entry& entry : entries) {
            std::wstring path = PathRules::AppendNode(current, entry.name);
            if (IsFolderLink(entry.attributes)) {
                if (!::RemoveDirectoryW(path.c_str())) return LastError();
            } else if (entry.attributes & FILE_ATTRIBUTE_DIRECTORY) {
                pending.emplace_back(std::move(path), false);
            } else if (!::DeleteFileW(path.c_str())) {
                return LastError();
            }
        }
    }
    return S_OK;
}

} // namespace FileTree
