// File picker: the common file and folder dialogs.
#pragma once

#include "module/ComObject.h"
#include "script/DispatchImpl.h"
#include "script/ObjectSafetyImpl.h"

#include "Zembrolatix.h"

#include <memory>
#include <string>

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

    // Characters of the buffer that receives a dialog's result.
    static constexpr DWORD kResultCapacity = 261000;

private:
    enum Mode : LONG { kOpen = 0, kSave = 1, kFolder = 2, kOpenMultiple = 3 };

    LONG ShowFolderDialog();
    LONG ShowFileDialog();
    // The buffer, allocated on first use, cleared entirely.
    wchar_t* ClearedResult();
    // The result up to its first NUL; empty when no dialog has filled the buffer.
    std::wstring_view ResultText() const noexcept;
    std::wstring_view ResultBuffer() const noexcept;
    // Whether the result is the folder and names of a multiple selection: a second string follows the
    // first, and the dialog that left it allowed several files.
    bool ResultIsList() const noexcept;
    HWND DialogOwner() const noexcept { return m_owner ? m_owner : ::GetActiveWindow(); }
    HRESULT PutText(BSTR newVal, std::wstring& text) noexcept;

    HWND m_owner = nullptr;
    std::wstring m_title;
    LONG m_mode = kOpen;
    std::wstring m_filters;
    std::wstring m_defaultExtension;
    std::wstring m_defaultString;
    std::wstring m_displayDirectory;
    LONG m_filterIndex = 0;
    std::unique_ptr<wchar_t[]> m_result;
    DWORD m_nameOffset = 0;
    // The result buffer was last handed to a dialog that allowed several files.
    bool m_resultAllowsSeveral = false;
    // A dialog is open: show runs its modal loop, in which page script may call back.
    bool m_dialogOpen = false;
};
