#include "files/StreamPosition.h"

#include "script/Boundary.h"

HRESULT SeekFile(const API::Win32::File& file, LONG whence, LONGLONG offset) noexcept {
    if (!file.isValid()) return FailWithReason("the file is not open");
    if (whence < FILE_BEGIN || whence > FILE_END) return FailWithReason("no such starting point");
    LARGE_INTEGER distance{};
    distance.QuadPart = offset;
    return ::SetFilePointerEx(file.get(), distance, nullptr, static_cast<DWORD>(whence))
               ? S_OK
               : FailWithLastError();
}

HRESULT TellFile(const API::Win32::File& file, ULONGLONG* position) noexcept {
    if (!position) return E_POINTER;
    if (!file.isValid()) return FailWithReason("the file is not open");
    LARGE_INTEGER zero{}, current{};
    if (!::SetFilePointerEx(file.get(), zero, &current, FILE_CURRENT)) return FailWithLastError();
    *position = static_cast<ULONGLONG>(current.QuadPart);
    return S_OK;
}
