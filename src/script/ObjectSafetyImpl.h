// IObjectSafety: the object is safe for untrusted callers (option 1) and nothing else.
#pragma once

#include "shared/ComPtr.h"

#include <objsafe.h>

// MinGW's header declares the interface without its identifier for __uuidof.
__CRT_UUID_DECL(IObjectSafety, 0xcb5bdc81, 0x93c1, 0x11cf, 0x8f, 0x20, 0x00, 0x80, 0x5f, 0x2c, 0xd0, 0x64)

template <class T, DWORD Supported = INTERFACESAFE_FOR_UNTRUSTED_CALLER>
class IObjectSafetyImpl : public IObjectSafety {
public:
    STDMETHOD(GetInterfaceSafetyOptions)(REFIID iid, DWORD* supported, DWORD* enabled) noexcept override {
        if (!supported || !enabled) return E_POINTER;
        ComPtr<IUnknown> itf;
        HRESULT hr = static_cast<IObjectSafety*>(this)->QueryInterface(iid, itf.put_void());
        if (FAILED(hr)) {
            *supported = 0;
            *enabled = 0;
            return hr;
        }
        *supported = Supported;
        *enabled = m_safetyOptions;
        return S_OK;
    }
    STDMETHOD(SetInterfaceSafetyOptions)(REFIID iid, DWORD mask, DWORD enabled) noexcept override {
        ComPtr<IUnknown> itf;
        if (FAILED(static_cast<IObjectSafety*>(this)->QueryInterface(iid, itf.put_void())))
            return E_NOINTERFACE;
        if (mask & ~Supported) return E_FAIL;
        m_safetyOptions = (mask & enabled) | (~mask & m_safetyOptions);
        return S_OK;
    }

protected:
    // The options the host enabled, for objects that pass them on to what they hand out.
    DWORD EnabledSafetyOptions() const noexcept { return m_safetyOptions; }

private:
    DWORD m_safetyOptions = 0;
};
