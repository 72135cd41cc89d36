#include "files/PathRules.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <tuple>
#include <utility>

using namespace std::string_literals;
using PathRules::FullPathForm;
using PathRules::LiesInside;

namespace {

const std::wstring kFolder = L"C:\\users\\root\\AppData\\LocalLow\\Zembrolatix";
const std::wstring kTemp = L"C:\\users\\root\\Temp\\";

// Whether a script's path would be safe: stored as initWithPath stores it, then tested against the folder.
bool SafeFromScript(const std::wstring& path) {
    return LiesInside(PathRules::NormalizeScriptPath(path), kFolder);
}

TEST(PathRules, NormalizeScriptPath) {
    const struct {
        const wchar_t* in;
        const wchar_t* out;
    } cases[] = {
        {L"C:/work/dir/", L"C:\\work\\dir"},
        {L"C:\\", L"C:\\"},
        {L"C:/", L"C:\\"},
        {L"ab\\", L"ab\\"},
        {L"abc\\", L"abc"},
        {L"C:\\x\\\\", L"C:\\x\\"},
        {L"/", L"\\"},
        {L"a", L"a"},
        {L"C:\\a.txt", L"C:\\a.txt"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(PathRules::NormalizeScriptPath(c.in), c.out) << c.in;
}

TEST(PathRules, LeafName) {
    const struct {
        const wchar_t* in;
        const wchar_t* out;
    } cases[] = {
        {L"C:\\work\\dir", L"dir"}, {L"C:\\", L""}, {L"a/b", L"b"},       {L"a\\b/c", L"b/c"},
        {L"abc", L"abc"},           {L"", L""},     {kTemp.c_str(), L""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(PathRules::LeafName(c.in), c.out) << c.in;
}

TEST(PathRules, LookupTargetOf) {
    using PathRules::LookupTarget;
    const struct {
        const wchar_t* in;
        LookupTarget out;
    } cases[] = {
        {L"C:\\a.txt", LookupTarget::Entry},    {L"C:", LookupTarget::Entry},
        {L"\\\\?\\C:\\a", LookupTarget::Entry}, {L"C:\\", LookupTarget::Folder},
        {L"C:\\dir/", LookupTarget::Folder},    {L"\\\\?\\C:\\", LookupTarget::Folder},
        {L"", LookupTarget::Nothing},           {L"C:\\windows\\*.ini", LookupTarget::Nothing},
        {L"C:\\a?.txt", LookupTarget::Nothing}, {L"C:\\*\\a.txt", LookupTarget::Nothing},
        {L"\\\\?\\", LookupTarget::Nothing},    {L"\\\\?\\C:\\?", LookupTarget::Nothing},
    };
    for (const auto& c : cases)
        EXPECT_EQ(PathRules::LookupTargetOf(c.in), c.out) << c.in;
}

TEST(PathRules, AppendNode) {
    const struct {
        const wchar_t* path;
        const wchar_t* node;
        const wchar_t* out;
    } cases[] = {
        {L"", L"sub", L"sub"},
        {L"C:\\", L"sub", L"C:\\sub"},
        {L"C:\\a", L"sub", L"C:\\a\\sub"},
        {L"C:\\a", L"..\\b/c", L"C:\\a\\..\\b/c"},
        {L"C:/a/", L"b", L"C:/a/\\b"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(PathRules::AppendNode(c.path, c.node), c.out) << c.path << L" + " << c.node;
}

TEST(PathRules, FullPathForm) {
    const struct {
        std::wstring in;
        const wchar_t* out; // null: no full form
    } cases[] = {
        {L"C:\\a\\b", L"C:\\a\\b"},
        {L"c:/a//b/", L"c:\\a\\b\\"},
        {L"C:\\", L"C:\\"},
        {L"C:\\..\\..", L"C:\\"},
        {L"C:\\a\\.\\b\\..\\c", L"C:\\a\\c"},
        {L"C:\\a\\b\\..", L"C:\\a"},
        {L"C:\\a.\\b", L"C:\\a\\b"},
        {L"C:\\a \\b", L"C:\\a \\b"},
        {L"C:\\a\\b. . .", L"C:\\a\\b"},
        {L"C:\\a\\b.\\", L"C:\\a\\b\\"},
        {L"C:\\a\\b \\", L"C:\\a\\b \\"},
        {L"C:\\a\\f.txt:stream", L"C:\\a\\f.txt:stream"},
        {L"\\\\server\\share\\a\\..\\..\\..\\b", L"\\\\server\\share\\b"},
        {L"//server/share", L"\\\\server\\share"},
        {L"\\\\?\\C:\\a\\b.", L"C:\\a\\b."},
        {L"\\\\?\\C:\\", L"C:\\"},
        {L"\\\\?\\UNC\\server\\share\\a", L"\\\\server\\share\\a"},
        // Nothing the text alone can resolve, or nothing that names an ordinary file.
        {L"", nullptr},
        {L"a\\b", nullptr},
        {L"\\a\\b", nullptr},
        {L"C:a\\b", nullptr},
        {L"C:", nullptr},
        {L"\\\\server", nullptr},
        {L"\\\\server\\", nullptr},
        {L"\\\\.\\C:\\a", nullptr},
        {L"//?/C:/a", nullptr},
        {L"\\\\?\\C:", nullptr},
        {L"\\\\?\\C:\\a\\..\\b", nullptr},
        {L"\\\\?\\C:\\a\\.\\b", nullptr},
        {L"\\\\?\\C:\\a\\\\b", nullptr},
        {L"\\\\?\\C:\\a/b", nullptr},
        {L"\\\\?\\GLOBALROOT\\Device\\HarddiskVolume1\\a", nullptr},
        {L"\\\\?\\UNC\\server", nullptr},
        {L"\\\\?\\UNC\\a/b\\share\\x", nullptr},
        {L"\\\\?\\UNC\\?\\share\\x", nullptr},
        {L"C:\\a\\COM1\\.", nullptr},
        {L"C:\\a\\con\\b\\..", nullptr},
        {L"C:\\a\\...\\b", nullptr},
        {L"C:\\a\\.. \\b", nullptr},
        {L"C:\\a\\b..\\c", nullptr},
        {L"C:\\a\\NUL", nullptr},
        {L"C:\\a\\con.txt", nullptr},
        {L"C:\\a\\Com1 .log", nullptr},
        {L"C:\\a\\lpt9", nullptr},
        {L"C:\\a\\b\0\\..\\c"s, nullptr},
    };
    for (const auto& c : cases) {
        std::optional<std::wstring> full = FullPathForm(c.in);
        if (!c.out) {
            EXPECT_FALSE(full.has_value()) << c.in << L" gave " << full.value_or(L"");
        } else {
            ASSERT_TRUE(full.has_value()) << c.in;
            EXPECT_EQ(*full, c.out) << c.in;
        }
    }
    // Device names count only as the last segment, and folders named so are ordinary.
    EXPECT_TRUE(FullPathForm(L"C:\\nul\\a").has_value());
    EXPECT_TRUE(FullPathForm(L"C:\\a\\com10").has_value());
    EXPECT_TRUE(FullPathForm(L"C:\\a\\console").has_value());
}

// Every way of writing a path outside the private folder that a script might try: none is safe.
TEST(PathRules, EscapeAttemptsStayOutside) {
    const std::wstring F = kFolder;
    const std::wstring escapes[] = {
        F + L"\\..\\..\\x",
        F + L"/../../x",
        F + L"\\sub\\..\\..\\x",
        F + L"\\.\\..\\x",
        F + L"\\\\..\\x",
        F + L"\\..",
        F + L"\\sub\\..\\..",
        F + L"Evil\\x",
        F + L"Evil",
        F + L"2",
        F + L".evil\\x",
        F + L" \\x",
        F + L". \\x",
        F + L"..\\x",
        F + L".\\..\\x",
        F + L"\\..\\Zembrolatix2\\x",
        F + L"\\..\\zembrolatix.\\..\\x",
        F + L":stream",
        L"c:/USERS/root/appdata/locallow/zembrolatix/../../x",
        L"C:\\USERS\\ROOT\\APPDATA\\LOCALLOW\\ZEMBROLATIXEVIL",
        L"C:\\users\\root\\AppData\\LocalLow\\Zembrolati",
        L"C:\\users\\root\\AppData\\LocalLow",
        L"C:\\Windows\\x",
        L"\\\\?\\" + F + L"\\..\\..\\x",
        L"\\\\?\\" + F + L"\\.\\..\\x",
        L"\\\\?\\" + F + L"Evil\\x",
        L"\\\\?\\" + F + L".\\x",
        L"//?/" + F + L"/../../x",
        L"\\\\.\\" + F + L"\\x",
        L"//./" + F + L"/x",
        L"\\\\?\\GLOBALROOT\\??\\" + F + L"\\x",
        L"\\\\?\\UNC\\localhost\\C$\\users\\root\\AppData\\LocalLow\\Zembrolatix\\x",
        L"\\\\localhost\\C$\\users\\root\\AppData\\LocalLow\\Zembrolatix\\x",
        L"\\??\\" + F + L"\\x",
        L"\\users\\root\\AppData\\LocalLow\\Zembrolatix\\x",
        L"C:users\\root\\AppData\\LocalLow\\Zembrolatix\\x",
        L"Zembrolatix\\x",
        L"..\\..\\x",
        F + L"\\NUL",
        F + L"\\com1.txt",
        L"C:\\Windows\\evil"s + L'\0' + L"\\..\\..\\users\\root\\AppData\\LocalLow\\Zembrolatix\\x",
        F + L"\\..."s + L"\\..\\..\\x",
    };
    int escaped = 0;
    for (const std::wstring& path : escapes) {
        if (SafeFromScript(path)) {
            ++escaped;
            ADD_FAILURE() << "escaped: " << path;
        }
    }
    EXPECT_EQ(escaped, 0);
}

TEST(PathRules, LegitimatePathsStayInside) {
    const std::wstring F = kFolder;
    const std::wstring inside[] = {
        F,
        F + L"\\",
        F + L"/",
        F + L"\\a.txt",
        F + L"/sub/a.txt",
        F + L"\\sub\\..\\a",
        F + L"\\\\\\a",
        F + L"\\.\\a",
        F + L"\\a.",
        F + L"\\a. . ",
        F + L"\\..\\Zembrolatix\\a",
        F + L".\\a",
        F + L"\\a\\b\\..\\..\\c",
        F + L"\\..\\..\\..\\..\\..\\..\\users\\root\\AppData\\LocalLow\\Zembrolatix\\a",
        F + L"\\a.txt:stream",
        F + L"\\...x",
        L"c:\\USERS\\root\\appdata\\LOCALLOW\\zembrolatix\\a",
        L"\\\\?\\" + F + L"\\a",
        L"\\\\?\\" + F,
        L"//?/" + F + L"/a", // stored as \\?\..., which the system opens verbatim
    };
    for (const std::wstring& path : inside)
        EXPECT_TRUE(SafeFromScript(path)) << path;
}

// Only A-Z compare without regard to case: other letters must match exactly.
TEST(PathRules, CaseIgnoredForAsciiLettersOnly) {
    const std::wstring folder = L"C:\\users\\Jos\u00E9\\AppData\\Local\\Zembrolatix";
    EXPECT_TRUE(LiesInside(L"C:\\USERS\\JOS\u00E9\\APPDATA\\LOCAL\\ZEMBROLATIX\\a", folder));
    EXPECT_FALSE(LiesInside(L"C:\\users\\Jos\u00C9\\AppData\\Local\\Zembrolatix\\a", folder));
}

// The folder side: a trailing separator (the temporary folder), a drive root, a UNC share, an
// unresolvable folder.
TEST(PathRules, FolderForms) {
    const struct {
        const wchar_t* path;
        const wchar_t* folder;
        bool inside;
    } cases[] = {
        {L"C:\\users\\root\\Temp\\a.txt", kTemp.c_str(), true},
        {L"C:\\users\\root\\Temp\\", kTemp.c_str(), true},
        {L"C:\\users\\root\\Temp", kTemp.c_str(), true},
        {L"C:\\users\\root\\Temp\\..\\a", kTemp.c_str(), false},
        {L"C:\\users\\root\\TempX\\a", kTemp.c_str(), false},
        {L"C:\\Windows", L"C:\\", true},
        {L"D:\\Windows", L"C:\\", false},
        {L"\\\\srv\\share\\a\\..\\..\\b", L"\\\\srv\\share", true},
        {L"\\\\srv\\share2\\a", L"\\\\srv\\share", false},
        {L"C:\\a", L"", false},
        {L"C:\\a", L"a", false},
        {L"a\\b", L"a", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(LiesInside(c.path, c.folder), c.inside) << c.path << L" in " << c.folder;
}

// append keeps the flag only for a new path within the old one.
TEST(PathRules, AppendStaysWithin) {
    const struct {
        std::wstring path;
        const wchar_t* node;
        bool keeps;
    } cases[] = {
        {kFolder, L"x", true},
        {kFolder, L"sub\\..\\x", true},
        {kFolder, L".", true},
        {kFolder, L"a/b/c", true},
        {kFolder, L"..\\Zembrolatix\\x", true},
        {kFolder, L"..\\x", false},
        {kFolder, L"..\\..\\Windows\\x", false},
        {kFolder, L"../../Windows/x", false},
        {kFolder, L"/../x", false},
        {kFolder, L"..", false},
        {kFolder, L"a\\..\\..", false},
        {kFolder, L"NUL", false},
        {kTemp, L"a.txt", true},
        {kTemp, L"..\\x", false},
        {L"C:\\", L"Windows", true},
        {L"sub", L"x", false},
        {L"", L"x", false},
    };
    for (const auto& c : cases) {
        std::wstring appended = PathRules::AppendNode(c.path, c.node);
        EXPECT_EQ(LiesInside(appended, c.path), c.keeps) << c.path << L" + " << c.node;
    }
}

} // namespace

namespace {

TEST(PathRules, ParentPath) {
    const std::pair<const wchar_t*, const wchar_t*> cases[] = {
        // {path, parent}; no parent: nullptr
        {L"C:\\a\\b", L"C:\\a"},
        {L"C:\\a", L"C:\\"},
        {L"C:\\a\\\\b\\", L"C:\\a"},
        {L"C:\\", nullptr},
        {L"a\\b", L"a"},
        {L"abc", nullptr},
        {L"\\a", L"\\"},
        {L"\\\\srv\\share\\a", L"\\\\srv\\share\\"},
        {L"\\\\srv\\share", nullptr},
        {L"\\\\?\\C:\\a", L"\\\\?\\C:\\"},
        {L"\\\\?\\C:\\", nullptr},
        {L"\\\\?\\UNC\\srv\\share\\a", L"\\\\?\\UNC\\srv\\share\\"},
        {L"\\\\.\\COM1", nullptr}};
    for (const auto& [path, parent] : cases)
        EXPECT_EQ(PathRules::ParentPath(path).value_or(L"<none>"), parent ? parent : L"<none>") << path;
}

TEST(PathRules, PlainAndNumberedLeaves) {
    for (const wchar_t* plain : {L"a.txt", L".profile", L"a b", L"NULL", L"com10"})
        EXPECT_TRUE(PathRules::IsPlainLeaf(plain)) << plain;
    for (const wchar_t* bad : {L"", L".", L"..", L"a\\b", L"a/b", L"C:x", L"a*", L"a|b", L"a.", L"a ",
                               L"nul.txt", L"COM1", L"a\tb"})
        EXPECT_FALSE(PathRules::IsPlainLeaf(bad)) << bad;
    EXPECT_EQ(PathRules::NumberedLeaf(L"notes.txt", 3), L"notes-3.txt");
    EXPECT_EQ(PathRules::NumberedLeaf(L".profile", 3), L".profile-3");
    EXPECT_EQ(PathRules::NumberedLeaf(L"a.tar.gz", 3), L"a.tar-3.gz");
}

TEST(PathRules, SamePath) {
    const std::tuple<const wchar_t*, const wchar_t*, bool> cases[] = {{L"C:\\a\\b", L"c:/A/x/../B/", true},
                                                                      {L"\\\\?\\C:\\a", L"C:\\a", true},
                                                                      {L"rel\\a\\", L"REL\\a", true},
                                                                      {L"C:\\a", L"C:\\a\\b", false},
                                                                      {L"C:\\a", L"a", false},
                                                                      {L"C:\\\u00c4", L"C:\\\u00e4", false}};
    for (const auto& [a, b, same] : cases)
        EXPECT_EQ(PathRules::SamePath(a, b), same) << a << " " << b;
}

TEST(PathRules, DownloadSourcesThatNameDevices) {
    const struct {
        const wchar_t* source;
        bool device;
    } cases[] = {
        {L"C:\\any\\COM1.txt", true},
        {L"CON", true},
        {L"aux", true},
        {L"C:\\x\\prn.log", true},
        {L"C:\\x\\NUL ", true},
        {L"C:\\x\\lpt9.", true},
        {L"C:nul", true},
        {L"file:///C:/any/COM1.txt", true},
        {L"FILE:C:\\x\\con", true},
        {L"file:///C:/x/CO%4D1", true},
        {L"file:///C:/x/con#part", true},
        {L"file://./COM1", true},
        {L"\\\\.\\PhysicalDrive0", true},
        {L"\\\\?\\C:\\x\\a.txt", true},
        {L"//./pipe/x", true},
        {L"C:\\x\\COM10", false},
        {L"C:\\x\\console.txt", false},
        {L"C:\\CON\\a.txt", false},
        {L"file:///C:/x/p%41.xml", false},
        {L"http://host/CON", false},
        {L"https://host/x/COM1.txt", false},
        {L"\\\\server\\share\\a.txt", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(PathRules::SourceNamesDevice(c.source), c.device) << c.source;
    // The system stops at a NUL: what follows it does not hide the device.
    EXPECT_TRUE(PathRules::SourceNamesDevice(L"C:\\x\\nul\0.txt"s));
}

TEST(PathRules, LocalPathsOfDownloadSources) {
    static const struct {
        std::wstring_view source;
        std::vector<std::wstring> paths; // empty: not a local source
    } cases[] = {
        {L"file:///C:/a%20b/x.txt", {L"C:/a b/x.txt"}},
        {L" \tFILE://c|/x.txt ", {L"c:/x.txt"}},
        {L"file:C:\\x.txt", {L"C:\\x.txt"}},
        {L"file://server/share/x.txt", {L"\\\\server/share/x.txt"}},
        {L"file:x.txt", {L"x.txt"}},
        {L"file:///C:/own/%3F/../../x.txt", {L"C:/own/?/../../x.txt", L"C:/own/"}},
        {L"C:\\own\\x.txt#..\\..\\y", {L"C:\\own\\x.txt#..\\..\\y", L"C:\\own\\x.txt"}},
        {L"http://host/x.txt", {}},
        {L"res://C:\\x.dll/A.TXT", {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::wstring(c.source));
        const auto paths = PathRules::LocalSourcePaths(c.source);
        EXPECT_EQ(paths.value_or(std::vector<std::wstring>{}), c.paths);
    }
}

} // namespace
