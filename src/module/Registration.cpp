// Registration entry points (placeholder until the registrar lands).
#include <windows.h>

STDAPI DllRegisterServer() { return E_NOTIMPL; }
STDAPI DllUnregisterServer() { return E_NOTIMPL; }
STDAPI DllInstall(BOOL, LPCWSTR) { return E_NOTIMPL; }
