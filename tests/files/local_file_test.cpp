#include "files/LocalFile.h"

#include "FilesTestSupport.h"
#include "support/ComTest.h"

#include "TestStubs.h"

namespace {

std::wstring PathOf(ISafeLocalFile* file) {
    Bstr path;
    EXPECT_EQ(file->GetPath(path.put()), S_OK);
    return std::wstring(path.view());
}

bool SafeOf(ISafeLocalFile* file) {
    VARIANT_BOOL safe = 7;
    EXPECT_EQ(file->GetSafe(&safe), S_OK);
    EXPECT_TRUE(safe == VARIANT_TRUE || safe == VARIANT_FALSE);
    return safe == VARIANT_TRUE;
}

ComPtr<ISafeLocalFile> MakeSafeLocalFile() {
    return MakeObject<CLocalFile, ISafeLocalFile>();
}

// Only the 16-bit value -1 sets the flag, through init and SetSafe alike.
TEST(SafeLocalFile, OnlyMinusOneSetsTheFlag) {
    const struct {
        VARIANT_BOOL value;
        bool safe;
    } cases[] = {{VARIANT_TRUE, true}, {VARIANT_FALSE, false}, {1, false}, {-2, false}, {0x7FFF, false}};
    ComPtr<ISafeLocalFile> file = MakeSafeLocalFile();
    Bstr path(L"C:\\x");
    for (const auto& c : cases) {
        ASSERT_EQ(file->init(path.get(), VARIANT_TRUE), S_OK);
        ASSERT_EQ(file->init(path.get(), c.value), S_OK);
        EXPECT_EQ(SafeOf(file.get()), c.safe) << "init " << c.value;
        ASSERT_EQ(file->SetSafe(VARIANT_TRUE), S_OK);
        ASSERT_EQ(file->SetSafe(c.value), S_OK);
        EXPECT_EQ(SafeOf(file.get()), c.safe) << "SetSafe " << c.value;
        EXPECT_EQ(PathOf(file.get()), L"C:\\x") << "SetSafe leaves the path";
    }
}

// init stores the path exactly as given: no separator is turned or dropped, and no rule is applied.
TEST(SafeLocalFile, PathsAreStoredVerbatim) {
    const wchar_t* paths[] = {L"C:/a//b/", L"C:\\x\\", L"rel\\..\\..\\x", L"\\\\?\\C:\\a\\..",
                              L"C:\\Windows"};
    ComPtr<ISafeLocalFile> file = MakeSafeLocalFile();
    for (const wchar_t* p : paths) {
        Bstr path(p);
        ASSERT_EQ(file->init(path.get(), VARIANT_TRUE), S_OK);
        EXPECT_EQ(PathOf(file.get()), p);
        EXPECT_TRUE(SafeOf(file.get())) << p;
    }
}

// Missing input first (E_INVALIDARG, nothing changes), then a missing out pointer (E_POINTER).
TEST(SafeLocalFile, ArgumentChecks) {
    ComPtr<ISafeLocalFile> file = MakeSafeLocalFile();
    Bstr path(L"C:\\kept"), empty(L"");
    ASSERT_EQ(file->init(path.get(), VARIANT_TRUE), S_OK);
    EXPECT_EQ(file->init(nullptr, VARIANT_FALSE), E_INVALIDARG);
    EXPECT_EQ(file->init(empty.get(), VARIANT_FALSE), E_INVALIDARG);
    EXPECT_EQ(PathOf(file.get()), L"C:\\kept");
    EXPECT_TRUE(SafeOf(file.get()));
    EXPECT_EQ(file->GetSafe(nullptr), E_POINTER);
    EXPECT_EQ(file->GetPath(nullptr), E_POINTER);

    ComPtr<ILocalFile> local;
    ASSERT_EQ(file.As(local), S_OK);
    EXPECT_EQ(local->GetSafe(nullptr), E_POINTER);
    EXPECT_EQ(local->get_path(nullptr), E_POINTER);
    EXPECT_EQ(local->get_nativePath(nullptr), E_POINTER);
    EXPECT_EQ(local->get_leafName(nullptr), E_POINTER);
    EXPECT_EQ(local->get_nativeLeafName(nullptr), E_POINTER);
    EXPECT_EQ(local->exists(nullptr), E_POINTER);
    EXPECT_EQ(local->isDirectory(nullptr), E_POINTER);
    EXPECT_EQ(local->get_fileSize(nullptr), E_POINTER);
    EXPECT_EQ(local->initWithPath(nullptr), E_INVALIDARG);
    EXPECT_EQ(local->initWithNativePath(empty.get()), E_INVALIDARG);
    EXPECT_EQ(local->append(nullptr), E_INVALIDARG);
    EXPECT_EQ(local->initWithFile(nullptr), E_INVALIDARG);
    EXPECT_EQ(PathOf(file.get()), L"C:\\kept");
    EXPECT_TRUE(SafeOf(file.get()));
    // The script methods over the interface table: a missing identifier before a missing out pointer.
    EXPECT_EQ(local->QueryInterface(static_cast<BSTR>(nullptr), nullptr), E_INVALIDARG);
    EXPECT_EQ(local->Implements(static_cast<BSTR>(nullptr), nullptr), E_POINTER);
}

// A stand-in local file whose answers a test chooses.
class FakeLocalFile : public DispatchStubs<ILocalFileStubs> {
public:
    HRESULT pathResult = S_OK, safeResult = S_OK;
    const wchar_t* path = L"";
    VARIANT_BOOL safe = VARIANT_FALSE;

