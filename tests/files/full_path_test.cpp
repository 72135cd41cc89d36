// The text-only full form agrees with the system's own resolution wherever it gives an answer.
#include "files/PathRules.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <string>

namespace {

std::wstring SystemFullPath(const std::wstring& path) {
    wchar_t buffer[1024] = {};
    DWORD length = ::GetFullPathNameW(path.c_str(), 1024, buffer, nullptr);
    return std::wstring(buffer, length < 1024 ? length : 0);
}

TEST(FullPathForm, AgreesWithGetFullPathName) {
    const std::wstring F = L"C:\\users\\root\\AppData\\LocalLow\\Zembrolatix";
    const std::wstring paths[] = {
        F,
        F + L"\\",
        F + L"/a/b",
        F + L"\\..\\..\\x",
        F + L"\\sub\\..\\a",
        F + L"\\\\\\a",
        F + L"\\.\\a",
        F + L"\\a.",
        F + L"\\a. . ",
        F + L".\\a",
        F + L" \\x",
        F + L"\\a.\\",
        F + L"\\a \\",
        F + L"\\a.\\b",
        F + L"\\a \\b",
        F + L"\\a.txt:stream",
        F + L"\\..",
        F + L"\\...x",
        L"C:\\..\\..",
        L"C:/",
        L"c:\\a\\b\\..",
        L"\\\\server\\share\\a\\..\\..\\..\\b",
        L"//server/share/x/./y",
    };
    for (const std::wstring& path : paths) {
        std::optional<std::wstring> full = PathRules::FullPathForm(path);
        ASSERT_TRUE(full.has_value()) << path;
        EXPECT_EQ(*full, SystemFullPath(path)) << path;
    }
}

} // namespace
