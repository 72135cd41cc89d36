// The conventions every class follows: its interface table, the dispatch contracts over the type
// library, the safety options and the three ways of testing for an interface.
#include "module/ComObject.h"
#include "support/ComTest.h"
#include "script/TypeLibWalker.h"
#include "shared/Bstr.h"
#include "shared/ComPtr.h"

#include "Zembrolatix.h"

#include <objsafe.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

struct Answer {
    const IID* iid;
    bool separate; // answered with a pointer other than the primary interface's
};

struct ClassRow {
    const char* name;
    const CLSID* clsid;
    std::vector<Answer> answers;
};

const IID kIObjectSafety = {0xcb5bdc81, 0x93c1, 0x11cf, {0x8f, 0x20, 0x00, 0x80, 0x5f, 0x2c, 0xd0, 0x64}};

const std::vector<ClassRow>& Rows() {
    static const std::vector<ClassRow> rows = {
        {"ArgumentTransfer",
         &CLSID_ArgumentTransfer,
         {{&IID_IDispatch, false}, {&IID_IArgumentTransfer, false}, {&kIObjectSafety, true}}},
        {"ContextMenuHelper",
         &CLSID_ContextMenuHelper,
         {{&IID_IContextMenuHelper, false}, {&IID_IDispatch, false}}},
        {"DirectoryService",
         &CLSID_DirectoryService,
         {{&IID_IDispatch, false}, {&IID_IDirectoryService, false}, {&kIObjectSafety, true}}},
        {"DOMParser",
         &CLSID_DOMParser,
         {{&IID_IDispatch, false}, {&IID_IDOMParser, false}, {&kIObjectSafety, true}}},
        {"DOMSerializer",
         &CLSID_DOMSerializer,
         {{&IID_IDispatch, false}, {&IID_IDOMSerializer, false}, {&kIObjectSafety, true}}},
        {"FileInputStream",
         &CLSID_FileInputStream,
         {{&IID_IDispatch, false},
          {&IID_IFileInputStream, false},
          {&IID_IInputStreamNoScript, true},
          {&IID_IInputStream, false},
          {&IID_ISeekableStream, false},
          {&IID_ISafeLocalFile, true},
          {&IID_IScriptImplements, false},
          {&kIObjectSafety, true},
          {&IID_IFileInputStream2, false}}},
        {"FileOutputStream",
         &CLSID_FileOutputStream,
         {{&IID_IDispatch, false},
          {&IID_IOutputStream, false},
          {&IID_IFileOutputStream, false},
          {&IID_ISeekableStream, false},
          {&IID_ISafeLocalFile, true},
          {&IID_IScriptImplements, false},
          {&kIObjectSafety, true},
          {&IID_IFileOutputStream2, false}}},
        {"FilePicker",
         &CLSID_FilePicker,
         {{&IID_IFilePicker, false}, {&IID_IDispatch, false}, {&kIObjectSafety, true}}},
        {"InterfaceFinder",
         &CLSID_InterfaceFinder,
         {{&IID_IDispatch, false}, {&IID_IInterfaceFinder, false}, {&kIObjectSafety, true}}},
        {"LocalFile",
         &CLSID_LocalFile,
         {{&IID_IDispatch, false},
          {&IID_ILocalFile, false},
          {&IID_IFile, false},
          {&kIObjectSafety, true},
          {&IID_ISafeLocalFile, true}}},
        {"PrefBranch",
         &CLSID_PrefBranch,
         {{&IID_IDispatch, false}, {&IID_IPrefBranch, false}, {&kIObjectSafety, true}}},
        {"PrefService",
         &CLSID_PrefService,
         {{&IID_IDispatch, false}, {&IID_IPrefService, false}, {&kIObjectSafety, true}}},
        {"PropertyElement",
         &CLSID_PropertyElement,
         {{&IID_IDispatch, false},
          {&IID_IPropertyElement, false},
          {&IID_IScriptImplements, false},
          {&kIObjectSafety, true}}},
        {"Logger", &CLSID_Logger, {{&IID_ILogger, false}, {&IID_IDispatch, false}, {&kIObjectSafety, true}}},
        {"SimpleEnumerator",
         &CLSID_SimpleEnumerator,
         {{&IID_IDispatch, false}, {&IID_ISimpleEnumerator, false}, {&kIObjectSafety, true}}},
        {"StringBundle",
         &CLSID_StringBundle,
         {{&IID_IDispatch, false}, {&IID_IStringBundle, false}, {&kIObjectSafety, true}}},
        {"StringBundleService",
         &CLSID_StringBundleService,
         {{&IID_IDispatch, false}, {&IID_IStringBundleService, false}, {&kIObjectSafety, true}}},
        {"WebBrowserPersist",
         &CLSID_WebBrowserPersist,
         {{&IID_IDispatch, false}, {&IID_IWebBrowserPersist, false}, {&kIObjectSafety, true}}},
        {"WindowManager",
         &CLSID_WindowManager,
         {{&IID_IDispatch, false}, {&IID_IWindowManager, false}, {&kIObjectSafety, true}}},
    };
    return rows;
}

