#include "files/DirectoryService.h"

#include "files/PathRules.h"
#include "files/ReadingRule.h"
#include "script/Boundary.h"
#include "shared/Bstr.h"
#include "shared/Registered.h"
#include "shared/ComPtr.h"
#include "shared/Storage.h"
#include "shared/TextUtil.h"

#include <shlobj.h>

namespace {

constexpr std::wstring_view kLocalFileIid = L"{F75B5C32-B42D-416D-93AC-8798869674CE}";
constexpr std::wstring_view kLocalFile2Iid = L"{725E43E1-DF4A-43E7-BDEE-24F83A7F165B}";

// Set while the library is loaded; the first "ProfD" request creates the private data folder and clears it.
bool g_createPrivateFolder = true;

HRESULT PrivateFolderPath(std::wstring& out) {
    HRESULT hr = PrivateDataFolder(out);
    if (FAILED(hr)) return hr;
    if (g_createPrivateFolder) {
        g_createPrivateFolder = false;
        ::CreateDirectoryW(out.c_str(), nullptr);
    }
    return S_OK;
}

// A path a system call writes into a buffer of MAX_PATH units, answering its length; E_FAIL when the
// call fails or the path does not fit.
template <class Call> HRESULT PathFromCall(Call call, std::wstring& out) {
    wchar_t buffer[MAX_PATH] = {};
    const DWORD length = call(buffer);
    if (length == 0) return FailWithLastError();
    if (length >= MAX_PATH) return FailWithError(ERROR_INSUFFICIENT_BUFFER);
    out.assign(buffer, length);
    return S_OK;
}

HRESULT TempFolderPath(std::wstring& out) {
    return PathFromCall([](wchar_t* buffer) { return ::GetTempPathW(MAX_PATH, buffer); }, out);
}

HRESULT ShellFolderPath(int csidl, std::wstring& out) {
    wchar_t buffer[MAX_PATH] = {};
    HRESULT hr = ::SHGetFolderPathW(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, buffer);
    if (FAILED(hr)) return hr;
    // S_FALSE: the folder is named but does not exist yet; its path is still the answer.
    if (!buffer[0]) return FailWithReason("the shell gave an empty path");
    out.assign(buffer);
    return S_OK;
}

// The user's downloads folder where the system names one (Vista and later), else "Downloads" in the
// documents folder.
HRESULT DownloadsFolderPath(std::wstring& out) {
    using GetKnownFolderPath = HRESULT(WINAPI*)(REFGUID, DWORD, HANDLE, PWSTR*);
    static const GUID kDownloads = {
        0x374DE290, 0x123F, 0x4565, {0x91, 0x64, 0x39, 0xC4, 0x92, 0x5E, 0x46, 0x7B}};
    HMODULE shell = ::GetModuleHandleW(L"SHELL32.DLL");
    auto known = reinterpret_cast<GetKnownFolderPath>(
        reinterpret_cast<void*>(shell ? ::GetProcAddress(shell, "SHGetKnownFolderPath") : nullptr));
    if (known) {
        CoTaskMem<wchar_t> path;
        const HRESULT hr = known(kDownloads, 0, nullptr, path.put());
        if (SUCCEEDED(hr) && path && path.get()[0])
            return ComBoundary([&] {
                out.assign(path.get());
                return S_OK;
            });
    }
    HRESULT hr = ShellFolderPath(CSIDL_PERSONAL, out);
    if (SUCCEEDED(hr)) out = PathRules::AppendNode(out, L"Downloads");
    return hr;
}

HRESULT CurrentFolderPath(std::wstring& out) {
    return PathFromCall([](wchar_t* buffer) { return ::GetCurrentDirectoryW(MAX_PATH, buffer); }, out);
}

// The folder of the program running this process.
HRESULT ProgramFolderPath(std::wstring& out) {
    std::wstring program;
    const HRESULT hr = PathFromCall(
        [](wchar_t* buffer) { return ::GetModuleFileNameW(nullptr, buffer, MAX_PATH); }, program);
    if (FAILED(hr)) return hr;
    std::optional<std::wstring> folder = PathRules::ParentPath(program);
    if (!folder) return FailWithReason("the program's path has no folder");
    out = std::move(*folder);
    return S_OK;
}

// The keys and how each location is found. The private and temporary folders are handed out trusted;
// every other location is trusted only where any path would be.
struct Location {
    std::wstring_view key;
    HRESULT (*find)(std::wstring& out);
    bool trusted;
};

const Location kLocations[] = {
    {L"ProfD", PrivateFolderPath, true},
    {L"ProfLD", PrivateFolderPath, true},
    {L"TmpD", TempFolderPath, true},
    {L"Home", [](std::wstring& out) { return ShellFolderPath(CSIDL_PROFILE, out); }, false},
    {L"Desk", [](std::wstring& out) { return ShellFolderPath(CSIDL_DESKTOPDIRECTORY, out); }, false},
    {L"Pers", [](std::wstring& out) { return ShellFolderPath(CSIDL_PERSONAL, out); }, false},
    {L"AppData", [](std::wstring& out) { return ShellFolderPath(CSIDL_APPDATA, out); }, false},
    {L"LocalAppData", LocalAppDataFolder, false},
    {L"DfltDwnld", DownloadsFolderPath, false},
    {L"CurWorkD", CurrentFolderPath, false},
    {L"CurProcD", ProgramFolderPath, false},
};

} // namespace

// A new local file on a well-known folder. The private data folder ("ProfD", also "ProfLD") and the
// temporary folder ("TmpD") come allowed to change the file system below them.
STDMETHODIMP CDirectoryService::get(BSTR prop, BSTR iid, VARIANT* pRet) noexcept {
    if (BstrEmpty(prop) || !iid) return E_INVALIDARG;
    if (!pRet) return E_POINTER;
    if (!EqualsIgnoreAsciiCase(BstrView(iid), kLocalFileIid) &&
        !EqualsIgnoreAsciiCase(BstrView(iid), kLocalFile2Iid))
        return FailWithReason("only local files are handed out");
    return ComBoundary([&] {
        ComPtr<ISafeLocalFile> file;
        HRESULT hr = CreateRegistered(CLSID_LocalFile, file);
        if (FAILED(hr)) return hr;
        const Location* location = nullptr;
        for (const Location& candidate : kLocations)
            if (EqualsIgnoreAsciiCase(BstrView(prop), candidate.key)) location = &candidate;
        if (!location) return E_INVALIDARG;
        std::wstring path;
        hr = location->find(path);
        if (FAILED(hr)) return hr;
        const bool safe = location->trusted || InsidePrivateDataFolder(path);
        Bstr text(path);
        hr = file->init(text.get(), safe ? VARIANT_TRUE : VARIANT_FALSE);
        if (FAILED(hr)) return hr;
        ::VariantClear(pRet);
        ComPtr<IDispatch> dispatch;
        if (SUCCEEDED(file.As(dispatch))) {
            pRet->vt = VT_DISPATCH;
            pRet->pdispVal = dispatch.Detach();
        } else {
            pRet->vt = VT_UNKNOWN;
            pRet->punkVal = file.Detach();
        }
        return S_OK;
    });
}
