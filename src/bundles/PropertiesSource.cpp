#include "bundles/PropertiesSource.h"

#include "script/Boundary.h"
#include "shared/Win32.h"

#include <climits>

namespace {

HRESULT ParseUtf8(std::string_view bytes, PropertiesTable& table) {
    std::wstring text;
    HRESULT hr = DecodeUtf8(bytes, text);
    if (FAILED(hr)) return hr;
    PropertiesTable parsed;
    ParsePropertiesText(text, parsed);
    table = std::move(parsed);
    return S_OK;
}

} // namespace

HRESULT DecodeUtf8(std::string_view bytes, std::wstring& text) {
    text.clear();
    if (bytes.empty()) return S_OK;
    if (bytes.size() > INT_MAX) return E_OUTOFMEMORY;
    const int size = static_cast<int>(bytes.size());
    // One pass: UTF-8 never takes fewer bytes than the UTF-16 units it decodes to.
    text.resize(bytes.size());
    const int units = ::MultiByteToWideChar(CP_UTF8, 0, bytes.data(), size, text.data(), size);
    if (units <= 0) {
        text.clear();
        return FailWithLastError();
    }
    text.resize(static_cast<size_t>(units));
    return S_OK;
}

HRESULT LoadPropertiesFile(const std::wstring& path, PropertiesTable& table) {
    API::Win32::File file;
    if (!file.open(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr))
        return FailWithLastError();
    DWORD sizeHigh = 0;
    const DWORD size = ::GetFileSize(file.get(), &sizeHigh);
    if (size == INVALID_FILE_SIZE && ::GetLastError() != NO_ERROR) return FailWithLastError();
    if (sizeHigh != 0) return E_OUTOFMEMORY; // beyond what a 32-bit process can hold
    std::string bytes(size, '\0');
    DWORD read = 0;
    if (size != 0 && !::ReadFile(file.get(), bytes.data(), size, &read, nullptr)) return FailWithLastError();
    bytes.resize(read);
    return ParseUtf8(bytes, table);
}

HRESULT LoadPropertiesResource(const std::wstring& modulePath, const std::wstring& name,
                               PropertiesTable& table) {
    // A page names the module; loading it as a data file maps its resources without running its code.
    API::Win32::Library module(modulePath.c_str(), LOAD_LIBRARY_AS_DATAFILE);
    if (!module.isValid()) return FailWithLastError();
    HRSRC resource = ::FindResourceW(module.get(), name.c_str(), L"PROPERTIES");
    if (!resource) return FailWithLastError();
    const DWORD size = ::SizeofResource(module.get(), resource);
    if (size == 0) return FailWithLastError();
    HGLOBAL loaded = ::LoadResource(module.get(), resource);
    if (!loaded) return FailWithLastError();
    const void* data = ::LockResource(loaded);
    if (!data) return FailWithLastError();
    // Decoded (copied) while the module is still loaded.
    return ParseUtf8(std::string_view(static_cast<const char*>(data), size), table);
}
