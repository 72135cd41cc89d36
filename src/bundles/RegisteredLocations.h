// What the application registered under the Extensions key, as places: the modules of its packages
// and the locations of its brace tokens. Pages and files there are the application's own; a page may
// open them and an unsafe local file may read them. Plain text rules; the registry is read elsewhere.
#pragma once

#include <string>
#include <string_view>
#include <vector>

// One subkey of the Extensions key: its name (a package name or a brace token) and its text.
struct ExtensionEntry {
    std::wstring name;
    std::wstring text;
};

namespace RegisteredLocations {

// A network path, or one that may lead there: "\\server\...", "//server/...", and every device path
// ("\\?\...", "\\.\...", "\??\...": UNC, GLOBALROOT, volume names) but one naming a drive
// ("\\?\C:\..."). Any separators.
bool IsUncPath(std::wstring_view path) noexcept;

// A module the application registered: the module of a package, or a module inside the location of a
// brace token (the location may itself be the module). Compared by full path form, so ".." segments
// cannot lead out of a location.
bool IsRegisteredModule(std::wstring_view modulePath, const std::vector<ExtensionEntry>& entries);

// A file inside a location the application registered: inside the folder of a package's module, or
// inside the location of a brace token.
bool LiesInRegisteredLocation(std::wstring_view path, const std::vector<ExtensionEntry>& entries);

// The module of a res: URL may be loaded: it is not a network path, unless that exact module is
// registered. Any other URL answers true (nothing is loaded from it as a module).
bool MayLoadResModule(std::wstring_view url, const std::vector<ExtensionEntry>& entries);

} // namespace RegisteredLocations
