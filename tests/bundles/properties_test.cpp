#include "bundles/Properties.h"
#include "bundles/PropertiesSource.h"

#include <gtest/gtest.h>

#include <map>

namespace {

using Entries = std::map<std::wstring, std::wstring>;

Entries Parse(std::wstring_view text) {
    PropertiesTable table{{L"stale", L"entry"}};
    ParsePropertiesText(text, table);
    return Entries(table.begin(), table.end());
}

Entries ParseUtf8(std::string_view bytes) {
    std::wstring text;
    EXPECT_EQ(DecodeUtf8(bytes, text), S_OK);
    return Parse(text);
}

TEST(Properties, WorkedExample) {
    const wchar_t* text = L"# Dialog strings\n"
                          L"title = Export\n"
                          L"  prompt  =  Choose a file:  \n"
                          L"ok=OK=Yes\n"
                          L"empty=\n"
                          L"=orphan\n"
                          L"note: not a pair\n"
                          L"path=C:\\temp\\new\n"
                          L"title=Export data\n";
    EXPECT_EQ(Parse(text), (Entries{{L"title", L"Export data"},
                                    {L"prompt", L"Choose a file:"},
                                    {L"ok", L"OK=Yes"},
                                    {L"empty", L""},
                                    {L"path", L"C:\\temp\\new"}}));
}

TEST(Properties, Lines) {
    const struct {
        const wchar_t* text;
        Entries expected;
    } cases[] = {
        {L"a=1\r\nb=2\r\n", {{L"a", L"1"}, {L"b", L"2"}}},
        {L"a=1\nb=2", {{L"a", L"1"}, {L"b", L"2"}}},
        {L"a=1\rb=2", {{L"a", L"1\rb=2"}}},
        {L"a=1\na=2", {{L"a", L"2"}}},
        {L"   #c=1\n#d=2\n", {}},
        {L"a#b=c\n!x=1", {{L"a#b", L"c"}, {L"!x", L"1"}}},
        {L"Key=upper\nkey=lower", {{L"Key", L"upper"}, {L"key", L"lower"}}},
        {L"=v\n   \nx:y\n\n\n", {}},
        {L"k=a\\nb\\t\\u0041", {{L"k", L"a\\nb\\t\\u0041"}}},
        {L"long=first \\\nsecond=line", {{L"long", L"first \\"}, {L"second", L"line"}}},
        {L"\tkey\v=\fvalue \t", {{L"key", L"value"}}},
        {L"k = a b  c ", {{L"k", L"a b  c"}}},
        {L"\x3000wide\x3000=\x3000ideographic\x3000", {{L"wide", L"ideographic"}}},
        {L"", {}},
        {L"\n", {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "text: " << testing::PrintToString(std::wstring(c.text)));
        EXPECT_EQ(Parse(c.text), c.expected);
    }
}

TEST(Properties, Utf8) {
    // The byte-order mark is decoded as U+FEFF and is not white space: the first key keeps it.
    EXPECT_EQ(ParseUtf8("\xEF\xBB\xBFkey=v\nother=w"), (Entries{{L"\xFEFFkey", L"v"}, {L"other", L"w"}}));
    EXPECT_EQ(ParseUtf8("gr\xC3\xBC\xC3\x9F=\xE2\x82\xAC"), (Entries{{L"gr\xFC\xDF", L"\x20AC"}}));
    // Malformed bytes do not fail the load.
    EXPECT_EQ(ParseUtf8("bad=\xFF\nok=1").count(L"ok"), 1u);
    std::wstring text = L"unchanged";
    EXPECT_EQ(DecodeUtf8("", text), S_OK);
    EXPECT_EQ(text, L"");
}

TEST(Properties, SpaceClassIsTheRuntimes) {
    for (wchar_t c : {L' ', L'\t', L'\n', L'\v', L'\f', L'\r'})
        EXPECT_TRUE(IsPropertiesSpace(c)) << int(c);
    for (wchar_t c : {L'a', L'=', L'#', L'\\', L'\0'})
        EXPECT_FALSE(IsPropertiesSpace(c)) << int(c);
    EXPECT_EQ(TrimPropertiesSpace(L" \t a b \r"), L"a b");
    EXPECT_EQ(TrimPropertiesSpace(L" \t "), L"");
}

} // namespace
