// Preference branch: typed values (boolean, string, 32-bit and 64-bit integer), each one named value
// of the registry key the branch is bound to. Every call reads or writes the registry at once. The
// preferences below the branch can be listed, typed, cleared and deleted, and observed: observers are
// called from the message loop of the thread that added them when any process changes a preference.
#pragma once

#include "module/ComObject.h"
#include "script/DispatchImpl.h"
#include "prefs/PrefStorage.h"
#include "prefs/PrefWatcher.h"
#include "script/ObjectSafetyImpl.h"
#include "shared/ComPtr.h"
#include "shared/Win32.h"

#include "Zembrolatix.h"

#include <memory>
#include <string>
#include <vector>

class CPrefBranch : public IDispatchImpl<CPrefBranch, IPrefBranch2>,
                    public IObjectSafetyImpl<CPrefBranch>,
                    public CComObjectRootEx<CComSingleThreadModel>,
                    public CComCoClass<CPrefBranch, &CLSID_PrefBranch> {
public:
    BEGIN_COM_MAP(CPrefBranch)
    COM_INTERFACE_ENTRY2(IDispatch, IPrefBranch2)
    COM_INTERFACE_ENTRY(IPrefBranch)
    COM_INTERFACE_ENTRY(IPrefBranch2)
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
    STDMETHOD(getChildList)(BSTR aStartingAt, VARIANT* pNames) noexcept override;
    STDMETHOD(clearUserPref)(BSTR aPrefName) noexcept override;
    STDMETHOD(deleteBranch)(BSTR aStartingAt) noexcept override;
    STDMETHOD(getPrefType)(BSTR aPrefName, LONG* pType) noexcept override;
    STDMETHOD(addObserver)(BSTR aDomain, IDispatch* aObserver, VARIANT_BOOL aHoldWeak) noexcept override;
    STDMETHOD(removeObserver)(BSTR aDomain, IDispatch* aObserver) noexcept override;
    STDMETHOD(get_PREF_INVALID)(LONG* pValue) noexcept override;
    STDMETHOD(get_PREF_STRING)(LONG* pValue) noexcept override;
    STDMETHOD(get_PREF_INT)(LONG* pValue) noexcept override;
    STDMETHOD(get_PREF_BOOL)(LONG* pValue) noexcept override;

private:
    // The checks every getter makes before touching the registry: name, out pointer, binding.
    HRESULT CheckRead(BSTR name, const void* out) const noexcept;
    // The checks every setter makes: name, binding, whether the key takes writes.
    HRESULT CheckWrite(BSTR name) const noexcept;
    // Writes one value whose name passed CheckWrite.
    HRESULT Store(BSTR name, const PrefStorage::StoredValue& value) const noexcept;
    // A setter: the value make() gives is stored under name once CheckWrite allows it.
    template <class MakeValue> HRESULT Write(BSTR name, MakeValue make) const noexcept;
    // A getter of a number: the DWORD or QWORD (Stored) under name, given out as convert makes it.
    // E_FAIL when no such value is stored.
    template <class Stored, class Out, class Convert>
    HRESULT ReadNumber(BSTR name, Out* out, Convert convert) const noexcept;

    // One added observer: the domain it watches, the object called, and that object's identity.
    struct Observer {
        std::wstring domain;
        ComPtr<IDispatch> target;
        ComPtr<IUnknown> identity;
        ULONG serial;
    };
    // The watcher's report: calls every observer whose domain starts the changed name.
    static void OnChanged(void* self, const std::vector<std::wstring>& changed);
    void Notify(const std::vector<std::wstring>& changed);
    // Finds an observer by domain and identity.
    std::vector<Observer>::iterator FindObserver(std::wstring_view domain, IUnknown* identity) noexcept;

    // Empty until init or InitWithKey succeeds; closed with the object.
    API::Win32::RegKey m_key;
    // False for a key outside the library's own keys on a system without the protected-mode mirror:
    // such a branch is opened for reading only, and its setters answer E_ACCESSDENIED.
    bool m_writable = false;
    // The key path under HKEY_CURRENT_USER, and the dotted root that observers see in front of names.
    std::wstring m_path;
    std::wstring m_root;
    // Held strongly: a script object cannot be held weakly. The watcher runs while there are observers.
    std::vector<Observer> m_observers;
    ULONG m_nextSerial = 0;
    int m_notifying = 0;
    std::unique_ptr<PrefWatcher> m_watcher;
};
