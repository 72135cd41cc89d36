#include "support/LibraryModule.h"

std::wstring LibraryModule::Path() {
    wchar_t exe[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, exe, MAX_PATH);
    std::wstring path(exe);
    path.resize(path.find_last_of(L"\\/") + 1);
    return path + L"Zembrolatix.dll";
}

namespace {
template <class Fn> Fn Export(HMODULE module, const char* name) {
    return reinterpret_cast<Fn>(reinterpret_cast<void*>(::GetProcAddress(module, name)));
}
} // namespace

LibraryModule::LibraryModule() {
    module = ::LoadLibraryW(Path().c_str());
    if (!module) return;
    getClassObject = Export<GetClassObjectFn>(module, "DllGetClassObject");
    canUnloadNow = Export<CanUnloadNowFn>(module, "DllCanUnloadNow");
    registerServer = Export<RegisterFn>(module, "DllRegisterServer");
    unregisterServer = Export<RegisterFn>(module, "DllUnregisterServer");
    install = Export<InstallFn>(module, "DllInstall");
}

LibraryModule::~LibraryModule() {
    if (module) ::FreeLibrary(module);
}
