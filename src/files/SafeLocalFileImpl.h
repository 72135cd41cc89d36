// The path and safe flag that a local file and the file streams carry, and ISafeLocalFile over them.
#pragma once

#include "script/Boundary.h"
#include "shared/Bstr.h"

#include "Zembrolatix.h"

#include <string>

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
    std::wstring m_path;
    bool m_safe = false;
};
