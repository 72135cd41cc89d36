// Stand-ins for the library's file streams, for cases a real stream cannot produce.
#pragma once

#include "module/ComObject.h"
#include "support/ComTest.h"

#include "TestStubs.h"

#include <string>

// An output stream that keeps what it is given and reports what it is told to.
class FakeOutputStream : public DispatchStubs<IOutputStreamStubs>,
                         public CComObjectRootEx<CComSingleThreadModel> {
public:
    BEGIN_COM_MAP(FakeOutputStream)
    COM_INTERFACE_ENTRY2(IDispatch, IOutputStream)
    COM_INTERFACE_ENTRY(IOutputStream)
    END_COM_MAP()

    STDMETHOD(write)(BSTR data, LONG count, LONG* pRet) noexcept override {
        ++writes;
        text.assign(BstrView(data));
        counted = count;
        if (FAILED(result)) return result;
        *pRet = count - shortBy;
        return result;
    }

    std::wstring text;
    LONG counted = -1;
    int writes = 0;
    HRESULT result = S_OK;
    LONG shortBy = 0;
};

// A file input stream at a chosen position that may or may not name its file.
class FakeInputStream : public DispatchStubs<IFileInputStreamStubs>,
                        public ISafeLocalFileStubs,
                        public CComObjectRootEx<CComSingleThreadModel> {
public:
    BEGIN_COM_MAP(FakeInputStream)
    COM_INTERFACE_ENTRY2(IDispatch, IFileInputStream)
    COM_INTERFACE_ENTRY(IFileInputStream)
    COM_INTERFACE_ENTRY(ISafeLocalFile)
    END_COM_MAP()
    // As a stream without ISafeLocalFile: the same class with a table that lacks it.
    struct Unnamed;

    STDMETHOD(tell)(ULONGLONG* pRet) noexcept override {
        ++tells;
        *pRet = position;
        return tellResult;
    }
    STDMETHOD(GetPath)(BSTR* pbsPath) noexcept override {
        if (FAILED(pathResult)) return pathResult;
        return BstrCopyOut(path, pbsPath);
    }

    ULONGLONG position = 0;
    HRESULT tellResult = S_OK;
    int tells = 0;
    std::wstring path;
    HRESULT pathResult = S_OK;
};

struct FakeInputStream::Unnamed : FakeInputStream {
    BEGIN_COM_MAP(Unnamed)
    COM_INTERFACE_ENTRY2(IDispatch, IFileInputStream)
    COM_INTERFACE_ENTRY(IFileInputStream)
    END_COM_MAP()
};

// A plain instance of a stand-in: its fields through ->, its reference through dispatch.
template <class T> struct Fake {
    CComObject<T>* object = nullptr;
    ComPtr<IDispatch> dispatch;
    CComObject<T>* operator->() const noexcept { return object; }
    // The object as a script passes it: a VARIANT of type VT_DISPATCH, not owned.
    VARIANT arg() const noexcept { return ObjectArg(dispatch.get()); }
};

template <class T> Fake<T> MakeFake() {
    Fake<T> fake;
    fake.object = new CComObject<T>();
    fake.object->QueryInterface(IID_IDispatch, fake.dispatch.put_void());
    return fake;
}
