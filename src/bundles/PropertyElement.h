// Property element: one key and value of a string bundle.
#pragma once

#include "module/ComObject.h"
#include "script/ScriptImplementsImpl.h"
#include "script/ObjectSafetyImpl.h"

#include "Zembrolatix.h"

class CPropertyElement : public IScriptImplementsImpl<CPropertyElement, IPropertyElement>,
    public IObjectSafetyImpl<CPropertyElement>,
    public CComObjectRootEx<CComSingleThreadModel>,
    public CComCoClass<CPropertyElement, &CLSID_PropertyElement> {
public:
    BEGIN_COM_MAP(CPropertyElement)
    COM_INTERFACE_ENTRY2(IDispatch, IPropertyElement)
    COM_INTERFACE_ENTRY(IPropertyElement)
    COM_INTERFACE_ENTRY2(IScriptImplements, IPropertyElement)
    COM_INTERFACE_ENTRY(IObjectSafety)
    END_COM_MAP()

    STDMETHOD(get_key)(VARIANT *pVal) noexcept override;
    STDMETHOD(put_key)(VARIANT newVal) noexcept override;
    STDMETHOD(get_value)(VARIANT *pVal) noexcept override;
    STDMETHOD(put_value)(VARIANT newVal) noexcept override;
};
