// Storage locations: the path rules of both modes, and the low locations this program sees (Wine
// reports Windows 6.1). The ordinary locations are checked by the program tests_xp.
#include "LogTestSupport.h"
#include "shared/Storage.h"

#include <gtest/gtest.h>

namespace {

TEST(StoragePaths, BothModes) {
    const std::wstring appData = L"C:\\Users\\u\\AppData\\Local";
    struct Case {
        bool low;
        std::wstring settings, extension, preference, privateFolder;
    } cases[] = {
        {false, L"Software\\Belvanquist\\Zembrolatix", L"Software\\Belvanquist\\Zembrolatix\\Extensions\\pkg",
         L"Software\\Zembrolatix\\branch", L"C:\\Users\\u\\AppData\\Local\\Zembrolatix"},
        {true, L"Software\\Microsoft\\Internet Explorer\\LowRegistry\\Belvanquist\\Zembrolatix",
         L"Software\\Microsoft\\Internet Explorer\\LowRegistry\\Belvanquist\\Zembrolatix\\Extensions\\pkg",
         L"Software\\Microsoft\\Internet Explorer\\LowRegistry\\Zembrolatix\\branch",
         L"C:\\Users\\u\\AppData\\LocalLow\\Zembrolatix"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.low ? "low" : "ordinary");
        EXPECT_EQ(StoragePaths::SettingsRootKey(c.low), c.settings);
        EXPECT_EQ(StoragePaths::ExtensionKey(c.low, L"pkg"), c.extension);
        EXPECT_EQ(StoragePaths::PreferenceKey(c.low, L"Zembrolatix\\branch"), c.preference);
        EXPECT_EQ(StoragePaths::PrivateDataFolder(c.low, appData), c.privateFolder);
    }
    EXPECT_EQ(StoragePaths::LowLogFolder(appData), L"C:\\Users\\u\\AppData\\LocalLow\\Zembrolatix");
    EXPECT_EQ(StoragePaths::LowLogFile(appData),
              L"C:\\Users\\u\\AppData\\LocalLow\\Zembrolatix\\Zembrolatix.log");
    EXPECT_EQ(StoragePaths::OrdinaryLogFile(L"C:\\Program Files\\B\\Zembrolatix.dll"),
              L"C:\\Program Files\\B\\Zembrolatix.dll.log");
}

TEST(LowStorage, WineReportsAVersionAboveFive) {
    EXPECT_TRUE(UseLowStorage());
    EXPECT_EQ(UseLowStorage(), UseLowStorage());
}

// The settings root key is the LowRegistry mirror: a value written through the opened key is found there.
TEST(LowStorage, SettingsRootKeyIsTheLowRegistryMirror) {
    const std::wstring name = L"shared-test-" + std::to_wstring(::GetCurrentProcessId());
    {
        API::Win32::RegKey key;
        OpenSettingsRootKey(key);
        ASSERT_TRUE(key.isValid());
        const DWORD value = 5;
        ASSERT_EQ(::RegSetValueExW(key.get(), name.c_str(), 0, REG_DWORD,
                                   reinterpret_cast<const BYTE*>(&value), sizeof(value)),
                  ERROR_SUCCESS);
    }
    API::Win32::RegKey mirror;
    ASSERT_TRUE(mirror.open(HKEY_CURRENT_USER,
                            L"Software\\Microsoft\\Internet Explorer\\LowRegistry\\Belvanquist\\Zembrolatix",
                            KEY_ALL_ACCESS));
    DWORD read = 0;
    EXPECT_TRUE(mirror.readDword(name.c_str(), read));
    EXPECT_EQ(read, 5u);
    ::RegDeleteValueW(mirror.get(), name.c_str());

    API::Win32::RegKey ordinary;
    if (ordinary.open(HKEY_CURRENT_USER, L"Software\\Belvanquist\\Zembrolatix", KEY_READ)) {
        EXPECT_FALSE(ordinary.valueExists(name.c_str()));
    }
}

TEST(LowStorage, PrivateDataFolderIsTheLowSibling) {
    std::wstring appData;
    ASSERT_EQ(LocalAppDataFolder(appData), S_OK);
    ASSERT_FALSE(appData.empty());
    std::wstring folder = L"untouched";
    ASSERT_EQ(PrivateDataFolder(folder), S_OK);
    EXPECT_EQ(folder, appData + L"Low\\Zembrolatix");
}

} // namespace
