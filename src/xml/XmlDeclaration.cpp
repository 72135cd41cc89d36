#include "xml/XmlDeclaration.h"

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

std::wstring WithUtf8Declaration(std::wstring_view text) {
    size_t old = XmlDeclarationLength(text);
    std::wstring out;
    out.reserve(kUtf8Declaration.size() + 1 + text.size() - old);
    out.append(kUtf8Declaration);
    if (old == 0) out.push_back(L'\n');
    out.append(text.substr(old));
    return out;
}
