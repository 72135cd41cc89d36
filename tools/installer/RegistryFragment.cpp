#include "RegistryFragment.h"

#include <algorithm>
#include <cstdio>
#include <regex>

namespace RegistryFragment {

namespace {

// The scripts and sources are ASCII; anything else is carried through as UTF-8.
std::wstring Widen(const std::string& text) {
    std::wstring out;
    for (size_t i = 0; i < text.size();) {
        unsigned char c = static_cast<unsigned char>(text[i]);
        int extra = c < 0x80 ? 0 : c < 0xE0 ? 1 : c < 0xF0 ? 2 : 3;
        unsigned code = extra == 0 ? c : extra == 1 ? c & 0x1F : extra == 2 ? c & 0x0F : c & 0x07;
        for (int k = 1; k <= extra && i + k < text.size(); ++k)
            code = code << 6 | (text[i + k] & 0x3F);
        out.push_back(static_cast<wchar_t>(code));
        i += 1 + extra;
    }
    return out;
}

std::string Narrow(const std::wstring& text) {
    std::string out;
    for (wchar_t w : text) {
        unsigned c = static_cast<unsigned>(w);
        if (c < 0x80) {
            out.push_back(char(c));
        } else if (c < 0x800) {
            out.push_back(char(0xC0 | c >> 6));
            out.push_back(char(0x80 | (c & 0x3F)));
        } else {
            out.push_back(char(0xE0 | c >> 12));
            out.push_back(char(0x80 | (c >> 6 & 0x3F)));
            out.push_back(char(0x80 | (c & 0x3F)));
        }
    }
    return out;
}

const char* RootName(Registrar::RootKey root) {
    switch (root) {
    case Registrar::RootKey::ClassesRoot:
        return "HKCR";
    case Registrar::RootKey::CurrentUser:
        return "HKCU";
    case Registrar::RootKey::LocalMachine:
        return "HKLM";
    case Registrar::RootKey::Users:
        return "HKU";
    default:
        return nullptr;
    }
}

std::string Hex(unsigned value) {
    char text[16];
    std::snprintf(text, sizeof text, "%x", value);
    return text;
}

Row ValueRow(const std::string& root, const std::string& key, const std::string& name,
             const Registrar::ValueData& value) {
    Row row{root, key, name, RowKind::String, {}};
    switch (value.type) {
    case Registrar::ValueType::String:
        row.value = Narrow(value.text);
        break;
    case Registrar::ValueType::Dword:
        row.kind = RowKind::Integer;
        row.value = std::to_string(value.number);
        break;
    case Registrar::ValueType::Binary:
        row.kind = RowKind::Binary;
        for (uint8_t b : value.bytes) {
            char pair[3];
            std::snprintf(pair, sizeof pair, "%02X", b);
            row.value += pair;
        }
        break;
    case Registrar::ValueType::MultiString:
        row.kind = RowKind::MultiString;
        row.value = Narrow(value.text);
        break;
    }
    return row;
}

bool AddEntries(Table& table, const std::string& root, const std::string& parent,
                const std::vector<Registrar::Entry>& entries, std::string& error) {
    for (const Registrar::Entry& entry : entries) {
        const std::string name = Narrow(entry.name);
        if (entry.isValue) {
            table.Add(ValueRow(root, parent, name, entry.value));
            continue;
        }
        if (entry.marker == Registrar::Marker::Delete) {
            error = "a Delete entry (" + name + ") has no installer equivalent";
            return false;
        }
        const std::string key = parent.empty() ? name : parent + "\\" + name;
        if (entry.hasValue) table.Add(ValueRow(root, key, {}, entry.value));
        if (!entry.hasValue && entry.children.empty())
            table.Add(Row{root,
                          key,
                          {},
                          entry.marker == Registrar::Marker::NoRemove ? RowKind::KeptKey : RowKind::EmptyKey,
                          {}});
        if (!AddEntries(table, root, key, entry.children, error)) return false;
    }
    return true;
}

std::string XmlEscape(const std::string& text) {
    std::string out;
    for (char c : text) {
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '"':
            out += "&quot;";
            break;
        default:
            out.push_back(c);
        }
    }
    return out;
}

// Literal text in a formatted column: brackets would start a property reference.
std::string FormattedLiteral(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c == '[')
            out += "[\\[]";
        else if (c == ']')
            out += "[\\]]";
        else
            out.push_back(c);
    }
    return out;
}

