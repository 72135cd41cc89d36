// Directory service: well-known folders (the private data folder, the temporary folder, the user's
// folders, the current and program folders) as local files.
#pragma once

#include "module/ComObject.h"
#include "script/DispatchImpl.h"
#include "script/ObjectSafetyImpl.h"

#include "Zembrolatix.h"

class CDirectoryService : public IDispatchImpl<CDirectoryService, IDirectoryService>,
                          public IObjectSafetyImpl<CDirectoryService>,
                          public CComObjectRootEx<CComSingleThreadModel>,
                          public CComCoClass<CDirectoryService, &CLSID_DirectoryService> {
public:
    BEGIN_COM_MAP(CDirectoryService)
    COM_INTERFACE_ENTRY2(IDispatch, IDirectoryService)
    COM_INTERFACE_ENTRY(IDirectoryService)
    COM_INTERFACE_ENTRY(IObjectSafety)
    END_COM_MAP()

    STDMETHOD(get)(BSTR prop, BSTR iid, VARIANT* pRet) noexcept override;
};
