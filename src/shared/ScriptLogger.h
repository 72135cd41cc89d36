// Script logger: writes script lines to the diagnostic log.
#pragma once

#include "module/ComObject.h"
#include "script/DispatchImpl.h"
#include "script/ObjectSafetyImpl.h"

#include "Zembrolatix.h"

class CScriptLogger : public IDispatchImpl<CScriptLogger, ILogger>,
    public IObjectSafetyImpl<CScriptLogger>,
    public CComObjectRootEx<CComSingleThreadModel>,
    public CComCoClass<CScriptLogger, &CLSID_Logger> {
public:
    BEGIN_COM_MAP(CScriptLogger)
    COM_INTERFACE_ENTRY(ILogger)
    COM_INTERFACE_ENTRY2(IDispatch, ILogger)
    COM_INTERFACE_ENTRY(IObjectSafety)
    END_COM_MAP()

    STDMETHOD(init)(BSTR prefix) noexcept override;
    STDMETHOD(get_isEnabled)(VARIANT_BOOL *pVal) noexcept override;
    STDMETHOD(debug)(BSTR message) noexcept override;
    STDMETHOD(warn)(BSTR message) noexcept override;
    STDMETHOD(error)(BSTR message) noexcept override;
    STDMETHOD(dumpProperties)(VARIANT value) noexcept override;
};
