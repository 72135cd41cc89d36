// Walking the library's type library in tests: the library's own walker (script/TypeLibWalker.h),
// with a dual interface's table of operations and an interface's base as plain values.
#pragma once

#include "script/TypeLibWalker.h"

#include <string>
#include <string_view>

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

inline std::string Narrow(std::wstring_view text) {
    std::string out;
    for (wchar_t c : text)
        out.push_back(c < 0x80 ? static_cast<char>(c) : '?');
    return out;
}
