// References to the browser's windows: a browser window object that is closed when the library lets go
// of the last reference to a window nobody can see, and a page window with the handle of the frame it
// lives in. Plus the lookup of the active HTML dialog frame of the calling thread.
//
// The page interfaces (IHTMLWindow2, IHTMLDocument2) are used only inside BrowserWindow.cpp: the
// browser's page header declares names of its own that the library's type library also declares.
#pragma once

#include "shared/Bstr.h"
#include "shared/ComPtr.h"
#include "shared/Unique.h"

#include <windows.h>
#include <exdisp.h>
#include <servprov.h>

#include <string_view>

struct IHTMLWindow2;

// A browser window object (IWebBrowser2), let go with the closing release: when the reference was the
// last one and the window was never shown, the window is asked to close (SC_CLOSE is posted).
struct BrowserWindowTraits {
    using type = IWebBrowser2*;
    static constexpr type empty() noexcept { return nullptr; }
    static void close(type browser) noexcept;
};

class CBrowserWindowPtr {
public:
    // Asks object for the browser window interface; a failure leaves the reference empty.
    HRESULT from(IUnknown* object) noexcept;
    // The closing release; nothing happens when empty.
    void release() noexcept { m_p.reset(); }

    IWebBrowser2* get() const noexcept { return m_p.get(); }
    IWebBrowser2* operator->() const noexcept { return m_p.get(); }
    explicit operator bool() const noexcept { return static_cast<bool>(m_p); }
    // For out parameters: releases what is held (closing release) and gives the slot.
    IWebBrowser2** put() noexcept { return m_p.put(); }

private:
    Unique<BrowserWindowTraits> m_p;
};

// The top-level window handle of a browser window object; null when it cannot be read.
HWND BrowserWindowHandle(IWebBrowser2* browser) noexcept;

// A page window (IHTMLWindow2) and, once needed, its service provider.
class CHtmlWindowPtr {
public:
    CHtmlWindowPtr() noexcept;
    // An object that is no page window (or null) gives an empty reference.
    explicit CHtmlWindowPtr(IDispatch* object) noexcept;
    CHtmlWindowPtr(CHtmlWindowPtr&&) noexcept;
    CHtmlWindowPtr& operator=(CHtmlWindowPtr&&) noexcept;
    ~CHtmlWindowPtr();

    explicit operator bool() const noexcept { return m_window.get() != nullptr; }

    // The top-level window of the page; empty when it cannot be read.
    CHtmlWindowPtr top() const noexcept;
    // The title of the page's document; fails when there is no document or no title (a null string).
    HRESULT documentTitle(Bstr& title) const noexcept;
    // The handle of the browser window that shows the page; null when the page window has no browser
    // window object (an HTML dialog, for one) or any step fails.
    HWND frameHandle() noexcept;

    // The page window's own operations (the reference must not be empty).
    HRESULT showModalDialog(BSTR url, VARIANT* argIn, VARIANT* options, VARIANT* argOut) const noexcept;
    HRESULT close() const noexcept;
    // Sets the page's default status text and then its status text; results are ignored.
    void setStatus(BSTR text) const noexcept;

private:
    ComPtr<IHTMLWindow2> m_window;
    ComPtr<IServiceProvider> m_services;
};

// The address of a page document (an IHTMLDocument2) as its location object reports it. E_FAIL when
// object is no page document, or has no location or no address (a null string).
HRESULT DocumentAddress(IDispatch* object, Bstr& address) noexcept;

// The page window of a page document; null when object is no page document or has none.
ComPtr<IDispatch> DocumentWindow(IDispatch* object) noexcept;

// The window class of the frame of the browser's HTML dialogs.
inline constexpr std::wstring_view kDialogFrameClass = L"Internet Explorer_TridentDlgFrame";

// True when a window class name is the dialog frame's, exactly (case and length).
bool IsDialogFrameClass(std::wstring_view className) noexcept;

// The calling thread's active window when it is an HTML dialog frame; null otherwise.
HWND FindActiveDialogFrame() noexcept;

// Asks a window to close as its system menu's Close would; the close happens when its thread handles
// the message. False when the handle is null, no window or the message cannot be posted.
bool PostCloseRequest(HWND window) noexcept;
