#include "files/LocalFile.h"

#include "files/PathRules.h"
#include "files/ReadingRule.h"
#include "shared/Storage.h"
#include "shared/Win32.h"

namespace {

// What the file system holds under a path: nothing, or an entry with its kind and size.
struct Lookup {
    bool found = false;
    bool directory = false;
    ULONGLONG size = 0;
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
        return result;
    }
    // A search never matches a name ending with a separator.
    if (target == PathRules::LookupTarget::Folder || NamesNothing(attributes.error())) return result;
    API::Win32::FileFind find;
    if (!find.first(path.c_str())) return result;
    result.found = true;
    result.directory = (find.data().dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    result.size = (ULONGLONG(find.data().nFileSizeHigh) << 32) | find.data().nFileSizeLow;
    return result;
}

} // namespace

STDMETHODIMP CLocalFile::get_fileSize(ULONGLONG* pVal) noexcept {
    if (!pVal) return E_POINTER;
    const Lookup entry = LookUp(m_path);
    if (!entry.found || entry.directory) return E_FAIL;
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
    if (!pRet) return E_POINTER;
    *pRet = LookUp(m_path).found ? VARIANT_TRUE : VARIANT_FALSE;
    return S_OK;
}

STDMETHODIMP CLocalFile::isDirectory(VARIANT_BOOL* pRet) noexcept {
    if (!pRet) return E_POINTER;
    const Lookup entry = LookUp(m_path);
    *pRet = entry.found && entry.directory ? VARIANT_TRUE : VARIANT_FALSE;
    return S_OK;
}

STDMETHODIMP CLocalFile::create(LONG type, LONG) noexcept {
    if (m_path.empty()) return E_UNEXPECTED;
    if (!m_safe) return E_ACCESSDENIED;
    if (type == 1) {
        // Existing folders and missing parents alike answer S_OK; only the last level is made.
        ::CreateDirectoryW(m_path.c_str(), nullptr);
        return S_OK;
    }
    API::Win32::File file;
    return file.open(m_path.c_str(), 0, 0, nullptr, CREATE_NEW, 0, nullptr) ? S_OK : E_FAIL;
}

STDMETHODIMP CLocalFile::remove(VARIANT_BOOL) noexcept {
    if (m_path.empty()) return E_UNEXPECTED;
    if (!m_safe) return E_ACCESSDENIED;
    VARIANT_BOOL directory = VARIANT_FALSE;
    HRESULT hr = isDirectory(&directory);
    if (FAILED(hr)) return hr;
    if (directory == VARIANT_TRUE) return E_NOTIMPL;
    return ::DeleteFileW(m_path.c_str()) ? S_OK : S_FALSE;
}

STDMETHODIMP CLocalFile::initWithFile(ILocalFile* pFile) noexcept {
    if (!pFile) return E_INVALIDARG;
    Bstr path;
    HRESULT hr = pFile->get_nativePath(path.put());
    if (FAILED(hr)) return hr;
    VARIANT_BOOL safe = VARIANT_FALSE;
    hr = pFile->GetSafe(&safe);
    if (FAILED(hr)) return hr;
    return ISafeLocalFileImpl::init(path.get(), safe);
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
