// Walking a type library: its type descriptions, their attributes, the operations of an interface and
// its bases, with the names of an operation and its parameters. The dispatch layer, the tool that
// writes the script typings and the tests all walk through here.
#pragma once

#include "shared/Bstr.h"
#include "shared/ComPtr.h"
#include "shared/Unique.h"

#include <oaidl.h>

#include <vector>

// A TYPEATTR or FUNCDESC goes back to the type description that handed it out, which the owner keeps a
// reference to: a walk may drop the last other reference before the description is let go.
template <class Part, void (STDMETHODCALLTYPE ITypeInfo::*Release)(Part*)> struct TypeInfoPartTraits {
    struct type {
        ITypeInfo* info;
        Part* part;
    };
    static constexpr type empty() noexcept { return {nullptr, nullptr}; }
    static bool isEmpty(const type& value) noexcept { return value.part == nullptr; }
    static void close(type value) noexcept {
        (value.info->*Release)(value.part);
        value.info->Release();
    }
};

// One part of a type description (its attributes, or an operation's description by index); empty when
// it could not be had (result() says why).
template <class Part, auto Get, auto Release>
class TypeInfoPartOf : public Unique<TypeInfoPartTraits<Part, Release>> {
public:
    TypeInfoPartOf() noexcept = default;
    template <class... Index> explicit TypeInfoPartOf(ITypeInfo* info, Index... index) noexcept {
        Part* part = nullptr;
        m_result = (info->*Get)(index..., &part);
        if (FAILED(m_result)) return;
        info->AddRef();
        this->reset({info, part});
    }
    HRESULT result() const noexcept { return m_result; }
    const Part* operator->() const noexcept { return this->get().part; }
    const Part& operator*() const noexcept { return *this->get().part; }

private:
    HRESULT m_result = E_UNEXPECTED;
};
using TypeAttrOf = TypeInfoPartOf<TYPEATTR, &ITypeInfo::GetTypeAttr, &ITypeInfo::ReleaseTypeAttr>;
using FuncDescOf = TypeInfoPartOf<FUNCDESC, &ITypeInfo::GetFuncDesc, &ITypeInfo::ReleaseFuncDesc>;

// A dual interface is described twice; its own table of operations (with the out-values and the
// base interfaces) is the second description. Any other description is that table already. The
// failure to read the attributes is returned; a dual interface without a second description is
// its own table.
inline HRESULT OperationTable(ITypeInfo* described, ComPtr<ITypeInfo>& table) {
    TypeAttrOf attr(described);
    if (FAILED(attr.result())) return attr.result();
    table = ComPtr<ITypeInfo>(described);
    if (attr->typekind == TKIND_DISPATCH && (attr->wTypeFlags & TYPEFLAG_FDUAL)) {
        HREFTYPE ref = 0;
        ComPtr<ITypeInfo> vtbl;
        if (SUCCEEDED(described->GetRefTypeOfImplType(static_cast<UINT>(-1), &ref)) &&
            SUCCEEDED(described->GetRefTypeInfo(ref, vtbl.put())))
            table = vtbl;
    }
    return S_OK;
}

// The type an interface derives from (its first implemented type); empty when it has none.
inline HRESULT BaseOf(ITypeInfo* info, const TYPEATTR& attr, ComPtr<ITypeInfo>& base) {
    base.reset();
    if (attr.cImplTypes == 0) return S_OK;
    HREFTYPE ref = 0;
    HRESULT hr = info->GetRefTypeOfImplType(0, &ref);
    if (FAILED(hr)) return hr;
    return info->GetRefTypeInfo(ref, base.put());
}

// The names of operation id: its own first, then its parameters' as far as they are named.
inline HRESULT NamesOf(ITypeInfo* info, MEMBERID id, std::vector<Bstr>& names) {
    constexpr UINT kMost = 64;
    BSTR given[kMost] = {};
    UINT count = 0;
    names.clear();
    HRESULT hr = info->GetNames(id, given, kMost, &count);
    for (UINT n = 0; n < count; ++n) {
        names.emplace_back();
        *names.back().put() = given[n];
    }
    return hr;
}

// Calls visit(table, attr, func) for each operation of the interface whose table of operations is
// given and of its bases, most derived first, stopping before IDispatch and IUnknown: theirs are no
// script's members. The first failure, of the walk or of visit, ends the walk and is returned.
template <class Visit> HRESULT ForEachOperation(ITypeInfo* table, Visit&& visit) {
    ComPtr<ITypeInfo> current(table);
    while (current) {
        TypeAttrOf attr(current.get());
        if (FAILED(attr.result())) return attr.result();
        if (::IsEqualGUID(attr->guid, IID_IDispatch) || ::IsEqualGUID(attr->guid, IID_IUnknown)) break;
        for (UINT i = 0; i < attr->cFuncs; ++i) {
            FuncDescOf func(current.get(), i);
            if (FAILED(func.result())) return func.result();
            HRESULT hr = visit(current.get(), *attr, *func);
            if (FAILED(hr)) return hr;
        }
        ComPtr<ITypeInfo> base;
        HRESULT hr = BaseOf(current.get(), *attr, base);
        if (FAILED(hr)) return hr;
        current = std::move(base);
    }
    return S_OK;
}

// Calls visit(index, info, attr) for each type description of the library, in its order. The first
// failure, of the walk or of visit, ends the walk and is returned.
template <class Visit> HRESULT ForEachTypeInfo(ITypeLib* library, Visit&& visit) {
    const UINT count = library->GetTypeInfoCount();
    for (UINT i = 0; i < count; ++i) {
        ComPtr<ITypeInfo> info;
        HRESULT hr = library->GetTypeInfo(i, info.put());
        if (FAILED(hr)) return hr;
        TypeAttrOf attr(info.get());
        if (FAILED(attr.result())) return attr.result();
        hr = visit(i, info.get(), *attr);
        if (FAILED(hr)) return hr;
    }
    return S_OK;
}
