#include "files/PathRules.h"
#include "FuzzText.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::wstring text = FuzzText(data, size);
    // The text before the first U+0001 is a path, what follows a node or folder.
    const size_t split = text.find(L'\x01');
    const std::wstring path = text.substr(0, split);
    const std::wstring other = split == std::wstring::npos ? L"" : text.substr(split + 1);

    const std::wstring stored = PathRules::NormalizeScriptPath(path);
    FUZZ_CHECK(stored.find(L'/') == std::wstring::npos);
    FUZZ_CHECK(PathRules::LeafName(path).size() <= path.size());
    PathRules::AppendNode(stored, other);
    if (std::optional<std::wstring> full = PathRules::FullPathForm(path)) {
        FUZZ_CHECK(full->find(L'/') == std::wstring::npos && full->find(L'\0') == std::wstring::npos);
        // Resolved once is resolved for good (a verbatim path keeps what it names literally),
        // Trailing separators aside.
        if (path.rfind(L"\\\\?\\", 0) != 0) {
            std::optional<std::wstring> again = PathRules::FullPathForm(*full);
            FUZZ_CHECK(again.has_value());
            auto bare = [](std::wstring s) {
                while (!s.empty() && s.back() == L'\\')
                    s.pop_back();
                return s;
            };
            FUZZ_CHECK(bare(*again) == bare(*full));
        }
    }
    if (PathRules::LiesInside(path, other)) FUZZ_CHECK(PathRules::FullPathForm(other).has_value());
    PathRules::SourceNamesDevice(text);
    return 0;
}
