// What a script author sees of a type library: interfaces with their members and types, classes
// with their default interface. Filled from a .tlb by TypeLibReader, written out by the emitters.
#pragma once

#include <string>
#include <vector>

namespace TypeModel {

// A member's argument or result type, already in script terms.
struct Type {
    enum class Kind { Void, String, Number, Boolean, Variant, Object, Interface, Unknown };
    Kind kind = Kind::Void;
    std::string name;       // the interface's name for Kind::Interface
    std::string automation; // the automation type as the type library spells it ("BSTR", "long", ...)
};

struct Param {
    std::string name;
    Type type;
    bool optional = false;
};

struct Member {
    enum class Kind { Method, Get, Put };
    std::string name;
    Kind kind = Kind::Method;
    long dispid = 0;
    std::vector<Param> params; // without the result parameter
    Type result;               // Void when the member gives nothing back
};

struct Interface {
    std::string name;
    std::string iid;
    std::string base; // empty when the base is IDispatch or IUnknown
    bool dispatchable = true;
    std::vector<Member> members; // its own members, in type-library order
};

struct CoClass {
    std::string name;
    std::string clsid;
    std::string defaultInterface;
};

struct Library {
    std::string name;
    std::vector<std::string> enums; // enumerations, passed as numbers
    std::vector<Interface> interfaces;
    std::vector<CoClass> classes;

    const Interface* find(const std::string& name) const;
    // The interface and its bases, most derived first.
    std::vector<const Interface*> chain(const std::string& name) const;
};

} // namespace TypeModel
