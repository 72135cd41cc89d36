// Local file: one file-system path and its safe flag.
#pragma once

#include "module/ComObject.h"
#include "script/ScriptImplementsImpl.h"
#include "script/ObjectSafetyImpl.h"
#include "files/SafeLocalFileImpl.h"

#include "Zembrolatix.h"

class CLocalFile : public IScriptImplementsImpl<CLocalFile, ILocalFile>,
                   public IObjectSafetyImpl<CLocalFile>,
                   public ISafeLocalFileImpl<CLocalFile>,
                   public CComObjectRootEx<CComSingleThreadModel>,
                   public CComCoClass<CLocalFile, &CLSID_LocalFile> {
public:
    BEGIN_COM_MAP(CLocalFile)
    COM_INTERFACE_ENTRY2(IDispatch, ILocalFile)
    COM_INTERFACE_ENTRY(ILocalFile)
    COM_INTERFACE_ENTRY2(IFile, ILocalFile)
    COM_INTERFACE_ENTRY(IObjectSafety)
    COM_INTERFACE_ENTRY(ISafeLocalFile)
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
};
