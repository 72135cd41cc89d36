// Windows opened with values, against the browser stand-in of the test prefix: the values reach the
// page whatever the bounds of the array they come in, and the library stays loaded exactly as long as
// an opened window still waits to hand values to its page.
#include "bundles/BundleTestModule.h"
#include "shared/SafeArray.h"
#include "windows/ArgumentTransfer.h"
#include "windows/StandIn.h"

#include <gtest/gtest.h>

namespace {

class StandInTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(probe.probe) << "the browser stand-in is not registered";
        ASSERT_EQ(probe.count(), 0);
    }
    void TearDown() override {
        probe.call(L"closeAll");
        probe.call(L"pump");
        EXPECT_EQ(probe.count(), 0) << "a window survived";
    }
    BrowserProbe probe;
};

TEST_F(StandInTest, EveryValueReachesThePageWhateverTheLowerBound) {
    for (LONG lower : {0L, 1L, -2L}) {
        SCOPED_TRACE(testing::Message() << "lower bound " << lower);
        SAFEARRAYBOUND bound{2, lower};
        SafeArray values(::SafeArrayCreate(VT_VARIANT, 1, &bound));
        const wchar_t* texts[] = {L"x", L"y"};
        for (LONG i = 0; i < 2; ++i) {
            LONG index = lower + i;
            Variant text;
            *text.get() = StringValue(texts[i]);
            ASSERT_EQ(::SafeArrayPutElement(values.get(), &index, text.get()), S_OK);
        }
        VARIANT parameters = Arg(VT_ARRAY | VT_VARIANT);
        parameters.parray = values.get();

        ComPtr<IDispatch> browser = CreateByProgId(L"InternetExplorer.Application");
        ASSERT_TRUE(browser);
        ComPtr<IArgumentTransfer> transfer;
        ASSERT_EQ(CArgumentTransfer::CreateLocal(transfer.put()), S_OK);
        ASSERT_EQ(transfer->Attach(browser.get(), parameters), S_OK);
        Variant ignored;
        ASSERT_EQ(CallMember(browser.get(), L"Navigate", DISPATCH_METHOD,
                             {StringValue(PageUrl(L"ARGS.HTML"))}, ignored.get()),
                  S_OK);
        EXPECT_EQ(Received(browser.get()), L"x,y");
        EXPECT_EQ(transfer->Detach(), S_OK);
        EXPECT_EQ(transfer->Detach(), S_FALSE);
        probe.call(L"closeAll");
        probe.call(L"pump");
    }
}

TEST_F(StandInTest, TheLibraryStaysLoadedWhileAWindowWaitsWithValues) {
    ASSERT_EQ(::DllCanUnloadNow(), S_OK);
    // Only the application's registered modules open.
    ScopedExtension package(UseLowStorage(), L"zbt-cpp-transfer", PagesModulePath());
    {
        ComPtr<IWindowManager> manager = Create<IWindowManager>(CLSID_WindowManager);
        ASSERT_TRUE(manager);
        Bstr url(PageUrl(L"ARGS.HTML"));
        const VARIANT value = IntArg(7);
        const VARIANT o = MissingArg();
        EXPECT_EQ(manager->openDialog(url.get(), 400, 300, value, o, o, o, o, o, o, o, o, o), S_OK);
        EXPECT_EQ(manager->openHiddenDialog(url.get(), value, o, o, o, o, o, o, o, o, o), S_OK);
        EXPECT_EQ(manager->openHiddenDialog(url.get(), o, o, o, o, o, o, o, o, o, o), S_OK);
        Bstr missing(PageUrl(L"MISSING.HTML"));
        EXPECT_EQ(manager->openDialog(missing.get(), 400, 300, value, o, o, o, o, o, o, o, o, o), S_OK);
    }
    probe.call(L"pump");
    EXPECT_EQ(probe.count(), 2) << "the shown window and the hidden one with a value";
    EXPECT_EQ(::DllCanUnloadNow(), S_FALSE) << "their transfers wait for the pages";
    probe.call(L"closeAll");
    probe.call(L"pump");
    EXPECT_EQ(probe.count(), 0);
    EXPECT_EQ(::DllCanUnloadNow(), S_OK) << "closing the windows let go of the transfers";
}

} // namespace
