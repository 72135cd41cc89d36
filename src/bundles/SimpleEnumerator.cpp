#include "bundles/SimpleEnumerator.h"

#include "shared/Registered.h"
#include "script/Boundary.h"

STDMETHODIMP CSimpleEnumerator::init(VARIANT values) noexcept {
    m_values.reset();
    m_position = 0;

    if (values.vt != (VT_ARRAY | VT_VARIANT) || !values.parray) return E_INVALIDARG;
    VARTYPE elementType = VT_EMPTY;
    HRESULT hr = ::SafeArrayGetVartype(values.parray, &elementType);
    if (FAILED(hr)) return hr;
    // getNext addresses elements by one index: more dimensions would be read with a missing index.
    if (elementType != VT_VARIANT || ::SafeArrayGetDim(values.parray) != 1) return E_INVALIDARG;

    SafeArray copy;
    hr = ::SafeArrayCopy(values.parray, copy.put());
    if (FAILED(hr)) return hr;
    hr = copy.lock();
    if (FAILED(hr)) return hr;
    m_values = std::move(copy);
    return S_OK;
}

HRESULT CSimpleEnumerator::Count(std::int64_t& count) const noexcept {
    count = 0;
    if (!m_values) return E_INVALIDARG;
    LONG lower = 0, upper = 0;
    HRESULT hr = ::SafeArrayGetLBound(m_values.get(), 1, &lower);
    if (SUCCEEDED(hr)) hr = ::SafeArrayGetUBound(m_values.get(), 1, &upper);
    if (FAILED(hr)) return hr;
    count = std::int64_t(upper) - lower + 1;
    return S_OK;
}

STDMETHODIMP CSimpleEnumerator::hasMoreElements(VARIANT_BOOL* pRet) noexcept {
    if (!pRet) return E_POINTER;
    std::int64_t count = 0;
    HRESULT hr = Count(count);
    if (FAILED(hr)) return hr;
    *pRet = m_position < count ? VARIANT_TRUE : VARIANT_FALSE;
    return S_OK;
}

STDMETHODIMP CSimpleEnumerator::getNext(VARIANT* pRet) noexcept {
    if (!pRet) return E_POINTER;
    ::VariantInit(pRet);
    const std::int64_t offset = m_position++;

    if (!m_values) return FailWithReason("the enumerator has no values");
    std::int64_t count = 0;
    HRESULT hr = Count(count);
    if (FAILED(hr)) return hr;
    if (offset >= count) return E_INVALIDARG;

    // Counted from the lower bound, so every element is reached whatever the bounds.
    LONG lower = 0;
    hr = ::SafeArrayGetLBound(m_values.get(), 1, &lower);
    if (FAILED(hr)) return hr;
    LONG index = static_cast<LONG>(lower + offset);
    void* element = nullptr;
    hr = ::SafeArrayPtrOfIndex(m_values.get(), &index, &element);
    if (FAILED(hr)) return hr;
    return ::VariantCopy(pRet, static_cast<VARIANT*>(element));
}

HRESULT NewSimpleEnumerator(ComPtr<ISimpleEnumerator>& enumerator) noexcept {
    return CreateRegistered(CLSID_SimpleEnumerator, enumerator);
}

HRESULT HandOutEnumerator(ComPtr<ISimpleEnumerator>& enumerator, SAFEARRAY* elements,
                          ISimpleEnumerator** out) noexcept {
    VARIANT values;
    values.vt = VT_ARRAY | VT_VARIANT;
    values.parray = elements;
    HRESULT hr = enumerator->init(values);
    if (FAILED(hr)) return hr;
    *out = enumerator.Detach();
    return S_OK;
}
