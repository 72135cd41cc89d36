// Applying parsed registration scripts to a private key below HKEY_CURRENT_USER.
#include "module/RegistrarScript.h"
#include "module/RegistryApplier.h"
#include "support/Scoped.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace Registrar;

namespace {

const std::wstring kBase = L"Software\\ZembrolatixRegistryApplierTest";

struct Key {
    HKEY h = nullptr;
    Key() = default;
    Key(const Key&) = delete;
    Key& operator=(const Key&) = delete;
    ~Key() {
        if (h) ::RegCloseKey(h);
    }
};

bool Exists(const std::wstring& path) {
    Key key;
    return ::RegOpenKeyExW(HKEY_CURRENT_USER, (kBase + path).c_str(), 0, KEY_READ, &key.h) == ERROR_SUCCESS;
}

// The value's type and raw bytes; type 0 when missing.
std::pair<DWORD, std::vector<BYTE>> Value(const std::wstring& path, const wchar_t* name) {
    Key key;
    if (::RegOpenKeyExW(HKEY_CURRENT_USER, (kBase + path).c_str(), 0, KEY_READ, &key.h) != ERROR_SUCCESS)
        return {};
    DWORD type = 0, size = 0;
    if (::RegQueryValueExW(key.h, name, nullptr, &type, nullptr, &size) != ERROR_SUCCESS) return {};
    std::vector<BYTE> data(size);
    ::RegQueryValueExW(key.h, name, nullptr, &type, data.data(), &size);
    return {type, data};
}

std::vector<BYTE> Bytes(std::wstring_view text) {
    const BYTE* p = reinterpret_cast<const BYTE*>(text.data());
    return std::vector<BYTE>(p, p + text.size() * sizeof(wchar_t));
}

HRESULT Apply(std::wstring_view text, bool doRegister) {
    Script script;
    HRESULT hr = ParseScript(text, script);
    if (FAILED(hr)) return hr;
    return ApplyScript(script, doRegister);
}

void CreateKey(const std::wstring& path, DWORD options = REG_OPTION_NON_VOLATILE) {
    Key key;
    ASSERT_EQ(::RegCreateKeyExW(HKEY_CURRENT_USER, (kBase + path).c_str(), 0, nullptr, options,
                                KEY_ALL_ACCESS, nullptr, &key.h, nullptr),
              ERROR_SUCCESS);
}

class RegistryApplierTest : public ::testing::Test {
protected:
    void SetUp() override { ::RegDeleteTreeW(HKEY_CURRENT_USER, kBase.c_str()); }
    ScopedKeyTree owned{kBase};
};

// The script's keys live below the test's own key.
std::wstring UnderTestKey(std::wstring_view body) {
    return L"HKCU { NoRemove Software { NoRemove ZembrolatixRegistryApplierTest { " + std::wstring(body) +
           L" } } }";
}

TEST_F(RegistryApplierTest, RegisterWritesKeysAndTypedValues) {
    ASSERT_EQ(Apply(UnderTestKey(L"K = s 'default' { val S = s 'text' val D = d 305419896 val B = b '01FF' "
                                 L"val M = m 'a\\0bc' Sub }"),
                    true),
              S_OK);
    EXPECT_EQ(Value(L"\\K", nullptr), std::make_pair(DWORD(REG_SZ), Bytes(std::wstring(L"default", 8))));
    EXPECT_EQ(Value(L"\\K", L"S"), std::make_pair(DWORD(REG_SZ), Bytes(std::wstring(L"text", 5))));
    EXPECT_EQ(Value(L"\\K", L"D"),
              std::make_pair(DWORD(REG_DWORD), std::vector<BYTE>{0x78, 0x56, 0x34, 0x12}));
    EXPECT_EQ(Value(L"\\K", L"B"), std::make_pair(DWORD(REG_BINARY), std::vector<BYTE>{0x01, 0xFF}));
    EXPECT_EQ(Value(L"\\K", L"M"), std::make_pair(DWORD(REG_MULTI_SZ), Bytes(std::wstring(L"a\0bc\0\0", 6))));
    EXPECT_TRUE(Exists(L"\\K\\Sub"));
}

TEST_F(RegistryApplierTest, ForceRemoveAndDeleteSpareProtectedNames) {
    CreateKey(L"\\Forced\\Stale");
    CreateKey(L"\\Gone\\Child");
    CreateKey(L"\\Software\\Kept");
    CreateKey(L"\\CLSID\\Kept");
    ASSERT_EQ(
        Apply(UnderTestKey(L"ForceRemove Forced { Fresh } Delete Gone { X } ForceRemove Software { New } "
                           L"Delete clsid Delete Missing"),
              true),
        S_OK);
    EXPECT_FALSE(Exists(L"\\Forced\\Stale"));
    EXPECT_TRUE(Exists(L"\\Forced\\Fresh"));
    EXPECT_FALSE(Exists(L"\\Gone"));
    EXPECT_TRUE(Exists(L"\\Software\\Kept"));
    EXPECT_TRUE(Exists(L"\\Software\\New"));
    EXPECT_TRUE(Exists(L"\\CLSID\\Kept"));
    EXPECT_FALSE(Exists(L"\\Missing"));
}

TEST_F(RegistryApplierTest, UnregisterRemovesWhatTheScriptOwns) {
    const std::wstring script =
        UnderTestKey(L"NoRemove Shared { Own = s 'x' { val V = s 'v' } val Drop = s 'd' "
                     L"NoRemove val Keep = s 'k' } Busy { Leaf } Plain = s 'p'");
    ASSERT_EQ(Apply(script, true), S_OK);
    CreateKey(L"\\Busy\\Foreign");
    ASSERT_EQ(Apply(script, false), S_OK);
    EXPECT_TRUE(Exists(L"\\Shared"));
    EXPECT_FALSE(Exists(L"\\Shared\\Own"));
    EXPECT_EQ(Value(L"\\Shared", L"Drop").first, 0u);
    EXPECT_EQ(Value(L"\\Shared", L"Keep").first, DWORD(REG_SZ));
    EXPECT_FALSE(Exists(L"\\Busy\\Leaf"));
    EXPECT_TRUE(Exists(L"\\Busy\\Foreign")) << "a key with subkeys left stays";
    EXPECT_FALSE(Exists(L"\\Plain"));

    // Again, with most keys gone: missing keys and values are no error.
    EXPECT_EQ(Apply(script, false), S_OK);
}

TEST_F(RegistryApplierTest, FailingBlockIsTakenBackAndEarlierBlocksStay) {
    CreateKey(L""); // not volatile itself: the options apply to every key created on the way
    CreateKey(L"\\Volatile", REG_OPTION_VOLATILE);
    const std::wstring first = UnderTestKey(L"First = s '1'");
    const std::wstring second = UnderTestKey(L"Second = s '2' { val V = s 'v' } Volatile { Child }");
    EXPECT_EQ(Apply(first + L"\n" + second, true), HRESULT_FROM_WIN32(ERROR_CHILD_MUST_BE_VOLATILE));
    EXPECT_TRUE(Exists(L"\\First"));
    EXPECT_FALSE(Exists(L"\\Second"));
    EXPECT_FALSE(Exists(L"\\Volatile\\Child"));
}

TEST_F(RegistryApplierTest, SyntaxErrorsWriteNothing) {
    EXPECT_EQ(Apply(UnderTestKey(L"Written = s 'x'") + L" HKCU { Broken = q 'x' }", true), DISP_E_EXCEPTION);
    EXPECT_FALSE(Exists(L"\\Written"));
}

} // namespace
