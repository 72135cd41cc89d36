// Module, class objects and object creation, through the library's exported entry points.
#include "support/LibraryModule.h"

#include "module/ObjectMap.h"
#include "shared/ComPtr.h"

#include "Zembrolatix.h"

#include <objsafe.h>

#include <gtest/gtest.h>

namespace {

const CLSID kUnknownClass = {0x12345678, 0x1234, 0x1234, {1, 2, 3, 4, 5, 6, 7, 8}};

class FrameTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_NE(lib.module, nullptr);
        ASSERT_NE(lib.getClassObject, nullptr);
        ASSERT_EQ(lib.canUnloadNow(), S_OK) << "an earlier test left an object alive";
    }
    void TearDown() override { EXPECT_EQ(lib.canUnloadNow(), S_OK) << "objects left alive"; }

    ComPtr<IClassFactory> Factory(REFCLSID clsid) {
        ComPtr<IClassFactory> factory;
        EXPECT_EQ(lib.getClassObject(clsid, IID_IClassFactory, factory.put_void()), S_OK);
        return factory;
    }

    LibraryModule lib;
};

// A controlling object that counts the references its inner object forwards to it.
class CountingOuter : public IUnknown {
public:
    STDMETHOD(QueryInterface)(REFIID iid, void** ppv) override {
        if (::IsEqualIID(iid, IID_IUnknown)) {
            *ppv = this;
            AddRef();
            return S_OK;
        }
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHOD_(ULONG, AddRef)() override { return ++refs; }
    STDMETHOD_(ULONG, Release)() override { return --refs; }
    ULONG refs = 1;
};

TEST_F(FrameTest, LockCountFollowsObjectsClassObjectsAndLocks) {
    {
        ComPtr<IClassFactory> factory = Factory(CLSID_LocalFile);
        EXPECT_EQ(lib.canUnloadNow(), S_FALSE) << "while a class object is held";
    }
    EXPECT_EQ(lib.canUnloadNow(), S_OK) << "the cache's own reference keeps nothing loaded";

    ComPtr<IClassFactory> factory = Factory(CLSID_LocalFile);
    ComPtr<IUnknown> object;
    ASSERT_EQ(factory->CreateInstance(nullptr, IID_IUnknown, object.put_void()), S_OK);
    factory.reset();
    EXPECT_EQ(lib.canUnloadNow(), S_FALSE) << "while an object exists";
    object.reset();
    EXPECT_EQ(lib.canUnloadNow(), S_OK);

    factory = Factory(CLSID_PrefService);
    ASSERT_EQ(factory->LockServer(TRUE), S_OK);
    factory.reset();
    EXPECT_EQ(lib.canUnloadNow(), S_FALSE) << "while the server is locked";
    factory = Factory(CLSID_PrefService);
    ASSERT_EQ(factory->LockServer(FALSE), S_OK);
}

TEST_F(FrameTest, SameClassObjectTwice) {
    ComPtr<IClassFactory> first = Factory(CLSID_StringBundle);
    ComPtr<IUnknown> second;
    ASSERT_EQ(lib.getClassObject(CLSID_StringBundle, IID_IUnknown, second.put_void()), S_OK);
    EXPECT_EQ(static_cast<IUnknown*>(first.get()), second.get());
}

TEST_F(FrameTest, ClassObjectLookupFailures) {
    void* out = reinterpret_cast<void*>(0xdeadbeef);
    EXPECT_EQ(lib.getClassObject(kUnknownClass, IID_IClassFactory, &out), CLASS_E_CLASSNOTAVAILABLE);
    EXPECT_EQ(out, nullptr);
    EXPECT_EQ(lib.getClassObject(CLSID_LocalFile, IID_IClassFactory, nullptr), E_POINTER);
    out = reinterpret_cast<void*>(0xdeadbeef);
    EXPECT_EQ(lib.getClassObject(CLSID_LocalFile, IID_IDispatch, &out), E_NOINTERFACE);
    EXPECT_EQ(out, nullptr);
}

TEST_F(FrameTest, CreateInstanceFailuresLeaveNothingBehind) {
    ComPtr<IClassFactory> factory = Factory(CLSID_LocalFile);
    CountingOuter outer;
    void* out = reinterpret_cast<void*>(0xdeadbeef);
    EXPECT_EQ(factory->CreateInstance(&outer, IID_IDispatch, &out), CLASS_E_NOAGGREGATION);
    EXPECT_EQ(out, nullptr);
    EXPECT_EQ(outer.refs, 1u);
    EXPECT_EQ(factory->CreateInstance(nullptr, IID_IUnknown, nullptr), E_POINTER);

    out = reinterpret_cast<void*>(0xdeadbeef);
    EXPECT_EQ(factory->CreateInstance(nullptr, IID_IPrefBranch, &out), E_NOINTERFACE);
    EXPECT_EQ(out, nullptr);
    factory.reset();
    EXPECT_EQ(lib.canUnloadNow(), S_OK) << "a refused interface must not keep the object alive";
}

TEST_F(FrameTest, ClassObjectAnswersOnlyUnknownAndClassFactory) {
    ComPtr<IClassFactory> factory = Factory(CLSID_Logger);
    ComPtr<IUnknown> other;
    EXPECT_EQ(static_cast<IUnknown*>(factory.get())->QueryInterface(IID_IClassFactory2, other.put_void()),
              E_NOINTERFACE);
    EXPECT_EQ(static_cast<IUnknown*>(factory.get())->QueryInterface(IID_IDispatch, other.put_void()),
              E_NOINTERFACE);
}

TEST_F(FrameTest, AggregatedObjectDelegatesToTheOuterObject) {
    ComPtr<IClassFactory> factory = Factory(CLSID_LocalFile);
    CountingOuter outer;
    ComPtr<IUnknown> inner;
    ASSERT_EQ(factory->CreateInstance(&outer, IID_IUnknown, inner.put_void()), S_OK);
    EXPECT_EQ(outer.refs, 1u) << "the inner IUnknown counts on its own";

    ComPtr<IUnknown> innerAgain;
    ASSERT_EQ(inner->QueryInterface(IID_IUnknown, innerAgain.put_void()), S_OK);
    EXPECT_EQ(innerAgain.get(), inner.get()) << "IUnknown is the wrapper itself";
    EXPECT_EQ(outer.refs, 1u);

    IUnknown* file = nullptr;
    ASSERT_EQ(inner->QueryInterface(IID_ILocalFile, reinterpret_cast<void**>(&file)), S_OK);
    EXPECT_EQ(outer.refs, 2u) << "the contained object's reference goes to the outer object";
    IUnknown* viaOuter = nullptr;
    EXPECT_EQ(file->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&viaOuter)), S_OK);
    EXPECT_EQ(viaOuter, static_cast<IUnknown*>(&outer))
        << "the contained object's IUnknown is the outer object";
    viaOuter->Release();
    file->Release();
    EXPECT_EQ(outer.refs, 1u);
    factory.reset();
    innerAgain.reset();
    EXPECT_EQ(lib.canUnloadNow(), S_FALSE);
    inner.reset();
}

