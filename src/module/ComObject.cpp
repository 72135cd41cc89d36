#include "module/ComObject.h"

HRESULT QueryInterfaceTable(void* object, const InterfaceEntry* table, REFIID iid, void** ppv) noexcept {
    if (!ppv) return E_POINTER;
    *ppv = nullptr;
    const bool wantUnknown = ::IsEqualIID(iid, IID_IUnknown);
    for (const InterfaceEntry* entry = table; entry->iid; ++entry) {
        if (wantUnknown || ::IsEqualIID(iid, *entry->iid)) {
            IUnknown* unknown = entry->cast(object);
            unknown->AddRef();
            *ppv = unknown;
            return S_OK;
        }
    }
    return E_NOINTERFACE;
}
