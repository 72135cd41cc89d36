// Key paths and stored bytes of preferences, as plain rules.
#include "prefs/PrefStorage.h"

#include <gtest/gtest.h>

#include <tuple>
#include <vector>

using namespace std::literals;
using Bytes = std::vector<BYTE>;

TEST(PrefStorage, BranchTextAndKeyPathInBothModes) {
    static const struct {
        std::wstring_view root;
        std::wstring_view text;
    } cases[] = {
        {L"", L"Zembrolatix\\"},
        {L"a..b", L"Zembrolatix\\a\\\\b"},
        {L"extensions.myapp.", L"Zembrolatix\\extensions\\myapp\\"},
        {L".lead", L"Zembrolatix\\\\lead"},
        // Only dots change: existing backslashes, case and other characters stay.
        {L"My\\App.x y", L"Zembrolatix\\My\\App\\x y"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::wstring(c.root));
        const std::wstring text = PrefStorage::BranchTextFromRoot(c.root);
        EXPECT_EQ(text, c.text);
        EXPECT_EQ(PrefStorage::BranchKeyPath(false, text), L"Software\\"s + std::wstring(c.text));
        EXPECT_EQ(PrefStorage::BranchKeyPath(true, text),
                  L"Software\\Microsoft\\Internet Explorer\\LowRegistry\\"s + std::wstring(c.text));
    }
    // init's text and the same text given to InitWithKey name one key.
    EXPECT_EQ(PrefStorage::BranchKeyPath(true, PrefStorage::BranchTextFromRoot(L"extensions.myapp.")),
              PrefStorage::BranchKeyPath(true, L"Zembrolatix\\extensions\\myapp\\"));
}

