// The browser application object: one real top-level window showing one page at a time, or the
// browser object of one frame inside a page.
#pragma once

#include "Common.h"
#include "Stubs.h"

#include <ocidl.h>

#include <string>
#include <vector>

namespace zbt {

class CPage;

class CBrowser final : public Counted, public IWebBrowser2Stubs, public IConnectionPointContainer {
public:
    // A new top-level browser with its hidden window, answering iid.
    static HRESULT CreateTopLevel(REFIID iid, void** out);
    // The browser object of a frame showing page.
    static Ref<CBrowser> ForFrame(Ref<CPage> page);

    // Live top-level browsers of this process, in creation order.
    static std::vector<Ref<CBrowser>> Live();
    static std::vector<HWND> LiveWindows();

    // IUnknown: a top-level browser lives on while its window exists, whatever its count; Release
    // answers the count of outside references only.
    ULONG STDMETHODCALLTYPE AddRef() override { return ++m_refs; }
    ULONG STDMETHODCALLTYPE Release() override;
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;

    // IDispatch over SHDocVw's description of IWebBrowser2.
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID, ITypeInfo** out) override;
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) override;
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                                     EXCEPINFO* error, UINT* argError) override;

    // IWebBrowser2, the members the stand-in answers.
    HRESULT STDMETHODCALLTYPE Navigate(BSTR url, VARIANT* flags, VARIANT* target, VARIANT* postData,
                                       VARIANT* headers) override;
    HRESULT STDMETHODCALLTYPE Navigate2(VARIANT* url, VARIANT* flags, VARIANT* target, VARIANT* postData,
                                        VARIANT* headers) override;
    HRESULT STDMETHODCALLTYPE Quit() override;
    HRESULT STDMETHODCALLTYPE get_Application(IDispatch** out) override;
    HRESULT STDMETHODCALLTYPE get_Document(IDispatch** out) override;
    HRESULT STDMETHODCALLTYPE get_TopLevelContainer(VARIANT_BOOL* out) override;
    HRESULT STDMETHODCALLTYPE get_LocationName(BSTR* out) override;
    HRESULT STDMETHODCALLTYPE get_LocationURL(BSTR* out) override;
    HRESULT STDMETHODCALLTYPE get_Busy(VARIANT_BOOL* out) override;
    HRESULT STDMETHODCALLTYPE get_ReadyState(READYSTATE* out) override;
    HRESULT STDMETHODCALLTYPE get_HWND(SHANDLE_PTR* out) override;
    HRESULT STDMETHODCALLTYPE get_Visible(VARIANT_BOOL* out) override;
    HRESULT STDMETHODCALLTYPE put_Visible(VARIANT_BOOL value) override;
    HRESULT STDMETHODCALLTYPE get_Left(LONG* out) override;
    HRESULT STDMETHODCALLTYPE put_Left(LONG value) override;
    HRESULT STDMETHODCALLTYPE get_Top(LONG* out) override;
    HRESULT STDMETHODCALLTYPE put_Top(LONG value) override;
    HRESULT STDMETHODCALLTYPE get_Width(LONG* out) override;
    HRESULT STDMETHODCALLTYPE put_Width(LONG value) override;
    HRESULT STDMETHODCALLTYPE get_Height(LONG* out) override;
    HRESULT STDMETHODCALLTYPE put_Height(LONG value) override;
    HRESULT STDMETHODCALLTYPE get_AddressBar(VARIANT_BOOL* out) override;
    HRESULT STDMETHODCALLTYPE put_AddressBar(VARIANT_BOOL value) override;
    HRESULT STDMETHODCALLTYPE get_MenuBar(VARIANT_BOOL* out) override;
    HRESULT STDMETHODCALLTYPE put_MenuBar(VARIANT_BOOL value) override;
    HRESULT STDMETHODCALLTYPE get_StatusBar(VARIANT_BOOL* out) override;
    HRESULT STDMETHODCALLTYPE put_StatusBar(VARIANT_BOOL value) override;
    HRESULT STDMETHODCALLTYPE get_ToolBar(int* out) override;
    HRESULT STDMETHODCALLTYPE put_ToolBar(int value) override;
    HRESULT STDMETHODCALLTYPE get_FullScreen(VARIANT_BOOL* out) override;
    HRESULT STDMETHODCALLTYPE put_FullScreen(VARIANT_BOOL value) override;

    // IConnectionPointContainer: DWebBrowserEvents2 only.
    HRESULT STDMETHODCALLTYPE EnumConnectionPoints(IEnumConnectionPoints** out) override;
    HRESULT STDMETHODCALLTYPE FindConnectionPoint(REFIID iid, IConnectionPoint** out) override;

    // The page shown (a frame's page for a frame's browser object); null before the first navigation.
    CPage* page() const noexcept { return m_page.get(); }

    // The event subscription, reached through the connection point.
    HRESULT Advise(IUnknown* sink, DWORD* cookie);
    HRESULT Unadvise(DWORD cookie);

    // For tests of subscribers: how many there are; cookies counted from 0 instead of 1; a function
    // called once, inside the next Advise, as page script run by messages handled there would be.
    size_t SubscriberCount() const noexcept { return m_sinks.size(); }
    void CountCookiesFromZero() noexcept { m_nextCookie = 0; }
    void CallInsideNextAdvise(IDispatch* function) noexcept { m_insideAdvise = ComPtr<IDispatch>(function); }

private:
    CBrowser() = default;
    ~CBrowser() override;
    void* Find(REFIID iid) noexcept;
    HRESULT Bounds(RECT& rect) const;
    HRESULT Move(LONG RECT::*edge, LONG value);
    // DocumentComplete (259) to every subscriber, with the browser object of the frame that completed.
    void FireDocumentComplete(IDispatch* browser, const std::wstring& url);
    void FireFramesComplete(CPage& page);
    void OnWindowDestroyed();
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

    HWND m_hwnd = nullptr;
    bool m_windowAlive = false;
    Ref<CPage> m_page;
    VARIANT_BOOL m_addressBar = VARIANT_TRUE, m_menuBar = VARIANT_TRUE, m_statusBar = VARIANT_TRUE;
    VARIANT_BOOL m_fullScreen = VARIANT_FALSE;
    int m_toolBar = 1;
    std::vector<std::pair<DWORD, ComPtr<IDispatch>>> m_sinks;
    DWORD m_nextCookie = 1;
    ComPtr<IDispatch> m_insideAdvise;
};

// Window class names and the module instance, shared with the dialog frame.
HINSTANCE ModuleInstance() noexcept;
void UnregisterWindowClasses() noexcept;
inline constexpr wchar_t kBrowserFrameClass[] = L"IEFrame";
inline constexpr wchar_t kDialogFrameClass[] = L"Internet Explorer_TridentDlgFrame";
// A dialog frame still open after this long closes itself.
inline constexpr UINT_PTR kDialogTimeoutTimer = 1;
inline constexpr UINT kDialogTimeoutMs = 20000;

} // namespace zbt
