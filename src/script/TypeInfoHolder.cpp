#include "script/TypeInfoHolder.h"

#include "script/TypeLibWalker.h"

#include "module/Module.h"
#include "script/Boundary.h"
#include "shared/Bstr.h"
#include "shared/TextUtil.h"

#include "Zembrolatix.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <mutex>

namespace {

// A name folded to ASCII lower case and hashed (FNV-1a): every spelling GetIDsOfNames accepts for a
// member gives the member's own hash.
size_t FoldedHash(std::wstring_view name) noexcept {
    size_t hash = static_cast<size_t>(2166136261u);
    for (wchar_t c : name)
        hash = (hash ^ static_cast<size_t>(AsciiLower(c))) * static_cast<size_t>(16777619u);
    return hash;
}

// The out-value of an operation called directly: one of the plain types DirectResultType accepts.
union DirectValue {
    BSTR text;
    VARIANT_BOOL boolean;
    LONG number;
    double real;
    IDispatch* object;
    VARIANT variant;
};

// The type an operation's only parameter hands back when it is an out-value the dispatch layer can
// take over as it is; VT_EMPTY otherwise.
VARTYPE DirectResultType(const FUNCDESC& func) noexcept {
    if (func.funckind != FUNC_PUREVIRTUAL && func.funckind != FUNC_VIRTUAL) return VT_EMPTY;
    if (func.callconv != CC_STDCALL || func.cParams != 1 || func.cParamsOpt != 0) return VT_EMPTY;
    if (func.elemdescFunc.tdesc.vt != VT_HRESULT || (func.wFuncFlags & FUNCFLAG_FRESTRICTED)) return VT_EMPTY;
    const ELEMDESC& param = func.lprgelemdescParam[0];
    if (!(param.paramdesc.wParamFlags & PARAMFLAG_FRETVAL)) return VT_EMPTY;
    if (param.tdesc.vt != VT_PTR || !param.tdesc.lptdesc) return VT_EMPTY;
    switch (const VARTYPE vt = param.tdesc.lptdesc->vt) {
    case VT_BSTR:
    case VT_BOOL:
    case VT_I4:
    case VT_R8:
    case VT_DISPATCH:
    case VT_VARIANT:
        return vt;
    default:
        return VT_EMPTY;
    }
}

size_t DirectSize(VARTYPE vt) noexcept {
    switch (vt) {
    case VT_BSTR:
        return sizeof(BSTR);
    case VT_BOOL:
        return sizeof(VARIANT_BOOL);
    case VT_I4:
        return sizeof(LONG);
    case VT_R8:
        return sizeof(double);
    case VT_DISPATCH:
        return sizeof(IDispatch*);
    default:
        return sizeof(VARIANT);
    }
}

// value as the VARIANT the platform's invocation makes of an out-value of type vt.
void StoreDirect(VARTYPE vt, const DirectValue& value, VARIANT& out) noexcept {
    if (vt == VT_VARIANT) {
        out = value.variant;
        return;
    }
    out.vt = vt;
    switch (vt) {
    case VT_BSTR:
        out.bstrVal = value.text;
        break;
    case VT_BOOL:
        out.boolVal = value.boolean;
        break;
    case VT_I4:
        out.lVal = value.number;
        break;
    case VT_R8:
        out.dblVal = value.real;
        break;
    default:
        out.pdispVal = value.object;
        break;
    }
}

void DiscardDirect(VARTYPE vt, const DirectValue& value) noexcept {
    VARIANT v;
    ::VariantInit(&v);
    StoreDirect(vt, value, v);
    ::VariantClear(&v);
}

// Stands in for an object whose operation has run already: every entry of its table hands back that
// call's outcome. A call that did not simply succeed is passed through the platform's invocation
// with it, which then reports the failure (or keeps the success code) exactly as for the object itself.
struct Replay;
using ReplaySlot = HRESULT(STDMETHODCALLTYPE*)(Replay* self, void* out);
struct Replay {
    const ReplaySlot* table;
    HRESULT hr;
    VARTYPE vt;
    DirectValue value;
    bool taken;
};

HRESULT STDMETHODCALLTYPE ReplayOperation(Replay* self, void* out) {
    std::memcpy(out, &self->value, DirectSize(self->vt));
    self->taken = true;
    return self->hr;
}

constexpr size_t kReplaySlots = 1024;
constexpr std::array<ReplaySlot, kReplaySlots> kReplayTable = [] {
    std::array<ReplaySlot, kReplaySlots> table{};
    for (ReplaySlot& slot : table)
        slot = &ReplayOperation;
    return table;
}();

} // namespace

