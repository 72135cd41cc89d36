// Which files a script may read. A file the user picked, or one the library handed out, carries the
// safe flag and reads anywhere. Any other path reads only inside the private data folder or inside a
// location the application registered (the folder of a package's module, or a brace token's location),
// so a page can read its own data and its application's installed files, and nothing else on the disk.
#pragma once

#include "shared/Bstr.h"

#include "Zembrolatix.h"

#include <string_view>

// True when a file at path, carrying the given safe flag, may be read. Paths are compared by their
// full form: ".." segments, device names and relative paths never qualify an unsafe path.
bool MayReadFile(std::wstring_view path, bool safe);

// The private data folder test of the safe rule: the path lies inside it (false when it cannot be found).
bool InsidePrivateDataFolder(std::wstring_view path);

// What a member that opens a local file for reading takes from it: its path and safe flag, once the
// reading rule allows the path. No file or an empty path: E_INVALIDARG; a path the rule keeps from
// this caller: E_ACCESSDENIED; a failure of the local file is returned unchanged. path and safe are
// written only on success, so a refused call changes nothing in its caller.
HRESULT ReadableFileOf(ILocalFile* file, Bstr& path, VARIANT_BOOL& safe) noexcept;
