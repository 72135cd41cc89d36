// Preference service: hands out preference branches.
#pragma once

#include "module/ComObject.h"
#include "script/DispatchImpl.h"
#include "script/ObjectSafetyImpl.h"

#include "Zembrolatix.h"

class CPrefService : public IDispatchImpl<CPrefService, IPrefService>,
                     public IObjectSafetyImpl<CPrefService>,
                     public CComObjectRootEx<CComSingleThreadModel>,
                     public CComCoClass<CPrefService, &CLSID_PrefService> {
public:
    BEGIN_COM_MAP(CPrefService)
    COM_INTERFACE_ENTRY2(IDispatch, IPrefService)
    COM_INTERFACE_ENTRY(IPrefService)
    COM_INTERFACE_ENTRY(IObjectSafety)
    END_COM_MAP()

    STDMETHOD(getBranch)(BSTR aPrefRoot, IPrefBranch** pBranch) noexcept override;
};
