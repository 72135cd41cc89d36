#include "bundles/PropertiesSource.h"

#include "script/Boundary.h"
#include "shared/Win32.h"

#include <climits>
#include <cstdint>
#include <cstring>
#include <memory>

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
    // ASCII needs no conversion (four bytes at a time while they are all ASCII); the system converts
    // from the first other byte on.
    const auto* in = reinterpret_cast<const unsigned char*>(bytes.data());
    wchar_t* out = text.data();
    size_t ascii = 0;
    for (uint32_t four; ascii + 4 <= bytes.size(); ascii += 4) {
        std::memcpy(&four, in + ascii, 4);
        if (four & 0x80808080u) break;
        out[ascii] = in[ascii];
        out[ascii + 1] = in[ascii + 1];
        out[ascii + 2] = in[ascii + 2];
        out[ascii + 3] = in[ascii + 3];
    }
    for (; ascii < bytes.size() && in[ascii] < 0x80; ++ascii)
        out[ascii] = in[ascii];
    if (ascii == bytes.size()) return S_OK;
    const int units = ::MultiByteToWideChar(CP_UTF8, 0, bytes.data() + ascii, size - static_cast<int>(ascii),
                                            text.data() + ascii, size - static_cast<int>(ascii));
    if (units <= 0) {
        text.clear();
        return FailWithLastError();
    }
    text.resize(ascii + static_cast<size_t>(units));
    return S_OK;
}

HRESULT LoadPropertiesFile(const std::wstring& path, PropertiesTable& table) {
    API::Win32::File file;
    if (!file.open(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr))
        return FailWithLastError();
    DWORD size = 0;
    if (!file.wholeSize(size)) // a file of 4 GB or more is beyond what a 32-bit process can hold
        return ::GetLastError() == ERROR_FILE_TOO_LARGE ? E_OUTOFMEMORY : FailWithLastError();
    // Not cleared first: ReadFile fills what is used.
    const auto bytes = std::make_unique_for_overwrite<char[]>(size != 0 ? size : 1);
    DWORD read = 0;
    if (!file.read(bytes.get(), size, read)) return FailWithLastError();
    return ParseUtf8(std::string_view(bytes.get(), read), table);
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
