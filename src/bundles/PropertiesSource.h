// Where string bundles get their properties text: a file, or a resource of type "PROPERTIES" inside a
// module. Both are read as UTF-8.
#pragma once

#include "bundles/Properties.h"

#include <windows.h>

#include <string>
#include <string_view>

// UTF-8 to UTF-16 with the platform converter (no flags: malformed bytes do not fail, a byte-order mark
// is kept as U+FEFF).
HRESULT DecodeUtf8(std::string_view bytes, std::wstring& text);

// Fills table from the file at path. E_FAIL when the file cannot be opened or read; an empty file
// gives an empty table. table is changed only on success.
HRESULT LoadPropertiesFile(const std::wstring& path, PropertiesTable& table);

// Fills table from the resource named name (type "PROPERTIES") of the module at modulePath. The module
// is loaded as a data file: none of its code runs. E_FAIL when the module cannot be loaded or the
// resource is missing or empty; table is changed only on success.
HRESULT LoadPropertiesResource(const std::wstring& modulePath, const std::wstring& name,
                               PropertiesTable& table);
