// The read/write position of an open file stream: seek and tell over the file's own pointer.
#pragma once

#include "shared/Win32.h"

// Moves the pointer; whence 0, 1 and 2 are FILE_BEGIN, FILE_CURRENT and FILE_END. E_FAIL on any failure
// (no open file, another whence, a negative position).
HRESULT SeekFile(const API::Win32::File& file, LONG whence, LONGLONG offset) noexcept;

// The position as an unsigned 64-bit number; E_POINTER for a null pointer, E_FAIL without an open file.
HRESULT TellFile(const API::Win32::File& file, ULONGLONG* position) noexcept;
