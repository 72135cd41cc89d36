// The XML declaration rule of the serializer: plain text functions, no Win32.
#pragma once

#include <string>
#include <string_view>

// The declaration written in front of every document serialized to a stream.
inline constexpr std::wstring_view kUtf8Declaration = L"<?xml version='1.0' encoding='UTF-8'?>";

// Length of the XML declaration that text begins with, through its closing "?>"; 0 when text does
// not begin with one. Only a processing instruction whose target is exactly "xml" at the very start
// counts: "<?xml-stylesheet ...?>" or "<?xml" inside a comment or CDATA section is content, and an
// opening "<?xml" without a closing "?>" counts as no declaration.
size_t XmlDeclarationLength(std::wstring_view text) noexcept;

// text with its declaration replaced by kUtf8Declaration (what followed the old one follows the new
// one directly), or, when it has none, kUtf8Declaration and one line feed put in front of it.
std::wstring WithUtf8Declaration(std::wstring_view text);
// The same text written into out, which has room for WithUtf8DeclarationLength(text) units.
size_t WithUtf8DeclarationLength(std::wstring_view text) noexcept;
void WriteWithUtf8Declaration(std::wstring_view text, wchar_t* out) noexcept;
