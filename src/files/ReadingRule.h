// Which files a script may read. A file the user picked, or one the library handed out, carries the
// safe flag and reads anywhere. Any other path reads only inside the private data folder or inside a
// location the application registered (the folder of a package's module, or a brace token's location),
// so a page can read its own data and its application's installed files, and nothing else on the disk.
#pragma once

#include <string_view>

// True when a file at path, carrying the given safe flag, may be read. Paths are compared by their
// full form: ".." segments, device names and relative paths never qualify an unsafe path.
bool MayReadFile(std::wstring_view path, bool safe);

// The private data folder test of the safe rule: the path lies inside it (false when it cannot be found).
bool InsidePrivateDataFolder(std::wstring_view path);
