#include "TypeLibReader.h"

#include <oleauto.h>

#include <memory>
#include <string_view>

#include "shared/Bstr.h"
#include "shared/ComPtr.h"
#include "script/TypeLibWalker.h"

namespace {

using TypeModel::Type;

std::string Narrow(std::wstring_view text) {
    if (text.empty()) return {};
    const int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                         nullptr, nullptr);
    std::string out(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), size, nullptr,
                        nullptr);
    return out;
}

std::string GuidText(const GUID& guid) {
    wchar_t buffer[40] = {};
    StringFromGUID2(guid, buffer, 40);
    return Narrow(buffer);
}

std::string NameOf(ITypeInfo* info, MEMBERID id = MEMBERID_NIL) {
    Bstr name;
    if (FAILED(info->GetDocumentation(id, name.put(), nullptr, nullptr, nullptr))) return {};
    return Narrow(name.view());
}

bool IsAutomationRoot(const std::string& name) {
    return name == "IDispatch" || name == "IUnknown";
}

Type Simple(Type::Kind kind, std::string_view automation) {
    Type t;
    t.kind = kind;
    // Assigned from a view: GCC 12 at -O3 sees a false overlap (-Wrestrict) in assigning a C string.
    t.automation.assign(automation.data(), automation.size());
    return t;
}

Type Convert(ITypeInfo* owner, const TYPEDESC& desc) {
    switch (desc.vt) {
    case VT_PTR:
        return Convert(owner, *desc.lptdesc);
    case VT_VOID:
    case VT_HRESULT:
        return Simple(Type::Kind::Void, "void");
    case VT_BSTR:
    case VT_LPWSTR:
    case VT_LPSTR:
        return Simple(Type::Kind::String, "BSTR");
    case VT_BOOL:
        return Simple(Type::Kind::Boolean, "VARIANT_BOOL");
    case VT_I1:
    case VT_UI1:
    case VT_I2:
    case VT_UI2:
    case VT_INT:
    case VT_UINT:
        return Simple(Type::Kind::Number, "int");
    case VT_I4:
        return Simple(Type::Kind::Number, "long");
    case VT_UI4:
        return Simple(Type::Kind::Number, "unsigned long");
    case VT_I8:
        return Simple(Type::Kind::Number, "LONGLONG");
    case VT_UI8:
        return Simple(Type::Kind::Number, "ULONGLONG");
    case VT_R4:
    case VT_R8:
    case VT_CY:
    case VT_DECIMAL:
        return Simple(Type::Kind::Number, "double");
    case VT_DATE:
        return Simple(Type::Kind::Variant, "DATE");
    case VT_VARIANT:
        return Simple(Type::Kind::Variant, "VARIANT");
    case VT_DISPATCH:
        return Simple(Type::Kind::Object, "IDispatch*");
    case VT_UNKNOWN:
        return Simple(Type::Kind::Object, "IUnknown*");
    case VT_USERDEFINED: {
        ComPtr<ITypeInfo> ref;
        if (FAILED(owner->GetRefTypeInfo(desc.hreftype, ref.put()))) return Simple(Type::Kind::Unknown, "?");
        const std::string name = NameOf(ref.get());
        TypeAttrOf attr(ref.get());
        if (!attr) return Simple(Type::Kind::Unknown, "?");
        switch (attr->typekind) {
        case TKIND_ENUM: {
            Type t = Simple(Type::Kind::Number, "enum");
            t.automation = name;
            return t;
        }
        case TKIND_ALIAS:
            return Convert(ref.get(), attr->tdescAlias);
        case TKIND_INTERFACE:
        case TKIND_DISPATCH:
        case TKIND_COCLASS: {
            if (IsAutomationRoot(name))
                return Simple(Type::Kind::Object, name == "IDispatch" ? "IDispatch*" : "IUnknown*");
            Type t;
            t.kind = Type::Kind::Interface;
            t.name = name;
            t.automation = name + "*";
            return t;
        }
        default:
            return Simple(Type::Kind::Unknown, "?");
        }
    }
    default:
        return Simple(Type::Kind::Unknown, "?");
    }
}

