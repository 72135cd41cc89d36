#include "download/WebBrowserPersist.h"

#include "files/PathRules.h"
#include "files/ReadingRule.h"
#include "script/Boundary.h"
#include "shared/Bstr.h"
#include "shared/Win32.h"

namespace {

using DownloadFunc = HRESULT(WINAPI*)(LPUNKNOWN, LPCWSTR, LPCWSTR, DWORD, LPBINDSTATUSCALLBACK);

// URLDownloadToFileW from urlmon, loaded at the first download and pinned for the life of the process,
// so that loading the library costs nothing for the many pages that never download. Null when the
// platform cannot provide it.
DownloadFunc Downloader() noexcept {
    static const DownloadFunc download = []() noexcept -> DownloadFunc {
        API::Win32::Library loaded(L"urlmon.dll");
        HMODULE pinned = nullptr;
        if (!loaded.isValid() || !::GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_PIN, L"urlmon.dll", &pinned))
            return nullptr;
        return reinterpret_cast<DownloadFunc>(
            reinterpret_cast<void*>(::GetProcAddress(pinned, "URLDownloadToFileW")));
    }();
    return download;
}

} // namespace

STDMETHODIMP CWebBrowserPersist::get_progressListener(IDispatch** pVal) noexcept {
    if (!pVal) return E_POINTER;
    *pVal = nullptr;
    if (!m_listener) return S_OK;
    return static_cast<IUnknown*>(m_listener.get())
        ->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(pVal));
}

STDMETHODIMP CWebBrowserPersist::put_progressListener(IDispatch* newVal) noexcept {
    m_listener = ComPtr<IDispatch>(newVal);
    return S_OK;
}

// Downloads synchronously: the platform's callbacks, and with them the listener, run on this thread
// before the call returns. Only a target whose safe flag is set is written. A source that names a device
// (a console, a serial port) is refused: reading one would block this thread for ever.
STDMETHODIMP CWebBrowserPersist::saveURI(BSTR uri, ILocalFile* destFile) noexcept {
    if (BstrEmpty(uri) || !destFile) return E_INVALIDARG;
    bool device = true;
    HRESULT hr = ComBoundary([&] {
        device = PathRules::SourceNamesDevice(BstrView(uri));
        return S_OK;
    });
    if (FAILED(hr)) return hr;
    if (device) return E_INVALIDARG;
    VARIANT_BOOL safe = VARIANT_FALSE;
    hr = destFile->GetSafe(&safe);
    if (FAILED(hr)) return hr;
    if (safe != VARIANT_TRUE) return E_ACCESSDENIED;
    // A local source is read as a stream would read it: a page cannot copy a file from elsewhere on the
    // disk into the private data folder and read it there.
    bool readable = true;
    hr = ComBoundary([&] {
        if (const auto paths = PathRules::LocalSourcePaths(BstrView(uri)))
            for (const std::wstring& source : *paths)
                readable = readable && MayReadFile(source, false);
        return S_OK;
    });
    if (FAILED(hr)) return hr;
    if (!readable) return E_ACCESSDENIED;
    Bstr path;
    hr = destFile->get_nativePath(path.put());
    if (FAILED(hr)) return hr;

    // Without a callback the download goes on all the same, unobserved.
    ComPtr<IBindStatusCallback> callback;
    if (m_listener) BindStatusCallback::Create(m_listener.get(), callback);
    const DownloadFunc download = Downloader();
    if (!download) return FailWithReason("URLDownloadToFileW is not available");
    return download(nullptr, uri, path.get() ? path.get() : L"", 0, callback.get());
}

HRESULT CWebBrowserPersist::BindStatusCallback::Create(IDispatch* listener,
                                                       ComPtr<IBindStatusCallback>& callback) noexcept {
    ComPtr<IBindStatusCallback> created;
    HRESULT hr =
        CComObject<BindStatusCallback>::CreateInstance(__uuidof(IBindStatusCallback), created.put_void());
    if (FAILED(hr)) return hr;
    static_cast<BindStatusCallback*>(created.get())->m_listener = ComPtr<IDispatch>(listener);
    callback = std::move(created);
    return S_OK;
}

STDMETHODIMP CWebBrowserPersist::BindStatusCallback::OnStartBinding(DWORD, IBinding*) noexcept {
    return S_OK;
}

STDMETHODIMP CWebBrowserPersist::BindStatusCallback::GetPriority(LONG* priority) noexcept {
    if (!priority) return E_INVALIDARG;
    *priority = THREAD_PRIORITY_NORMAL;
    return S_OK;
}

STDMETHODIMP CWebBrowserPersist::BindStatusCallback::OnLowResource(DWORD) noexcept {
    return S_OK;
}

// Intermediate progress is not reported.
STDMETHODIMP CWebBrowserPersist::BindStatusCallback::OnProgress(ULONG, ULONG, ULONG, LPCWSTR) noexcept {
    return S_OK;
}

// The listener is called as a function, listener(100, 100), whether the transfer succeeded or not; its
// result and any failure are ignored. A binding that stops twice still notifies once.
STDMETHODIMP CWebBrowserPersist::BindStatusCallback::OnStopBinding(HRESULT, LPCWSTR) noexcept {
    if (m_notified || !m_listener) return S_OK;
    m_notified = true;
    VARIANT args[2];
    for (VARIANT& arg : args) {
        ::VariantInit(&arg);
        arg.vt = VT_I4;
        arg.lVal = 100;
    }
    DISPPARAMS params{args, nullptr, 2, 0};
    Variant result;
    ExcepInfo exception;
    m_listener->Invoke(DISPID_VALUE, IID_NULL, 0x0800, DISPATCH_METHOD, &params, result.get(), &exception,
                       nullptr);
    return S_OK;
}

// Asks for an asynchronous binding; the bind information record is left as the caller filled it.
STDMETHODIMP CWebBrowserPersist::BindStatusCallback::GetBindInfo(DWORD* bindFlags, BINDINFO*) noexcept {
    if (!bindFlags) return E_INVALIDARG;
    *bindFlags = BINDF_ASYNCHRONOUS;
    return S_OK;
}

STDMETHODIMP CWebBrowserPersist::BindStatusCallback::OnDataAvailable(DWORD, DWORD, FORMATETC*,
                                                                     STGMEDIUM*) noexcept {
    return S_OK;
}

STDMETHODIMP CWebBrowserPersist::BindStatusCallback::OnObjectAvailable(REFIID, IUnknown*) noexcept {
    return S_OK;
}
