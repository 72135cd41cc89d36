// Registry look-ups and the library loaded from a given file, for the registration tests.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

namespace RegistrationTest {

// Owned registry key and kernel handle, closed on scope exit.
struct ScopedKey {
    HKEY h = nullptr;
    ScopedKey() = default;
    ScopedKey(const ScopedKey&) = delete;
    ScopedKey& operator=(const ScopedKey&) = delete;
    ~ScopedKey() {
        if (h) ::RegCloseKey(h);
    }
};

struct ScopedHandle {
    HANDLE h = nullptr;
    ScopedHandle() = default;
    explicit ScopedHandle(HANDLE handle) : h(handle) {}
    ScopedHandle(const ScopedHandle&) = delete;
    ScopedHandle& operator=(const ScopedHandle&) = delete;
    ~ScopedHandle() {
        if (h) ::CloseHandle(h);
    }
};

namespace detail {

template <class Fn> Fn Export(HMODULE module, const char* name) {
    return reinterpret_cast<Fn>(reinterpret_cast<void*>(::GetProcAddress(module, name)));
}

} // namespace detail

inline bool KeyExists(HKEY root, const std::wstring& path) {
    ScopedKey key;
    return ::RegOpenKeyExW(root, path.c_str(), 0, KEY_READ, &key.h) == ERROR_SUCCESS;
}

inline std::optional<std::wstring> ReadString(HKEY root, const std::wstring& path,
                                              const std::wstring& name = L"") {
    ScopedKey key;
    if (::RegOpenKeyExW(root, path.c_str(), 0, KEY_READ, &key.h) != ERROR_SUCCESS) return std::nullopt;
    DWORD type = 0, size = 0;
    const wchar_t* valueName = name.empty() ? nullptr : name.c_str();
    if (::RegQueryValueExW(key.h, valueName, nullptr, &type, nullptr, &size) != ERROR_SUCCESS ||
        type != REG_SZ)
        return std::nullopt;
    std::vector<wchar_t> data(size / sizeof(wchar_t) + 1, L'\0');
    if (::RegQueryValueExW(key.h, valueName, nullptr, &type, reinterpret_cast<BYTE*>(data.data()), &size) !=
        ERROR_SUCCESS)
        return std::nullopt;
    return std::wstring(data.data());
}

inline void DeleteTree(HKEY root, const std::wstring& path) {
    ::RegDeleteTreeW(root, path.c_str());
}

inline std::wstring TestProgramFolder() {
    wchar_t exe[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, exe, MAX_PATH);
    std::wstring path(exe);
    path.resize(path.find_last_of(L"\\/") + 1);
    return path;
}

inline std::wstring BuiltLibraryPath() {
    return TestProgramFolder() + L"Zembrolatix.dll";
}

// A copy of the library loaded by its file path, with its registration entry points.
class LoadedLibrary {
public:
    using RegisterFn = HRESULT(WINAPI*)();
    using InstallFn = HRESULT(WINAPI*)(BOOL, LPCWSTR);

    explicit LoadedLibrary(const std::wstring& path);
    ~LoadedLibrary();
    LoadedLibrary(const LoadedLibrary&) = delete;
    LoadedLibrary& operator=(const LoadedLibrary&) = delete;

    bool ok() const noexcept { return m_module && registerServer && unregisterServer && install; }
    // The path the loader reports for the module, as registration writes it.
    std::wstring ModulePath() const;

    RegisterFn registerServer = nullptr;
    RegisterFn unregisterServer = nullptr;
    InstallFn install = nullptr;

private:
    HMODULE m_module = nullptr;
};

inline LoadedLibrary::LoadedLibrary(const std::wstring& path) {
    m_module = ::LoadLibraryW(path.c_str());
    if (!m_module) return;
    registerServer = detail::Export<RegisterFn>(m_module, "DllRegisterServer");
    unregisterServer = detail::Export<RegisterFn>(m_module, "DllUnregisterServer");
    install = detail::Export<InstallFn>(m_module, "DllInstall");
}

inline LoadedLibrary::~LoadedLibrary() {
    if (m_module) ::FreeLibrary(m_module);
}

inline std::wstring LoadedLibrary::ModulePath() const {
    wchar_t path[MAX_PATH] = {};
    DWORD length = ::GetModuleFileNameW(m_module, path, MAX_PATH);
    return std::wstring(path, length);
}

} // namespace RegistrationTest
