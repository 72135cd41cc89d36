#include "script/TypeInfoHolder.h"

#include "module/Module.h"
#include "shared/Bstr.h"
#include "shared/TextUtil.h"

#include "Zembrolatix.h"

#include <mutex>

namespace {

// Each holder keeps its own reference: the walk below may drop the last other one before the release.
struct TypeAttr {
    ComPtr<ITypeInfo> info;
    TYPEATTR* attr = nullptr;
    explicit TypeAttr(ITypeInfo* i) : info(i) {}
    ~TypeAttr() {
        if (attr) info->ReleaseTypeAttr(attr);
    }
};

struct FuncDesc {
    ComPtr<ITypeInfo> info;
    FUNCDESC* desc = nullptr;
    explicit FuncDesc(ITypeInfo* i) : info(i) {}
    ~FuncDesc() {
        if (desc) info->ReleaseFuncDesc(desc);
    }
};

} // namespace

HRESULT TypeInfoHolder::EnsureLoaded(LCID lcid) noexcept {
    if (m_loaded) return S_OK;
    std::lock_guard guard(g_module.StaticDataLock());
    if (m_loaded) return S_OK;
    HRESULT hr = ComBoundary([&] { return Load(lcid); });
    if (FAILED(hr)) {
        m_info.reset();
        m_vtblInfo.reset();
        m_members.clear();
        return hr;
    }
    if (!g_module.AddTermFunc(&TypeInfoHolder::Release, this)) {
        m_info.reset();
        m_vtblInfo.reset();
        m_members.clear();
        return E_OUTOFMEMORY;
    }
    m_loaded = true;
    return S_OK;
}

void TypeInfoHolder::Release(void* self) noexcept {
    auto* holder = static_cast<TypeInfoHolder*>(self);
    holder->m_loaded = false;
    holder->m_info.reset();
    holder->m_vtblInfo.reset();
    holder->m_members.clear();
}

HRESULT TypeInfoHolder::Load(LCID lcid) {
    ComPtr<ITypeLib> lib;
    HRESULT hr = ::LoadRegTypeLib(LIBID_ZembrolatixLib, 1, 0, lcid, lib.put());
    if (FAILED(hr)) return hr;
    hr = lib->GetTypeInfoOfGuid(m_iid, m_info.put());
    if (FAILED(hr)) return hr;

    // A dual interface is described twice; members are called through its table of operations.
    m_vtblInfo = m_info;
    {
        TypeAttr attr(m_info.get());
        hr = m_info->GetTypeAttr(&attr.attr);
        if (FAILED(hr)) return hr;
        if (attr.attr->typekind == TKIND_DISPATCH && (attr.attr->wTypeFlags & TYPEFLAG_FDUAL)) {
            HREFTYPE ref = 0;
            if (SUCCEEDED(m_info->GetRefTypeOfImplType(static_cast<UINT>(-1), &ref))) {
                ComPtr<ITypeInfo> vtbl;
                if (SUCCEEDED(m_info->GetRefTypeInfo(ref, vtbl.put()))) m_vtblInfo = vtbl;
            }
        }
    }
    return CollectMembers(m_vtblInfo.get());
}

// Walks an interface and its bases, stopping at IDispatch: their members are not script names.
HRESULT TypeInfoHolder::CollectMembers(ITypeInfo* info) {
    ComPtr<ITypeInfo> current(info);
    while (current) {
        TypeAttr attr(current.get());
        HRESULT hr = current->GetTypeAttr(&attr.attr);
        if (FAILED(hr)) return hr;
        if (::IsEqualGUID(attr.attr->guid, IID_IDispatch) || ::IsEqualGUID(attr.attr->guid, IID_IUnknown)) break;

        for (UINT i = 0; i < attr.attr->cFuncs; ++i) {
            FuncDesc func(current.get());
            hr = current->GetFuncDesc(i, &func.desc);
            if (FAILED(hr)) return hr;
            BSTR names[32] = {};
            UINT count = 0;
            hr = current->GetNames(func.desc->memid, names, 32, &count);
            if (FAILED(hr)) return hr;
            Member member{std::wstring(BstrView(names[0])), func.desc->memid, {}};
            for (UINT n = 1; n < count; ++n) member.paramNames.emplace_back(BstrView(names[n]));
            for (UINT n = 0; n < count; ++n) ::SysFreeString(names[n]);
            // A property's get and put share one name and id.
            if (!Find(member.name.c_str())) m_members.push_back(std::move(member));
        }

        if (attr.attr->cImplTypes == 0) break;
        HREFTYPE ref = 0;
        hr = current->GetRefTypeOfImplType(0, &ref);
        if (FAILED(hr)) return hr;
        ComPtr<ITypeInfo> base;
        hr = current->GetRefTypeInfo(ref, base.put());
        if (FAILED(hr)) return hr;
        current = base;
    }
    return S_OK;
}

// Names as spelled in the type library are tried first, then any ASCII letter case.
const TypeInfoHolder::Member* TypeInfoHolder::Find(const wchar_t* name) const noexcept {
    for (const Member& m : m_members)
        if (m.name == name) return &m;
    for (const Member& m : m_members)
        if (EqualsIgnoreAsciiCase(m.name, name)) return &m;
    return nullptr;
}

HRESULT TypeInfoHolder::GetTypeInfo(LCID lcid, ITypeInfo** info) noexcept {
    if (!info) return E_POINTER;
    *info = nullptr;
    HRESULT hr = EnsureLoaded(lcid);
    if (FAILED(hr)) return hr;
    return m_info.CopyTo(info);
}

HRESULT TypeInfoHolder::GetIDsOfNames(LPOLESTR* names, UINT count, LCID lcid, DISPID* ids) noexcept {
    if (!names || !ids) return E_POINTER;
    if (count == 0) return S_OK;
    for (UINT i = 0; i < count; ++i) ids[i] = DISPID_UNKNOWN;
    HRESULT hr = EnsureLoaded(lcid);
    if (FAILED(hr)) return hr;
    if (!names[0]) return DISP_E_UNKNOWNNAME;

    return ComBoundary([&]() -> HRESULT {
        const Member* member = Find(names[0]);
        if (!member) return DISP_E_UNKNOWNNAME;
        ids[0] = member->id;

        HRESULT result = S_OK;
        for (UINT i = 1; i < count; ++i) {
            for (size_t p = 0; p < member->paramNames.size(); ++p)
                if (names[i] && EqualsIgnoreAsciiCase(member->paramNames[p], names[i]))
                    ids[i] = static_cast<DISPID>(p);
            if (ids[i] == DISPID_UNKNOWN) result = DISP_E_UNKNOWNNAME;
        }
        return result;
    });
}

HRESULT TypeInfoHolder::Invoke(IDispatch* self, DISPID id, LCID lcid, WORD flags, DISPPARAMS* params,
                               VARIANT* result, EXCEPINFO* excep, UINT* argErr) noexcept {
    HRESULT hr = EnsureLoaded(lcid);
    if (FAILED(hr)) return hr;
    bool known = false;
    for (const Member& m : m_members)
        if (m.id == id) known = true;
    if (!known) return DISP_E_MEMBERNOTFOUND;
    return m_vtblInfo->Invoke(self, id, flags, params, result, excep, argErr);
}
