#include "shared/Win32.h"

#include <new>

namespace API::Win32 {

bool File::open(const wchar_t* path, DWORD access, DWORD share, LPSECURITY_ATTRIBUTES security,
                DWORD disposition, DWORD flags, HANDLE templateFile) noexcept {
    try {
        m_path = path ? path : L"";
    } catch (const std::bad_alloc&) {
        m_path.clear();
    }
    replace(::CreateFileW(path, access, share, security, disposition, flags, templateFile));
    return isValid();
}

bool File::write(const void* data, DWORD size) noexcept {
    m_written = 0;
    return ::WriteFile(m_handle, data, size, &m_written, nullptr) != FALSE;
}

bool RegKey::create(HKEY parent, const wchar_t* subkey, LPWSTR keyClass, DWORD options, REGSAM access,
                    LPSECURITY_ATTRIBUTES security, LPDWORD disposition) noexcept {
    HKEY key = nullptr;
    if (::RegCreateKeyExW(parent, subkey, 0, keyClass, options, access, security, &key, disposition) !=
        ERROR_SUCCESS) {
        close();
        return false;
    }
    replace(key);
    return isValid();
}

bool RegKey::open(HKEY parent, const wchar_t* subkey, REGSAM access) noexcept {
    HKEY key = nullptr;
    if (::RegOpenKeyExW(parent, subkey, 0, access, &key) != ERROR_SUCCESS) {
        close();
        return false;
    }
    replace(key);
    return isValid();
}

namespace {
// Reads a fixed-size value of one type in one query: a stored size wider than the type's does not fit
// (ERROR_MORE_DATA) and is refused; a narrower one leaves the upper bytes zero.
template <class T> bool ReadFixed(HKEY key, const wchar_t* name, DWORD wantType, T& out) noexcept {
    out = 0;
    T value = 0;
    DWORD type = 0, size = sizeof(T);
    if (::RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size) !=
        ERROR_SUCCESS)
        return false;
    if (size == 0 || type != wantType) return false;
    out = value;
    return true;
}
} // namespace

bool RegKey::readDword(const wchar_t* name, DWORD& out) const noexcept {
    return ReadFixed(m_handle, name, REG_DWORD, out);
}

bool RegKey::readQword(const wchar_t* name, ULONGLONG& out) const noexcept {
    return ReadFixed(m_handle, name, REG_QWORD, out);
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
    if (::RegQueryValueExW(m_handle, name, nullptr, &type, nullptr, &size) != ERROR_SUCCESS) return false;
    if (size / sizeof(wchar_t) <= 1) {
        out = ::SysAllocStringLen(L"", 0);
        return out != nullptr;
    }
    // The last whole stored unit is taken as the terminator: the text has size/2 - 1 units, embedded
    // NULs included. The buffer holds every stored byte, an odd count included.
    const UINT units = size / sizeof(wchar_t) - 1;
    BSTR buffer = ::SysAllocStringLen(nullptr, units + 1);
    if (!buffer) return false;
    ZeroMemory(buffer, (units + 2) * sizeof(wchar_t));
    DWORD read = size;
    if (::RegQueryValueExW(m_handle, name, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &read) !=
        ERROR_SUCCESS) {
        ::SysFreeString(buffer);
        return false;
    }
    out = ::SysAllocStringLen(buffer, units);
    ::SysFreeString(buffer);
    return out != nullptr;
}

bool RegKey::readString(const wchar_t* name, std::wstring& out) const {
    out.clear();
    DWORD type = 0, size = 0;
    if (::RegQueryValueExW(m_handle, name, nullptr, &type, nullptr, &size) != ERROR_SUCCESS) return false;
    if (size == 0) return true;
    std::wstring buffer((size + 1) / sizeof(wchar_t) + 1, L'\0');
    DWORD read = size;
    if (::RegQueryValueExW(m_handle, name, nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()), &read) !=
        ERROR_SUCCESS)
        return false;
    buffer.resize(wcsnlen(buffer.c_str(), buffer.size()));
    out = std::move(buffer);
    return true;
}

bool RegKey::valueExists(const wchar_t* name) const noexcept {
    DWORD type = 0, size = 0;
    return ::RegQueryValueExW(m_handle, name, nullptr, &type, nullptr, &size) == ERROR_SUCCESS && size != 0;
}

bool RegKey::writeValue(const wchar_t* name, DWORD type, const BYTE* data, DWORD size) const noexcept {
    return ::RegSetValueExW(m_handle, name, 0, type, data, size) == ERROR_SUCCESS;
}

} // namespace API::Win32
