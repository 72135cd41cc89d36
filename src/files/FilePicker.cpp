#include "files/FilePicker.h"

#include "files/FileDialog.h"
#include "files/PickerText.h"
#include "bundles/SimpleEnumerator.h"
#include "module/Module.h"
#include "script/Boundary.h"
#include "shared/Bstr.h"
#include "shared/ComPtr.h"
#include "shared/OutValue.h"
#include "shared/Registered.h"
#include "shared/SafeArray.h"
#include "shared/Win32.h"
#include "windows/BrowserWindow.h"

#include <shlobj.h>

#include <algorithm>

namespace {

// The string-table entries appendFilters adds, by bit of its mask, in the order they are added.
constexpr struct {
    LONG bit;
    UINT resource;
} kStandardFilters[] = {
    {0x01, 200}, // All Files
    {0x02, 201}, // HTML Files
    {0x04, 202}, // Text Files
    {0x08, 203}, // Image Files
    {0x10, 204}, // XML Files
    {0x20, 205}, // XUL Files
    {0x40, 206}, // Applications
};

// Selects and opens the display directory once the folder dialog is up.
int CALLBACK FolderDialogCallback(HWND dialog, UINT message, LPARAM, LPARAM data) noexcept {
    const auto* directory = reinterpret_cast<const std::wstring*>(data);
    if (message == BFFM_INITIALIZED && directory && !directory->empty()) {
        const auto path = reinterpret_cast<LPARAM>(directory->c_str());
        ::SendMessageW(dialog, BFFM_SETSELECTIONW, TRUE, path);
        ::SendMessageW(dialog, BFFM_SETEXPANDED, TRUE, path);
    }
    return 0;
}

} // namespace

STDMETHODIMP CFilePicker::init(IDispatch* parent, BSTR title, LONG mode) noexcept {
    if (!title || static_cast<ULONG>(mode) > kOpenMultiple) return E_INVALIDARG;
    if (m_dialogOpen) return E_UNEXPECTED;
    return ComBoundary([&] {
        std::wstring newTitle(BstrView(title));
        m_filters.clear();
        m_defaultExtension.clear();
        m_defaultString.clear();
        m_displayDirectory.clear();
        m_filterIndex = 0;
        // The browser frame that shows the page whose window is parent.
        HWND owner = CHtmlWindowPtr(parent).top().frameHandle();
        m_owner = owner ? owner : ::GetActiveWindow();
        m_title = std::move(newTitle);
        m_mode = mode;
        return S_OK;
    });
}

STDMETHODIMP CFilePicker::appendFilter(BSTR title, BSTR filter) noexcept {
    if (m_dialogOpen) return E_UNEXPECTED;
    return ComBoundary([&] {
        m_filters += PickerText::FilterEntry(BstrView(title), BstrView(filter));
        return S_OK;
    });
}

STDMETHODIMP CFilePicker::appendFilters(LONG filterMask) noexcept {
    if (m_dialogOpen) return E_UNEXPECTED;
    return ComBoundary([&] {
        std::wstring added;
        for (const auto& entry : kStandardFilters) {
            if (!(filterMask & entry.bit)) continue;
            const wchar_t* text = nullptr;
            // A zero buffer size gives a pointer into the loaded resource itself.
            const int length =
                ::LoadStringW(ModuleInstance(), entry.resource, reinterpret_cast<LPWSTR>(&text), 0);
            if (length > 0 && text) added.append(text, static_cast<size_t>(length));
        }
        m_filters += added;
        return S_OK;
    });
}

STDMETHODIMP CFilePicker::show(LONG* pRet) noexcept {
    if (!pRet) return E_POINTER;
    // Page timers run inside the dialog's message loop: until it closes, nothing the open dialog
    // reads or fills may change, and what the buffer holds meanwhile is nobody's choice.
    if (m_dialogOpen) return E_UNEXPECTED;
    return ComBoundary([&] {
        m_dialogOpen = true;
        const struct Closed {
            bool& open;
            ~Closed() { open = false; }
        } closed{m_dialogOpen};
        *pRet = m_mode == kFolder ? ShowFolderDialog() : ShowFileDialog();
        return S_OK;
    });
}

wchar_t* CFilePicker::ClearedResult() {
    if (!m_result) m_result = std::make_unique<wchar_t[]>(kResultCapacity);
    std::fill_n(m_result.get(), kResultCapacity, L'\0');
    return m_result.get();
}

