// Context menu helper: the address of a page document, for script run by a context-menu entry. Not
// marked safe for scripting.
#pragma once

#include "module/ComObject.h"
#include "script/DispatchImpl.h"

#include "Zembrolatix.h"

class CContextMenuHelper : public IDispatchImpl<CContextMenuHelper, IContextMenuHelper>,
                           public CComObjectRootEx<CComSingleThreadModel>,
                           public CComCoClass<CContextMenuHelper, &CLSID_ContextMenuHelper> {
public:
    BEGIN_COM_MAP(CContextMenuHelper)
    COM_INTERFACE_ENTRY(IContextMenuHelper)
    COM_INTERFACE_ENTRY2(IDispatch, IContextMenuHelper)
    END_COM_MAP()

    STDMETHOD(GetDocumentLocation)(IDispatch* doc, BSTR* location) noexcept override;
};
