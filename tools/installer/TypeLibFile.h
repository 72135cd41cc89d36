// What type library registration records about a type library, read straight from the .tlb file
// (the "MSFT" format widl writes), so a build tool can describe the registration on any host.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace TypeLibFile {

struct TypeInfo {
    int kind = 0;       // TYPEKIND
    uint32_t flags = 0; // TYPEFLAGS
    std::string guid;   // {XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}
    std::string name;
};

struct Library {
    std::string guid;
    uint16_t major = 0;
    uint16_t minor = 0;
    uint32_t lcid = 0;
    int syskind = 0;    // SYSKIND
    uint32_t flags = 0; // LIBFLAGS
    std::string name;
    std::string docString; // empty when none
    std::string helpFile;  // empty when none
    std::vector<TypeInfo> types;
};

// Reads the library attributes and every type description; false with a reason for a file that is not
// a type library of this format or is cut short.
bool Read(const std::vector<uint8_t>& file, Library& out, std::string& error);

// The registry form of a GUID stored in the file (16 bytes, little-endian fields).
std::string GuidText(const uint8_t* bytes);

} // namespace TypeLibFile
