// The Logger script object: argument checks, its own writer's lines, and dumpProperties through the
// process-wide writer. The object is made inside this program, so the test decides when the
// process-wide writer is made.
// test-lock: diagnostic-log
#include "LogTestSupport.h"
#include "shared/Bstr.h"
#include "shared/ComPtr.h"
#include "shared/ProcessLog.h"
#include "shared/ScriptLogger.h"
#include "support/ComTest.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using namespace logtest;

class ScriptLoggerTest : public ::testing::Test {
protected:
    void SetUp() override { DeleteLogFile(); }
    void TearDown() override {
        StopProcessLog();
        RemoveLogSwitch();
        DeleteLogFile();
    }
    static ComPtr<ILogger> MakeLogger() { return MakeObject<CScriptLogger, ILogger>(); }
    static VARIANT_BOOL Enabled(ILogger* logger) {
        VARIANT_BOOL on = 7;
        EXPECT_EQ(logger->get_isEnabled(&on), S_OK);
        return on;
    }
};

TEST_F(ScriptLoggerTest, ArgumentChecks) {
    auto logger = MakeLogger();
    ASSERT_TRUE(logger);
    Bstr empty(L"");
    EXPECT_EQ(logger->init(nullptr), E_INVALIDARG);
    EXPECT_EQ(logger->init(empty.get()), E_INVALIDARG);
    EXPECT_EQ(logger->get_isEnabled(nullptr), E_POINTER);
    EXPECT_EQ(logger->debug(nullptr), S_OK);
    EXPECT_EQ(logger->warn(nullptr), S_OK);
    EXPECT_EQ(logger->error(nullptr), S_OK);
}

TEST_F(ScriptLoggerTest, SwitchedOffWritesNothing) {
    RemoveLogSwitch();
    StartProcessLog();
    auto logger = MakeLogger();
    EXPECT_EQ(Enabled(logger.get()), VARIANT_FALSE);
    Bstr name(L"app"), message(L"m");
    EXPECT_EQ(logger->init(name.get()), S_OK);
    EXPECT_EQ(logger->debug(message.get()), S_OK);
    EXPECT_EQ(logger->warn(message.get()), S_OK);
    EXPECT_EQ(logger->error(message.get()), S_OK);
    VARIANT none{};
    EXPECT_EQ(logger->dumpProperties(none), S_OK);
    EXPECT_FALSE(Exists(LogFile()));
}

TEST_F(ScriptLoggerTest, LinesWithAndWithoutAName) {
    ASSERT_TRUE(SetLogSwitchDword(1));
    auto logger = MakeLogger();
    EXPECT_EQ(Enabled(logger.get()), VARIANT_TRUE);
    Bstr first(L"first"), second(L"x"), a(L"before init"), b(L"m"), c(L"");
    EXPECT_EQ(logger->debug(a.get()), S_OK);
    EXPECT_EQ(logger->init(first.get()), S_OK);
    EXPECT_EQ(logger->warn(b.get()), S_OK);
    EXPECT_EQ(logger->init(second.get()), S_OK);
    EXPECT_EQ(logger->error(b.get()), S_OK);
    EXPECT_EQ(logger->debug(c.get()), S_OK);
    EXPECT_EQ(logger->init(c.get()), E_INVALIDARG);
    EXPECT_EQ(logger->debug(b.get()), S_OK) << "a refused init keeps the prefix";
    EXPECT_EQ(ReadLog(),
              "DEBUG before init\r\nWARN first\t- m\r\nERROR x\t- m\r\nDEBUG x\t- \r\nDEBUG x\t- m\r\n");
}

// The switch is read when the object is made; the process-wide writer read it when it was made.
TEST_F(ScriptLoggerTest, DumpPropertiesWritesThroughTheProcessWideWriter) {
    ASSERT_TRUE(SetLogSwitchDword(1));
    StartProcessLog();
    RemoveLogSwitch();
    auto logger = MakeLogger();
    EXPECT_EQ(Enabled(logger.get()), VARIANT_FALSE);

    VARIANT object = Arg(VT_UNKNOWN), nothing{};
    object.punkVal = logger.get();
    Bstr name(L"mine");
    EXPECT_EQ(logger->init(name.get()), S_OK);
    for (const VARIANT& value : {object, IntArg(42), MissingArg(), nothing})
        EXPECT_EQ(logger->dumpProperties(value), S_OK);
    const std::string line = "CScriptLogger\t- dumpProperties(...) is not implemented\r\n";
    EXPECT_EQ(ReadLog(), line + line + line + line);

    StopProcessLog();
    DeleteLogFile();
    EXPECT_EQ(logger->dumpProperties(nothing), S_OK);
    EXPECT_FALSE(Exists(LogFile())) << "no process-wide writer, no line";
}

// A prefix longer than the writer's 60-byte name field is cut to the whole characters that fit.
TEST_F(ScriptLoggerTest, LongPrefixIsCutAtAWholeCharacter) {
    ASSERT_TRUE(SetLogSwitchDword(1));
    ThreadLocaleScope japanese(MAKELCID(MAKELANGID(LANG_JAPANESE, SUBLANG_DEFAULT), SORT_DEFAULT));
    ASSERT_TRUE(japanese.ok());
    const std::wstring kana(40, L'\u3042'); // two bytes each in code page 932
    struct Case {
        std::wstring prefix;
        std::string expected, alternative;
    } cases[] = {
        {std::wstring(200, L'a'), std::string(60, 'a'), ""},
        {std::wstring(60, L'a'), std::string(60, 'a'), ""},
        {kana,
         [] {
             std::string s;
             for (int i = 0; i < 30; ++i)
                 s += "\x82\xa0";
             return s;
         }(),
         ""},
        {std::wstring(59, L'a') + L"\u3042", std::string(59, 'a'), ""},
        // A character outside the BMP becomes one or two replacement characters (Wine writes two);
        // either way its surrogate pair is kept or dropped whole.
        {std::wstring(59, L'a') + L"\U0001F600", std::string(59, 'a') + "?", std::string(59, 'a')},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.expected);
        DeleteLogFile();
        auto logger = MakeLogger();
        Bstr prefix(c.prefix), message(L"m");
        EXPECT_EQ(logger->init(prefix.get()), S_OK);
        EXPECT_EQ(logger->debug(message.get()), S_OK);
        const std::string log = ReadLog();
        if (c.alternative.empty() || log != "DEBUG " + c.alternative + "\t- m\r\n") {
            EXPECT_EQ(log, "DEBUG " + c.expected + "\t- m\r\n");
        }
    }
}

} // namespace
