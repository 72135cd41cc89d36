// String bundles loaded from files and from the test package module, in this program's storage mode.
#include "bundles/BundleTestModule.h"
#include "bundles/StringBundle.h"
#include "shared/Bstr.h"
#include "support/ComTest.h"
#include "support/Scoped.h"
#include "support/TempFile.h"

#include <gtest/gtest.h>

namespace {

// A folder of this program's own under the temporary folder, registered as an application's location
// while the program runs: a bundle reads a file a script names only in such a location (or in the
// private data folder). Other tests that run meanwhile expect the rest of the temporary folder refused.
const std::wstring& TempFolder() {
    static const ScopedFolder folder([] {
        wchar_t text[MAX_PATH] = {};
        ::GetTempPathW(MAX_PATH, text);
        std::wstring path = text + (L"zbt-bundle-files-" + std::to_wstring(::GetCurrentProcessId())) + L"\\";
        ::CreateDirectoryW(path.c_str(), nullptr);
        return path;
    }());
    static const ScopedExtension location(UseLowStorage(), L"{zbt-cpp-bundle-files}", folder.get());
    return folder.get();
}

// A file in that folder with the given bytes, deleted at the end of the scope.
struct BundleFile : TempFile {
    BundleFile(const wchar_t* name, std::string_view bytes) : TempFile(name, TempFolder()) { write(bytes); }
};

HRESULT Init(IStringBundle* bundle, const std::wstring& url) {
    Bstr text(url);
    return bundle->init(text.get());
}

// The HRESULT of a lookup and the string it gave.
std::pair<HRESULT, std::wstring> Lookup(IStringBundle* bundle, const wchar_t* name) {
    Bstr key(name), value;
    HRESULT hr = bundle->GetStringFromName(key.get(), value.put());
    return {hr, std::wstring(value.view())};
}

using Answer = std::pair<HRESULT, std::wstring>;

TEST(StringBundle, LoadsAFile) {
    BundleFile file(L"dialog.properties", "# Dialog strings\ntitle = Export\r\nempty=\nKey=upper\nkey=lower\n"
                                          "title=Export data");
    auto bundle = MakeObject<CStringBundle, IStringBundle>();
    ASSERT_EQ(Init(bundle.get(), file.path()), S_OK);
    EXPECT_EQ(Lookup(bundle.get(), L"title"), Answer(S_OK, L"Export data"));
    EXPECT_EQ(Lookup(bundle.get(), L"Key"), Answer(S_OK, L"upper"));
    EXPECT_EQ(Lookup(bundle.get(), L"key"), Answer(S_OK, L"lower"));
    EXPECT_EQ(Lookup(bundle.get(), L"KEY"), Answer(S_FALSE, L""));
    EXPECT_EQ(Lookup(bundle.get(), L"empty"), Answer(S_FALSE, L""));

    Bstr key(L"title"), value;
    EXPECT_EQ(bundle->GetStringFromName(nullptr, value.put()), E_INVALIDARG);
    EXPECT_EQ(bundle->GetStringFromName(key.get(), nullptr), E_POINTER);
    EXPECT_EQ(bundle->getSimpleEnumeration(nullptr), E_POINTER);
}

TEST(StringBundle, EmptySourcesLeaveTheBundleEmpty) {
    BundleFile empty(L"empty.properties", "");
    BundleFile comments(L"comments.properties", "# nothing\n\n  # here\nno pair\n");
    for (const BundleFile* file : {&empty, &comments}) {
        auto bundle = MakeObject<CStringBundle, IStringBundle>();
        EXPECT_EQ(Init(bundle.get(), file->path()), S_OK);
        EXPECT_EQ(Lookup(bundle.get(), L"title"), Answer(E_UNEXPECTED, L""));
        ComPtr<ISimpleEnumerator> enumeration;
        EXPECT_EQ(bundle->getSimpleEnumeration(enumeration.put()), E_UNEXPECTED);
    }
}

TEST(StringBundle, LoadsAModuleResourceWithoutRunningTheModule) {
    ASSERT_FALSE(TestModuleStarted());
    auto bundle = MakeObject<CStringBundle, IStringBundle>();
    ASSERT_EQ(Init(bundle.get(), L"res://" + TestModulePath() + L"/app.properties"), S_OK);
    EXPECT_EQ(Lookup(bundle.get(), L"title"), Answer(S_OK, L"Export data"));
    EXPECT_EQ(Lookup(bundle.get(), L"greeting"), Answer(S_OK, L"Gr\xFC\xDF"
                                                              L"e"));
    EXPECT_EQ(Lookup(bundle.get(), L"empty"), Answer(S_FALSE, L""));
    EXPECT_FALSE(TestModuleStarted()) << "the module's start-up code ran";

    // The trace works: an ordinary load does run the start-up code.
    HMODULE loaded = ::LoadLibraryW(TestModulePath().c_str());
    ASSERT_NE(loaded, nullptr);
    EXPECT_TRUE(TestModuleStarted());
    ::FreeLibrary(loaded);
    ::SetEnvironmentVariableW(kModuleStartedVariable, nullptr);
}

TEST(StringBundle, AFailingModuleSourceKeepsTheTable) {
    BundleFile notAModule(L"not-a-module.dll", "source=file\n");
    const std::wstring module = TestModulePath();
    const std::wstring failing[] = {
        L"res://" + module + L"/MISSING.PROPERTIES",
        L"res://" + module + L"/empty.properties", // a resource of zero bytes
        L"res://" + module,                        // no resource part: the module part is empty
        L"res://" + module + L"/",
        L"res://Z:\\no\\such\\module.dll/APP.PROPERTIES",
        L"res://" + notAModule.path() + L"/APP.PROPERTIES",
        L"chrome://zbt-cpp-unregistered/locale/app.properties",
        L"{zbt-cpp-unregistered}\\app.properties",
        L"C:\\data\\{app.properties",
    };
    for (const auto& url : failing) {
        SCOPED_TRACE(testing::Message() << "url: " << testing::PrintToString(url));
        auto bundle = MakeObject<CStringBundle, IStringBundle>();
        ASSERT_EQ(Init(bundle.get(), notAModule.path()), S_OK);
        EXPECT_EQ(Init(bundle.get(), url), E_FAIL);
        EXPECT_EQ(Lookup(bundle.get(), L"source"), Answer(S_OK, L"file"));
    }
}

TEST(StringBundle, AFailingFileSourceEmptiesTheTable) {
    // A path outside the readable places is refused before the table is touched.
    const struct {
        std::wstring url;
        HRESULT hr;
    } failing[] = {{TempFolder() + L"zbt-bundle-no-such-file.properties", E_FAIL},
                   {L"", E_FAIL},
                   {L"Z:\\no\\such\\file.properties", E_ACCESSDENIED},
                   {L"file:///C:/x.properties", E_ACCESSDENIED},
                   {L"http://localhost/x.properties", E_ACCESSDENIED}};
    for (const auto& [url, hr] : failing) {
        SCOPED_TRACE(testing::Message() << "url: " << testing::PrintToString(url));
        auto bundle = MakeObject<CStringBundle, IStringBundle>();
        ASSERT_EQ(Init(bundle.get(), L"res://" + TestModulePath() + L"/APP.PROPERTIES"), S_OK);
        EXPECT_EQ(Init(bundle.get(), url), hr);
        EXPECT_EQ(Lookup(bundle.get(), L"title"),
                  hr == E_FAIL ? Answer(E_UNEXPECTED, L"") : Answer(S_OK, L"Export data"));
    }
    auto bundle = MakeObject<CStringBundle, IStringBundle>();
    EXPECT_EQ(bundle->init(nullptr), E_FAIL);
}

TEST(StringBundle, ResolvesChromeUrlsAndTokensThroughTheExtensionsKey) {
    const bool low = UseLowStorage();
    ScopedExtension package(low, L"zbt-cpp-bundle-pkg", TestModulePath());
    const std::wstring folder = TestModulePath().substr(0, TestModulePath().find_last_of(L'\\'));
    ScopedExtension token(low, L"{zbt-cpp-bundle-id}", folder);

    auto bundle = MakeObject<CStringBundle, IStringBundle>();
    EXPECT_EQ(Init(bundle.get(), L"chrome://zbt-cpp-bundle-pkg/locale/en-US/App.Properties"), S_OK);
    EXPECT_EQ(Lookup(bundle.get(), L"source"), Answer(S_OK, L"module"));
    EXPECT_EQ(Init(bundle.get(), L"res://{zbt-cpp-bundle-id}\\zbt_bundle_module.dll/app.properties"), S_OK);
    EXPECT_EQ(Lookup(bundle.get(), L"source"), Answer(S_OK, L"module"));
    EXPECT_FALSE(TestModuleStarted());
}

} // namespace
