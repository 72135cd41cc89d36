// A stand-in for a script function given as a download's progress listener.
#pragma once

#include "module/ComObject.h"
#include "support/ComTest.h"

#include <vector>

// A script function stand-in: records how it was called and answers what it is told to.
class FakeListener : public DispatchStubs<>, public CComObjectRootEx<CComSingleThreadModel> {
public:
    BEGIN_COM_MAP(FakeListener)
    COM_INTERFACE_ENTRY(IDispatch)
    END_COM_MAP()

    struct Call {
        DISPID id;
        IID iid;
        LCID lcid;
        WORD flags;
        std::vector<VARTYPE> types;
        std::vector<LONG> values;
        UINT named;
    };

    STDMETHOD(Invoke)
    (DISPID id, REFIID iid, LCID lcid, WORD flags, DISPPARAMS* params, VARIANT*, EXCEPINFO* excep,
     UINT*) noexcept override {
        Call call{id, iid, lcid, flags, {}, {}, params ? params->cNamedArgs : 99};
        for (UINT i = 0; params && i < params->cArgs; ++i) {
            call.types.push_back(params->rgvarg[i].vt);
            call.values.push_back(params->rgvarg[i].lVal);
        }
        calls.push_back(call);
        if (result == DISP_E_EXCEPTION && excep)
            excep->bstrDescription = ::SysAllocString(L"thrown by the listener");
        return result;
    }

    std::vector<Call> calls;
    HRESULT result = S_OK;
};
