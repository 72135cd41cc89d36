#include "bundles/ResourceUrl.h"

#include "shared/TextUtil.h"

namespace {

constexpr std::wstring_view kSchemeEnd = L"://";
constexpr std::wstring_view kResPrefix = L"res://"; // in any letter case
constexpr size_t kChromePrefixLength = 9;           // "chrome://"

} // namespace

std::wstring GetUrlScheme(std::wstring_view url) {
    const size_t end = url.find(kSchemeEnd);
    if (end == std::wstring_view::npos) return {};
    std::wstring scheme(url.substr(0, end));
    for (wchar_t& c : scheme)
        c = AsciiLower(c);
    return scheme;
}

bool IsResUrl(std::wstring_view url) {
    return GetUrlScheme(url) == L"res";
}

std::wstring GetResModulePath(std::wstring_view url) {
    if (!IsResUrl(url)) return {};
    const size_t lastSlash = url.rfind(L'/');
    // The last '/' may be the one of "res://" itself: then there is no module part.
    if (lastSlash <= kResPrefix.size()) return {};
    return std::wstring(url.substr(kResPrefix.size(), lastSlash - kResPrefix.size()));
}

std::wstring GetResResourceName(std::wstring_view url) {
    if (!IsResUrl(url)) return {};
    return ToAsciiUpper(url.substr(url.rfind(L'/') + 1));
}

HRESULT ResolveChromeUrl(std::wstring& url, const ExtensionLookup& lookup) {
    if (url.size() <= kChromePrefixLength + 1) return E_FAIL;
    const size_t packageEnd = url.find(L'/', kChromePrefixLength + 1);
    if (packageEnd == std::wstring::npos) return E_FAIL;

    std::wstring moduleText;
    HRESULT hr = lookup(url.substr(kChromePrefixLength, packageEnd - kChromePrefixLength), moduleText);
    if (FAILED(hr)) return hr;

    // Only the package and the final file name survive; the segments between them are dropped.
    std::wstring resolved(kResPrefix);
    resolved += moduleText;
    resolved += ToAsciiUpper(std::wstring_view(url).substr(url.rfind(L'/')));
    url = std::move(resolved);
    return S_OK;
}

HRESULT ExpandExtensionTokens(std::wstring& url, const ExtensionLookup& lookup) {
    const size_t open = url.find(L'{');
    const size_t close = url.rfind(L'}');
    const bool hasOpen = open != std::wstring::npos, hasClose = close != std::wstring::npos;
    if (!hasOpen && !hasClose) return S_OK;
    if (hasOpen != hasClose) return E_FAIL;

    // One token in effect: from the first '{' to the last '}', whatever stands between them.
    const std::wstring token = close > open ? url.substr(open, close - open + 1) : std::wstring();
    std::wstring text;
    HRESULT hr = lookup(token, text);
    if (FAILED(hr)) return hr;
    if (token.empty()) return S_OK;

    std::wstring expanded;
    size_t from = 0;
    for (size_t at = url.find(token); at != std::wstring::npos; at = url.find(token, from)) {
        expanded.append(url, from, at - from);
        expanded += text;
        from = at + token.size();
    }
    expanded.append(url, from, std::wstring::npos);
    url = std::move(expanded);
    return S_OK;
}

HRESULT ResolveUrl(std::wstring_view url, const ExtensionLookup& lookup, std::wstring& resolved) {
    std::wstring result(url);
    HRESULT hr = GetUrlScheme(result) == L"chrome" ? ResolveChromeUrl(result, lookup)
                                                   : ExpandExtensionTokens(result, lookup);
    if (FAILED(hr)) return hr;
    resolved = std::move(result);
    return S_OK;
}
