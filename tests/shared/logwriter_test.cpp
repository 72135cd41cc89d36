// The diagnostic log writer with the low locations: the switch, the exact bytes of each line, the
// code page of the text, the retry window against another process and the low log folder.
// test-lock: diagnostic-log
// test-lock: private-data-folder
#include "LogTestSupport.h"
#include "shared/LogText.h"
#include "shared/LogWriter.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <set>
#include <string>

namespace {

using namespace logtest;

TEST(LogPrefix, NameSeparatorAndTheSixtyByteLimit) {
    const std::string sixty(60, 'n'), sixtyOne = sixty + "x", long500(500, 'n');
    struct Case {
        const char* name;
        std::string expected;
    } cases[] = {
        {"app", "app\t- "},
        {"", "\t- "},
        {sixty.c_str(), sixty + "\t- "},
        {sixtyOne.c_str(), sixty + "\t- "},
        {long500.c_str(), sixty + "\t- "},
    };
    for (const auto& c : cases) {
        char field[kLogPrefixSize];
        std::memset(field, 'X', sizeof(field));
        ComposeLogPrefix(c.name, field);
        EXPECT_EQ(std::string(field), c.expected);
        EXPECT_EQ(field[sizeof(field) - 1], '\0') << "the field stays terminated";
    }
    char field[kLogPrefixSize];
    std::memset(field, 'X', sizeof(field));
    ComposeLogPrefix(nullptr, field);
    EXPECT_EQ(std::string(field, sizeof(field)), std::string(sizeof(field), '\0'));
}

class LogWriterTest : public ::testing::Test {
protected:
    void SetUp() override { DeleteLogFile(); }
    void TearDown() override {
        RemoveLogSwitch();
        DeleteLogFile();
    }
};

TEST_F(LogWriterTest, OnlyTheDwordOneSwitchesTheLogOn) {
    struct Case {
        const char* state;
        std::function<bool()> set;
        bool on;
    } cases[] = {
        {"REG_DWORD 1", [] { return SetLogSwitchDword(1); }, true},
        {"absent",
         [] {
             RemoveLogSwitch();
             return true;
         },
         false},
        {"REG_DWORD 0", [] { return SetLogSwitchDword(0); }, false},
        {"REG_DWORD 2", [] { return SetLogSwitchDword(2); }, false},
        {"REG_SZ \"1\"", [] { return SetLogSwitch(REG_SZ, L"1", 4); }, false},
        {"REG_BINARY 01 00 00 00", [] { return SetLogSwitch(REG_BINARY, "\1\0\0\0", 4); }, false},
        {"REG_QWORD 1", [] { return SetLogSwitch(REG_QWORD, "\1\0\0\0\0\0\0\0", 8); }, false},
        {"REG_DWORD without data", [] { return SetLogSwitch(REG_DWORD, nullptr, 0); }, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.state);
        DeleteLogFile();
        ASSERT_TRUE(c.set());
        LogWriter writer("sw");
        EXPECT_EQ(writer.isEnabled(), c.on);
        writer.debug(L"m");
        writer.write("t");
        if (c.on) {
            EXPECT_EQ(ReadLog(), "DEBUG sw\t- m\r\nsw\t- t\r\n");
        } else {
            EXPECT_FALSE(Exists(LogFile())) << "a switched-off writer creates no file";
            EXPECT_STREQ(writer.path(), L"");
        }
    }
}

TEST_F(LogWriterTest, ExactBytesOfEachLine) {
    ASSERT_TRUE(SetLogSwitchDword(1));
    using Line = std::function<void(LogWriter&)>;
    struct Case {
        const char* name;
        Line line;
        std::string expected;
    } cases[] = {
        {"app", [](LogWriter& w) { w.debug(L"started"); }, "DEBUG app\t- started\r\n"},
        {nullptr, [](LogWriter& w) { w.debug(L"started"); }, "DEBUG started\r\n"},
        {"app", [](LogWriter& w) { w.warn(L"careful"); }, "WARN app\t- careful\r\n"},
        {nullptr, [](LogWriter& w) { w.error(L"broken"); }, "ERROR broken\r\n"},
        {"app", [](LogWriter& w) { w.error(L""); }, "ERROR app\t- \r\n"},
        {nullptr, [](LogWriter& w) { w.warn(L""); }, "WARN \r\n"},
        {"CScriptLogger", [](LogWriter& w) { w.write("dumpProperties(...) is not implemented"); },
         "CScriptLogger\t- dumpProperties(...) is not implemented\r\n"},
        {nullptr, [](LogWriter& w) { w.write("plain"); }, "plain\r\n"},
        {"app", [](LogWriter& w) { w.write(""); }, "app\t- \r\n"},
        {"app", [](LogWriter& w) { w.debug(L"a\tb\r\nc"); }, "DEBUG app\t- a\tb\r\nc\r\n"},
        {"app", [](LogWriter& w) { w.debug(nullptr); }, "<no file>"},
        {"app", [](LogWriter& w) { w.write(nullptr); }, "<no file>"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.expected);
        DeleteLogFile();
        LogWriter writer(c.name);
        ASSERT_TRUE(writer.isEnabled());
        c.line(writer);
        EXPECT_EQ(ReadLog(), c.expected);
    }
}

TEST_F(LogWriterTest, LinesAreAppendedAndNamesReplaced) {
    ASSERT_TRUE(SetLogSwitchDword(1));
    {
        API::Win32::File file;
        ASSERT_TRUE(file.open(LogFile().c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
        file.write("old\r\n", 5);
    }
    LogWriter first("one"), second;
    first.debug(L"a");
    second.warn(L"b");
    first.setName("two");
    first.error(L"c");
    second.setName(std::string(70, 'n').c_str());
    second.debug(L"d");
    second.setName(nullptr);
    second.debug(L"e");
    EXPECT_EQ(ReadLog(), "old\r\nDEBUG one\t- a\r\nWARN b\r\nERROR two\t- c\r\nDEBUG " +
                             std::string(60, 'n') + "\t- d\r\nDEBUG e\r\n");
}

TEST_F(LogWriterTest, LowLogFileAndFolder) {
    ASSERT_TRUE(SetLogSwitchDword(1));
    LogWriter writer;
    EXPECT_EQ(std::wstring(writer.path()), StoragePaths::LowLogFile(LocalAppData()));
    EXPECT_EQ(LogFile(), LocalAppData() + L"Low\\Zembrolatix\\Zembrolatix.log");
}

// The text is written in the ANSI code page of the writing thread, which follows the thread's locale.
TEST_F(LogWriterTest, TextIsWrittenInTheThreadCodePage) {
    ASSERT_TRUE(SetLogSwitchDword(1));
    const wchar_t* message = L"\u20ac\u0436\u4e00";
    struct Case {
        LCID locale;
        std::string expected;
    } cases[] = {
        {MAKELCID(MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US), SORT_DEFAULT), "DEBUG \x80??\r\n"},
        {MAKELCID(MAKELANGID(LANG_RUSSIAN, SUBLANG_DEFAULT), SORT_DEFAULT), "DEBUG \x88\xe6?\r\n"},
        {MAKELCID(MAKELANGID(LANG_JAPANESE, SUBLANG_DEFAULT), SORT_DEFAULT), "DEBUG ?\x84w\x88\xea\r\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << "locale " << c.locale);
        DeleteLogFile();
        ThreadLocaleScope scope(c.locale);
        ASSERT_TRUE(scope.ok());
        LogWriter writer;
        writer.debug(message);
        EXPECT_EQ(ReadLog(), c.expected);
    }
}

// Another process holds the file open for writing: the line waits through the retry window.
TEST_F(LogWriterTest, LineWaitsForAnotherWriterWithinTheRetryWindow) {
    ASSERT_TRUE(SetLogSwitchDword(1));
    struct Case {
        DWORD holdMs;
        bool written;
    } cases[] = {{150, true}, {2500, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << "held for " << c.holdMs << " ms");
        DeleteLogFile();
        const std::string eventName = "ZembrolatixTests.LogHeld." + std::to_string(::GetCurrentProcessId());
        API::Win32::Handle held(::CreateEventA(nullptr, TRUE, FALSE, eventName.c_str()));
        ASSERT_TRUE(held.isValid());
        LogWriter writer("held");
        API::Win32::Handle child;
        ASSERT_TRUE(StartChild(L"hold " + std::to_wstring(c.holdMs) + L" " +
                                   std::wstring(eventName.begin(), eventName.end()),
                               child));
        ASSERT_EQ(::WaitForSingleObject(held.get(), 30000), WAIT_OBJECT_0)
            << "the child could not hold the file";
        writer.debug(L"line");
        EXPECT_EQ(WaitForChild(child), 0u);
        EXPECT_EQ(ReadLog(), c.written ? "DEBUG held\t- line\r\n" : "");
    }
}

// Four processes writing at once: each line waits its turn within the retry window, none is lost or torn.
TEST_F(LogWriterTest, FourProcessesWritingAtOnceLoseNoLine) {
    ASSERT_TRUE(SetLogSwitchDword(1));
    constexpr int kWriters = 4;
    constexpr int kLines = 100;
    const std::string eventName = "ZembrolatixTests.LogRace." + std::to_string(::GetCurrentProcessId());
    API::Win32::Handle start(::CreateEventA(nullptr, TRUE, FALSE, eventName.c_str()));
    ASSERT_TRUE(start.isValid());
    API::Win32::Handle children[kWriters];
    for (int w = 0; w < kWriters; ++w)
        ASSERT_TRUE(StartChild(L"lines " + std::to_wstring(kLines) + L" w" + std::to_wstring(w) + L" " +
                                   std::wstring(eventName.begin(), eventName.end()),
                               children[w]));
    ::Sleep(300); // every child waiting at the start line
    ::SetEvent(start.get());
    for (auto& child : children)
        EXPECT_EQ(WaitForChild(child, 60000), 0u);

    std::multiset<std::string> seen;
    const std::string log = ReadLog();
    for (size_t at = 0, end; (end = log.find("\r\n", at)) != std::string::npos; at = end + 2)
        seen.insert(log.substr(at, end - at));
    for (int w = 0; w < kWriters; ++w)
        for (int i = 0; i < kLines; ++i) {
            // Appended piece by piece: GCC 12 at -O3 sees a false overlap (-Wrestrict) in
            // "w" + std::string&&.
            std::string line = "w";
            line += std::to_string(w);
            line += ' ';
            line += std::to_string(i);
            EXPECT_EQ(seen.count(line), 1u) << line;
        }
    EXPECT_EQ(seen.size(), size_t(kWriters * kLines));
}

// The first enabled writer of a process creates the low log folder, even before any line.
TEST_F(LogWriterTest, FirstEnabledWriterCreatesTheLowFolder) {
    const std::wstring folder = StoragePaths::LowLogFolder(LocalAppData());
    ASSERT_TRUE(SetLogSwitchDword(1));
    if (!::RemoveDirectoryW(folder.c_str()) && Exists(folder))
        GTEST_SKIP() << "the folder holds files of another test; cannot start without it";
    EXPECT_EQ(RunChild(L"writer"), 0u) << "the child's writer is on";
    EXPECT_TRUE(Exists(folder));
    EXPECT_FALSE(Exists(LogFile())) << "no line was written";

    ASSERT_TRUE(SetLogSwitchDword(0));
    ASSERT_TRUE(::RemoveDirectoryW(folder.c_str()));
    EXPECT_EQ(RunChild(L"writer"), 1u);
    EXPECT_FALSE(Exists(folder)) << "a switched-off writer creates nothing";
    ::CreateDirectoryW(folder.c_str(), nullptr);
}

} // namespace
