#include "Html.h"

#include "shared/TextUtil.h"

#include <algorithm>

namespace zbt {
namespace {

wchar_t Lower(wchar_t c) {
    return (c >= L'A' && c <= L'Z') ? static_cast<wchar_t>(c - L'A' + L'a') : c;
}

bool StartsWithNoCase(std::wstring_view text, size_t at, std::wstring_view prefix) {
    if (at > text.size() || text.size() - at < prefix.size()) return false;
    for (size_t i = 0; i < prefix.size(); ++i)
        if (Lower(text[at + i]) != Lower(prefix[i])) return false;
    return true;
}

size_t FindNoCase(std::wstring_view text, size_t from, std::wstring_view needle) {
    for (size_t i = from; i + needle.size() <= text.size(); ++i)
        if (StartsWithNoCase(text, i, needle)) return i;
    return std::wstring_view::npos;
}

bool IsSpace(wchar_t c) {
    return c == L' ' || c == L'\t' || c == L'\r' || c == L'\n' || c == L'\f';
}

// The tag that opens at `at` has the name `name` (case-insensitive, whole name).
bool IsTag(std::wstring_view html, size_t at, std::wstring_view name) {
    if (!StartsWithNoCase(html, at + 1, name)) return false;
    const size_t after = at + 1 + name.size();
    return after >= html.size() || IsSpace(html[after]) || html[after] == L'>' || html[after] == L'/';
}

std::wstring DecodeEntities(std::wstring_view text) {
    static const struct {
        std::wstring_view entity;
        wchar_t c;
    } entities[] = {{L"&amp;", L'&'},  {L"&lt;", L'<'},   {L"&gt;", L'>'},
                    {L"&quot;", L'"'}, {L"&#39;", L'\''}, {L"&nbsp;", L'\xA0'}};
    std::wstring out;
    for (size_t i = 0; i < text.size();) {
        bool replaced = false;
        for (const auto& e : entities) {
            if (text.substr(i, e.entity.size()) == e.entity) {
                out += e.c;
                i += e.entity.size();
                replaced = true;
                break;
            }
        }
        if (!replaced) out += text[i++];
    }
    return out;
}

std::wstring Trim(std::wstring_view text) {
    size_t b = 0, e = text.size();
    while (b < e && IsSpace(text[b]))
        ++b;
    while (e > b && IsSpace(text[e - 1]))
        --e;
    return std::wstring(text.substr(b, e - b));
}

// The value of attribute `name` in the text of one start tag, entities decoded; empty when absent.
std::wstring AttributeValue(std::wstring_view tag, std::wstring_view name) {
    size_t i = 1;
    while (i < tag.size() && !IsSpace(tag[i]) && tag[i] != L'>')
        ++i; // the tag name
    while (i < tag.size()) {
        while (i < tag.size() && (IsSpace(tag[i]) || tag[i] == L'/'))
            ++i;
        const size_t nameStart = i;
        while (i < tag.size() && !IsSpace(tag[i]) && tag[i] != L'=' && tag[i] != L'>')
            ++i;
        const std::wstring_view attr = tag.substr(nameStart, i - nameStart);
        if (attr.empty()) break;
        while (i < tag.size() && IsSpace(tag[i]))
            ++i;
        std::wstring_view value;
        if (i < tag.size() && tag[i] == L'=') {
            ++i;
            while (i < tag.size() && IsSpace(tag[i]))
                ++i;
            if (i < tag.size() && (tag[i] == L'"' || tag[i] == L'\'')) {
                const wchar_t quote = tag[i++];
                const size_t end = std::min(tag.find(quote, i), tag.size());
                value = tag.substr(i, end - i);
                i = end + 1;
            } else {
                const size_t start = i;
                while (i < tag.size() && !IsSpace(tag[i]) && tag[i] != L'>')
                    ++i;
                value = tag.substr(start, i - start);
            }
        }
        if (attr.size() == name.size() && StartsWithNoCase(attr, 0, name)) return DecodeEntities(value);
    }
    return {};
}

// UTF-8 bytes (held one per character) to UTF-16; a malformed sequence gives U+FFFD.
std::wstring Utf8ToWide(std::string_view bytes) {
    std::wstring out;
    for (size_t i = 0; i < bytes.size();) {
        const unsigned char lead = static_cast<unsigned char>(bytes[i]);
        const int extra = lead < 0x80         ? 0
                          : (lead >> 5) == 6  ? 1
                          : (lead >> 4) == 14 ? 2
                          : (lead >> 3) == 30 ? 3
                                              : -1;
        if (extra < 0 || i + extra >= bytes.size()) {
            out += L'\xFFFD';
            ++i;
            continue;
        }
        char32_t c = extra == 0 ? lead : lead & (0x3F >> extra);
        bool ok = true;
        for (int k = 1; k <= extra; ++k) {
            const unsigned char next = static_cast<unsigned char>(bytes[i + k]);
            if ((next & 0xC0) != 0x80) ok = false;
            c = (c << 6) | (next & 0x3F);
        }
        if (!ok) {
            out += L'\xFFFD';
            ++i;
            continue;
        }
        i += extra + 1;
        if (c >= 0x10000) {
            c -= 0x10000;
            out += static_cast<wchar_t>(0xD800 + (c >> 10));
            out += static_cast<wchar_t>(0xDC00 + (c & 0x3FF));
        } else {
            out += static_cast<wchar_t>(c);
        }
    }
    return out;
}

// %xx escapes decoded as UTF-8.
std::wstring PercentDecode(std::wstring_view text) {
    std::string bytes;
    std::wstring out;
    auto flush = [&] {
        out += Utf8ToWide(bytes);
        bytes.clear();
    };
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == L'%' && i + 2 < text.size() && HexDigit(text[i + 1]) >= 0 &&
            HexDigit(text[i + 2]) >= 0) {
            bytes += static_cast<char>(HexDigit(text[i + 1]) * 16 + HexDigit(text[i + 2]));
            i += 2;
        } else {
            flush();
            out += text[i];
        }
    }
    flush();
    return out;
}

} // namespace

