#include "windows/WindowManager.h"

#include "bundles/Extensions.h"
#include "bundles/ResourceUrl.h"
#include "host/XmlServices.h"
#include "script/Boundary.h"
#include "shared/LogWriter.h"
#include "shared/Registered.h"
#include "windows/ArgumentTransfer.h"
#include "windows/BrowserWindow.h"

#include <objsafe.h>

namespace {

// The browser's class, looked up anew for every window: an installation may replace it at any time.
CLSID BrowserClass() noexcept {
    CLSID clsid = CLSID_NULL;
    if (SUCCEEDED(::CLSIDFromProgID(L"InternetExplorer.Application", &clsid))) return clsid;
    LogWriter log;
    log.write(
        "WEBBrowser FAILED to get InternetExplorer.Application CLSID, CLSID_InternetExplorer will be used");
    return CLSID_InternetExplorer;
}

// Presses (or releases) the modifiers that are set and then the key, in one call; E_FAIL when the
// system inserted nothing.
HRESULT SendKeys(LONG keyCode, VARIANT_BOOL shiftKey, VARIANT_BOOL ctrlKey, VARIANT_BOOL altKey, bool up) {
    std::vector<INPUT> records =
        KeyRecords(keyCode, shiftKey, ctrlKey, altKey, up, static_cast<ULONG_PTR>(::GetMessageExtraInfo()));
    const UINT inserted =
        ::SendInput(static_cast<UINT>(records.size()), records.data(), static_cast<int>(sizeof(INPUT)));
    return inserted != 0 ? S_OK : FailWithLastError();
}

// A res: address whose module may be read at all: no network module unless that exact module is
// registered, and no escapes the browser would decode into another module path. Any other address
// answers true.
bool MayNavigateTo(std::wstring_view address) {
    if (!IsResUrl(address)) return true;
    return NamesModulePlainly(GetResModulePath(address)) && MayLoadResModule(address);
}

} // namespace

STDMETHODIMP CWindowManager::resolveURL(BSTR url, BSTR* result) noexcept {
    if (!url) return E_INVALIDARG;
    if (!result) return E_POINTER;
    return ComBoundary([&] {
        std::wstring resolved;
        HRESULT hr = ResolveUrl(BstrView(url), resolved);
        if (FAILED(hr)) return hr;
        return BstrCopyOut(resolved, result);
    });
}

HRESULT CWindowManager::ResolveApplicationPage(BSTR url, Bstr& resolved) noexcept {
    return ComBoundary([&] {
        HRESULT hr = resolveURL(url, resolved.put());
        if (FAILED(hr)) return hr;
        // Only the application's own resource pages: never a web page, a local file or a module the
        // application did not register. The network rule comes first: it reads nothing.
        const std::wstring_view address = resolved.view();
        if (!IsResUrl(address) || !MayNavigateTo(address) || !IsRegisteredModule(GetResModulePath(address)))
            return E_INVALIDARG;
        return S_OK;
    });
}

