#include "files/PickerText.h"

#include "files/PathRules.h"
#include "shared/TextUtil.h"

namespace PickerText {

namespace {

// The NUL-terminated strings of text from start on, up to the first empty one or the end of text.
std::vector<std::wstring_view> Strings(std::wstring_view text, size_t start) {
    std::vector<std::wstring_view> strings;
    while (start < text.size() && text[start] != L'\0') {
        size_t end = text.find(L'\0', start);
        if (end == std::wstring_view::npos) end = text.size();
        strings.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return strings;
}

} // namespace

std::wstring FilterEntry(std::wstring_view title, std::wstring_view pattern) {
    std::wstring entry;
    entry.reserve(title.size() + pattern.size() + 2);
    entry.append(title).append(1, L'|').append(pattern).append(1, L'|');
    return entry;
}

std::wstring DialogFilterList(std::wstring_view filters) {
    std::wstring list(filters);
    if (list.empty()) return list;
    size_t fields = 0;
    for (wchar_t& c : list) {
        if (c == L'|') {
            c = L'\0';
            ++fields;
        }
    }
    if (list.back() != L'\0') {
        list.push_back(L'\0');
        ++fields;
    }
    if (fields % 2 != 0) list.push_back(L'\0');
    list.push_back(L'\0');
    return list;
}

std::wstring ExpandLineBreaks(std::wstring_view title) {
    return ExpandEscape(title, L'n', L'\n');
}

std::vector<std::wstring> SelectionPaths(std::wstring_view result, size_t nameOffset) {
    const std::vector<std::wstring_view> strings = Strings(result, 0);
    if (strings.size() <= 1) return {strings.begin(), strings.end()};
    const std::wstring_view folder = strings.front();
    size_t listEnd = 0; // where the closing empty string stands
    for (std::wstring_view s : strings)
        listEnd += s.size() + 1;
    const size_t namesStart =
        nameOffset > folder.size() && nameOffset < listEnd ? nameOffset : folder.size() + 1;
    std::vector<std::wstring> paths;
    for (std::wstring_view name : Strings(result, namesStart))
        paths.push_back(PathRules::AppendNode(folder, name));
    return paths;
}

} // namespace PickerText
