// IDispatch over the library's type library for a class's primary dual interface.
#pragma once

#include "script/TypeInfoHolder.h"

template <class T, class Itf> class IDispatchImpl : public Itf {
public:
    STDMETHOD(GetTypeInfoCount)(UINT* count) noexcept override {
        if (!count) return E_POINTER;
        *count = 1;
        return S_OK;
    }
    STDMETHOD(GetTypeInfo)(UINT index, LCID lcid, ITypeInfo** info) noexcept override {
        if (index != 0) return DISP_E_BADINDEX;
        return Holder().GetTypeInfo(lcid, info);
    }
    STDMETHOD(GetIDsOfNames)(REFIID, LPOLESTR* names, UINT count, LCID lcid, DISPID* ids) noexcept override {
        return Holder().GetIDsOfNames(names, count, lcid, ids);
    }
    STDMETHOD(Invoke)
    (DISPID id, REFIID, LCID lcid, WORD flags, DISPPARAMS* params, VARIANT* result, EXCEPINFO* excep,
     UINT* argErr) noexcept override {
        return Holder().Invoke(static_cast<Itf*>(this), id, lcid, flags, params, result, excep, argErr);
    }

protected:
    // One holder per interface, shared by every class whose primary interface it is.
    static TypeInfoHolder& Holder() noexcept {
        static TypeInfoHolder holder(__uuidof(Itf));
        return holder;
    }
};
