// Writes a parsed registration script to the registry, or takes it back.
#pragma once

#include "module/RegistrarScript.h"

namespace Registrar {

// Register: every key is opened or created and its values set; ForceRemove first deletes the key's
// subtree, Delete only deletes it (never for protected names). A root block that fails is at once
// run again in unregister mode, and the first failure is returned.
// Unregister: listed values are deleted unless marked NoRemove; each listed key is visited (children
// first) and deleted when it is not marked NoRemove and has no subkeys left; missing keys are skipped.
HRESULT ApplyScript(const Script& script, bool doRegister);

} // namespace Registrar