HRESULT ReadInterface(ITypeInfo* shown, TypeModel::Interface& out) {
    TypeAttrOf shownAttr(shown);
    if (!shownAttr) return E_FAIL;
    out.name = NameOf(shown);
    out.iid = GuidText(shownAttr->guid);
    // The table of operations carries the HRESULT signatures with their out-value parameters.
    ComPtr<ITypeInfo> view;
    if (FAILED(OperationTable(shown, view))) return E_FAIL;
    TypeAttrOf attr(view.get());
    if (!attr) return E_FAIL;
    const bool isDispinterface = attr->typekind == TKIND_DISPATCH;
    out.dispatchable =
        isDispinterface || (attr->wTypeFlags & (TYPEFLAG_FDUAL | TYPEFLAG_FOLEAUTOMATION)) != 0;

    ComPtr<ITypeInfo> base;
    if (SUCCEEDED(BaseOf(view.get(), *attr, base)) && base) {
        const std::string name = NameOf(base.get());
        if (!IsAutomationRoot(name)) out.base = name;
    }

    for (UINT i = 0; i < attr->cFuncs; ++i) {
        FuncDescOf func(view.get(), i);
        if (!func) return E_FAIL;
        const FUNCDESC& fd = *func;
        if (fd.wFuncFlags & (FUNCFLAG_FRESTRICTED | FUNCFLAG_FHIDDEN)) continue;
        TypeModel::Member member;
        member.dispid = fd.memid;
        member.kind = (fd.invkind & INVOKE_PROPERTYGET) ? TypeModel::Member::Kind::Get
                      : (fd.invkind & (INVOKE_PROPERTYPUT | INVOKE_PROPERTYPUTREF))
                          ? TypeModel::Member::Kind::Put
                          : TypeModel::Member::Kind::Method;
        std::vector<Bstr> owned;
        NamesOf(view.get(), fd.memid, owned);
        if (owned.empty()) continue;
        member.name = Narrow(owned[0].view());
        if (member.name.empty() || member.name[0] == '_') continue;
        if (isDispinterface) member.result = Convert(view.get(), fd.elemdescFunc.tdesc);
        for (SHORT p = 0; p < fd.cParams; ++p) {
            const ELEMDESC& e = fd.lprgelemdescParam[p];
            const USHORT flags = e.paramdesc.wParamFlags;
            if (flags & PARAMFLAG_FRETVAL) {
                member.result = Convert(view.get(), e.tdesc);
                continue;
            }
            TypeModel::Param param;
            param.name = static_cast<size_t>(p) + 1 < owned.size()
                             ? Narrow(owned[static_cast<size_t>(p) + 1].view())
                         : member.kind == TypeModel::Member::Kind::Put ? "value"
                                                                       : "arg" + std::to_string(p);
            param.type = Convert(view.get(), e.tdesc);
            param.optional = (flags & (PARAMFLAG_FOPT | PARAMFLAG_FHASDEFAULT)) != 0;
            member.params.push_back(param);
        }
        out.members.push_back(member);
    }
    return S_OK;
}

} // namespace

HRESULT ReadTypeLibrary(const std::wstring& path, TypeModel::Library& lib) {
    ComPtr<ITypeLib> tlb;
    HRESULT hr = LoadTypeLibEx(path.c_str(), REGKIND_NONE, tlb.put());
    if (FAILED(hr)) return hr;
    Bstr libName;
    tlb->GetDocumentation(-1, libName.put(), nullptr, nullptr, nullptr);
    lib.name = Narrow(libName.view());

    return ForEachTypeInfo(tlb.get(), [&](UINT, ITypeInfo* info, const TYPEATTR& attr) -> HRESULT {
        switch (attr.typekind) {
        case TKIND_ENUM:
            lib.enums.push_back(NameOf(info));
            break;
        case TKIND_INTERFACE:
        case TKIND_DISPATCH: {
            TypeModel::Interface itf;
            HRESULT hr = ReadInterface(info, itf);
            if (FAILED(hr)) return hr;
            lib.interfaces.push_back(itf);
            break;
        }
        case TKIND_COCLASS: {
            TypeModel::CoClass cls;
            cls.name = NameOf(info);
            cls.clsid = GuidText(attr.guid);
            for (UINT k = 0; k < attr.cImplTypes; ++k) {
                INT flags = 0;
                HREFTYPE ref = 0;
                ComPtr<ITypeInfo> itf;
                if (SUCCEEDED(info->GetImplTypeFlags(k, &flags)) && (flags & IMPLTYPEFLAG_FDEFAULT) &&
                    SUCCEEDED(info->GetRefTypeOfImplType(k, &ref)) &&
                    SUCCEEDED(info->GetRefTypeInfo(ref, itf.put())))
                    cls.defaultInterface = NameOf(itf.get());
            }
            lib.classes.push_back(cls);
            break;
        }
        default:
            break;
        }
        return S_OK;
    });
}