TEST(PrefStorage, StoredTypeAndBytes) {
    static const struct {
        const char* what;
        PrefStorage::StoredValue value;
        DWORD type;
        Bytes data;
    } cases[] = {
        {"bool true", PrefStorage::BoolValue(VARIANT_TRUE), REG_DWORD, {1, 0, 0, 0}},
        {"bool false", PrefStorage::BoolValue(VARIANT_FALSE), REG_DWORD, {0, 0, 0, 0}},
        {"bool 1 is not true", PrefStorage::BoolValue(1), REG_DWORD, {0, 0, 0, 0}},
        {"int 640", PrefStorage::IntValue(640), REG_DWORD, {0x80, 0x02, 0, 0}},
        {"int -1", PrefStorage::IntValue(-1), REG_DWORD, {0xFF, 0xFF, 0xFF, 0xFF}},
        {"int min", PrefStorage::IntValue(LONG(0x80000000)), REG_DWORD, {0, 0, 0, 0x80}},
        {"int64", PrefStorage::Int64Value(0x0102030405060708LL), REG_QWORD, {8, 7, 6, 5, 4, 3, 2, 1}},
        {"int64 -2",
         PrefStorage::Int64Value(-2),
         REG_QWORD,
         {0xFE, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}},
        {"empty string", PrefStorage::CharValue(L""), REG_SZ, {0, 0}},
        {"three units", PrefStorage::CharValue(L"abc"), REG_SZ, {'a', 0, 'b', 0, 'c', 0, 0, 0}},
        {"embedded NUL kept", PrefStorage::CharValue(L"a\0b"sv), REG_SZ, {'a', 0, 0, 0, 'b', 0, 0, 0}},
        {"beyond Latin-1", PrefStorage::CharValue(L"\u20AC"), REG_SZ, {0xAC, 0x20, 0, 0}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(c.value.type, c.type);
        EXPECT_EQ(c.value.data, c.data);
    }
}

TEST(PrefStorage, BooleanReadsOnlyOneAsTrue) {
    EXPECT_TRUE(PrefStorage::BoolFromDword(1));
    for (DWORD stored : {0UL, 2UL, 0xFFFFFFFFUL, 0x101UL})
        EXPECT_FALSE(PrefStorage::BoolFromDword(stored)) << stored;
}

TEST(PrefStorage, EmbeddedNul) {
    EXPECT_FALSE(PrefStorage::HasEmbeddedNul(L"window.width"));
    EXPECT_FALSE(PrefStorage::HasEmbeddedNul(L""));
    EXPECT_TRUE(PrefStorage::HasEmbeddedNul(L"a\0b"sv));
}

// Names below a branch, what deleteBranch reaches, how a stored value types and where a key lies.
TEST(PrefStorage, NamesTypesAndPlaces) {
    using PrefStorage::Reach;
    using PrefStorage::StorePlace;
    static const std::tuple<const wchar_t*, const wchar_t*, Reach> subkeys[] = {
        {L"window", L"", Reach::All},
        {L"window", L"win", Reach::All},
        {L"window", L"window.w", Reach::Some},
        {L"a.b", L"a.b.c.", Reach::Some},
        {L"window", L"windows", Reach::None}};
    for (const auto& [key, prefix, reach] : subkeys)
        EXPECT_EQ(PrefStorage::SubkeyReach(key, prefix), reach) << key << L" / " << prefix;
    // The name itself and what lies below it, never a longer sibling.
    static const std::tuple<const wchar_t*, const wchar_t*, bool> deletions[] = {
        {L"", L"x", true},      {L"a", L"a", true},   {L"a.", L"a", true},
        {L"a", L"a.b.c", true}, {L"a", L"ab", false}, {L"a.b", L"a", false}};
    for (const auto& [startingAt, name, reached] : deletions)
        EXPECT_EQ(PrefStorage::DeletionReaches(startingAt, name), reached) << startingAt << L" / " << name;
    static const std::tuple<DWORD, DWORD, LONG> types[] = {
        {REG_SZ, 2, 32},   {REG_EXPAND_SZ, 4, 32}, {REG_DWORD, 2, 64}, {REG_DWORD, 8, 0},
        {REG_QWORD, 8, 0}, {REG_SZ, 0, 0},         {REG_BINARY, 4, 0}};
    for (const auto& [type, size, pref] : types)
        EXPECT_EQ(PrefStorage::TypeOfStored(type, size), pref) << type << "/" << size;
    static const std::tuple<bool, const wchar_t*, StorePlace> places[] = {
        {false, L"software\\\\zembrolatix\\", StorePlace::Top},
        {false, L"Software\\Zembrolatix\\..", StorePlace::Below},
        {false, L"Software\\ZembrolatixOther", StorePlace::Outside},
        {false, L"Software\\Belvanquist\\Zembrolatix", StorePlace::Outside},
        {true, L"Software\\Zembrolatix\\x", StorePlace::Outside}};
    for (const auto& [low, path, place] : places)
        EXPECT_EQ(PrefStorage::PlaceInStore(low, path), place) << path;
    EXPECT_EQ(PrefStorage::RootFromBranchText(L"Other\\key\\"), L"Other.key.");
}

// No branch writes to the Extensions key, however its path is spelled; its neighbours stay writable.
TEST(PrefStorage, TheExtensionsKeyTakesNoWrites) {
    static const struct {
        std::wstring_view text;
        bool writable;
    } cases[] = {
        {L"Belvanquist\\Zembrolatix\\Extensions", false},
        {L"belvanquist\\\\ZEMBROLATIX\\extensions\\myapp\\", false},
        {L"Belvanquist\\Zembrolatix\\Extensions\\{token}", false},
        {L"Belvanquist\\Zembrolatix\\Extensionsx", true},
        {L"Belvanquist\\Zembrolatix", true},
        {L"Zembrolatix\\Extensions", true},
    };
    for (const auto& c : cases) {
        for (bool low : {false, true}) {
            SCOPED_TRACE(std::wstring(c.text) + (low ? L" (low)" : L""));
            EXPECT_EQ(PrefStorage::MayWrite(low, PrefStorage::BranchKeyPath(low, c.text)), c.writable);
        }
    }
}
