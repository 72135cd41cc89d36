#include "files/LocalFile.h"

#include "bundles/SimpleEnumerator.h"
#include "files/FileTree.h"
#include "files/PathRules.h"
#include "files/ReadingRule.h"
#include "shared/OutValue.h"
#include "script/Boundary.h"
#include "shared/SafeArray.h"
#include "shared/Storage.h"
#include "shared/Win32.h"

#include <cmath>

namespace {

// What the file system holds under a path: nothing, or an entry with its kind and size.
struct Lookup {
    bool found = false;
    bool directory = false;
    ULONGLONG size = 0;
    DWORD attributes = 0;
    FILETIME lastWrite{};
};

// Reasons the attribute query gives for a path that names nothing; the directory search would find
// nothing there either.
bool NamesNothing(DWORD error) noexcept {
    switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_NAME:
    case ERROR_INVALID_DRIVE:
    case ERROR_NOT_READY:
    case ERROR_BAD_NETPATH:
    case ERROR_BAD_NET_NAME:
    case ERROR_DIRECTORY:
        return true;
    default:
        return false;
    }
}

// Asks for the attributes of the one path named. Entries the attribute query cannot describe (device
// names such as NUL, files the system holds open exclusively) are looked up by the directory search,
// which reports them from their folder's listing.
Lookup LookUp(const std::wstring& path) noexcept {
    Lookup result;
    const PathRules::LookupTarget target = PathRules::LookupTargetOf(path);
    if (target == PathRules::LookupTarget::Nothing) return result;
    API::Win32::FileAttributes attributes;
    if (attributes.read(path.c_str())) {
        result.directory = attributes.isDirectory();
        result.found = result.directory || target == PathRules::LookupTarget::Entry;
        result.size = attributes.size();
        result.attributes = attributes.data().dwFileAttributes;
        result.lastWrite = attributes.data().ftLastWriteTime;
        return result;
    }
    // A search never matches a name ending with a separator.
    if (target == PathRules::LookupTarget::Folder || NamesNothing(attributes.error())) return result;
    API::Win32::FileFind find;
    if (!find.first(path.c_str())) return result;
    result.found = true;
    result.directory = (find.data().dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    result.size = (ULONGLONG(find.data().nFileSizeHigh) << 32) | find.data().nFileSizeLow;
    result.attributes = find.data().dwFileAttributes;
    result.lastWrite = find.data().ftLastWriteTime;
    return result;
}

constexpr LONG NormalFileType = 0;
constexpr LONG DirectoryType = 1;

// The folders above a path that do not exist yet are made; nothing to do for a path without one.
HRESULT MakeParentFolders(const std::wstring& path) {
    std::optional<std::wstring> parent = PathRules::ParentPath(path);
    return parent ? FileTree::EnsureFolder(*parent) : S_OK;
}

// File times count 100 ns steps from 1601; script times milliseconds from 1970.
constexpr double kTicksPerMs = 10000.0;
constexpr LONGLONG kTicksFrom1601To1970 = 116444736000000000LL;
constexpr double kLatestMs = 900000000000000.0; // well inside what a file time holds

double MsSince1970(const FILETIME& time) noexcept {
    const LONGLONG ticks = LONGLONG((ULONGLONG(time.dwHighDateTime) << 32) | time.dwLowDateTime);
    return std::floor(double(ticks - kTicksFrom1601To1970) / kTicksPerMs);
}

bool FileTimeOf(double ms, FILETIME& time) noexcept {
    if (!(ms >= -double(kTicksFrom1601To1970) / kTicksPerMs && ms <= kLatestMs)) return false;
    const ULONGLONG ticks = ULONGLONG(LONGLONG(std::floor(ms) * kTicksPerMs) + kTicksFrom1601To1970);
    time.dwLowDateTime = DWORD(ticks);
    time.dwHighDateTime = DWORD(ticks >> 32);
    return true;
}

// The path and flag of another local file, as initWithFile reads them.
HRESULT PathAndFlagOf(ILocalFile* file, std::wstring& path, bool& safe) {
    Bstr text;
    VARIANT_BOOL flag = VARIANT_FALSE;
    const HRESULT hr = ReadLocalFile(file, FirstAnswer::Path, text, flag);
    if (FAILED(hr)) return hr;
    path.assign(text.view());
    safe = flag == VARIANT_TRUE;
    return S_OK;
}

// A yes-or-no question about what the file system holds under path, answered into out.
template <class Question> HRESULT Answer(const std::wstring& path, VARIANT_BOOL* out, Question question) {
    if (!out) return E_POINTER;
    return BoolOut(question(LookUp(path)), out);
}

// A yes-or-no question about the path of another local file, answered into out; a failure of that
// file is returned unchanged.
template <class Question>
HRESULT AnswerAbout(ILocalFile* file, VARIANT_BOOL* out, Question question) noexcept {
    return ComBoundary([&] {
        std::wstring other;
        bool otherSafe = false;
        const HRESULT hr = PathAndFlagOf(file, other, otherSafe);
        if (FAILED(hr)) return hr;
        return BoolOut(question(other), out);
    });
}

// A new name given as an optional argument: none (missing, null, empty), or one plain leaf.
HRESULT OptionalLeaf(const VARIANT& name, std::wstring& leaf) {
    leaf.clear();
    if (name.vt == VT_ERROR || name.vt == VT_EMPTY || name.vt == VT_NULL) return S_OK;
    if (name.vt != VT_BSTR) return E_INVALIDARG;
    leaf.assign(BstrView(name.bstrVal));
    return leaf.empty() || PathRules::IsPlainLeaf(leaf) ? S_OK : E_INVALIDARG;
}

// The entry a path names, without a trailing separator (kept on a root).
std::wstring EntryText(const std::wstring& path) {
    std::wstring entry = path;
    while (entry.size() > 1 && (entry.back() == L'\\' || entry.back() == L'/') &&
           PathRules::ParentPath(entry))
        entry.pop_back();
    return entry;
}

} // namespace

