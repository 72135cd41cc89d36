// Reference counting, interface tables and the plain and aggregated wrappers of a script object.
//
// A class T derives from CComObjectRootEx<CComSingleThreadModel>, CComCoClass<T, &CLSID_...> and its
// interface bases, and lists its interface table with BEGIN_COM_MAP/END_COM_MAP. It is never created
// directly: CComObject<T> (alone) or CComAggObject<T> (inside an outer object) adds IUnknown.
#pragma once

#include "module/Module.h"
#include "script/Boundary.h"

#include <unknwn.h>

#include <new>

// One row of a class's interface table: the identifier and how to reach that interface's pointer from
// the class's own pointer.
struct InterfaceEntry {
    const IID* iid;
    IUnknown* (*cast)(void* object) noexcept;
};

// The class's pointer converted to its Itf base (Itf must be an unambiguous base).
template <class Itf, class Class> IUnknown* CastToInterface(void* object) noexcept {
    return static_cast<Itf*>(static_cast<Class*>(object));
}

#define BEGIN_COM_MAP(Class)                                                                                 \
    using ComMapClass = Class;                                                                               \
    static const ::InterfaceEntry* GetInterfaceTable() noexcept {                                            \
        static const ::InterfaceEntry table[] = {
// An interface implemented by a base of the same name.
#define COM_INTERFACE_ENTRY(Itf) {&__uuidof(Itf), &::CastToInterface<Itf, ComMapClass>},
// An interface answered through the pointer of another base (IDispatch through the primary dual).
#define COM_INTERFACE_ENTRY2(Itf, Via) {&__uuidof(Itf), &::CastToInterface<Via, ComMapClass>},
#define END_COM_MAP()                                                                                        \
    { nullptr, nullptr }                                                                                     \
    }                                                                                                        \
    ;                                                                                                        \
    return table;                                                                                            \
    }

// Looks iid up in a table; IUnknown is answered with the first row. object is the pointer of the class
// that lists the table. Adds a reference through the returned pointer, so the wrapper's own counting
// applies.
HRESULT QueryInterfaceTable(void* object, const InterfaceEntry* table, REFIID iid, void** ppv) noexcept;

// Plain reference counting: every script object lives in one single-threaded apartment.
struct CComSingleThreadModel {
    static ULONG Increment(ULONG& v) noexcept { return ++v; }
    static ULONG Decrement(ULONG& v) noexcept { return --v; }
};

// Atomic counting for objects shared between apartments (class objects).
struct CComMultiThreadModel {
    static ULONG Increment(ULONG& v) noexcept {
        return static_cast<ULONG>(::InterlockedIncrement(reinterpret_cast<LONG*>(&v)));
    }
    static ULONG Decrement(ULONG& v) noexcept {
        return static_cast<ULONG>(::InterlockedDecrement(reinterpret_cast<LONG*>(&v)));
    }
};

template <class ThreadModel> class CComObjectRootEx {
public:
    CComObjectRootEx() noexcept = default;
    CComObjectRootEx(const CComObjectRootEx&) = delete;
    CComObjectRootEx& operator=(const CComObjectRootEx&) = delete;

    ULONG InternalAddRef() noexcept { return ThreadModel::Increment(m_refCount); }
    ULONG InternalRelease() noexcept { return ThreadModel::Decrement(m_refCount); }
    ULONG RefCount() const noexcept { return m_refCount; }

    // The outer object of an aggregated instance; null for a plain one.
    IUnknown* OuterUnknown() const noexcept { return m_outer; }
    void SetOuterUnknown(IUnknown* outer) noexcept { m_outer = outer; }

private:
    ULONG m_refCount = 0;
    IUnknown* m_outer = nullptr;
};

using CreatorFunc = HRESULT (*)(IUnknown* outer, REFIID iid, void** ppv);

// Keeps the module locked for the lifetime of the object it is the first base of: it is built before
// and destroyed after every member of the object, so the module stays locked while any of them runs.
class ModuleLockHolder {
protected:
    ModuleLockHolder() noexcept { g_module.Lock(); }
    ~ModuleLockHolder() { g_module.Unlock(); }
    ModuleLockHolder(const ModuleLockHolder&) = delete;
    ModuleLockHolder& operator=(const ModuleLockHolder&) = delete;
};

