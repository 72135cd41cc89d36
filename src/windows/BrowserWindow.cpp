#include "windows/BrowserWindow.h"

#include "script/Boundary.h"

#include <mshtml.h>
#include <shlguid.h>

namespace {
constexpr char kNoPageWindow[] = "the reference holds no page window";
} // namespace

HRESULT CBrowserWindowPtr::from(IUnknown* object) noexcept {
    release();
    if (!object) return E_NOINTERFACE;
    return object->QueryInterface(IID_IWebBrowser2, reinterpret_cast<void**>(m_p.put()));
}

void BrowserWindowTraits::close(IWebBrowser2* browser) noexcept {
    const HWND window = BrowserWindowHandle(browser);
    VARIANT_BOOL shown = VARIANT_FALSE;
    const bool visible = SUCCEEDED(browser->get_Visible(&shown)) && shown == VARIANT_TRUE;
    const ULONG remaining = browser->Release();
    // Nobody else holds the window and nobody can see it: it would stay behind forever.
    if (remaining == 0 && !visible) PostCloseRequest(window);
}

HWND BrowserWindowHandle(IWebBrowser2* browser) noexcept {
    SHANDLE_PTR handle = 0;
    if (!browser || FAILED(browser->get_HWND(&handle))) return nullptr;
    return reinterpret_cast<HWND>(handle);
}

CHtmlWindowPtr::CHtmlWindowPtr() noexcept = default;
CHtmlWindowPtr::CHtmlWindowPtr(CHtmlWindowPtr&&) noexcept = default;
CHtmlWindowPtr& CHtmlWindowPtr::operator=(CHtmlWindowPtr&&) noexcept = default;
CHtmlWindowPtr::~CHtmlWindowPtr() = default;

CHtmlWindowPtr::CHtmlWindowPtr(IDispatch* object) noexcept {
    if (object && FAILED(object->QueryInterface(IID_IHTMLWindow2, m_window.put_void()))) m_window.reset();
}

CHtmlWindowPtr CHtmlWindowPtr::top() const noexcept {
    CHtmlWindowPtr result;
    if (m_window && FAILED(m_window->get_top(result.m_window.put()))) result.m_window.reset();
    return result;
}

HRESULT CHtmlWindowPtr::documentTitle(Bstr& title) const noexcept {
    if (!m_window) return FailWithReason(kNoPageWindow);
    ComPtr<IHTMLDocument2> document;
    HRESULT hr = m_window->get_document(document.put());
    if (FAILED(hr)) return FailWithResult(hr);
    if (!document) return FailWithReason("the page window has no document");
    hr = document->get_title(title.put());
    if (FAILED(hr)) return FailWithResult(hr);
    if (!title.get()) return FailWithReason("the document has no title");
    return S_OK;
}

HWND CHtmlWindowPtr::frameHandle() noexcept {
    if (!m_window) return nullptr;
    if (!m_services && FAILED(m_window.As(m_services))) return nullptr;
    ComPtr<IWebBrowser2> browser;
    if (FAILED(m_services->QueryService(SID_SWebBrowserApp, IID_IWebBrowser2, browser.put_void())))
        return nullptr;
    return BrowserWindowHandle(browser.get());
}

HRESULT CHtmlWindowPtr::showModalDialog(BSTR url, VARIANT* argIn, VARIANT* options,
                                        VARIANT* argOut) const noexcept {
    if (!m_window) return FailWithReason(kNoPageWindow);
    return m_window->showModalDialog(url, argIn, options, argOut);
}

HRESULT CHtmlWindowPtr::close() const noexcept {
    if (!m_window) return FailWithReason(kNoPageWindow);
    return m_window->close();
}

void CHtmlWindowPtr::setStatus(BSTR text) const noexcept {
    if (!m_window) return;
    m_window->put_defaultStatus(text);
    m_window->put_status(text);
}

HRESULT DocumentAddress(IDispatch* object, Bstr& address) noexcept {
    ComPtr<IHTMLDocument2> document;
    if (!object || FAILED(object->QueryInterface(IID_IHTMLDocument2, document.put_void())) || !document)
        return FailWithReason("the object is no page document");
    ComPtr<IHTMLLocation> location;
    HRESULT hr = document->get_location(location.put());
    if (FAILED(hr)) return FailWithResult(hr);
    if (!location) return FailWithReason("the document has no location");
    Bstr href;
    hr = location->get_href(href.put());
    if (FAILED(hr)) return FailWithResult(hr);
    if (!href.get()) return FailWithReason("the location has no address");
    address = std::move(href);
    return S_OK;
}

ComPtr<IDispatch> DocumentWindow(IDispatch* object) noexcept {
    ComPtr<IHTMLDocument2> document;
    if (!object || FAILED(object->QueryInterface(IID_IHTMLDocument2, document.put_void())) || !document)
        return nullptr;
    ComPtr<IHTMLWindow2> window;
    if (FAILED(document->get_parentWindow(window.put())) || !window) return nullptr;
    return ComPtr<IDispatch>(window.get());
}

bool IsDialogFrameClass(std::wstring_view className) noexcept {
    return className == kDialogFrameClass;
}

HWND FindActiveDialogFrame() noexcept {
    const HWND active = ::GetActiveWindow();
    if (!active) return nullptr;
    wchar_t name[128] = {};
    const int length = ::GetClassNameW(active, name, 128);
    if (length <= 0) return nullptr;
    return IsDialogFrameClass(std::wstring_view(name, static_cast<size_t>(length))) ? active : nullptr;
}

bool PostCloseRequest(HWND window) noexcept {
    return window && ::IsWindow(window) && ::PostMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0);
}
