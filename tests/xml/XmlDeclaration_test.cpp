#include "xml/XmlDeclaration.h"

#include <gtest/gtest.h>

#include <string>

namespace {

const std::wstring kDecl(kUtf8Declaration);

struct Case {
    const wchar_t* text;
    std::wstring expected;
};

TEST(XmlDeclaration, ReplacesOrAddsTheUtf8Declaration) {
    const Case cases[] = {
        // A declaration is replaced through its "?>"; what followed it follows the new one directly.
        {L"<?xml version=\"1.0\"?><a/>", kDecl + L"<a/>"},
        {L"<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\r\n<a>x</a>\r\n", kDecl + L"\r\n<a>x</a>\r\n"},
        {L"<?xml version='1.0' encoding='UTF-8'?>\n<a/>", kDecl + L"\n<a/>"},
        {L"<?xml\tversion=\"1.0\"?><a/>", kDecl + L"<a/>"},
        {L"<?xml\r\nversion=\"1.0\"?><a/>", kDecl + L"<a/>"},
        {L"<?xml?><a/>", kDecl + L"<a/>"},
        {L"<?xml version=\"1.0\"?><a><![CDATA[?>]]></a>", kDecl + L"<a><![CDATA[?>]]></a>"},
        // No declaration: the declaration and one line feed go in front, nothing is removed.
        {L"<a/>", kDecl + L"\n<a/>"},
        {L"", kDecl + L"\n"},
        {L"\r\n<a/>", kDecl + L"\n\r\n<a/>"},
        // Other instructions and "<?xml" in content are not declarations and are kept whole.
        {L"<?xml-stylesheet type=\"text/xsl\" href=\"s.xsl\"?>\r\n<a/>",
         kDecl + L"\n<?xml-stylesheet type=\"text/xsl\" href=\"s.xsl\"?>\r\n<a/>"},
        {L"<?xmlfoo?><a/>", kDecl + L"\n<?xmlfoo?><a/>"},
        {L"<a><!-- <?xml version=\"1.0\"?> --></a>", kDecl + L"\n<a><!-- <?xml version=\"1.0\"?> --></a>"},
        {L"<a><![CDATA[<?xml ?>]]></a>", kDecl + L"\n<a><![CDATA[<?xml ?>]]></a>"},
        {L"<!--c--><?xml version=\"1.0\"?><a/>", kDecl + L"\n<!--c--><?xml version=\"1.0\"?><a/>"},
        // An opening "<?xml" that is never closed counts as no declaration; nothing is read past the text.
        {L"<?xml version=\"1.0\"", kDecl + L"\n<?xml version=\"1.0\""},
        {L"<?xml ", kDecl + L"\n<?xml "},
        {L"<?xml", kDecl + L"\n<?xml"},
        {L"<?xml ?", kDecl + L"\n<?xml ?"},
    };
    int index = 0;
    for (const Case& c : cases) {
        EXPECT_EQ(WithUtf8Declaration(c.text), c.expected) << "case " << index;
        ++index;
    }
}

TEST(XmlDeclaration, FixedTextIsThirtyEightCharacters) {
    EXPECT_EQ(kUtf8Declaration.size(), 38u);
}

TEST(XmlDeclaration, LengthEndsAfterTheFirstClose) {
    EXPECT_EQ(XmlDeclarationLength(L"<?xml version=\"1.0\"?><?pi x?>"), 21u);
    EXPECT_EQ(XmlDeclarationLength(std::wstring_view(L"<?xml ?>\0<a/>", 13)), 8u);
    EXPECT_EQ(XmlDeclarationLength(L" <?xml version=\"1.0\"?>"), 0u);
}

} // namespace
