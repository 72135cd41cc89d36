#include "bundles/Properties.h"

#include <algorithm>
#include <array>
#include <cwctype>

PropertiesTable::PropertiesTable(
    std::initializer_list<std::pair<std::wstring_view, std::wstring_view>> entries) {
    std::wstring text;
    for (const auto& [key, value] : entries)
        text.append(key).append(value);
    const std::wstring_view all = Reset(std::move(text), entries.size());
    size_t at = 0;
    for (const auto& [key, value] : entries) {
        Set(all.substr(at, key.size()), all.substr(at + key.size(), value.size()));
        at += key.size() + value.size();
    }
}

std::wstring_view PropertiesTable::Reset(std::wstring text, size_t entries) {
    m_state.reset();
    auto state = std::make_unique<State>();
    state->text = std::move(text);
    state->map.reserve(entries);
    m_state = std::move(state);
    return m_state->text;
}

bool IsPropertiesSpace(wchar_t c) noexcept {
    // The runtime's answers for ASCII, asked once: nearly every character of a bundle is ASCII.
    static const std::array<bool, 128> ascii = [] {
        std::array<bool, 128> spaces{};
        for (wchar_t a = 0; a < 128; ++a)
            spaces[a] = std::iswspace(a) != 0;
        return spaces;
    }();
    return c < 128 ? ascii[c] : std::iswspace(c) != 0;
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

namespace {

// One line of the table's own text.
void ParsePropertiesLine(std::wstring_view line, PropertiesTable& table) {
    line = TrimPropertiesSpace(line);
    if (line.empty() || line.front() == L'#') return;
    const size_t separator = line.find(L'=');
    if (separator == std::wstring_view::npos) return;
    const std::wstring_view key = TrimPropertiesSpace(line.substr(0, separator));
    if (key.empty()) return;
    table.Set(key, TrimPropertiesSpace(line.substr(separator + 1)));
}

} // namespace

void ParsePropertiesText(std::wstring source, PropertiesTable& table) {
    // Room for one entry a line, so the table does not grow step by step.
    const size_t lines = static_cast<size_t>(std::count(source.begin(), source.end(), L'\n')) + 1;
    std::wstring_view text = table.Reset(std::move(source), lines);
    for (size_t lineEnd = text.find(L'\n'); lineEnd != std::wstring_view::npos; lineEnd = text.find(L'\n')) {
        ParsePropertiesLine(text.substr(0, lineEnd), table);
        text.remove_prefix(lineEnd + 1);
    }
    ParsePropertiesLine(text, table);
}
