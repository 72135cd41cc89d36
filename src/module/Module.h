// The module object: lock count, the static-data lock and the termination list.
#pragma once

#include <windows.h>

#include <atomic>
#include <mutex>

extern "C" IMAGE_DOS_HEADER __ImageBase;

// The library's own module handle, valid from the moment the image is mapped.
inline HINSTANCE ModuleInstance() {
    return reinterpret_cast<HINSTANCE>(&__ImageBase);
}

// A critical section whose initialisation may fail; the owner checks ok() before use.
class CriticalSection {
public:
    CriticalSection() noexcept { m_ok = ::InitializeCriticalSectionAndSpinCount(&m_cs, 0) != FALSE; }
    ~CriticalSection() {
        if (m_ok) ::DeleteCriticalSection(&m_cs);
    }
    CriticalSection(const CriticalSection&) = delete;
    CriticalSection& operator=(const CriticalSection&) = delete;
    bool ok() const noexcept { return m_ok; }
    void lock() noexcept { ::EnterCriticalSection(&m_cs); }
    void unlock() noexcept { ::LeaveCriticalSection(&m_cs); }

private:
    CRITICAL_SECTION m_cs{};
    bool m_ok = false;
};

class CZembrolatixModule {
public:
    using TermFunc = void (*)(void* data);

    CZembrolatixModule() noexcept = default;
    CZembrolatixModule(const CZembrolatixModule&) = delete;
    CZembrolatixModule& operator=(const CZembrolatixModule&) = delete;

    LONG Lock() noexcept { return ++m_lockCount; }
    LONG Unlock() noexcept { return --m_lockCount; }
    LONG GetLockCount() const noexcept { return m_lockCount; }

    // Guards the first loading of shared type information.
    CriticalSection& StaticDataLock() noexcept { return m_staticDataLock; }

    // Registers a callback that runs when the module unloads (newest first). False when the list is full.
    bool AddTermFunc(TermFunc func, void* data) noexcept;
    void RunTermFuncs() noexcept;

    bool InitFailed() const noexcept { return !m_staticDataLock.ok(); }

private:
    struct TermEntry {
        TermFunc func;
        void* data;
    };
    static constexpr int kMaxTermFuncs = 64;

    std::atomic<LONG> m_lockCount{0};
    CriticalSection m_staticDataLock;
    TermEntry m_termFuncs[kMaxTermFuncs]{};
    int m_termCount = 0;
};

extern CZembrolatixModule g_module;
