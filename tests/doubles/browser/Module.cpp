// Entry points of the browser stand-in: class objects for the browser application object and the
// test probe, and their registration (test prefixes only).
#include "Browser.h"
#include "Page.h"

#include <objsafe.h>
#include <olectl.h>

#include <iterator>
#include <string>

#include "script/TypeLibWalker.h"
#include "shared/Win32.h"

namespace zbt {
namespace {

HINSTANCE g_instance = nullptr;
std::atomic<long> g_locks{0};

// {67A950A6-A1F1-4821-BD81-EC08BEEA0706}
const CLSID kBrowserClsid = {0x67a950a6, 0xa1f1, 0x4821, {0xbd, 0x81, 0xec, 0x08, 0xbe, 0xea, 0x07, 0x06}};
// {668A32BF-DFF5-4207-B4D3-3D2BD7B13A8D}
const CLSID kProbeClsid = {0x668a32bf, 0xdff5, 0x4207, {0xb4, 0xd3, 0x3d, 0x2b, 0xd7, 0xb1, 0x3a, 0x8d}};
// The class Windows registers for the browser, given back to the ProgID at unregistration.
constexpr wchar_t kSystemBrowserClsid[] = L"{0002DF01-0000-0000-C000-000000000046}";
constexpr wchar_t kBrowserProgId[] = L"InternetExplorer.Application";
constexpr wchar_t kProbeProgId[] = L"Zembrolatix.Test.BrowserProbe";

const GUID kLibMshtml = {0x3050f1c5, 0x98b5, 0x11cf, {0xbb, 0x82, 0x00, 0xaa, 0x00, 0xbd, 0xce, 0x0b}};
const GUID kLibShDocVw = {0xeab22ac0, 0x30c1, 0x11cf, {0xa7, 0xeb, 0x00, 0x00, 0xc0, 0x5b, 0xae, 0x0b}};

std::wstring WindowText(HWND hwnd) {
    wchar_t text[1024] = L"";
    if (hwnd) ::GetWindowTextW(hwnd, text, 1024);
    return text;
}

// The calling thread's active window when it is an HTML dialog frame.
HWND ActiveDialogFrame() {
    HWND active = ::GetActiveWindow();
    wchar_t name[128] = L"";
    if (!active || !::GetClassNameW(active, name, 128) || ::lstrcmpW(name, kDialogFrameClass) != 0)
        return nullptr;
    return active;
}

HRESULT NumberArgument(DISPPARAMS* params, VARTYPE type, Variant& out) {
    if (!params || params->cArgs != 1) return DISP_E_BADPARAMCOUNT;
    return ::VariantChangeType(out.get(), &params->rgvarg[0], 0, type);
}

// The object argument at position index (in the script's order) of a call with count arguments.
ComPtr<IDispatch> ObjectArgument(DISPPARAMS* params, UINT count, UINT index) {
    if (!params || params->cArgs != count) return nullptr;
    Variant value;
    if (FAILED(::VariantCopyInd(value.get(), &params->rgvarg[count - 1 - index])) || value->vt != VT_DISPATCH)
        return nullptr;
    return ComPtr<IDispatch>(value->pdispVal);
}

// The live top-level browser that object is.
Ref<CBrowser> LiveBrowser(IDispatch* object) {
    ComPtr<IUnknown> identity;
    if (!object || FAILED(object->QueryInterface(IID_IUnknown, identity.put_void()))) return {};
    for (const Ref<CBrowser>& browser : CBrowser::Live()) {
        ComPtr<IUnknown> other;
        if (SUCCEEDED(browser->QueryInterface(IID_IUnknown, other.put_void())) &&
            other.get() == identity.get())
            return browser;
    }
    return {};
}

// The address of the page whose site an object was given: the site's document, as MSXML reads it.
std::wstring SiteDocumentUrl(IDispatch* object) {
    ComPtr<IObjectWithSite> sited;
    ComPtr<IServiceProvider> services;
    ComPtr<IHTMLDocument2> document;
    Bstr url;
    if (!object || FAILED(object->QueryInterface(IID_IObjectWithSite, sited.put_void())) ||
        FAILED(sited->GetSite(IID_IServiceProvider, services.put_void())) || !services ||
        FAILED(services->QueryService(SID_SContainerDispatch, IID_IHTMLDocument2, document.put_void())) ||
        FAILED(document->get_URL(url.put())))
        return L"";
    return std::wstring(url.view());
}

// Inspection of the stand-in for tests: live windows, message pumping and dialog chrome.
class CProbe final : public Counted, public IDispatch {
public:
    ZBT_UNKNOWN
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        if (!count) return E_POINTER;
        *count = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) override {
        if (!names || !ids || count == 0) return E_INVALIDARG;
        for (UINT i = 0; i < count; ++i)
            ids[i] = DISPID_UNKNOWN;
        for (size_t i = 0; i < std::size(kMembers); ++i)
            if (names[0] && ::lstrcmpiW(names[0], kMembers[i]) == 0) ids[0] = static_cast<DISPID>(i + 1);
        return ids[0] == DISPID_UNKNOWN || count > 1 ? DISP_E_UNKNOWNNAME : S_OK;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT* result,
                                     EXCEPINFO*, UINT*) override {
        return Guard([&] { return Call(id, params, result); });
    }

private:
    static constexpr const wchar_t* kMembers[] = {L"count",
                                                  L"item",
                                                  L"pump",
                                                  L"closeAll",
                                                  L"screenWidth",
                                                  L"screenHeight",
                                                  L"windowText",
                                                  L"activeDialogCaption",
                                                  L"activeDialogStatus",
                                                  L"isWindow",
                                                  L"lastScriptError",
                                                  L"pageReads",
                                                  L"safetyOptions",
                                                  L"siteUrl",
                                                  L"subscribers",
                                                  L"countCookiesFromZero",
                                                  L"callInsideNextAdvise"};

