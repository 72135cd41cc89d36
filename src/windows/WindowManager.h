// Window manager: dialogs and windows of the application.
#pragma once

#include "module/ComObject.h"
#include "script/DispatchImpl.h"
#include "script/ObjectSafetyImpl.h"

#include "Zembrolatix.h"

class CWindowManager : public IDispatchImpl<CWindowManager, IWindowManager>,
                       public IObjectSafetyImpl<CWindowManager>,
                       public CComObjectRootEx<CComSingleThreadModel>,
                       public CComCoClass<CWindowManager, &CLSID_WindowManager> {
public:
    BEGIN_COM_MAP(CWindowManager)
    COM_INTERFACE_ENTRY2(IDispatch, IWindowManager)
    COM_INTERFACE_ENTRY(IWindowManager)
    COM_INTERFACE_ENTRY(IObjectSafety)
    END_COM_MAP()

    STDMETHOD(resolveURL)(BSTR url, BSTR* result) noexcept override;
    STDMETHOD(openDialog)
    (BSTR url, LONG width, LONG height, VARIANT param0, VARIANT param1, VARIANT param2, VARIANT param3,
     VARIANT param4, VARIANT param5, VARIANT param6, VARIANT param7, VARIANT param8,
     VARIANT param9) noexcept override;
    STDMETHOD(openFullScreen)
    (BSTR url, VARIANT param0, VARIANT param1, VARIANT param2, VARIANT param3, VARIANT param4, VARIANT param5,
     VARIANT param6, VARIANT param7, VARIANT param8, VARIANT param9) noexcept override;
    STDMETHOD(openHiddenDialog)
    (BSTR url, VARIANT param0, VARIANT param1, VARIANT param2, VARIANT param3, VARIANT param4, VARIANT param5,
     VARIANT param6, VARIANT param7, VARIANT param8, VARIANT param9) noexcept override;
    STDMETHOD(showModalDialog)
    (IDispatch* wnd, BSTR dialog, VARIANT* varArgIn, VARIANT* varOptions,
     VARIANT* varArgOut) noexcept override;
    STDMETHOD(close)(IDispatch* wnd) noexcept override;
    STDMETHOD(clearDialogTitle)(IDispatch* pWnd) noexcept override;
    STDMETHOD(setDialogStatus)(IDispatch* pWnd, BSTR bsStatus) noexcept override;
    STDMETHOD(ResendKey)
    (IDispatch* pWnd, LONG keyCode, VARIANT_BOOL shiftKey, VARIANT_BOOL ctrlKey,
     VARIANT_BOOL altKey) noexcept override;
    STDMETHOD(StopKey)
    (IDispatch* pWnd, LONG keyCode, VARIANT_BOOL shiftKey, VARIANT_BOOL ctrlKey,
     VARIANT_BOOL altKey) noexcept override;
    STDMETHOD(get_XMLHttpRequest)(IDispatch** pVal) noexcept override;
};
