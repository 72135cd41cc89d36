// Owning wrapper for an automation array (SAFEARRAY): destroyed with its owner, unlocked first when
// the owner locked it.
#pragma once

#include <windows.h>
#include <oleauto.h>

#include <utility>

class SafeArray {
public:
    SafeArray() noexcept = default;
    // Takes ownership of an unlocked array.
    explicit SafeArray(SAFEARRAY* array) noexcept : m_array(array) {}
    SafeArray(const SafeArray&) = delete;
    SafeArray& operator=(const SafeArray&) = delete;
    SafeArray(SafeArray&& o) noexcept
        : m_array(std::exchange(o.m_array, nullptr)), m_locked(std::exchange(o.m_locked, false)) {}
    SafeArray& operator=(SafeArray&& o) noexcept {
        if (this != &o) {
            reset();
            m_array = std::exchange(o.m_array, nullptr);
            m_locked = std::exchange(o.m_locked, false);
        }
        return *this;
    }
    ~SafeArray() { reset(); }

    void reset() noexcept {
        if (!m_array) return;
        if (m_locked) ::SafeArrayUnlock(m_array);
        ::SafeArrayDestroy(m_array);
        m_array = nullptr;
        m_locked = false;
    }
    // Keeps the array locked (its data in place) until the owner lets it go.
    HRESULT lock() noexcept {
        if (!m_array) return E_POINTER;
        if (m_locked) return S_OK;
        HRESULT hr = ::SafeArrayLock(m_array);
        m_locked = SUCCEEDED(hr);
        return hr;
    }
    SAFEARRAY* get() const noexcept { return m_array; }
    // Hands the array (unlocked) to the caller, who destroys it.
    SAFEARRAY* Detach() noexcept {
        if (m_array && m_locked) ::SafeArrayUnlock(m_array);
        m_locked = false;
        return std::exchange(m_array, nullptr);
    }
    // For out parameters: destroys what is held and gives the slot.
    SAFEARRAY** put() noexcept {
        reset();
        return &m_array;
    }
    explicit operator bool() const noexcept { return m_array != nullptr; }

private:
    SAFEARRAY* m_array = nullptr;
    bool m_locked = false;
};
