#include "files/StreamPosition.h"

HRESULT SeekFile(const API::Win32::File& file, LONG whence, LONGLONG offset) noexcept {
    if (!file.isValid() || whence < FILE_BEGIN || whence > FILE_END) return E_FAIL;
    LARGE_INTEGER distance{};
    distance.QuadPart = offset;
    return ::SetFilePointerEx(file.get(), distance, nullptr, static_cast<DWORD>(whence)) ? S_OK : E_FAIL;
}

HRESULT TellFile(const API::Win32::File& file, ULONGLONG* position) noexcept {
    if (!position) return E_POINTER;
    if (!file.isValid()) return E_FAIL;
    LARGE_INTEGER zero{}, current{};
    if (!::SetFilePointerEx(file.get(), zero, &current, FILE_CURRENT)) return E_FAIL;
    *position = static_cast<ULONGLONG>(current.QuadPart);
    return S_OK;
}
