#include "files/FileInputStream.h"
#include "files/FileOutputStream.h"
#include "files/LocalFile.h"

#include "FilesTestSupport.h"

#include <psapi.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

std::string ReadAll(const std::wstring& path) {
    HANDLE h = ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                             OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE) return "<missing>";
    std::string out;
    char buffer[65536];
    DWORD read = 0;
    while (::ReadFile(h, buffer, sizeof(buffer), &read, nullptr) && read)
        out.append(buffer, read);
    ::CloseHandle(h);
    return out;
}

ComPtr<IFileOutputStream> OpenOutput(const std::wstring& path, LONG ioFlags = 0x08) {
    ComPtr<IFileOutputStream> stream = MakeObject<CFileOutputStream, IFileOutputStream>();
    ComPtr<ILocalFile> file = MakeLocalFile<CLocalFile>(path, VARIANT_TRUE);
    EXPECT_EQ(stream->init(file.get(), ioFlags, 0, 0), S_OK);
    return stream;
}

// Missing or empty input, then a missing out pointer, then the state of the stream.
TEST(FileOutputStream, WriteArgumentOrder) {
    ComPtr<IFileOutputStream> stream = MakeObject<CFileOutputStream, IFileOutputStream>();
    Bstr text(L"abc"), empty(L"");
    LONG n = 99;
    EXPECT_EQ(stream->write(nullptr, 1, nullptr), E_INVALIDARG);
    EXPECT_EQ(stream->write(empty.get(), 0, nullptr), E_INVALIDARG);
    EXPECT_EQ(stream->write(text.get(), 0, nullptr), E_INVALIDARG);
    EXPECT_EQ(stream->write(text.get(), 4, nullptr), E_INVALIDARG);
    EXPECT_EQ(stream->write(text.get(), -1, nullptr), E_INVALIDARG);
    EXPECT_EQ(stream->write(text.get(), 3, nullptr), E_POINTER);
    EXPECT_EQ(stream->write(text.get(), 3, &n), E_UNEXPECTED);
    EXPECT_EQ(n, 99);
    EXPECT_EQ(stream->init(nullptr, 0, 0, 0), E_INVALIDARG);
    EXPECT_EQ(stream->tell(nullptr), E_POINTER);

    ComPtr<IFileInputStream> input = MakeObject<CFileInputStream, IFileInputStream>();
    EXPECT_EQ(input->init(nullptr, 0, 0, 0), E_INVALIDARG);
    EXPECT_EQ(input->tell(nullptr), E_POINTER);
    EXPECT_EQ(input->available(nullptr), E_POINTER);
    ULONGLONG value = 5;
    EXPECT_EQ(input->available(&value), E_FAIL);
    EXPECT_EQ(input->tell(&value), E_FAIL);
    EXPECT_EQ(value, 5u);
}

// ASCII, a pair and a three-byte unit in turn: a long text of them puts a pair across any position
// at which a writer might cut it.
std::wstring Long(size_t units) {
    std::wstring text;
    while (text.size() < units)
        text += L"ab\U0001F600\u20AC";
    text.resize(units);
    return text;
}

// Exactly count units are converted; a pair cut by count yields only what the conversion reports, and
// never a byte of the unit left out.
TEST(FileOutputStream, WritesExactlyCountUnits) {
    const struct {
        std::wstring text;
        LONG count;
    } cases[] = {
        {L"abcdef", 3},
        {L"\u00E9", 1},
        {L"a\U0001F600b", 3},
        {L"a\U0001F600b", 2},
        {L"\U0001F600", 1},
        {std::wstring(1, L'\xDE00') + L"x", 1},
        {L"\u20AC\u20AC", 1},
        // Long texts, whole and cut in the middle of a pair.
        {Long(40000), 40000},
        {Long(70001), 70001},
        {Long(70001), 32768},
    };
    for (const auto& c : cases) {
        TempFile name(L"count");
        std::string expected;
        {
            ComPtr<IFileOutputStream> stream = OpenOutput(name.path());
            Bstr text(c.text);
            LONG n = -1;
            ASSERT_EQ(stream->write(text.get(), c.count, &n), S_OK);
            int size =
                ::WideCharToMultiByte(CP_UTF8, 0, c.text.data(), c.count, nullptr, 0, nullptr, nullptr);
            expected.resize(static_cast<size_t>(size));
            ::WideCharToMultiByte(CP_UTF8, 0, c.text.data(), c.count, expected.data(), size, nullptr,
                                  nullptr);
            EXPECT_EQ(n, size);
        }
        EXPECT_EQ(ReadAll(name.path()), expected) << "count " << c.count;
        // Nothing of the units after count: the next unit's bytes never appear.
        int fullSize = ::WideCharToMultiByte(CP_UTF8, 0, c.text.data(), static_cast<int>(c.text.size()),
                                             nullptr, 0, nullptr, nullptr);
        EXPECT_LE(expected.size(), static_cast<size_t>(fullSize));
    }
    TempFile name(L"exact");
    {
        ComPtr<IFileOutputStream> stream = OpenOutput(name.path());
        Bstr text(L"abcdef"), accent(L"\u00E9");
        LONG n = 0;
        ASSERT_EQ(stream->write(text.get(), 3, &n), S_OK);
        EXPECT_EQ(n, 3);
        ASSERT_EQ(stream->write(accent.get(), 1, &n), S_OK);
        EXPECT_EQ(n, 2);
    }
    EXPECT_EQ(ReadAll(name.path()), "abc\xC3\xA9");
}

