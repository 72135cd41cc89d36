#include "files/PathRules.h"

#include "shared/TextUtil.h"

#include <algorithm>
#include <vector>

namespace PathRules {

namespace {

constexpr wchar_t kSep = L'\\';

bool IsSeparator(wchar_t c) noexcept {
    return c == L'\\' || c == L'/';
}
bool IsDriveLetter(wchar_t c) noexcept {
    return (c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z');
}

bool OnlyDotsAndBlanks(std::wstring_view segment) noexcept {
    return segment.find_first_not_of(L". ") == std::wstring_view::npos;
}

// Names the system opens as devices wherever they stand as the last segment (with any extension).
bool IsDosDeviceName(std::wstring_view segment) noexcept {
    std::wstring_view base = segment.substr(0, segment.find_first_of(L".:"));
    while (!base.empty() && base.back() == L' ')
        base.remove_suffix(1);
    for (std::wstring_view name : {L"CON", L"PRN", L"AUX", L"NUL", L"CONIN$", L"CONOUT$"})
        if (EqualsIgnoreAsciiCase(base, name)) return true;
    if (base.size() == 4 &&
        (StartsWithIgnoreAsciiCase(base, L"COM") || StartsWithIgnoreAsciiCase(base, L"LPT"))) {
        const wchar_t n = base[3];
        return (n >= L'1' && n <= L'9') || n == L'\u00B9' || n == L'\u00B2' || n == L'\u00B3';
    }
    return false;
}

// Splits text at its separators; empty pieces are kept so the caller sees doubled separators.
std::vector<std::wstring_view> Split(std::wstring_view text, bool slashIsSeparator) {
    std::vector<std::wstring_view> parts;
    size_t start = 0;
    for (size_t i = 0; i <= text.size(); ++i) {
        if (i == text.size() || text[i] == kSep || (slashIsSeparator && text[i] == L'/')) {
            parts.push_back(text.substr(start, i - start));
            start = i + 1;
        }
    }
    return parts;
}

// The root of a path ("C:" or "\\server\share", without a trailing separator) and the text after it.
struct Rooted {
    std::wstring root;
    std::wstring_view rest;
    bool verbatim = false;
};

std::optional<Rooted> SplitRoot(std::wstring_view path) {
    if (path.size() >= 4 && path.substr(0, 4) == L"\\\\?\\") {
        // Verbatim: the system takes the text after the prefix as it stands, "\" its only separator.
        std::wstring_view inner = path.substr(4);
        if (inner.size() >= 3 && IsDriveLetter(inner[0]) && inner[1] == L':' && inner[2] == kSep)
            return Rooted{std::wstring(inner.substr(0, 2)), inner.substr(3), true};
        if (!StartsWithIgnoreAsciiCase(inner, L"UNC\\")) return std::nullopt;
        inner.remove_prefix(4);
        size_t serverEnd = inner.find(kSep);
        if (serverEnd == 0 || serverEnd == std::wstring_view::npos) return std::nullopt;
        size_t shareEnd = inner.find(kSep, serverEnd + 1);
        std::wstring_view share = inner.substr(serverEnd + 1, shareEnd - serverEnd - 1);
        if (share.empty()) return std::nullopt;
        std::wstring_view server = inner.substr(0, serverEnd);
        if (OnlyDotsAndBlanks(server) || OnlyDotsAndBlanks(share)) return std::nullopt;
        // "\\?\UNC\?\x" would come out as "\\?\x", a device path.
        if (server[0] == L'.' || server[0] == L'?') return std::nullopt;
        std::wstring root = L"\\\\";
        root.append(server).append(1, kSep).append(share);
        return Rooted{std::move(root), shareEnd == std::wstring_view::npos ? L"" : inner.substr(shareEnd + 1),
                      true};
    }
    if (path.size() >= 2 && IsSeparator(path[0]) && IsSeparator(path[1])) {
        // "\\.\", "\\?" with other separators, "\\.x": the device namespaces, never an ordinary folder.
        if (path.size() >= 3 && (path[2] == L'.' || path[2] == L'?')) return std::nullopt;
        std::wstring_view inner = path.substr(2);
        size_t serverEnd = 0;
        while (serverEnd < inner.size() && !IsSeparator(inner[serverEnd]))
            ++serverEnd;
        if (serverEnd == 0 || serverEnd == inner.size()) return std::nullopt;
        size_t shareEnd = serverEnd + 1;
        while (shareEnd < inner.size() && !IsSeparator(inner[shareEnd]))
            ++shareEnd;
        std::wstring_view server = inner.substr(0, serverEnd);
        std::wstring_view share = inner.substr(serverEnd + 1, shareEnd - serverEnd - 1);
        if (share.empty() || OnlyDotsAndBlanks(server) || OnlyDotsAndBlanks(share)) return std::nullopt;
        std::wstring root = L"\\\\";
        root.append(server).append(1, kSep).append(share);
        return Rooted{std::move(root), shareEnd < inner.size() ? inner.substr(shareEnd + 1) : L"", false};
    }
    if (path.size() >= 3 && IsDriveLetter(path[0]) && path[1] == L':' && IsSeparator(path[2]))
        return Rooted{std::wstring(path.substr(0, 2)), path.substr(3), false};
    return std::nullopt;
}

// %xx escapes decoded one unit each; a malformed escape stays as written.
std::wstring DecodeEscapes(std::wstring_view text) {
    std::wstring out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == L'%' && i + 2 < text.size() && HexDigit(text[i + 1]) >= 0 &&
            HexDigit(text[i + 2]) >= 0) {
            out.push_back(static_cast<wchar_t>(HexDigit(text[i + 1]) * 16 + HexDigit(text[i + 2])));
            i += 2;
        } else {
            out.push_back(text[i]);
        }
    }
    return out;
}

// A scheme of two characters or more ("http:"); a single letter before ':' is a drive.
bool HasUrlScheme(std::wstring_view text) noexcept {
    size_t colon = text.find(L':');
    if (colon == std::wstring_view::npos || colon < 2) return false;
    for (size_t i = 0; i < colon; ++i) {
        const wchar_t c = text[i];
        if (!IsDriveLetter(c) &&
            !(i > 0 && ((c >= L'0' && c <= L'9') || c == L'+' || c == L'-' || c == L'.')))
            return false;
    }
    return true;
}

bool LeafNamesDevice(std::wstring_view path) {
    size_t lastSeparator = path.find_last_of(L"\\/");
    std::wstring_view leaf = lastSeparator == std::wstring_view::npos ? path : path.substr(lastSeparator + 1);
    // A drive-relative name: "C:CON".
    if (lastSeparator == std::wstring_view::npos && leaf.size() >= 2 && IsDriveLetter(leaf[0]) &&
        leaf[1] == L':')
        leaf.remove_prefix(2);
    while (!leaf.empty() && (leaf.back() == L'.' || leaf.back() == L' '))
        leaf.remove_suffix(1);
    return IsDosDeviceName(leaf);
}

bool PathNamesDevice(std::wstring_view path) {
    // The system stops reading at a NUL.
    path = path.substr(0, path.find(L'\0'));
    size_t leading = 0;
    while (leading < path.size() && IsSeparator(path[leading]))
        ++leading;
    // "\\.\", "\\?\" and their relatives: the device namespaces.
    if (leading >= 2 && leading < path.size() && (path[leading] == L'.' || path[leading] == L'?'))
        return true;
    if (LeafNamesDevice(path)) return true;
    // A URL's query or fragment may be cut off before the file is opened.
    size_t cut = path.find_first_of(L"?#");
    return cut != std::wstring_view::npos && LeafNamesDevice(path.substr(0, cut));
}

} // namespace

