// What every object carrying a path and its safe flag is (local files and file streams): script
// methods over its interface table, safe for untrusted callers, ISafeLocalFile, single-threaded.
#pragma once

#include "module/ComObject.h"
#include "script/ScriptImplementsImpl.h"
#include "script/ObjectSafetyImpl.h"
#include "files/SafeLocalFileImpl.h"

#include "Zembrolatix.h"

// T is the object, Itf its default interface.
template <class T, class Itf>
class CSafeFileObject : public IScriptImplementsImpl<T, Itf>,
                        public IObjectSafetyImpl<T>,
                        public ISafeLocalFileImpl<T>,
                        public CComObjectRootEx<CComSingleThreadModel> {};