std::wstring_view CFilePicker::ResultBuffer() const noexcept {
    if (!m_result) return {};
    return {m_result.get(), kResultCapacity};
}

std::wstring_view CFilePicker::ResultText() const noexcept {
    const std::wstring_view buffer = ResultBuffer();
    return buffer.substr(0, std::min(buffer.find(L'\0'), buffer.size()));
}

bool CFilePicker::ResultIsList() const noexcept {
    // A dialog for one file writes its path and one NUL over the proposed name, whose tail may stay.
    if (!m_resultAllowsSeveral) return false;
    const std::wstring_view buffer = ResultBuffer();
    const size_t next = ResultText().size() + 1;
    return next < buffer.size() && buffer[next] != L'\0';
}

LONG CFilePicker::ShowFolderDialog() {
    m_title = PickerText::ExpandLineBreaks(m_title);
    wchar_t displayName[MAX_PATH] = {};
    BROWSEINFOW info{};
    info.hwndOwner = DialogOwner();
    info.pszDisplayName = displayName;
    info.lpszTitle = m_title.empty() ? nullptr : m_title.c_str();
    info.ulFlags = BIF_RETURNONLYFSDIRS | BIF_NEWDIALOGSTYLE;
    info.lpfn = &FolderDialogCallback;
    info.lParam = reinterpret_cast<LPARAM>(&m_displayDirectory);
    const CoTaskMem<ITEMIDLIST> chosen(::SHBrowseForFolderW(&info));

    wchar_t path[MAX_PATH] = {};
    m_resultAllowsSeveral = false;
    if (chosen && ::SHGetPathFromIDListW(chosen.get(), path)) {
        std::copy_n(path, MAX_PATH, ClearedResult());
        return 0;
    }
    if (m_result) m_result[0] = L'\0';
    return 1;
}

LONG CFilePicker::ShowFileDialog() {
    static constexpr DWORD kFlags[] = {
        OFN_FILEMUSTEXIST | OFN_HIDEREADONLY,                        // open
        OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY,                      // save
        0,                                                           // (folder)
        OFN_FILEMUSTEXIST | OFN_HIDEREADONLY | OFN_ALLOWMULTISELECT, // open multiple
    };
    const std::wstring filters = PickerText::DialogFilterList(m_filters);
    CFileDialog dialog(m_mode != kSave, kFlags[m_mode], m_defaultExtension.c_str(), m_defaultString.c_str(),
                       filters.c_str(), DialogOwner());
    OPENFILENAMEW& ofn = dialog.ofn();
    ofn.lpstrTitle = m_title.empty() ? nullptr : m_title.c_str();
    ofn.lpstrInitialDir = m_displayDirectory.empty() ? nullptr : m_displayDirectory.c_str();
    ofn.nFilterIndex = static_cast<DWORD>(m_filterIndex);

    // The dialog proposes the initial name as the dialog object holds it (at most MAX_PATH - 1).
    const std::wstring_view initialName(ofn.lpstrFile);
    wchar_t* result = ClearedResult();
    std::copy(initialName.begin(), initialName.end(), result);
    ofn.lpstrFile = result;
    ofn.nMaxFile = kResultCapacity;
    m_resultAllowsSeveral = m_mode == kOpenMultiple;

    const BOOL confirmed = dialog.DoModal();
    m_filterIndex = static_cast<LONG>(ofn.nFilterIndex);
    m_nameOffset = ofn.nFileOffset;
    if (!confirmed) {
        // Nothing was chosen: what the buffer holds now (the proposed name, or a size the dialog
        // asked for) names no file the user picked.
        result[0] = L'\0';
        return 1;
    }
    if (m_mode == kSave) {
        API::Win32::FileFind existing;
        if (existing.first(std::wstring(ResultText()).c_str())) return 2;
    }
    return 0;
}