// The text for an installer column: literal, with the module's path and folder as the given tokens.
std::string Column(const std::string& text, const std::string& moduleToken, const std::string& folderToken) {
    std::string out = FormattedLiteral(text);
    for (auto [mark, token] : {std::pair{std::string("\x01M\x01"), moduleToken},
                               std::pair{std::string("\x01D\x01"), folderToken}}) {
        for (size_t at = out.find(mark); at != std::string::npos; at = out.find(mark, at + token.size()))
            out.replace(at, mark.size(), token);
    }
    return XmlEscape(out);
}

} // namespace

std::map<unsigned, std::string> RegistryScriptFiles(const std::string& resourceScript) {
    std::map<unsigned, std::string> files;
    static const std::regex line(R"((?:^|\n)[ \t]*([0-9]+)[ \t]+REGISTRY[ \t]+\"([^\"]+)\")");
    for (std::sregex_iterator it(resourceScript.begin(), resourceScript.end(), line), end; it != end; ++it)
        files[static_cast<unsigned>(std::stoul((*it)[1]))] = (*it)[2];
    return files;
}

std::map<std::string, unsigned> RegistryScriptIds(const std::string& objectMapHeader) {
    std::map<std::string, unsigned> ids;
    static const std::regex constant(R"(\bk(\w+)RegistryScript\s*=\s*([0-9]+))");
    for (std::sregex_iterator it(objectMapHeader.begin(), objectMapHeader.end(), constant), end; it != end;
         ++it)
        ids[(*it)[1]] = static_cast<unsigned>(std::stoul((*it)[2]));
    return ids;
}

std::vector<ClassEntry> ClassTableEntries(const std::string& classTable) {
    std::vector<ClassEntry> entries;
    static const std::regex row(R"((?:^|\n)ZEMBROLATIX_CLASS\(\s*(\w+)\s*,\s*\w+\s*,\s*(true|false)\s*\))");
    for (std::sregex_iterator it(classTable.begin(), classTable.end(), row), end; it != end; ++it)
        entries.push_back(ClassEntry{(*it)[1], (*it)[2] == "true"});
    return entries;
}

std::map<std::string, std::string> ClassIdsOf(const TypeLibFile::Library& library) {
    constexpr int kCoClass = 5; // TKIND_COCLASS
    std::map<std::string, std::string> ids;
    for (const TypeLibFile::TypeInfo& type : library.types) {
        if (type.kind == kCoClass) ids[type.name] = type.guid;
    }
    return ids;
}

std::string AppIdOf(const std::string& registrationSource) {
    static const std::regex appId(R"(kAppId\[\]\s*=\s*L\"(\{[0-9A-Fa-f-]+\})\")");
    std::smatch match;
    return std::regex_search(registrationSource, match, appId) ? match[1].str() : std::string();
}

std::vector<std::string> SafeCategoriesOf(const std::string& registrationSource) {
    std::vector<std::string> categories;
    size_t begin = registrationSource.find("kSafeCategories[]");
    if (begin == std::string::npos) return categories;
    size_t end = registrationSource.find("};", begin);
    std::string block =
        registrationSource.substr(begin, end == std::string::npos ? std::string::npos : end - begin);
    static const std::regex guid(
        R"(\{\s*0x([0-9A-Fa-f]+)\s*,\s*0x([0-9A-Fa-f]+)\s*,\s*0x([0-9A-Fa-f]+)\s*,\s*\{([^}]*)\}\s*\})");
    static const std::regex byte(R"(0x([0-9A-Fa-f]+))");
    for (std::sregex_iterator it(block.begin(), block.end(), guid), stop; it != stop; ++it) {
        uint8_t bytes[16] = {};
        unsigned long d1 = std::stoul((*it)[1], nullptr, 16), d2 = std::stoul((*it)[2], nullptr, 16),
                      d3 = std::stoul((*it)[3], nullptr, 16);
        for (int i = 0; i < 4; ++i)
            bytes[i] = uint8_t(d1 >> (8 * i));
        bytes[4] = uint8_t(d2), bytes[5] = uint8_t(d2 >> 8), bytes[6] = uint8_t(d3),
        bytes[7] = uint8_t(d3 >> 8);
        std::string tail = (*it)[4];
        int i = 8;
        for (std::sregex_iterator b(tail.begin(), tail.end(), byte), bend; b != bend && i < 16; ++b)
            bytes[i++] = uint8_t(std::stoul((*b)[1], nullptr, 16));
        categories.push_back(TypeLibFile::GuidText(bytes));
    }
    return categories;
}

