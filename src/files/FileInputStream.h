// File input stream.
#pragma once

#include "files/FileStreamBase.h"
#include "files/StreamFiles.h"
#include "files/TextDecoding.h"

#include "Zembrolatix.h"

class CFileInputStream : public CFileStreamBase<CFileInputStream, IFileInputStream2, InputFile>,
                         public IInputStreamNoScript,
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
    STDMETHOD(available)(ULONGLONG* pRet) noexcept override;
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
    // Takes over a local file the reading rule lets this caller read, and opens it for reading.
    HRESULT openForReading(ILocalFile* file) noexcept;
    // E_UNEXPECTED when nothing is open, E_ACCESSDENIED when the reading rule refuses the file.
    HRESULT readyToRead() noexcept;
    // Up to count bytes from the position, as they are.
    HRESULT readRaw(size_t count, std::vector<unsigned char>& bytes) noexcept;
    // At the start of the file, takes a byte-order mark as the charset to decode with.
    HRESULT takeByteOrderMark();
    TextDecoding::Charset decodingCharset() noexcept;
    HRESULT decodeText(size_t limit, std::wstring& out);
    HRESULT decodeLine(std::wstring& line);

    // How text is decoded: Bytes until a charset is set.
    TextDecoding::Charset m_charset = TextDecoding::Charset::Bytes;
    wchar_t m_replacement = 0xFFFD;
};