HRESULT CWindowManager::OpenBrowserWindow(BSTR url, LONG width, LONG height, bool show,
                                          const DialogParameters& params) noexcept {
    if (!url) return E_INVALIDARG;
    return ComBoundary([&] {
        Bstr resolved;
        HRESULT hr = ResolveApplicationPage(url, resolved);
        if (FAILED(hr)) return hr;

        // Released last, by the closing release: a window that ends up unseen and unreferenced goes.
        CBrowserWindowPtr browser;
        hr = ::CoCreateInstance(BrowserClass(), nullptr, CLSCTX_ALL, IID_IWebBrowser2,
                                reinterpret_cast<void**>(browser.put()));
        if (FAILED(hr)) return hr;

        browser->put_AddressBar(VARIANT_FALSE);
        browser->put_MenuBar(VARIANT_FALSE);
        browser->put_StatusBar(VARIANT_FALSE);
        browser->put_ToolBar(0);

        const WindowPlacement place =
            PlaceWindow(width, height, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN));
        if (place.kind == WindowPlacement::Kind::FullScreen) {
            browser->put_FullScreen(VARIANT_TRUE);
        } else if (place.kind == WindowPlacement::Kind::Centered) {
            browser->put_Left(place.left);
            browser->put_Width(place.width);
            browser->put_Top(place.top);
            browser->put_Height(place.height);
        }

        Variant packed;
        hr = PackDialogParameters(params, packed);
        if (FAILED(hr)) return hr;

        ComPtr<IArgumentTransfer> transfer;
        if (packed->vt == (VT_ARRAY | VT_VARIANT)) {
            if (const HRESULT created = CreateRegistered(CLSID_ArgumentTransfer, transfer); FAILED(created))
                return FailWithResult(created);
            // Values go only to pages of the opened page's module; a transfer that cannot be told
            // which module that is delivers nothing.
            ComPtr<IArgumentTransferOrigin> origin;
            if (SUCCEEDED(transfer.As(origin)) && SUCCEEDED(origin->SetOpenedPage(resolved.get())))
                // Without the transfer the page still opens, only without its values.
                transfer->Attach(browser.get(), *packed.get());
        }

        Variant flags, target, postData, headers;
        if (FAILED(browser->Navigate(resolved.get(), flags.get(), target.get(), postData.get(),
                                     headers.get()))) {
            // The window stays unseen; once the transfer lets go of it, the closing release ends it.
            if (transfer) transfer->Detach();
            return S_OK;
        }
        if (show) {
            browser->put_Visible(VARIANT_TRUE);
            const HWND window = BrowserWindowHandle(browser.get());
            if (window && ::IsWindow(window)) ::SetForegroundWindow(window);
        }
        return S_OK;
    });
}

STDMETHODIMP CWindowManager::openDialog(BSTR url, LONG width, LONG height, VARIANT param0, VARIANT param1,
                                        VARIANT param2, VARIANT param3, VARIANT param4, VARIANT param5,
                                        VARIANT param6, VARIANT param7, VARIANT param8,
                                        VARIANT param9) noexcept {
    return OpenBrowserWindow(
        url, width, height, true,
        {&param0, &param1, &param2, &param3, &param4, &param5, &param6, &param7, &param8, &param9});
}

STDMETHODIMP CWindowManager::openFullScreen(BSTR url, VARIANT param0, VARIANT param1, VARIANT param2,
                                            VARIANT param3, VARIANT param4, VARIANT param5, VARIANT param6,
                                            VARIANT param7, VARIANT param8, VARIANT param9) noexcept {
    return OpenBrowserWindow(
        url, -1, -1, true,
        {&param0, &param1, &param2, &param3, &param4, &param5, &param6, &param7, &param8, &param9});
}

STDMETHODIMP CWindowManager::openHiddenDialog(BSTR url, VARIANT param0, VARIANT param1, VARIANT param2,
                                              VARIANT param3, VARIANT param4, VARIANT param5, VARIANT param6,
                                              VARIANT param7, VARIANT param8, VARIANT param9) noexcept {
    return OpenBrowserWindow(
        url, 0, 0, false,
        {&param0, &param1, &param2, &param3, &param4, &param5, &param6, &param7, &param8, &param9});
}

STDMETHODIMP CWindowManager::showModalDialog(IDispatch* wnd, BSTR dialog, VARIANT* varArgIn,
                                             VARIANT* varOptions, VARIANT* varArgOut) noexcept {
    if (!dialog) return E_INVALIDARG;
    if (!varArgOut) return E_POINTER;
    Bstr resolved;
    HRESULT hr = resolveURL(dialog, resolved.put());
    if (FAILED(hr)) return hr;
    // The page's own dialog, under the browser's limits for that page; but never a network module.
    hr = ComBoundary([&] { return MayNavigateTo(resolved.view()) ? S_OK : E_INVALIDARG; });
    if (FAILED(hr)) return hr;
    CHtmlWindowPtr window(wnd);
    if (!window) return FailWithReason("the object is no page window");
    // Runs the dialog modally; the browser fills varArgOut with its return value.
    return window.showModalDialog(resolved.get(), varArgIn, varOptions, varArgOut);
}

// Closing applies to the top-level window of the page, whatever frame wnd is.
STDMETHODIMP CWindowManager::close(IDispatch* wnd) noexcept {
    if (!wnd) return E_INVALIDARG;
    CHtmlWindowPtr window(wnd);
    if (!window) return E_INVALIDARG;
    CHtmlWindowPtr top = window.top();
    if (!top) return E_INVALIDARG;
    HWND frame = top.frameHandle();
    if (!frame) frame = FindActiveDialogFrame();
    if (PostCloseRequest(frame)) return S_OK;
    return top.close();
}

