// String bundles resolve chrome URLs and brace tokens through the ordinary Extensions key on Windows
// versions up to 5.
#include "bundles/BundleTestModule.h"
#include "bundles/Extensions.h"
#include "bundles/StringBundle.h"
#include "shared/Bstr.h"

#include <gtest/gtest.h>

namespace {

TEST(BundlesXp, UseTheOrdinaryExtensionsKey) {
    ASSERT_FALSE(UseLowStorage());
    ScopedExtension package(false, L"zbt-xp-bundle-pkg", TestModulePath());
    ScopedExtension lowOnly(true, L"zbt-xp-bundle-lowonly", TestModulePath());
    ScopedExtension token(false, L"{zbt-xp-bundle-id}", TestModulePath());

    std::wstring resolved;
    EXPECT_EQ(ResolveUrl(L"chrome://zbt-xp-bundle-pkg/locale/app.properties", resolved), S_OK);
    EXPECT_EQ(resolved, L"res://" + TestModulePath() + L"/APP.PROPERTIES");
    EXPECT_EQ(ResolveUrl(L"chrome://zbt-xp-bundle-lowonly/locale/app.properties", resolved), E_FAIL);

    ComPtr<IStringBundle> bundle;
    ASSERT_EQ(CStringBundle::CreateLocal(bundle.put()), S_OK);
    for (const wchar_t* url :
         {L"chrome://zbt-xp-bundle-pkg/locale/app.properties", L"res://{zbt-xp-bundle-id}/app.properties"}) {
        SCOPED_TRACE(testing::Message() << "url: " << testing::PrintToString(std::wstring(url)));
        Bstr text(url), key(L"source"), value;
        EXPECT_EQ(bundle->init(text.get()), S_OK);
        EXPECT_EQ(bundle->GetStringFromName(key.get(), value.put()), S_OK);
        EXPECT_EQ(value.view(), L"module");
    }
    Bstr lowOnlyUrl(L"chrome://zbt-xp-bundle-lowonly/locale/app.properties");
    EXPECT_EQ(bundle->init(lowOnlyUrl.get()), E_FAIL);
}

} // namespace
