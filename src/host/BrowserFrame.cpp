#include "host/BrowserFrame.h"

#include "shared/ComPtr.h"

#include <exdisp.h>
#include <mshtml.h>
#include <servprov.h>

namespace {

// The web browser application service of a page's top window.
constexpr GUID kWebBrowserAppService = {
    0x0002DF05, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

} // namespace

HWND BrowserFrameOf(IDispatch* page) noexcept {
    if (!page) return nullptr;
    ComPtr<IHTMLWindow2> window;
    if (FAILED(page->QueryInterface(__uuidof(IHTMLWindow2), window.put_void())) || !window) return nullptr;
    ComPtr<IHTMLWindow2> top;
    if (FAILED(window->get_top(top.put())) || !top) return nullptr;
    ComPtr<IServiceProvider> services;
    if (FAILED(top.As(services)) || !services) return nullptr;
    ComPtr<IWebBrowser2> browser;
    if (FAILED(services->QueryService(kWebBrowserAppService, __uuidof(IWebBrowser2), browser.put_void())) ||
        !browser)
        return nullptr;
    SHANDLE_PTR frame = 0;
    if (FAILED(browser->get_HWND(&frame))) return nullptr;
    return reinterpret_cast<HWND>(frame);
}