std::wstring NormalizeScriptPath(std::wstring_view path) {
    std::wstring out(path);
    for (wchar_t& c : out)
        if (c == L'/') c = kSep;
    if (out.size() > 3 && out.back() == kSep) out.pop_back();
    return out;
}

std::wstring_view LeafName(std::wstring_view path) {
    size_t last = path.rfind(kSep);
    if (last == std::wstring_view::npos) last = path.rfind(L'/');
    return last == std::wstring_view::npos ? path : path.substr(last + 1);
}

std::wstring AppendNode(std::wstring_view path, std::wstring_view node) {
    std::wstring out(path);
    if (!out.empty() && out.back() != kSep) out.push_back(kSep);
    out.append(node);
    return out;
}

LookupTarget LookupTargetOf(std::wstring_view path) noexcept {
    constexpr std::wstring_view kVerbatim = L"\\\\?\\";
    std::wstring_view name = path;
    if (name.substr(0, kVerbatim.size()) == kVerbatim) name.remove_prefix(kVerbatim.size());
    if (name.empty() || name.find_first_of(L"*?") != std::wstring_view::npos) return LookupTarget::Nothing;
    return IsSeparator(name.back()) ? LookupTarget::Folder : LookupTarget::Entry;
}

std::optional<std::wstring> FullPathForm(std::wstring_view path) {
    // The system stops reading at a NUL; the text after it must not decide anything.
    if (path.find(L'\0') != std::wstring_view::npos) return std::nullopt;
    std::optional<Rooted> rooted = SplitRoot(path);
    if (!rooted) return std::nullopt;

    const bool verbatim = rooted->verbatim;
    // A verbatim path takes "/" literally, where the full form would be read with it as a separator.
    if (verbatim &&
        (rooted->rest.find(L'/') != std::wstring_view::npos || rooted->root.find(L'/') != std::wstring::npos))
        return std::nullopt;
    std::vector<std::wstring_view> parts = Split(rooted->rest, !verbatim);
    // A trailing separator leaves an empty last piece: every named segment is then a folder.
    const bool trailingSeparator = parts.size() > 1 && parts.back().empty();
    if (trailingSeparator || (parts.size() == 1 && parts.back().empty())) parts.pop_back();

    std::vector<std::wstring_view> segments;
    for (size_t i = 0; i < parts.size(); ++i) {
        std::wstring_view segment = parts[i];
        const bool last = i + 1 == parts.size() && !trailingSeparator;
        if (verbatim) {
            // Taken literally, so anything the system might still resolve is refused.
            if (segment.empty() || segment == L"." || segment == L"..") return std::nullopt;
            segments.push_back(segment);
            continue;
        }
        if (segment.empty() || segment == L".") continue;
        if (segment == L"..") {
            if (!segments.empty()) segments.pop_back();
            continue;
        }
        if (OnlyDotsAndBlanks(segment)) return std::nullopt;
        if (last) {
            while (segment.back() == L'.' || segment.back() == L' ')
                segment.remove_suffix(1);
            if (IsDosDeviceName(segment)) return std::nullopt;
        } else if (segment.back() == L'.') {
            // A folder name loses one trailing dot; what would be left is ambiguous if it ends in another.
            segment.remove_suffix(1);
            if (segment.back() == L'.' || segment.back() == L' ') return std::nullopt;
        }
        segments.push_back(segment);
    }

    // What "." and ".." leave last is the name opened: "C:\\x\\COM1\\." opens the device.
    if (!verbatim && !trailingSeparator && !segments.empty()) {
        std::wstring_view& tail = segments.back();
        while (!tail.empty() && (tail.back() == L'.' || tail.back() == L' '))
            tail.remove_suffix(1);
        if (tail.empty() || IsDosDeviceName(tail)) return std::nullopt;
    }

    std::wstring out = std::move(rooted->root);
    const bool driveRoot = out.size() == 2;
    if (segments.empty()) {
        if (driveRoot || trailingSeparator) out.push_back(kSep);
        return out;
    }
    for (std::wstring_view segment : segments)
        out.append(1, kSep).append(segment);
    if (trailingSeparator) out.push_back(kSep);
    return out;
}