// Every identifier any class could be asked for: the library's own and some the platform asks for.
std::vector<const IID*> Universe() {
    return {&IID_IDispatch,
            &IID_IScriptImplements,
            &IID_IWindowManager,
            &IID_IArgumentTransfer,
            &IID_ILogger,
            &IID_IPrefService,
            &IID_IPrefBranch,
            &IID_IStringBundleService,
            &IID_IStringBundle,
            &IID_ISimpleEnumerator,
            &IID_IPropertyElement,
            &IID_IFile,
            &IID_ILocalFile,
            &IID_ISafeLocalFile,
            &IID_IDirectoryService,
            &IID_IInterfaceFinder,
            &IID_ISeekableStream,
            &IID_IInputStream,
            &IID_IFileInputStream,
            &IID_IInputStreamNoScript,
            &IID_IOutputStream,
            &IID_ISafeOutputStream,
            &IID_IFileOutputStream,
            &IID_IFileInputStream2,
            &IID_IFileOutputStream2,
            &IID_IDOMParser,
            &IID_IDOMSerializer,
            &IID_IFilePicker,
            &IID_IContextMenuHelper,
            &IID_IWebBrowserPersist,
            &kIObjectSafety,
            &IID_IProvideClassInfo,
            &IID_ISupportErrorInfo,
            &IID_IPersist,
            &IID_IConnectionPointContainer};
}

ComPtr<IUnknown> Create(const ClassRow& row) {
    ComPtr<IUnknown> object;
    EXPECT_EQ(::CoCreateInstance(*row.clsid, nullptr, CLSCTX_ALL, IID_IUnknown, object.put_void()), S_OK)
        << row.name;
    return object;
}

void* Query(IUnknown* object, const IID& iid) {
    void* p = nullptr;
    if (FAILED(object->QueryInterface(iid, &p))) return nullptr;
    static_cast<IUnknown*>(p)->Release();
    return p;
}

TEST(InterfaceTable, EachClassAnswersExactlyItsRow) {
    for (const ClassRow& row : Rows()) {
        ComPtr<IUnknown> object = Create(row);
        ASSERT_TRUE(object) << row.name;
        void* primary = Query(object.get(), *row.answers.front().iid);
        EXPECT_EQ(static_cast<void*>(object.get()), primary) << row.name << ": IUnknown is the first row";
        for (const IID* iid : Universe()) {
            const Answer* answer = nullptr;
            for (const Answer& a : row.answers)
                if (::IsEqualIID(*a.iid, *iid)) answer = &a;
            void* p = reinterpret_cast<void*>(0xdeadbeef);
            HRESULT hr = object->QueryInterface(*iid, &p);
            if (!answer) {
                EXPECT_EQ(hr, E_NOINTERFACE) << row.name << " answers an identifier outside its row";
                EXPECT_EQ(p, nullptr) << row.name;
                continue;
            }
            ASSERT_EQ(hr, S_OK) << row.name;
            static_cast<IUnknown*>(p)->Release();
            if (answer->separate) {
                EXPECT_NE(p, primary) << row.name << ": expected a separate pointer";
            } else {
                EXPECT_EQ(p, primary) << row.name << ": expected the primary interface pointer";
            }
        }
    }
}

