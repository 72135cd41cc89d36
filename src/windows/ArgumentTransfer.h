// Argument transfer: carries values from the page that opens a window into the page that loads in it.
// Attached to a browser window, it listens to the window's events; whenever a document completes while
// the window shows one of the application's own pages, it calls that page's global function
// addArgument once per value, in order.
#pragma once

#include "module/ComObject.h"
#include "script/DispatchImpl.h"
#include "script/ObjectSafetyImpl.h"
#include "shared/SafeArray.h"
#include "windows/BrowserWindow.h"

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

    // Subscribes to the browser window's events and keeps its own copy of parameters, a
    // one-dimensional array of VARIANTs (VT_ARRAY | VT_VARIANT). Fails with E_UNEXPECTED when attached.
    STDMETHOD(Attach)(IDispatch* browser, VARIANT parameters) noexcept override;
    // Ends the subscription and lets go of the window and the values; S_FALSE when not attached.
    STDMETHOD(Detach)() noexcept override;
    // The browser's DocumentComplete event (it arrives through IDispatch::Invoke). Never fails.
    STDMETHOD(DocumentComplete)(IDispatch* pDisp, VARIANT* url) noexcept override;

private:
    // The page's global function addArgument, when the attached window shows one of the application's
    // own pages (a res: address) that defines it.
    ComPtr<IDispatch> FindAddArgument() const noexcept;
    // Calls function once per stored value, in order; stops at the first value that cannot be read.
    void Deliver(IDispatch* function) noexcept;

    DWORD m_cookie = 0;
    CBrowserWindowPtr m_browser;
    SafeArray m_parameters;
};