STDMETHODIMP CLocalFile::get_fileSize(ULONGLONG* pVal) noexcept {
    if (!pVal) return E_POINTER;
    const Lookup entry = LookUp(m_path);
    if (!entry.found || entry.directory)
        return entry.found ? FailWithReason("the path names a folder") : FailWithError(ERROR_FILE_NOT_FOUND);
    *pVal = entry.size;
    return S_OK;
}

STDMETHODIMP CLocalFile::get_leafName(BSTR* pVal) noexcept {
    return get_nativeLeafName(pVal);
}

STDMETHODIMP CLocalFile::get_nativeLeafName(BSTR* pVal) noexcept {
    if (!pVal) return E_POINTER;
    return BstrCopyOut(PathRules::LeafName(m_path), pVal);
}

STDMETHODIMP CLocalFile::get_path(BSTR* pVal) noexcept {
    return get_nativePath(pVal);
}

STDMETHODIMP CLocalFile::get_nativePath(BSTR* pVal) noexcept {
    if (!pVal) return E_POINTER;
    return BstrCopyOut(m_path, pVal);
}

// The node is appended as given; the flag survives only when the new path stays within the old one.
STDMETHODIMP CLocalFile::append(BSTR node) noexcept {
    if (BstrEmpty(node)) return E_INVALIDARG;
    return ComBoundary([&] {
        std::wstring appended = PathRules::AppendNode(m_path, BstrView(node));
        if (m_safe) m_safe = PathRules::LiesInside(appended, m_path);
        m_path = std::move(appended);
        return S_OK;
    });
}

STDMETHODIMP CLocalFile::exists(VARIANT_BOOL* pRet) noexcept {
    return Answer(m_path, pRet, [](const Lookup& entry) { return entry.found; });
}

STDMETHODIMP CLocalFile::isDirectory(VARIANT_BOOL* pRet) noexcept {
    return Answer(m_path, pRet, [](const Lookup& entry) { return entry.found && entry.directory; });
}