std::vector<std::string> InterfacesDefinedIn(const std::string& idl) {
    std::vector<std::string> names;
    static const std::regex definition(R"(\binterface\s+(\w+)\s*(:\s*\w+\s*)?\{)");
    for (std::sregex_iterator it(idl.begin(), idl.end(), definition), end; it != end; ++it)
        names.push_back((*it)[1]);
    return names;
}

void Table::Add(Row row) {
    for (Row& existing : m_rows) {
        if (existing.root == row.root && existing.key == row.key && existing.name == row.name) {
            existing = std::move(row);
            return;
        }
    }
    m_rows.push_back(std::move(row));
}

bool Table::AddScript(const std::string& text, const std::string& modulePath, const std::string& appId,
                      std::string& error) {
    return AddExpanded(text, Registrar::ModuleReplacements(Widen(modulePath), Widen(appId)), error);
}

bool Table::AddClassScript(const std::string& text, const std::string& modulePath, const std::string& appId,
                           const std::string& className, const std::string& clsid, std::string& error) {
    return AddExpanded(
        text, Registrar::ClassReplacements(Widen(modulePath), Widen(appId), Widen(className), Widen(clsid)),
        error);
}

bool Table::AddExpanded(const std::string& text, const Registrar::Replacements& replacements,
                        std::string& error) {
    Registrar::Script script;
    HRESULT hr = Registrar::PrepareScript(Widen(text), replacements, false, script);
    if (FAILED(hr)) {
        char code[16];
        std::snprintf(code, sizeof code, "0x%08X", unsigned(hr));
        error = std::string("the script does not parse (") + code + ")";
        return false;
    }
    for (const Registrar::RootBlock& block : script.blocks) {
        const char* root = RootName(block.root);
        if (!root) {
            error = "root " + Narrow(block.name) + " has no installer equivalent";
            return false;
        }
        if (!AddEntries(*this, root, {}, block.entries, error)) return false;
    }
    return true;
}

void Table::AddCategories(const std::string& clsid, const std::vector<std::string>& categories) {
    for (const std::string& category : categories)
        Add(Row{
            "HKCR", "CLSID\\" + clsid + "\\Implemented Categories\\" + category, {}, RowKind::EmptyKey, {}});
}

