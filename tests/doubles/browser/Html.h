// Text rules of the browser stand-in: page addresses and the little of HTML it understands.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace zbt {

// What a page consists of for the stand-in: its title, its inline scripts in document order and the
// addresses of its frames (<iframe src> and <frame src>) as written.
struct ParsedPage {
    std::wstring title;
    std::vector<std::wstring> scripts;
    std::vector<std::wstring> frames;
};
ParsedPage ParseHtml(std::wstring_view html);

// Where a page comes from: res://<module path>/<resource name>, a file: URL naming a local file, or
// an http: URL of a web server (an Internet page).
struct PageAddress {
    enum Kind { Unsupported, Resource, File, Web } kind = Unsupported;
    std::wstring module; // Resource: the module path
    std::wstring name;   // Resource: the resource name; File: the local path
};
PageAddress ParsePageAddress(std::wstring_view url);

// ref resolved against the address of the page that names it: absolute addresses stay as they
// are, anything else replaces the base's last path segment.
std::wstring ResolveAgainst(std::wstring_view base, std::wstring_view ref);

// Page bytes as text: UTF-16 with a byte-order mark, otherwise UTF-8 (a mark skipped).
std::wstring DecodePageBytes(std::string_view bytes);

// Caption of an HTML dialog for its page title.
std::wstring DialogCaption(std::wstring_view title);

} // namespace zbt
