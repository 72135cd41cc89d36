// The class object of every class: an IClassFactory over the class's instance creator.
#pragma once

#include "module/ComObject.h"

class CComClassFactory : public IClassFactory, public CComObjectRootEx<CComMultiThreadModel> {
public:
    explicit CComClassFactory(CreatorFunc creator) noexcept : m_creator(creator) {}

    BEGIN_COM_MAP(CComClassFactory)
    COM_INTERFACE_ENTRY(IClassFactory)
    END_COM_MAP()

    STDMETHOD(CreateInstance)(IUnknown* outer, REFIID iid, void** ppv) noexcept override;
    STDMETHOD(LockServer)(BOOL lock) noexcept override;

private:
    CreatorFunc m_creator;
};

// Wrapper for a class object held in the object map's cache: the cache's own reference does not keep
// the module loaded, every further reference does.
template <class Base> class CComObjectCached final : public Base {
public:
    using Base::Base;

    STDMETHOD_(ULONG, AddRef)() noexcept override {
        ULONG count = this->InternalAddRef();
        if (count == 2) g_module.Lock();
        return count;
    }
    STDMETHOD_(ULONG, Release)() noexcept override {
        ULONG count = this->InternalRelease();
        if (count == 0)
            delete this;
        else if (count == 1)
            g_module.Unlock();
        return count;
    }
    STDMETHOD(QueryInterface)(REFIID iid, void** ppv) noexcept override {
        return QueryInterfaceTable(static_cast<Base*>(this), Base::GetInterfaceTable(), iid, ppv);
    }
};

// Makes a cached class object for creator and asks it for iid.
HRESULT CreateClassObject(CreatorFunc creator, REFIID iid, void** ppv) noexcept;
