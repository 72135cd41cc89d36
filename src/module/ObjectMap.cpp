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

#include <iterator>
#include <mutex>

namespace {

template <class T> ObjectMapEntry Entry(UINT scriptId, bool safe = true) {
    return ObjectMapEntry{&T::GetObjectCLSID(), scriptId, &T::CreateInstance, safe, nullptr};
}

// Alphabetical by class name.
ObjectMapEntry g_objectMap[] = {
    Entry<CArgumentTransfer>(103),    Entry<CContextMenuHelper>(118, false),
    Entry<CDirectoryService>(113),    Entry<CDOMParser>(117),
    Entry<CDOMSerializer>(120),       Entry<CFileInputStream>(116),
    Entry<CFileOutputStream>(119),    Entry<CFilePicker>(121),
    Entry<CInterfaceFinder>(114),     Entry<CLocalFile>(112),
    Entry<CPrefBranch>(107),          Entry<CPrefService>(106),
    Entry<CPropertyElement>(111),     Entry<CScriptLogger>(104),
    Entry<CSimpleEnumerator>(110),    Entry<CStringBundle>(109),
    Entry<CStringBundleService>(108), Entry<CWebBrowserPersist>(122),
    Entry<CWindowManager>(102),
};
static_assert(std::size(g_objectMap) == 19, "the object map lists nineteen classes");

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
