#include "xml/XmlDeclaration.h"

#include <algorithm>
#include <cstddef>

namespace {

constexpr std::wstring_view kOpen = L"<?xml";
constexpr std::wstring_view kClose = L"?>";

constexpr bool IsXmlSpace(wchar_t c) noexcept {
    return c == L' ' || c == L'\t' || c == L'\r' || c == L'\n';
}

} // namespace

size_t XmlDeclarationLength(std::wstring_view text) noexcept {
    if (!text.starts_with(kOpen)) return 0;
    // The target must end right after "xml": "<?xml-stylesheet" and "<?xmlfoo" are other instructions.
    std::wstring_view rest = text.substr(kOpen.size());
    if (rest.empty() || !(IsXmlSpace(rest.front()) || rest.starts_with(kClose))) return 0;
    size_t close = rest.find(kClose);
    if (close == std::wstring_view::npos) return 0;
    return kOpen.size() + close + kClose.size();
}

size_t WithUtf8DeclarationLength(std::wstring_view text) noexcept {
    const size_t old = XmlDeclarationLength(text);
    return kUtf8Declaration.size() + (old == 0 ? 1 : 0) + text.size() - old;
}

void WriteWithUtf8Declaration(std::wstring_view text, wchar_t* out) noexcept {
    const size_t old = XmlDeclarationLength(text);
    out = std::copy(kUtf8Declaration.begin(), kUtf8Declaration.end(), out);
    if (old == 0) *out++ = L'\n';
    std::copy(text.begin() + static_cast<std::ptrdiff_t>(old), text.end(), out);
}

std::wstring WithUtf8Declaration(std::wstring_view text) {
    std::wstring out(WithUtf8DeclarationLength(text), L'\0');
    WriteWithUtf8Declaration(text, out.data());
    return out;
}