// Missing folders above the path are made first. An existing folder asked for again is no failure;
// an existing file is.
STDMETHODIMP CLocalFile::create(LONG type, LONG) noexcept {
    if (m_path.empty()) return E_UNEXPECTED;
    if (!m_safe) return E_ACCESSDENIED;
    return ComBoundary([&] {
        if (const HRESULT made = MakeParentFolders(m_path); FAILED(made)) return FailWithResult(made);
        if (type == DirectoryType) {
            if (::CreateDirectoryW(m_path.c_str(), nullptr)) return S_OK;
            const DWORD error = ::GetLastError();
            return FileTree::StatusOf(m_path).isDirectory() ? S_OK : FailWithError(error);
        }
        API::Win32::File file;
        return file.open(m_path.c_str(), 0, 0, nullptr, CREATE_NEW, 0, nullptr) ? S_OK : FailWithLastError();
    });
}

// A file that cannot be deleted answers S_FALSE. A folder goes only when empty, unless recursive is
// set; a folder link goes itself, never what it points to.
STDMETHODIMP CLocalFile::remove(VARIANT_BOOL recursive) noexcept {
    if (m_path.empty()) return E_UNEXPECTED;
    if (!m_safe) return E_ACCESSDENIED;
    const Lookup entry = LookUp(m_path);
    if (!entry.found || !entry.directory) return ::DeleteFileW(m_path.c_str()) ? S_OK : S_FALSE;
    return ComBoundary([&] {
        const std::wstring folder = PathRules::NormalizeScriptPath(m_path);
        if (recursive == VARIANT_FALSE || (entry.attributes & FILE_ATTRIBUTE_REPARSE_POINT))
            return ::RemoveDirectoryW(folder.c_str()) ? S_OK : FileTree::LastError();
        return FileTree::RemoveTree(folder);
    });
}

// Path and flag as they are, never recomputed.
STDMETHODIMP CLocalFile::initWithFile(ILocalFile* pFile) noexcept {
    return takeOver(pFile, FirstAnswer::Path, [](std::wstring_view, bool) noexcept { return S_OK; });
}

STDMETHODIMP CLocalFile::initWithNativePath(BSTR filePath) noexcept {
    return initWithPath(filePath);
}

STDMETHODIMP CLocalFile::initWithPath(BSTR filePath) noexcept {
    if (BstrEmpty(filePath)) return E_INVALIDARG;
    return ComBoundary([&] {
        std::wstring path = PathRules::NormalizeScriptPath(BstrView(filePath));
        const bool safe = InsidePrivateDataFolder(path);
        m_path = std::move(path);
        m_safe = safe;
        return S_OK;
    });
}

STDMETHODIMP CLocalFile::GetSafe(VARIANT_BOOL* pvbSafe) noexcept {
    return ISafeLocalFileImpl::GetSafe(pvbSafe);
}

STDMETHODIMP CLocalFile::put_leafName(BSTR newVal) noexcept {
    if (BstrEmpty(newVal)) return E_INVALIDARG;
    return ComBoundary([&] {
        if (!PathRules::IsPlainLeaf(BstrView(newVal))) return E_INVALIDARG;
        std::optional<std::wstring> parent = PathRules::ParentPath(m_path);
        if (!parent) return E_UNEXPECTED;
        std::wstring path = PathRules::AppendNode(*parent, BstrView(newVal));
        // Another name in the same folder: trusted only where any path is.
        const bool safe = InsidePrivateDataFolder(path);
        m_path = std::move(path);
        m_safe = safe;
        return S_OK;
    });
}

HRESULT CLocalFile::NewFile(const std::wstring& path, bool safe, ILocalFile2** out) noexcept {
    ComPtr<ILocalFile2> file;
    HRESULT hr = CComObject<CLocalFile>::CreateInstance(IID_ILocalFile2, file.put_void());
    if (FAILED(hr)) return hr;
    if (!path.empty()) {
        auto* object = static_cast<CLocalFile*>(file.get());
        hr = ComBoundary([&] {
            object->m_path = path;
            object->m_safe = safe;
            return S_OK;
        });
        if (FAILED(hr)) return hr;
    }
    *out = file.Detach();
    return S_OK;
}

