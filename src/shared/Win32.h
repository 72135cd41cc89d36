// Owning wrappers of operating-system handles: each closes its handle exactly once, when its owner
// goes out of scope or when a new handle replaces it. None is copyable; none raises an error. A failed
// registry operation leaves the registry's code as the thread's last error.
#pragma once

#include "shared/Unique.h"

#include <windows.h>
#include <oleauto.h>

#include <cstdint>
#include <string>

namespace API::Win32 {

// What every handle kind shares: empty is null or INVALID_HANDLE_VALUE, whatever the kind; a kind adds
// how its handle is closed (returning the close function's result as a BOOL).
template <class T> struct HandleTraits {
    using type = T;
    static constexpr type empty() noexcept { return nullptr; }
    static bool isEmpty(type h) noexcept {
        return h == nullptr || reinterpret_cast<std::uintptr_t>(h) == ~std::uintptr_t(0);
    }
};

// One owned handle of a kind. A failed open keeps the value it returned (INVALID_HANDLE_VALUE, say),
// which counts as empty and is never closed.
template <class Traits> class THandle : public Unique<Traits> {
public:
    using type = typename Traits::type;
    using Unique<Traits>::Unique;

    bool isValid() const noexcept { return static_cast<bool>(*this); }
    // Closes the handle when valid; returns the close function's result, 0 when there was nothing to close.
    BOOL close() noexcept { return isValid() ? Traits::close(this->release()) : 0; }
    // Keeps a newly obtained handle, closing the held one first when they differ.
    void reset(type handle = Traits::empty()) noexcept {
        if (handle != this->get()) Unique<Traits>::reset(handle);
    }
};

struct KernelHandleTraits : HandleTraits<HANDLE> {
    static BOOL close(HANDLE h) noexcept { return ::CloseHandle(h); }
};
struct FindHandleTraits : HandleTraits<HANDLE> {
    static BOOL close(HANDLE h) noexcept { return ::FindClose(h); }
};
struct RegKeyTraits : HandleTraits<HKEY> {
    static BOOL close(HKEY h) noexcept { return ::RegCloseKey(h) == ERROR_SUCCESS; }
};
struct LibraryTraits : HandleTraits<HMODULE> {
    static BOOL close(HMODULE h) noexcept { return ::FreeLibrary(h); }
};

// A kernel object handle, closed with CloseHandle.
using Handle = THandle<KernelHandleTraits>;

// A file handle and the path it was opened with.
class File : public Handle {
public:
    // CreateFileW with the arguments unchanged; the new handle replaces the held one even when invalid.
    bool open(const wchar_t* path, DWORD access, DWORD share, LPSECURITY_ATTRIBUTES security,
              DWORD disposition, DWORD flags, HANDLE templateFile) noexcept;
    const std::wstring& path() const noexcept { return m_path; }
    DWORD lastWriteCount() const noexcept { return m_written; }
    // WriteFile of the whole buffer at the current position; true when it succeeded.
    bool write(const void* data, DWORD size) noexcept;
    // The size of the open file when one read can take all of it (below 4 GB); false when the system
    // cannot tell, or for a larger file (the last error is then ERROR_FILE_TOO_LARGE).
    bool wholeSize(DWORD& size) const noexcept;
    // ReadFile of up to size bytes at the current position into data; read is how many came. True
    // when it succeeded.
    bool read(void* data, DWORD size, DWORD& read) noexcept;

private:
    std::wstring m_path;
    DWORD m_written = 0;
};

// A directory search handle and the entry the search found.
class FileFind : public THandle<FindHandleTraits> {
public:
    bool first(const wchar_t* pattern) noexcept {
        reset(::FindFirstFileW(pattern, &m_data));
        return isValid();
    }
    // The search's next entry; false at the end (ERROR_NO_MORE_FILES) or on failure.
    bool next() noexcept { return isValid() && ::FindNextFileW(get(), &m_data) != FALSE; }
    const WIN32_FIND_DATAW& data() const noexcept { return m_data; }

private:
    WIN32_FIND_DATAW m_data{};
};

// The attributes and size of one named file or folder (GetFileAttributesExW): no handle is opened and
// the folder holding it is not searched. Holds no handle.
class FileAttributes {
public:
    // True when the system answered for the path; otherwise error() holds the reason.
    bool read(const wchar_t* path) noexcept {
        m_error =
            ::GetFileAttributesExW(path, GetFileExInfoStandard, &m_data) ? ERROR_SUCCESS : ::GetLastError();
        return m_error == ERROR_SUCCESS;
    }
    DWORD error() const noexcept { return m_error; }
    bool isDirectory() const noexcept { return (m_data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0; }
    ULONGLONG size() const noexcept { return (ULONGLONG(m_data.nFileSizeHigh) << 32) | m_data.nFileSizeLow; }
    const WIN32_FILE_ATTRIBUTE_DATA& data() const noexcept { return m_data; }

private:
    WIN32_FILE_ATTRIBUTE_DATA m_data{};
    DWORD m_error = ERROR_FILE_NOT_FOUND;
};

class RegKey : public THandle<RegKeyTraits> {
public:
    bool create(HKEY parent, const wchar_t* subkey, LPWSTR keyClass, DWORD options, REGSAM access,
                LPSECURITY_ATTRIBUTES security, LPDWORD disposition) noexcept;
    bool open(HKEY parent, const wchar_t* subkey, REGSAM access) noexcept;

    // Numbers of the exact registry type; stored data wider than the type is refused, narrower data
    // is zero-extended.
    bool readDword(const wchar_t* name, DWORD& out) const noexcept;
    bool readQword(const wchar_t* name, ULONGLONG& out) const noexcept;
    bool readBool(const wchar_t* name, bool& out) const noexcept;
    // A BSTR value of size/2 - 1 units whatever the registry type: the last whole stored unit is taken
    // as the terminator, an odd trailing byte is dropped, embedded NULs are kept. A stored size below
    // two units gives an empty string.
    bool readString(const wchar_t* name, BSTR& out) const noexcept;
    bool readString(const wchar_t* name, std::wstring& out) const;
    bool valueExists(const wchar_t* name) const noexcept;
    // RegSetValueExW: replaces the named value, whatever its previous type.
    bool writeValue(const wchar_t* name, DWORD type, const BYTE* data, DWORD size) const noexcept;
};

class Library : public THandle<LibraryTraits> {
public:
    Library() noexcept = default;
    explicit Library(const wchar_t* path) noexcept : THandle(::LoadLibraryW(path)) {}
    // Loads a module with LoadLibraryExW flags (e.g. as a data file, which runs none of its code).
    Library(const wchar_t* path, DWORD flags) noexcept : THandle(::LoadLibraryExW(path, nullptr, flags)) {}
};

} // namespace API::Win32
