// Properties text: key=value lines, as string bundles read them. Plain text rules over UTF-16.
#pragma once

#include <string>
#include <string_view>
#include <unordered_map>

// Key to value; keys compare exactly (case-sensitive) and occur once. No order of its own.
using PropertiesTable = std::unordered_map<std::wstring, std::wstring>;

// White space is the C runtime's wide space class (iswspace), not a fixed list.
bool IsPropertiesSpace(wchar_t c) noexcept;
std::wstring_view TrimPropertiesSpace(std::wstring_view text) noexcept;

// One line: trimmed; blank lines, lines starting with '#', lines without '=' and lines with an empty
// key are ignored; otherwise the trimmed key before the first '=' gets the trimmed rest (last wins).
// No escapes, no continuation lines.
void ParsePropertiesLine(std::wstring_view line, PropertiesTable& table);

// Replaces the table's content with the lines of text. Lines end at U+000A (a CR before it is trimmed
// as white space); the text after the last line break is a line too.
void ParsePropertiesText(std::wstring_view text, PropertiesTable& table);
