// The path and safe flag that a local file and the file streams carry, ISafeLocalFile over them, and
// taking both over from another local file.
#pragma once

#include "script/Boundary.h"
#include "shared/Bstr.h"

#include "Zembrolatix.h"

#include <string>
#include <string_view>

// Which of a local file's two answers is asked first; a file failing both answers with the first failure.
enum class FirstAnswer { Path, Flag };

// The native path and the safe flag of a local file, asked in the given order. A failure of the file is
// returned unchanged, and then path and safe are as they were.
inline HRESULT ReadLocalFile(ILocalFile* file, FirstAnswer first, Bstr& path, VARIANT_BOOL& safe) noexcept {
    Bstr text;
    VARIANT_BOOL flag = VARIANT_FALSE;
    HRESULT hr = first == FirstAnswer::Flag ? file->GetSafe(&flag) : file->get_nativePath(text.put());
    if (FAILED(hr)) return hr;
    hr = first == FirstAnswer::Flag ? file->get_nativePath(text.put()) : file->GetSafe(&flag);
    if (FAILED(hr)) return hr;
    path = std::move(text);
    safe = flag;
    return S_OK;
}

template <class T> class ISafeLocalFileImpl : public ISafeLocalFile {
public:
    // Stores the path verbatim; the flag is set by VARIANT_TRUE (-1) exactly.
    STDMETHOD(init)(BSTR bsNativePath, VARIANT_BOOL vbSafe) noexcept override {
        if (BstrEmpty(bsNativePath)) return E_INVALIDARG;
        return ComBoundary([&] {
            m_path.assign(BstrView(bsNativePath));
            m_safe = vbSafe == VARIANT_TRUE;
            return S_OK;
        });
    }
    STDMETHOD(GetSafe)(VARIANT_BOOL* pvbSafe) noexcept override {
        if (!pvbSafe) return E_POINTER;
        *pvbSafe = m_safe ? VARIANT_TRUE : VARIANT_FALSE;
        return S_OK;
    }
    STDMETHOD(SetSafe)(VARIANT_BOOL vbSafe) noexcept override {
        m_safe = vbSafe == VARIANT_TRUE;
        return S_OK;
    }
    STDMETHOD(GetPath)(BSTR* pbsPath) noexcept override {
        if (!pbsPath) return E_POINTER;
        return BstrCopyOut(m_path, pbsPath);
    }

protected:
    // Takes over the path and flag of another local file, as they are, once admit(path, safe) answers
    // S_OK for them. No file or an empty path: E_INVALIDARG; a failure of the file or of admit is
    // returned unchanged, and nothing is stored.
    template <class Admit> HRESULT takeOver(ILocalFile* file, FirstAnswer first, Admit admit) noexcept {
        if (!file) return E_INVALIDARG;
        Bstr path;
        VARIANT_BOOL safe = VARIANT_FALSE;
        HRESULT hr = ReadLocalFile(file, first, path, safe);
        if (FAILED(hr)) return hr;
        if (BstrEmpty(path.get())) return E_INVALIDARG;
        hr = admit(path.view(), safe == VARIANT_TRUE);
        if (FAILED(hr)) return hr;
        return ISafeLocalFileImpl::init(path.get(), safe);
    }

    std::wstring m_path;
    bool m_safe = false;
};
