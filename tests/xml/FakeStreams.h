// Stand-ins for the library's file streams, for cases a real stream cannot produce.
#pragma once

#include "module/ComObject.h"
#include "shared/Bstr.h"

#include "Zembrolatix.h"

#include <string>

// Every member of IDispatch and IScriptImplements answers E_NOTIMPL.
template <class Itf> class ScriptStub : public Itf {
public:
    STDMETHOD(GetTypeInfoCount)(UINT*) noexcept override { return E_NOTIMPL; }
    STDMETHOD(GetTypeInfo)(UINT, LCID, ITypeInfo**) noexcept override { return E_NOTIMPL; }
    STDMETHOD(GetIDsOfNames)(REFIID, LPOLESTR*, UINT, LCID, DISPID*) noexcept override { return E_NOTIMPL; }
    STDMETHOD(Invoke)
    (DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) noexcept override {
        return E_NOTIMPL;
    }
    STDMETHOD(Implements)(BSTR, VARIANT_BOOL*) noexcept override { return E_NOTIMPL; }
    STDMETHOD(QueryInterface)(BSTR, IUnknown**) noexcept override { return E_NOTIMPL; }
    using IUnknown::QueryInterface;
    STDMETHOD(seek)(LONG, LONGLONG) noexcept override { return E_NOTIMPL; }
    STDMETHOD(setEOF)() noexcept override { return E_NOTIMPL; }
};

// An output stream that keeps what it is given and reports what it is told to.
class FakeOutputStream : public ScriptStub<IOutputStream>, public CComObjectRootEx<CComSingleThreadModel> {
public:
    BEGIN_COM_MAP(FakeOutputStream)
    COM_INTERFACE_ENTRY2(IDispatch, IOutputStream)
    COM_INTERFACE_ENTRY(IOutputStream)
    END_COM_MAP()

    STDMETHOD(tell)(ULONGLONG*) noexcept override { return E_NOTIMPL; }
    STDMETHOD(close)() noexcept override { return E_NOTIMPL; }
    STDMETHOD(flush)() noexcept override { return E_NOTIMPL; }
    STDMETHOD(isNonBlocking)(VARIANT_BOOL*) noexcept override { return E_NOTIMPL; }
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
class FakeInputStream : public ScriptStub<IFileInputStream>,
                        public ISafeLocalFile,
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
    STDMETHOD(available)(ULONGLONG*) noexcept override { return E_NOTIMPL; }
    STDMETHOD(close)() noexcept override { return E_NOTIMPL; }
    STDMETHOD(isNonBlocking)(VARIANT_BOOL*) noexcept override { return E_NOTIMPL; }
    STDMETHOD(init)(ILocalFile*, LONG, LONG, LONG) noexcept override { return E_NOTIMPL; }
    STDMETHOD(init)(BSTR, VARIANT_BOOL) noexcept override { return E_NOTIMPL; }
    STDMETHOD(GetSafe)(VARIANT_BOOL*) noexcept override { return E_NOTIMPL; }
    STDMETHOD(SetSafe)(VARIANT_BOOL) noexcept override { return E_NOTIMPL; }
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
    VARIANT arg() const noexcept {
        VARIANT v;
        v.vt = VT_DISPATCH;
        v.pdispVal = dispatch.get();
        return v;
    }
};

template <class T> Fake<T> MakeFake() {
    Fake<T> fake;
    fake.object = new CComObject<T>();
    fake.object->QueryInterface(IID_IDispatch, fake.dispatch.put_void());
    return fake;
}
