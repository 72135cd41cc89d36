// Window manager: the application's own windows and dialogs, their captions and status text, key
// strokes and HTTP request objects.
#pragma once

#include "module/ComObject.h"
#include "script/DispatchImpl.h"
#include "script/ObjectSafetyImpl.h"
#include "script/ObjectWithSiteImpl.h"
#include "windows/WindowRules.h"

#include "Zembrolatix.h"

class CWindowManager : public IDispatchImpl<CWindowManager, IWindowManager>,
                       public IObjectSafetyImpl<CWindowManager>,
                       public IObjectWithSiteImpl<CWindowManager>,
                       public CComObjectRootEx<CComSingleThreadModel>,
                       public CComCoClass<CWindowManager, &CLSID_WindowManager> {
public:
    BEGIN_COM_MAP(CWindowManager)
    COM_INTERFACE_ENTRY2(IDispatch, IWindowManager)
    COM_INTERFACE_ENTRY(IWindowManager)
    COM_INTERFACE_ENTRY(IObjectSafety)
    COM_INTERFACE_ENTRY(IObjectWithSite)
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

private:
    // Resolves url to the page an open member may show: a res: page of a module the application
    // registered. Anything else fails (E_INVALIDARG, or the resolution's failure).
    HRESULT ResolveApplicationPage(BSTR url, Bstr& resolved) noexcept;
    // Opens the resource page url in a new browser window stripped of its bars, placed as width and
    // height ask (see PlaceWindow), shown and brought to the front when show is set, and hands the
    // supplied parameters to the page through an ArgumentTransfer.
    HRESULT OpenBrowserWindow(BSTR url, LONG width, LONG height, bool show,
                              const DialogParameters& params) noexcept;
    // Key records go out only while the window that shows the page pWnd is in front.
    HRESULT SendKeysToOwnWindow(IDispatch* pWnd, LONG keyCode, VARIANT_BOOL shiftKey, VARIANT_BOOL ctrlKey,
                                VARIANT_BOOL altKey, bool release) noexcept;
};