    STDMETHOD(QueryInterface)(REFIID iid, void** ppv) noexcept override {
        if (iid == IID_IUnknown || iid == IID_ILocalFile) {
            *ppv = static_cast<ILocalFile*>(this);
            return S_OK;
        }
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    using ILocalFileStubs::QueryInterface;
    STDMETHOD_(ULONG, AddRef)() noexcept override { return 2; }
    STDMETHOD_(ULONG, Release)() noexcept override { return 1; }
    STDMETHOD(get_nativePath)(BSTR* out) noexcept override {
        if (FAILED(pathResult)) return pathResult;
        return BstrCopyOut(path, out);
    }
    STDMETHOD(GetSafe)(VARIANT_BOOL* out) noexcept override {
        if (FAILED(safeResult)) return safeResult;
        *out = safe;
        return S_OK;
    }
};

// initWithFile takes path and flag as they are, never recomputing either; a failing or empty source
// leaves the object as it was.
TEST(LocalFile, InitWithFileCopies) {
    const struct {
        const wchar_t* path;
        VARIANT_BOOL safe;
        HRESULT pathResult, safeResult, expected;
        bool copied;
        bool safeAfter;
    } cases[] = {
        {L"C:\\x\\", VARIANT_TRUE, S_OK, S_OK, S_OK, true, true},
        {L"C:/a//b/", VARIANT_TRUE, S_OK, S_OK, S_OK, true, true},
        {L"C:\\Windows\\x", VARIANT_TRUE, S_OK, S_OK, S_OK, true, true},
        {L"C:\\users\\root\\AppData\\LocalLow\\Zembrolatix\\a", VARIANT_FALSE, S_OK, S_OK, S_OK, true, false},
        {L"C:\\x", 1, S_OK, S_OK, S_OK, true, false},
        {L"", VARIANT_TRUE, S_OK, S_OK, E_INVALIDARG, false, false},
        {L"C:\\x", VARIANT_TRUE, HRESULT(0x80070020), S_OK, HRESULT(0x80070020), false, false},
        {L"C:\\x", VARIANT_TRUE, S_OK, HRESULT(0x8000FFFF), HRESULT(0x8000FFFF), false, false},
    };
    for (const auto& c : cases) {
        ComPtr<ISafeLocalFile> target = MakeSafeLocalFile();
        Bstr before(L"C:\\before");
        ASSERT_EQ(target->init(before.get(), VARIANT_FALSE), S_OK);
        FakeLocalFile source;
        source.path = c.path;
        source.safe = c.safe;
        source.pathResult = c.pathResult;
        source.safeResult = c.safeResult;
        ComPtr<ILocalFile> local;
        ASSERT_EQ(target.As(local), S_OK);
        EXPECT_EQ(local->initWithFile(&source), c.expected) << c.path;
        EXPECT_EQ(PathOf(target.get()), c.copied ? c.path : L"C:\\before") << c.path;
        EXPECT_EQ(SafeOf(target.get()), c.safeAfter) << c.path;
    }
    // From a real object: its trailing separator and its flag come across.
    ComPtr<ILocalFile> source = MakeLocalFile<CLocalFile>(L"C:\\tmp\\", VARIANT_TRUE);
    ComPtr<ILocalFile> target = MakeObject<CLocalFile, ILocalFile>();
    ASSERT_EQ(target->initWithFile(source.get()), S_OK);
    Bstr path;
    ASSERT_EQ(target->get_path(path.put()), S_OK);
    EXPECT_EQ(path.view(), L"C:\\tmp\\");
    VARIANT_BOOL safe = VARIANT_FALSE;
    ASSERT_EQ(target->GetSafe(&safe), S_OK);
    EXPECT_EQ(safe, VARIANT_TRUE);
}

// The exact results a script sees only as success or failure: S_FALSE for a missing file.
TEST(LocalFile, CreateAndRemoveResults) {
    TempFile name(L"results");
    ComPtr<ILocalFile> file = MakeLocalFile<CLocalFile>(name.path(), VARIANT_TRUE);
    EXPECT_EQ(file->create(0, 0644), S_OK);
    EXPECT_EQ(file->create(0, 0644), E_FAIL);
    EXPECT_EQ(file->remove(VARIANT_FALSE), S_OK);
    EXPECT_EQ(file->remove(VARIANT_FALSE), S_FALSE);
    EXPECT_EQ(file->create(1, 0755), S_OK);
    EXPECT_EQ(file->create(1, 0755), S_OK);
    EXPECT_EQ(file->remove(VARIANT_TRUE), S_OK);
    ComPtr<ILocalFile> unsafe = MakeLocalFile<CLocalFile>(name.path(), VARIANT_FALSE);
    EXPECT_EQ(unsafe->create(0, 0), E_ACCESSDENIED);
    EXPECT_EQ(unsafe->remove(VARIANT_FALSE), E_ACCESSDENIED);
    EXPECT_EQ(::GetFileAttributesW(name.path().c_str()), INVALID_FILE_ATTRIBUTES);
    ComPtr<ILocalFile> empty = MakeObject<CLocalFile, ILocalFile>();
    EXPECT_EQ(empty->create(0, 0), E_UNEXPECTED);
    EXPECT_EQ(empty->remove(VARIANT_FALSE), E_UNEXPECTED);
}

} // namespace
