// One loaded page: its window object (what script and callers see as `window`), its document and
// location, and the JScript engine that runs its inline scripts with the window as global object.
#pragma once

#include "Common.h"
#include "Html.h"
#include "Stubs.h"

#include <activscp.h>
#include <dispex.h>

#include <string>
#include <vector>

namespace zbt {

class CBrowser;
class CDocument;
class CPage;
class CScriptSite;

// Where a page is shown.
struct PageHost {
    CBrowser* app = nullptr; // the top-level browser (answers SID_SWebBrowserApp); null in a dialog
    HWND frame = nullptr;    // the top-level window that holds the page
    Ref<CPage> top;          // the top-level page, for the page of a frame
    Ref<CPage> parent;       // the page around it, for the page of a frame
    bool dialog = false;     // an HTML dialog: dialogArguments and returnValue exist
};

class CPage final : public Counted, public IHTMLWindow2Stubs, public IDispatchEx, public IServiceProvider {
public:
    // Reads and parses the page at url; its scripts do not run yet. Fails with the reason the
    // page cannot be read (unknown scheme, missing module, resource or file).
    static HRESULT Load(const std::wstring& url, PageHost host, Ref<CPage>& out);
    // Runs the page's scripts, then loads its frames (each runs its own scripts).
    void Start();
    // Closes the script engine and lets go of frames, document and host: the page is inert after.
    void Shutdown() noexcept;

    const std::wstring& Url() const noexcept { return m_url; }
    // A page of a web server: its script runs under the host security manager, as in the Internet zone.
    bool IsInternetPage() const noexcept { return ParsePageAddress(m_url).kind == PageAddress::Web; }
    const std::wstring& Title() const noexcept { return m_parsed.title; }
    const std::vector<Ref<CBrowser>>& Frames() const noexcept { return m_frames; }
    HRESULT Document(IDispatch** out) noexcept;
    void SetFrameWindow(HWND frame) noexcept { m_host.frame = frame; }
    void SetDialogArguments(const VARIANT* args) noexcept;
    const VARIANT* ReturnValue() const noexcept { return m_returnValue.get(); }
    // The engine's global object, for the script site.
    IUnknown* WindowUnknown() noexcept { return static_cast<IDispatchEx*>(this); }

    ZBT_UNKNOWN

    // IDispatch / IDispatchEx: IHTMLWindow2's members, the dialog's own, then the page's globals.
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID, ITypeInfo** out) override;
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) override;
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID lcid, WORD flags, DISPPARAMS* params,
                                     VARIANT* result, EXCEPINFO* error, UINT* argError) override;
    HRESULT STDMETHODCALLTYPE GetDispID(BSTR name, DWORD flags, DISPID* id) override;
    HRESULT STDMETHODCALLTYPE InvokeEx(DISPID id, LCID lcid, WORD flags, DISPPARAMS* params, VARIANT* result,
                                       EXCEPINFO* error, IServiceProvider* caller) override;
    HRESULT STDMETHODCALLTYPE DeleteMemberByName(BSTR, DWORD) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE DeleteMemberByDispID(DISPID) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetMemberProperties(DISPID, DWORD, DWORD*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetMemberName(DISPID, BSTR*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetNextDispID(DWORD, DISPID, DISPID*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetNameSpaceParent(IUnknown**) override { return E_NOTIMPL; }

    // IHTMLWindow2, the members the stand-in answers.
    HRESULT STDMETHODCALLTYPE get_defaultStatus(BSTR* out) override;
    HRESULT STDMETHODCALLTYPE put_defaultStatus(BSTR value) override;
    HRESULT STDMETHODCALLTYPE get_status(BSTR* out) override;
    HRESULT STDMETHODCALLTYPE put_status(BSTR value) override;
    HRESULT STDMETHODCALLTYPE get_document(IHTMLDocument2** out) override;
    HRESULT STDMETHODCALLTYPE get_location(IHTMLLocation** out) override;
    HRESULT STDMETHODCALLTYPE get_top(IHTMLWindow2** out) override;
    HRESULT STDMETHODCALLTYPE get_parent(IHTMLWindow2** out) override;
    HRESULT STDMETHODCALLTYPE get_self(IHTMLWindow2** out) override;
    HRESULT STDMETHODCALLTYPE get_window(IHTMLWindow2** out) override;
    HRESULT STDMETHODCALLTYPE close() override;
    HRESULT STDMETHODCALLTYPE showModalDialog(BSTR dialog, VARIANT* argIn, VARIANT* options,
                                              VARIANT* argOut) override;

    // IServiceProvider: SID_SWebBrowserApp gives the browser of a top-level window.
    HRESULT STDMETHODCALLTYPE QueryService(REFGUID service, REFIID iid, void** out) override;

private:
    CPage() = default;
    ~CPage() override;
    void* Find(REFIID iid) noexcept;
    HRESULT StartEngine();
    DISPID Forwarded(DISPID global);

    std::wstring m_url;
    ParsedPage m_parsed;
    PageHost m_host;
    Ref<CDocument> m_document;
    std::vector<Ref<CBrowser>> m_frames;
    ComPtr<IActiveScript> m_engine;
    ComPtr<IDispatch> m_global;
    Ref<CScriptSite> m_site;
    std::vector<DISPID> m_forwarded; // the page global behind each forwarded id
    bool m_forwarding = false;       // guards against the engine asking back while being asked
    Bstr m_defaultStatus, m_status;
    Variant m_dialogArguments, m_returnValue;
};

// The text of the last error a page script raised in this process ("" when none).
std::wstring LastScriptError();

// How many times a page was read (or an attempt made) in this process.
long PageReads() noexcept;

} // namespace zbt
