#include "bundles/ResourceUrl.h"
#include "FuzzText.h"

// Registered: packages and tokens whose name starts with 'a' or '{a'.
static HRESULT Lookup(const std::wstring& name, std::wstring& text) {
    if (name.empty() || (name[0] != L'a' && name.rfind(L"{a", 0) != 0)) return E_FAIL;
    text = name.size() % 2 ? L"C:\\apps\\x" : L"";
    return S_OK;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::wstring url = FuzzText(data, size);
    GetUrlScheme(url);
    GetResModulePath(url);
    GetResResourceName(url);
    std::wstring chrome = url;
    if (FAILED(ResolveChromeUrl(chrome, Lookup))) FUZZ_CHECK(chrome == url);
    std::wstring expanded = url;
    if (FAILED(ExpandExtensionTokens(expanded, Lookup))) FUZZ_CHECK(expanded == url);
    std::wstring resolved = L"unchanged";
    if (FAILED(ResolveUrl(url, Lookup, resolved))) FUZZ_CHECK(resolved == L"unchanged");
    return 0;
}
