// A stand-in for MSXML's DOM document ("Microsoft.XMLDOM") in test prefixes. Wine's MSXML never
// resolves external entities, so a test cannot tell from the real document whether it was told not
// to; this one keeps the two settings that decide it as they were when it was asked to load, and
// answers them as its url: "resolveExternals <bool>, validateOnParse <bool>". Everything else but
// async is E_NOTIMPL.
//
// It stands in only in processes whose environment holds ZBT_XMLDOC_RECORD; everywhere else the
// class hands out MSXML's own document, so other tests of the prefix are not affected.
#include "Stubs.h"

#include <windows.h>
#include <olectl.h>
#include <ole2.h>

#include <atomic>
#include <new>
#include <string>

namespace {

// {2933BF90-7B36-11D2-B20E-00C04F983E60}: MSXML 3's DOMDocument, given back to the ProgID.
const CLSID kMsxmlDocument = {0x2933bf90, 0x7b36, 0x11d2, {0xb2, 0x0e, 0x00, 0xc0, 0x4f, 0x98, 0x3e, 0x60}};
// {8E0F3A52-6C1D-4B7E-9A40-2D5C1F7B9E31}
const CLSID kStandIn = {0x8e0f3a52, 0x6c1d, 0x4b7e, {0x9a, 0x40, 0x2d, 0x5c, 0x1f, 0x7b, 0x9e, 0x31}};
// ZembrolatixLib 1.0 carries MSXML's DOM descriptions: script reaches the stand-in through them.
const GUID kLibrary = {0x319e3e22, 0x1234, 0x4401, {0x87, 0xf6, 0x5d, 0x25, 0xfb, 0x1d, 0xbc, 0xac}};
const IID kIXMLDOMDocument = {0x2933bf81, 0x7b36, 0x11d2, {0xb2, 0x0e, 0x00, 0xc0, 0x4f, 0x98, 0x3e, 0x60}};
const IID kIXMLDOMNode = {0x2933bf80, 0x7b36, 0x11d2, {0xb2, 0x0e, 0x00, 0xc0, 0x4f, 0x98, 0x3e, 0x60}};
constexpr wchar_t kProgIdKey[] = L"Software\\Classes\\Microsoft.XMLDOM\\CLSID";

HINSTANCE g_instance = nullptr;
std::atomic<long> g_users{0};

// The vtable form of IXMLDOMDocument's description, for dispatch over the stand-in's own methods.
ITypeInfo* DocumentTypeInfo() {
    ITypeLib* library = nullptr;
    ITypeInfo *info = nullptr, *vtable = nullptr;
    if (FAILED(::LoadRegTypeLib(kLibrary, 1, 0, 0, &library))) return nullptr;
    library->GetTypeInfoOfGuid(kIXMLDOMDocument, &info);
    library->Release();
    HREFTYPE ref = 0;
    if (info && SUCCEEDED(info->GetRefTypeOfImplType(static_cast<UINT>(-1), &ref)))
        info->GetRefTypeInfo(ref, &vtable);
    if (info) info->Release();
    return vtable;
}

class Document final : public IXMLDOMDocumentStubs {
public:
    Document() { ++g_users; }
    ~Document() {
        if (m_info) m_info->Release();
        --g_users;
    }
    HRESULT WINAPI QueryInterface(REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        const bool known =
            iid == IID_IUnknown || iid == IID_IDispatch || iid == kIXMLDOMNode || iid == kIXMLDOMDocument;
        *out = known ? static_cast<IXMLDOMDocument*>(this) : nullptr;
        if (!known) return E_NOINTERFACE;
        AddRef();
        return S_OK;
    }
    ULONG WINAPI AddRef() override { return ++m_refs; }
    ULONG WINAPI Release() override {
        const ULONG left = --m_refs;
        if (left == 0) delete this;
        return left;
    }
    HRESULT WINAPI GetTypeInfoCount(UINT* count) override {
        if (!count) return E_POINTER;
        *count = 0;
        return S_OK;
    }
    HRESULT WINAPI GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT WINAPI GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) override {
        return Info() ? ::DispGetIDsOfNames(m_info, names, count, ids) : DISP_E_UNKNOWNNAME;
    }
    HRESULT WINAPI Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                          EXCEPINFO* error, UINT* argError) override {
        UINT ignored = 0;
        return Info() ? ::DispInvoke(static_cast<IXMLDOMDocument*>(this), m_info, id, flags, params, result,
                                     error, argError ? argError : &ignored)
                      : DISP_E_MEMBERNOTFOUND;
    }

    HRESULT WINAPI put_resolveExternals(VARIANT_BOOL value) override {
        return Set(m_resolveExternals, value);
    }
    HRESULT WINAPI put_validateOnParse(VARIANT_BOOL value) override { return Set(m_validateOnParse, value); }
    HRESULT WINAPI put_async(VARIANT_BOOL value) override { return Set(m_async, value); }
    HRESULT WINAPI load(VARIANT, VARIANT_BOOL* loaded) override { return Load(loaded); }
    HRESULT WINAPI loadXML(BSTR, VARIANT_BOOL* loaded) override { return Load(loaded); }
    HRESULT WINAPI get_url(BSTR* url) override {
        if (!url) return E_POINTER;
        *url = ::SysAllocString(m_loadedWith.c_str());
        return *url ? S_OK : E_OUTOFMEMORY;
    }