// The folder holding this entry, trusted where any path is; null for a root or a bare name.
STDMETHODIMP CLocalFile::get_parent(ILocalFile2** pVal) noexcept {
    if (!pVal) return E_POINTER;
    *pVal = nullptr;
    return ComBoundary([&] {
        std::optional<std::wstring> parent = PathRules::ParentPath(m_path);
        if (!parent) return S_OK;
        return NewFile(*parent, InsidePrivateDataFolder(*parent), pVal);
    });
}

STDMETHODIMP CLocalFile::clone(ILocalFile2** pRet) noexcept {
    if (!pRet) return E_POINTER;
    *pRet = nullptr;
    return NewFile(m_path, m_safe, pRet);
}

STDMETHODIMP CLocalFile::equals(ILocalFile* inFile, VARIANT_BOOL* pRet) noexcept {
    if (!inFile) return E_INVALIDARG;
    if (!pRet) return E_POINTER;
    return AnswerAbout(inFile, pRet,
                       [&](const std::wstring& other) { return PathRules::SamePath(m_path, other); });
}

// inFile lies below this folder: at any depth, or as a direct entry when recur is false.
STDMETHODIMP CLocalFile::contains(ILocalFile* inFile, VARIANT recur, VARIANT_BOOL* pRet) noexcept {
    if (!inFile) return E_INVALIDARG;
    bool anyDepth = true;
    if (recur.vt != VT_ERROR && recur.vt != VT_EMPTY) {
        VARIANT flag;
        ::VariantInit(&flag);
        if (FAILED(::VariantChangeType(&flag, &recur, 0, VT_BOOL))) return E_INVALIDARG;
        anyDepth = flag.boolVal != VARIANT_FALSE;
    }
    if (!pRet) return E_POINTER;
    return AnswerAbout(inFile, pRet, [&](const std::wstring& other) {
        if (!PathRules::LiesInside(other, m_path) || PathRules::SamePath(other, m_path)) return false;
        if (anyDepth) return true;
        std::optional<std::wstring> parent = PathRules::ParentPath(other);
        return parent && PathRules::SamePath(*parent, m_path);
    });
}

STDMETHODIMP CLocalFile::isFile(VARIANT_BOOL* pRet) noexcept {
    return Answer(m_path, pRet, [](const Lookup& entry) { return entry.found && !entry.directory; });
}

STDMETHODIMP CLocalFile::isReadable(VARIANT_BOOL* pRet) noexcept {
    return exists(pRet);
}

// Folders ignore the read-only attribute; files carrying it are not writable.
STDMETHODIMP CLocalFile::isWritable(VARIANT_BOOL* pRet) noexcept {
    return Answer(m_path, pRet, [](const Lookup& entry) {
        return entry.found && (entry.directory || !(entry.attributes & FILE_ATTRIBUTE_READONLY));
    });
}

STDMETHODIMP CLocalFile::isHidden(VARIANT_BOOL* pRet) noexcept {
    return Answer(m_path, pRet, [](const Lookup& entry) {
        return entry.found && (entry.attributes & FILE_ATTRIBUTE_HIDDEN);
    });
}

STDMETHODIMP CLocalFile::get_lastModifiedTime(double* pVal) noexcept {
    if (!pVal) return E_POINTER;
    const Lookup entry = LookUp(m_path);
    if (!entry.found) return HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND);
    *pVal = MsSince1970(entry.lastWrite);
    return S_OK;
}

STDMETHODIMP CLocalFile::put_lastModifiedTime(double newVal) noexcept {
    FILETIME time{};
    if (!FileTimeOf(newVal, time)) return E_INVALIDARG;
    if (m_path.empty()) return E_UNEXPECTED;
    if (!m_safe) return E_ACCESSDENIED;
    API::Win32::File file;
    if (!file.open(m_path.c_str(), FILE_WRITE_ATTRIBUTES,
                   FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                   FILE_FLAG_BACKUP_SEMANTICS, nullptr))
        return FileTree::LastError();
    return ::SetFileTime(file.get(), nullptr, nullptr, &time) ? S_OK : FileTree::LastError();
}

