// Watches the registry tree below a branch key for changes made by any process and reports the names
// of the preferences that changed on the thread that made the watcher, from that thread's message loop.
//
// The registry signals a change of the tree on an event; a wait thread of the watcher, which does
// nothing else, re-arms the notification and posts one message to a message-only window of the owning
// thread. Handling that message, the owning thread lists the tree again and compares it with the
// listing it kept, so it learns which names were added, changed or removed. The wait thread and the
// window end with the watcher, before anything they use goes.
#pragma once

#include "prefs/PrefTree.h"
#include "shared/Win32.h"

#include <atomic>
#include <memory>
#include <string>
#include <vector>

class PrefWatcher {
public:
    // Receives the changed names (ordered); the watcher may be destroyed from inside this call.
    using Report = void (*)(void* owner, const std::vector<std::wstring>& changed);

    // Watches the tree below branchKey (the handle stays the caller's). E_OUTOFMEMORY when the
    // process already runs as many watchers as it may; E_FAIL when the platform refuses.
    static HRESULT Start(HKEY branchKey, Report report, void* owner,
                         std::unique_ptr<PrefWatcher>& out) noexcept;
    ~PrefWatcher();
    PrefWatcher(const PrefWatcher&) = delete;
    PrefWatcher& operator=(const PrefWatcher&) = delete;

    DWORD ownerThread() const noexcept { return m_ownerThread; }

    // Wait threads running in the process, at most kMaxWatchers.
    static constexpr LONG kMaxWatchers = 64;

private:
    PrefWatcher(Report report, void* owner) noexcept;
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static DWORD WINAPI WaitThread(void* self);
    // Runs on the owning thread for each posted message.
    void OnSignal();

    Report m_report;
    void* m_owner;
    DWORD m_ownerThread;
    API::Win32::RegKey m_key; // a handle of the watcher's own, for the wait thread and the listings
    API::Win32::Handle m_changed, m_stop, m_armed, m_thread;
    HWND m_window = nullptr;
    std::atomic<bool> m_posted{false};
    PrefTree::Listing m_listing;
};
