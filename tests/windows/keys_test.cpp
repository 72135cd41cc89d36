// Key strokes sent by the window manager, as a low-level keyboard hook sees them. The hook lives on a
// thread of its own that pumps messages all the time; the records arrive there while the sending call
// waits. Keys go out only while the calling page's own window is in front: the page is shown in a
// window of the browser stand-in.
// test-lock: foreground-window
#include "shared/ComPtr.h"
#include "windows/StandIn.h"
#include "windows/WindowManager.h"

#include <exdisp.h>

#include <gtest/gtest.h>

#include <condition_variable>
#include <mutex>
#include <thread>
#include <optional>
#include <vector>

namespace {

struct KeyEvent {
    DWORD key, flags, time;
};

class KeyboardHook {
public:
    KeyboardHook() {
        s_instance = this;
        m_thread = std::thread([this] { Run(); });
        std::unique_lock lock(m_mutex);
        m_ready.wait(lock, [this] { return m_threadId != 0; });
    }
    ~KeyboardHook() {
        ::PostThreadMessageW(m_threadId, WM_QUIT, 0, 0);
        m_thread.join();
        s_instance = nullptr;
    }
    bool installed() const { return m_installed; }

    // Waits (at most 5 s) until count events have arrived, then takes them.
    std::vector<KeyEvent> Take(size_t count) {
        for (int i = 0; i < 500; ++i) {
            {
                std::lock_guard lock(m_mutex);
                if (m_events.size() >= count) break;
            }
            ::Sleep(10);
        }
        ::Sleep(50); // anything more that would arrive
        std::lock_guard lock(m_mutex);
        return std::exchange(m_events, {});
    }

private:
    void Run() {
        MSG msg;
        ::PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE); // the thread's message queue
        HHOOK hook = ::SetWindowsHookExW(WH_KEYBOARD_LL, &Proc, ::GetModuleHandleW(nullptr), 0);
        {
            std::lock_guard lock(m_mutex);
            m_installed = hook != nullptr;
            m_threadId = ::GetCurrentThreadId();
        }
        m_ready.notify_all();
        while (::GetMessageW(&msg, nullptr, 0, 0) > 0)
            ::DispatchMessageW(&msg);
        if (hook) ::UnhookWindowsHookEx(hook);
    }
    static LRESULT CALLBACK Proc(int code, WPARAM wParam, LPARAM lParam) {
        if (code == HC_ACTION && s_instance) {
            const auto* info = reinterpret_cast<const KBDLLHOOKSTRUCT*>(lParam);
            std::lock_guard lock(s_instance->m_mutex);
            s_instance->m_events.push_back({info->vkCode, info->flags, info->time});
        }
        return ::CallNextHookEx(nullptr, code, wParam, lParam);
    }

    static inline KeyboardHook* s_instance = nullptr;
    std::thread m_thread;
    std::mutex m_mutex;
    std::condition_variable m_ready;
    DWORD m_threadId = 0;
    bool m_installed = false;
    std::vector<KeyEvent> m_events;
};

constexpr DWORD kInjected = LLKHF_INJECTED, kInjectedUp = LLKHF_INJECTED | LLKHF_UP;
constexpr VARIANT_BOOL kTrue = VARIANT_TRUE, kFalse = VARIANT_FALSE, kOne = 1;

// A page of the stand-in in a shown browser window that is brought to the front; closed at the end.
struct PageInFront {
    BrowserProbe probe;
    ComPtr<IWebBrowser2> browser;
    ComPtr<IDispatch> page;
    HWND frame = nullptr;
    PageInFront() {
        ComPtr<IDispatch> app = CreateByProgId(L"InternetExplorer.Application");
        if (!app || FAILED(app.As(browser))) return;
        Bstr url(PageUrl(L"ARGS.HTML"));
        Variant none;
        browser->Navigate(url.get(), none.get(), none.get(), none.get(), none.get());
        browser->put_Visible(VARIANT_TRUE);
        SHANDLE_PTR handle = 0;
        browser->get_HWND(&handle);
        frame = reinterpret_cast<HWND>(handle);
        ::SetForegroundWindow(frame);
        ComPtr<IDispatch> document;
        if (SUCCEEDED(browser->get_Document(document.put())))
            page = ObjectProperty(document.get(), L"parentWindow");
    }
    ~PageInFront() {
        probe.call(L"closeAll");
        probe.call(L"pump");
    }
};

// A keyboard hook, a window manager and a page of the browser stand-in in front.
class Keys : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(hook.installed());
        ASSERT_EQ(CWindowManager::CreateLocal(manager.put()), S_OK);
        front.emplace();
        ASSERT_TRUE(front->page) << "the browser stand-in shows no page";
    }
    KeyboardHook hook;
    ComPtr<IWindowManager> manager;
    std::optional<PageInFront> front;
};