    void* Find(REFIID iid) noexcept {
        if (iid == IID_IUnknown || iid == IID_IDispatch) return static_cast<IDispatch*>(this);
        return nullptr;
    }

    HRESULT Call(DISPID id, DISPPARAMS* params, VARIANT* result) {
        Variant value, arg;
        switch (id) {
        case 1: // count
            value->vt = VT_I4;
            value->lVal = static_cast<LONG>(CBrowser::Live().size());
            break;
        case 2: { // item(i)
            if (HRESULT hr = NumberArgument(params, VT_I4, arg); FAILED(hr)) return hr;
            const auto live = CBrowser::Live();
            if (arg->lVal < 0 || static_cast<size_t>(arg->lVal) >= live.size()) return DISP_E_BADINDEX;
            value->vt = VT_DISPATCH;
            live[arg->lVal]->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&value->pdispVal));
            break;
        }
        case 3: { // pump()
            MSG msg;
            while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
                ::TranslateMessage(&msg);
                ::DispatchMessageW(&msg);
            }
            break;
        }
        case 4: // closeAll()
            for (HWND hwnd : CBrowser::LiveWindows()) {
                if (::GetWindowThreadProcessId(hwnd, nullptr) == ::GetCurrentThreadId())
                    ::DestroyWindow(hwnd);
                else
                    ::SendMessageW(hwnd, WM_CLOSE, 0, 0);
            }
            break;
        case 5: // screenWidth
        case 6: // screenHeight
            value->vt = VT_I4;
            value->lVal = ::GetSystemMetrics(id == 5 ? SM_CXSCREEN : SM_CYSCREEN);
            break;
        case 7:    // windowText(hwnd)
        case 10: { // isWindow(hwnd)
            if (HRESULT hr = NumberArgument(params, VT_I8, arg); FAILED(hr)) return hr;
            HWND hwnd = reinterpret_cast<HWND>(static_cast<INT_PTR>(arg->llVal));
            if (id == 10) {
                value->vt = VT_BOOL;
                value->boolVal = ::IsWindow(hwnd) ? VARIANT_TRUE : VARIANT_FALSE;
            } else {
                value->vt = VT_BSTR;
                value->bstrVal = ::SysAllocString(WindowText(hwnd).c_str());
            }
            break;
        }
        case 8:   // activeDialogCaption
        case 9: { // activeDialogStatus
            HWND frame = ActiveDialogFrame();
            if (id == 9 && frame) frame = ::FindWindowExW(frame, nullptr, L"msctls_statusbar32", nullptr);
            value->vt = VT_BSTR;
            value->bstrVal = ::SysAllocString(WindowText(frame).c_str());
            break;
        }
        case 11: // lastScriptError
            value->vt = VT_BSTR;
            value->bstrVal = ::SysAllocString(LastScriptError().c_str());
            break;
        case 12: // pageReads
            value->vt = VT_I4;
            value->lVal = PageReads();
            break;
        case 13: { // safetyOptions(object): the options enabled for IDispatch; -1 without IObjectSafety
            ComPtr<IDispatch> object = ObjectArgument(params, 1, 0);
            ComPtr<IObjectSafety> safety;
            DWORD supported = 0, enabled = 0;
            value->vt = VT_I4;
            value->lVal = -1;
            if (object && SUCCEEDED(object->QueryInterface(IID_IObjectSafety, safety.put_void())) &&
                SUCCEEDED(safety->GetInterfaceSafetyOptions(IID_IDispatch, &supported, &enabled)))
                value->lVal = static_cast<LONG>(enabled);
            break;
        }
        case 14: { // siteUrl(object)
            ComPtr<IDispatch> object = ObjectArgument(params, 1, 0);
            value->vt = VT_BSTR;
            value->bstrVal = ::SysAllocString(SiteDocumentUrl(object.get()).c_str());
            break;
        }
        case 15:   // subscribers(browser)
        case 16:   // countCookiesFromZero(browser)
        case 17: { // callInsideNextAdvise(browser, function)
            const UINT count = id == 17 ? 2 : 1;
            Ref<CBrowser> browser = LiveBrowser(ObjectArgument(params, count, 0).get());
            if (!browser) return E_INVALIDARG;
            if (id == 15) {
                value->vt = VT_I4;
                value->lVal = static_cast<LONG>(browser->SubscriberCount());
            } else if (id == 16) {
                browser->CountCookiesFromZero();
            } else {
                browser->CallInsideNextAdvise(ObjectArgument(params, 2, 1).get());
            }
            break;
        }
        default:
            return DISP_E_MEMBERNOTFOUND;
        }
        if (result) *result = value.Detach();
        return S_OK;
    }
};

