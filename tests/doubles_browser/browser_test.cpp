// The browser stand-in that the window tests drive: it must behave like the browser where the
// library relies on it (properties, synchronous navigation with page script, DocumentComplete in
// frame-then-top order, closing, modal dialogs).
// test-lock: foreground-window
#include <gtest/gtest.h>

#include <windows.h>
#include <exdisp.h>
#include <exdispid.h>
#include <mshtml.h>
#include <servprov.h>

#include <string>
#include <vector>

#include "support/ComTest.h"
#include "support/TempFile.h"

namespace {

const GUID kSidWebBrowserApp = {0x0002DF05, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

std::wstring PageUrl(const wchar_t* module, const wchar_t* name) {
    wchar_t full[MAX_PATH] = L"";
    ::GetFullPathNameW(module, MAX_PATH, full, nullptr);
    return std::wstring(L"res://") + full + L"/" + name;
}
std::wstring PageUrl(const wchar_t* name) {
    return PageUrl(L"tests\\doubles\\zbt_pages.dll", name);
}

// Records DocumentComplete events: the URL and the browser object of the frame that completed.
class EventSink final : public DispatchStubs<> {
public:
    ULONG refs = 1;
    std::vector<std::wstring> urls;
    std::vector<ComPtr<IWebBrowser2>> browsers;

    ULONG STDMETHODCALLTYPE AddRef() override { return ++refs; }
    ULONG STDMETHODCALLTYPE Release() override { return --refs; }
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        *out = (iid == IID_IUnknown || iid == IID_IDispatch) ? this : nullptr;
        if (!*out) return E_NOINTERFACE;
        AddRef();
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* p, VARIANT*, EXCEPINFO*,
                                     UINT*) override {
        if (id != DISPID_DOCUMENTCOMPLETE || p->cArgs != 2) return DISP_E_MEMBERNOTFOUND;
        urls.emplace_back(p->rgvarg[0].pvarVal->bstrVal);
        ComPtr<IWebBrowser2> browser;
        p->rgvarg[1].pdispVal->QueryInterface(IID_IWebBrowser2, browser.put_void());
        browsers.push_back(browser);
        return S_OK;
    }
};

LONG Number(IDispatch* object, const wchar_t* name) {
    Variant v;
    EXPECT_EQ(CallMember(object, name, DISPATCH_PROPERTYGET, {}, v.get()), S_OK) << name;
    ::VariantChangeType(v.get(), v.get(), 0, VT_I4);
    return v->lVal;
}
class BrowserDouble : public ::testing::Test {
protected:
    void SetUp() override {
        probe = CreateByProgId(L"Zembrolatix.Test.BrowserProbe");
        ASSERT_TRUE(probe);
        ASSERT_TRUE(SUCCEEDED(CreateByProgId(L"InternetExplorer.Application").As(browser)));
    }
    void TearDown() override {
        Variant ignored;
        if (probe) CallMember(probe.get(), L"closeAll", DISPATCH_METHOD, {}, ignored.get());
    }
    ComPtr<IHTMLWindow2> PageWindow() {
        ComPtr<IDispatch> document;
        ComPtr<IHTMLDocument2> html;
        ComPtr<IHTMLWindow2> window;
        if (SUCCEEDED(browser->get_Document(document.put())) && SUCCEEDED(document.As(html)))
            html->get_parentWindow(window.put());
        return window;
    }
    DWORD Advise(EventSink& sink) {
        ComPtr<IConnectionPointContainer> container;
        ComPtr<IConnectionPoint> point;
        DWORD cookie = 0;
        EXPECT_EQ(browser.As(container), S_OK);
        EXPECT_EQ(container->FindConnectionPoint(DIID_DWebBrowserEvents2, point.put()), S_OK);
        EXPECT_EQ(point->Advise(&sink, &cookie), S_OK);
        return cookie;
    }
    ComPtr<IDispatch> probe;
    ComPtr<IWebBrowser2> browser;
};

TEST_F(BrowserDouble, HiddenWindowWhosePropertiesReadBack) {
    EXPECT_EQ(Number(probe.get(), L"count"), 1);
    VARIANT_BOOL flag = VARIANT_TRUE;
    SHANDLE_PTR hwnd = 0;
    EXPECT_EQ(browser->get_Visible(&flag), S_OK);
    EXPECT_EQ(flag, VARIANT_FALSE);
    EXPECT_EQ(browser->get_HWND(&hwnd), S_OK);
    EXPECT_TRUE(::IsWindow(reinterpret_cast<HWND>(hwnd)));

    browser->put_AddressBar(VARIANT_FALSE);
    browser->put_MenuBar(VARIANT_FALSE);
    browser->put_StatusBar(VARIANT_FALSE);
    browser->put_ToolBar(0);
    browser->put_Left(30);
    browser->put_Width(400);
    browser->put_Top(40);
    browser->put_Height(300);
    browser->put_Visible(VARIANT_TRUE);
    VARIANT_BOOL address, menu, status;
    int tools = -1;
    LONG left, top, width, height;
    browser->get_AddressBar(&address);
    browser->get_MenuBar(&menu);
    browser->get_StatusBar(&status);
    browser->get_ToolBar(&tools);
    browser->get_Left(&left);
    browser->get_Top(&top);
    browser->get_Width(&width);
    browser->get_Height(&height);
    browser->get_Visible(&flag);
    EXPECT_EQ(std::vector<LONG>({address, menu, status, tools, left, top, width, height, flag}),
              std::vector<LONG>({0, 0, 0, 0, 30, 40, 400, 300, VARIANT_TRUE}));
    browser->put_FullScreen(VARIANT_TRUE);
    browser->get_FullScreen(&flag);
    browser->get_Width(&width);
    EXPECT_EQ(flag, VARIANT_TRUE);
    EXPECT_EQ(width, ::GetSystemMetrics(SM_CXSCREEN));
}

TEST_F(BrowserDouble, NavigateRunsThePageScriptAndCompletesInside) {
    EventSink sink;
    Advise(sink);
    const std::wstring url = PageUrl(L"args.html"); // resource names are found whatever their case
    ASSERT_EQ(browser->Navigate(Bstr(url).get(), nullptr, nullptr, nullptr, nullptr), S_OK);
    ASSERT_EQ(sink.urls, std::vector<std::wstring>{url});
    EXPECT_EQ(sink.browsers[0].get(), browser.get());

    Bstr location, title, href;
    browser->get_LocationURL(location.put());
    EXPECT_EQ(location.view(), url);
    ComPtr<IHTMLWindow2> window = PageWindow();
    ASSERT_TRUE(window);
    ComPtr<IHTMLDocument2> document;
    ComPtr<IHTMLLocation> where;
    ASSERT_EQ(window->get_document(document.put()), S_OK);
    document->get_title(title.put());
    document->get_location(where.put());
    where->get_href(href.put());
    EXPECT_EQ(title.view(), L"Arguments");
    EXPECT_EQ(href.view(), url);

    // The page's own function, found and called the way the library delivers arguments.
    Variant function, ignored, received;
    ComPtr<IDispatch> windowDispatch;
    window.As(windowDispatch);
    ASSERT_EQ(CallMember(windowDispatch.get(), L"addArgument", DISPATCH_PROPERTYGET, {}, function.get()),
              S_OK);
    ASSERT_EQ(function->vt, VT_DISPATCH);
    for (const wchar_t* value : {L"a", L"b"}) {
        Bstr text(value);
        VARIANT arg = TextArg(text.get());
        DISPPARAMS params = {&arg, nullptr, 1, 0};
        EXPECT_EQ(function->pdispVal->Invoke(DISPID_VALUE, IID_NULL, LOCALE_SYSTEM_DEFAULT, DISPATCH_METHOD,
                                             &params, ignored.get(), nullptr, nullptr),
                  S_OK);
    }
    ASSERT_EQ(CallMember(windowDispatch.get(), L"received", DISPATCH_PROPERTYGET, {}, received.get()), S_OK);
    EXPECT_EQ(Number(received->pdispVal, L"length"), 2);

    ComPtr<IServiceProvider> services;
    ComPtr<IWebBrowser2> app;
    ASSERT_EQ(window.As(services), S_OK);
    EXPECT_EQ(services->QueryService(kSidWebBrowserApp, IID_IWebBrowser2, app.put_void()), S_OK);
    EXPECT_EQ(app.get(), browser.get());
}

std::wstring FileUrl(const TempFile& file) {
    std::wstring url = L"file:///" + file.path();
    for (auto& c : url)
        if (c == L'\\') c = L'/';
    return url;
}
// An iframe naming file by its name alone.
std::string FrameOf(const TempFile& file) {
    const std::wstring name = file.path().substr(file.path().rfind(L'\\') + 1);
    return "<iframe src=\"" + std::string(name.begin(), name.end()) + "\"></iframe>";
}

TEST_F(BrowserDouble, NavigationOutcomes) {
    TempFile page(L"page two.html"), leaf(L"leaf.html"), inner(L"inner.html"), outer(L"outer.html");
    ASSERT_TRUE(page.write("<title>On disk</title><script>var x = 1;</script>"));
    ASSERT_TRUE(leaf.write("<title>Leaf</title>") && inner.write(FrameOf(leaf)) &&
                outer.write(FrameOf(inner)));
    std::wstring fileUrl = FileUrl(page);
    fileUrl.replace(fileUrl.find(L' '), 1, L"%20");
    const struct {
        std::wstring url;
        bool succeeds;
        std::vector<std::wstring> completed; // in order; a frame's own browser object for all but the last
    } cases[] = {
        {PageUrl(L"FRAMES.HTML"),
         true,
         {PageUrl(L"FRAME1.HTML"), PageUrl(L"FRAME2.HTML"), PageUrl(L"FRAMES.HTML")}},
        {fileUrl, true, {fileUrl}},
        {FileUrl(outer), true, {FileUrl(leaf), FileUrl(inner), FileUrl(outer)}},
        {PageUrl(L"MISSING.HTML"), false, {}},
        {PageUrl(L"tests\\doubles\\no_such_module.dll", L"ARGS.HTML"), false, {}},
        {L"file:///C:/no/such/page.html", false, {}},
    };
    for (const auto& c : cases) {
        EventSink sink;
        const DWORD cookie = Advise(sink);
        const HRESULT hr = browser->Navigate(Bstr(c.url).get(), nullptr, nullptr, nullptr, nullptr);
        EXPECT_EQ(SUCCEEDED(hr), c.succeeds) << std::hex << hr;
        EXPECT_EQ(sink.urls, c.completed);
        for (size_t i = 0; i < sink.browsers.size(); ++i)
            EXPECT_EQ(sink.browsers[i].get() == browser.get(), i + 1 == sink.browsers.size()) << i;
        ComPtr<IConnectionPointContainer> container;
        ComPtr<IConnectionPoint> point;
        browser.As(container);
        container->FindConnectionPoint(DIID_DWebBrowserEvents2, point.put());
        EXPECT_EQ(point->Unadvise(cookie), S_OK);
    }
}

TEST_F(BrowserDouble, SystemCloseDestroysTheWindowAndDropsSubscribers) {
    EventSink sink;
    Advise(sink);
    EXPECT_EQ(sink.refs, 2u);
    SHANDLE_PTR hwnd = 0;
    browser->get_HWND(&hwnd);
    // Release counts outside references only; the window keeps the browser until it is closed.
    EXPECT_EQ(browser.Detach()->Release(), 0u);
    EXPECT_EQ(Number(probe.get(), L"count"), 1);
    ::PostMessageW(reinterpret_cast<HWND>(hwnd), WM_SYSCOMMAND, SC_CLOSE, 0);
    Variant ignored;
    ASSERT_EQ(CallMember(probe.get(), L"pump", DISPATCH_METHOD, {}, ignored.get()), S_OK);
    EXPECT_FALSE(::IsWindow(reinterpret_cast<HWND>(hwnd)));
    EXPECT_EQ(sink.refs, 1u);
    EXPECT_EQ(Number(probe.get(), L"count"), 0);
}

TEST_F(BrowserDouble, ModalDialogRunsUntilItsPageClosesItAndGivesItsReturnValue) {
    ASSERT_EQ(browser->Navigate(Bstr(PageUrl(L"NOARGS.HTML")).get(), nullptr, nullptr, nullptr, nullptr),
              S_OK);
    ComPtr<IHTMLWindow2> window = PageWindow();
    ASSERT_TRUE(window);
    Bstr hello(L"hello");
    VARIANT in = TextArg(hello.get());
    Variant out;
    ASSERT_EQ(window->showModalDialog(Bstr(PageUrl(L"DIALOG.HTML")).get(), &in, nullptr, out.get()), S_OK);
    ASSERT_EQ(out->vt, VT_BSTR);
    const std::wstring result(BstrView(out->bstrVal));
    EXPECT_EQ(result.rfind(L"args=hello|before=Options -- Webpage Dialog/|", 0), 0u) << result;
    Variant caption;
    CallMember(probe.get(), L"activeDialogCaption", DISPATCH_PROPERTYGET, {}, caption.get());
    EXPECT_EQ(BstrView(caption->bstrVal), L""); // the dialog frame is gone

    Variant none;
    EXPECT_TRUE(
        FAILED(window->showModalDialog(Bstr(PageUrl(L"MISSING.HTML")).get(), &in, nullptr, none.get())));
}

} // namespace
