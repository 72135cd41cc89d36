// File input stream.
#pragma once

#include "module/ComObject.h"
#include "script/ScriptImplementsImpl.h"
#include "script/ObjectSafetyImpl.h"
#include "files/SafeLocalFileImpl.h"
#include "shared/Win32.h"

#include "Zembrolatix.h"

class CFileInputStream : public IScriptImplementsImpl<CFileInputStream, IFileInputStream>,
                         public IObjectSafetyImpl<CFileInputStream>,
                         public ISafeLocalFileImpl<CFileInputStream>,
                         public IInputStreamNoScript,
                         public CComObjectRootEx<CComSingleThreadModel>,
                         public CComCoClass<CFileInputStream, &CLSID_FileInputStream> {
public:
    BEGIN_COM_MAP(CFileInputStream)
    COM_INTERFACE_ENTRY2(IDispatch, IFileInputStream)
    COM_INTERFACE_ENTRY(IFileInputStream)
    COM_INTERFACE_ENTRY(IInputStreamNoScript)
    COM_INTERFACE_ENTRY2(IInputStream, IFileInputStream)
    COM_INTERFACE_ENTRY2(ISeekableStream, IFileInputStream)
    COM_INTERFACE_ENTRY(ISafeLocalFile)
    COM_INTERFACE_ENTRY2(IScriptImplements, IFileInputStream)
    COM_INTERFACE_ENTRY(IObjectSafety)
    END_COM_MAP()

    using ISafeLocalFileImpl<CFileInputStream>::init;
    STDMETHOD(seek)(LONG whence, LONGLONG offset) noexcept override;
    STDMETHOD(setEOF)() noexcept override;
    STDMETHOD(tell)(ULONGLONG* pRet) noexcept override;
    STDMETHOD(available)(ULONGLONG* pRet) noexcept override;
    STDMETHOD(close)() noexcept override;
    STDMETHOD(isNonBlocking)(VARIANT_BOOL* pRet) noexcept override;
    STDMETHOD(init)(ILocalFile* file, LONG ioFlags, LONG perm, LONG behaviorFlags) noexcept override;

private:
    API::Win32::File m_file;
};
