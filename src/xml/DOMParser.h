// DOM parser: loads an MSXML document from a file stream.
#pragma once

#include "module/ComObject.h"
#include "script/DispatchImpl.h"
#include "script/ObjectSafetyImpl.h"

#include "Zembrolatix.h"

class CDOMParser : public IDispatchImpl<CDOMParser, IDOMParser>,
                   public IObjectSafetyImpl<CDOMParser>,
                   public CComObjectRootEx<CComSingleThreadModel>,
                   public CComCoClass<CDOMParser, &CLSID_DOMParser> {
public:
    BEGIN_COM_MAP(CDOMParser)
    COM_INTERFACE_ENTRY2(IDispatch, IDOMParser)
    COM_INTERFACE_ENTRY(IDOMParser)
    COM_INTERFACE_ENTRY(IObjectSafety)
    END_COM_MAP()

    STDMETHOD(parseFromString)(BSTR str, VARIANT contentType, IXMLDOMDocument** pRet) noexcept override;
    STDMETHOD(parseFromStream)
    (VARIANT stream, VARIANT charset, VARIANT contentLength, VARIANT contentType,
     IXMLDOMDocument** pRet) noexcept override;
};