class CClassFactory final : public IClassFactory {
public:
    explicit CClassFactory(bool browser) : m_browser(browser) {}
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        *out = (iid == IID_IUnknown || iid == IID_IClassFactory) ? this : nullptr;
        return *out ? S_OK : E_NOINTERFACE;
    }
    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        *out = nullptr;
        if (outer) return CLASS_E_NOAGGREGATION;
        return Guard([&]() -> HRESULT {
            if (m_browser) return CBrowser::CreateTopLevel(iid, out);
            Ref<CProbe> probe = Ref<CProbe>::Adopt(new CProbe());
            return probe->QueryInterface(iid, out);
        });
    }
    HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override {
        lock ? ++g_locks : --g_locks;
        return S_OK;
    }

private:
    bool m_browser;
};

CClassFactory g_browserFactory(true), g_probeFactory(false);

std::wstring GuidText(REFGUID guid) {
    wchar_t text[40] = L"";
    ::StringFromGUID2(guid, text, 40);
    return text;
}

bool SetValue(const std::wstring& key, const wchar_t* name, const std::wstring& data) {
    API::Win32::RegKey k;
    if (!k.create(HKEY_LOCAL_MACHINE, (L"Software\\Classes\\" + key).c_str(), nullptr, 0, KEY_WRITE, nullptr,
                  nullptr))
        return false;
    return ::RegSetValueExW(k.get(), name, 0, REG_SZ, reinterpret_cast<const BYTE*>(data.c_str()),
                            static_cast<DWORD>((data.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
}

bool RegisterServerClass(REFCLSID clsid, const wchar_t* progId, const std::wstring& path) {
    const std::wstring key = L"CLSID\\" + GuidText(clsid);
    return SetValue(key, nullptr, progId) && SetValue(key + L"\\InprocServer32", nullptr, path) &&
           SetValue(key + L"\\InprocServer32", L"ThreadingModel", L"Both") &&
           SetValue(key + L"\\ProgID", nullptr, progId) &&
           SetValue(std::wstring(progId) + L"\\CLSID", nullptr, GuidText(clsid));
}

} // namespace

HINSTANCE ModuleInstance() noexcept {
    return g_instance;
}

void UnregisterWindowClasses() noexcept {
    ::UnregisterClassW(kBrowserFrameClass, g_instance);
    ::UnregisterClassW(kDialogFrameClass, g_instance);
}

// ---- Dispatch over the registered descriptions of MSHTML and SHDocVw

HRESULT BrowserTypeInfo(REFIID iid, ComPtr<ITypeInfo>& out) noexcept {
    const bool shell = iid == IID_IWebBrowser2;
    ComPtr<ITypeLib> library;
    HRESULT hr =
        ::LoadRegTypeLib(shell ? kLibShDocVw : kLibMshtml, shell ? 1 : 4, shell ? 1 : 0, 0, library.put());
    ComPtr<ITypeInfo> info;
    if (SUCCEEDED(hr)) hr = library->GetTypeInfoOfGuid(iid, info.put());
    if (FAILED(hr)) return hr;
    const TypeAttrOf attr(info.get());
    if (!attr) return E_FAIL;
    if (attr->typekind != TKIND_DISPATCH) {
        out = std::move(info);
        return S_OK;
    }
    // A dual interface: its vtable half.
    HREFTYPE ref = 0;
    hr = info->GetRefTypeOfImplType(static_cast<UINT>(-1), &ref);
    if (SUCCEEDED(hr)) hr = info->GetRefTypeInfo(ref, out.put());
    return hr;
}

HRESULT TypeInfoCount(UINT* count) noexcept {
    if (!count) return E_POINTER;
    *count = 1;
    return S_OK;
}

HRESULT TypeInfoOf(REFIID iid, UINT index, ITypeInfo** out) noexcept {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (index != 0) return DISP_E_BADINDEX;
    ComPtr<ITypeInfo> info;
    const HRESULT hr = BrowserTypeInfo(iid, info);
    if (SUCCEEDED(hr)) *out = info.Detach();
    return hr;
}

HRESULT TypeInfoIdsOfNames(REFIID iid, LPOLESTR* names, UINT count, DISPID* ids) noexcept {
    ComPtr<ITypeInfo> info;
    const HRESULT hr = BrowserTypeInfo(iid, info);
    if (FAILED(hr)) return DISP_E_UNKNOWNNAME;
    return ::DispGetIDsOfNames(info.get(), names, count, ids);
}

HRESULT TypeInfoInvoke(void* self, REFIID iid, DISPID id, WORD flags, DISPPARAMS* params, VARIANT* result,
                       EXCEPINFO* error, UINT* argError) noexcept {
    ComPtr<ITypeInfo> info;
    const HRESULT hr = BrowserTypeInfo(iid, info);
    if (FAILED(hr)) return DISP_E_MEMBERNOTFOUND;
    UINT ignored = 0;
    return ::DispInvoke(self, info.get(), id, flags, params, result, error, argError ? argError : &ignored);
}

} // namespace zbt

using namespace zbt;

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
    if (reason == DLL_PROCESS_ATTACH) {
        g_instance = instance;
        ::DisableThreadLibraryCalls(instance);
    } else if (reason == DLL_PROCESS_DETACH && !reserved) {
        UnregisterWindowClasses();
    }
    return TRUE;
}

