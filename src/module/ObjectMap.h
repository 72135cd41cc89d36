// The object map: the nineteen creatable classes, in their fixed order, and their class objects.
#pragma once

#include "module/ComObject.h"

#include <atomic>

struct ObjectMapEntry {
    const CLSID* clsid;
    UINT registryScriptId; // resource "REGISTRY" holding the class's registration script
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

// The registration script of the module's AppID.
inline constexpr UINT kAppIdRegistryScript = 101;
