// Resource URLs of script applications: chrome URLs naming a file of an installed package, and brace
// tokens standing for an installed application's location. Plain text rules; the registry lookup that
// gives a name's registered text is passed in, so the rules can be used and tested without a registry.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <string_view>

// Gives the text registered for a package name or a brace token (braces included), or a failure.
using ExtensionLookup = std::function<HRESULT(const std::wstring& name, std::wstring& text)>;

// The text before the first "://", ASCII letters lower-cased; empty when there is no "://".
std::wstring GetUrlScheme(std::wstring_view url);

// True for a res: page address: the scheme before "://" is "res" in any letter case.
bool IsResUrl(std::wstring_view url);

// For a res:// URL: the module part, between "res://" and the last '/'; empty otherwise.
std::wstring GetResModulePath(std::wstring_view url);

// For a res:// URL: the text after the last '/', ASCII letters upper-cased; empty otherwise.
std::wstring GetResResourceName(std::wstring_view url);

// chrome://package/any/path/file becomes res://<package's module>/FILE. E_FAIL when the URL has no
// package part or the package is not registered; url is changed only on success.
HRESULT ResolveChromeUrl(std::wstring& url, const ExtensionLookup& lookup);

// Replaces the brace token (from the first '{' to the last '}') by its registered text. No braces:
// unchanged. One kind of brace alone, or a token not registered: E_FAIL, url unchanged.
HRESULT ExpandExtensionTokens(std::wstring& url, const ExtensionLookup& lookup);

// A chrome URL is resolved to a res:// URL; any other URL has its brace token expanded.
// On failure resolved is left as it was.
HRESULT ResolveUrl(std::wstring_view url, const ExtensionLookup& lookup, std::wstring& resolved);
