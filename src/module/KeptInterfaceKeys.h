// The registration of other libraries' interfaces that the type library describes. The type library
// carries MSXML's DOM (what DOMParser hands out) so that tools reading it see those members, but MSXML
// registers those interfaces itself. RegisterTypeLib would point their keys at this library, and
// UnRegisterTypeLib would delete them with it: MSXML's documents could then no longer be marshaled.
// KeptInterfaceKeys holds such keys as they were, so that both calls leave them as they found them.
#pragma once

#include <windows.h>
#include <oaidl.h>

#include <string>
#include <vector>

namespace Registrar {

class KeptInterfaceKeys {
public:
    // Reads, in the machine's and in the user's classes and in both views of the registry, the key of
    // every interface of typeLib that the registry already names as another type library's (or as no
    // type library's). A key that cannot be read whole is not kept.
    void Save(ITypeLib* typeLib);
    // Puts every kept key back as it was read: what was added below it is removed, what was removed is
    // written again. A key that cannot be written stays as the registration left it.
    void Restore() const noexcept;

private:
    struct Value {
        std::wstring name;
        DWORD type = REG_NONE;
        std::vector<BYTE> data;
    };
    struct Key {
        std::wstring path; // below the tree's root key
        std::vector<Value> values;
    };
    // One interface's key in one place (the machine's or the user's classes, in the view of 64-bit or
    // of 32-bit programs); keys lists it and its subkeys, each after its parent, and is empty when the
    // key was not there.
    struct Tree {
        HKEY root = nullptr;
        REGSAM view = 0;
        std::wstring iid;
        std::vector<Key> keys;
    };
    std::vector<Tree> m_trees;
};

} // namespace Registrar
