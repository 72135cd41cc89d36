#include "bundles/PropertyElement.h"

namespace {

HRESULT GetStored(Variant& stored, VARIANT* pVal) noexcept {
    if (!pVal) return E_POINTER;
    ::VariantInit(pVal);
    return ::VariantCopy(pVal, stored.get());
}

// A by-reference argument is stored as the value it refers to: the caller's variable lives only for the
// call. A failed copy leaves VT_ERROR with the failure code.
HRESULT PutStored(Variant& stored, VARIANT& newVal) noexcept {
    HRESULT hr = ::VariantCopyInd(stored.get(), &newVal);
    if (FAILED(hr)) {
        ::VariantClear(stored.get());
        stored->vt = VT_ERROR;
        stored->scode = hr;
    }
    return hr;
}

} // namespace

STDMETHODIMP CPropertyElement::get_key(VARIANT* pVal) noexcept {
    return GetStored(m_key, pVal);
}

STDMETHODIMP CPropertyElement::put_key(VARIANT newVal) noexcept {
    return PutStored(m_key, newVal);
}

STDMETHODIMP CPropertyElement::get_value(VARIANT* pVal) noexcept {
    return GetStored(m_value, pVal);
}

STDMETHODIMP CPropertyElement::put_value(VARIANT newVal) noexcept {
    return PutStored(m_value, newVal);
}
