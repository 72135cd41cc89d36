#include "files/LocalFile.h"

#include "files/PathRules.h"
#include "shared/Storage.h"
#include "shared/Win32.h"

namespace {

// The safe rule: the path lies inside the private data folder. When the folder cannot be found,
// nothing is inside.
bool InsidePrivateDataFolder(std::wstring_view path) {
    std::wstring folder;
    if (FAILED(PrivateDataFolder(folder))) return false;
    return PathRules::LiesInside(path, folder);
}

} // namespace

STDMETHODIMP CLocalFile::get_fileSize(ULONGLONG* pVal) noexcept {
    if (!pVal) return E_POINTER;
    API::Win32::FileFind find;
    if (!find.first(m_path.c_str()) || (find.data().dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
        return E_FAIL;
    *pVal = (ULONGLONG(find.data().nFileSizeHigh) << 32) | find.data().nFileSizeLow;
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
    API::Win32::FileFind find;
    *pRet = find.first(m_path.c_str()) ? VARIANT_TRUE : VARIANT_FALSE;
    return S_OK;
}

STDMETHODIMP CLocalFile::isDirectory(VARIANT_BOOL* pRet) noexcept {
    if (!pRet) return E_POINTER;
    API::Win32::FileFind find;
    const bool directory =
        find.first(m_path.c_str()) && (find.data().dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY);
    *pRet = directory ? VARIANT_TRUE : VARIANT_FALSE;
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
