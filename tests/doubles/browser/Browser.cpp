#include "Browser.h"

#include "Page.h"

#include <exdispid.h>
#include <olectl.h>

#include <algorithm>
#include <mutex>

namespace zbt {
namespace {

std::mutex g_liveLock;
std::vector<CBrowser*> g_live; // top-level browsers whose window exists, in creation order
std::once_flag g_classesOnce;

LRESULT CALLBACK DialogWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if ((message == WM_TIMER && wParam == kDialogTimeoutTimer) || message == WM_CLOSE) {
        // As modal dialogs do: the owner is enabled first, so it is the window activated next.
        if (HWND owner = ::GetWindow(hwnd, GW_OWNER)) ::EnableWindow(owner, TRUE);
        ::DestroyWindow(hwnd);
        return 0;
    }
    if (message == WM_SIZE) // the status bar keeps to the bottom edge
        if (HWND status = ::FindWindowExW(hwnd, nullptr, L"msctls_statusbar32", nullptr))
            ::SendMessageW(status, WM_SIZE, 0, 0);
    return ::DefWindowProcW(hwnd, message, wParam, lParam);
}

void RegisterWindowClasses(WNDPROC browserProc) {
    WNDCLASSEXW wc = {};
    wc.cbSize = sizeof wc;
    wc.hInstance = ModuleInstance();
    wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpfnWndProc = browserProc;
    wc.lpszClassName = kBrowserFrameClass;
    ::RegisterClassExW(&wc);
    wc.lpfnWndProc = DialogWindowProc;
    wc.lpszClassName = kDialogFrameClass;
    ::RegisterClassExW(&wc);
}

// The connection point of DWebBrowserEvents2 on a browser.
class CEventsPoint final : public Counted, public IConnectionPoint {
public:
    explicit CEventsPoint(CBrowser* browser) : m_browser(browser) {}
    ZBT_UNKNOWN
    HRESULT STDMETHODCALLTYPE GetConnectionInterface(IID* out) override {
        if (!out) return E_POINTER;
        *out = DIID_DWebBrowserEvents2;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetConnectionPointContainer(IConnectionPointContainer** out) override {
        if (!out) return E_POINTER;
        return m_browser->QueryInterface(IID_IConnectionPointContainer, reinterpret_cast<void**>(out));
    }
    HRESULT STDMETHODCALLTYPE Advise(IUnknown* sink, DWORD* cookie) override {
        return m_browser->Advise(sink, cookie);
    }
    HRESULT STDMETHODCALLTYPE Unadvise(DWORD cookie) override { return m_browser->Unadvise(cookie); }
    HRESULT STDMETHODCALLTYPE EnumConnections(IEnumConnections**) override { return E_NOTIMPL; }

private:
    void* Find(REFIID iid) noexcept {
        if (iid == IID_IUnknown || iid == IID_IConnectionPoint) return static_cast<IConnectionPoint*>(this);
        return nullptr;
    }
    Ref<CBrowser> m_browser;
};

} // namespace

HRESULT CBrowser::CreateTopLevel(REFIID iid, void** out) {
    std::call_once(g_classesOnce, RegisterWindowClasses, &CBrowser::WindowProc);
    Ref<CBrowser> browser = Ref<CBrowser>::Adopt(new CBrowser());
    browser->m_hwnd =
        ::CreateWindowExW(0, kBrowserFrameClass, L"", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT,
                          CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, ModuleInstance(), nullptr);
    if (!browser->m_hwnd) return HRESULT_FROM_WIN32(::GetLastError());
    ::SetWindowLongPtrW(browser->m_hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(browser.get()));
    browser->m_windowAlive = true;
    {
        std::lock_guard lock(g_liveLock);
        g_live.push_back(browser.get());
    }
    const HRESULT hr = browser->QueryInterface(iid, out);
    if (FAILED(hr)) ::DestroyWindow(browser->m_hwnd);
    return hr;
}

Ref<CBrowser> CBrowser::ForFrame(Ref<CPage> page) {
    Ref<CBrowser> browser = Ref<CBrowser>::Adopt(new CBrowser());
    browser->m_page = std::move(page);
    return browser;
}

std::vector<Ref<CBrowser>> CBrowser::Live() {
    std::lock_guard lock(g_liveLock);
    std::vector<Ref<CBrowser>> live;
    for (CBrowser* browser : g_live)
        live.emplace_back(browser);
    return live;
}

std::vector<HWND> CBrowser::LiveWindows() {
    std::lock_guard lock(g_liveLock);
    std::vector<HWND> windows;
    for (CBrowser* browser : g_live)
        windows.push_back(browser->m_hwnd);
    return windows;
}

CBrowser::~CBrowser() {
    if (m_page) m_page->Shutdown();
}

ULONG CBrowser::Release() {
    const ULONG left = --m_refs;
    if (left == 0 && !m_windowAlive) delete this;
    return left;
}

void* CBrowser::Find(REFIID iid) noexcept {
    if (iid == IID_IUnknown || iid == IID_IDispatch || iid == IID_IWebBrowser || iid == IID_IWebBrowserApp ||
        iid == IID_IWebBrowser2)
        return static_cast<IWebBrowser2*>(this);
    if (iid == IID_IConnectionPointContainer) return static_cast<IConnectionPointContainer*>(this);
    return nullptr;
}

HRESULT CBrowser::QueryInterface(REFIID iid, void** out) {
    if (!out) return E_POINTER;
    *out = Find(iid);
    if (!*out) return E_NOINTERFACE;
    AddRef();
    return S_OK;
}

// ---- Window

LRESULT CALLBACK CBrowser::WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DESTROY) {
        if (auto* browser = reinterpret_cast<CBrowser*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA))) {
            ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
            browser->OnWindowDestroyed();
        }
    }
    return ::DefWindowProcW(hwnd, message, wParam, lParam);
}

