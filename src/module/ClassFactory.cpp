#include "module/ClassFactory.h"

STDMETHODIMP CComClassFactory::CreateInstance(IUnknown* outer, REFIID iid, void** ppv) noexcept {
    if (!ppv) return E_POINTER;
    *ppv = nullptr;
    if (outer && !::IsEqualIID(iid, IID_IUnknown)) return CLASS_E_NOAGGREGATION;
    return m_creator(outer, iid, ppv);
}

STDMETHODIMP CComClassFactory::LockServer(BOOL lock) noexcept {
    if (lock)
        g_module.Lock();
    else
        g_module.Unlock();
    return S_OK;
}

HRESULT CreateClassObject(CreatorFunc creator, REFIID iid, void** ppv) noexcept {
    if (!ppv) return E_POINTER;
    *ppv = nullptr;
    auto* factory = new (std::nothrow) CComObjectCached<CComClassFactory>(creator);
    if (!factory) return E_OUTOFMEMORY;
    // The reference QueryInterface adds is the class object's first one, which the cache keeps.
    HRESULT hr = factory->QueryInterface(iid, ppv);
    if (FAILED(hr)) delete factory;
    return hr;
}