// Makes a wrapper (with the constructor arguments given) and asks it for iid; the wrapper goes again
// when it does not answer. Nothing is made when ppv is null.
template <class Wrapper, class... Args> HRESULT CreateWrapper(REFIID iid, void** ppv, Args... args) noexcept {
    if (!ppv) return E_POINTER;
    *ppv = nullptr;
    Wrapper* object = nullptr;
    HRESULT hr = ComBoundary([&] {
        object = new Wrapper(args...);
        return S_OK;
    });
    if (FAILED(hr)) return hr;
    object->AddRef();
    hr = object->QueryInterface(iid, ppv);
    object->Release();
    return hr;
}

// Plain wrapper: the class's fields, its own reference count and IUnknown.
template <class Base> class CComObject final : private ModuleLockHolder, public Base {
public:
    STDMETHOD_(ULONG, AddRef)() noexcept override { return this->InternalAddRef(); }
    STDMETHOD_(ULONG, Release)() noexcept override {
        ULONG count = this->InternalRelease();
        if (count == 0) delete this;
        return count;
    }
    STDMETHOD(QueryInterface)(REFIID iid, void** ppv) noexcept override {
        return QueryInterfaceTable(static_cast<Base*>(this), Base::GetInterfaceTable(), iid, ppv);
    }

    static HRESULT CreateInstance(REFIID iid, void** ppv) noexcept {
        return CreateWrapper<CComObject>(iid, ppv);
    }
};

// The class inside an aggregate: every IUnknown call goes to the outer object.
template <class Base> class CComContainedObject final : public Base {
public:
    explicit CComContainedObject(IUnknown* outer) { this->SetOuterUnknown(outer); }

    STDMETHOD_(ULONG, AddRef)() noexcept override { return this->OuterUnknown()->AddRef(); }
    STDMETHOD_(ULONG, Release)() noexcept override { return this->OuterUnknown()->Release(); }
    STDMETHOD(QueryInterface)(REFIID iid, void** ppv) noexcept override {
        return this->OuterUnknown()->QueryInterface(iid, ppv);
    }

    // The inner lookup, used by the aggregate's own IUnknown.
    HRESULT InnerQueryInterface(REFIID iid, void** ppv) noexcept {
        return QueryInterfaceTable(static_cast<Base*>(this), Base::GetInterfaceTable(), iid, ppv);
    }
};

// Aggregated wrapper: its own count, the outer IUnknown and the contained class.
template <class Base> class CComAggObject final : private ModuleLockHolder, public IUnknown {
public:
    explicit CComAggObject(IUnknown* outer) : m_contained(outer) {}
    CComAggObject(const CComAggObject&) = delete;
    CComAggObject& operator=(const CComAggObject&) = delete;

    STDMETHOD_(ULONG, AddRef)() noexcept override { return ++m_refCount; }
    STDMETHOD_(ULONG, Release)() noexcept override {
        ULONG count = --m_refCount;
        if (count == 0) delete this;
        return count;
    }
    STDMETHOD(QueryInterface)(REFIID iid, void** ppv) noexcept override {
        if (!ppv) return E_POINTER;
        *ppv = nullptr;
        if (::IsEqualIID(iid, IID_IUnknown)) {
            *ppv = static_cast<IUnknown*>(this);
            AddRef();
            return S_OK;
        }
        return m_contained.InnerQueryInterface(iid, ppv);
    }

    static HRESULT CreateInstance(IUnknown* outer, REFIID iid, void** ppv) noexcept {
        return CreateWrapper<CComAggObject>(iid, ppv, outer);
    }

private:
    ULONG m_refCount = 0;
    CComContainedObject<Base> m_contained;
};

// Class identity and the instance creator used by the class object.
template <class T, const CLSID* pclsid> class CComCoClass {
public:
    static const CLSID& GetObjectCLSID() noexcept { return *pclsid; }

    static HRESULT CreateInstance(IUnknown* outer, REFIID iid, void** ppv) noexcept {
        if (outer) return CComAggObject<T>::CreateInstance(outer, iid, ppv);
        return CComObject<T>::CreateInstance(iid, ppv);
    }

    // Creates a plain instance for use inside the library, asking for interface I.
    template <class I> static HRESULT CreateLocal(I** ppv) noexcept {
        return CComObject<T>::CreateInstance(__uuidof(I), reinterpret_cast<void**>(ppv));
    }
};
