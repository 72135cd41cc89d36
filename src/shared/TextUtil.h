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
