#include "module/RegistrarScript.h"
#include "FuzzText.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::wstring text = FuzzText(data, size);
    const Registrar::Replacements replacements = Registrar::ModuleReplacements(
        L"C:\\it's\\Zembrolatix.dll", L"{00000000-0000-0000-0000-000000000001}");
    Registrar::Script script;
    Registrar::PrepareScript(text, replacements, size % 2 == 0, script);
    Registrar::Script parsed;
    Registrar::ParseScript(text, parsed);
    std::wstring expanded;
    Registrar::ExpandReplacements(text, replacements, expanded);

    // A quoted token stands for exactly the text quoted.
    Registrar::Script quoted;
    const std::wstring name = text.substr(0, text.find(L'\0'));
    if (SUCCEEDED(Registrar::ParseScript(L"HKCR { '" + Registrar::QuoteForScript(name) + L"' }", quoted)) &&
        !quoted.blocks.empty() && !quoted.blocks[0].entries.empty())
        FUZZ_CHECK(quoted.blocks[0].entries[0].name == name);
    Registrar::IsProtectedKeyName(text);
    Registrar::IsPerUserCommandLine(text.c_str());
    Registrar::ReplaceExtension(text, L".tlb");
    Registrar::FolderOfPath(text);
    return 0;
}