ParsedPage ParseHtml(std::wstring_view html) {
    ParsedPage page;
    for (size_t i = 0; i < html.size();) {
        if (html[i] != L'<') {
            ++i;
            continue;
        }
        if (html.substr(i, 4) == L"<!--") {
            const size_t end = html.find(L"-->", i + 4);
            i = end == std::wstring_view::npos ? html.size() : end + 3;
            continue;
        }
        const size_t tagEnd = html.find(L'>', i);
        if (tagEnd == std::wstring_view::npos) break;
        const std::wstring_view tag = html.substr(i, tagEnd + 1 - i);
        if (IsTag(html, i, L"script") || IsTag(html, i, L"title")) {
            const bool script = IsTag(html, i, L"script");
            const size_t close = FindNoCase(html, tagEnd + 1, script ? L"</script" : L"</title");
            const size_t end = close == std::wstring_view::npos ? html.size() : close;
            const std::wstring_view body = html.substr(tagEnd + 1, end - tagEnd - 1);
            if (!script)
                page.title = DecodeEntities(Trim(body));
            else if (AttributeValue(tag, L"src").empty())
                page.scripts.emplace_back(body);
            i = end;
            continue;
        }
        if (IsTag(html, i, L"iframe") || IsTag(html, i, L"frame")) {
            std::wstring src = AttributeValue(tag, L"src");
            if (!src.empty()) page.frames.push_back(std::move(src));
        }
        i = tagEnd + 1;
    }
    return page;
}

PageAddress ParsePageAddress(std::wstring_view url) {
    PageAddress address;
    if (StartsWithNoCase(url, 0, L"res://")) {
        const std::wstring_view rest = url.substr(6);
        const size_t slash = rest.rfind(L'/');
        if (slash == std::wstring_view::npos || slash == 0 || slash + 1 == rest.size()) return address;
        address.kind = PageAddress::Resource;
        address.module = PercentDecode(rest.substr(0, slash));
        address.name = PercentDecode(rest.substr(slash + 1));
    } else if (StartsWithNoCase(url, 0, L"http://")) {
        address.kind = PageAddress::Web;
    } else if (StartsWithNoCase(url, 0, L"file:")) {
        std::wstring_view rest = url.substr(5);
        if (rest.substr(0, 3) == L"///")
            rest.remove_prefix(3);
        else if (rest.substr(0, 2) == L"//")
            rest.remove_prefix(2);
        if (rest.empty()) return address;
        address.kind = PageAddress::File;
        address.name = PercentDecode(rest);
        for (wchar_t& c : address.name)
            if (c == L'/') c = L'\\';
    }
    return address;
}

std::wstring ResolveAgainst(std::wstring_view base, std::wstring_view ref) {
    const size_t colon = ref.find(L':');
    const bool absolute = colon != std::wstring_view::npos && colon > 1 &&
                          ref.substr(0, colon).find(L'/') == std::wstring_view::npos;
    if (absolute) return std::wstring(ref);
    const size_t slash = base.rfind(L'/');
    if (slash == std::wstring_view::npos) return std::wstring(ref);
    return std::wstring(base.substr(0, slash + 1)) + std::wstring(ref);
}

std::wstring DecodePageBytes(std::string_view bytes) {
    if (bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFF &&
        static_cast<unsigned char>(bytes[1]) == 0xFE) {
        std::wstring out;
        for (size_t i = 2; i + 1 < bytes.size(); i += 2)
            out += static_cast<wchar_t>(static_cast<unsigned char>(bytes[i]) |
                                        (static_cast<unsigned char>(bytes[i + 1]) << 8));
        return out;
    }
    if (bytes.substr(0, 3) == "\xEF\xBB\xBF") bytes.remove_prefix(3);
    return Utf8ToWide(bytes);
}

std::wstring DialogCaption(std::wstring_view title) {
    return std::wstring(title) + L" -- Webpage Dialog";
}

} // namespace zbt