// The calls a script engine makes when a script creates an object, asks for safe options, calls it
// and drops it leave nothing alive, for every class.
TEST_F(FrameTest, ScriptEngineSequenceLeavesNothingAlive) {
    for (const ObjectMapEntry* entry = ObjectMapBegin(); entry != ObjectMapEnd(); ++entry) {
        const CLSID* clsid = entry->clsid;
        {
            ComPtr<IClassFactory> factory;
            ASSERT_EQ(::CoGetClassObject(*clsid, CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER, nullptr,
                                         IID_IClassFactory, factory.put_void()),
                      S_OK);
            ComPtr<IUnknown> object;
            ASSERT_EQ(factory->CreateInstance(nullptr, IID_IUnknown, object.put_void()), S_OK);
            factory.reset();
            ComPtr<IObjectSafety> safety;
            if (SUCCEEDED(object->QueryInterface(IID_IObjectSafety, safety.put_void()))) {
                DWORD supported = 0, enabled = 0;
                safety->GetInterfaceSafetyOptions(IID_IDispatch, &supported, &enabled);
                safety->SetInterfaceSafetyOptions(IID_IDispatch, 3, 3);
                safety->SetInterfaceSafetyOptions(IID_IDispatch, 1, 1);
            }
            ComPtr<IDispatch> dispatch;
            ASSERT_EQ(object->QueryInterface(IID_IDispatch, dispatch.put_void()), S_OK);
            ComPtr<ITypeInfo> info;
            EXPECT_EQ(dispatch->GetTypeInfo(0, LOCALE_USER_DEFAULT, info.put()), S_OK);
            LPOLESTR name = const_cast<LPOLESTR>(L"NoSuchMember");
            DISPID id = 0;
            EXPECT_EQ(dispatch->GetIDsOfNames(IID_NULL, &name, 1, LOCALE_USER_DEFAULT, &id),
                      DISP_E_UNKNOWNNAME);
        }
        EXPECT_EQ(lib.canUnloadNow(), S_OK) << "an object of the class is still alive";
    }
}

} // namespace
