// Key strokes sent by the window manager, as a low-level keyboard hook sees them. The hook lives on a
// thread of its own that pumps messages all the time; the records arrive there while the sending call
// waits.
#include "shared/ComPtr.h"
#include "windows/WindowManager.h"

#include <gtest/gtest.h>

#include <condition_variable>
#include <mutex>
#include <thread>
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

TEST(Keys, PressAndReleaseInModifierOrderWithTheirTimeStamps) {
    KeyboardHook hook;
    ASSERT_TRUE(hook.installed());
    ComPtr<IWindowManager> manager;
    ASSERT_EQ(CWindowManager::CreateLocal(manager.put()), S_OK);

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
        // No window is needed: the events go to whatever has the focus.
        ASSERT_EQ(manager->ResendKey(nullptr, 0x41, k.shift, k.ctrl, k.alt), S_OK) << "case " << c;
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

        ASSERT_EQ(manager->StopKey(nullptr, 0x41, k.shift, k.ctrl, k.alt), S_OK) << "case " << c;
        std::vector<KeyEvent> up = hook.Take(k.keys.size());
        ASSERT_EQ(up.size(), k.keys.size()) << "case " << c;
        for (size_t i = 0; i < up.size(); ++i) {
            EXPECT_EQ(up[i].key, k.keys[i]) << "case " << c << " release " << i;
            EXPECT_EQ(up[i].flags, kInjectedUp) << "case " << c << " release " << i;
            EXPECT_NE(up[i].time, 4000u) << "case " << c << " release " << i;
        }
    }
}

} // namespace