HRESULT TypeInfoHolder::EnsureLoaded(LCID lcid) noexcept {
    if (m_loaded.load(std::memory_order_acquire)) return S_OK;
    std::lock_guard guard(g_module.StaticDataLock());
    if (m_loaded.load(std::memory_order_relaxed)) return S_OK;
    HRESULT hr = ComBoundary([&] { return Load(lcid); });
    if (FAILED(hr)) {
        Clear();
        return hr;
    }
    if (!g_module.AddTermFunc(&TypeInfoHolder::Release, this)) {
        Clear();
        return E_OUTOFMEMORY;
    }
    m_loaded.store(true, std::memory_order_release);
    return S_OK;
}

void TypeInfoHolder::Clear() noexcept {
    m_info.reset();
    m_vtblInfo.reset();
    m_members.clear();
    m_names.clear();
    m_ids.clear();
    m_operations.clear();
    m_objectParams.clear();
}

void TypeInfoHolder::Release(void* self) noexcept {
    auto* holder = static_cast<TypeInfoHolder*>(self);
    holder->m_loaded.store(false, std::memory_order_relaxed);
    holder->Clear();
}

HRESULT TypeInfoHolder::Load(LCID lcid) {
    ComPtr<ITypeLib> lib;
    HRESULT hr =
        ::LoadRegTypeLib(LIBID_ZembrolatixLib, kTypeLibMajorVersion, kTypeLibMinorVersion, lcid, lib.put());
    if (FAILED(hr)) return hr;
    hr = lib->GetTypeInfoOfGuid(m_iid, m_info.put());
    if (FAILED(hr)) return hr;

    // Members are called through the interface's table of operations.
    hr = OperationTable(m_info.get(), m_vtblInfo);
    if (FAILED(hr)) return hr;
    hr = CollectMembers(m_vtblInfo.get());
    if (FAILED(hr)) return hr;
    m_names.reserve(m_members.size());
    for (size_t i = 0; i < m_members.size(); ++i)
        m_names.push_back({FoldedHash(m_members[i].name), i});
    std::sort(m_names.begin(), m_names.end());
    m_ids.reserve(m_members.size());
    for (const Member& m : m_members)
        m_ids.push_back(m.id);
    std::sort(m_ids.begin(), m_ids.end());
    return S_OK;
}

// Walks an interface and its bases, stopping at IDispatch: their members are not script names.
HRESULT TypeInfoHolder::CollectMembers(ITypeInfo* info) {
    std::vector<Bstr> names;
    return ForEachOperation(info, [&](ITypeInfo* current, const TYPEATTR&, const FUNCDESC& func) -> HRESULT {
        HRESULT hr = NamesOf(current, func.memid, names);
        if (FAILED(hr)) return hr;
        Member member{std::wstring(names.empty() ? std::wstring_view() : names[0].view()), func.memid, {}};
        for (size_t n = 1; n < names.size(); ++n)
            member.paramNames.emplace_back(names[n].view());
        // A property's get and put share one name and id.
        if (!Find(member.name)) m_members.push_back(std::move(member));
        UINT declared = 0;
        for (SHORT p = 0; p < func.cParams; ++p)
            if (!(func.lprgelemdescParam[p].paramdesc.wParamFlags & (PARAMFLAG_FRETVAL | PARAMFLAG_FLCID)))
                ++declared;
        m_operations.push_back({func.memid, func.invkind, declared, func.cParamsOpt == -1,
                                DirectResultType(func),
                                static_cast<SHORT>(func.oVft / static_cast<SHORT>(sizeof(void*)))});
        return NoteObjectParams(current, func);
    });
}

