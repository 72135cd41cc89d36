// Argument transfer: delivers values to a page opened with arguments.
#pragma once

#include "module/ComObject.h"
#include "script/DispatchImpl.h"
#include "script/ObjectSafetyImpl.h"

#include "Zembrolatix.h"

class CArgumentTransfer : public IDispatchImpl<CArgumentTransfer, IArgumentTransfer>,
                          public IObjectSafetyImpl<CArgumentTransfer>,
                          public CComObjectRootEx<CComSingleThreadModel>,
                          public CComCoClass<CArgumentTransfer, &CLSID_ArgumentTransfer> {
public:
    BEGIN_COM_MAP(CArgumentTransfer)
    COM_INTERFACE_ENTRY2(IDispatch, IArgumentTransfer)
    COM_INTERFACE_ENTRY(IArgumentTransfer)
    COM_INTERFACE_ENTRY(IObjectSafety)
    END_COM_MAP()

    STDMETHOD(Attach)(IDispatch* browser, VARIANT parameters) noexcept override;
    STDMETHOD(Detach)() noexcept override;
    STDMETHOD(DocumentComplete)(IDispatch* pDisp, VARIANT* url) noexcept override;
};
