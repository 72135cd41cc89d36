// Registration scripts as text: replacements, parsing into blocks, keys and values, the per-user rewrite.
#include "module/RegistrarScript.h"
#include "support/ComTest.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace Registrar;

namespace {

HRESULT Parse(std::wstring_view text, Script& script) {
    return ParseScript(text, script);
}

// The first entry of the first block of a script that must parse.
Entry FirstEntry(std::wstring_view text) {
    Script script;
    EXPECT_EQ(Parse(text, script), S_OK) << std::string(text.begin(), text.end());
    if (script.blocks.empty() || script.blocks[0].entries.empty()) return {};
    return script.blocks[0].entries[0];
}

TEST(RegistrarRoots, EveryRootNameInAnyCase) {
    const struct {
        const wchar_t* name;
        RootKey root;
    } cases[] = {
        {L"HKCR", RootKey::ClassesRoot},
        {L"hkcu", RootKey::CurrentUser},
        {L"HkLm", RootKey::LocalMachine},
        {L"HKU", RootKey::Users},
        {L"hkpd", RootKey::PerformanceData},
        {L"HKDD", RootKey::DynData},
        {L"hkCC", RootKey::CurrentConfig},
        {L"HKEY_CLASSES_ROOT", RootKey::ClassesRoot},
        {L"hkey_current_user", RootKey::CurrentUser},
        {L"HKEY_LOCAL_MACHINE", RootKey::LocalMachine},
        {L"Hkey_Users", RootKey::Users},
        {L"HKEY_PERFORMANCE_DATA", RootKey::PerformanceData},
        {L"HKEY_DYN_DATA", RootKey::DynData},
        {L"HKEY_CURRENT_CONFIG", RootKey::CurrentConfig},
    };
    for (const auto& c : cases) {
        Script script;
        std::wstring text = std::wstring(c.name) + L" { K }";
        ASSERT_EQ(Parse(text, script), S_OK) << Narrow(c.name);
        ASSERT_EQ(script.blocks.size(), 1u) << Narrow(c.name);
        EXPECT_EQ(script.blocks[0].root, c.root) << Narrow(c.name);
        EXPECT_EQ(script.blocks[0].name, c.name);
    }
}

TEST(RegistrarSyntax, ErrorsAndTheirCodes) {
    const struct {
        const wchar_t* text;
        HRESULT expected;
    } cases[] = {
        {L"", S_OK},
        {L"  \r\n\t ", S_OK},
        {L"HKCR { }", S_OK},
        {L"HKCR { } HKLM { }", S_OK},
        {L"HKCR {}", DISP_E_EXCEPTION},        // tokens are separated by white space
        {L"HKXX { K }", DISP_E_EXCEPTION},     // unknown root
        {L"HKCRX { K }", DISP_E_EXCEPTION},    // unknown root
        {L"'HKEY' { K }", DISP_E_EXCEPTION},   // unknown root
        {L"HKCR K", DISP_E_EXCEPTION},         // no opening brace
        {L"HKCR { K ", DISP_E_EXCEPTION},      // no closing brace
        {L"HKCR { K { }", DISP_E_EXCEPTION},   // nested block left open
        {L"HKCR { K } }", DISP_E_EXCEPTION},   // stray closing brace
        {L"HKCR { 'K }", DISP_E_EXCEPTION},    // unterminated quote
        {L"HKCR { K = }", DISP_E_EXCEPTION},   // no type letter
        {L"HKCR { K = s }", DISP_E_EXCEPTION}, // no value
        {L"HKCR { K = x 'v' }", DISP_E_EXCEPTION},
        {L"HKCR { K = 's' 'v' }", DISP_E_EXCEPTION}, // a quoted type is no type letter
        {L"HKCR { K = sz 'v' }", DISP_E_EXCEPTION},  // two letters
        {L"HKCR { A\\B }", DISP_E_EXCEPTION},        // key name with a backslash
        {L"HKCR { 'A\\B' = s 'x' }", DISP_E_EXCEPTION},
        {L"HKCR { K { val 'A\\B' = s 'x' } }", S_OK}, // value names may hold one
        {L"HKCR { '' }", DISP_E_EXCEPTION},           // empty key name
        {L"HKCR { = s 'v' }", DISP_E_EXCEPTION},
        {L"HKCR { val X s 'v' }", DISP_E_EXCEPTION}, // no equals sign
        {L"HKCR { val = s 'v' }", DISP_E_EXCEPTION}, // no value name
        {L"HKCR { ForceRemove val X = s 'v' }", DISP_E_EXCEPTION},
        {L"HKCR { NoRemove }", DISP_E_EXCEPTION},
        {L"HKCR { K = b '0A1' }", E_FAIL}, // odd number of hexadecimal digits
        {L"HKCR { K = b '0G' }", DISP_E_EXCEPTION},
        {L"HKCR { K = d 'x' }", DISP_E_TYPEMISMATCH},
        {L"HKCR { K = d '4294967296' }", DISP_E_OVERFLOW},
    };
    for (const auto& c : cases) {
        Script script;
        EXPECT_EQ(Parse(c.text, script), c.expected) << Narrow(c.text);
        if (FAILED(c.expected)) {
            EXPECT_TRUE(script.blocks.empty()) << Narrow(c.text);
        }
    }
}

TEST(RegistrarSyntax, MarkersKeywordsAndQuotedNames) {
    Script script;
    ASSERT_EQ(Parse(L"HKCR {\n"
                    L"  NoRemove A\n"
                    L"  forceremove B = s 'b'\n"
                    L"  DELETE C { D }\n"
                    L"  'NoRemove' { VAL v = s 'x' nOrEmOvE Val w = s 'y' }\n"
                    L"  'val'\n"
                    L"  'It''s { here }' = s 'O''Brien'''\n"
                    L"}",
                    script),
              S_OK);
    ASSERT_EQ(script.blocks.size(), 1u);
    const std::vector<Entry>& e = script.blocks[0].entries;
    ASSERT_EQ(e.size(), 6u);
    EXPECT_EQ(e[0].marker, Marker::NoRemove);
    EXPECT_EQ(e[0].name, L"A");
    EXPECT_FALSE(e[0].hasValue);
    EXPECT_EQ(e[1].marker, Marker::ForceRemove);
    EXPECT_TRUE(e[1].hasValue);
    EXPECT_EQ(e[1].value.text, L"b");
    EXPECT_EQ(e[2].marker, Marker::Delete);
    ASSERT_EQ(e[2].children.size(), 1u);
    EXPECT_EQ(e[2].children[0].name, L"D");

    // Quoted words are names, never keywords.
    EXPECT_EQ(e[3].marker, Marker::None);
    EXPECT_EQ(e[3].name, L"NoRemove");
    ASSERT_EQ(e[3].children.size(), 2u);
    EXPECT_TRUE(e[3].children[0].isValue);
    EXPECT_EQ(e[3].children[0].name, L"v");
    EXPECT_EQ(e[3].children[0].marker, Marker::None);
    EXPECT_TRUE(e[3].children[1].isValue);
    EXPECT_EQ(e[3].children[1].marker, Marker::NoRemove);
    EXPECT_EQ(e[3].children[1].value.text, L"y");
    EXPECT_FALSE(e[4].isValue);
    EXPECT_EQ(e[4].name, L"val");

    EXPECT_EQ(e[5].name, L"It's { here }");
    EXPECT_EQ(e[5].value.text, L"O'Brien'");
}

TEST(RegistrarSyntax, TypeLettersInEitherCase) {
    const struct {
        const wchar_t* text;
        ValueData expected;
    } cases[] = {
        {L"HKCR { K = s 'text' }", {ValueType::String, L"text", 0, {}}},
        {L"HKCR { K = S '' }", {ValueType::String, L"", 0, {}}},
        {L"HKCR { K = s plain }", {ValueType::String, L"plain", 0, {}}},
        {L"HKCR { K = d '0' }", {ValueType::Dword, L"", 0, {}}},
        {L"HKCR { K = D 4294967295 }", {ValueType::Dword, L"", 0xFFFFFFFFu, {}}},
        {L"HKCR { K = d '123' }", {ValueType::Dword, L"", 123, {}}},
        {L"HKCR { K = b '' }", {ValueType::Binary, L"", 0, {}}},
        {L"HKCR { K = B '00fFa1' }", {ValueType::Binary, L"", 0, {0x00, 0xFF, 0xA1}}},
        {L"HKCR { K = m 'one' }", {ValueType::MultiString, L"one", 0, {}}},
        {L"HKCR { K = M 'one\\0two\\0' }", {ValueType::MultiString, std::wstring(L"one\0two\0", 8), 0, {}}},
        {L"HKCR { K = m 'a\\b\\\\0' }", {ValueType::MultiString, std::wstring(L"a\\b\\\0", 5), 0, {}}},
    };
    for (const auto& c : cases) {
        Entry entry = FirstEntry(c.text);
        EXPECT_TRUE(entry.hasValue) << Narrow(c.text);
        EXPECT_EQ(entry.value, c.expected) << Narrow(c.text);
    }
}

TEST(RegistrarSyntax, NestedKeysKeepTheirOrder) {
    Script script;
    ASSERT_EQ(Parse(L"HKLM { A { val x = d 1 B = s 'b' { C } val y = s '' } } HKCU { Z }", script), S_OK);
    ASSERT_EQ(script.blocks.size(), 2u);
    const Entry& a = script.blocks[0].entries.at(0);
    ASSERT_EQ(a.children.size(), 3u);
    EXPECT_TRUE(a.children[0].isValue);
    EXPECT_EQ(a.children[0].value.number, 1u);
    EXPECT_EQ(a.children[1].name, L"B");
    ASSERT_EQ(a.children[1].children.size(), 1u);
    EXPECT_EQ(a.children[1].children[0].name, L"C");
    EXPECT_EQ(a.children[2].name, L"y");
    EXPECT_EQ(script.blocks[1].root, RootKey::CurrentUser);
}

TEST(RegistrarReplacements, Expansion) {
    const Replacements replacements = {{L"Module", L"C:\\it''s\\Z.dll"}, {L"APPID", L"{A}"}};
    const struct {
        const wchar_t* text;
        HRESULT expected;
        const wchar_t* result;
    } cases[] = {
        {L"no references", S_OK, L"no references"},
        {L"%MODULE%", S_OK, L"C:\\it''s\\Z.dll"},
        {L"'%module%' %Module%", S_OK, L"'C:\\it''s\\Z.dll' C:\\it''s\\Z.dll"},
        {L"%APPID%-%appid%", S_OK, L"{A}-{A}"},
        {L"100%% sure", S_OK, L"100% sure"},
        {L"%%%APPID%%%", S_OK, L"%{A}%"},
        {L"%MODULE", DISP_E_EXCEPTION, nullptr},
        {L"text %", DISP_E_EXCEPTION, nullptr},
        {L"%NOSUCH%", DISP_E_EXCEPTION, nullptr},
        {L"%Module_Raw%", DISP_E_EXCEPTION, nullptr},
        {L"%ABCDEFGHIJKLMNOPQRSTUVWXYZ01234%", DISP_E_EXCEPTION, nullptr},  // 31 characters: looked up
        {L"%ABCDEFGHIJKLMNOPQRSTUVWXYZ012345%", E_FAIL, nullptr},           // 32 characters
        {L"%ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789ABCDEF%", E_FAIL, nullptr}, // longer
    };
    for (const auto& c : cases) {
        std::wstring out;
        EXPECT_EQ(ExpandReplacements(c.text, replacements, out), c.expected) << Narrow(c.text);
        if (c.result) {
            EXPECT_EQ(out, c.result) << Narrow(c.text);
        }
    }
}

TEST(RegistrarReplacements, ModulePathWithQuoteSurvivesTheScript) {
    Replacements replacements = ModuleReplacements(L"C:\\O'Neil's\\Zembrolatix.dll", L"{AP}");
    Script script;
    ASSERT_EQ(PrepareScript(L"HKCR { K = s '%MODULE%' { val Raw = s '%Module_Raw%' val A = s '%APPID%' } }",
                            replacements, false, script),
              S_OK);
    const Entry& key = script.blocks.at(0).entries.at(0);
    EXPECT_EQ(key.value.text, L"C:\\O'Neil's\\Zembrolatix.dll");
    EXPECT_EQ(key.children.at(0).value.text, L"C:\\O'Neil's\\Zembrolatix.dll");
    EXPECT_EQ(key.children.at(1).value.text, L"{AP}");
}

TEST(RegistrarPerUser, OnlyTopLevelHkcrInCapitalsMovesBelowUserClasses) {
    Script script;
    ASSERT_EQ(PrepareScript(L"HKCR { A { HKCR } } hkcr { B } HKEY_CLASSES_ROOT { C } HKLM { D } HKCR { E }",
                            {}, true, script),
              S_OK);
    ASSERT_EQ(script.blocks.size(), 5u);
    const RootBlock& moved = script.blocks[0];
    EXPECT_EQ(moved.root, RootKey::CurrentUser);
    ASSERT_EQ(moved.entries.size(), 1u);
    const Entry& software = moved.entries[0];
    EXPECT_EQ(software.name, L"Software");
    EXPECT_EQ(software.marker, Marker::NoRemove);
    ASSERT_EQ(software.children.size(), 1u);
    const Entry& classes = software.children[0];
    EXPECT_EQ(classes.name, L"Classes");
    EXPECT_EQ(classes.marker, Marker::NoRemove);
    ASSERT_EQ(classes.children.size(), 1u);
    EXPECT_EQ(classes.children[0].name, L"A");
    ASSERT_EQ(classes.children[0].children.size(), 1u);
    EXPECT_EQ(classes.children[0].children[0].name, L"HKCR") << "nested keys named HKCR stay as they are";

    EXPECT_EQ(script.blocks[1].root, RootKey::ClassesRoot) << "hkcr";
    EXPECT_EQ(script.blocks[1].entries.at(0).name, L"B");
    EXPECT_EQ(script.blocks[2].root, RootKey::ClassesRoot) << "HKEY_CLASSES_ROOT";
    EXPECT_EQ(script.blocks[3].root, RootKey::LocalMachine);
    EXPECT_EQ(script.blocks[4].root, RootKey::CurrentUser);

    Script machine;
    ASSERT_EQ(PrepareScript(L"HKCR { A }", {}, false, machine), S_OK);
    EXPECT_EQ(machine.blocks.at(0).root, RootKey::ClassesRoot) << "machine-wide mode leaves HKCR";
    EXPECT_EQ(machine.blocks.at(0).entries.at(0).name, L"A");
}

TEST(RegistrarHelpers, CommandLinePathsAndProtectedNames) {
    EXPECT_TRUE(IsPerUserCommandLine(L"user"));
    EXPECT_TRUE(IsPerUserCommandLine(L"USER"));
    EXPECT_TRUE(IsPerUserCommandLine(L"uSeR"));
    EXPECT_FALSE(IsPerUserCommandLine(nullptr));
    EXPECT_FALSE(IsPerUserCommandLine(L""));
    EXPECT_FALSE(IsPerUserCommandLine(L"use"));
    EXPECT_FALSE(IsPerUserCommandLine(L"users"));
    EXPECT_FALSE(IsPerUserCommandLine(L"user "));
    EXPECT_FALSE(IsPerUserCommandLine(L" user"));

    EXPECT_EQ(ReplaceExtension(L"C:\\a\\Zembrolatix.dll", L".tlb"), L"C:\\a\\Zembrolatix.tlb");
    EXPECT_EQ(ReplaceExtension(L"C:\\a.b\\Zembrolatix", L".tlb"), L"C:\\a.b\\Zembrolatix.tlb");
    EXPECT_EQ(FolderOfPath(L"C:\\help\\lib.chm"), L"C:\\help");
    EXPECT_EQ(FolderOfPath(L"C:\\lib.chm"), L"C:\\");
    EXPECT_EQ(FolderOfPath(L"lib.chm"), L"");

    for (const wchar_t* name :
         {L"AppID", L"clsid", L"Component Categories", L"FILETYPE", L"Interface", L"Hardware", L"Mime",
          L"SAM", L"Security", L"SYSTEM", L"software", L"TypeLib"})
        EXPECT_TRUE(IsProtectedKeyName(name)) << Narrow(name);
    for (const wchar_t* name : {L"Programmable", L"{0F1E2D3C-4B5A-4978-8695-A4B3C2D1E0F9}", L"CLSIDs", L""})
        EXPECT_FALSE(IsProtectedKeyName(name)) << Narrow(name);
}

} // namespace
