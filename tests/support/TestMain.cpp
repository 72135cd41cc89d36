#include "support/TestMain.h"

#include "module/Module.h"
#include "module/ObjectMap.h"
#include "shared/Storage.h"

#include <gtest/gtest.h>

#include <objbase.h>

#include <cstdio>
#include <memory>
#include <string_view>
#include <vector>

namespace {

// The class object COM hands out for a class of the linked copy. It holds no reference of its own,
// so the module's lock count counts only what the tests hold, as DllCanUnloadNow sees it.
class LinkedClass final : public IClassFactory {
public:
    explicit LinkedClass(REFCLSID clsid) : m_clsid(clsid) {}
    STDMETHOD(QueryInterface)(REFIID iid, void** ppv) override {
        if (!::IsEqualIID(iid, IID_IUnknown) && !::IsEqualIID(iid, IID_IClassFactory)) {
            *ppv = nullptr;
            return E_NOINTERFACE;
        }
        *ppv = static_cast<IClassFactory*>(this);
        return S_OK;
    }
    STDMETHOD_(ULONG, AddRef)() override { return 2; }
    STDMETHOD_(ULONG, Release)() override { return 1; }
    STDMETHOD(CreateInstance)(IUnknown* outer, REFIID iid, void** ppv) override {
        IClassFactory* factory = nullptr;
        HRESULT hr = GetClassObjectFromMap(m_clsid, IID_IClassFactory, reinterpret_cast<void**>(&factory));
        if (FAILED(hr)) return hr;
        hr = factory->CreateInstance(outer, iid, ppv);
        factory->Release();
        return hr;
    }
    STDMETHOD(LockServer)(BOOL lock) override {
        lock ? g_module.Lock() : g_module.Unlock();
        return S_OK;
    }
    DWORD cookie = 0;

private:
    const CLSID m_clsid;
};

} // namespace

int RunTests(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    char storage[16] = {};
    if (::GetEnvironmentVariableA("ZEMBROLATIX_TEST_STORAGE", storage, sizeof(storage)) &&
        std::string_view(storage) == "ordinary")
        OverrideLowStorage(false);
    if (FAILED(::CoInitialize(nullptr)) || !ObjectMapInit()) return 2;
    std::vector<std::unique_ptr<LinkedClass>> classes;
    for (const ObjectMapEntry* entry = ObjectMapBegin(); entry != ObjectMapEnd(); ++entry) {
        LinkedClass* linked = classes.emplace_back(std::make_unique<LinkedClass>(*entry->clsid)).get();
        if (FAILED(::CoRegisterClassObject(*entry->clsid, linked, CLSCTX_INPROC_SERVER, REGCLS_MULTIPLEUSE,
                                           &linked->cookie)))
            return 2;
    }
    int result = RUN_ALL_TESTS();
    if (::GetModuleHandleW(L"Zembrolatix.dll")) {
        std::fputs("the registered Zembrolatix.dll was loaded beside the linked library\n", stderr);
        result = result ? result : 4;
    }
    for (const auto& linked : classes)
        ::CoRevokeClassObject(linked->cookie);
    g_module.RunTermFuncs();
    ObjectMapTerm();
    ::CoUninitialize();
    return result;
}
