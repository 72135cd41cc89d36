#include "Emitters.h"

#include <algorithm>
#include <set>
#include <sstream>

namespace TypeModel {

const Interface* Library::find(const std::string& wanted) const {
    for (const Interface& itf : interfaces)
        if (itf.name == wanted) return &itf;
    return nullptr;
}

std::vector<const Interface*> Library::chain(const std::string& start) const {
    std::vector<const Interface*> out;
    for (const Interface* itf = find(start); itf && out.size() < 32;
         itf = itf->base.empty() ? nullptr : find(itf->base))
        out.push_back(itf);
    return out;
}

} // namespace TypeModel

namespace {

using namespace TypeModel;

// Words that cannot name a parameter in TypeScript.
bool Reserved(const std::string& word) {
    static const std::set<std::string> words = {
        "break",  "case",     "catch",  "class",  "const",     "continue",   "debugger", "default",
        "delete", "do",       "else",   "enum",   "export",    "extends",    "false",    "finally",
        "for",    "function", "if",     "import", "in",        "instanceof", "new",      "null",
        "return", "super",    "switch", "this",   "throw",     "true",       "try",      "typeof",
        "var",    "void",     "while",  "with",   "arguments", "eval"};
    return words.count(word) != 0;
}

std::string ParamName(const std::string& name) {
    return Reserved(name) ? name + "_" : name;
}

std::string TsType(const Type& t, const Library& lib, bool argument) {
    switch (t.kind) {
    case Type::Kind::Void:
        return "void";
    case Type::Kind::String:
        return "string";
    case Type::Kind::Number:
        return "number";
    case Type::Kind::Boolean:
        return "boolean";
    case Type::Kind::Interface:
        if (const Interface* itf = lib.find(t.name); itf && itf->dispatchable) return t.name;
        return argument ? "object" : "unknown";
    case Type::Kind::Object:
        return argument ? "object | null" : "any";
    case Type::Kind::Variant:
    case Type::Kind::Unknown:
        return "any";
    }
    return "any";
}

std::string Parameters(const Member& m, const Library& lib) {
    std::string out;
    for (size_t i = 0; i < m.params.size(); ++i) {
        const Param& p = m.params[i];
        if (i) out += ", ";
        out += ParamName(p.name) + (p.optional ? "?" : "") + ": " + TsType(p.type, lib, true);
    }
    return out;
}

// A property: its get and put members merged; nullptr for a method.
struct Property {
    const Member* get = nullptr;
    const Member* put = nullptr;
};

std::string Signature(const Member& m, const Property* prop, const Library& lib) {
    if (prop) {
        const Member& shown = prop->get ? *prop->get : *prop->put;
        const Type& type = prop->get ? prop->get->result : prop->put->params.back().type;
        std::string lead = prop->put ? "" : "readonly ";
        if (!shown.params.empty() && prop->get && !prop->get->params.empty())
            return m.name + "(" + Parameters(*prop->get, lib) + "): " + TsType(type, lib, false);
        return lead + m.name + ": " + TsType(type, lib, !prop->get);
    }
    return m.name + "(" + Parameters(m, lib) + "): " + TsType(m.result, lib, false);
}

// Each member name once, in order: methods as they are, a property from its get and put.
struct Entry {
    const Member* member;
    Property prop;
    bool isProperty;
};
std::vector<Entry> Entries(const Interface& itf) {
    std::vector<Entry> out;
    for (const Member& m : itf.members) {
        auto same =
            std::find_if(out.begin(), out.end(), [&](const Entry& e) { return e.member->name == m.name; });
        if (m.kind == Member::Kind::Method) {
            if (same == out.end()) out.push_back({&m, {}, false});
            continue;
        }
        if (same == out.end()) {
            out.push_back({&m, {}, true});
            same = out.end() - 1;
        }
        (m.kind == Member::Kind::Get ? same->prop.get : same->prop.put) = &m;
    }
    return out;
}

std::string AutomationSignature(const Entry& e) {
    std::ostringstream s;
    const Member& m = *e.member;
    if (e.isProperty) {
        const Type& type = e.prop.get ? e.prop.get->result : e.prop.put->params.back().type;
        s << type.automation << " " << m.name << " {" << (e.prop.get ? " get;" : "")
          << (e.prop.put ? " put;" : "") << " }";
        return s.str();
    }
    s << m.name << "(";
    for (size_t i = 0; i < m.params.size(); ++i)
        s << (i ? ", " : "") << (m.params[i].optional ? "[optional] " : "") << m.params[i].type.automation
          << " " << m.params[i].name;
    s << ")";
    if (m.result.kind != Type::Kind::Void) s << " -> " << m.result.automation;
    return s.str();
}

// Text for a Markdown table cell: a vertical bar would end the cell.
std::string Cell(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c == '|') out += '\\';
        out += c;
    }
    return out;
}

} // namespace

