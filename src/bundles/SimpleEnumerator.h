// Simple enumerator: a cursor over its own copy of an array of values, walked from script with
// hasMoreElements and getNext.
#pragma once

#include "module/ComObject.h"
#include "script/DispatchImpl.h"
#include "script/ObjectSafetyImpl.h"
#include "shared/ComPtr.h"
#include "shared/SafeArray.h"

#include "Zembrolatix.h"

#include <cstdint>

class CSimpleEnumerator : public IDispatchImpl<CSimpleEnumerator, ISimpleEnumerator>,
                          public IObjectSafetyImpl<CSimpleEnumerator>,
                          public CComObjectRootEx<CComSingleThreadModel>,
                          public CComCoClass<CSimpleEnumerator, &CLSID_SimpleEnumerator> {
public:
    BEGIN_COM_MAP(CSimpleEnumerator)
    COM_INTERFACE_ENTRY2(IDispatch, ISimpleEnumerator)
    COM_INTERFACE_ENTRY(ISimpleEnumerator)
    COM_INTERFACE_ENTRY(IObjectSafety)
    END_COM_MAP()

    // Takes a deep copy of a one-dimensional array of VARIANTs (VT_ARRAY | VT_VARIANT, by value) and
    // starts at its first element. Any array held before is dropped first, also when init fails.
    STDMETHOD(init)(VARIANT values) noexcept override;
    STDMETHOD(hasMoreElements)(VARIANT_BOOL* pRet) noexcept override;
    // A copy of the next element; past the end E_INVALIDARG. The cursor advances even on failure.
    STDMETHOD(getNext)(VARIANT* pRet) noexcept override;

private:
    // Element count of the held array (its bounds may start anywhere).
    HRESULT Count(std::int64_t& count) const noexcept;

    SafeArray m_values; // locked while held
    // Offset from the array's lower bound of the element the next getNext returns.
    std::int64_t m_position = 0;
};

// A new enumerator, created through COM as every producer of one does; the HRESULT of the creation.
HRESULT NewSimpleEnumerator(ComPtr<ISimpleEnumerator>& enumerator) noexcept;

// Gives enumerator its own copy of elements (a one-dimensional array of VARIANT; the caller's array
// stays the caller's) and hands the enumerator out.
HRESULT HandOutEnumerator(ComPtr<ISimpleEnumerator>& enumerator, SAFEARRAY* elements,
                          ISimpleEnumerator** out) noexcept;
