// Text rules of local-file paths: how a script's path is stored, its leaf name, appending a node, and
// whether a path lies inside a folder. Plain functions over strings; nothing here touches the disk.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace PathRules {

// The path as initWithPath stores it: every "/" becomes "\", and one trailing "\" is dropped from a path
// longer than three characters (a drive root such as C:\ keeps its separator).
std::wstring NormalizeScriptPath(std::wstring_view path);

// The part after the last "\"; without one, after the last "/"; without either, the whole path.
std::wstring_view LeafName(std::wstring_view path);

// The path, a "\" unless it is empty or already ends with one, then the node exactly as given.
std::wstring AppendNode(std::wstring_view path, std::wstring_view node);

// What a path can name when one file-system entry is looked up by it.
enum class LookupTarget {
    Nothing, // empty, or holding a wildcard (* or ?) after any leading verbatim prefix "\\?\"
    Folder,  // ends with a separator ("C:\", "C:\dir\"): only a folder answers to it
    Entry,   // a file or a folder
};
LookupTarget LookupTargetOf(std::wstring_view path) noexcept;

// The full form of a fully qualified path as the system resolves it before opening it: "/" read as "\",
// repeated separators, "." and ".." segments (never above the drive root or the UNC share) and trailing
// dots and blanks resolved; a trailing separator is kept. Verbatim "\\?\X:\" and "\\?\UNC\" paths are
// passed through as the system does, and only when they hold nothing the system might resolve further.
// No answer for what cannot be resolved from the text alone or names no ordinary file: relative,
// rooted and drive-relative paths, device paths ("\\.\", DOS device names such as NUL as the last
// segment), embedded NUL characters, and segments whose meaning is unclear (e.g. "...").
std::optional<std::wstring> FullPathForm(std::wstring_view path);

// True when the full form of path is the full form of folder or lies below it: the folder's text,
// compared without regard to case for A-Z only, followed by nothing or by a separator. A path or folder
// without a full form is never inside.
bool LiesInside(std::wstring_view path, std::wstring_view folder);

// The folder holding the entry a path names: the text before its last separator, trailing separators
// left out first; a root keeps its separator ("C:\a" gives "C:\", "\\srv\share\a" gives
// "\\srv\share\"). No answer for a root ("C:\", "\\srv\share", "\\?\C:\"), an empty path or a
// name without a separator.
std::optional<std::wstring> ParentPath(std::wstring_view path);

// True when name can stand as one new entry of a folder: not empty, no separator, drive colon,
// wildcard or other character the file system refuses, not "." or "..", no trailing dot or blank
// (the system would drop it), and not a DOS device name.
bool IsPlainLeaf(std::wstring_view name);

// The n-th other name for a leaf that is taken: "-n" before its extension ("notes.txt" gives
// "notes-2.txt"; "archive" gives "archive-2"; ".profile" gives ".profile-2").
std::wstring NumberedLeaf(std::wstring_view leaf, unsigned n);

// True when both paths name the same entry: their full forms, without trailing separators, compared
// without regard to case for A-Z only; paths without a full form are compared as written that way.
bool SamePath(std::wstring_view a, std::wstring_view b);

// True when a download source, a local path or a file: URL (its %xx escapes decoded), names a device
// rather than a file: a DOS device name (CON, NUL, COM1, ... with or without an extension) as its last
// segment, or a "\\.\" or "\\?\" path. Any other URL is never a device.
bool SourceNamesDevice(std::wstring_view source);

// The local paths a download source may read: for a file: URL (its %xx escapes decoded, "file:///C:/x",
// "file://C:/x", "file:C:/x", "file://server/share/x"), or a source without a URL scheme, the path it
// names, once as a whole and once cut at a query or fragment mark, since either may be what is opened.
// Blanks and control characters at either end are ignored, as URL parsers do. No answer for a URL of
// any other scheme: it reads no local file.
std::optional<std::vector<std::wstring>> LocalSourcePaths(std::wstring_view source);

} // namespace PathRules