// The window is gone: subscribers are dropped, the page shut down and the browser no longer live.
void CBrowser::OnWindowDestroyed() {
    Ref<CBrowser> keep(this);
    {
        std::lock_guard lock(g_liveLock);
        g_live.erase(std::remove(g_live.begin(), g_live.end(), this), g_live.end());
    }
    m_windowAlive = false;
    auto sinks = std::move(m_sinks);
    sinks.clear();
    if (Ref<CPage> page = std::move(m_page)) page->Shutdown();
    m_hwnd = nullptr;
}

HRESULT CBrowser::Bounds(RECT& rect) const {
    if (!m_hwnd) return E_FAIL;
    return ::GetWindowRect(m_hwnd, &rect) ? S_OK : E_FAIL;
}

// Moves one edge of the window: left and top keep the size, width and height keep the place.
HRESULT CBrowser::Move(LONG RECT::*edge, LONG value) {
    RECT r;
    if (FAILED(Bounds(r))) return E_FAIL;
    LONG x = r.left, y = r.top, cx = r.right - r.left, cy = r.bottom - r.top;
    if (edge == &RECT::left) x = value;
    if (edge == &RECT::top) y = value;
    if (edge == &RECT::right) cx = value;
    if (edge == &RECT::bottom) cy = value;
    return ::SetWindowPos(m_hwnd, nullptr, x, y, cx, cy, SWP_NOZORDER | SWP_NOACTIVATE) ? S_OK : E_FAIL;
}

// ---- Dispatch: SHDocVw's description, with the window handle given as a 32-bit number (script
// engines cannot use 64-bit integers).

HRESULT CBrowser::GetTypeInfoCount(UINT* count) {
    return TypeInfoCount(count);
}

HRESULT CBrowser::GetTypeInfo(UINT index, LCID, ITypeInfo** out) {
    return TypeInfoOf(IID_IWebBrowser2, index, out);
}

HRESULT CBrowser::GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) {
    return TypeInfoIdsOfNames(IID_IWebBrowser2, names, count, ids);
}

HRESULT CBrowser::Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                         EXCEPINFO* error, UINT* argError) {
    if (id == DISPID_HWND && (flags & DISPATCH_PROPERTYGET)) {
        SHANDLE_PTR hwnd = 0;
        const HRESULT hr = get_HWND(&hwnd);
        if (SUCCEEDED(hr) && result) {
            ::VariantInit(result);
            result->vt = VT_I4;
            result->lVal = static_cast<LONG>(hwnd);
        }
        return hr;
    }
    return TypeInfoInvoke(static_cast<IWebBrowser2*>(this), IID_IWebBrowser2, id, flags, params, result,
                          error, argError);
}

// ---- Navigation: synchronous. The page's scripts run, each frame loads, then DocumentComplete
// goes out for every frame in document order and last for the top-level document.

HRESULT CBrowser::Navigate(BSTR url, VARIANT*, VARIANT*, VARIANT*, VARIANT*) {
    if (BstrEmpty(url)) return E_INVALIDARG;
    if (!m_windowAlive) return E_FAIL;
    return Guard([&]() -> HRESULT {
        PageHost host;
        host.app = this;
        host.frame = m_hwnd;
        Ref<CPage> page;
        const HRESULT hr = CPage::Load(std::wstring(BstrView(url)), std::move(host), page);
        if (FAILED(hr)) return hr;
        if (Ref<CPage> old = std::exchange(m_page, page)) old->Shutdown();
        ::SetWindowTextW(m_hwnd, (page->Title() + L" - Internet Explorer").c_str());
        page->Start();
        FireFramesComplete(*page);
        FireDocumentComplete(static_cast<IWebBrowser2*>(this), page->Url());
        return S_OK;
    });
}

