#include "xml/DOMParser.h"

#include "host/XmlServices.h"
#include "support/ComTest.h"
#include "support/TempFile.h"
#include "xml/FakeStreams.h"

#include <gtest/gtest.h>

namespace {

IXMLDOMDocument* const kSentinel = reinterpret_cast<IXMLDOMDocument*>(0xdeadbeef);

class DOMParserTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_HRESULT_SUCCEEDED(CDOMParser::CreateLocal(parser.put())); }
    HRESULT Parse(VARIANT stream, IXMLDOMDocument** out) {
        return parser->parseFromStream(stream, MissingArg(), MissingArg(), MissingArg(), out);
    }
    ComPtr<IDOMParser> parser;
};

TEST_F(DOMParserTest, ArgumentChecksComeInOrder) {
    Fake<FakeInputStream> stream = MakeFake<FakeInputStream>();
    IXMLDOMDocument* doc = kSentinel;
    Bstr text(L"<a/>");

    EXPECT_EQ(parser->parseFromString(text.get(), MissingArg(), &doc), E_NOTIMPL);
    EXPECT_EQ(parser->parseFromString(nullptr, MissingArg(), nullptr), E_NOTIMPL);

    // The stream's type is examined before the result pointer.
    EXPECT_EQ(Parse(TextArg(text.get()), nullptr), E_INVALIDARG);
    VARIANT none{};
    EXPECT_EQ(Parse(none, &doc), E_INVALIDARG);
    IDispatch* object = stream.dispatch.get();
    VARIANT byRef = Arg(VT_DISPATCH | VT_BYREF);
    byRef.ppdispVal = &object;
    EXPECT_EQ(Parse(byRef, &doc), E_INVALIDARG);
    EXPECT_EQ(Parse(stream.arg(), nullptr), E_POINTER);
    EXPECT_EQ(stream->tells, 0);

    const VARIANT nullObject = ObjectArg(nullptr);
    EXPECT_EQ(Parse(nullObject, nullptr), E_POINTER);
    EXPECT_EQ(Parse(nullObject, &doc), E_NOTIMPL);
    EXPECT_EQ(doc, kSentinel);
}

TEST_F(DOMParserTest, OnlyAStreamAtItsStartThatNamesItsFileIsParsed) {
    TempFile file(L"parser-fake.xml");
    ASSERT_TRUE(file.write("<?xml version=\"1.0\"?>\n<root><c/></root>\n"));

    Fake<FakeInputStream> moved = MakeFake<FakeInputStream>();
    moved->path = file.path();
    moved->position = 1;
    Fake<FakeInputStream> failingTell = MakeFake<FakeInputStream>();
    failingTell->path = file.path();
    failingTell->tellResult = E_UNEXPECTED;
    Fake<FakeInputStream> failingPath = MakeFake<FakeInputStream>();
    failingPath->pathResult = E_OUTOFMEMORY;
    Fake<FakeInputStream> missing = MakeFake<FakeInputStream>();
    missing->path = file.path() + L".missing";
    Fake<FakeInputStream::Unnamed> unnamed = MakeFake<FakeInputStream::Unnamed>();
    unnamed->path = file.path();
    ComPtr<IXMLDOMDocument> other;
    ASSERT_HRESULT_SUCCEEDED(CreateXmlDocument(other));
    const VARIANT notAStream = ObjectArg(other.get());

    const struct {
        VARIANT stream;
        HRESULT expected;
    } cases[] = {
        {moved.arg(), E_NOTIMPL}, {failingTell.arg(), E_UNEXPECTED}, {failingPath.arg(), E_OUTOFMEMORY},
        {missing.arg(), E_FAIL},  {unnamed.arg(), E_NOTIMPL},        {notAStream, E_NOTIMPL},
    };
    int index = 0;
    for (const auto& c : cases) {
        IXMLDOMDocument* doc = kSentinel;
        EXPECT_EQ(Parse(c.stream, &doc), c.expected) << "case " << index;
        EXPECT_EQ(doc, kSentinel) << "case " << index;
        ++index;
    }

    Fake<FakeInputStream> fresh = MakeFake<FakeInputStream>();
    fresh->path = file.path();
    ComPtr<IXMLDOMDocument> doc;
    ASSERT_EQ(Parse(fresh.arg(), doc.put()), S_OK);
    ComPtr<IXMLDOMElement> root;
    ASSERT_HRESULT_SUCCEEDED(doc->get_documentElement(root.put()));
    Bstr name;
    ASSERT_HRESULT_SUCCEEDED(root->get_tagName(name.put()));
    EXPECT_EQ(name.view(), L"root");
}

// The file named is the file read, whatever its name holds: a name that reads as an escape ("%41" is
// "A") beside the file it would decode to, a "#", blanks, characters beyond ASCII.
TEST_F(DOMParserTest, TheStreamsOwnFileIsReadWhateverItsName) {
    TempFile decoyA(L"pA.xml");
    TempFile decoyPartial(L"a");
    ASSERT_TRUE(decoyA.write("<decoy/>"));
    ASSERT_TRUE(decoyPartial.write("<decoy/>"));
    for (const wchar_t* name : {L"p%41.xml", L"a#b.xml", L"with  blanks .xml", L"\u00fcber\u20ac.xml"}) {
        TempFile file(name);
        ASSERT_TRUE(file.write("<named/>"));
        Fake<FakeInputStream> stream = MakeFake<FakeInputStream>();
        stream->path = file.path();
        ComPtr<IXMLDOMDocument> doc;
        ASSERT_EQ(Parse(stream.arg(), doc.put()), S_OK) << name;
        ComPtr<IXMLDOMElement> root;
        ASSERT_HRESULT_SUCCEEDED(doc->get_documentElement(root.put()));
        Bstr tag;
        ASSERT_HRESULT_SUCCEEDED(root->get_tagName(tag.put()));
        EXPECT_EQ(tag.view(), L"named") << name;
    }
}

TEST_F(DOMParserTest, NotWellFormedFileFails) {
    TempFile file(L"parser-bad.xml");
    ASSERT_TRUE(file.write("<root><c></root>"));
    Fake<FakeInputStream> stream = MakeFake<FakeInputStream>();
    stream->path = file.path();
    IXMLDOMDocument* doc = kSentinel;
    EXPECT_EQ(Parse(stream.arg(), &doc), E_FAIL);
    EXPECT_EQ(doc, kSentinel);
}

} // namespace
