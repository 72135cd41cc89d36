#include "files/PathRules.h"

#include "shared/TextUtil.h"

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
    if (verbatim && rooted->rest.find(L'/') != std::wstring_view::npos) return std::nullopt;
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

} // namespace PathRules
