// The module's entry points for loading and class lookup.
#include "module/Module.h"
#include "module/ObjectMap.h"
#include "shared/ProcessLog.h"

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    switch (reason) {
    case DLL_PROCESS_ATTACH:
        ::DisableThreadLibraryCalls(instance);
        if (g_module.InitFailed() || !ObjectMapInit()) return FALSE;
        StartProcessLog();
        break;
    case DLL_PROCESS_DETACH:
        g_module.RunTermFuncs();
        ObjectMapTerm();
        StopProcessLog();
        break;
    default:
        break;
    }
    return TRUE;
}

STDAPI DllGetClassObject(REFCLSID clsid, REFIID iid, LPVOID* ppv) {
    return GetClassObjectFromMap(clsid, iid, ppv);
}

STDAPI DllCanUnloadNow() {
    return g_module.GetLockCount() == 0 ? S_OK : S_FALSE;
}
