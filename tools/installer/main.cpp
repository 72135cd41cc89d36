// registry-fragment: writes the installer's registry entries for the module, the same entries its own
// registration writes, from the sources that drive that registration.
//   registry-fragment RC OBJECT_MAP.cpp REGISTRATION.cpp LIBRARY.tlb MODULE_TOKEN FOLDER_TOKEN OUT_DIR
// RC names the registration scripts (resources of type REGISTRY, beside it); MODULE_TOKEN and
// FOLDER_TOKEN are the installer's formatted text for the installed module's path and folder. Writes
// OUT_DIR/registry-machine.wxi and OUT_DIR/registry-user.wxi (DllRegisterServer, DllInstall "user").
#include "RegistryFragment.h"

#include <fstream>
#include <iostream>
#include <iterator>
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
    if (argc != 9)
        return Fail(
            "usage: registry-fragment RC OBJECT_MAP REGISTRATION IDL TLB MODULE_TOKEN FOLDER_TOKEN OUT_DIR");
    const std::string rcPath = argv[1], moduleToken = argv[6], folderToken = argv[7], outDir = argv[8];
    std::string rc, objectMap, registration, idl, tlb;
    for (auto [path, text] :
         {std::pair{argv[1], &rc}, std::pair{argv[2], &objectMap}, std::pair{argv[3], &registration},
          std::pair{argv[4], &idl}, std::pair{argv[5], &tlb}}) {
        if (!ReadFile(path, *text)) return Fail(std::string("cannot read ") + path);
    }
    const std::string folder = rcPath.substr(0, rcPath.find_last_of('/') + 1);
    const auto scripts = RegistryFragment::RegistryScriptFiles(rc);
    const auto map = RegistryFragment::ObjectMapEntries(objectMap);
    const std::string appId = RegistryFragment::AppIdOf(registration);
    const auto categories = RegistryFragment::SafeCategoriesOf(registration);
    if (scripts.empty() || map.empty() || appId.empty() || categories.empty())
        return Fail("the sources no longer name the registration scripts, the object map, the AppID or the "
                    "categories");

    const std::string module = "\x01M\x01", moduleFolder = "\x01D\x01";
    RegistryFragment::Table table;
    // The AppID script first, then each class in object-map order: its script, then its categories.
    std::vector<std::pair<unsigned, bool>> order{{101, false}};
    for (const auto& entry : map)
        order.emplace_back(entry.scriptId, entry.safe);
    for (auto [id, safe] : order) {
        auto file = scripts.find(id);
        if (file == scripts.end()) return Fail("no registration script with id " + std::to_string(id));
        std::string text, error;
        if (!ReadFile(folder + file->second, text)) return Fail("cannot read " + folder + file->second);
        if (!table.AddScript(text, module, appId, error)) return Fail(file->second + ": " + error);
        if (safe && id != 101) {
            std::string clsid = RegistryFragment::Table::ClassIdOfScript(text);
            if (clsid.empty()) return Fail(file->second + ": no class key");
            table.AddCategories(clsid, categories);
        }
    }
    TypeLibFile::Library library;
    std::string error;
    if (!TypeLibFile::Read(std::vector<uint8_t>(tlb.begin(), tlb.end()), library, error))
        return Fail(std::string(argv[5]) + ": " + error);
    table.AddTypeLibrary(library, RegistryFragment::InterfacesDefinedIn(idl), module, moduleFolder);

    for (bool perUser : {false, true}) {
        const std::string path = outDir + (perUser ? "/registry-user.wxi" : "/registry-machine.wxi");
        std::ofstream out(path, std::ios::binary);
        out << RegistryFragment::ToWixInclude(table.rows(), perUser, moduleToken, folderToken);
        if (!out) return Fail("cannot write " + path);
    }
    return 0;
}
