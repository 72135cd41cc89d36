// Walking the library's type library in tests.
#pragma once

#include "shared/ComPtr.h"

#include <oaidl.h>

#include <string>
#include <string_view>

// Keeps its own reference: a walk may move on while the attributes are still held.
struct TypeAttrOf {
    ComPtr<ITypeInfo> info;
    TYPEATTR* attr = nullptr;
    explicit TypeAttrOf(ITypeInfo* i) : info(i) {
        if (FAILED(info->GetTypeAttr(&attr))) attr = nullptr;
    }
    ~TypeAttrOf() {
        if (attr) info->ReleaseTypeAttr(attr);
    }
};

// A dual interface described for dispatch has its names, arguments and base in its own table of
// operations; any other description is that table already.
inline ComPtr<ITypeInfo> OperationTable(ITypeInfo* described) {
    HREFTYPE ref = 0;
    ComPtr<ITypeInfo> table;
    if (TypeAttrOf(described).attr->typekind == TKIND_DISPATCH &&
        SUCCEEDED(described->GetRefTypeOfImplType(static_cast<UINT>(-1), &ref)) &&
        SUCCEEDED(described->GetRefTypeInfo(ref, table.put())))
        return table;
    return ComPtr<ITypeInfo>(described);
}

// The interface an interface derives from; empty at IUnknown.
inline ComPtr<ITypeInfo> BaseOf(ITypeInfo* info) {
    HREFTYPE ref = 0;
    ComPtr<ITypeInfo> base;
    if (TypeAttrOf(info).attr->cImplTypes > 0 && SUCCEEDED(info->GetRefTypeOfImplType(0, &ref)))
        info->GetRefTypeInfo(ref, base.put());
    return base;
}

inline std::string Narrow(std::wstring_view text) {
    std::string out;
    for (wchar_t c : text)
        out.push_back(c < 0x80 ? static_cast<char>(c) : '?');
    return out;
}
