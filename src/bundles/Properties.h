// Properties text: key=value lines, as string bundles read them. Plain text rules over UTF-16.
#pragma once

#include <initializer_list>
#include <memory>
#include <memory_resource>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>

// Key to value; keys compare exactly (case-sensitive) and occur once. No order of its own.
// The table holds its text in one piece and its entries in one pool, so a large table is filled and
// let go in a few allocations rather than three for every entry.
class PropertiesTable {
public:
    using Map = std::pmr::unordered_map<std::wstring_view, std::wstring_view>;
    using const_iterator = Map::const_iterator;

    PropertiesTable() = default;
    PropertiesTable(std::initializer_list<std::pair<std::wstring_view, std::wstring_view>> entries);

    const_iterator begin() const noexcept { return m_state ? m_state->map.begin() : const_iterator(); }
    const_iterator end() const noexcept { return m_state ? m_state->map.end() : const_iterator(); }
    const_iterator find(std::wstring_view key) const { return m_state ? m_state->map.find(key) : end(); }
    size_t size() const noexcept { return m_state ? m_state->map.size() : 0; }
    bool empty() const noexcept { return size() == 0; }
    void clear() noexcept { m_state.reset(); }

    // Replaces the content with text, kept as the table's own, and room for entries entries; the
    // entries added next are views into that text.
    std::wstring_view Reset(std::wstring text, size_t entries);
    // Adds or replaces an entry; both views point into the text given to Reset.
    void Set(std::wstring_view key, std::wstring_view value) { m_state->map.insert_or_assign(key, value); }

private:
    // Never moved once made: the views and the pool's pointers stay valid.
    struct State {
        std::wstring text;
        std::pmr::monotonic_buffer_resource pool;
        Map map{&pool};
    };
    std::unique_ptr<State> m_state;
};

// White space is the C runtime's wide space class (iswspace), not a fixed list.
bool IsPropertiesSpace(wchar_t c) noexcept;
std::wstring_view TrimPropertiesSpace(std::wstring_view text) noexcept;

// Replaces the table's content with the lines of text. Lines end at U+000A (a CR before it is trimmed
// as white space); the text after the last line break is a line too. Each line is trimmed; blank lines,
// lines starting with '#', lines without '=' and lines with an empty key are ignored; otherwise the
// trimmed key before the first '=' gets the trimmed rest (last wins). No escapes, no continuation lines.
void ParsePropertiesText(std::wstring text, PropertiesTable& table);
inline void ParsePropertiesText(std::wstring_view text, PropertiesTable& table) {
    ParsePropertiesText(std::wstring(text), table);
}
