// File picker: the common file and folder dialogs.
#pragma once

#include "module/ComObject.h"
#include "script/DispatchImpl.h"
#include "script/ObjectSafetyImpl.h"

#include "Zembrolatix.h"

class CFilePicker : public IDispatchImpl<CFilePicker, IFilePicker>,
                    public IObjectSafetyImpl<CFilePicker>,
                    public CComObjectRootEx<CComSingleThreadModel>,
                    public CComCoClass<CFilePicker, &CLSID_FilePicker> {
public:
    BEGIN_COM_MAP(CFilePicker)
    COM_INTERFACE_ENTRY(IFilePicker)
    COM_INTERFACE_ENTRY2(IDispatch, IFilePicker)
    COM_INTERFACE_ENTRY(IObjectSafety)
    END_COM_MAP()

    STDMETHOD(init)(IDispatch* parent, BSTR title, LONG mode) noexcept override;
    STDMETHOD(appendFilter)(BSTR title, BSTR filter) noexcept override;
    STDMETHOD(appendFilters)(LONG filterMask) noexcept override;
    STDMETHOD(show)(LONG* pRet) noexcept override;
    STDMETHOD(get_file)(ILocalFile** pVal) noexcept override;
    STDMETHOD(get_files)(ISimpleEnumerator** pVal) noexcept override;
    STDMETHOD(get_defaultExtension)(BSTR* pVal) noexcept override;
    STDMETHOD(put_defaultExtension)(BSTR newVal) noexcept override;
    STDMETHOD(get_defaultString)(BSTR* pVal) noexcept override;
    STDMETHOD(put_defaultString)(BSTR newVal) noexcept override;
    STDMETHOD(get_displayDirectory)(ILocalFile** pVal) noexcept override;
    STDMETHOD(put_displayDirectory)(ILocalFile* newVal) noexcept override;
    STDMETHOD(get_filterIndex)(LONG* pVal) noexcept override;
    STDMETHOD(put_filterIndex)(LONG newVal) noexcept override;
};
