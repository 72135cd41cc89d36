#include "files/TextDecoding.h"

#include "shared/TextUtil.h"

#include <array>

namespace TextDecoding {

namespace {

struct Label {
    std::wstring_view name;
    Charset charset;
};

constexpr std::array kLabels = {
    Label{L"utf-8", Charset::Utf8},
    Label{L"utf8", Charset::Utf8},
    Label{L"unicode-1-1-utf-8", Charset::Utf8},
    Label{L"unicode11utf8", Charset::Utf8},
    Label{L"unicode20utf8", Charset::Utf8},
    Label{L"x-unicode20utf8", Charset::Utf8},
    Label{L"windows-1252", Charset::Windows1252},
    Label{L"x-cp1252", Charset::Windows1252},
    Label{L"cp1252", Charset::Windows1252},
    Label{L"iso-8859-1", Charset::Windows1252},
    Label{L"iso8859-1", Charset::Windows1252},
    Label{L"iso88591", Charset::Windows1252},
    Label{L"iso_8859-1", Charset::Windows1252},
    Label{L"iso_8859-1:1987", Charset::Windows1252},
    Label{L"iso-ir-100", Charset::Windows1252},
    Label{L"latin1", Charset::Windows1252},
    Label{L"l1", Charset::Windows1252},
    Label{L"csisolatin1", Charset::Windows1252},
    Label{L"ibm819", Charset::Windows1252},
    Label{L"cp819", Charset::Windows1252},
    Label{L"us-ascii", Charset::Windows1252},
    Label{L"ascii", Charset::Windows1252},
    Label{L"ansi_x3.4-1968", Charset::Windows1252},
    Label{L"utf-16le", Charset::Utf16LE},
    Label{L"utf-16", Charset::Utf16LE},
    Label{L"unicode", Charset::Utf16LE},
    Label{L"unicodefeff", Charset::Utf16LE},
    Label{L"ucs-2", Charset::Utf16LE},
    Label{L"csunicode", Charset::Utf16LE},
    Label{L"iso-10646-ucs-2", Charset::Utf16LE},
    Label{L"utf-16be", Charset::Utf16BE},
    Label{L"unicodefffe", Charset::Utf16BE},
};

// The characters windows-1252 gives bytes 0x80-0x9F; the other bytes are their own code points.
constexpr std::array<wchar_t, 32> kWindows1252High = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

constexpr bool IsBlank(wchar_t c) noexcept {
    return c == L' ' || c == L'\t' || c == L'\n' || c == L'\f' || c == L'\r';
}

constexpr bool IsHighSurrogate(unsigned u) noexcept {
    return u >= 0xD800 && u <= 0xDBFF;
}
constexpr bool IsLowSurrogate(unsigned u) noexcept {
    return u >= 0xDC00 && u <= 0xDFFF;
}

void AppendCodePoint(std::wstring& out, char32_t cp) {
    if (cp < 0x10000) {
        out.push_back(static_cast<wchar_t>(cp));
    } else {
        cp -= 0x10000;
        out.push_back(static_cast<wchar_t>(0xD800 + (cp >> 10)));
        out.push_back(static_cast<wchar_t>(0xDC00 + (cp & 0x3FF)));
    }
}

// Copies bytes below 0x80 one unit each, up to `room` units; returns how many it copied.
size_t CopyAscii(std::span<const unsigned char> bytes, size_t room, std::wstring& out) {
    const size_t end = bytes.size() < room ? bytes.size() : room;
    size_t i = 0;
    while (i < end && bytes[i] < 0x80)
        ++i;
    out.append(i, L'\0');
    wchar_t* dest = out.data() + out.size() - i;
    for (size_t k = 0; k < i; ++k)
        dest[k] = bytes[k];
    return i;
}

DecodeStep DecodeUtf8(std::span<const unsigned char> bytes, bool final, wchar_t replacement,
                      std::wstring& out, size_t limit) {
    const size_t n = bytes.size();
    size_t i = 0;
    while (i < n && out.size() < limit) {
        const unsigned lead = bytes[i];
        if (lead < 0x80) {
            i += CopyAscii(bytes.subspan(i), limit - out.size(), out);
            continue;
        }
        size_t need = 0;
        unsigned lower = 0x80, upper = 0xBF;
        char32_t cp = 0;
        if (lead >= 0xC2 && lead <= 0xDF) {
            need = 1;
            cp = lead & 0x1F;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            need = 2;
            cp = lead & 0x0F;
            if (lead == 0xE0) lower = 0xA0;
            if (lead == 0xED) upper = 0x9F;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            need = 3;
            cp = lead & 0x07;
            if (lead == 0xF0) lower = 0x90;
            if (lead == 0xF4) upper = 0x8F;
        }
        // The bytes of the longest valid start of a sequence found here; malformed when it is cut short.
        size_t length = 1;
        bool complete = need > 0;
        for (size_t k = 1; complete && k <= need; ++k) {
            if (i + k >= n) {
                if (!final) return {i, false};
                complete = false;
                break;
            }
            const unsigned next = bytes[i + k];
            if (next < lower || next > upper) {
                complete = false;
                break;
            }
            lower = 0x80;
            upper = 0xBF;
            cp = (cp << 6) | (next & 0x3F);
            length = k + 1;
        }
        if (complete) {
            AppendCodePoint(out, cp);
        } else {
            if (replacement == 0) return {i, true};
            out.push_back(replacement);
        }
        i += length;
    }
    return {i, false};
}

DecodeStep DecodeUtf16(std::span<const unsigned char> bytes, bool bigEndian, bool final, wchar_t replacement,
                       std::wstring& out, size_t limit) {
    const size_t n = bytes.size();
    auto unit = [&](size_t at) -> unsigned {
        return bigEndian ? (unsigned(bytes[at]) << 8) | bytes[at + 1]
                         : (unsigned(bytes[at + 1]) << 8) | bytes[at];
    };
    size_t i = 0;
    while (out.size() < limit && i < n) {
        size_t length = 2;
        bool valid = true;
        if (i + 1 >= n) {
            // An odd byte at the end.
            if (!final) break;
            length = 1;
            valid = false;
        } else if (const unsigned u = unit(i); IsHighSurrogate(u)) {
            if (i + 3 < n && IsLowSurrogate(unit(i + 2))) {
                out.push_back(static_cast<wchar_t>(u));
                out.push_back(static_cast<wchar_t>(unit(i + 2)));
                length = 4;
            } else if (i + 3 >= n && !final) {
                break;
            } else {
                valid = false;
                // A lead surrogate cut off by the end takes the rest of the bytes with it.
                if (i + 3 >= n) length = n - i;
            }
        } else if (IsLowSurrogate(u)) {
            valid = false;
        } else {
            out.push_back(static_cast<wchar_t>(u));
        }
        if (!valid) {
            if (replacement == 0) return {i, true};
            out.push_back(replacement);
        }
        i += length;
    }
    return {i, false};
}

} // namespace

std::optional<Charset> CharsetFromLabel(std::wstring_view label) noexcept {
    while (!label.empty() && IsBlank(label.front()))
        label.remove_prefix(1);
    while (!label.empty() && IsBlank(label.back()))
        label.remove_suffix(1);
    for (const Label& known : kLabels)
        if (EqualsIgnoreAsciiCase(label, known.name)) return known.charset;
    return std::nullopt;
}

std::wstring_view CharsetName(Charset charset) noexcept {
    switch (charset) {
    case Charset::Utf8:
        return L"UTF-8";
    case Charset::Windows1252:
        return L"windows-1252";
    case Charset::Utf16LE:
        return L"UTF-16LE";
    case Charset::Utf16BE:
        return L"UTF-16BE";
    case Charset::Bytes:
        break;
    }
    return L"";
}

std::optional<Bom> SniffBom(std::span<const unsigned char> bytes, bool final) noexcept {
    struct Mark {
        std::array<unsigned char, 3> bytes;
        size_t length;
        Charset charset;
    };
    constexpr std::array kMarks = {Mark{{0xEF, 0xBB, 0xBF}, 3, Charset::Utf8},
                                   Mark{{0xFF, 0xFE, 0}, 2, Charset::Utf16LE},
                                   Mark{{0xFE, 0xFF, 0}, 2, Charset::Utf16BE}};
    for (const Mark& mark : kMarks) {
        const size_t compared = bytes.size() < mark.length ? bytes.size() : mark.length;
        bool same = true;
        for (size_t k = 0; k < compared; ++k)
            same = same && bytes[k] == mark.bytes[k];
        if (!same) continue;
        if (compared == mark.length) return Bom{mark.charset, mark.length, false};
        if (!final) return Bom{Charset::Bytes, 0, true};
    }
    return std::nullopt;
}

DecodeStep Decode(Charset charset, std::span<const unsigned char> bytes, bool final, wchar_t replacement,
                  std::wstring& out, size_t limit) {
    switch (charset) {
    case Charset::Utf8:
        return DecodeUtf8(bytes, final, replacement, out, limit);
    case Charset::Utf16LE:
    case Charset::Utf16BE:
        return DecodeUtf16(bytes, charset == Charset::Utf16BE, final, replacement, out, limit);
    case Charset::Windows1252:
    case Charset::Bytes:
        break;
    }
    const size_t room = out.size() < limit ? limit - out.size() : 0;
    const size_t count = bytes.size() < room ? bytes.size() : room;
    const size_t start = out.size();
    out.resize(start + count);
    wchar_t* dest = out.data() + start;
    const bool mapHigh = charset == Charset::Windows1252;
    for (size_t k = 0; k < count; ++k) {
        const unsigned char b = bytes[k];
        dest[k] = mapHigh && b >= 0x80 && b < 0xA0 ? kWindows1252High[b - 0x80] : wchar_t(b);
    }
    return {count, false};
}

LineEnd FindLineEnd(Charset charset, std::span<const unsigned char> bytes, bool final) noexcept {
    const bool wide = charset == Charset::Utf16LE || charset == Charset::Utf16BE;
    const size_t step = wide ? 2 : 1;
    auto unitAt = [&](size_t at) -> unsigned {
        if (!wide) return bytes[at];
        return charset == Charset::Utf16BE ? (unsigned(bytes[at]) << 8) | bytes[at + 1]
                                           : (unsigned(bytes[at + 1]) << 8) | bytes[at];
    };
    const size_t n = bytes.size();
    for (size_t i = 0; i + step <= n; i += step) {
        const unsigned u = unitAt(i);
        if (u == L'\n') return {true, i, step};
        if (u != L'\r') continue;
        if (i + 2 * step <= n) return {true, i, unitAt(i + step) == L'\n' ? 2 * step : step};
        // A CR at the end pairs with an LF that may follow.
        if (final) return {true, i, step};
        return {false, i, 0};
    }
    return {false, n, 0};
}

} // namespace TextDecoding
