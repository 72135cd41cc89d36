// File input stream.
#pragma once

#include "module/ComObject.h"
#include "script/ScriptImplementsImpl.h"
#include "script/ObjectSafetyImpl.h"
#include "files/SafeLocalFileImpl.h"
#include "files/StreamFiles.h"
#include "files/TextDecoding.h"

#include "Zembrolatix.h"

class CFileInputStream : public IScriptImplementsImpl<CFileInputStream, IFileInputStream2>,
                         public IObjectSafetyImpl<CFileInputStream>,
                         public ISafeLocalFileImpl<CFileInputStream>,
                         public IInputStreamNoScript,
                         public CComObjectRootEx<CComSingleThreadModel>,
                         public CComCoClass<CFileInputStream, &CLSID_FileInputStream> {
public:
    BEGIN_COM_MAP(CFileInputStream)
    COM_INTERFACE_ENTRY2(IDispatch, IFileInputStream2)
    COM_INTERFACE_ENTRY2(IFileInputStream, IFileInputStream2)
    COM_INTERFACE_ENTRY(IInputStreamNoScript)
    COM_INTERFACE_ENTRY2(IInputStream, IFileInputStream2)
    COM_INTERFACE_ENTRY2(ISeekableStream, IFileInputStream2)
    COM_INTERFACE_ENTRY(ISafeLocalFile)
    COM_INTERFACE_ENTRY2(IScriptImplements, IFileInputStream2)
    COM_INTERFACE_ENTRY(IObjectSafety)
    COM_INTERFACE_ENTRY(IFileInputStream2)
    END_COM_MAP()

    using ISafeLocalFileImpl<CFileInputStream>::init;
    STDMETHOD(seek)(LONG whence, LONGLONG offset) noexcept override;
    STDMETHOD(setEOF)() noexcept override;
    STDMETHOD(tell)(ULONGLONG* pRet) noexcept override;
    STDMETHOD(available)(ULONGLONG* pRet) noexcept override;
    STDMETHOD(close)() noexcept override;
    STDMETHOD(isNonBlocking)(VARIANT_BOOL* pRet) noexcept override;
    STDMETHOD(init)(ILocalFile* file, LONG ioFlags, LONG perm, LONG behaviorFlags) noexcept override;
    STDMETHOD(read)(LONGLONG count, BSTR* pRet) noexcept override;
    STDMETHOD(readBytes)(LONGLONG count, BSTR* pRet) noexcept override;
    STDMETHOD(readString)(LONGLONG count, BSTR* pRet) noexcept override;
    STDMETHOD(readLine)(BSTR* pRet) noexcept override;
    STDMETHOD(get_hasMoreLines)(VARIANT_BOOL* pRet) noexcept override;
    STDMETHOD(initWithCharset)(ILocalFile* file, BSTR charset, LONG replacementChar) noexcept override;
    STDMETHOD(setCharset)(BSTR charset, LONG replacementChar) noexcept override;
    STDMETHOD(get_charset)(BSTR* pRet) noexcept override;

private:
    // E_UNEXPECTED when nothing is open, E_ACCESSDENIED when the reading rule refuses the file.
    HRESULT readyToRead() noexcept;
    // Up to count bytes from the position, as they are.
    HRESULT readRaw(size_t count, std::vector<unsigned char>& bytes) noexcept;
    // At the start of the file, takes a byte-order mark as the charset to decode with.
    HRESULT takeByteOrderMark();
    TextDecoding::Charset decodingCharset() noexcept;
    HRESULT decodeText(size_t limit, std::wstring& out);
    HRESULT decodeLine(std::wstring& line);

    InputFile m_file;
    // How text is decoded: Bytes until a charset is set.
    TextDecoding::Charset m_charset = TextDecoding::Charset::Bytes;
    wchar_t m_replacement = 0xFFFD;
};
