#include "xml/DOMSerializer.h"

#include "host/XmlServices.h"
#include "xml/FakeStreams.h"
#include "xml/XmlDeclaration.h"
#include "support/ComTest.h"

#include <gtest/gtest.h>

namespace {

const std::wstring kDecl(kUtf8Declaration);

class DOMSerializerTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_HRESULT_SUCCEEDED(CDOMSerializer::CreateLocal(serializer.put()));
        ASSERT_HRESULT_SUCCEEDED(CreateXmlDocument(doc));
    }
    void Load(const wchar_t* xml) {
        Bstr text(xml);
        VARIANT_BOOL loaded = VARIANT_FALSE;
        ASSERT_HRESULT_SUCCEEDED(doc->loadXML(text.get(), &loaded));
        ASSERT_EQ(loaded, VARIANT_TRUE);
    }
    ComPtr<IXMLDOMElement> Root() {
        ComPtr<IXMLDOMElement> root;
        EXPECT_HRESULT_SUCCEEDED(doc->get_documentElement(root.put()));
        return root;
    }

    ComPtr<IDOMSerializer> serializer;
    ComPtr<IXMLDOMDocument> doc;
};

TEST_F(DOMSerializerTest, ArgumentChecksComeInOrder) {
    Fake<FakeOutputStream> out = MakeFake<FakeOutputStream>();
    BSTR sentinel = reinterpret_cast<BSTR>(0xdeadbeef);
    BSTR s = sentinel;
    VARIANT none{};
    VARIANT nullObject = ObjectArg(nullptr);
    // The root is examined before the result pointer.
    EXPECT_EQ(serializer->serializeToString(none, nullptr), E_INVALIDARG);
    EXPECT_EQ(serializer->serializeToString(nullObject, &s), E_INVALIDARG);
    EXPECT_EQ(serializer->serializeToString(out.arg(), &s), E_INVALIDARG); // an object that is not a node
    EXPECT_EQ(serializer->serializeToString(TextArg(Bstr(L"<a/>").get()), &s), E_INVALIDARG);
    EXPECT_EQ(s, sentinel);
    EXPECT_EQ(serializer->serializeToString(ObjectArg(doc.get()), nullptr), E_POINTER);

    // Both types before anything else, then the root's object, then the stream's.
    EXPECT_EQ(serializer->serializeToStream(nullObject, TextArg(Bstr(L"x").get()), MissingArg()),
              E_INVALIDARG);
    EXPECT_EQ(serializer->serializeToStream(TextArg(Bstr(L"<a/>").get()), out.arg(), MissingArg()),
              E_INVALIDARG);
    EXPECT_EQ(serializer->serializeToStream(ObjectArg(doc.get()), TextArg(Bstr(L"x").get()), MissingArg()),
              E_INVALIDARG);
    EXPECT_EQ(serializer->serializeToStream(nullObject, out.arg(), MissingArg()), E_INVALIDARG);
    EXPECT_EQ(serializer->serializeToStream(out.arg(), out.arg(), MissingArg()), E_INVALIDARG);
    EXPECT_EQ(serializer->serializeToStream(ObjectArg(doc.get()), nullObject, MissingArg()), E_NOTIMPL);
    EXPECT_EQ(serializer->serializeToStream(ObjectArg(doc.get()), ObjectArg(doc.get()), MissingArg()),
              E_NOTIMPL);
    EXPECT_EQ(out->writes, 0);
}

TEST_F(DOMSerializerTest, WritesTheWholeDocumentOnceWithItsLength) {
    Load(L"<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><r><e>t\u00e9</e></r>");
    Fake<FakeOutputStream> out = MakeFake<FakeOutputStream>();
    ComPtr<IXMLDOMNode> e;
    ASSERT_HRESULT_SUCCEEDED(Root()->get_firstChild(e.put()));

    Bstr whole;
    ASSERT_HRESULT_SUCCEEDED(doc->get_xml(whole.put()));
    EXPECT_EQ(
        serializer->serializeToStream(ObjectArg(e.get()), out.arg(), TextArg(Bstr(L"ISO-8859-1").get())),
        S_OK);
    EXPECT_EQ(out->writes, 1);
    EXPECT_EQ(out->text, WithUtf8Declaration(whole.view()));
    EXPECT_EQ(out->text.rfind(L"<?xml", std::wstring::npos), 0u) << "one declaration only";
    EXPECT_EQ(out->counted, static_cast<LONG>(out->text.size()));

    // The string form of the same element is only the element.
    Bstr s;
    EXPECT_EQ(serializer->serializeToString(ObjectArg(e.get()), s.put()), S_OK);
    EXPECT_EQ(s.view(), L"<e>t\u00e9</e>");
    // ... and of the document keeps its own declaration.
    EXPECT_EQ(serializer->serializeToString(ObjectArg(doc.get()), s.put()), S_OK);
    EXPECT_EQ(s.view(), whole.view());
}

TEST_F(DOMSerializerTest, EmptyAndDetachedNodesWriteTheirDocument) {
    Fake<FakeOutputStream> out = MakeFake<FakeOutputStream>();
    ComPtr<IXMLDOMElement> loose;
    Bstr name(L"loose");
    ASSERT_HRESULT_SUCCEEDED(doc->createElement(name.get(), loose.put()));
    EXPECT_EQ(serializer->serializeToStream(ObjectArg(loose.get()), out.arg(), MissingArg()), S_OK);
    EXPECT_EQ(out->text, kDecl + L"\n");
}

TEST_F(DOMSerializerTest, StreamFailuresReachTheCaller) {
    Load(L"<a/>");
    const struct {
        HRESULT result;
        LONG shortBy;
        HRESULT expected;
    } cases[] = {
        {S_OK, 0, S_OK},
        {S_FALSE, 0, S_OK},
        {S_OK, -5, S_OK}, // more reported than given: UTF-8 of non-ASCII text
        {S_OK, 1, E_FAIL},
        {E_UNEXPECTED, 0, E_UNEXPECTED},
        {E_ACCESSDENIED, 0, E_ACCESSDENIED},
    };
    int index = 0;
    for (const auto& c : cases) {
        Fake<FakeOutputStream> out = MakeFake<FakeOutputStream>();
        out->result = c.result;
        out->shortBy = c.shortBy;
        EXPECT_EQ(serializer->serializeToStream(ObjectArg(doc.get()), out.arg(), MissingArg()), c.expected)
            << "case " << index;
        EXPECT_EQ(out->text.substr(0, kDecl.size() + 1), kDecl + L"\n") << "case " << index;
        ++index;
    }
}

} // namespace