// Names as spelled in the type library are tried first, then any ASCII letter case. While the members
// are collected the sorted keys are not there yet, and every member is looked at.
const TypeInfoHolder::Member* TypeInfoHolder::Find(std::wstring_view name) const noexcept {
    if (m_names.size() != m_members.size()) {
        for (const Member& m : m_members)
            if (m.name == name) return &m;
        for (const Member& m : m_members)
            if (EqualsIgnoreAsciiCase(m.name, name)) return &m;
        return nullptr;
    }
    const size_t hash = FoldedHash(name);
    auto it = std::lower_bound(m_names.begin(), m_names.end(), NameKey{hash, 0});
    const Member* folded = nullptr;
    for (; it != m_names.end() && it->hash == hash; ++it) {
        const Member& m = m_members[it->member];
        if (m.name == name) return &m;
        if (!folded && EqualsIgnoreAsciiCase(m.name, name)) folded = &m;
    }
    return folded;
}

// Records the parameters that take an interface pointer: IDispatch*, IUnknown*, or a pointer to an
// interface of the library (dispatch-based for a dual or dispatch interface).
HRESULT TypeInfoHolder::NoteObjectParams(ITypeInfo* info, const FUNCDESC& func) {
    ObjectParams op{func.memid, func.invkind, std::vector<VARTYPE>(func.cParams, VT_EMPTY)};
    bool any = false;
    for (SHORT p = 0; p < func.cParams; ++p) {
        const TYPEDESC& t = func.lprgelemdescParam[p].tdesc;
        VARTYPE vt = VT_EMPTY;
        if (t.vt == VT_DISPATCH || t.vt == VT_UNKNOWN) {
            vt = t.vt;
        } else if (t.vt == VT_PTR && t.lptdesc && t.lptdesc->vt == VT_USERDEFINED) {
            ComPtr<ITypeInfo> ref;
            if (SUCCEEDED(info->GetRefTypeInfo(t.lptdesc->hreftype, ref.put()))) {
                TypeAttrOf attr(ref.get());
                if (FAILED(attr.result())) return attr.result();
                if (attr->typekind == TKIND_DISPATCH ||
                    (attr->typekind == TKIND_INTERFACE && (attr->wTypeFlags & TYPEFLAG_FDUAL)))
                    vt = VT_DISPATCH;
                else if (attr->typekind == TKIND_INTERFACE)
                    vt = VT_UNKNOWN;
            }
        }
        op.types[p] = vt;
        any = any || vt != VT_EMPTY;
    }
    if (any) m_objectParams.push_back(std::move(op));
    return S_OK;
}