// A new local file for each entry of the folder. An entry is trusted where append on a trusted folder
// would keep the flag, or where any path is.
STDMETHODIMP CLocalFile::get_directoryEntries(ISimpleEnumerator** pVal) noexcept {
    if (!pVal) return E_POINTER;
    *pVal = nullptr;
    if (m_path.empty()) return E_UNEXPECTED;
    return ComBoundary([&]() -> HRESULT {
        if (!MayReadFile(m_path, m_safe)) return E_ACCESSDENIED;
        const Lookup folder = LookUp(m_path);
        if (!folder.found) return HRESULT_FROM_WIN32(ERROR_PATH_NOT_FOUND);
        if (!folder.directory) return HRESULT_FROM_WIN32(ERROR_DIRECTORY);
        std::vector<FileTree::Entry> entries;
        HRESULT hr = FileTree::List(m_path, entries);
        if (FAILED(hr)) return hr;

        std::wstring privateFolder;
        const bool knowPrivate = SUCCEEDED(PrivateDataFolder(privateFolder));
        const bool folderInside = knowPrivate && PathRules::LiesInside(m_path, privateFolder);
        const bool folderTrusted = m_safe || folderInside;
        SafeArray array(::SafeArrayCreateVector(VT_VARIANT, 0, ULONG(entries.size())));
        if (!array) return E_OUTOFMEMORY;
        hr = array.lock();
        if (FAILED(hr)) return hr;
        auto* items = static_cast<VARIANT*>(array.get()->pvData);
        for (size_t i = 0; i < entries.size(); ++i) {
            std::wstring path = PathRules::AppendNode(m_path, entries[i].name);
            bool safe = folderTrusted && PathRules::LiesInside(path, m_path);
            if (!safe && !folderInside && knowPrivate) safe = PathRules::LiesInside(path, privateFolder);
            ILocalFile2* file = nullptr;
            hr = NewFile(path, safe, &file);
            if (FAILED(hr)) return hr;
            items[i].vt = VT_DISPATCH;
            items[i].pdispVal = file;
        }
        ComPtr<ISimpleEnumerator> enumerator;
        hr = NewSimpleEnumerator(enumerator);
        if (FAILED(hr)) return hr;
        return HandOutEnumerator(enumerator, array.get(), pVal);
    });
}

// Creates the entry, or when its name is taken the first free one of "name-1.ext" to "name-9999.ext",
// and names it from then on. The flag stays: the object now names an entry it made itself.
STDMETHODIMP CLocalFile::createUnique(LONG type, LONG) noexcept {
    if (m_path.empty()) return E_UNEXPECTED;
    if (!m_safe) return E_ACCESSDENIED;
    return ComBoundary([&]() -> HRESULT {
        const std::wstring entry = EntryText(m_path);
        std::optional<std::wstring> parent = PathRules::ParentPath(entry);
        if (!parent) return E_UNEXPECTED;
        HRESULT hr = FileTree::EnsureFolder(*parent);
        if (FAILED(hr)) return hr;
        const std::wstring leaf(PathRules::LeafName(entry));
        for (unsigned n = 0; n < 10000; ++n) {
            std::wstring candidate =
                n == 0 ? entry : PathRules::AppendNode(*parent, PathRules::NumberedLeaf(leaf, n));
            bool made = false;
            if (type == DirectoryType) {
                made = ::CreateDirectoryW(candidate.c_str(), nullptr) != FALSE;
            } else {
                API::Win32::File file;
                made = file.open(candidate.c_str(), 0, 0, nullptr, CREATE_NEW, 0, nullptr);
            }
            if (made) {
                m_path = std::move(candidate);
                return S_OK;
            }
            hr = FileTree::LastError();
            if (!FileTree::StatusOf(candidate).found) return hr;
        }
        return HRESULT_FROM_WIN32(ERROR_FILE_EXISTS);
    });
}

