// Registration scripts: replacement expansion and parsing into a tree of root blocks, keys and values.
// Plain text logic; RegistryApplier writes a parsed script to the registry.
//
// Grammar:
//   script  := { root '{' entries '}' }
//   entries := { entry }
//   entry   := [NoRemove] 'val' name '=' type value
//            | [NoRemove | ForceRemove | Delete] name ['=' type value] ['{' entries '}']
// Tokens are separated by white space; a quoted token ('...', a quote inside doubled) is always a
// name or value, never a keyword or brace. Keywords, root names and type letters ignore case.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace Registrar {

enum class RootKey { ClassesRoot, CurrentUser, LocalMachine, Users, PerformanceData, DynData, CurrentConfig };

enum class Marker { None, NoRemove, ForceRemove, Delete };

enum class ValueType { String, Dword, Binary, MultiString };

struct ValueData {
    ValueType type = ValueType::String;
    std::wstring text;          // String; MultiString with L'\0' between the strings
    uint32_t number = 0;        // Dword
    std::vector<uint8_t> bytes; // Binary

    bool operator==(const ValueData&) const = default;
};

struct Entry {
    bool isValue = false; // a `val` entry, otherwise a key
    Marker marker = Marker::None;
    std::wstring name;
    bool hasValue = false; // the key's default value, or always true for a `val` entry
    ValueData value;
    std::vector<Entry> children; // keys only

    bool operator==(const Entry&) const = default;
};

struct RootBlock {
    std::wstring name; // as written in the script
    RootKey root = RootKey::ClassesRoot;
    std::vector<Entry> entries;

    bool operator==(const RootBlock&) const = default;
};

struct Script {
    std::vector<RootBlock> blocks;
};

// Name (matched without regard to case) and value of one replacement.
using Replacements = std::vector<std::pair<std::wstring, std::wstring>>;

// Replaces every %NAME% reference by its value and %% by one percent sign. An unterminated reference
// or an unknown name gives DISP_E_EXCEPTION, a name of 32 characters or more E_FAIL.
HRESULT ExpandReplacements(std::wstring_view text, const Replacements& replacements, std::wstring& out);

// Parses expanded script text. Syntax errors, unknown root names, unknown type letters and key names
// with a backslash give DISP_E_EXCEPTION; an odd number of hexadecimal digits in a binary value E_FAIL.
HRESULT ParseScript(std::wstring_view text, Script& out);

// Moves every top-level block named exactly "HKCR" below HKCU\Software\Classes.
void RewriteForCurrentUser(Script& script);

// Expansion, parsing and (per user) the rewrite in one step.
HRESULT PrepareScript(std::wstring_view text, const Replacements& replacements, bool perUser, Script& out);

// Doubles every single quote, so the text can stand inside a quoted script token.
std::wstring QuoteForScript(std::wstring_view text);

// ForceRemove and Delete never remove keys of these names.
bool IsProtectedKeyName(std::wstring_view name) noexcept;

// The replacements every registration script gets: Module and Module_Raw (the module path, quotes
// doubled) and APPID.
Replacements ModuleReplacements(std::wstring_view modulePath, std::wstring_view appId);

// The replacements of a class's registration scripts: those of the module, CLASS (the coclass name) and
// CLSID (in braces).
Replacements ClassReplacements(std::wstring_view modulePath, std::wstring_view appId,
                               std::wstring_view className, std::wstring_view clsid);

// True for the DllInstall command line "user" in any case (and nothing longer).
bool IsPerUserCommandLine(const wchar_t* commandLine) noexcept;

// The path with its extension (if any) replaced by the given one.
std::wstring ReplaceExtension(std::wstring_view path, std::wstring_view extension);

// The folder part of a file path, as a help folder for type library registration: empty for a bare name.
std::wstring FolderOfPath(std::wstring_view path);

} // namespace Registrar
