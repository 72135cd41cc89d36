// Local file: one file-system path and its safe flag.
#pragma once

#include "files/SafeFileObject.h"

#include <string>

class CLocalFile : public CSafeFileObject<CLocalFile, ILocalFile2>,
                   public CComCoClass<CLocalFile, &CLSID_LocalFile> {
public:
    BEGIN_COM_MAP(CLocalFile)
    COM_INTERFACE_ENTRY2(IDispatch, ILocalFile2)
    COM_INTERFACE_ENTRY2(ILocalFile, ILocalFile2)
    COM_INTERFACE_ENTRY2(IFile, ILocalFile2)
    COM_INTERFACE_ENTRY(IObjectSafety)
    COM_INTERFACE_ENTRY(ISafeLocalFile)
    COM_INTERFACE_ENTRY(ILocalFile2)
    END_COM_MAP()

    STDMETHOD(get_fileSize)(ULONGLONG* pVal) noexcept override;
    STDMETHOD(get_leafName)(BSTR* pVal) noexcept override;
    STDMETHOD(get_nativeLeafName)(BSTR* pVal) noexcept override;
    STDMETHOD(get_path)(BSTR* pVal) noexcept override;
    STDMETHOD(get_nativePath)(BSTR* pVal) noexcept override;
    STDMETHOD(append)(BSTR node) noexcept override;
    STDMETHOD(exists)(VARIANT_BOOL* pRet) noexcept override;
    STDMETHOD(isDirectory)(VARIANT_BOOL* pRet) noexcept override;
    STDMETHOD(create)(LONG type, LONG permissions) noexcept override;
    STDMETHOD(remove)(VARIANT_BOOL recursive) noexcept override;
    STDMETHOD(initWithFile)(ILocalFile* pFile) noexcept override;
    STDMETHOD(initWithNativePath)(BSTR filePath) noexcept override;
    STDMETHOD(initWithPath)(BSTR filePath) noexcept override;
    STDMETHOD(GetSafe)(VARIANT_BOOL* pvbSafe) noexcept override;

    STDMETHOD(put_leafName)(BSTR newVal) noexcept override;
    STDMETHOD(get_parent)(ILocalFile2** pVal) noexcept override;
    STDMETHOD(clone)(ILocalFile2** pRet) noexcept override;
    STDMETHOD(equals)(ILocalFile* inFile, VARIANT_BOOL* pRet) noexcept override;
    STDMETHOD(contains)(ILocalFile* inFile, VARIANT recur, VARIANT_BOOL* pRet) noexcept override;
    STDMETHOD(isFile)(VARIANT_BOOL* pRet) noexcept override;
    STDMETHOD(isReadable)(VARIANT_BOOL* pRet) noexcept override;
    STDMETHOD(isWritable)(VARIANT_BOOL* pRet) noexcept override;
    STDMETHOD(isHidden)(VARIANT_BOOL* pRet) noexcept override;
    STDMETHOD(get_lastModifiedTime)(double* pVal) noexcept override;
    STDMETHOD(put_lastModifiedTime)(double newVal) noexcept override;
    STDMETHOD(get_directoryEntries)(ISimpleEnumerator** pVal) noexcept override;
    STDMETHOD(createUnique)(LONG type, LONG permissions) noexcept override;
    STDMETHOD(copyTo)(ILocalFile* newParentDir, VARIANT newName) noexcept override;
    STDMETHOD(moveTo)(ILocalFile* newParentDir, VARIANT newName) noexcept override;
    STDMETHOD(normalize)() noexcept override;
    STDMETHOD(get_NORMAL_FILE_TYPE)(LONG* pVal) noexcept override;
    STDMETHOD(get_DIRECTORY_TYPE)(LONG* pVal) noexcept override;

    // A new local file on path with the given flag, made in this module without a trip through COM.
    static HRESULT NewFile(const std::wstring& path, bool safe, ILocalFile2** out) noexcept;

private:
    // What a copy or move does with this entry: reads it, or changes it.
    enum class SourceUse { Read, Change };
    // Where a copy or move of this entry goes: target, in the folder (this entry's own when none is
    // given) under the leaf (this entry's own when none is given); and source, this entry without a
    // trailing separator. E_ACCESSDENIED when this entry may not be used so or the target not changed.
    HRESULT Placement(ILocalFile* newParentDir, const VARIANT& newName, SourceUse use, std::wstring& source,
                      std::wstring& target);
};
