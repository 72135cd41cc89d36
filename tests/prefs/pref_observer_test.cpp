// Preference observers: a change made by another process reaches the observers of a branch while the
// thread that added them pumps messages, on that thread, by domain; removing them stops the calls and
// ends the branch's wait thread; a branch that goes with observers lets them go and the module unload.
#include "shared/Storage.h"
#include "shared/Win32.h"
#include "support/ComTest.h"
#include "support/Scoped.h"

#include "Zembrolatix.h"

#include <gtest/gtest.h>
#include <tlhelp32.h>

#include <string>
#include <vector>

namespace {

// An observer as script hands one over: an object with observe(subject, topic, data), or a function.
struct Observer final : DispatchStubs<> {
    struct Call {
        DWORD thread;
        std::wstring topic, data;
        IUnknown* subject;
    };
    explicit Observer(bool hasObserve) : hasObserve(hasObserve) {}
    const bool hasObserve;
    std::vector<Call> calls;
    ULONG refs = 1;

    STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
        *out = ::IsEqualIID(iid, IID_IUnknown) || ::IsEqualIID(iid, IID_IDispatch) ? this : nullptr;
        return *out ? (AddRef(), S_OK) : E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return ++refs; }
    STDMETHODIMP_(ULONG) Release() override { return --refs; }
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR* names, UINT, LCID, DISPID* ids) override {
        *ids = 7;
        return hasObserve && std::wstring_view(names[0]) == L"observe" ? S_OK : DISP_E_UNKNOWNNAME;
    }
    STDMETHODIMP Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* p, VARIANT*, EXCEPINFO*, UINT*) override {
        if (id != (hasObserve ? 7 : DISPID_VALUE) || p->cArgs != 3) return DISP_E_MEMBERNOTFOUND;
        ComPtr<IUnknown> subject;
        p->rgvarg[2].pdispVal->QueryInterface(IID_IUnknown, subject.put_void());
        calls.push_back({::GetCurrentThreadId(), p->rgvarg[1].bstrVal, p->rgvarg[0].bstrVal, subject.get()});
        return S_OK;
    }
};

// Pumps this thread's messages until the observer has `want` calls, for at most ms milliseconds.
void Pump(const Observer& observer, size_t want, DWORD ms) {
    const DWORD start = ::GetTickCount();
    while (observer.calls.size() < want && ::GetTickCount() - start < ms) {
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
        MSG msg;
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
            ::DispatchMessageW(&msg);
    }
}

// Another process writes the DWORD x below the branch key.
void WriteFromAnotherProcess(const std::wstring& key, int value) {
    std::wstring command =
        L"reg.exe add \"HKCU\\" + key + L"\" /v x /t REG_DWORD /d " + std::to_wstring(value) + L" /f";
    STARTUPINFOW si{};
    si.cb = sizeof(si);
    PROCESS_INFORMATION pi{};
    ASSERT_TRUE(::CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr,
                                 nullptr, &si, &pi));
    API::Win32::Handle process(pi.hProcess), thread(pi.hThread);
    ASSERT_EQ(::WaitForSingleObject(process.get(), 60000), WAIT_OBJECT_0);
}

size_t ThreadCount() {
    size_t count = 0;
    API::Win32::Handle snap(::CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0));
    THREADENTRY32 entry{};
    entry.dwSize = sizeof(entry);
    for (BOOL more = ::Thread32First(snap.get(), &entry); more; more = ::Thread32Next(snap.get(), &entry))
        count += entry.th32OwnerProcessID == ::GetCurrentProcessId();
    return count;
}

TEST(PrefObserver, SeesAnotherProcessOnItsOwnThreadUntilRemoved) {
    ComPtr<IPrefBranch2> branch = Create<IPrefBranch2>(CLSID_PrefBranch);
    ASSERT_TRUE(branch);
    const std::wstring tag = L"zxprefs_obs" + std::to_wstring(::GetCurrentProcessId()), root = tag + L".";
    const ScopedKeyTree owned(StoragePaths::PreferenceKey(UseLowStorage(), L"Zembrolatix\\" + tag));
    const std::wstring& key = owned.get();
    ASSERT_EQ(branch->init(Bstr(root).get()), S_OK);
    const size_t threads = ThreadCount();
    Observer object(true), function(false), elsewhere(true);
    ASSERT_EQ(branch->addObserver(Bstr(L"").get(), &object, VARIANT_FALSE), S_OK);
    ASSERT_EQ(branch->addObserver(Bstr(L"").get(), &function, VARIANT_TRUE), S_OK);
    ASSERT_EQ(branch->addObserver(Bstr(L"other.").get(), &elsewhere, VARIANT_FALSE), S_OK);
    EXPECT_EQ(ThreadCount(), threads + 1) << "one wait thread per observed branch";

    // Within a second of the other process's end, on this thread, for the observers of its domain.
    WriteFromAnotherProcess(key + L"\\sub", 5);
    Pump(function, 1, 1000);
    ASSERT_EQ(object.calls.size() + function.calls.size() + elsewhere.calls.size(), 2u);
    for (const Observer* observer : {&object, &function}) {
        ASSERT_EQ(observer->calls.size(), 1u);
        const Observer::Call& call = observer->calls[0];
        EXPECT_EQ(call.thread, ::GetCurrentThreadId()) << "called on another thread";
        EXPECT_EQ(call.topic, L"nsPref:changed");
        EXPECT_EQ(call.data, root + L"sub.x");
        EXPECT_EQ(call.subject, static_cast<IUnknown*>(branch.get()));
    }

    // Removed: no more calls, the wait thread has ended and the observers are let go.
    for (Observer* observer : {&object, &function})
        ASSERT_EQ(branch->removeObserver(Bstr(L"").get(), observer), S_OK);
    ASSERT_EQ(branch->removeObserver(Bstr(L"other.").get(), &elsewhere), S_OK);
    EXPECT_EQ(ThreadCount(), threads);
    EXPECT_EQ(object.refs + function.refs + elsewhere.refs, 3u);
    WriteFromAnotherProcess(key + L"\\sub", 6);
    Pump(object, 2, 1000);
    EXPECT_EQ(object.calls.size() + function.calls.size() + elsewhere.calls.size(), 2u);

    // A branch that goes with an observer lets it go and leaves the module free to unload.
    ASSERT_EQ(branch->addObserver(Bstr(L"").get(), &object, VARIANT_FALSE), S_OK);
    branch.reset();
    EXPECT_EQ(object.refs, 1u);
    EXPECT_EQ(ThreadCount(), threads);
    EXPECT_EQ(::DllCanUnloadNow(), S_OK);
}

} // namespace
