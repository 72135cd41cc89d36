#include "prefs/PrefWatcher.h"

#include "module/Module.h"
#include "script/Boundary.h"

namespace {

constexpr wchar_t kWindowClass[] = L"ZembrolatixPrefWatcher";
constexpr UINT kChangedMessage = WM_APP + 1;
// How long Start waits for the wait thread to arm the first notification.
constexpr DWORD kArmTimeoutMs = 10000;

std::atomic<LONG> g_watchers{0};
// Windows of the class alive in the process; the class is registered with the first and removed with
// the last, so the module never leaves a class behind that points into it.
LONG g_windows = 0;

HWND CreateWatcherWindow(WNDPROC proc, void* self) noexcept {
    std::lock_guard guard(g_module.StaticDataLock());
    if (g_windows == 0) {
        WNDCLASSEXW cls{};
        cls.cbSize = sizeof(cls);
        cls.lpfnWndProc = proc;
        cls.hInstance = ModuleInstance();
        cls.lpszClassName = kWindowClass;
        if (!::RegisterClassExW(&cls) && ::GetLastError() != ERROR_CLASS_ALREADY_EXISTS) return nullptr;
    }
    HWND window =
        ::CreateWindowExW(0, kWindowClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, ModuleInstance(), self);
    if (window) {
        ++g_windows;
    } else if (g_windows == 0) {
        ::UnregisterClassW(kWindowClass, ModuleInstance());
    }
    return window;
}

void DestroyWatcherWindow(HWND window) noexcept {
    ::DestroyWindow(window);
    std::lock_guard guard(g_module.StaticDataLock());
    if (--g_windows == 0) ::UnregisterClassW(kWindowClass, ModuleInstance());
}

bool Arm(HKEY key, HANDLE event) noexcept {
    return ::RegNotifyChangeKeyValue(key, TRUE, REG_NOTIFY_CHANGE_NAME | REG_NOTIFY_CHANGE_LAST_SET, event,
                                     TRUE) == ERROR_SUCCESS;
}

} // namespace

PrefWatcher::PrefWatcher(Report report, void* owner) noexcept
    : m_report(report), m_owner(owner), m_ownerThread(::GetCurrentThreadId()) {}

HRESULT PrefWatcher::Start(HKEY branchKey, Report report, void* owner,
                           std::unique_ptr<PrefWatcher>& out) noexcept {
    if (++g_watchers > kMaxWatchers) {
        --g_watchers;
        return E_OUTOFMEMORY;
    }
    std::unique_ptr<PrefWatcher> watcher(new (std::nothrow) PrefWatcher(report, owner));
    if (!watcher) {
        --g_watchers;
        return E_OUTOFMEMORY;
    }
    // From here the destructor gives the slot back.
    PrefWatcher& w = *watcher;
    w.m_changed.reset(::CreateEventW(nullptr, FALSE, FALSE, nullptr));
    w.m_stop.reset(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
    w.m_armed.reset(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
    if (!w.m_changed.isValid() || !w.m_stop.isValid() || !w.m_armed.isValid() ||
        !w.m_key.open(branchKey, L"", KEY_READ))
        return FailWithLastError();
    w.m_window = CreateWatcherWindow(&WindowProc, &w);
    if (!w.m_window) return FailWithLastError();
    w.m_thread.reset(::CreateThread(nullptr, 0, &WaitThread, &w, 0, nullptr));
    if (!w.m_thread.isValid()) return FailWithLastError();
    // The first listing is taken once the notification is armed: a change after it is signalled.
    HANDLE waits[] = {w.m_armed.get(), w.m_thread.get()};
    if (::WaitForMultipleObjects(2, waits, FALSE, kArmTimeoutMs) != WAIT_OBJECT_0)
        return FailWithReason("the change notification was not armed in time");
    HRESULT hr = ComBoundary([&] {
        PrefTree::List(w.m_key.get(), L"", true, w.m_listing);
        return S_OK;
    });
    if (FAILED(hr)) return hr;
    out = std::move(watcher);
    return S_OK;
}

PrefWatcher::~PrefWatcher() {
    if (m_thread.isValid()) {
        ::SetEvent(m_stop.get());
        ::WaitForSingleObject(m_thread.get(), INFINITE);
    }
    if (m_window && ::GetCurrentThreadId() == m_ownerThread) {
        DestroyWatcherWindow(m_window);
    } else if (m_window) {
        // Only the owning thread may destroy its window (a caller that breaks the apartment's rule):
        // the window forgets the watcher and closes itself when that thread next pumps.
        ::SetWindowLongPtrW(m_window, GWLP_USERDATA, 0);
        ::PostMessageW(m_window, WM_CLOSE, 0, 0);
    }
    --g_watchers;
}

DWORD WINAPI PrefWatcher::WaitThread(void* param) {
    auto& self = *static_cast<PrefWatcher*>(param);
    if (!Arm(self.m_key.get(), self.m_changed.get())) return 0;
    ::SetEvent(self.m_armed.get());
    HANDLE waits[] = {self.m_stop.get(), self.m_changed.get()};
    while (::WaitForMultipleObjects(2, waits, FALSE, INFINITE) == WAIT_OBJECT_0 + 1) {
        // Re-armed before the owner lists the tree again, so a change after that listing is signalled.
        const bool armed = Arm(self.m_key.get(), self.m_changed.get());
        // One message waits at a time; a message the queue refused is tried again on the next change.
        if (!self.m_posted.exchange(true) && !::PostMessageW(self.m_window, kChangedMessage, 0, 0))
            self.m_posted = false;
        if (!armed) break; // a key that can no longer be watched (deleted) was reported once
    }
    return 0;
}

LRESULT CALLBACK PrefWatcher::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
        ::SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    } else if (message == kChangedMessage) {
        if (auto* self = reinterpret_cast<PrefWatcher*>(::GetWindowLongPtrW(window, GWLP_USERDATA))) {
            self->OnSignal();
            return 0;
        }
    }
    return ::DefWindowProcW(window, message, wParam, lParam);
}

void PrefWatcher::OnSignal() {
    m_posted = false;
    std::vector<std::wstring> changed;
    const HRESULT hr = ComBoundary([&] {
        PrefTree::Listing now;
        PrefTree::List(m_key.get(), L"", true, now);
        auto a = m_listing.begin(), b = now.begin();
        while (a != m_listing.end() || b != now.end()) {
            if (b == now.end() || (a != m_listing.end() && a->first < b->first)) {
                changed.push_back((a++)->first);
            } else if (a == m_listing.end() || b->first < a->first) {
                changed.push_back((b++)->first);
            } else {
                if (a->second.type != b->second.type || a->second.size != b->second.size ||
                    a->second.digest != b->second.digest)
                    changed.push_back(a->first);
                ++a;
                ++b;
            }
        }
        m_listing.swap(now);
        return S_OK;
    });
    if (FAILED(hr) || changed.empty()) return;
    // Last: the report may end the watcher.
    m_report(m_owner, changed);
}
