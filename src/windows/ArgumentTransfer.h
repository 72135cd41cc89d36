// Argument transfer: carries values from the page that opens a window into the page that loads in it.
// Attached to a browser window, it listens to the window's events; whenever a document completes while
// the window shows a page of the module the opened page came from, it calls that page's global function
// addArgument once per value, in order.
#pragma once

#include "module/ComObject.h"
#include "script/DispatchImpl.h"
#include "script/ObjectSafetyImpl.h"
#include "shared/SafeArray.h"
#include "windows/BrowserWindow.h"

#include "Zembrolatix.h"

#include <optional>
#include <string>

// Not for script: how the window manager tells a transfer which page it opened, so values go only to
// pages of that page's module.
struct IArgumentTransferOrigin : IUnknown {
    // url: the res: address of the opened page. Before Attach only.
    virtual HRESULT STDMETHODCALLTYPE SetOpenedPage(BSTR url) = 0;
};
__CRT_UUID_DECL(IArgumentTransferOrigin, 0x890d17f4, 0x8a10, 0x4fcc, 0x95, 0x25, 0x7c, 0x71, 0xc0, 0x86, 0xfe,
                0xc1)

class CArgumentTransfer : public IDispatchImpl<CArgumentTransfer, IArgumentTransfer>,
                          public IObjectSafetyImpl<CArgumentTransfer>,
                          public IArgumentTransferOrigin,
                          public CComObjectRootEx<CComSingleThreadModel>,
                          public CComCoClass<CArgumentTransfer, &CLSID_ArgumentTransfer> {
public:
    BEGIN_COM_MAP(CArgumentTransfer)
    COM_INTERFACE_ENTRY2(IDispatch, IArgumentTransfer)
    COM_INTERFACE_ENTRY(IArgumentTransfer)
    COM_INTERFACE_ENTRY(IObjectSafety)
    COM_INTERFACE_ENTRY(IArgumentTransferOrigin)
    END_COM_MAP()

    // Subscribes to the browser window's events and keeps its own copy of parameters, a
    // one-dimensional array of VARIANTs (VT_ARRAY | VT_VARIANT). Fails with E_UNEXPECTED when attached
    // or while an Attach of this object is still subscribing.
    STDMETHOD(Attach)(IDispatch* browser, VARIANT parameters) noexcept override;
    // Ends the subscription and lets go of the window and the values; S_FALSE when not attached.
    STDMETHOD(Detach)() noexcept override;
    // The browser's DocumentComplete event (it arrives through IDispatch::Invoke). Never fails.
    STDMETHOD(DocumentComplete)(IDispatch* pDisp, VARIANT* url) noexcept override;

    STDMETHOD(SetOpenedPage)(BSTR url) noexcept override;

private:
    // The page's global function addArgument, when the attached window shows a page of the opened
    // page's module that defines it. Without an opened page (an Attach from script) the first res:
    // page the window shows names the module.
    ComPtr<IDispatch> FindAddArgument() noexcept;
    // Calls function once per stored value, in order; stops at the first value that cannot be read.
    void Deliver(IDispatch* function) noexcept;

    DWORD m_cookie = 0;
    // Subscribed: a connection point may give any cookie, 0 included.
    bool m_advised = false;
    // Inside Attach's subscription, which may handle messages and so run page script.
    bool m_attaching = false;
    // The module path of the opened page; unset until known.
    std::optional<std::wstring> m_pageModule;
    CBrowserWindowPtr m_browser;
    SafeArray m_parameters;
};