HRESULT CLocalFile::Placement(ILocalFile* newParentDir, const VARIANT& newName, SourceUse use,
                              std::wstring& source, std::wstring& target) {
    std::wstring leaf;
    HRESULT hr = OptionalLeaf(newName, leaf);
    if (FAILED(hr)) return hr;
    if (m_path.empty()) return E_UNEXPECTED;
    const std::wstring entry = EntryText(m_path);
    std::wstring folder;
    bool folderSafe = false;
    if (newParentDir) {
        hr = PathAndFlagOf(newParentDir, folder, folderSafe);
        if (FAILED(hr)) return hr;
        if (folder.empty()) return E_INVALIDARG;
    } else {
        std::optional<std::wstring> parent = PathRules::ParentPath(entry);
        if (!parent) return E_UNEXPECTED;
        folder = std::move(*parent);
    }
    if (leaf.empty()) leaf = PathRules::LeafName(entry);
    if (leaf.empty()) return E_UNEXPECTED;
    std::wstring placed = PathRules::AppendNode(folder, leaf);
    const bool placedSafe =
        (folderSafe && PathRules::LiesInside(placed, folder)) || InsidePrivateDataFolder(placed);
    const bool sourceAllowed = use == SourceUse::Read ? MayReadFile(m_path, m_safe) : m_safe;
    if (!sourceAllowed || !placedSafe) return E_ACCESSDENIED;
    source = entry;
    target = std::move(placed);
    return S_OK;
}

// Copies a file, or a folder with everything below it, into newParentDir (this entry's own folder
// when null) under newName (this entry's own name when none). The target must not exist yet.
STDMETHODIMP CLocalFile::copyTo(ILocalFile* newParentDir, VARIANT newName) noexcept {
    return ComBoundary([&]() -> HRESULT {
        std::wstring source, target;
        HRESULT hr = Placement(newParentDir, newName, SourceUse::Read, source, target);
        if (FAILED(hr)) return hr;
        if (PathRules::LiesInside(target, source)) return E_INVALIDARG;
        if (!FileTree::StatusOf(source).found) return HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND);
        hr = MakeParentFolders(target);
        if (FAILED(hr)) return hr;
        return FileTree::Copy(source, target);
    });
}

// Moves the entry as copyTo would place it, replacing a file of that name, and names the new place
// from then on.
STDMETHODIMP CLocalFile::moveTo(ILocalFile* newParentDir, VARIANT newName) noexcept {
    return ComBoundary([&]() -> HRESULT {
        std::wstring source, target;
        HRESULT hr = Placement(newParentDir, newName, SourceUse::Change, source, target);
        if (FAILED(hr)) return hr;
        if (PathRules::LiesInside(target, source) && !PathRules::SamePath(target, source))
            return E_INVALIDARG;
        const FileTree::Status status = FileTree::StatusOf(source);
        if (!status.found) return HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND);
        hr = MakeParentFolders(target);
        if (FAILED(hr)) return hr;
        const DWORD flags = MOVEFILE_COPY_ALLOWED | (status.isDirectory() ? 0 : MOVEFILE_REPLACE_EXISTING);
        if (!::MoveFileExW(source.c_str(), target.c_str(), flags)) {
            hr = FileTree::LastError();
            // A folder does not move to another volume by itself.
            if (hr != HRESULT_FROM_WIN32(ERROR_NOT_SAME_DEVICE) || !status.isDirectory()) return hr;
            hr = FileTree::Copy(source, target);
            if (SUCCEEDED(hr)) hr = FileTree::RemoveTree(source);
            if (FAILED(hr)) return hr;
        }
        m_path = std::move(target);
        m_safe = true;
        return S_OK;
    });
}

// The path in its full form: "/" read as "\", "." and ".." resolved, repeated separators and a
// trailing one dropped. The flag stays: the path names the same entry.
STDMETHODIMP CLocalFile::normalize() noexcept {
    if (m_path.empty()) return E_UNEXPECTED;
    return ComBoundary([&] {
        std::optional<std::wstring> full = PathRules::FullPathForm(m_path);
        if (!full) return FailWithReason("the path has no full form");
        m_path = PathRules::NormalizeScriptPath(*full);
        return S_OK;
    });
}

STDMETHODIMP CLocalFile::get_NORMAL_FILE_TYPE(LONG* pVal) noexcept {
    return ValueOut(NormalFileType, pVal);
}

STDMETHODIMP CLocalFile::get_DIRECTORY_TYPE(LONG* pVal) noexcept {
    return ValueOut(DirectoryType, pVal);
}