std::string TypeScriptDeclarations(const Library& lib, const std::string& prefix) {
    std::ostringstream s;
    s << "// Declarations for script code using " << prefix << ", generated from the " << lib.name
      << " type library at build time.\n"
      << "// Do not edit: rebuild instead.\n\n"
      << "declare namespace " << prefix << " {\n";
    for (const std::string& e : lib.enums)
        s << "    /** An enumeration of the type library, passed as a number. */\n    type " << e
          << " = number;\n";
    for (const Interface& itf : lib.interfaces) {
        if (!itf.dispatchable) {
            s << "    /** " << itf.iid << ": not callable from script; may be held and passed on. */\n"
              << "    interface " << itf.name << " { readonly __" << itf.name << ": never; }\n";
            continue;
        }
        s << "    /** " << itf.iid << " */\n    interface " << itf.name;
        if (!itf.base.empty()) s << " extends " << itf.base;
        s << " {\n";
        for (const Entry& e : Entries(itf))
            s << "        " << Signature(*e.member, e.isProperty ? &e.prop : nullptr, lib) << ";\n";
        s << "    }\n";
    }
    for (const CoClass& c : lib.classes)
        s << "    /** " << prefix << "." << c.name << ", CLSID " << c.clsid << " */\n    interface " << c.name
          << " extends " << c.defaultInterface << " {}\n";
    s << "}\n\n";
    s << "interface ActiveXObjectNameMap {\n";
    for (const CoClass& c : lib.classes) {
        s << "    \"" << prefix << "." << c.name << "\": " << prefix << "." << c.name << ";\n";
        s << "    \"" << prefix << "." << c.name << ".1\": " << prefix << "." << c.name << ";\n";
    }
    s << "}\n\n"
      << "interface ActiveXObject {\n"
      << "    new <K extends keyof ActiveXObjectNameMap>(progid: K): ActiveXObjectNameMap[K];\n"
      << "}\n"
      << "declare var ActiveXObject: ActiveXObject;\n";
    return s.str();
}

std::string MemberList(const Library& lib) {
    std::ostringstream s;
    for (const CoClass& c : lib.classes)
        for (const Interface* itf : lib.chain(c.defaultInterface))
            for (const Entry& e : Entries(*itf))
                s << c.name << " " << e.member->name << "\n";
    return s.str();
}

std::string SignatureReference(const Library& lib, const std::string& prefix) {
    std::ostringstream s;
    s << "# Signatures\n\n"
      << "Generated from the " << lib.name << " type library at build time. The pages in `docs/classes/` "
      << "describe what each member does.\n";
    for (const CoClass& c : lib.classes) {
        s << "\n## " << c.name << "\n\n"
          << "ProgID `" << prefix << "." << c.name << "` or `" << prefix << "." << c.name << ".1`, CLSID `"
          << c.clsid << "`.\n\n"
          << "| Member | TypeScript | Automation | DISPID | Interface |\n|---|---|---|---|---|\n";
        for (const Interface* itf : lib.chain(c.defaultInterface))
            for (const Entry& e : Entries(*itf))
                s << "| `" << e.member->name << "` | `"
                  << Cell(Signature(*e.member, e.isProperty ? &e.prop : nullptr, lib)) << "` | `"
                  << AutomationSignature(e) << "` | " << e.member->dispid << " | " << itf->name << " "
                  << itf->iid << " |\n";
    }
    return s.str();
}
