// typelib-dump: writes the script author's view of a type library.
// usage: typelib-dump LIBRARY.tlb PREFIX DECLARATIONS.d.ts MEMBERS.txt SIGNATURES.md
#include <windows.h>
#include <objbase.h>

#include <cstdio>
#include <fstream>

#include "Emitters.h"
#include "TypeLibReader.h"

namespace {

std::wstring Wide(const char* text) {
    const int size = MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0);
    std::wstring out(static_cast<size_t>(size > 0 ? size : 1), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text, -1, out.data(), size);
    out.resize(out.size() - 1);
    return out;
}

bool Write(const char* path, const std::string& text) {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file << text;
    file.close();
    if (!file) std::fprintf(stderr, "typelib-dump: cannot write %s\n", path);
    return static_cast<bool>(file);
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 6) {
        std::fprintf(stderr,
                     "usage: typelib-dump LIBRARY.tlb PREFIX DECLARATIONS.d.ts MEMBERS.txt SIGNATURES.md\n");
        return 2;
    }
    if (FAILED(CoInitialize(nullptr))) return 3;
    int rc = 0;
    {
        TypeModel::Library lib;
        const HRESULT hr = ReadTypeLibrary(Wide(argv[1]), lib);
        if (FAILED(hr)) {
            std::fprintf(stderr, "typelib-dump: cannot read %s: 0x%08lX\n", argv[1],
                         static_cast<unsigned long>(hr));
            rc = 1;
        } else if (lib.classes.empty()) {
            std::fprintf(stderr, "typelib-dump: %s describes no class\n", argv[1]);
            rc = 1;
        } else if (!Write(argv[3], TypeScriptDeclarations(lib, argv[2])) ||
                   !Write(argv[4], MemberList(lib)) || !Write(argv[5], SignatureReference(lib, argv[2]))) {
            rc = 1;
        }
    }
    CoUninitialize();
    return rc;
}
