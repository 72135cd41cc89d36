#include "module/ObjectMap.h"

#include "module/ClassFactory.h"

#include "bundles/PropertyElement.h"
#include "bundles/SimpleEnumerator.h"
#include "bundles/StringBundle.h"
#include "bundles/StringBundleService.h"
#include "download/WebBrowserPersist.h"
#include "files/DirectoryService.h"
#include "files/FileInputStream.h"
#include "files/FileOutputStream.h"
#include "files/FilePicker.h"
#include "files/LocalFile.h"
#include "prefs/PrefBranch.h"
#include "prefs/PrefService.h"
#include "script/InterfaceFinder.h"
#include "shared/ScriptLogger.h"
#include "windows/ArgumentTransfer.h"
#include "windows/ContextMenuHelper.h"
#include "windows/WindowManager.h"
#include "xml/DOMParser.h"
#include "xml/DOMSerializer.h"

#include <objsafe.h>

#include <iterator>
#include <mutex>
#include <type_traits>

namespace {

// The CLSID a class names through its CComCoClass base.
template <class T, const CLSID* Id> constexpr const CLSID* ClassIdOf(const CComCoClass<T, Id>*) noexcept {
    return Id;
}

template <class T> ObjectMapEntry Entry(const wchar_t* name, bool safe) {
    return ObjectMapEntry{&T::GetObjectCLSID(), name, &T::CreateInstance, safe, nullptr};
}

#define ZEMBROLATIX_CLASS(Name, Implementation, Safe)                                                        \
    static_assert(ClassIdOf(static_cast<Implementation*>(nullptr)) == &CLSID_##Name,                         \
                  #Implementation " implements the coclass " #Name);                                         \
    static_assert(std::is_base_of_v<IObjectSafety, Implementation> == Safe,                                  \
                  #Implementation " implements IObjectSafety exactly when it is safe for scripting");
#include "module/Classes.def"
#undef ZEMBROLATIX_CLASS

#define ZEMBROLATIX_WIDE(text) L##text
ObjectMapEntry g_objectMap[] = {
#define ZEMBROLATIX_CLASS(Name, Implementation, Safe) Entry<Implementation>(ZEMBROLATIX_WIDE(#Name), Safe),
#include "module/Classes.def"
#undef ZEMBROLATIX_CLASS
};
#undef ZEMBROLATIX_WIDE

CriticalSection g_objectMapLock;
bool g_objectMapInitialised = false;

} // namespace

ObjectMapEntry* ObjectMapBegin() noexcept {
    return std::begin(g_objectMap);
}
ObjectMapEntry* ObjectMapEnd() noexcept {
    return std::end(g_objectMap);
}
bool ObjectMapInitialised() noexcept {
    return g_objectMapInitialised;
}

bool ObjectMapInit() noexcept {
    if (!g_objectMapLock.ok()) return false;
    g_objectMapInitialised = true;
    return true;
}

void ObjectMapTerm() noexcept {
    if (!g_objectMapInitialised) return;
    for (ObjectMapEntry& entry : g_objectMap) {
        if (IUnknown* cached = entry.cachedClassObject.exchange(nullptr, std::memory_order_acq_rel))
            cached->Release();
    }
    g_objectMapInitialised = false;
}

HRESULT GetClassObjectFromMap(REFCLSID clsid, REFIID iid, void** ppv) noexcept {
    if (!ppv) return E_POINTER;
    *ppv = nullptr;
    if (!g_objectMapInitialised) return E_UNEXPECTED;

    ObjectMapEntry* entry = nullptr;
    for (ObjectMapEntry& e : g_objectMap) {
        if (::IsEqualCLSID(*e.clsid, clsid) && e.createInstance) {
            entry = &e;
            break;
        }
    }
    if (!entry) return CLASS_E_CLASSNOTAVAILABLE;

    IUnknown* cached = entry->cachedClassObject.load(std::memory_order_acquire);
    if (!cached) {
        std::lock_guard guard(g_objectMapLock);
        cached = entry->cachedClassObject.load(std::memory_order_relaxed);
        if (!cached) {
            HRESULT hr =
                CreateClassObject(entry->createInstance, IID_IUnknown, reinterpret_cast<void**>(&cached));
            if (FAILED(hr)) return hr;
            entry->cachedClassObject.store(cached, std::memory_order_release);
        }
    }
    HRESULT hr = cached->QueryInterface(iid, ppv);
    if (hr == S_OK && !*ppv) return CLASS_E_CLASSNOTAVAILABLE;
    return hr;
}
