// The text rules of the reading stream: charset labels, byte-order marks, decoding with replacement,
// line ends, and the name of the temporary file of an atomic write.
#include "files/StreamFiles.h"
#include "files/TextDecoding.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using namespace TextDecoding;
using Bytes = std::vector<unsigned char>;
constexpr size_t kAll = ~size_t(0);

TEST(TextDecoding, Labels) {
    const struct {
        const wchar_t* label;
        std::optional<Charset> charset;
    } rows[] = {{L"UTF-8", Charset::Utf8},
                {L" utf8\t", Charset::Utf8},
                {L"ISO-8859-1", Charset::Windows1252},
                {L"us-ascii", Charset::Windows1252},
                {L"UTF-16", Charset::Utf16LE},
                {L"utf- 8", std::nullopt}};
    for (const auto& row : rows)
        EXPECT_EQ(CharsetFromLabel(row.label), row.charset) << row.label;
}

TEST(TextDecoding, ByteOrderMarks) {
    const struct {
        Bytes bytes;
        bool final;
        std::optional<Charset> charset; // nothing: no mark; Bytes: undecided
        size_t length;
    } rows[] = {{{0xEF, 0xBB, 0xBF, 0x61}, false, Charset::Utf8, 3},
                {{0xFE, 0xFF, 0}, false, Charset::Utf16BE, 2},
                {{0xEF, 0xBB}, false, Charset::Bytes, 0},
                {{0xEF, 0xBB}, true, std::nullopt, 0},
                {{0xEF, 0x61}, false, std::nullopt, 0}};
    for (size_t i = 0; i < std::size(rows); ++i) {
        const std::optional<Bom> bom = SniffBom(rows[i].bytes, rows[i].final);
        ASSERT_EQ(bom.has_value(), rows[i].charset.has_value()) << "row " << i;
        if (!bom) continue;
        EXPECT_EQ(bom->undecided, rows[i].charset == Charset::Bytes) << "row " << i;
        EXPECT_EQ(bom->charset, *rows[i].charset) << "row " << i;
        EXPECT_EQ(bom->length, rows[i].length) << "row " << i;
    }
}

TEST(TextDecoding, Decode) {
    const struct {
        Charset charset;
        Bytes bytes;
        bool final;
        wchar_t replacement;
        size_t limit;
        std::wstring text;
        size_t used;
        bool malformed;
    } rows[] = {
        {Charset::Utf8, {0x61, 0xC3, 0xA9}, false, 0xFFFD, kAll, L"a\u00E9", 3, false},
        {Charset::Utf8, {0xE2, 0x82}, false, 0xFFFD, kAll, L"", 0, false},
        {Charset::Utf8, {0xE2, 0x82}, true, 0xFFFD, kAll, L"\uFFFD", 2, false},
        {Charset::Utf8, {0xE2, 0x28, 0xA1}, false, 0xFFFD, kAll, L"\uFFFD(\uFFFD", 3, false},
        {Charset::Utf8, {0xED, 0xA0, 0x80}, false, 0xFFFD, kAll, L"\uFFFD\uFFFD\uFFFD", 3, false},
        {Charset::Utf8, {0xC0, 0x80, 0xF4, 0x90}, false, 0xFFFD, kAll, L"\uFFFD\uFFFD\uFFFD\uFFFD", 4, false},
        {Charset::Utf8, {0xF0, 0x9F, 0x98, 0x80, 0x61}, false, 0xFFFD, 1, L"\xD83D\xDE00", 4, false},
        {Charset::Utf8, {0x61, 0x62, 0x63}, false, 0xFFFD, 2, L"ab", 2, false},
        {Charset::Utf8, {0x61, 0xFF}, false, 0, kAll, L"a", 1, true},
        {Charset::Utf8, {0x61, 0xFF}, false, L'?', kAll, L"a?", 2, false},
        {Charset::Windows1252, {0x80, 0x81, 0xE9}, false, 0, kAll, L"\u20AC\u0081\u00E9", 3, false},
        {Charset::Bytes, {0x80, 0x00, 0xFF}, false, 0, kAll, std::wstring(L"\x80\0\xFF", 3), 3, false},
        {Charset::Utf16LE,
         {0x61, 0, 0x3D, 0xD8, 0x00, 0xDE},
         false,
         0xFFFD,
         kAll,
         L"a\xD83D\xDE00",
         6,
         false},
        {Charset::Utf16LE, {0x61, 0, 0x3D, 0xD8}, false, 0xFFFD, kAll, L"a", 2, false},
        {Charset::Utf16LE, {0x00, 0xDC, 0x61}, true, 0xFFFD, kAll, L"\uFFFD\uFFFD", 3, false},
        {Charset::Utf16LE, {0x3D, 0xD8, 0x61}, true, 0xFFFD, kAll, L"\uFFFD", 3, false},
        {Charset::Utf16BE, {0x00, 0x61, 0x20, 0xAC}, false, 0xFFFD, kAll, L"a\u20AC", 4, false},
    };
    for (size_t i = 0; i < std::size(rows); ++i) {
        std::wstring out;
        const DecodeStep step =
            Decode(rows[i].charset, rows[i].bytes, rows[i].final, rows[i].replacement, out, rows[i].limit);
        EXPECT_EQ(out, rows[i].text) << "row " << i;
        EXPECT_EQ(step.bytesUsed, rows[i].used) << "row " << i;
        EXPECT_EQ(step.malformed, rows[i].malformed) << "row " << i;
    }
}

TEST(TextDecoding, LineEnds) {
    const struct {
        Charset charset;
        Bytes bytes;
        bool final;
        bool found;
        size_t textBytes, endBytes;
    } rows[] = {
        {Charset::Utf8, {'a', '\r', '\n', 'b'}, false, true, 1, 2},
        {Charset::Utf8, {'a', '\r', 'b'}, false, true, 1, 1},
        {Charset::Utf8, {'a', '\n', '\r'}, false, true, 1, 1},
        {Charset::Utf8, {'a', '\r'}, false, false, 1, 0},
        {Charset::Utf8, {'a', '\r'}, true, true, 1, 1},
        {Charset::Bytes, {'a', 'b'}, true, false, 2, 0},
        {Charset::Utf16LE, {'a', 0, '\r', 0, '\n', 0}, false, true, 2, 4},
        {Charset::Utf16LE, {0, '\n', 0}, true, false, 3, 0},
        {Charset::Utf16BE, {0, 'a', 0, '\n'}, false, true, 2, 2},
    };
    for (size_t i = 0; i < std::size(rows); ++i) {
        const LineEnd end = FindLineEnd(rows[i].charset, rows[i].bytes, rows[i].final);
        EXPECT_EQ(end.found, rows[i].found) << "row " << i;
        EXPECT_EQ(end.textBytes, rows[i].textBytes) << "row " << i;
        EXPECT_EQ(end.endBytes, rows[i].endBytes) << "row " << i;
    }
}

TEST(TextDecoding, TemporaryBesideTarget) {
    EXPECT_EQ(TemporaryPathBeside(L"C:\\data\\prefs.js", 0x1F), L"C:\\data\\prefs.js~0000001F.tmp");
    EXPECT_EQ(TemporaryPathBeside(L"prefs.js", 1), std::nullopt);
    EXPECT_EQ(TemporaryPathBeside(L"C:\\data\\", 1), std::nullopt);
}

} // namespace
