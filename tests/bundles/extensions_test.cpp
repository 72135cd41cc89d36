// The Extensions key as the library reads it in this program's storage mode (Wine reports
// Windows 6.1 by default: the LowRegistry mirror).
#include "bundles/BundleTestModule.h"
#include "bundles/Extensions.h"

#include <gtest/gtest.h>

namespace {

TEST(Extensions, ThisProgramUsesTheLowLocations) {
    EXPECT_TRUE(UseLowStorage());
}

TEST(Extensions, LooksNamesUp) {
    const bool low = UseLowStorage();
    ScopedExtension package(low, L"zbt-cpp-pkg", L"C:\\Apps\\Zbt\\zbt.dll");
    ScopedExtension token(low, L"{zbt-cpp-id}", L"C:\\Apps\\Zbt");
    ScopedExtension emptyText(low, L"zbt-cpp-empty", L"");
    ScopedExtension noValue(low, L"zbt-cpp-novalue", REG_SZ, nullptr, 0);
    const wchar_t unterminated[] = {L'a', L'b', L'c'};
    ScopedExtension binary(low, L"zbt-cpp-binary", REG_BINARY, unterminated, sizeof(unterminated));
    const wchar_t embedded[] = L"first\0second";
    ScopedExtension multi(low, L"zbt-cpp-multi", REG_MULTI_SZ, embedded, sizeof(embedded));
    ScopedExtension otherMode(!low, L"zbt-cpp-othermode", L"Z:\\other.dll");

    const struct {
        const wchar_t* name;
        HRESULT hr;
        const wchar_t* text;
    } cases[] = {
        {L"zbt-cpp-pkg", S_OK, L"C:\\Apps\\Zbt\\zbt.dll"},
        {L"ZBT-CPP-PKG", S_OK, L"C:\\Apps\\Zbt\\zbt.dll"},
        {L"{zbt-cpp-id}", S_OK, L"C:\\Apps\\Zbt"},
        {L"zbt-cpp-empty", S_OK, L""},
        {L"zbt-cpp-novalue", E_FAIL, L"untouched"},
        {L"zbt-cpp-binary", S_OK, L"abc"},
        {L"zbt-cpp-multi", S_OK, L"first"},
        {L"zbt-cpp-othermode", E_FAIL, L"untouched"},
        {L"zbt-cpp-missing", E_FAIL, L"untouched"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "name: " << testing::PrintToString(std::wstring(c.name)));
        std::wstring text = L"untouched";
        EXPECT_EQ(LookupExtension(c.name, text), c.hr);
        EXPECT_EQ(text, c.text);
    }

    std::wstring resolved;
    EXPECT_EQ(ResolveUrl(L"chrome://zbt-cpp-pkg/locale/en-US/App.Properties", resolved), S_OK);
    EXPECT_EQ(resolved, L"res://C:\\Apps\\Zbt\\zbt.dll/APP.PROPERTIES");
    EXPECT_EQ(ResolveUrl(L"{zbt-cpp-id}\\locale\\app.properties", resolved), S_OK);
    EXPECT_EQ(resolved, L"C:\\Apps\\Zbt\\locale\\app.properties");
}

TEST(Extensions, ReadingNeverCreatesAKey) {
    std::wstring text;
    EXPECT_EQ(LookupExtension(L"zbt-cpp-never-created", text), E_FAIL);
    EXPECT_FALSE(ExtensionKeyExists(UseLowStorage(), L"zbt-cpp-never-created"));
}

} // namespace
