// Preference branch: typed values (boolean, string, 32-bit and 64-bit integer), each one named value
// of the registry key the branch is bound to. Every call reads or writes the registry at once.
#pragma once

#include "module/ComObject.h"
#include "script/DispatchImpl.h"
#include "prefs/PrefStorage.h"
#include "script/ObjectSafetyImpl.h"
#include "shared/Win32.h"

#include "Zembrolatix.h"

class CPrefBranch : public IDispatchImpl<CPrefBranch, IPrefBranch>,
                    public IObjectSafetyImpl<CPrefBranch>,
                    public CComObjectRootEx<CComSingleThreadModel>,
                    public CComCoClass<CPrefBranch, &CLSID_PrefBranch> {
public:
    BEGIN_COM_MAP(CPrefBranch)
    COM_INTERFACE_ENTRY2(IDispatch, IPrefBranch)
    COM_INTERFACE_ENTRY(IPrefBranch)
    COM_INTERFACE_ENTRY(IObjectSafety)
    END_COM_MAP()

    STDMETHOD(init)(BSTR aPrefRoot) noexcept override;
    STDMETHOD(InitWithKey)(BSTR aPrefRoot) noexcept override;
    STDMETHOD(prefHasUserValue)(BSTR aPrefName, VARIANT_BOOL* pRet) noexcept override;
    STDMETHOD(getBoolPref)(BSTR aPrefName, VARIANT_BOOL* pRet) noexcept override;
    STDMETHOD(setBoolPref)(BSTR aPrefName, VARIANT_BOOL aValue) noexcept override;
    STDMETHOD(getCharPref)(BSTR aPrefName, BSTR* pRet) noexcept override;
    STDMETHOD(setCharPref)(BSTR aPrefName, BSTR aValue) noexcept override;
    STDMETHOD(getIntPref)(BSTR aPrefName, LONG* pRet) noexcept override;
    STDMETHOD(setIntPref)(BSTR aPrefName, LONG aValue) noexcept override;
    STDMETHOD(getInt64Pref)(BSTR aPrefName, LONGLONG* pRet) noexcept override;
    STDMETHOD(setInt64Pref)(BSTR aPrefName, LONGLONG aValue) noexcept override;

private:
    // The checks every getter makes before touching the registry: name, out pointer, binding.
    HRESULT CheckRead(BSTR name, const void* out) const noexcept;
    // The checks every setter makes: name, binding, whether the key takes writes.
    HRESULT CheckWrite(BSTR name) const noexcept;
    // Writes one value whose name passed CheckWrite.
    HRESULT Store(BSTR name, const PrefStorage::StoredValue& value) const noexcept;

    // Empty until init or InitWithKey succeeds; closed with the object.
    API::Win32::RegKey m_key;
    // False for a key outside the library's own keys on a system without the protected-mode mirror:
    // such a branch is opened for reading only, and its setters answer E_ACCESSDENIED.
    bool m_writable = false;
};
