#include "script/ScriptImplementsImpl.h"

HRESULT ParseInterfaceId(BSTR text, IID* iid) noexcept {
    if (BstrEmpty(text)) return E_INVALIDARG;
    return ::IIDFromString(text, iid);
}
