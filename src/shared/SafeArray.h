// Owning wrapper for an automation array (SAFEARRAY): destroyed with its owner, unlocked first when
// the owner locked it.
#pragma once

#include "shared/Unique.h"

#include <windows.h>
#include <oleauto.h>

struct SafeArrayTraits {
    // The array and whether its owner holds it locked.
    struct type {
        SAFEARRAY* array = nullptr;
        bool locked = false;
    };
    static constexpr type empty() noexcept { return {}; }
    static bool isEmpty(const type& value) noexcept { return value.array == nullptr; }
    static void close(type value) noexcept {
        if (value.locked) ::SafeArrayUnlock(value.array);
        ::SafeArrayDestroy(value.array);
    }
};

class SafeArray {
public:
    SafeArray() noexcept = default;
    // Takes ownership of an unlocked array.
    explicit SafeArray(SAFEARRAY* array) noexcept : m_held({array, false}) {}

    void reset() noexcept { m_held.reset(); }
    // Keeps the array locked (its data in place) until the owner lets it go.
    HRESULT lock() noexcept {
        if (!m_held) return E_POINTER;
        if (m_held.get().locked) return S_OK;
        SafeArrayTraits::type held = m_held.release();
        HRESULT hr = ::SafeArrayLock(held.array);
        held.locked = SUCCEEDED(hr);
        m_held.reset(held);
        return hr;
    }
    SAFEARRAY* get() const noexcept { return m_held.get().array; }
    // Hands the array (unlocked) to the caller, who destroys it.
    SAFEARRAY* Detach() noexcept {
        const SafeArrayTraits::type held = m_held.release();
        if (held.array && held.locked) ::SafeArrayUnlock(held.array);
        return held.array;
    }
    // For out parameters: destroys what is held and gives the slot.
    SAFEARRAY** put() noexcept { return &m_held.put()->array; }
    explicit operator bool() const noexcept { return static_cast<bool>(m_held); }

private:
    Unique<SafeArrayTraits> m_held;
};
