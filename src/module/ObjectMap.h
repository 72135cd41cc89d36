// The object map: the creatable classes of Classes.def, in its order, and their class objects.
#pragma once

#include "module/ComObject.h"

#include <atomic>

struct ObjectMapEntry {
    const CLSID* clsid;
    const wchar_t* name; // the coclass name, as in the class's ProgIDs
    CreatorFunc createInstance;
    bool safeForScripting;                    // implements the two safe categories and is pre-approved
    std::atomic<IUnknown*> cachedClassObject; // made once, read without the lock once made
};

// The entries, in object-map order.
ObjectMapEntry* ObjectMapBegin() noexcept;
ObjectMapEntry* ObjectMapEnd() noexcept;

bool ObjectMapInitialised() noexcept;
// Called while the module loads and unloads; false when a lock could not be made.
bool ObjectMapInit() noexcept;
void ObjectMapTerm() noexcept;

HRESULT GetClassObjectFromMap(REFCLSID clsid, REFIID iid, void** ppv) noexcept;

// Resources "REGISTRY" of the module: the registration script of its AppID, the one script every class
// is registered by (%CLASS% and %CLSID% stand for the class), and the pre-approval added for a class
// safe for scripting.
inline constexpr UINT kAppIdRegistryScript = 101;
inline constexpr UINT kClassRegistryScript = 102;
inline constexpr UINT kPreApprovedRegistryScript = 103;