// The caption of the active HTML dialog becomes the page's title alone.
STDMETHODIMP CWindowManager::clearDialogTitle(IDispatch* pWnd) noexcept {
    if (!pWnd) return E_INVALIDARG;
    CHtmlWindowPtr window(pWnd);
    if (!window) return S_OK;
    Bstr title;
    if (FAILED(window.documentTitle(title))) return S_OK;
    if (const HWND frame = FindActiveDialogFrame()) ::SetWindowTextW(frame, title.get());
    return S_OK;
}

STDMETHODIMP CWindowManager::setDialogStatus(IDispatch* pWnd, BSTR bsStatus) noexcept {
    if (!pWnd) return E_INVALIDARG;
    CHtmlWindowPtr window(pWnd);
    if (window) window.setStatus(bsStatus);
    if (const HWND frame = FindActiveDialogFrame()) {
        if (const HWND bar = ::FindWindowExW(frame, nullptr, L"msctls_statusbar32", nullptr))
            ::SetWindowTextW(bar, bsStatus);
    }
    return S_OK;
}

// The events go to the window that has the keyboard focus, so they are sent only while that is the
// window of the calling page: a page must not type into another program or confirm a dialog.
HRESULT CWindowManager::SendKeysToOwnWindow(IDispatch* pWnd, LONG keyCode, VARIANT_BOOL shiftKey,
                                            VARIANT_BOOL ctrlKey, VARIANT_BOOL altKey,
                                            bool release) noexcept {
    if (!pWnd) return E_INVALIDARG;
    CHtmlWindowPtr window(pWnd);
    if (!window) return E_INVALIDARG;
    CHtmlWindowPtr top = window.top();
    // The browser window that shows the page; a page without one runs in an HTML dialog.
    HWND own = top.frameHandle();
    if (!own) own = FindActiveDialogFrame();
    if (!own || ::GetForegroundWindow() != own) return E_ACCESSDENIED;
    return ComBoundary([&] { return SendKeys(keyCode, shiftKey, ctrlKey, altKey, release); });
}

STDMETHODIMP CWindowManager::ResendKey(IDispatch* pWnd, LONG keyCode, VARIANT_BOOL shiftKey,
                                       VARIANT_BOOL ctrlKey, VARIANT_BOOL altKey) noexcept {
    return SendKeysToOwnWindow(pWnd, keyCode, shiftKey, ctrlKey, altKey, false);
}

STDMETHODIMP CWindowManager::StopKey(IDispatch* pWnd, LONG keyCode, VARIANT_BOOL shiftKey,
                                     VARIANT_BOOL ctrlKey, VARIANT_BOOL altKey) noexcept {
    return SendKeysToOwnWindow(pWnd, keyCode, shiftKey, ctrlKey, altKey, true);
}

// A new request object on every read, treated by MSXML as one the calling page made itself: it gets
// the page's site (so MSXML knows the page's address) and, for an untrusted page, the safety options
// under which MSXML keeps requests to the page's own origin.
STDMETHODIMP CWindowManager::get_XMLHttpRequest(IDispatch** pVal) noexcept {
    if (!pVal) return E_POINTER;
    *pVal = nullptr;
    ComPtr<IDispatch> request;
    HRESULT hr = CreateHttpRequest(request.put());
    if (FAILED(hr)) return hr;
    if (EnabledSafetyOptions() & INTERFACESAFE_FOR_UNTRUSTED_CALLER) {
        constexpr DWORD kUntrusted = INTERFACESAFE_FOR_UNTRUSTED_CALLER | INTERFACESAFE_FOR_UNTRUSTED_DATA;
        ComPtr<IObjectSafety> safety;
        hr = request.As(safety);
        if (SUCCEEDED(hr)) hr = safety->SetInterfaceSafetyOptions(IID_IDispatch, kUntrusted, kUntrusted);
        // Never an unrestricted request object for an untrusted page.
        if (FAILED(hr)) return hr;
    }
    if (IUnknown* site = Site()) {
        ComPtr<IObjectWithSite> sited;
        hr = request.As(sited);
        if (SUCCEEDED(hr)) hr = sited->SetSite(site);
        if (FAILED(hr)) return hr;
    }
    *pVal = request.Detach();
    return S_OK;
}
