// File output stream: writes text as UTF-8.
#pragma once

#include "files/FileStreamBase.h"
#include "files/StreamFiles.h"

#include "Zembrolatix.h"

#include <memory>
#include <span>

class CFileOutputStream : public CFileStreamBase<CFileOutputStream, IFileOutputStream2, OutputFile>,
                          public CComCoClass<CFileOutputStream, &CLSID_FileOutputStream> {
public:
    BEGIN_COM_MAP(CFileOutputStream)
    COM_INTERFACE_ENTRY2(IDispatch, IFileOutputStream2)
    COM_INTERFACE_ENTRY2(IOutputStream, IFileOutputStream2)
    COM_INTERFACE_ENTRY2(IFileOutputStream, IFileOutputStream2)
    COM_INTERFACE_ENTRY2(ISeekableStream, IFileOutputStream2)
    COM_INTERFACE_ENTRY(ISafeLocalFile)
    COM_INTERFACE_ENTRY2(IScriptImplements, IFileOutputStream2)
    COM_INTERFACE_ENTRY(IObjectSafety)
    COM_INTERFACE_ENTRY(IFileOutputStream2)
    END_COM_MAP()

    using ISafeLocalFileImpl<CFileOutputStream>::init;
    STDMETHOD(flush)() noexcept override;
    STDMETHOD(write)(BSTR data, LONG count, LONG* pRet) noexcept override;
    STDMETHOD(finish)() noexcept override;
    STDMETHOD(init)(ILocalFile* file, LONG ioFlags, LONG perm, LONG behaviorFlags) noexcept override;
    STDMETHOD(initWithFlags)(ILocalFile* file, LONG ioFlags, LONG perm, LONG behaviorFlags) noexcept override;
    STDMETHOD(initSafe)(ILocalFile* file, LONG ioFlags, LONG perm, LONG behaviorFlags) noexcept override;

private:
    // Takes path and flag from a local file allowed to change the file system; E_ACCESSDENIED, and
    // nothing stored, for one that is not.
    HRESULT adoptFile(ILocalFile* file) noexcept;

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
