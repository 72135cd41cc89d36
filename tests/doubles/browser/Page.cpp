#include "Page.h"

#include "Browser.h"

#include <commctrl.h>
#include <objsafe.h>
#include <urlmon.h>

#include <mutex>

#include "shared/Win32.h"

namespace zbt {
namespace {

// Ids of the window's own members beyond IHTMLWindow2, and of the page globals it forwards to.
constexpr DISPID kDialogArguments = 0x3F000001;
constexpr DISPID kReturnValue = 0x3F000002;
constexpr DISPID kForwardBase = 0x40000000;

const GUID kSidWebBrowserApp = {0x0002DF05, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

// {10200490-FA38-11D0-AC0E-00A0C90FFFC0}: the host's question whether an object may run in the page.
const GUID kConfirmObjectSafety = {
    0x10200490, 0xfa38, 0x11d0, {0xac, 0x0e, 0x00, 0xa0, 0xc9, 0x0f, 0xff, 0xc0}};

std::mutex g_errorLock;
std::wstring g_lastError;
std::atomic<long> g_pageReads{0};

std::wstring Hex(HRESULT hr) {
    wchar_t text[16];
    ::wsprintfW(text, L"%08X", static_cast<unsigned>(hr));
    return text;
}

HRESULT Win32Failure() noexcept {
    const DWORD error = ::GetLastError();
    return error ? HRESULT_FROM_WIN32(error) : E_FAIL;
}

// The bytes of the page at url: an RT_HTML resource of a module loaded as data, or a local file.
HRESULT ReadPage(const std::wstring& url, std::wstring& html) {
    ++g_pageReads;
    const PageAddress address = ParsePageAddress(url);
    std::string bytes;
    if (address.kind == PageAddress::Resource) {
        API::Win32::Library module(address.module.c_str(), LOAD_LIBRARY_AS_DATAFILE);
        if (!module.isValid()) return Win32Failure();
        HRSRC info = ::FindResourceW(module.get(), address.name.c_str(), MAKEINTRESOURCEW(23));
        if (!info) return Win32Failure();
        HGLOBAL data = ::LoadResource(module.get(), info);
        const void* p = data ? ::LockResource(data) : nullptr;
        if (!p) return Win32Failure();
        bytes.assign(static_cast<const char*>(p), ::SizeofResource(module.get(), info));
    } else if (address.kind == PageAddress::File) {
        API::Win32::Handle file(::CreateFileW(address.name.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                              OPEN_EXISTING, 0, nullptr));
        if (!file.isValid()) return Win32Failure();
        char buffer[4096];
        DWORD read = 0;
        while (::ReadFile(file.get(), buffer, sizeof buffer, &read, nullptr) && read)
            bytes.append(buffer, read);
    } else if (address.kind == PageAddress::Web) {
        ComPtr<IStream> stream;
        const HRESULT hr = ::URLOpenBlockingStreamW(nullptr, url.c_str(), stream.put(), 0, nullptr);
        if (FAILED(hr)) return hr;
        char buffer[4096];
        ULONG read = 0;
        while (SUCCEEDED(stream->Read(buffer, sizeof buffer, &read)) && read)
            bytes.append(buffer, read);
    } else {
        return INET_E_UNKNOWN_PROTOCOL;
    }
    html = DecodePageBytes(bytes);
    return S_OK;
}

} // namespace

std::wstring LastScriptError() {
    std::lock_guard lock(g_errorLock);
    return g_lastError;
}

long PageReads() noexcept {
    return g_pageReads;
}

// The host security manager of an Internet page, as the browser's: script may create objects, and
// each one must accept being used by an untrusted caller (IObjectSafety) or it is refused.
class CHostSecurity final : public Counted, public IInternetHostSecurityManager {
public:
    ZBT_UNKNOWN
    HRESULT STDMETHODCALLTYPE GetSecurityId(BYTE*, DWORD*, DWORD_PTR) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE ProcessUrlAction(DWORD, BYTE* policy, DWORD size, BYTE*, DWORD, DWORD,
                                               DWORD) override {
        if (!policy || size < sizeof(DWORD)) return E_INVALIDARG;
        *reinterpret_cast<DWORD*>(policy) = URLPOLICY_ALLOW;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE QueryCustomPolicy(REFGUID key, BYTE** policy, DWORD* size, BYTE* context,
                                                DWORD contextSize, DWORD) override {
        if (!policy || !size) return E_POINTER;
        if (key != kConfirmObjectSafety || !context || contextSize < sizeof(CONFIRMSAFETY))
            return INET_E_DEFAULT_ACTION;
        IUnknown* object = reinterpret_cast<CONFIRMSAFETY*>(context)->pUnk;
        ComPtr<IObjectSafety> safety;
        const bool safe =
            object && SUCCEEDED(object->QueryInterface(IID_IObjectSafety, safety.put_void())) &&
            SUCCEEDED(safety->SetInterfaceSafetyOptions(IID_IDispatch, INTERFACESAFE_FOR_UNTRUSTED_CALLER,
                                                        INTERFACESAFE_FOR_UNTRUSTED_CALLER));
        *policy = static_cast<BYTE*>(::CoTaskMemAlloc(sizeof(DWORD)));
        if (!*policy) return E_OUTOFMEMORY;
        *reinterpret_cast<DWORD*>(*policy) = safe ? URLPOLICY_ALLOW : URLPOLICY_DISALLOW;
        *size = sizeof(DWORD);
        return S_OK;
    }

private:
    void* Find(REFIID iid) noexcept {
        if (iid == IID_IUnknown || iid == IID_IInternetHostSecurityManager)
            return static_cast<IInternetHostSecurityManager*>(this);
        return nullptr;
    }
};

// The location of a page: its address.
class CLocation final : public Counted, public IHTMLLocationStubs {
public:
    explicit CLocation(std::wstring href) : m_href(std::move(href)) {}
    ZBT_UNKNOWN
    ZBT_TYPEINFO_DISPATCH(IHTMLLocation)
    HRESULT STDMETHODCALLTYPE get_href(BSTR* out) override { return CopyOut(m_href, out); }
    HRESULT STDMETHODCALLTYPE toString(BSTR* out) override { return CopyOut(m_href, out); }

private:
    void* Find(REFIID iid) noexcept {
        if (iid == IID_IUnknown || iid == IID_IDispatch || iid == __uuidof(IHTMLLocation))
            return static_cast<IHTMLLocation*>(this);
        return nullptr;
    }
    std::wstring m_href;
};

// The document of a page: title, location and the window it belongs to.
class CDocument final : public Counted, public IHTMLDocument2Stubs {
public:
    explicit CDocument(CPage* page) : m_page(page) {}
    ZBT_UNKNOWN
    ZBT_TYPEINFO_DISPATCH(IHTMLDocument2)
    HRESULT STDMETHODCALLTYPE get_title(BSTR* out) override { return CopyOut(m_page->Title(), out); }
    HRESULT STDMETHODCALLTYPE get_URL(BSTR* out) override { return CopyOut(m_page->Url(), out); }
    HRESULT STDMETHODCALLTYPE get_location(IHTMLLocation** out) override { return m_page->get_location(out); }
    HRESULT STDMETHODCALLTYPE get_parentWindow(IHTMLWindow2** out) override { return m_page->get_self(out); }
    HRESULT STDMETHODCALLTYPE get_Script(IDispatch** out) override {
        if (!out) return E_POINTER;
        return m_page->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(out));
    }

private:
    void* Find(REFIID iid) noexcept {
        if (iid == IID_IUnknown || iid == IID_IDispatch || iid == __uuidof(IHTMLDocument) ||
            iid == __uuidof(IHTMLDocument2))
            return static_cast<IHTMLDocument2*>(this);
        return nullptr;
    }
    Ref<CPage> m_page;
};

// The host side of a page's script engine: names the window as global object, keeps errors.
// Keeps the error an engine reported (taking over the texts in info) as the last script error.
void RecordScriptError(EXCEPINFO& info, ULONG line) {
    Bstr description, source, help;
    *description.put() = info.bstrDescription;
    *source.put() = info.bstrSource;
    *help.put() = info.bstrHelpFile;
    std::lock_guard lock(g_errorLock);
    g_lastError = description.length() ? std::wstring(description.view()) : L"error 0x" + Hex(info.scode);
    g_lastError += L" (line " + std::to_wstring(line + 1) + L")";
    ::OutputDebugStringW((L"page script error: " + g_lastError + L"\n").c_str()); // WINEDEBUG=+debugstr
}

class CScriptSite final : public Counted,
                          public IActiveScriptSite,
                          public IActiveScriptSiteWindow,
                          public IServiceProvider {
public:
    explicit CScriptSite(CPage* page) : m_page(page) {}
    void Detach() noexcept { m_page = nullptr; }
    ZBT_UNKNOWN

    HRESULT STDMETHODCALLTYPE GetLCID(LCID*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetItemInfo(LPCOLESTR name, DWORD mask, IUnknown** item,
                                          ITypeInfo** info) override {
        if (item) *item = nullptr;
        if (info) *info = nullptr;
        if (!m_page || !name || ::lstrcmpW(name, L"window") != 0) return TYPE_E_ELEMENTNOTFOUND;
        if (!(mask & SCRIPTINFO_IUNKNOWN)) return TYPE_E_ELEMENTNOTFOUND; // no type description
        if (item) {
            *item = m_page->WindowUnknown();
            (*item)->AddRef();
        }
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetDocVersionString(BSTR*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE OnScriptTerminate(const VARIANT*, const EXCEPINFO*) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnStateChange(SCRIPTSTATE) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnScriptError(IActiveScriptError* error) override {
        EXCEPINFO info = {};
        DWORD context = 0;
        ULONG line = 0;
        LONG column = 0;
        if (!error || FAILED(error->GetExceptionInfo(&info))) return S_OK;
        error->GetSourcePosition(&context, &line, &column);
        RecordScriptError(info, line);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE OnEnterScript() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnLeaveScript() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE GetWindow(HWND* out) override {
        if (!out) return E_POINTER;
        *out = nullptr;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE EnableModeless(BOOL) override { return S_OK; }

    // The engine asks for the host security manager (an Internet page has one); the objects it sites
    // ask for the page's document, to learn the page's address.
    HRESULT STDMETHODCALLTYPE QueryService(REFGUID service, REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        *out = nullptr;
        if (!m_page) return E_NOINTERFACE;
        if (service == SID_SInternetHostSecurityManager && m_page->IsInternetPage()) {
            Ref<CHostSecurity> security = Ref<CHostSecurity>::Adopt(new (std::nothrow) CHostSecurity());
            return security ? security->QueryInterface(iid, out) : E_OUTOFMEMORY;
        }
        if (service == SID_SContainerDispatch) {
            ComPtr<IDispatch> document;
            if (FAILED(m_page->Document(document.put()))) return E_NOINTERFACE;
            return document->QueryInterface(iid, out);
        }
        return E_NOINTERFACE;
    }

private:
    void* Find(REFIID iid) noexcept {
        if (iid == IID_IUnknown || iid == IID_IActiveScriptSite) return static_cast<IActiveScriptSite*>(this);
        if (iid == IID_IActiveScriptSiteWindow) return static_cast<IActiveScriptSiteWindow*>(this);
        if (iid == IID_IServiceProvider) return static_cast<IServiceProvider*>(this);
        return nullptr;
    }
    CPage* m_page;
};

// ---- The page

HRESULT CPage::Load(const std::wstring& url, PageHost host, Ref<CPage>& out) {
    std::wstring html;
    const HRESULT hr = ReadPage(url, html);
    if (FAILED(hr)) return hr;
    Ref<CPage> page = Ref<CPage>::Adopt(new CPage());
    page->m_url = url;
    page->m_parsed = ParseHtml(html);
    page->m_host = std::move(host);
    page->m_document = Ref<CDocument>::Adopt(new CDocument(page.get()));
    out = std::move(page);
    return S_OK;
}

CPage::~CPage() {
    Shutdown();
}

void CPage::Start() {
    if (!m_parsed.scripts.empty()) StartEngine();
    for (const std::wstring& src : m_parsed.frames) {
        PageHost host;
        host.app = m_host.app;
        host.frame = m_host.frame;
        host.top = m_host.top ? m_host.top : Ref<CPage>(this);
        host.parent = Ref<CPage>(this);
        Ref<CPage> frame;
        if (FAILED(Load(ResolveAgainst(m_url, src), std::move(host), frame))) continue;
        frame->Start();
        m_frames.push_back(CBrowser::ForFrame(frame));
    }
}

HRESULT CPage::StartEngine() {
    CLSID jscript;
    HRESULT hr = ::CLSIDFromProgID(L"JScript", &jscript);
    if (SUCCEEDED(hr))
        hr = ::CoCreateInstance(jscript, nullptr, CLSCTX_INPROC_SERVER, IID_IActiveScript,
                                m_engine.put_void());
    ComPtr<IActiveScriptParse> parse;
    if (SUCCEEDED(hr)) hr = m_engine.As(parse);
    if (FAILED(hr)) return hr;
    if (IsInternetPage()) {
        // As the browser runs Internet pages: untrusted data, objects created under its security manager.
        constexpr DWORD kInternet =
            INTERFACESAFE_FOR_UNTRUSTED_DATA | INTERFACE_USES_DISPEX | INTERFACE_USES_SECURITY_MANAGER;
        ComPtr<IObjectSafety> safety;
        hr = m_engine->QueryInterface(IID_IObjectSafety, safety.put_void());
        if (SUCCEEDED(hr))
            hr = safety->SetInterfaceSafetyOptions(__uuidof(IActiveScriptParse), kInternet, kInternet);
        if (FAILED(hr)) return hr;
    }
    m_site = Ref<CScriptSite>::Adopt(new CScriptSite(this));
    hr = m_engine->SetScriptSite(static_cast<IActiveScriptSite*>(m_site.get()));
    if (SUCCEEDED(hr)) hr = parse->InitNew();
    if (SUCCEEDED(hr))
        hr = m_engine->AddNamedItem(L"window", SCRIPTITEM_ISVISIBLE | SCRIPTITEM_GLOBALMEMBERS);
    if (SUCCEEDED(hr)) hr = m_engine->SetScriptState(SCRIPTSTATE_STARTED);
    if (SUCCEEDED(hr)) hr = m_engine->GetScriptDispatch(nullptr, m_global.put());
    if (FAILED(hr)) return hr;
    for (const std::wstring& script : m_parsed.scripts) {
        // An error in one block stops that block only, as in a browser.
        EXCEPINFO error = {};
        if (SUCCEEDED(parse->ParseScriptText(script.c_str(), nullptr, nullptr, nullptr, 0, 0,
                                             SCRIPTTEXT_ISVISIBLE, nullptr, &error)))
            continue;
        RecordScriptError(error, 0);
    }
    return m_engine->SetScriptState(SCRIPTSTATE_CONNECTED);
}

void CPage::Shutdown() noexcept {
    std::vector<Ref<CBrowser>> frames = std::move(m_frames);
    for (const Ref<CBrowser>& frame : frames)
        if (frame->page()) frame->page()->Shutdown();
    frames.clear();
    if (m_engine) m_engine->Close();
    m_global.reset();
    m_engine.reset();
    if (m_site) m_site->Detach();
    m_site.reset();
    m_document.reset();
    m_host.top.reset();
    m_host.parent.reset();
    m_host.app = nullptr;
}

HRESULT CPage::Document(IDispatch** out) noexcept {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (!m_document) return E_FAIL;
    return m_document->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(out));
}

void CPage::SetDialogArguments(const VARIANT* args) noexcept {
    ::VariantClear(m_dialogArguments.get());
    if (args) ::VariantCopy(m_dialogArguments.get(), const_cast<VARIANT*>(args));
}

void* CPage::Find(REFIID iid) noexcept {
    if (iid == IID_IUnknown || iid == IID_IDispatch || iid == __uuidof(IDispatchEx))
        return static_cast<IDispatchEx*>(this);
    if (iid == __uuidof(IHTMLWindow2) || iid == __uuidof(IHTMLFramesCollection2))
        return static_cast<IHTMLWindow2*>(this);
    if (iid == IID_IServiceProvider) return static_cast<IServiceProvider*>(this);
    return nullptr;
}

// ---- Dispatch

HRESULT CPage::GetTypeInfoCount(UINT* count) {
    return TypeInfoCount(count);
}

HRESULT CPage::GetTypeInfo(UINT index, LCID, ITypeInfo** out) {
    return TypeInfoOf(__uuidof(IHTMLWindow2), index, out);
}

HRESULT CPage::GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) {
    if (!names || !ids || count == 0) return E_INVALIDARG;
    for (UINT i = 1; i < count; ++i)
        ids[i] = DISPID_UNKNOWN;
    Bstr name(names[0]);
    const HRESULT hr = GetDispID(name.get(), 0, ids);
    return FAILED(hr) ? hr : count > 1 ? DISP_E_UNKNOWNNAME : S_OK;
}

DISPID CPage::Forwarded(DISPID global) {
    for (size_t i = 0; i < m_forwarded.size(); ++i)
        if (m_forwarded[i] == global) return kForwardBase + static_cast<DISPID>(i);
    m_forwarded.push_back(global);
    return kForwardBase + static_cast<DISPID>(m_forwarded.size() - 1);
}

HRESULT CPage::GetDispID(BSTR name, DWORD flags, DISPID* id) {
    return Guard([&]() -> HRESULT {
        if (!name || !id) return E_INVALIDARG;
        *id = DISPID_UNKNOWN;
        LPOLESTR names[] = {name};
        if (SUCCEEDED(TypeInfoIdsOfNames(__uuidof(IHTMLWindow2), names, 1, id))) return S_OK;
        if (m_host.dialog) {
            auto same = [&](const wchar_t* member) {
                return (flags & fdexNameCaseSensitive) ? ::lstrcmpW(name, member) == 0
                                                       : ::lstrcmpiW(name, member) == 0;
            };
            if (same(L"dialogArguments")) return *id = kDialogArguments, S_OK;
            if (same(L"returnValue")) return *id = kReturnValue, S_OK;
        }
        if (!m_global || m_forwarding) return DISP_E_UNKNOWNNAME;
        m_forwarding = true;
        DISPID global = DISPID_UNKNOWN;
        ComPtr<IDispatchEx> globalEx;
        HRESULT hr;
        if (SUCCEEDED(m_global.As(globalEx)))
            hr = globalEx->GetDispID(name, flags, &global);
        else
            hr = m_global->GetIDsOfNames(IID_NULL, names, 1, LOCALE_SYSTEM_DEFAULT, &global);
        m_forwarding = false;
        if (FAILED(hr)) return DISP_E_UNKNOWNNAME;
        *id = Forwarded(global);
        return S_OK;
    });
}

HRESULT CPage::Invoke(DISPID id, REFIID, LCID lcid, WORD flags, DISPPARAMS* params, VARIANT* result,
                      EXCEPINFO* error, UINT* argError) {
    if (id >= kForwardBase && m_global) {
        const size_t index = static_cast<size_t>(id - kForwardBase);
        if (index >= m_forwarded.size()) return DISP_E_MEMBERNOTFOUND;
        return m_global->Invoke(m_forwarded[index], IID_NULL, lcid, flags, params, result, error, argError);
    }
    return InvokeEx(id, lcid, flags, params, result, error, nullptr);
}

HRESULT CPage::InvokeEx(DISPID id, LCID lcid, WORD flags, DISPPARAMS* params, VARIANT* result,
                        EXCEPINFO* error, IServiceProvider* caller) {
    return Guard([&]() -> HRESULT {
        if (id >= kForwardBase) {
            const size_t index = static_cast<size_t>(id - kForwardBase);
            if (!m_global || index >= m_forwarded.size()) return DISP_E_MEMBERNOTFOUND;
            ComPtr<IDispatchEx> globalEx;
            if (SUCCEEDED(m_global.As(globalEx)))
                return globalEx->InvokeEx(m_forwarded[index], lcid, flags, params, result, error, caller);
            return m_global->Invoke(m_forwarded[index], IID_NULL, lcid, flags, params, result, error,
                                    nullptr);
        }
        if (id == kDialogArguments || id == kReturnValue) {
            if (!m_host.dialog) return DISP_E_MEMBERNOTFOUND;
            if (flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) {
                if (id != kReturnValue) return DISP_E_MEMBERNOTFOUND;
                if (!params || params->cArgs != 1) return DISP_E_BADPARAMCOUNT;
                return ::VariantCopyInd(m_returnValue.get(), &params->rgvarg[0]);
            }
            if (!result) return S_OK;
            return ::VariantCopy(result, id == kReturnValue ? m_returnValue.get() : m_dialogArguments.get());
        }
        return TypeInfoInvoke(static_cast<IHTMLWindow2*>(this), __uuidof(IHTMLWindow2), id, flags, params,
                              result, error, nullptr);
    });
}

// ---- IHTMLWindow2

HRESULT CPage::get_defaultStatus(BSTR* out) {
    if (!out) return E_POINTER;
    return BstrCopyOut(m_defaultStatus.view(), out);
}

HRESULT CPage::put_defaultStatus(BSTR value) {
    return Guard([&] {
        m_defaultStatus = Bstr(BstrView(value));
        return S_OK;
    });
}

HRESULT CPage::get_status(BSTR* out) {
    if (!out) return E_POINTER;
    return BstrCopyOut(m_status.view(), out);
}

HRESULT CPage::put_status(BSTR value) {
    return Guard([&] {
        m_status = Bstr(BstrView(value));
        return S_OK;
    });
}

HRESULT CPage::get_document(IHTMLDocument2** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (!m_document) return E_FAIL;
    return m_document->QueryInterface(__uuidof(IHTMLDocument2), reinterpret_cast<void**>(out));
}

HRESULT CPage::get_location(IHTMLLocation** out) {
    if (!out) return E_POINTER;
    return Guard([&] {
        *out = new CLocation(m_url);
        return S_OK;
    });
}

HRESULT CPage::get_top(IHTMLWindow2** out) {
    if (!out) return E_POINTER;
    CPage* top = m_host.top ? m_host.top.get() : this;
    *out = static_cast<IHTMLWindow2*>(top);
    top->AddRef();
    return S_OK;
}

HRESULT CPage::get_parent(IHTMLWindow2** out) {
    if (!out) return E_POINTER;
    CPage* parent = m_host.parent ? m_host.parent.get() : this;
    *out = static_cast<IHTMLWindow2*>(parent);
    parent->AddRef();
    return S_OK;
}

HRESULT CPage::get_self(IHTMLWindow2** out) {
    if (!out) return E_POINTER;
    *out = static_cast<IHTMLWindow2*>(this);
    AddRef();
    return S_OK;
}

HRESULT CPage::get_window(IHTMLWindow2** out) {
    return get_self(out);
}

// Closing is asked of the window and happens when its thread handles the message, as in a browser.
HRESULT CPage::close() {
    if (!m_host.frame || !::IsWindow(m_host.frame)) return E_FAIL;
    return ::PostMessageW(m_host.frame, WM_CLOSE, 0, 0) ? S_OK : E_FAIL;
}

HRESULT CPage::QueryService(REFGUID service, REFIID iid, void** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (service != kSidWebBrowserApp || !m_host.app) return E_NOINTERFACE;
    return m_host.app->QueryInterface(iid, out);
}

// ---- Modal dialog

namespace {

// The frame of an HTML dialog: a popup with a status bar, owned by the opener's window, which is
// disabled while the frame exists.
class DialogFrame {
public:
    explicit DialogFrame(HWND owner) : m_owner(owner) {
        INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_BAR_CLASSES};
        ::InitCommonControlsEx(&controls);
        const int width = 400, height = 300;
        m_hwnd = ::CreateWindowExW(
            WS_EX_DLGMODALFRAME, kDialogFrameClass, L"", WS_POPUP | WS_CAPTION | WS_SYSMENU,
            (::GetSystemMetrics(SM_CXSCREEN) - width) / 2, (::GetSystemMetrics(SM_CYSCREEN) - height) / 2,
            width, height, owner, nullptr, ModuleInstance(), nullptr);
        if (!m_hwnd) return;
        ::CreateWindowExW(0, STATUSCLASSNAMEW, L"", WS_CHILD | WS_VISIBLE, 0, 0, 0, 0, m_hwnd, nullptr,
                          ModuleInstance(), nullptr);
        if (m_owner) m_ownerWasEnabled = !::EnableWindow(m_owner, FALSE);
        // A test whose dialog page never closes fails instead of hanging: the frame closes itself.
        ::SetTimer(m_hwnd, kDialogTimeoutTimer, kDialogTimeoutMs, nullptr);
    }
    ~DialogFrame() {
        if (m_hwnd && ::IsWindow(m_hwnd)) ::DestroyWindow(m_hwnd);
        if (m_owner && m_ownerWasEnabled) ::EnableWindow(m_owner, TRUE);
    }
    HWND hwnd() const noexcept { return m_hwnd; }

    // Handles the thread's messages until the frame is gone.
    void RunModal() {
        MSG msg;
        while (::IsWindow(m_hwnd)) {
            const BOOL got = ::GetMessageW(&msg, nullptr, 0, 0);
            if (got == -1) break;
            if (got == 0) {
                ::PostQuitMessage(static_cast<int>(msg.wParam));
                break;
            }
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
    }

private:
    HWND m_owner;
    HWND m_hwnd = nullptr;
    bool m_ownerWasEnabled = false;
};

} // namespace

HRESULT CPage::showModalDialog(BSTR dialog, VARIANT* argIn, VARIANT* /*options*/, VARIANT* argOut) {
    if (BstrEmpty(dialog)) return E_INVALIDARG;
    return Guard([&]() -> HRESULT {
        if (argOut) ::VariantInit(argOut);
        PageHost host;
        host.dialog = true;
        Ref<CPage> page;
        HRESULT hr = Load(ResolveAgainst(m_url, BstrView(dialog)), std::move(host), page);
        if (FAILED(hr)) return hr;
        page->SetDialogArguments(argIn);
        DialogFrame frame(m_host.frame);
        if (!frame.hwnd()) return Win32Failure();
        page->SetFrameWindow(frame.hwnd());
        ::SetWindowTextW(frame.hwnd(), DialogCaption(page->Title()).c_str());
        ::ShowWindow(frame.hwnd(), SW_SHOW);
        ::SetActiveWindow(frame.hwnd());
        page->Start();
        frame.RunModal();
        if (argOut) hr = ::VariantCopy(argOut, const_cast<VARIANT*>(page->ReturnValue()));
        page->Shutdown();
        return hr;
    });
}

} // namespace zbt