class DispatchContract : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(disp); }
    HRESULT IdOf(const wchar_t* name, DISPID* id) {
        LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
        return disp->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, id);
    }
    ComPtr<IDispatch> disp = ::Create(CLSID_LocalFile);
};

TEST_F(DispatchContract, TypeInformation) {
    UINT count = 7;
    EXPECT_EQ(disp->GetTypeInfoCount(&count), S_OK);
    EXPECT_EQ(count, 1u);
    EXPECT_EQ(disp->GetTypeInfoCount(nullptr), E_POINTER);
    ComPtr<ITypeInfo> info;
    EXPECT_EQ(disp->GetTypeInfo(1, 0, info.put()), DISP_E_BADINDEX);
    EXPECT_EQ(disp->GetTypeInfo(0, 0, nullptr), E_POINTER);
    ASSERT_EQ(disp->GetTypeInfo(0, 0, info.put()), S_OK);
    const TypeAttrOf attr(info.get());
    ASSERT_EQ(attr.result(), S_OK);
    EXPECT_TRUE(::IsEqualGUID(attr->guid, IID_ILocalFile2));
}

TEST_F(DispatchContract, NamesInAnyCaseOverTheInterfaceAndItsBases) {
    const struct {
        const wchar_t* name;
        HRESULT hr;
        DISPID id;
    } cases[] = {
        {L"initWithPath", S_OK, 32},
        {L"INITWITHPATH", S_OK, 32},
        {L"leafname", S_OK, 5},
        {L"Implements", S_OK, 100},
        {L"implements", S_OK, 100},
        {L"QueryInterface", S_OK, 101},
        {L"queryinterface", S_OK, 101},
        {L"GetSafe", S_OK, 33},
        {L"AddRef", DISP_E_UNKNOWNNAME, DISPID_UNKNOWN},
        {L"GetTypeInfo", DISP_E_UNKNOWNNAME, DISPID_UNKNOWN},
        {L"nothing", DISP_E_UNKNOWNNAME, DISPID_UNKNOWN},
        {L"initWithPat", DISP_E_UNKNOWNNAME, DISPID_UNKNOWN},
    };
    for (const auto& c : cases) {
        DISPID id = 12345;
        EXPECT_EQ(IdOf(c.name, &id), c.hr) << static_cast<int>(c.hr);
        EXPECT_EQ(id, c.id);
    }
}

TEST_F(DispatchContract, InvokeCallsTheMemberAndPassesItsFailureOn) {
    VARIANT result = Arg(VT_EMPTY);
    DISPPARAMS none{};
    EXPECT_EQ(disp->Invoke(9999, IID_NULL, 0, DISPATCH_METHOD, &none, &result, nullptr, nullptr),
              DISP_E_MEMBERNOTFOUND);

    EXPECT_EQ(disp->Invoke(33, IID_NULL, 0, DISPATCH_METHOD, &none, &result, nullptr, nullptr), S_OK);
    EXPECT_EQ(result.vt, VT_BOOL);
    EXPECT_EQ(result.boolVal, VARIANT_FALSE);

    // append("") fails with E_INVALIDARG, which reaches the caller as an automation error.
    Bstr empty(L"");
    VARIANT arg = TextArg(empty.get());
    DISPPARAMS one{&arg, nullptr, 1, 0};
    EXCEPINFO excep{};
    HRESULT hr = disp->Invoke(9, IID_NULL, 0, DISPATCH_METHOD, &one, &result, &excep, nullptr);
    EXPECT_EQ(hr, DISP_E_EXCEPTION);
    EXPECT_EQ(excep.scode, E_INVALIDARG);
    ::SysFreeString(excep.bstrSource);
    ::SysFreeString(excep.bstrDescription);
    ::SysFreeString(excep.bstrHelpFile);
}

