// The system's explorer-style open and save dialogs, run modally on the calling thread.
#pragma once

#include <windows.h>
#include <commdlg.h>

class CFileDialog {
public:
    // Null or empty texts are passed as none. The initial name is kept in the dialog's own buffer of
    // MAX_PATH characters (cut to MAX_PATH - 1), which serves as the result buffer unless the caller
    // hands in a larger one through ofn().
    CFileDialog(bool openDialog, DWORD flags, const wchar_t* defaultExtension, const wchar_t* fileName,
                const wchar_t* filter, HWND owner) noexcept;
    CFileDialog(const CFileDialog&) = delete;
    CFileDialog& operator=(const CFileDialog&) = delete;

    // The dialog's parameters, to adjust before DoModal and to read its outputs after it.
    OPENFILENAMEW& ofn() noexcept { return m_ofn; }
    // Nonzero when the user confirmed a choice; 0 on cancel or when the dialog could not run.
    BOOL DoModal() noexcept;

private:
    // Handles no message: the dialog behaves as the system's own.
    static UINT_PTR CALLBACK HookProc(HWND, UINT, WPARAM, LPARAM) noexcept { return 0; }

    bool m_open;
    OPENFILENAMEW m_ofn{};
    wchar_t m_fileName[MAX_PATH] = {};
};
