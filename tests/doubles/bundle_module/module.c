/* A package module for the string bundle tests: its resources hold properties files. When any code of
   it runs (an ordinary module load), its start-up code sets the process environment variable
   ZBT_BUNDLE_MODULE_STARTED, which the tests look for. */
#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
    (void)instance;
    (void)reserved;
    if (reason == DLL_PROCESS_ATTACH) SetEnvironmentVariableW(L"ZBT_BUNDLE_MODULE_STARTED", L"1");
    return TRUE;
}
