#include "files/PickerText.h"

#include <gtest/gtest.h>

#include <string>

using namespace std::string_literals;

namespace {

TEST(PickerText, DialogFilterList) {
    const struct {
        std::wstring in;
        std::wstring out; // before the string's own terminator
    } cases[] = {
        {L"", L""},
        {L"All Files|*.*|", L"All Files\0*.*\0\0"s},
        {L"All Files|*.*|My Files|*.my|", L"All Files\0*.*\0My Files\0*.my\0\0"s},
        // A "|" inside a title leaves a field without its pair: the list still closes after it.
        {L"A|B|*.b|", L"A\0B\0*.b\0\0\0"s},
        {L"A|*.a", L"A\0*.a\0\0"s},
    };
    for (const auto& c : cases)
        EXPECT_EQ(PickerText::DialogFilterList(c.in), c.out) << c.in;
}

TEST(PickerText, ExpandLineBreaks) {
    const struct {
        const wchar_t* in;
        const wchar_t* out;
    } cases[] = {
        {L"Choose\\na folder", L"Choose\na folder"},
        {L"\\n\\n", L"\n\n"},
        {L"C:\\new", L"C:\new"},
        {L"end\\", L"end\\"},
        {L"\\\\n", L"\\\n"},
        {L"plain", L"plain"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(PickerText::ExpandLineBreaks(c.in), c.out) << c.in;
}

TEST(PickerText, SelectionPaths) {
    using Paths = std::vector<std::wstring>;
    const struct {
        std::wstring result;
        size_t nameOffset;
        Paths paths;
    } cases[] = {
        {L"C:\\d\\a.txt\0\0"s, 5, {L"C:\\d\\a.txt"}},
        {L"C:\\d\0a.txt\0b.txt\0\0"s, 5, {L"C:\\d\\a.txt", L"C:\\d\\b.txt"}},
        {L"C:\\\0a.txt\0b.txt\0\0"s, 4, {L"C:\\a.txt", L"C:\\b.txt"}},
        // An offset that does not lie among the names is not followed.
        {L"C:\\d\0a.txt\0b.txt\0\0"s, 0, {L"C:\\d\\a.txt", L"C:\\d\\b.txt"}},
        {L"C:\\d\0a.txt\0b.txt\0\0xyz\0\0"s, 20, {L"C:\\d\\a.txt", L"C:\\d\\b.txt"}},
        // A result that fills its buffer without a closing NUL is read no further than the buffer.
        {L"C:\\d\0a.txt\0b.t"s, 5, {L"C:\\d\\a.txt", L"C:\\d\\b.t"}},
        {L"\0\0"s, 0, {}},
        {L""s, 0, {}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(PickerText::SelectionPaths(c.result, c.nameOffset), c.paths) << c.result.c_str();
}

} // namespace