bool LiesInside(std::wstring_view path, std::wstring_view folder) {
    std::optional<std::wstring> fullPath = FullPathForm(path);
    std::optional<std::wstring> fullFolder = FullPathForm(folder);
    if (!fullPath || !fullFolder) return false;
    std::wstring_view base = *fullFolder;
    while (!base.empty() && base.back() == kSep)
        base.remove_suffix(1);
    std::wstring_view full = *fullPath;
    if (!StartsWithIgnoreAsciiCase(full, base)) return false;
    return full.size() == base.size() || full[base.size()] == kSep;
}

namespace {

// Length of the part of a path that names its root and cannot be cut: "C:\", "\\server\share\",
// "\\?\C:\", "\\?\UNC\server\share\", a device "\\.\name\", a lone leading separator; 0 for a relative path.
size_t RootLength(std::wstring_view path) noexcept {
    auto skipSegments = [&](size_t from, int count) {
        size_t i = from;
        for (int n = 0; n < count; ++n) {
            while (i < path.size() && !IsSeparator(path[i]))
                ++i;
            if (i < path.size()) ++i;
        }
        return i;
    };
    if (path.size() >= 4 && IsSeparator(path[0]) && IsSeparator(path[1]) &&
        (path[2] == L'?' || path[2] == L'.') && IsSeparator(path[3])) {
        std::wstring_view inner = path.substr(4);
        if (inner.size() >= 2 && IsDriveLetter(inner[0]) && inner[1] == L':')
            return std::min(path.size(), size_t(7));
        if (StartsWithIgnoreAsciiCase(inner, L"UNC") && inner.size() > 3 && IsSeparator(inner[3]))
            return skipSegments(8, 2);
        return skipSegments(4, 1);
    }
    if (path.size() >= 2 && IsSeparator(path[0]) && IsSeparator(path[1])) return skipSegments(2, 2);
    if (path.size() >= 2 && IsDriveLetter(path[0]) && path[1] == L':')
        return path.size() >= 3 && IsSeparator(path[2]) ? 3 : 2;
    return !path.empty() && IsSeparator(path[0]) ? 1 : 0;
}

std::wstring WithoutTrailingSeparators(std::wstring_view path) {
    const size_t root = RootLength(path);
    while (path.size() > root && IsSeparator(path.back()))
        path.remove_suffix(1);
    return std::wstring(path);
}

} // namespace

