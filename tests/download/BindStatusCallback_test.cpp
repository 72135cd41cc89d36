#include "download/WebBrowserPersist.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// A script function stand-in: records how it was called and answers what it is told to.
class FakeListener : public IDispatch, public CComObjectRootEx<CComSingleThreadModel> {
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

    STDMETHOD(GetTypeInfoCount)(UINT*) noexcept override { return E_NOTIMPL; }
    STDMETHOD(GetTypeInfo)(UINT, LCID, ITypeInfo**) noexcept override { return E_NOTIMPL; }
    STDMETHOD(GetIDsOfNames)(REFIID, LPOLESTR*, UINT, LCID, DISPID*) noexcept override { return E_NOTIMPL; }
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

using Callback = CWebBrowserPersist::BindStatusCallback;

struct Fixture {
    CComObject<FakeListener>* listener = new CComObject<FakeListener>();
    ComPtr<IDispatch> listenerRef;
    ComPtr<IBindStatusCallback> callback;
    Fixture() {
        listener->QueryInterface(IID_IDispatch, listenerRef.put_void());
        EXPECT_EQ(Callback::Create(listenerRef.get(), callback), S_OK);
    }
};

TEST(BindStatusCallback, AnswersOnlyItsOwnInterface) {
    Fixture f;
    ComPtr<IUnknown> unknown;
    EXPECT_EQ(f.callback->QueryInterface(IID_IUnknown, unknown.put_void()), S_OK);
    const IID* others[] = {&IID_IDispatch, &IID_IBindStatusCallbackEx, &IID_IServiceProvider,
                           &IID_IHttpNegotiate};
    for (const IID* iid : others) {
        ComPtr<IUnknown> itf;
        EXPECT_EQ(f.callback->QueryInterface(*iid, itf.put_void()), E_NOINTERFACE);
        EXPECT_FALSE(itf);
    }
}

TEST(BindStatusCallback, OperationsOtherThanStopOnlySucceed) {
    Fixture f;
    EXPECT_EQ(f.callback->OnStartBinding(0, nullptr), S_OK);
    LONG priority = 12345;
    EXPECT_EQ(f.callback->GetPriority(&priority), S_OK);
    EXPECT_EQ(priority, 0);
    EXPECT_EQ(f.callback->GetPriority(nullptr), E_INVALIDARG);
    EXPECT_EQ(f.callback->OnLowResource(0), S_OK);
    EXPECT_EQ(f.callback->OnProgress(10, 100, BINDSTATUS_DOWNLOADINGDATA, L"x"), S_OK);
    EXPECT_EQ(f.callback->OnProgress(100, 100, BINDSTATUS_ENDDOWNLOADDATA, nullptr), S_OK);
    EXPECT_EQ(f.callback->OnDataAvailable(BSCF_LASTDATANOTIFICATION, 10, nullptr, nullptr), S_OK);
    EXPECT_EQ(f.callback->OnObjectAvailable(IID_IUnknown, nullptr), S_OK);
    EXPECT_TRUE(f.listener->calls.empty()) << "only the end of the binding is reported";
}

TEST(BindStatusCallback, BindInfoAsksForAsynchronousBindingAndLeavesTheRecord) {
    Fixture f;
    DWORD flags = 0xdeadbeef;
    BINDINFO info;
    memset(&info, 0xab, sizeof(info));
    BINDINFO before = info;
    EXPECT_EQ(f.callback->GetBindInfo(&flags, &info), S_OK);
    EXPECT_EQ(flags, static_cast<DWORD>(BINDF_ASYNCHRONOUS));
    EXPECT_EQ(memcmp(&info, &before, sizeof(info)), 0);
    EXPECT_EQ(f.callback->GetBindInfo(nullptr, &info), E_INVALIDARG);
}

TEST(BindStatusCallback, StopCallsTheListenerOnceAsAFunction) {
    const HRESULT stops[] = {S_OK, INET_E_RESOURCE_NOT_FOUND, E_ABORT};
    const HRESULT listenerResults[] = {S_OK, DISP_E_MEMBERNOTFOUND, DISP_E_EXCEPTION};
    for (HRESULT stop : stops)
        for (HRESULT answer : listenerResults) {
            Fixture f;
            f.listener->result = answer;
            EXPECT_EQ(f.callback->OnStopBinding(stop, L"text"), S_OK);
            EXPECT_EQ(f.callback->OnStopBinding(stop, nullptr), S_OK);
            ASSERT_EQ(f.listener->calls.size(), 1u);
            const auto& call = f.listener->calls[0];
            EXPECT_EQ(call.id, DISPID_VALUE);
            EXPECT_TRUE(IsEqualIID(call.iid, IID_NULL));
            EXPECT_EQ(call.lcid, 0x0800u);
            EXPECT_EQ(call.flags, DISPATCH_METHOD);
            EXPECT_EQ(call.named, 0u);
            EXPECT_EQ(call.types, (std::vector<VARTYPE>{VT_I4, VT_I4}));
            EXPECT_EQ(call.values, (std::vector<LONG>{100, 100}));
        }
}

TEST(BindStatusCallback, KeepsItsOwnReferenceToTheListener) {
    Fixture f;
    ComPtr<IBindStatusCallback> callback = f.callback;
    f.listenerRef.reset();
    f.listener->AddRef();
    EXPECT_EQ(f.listener->Release(), 1u); // the callback's reference
    EXPECT_EQ(callback->OnStopBinding(S_OK, nullptr), S_OK);
    EXPECT_EQ(f.listener->calls.size(), 1u);
}

} // namespace
