// Walking the library's type library in tests: the library's own walker (script/TypeLibWalker.h),
// with a dual interface's table of operations and an interface's base as plain values.
#pragma once

#include "script/TypeLibWalker.h"
#include "support/ComTest.h"

#include <string>
#include <string_view>
#include <vector>

// The description's table of operations; the description itself when its attributes cannot be read.
inline ComPtr<ITypeInfo> OperationTable(ITypeInfo* described) {
    ComPtr<ITypeInfo> table;
    if (FAILED(OperationTable(described, table))) return ComPtr<ITypeInfo>(described);
    return table;
}

// The interface an interface derives from; empty at IUnknown.
inline ComPtr<ITypeInfo> BaseOf(ITypeInfo* info) {
    ComPtr<ITypeInfo> base;
    TypeAttrOf attr(info);
    if (!attr || FAILED(BaseOf(info, *attr, base))) base.reset();
    return base;
}

// The classes a type library describes, in its order: name, description and CLSID.
struct CoclassEntry {
    std::wstring name;
    ComPtr<ITypeInfo> info;
    CLSID clsid;
};
inline std::vector<CoclassEntry> Coclasses(ITypeLib* typeLib) {
    std::vector<CoclassEntry> out;
    for (UINT t = 0; t < typeLib->GetTypeInfoCount(); ++t) {
        TYPEKIND kind;
        ComPtr<ITypeInfo> coclass;
        if (FAILED(typeLib->GetTypeInfoType(t, &kind)) || kind != TKIND_COCLASS ||
            FAILED(typeLib->GetTypeInfo(t, coclass.put())))
            continue;
        Bstr name;
        typeLib->GetDocumentation(static_cast<INT>(t), name.put(), nullptr, nullptr, nullptr);
        const TypeAttrOf attr(coclass.get());
        if (!attr) continue;
        out.push_back({std::wstring(name.view()), coclass, attr->guid});
    }
    return out;
}
