// The owning handle wrappers: a replaced handle is closed, a failed open empties the wrapper, and the
// registry reads check type and size and never read past their buffers.
#include "shared/Win32.h"
#include "support/Scoped.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using API::Win32::File;
using API::Win32::FileFind;
using API::Win32::Handle;
using API::Win32::Library;
using API::Win32::RegKey;

namespace {

std::wstring TempFile(const wchar_t* name) {
    wchar_t folder[MAX_PATH] = {};
    ::GetTempPathW(MAX_PATH, folder);
    return std::wstring(folder) + L"zembrolatix-shared-" + std::to_wstring(::GetCurrentProcessId()) + L"-" +
           name;
}

// Opens a file for writing with no sharing: succeeds only while no other handle is open on it.
bool OpenExclusive(File& file, const std::wstring& path) {
    return file.open(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS, 0, nullptr);
}

class FileWrapperTest : public ::testing::Test {
protected:
    std::wstring a = TempFile(L"a.txt");
    std::wstring b = TempFile(L"b.txt");
    ScopedFile ownedA{a}, ownedB{b};
};

TEST_F(FileWrapperTest, SecondOpenClosesTheFirstHandle) {
    File file;
    ASSERT_TRUE(OpenExclusive(file, a));
    File other;
    EXPECT_FALSE(OpenExclusive(other, a)) << "the exclusive open must block a second one";
    ASSERT_TRUE(OpenExclusive(file, b));
    EXPECT_EQ(file.path(), b);
    EXPECT_TRUE(OpenExclusive(other, a)) << "the first handle must have been closed";
}

TEST_F(FileWrapperTest, FailedOpenStillReplacesAndClosesTheHeldHandle) {
    File file;
    ASSERT_TRUE(OpenExclusive(file, a));
    const std::wstring missing = TempFile(L"missing\\x.txt");
    EXPECT_FALSE(file.open(missing.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    EXPECT_FALSE(file.isValid());
    EXPECT_EQ(file.get(), INVALID_HANDLE_VALUE);
    EXPECT_EQ(file.path(), missing);
    File other;
    EXPECT_TRUE(OpenExclusive(other, a));
}

TEST_F(FileWrapperTest, CloseReportsOnlyARealClose) {
    File file;
    EXPECT_EQ(file.close(), 0) << "nothing held";
    ASSERT_TRUE(OpenExclusive(file, a));
    EXPECT_NE(file.close(), 0);
    EXPECT_FALSE(file.isValid());
    EXPECT_EQ(file.get(), nullptr);
    EXPECT_EQ(file.close(), 0) << "a second close does nothing";
}

TEST_F(FileWrapperTest, WriteCountsTheBytesWritten) {
    File file;
    ASSERT_TRUE(OpenExclusive(file, a));
    EXPECT_TRUE(file.write("abc", 3));
    EXPECT_EQ(file.lastWriteCount(), 3u);
    file.close();
    EXPECT_FALSE(file.write("abc", 3)) << "no handle, no write";
    EXPECT_EQ(file.lastWriteCount(), 0u);
}

TEST(HandleWrapper, EmptyValuesAreNotValid) {
    Handle null(nullptr), invalid(INVALID_HANDLE_VALUE);
    EXPECT_FALSE(null.isValid());
    EXPECT_FALSE(invalid.isValid());
    Handle event(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
    ASSERT_TRUE(event.isValid());
    HANDLE first = event.get();
    event.reset(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
    DWORD flags = 0;
    EXPECT_FALSE(::GetHandleInformation(first, &flags)) << "the replaced handle must be closed";
}

TEST(FileFindWrapper, SearchFillsTheRecordAndAFailedSearchEmptiesTheWrapper) {
    wchar_t system[MAX_PATH] = {};
    ::GetSystemDirectoryW(system, MAX_PATH);
    FileFind find;
    ASSERT_TRUE(find.first((std::wstring(system) + L"\\kernel32.dll").c_str()));
    EXPECT_EQ(_wcsicmp(find.data().cFileName, L"kernel32.dll"), 0);
    EXPECT_FALSE(find.first((std::wstring(system) + L"\\no-such-file-zembrolatix.*").c_str()));
    EXPECT_FALSE(find.isValid());
}

TEST(LibraryWrapper, HoldsTheModuleOrNothing) {
    Library kernel(L"kernel32.dll");
    EXPECT_TRUE(kernel.isValid());
    Library missing(L"no-such-module-zembrolatix.dll");
    EXPECT_FALSE(missing.isValid());
    EXPECT_EQ(missing.close(), 0);
}

// A scratch key of its own per test program run, removed after each test.
class RegKeyTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(key.create(HKEY_CURRENT_USER, path.c_str(), nullptr, REG_OPTION_NON_VOLATILE,
                               KEY_ALL_ACCESS, nullptr, nullptr));
    }
    // Stores exactly these bytes. The buffer goes on with non-zero bytes: the registry adds a terminator
    // to string data when the unit after the given count happens to be zero.
    void Set(const wchar_t* name, DWORD type, const std::vector<BYTE>& data) {
        std::vector<BYTE> padded(data);
        padded.resize(data.size() + 4, 0xFF);
        ASSERT_EQ(::RegSetValueExW(key.get(), name, 0, type, padded.data(), static_cast<DWORD>(data.size())),
                  ERROR_SUCCESS);
        DWORD stored = 0;
        ASSERT_EQ(::RegQueryValueExW(key.get(), name, nullptr, nullptr, nullptr, &stored), ERROR_SUCCESS);
        ASSERT_EQ(stored, data.size());
    }
    void SetDword(const wchar_t* name, DWORD value) {
        Set(name, REG_DWORD,
            std::vector<BYTE>(reinterpret_cast<BYTE*>(&value), reinterpret_cast<BYTE*>(&value + 1)));
    }

    std::wstring path = L"Software\\ZembrolatixTests\\shared-" + std::to_wstring(::GetCurrentProcessId());
    ScopedKeyTree owned{path}; // removed once the key below is closed
    RegKey key;
};

TEST_F(RegKeyTest, FailedOpenEmptiesAKeyThatWasHeld) {
    ASSERT_TRUE(key.isValid());
    RegKey other;
    ASSERT_TRUE(other.open(HKEY_CURRENT_USER, path.c_str(), KEY_READ));
    EXPECT_FALSE(other.open(HKEY_CURRENT_USER, (path + L"\\missing").c_str(), KEY_READ));
    EXPECT_FALSE(other.isValid());
    EXPECT_EQ(other.get(), nullptr);
    DWORD value = 7;
    EXPECT_FALSE(other.readDword(L"x", value));
    EXPECT_EQ(value, 0u);
}

TEST_F(RegKeyTest, FailedCreateEmptiesAKeyThatWasHeld) {
    RegKey other;
    ASSERT_TRUE(other.open(HKEY_CURRENT_USER, path.c_str(), KEY_READ));
    const HKEY notAKey = reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(0xDEAD0));
    EXPECT_FALSE(other.create(notAKey, L"child", nullptr, 0, KEY_ALL_ACCESS, nullptr, nullptr));
    EXPECT_FALSE(other.isValid());
}

TEST_F(RegKeyTest, FixedSizeReadsCheckTypeAndSize) {
    SetDword(L"one", 1);
    SetDword(L"two", 2);
    SetDword(L"zero", 0);
    Set(L"text", REG_SZ, {'1', 0, 0, 0});
    Set(L"empty dword", REG_DWORD, {});
    Set(L"short dword", REG_DWORD, {1, 0});
    Set(L"long dword", REG_DWORD, {1, 0, 0, 0, 0, 0, 0, 0});
    Set(L"binary", REG_BINARY, {1, 0, 0, 0});
    Set(L"qword", REG_QWORD, {1, 2, 3, 4, 5, 6, 7, 8});

    struct Case {
        const wchar_t* name;
        bool dwordRead;
        DWORD dword;
        bool boolRead;
        bool boolValue;
    } cases[] = {
        {L"one", true, 1, true, true},
        {L"two", true, 2, true, false},
        {L"zero", true, 0, true, false},
        {L"text", false, 0, false, false},
        {L"empty dword", false, 0, false, false},
        {L"short dword", true, 1, true, true},
        {L"long dword", false, 0, false, false}, // more data than a DWORD holds is refused
        {L"binary", false, 0, false, false},
        {L"qword", false, 0, false, false},
        {L"missing", false, 0, false, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << "value " << std::wstring(c.name).size() << " units");
        DWORD dword = 0xDEADBEEF;
        EXPECT_EQ(key.readDword(c.name, dword), c.dwordRead);
        EXPECT_EQ(dword, c.dword);
        bool flag = true;
        EXPECT_EQ(key.readBool(c.name, flag), c.boolRead);
        EXPECT_EQ(flag, c.boolValue);
    }

    ULONGLONG qword = 99;
    EXPECT_TRUE(key.readQword(L"qword", qword));
    EXPECT_EQ(qword, 0x0807060504030201ull);
    EXPECT_FALSE(key.readQword(L"one", qword)) << "a DWORD is not a QWORD";
    EXPECT_EQ(qword, 0u);
}

TEST_F(RegKeyTest, StringReadsTakeTheStoredSizeAndNeverReadPastIt) {
    struct Case {
        const wchar_t* name;
        DWORD type;
        std::vector<BYTE> data;
        std::wstring asBstr; // size/2 - 1 units: the last whole stored unit counts as the terminator
        const wchar_t* asWstring;
    } cases[] = {
        {L"empty", REG_SZ, {0, 0}, L"", L""},
        {L"no data", REG_SZ, {}, L"", L""},
        {L"terminated", REG_SZ, {'a', 0, 'b', 0, 'c', 0, 0, 0}, L"abc", L"abc"},
        {L"unterminated", REG_SZ, {0x42, 0, 0x41, 0}, L"B", L"BA"},
        {L"odd count", REG_SZ, {0x42, 0, 0x41, 0, 0x43}, L"B", L"BAC"},
        {L"one byte", REG_SZ, {0x42}, L"", L"B"},
        {L"three bytes", REG_SZ, {0x42, 0, 0x41}, L"", L"BA"},
        {L"embedded nul", REG_SZ, {'a', 0, 0, 0, 'b', 0, 0, 0}, std::wstring(L"a\0b", 3), L"a"},
        {L"dword as text", REG_DWORD, {'x', 0, 'y', 0}, L"x", L"xy"},
    };
    for (const auto& c : cases) {
        Set(c.name, c.type, c.data);
        SCOPED_TRACE(::testing::Message() << "case with " << c.data.size() << " bytes");
        BSTR text = ::SysAllocString(L"old");
        EXPECT_TRUE(key.readString(c.name, text));
        ASSERT_NE(text, nullptr);
        EXPECT_EQ(std::wstring(text, ::SysStringLen(text)), c.asBstr);
        ::SysFreeString(text);

        std::wstring library = L"old";
        EXPECT_TRUE(key.readString(c.name, library));
        EXPECT_EQ(library, c.asWstring);
    }

    BSTR text = ::SysAllocString(L"old");
    EXPECT_FALSE(key.readString(L"missing", text));
    EXPECT_EQ(::SysStringLen(text), 0u) << "a failed read leaves an empty string";
    ::SysFreeString(text);
    std::wstring library = L"old";
    EXPECT_FALSE(key.readString(L"missing", library));
    EXPECT_TRUE(library.empty());
}

TEST_F(RegKeyTest, ValueExistsOnlyWithData) {
    SetDword(L"one", 1);
    Set(L"no data", REG_BINARY, {});
    EXPECT_TRUE(key.valueExists(L"one"));
    EXPECT_FALSE(key.valueExists(L"no data"));
    EXPECT_FALSE(key.valueExists(L"missing"));
}

} // namespace
