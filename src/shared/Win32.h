// Owning wrappers of operating-system handles: each closes its handle exactly once, when its owner
// goes out of scope or when a new handle replaces it. None is copyable; none raises an error.
#pragma once

#include <windows.h>
#include <oleauto.h>

#include <cstdint>
#include <string>

namespace API::Win32 {

// One owned handle of kind T. Empty is null or INVALID_HANDLE_VALUE, for every kind.
template <class T> class THandle {
public:
    THandle() noexcept = default;
    THandle(const THandle&) = delete;
    THandle& operator=(const THandle&) = delete;
    virtual ~THandle() = default;

    // Closes the handle when valid; returns the close function's result, 0 when there was nothing to close.
    virtual BOOL close() noexcept {
        if (!isValid()) return 0;
        BOOL result = closeHandle(m_handle);
        m_handle = nullptr;
        return result;
    }
    virtual bool isValid() const noexcept {
        return m_handle != nullptr && reinterpret_cast<std::uintptr_t>(m_handle) != ~std::uintptr_t(0);
    }
    T get() const noexcept { return m_handle; }

protected:
    virtual BOOL closeHandle(T handle) noexcept = 0;
    // Keeps a newly obtained handle, closing the held one first when they differ.
    void replace(T handle) noexcept {
        if (handle != m_handle) {
            close();
            m_handle = handle;
        }
    }
    // Derived destructors call this: the base destructor can no longer reach closeHandle.
    void closeOnDestroy() noexcept { close(); }

    T m_handle = nullptr;
};

// A kernel object handle, closed with CloseHandle.
class Handle : public THandle<HANDLE> {
public:
    Handle() noexcept = default;
    explicit Handle(HANDLE h) noexcept { m_handle = h; }
    ~Handle() override { closeOnDestroy(); }
    void reset(HANDLE h) noexcept { replace(h); }

protected:
    BOOL closeHandle(HANDLE h) noexcept override { return ::CloseHandle(h); }
};

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

private:
    std::wstring m_path;
    DWORD m_written = 0;
};

// A directory search handle and the entry the search found.
class FileFind : public THandle<HANDLE> {
public:
    ~FileFind() override { closeOnDestroy(); }
    bool first(const wchar_t* pattern) noexcept {
        replace(::FindFirstFileW(pattern, &m_data));
        return isValid();
    }
    // The search's next entry; false at the end (ERROR_NO_MORE_FILES) or on failure.
    bool next() noexcept { return isValid() && ::FindNextFileW(m_handle, &m_data) != FALSE; }
    const WIN32_FIND_DATAW& data() const noexcept { return m_data; }

protected:
    BOOL closeHandle(HANDLE h) noexcept override { return ::FindClose(h); }

private:
    WIN32_FIND_DATAW m_data{};
};

// The attributes and size of one named file or folder (GetFileAttributesExW): no handle is opened and
// the folder holding it is not searched. Holds no handle, so it is not a THandle.
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

class RegKey : public THandle<HKEY> {
public:
    RegKey() noexcept = default;
    ~RegKey() override { closeOnDestroy(); }

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

protected:
    BOOL closeHandle(HKEY h) noexcept override { return ::RegCloseKey(h) == ERROR_SUCCESS; }
};

class Library : public THandle<HMODULE> {
public:
    Library() noexcept = default;
    explicit Library(const wchar_t* path) noexcept { m_handle = ::LoadLibraryW(path); }
    // Loads a module with LoadLibraryExW flags (e.g. as a data file, which runs none of its code).
    Library(const wchar_t* path, DWORD flags) noexcept { m_handle = ::LoadLibraryExW(path, nullptr, flags); }
    ~Library() override { closeOnDestroy(); }

protected:
    BOOL closeHandle(HMODULE h) noexcept override { return ::FreeLibrary(h); }
};

} // namespace API::Win32
