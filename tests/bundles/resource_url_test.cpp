#include "bundles/ResourceUrl.h"

#include <gtest/gtest.h>

#include <map>
#include <vector>

namespace {

// The Extensions key of the examples, as a lookup that records every name it is asked for. Names
// match without regard to case, as registry key names do.
struct FakeExtensions {
    std::map<std::wstring, std::wstring> registered{{L"myapp", L"C:\\Apps\\MyApp\\myapp.dll"},
                                                    {L"{myapp-id}", L"C:\\Apps\\MyApp"},
                                                    {L"{id}x{id}", L"SPAN"},
                                                    {L"a", L"A.dll"}};
    std::vector<std::wstring> asked;

    ExtensionLookup lookup() {
        return [this](const std::wstring& name, std::wstring& text) -> HRESULT {
            asked.push_back(name);
            std::wstring lower = name;
            for (wchar_t& c : lower)
                c = towlower(c);
            auto found = registered.find(lower);
            if (found == registered.end()) return E_FAIL;
            text = found->second;
            return S_OK;
        };
    }
};

TEST(ResourceUrl, SplitsUrls) {
    const struct {
        const wchar_t* url;
        const wchar_t* scheme;
        const wchar_t* module;
        const wchar_t* resource;
    } cases[] = {
        {L"res://C:\\Apps\\MyApp\\myapp.dll/app.properties", L"res", L"C:\\Apps\\MyApp\\myapp.dll",
         L"APP.PROPERTIES"},
        {L"RES://m.dll", L"res", L"", L"M.DLL"},
        {L"C:\\data\\app.properties", L"", L"", L""},
        {L"://x", L"", L"", L""},
        {L"RES://x", L"res", L"", L"X"},
        {L"a://b://c", L"a", L"", L""},
        {L"Chrome://myapp/content/main.html", L"chrome", L"", L""},
        {L"res://dir/sub/m.dll/Mixed.Case", L"res", L"dir/sub/m.dll", L"MIXED.CASE"},
        {L"res:///x", L"res", L"", L"X"},
        {L"res://m.dll/", L"res", L"m.dll", L""},
        {L"", L"", L"", L""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "url: " << testing::PrintToString(std::wstring(c.url)));
        EXPECT_EQ(GetUrlScheme(c.url), c.scheme);
        EXPECT_EQ(GetResModulePath(c.url), c.module);
        EXPECT_EQ(GetResResourceName(c.url), c.resource);
    }
}

TEST(ResourceUrl, Resolves) {
    const struct {
        const wchar_t* url;
        HRESULT hr;
        const wchar_t* resolved; // for a failure: the output is left untouched
        std::vector<std::wstring> asked;
    } cases[] = {
        // The worked examples.
        {L"chrome://myapp/locale/en-US/app.properties",
         S_OK,
         L"res://C:\\Apps\\MyApp\\myapp.dll/APP.PROPERTIES",
         {L"myapp"}},
        {L"Chrome://myapp/content/main.html",
         S_OK,
         L"res://C:\\Apps\\MyApp\\myapp.dll/MAIN.HTML",
         {L"myapp"}},
        {L"{myapp-id}\\locale\\app.properties",
         S_OK,
         L"C:\\Apps\\MyApp\\locale\\app.properties",
         {L"{myapp-id}"}},
        {L"res://{myapp-id}\\myapp.dll/strings.properties",
         S_OK,
         L"res://C:\\Apps\\MyApp\\myapp.dll/strings.properties",
         {L"{myapp-id}"}},
        {L"chrome://other/content/x.html", E_FAIL, L"untouched", {L"other"}},
        {L"C:\\data\\page.html", S_OK, L"C:\\data\\page.html", {}},
        // chrome URLs: the package ends at the first '/' from index 10; the file part is upper-cased,
        // the registered text is kept as registered; brace tokens are not expanded.
        {L"chrome://abc", E_FAIL, L"untouched", {}},
        {L"chrome://a/b", S_OK, L"res://A.dll/B", {L"a"}},
        {L"chrome://", E_FAIL, L"untouched", {}},
        {L"chrome://a", E_FAIL, L"untouched", {}},
        {L"chrome://MyApp/skin/Logo.Png", S_OK, L"res://C:\\Apps\\MyApp\\myapp.dll/LOGO.PNG", {L"MyApp"}},
        {L"chrome://myapp/{myapp-id}/x.html", S_OK, L"res://C:\\Apps\\MyApp\\myapp.dll/X.HTML", {L"myapp"}},
        // Brace tokens: one span from the first '{' to the last '}'; a brace alone fails.
        {L"{id}x{id}\\file", S_OK, L"SPAN\\file", {L"{id}x{id}"}},
        {L"C:\\data\\{page.html", E_FAIL, L"untouched", {}},
        {L"C:\\data\\page}.html", E_FAIL, L"untouched", {}},
        {L"{unknown}\\x", E_FAIL, L"untouched", {L"{unknown}"}},
        {L"http://host/{myapp-id}/p", S_OK, L"http://host/C:\\Apps\\MyApp/p", {L"{myapp-id}"}},
        {L"", S_OK, L"", {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "url: " << testing::PrintToString(std::wstring(c.url)));
        FakeExtensions extensions;
        std::wstring resolved = L"untouched";
        EXPECT_EQ(ResolveUrl(c.url, extensions.lookup(), resolved), c.hr);
        EXPECT_EQ(resolved, c.resolved);
        EXPECT_EQ(extensions.asked, c.asked);
    }
}

TEST(ResourceUrl, LookupFailureIsPassedOn) {
    auto denied = [](const std::wstring&, std::wstring&) -> HRESULT { return E_ACCESSDENIED; };
    std::wstring resolved;
    EXPECT_EQ(ResolveUrl(L"chrome://p/f", denied, resolved), E_ACCESSDENIED);
    EXPECT_EQ(ResolveUrl(L"{t}", denied, resolved), E_ACCESSDENIED);
}

} // namespace
