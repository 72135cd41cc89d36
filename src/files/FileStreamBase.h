// What the two file streams share beyond a local file's path and flag: the open file under the stream,
// and the members of a seekable stream over it.
#pragma once

#include "files/SafeFileObject.h"
#include "script/Boundary.h"

// T is the stream, Itf its default interface, FileType the file under it (a StreamFile).
template <class T, class Itf, class FileType> class CFileStreamBase : public CSafeFileObject<T, Itf> {
public:
    STDMETHOD(seek)(LONG whence, LONGLONG offset) noexcept override { return m_file.seek(whence, offset); }
    STDMETHOD(setEOF)() noexcept override { return E_NOTIMPL; }
    STDMETHOD(tell)(ULONGLONG* pRet) noexcept override { return m_file.tell(pRet); }
    STDMETHOD(close)() noexcept override {
        m_file.close();
        return S_OK;
    }
    STDMETHOD(isNonBlocking)(VARIANT_BOOL*) noexcept override { return E_NOTIMPL; }

protected:
    // Opens the path taken over; the earlier file is released even when this one cannot be opened.
    HRESULT openTaken(DWORD access, DWORD share, DWORD disposition, DWORD flags) noexcept {
        return m_file.open(this->m_path.c_str(), access, share, nullptr, disposition, flags, nullptr)
                   ? S_OK
                   : FailWithLastError();
    }

    FileType m_file;
};
