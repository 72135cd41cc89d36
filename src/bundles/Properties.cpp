#include "bundles/Properties.h"

#include <algorithm>
#include <cwctype>

bool IsPropertiesSpace(wchar_t c) noexcept {
    return std::iswspace(c) != 0;
}

std::wstring_view TrimPropertiesSpace(std::wstring_view text) noexcept {
    size_t end = text.size();
    while (end > 0 && IsPropertiesSpace(text[end - 1]))
        --end;
    size_t begin = 0;
    while (begin < end && IsPropertiesSpace(text[begin]))
        ++begin;
    return text.substr(begin, end - begin);
}

void ParsePropertiesLine(std::wstring_view line, PropertiesTable& table) {
    line = TrimPropertiesSpace(line);
    if (line.empty() || line.front() == L'#') return;
    const size_t separator = line.find(L'=');
    if (separator == std::wstring_view::npos) return;
    const std::wstring_view key = TrimPropertiesSpace(line.substr(0, separator));
    if (key.empty()) return;
    table.insert_or_assign(std::wstring(key), std::wstring(TrimPropertiesSpace(line.substr(separator + 1))));
}

void ParsePropertiesText(std::wstring_view text, PropertiesTable& table) {
    table.clear();
    // Room for one entry a line, so the table does not grow step by step.
    table.reserve(static_cast<size_t>(std::count(text.begin(), text.end(), L'\n')) + 1);
    for (size_t lineEnd = text.find(L'\n'); lineEnd != std::wstring_view::npos; lineEnd = text.find(L'\n')) {
        ParsePropertiesLine(text.substr(0, lineEnd), table);
        text.remove_prefix(lineEnd + 1);
    }
    ParsePropertiesLine(text, table);
}
