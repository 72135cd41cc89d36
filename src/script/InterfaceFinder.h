// InterfaceFinder: tests any object for an interface.
#pragma once

#include "module/ComObject.h"
#include "script/DispatchImpl.h"
#include "script/ObjectSafetyImpl.h"

#include "Zembrolatix.h"

class CInterfaceFinder : public IDispatchImpl<CInterfaceFinder, IInterfaceFinder>,
                         public IObjectSafetyImpl<CInterfaceFinder>,
                         public CComObjectRootEx<CComSingleThreadModel>,
                         public CComCoClass<CInterfaceFinder, &CLSID_InterfaceFinder> {
public:
    BEGIN_COM_MAP(CInterfaceFinder)
    COM_INTERFACE_ENTRY2(IDispatch, IInterfaceFinder)
    COM_INTERFACE_ENTRY(IInterfaceFinder)
    COM_INTERFACE_ENTRY(IObjectSafety)
    END_COM_MAP()

    STDMETHOD(Implements)(IDispatch* pObj, BSTR bsIID, VARIANT_BOOL* pRet) noexcept override;
};
