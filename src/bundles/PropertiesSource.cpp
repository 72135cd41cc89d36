#include "bundles/PropertiesSource.h"

#include "shared/Win32.h"

#include <climits>

namespace {

HRESULT ParseUtf8(std::string_view bytes, PropertiesTable& table) {
    std::wstring text;
    HRESULT hr = DecodeUtf8(bytes, text);
    if (FAILED(hr)) return hr;
    PropertiesTable parsed;
    ParsePropertiesText(std::move(text), parsed);
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
    // ASCII needs no conversion; the system converts from the first other byte on.
    size_t ascii = 0;
    while (ascii < bytes.size() && static_cast<unsigned char>(bytes[ascii]) < 0x80) {
        text[ascii] = static_cast<wchar_t>(bytes[ascii]);
        ++ascii;
    }
    if (ascii == bytes.size()) return S_OK;
    const int units = ::MultiByteToWideChar(CP_UTF8, 0, bytes.data() + ascii, size - static_cast<int>(ascii),
                                            text.data() + ascii, size - static_cast<int>(ascii));
    if (units <= 0) {
        text.clear();
        return E_FAIL;
    }
    text.resize(ascii + static_cast<size_t>(units));
    return S_OK;
}

HRESULT LoadPropertiesFile(const std::wstring& path, PropertiesTable& table) {
    API::Win32::File file;
    if (!file.open(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr))
        return E_FAIL;
    DWORD sizeHigh = 0;
    const DWORD size = ::GetFileSize(file.get(), &sizeHigh);
    if (size == INVALID_FILE_SIZE && ::GetLastError() != NO_ERROR) return E_FAIL;
    if (sizeHigh != 0) return E_OUTOFMEMORY; // beyond what a 32-bit process can hold
    std::string bytes(size, '\0');
    DWORD read = 0;
    if (size != 0 && !::ReadFile(file.get(), bytes.data(), size, &read, nullptr)) return E_FAIL;
    bytes.resize(read);
    return ParseUtf8(bytes, table);
}

HRESULT LoadPropertiesResource(const std::wstring& modulePath, const std::wstring& name,
                               PropertiesTable& table) {
    // A page names the module; loading it as a data file maps its resources without running its code.
    API::Win32::Library module(modulePath.c_str(), LOAD_LIBRARY_AS_DATAFILE);
    if (!module.isValid()) return E_FAIL;
    HRSRC resource = ::FindResourceW(module.get(), name.c_str(), L"PROPERTIES");
    if (!resource) return E_FAIL;
    const DWORD size = ::SizeofResource(module.get(), resource);
    if (size == 0) return E_FAIL;
    HGLOBAL loaded = ::LoadResource(module.get(), resource);
    if (!loaded) return E_FAIL;
    const void* data = ::LockResource(loaded);
    if (!data) return E_FAIL;
    // Decoded (copied) while the module is still loaded.
    return ParseUtf8(std::string_view(static_cast<const char*>(data), size), table);
}
