// Small text helpers shared by the whole library; plain functions, no Win32.
#pragma once

#include <string>
#include <string_view>

// Case-insensitive comparison for the ASCII letters A-Z only; every other character compares exactly.
constexpr wchar_t AsciiLower(wchar_t c) noexcept {
    return (c >= L'A' && c <= L'Z') ? wchar_t(c - L'A' + L'a') : c;
}
constexpr wchar_t AsciiUpper(wchar_t c) noexcept {
    return (c >= L'a' && c <= L'z') ? wchar_t(c - L'a' + L'A') : c;
}

constexpr bool EqualsIgnoreAsciiCase(std::wstring_view a, std::wstring_view b) noexcept {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (AsciiLower(a[i]) != AsciiLower(b[i])) return false;
    return true;
}

constexpr bool StartsWithIgnoreAsciiCase(std::wstring_view text, std::wstring_view prefix) noexcept {
    return text.size() >= prefix.size() && EqualsIgnoreAsciiCase(text.substr(0, prefix.size()), prefix);
}

inline std::wstring ToAsciiUpper(std::wstring_view text) {
    std::wstring out(text);
    for (wchar_t& c : out)
        c = AsciiUpper(c);
    return out;
}

// The value of one hexadecimal digit (0-9, a-f, A-F); -1 for any other character.
constexpr int HexDigit(wchar_t c) noexcept {
    if (c >= L'0' && c <= L'9') return c - L'0';
    if (c >= L'a' && c <= L'f') return c - L'a' + 10;
    if (c >= L'A' && c <= L'F') return c - L'A' + 10;
    return -1;
}

// The upper-case hexadecimal digit of the low four bits of value.
constexpr wchar_t HexDigitChar(unsigned value) noexcept {
    return L"0123456789ABCDEF"[value & 0xF];
}

// text with every backslash followed by letter, as a script writes an escape, made the one character
// replacement; every other character, and a backslash before anything else, stays as written.
inline std::wstring ExpandEscape(std::wstring_view text, wchar_t letter, wchar_t replacement) {
    std::wstring out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == L'\\' && i + 1 < text.size() && text[i + 1] == letter) {
            out.push_back(replacement);
            ++i;
        } else {
            out.push_back(text[i]);
        }
    }
    return out;
}
