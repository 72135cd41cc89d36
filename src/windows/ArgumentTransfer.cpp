#include "windows/ArgumentTransfer.h"

#include "bundles/ResourceUrl.h"
#include "script/Boundary.h"
#include "shared/Bstr.h"
#include "windows/WindowRules.h"

#include <ocidl.h>

namespace {

constexpr LCID kSystemLocale = 0x0800;

HRESULT FindEventsPoint(IWebBrowser2* browser, ComPtr<IConnectionPoint>& point) noexcept {
    ComPtr<IConnectionPointContainer> container;
    HRESULT hr = browser->QueryInterface(IID_IConnectionPointContainer, container.put_void());
    if (FAILED(hr)) return hr;
    return container->FindConnectionPoint(DIID_DWebBrowserEvents2, point.put());
}

// The address of a page document; empty when it cannot be read.
std::wstring PageAddress(IDispatch* document) {
    Bstr address;
    if (FAILED(DocumentAddress(document, address))) return {};
    return std::wstring(address.view());
}

} // namespace

STDMETHODIMP CArgumentTransfer::Attach(IDispatch* browser, VARIANT parameters) noexcept {
    if (m_advised || m_attaching) return E_UNEXPECTED;
    if (parameters.vt != (VT_ARRAY | VT_VARIANT) || !parameters.parray) return E_INVALIDARG;
    VARTYPE elementType = VT_EMPTY;
    if (FAILED(::SafeArrayGetVartype(parameters.parray, &elementType)) || elementType != VT_VARIANT ||
        ::SafeArrayGetDim(parameters.parray) != 1)
        return E_INVALIDARG;
    CBrowserWindowPtr window;
    if (!browser || FAILED(window.from(browser)) || !window) return E_INVALIDARG;

    // The copy is made before subscribing, so a failure leaves nothing behind.
    SafeArray copy;
    HRESULT hr = ::SafeArrayCopy(parameters.parray, copy.put());
    if (FAILED(hr)) return hr;

    ComPtr<IConnectionPoint> point;
    if (const HRESULT found = FindEventsPoint(window.get(), point); FAILED(found))
        return FailWithResult(found);
    // Advise may handle messages, and page script run by them may call this object again.
    m_attaching = true;
    DWORD cookie = 0;
    hr = point->Advise(static_cast<IArgumentTransfer*>(this), &cookie);
    m_attaching = false;
    if (FAILED(hr)) return FailWithResult(hr);
    m_advised = true;
    m_cookie = cookie;
    m_browser = std::move(window);
    m_parameters = std::move(copy);
    return S_OK;
}

STDMETHODIMP CArgumentTransfer::Detach() noexcept {
    if (!m_browser) return S_FALSE;
    // Unadvise may drop the last other reference to this object: it lives until the end of the call.
    ComPtr<IArgumentTransfer> self(static_cast<IArgumentTransfer*>(this));
    ComPtr<IConnectionPoint> point;
    if (m_advised && SUCCEEDED(FindEventsPoint(m_browser.get(), point))) point->Unadvise(m_cookie);
    m_advised = false;
    m_cookie = 0;
    CBrowserWindowPtr browser = std::move(m_browser);
    m_parameters.reset();
    browser.release();
    return S_OK;
}

STDMETHODIMP CArgumentTransfer::SetOpenedPage(BSTR url) noexcept {
    if (BstrEmpty(url)) return E_INVALIDARG;
    if (m_advised || m_attaching) return E_UNEXPECTED;
    return ComBoundary([&] {
        m_pageModule = GetResModulePath(BstrView(url));
        return S_OK;
    });
}

ComPtr<IDispatch> CArgumentTransfer::FindAddArgument() noexcept {
    if (!m_browser) return nullptr;
    // Always the window's top-level page, whichever frame's document completed.
    ComPtr<IDispatch> document;
    if (FAILED(m_browser->get_Document(document.put())) || !document) return nullptr;
    // Values meant for the opened page never go to a page of another origin the window shows later.
    const bool samePage = ComBoundary([&] {
                              const std::wstring address = PageAddress(document.get());
                              if (!m_pageModule && IsResUrl(address))
                                  m_pageModule = GetResModulePath(address);
                              return m_pageModule && IsPageOfModule(address, *m_pageModule) ? S_OK : S_FALSE;
                          }) == S_OK;
    if (!samePage) return nullptr;
    ComPtr<IDispatch> page = DocumentWindow(document.get());
    if (!page) return nullptr;

    OLECHAR name[] = L"addArgument";
    LPOLESTR names[] = {name};
    DISPID id = DISPID_UNKNOWN;
    if (FAILED(page->GetIDsOfNames(IID_NULL, names, 1, kSystemLocale, &id))) return nullptr;
    DISPPARAMS none{nullptr, nullptr, 0, 0};
    Variant function;
    if (FAILED(page->Invoke(id, IID_NULL, kSystemLocale, DISPATCH_PROPERTYGET, &none, function.get(), nullptr,
                            nullptr)))
        return nullptr;
    if (function->vt != VT_DISPATCH || !function->pdispVal) return nullptr;
    return ComPtr<IDispatch>(function->pdispVal);
}

void CArgumentTransfer::Deliver(IDispatch* function) noexcept {
    for (LONG offset = 0;; ++offset) {
        // Read afresh for every value: the page's script may have detached this object meanwhile.
        if (!m_parameters) return;
        LONG lower = 0, upper = 0;
        if (FAILED(::SafeArrayGetLBound(m_parameters.get(), 1, &lower)) ||
            FAILED(::SafeArrayGetUBound(m_parameters.get(), 1, &upper)))
            return;
        // Counted from the lower bound, so every element is reached whatever the bounds.
        if (offset > LONGLONG(upper) - lower) return;
        LONG index = lower + offset;
        Variant value;
        if (FAILED(::SafeArrayGetElement(m_parameters.get(), &index, value.get()))) return;

        DISPPARAMS args{value.get(), nullptr, 1, 0};
        Variant result;
        function->Invoke(DISPID_VALUE, IID_NULL, kSystemLocale, DISPATCH_METHOD, &args, result.get(), nullptr,
                         nullptr);
    }
}

STDMETHODIMP CArgumentTransfer::DocumentComplete(IDispatch* pDisp, VARIANT*) noexcept {
    CBrowserWindowPtr completed;
    if (!pDisp || FAILED(completed.from(pDisp)) || !completed) return S_OK;
    // The page's script may drop every other reference to this object while it runs.
    ComPtr<IArgumentTransfer> self(static_cast<IArgumentTransfer*>(this));
    ComPtr<IDispatch> function = FindAddArgument();
    if (function) Deliver(function.get());
    return S_OK;
}
