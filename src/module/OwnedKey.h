// A registry key held by registration code, closed on scope exit.
#pragma once

#include <windows.h>

#include <utility>

namespace Registrar {

class OwnedKey {
public:
    OwnedKey() noexcept = default;
    OwnedKey(const OwnedKey&) = delete;
    OwnedKey& operator=(const OwnedKey&) = delete;
    ~OwnedKey() { reset(); }

    HKEY get() const noexcept { return m_key; }
    // For out parameters: closes what is held and gives the slot.
    HKEY* put() noexcept {
        reset();
        return &m_key;
    }
    void reset() noexcept {
        if (HKEY key = std::exchange(m_key, nullptr)) ::RegCloseKey(key);
    }

private:
    HKEY m_key = nullptr;
};

// True when the key has subkeys, or when that cannot be told.
inline bool HasSubkeys(HKEY key) noexcept {
    DWORD subkeys = 0;
    if (::RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr, nullptr, nullptr,
                           nullptr, nullptr, nullptr) != ERROR_SUCCESS)
        return true;
    return subkeys != 0;
}

} // namespace Registrar