HRESULT CBrowser::Navigate2(VARIANT* url, VARIANT* flags, VARIANT* target, VARIANT* postData,
                            VARIANT* headers) {
    if (!url) return E_INVALIDARG;
    Variant text;
    if (FAILED(::VariantChangeType(text.get(), url, 0, VT_BSTR))) return E_INVALIDARG;
    return Navigate(text->bstrVal, flags, target, postData, headers);
}

// Every frame of the page, at any depth, completes after the frames inside it.
void CBrowser::FireFramesComplete(CPage& page) {
    const auto frames = page.Frames(); // a subscriber may navigate away meanwhile
    for (const Ref<CBrowser>& frame : frames) {
        FireFramesComplete(*frame->m_page);
        FireDocumentComplete(static_cast<IWebBrowser2*>(frame.get()), frame->m_page->Url());
    }
}

void CBrowser::FireDocumentComplete(IDispatch* browser, const std::wstring& url) {
    const auto sinks = m_sinks; // a subscriber may unsubscribe while it is called
    for (const auto& sink : sinks) {
        Variant address;
        address->vt = VT_BSTR;
        address->bstrVal = ::SysAllocString(url.c_str());
        VARIANT args[2];
        args[0].vt = VT_VARIANT | VT_BYREF; // the URL, by reference
        args[0].pvarVal = address.get();
        args[1].vt = VT_DISPATCH;
        args[1].pdispVal = browser;
        DISPPARAMS params = {args, nullptr, 2, 0};
        Variant result;
        sink.second->Invoke(DISPID_DOCUMENTCOMPLETE, IID_NULL, LOCALE_SYSTEM_DEFAULT, DISPATCH_METHOD,
                            &params, result.get(), nullptr, nullptr);
    }
}

HRESULT CBrowser::Quit() {
    if (m_hwnd) ::DestroyWindow(m_hwnd);
    return S_OK;
}

HRESULT CBrowser::get_Application(IDispatch** out) {
    if (!out) return E_POINTER;
    return QueryInterface(IID_IDispatch, reinterpret_cast<void**>(out));
}

// The document shown; null before the first navigation, as in a browser.
HRESULT CBrowser::get_Document(IDispatch** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    return m_page ? m_page->Document(out) : S_OK;
}

HRESULT CBrowser::get_TopLevelContainer(VARIANT_BOOL* out) {
    if (!out) return E_POINTER;
    *out = m_hwnd ? VARIANT_TRUE : VARIANT_FALSE;
    return S_OK;
}

HRESULT CBrowser::get_LocationName(BSTR* out) {
    return CopyOut(m_page ? m_page->Title() : std::wstring(), out);
}

HRESULT CBrowser::get_LocationURL(BSTR* out) {
    return CopyOut(m_page ? m_page->Url() : std::wstring(), out);
}

HRESULT CBrowser::get_Busy(VARIANT_BOOL* out) {
    if (!out) return E_POINTER;
    *out = VARIANT_FALSE;
    return S_OK;
}

HRESULT CBrowser::get_ReadyState(READYSTATE* out) {
    if (!out) return E_POINTER;
    *out = READYSTATE_COMPLETE;
    return S_OK;
}

// A frame's browser object has no window of its own.
HRESULT CBrowser::get_HWND(SHANDLE_PTR* out) {
    if (!out) return E_POINTER;
    *out = 0;
    if (!m_hwnd) return E_FAIL;
    *out = reinterpret_cast<SHANDLE_PTR>(m_hwnd);
    return S_OK;
}

HRESULT CBrowser::get_Visible(VARIANT_BOOL* out) {
    if (!out) return E_POINTER;
    *out = m_hwnd && ::IsWindowVisible(m_hwnd) ? VARIANT_TRUE : VARIANT_FALSE;
    return S_OK;
}

HRESULT CBrowser::put_Visible(VARIANT_BOOL value) {
    if (!m_hwnd) return E_FAIL;
    ::ShowWindow(m_hwnd, value ? SW_SHOW : SW_HIDE);
    return S_OK;
}

HRESULT CBrowser::get_Left(LONG* out) {
    RECT r;
    if (!out) return E_POINTER;
    if (FAILED(Bounds(r))) return E_FAIL;
    *out = r.left;
    return S_OK;
}