const TypeInfoHolder::ObjectParams* TypeInfoHolder::FindObjectParams(DISPID id, WORD flags) const noexcept {
    for (const ObjectParams& op : m_objectParams) {
        if (op.id != id) continue;
        const bool put = op.kind == INVOKE_PROPERTYPUT || op.kind == INVOKE_PROPERTYPUTREF;
        if (put ? (flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) != 0
                : (flags & (DISPATCH_METHOD | DISPATCH_PROPERTYGET)) != 0)
            return &op;
    }
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
    for (UINT i = 0; i < count; ++i)
        ids[i] = DISPID_UNKNOWN;
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

// A surplus argument is never passed on: the platform's invocation would apply it to the member's result
// (a property's object, possibly null) as a call of that object's default member.
HRESULT TypeInfoHolder::CheckArgumentCount(DISPID id, WORD flags, const DISPPARAMS& params) const noexcept {
    bool reachable = false;
    for (const Operation& a : m_operations) {
        if (a.id != id || (static_cast<WORD>(a.kind) & flags) == 0) continue;
        if (a.varArgs || params.cArgs <= a.declared) return S_OK;
        reachable = true;
    }
    return reachable ? DISP_E_BADPARAMCOUNT : S_OK;
}

// The operation the platform's invocation would call for a call without arguments: the first of the
// member's operations that the call's flags allow, when that one can be called directly.
const TypeInfoHolder::Operation* TypeInfoHolder::DirectOperation(DISPID id, WORD flags) const noexcept {
    for (const Operation& op : m_operations) {
        if (op.id != id || (static_cast<WORD>(op.kind) & flags) == 0) continue;
        return op.directResult != VT_EMPTY && op.slot >= 0 && static_cast<size_t>(op.slot) < kReplaySlots
                   ? &op
                   : nullptr;
    }
    return nullptr;
}

// Calls the operation through the interface's table and hands its out-value on as the platform's
// invocation would. Anything but S_OK goes through that invocation after all (see Replay).
HRESULT TypeInfoHolder::CallDirectly(const Operation& op, IDispatch* self, DISPID id, WORD flags,
                                     DISPPARAMS* params, VARIANT* result, EXCEPINFO* excep,
                                     UINT* argErr) noexcept {
    using Slot = HRESULT(STDMETHODCALLTYPE*)(IDispatch * self, void* out);
    DirectValue value;
    std::memset(&value, 0, sizeof value);
    const auto table = *reinterpret_cast<void* const* const*>(self);
    const HRESULT hr = reinterpret_cast<Slot>(table[op.slot])(self, &value);
    if (hr == S_OK) {
        if (result)
            StoreDirect(op.directResult, value, *result);
        else
            DiscardDirect(op.directResult, value);
        return S_OK;
    }
    Replay replay{kReplayTable.data(), hr, op.directResult, value, false};
    const HRESULT reported = m_vtblInfo->Invoke(&replay, id, flags, params, result, excep, argErr);
    if (!replay.taken) DiscardDirect(op.directResult, value);
    return reported;
}

HRESULT TypeInfoHolder::Invoke(IDispatch* self, DISPID id, LCID lcid, WORD flags, DISPPARAMS* params,
                               VARIANT* result, EXCEPINFO* excep, UINT* argErr) noexcept {
    const HRESULT hr = InvokeMember(self, id, lcid, flags, params, result, excep, argErr);
    if (SUCCEEDED(hr)) return hr;
    return ReportFailedCall(m_loaded.load(std::memory_order_acquire) ? m_vtblInfo.get() : nullptr, id, hr,
                            excep);
}

HRESULT TypeInfoHolder::InvokeMember(IDispatch* self, DISPID id, LCID lcid, WORD flags, DISPPARAMS* params,
                                     VARIANT* result, EXCEPINFO* excep, UINT* argErr) noexcept {
    DISPPARAMS none{nullptr, nullptr, 0, 0};
    if (!params) params = &none;
    if ((params->cArgs && !params->rgvarg) || params->cNamedArgs > params->cArgs ||
        (params->cNamedArgs && !params->rgdispidNamedArgs))
        return E_INVALIDARG;
    HRESULT hr = EnsureLoaded(lcid);
    if (FAILED(hr)) return hr;
    if (!std::binary_search(m_ids.begin(), m_ids.end(), id)) return DISP_E_MEMBERNOTFOUND;

    // Reading a property (or calling an operation without arguments) needs no argument conversion.
    if (params->cArgs == 0) {
        if (const Operation* op = DirectOperation(id, flags))
            return CallDirectly(*op, self, id, flags, params, result, excep, argErr);
    }

    hr = CheckArgumentCount(id, flags, *params);
    if (FAILED(hr)) return hr;

    // A script's null (VT_NULL) for an object parameter means "no object". The type library's own
    // argument conversion refuses it (type mismatch), so it is handed on as a null interface pointer
    // and the member's own argument checks decide.
    const ObjectParams* objects = FindObjectParams(id, flags);
    if (objects) {
        return ComBoundary([&]() -> HRESULT {
            std::vector<VARIANT> args(params->rgvarg,
                                      params->rgvarg + params->cArgs); // shallow: nothing owned
            bool changed = false;
            for (UINT i = 0; i < params->cArgs; ++i) {
                if (args[i].vt != VT_NULL) continue;
                // Named arguments come first; the positional ones follow in reverse order.
                size_t p;
                if (i < params->cNamedArgs) {
                    DISPID named = params->rgdispidNamedArgs[i];
                    p = named == DISPID_PROPERTYPUT ? objects->types.size() - 1 : static_cast<size_t>(named);
                } else {
                    p = params->cArgs - 1 - i;
                }
                if (p >= objects->types.size() || objects->types[p] == VT_EMPTY) continue;
                args[i].vt = objects->types[p];
                args[i].punkVal = nullptr;
                changed = true;
            }
            if (!changed) return m_vtblInfo->Invoke(self, id, flags, params, result, excep, argErr);
            DISPPARAMS adjusted = *params;
            adjusted.rgvarg = args.data();
            return m_vtblInfo->Invoke(self, id, flags, &adjusted, result, excep, argErr);
        });
    }
    return m_vtblInfo->Invoke(self, id, flags, params, result, excep, argErr);
}