void Table::AddTypeLibrary(const TypeLibFile::Library& library, const std::vector<std::string>& ownInterfaces,
                           const std::string& modulePath, const std::string& moduleFolder) {
    const std::string version = Hex(library.major) + "." + Hex(library.minor);
    const std::string key = "TypeLib\\" + library.guid + "\\" + version;
    Add(Row{"HKCR", key, {}, RowKind::String, library.docString.empty() ? library.name : library.docString});
    static const char* const kSystems[] = {"win16", "win32", "mac", "win64"};
    const char* system = library.syskind >= 0 && library.syskind < 4 ? kSystems[library.syskind] : "win32";
    Add(Row{"HKCR", key + "\\" + Hex(library.lcid) + "\\" + system, {}, RowKind::String, modulePath});
    Add(Row{"HKCR", key + "\\FLAGS", {}, RowKind::String, std::to_string(library.flags)});
    std::string helpFolder = moduleFolder;
    if (!library.helpFile.empty()) {
        std::wstring folder = Registrar::FolderOfPath(Widen(library.helpFile));
        helpFolder = Narrow(folder);
    }
    Add(Row{"HKCR", key + "\\HELPDIR", {}, RowKind::String, helpFolder});

    constexpr int kInterface = 3, kDispatch = 4;
    constexpr uint32_t kDual = 0x40, kOleAutomation = 0x100, kDispatchable = 0x1000;
    for (const TypeLibFile::TypeInfo& type : library.types) {
        if (type.kind != kInterface && type.kind != kDispatch) continue;
        if (!(type.flags & (kDual | kOleAutomation | kDispatchable))) continue;
        if (std::find(ownInterfaces.begin(), ownInterfaces.end(), type.name) == ownInterfaces.end()) continue;
        // Automation marshaling for interfaces and duals, the dispatch proxy for pure dispinterfaces.
        const std::string proxy = type.kind == kInterface || (type.flags & kDual)
                                      ? "{00020424-0000-0000-C000-000000000046}"
                                      : "{00020420-0000-0000-C000-000000000046}";
        const std::string interfaceKey = "Interface\\" + type.guid;
        Add(Row{"HKCR", interfaceKey, {}, RowKind::String, type.name});
        Add(Row{"HKCR", interfaceKey + "\\ProxyStubClsid", {}, RowKind::String, proxy});
        Add(Row{"HKCR", interfaceKey + "\\ProxyStubClsid32", {}, RowKind::String, proxy});
        Add(Row{"HKCR", interfaceKey + "\\TypeLib", {}, RowKind::String, library.guid});
        Add(Row{"HKCR", interfaceKey + "\\TypeLib", "Version", RowKind::String, version});
    }
}

std::string ToWixInclude(const std::vector<Row>& rows, bool perUser, const std::string& moduleToken,
                         const std::string& folderToken) {
    std::string out =
        "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n"
        "<!-- Generated at build time from the module's registration scripts, object map and type "
        "library: every entry its own registration writes. -->\n"
        "<Include xmlns=\"http://schemas.microsoft.com/wix/2006/wi\">\n";
    auto col = [&](const std::string& text) { return Column(text, moduleToken, folderToken); };
    bool first = true;
    size_t number = 0;
    for (const Row& row : rows) {
        std::string root = row.root, key = row.key;
        if (root == "HKCR") {
            root = perUser ? "HKCU" : "HKLM";
            key = "Software\\Classes\\" + key;
        }
        out += std::string("  <RegistryValue Id=\"") + (perUser ? "UserReg" : "MachineReg") +
               std::to_string(++number) + "\" Root=\"" + root + "\" Key=\"" + col(key) + "\"";
        if (first) out += " KeyPath=\"yes\"";
        first = false;
        switch (row.kind) {
        case RowKind::EmptyKey:
            out += " Name=\"*\" Type=\"string\" Value=\"\"/>\n";
            continue;
        case RowKind::KeptKey:
            out += " Name=\"+\" Type=\"string\" Value=\"\"/>\n";
            continue;
        default:
            break;
        }
        if (!row.name.empty()) out += " Name=\"" + col(row.name) + "\"";
        switch (row.kind) {
        case RowKind::Integer:
            out += " Type=\"integer\" Value=\"" + row.value + "\"/>\n";
            break;
        case RowKind::Binary:
            out += " Type=\"binary\" Value=\"" + row.value + "\"/>\n";
            break;
        case RowKind::MultiString: {
            out += " Type=\"multiString\" Action=\"write\">\n";
            size_t start = 0;
            while (start <= row.value.size()) {
                size_t stop = row.value.find('\0', start);
                if (stop == std::string::npos) stop = row.value.size();
                out += "    <MultiStringValue>" + col(row.value.substr(start, stop - start)) +
                       "</MultiStringValue>\n";
                start = stop + 1;
            }
            out += "  </RegistryValue>\n";
            break;
        }
        default:
            out += " Type=\"string\" Value=\"" + col(row.value) + "\"/>\n";
            break;
        }
    }
    out += "</Include>\n";
    return out;
}

} // namespace RegistryFragment
