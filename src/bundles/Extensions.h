// The Extensions key: where installers of script applications register their packages (name ->
// module path) and brace tokens (token -> location). This library only reads it.
#pragma once

#include "bundles/RegisteredLocations.h"

#include <windows.h>

#include <string>
#include <string_view>
#include <vector>

// The default value of the name's subkey under the Extensions key of the current storage mode. The
// subkey is opened, never created; E_FAIL when it cannot be opened with full access or has no
// default value.
HRESULT LookupExtension(const std::wstring& name, std::wstring& text) noexcept;

// Resolves a chrome URL or a brace token through the Extensions key (see ResourceUrl.h). Every
// resolution failure is E_FAIL; resolved is changed only on success.
HRESULT ResolveUrl(std::wstring_view url, std::wstring& resolved) noexcept;

// Every subkey of the Extensions key with its text (see RegisteredLocations.h); subkeys without a
// readable default value are left out. No key: an empty list.
std::vector<ExtensionEntry> ReadExtensionEntries();

// The rules of RegisteredLocations.h over the current Extensions key.
bool IsRegisteredModule(std::wstring_view modulePath);
bool LiesInRegisteredLocation(std::wstring_view path);
bool MayLoadResModule(std::wstring_view url);