// The process's committed private memory. Windows reports it in both fields; Wine fills only the
// page-file usage (from the Linux process's anonymous memory).
SIZE_T PrivateBytes() {
    PROCESS_MEMORY_COUNTERS_EX counters{};
    counters.cb = sizeof(counters);
    ::GetProcessMemoryInfo(::GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters),
                           sizeof(counters));
    return std::max(counters.PrivateUsage, counters.PagefileUsage);
}

// 64 MiB through write in strings of 4 KiB of UTF-8 each arrive byte for byte, and the process does not
// keep what it converted.
TEST(FileOutputStream, LargeWriteIsExactAndBounded) {
    constexpr int kStrings = 16384;
    // 1024 ASCII units, 512 two-byte, 512 three-byte and 128 four-byte characters: 4096 bytes of UTF-8.
    std::wstring unit;
    std::string unitBytes;
    for (int i = 0; i < 1024; ++i)
        unit += wchar_t(L'a' + i % 26), unitBytes += char('a' + i % 26);
    for (int i = 0; i < 512; ++i)
        unit += L'\u00E9', unitBytes += "\xC3\xA9";
    for (int i = 0; i < 512; ++i)
        unit += L'\u20AC', unitBytes += "\xE2\x82\xAC";
    for (int i = 0; i < 128; ++i)
        unit += L"\U0001F600", unitBytes += "\xF0\x9F\x98\x80";
    ASSERT_EQ(unitBytes.size(), 4096u);

    TempFile name(L"large");
    Bstr text(unit);
    ComPtr<IFileOutputStream> stream = OpenOutput(name.path());
    LONG n = 0;
    // Warm up, so that what the first calls settle for good is not counted.
    for (int i = 0; i < 64; ++i)
        ASSERT_EQ(stream->write(text.get(), static_cast<LONG>(unit.size()), &n), S_OK);
    const SIZE_T before = PrivateBytes();
    ASSERT_GT(before, 0u) << "the memory counters are not available";
    for (int i = 64; i < kStrings; ++i) {
        ASSERT_EQ(stream->write(text.get(), static_cast<LONG>(unit.size()), &n), S_OK);
        ASSERT_EQ(n, 4096);
    }
    const SIZE_T after = PrivateBytes();
    ASSERT_EQ(stream->close(), S_OK);
    // Keeping even a quarter of what passed through would show as 16 MiB.
    EXPECT_LT(after > before ? after - before : 0, SIZE_T(4) << 20)
        << "before " << before << ", after " << after;

    std::string content = ReadAll(name.path());
    ASSERT_EQ(content.size(), size_t(kStrings) * 4096);
    for (int i = 0; i < kStrings; ++i)
        if (content.compare(size_t(i) * 4096, 4096, unitBytes) != 0) FAIL() << "string " << i << " differs";
}

// An unsafe local file is refused before anything is stored, opened, created or emptied.
TEST(FileOutputStream, UnsafeTargetRefusedKeepingState) {
    TempFile held(L"held"), victim(L"victim");
    ComPtr<IFileOutputStream> stream = OpenOutput(held.path());
    ComPtr<ILocalFile> unsafe = MakeLocalFile<CLocalFile>(victim.path(), VARIANT_FALSE);
    for (LONG flags : {0, 0x02, 0x08, 0x10, 0x18, 0x20, 0x7FFFFFFF, -1})
        EXPECT_EQ(stream->init(unsafe.get(), flags, 0, 0), E_ACCESSDENIED) << flags;
    EXPECT_EQ(::GetFileAttributesW(victim.path().c_str()), INVALID_FILE_ATTRIBUTES);
    ComPtr<ISafeLocalFile> inner;
    ASSERT_EQ(stream.As(inner), S_OK);
    Bstr path;
    ASSERT_EQ(inner->GetPath(path.put()), S_OK);
    EXPECT_EQ(path.view(), held.path());
    Bstr text(L"still");
    LONG n = 0;
    EXPECT_EQ(stream->write(text.get(), 5, &n), S_OK);
    inner.reset();
    stream.reset();
    EXPECT_EQ(ReadAll(held.path()), "still");
}

} // namespace
