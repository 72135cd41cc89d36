// Objects made through the class registry, exactly as a script would make them: the registered class
// and its threading apply, and a failure to create or bind reaches the caller unchanged.
#pragma once

#include "shared/ComPtr.h"

#include <objbase.h>

template <class Itf> HRESULT CreateRegistered(REFCLSID clsid, ComPtr<Itf>& object) noexcept {
    return ::CoCreateInstance(clsid, nullptr, CLSCTX_ALL, __uuidof(Itf), object.put_void());
}

// A new object bound by its init member to text; *out is set only on success.
template <class Itf> HRESULT CreateBound(REFCLSID clsid, BSTR text, Itf** out) noexcept {
    ComPtr<Itf> object;
    HRESULT hr = CreateRegistered(clsid, object);
    if (FAILED(hr)) return hr;
    hr = object->init(text);
    if (FAILED(hr)) return hr;
    *out = object.Detach();
    return S_OK;
}
