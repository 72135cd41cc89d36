#include "bundles/RegisteredLocations.h"

#include <gtest/gtest.h>

namespace {

using namespace RegisteredLocations;

// What an application's installer registers: a package module, a brace token's folder, one package
// on a share, and a package named only by its module's file name.
const std::vector<ExtensionEntry> kEntries = {
    {L"myapp", L"C:\\Apps\\MyApp\\chrome\\myapp.dll"},
    {L"{myapp-id}", L"C:\\Apps\\MyApp\\data"},
    {L"shared", L"\\\\server\\share\\app\\shared.dll"},
    {L"bare", L"bare.dll"},
};

TEST(RegisteredLocations, Places) {
    const struct {
        const wchar_t* path;
        bool unc, module, inside;
    } cases[] = {
        {L"C:\\Apps\\MyApp\\chrome\\myapp.dll", false, true, true},
        {L"c:/apps/myapp/CHROME/x/../myapp.dll", false, true, true},
        {L"C:\\Apps\\MyApp\\chrome\\other.dll", false, false, true},
        {L"C:\\Apps\\MyApp\\chrome\\..\\secret.txt", false, false, false},
        {L"C:\\Apps\\MyApp\\data\\sub\\x.dll", false, true, true},
        {L"C:\\Apps\\MyApp\\database.txt", false, false, false},
        {L"C:\\Apps\\MyApp\\data\\..\\..\\x.txt", false, false, false},
        {L"\\\\?\\C:\\Apps\\MyApp\\data\\x.txt", false, true, true},
        {L"\\\\server\\share\\app\\shared.dll", true, true, true},
        {L"//server/share/app/shared.dll", true, true, true},
        {L"\\\\?\\UNC\\server\\share\\app\\shared.dll", true, true, true},
        {L"\\\\server\\share\\app\\other.dll", true, false, true},
        {L"\\\\server\\share\\x.txt", true, false, false},
        {L"\\\\evil\\share\\app\\shared.dll", true, false, false},
        {L"\\\\.\\UNC\\evil\\share\\x.dll", true, false, false},
        {L"\\\\?\\GLOBALROOT\\Device\\Mup\\evil\\s\\x.dll", true, false, false},
        {L"\\\\.\\Global\\UNC\\evil\\s\\x.dll", true, false, false},
        {L"\\??\\UNC\\evil\\share\\x.dll", true, false, false},
        {L"\\\\.\\C:\\Apps\\MyApp\\data\\x.txt", false, false, false},
        {L"bare.dll", false, false, false},
        {L"data\\x.txt", false, false, false},
        {L"\\Apps\\MyApp\\data\\x.txt", false, false, false},
        {L"", false, false, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "path: " << testing::PrintToString(std::wstring(c.path)));
        EXPECT_EQ(IsUncPath(c.path), c.unc);
        EXPECT_EQ(IsRegisteredModule(c.path, kEntries), c.module);
        EXPECT_EQ(LiesInRegisteredLocation(c.path, kEntries), c.inside);
    }
}

TEST(RegisteredLocations, ResModulesOnOtherMachinesOnlyWhenRegistered) {
    const struct {
        const wchar_t* url;
        bool allowed;
    } cases[] = {
        {L"res://C:\\Other\\any.dll/APP.PROPERTIES", true},
        {L"res://shdoclc.dll/BLANK.HTM", true},
        {L"res://\\\\server\\share\\app\\shared.dll/APP.PROPERTIES", true},
        {L"RES:////server/share/app/shared.dll/APP.PROPERTIES", true},
        {L"res://\\\\evil\\share\\x.dll/APP.PROPERTIES", false},
        {L"res:////evil/share/x.dll/APP.PROPERTIES", false},
        {L"res://\\\\?\\UNC\\evil\\share\\x.dll/APP.PROPERTIES", false},
        {L"res://\\??\\UNC\\evil\\share\\x.dll/A", false},
        {L"file://evil/share/x.properties", true}, // no module: the reading rule decides
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "url: " << testing::PrintToString(std::wstring(c.url)));
        EXPECT_EQ(MayLoadResModule(c.url, kEntries), c.allowed);
    }
    EXPECT_FALSE(MayLoadResModule(L"res://\\\\server\\share\\app\\shared.dll/A", {}));
}

} // namespace