private:
    static HRESULT Set(bool& field, VARIANT_BOOL value) {
        field = value != VARIANT_FALSE;
        return S_OK;
    }
    HRESULT Load(VARIANT_BOOL* loaded) {
        if (!loaded) return E_POINTER;
        m_loadedWith = std::wstring(L"resolveExternals ") + (m_resolveExternals ? L"true" : L"false") +
                       L", validateOnParse " + (m_validateOnParse ? L"true" : L"false");
        *loaded = VARIANT_TRUE;
        return S_OK;
    }
    bool Info() {
        if (!m_info) m_info = DocumentTypeInfo();
        return m_info != nullptr;
    }

    std::atomic<ULONG> m_refs{1};
    ITypeInfo* m_info = nullptr;
    bool m_resolveExternals = true, m_validateOnParse = true, m_async = true; // MSXML 3's defaults
    std::wstring m_loadedWith;
};

class Factory final : public IClassFactory {
public:
    ULONG WINAPI AddRef() override { return 2; }
    ULONG WINAPI Release() override { return 1; }
    HRESULT WINAPI QueryInterface(REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        *out = iid == IID_IUnknown || iid == IID_IClassFactory ? this : nullptr;
        return *out ? S_OK : E_NOINTERFACE;
    }
    HRESULT WINAPI CreateInstance(IUnknown* outer, REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        *out = nullptr;
        if (!::GetEnvironmentVariableW(L"ZBT_XMLDOC_RECORD", nullptr, 0))
            return ::CoCreateInstance(kMsxmlDocument, outer, CLSCTX_INPROC_SERVER, iid, out);
        if (outer) return CLASS_E_NOAGGREGATION;
        Document* document = new (std::nothrow) Document();
        if (!document) return E_OUTOFMEMORY;
        const HRESULT hr = document->QueryInterface(iid, out);
        document->Release();
        return hr;
    }
    HRESULT WINAPI LockServer(BOOL lock) override {
        lock ? ++g_users : --g_users;
        return S_OK;
    }
} g_factory;

std::wstring GuidText(REFGUID guid) {
    wchar_t text[40] = L"";
    ::StringFromGUID2(guid, text, 40);
    return text;
}

bool SetDefault(const std::wstring& key, const wchar_t* name, const std::wstring& data) {
    return ::RegSetKeyValueW(HKEY_LOCAL_MACHINE, key.c_str(), name, REG_SZ, data.c_str(),
                             static_cast<DWORD>((data.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
}

} // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) g_instance = instance;
    return TRUE;
}

STDAPI DllGetClassObject(REFCLSID clsid, REFIID iid, void** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    return clsid == kStandIn ? g_factory.QueryInterface(iid, out) : CLASS_E_CLASSNOTAVAILABLE;
}

STDAPI DllCanUnloadNow() {
    return g_users == 0 ? S_OK : S_FALSE;
}

// Makes Microsoft.XMLDOM name the stand-in's class, in this process's registry view.
STDAPI DllRegisterServer() {
    wchar_t path[MAX_PATH] = L"";
    if (!::GetModuleFileNameW(g_instance, path, MAX_PATH)) return SELFREG_E_CLASS;
    const std::wstring server = L"Software\\Classes\\CLSID\\" + GuidText(kStandIn) + L"\\InprocServer32";
    return SetDefault(server, nullptr, path) && SetDefault(server, L"ThreadingModel", L"Both") &&
                   SetDefault(kProgIdKey, nullptr, GuidText(kStandIn))
               ? S_OK
               : SELFREG_E_CLASS;
}

// Gives the ProgID back to MSXML and removes the stand-in's class.
STDAPI DllUnregisterServer() {
    ::RegDeleteTreeW(HKEY_LOCAL_MACHINE, (L"Software\\Classes\\CLSID\\" + GuidText(kStandIn)).c_str());
    return SetDefault(kProgIdKey, nullptr, GuidText(kMsxmlDocument)) ? S_OK : SELFREG_E_CLASS;
}