TEST_F(Keys, PressAndReleaseInModifierOrderWithTheirTimeStamps) {
    ASSERT_EQ(::GetForegroundWindow(), front->frame);

    struct Case {
        VARIANT_BOOL shift, ctrl, alt;
        std::vector<DWORD> keys; // what goes out, in order
    } const cases[] = {
        {kTrue, kTrue, kFalse, {VK_CONTROL, VK_SHIFT, 0x41}},
        {kTrue, kTrue, kTrue, {VK_CONTROL, VK_SHIFT, VK_MENU, 0x41}},
        {kFalse, kFalse, kTrue, {VK_MENU, 0x41}},
        {kOne, kTrue, kOne, {VK_CONTROL, 0x41}}, // only VARIANT_TRUE counts as set
        {kFalse, kFalse, kFalse, {0x41}},
    };
    for (size_t c = 0; c < std::size(cases); ++c) {
        const Case& k = cases[c];
        ASSERT_EQ(manager->ResendKey(front->page.get(), 0x41, k.shift, k.ctrl, k.alt), S_OK) << "case " << c;
        std::vector<KeyEvent> down = hook.Take(k.keys.size());
        ASSERT_EQ(down.size(), k.keys.size()) << "case " << c;
        for (size_t i = 0; i < down.size(); ++i) {
            EXPECT_EQ(down[i].key, k.keys[i]) << "case " << c << " press " << i;
            EXPECT_EQ(down[i].flags, kInjected) << "case " << c << " press " << i;
            // The modifiers carry 4000; the key's own 0 is replaced by the system's time.
            if (i + 1 < down.size())
                EXPECT_EQ(down[i].time, 4000u) << "case " << c << " press " << i;
            else
                EXPECT_NE(down[i].time, 4000u) << "case " << c;
        }

        ASSERT_EQ(manager->StopKey(front->page.get(), 0x41, k.shift, k.ctrl, k.alt), S_OK) << "case " << c;
        std::vector<KeyEvent> up = hook.Take(k.keys.size());
        ASSERT_EQ(up.size(), k.keys.size()) << "case " << c;
        for (size_t i = 0; i < up.size(); ++i) {
            EXPECT_EQ(up[i].key, k.keys[i]) << "case " << c << " release " << i;
            EXPECT_EQ(up[i].flags, kInjectedUp) << "case " << c << " release " << i;
            EXPECT_NE(up[i].time, 4000u) << "case " << c << " release " << i;
        }
    }
}

TEST_F(Keys, NothingGoesOutWhileAnotherWindowIsInFront) {

    const struct Case {
        const char* what;
        bool inFront; // a window is put in front of the page's own
        HWND owner;
        IDispatch* window;
        HRESULT expected;
    } cases[] = {
        {"a window owned by the page's window, as a file dialog is", true, front->frame, front->page.get(),
         E_ACCESSDENIED},
        {"another program's window", true, nullptr, front->page.get(), E_ACCESSDENIED},
        {"no window", false, nullptr, nullptr, E_INVALIDARG},
        {"not a page window", false, nullptr, manager.get(), E_INVALIDARG},
    };
    for (const Case& c : cases) {
        HWND other = nullptr;
        if (c.inFront) {
            other = ::CreateWindowExW(0, L"STATIC", L"other", WS_POPUP | WS_CAPTION, 0, 0, 200, 100, c.owner,
                                      nullptr, nullptr, nullptr);
            ::ShowWindow(other, SW_SHOW);
            ::SetForegroundWindow(other);
            ASSERT_EQ(::GetForegroundWindow(), other) << c.what;
        }
        EXPECT_EQ(manager->ResendKey(c.window, VK_RETURN, kFalse, kFalse, kFalse), c.expected) << c.what;
        EXPECT_EQ(manager->StopKey(c.window, VK_RETURN, kFalse, kFalse, kFalse), c.expected) << c.what;
        EXPECT_TRUE(hook.Take(0).empty()) << c.what << ": a key went out";
        if (other) ::DestroyWindow(other);
        ::SetForegroundWindow(front->frame);
    }
}

TEST_F(Keys, AnHtmlDialogInFrontPassesKeysOn) {
    Variant outcome;
    ASSERT_EQ(CallMember(front->page.get(), L"showModalDialog", DISPATCH_METHOD,
                         {StringValue(PageUrl(L"KEYS.HTML"))}, outcome.get()),
              S_OK);
    ASSERT_EQ(outcome->vt, VT_BSTR);
    EXPECT_EQ(std::wstring(BstrView(outcome->bstrVal)), L"ok,ok");
    EXPECT_EQ(hook.Take(2).size(), 2u);
}

} // namespace
