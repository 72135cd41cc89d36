// DOM serializer: writes an MSXML node as UTF-8 text.
#pragma once

#include "module/ComObject.h"
#include "script/DispatchImpl.h"
#include "script/ObjectSafetyImpl.h"

#include "Zembrolatix.h"

class CDOMSerializer : public IDispatchImpl<CDOMSerializer, IDOMSerializer>,
                       public IObjectSafetyImpl<CDOMSerializer>,
                       public CComObjectRootEx<CComSingleThreadModel>,
                       public CComCoClass<CDOMSerializer, &CLSID_DOMSerializer> {
public:
    BEGIN_COM_MAP(CDOMSerializer)
    COM_INTERFACE_ENTRY2(IDispatch, IDOMSerializer)
    COM_INTERFACE_ENTRY(IDOMSerializer)
    COM_INTERFACE_ENTRY(IObjectSafety)
    END_COM_MAP()

    STDMETHOD(serializeToString)(VARIANT root, BSTR* pRet) noexcept override;
    STDMETHOD(serializeToStream)(VARIANT root, VARIANT stream, VARIANT charset) noexcept override;
};
