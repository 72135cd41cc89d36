// String bundle: a table of localised strings read from properties text in a file or in a module's
// resources, looked up by key and handed out as an enumeration of property elements.
#pragma once

#include "bundles/Properties.h"
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

    // Loads the table from a file path, a res:// URL (module/RESOURCE) or a chrome URL, with brace
    // tokens expanded. A file source that fails leaves the bundle empty; a module source that fails
    // keeps the table held before.
    STDMETHOD(init)(BSTR url) noexcept override;
    // The value of name; S_FALSE with the empty string when name is absent or its value is empty.
    // E_UNEXPECTED while the table is empty.
    STDMETHOD(GetStringFromName)(BSTR name, BSTR* pRet) noexcept override;
    // A snapshot of every entry as PropertyElement objects, in no particular order.
    STDMETHOD(getSimpleEnumeration)(ISimpleEnumerator** pEnumeration) noexcept override;

private:
    HRESULT Load(const std::wstring& resolvedUrl);
    HRESULT MakeEnumeration(ISimpleEnumerator** pEnumeration) const;

    PropertiesTable m_table;
};
