// Preference branches where the preference base is HKCU\Software itself: reading anywhere, writing
// only below the library's own keys.
#include "prefs/PrefBranch.h"
#include "shared/Bstr.h"
#include "support/Scoped.h"

#include <gtest/gtest.h>

#include <string>

namespace {

const std::wstring kTag = L"zbx-xp-" + std::to_wstring(::GetCurrentProcessId());

bool ValueExists(const std::wstring& key, const std::wstring& name) {
    API::Win32::RegKey k;
    return k.open(HKEY_CURRENT_USER, key.c_str(), KEY_READ) && k.valueExists(name.c_str());
}

TEST(PrefBranchXp, WritesOnlyBelowTheLibrarysOwnKeys) {
    const std::wstring outside = L"Software\\" + kTag;
    const ScopedKeyTree owned{outside};
    {
        API::Win32::RegKey seeded;
        ASSERT_TRUE(
            seeded.create(HKEY_CURRENT_USER, outside.c_str(), nullptr, 0, KEY_ALL_ACCESS, nullptr, nullptr));
        const wchar_t text[] = L"seed";
        ASSERT_TRUE(seeded.writeValue(L"present", REG_SZ, reinterpret_cast<const BYTE*>(text), sizeof(text)));
    }
    const struct {
        std::wstring root;
        std::wstring key; // where a write would land, under HKCU
        bool writable;
    } cases[] = {
        {L"Zembrolatix\\" + kTag + L"\\", L"Software\\Zembrolatix\\" + kTag, true},
        {L"zembrolatix\\\\" + kTag, L"Software\\Zembrolatix\\" + kTag, true},
        {L"BELVANQUIST\\Zembrolatix\\" + kTag, L"Software\\Belvanquist\\Zembrolatix\\" + kTag, true},
        {L"\\Zembrolatix", L"Software\\Zembrolatix", true},
        {L"Microsoft\\Windows\\CurrentVersion\\Run\\", L"Software\\Microsoft\\Windows\\CurrentVersion\\Run",
         false},
        {L"ZembrolatixX\\", L"Software\\ZembrolatixX", false},
        {L"Belvanquist2", L"Software\\Belvanquist2", false},
        {kTag, outside, false},
    };
    for (const auto& c : cases) {
        const std::wstring value = kTag + L"-value";
        ComPtr<IPrefBranch> branch;
        ASSERT_EQ(CPrefBranch::CreateLocal(branch.put()), S_OK);
        Bstr root(c.root);
        Bstr name(value);
        Bstr text(L"C:\\evil.exe");
        const HRESULT bound = branch->InitWithKey(root.get());
        if (c.writable) {
            ASSERT_EQ(bound, S_OK) << c.root;
            EXPECT_EQ(branch->setCharPref(name.get(), text.get()), S_OK) << c.root;
            EXPECT_EQ(branch->setIntPref(name.get(), 1), S_OK) << c.root;
            EXPECT_TRUE(ValueExists(c.key, value)) << c.root;
            API::Win32::RegKey k;
            if (k.open(HKEY_CURRENT_USER, c.key.c_str(), KEY_ALL_ACCESS))
                ::RegDeleteValueW(k.get(), value.c_str());
            continue;
        }
        // An outside key is never created; one that exists is read.
        if (SUCCEEDED(bound)) {
            EXPECT_EQ(branch->setCharPref(name.get(), text.get()), E_ACCESSDENIED) << c.root;
            EXPECT_EQ(branch->setBoolPref(name.get(), VARIANT_TRUE), E_ACCESSDENIED) << c.root;
            EXPECT_EQ(branch->setIntPref(name.get(), 1), E_ACCESSDENIED) << c.root;
            EXPECT_EQ(branch->setInt64Pref(name.get(), 1), E_ACCESSDENIED) << c.root;
        } else {
            EXPECT_EQ(bound, E_FAIL) << c.root;
        }
        EXPECT_FALSE(ValueExists(c.key, value)) << c.root;
    }

    ComPtr<IPrefBranch> reader;
    ASSERT_EQ(CPrefBranch::CreateLocal(reader.put()), S_OK);
    Bstr root(kTag);
    ASSERT_EQ(reader->InitWithKey(root.get()), S_OK);
    Bstr present(L"present");
    Bstr got;
    EXPECT_EQ(reader->getCharPref(present.get(), got.put()), S_OK);
    EXPECT_EQ(got.view(), L"seed");
}

} // namespace
