#include "bundles/SimpleEnumerator.h"

STDMETHODIMP CSimpleEnumerator::init(VARIANT) noexcept { return E_NOTIMPL; }

STDMETHODIMP CSimpleEnumerator::hasMoreElements(VARIANT_BOOL*) noexcept { return E_NOTIMPL; }

STDMETHODIMP CSimpleEnumerator::getNext(VARIANT*) noexcept { return E_NOTIMPL; }
