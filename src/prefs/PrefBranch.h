// Preference branch: typed values under one registry key.
#pragma once

#include "module/ComObject.h"
#include "script/DispatchImpl.h"
#include "script/ObjectSafetyImpl.h"

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
    STDMETHOD(prefHasUserValue)(BSTR aPrefName, VARIANT_BOOL *pRet) noexcept override;
    STDMETHOD(getBoolPref)(BSTR aPrefName, VARIANT_BOOL *pRet) noexcept override;
    STDMETHOD(setBoolPref)(BSTR aPrefName, VARIANT_BOOL aValue) noexcept override;
    STDMETHOD(getCharPref)(BSTR aPrefName, BSTR *pRet) noexcept override;
    STDMETHOD(setCharPref)(BSTR aPrefName, BSTR aValue) noexcept override;
    STDMETHOD(getIntPref)(BSTR aPrefName, LONG *pRet) noexcept override;
    STDMETHOD(setIntPref)(BSTR aPrefName, LONG aValue) noexcept override;
    STDMETHOD(getInt64Pref)(BSTR aPrefName, LONGLONG *pRet) noexcept override;
    STDMETHOD(setInt64Pref)(BSTR aPrefName, LONGLONG aValue) noexcept override;
};