STDMETHODIMP CFilePicker::get_file(ILocalFile** pVal) noexcept {
    if (!pVal) return E_POINTER;
    *pVal = nullptr;
    // A list of several names (left by a multiple selection) names no one file the user chose.
    if (m_dialogOpen || m_mode == kOpenMultiple || ResultText().empty() || ResultIsList())
        return E_UNEXPECTED;
    return ComBoundary([&] {
        ComPtr<ILocalFile> file;
        HRESULT hr = CreateRegistered(CLSID_LocalFile, file);
        if (FAILED(hr)) return hr;
        Bstr path(ResultText());
        hr = file->initWithNativePath(path.get());
        if (FAILED(hr)) return hr;
        ComPtr<ISafeLocalFile> safe;
        hr = file.As(safe);
        if (FAILED(hr)) return hr;
        hr = safe->SetSafe(VARIANT_TRUE);
        if (FAILED(hr)) return hr;
        *pVal = file.Detach();
        return S_OK;
    });
}

STDMETHODIMP CFilePicker::get_files(ISimpleEnumerator** pVal) noexcept {
    if (!pVal) return E_POINTER;
    *pVal = nullptr;
    if (m_dialogOpen || m_mode != kOpenMultiple || ResultText().empty()) return E_UNEXPECTED;
    return ComBoundary([&] {
        ComPtr<ISimpleEnumerator> enumerator;
        HRESULT hr = NewSimpleEnumerator(enumerator);
        if (FAILED(hr)) return hr;
        const std::vector<std::wstring> paths = ResultIsList()
                                                    ? PickerText::SelectionPaths(ResultBuffer(), m_nameOffset)
                                                    : std::vector<std::wstring>{std::wstring(ResultText())};
        SafeArray elements(::SafeArrayCreateVector(VT_VARIANT, 0, static_cast<ULONG>(paths.size())));
        if (!elements) return E_OUTOFMEMORY;
        LONG index = 0;
        for (const std::wstring& path : paths) {
            Variant slot;
            slot->vt = VT_BSTR;
            slot->bstrVal = Bstr(path).Detach();
            hr = ::SafeArrayPutElement(elements.get(), &index, slot.get()); // copies the string
            if (FAILED(hr)) return hr;
            ++index;
        }
        // The enumerator keeps its own copy; ours goes with this scope.
        return HandOutEnumerator(enumerator, elements.get(), pVal);
    });
}

STDMETHODIMP CFilePicker::get_defaultExtension(BSTR* pVal) noexcept {
    if (!pVal) return E_POINTER;
    return BstrCopyOut(m_defaultExtension, pVal);
}

// A text the next dialog reads, changed only while no dialog is open; a null text is refused.
HRESULT CFilePicker::PutText(BSTR newVal, std::wstring& text) noexcept {
    if (!newVal) return E_INVALIDARG;
    if (m_dialogOpen) return E_UNEXPECTED;
    return ComBoundary([&] {
        text.assign(BstrView(newVal));
        return S_OK;
    });
}

STDMETHODIMP CFilePicker::put_defaultExtension(BSTR newVal) noexcept {
    return PutText(newVal, m_defaultExtension);
}

STDMETHODIMP CFilePicker::get_defaultString(BSTR* pVal) noexcept {
    if (!pVal) return E_POINTER;
    return BstrCopyOut(m_defaultString, pVal);
}

STDMETHODIMP CFilePicker::put_defaultString(BSTR newVal) noexcept {
    return PutText(newVal, m_defaultString);
}

STDMETHODIMP CFilePicker::get_displayDirectory(ILocalFile** pVal) noexcept {
    if (!pVal) return E_POINTER;
    return E_NOTIMPL;
}

STDMETHODIMP CFilePicker::put_displayDirectory(ILocalFile* newVal) noexcept {
    if (!newVal) return E_INVALIDARG;
    if (m_dialogOpen) return E_UNEXPECTED;
    return ComBoundary([&] {
        VARIANT_BOOL isDirectory = VARIANT_FALSE;
        HRESULT hr = newVal->isDirectory(&isDirectory);
        if (FAILED(hr)) return hr;
        if (isDirectory == VARIANT_FALSE) return E_INVALIDARG;
        Bstr path;
        hr = newVal->get_nativePath(path.put());
        if (FAILED(hr)) return hr;
        m_displayDirectory.assign(path.view());
        return S_OK;
    });
}

STDMETHODIMP CFilePicker::get_filterIndex(LONG* pVal) noexcept {
    return ValueOut(m_filterIndex, pVal);
}

STDMETHODIMP CFilePicker::put_filterIndex(LONG newVal) noexcept {
    if (m_dialogOpen) return E_UNEXPECTED;
    m_filterIndex = newVal;
    return S_OK;
}
