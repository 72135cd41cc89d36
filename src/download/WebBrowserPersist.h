// Web browser persist: saves a URI to a local file.
#pragma once

#include "module/ComObject.h"
#include "script/DispatchImpl.h"
#include "script/ObjectSafetyImpl.h"

#include "Zembrolatix.h"

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

    STDMETHOD(get_progressListener)(IDispatch **pVal) noexcept override;
    STDMETHOD(put_progressListener)(IDispatch *newVal) noexcept override;
    STDMETHOD(saveURI)(BSTR uri, ILocalFile *destFile) noexcept override;
};
