// The registry key holder of the registration code: the library's RegKey, which takes over a key opened
// by a direct registry call (reset), so the caller keeps that call's error code.
#pragma once

#include "shared/Win32.h"

namespace Registrar {

using OwnedKey = API::Win32::RegKey;

// True when the key has subkeys, or when that cannot be told.
inline bool HasSubkeys(HKEY key) noexcept {
    DWORD subkeys = 0;
    if (::RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr, nullptr, nullptr,
                           nullptr, nullptr, nullptr) != ERROR_SUCCESS)
        return true;
    return subkeys != 0;
}

} // namespace Registrar
