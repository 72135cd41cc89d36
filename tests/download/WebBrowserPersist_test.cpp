#include "download/WebBrowserPersist.h"
#include "shared/Bstr.h"

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

} // namespace
