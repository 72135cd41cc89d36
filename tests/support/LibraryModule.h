// Loads the library under test from beside the test program and exposes its entry points.
#pragma once

#include <windows.h>
#include <objbase.h>

#include <string>

struct LibraryModule {
    using GetClassObjectFn = HRESULT(WINAPI*)(REFCLSID, REFIID, void**);
    using CanUnloadNowFn = HRESULT(WINAPI*)();
    using RegisterFn = HRESULT(WINAPI*)();
    using InstallFn = HRESULT(WINAPI*)(BOOL, LPCWSTR);

    LibraryModule();
    ~LibraryModule();
    LibraryModule(const LibraryModule&) = delete;
    LibraryModule& operator=(const LibraryModule&) = delete;

    HMODULE module = nullptr;
    GetClassObjectFn getClassObject = nullptr;
    CanUnloadNowFn canUnloadNow = nullptr;
    RegisterFn registerServer = nullptr;
    RegisterFn unregisterServer = nullptr;
    InstallFn install = nullptr;

    // Full path of Zembrolatix.dll beside the running test program.
    static std::wstring Path();
};
