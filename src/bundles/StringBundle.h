// String bundle: a table of localised strings.
#pragma once

#include "module/ComObject.h"
#include "script/DispatchImpl.h"
#include "script/ObjectSafetyImpl.h"

#include "Zembrolatix.h"

class CStringBundle : public IDispatchImpl<CStringBundle, IStringBundle>,
    public IObjectSafetyImpl<CStringBundle>,
    public CComObjectRootEx<CComSingleThreadModel>,
    public CComCoClass<CStringBundle, &CLSID_StringBundle> {
public:
    BEGIN_COM_MAP(CStringBundle)
    COM_INTERFACE_ENTRY2(IDispatch, IStringBundle)
    COM_INTERFACE_ENTRY(IStringBundle)
    COM_INTERFACE_ENTRY(IObjectSafety)
    END_COM_MAP()

    STDMETHOD(init)(BSTR url) noexcept override;
    STDMETHOD(GetStringFromName)(BSTR name, BSTR *pRet) noexcept override;
    STDMETHOD(getSimpleEnumeration)(ISimpleEnumerator **pEnumeration) noexcept override;
};
