// Property element: one key and value, as a string bundle's enumeration hands them out.
#pragma once

#include "module/ComObject.h"
#include "script/ObjectSafetyImpl.h"
#include "script/ScriptImplementsImpl.h"
#include "shared/Bstr.h"

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

    // Any automation value; an object is kept by reference, not copied.
    STDMETHOD(get_key)(VARIANT* pVal) noexcept override;
    STDMETHOD(put_key)(VARIANT newVal) noexcept override;
    STDMETHOD(get_value)(VARIANT* pVal) noexcept override;
    STDMETHOD(put_value)(VARIANT newVal) noexcept override;

private:
    Variant m_key;
    Variant m_value;
};
