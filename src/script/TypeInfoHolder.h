// Type information of one interface of the library's type library, loaded on first use.
#pragma once

#include "shared/ComPtr.h"

#include "version.h"

#include <oaidl.h>

#include <atomic>
#include <string>
#include <string_view>
#include <vector>

// The version of the library's type library that the module registers and loads: the product's major
// and minor version.
constexpr WORD kTypeLibMajorVersion = ZEMBROLATIX_VERSION_MAJOR;
constexpr WORD kTypeLibMinorVersion = ZEMBROLATIX_VERSION_MINOR;

class TypeInfoHolder {
public:
    explicit TypeInfoHolder(const IID& iid) noexcept : m_iid(iid) {}
    TypeInfoHolder(const TypeInfoHolder&) = delete;
    TypeInfoHolder& operator=(const TypeInfoHolder&) = delete;

    // The interface's type information as handed to callers of IDispatch::GetTypeInfo.
    HRESULT GetTypeInfo(LCID lcid, ITypeInfo** info) noexcept;
    HRESULT GetIDsOfNames(LPOLESTR* names, UINT count, LCID lcid, DISPID* ids) noexcept;
    HRESULT Invoke(IDispatch* self, DISPID id, LCID lcid, WORD flags, DISPPARAMS* params, VARIANT* result,
                   EXCEPINFO* excep, UINT* argErr) noexcept;

private:
    struct Member {
        std::wstring name;
        DISPID id;
        std::vector<std::wstring> paramNames;
    };

    // A member's name folded to ASCII lower case and hashed, with the member's place in m_members.
    struct NameKey {
        size_t hash;
        size_t member;
        bool operator<(const NameKey& o) const noexcept {
            return hash != o.hash ? hash < o.hash : member < o.member;
        }
    };

    // Which parameters of one operation take an object: VT_DISPATCH or VT_UNKNOWN, VT_EMPTY for others.
    struct ObjectParams {
        DISPID id;
        INVOKEKIND kind;
        std::vector<VARTYPE> types;
    };

    // One operation of the interface, in the order the platform's invocation looks for it: how many
    // arguments it takes from a caller (its out-value parameter not counted), and for an operation
    // whose one parameter is an out-value of a plain type, where it sits in the table of operations.
    struct Operation {
        DISPID id;
        INVOKEKIND kind;
        UINT declared;
        bool varArgs;
        VARTYPE directResult; // VT_EMPTY when the operation is called through the type information only
        SHORT slot;
    };

    // Invoke without the report of a failure.
    HRESULT InvokeMember(IDispatch* self, DISPID id, LCID lcid, WORD flags, DISPPARAMS* params,
                         VARIANT* result, EXCEPINFO* excep, UINT* argErr) noexcept;
    HRESULT EnsureLoaded(LCID lcid) noexcept;
    // DISP_E_BADPARAMCOUNT when every operation the call could reach takes fewer arguments than given.
    HRESULT CheckArgumentCount(DISPID id, WORD flags, const DISPPARAMS& params) const noexcept;
    // The operation a call without arguments reaches, when it can be called directly.
    const Operation* DirectOperation(DISPID id, WORD flags) const noexcept;
    HRESULT CallDirectly(const Operation& op, IDispatch* self, DISPID id, WORD flags, DISPPARAMS* params,
                         VARIANT* result, EXCEPINFO* excep, UINT* argErr) noexcept;
    HRESULT NoteObjectParams(ITypeInfo* info, const FUNCDESC& func);
    const ObjectParams* FindObjectParams(DISPID id, WORD flags) const noexcept;
    HRESULT Load(LCID lcid);
    HRESULT CollectMembers(ITypeInfo* info);
    void Clear() noexcept;
    static void Release(void* self) noexcept;
    const Member* Find(std::wstring_view name) const noexcept;

    const IID& m_iid;
    std::atomic<bool> m_loaded{false}; // set, with release, only once everything below is filled in
    ComPtr<ITypeInfo> m_info;          // as described in the library (the dispatch view of a dual interface)
    ComPtr<ITypeInfo> m_vtblInfo;      // the interface's own table of operations, used to call members
    // Every member of the interface and its bases but IUnknown's and IDispatch's, spelled as in the library.
    std::vector<Member> m_members;
    std::vector<NameKey> m_names; // sorted
    std::vector<DISPID> m_ids;    // the members' ids, sorted
    std::vector<Operation> m_operations;
    // Only the operations that have at least one object parameter.
    std::vector<ObjectParams> m_objectParams;
};
