// Answers through a script member's out parameter: E_POINTER when the pointer is null, else the value
// and S_OK.
#pragma once

#include <windows.h>
#include <oleauto.h>

template <class T> HRESULT ValueOut(T value, T* out) noexcept {
    if (!out) return E_POINTER;
    *out = value;
    return S_OK;
}

inline HRESULT BoolOut(bool value, VARIANT_BOOL* out) noexcept {
    return ValueOut<VARIANT_BOOL>(value ? VARIANT_TRUE : VARIANT_FALSE, out);
}
