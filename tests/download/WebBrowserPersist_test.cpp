#include "download/WebBrowserPersist.h"
#include "download/FakeListener.h"
#include "files/LocalFile.h"
#include "shared/Storage.h"
#include "support/TempFile.h"
#include "support/ComTest.h"
#include "support/Scoped.h"

#include <gtest/gtest.h>

namespace {

TEST(WebBrowserPersist, ListenerIsReadBackAndCleared) {
    ComPtr<IWebBrowserPersist> persist;
    ASSERT_EQ(CWebBrowserPersist::CreateLocal(persist.put()), S_OK);
    EXPECT_EQ(persist->get_progressListener(nullptr), E_POINTER);

    IDispatch* got = reinterpret_cast<IDispatch*>(0xdeadbeef);
    EXPECT_EQ(persist->get_progressListener(&got), S_OK);
    EXPECT_EQ(got, nullptr);

    // Any automation object serves; this one is another persist object.
    ComPtr<IDispatch> listener;
    ASSERT_EQ(CWebBrowserPersist::CreateLocal(listener.put()), S_OK);
    EXPECT_EQ(persist->put_progressListener(listener.get()), S_OK);
    ComPtr<IDispatch> back;
    EXPECT_EQ(persist->get_progressListener(back.put()), S_OK);
    EXPECT_EQ(back.get(), listener.get());
    back.reset();

    EXPECT_EQ(persist->put_progressListener(nullptr), S_OK);
    got = reinterpret_cast<IDispatch*>(0xdeadbeef);
    EXPECT_EQ(persist->get_progressListener(&got), S_OK);
    EXPECT_EQ(got, nullptr);
}

TEST(WebBrowserPersist, MissingArgumentsAreRefusedFirst) {
    ComPtr<IWebBrowserPersist> persist;
    ASSERT_EQ(CWebBrowserPersist::CreateLocal(persist.put()), S_OK);
    Bstr uri(L"file:///C:/windows/win.ini");
    Bstr empty(L"");
    EXPECT_EQ(persist->saveURI(nullptr, nullptr), E_INVALIDARG);
    EXPECT_EQ(persist->saveURI(uri.get(), nullptr), E_INVALIDARG);
    EXPECT_EQ(persist->saveURI(empty.get(), nullptr), E_INVALIDARG);
}

// A local file whose path and safe flag are set directly, as the library's own objects do.
ComPtr<ILocalFile> FileAt(const std::wstring& path, VARIANT_BOOL safe) {
    ComPtr<ILocalFile> file;
    EXPECT_EQ(CLocalFile::CreateLocal(file.put()), S_OK);
    ComPtr<ISafeLocalFile> named;
    EXPECT_EQ(file.As(named), S_OK);
    Bstr text(path);
    EXPECT_EQ(named->init(text.get(), safe), S_OK);
    return file;
}

// Only VARIANT_TRUE itself marks a file safe; an unsafe one is refused before the download starts.
TEST(WebBrowserPersist, UnsafeFileIsRefusedWithoutDownloadOrNotification) {
    TempFile dest(L"persist-unsafe-dest.bin");
    ComPtr<IWebBrowserPersist> persist;
    ASSERT_EQ(CWebBrowserPersist::CreateLocal(persist.put()), S_OK);
    auto* listener = new CComObject<FakeListener>();
    ComPtr<IDispatch> listenerRef;
    listener->QueryInterface(IID_IDispatch, listenerRef.put_void());
    ASSERT_EQ(persist->put_progressListener(listenerRef.get()), S_OK);

    Bstr uri(L"file:///C:/windows/win.ini");
    for (VARIANT_BOOL flag : {VARIANT_BOOL(VARIANT_FALSE), VARIANT_BOOL(1)}) {
        EXPECT_EQ(persist->saveURI(uri.get(), FileAt(dest.path(), flag).get()), E_ACCESSDENIED);
        EXPECT_FALSE(dest.exists());
    }
    EXPECT_TRUE(listener->calls.empty());
    // The same file marked safe is written, from a source a page may read: its own data.
    std::wstring folder;
    ASSERT_EQ(PrivateDataFolder(folder), S_OK);
    ::CreateDirectoryW(folder.c_str(), nullptr);
    const ScopedFile owned(folder + L"\\zbx-persist-" + std::to_wstring(::GetCurrentProcessId()) + L".txt");
    const std::wstring& own = owned.get();
    {
        API::Win32::File source;
        ASSERT_TRUE(source.open(own.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
        ASSERT_TRUE(source.write("note", 4));
    }
    Bstr ownUri(L"file:///" + own);
    EXPECT_EQ(persist->saveURI(ownUri.get(), FileAt(dest.path(), VARIANT_TRUE).get()), S_OK);
    EXPECT_TRUE(dest.exists());
    EXPECT_EQ(listener->calls.size(), 1u);
}

// Reading a device as a source would block the calling thread for ever: such sources are refused
// before anything starts, the listener included.
TEST(WebBrowserPersist, DeviceSourcesAreRefusedBeforeTheTransfer) {
    TempFile dest(L"persist-device-dest.bin");
    ComPtr<IWebBrowserPersist> persist;
    ASSERT_EQ(CWebBrowserPersist::CreateLocal(persist.put()), S_OK);
    auto* listener = new CComObject<FakeListener>();
    ComPtr<IDispatch> listenerRef;
    listener->QueryInterface(IID_IDispatch, listenerRef.put_void());
    ASSERT_EQ(persist->put_progressListener(listenerRef.get()), S_OK);
    ComPtr<ILocalFile> target = FileAt(dest.path(), VARIANT_TRUE);

    // A source that blocks ends the program with its name rather than hanging the run.
    Watchdog watchdog("saveURI", 30000);
    for (const wchar_t* source :
         {L"C:\\windows\\COM1.txt", L"CON", L"file:///C:/windows/aux.txt", L"file:///C:/windows/NUL",
          L"C:\\x\\lpt1", L"\\\\.\\COM2", L"\\\\?\\C:\\windows\\win.ini", L"COM9.dat", L"prn"}) {
        watchdog.Begin(std::string(source, source + std::wcslen(source))); // ASCII
        Bstr uri(source);
        EXPECT_EQ(persist->saveURI(uri.get(), target.get()), E_INVALIDARG) << source;
    }
    watchdog.Begin("");
    EXPECT_FALSE(dest.exists());
    EXPECT_TRUE(listener->calls.empty());
}

} // namespace
