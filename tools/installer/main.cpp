// registry-fragment: writes the installer's registry entries for the module, the same entries its own
// registration writes, from the sources that drive that registration.
//   registry-fragment RC OBJECT_MAP.h CLASSES.def REGISTRATION.cpp IDL LIBRARY.tlb MODULE_TOKEN FOLDER_TOKEN
//                     OUT_DIR
// RC names the registration scripts (resources of type REGISTRY, beside it), OBJECT_MAP.h their ids,
// CLASSES.def the classes, the type library their CLSIDs; MODULE_TOKEN and FOLDER_TOKEN are the
// installer's formatted text for the installed module's path and folder. Writes
// OUT_DIR/registry-machine.wxi and OUT_DIR/registry-user.wxi (DllRegisterServer, DllInstall "user").
#include "RegistryFragment.h"

#include <algorithm>
#include <fstream>
#include <iostream>
#include <iterator>
#include <map>
#include <sstream>

namespace {

bool ReadFile(const std::string& path, std::string& text) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    text.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return true;
}

int Fail(const std::string& what) {
    std::cerr << "registry-fragment: " << what << "\n";
    return 1;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 10)
        return Fail(
            "usage: registry-fragment RC OBJECT_MAP CLASSES REGISTRATION IDL TLB MODULE_TOKEN FOLDER_TOKEN "
            "OUT_DIR");
    const std::string rcPath = argv[1], moduleToken = argv[7], folderToken = argv[8], outDir = argv[9];
    std::string rc, objectMap, classes, registration, idl, tlb;
    for (auto [path, text] :
         {std::pair{argv[1], &rc}, std::pair{argv[2], &objectMap}, std::pair{argv[3], &classes},
          std::pair{argv[4], &registration}, std::pair{argv[5], &idl}, std::pair{argv[6], &tlb}}) {
        if (!ReadFile(path, *text)) return Fail(std::string("cannot read ") + path);
    }
    TypeLibFile::Library library;
    std::string error;
    if (!TypeLibFile::Read(std::vector<uint8_t>(tlb.begin(), tlb.end()), library, error))
        return Fail(std::string(argv[6]) + ": " + error);

    const std::string folder = rcPath.substr(0, rcPath.find_last_of('/') + 1);
    const auto scripts = RegistryFragment::RegistryScriptFiles(rc);
    const auto scriptIds = RegistryFragment::RegistryScriptIds(objectMap);
    const auto table = RegistryFragment::ClassTableEntries(classes);
    const auto clsids = RegistryFragment::ClassIdsOf(library);
    const std::string appId = RegistryFragment::AppIdOf(registration);
    const auto categories = RegistryFragment::SafeCategoriesOf(registration);
    if (scripts.empty() || table.empty() || appId.empty() || categories.empty())
        return Fail("the sources no longer name the registration scripts, the classes, the AppID or the "
                    "categories");
    // The text of the script of the given kind (AppId, Class, PreApproved).
    std::map<std::string, std::string> texts;
    for (const char* kind : {"AppId", "Class", "PreApproved"}) {
        auto id = scriptIds.find(kind);
        if (id == scriptIds.end()) return Fail(std::string("no id of the ") + kind + " registration script");
        auto file = scripts.find(id->second);
        if (file == scripts.end())
            return Fail("no registration script with id " + std::to_string(id->second));
        if (!ReadFile(folder + file->second, texts[kind]))
            return Fail("cannot read " + folder + file->second);
    }

    const std::string module = "\x01M\x01", moduleFolder = "\x01D\x01";
    RegistryFragment::Table rows;
    // The AppID script first, then each class in the table's order: its script, its pre-approval and
    // its categories.
    if (!rows.AddScript(texts["AppId"], module, appId, error)) return Fail("AppID script: " + error);
    for (const auto& entry : table) {
        auto clsid = clsids.find(entry.name);
        if (clsid == clsids.end()) return Fail("the type library has no coclass " + entry.name);
        if (!rows.AddClassScript(texts["Class"], module, appId, entry.name, clsid->second, error))
            return Fail("class script of " + entry.name + ": " + error);
        if (!entry.safe) continue;
        if (!rows.AddClassScript(texts["PreApproved"], module, appId, entry.name, clsid->second, error))
            return Fail("pre-approval of " + entry.name + ": " + error);
        rows.AddCategories(clsid->second, categories);
    }
    for (const auto& coclass : clsids) {
        auto named = [&](const RegistryFragment::ClassEntry& entry) { return entry.name == coclass.first; };
        if (std::none_of(table.begin(), table.end(), named))
            return Fail("the coclass " + coclass.first + " has no row in the class table");
    }
    rows.AddTypeLibrary(library, RegistryFragment::InterfacesDefinedIn(idl), module, moduleFolder);

    for (bool perUser : {false, true}) {
        const std::string path = outDir + (perUser ? "/registry-user.wxi" : "/registry-machine.wxi");
        std::ofstream out(path, std::ios::binary);
        out << RegistryFragment::ToWixInclude(rows.rows(), perUser, moduleToken, folderToken);
        if (!out) return Fail("cannot write " + path);
    }
    return 0;
}