HRESULT CBrowser::get_Top(LONG* out) {
    RECT r;
    if (!out) return E_POINTER;
    if (FAILED(Bounds(r))) return E_FAIL;
    *out = r.top;
    return S_OK;
}

HRESULT CBrowser::get_Width(LONG* out) {
    RECT r;
    if (!out) return E_POINTER;
    if (FAILED(Bounds(r))) return E_FAIL;
    *out = r.right - r.left;
    return S_OK;
}

HRESULT CBrowser::get_Height(LONG* out) {
    RECT r;
    if (!out) return E_POINTER;
    if (FAILED(Bounds(r))) return E_FAIL;
    *out = r.bottom - r.top;
    return S_OK;
}

HRESULT CBrowser::put_Left(LONG value) {
    return Move(&RECT::left, value);
}

HRESULT CBrowser::put_Top(LONG value) {
    return Move(&RECT::top, value);
}

HRESULT CBrowser::put_Width(LONG value) {
    return Move(&RECT::right, value);
}

HRESULT CBrowser::put_Height(LONG value) {
    return Move(&RECT::bottom, value);
}

#define ZBT_FLAG_PROPERTY(NAME, TYPE, FIELD)                                                                 \
    HRESULT CBrowser::get_##NAME(TYPE* out) {                                                                \
        if (!out) return E_POINTER;                                                                          \
        *out = FIELD;                                                                                        \
        return S_OK;                                                                                         \
    }                                                                                                        \
    HRESULT CBrowser::put_##NAME(TYPE value) {                                                               \
        FIELD = value;                                                                                       \
        return S_OK;                                                                                         \
    }
ZBT_FLAG_PROPERTY(AddressBar, VARIANT_BOOL, m_addressBar)
ZBT_FLAG_PROPERTY(MenuBar, VARIANT_BOOL, m_menuBar)
ZBT_FLAG_PROPERTY(StatusBar, VARIANT_BOOL, m_statusBar)
ZBT_FLAG_PROPERTY(ToolBar, int, m_toolBar)
#undef ZBT_FLAG_PROPERTY

HRESULT CBrowser::get_FullScreen(VARIANT_BOOL* out) {
    if (!out) return E_POINTER;
    *out = m_fullScreen;
    return S_OK;
}

// Full screen covers the whole screen with the window.
HRESULT CBrowser::put_FullScreen(VARIANT_BOOL value) {
    m_fullScreen = value ? VARIANT_TRUE : VARIANT_FALSE;
    if (value && m_hwnd)
        ::SetWindowPos(m_hwnd, nullptr, 0, 0, ::GetSystemMetrics(SM_CXSCREEN),
                       ::GetSystemMetrics(SM_CYSCREEN), SWP_NOZORDER | SWP_NOACTIVATE);
    return S_OK;
}

// ---- Events

HRESULT CBrowser::EnumConnectionPoints(IEnumConnectionPoints**) {
    return E_NOTIMPL;
}

HRESULT CBrowser::FindConnectionPoint(REFIID iid, IConnectionPoint** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (iid != DIID_DWebBrowserEvents2) return CONNECT_E_NOCONNECTION;
    return Guard([&] {
        *out = new CEventsPoint(this);
        return S_OK;
    });
}

// A subscriber answers DWebBrowserEvents2 or plain IDispatch; events reach it through Invoke.
HRESULT CBrowser::Advise(IUnknown* sink, DWORD* cookie) {
    if (!sink || !cookie) return E_POINTER;
    *cookie = 0;
    ComPtr<IDispatch> events;
    if (FAILED(sink->QueryInterface(DIID_DWebBrowserEvents2, events.put_void())) &&
        FAILED(sink->QueryInterface(IID_IDispatch, events.put_void())))
        return CONNECT_E_CANNOTCONNECT;
    if (!m_windowAlive && !m_page) return CONNECT_E_ADVISELIMIT;
    if (ComPtr<IDispatch> inside = std::move(m_insideAdvise)) {
        DISPPARAMS none{nullptr, nullptr, 0, 0};
        Variant ignored;
        inside->Invoke(DISPID_VALUE, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &none, ignored.get(),
                       nullptr, nullptr);
    }
    return Guard([&] {
        m_sinks.emplace_back(m_nextCookie, std::move(events));
        *cookie = m_nextCookie++;
        return S_OK;
    });
}

HRESULT CBrowser::Unadvise(DWORD cookie) {
    auto it = std::find_if(m_sinks.begin(), m_sinks.end(), [&](const auto& s) { return s.first == cookie; });
    if (it == m_sinks.end()) return CONNECT_E_NOCONNECTION;
    auto sink = std::move(it->second); // released after the list is consistent again
    m_sinks.erase(it);
    return S_OK;
}

} // namespace zbt