STDAPI DllGetClassObject(REFCLSID clsid, REFIID iid, void** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (clsid == kBrowserClsid) return g_browserFactory.QueryInterface(iid, out);
    if (clsid == kProbeClsid) return g_probeFactory.QueryInterface(iid, out);
    return CLASS_E_CLASSNOTAVAILABLE;
}

STDAPI DllCanUnloadNow() {
    return g_moduleUsers == 0 && g_locks == 0 ? S_OK : S_FALSE;
}

// Makes InternetExplorer.Application create the stand-in, in this process's registry view.
STDAPI DllRegisterServer() {
    wchar_t path[MAX_PATH] = L"";
    if (!::GetModuleFileNameW(g_instance, path, MAX_PATH)) return SELFREG_E_CLASS;
    const bool ok = RegisterServerClass(kBrowserClsid, kBrowserProgId, path) &&
                    RegisterServerClass(kProbeClsid, kProbeProgId, path);
    return ok ? S_OK : SELFREG_E_CLASS;
}

// Gives the ProgID back to the system's browser and removes the stand-in's classes.
STDAPI DllUnregisterServer() {
    for (const CLSID* clsid : {&kBrowserClsid, &kProbeClsid})
        ::RegDeleteTreeW(HKEY_LOCAL_MACHINE, (L"Software\\Classes\\CLSID\\" + GuidText(*clsid)).c_str());
    ::RegDeleteTreeW(HKEY_LOCAL_MACHINE, (std::wstring(L"Software\\Classes\\") + kProbeProgId).c_str());
    return SetValue(std::wstring(kBrowserProgId) + L"\\CLSID", nullptr, kSystemBrowserClsid)
               ? S_OK
               : SELFREG_E_CLASS;
}
