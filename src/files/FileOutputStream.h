// File output stream: writes text as UTF-8.
#pragma once

#include "module/ComObject.h"
#include "script/ScriptImplementsImpl.h"
#include "script/ObjectSafetyImpl.h"
#include "files/SafeLocalFileImpl.h"
#include "shared/Win32.h"

#include "Zembrolatix.h"

#include <memory>
#include <span>

class CFileOutputStream : public IScriptImplementsImpl<CFileOutputStream, IFileOutputStream>,
                          public IObjectSafetyImpl<CFileOutputStream>,
                          public ISafeLocalFileImpl<CFileOutputStream>,
                          public CComObjectRootEx<CComSingleThreadModel>,
                          public CComCoClass<CFileOutputStream, &CLSID_FileOutputStream> {
public:
    BEGIN_COM_MAP(CFileOutputStream)
    COM_INTERFACE_ENTRY2(IDispatch, IFileOutputStream)
    COM_INTERFACE_ENTRY2(IOutputStream, IFileOutputStream)
    COM_INTERFACE_ENTRY(IFileOutputStream)
    COM_INTERFACE_ENTRY2(ISeekableStream, IFileOutputStream)
    COM_INTERFACE_ENTRY(ISafeLocalFile)
    COM_INTERFACE_ENTRY2(IScriptImplements, IFileOutputStream)
    COM_INTERFACE_ENTRY(IObjectSafety)
    END_COM_MAP()

    using ISafeLocalFileImpl<CFileOutputStream>::init;
    STDMETHOD(seek)(LONG whence, LONGLONG offset) noexcept override;
    STDMETHOD(setEOF)() noexcept override;
    STDMETHOD(tell)(ULONGLONG* pRet) noexcept override;
    STDMETHOD(close)() noexcept override;
    STDMETHOD(flush)() noexcept override;
    STDMETHOD(isNonBlocking)(VARIANT_BOOL* pRet) noexcept override;
    STDMETHOD(write)(BSTR data, LONG count, LONG* pRet) noexcept override;
    STDMETHOD(finish)() noexcept override;
    STDMETHOD(init)(ILocalFile* file, LONG ioFlags, LONG perm, LONG behaviorFlags) noexcept override;

private:
    API::Win32::File m_file;
    // Conversion space kept from one write to the next; it only grows.
    class GrowBuffer {
    public:
        std::span<char> reserve(size_t size) {
            if (size > m_size) {
                m_bytes = std::make_unique_for_overwrite<char[]>(size);
                m_size = size;
            }
            return {m_bytes.get(), m_size};
        }

    private:
        std::unique_ptr<char[]> m_bytes;
        size_t m_size = 0;
    };
    GrowBuffer m_utf8;
};