std::optional<std::wstring> ParentPath(std::wstring_view path) {
    const size_t root = RootLength(path);
    while (path.size() > root && IsSeparator(path.back()))
        path.remove_suffix(1);
    if (path.size() <= root) return std::nullopt;
    size_t cut = path.size();
    while (cut > root && !IsSeparator(path[cut - 1]))
        --cut;
    if (cut == 0) return std::nullopt;
    // The separators before the leaf go, but a root keeps its own.
    while (cut > root && IsSeparator(path[cut - 1]))
        --cut;
    return std::wstring(path.substr(0, cut));
}

bool IsPlainLeaf(std::wstring_view name) {
    if (name.empty() || name == L"." || name == L"..") return false;
    for (wchar_t c : name)
        if (c < 0x20 || std::wstring_view(L"<>:\"/\\|?*").find(c) != std::wstring_view::npos) return false;
    if (name.back() == L'.' || name.back() == L' ') return false;
    return !IsDosDeviceName(name);
}

std::wstring NumberedLeaf(std::wstring_view leaf, unsigned n) {
    size_t dot = leaf.rfind(L'.');
    if (dot == 0 || dot == std::wstring_view::npos) dot = leaf.size();
    std::wstring out(leaf.substr(0, dot));
    out.append(L"-").append(std::to_wstring(n)).append(leaf.substr(dot));
    return out;
}

bool SamePath(std::wstring_view a, std::wstring_view b) {
    std::optional<std::wstring> fullA = FullPathForm(a);
    std::optional<std::wstring> fullB = FullPathForm(b);
    if (fullA.has_value() != fullB.has_value()) return false;
    if (fullA)
        return EqualsIgnoreAsciiCase(WithoutTrailingSeparators(*fullA), WithoutTrailingSeparators(*fullB));
    return EqualsIgnoreAsciiCase(WithoutTrailingSeparators(a), WithoutTrailingSeparators(b));
}

bool SourceNamesDevice(std::wstring_view source) {
    if (StartsWithIgnoreAsciiCase(source, L"file:")) return PathNamesDevice(DecodeEscapes(source.substr(5)));
    if (HasUrlScheme(source)) return false;
    return PathNamesDevice(source);
}

std::optional<std::vector<std::wstring>> LocalSourcePaths(std::wstring_view source) {
    while (!source.empty() && source.front() <= L' ')
        source.remove_prefix(1);
    while (!source.empty() && source.back() <= L' ')
        source.remove_suffix(1);
    std::wstring path;
    if (StartsWithIgnoreAsciiCase(source, L"file:")) {
        const std::wstring decoded = DecodeEscapes(source.substr(5));
        std::wstring_view rest = decoded;
        size_t separators = 0;
        while (separators < rest.size() && IsSeparator(rest[separators]))
            ++separators;
        rest.remove_prefix(separators);
        if (rest.size() >= 2 && IsDriveLetter(rest[0]) && (rest[1] == L':' || rest[1] == L'|')) {
            path = rest;
            path[1] = L':';
        } else if (separators >= 2) {
            path = L"\\\\";
            path += rest;
        } else {
            path = rest; // relative: no full form, so nothing may read it
        }
    } else if (HasUrlScheme(source)) {
        return std::nullopt;
    } else {
        path = source;
    }
    std::vector<std::wstring> paths{path};
    const size_t cut = path.find_first_of(L"?#");
    if (cut != std::wstring::npos) paths.push_back(path.substr(0, cut));
    return paths;
}

} // namespace PathRules
