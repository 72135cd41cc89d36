#include "shared/Win32.h"

#include "shared/Bstr.h"

#include <new>

namespace API::Win32 {

namespace {
// A registry call's result: true for ERROR_SUCCESS, else its code becomes the thread's last error (the
// registry functions return their code rather than set it).
bool RegistryDone(LONG result) noexcept {
    if (result == ERROR_SUCCESS) return true;
    ::SetLastError(static_cast<DWORD>(result));
    return false;
}
} // namespace

bool File::open(const wchar_t* path, DWORD access, DWORD share, LPSECURITY_ATTRIBUTES security,
                DWORD disposition, DWORD flags, HANDLE templateFile) noexcept {
    try {
        m_path = path ? path : L"";
    } catch (const std::bad_alloc&) {
        m_path.clear();
    }
    reset(::CreateFileW(path, access, share, security, disposition, flags, templateFile));
    return isValid();
}

bool File::write(const void* data, DWORD size) noexcept {
    m_written = 0;
    return ::WriteFile(get(), data, size, &m_written, nullptr) != FALSE;
}

bool File::wholeSize(DWORD& size) const noexcept {
    DWORD high = 0;
    size = ::GetFileSize(get(), &high);
    if (size == INVALID_FILE_SIZE && ::GetLastError() != NO_ERROR) return false;
    if (high == 0) return true;
    ::SetLastError(ERROR_FILE_TOO_LARGE);
    return false;
}

bool File::read(void* data, DWORD size, DWORD& read) noexcept {
    read = 0;
    return size == 0 || ::ReadFile(get(), data, size, &read, nullptr) != FALSE;
}

bool RegKey::create(HKEY parent, const wchar_t* subkey, LPWSTR keyClass, DWORD options, REGSAM access,
                    LPSECURITY_ATTRIBUTES security, LPDWORD disposition) noexcept {
    HKEY key = nullptr;
    if (!RegistryDone(
            ::RegCreateKeyExW(parent, subkey, 0, keyClass, options, access, security, &key, disposition))) {
        close();
        return false;
    }
    reset(key);
    return isValid();
}

bool RegKey::open(HKEY parent, const wchar_t* subkey, REGSAM access) noexcept {
    HKEY key = nullptr;
    if (!RegistryDone(::RegOpenKeyExW(parent, subkey, 0, access, &key))) {
        close();
        return false;
    }
    reset(key);
    return isValid();
}

namespace {
// Reads a fixed-size value of one type in one query: a stored size wider than the type's does not fit
// (ERROR_MORE_DATA) and is refused; a narrower one leaves the upper bytes zero.
template <class T> bool ReadFixed(HKEY key, const wchar_t* name, DWORD wantType, T& out) noexcept {
    out = 0;
    T value = 0;
    DWORD type = 0, size = sizeof(T);
    if (!RegistryDone(::RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size)))
        return false;
    if (size == 0 || type != wantType) return RegistryDone(ERROR_DATATYPE_MISMATCH);
    out = value;
    return true;
}
} // namespace

bool RegKey::readDword(const wchar_t* name, DWORD& out) const noexcept {
    return ReadFixed(get(), name, REG_DWORD, out);
}

bool RegKey::readQword(const wchar_t* name, ULONGLONG& out) const noexcept {
    return ReadFixed(get(), name, REG_QWORD, out);
}

bool RegKey::readBool(const wchar_t* name, bool& out) const noexcept {
    DWORD value = 0;
    out = false;
    if (!readDword(name, value)) return false;
    out = value == 1;
    return true;
}

bool RegKey::readString(const wchar_t* name, BSTR& out) const noexcept {
    if (out) ::SysFreeString(out);
    out = nullptr;
    DWORD type = 0, size = 0;
    if (!RegistryDone(::RegQueryValueExW(get(), name, nullptr, &type, nullptr, &size))) return false;
    if (size / sizeof(wchar_t) <= 1) {
        out = ::SysAllocStringLen(L"", 0);
        return out != nullptr;
    }
    // The last whole stored unit is taken as the terminator: the text has size/2 - 1 units, embedded
    // NULs included. The buffer holds every stored byte, an odd count included.
    const UINT units = size / sizeof(wchar_t) - 1;
    Bstr buffer;
    buffer.reset(::SysAllocStringLen(nullptr, units + 1));
    if (!buffer) return false;
    ZeroMemory(buffer.get(), (units + 2) * sizeof(wchar_t));
    DWORD read = size;
    if (!RegistryDone(
            ::RegQueryValueExW(get(), name, nullptr, &type, reinterpret_cast<BYTE*>(buffer.get()), &read)))
        return false;
    out = ::SysAllocStringLen(buffer.get(), units);
    return out != nullptr;
}

bool RegKey::readString(const wchar_t* name, std::wstring& out) const {
    out.clear();
    DWORD type = 0, size = 0;
    if (!RegistryDone(::RegQueryValueExW(get(), name, nullptr, &type, nullptr, &size))) return false;
    if (size == 0) return true;
    std::wstring buffer((size + 1) / sizeof(wchar_t) + 1, L'\0');
    DWORD read = size;
    if (!RegistryDone(
            ::RegQueryValueExW(get(), name, nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()), &read)))
        return false;
    buffer.resize(wcsnlen(buffer.c_str(), buffer.size()));
    out = std::move(buffer);
    return true;
}

bool RegKey::valueExists(const wchar_t* name) const noexcept {
    DWORD type = 0, size = 0;
    return ::RegQueryValueExW(get(), name, nullptr, &type, nullptr, &size) == ERROR_SUCCESS && size != 0;
}

bool RegKey::writeValue(const wchar_t* name, DWORD type, const BYTE* data, DWORD size) const noexcept {
    return RegistryDone(::RegSetValueExW(get(), name, 0, type, data, size));
}

} // namespace API::Win32
