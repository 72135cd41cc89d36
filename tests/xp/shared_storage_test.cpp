// The ordinary storage locations, chosen for this program as on Windows versions up to 5: the settings
// root key under Software\Belvanquist\Zembrolatix, the private data folder beside the local application
// data, and the log file beside the module (here the test program itself).
#include "shared/LogTestSupport.h"
#include "shared/LogWriter.h"

#include <gtest/gtest.h>

namespace {

using namespace logtest;

TEST(OrdinaryStorage, IsTheChoiceOfThisProgram) {
    EXPECT_FALSE(UseLowStorage());
}

TEST(OrdinaryStorage, SettingsRootKeyIsUnderTheCompanyKey) {
    const std::wstring name = L"xp-test-" + std::to_wstring(::GetCurrentProcessId());
    {
        API::Win32::RegKey key;
        OpenSettingsRootKey(key);
        ASSERT_TRUE(key.isValid());
        const DWORD value = 9;
        ASSERT_EQ(::RegSetValueExW(key.get(), name.c_str(), 0, REG_DWORD,
                                   reinterpret_cast<const BYTE*>(&value), sizeof(value)),
                  ERROR_SUCCESS);
    }
    API::Win32::RegKey ordinary;
    ASSERT_TRUE(ordinary.open(HKEY_CURRENT_USER, L"Software\\Belvanquist\\Zembrolatix", KEY_ALL_ACCESS));
    DWORD read = 0;
    EXPECT_TRUE(ordinary.readDword(name.c_str(), read));
    EXPECT_EQ(read, 9u);
    ::RegDeleteValueW(ordinary.get(), name.c_str());
}

TEST(OrdinaryStorage, PrivateDataFolderIsBelowLocalAppData) {
    std::wstring folder;
    ASSERT_EQ(PrivateDataFolder(folder), S_OK);
    EXPECT_EQ(folder, LocalAppData() + L"\\Zembrolatix");
}

TEST(OrdinaryStorage, LogFileLiesBesideTheModule) {
    wchar_t module[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, module, MAX_PATH);
    const std::wstring expected = std::wstring(module) + L".log";
    ASSERT_EQ(LogFile(), expected);
    DeleteLogFile();
    ASSERT_TRUE(SetLogSwitchDword(1));
    {
        LogWriter writer("xp");
        EXPECT_TRUE(writer.isEnabled());
        EXPECT_EQ(std::wstring(writer.path()), expected);
        writer.warn(L"ordinary");
    }
    EXPECT_EQ(ReadLog(), "WARN xp\t- ordinary\r\n");

    ASSERT_TRUE(SetLogSwitchDword(2));
    DeleteLogFile();
    LogWriter off("xp");
    off.warn(L"ordinary");
    EXPECT_FALSE(Exists(expected));
    RemoveLogSwitch();
}

} // namespace
