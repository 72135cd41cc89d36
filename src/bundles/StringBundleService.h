// String bundle service: creates a string bundle loaded from a URL in one call.
#pragma once

#include "module/ComObject.h"
#include "script/DispatchImpl.h"
#include "script/ObjectSafetyImpl.h"

#include "Zembrolatix.h"

class CStringBundleService : public IDispatchImpl<CStringBundleService, IStringBundleService>,
                             public IObjectSafetyImpl<CStringBundleService>,
                             public CComObjectRootEx<CComSingleThreadModel>,
                             public CComCoClass<CStringBundleService, &CLSID_StringBundleService> {
public:
    BEGIN_COM_MAP(CStringBundleService)
    COM_INTERFACE_ENTRY2(IDispatch, IStringBundleService)
    COM_INTERFACE_ENTRY(IStringBundleService)
    COM_INTERFACE_ENTRY(IObjectSafety)
    END_COM_MAP()

    STDMETHOD(createBundle)(BSTR url, IStringBundle** pBundle) noexcept override;
};
