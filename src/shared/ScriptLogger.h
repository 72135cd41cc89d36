// Script logger: lets script code write DEBUG/WARN/ERROR lines to the diagnostic log under a prefix
// of its own choosing.
#pragma once

#include "module/ComObject.h"
#include "script/DispatchImpl.h"
#include "script/ObjectSafetyImpl.h"
#include "shared/LogWriter.h"

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
    STDMETHOD(get_isEnabled)(VARIANT_BOOL* pVal) noexcept override;
    STDMETHOD(debug)(BSTR message) noexcept override;
    STDMETHOD(warn)(BSTR message) noexcept override;
    STDMETHOD(error)(BSTR message) noexcept override;
    STDMETHOD(dumpProperties)(VARIANT value) noexcept override;

private:
    // Reads the log switch when the object is made; the object keeps that state for its lifetime.
    LogWriter m_log;
};
