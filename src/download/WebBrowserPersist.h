// Web browser persist: saves a URI to a local file.
#pragma once

#include "module/ComObject.h"
#include "script/DispatchImpl.h"
#include "script/ObjectSafetyImpl.h"
#include "shared/ComPtr.h"

#include "Zembrolatix.h"

#include <urlmon.h>

class CWebBrowserPersist : public IDispatchImpl<CWebBrowserPersist, IWebBrowserPersist>,
                           public IObjectSafetyImpl<CWebBrowserPersist>,
                           public CComObjectRootEx<CComSingleThreadModel>,
                           public CComCoClass<CWebBrowserPersist, &CLSID_WebBrowserPersist> {
public:
    BEGIN_COM_MAP(CWebBrowserPersist)
    COM_INTERFACE_ENTRY2(IDispatch, IWebBrowserPersist)
    COM_INTERFACE_ENTRY(IWebBrowserPersist)
    COM_INTERFACE_ENTRY(IObjectSafety)
    END_COM_MAP()

    STDMETHOD(get_progressListener)(IDispatch** pVal) noexcept override;
    STDMETHOD(put_progressListener)(IDispatch* newVal) noexcept override;
    STDMETHOD(saveURI)(BSTR uri, ILocalFile* destFile) noexcept override;

    // The download's callback: tells the listener once, with (100, 100), when the binding stops.
    class BindStatusCallback : public IBindStatusCallback, public CComObjectRootEx<CComSingleThreadModel> {
    public:
        BEGIN_COM_MAP(BindStatusCallback)
        COM_INTERFACE_ENTRY(IBindStatusCallback)
        END_COM_MAP()

        // A new callback holding its own reference to listener (not null).
        static HRESULT Create(IDispatch* listener, ComPtr<IBindStatusCallback>& callback) noexcept;

        STDMETHOD(OnStartBinding)(DWORD reserved, IBinding* binding) noexcept override;
        STDMETHOD(GetPriority)(LONG* priority) noexcept override;
        STDMETHOD(OnLowResource)(DWORD reserved) noexcept override;
        STDMETHOD(OnProgress)
        (ULONG progress, ULONG progressMax, ULONG statusCode, LPCWSTR statusText) noexcept override;
        STDMETHOD(OnStopBinding)(HRESULT result, LPCWSTR error) noexcept override;
        STDMETHOD(GetBindInfo)(DWORD* bindFlags, BINDINFO* bindInfo) noexcept override;
        STDMETHOD(OnDataAvailable)
        (DWORD flags, DWORD size, FORMATETC* format, STGMEDIUM* medium) noexcept override;
        STDMETHOD(OnObjectAvailable)(REFIID iid, IUnknown* object) noexcept override;

    private:
        ComPtr<IDispatch> m_listener;
        bool m_notified = false;
    };

private:
    ComPtr<IDispatch> m_listener;
};
