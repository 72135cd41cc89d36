// The script methods Implements and QueryInterface over the object's own interface table.
#pragma once

#include "script/DispatchImpl.h"
#include "shared/Bstr.h"

// Parses the registry form of an interface identifier ("{xxxxxxxx-xxxx-...}").
// Absent or empty text gives E_INVALIDARG, malformed text the parser's failure.
HRESULT ParseInterfaceId(BSTR text, IID* iid) noexcept;

template <class T, class Itf> class IScriptImplementsImpl : public IDispatchImpl<T, Itf> {
public:
    // IUnknown's QueryInterface, which the script method of the same name would hide.
    using IUnknownQueryInterface = HRESULT (STDMETHODCALLTYPE IUnknown::*)(REFIID, void**);

    STDMETHOD(Implements)(BSTR bsIID, VARIANT_BOOL* pRet) noexcept override {
        if (!pRet) return E_POINTER;
        ComPtr<IUnknown> itf;
        *pRet = SUCCEEDED(QueryInterface(bsIID, itf.put())) ? VARIANT_TRUE : VARIANT_FALSE;
        return S_OK;
    }
    STDMETHOD(QueryInterface)(BSTR bsIID, IUnknown** pInterface) noexcept override {
        if (BstrEmpty(bsIID)) return E_INVALIDARG;
        if (!pInterface) return E_POINTER;
        *pInterface = nullptr;
        IID iid;
        HRESULT hr = ParseInterfaceId(bsIID, &iid);
        if (FAILED(hr)) return hr;
        return static_cast<IUnknown*>(static_cast<Itf*>(this))
            ->QueryInterface(iid, reinterpret_cast<void**>(pInterface));
    }
};
