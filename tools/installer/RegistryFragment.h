// The registry entries the module's own registration writes, described for the installer package:
// what DllRegisterServer (or DllInstall "user") would write, as rows of the package's Registry table.
// Plain text logic over the module's sources and its type library.
#pragma once

#include "TypeLibFile.h"

#include "module/RegistrarScript.h"

#include <map>
#include <string>
#include <vector>

namespace RegistryFragment {

enum class RowKind { String, Integer, Binary, MultiString, EmptyKey, KeptKey };

struct Row {
    std::string root; // HKCR (per machine or per user, as the package is installed), HKLM, HKCU, HKU
    std::string key;
    std::string name; // empty for a key's default value
    RowKind kind = RowKind::String;
    std::string value; // MultiString: the strings separated by '\0'
};

// One class of the module's class table, in its order: its coclass name and whether it is safe for
// scripting (pre-approved and registered in the two safe categories).
struct ClassEntry {
    std::string name;
    bool safe = true;
};

// Facts read from the module's sources.
std::map<unsigned, std::string> RegistryScriptFiles(const std::string& resourceScript); // id -> file
// The ids of the registration scripts by kind (AppId, Class, PreApproved), from the header's constants
// k<kind>RegistryScript.
std::map<std::string, unsigned> RegistryScriptIds(const std::string& objectMapHeader);
std::vector<ClassEntry> ClassTableEntries(const std::string& classTable);
// The CLSID of each coclass of the type library, by name.
std::map<std::string, std::string> ClassIdsOf(const TypeLibFile::Library& library);
std::string AppIdOf(const std::string& registrationSource);
std::vector<std::string> SafeCategoriesOf(const std::string& registrationSource);
// The interfaces the interface description defines itself (with a body), as opposed to those it only
// names from imported descriptions.
std::vector<std::string> InterfacesDefinedIn(const std::string& idl);

// Collects rows in registration order; a later row for the same root, key and name replaces the earlier.
class Table {
public:
    // Adds the rows of one registration script (8-bit text); modulePath stands for %MODULE%. False with
    // a reason for a script that does not parse or uses what a package cannot express.
    bool AddScript(const std::string& text, const std::string& modulePath, const std::string& appId,
                   std::string& error);
    // The same for a class's script, with %CLASS% and %CLSID% standing for the class.
    bool AddClassScript(const std::string& text, const std::string& modulePath, const std::string& appId,
                        const std::string& className, const std::string& clsid, std::string& error);
    // The class's "Implemented Categories" entries for the given category identifiers.
    void AddCategories(const std::string& clsid, const std::vector<std::string>& categories);
    // What type library registration writes: the library key and the automation interfaces, of these
    // only the ones named in ownInterfaces. (The library also describes MSXML's DOM interfaces; their
    // registration belongs to MSXML, and a package that wrote them would delete them on uninstall.)
    void AddTypeLibrary(const TypeLibFile::Library& library, const std::vector<std::string>& ownInterfaces,
                        const std::string& modulePath, const std::string& moduleFolder);
    void Add(Row row);
    const std::vector<Row>& rows() const { return m_rows; }

private:
    bool AddExpanded(const std::string& text, const Registrar::Replacements& replacements,
                     std::string& error);

    std::vector<Row> m_rows;
};

// The rows as a WiX include of RegistryValue elements (the first one the component's key path). HKCR
// rows go below HKEY_LOCAL_MACHINE\Software\Classes, or for a per-user installation below
// HKEY_CURRENT_USER\Software\Classes, as DllInstall "user" writes them; other roots stay as written.
std::string ToWixInclude(const std::vector<Row>& rows, bool perUser, const std::string& moduleToken,
                         const std::string& folderToken);

} // namespace RegistryFragment