TEST(ObjectSafety, OptionsAreSharedAndOnlyTheFirstIsSupported) {
    for (const ClassRow& row : Rows()) {
        ComPtr<IObjectSafety> safety;
        ComPtr<IUnknown> object = Create(row);
        HRESULT hr = object->QueryInterface(kIObjectSafety, safety.put_void());
        if (std::none_of(row.answers.begin(), row.answers.end(),
                         [](const Answer& a) { return ::IsEqualIID(*a.iid, kIObjectSafety); })) {
            EXPECT_EQ(hr, E_NOINTERFACE);
            continue;
        }
        ASSERT_EQ(hr, S_OK) << row.name;
        const IID& primary = *row.answers[row.answers.front().iid == &IID_IDispatch ? 1 : 0].iid;
        DWORD supported = 9, enabled = 9;
        EXPECT_EQ(safety->GetInterfaceSafetyOptions(IID_IDispatch, &supported, &enabled), S_OK) << row.name;
        EXPECT_EQ(supported, 1u);
        EXPECT_EQ(enabled, 0u);
        EXPECT_EQ(safety->GetInterfaceSafetyOptions(IID_IDispatch, nullptr, &enabled), E_POINTER);
        EXPECT_EQ(safety->SetInterfaceSafetyOptions(primary, 3, 3), E_FAIL);
        EXPECT_EQ(safety->SetInterfaceSafetyOptions(primary, 1, 1), S_OK);
        EXPECT_EQ(safety->GetInterfaceSafetyOptions(IID_IDispatch, &supported, &enabled), S_OK);
        EXPECT_EQ(enabled, 1u) << row.name << ": every interface shares one value";
        EXPECT_EQ(safety->SetInterfaceSafetyOptions(primary, 1, 0), S_OK);
        EXPECT_EQ(safety->GetInterfaceSafetyOptions(primary, &supported, &enabled), S_OK);
        EXPECT_EQ(enabled, 0u);

        supported = enabled = 9;
        EXPECT_EQ(safety->GetInterfaceSafetyOptions(
                      IID_IWebBrowserPersist == primary ? IID_ILogger : IID_IWebBrowserPersist, &supported,
                      &enabled),
                  E_NOINTERFACE);
        EXPECT_EQ(supported, 0u);
        EXPECT_EQ(enabled, 0u);
        EXPECT_EQ(safety->SetInterfaceSafetyOptions(IID_IClassFactory, 1, 1), E_NOINTERFACE);
    }
}

