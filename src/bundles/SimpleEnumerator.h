// Simple enumerator over an array of values.
#pragma once

#include "module/ComObject.h"
#include "script/DispatchImpl.h"
#include "script/ObjectSafetyImpl.h"

#include "Zembrolatix.h"

class CSimpleEnumerator : public IDispatchImpl<CSimpleEnumerator, ISimpleEnumerator>,
    public IObjectSafetyImpl<CSimpleEnumerator>,
    public CComObjectRootEx<CComSingleThreadModel>,
    public CComCoClass<CSimpleEnumerator, &CLSID_SimpleEnumerator> {
public:
    BEGIN_COM_MAP(CSimpleEnumerator)
    COM_INTERFACE_ENTRY2(IDispatch, ISimpleEnumerator)
    COM_INTERFACE_ENTRY(ISimpleEnumerator)
    COM_INTERFACE_ENTRY(IObjectSafety)
    END_COM_MAP()

    STDMETHOD(init)(VARIANT values) noexcept override;
    STDMETHOD(hasMoreElements)(VARIANT_BOOL *pRet) noexcept override;
    STDMETHOD(getNext)(VARIANT *pRet) noexcept override;
};
