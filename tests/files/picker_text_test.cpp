#include "files/PickerText.h"

#include <gtest/gtest.h>

using namespace std::string_literals;

namespace {

TEST(PickerText, DialogFilterListAndLineBreaks) {
    EXPECT_EQ(PickerText::FilterEntry(L"My Files", L"*.my"), L"My Files|*.my|");
    EXPECT_EQ(PickerText::DialogFilterList(L""), L"");
    EXPECT_EQ(PickerText::DialogFilterList(L"All|*.*|My|*.my|"), L"All\0*.*\0My\0*.my\0\0"s);
    // A "|" inside a title leaves a field without its pair: the list still closes after it.
    EXPECT_EQ(PickerText::DialogFilterList(L"A|B|*.b|"), L"A\0B\0*.b\0\0\0"s);
    EXPECT_EQ(PickerText::ExpandLineBreaks(L"Choose\\na folder\\n"), L"Choose\na folder\n");
    EXPECT_EQ(PickerText::ExpandLineBreaks(L"C:\\new\\"), L"C:\new\\");
}

TEST(PickerText, SelectionPaths) {
    const struct {
        std::wstring result;
        size_t nameOffset;
        std::vector<std::wstring> paths;
    } cases[] = {
        {L"C:\\d\\a.txt\0\0"s, 5, {L"C:\\d\\a.txt"}},
        {L"C:\\d\0a.txt\0b.txt\0\0"s, 5, {L"C:\\d\\a.txt", L"C:\\d\\b.txt"}},
        {L"C:\\\0a.txt\0b.txt\0\0"s, 4, {L"C:\\a.txt", L"C:\\b.txt"}},
        // An offset that does not point among the names, and a result without its closing NUL.
        {L"C:\\d\0a.txt\0b.txt\0\0xyz\0\0"s, 20, {L"C:\\d\\a.txt", L"C:\\d\\b.txt"}},
        {L"C:\\d\0a.txt\0b.t"s, 5, {L"C:\\d\\a.txt", L"C:\\d\\b.t"}},
        {L"\0\0"s, 0, {}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(PickerText::SelectionPaths(c.result, c.nameOffset), c.paths) << c.result.c_str();
}

} // namespace