// obj.Implements, obj.QueryInterface and finder.Implements, from C++.
TEST(InterfaceTest, ThreeRoads) {
    ComPtr<IFileInputStream> stream = ::Create<IFileInputStream>(CLSID_FileInputStream);
    ComPtr<IInterfaceFinder> finder = ::Create<IInterfaceFinder>(CLSID_InterfaceFinder);
    ASSERT_TRUE(stream && finder);

    const wchar_t* present = L"{d08ee107-5dc5-4637-a81f-ddf47112d1f6}"; // IInputStream, lower case
    const wchar_t* missing = L"{4FD1401A-255E-4B95-9665-38D16B2E52CE}"; // IFileOutputStream
    const wchar_t* malformed = L"D08EE107-5DC5-4637-A81F-DDF47112D1F6"; // without braces
    // The platform's parser decides the code of malformed text (Windows: CO_E_IIDSTRING).
    IID ignored;
    const HRESULT parseFailure = ::IIDFromString(const_cast<LPOLESTR>(malformed), &ignored);
    ASSERT_TRUE(FAILED(parseFailure));
    const struct {
        const wchar_t* text;
        VARIANT_BOOL implements;
        HRESULT query;
        HRESULT finderHr;
        VARIANT_BOOL finderAnswer;
    } cases[] = {
        {present, VARIANT_TRUE, S_OK, S_OK, VARIANT_TRUE},
        {missing, VARIANT_FALSE, E_NOINTERFACE, S_OK, VARIANT_FALSE},
        {malformed, VARIANT_FALSE, parseFailure, parseFailure, 7},
        {L"", VARIANT_FALSE, E_INVALIDARG, E_INVALIDARG, 7},
    };
    for (const auto& c : cases) {
        Bstr text(c.text);
        VARIANT_BOOL answer = 7;
        EXPECT_EQ(stream->Implements(text.get(), &answer), S_OK);
        EXPECT_EQ(answer, c.implements) << c.text;
        IUnknown* itf = reinterpret_cast<IUnknown*>(0xdeadbeef);
        EXPECT_EQ(stream->QueryInterface(text.get(), &itf), c.query) << c.text;
        if (SUCCEEDED(c.query)) {
            ASSERT_NE(itf, nullptr);
            itf->Release();
        } else if (c.query == E_NOINTERFACE) {
            EXPECT_EQ(itf, nullptr);
        }
        answer = 7;
        ComPtr<IDispatch> asDispatch;
        ASSERT_EQ(stream.As(asDispatch), S_OK);
        EXPECT_EQ(finder->Implements(asDispatch.get(), text.get(), &answer), c.finderHr) << c.text;
        EXPECT_EQ(answer, c.finderAnswer) << c.text;
    }
    Bstr text(present);
    VARIANT_BOOL answer = 7;
    EXPECT_EQ(finder->Implements(nullptr, text.get(), &answer), E_INVALIDARG);
    ComPtr<IDispatch> asDispatch;
    ASSERT_EQ(stream.As(asDispatch), S_OK);
    EXPECT_EQ(finder->Implements(asDispatch.get(), text.get(), nullptr), E_POINTER);
    EXPECT_EQ(stream->QueryInterface(text.get(), static_cast<IUnknown**>(nullptr)), E_POINTER);
}

// The module stays locked until the last member of an object is gone: a member's destructor still runs
// the library's code.
TEST(ObjectLifetime, ModuleIsLockedWhileMembersAreDestroyed) {
    struct Member {
        LONG* seen;
        ~Member() { *seen = g_module.GetLockCount(); }
    };
    class Probe : public DispatchStubs<>, public IPersist, public CComObjectRootEx<CComSingleThreadModel> {
    public:
        BEGIN_COM_MAP(Probe)
        COM_INTERFACE_ENTRY(IDispatch)
        COM_INTERFACE_ENTRY(IPersist)
        END_COM_MAP()
        STDMETHOD(GetClassID)(CLSID*) noexcept override { return E_NOTIMPL; }
        Member member{nullptr};
    };
    const LONG before = g_module.GetLockCount();
    LONG seen = -1;
    ComPtr<IDispatch> object;
    ASSERT_EQ(CComObject<Probe>::CreateInstance(IID_IDispatch, object.put_void()), S_OK);
    static_cast<Probe*>(object.get())->member.seen = &seen;
    // The second base is reached through its own sub-object and is the same object.
    ComPtr<IPersist> persist;
    ASSERT_EQ(object.As(persist), S_OK);
    EXPECT_EQ(static_cast<IPersist*>(static_cast<Probe*>(object.get())), persist.get());
    persist.reset();
    object.reset();
    EXPECT_EQ(seen, before + 1);
    EXPECT_EQ(g_module.GetLockCount(), before);
}

} // namespace
