#include "files/FileDialog.h"

namespace {

const wchar_t* NoneWhenEmpty(const wchar_t* text) noexcept {
    return text && *text ? text : nullptr;
}

} // namespace

CFileDialog::CFileDialog(bool openDialog, DWORD flags, const wchar_t* defaultExtension,
                         const wchar_t* fileName, const wchar_t* filter, HWND owner) noexcept
    : m_open(openDialog) {
    if (fileName) {
        size_t i = 0;
        for (; i + 1 < MAX_PATH && fileName[i]; ++i)
            m_fileName[i] = fileName[i];
        m_fileName[i] = L'\0';
    }
    m_ofn.lStructSize = sizeof(m_ofn);
    m_ofn.hwndOwner = owner;
    m_ofn.lpstrFilter = NoneWhenEmpty(filter);
    m_ofn.lpstrFile = m_fileName;
    m_ofn.nMaxFile = MAX_PATH;
    m_ofn.lpstrDefExt = NoneWhenEmpty(defaultExtension);
    m_ofn.Flags = flags | OFN_EXPLORER | OFN_ENABLESIZING | OFN_ENABLEHOOK;
    m_ofn.lpfnHook = &CFileDialog::HookProc;
}

BOOL CFileDialog::DoModal() noexcept {
    return m_open ? ::GetOpenFileNameW(&m_ofn) : ::GetSaveFileNameW(&m_ofn);
}
