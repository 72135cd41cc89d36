// Shared helpers of the files tests: objects made straight from their classes, temporary names.
#pragma once

#include "shared/Bstr.h"
#include "shared/ComPtr.h"

#include "Zembrolatix.h"

#include <gtest/gtest.h>

#include <string>

// A new instance of class T asked for interface I.
template <class T, class I> ComPtr<I> MakeObject() {
    ComPtr<I> object;
    EXPECT_EQ(T::CreateInstance(nullptr, __uuidof(I), object.put_void()), S_OK);
    return object;
}

// A path in the temporary folder under a name no other test uses; the file is removed on destruction.
class TempName {
public:
    explicit TempName(const wchar_t* tag) {
        wchar_t folder[MAX_PATH] = {};
        ::GetTempPathW(MAX_PATH, folder);
        m_path =
            std::wstring(folder) + L"zmb_files_cpp_" + std::to_wstring(::GetCurrentProcessId()) + L"_" + tag;
        ::DeleteFileW(m_path.c_str());
    }
    ~TempName() { ::DeleteFileW(m_path.c_str()); }
    TempName(const TempName&) = delete;
    TempName& operator=(const TempName&) = delete;
    const std::wstring& path() const { return m_path; }
    BSTR bstr() {
        m_text = Bstr(m_path);
        return m_text.get();
    }

private:
    std::wstring m_path;
    Bstr m_text;
};

// A local file whose path and flag are given verbatim, as the library's own objects hand them over.
template <class LocalFileClass>
ComPtr<ILocalFile> MakeLocalFile(const std::wstring& path, VARIANT_BOOL safe) {
    ComPtr<ILocalFile> file = MakeObject<LocalFileClass, ILocalFile>();
    ComPtr<ISafeLocalFile> inner;
    EXPECT_EQ(file.As(inner), S_OK);
    Bstr text(path);
    EXPECT_EQ(inner->init(text.get(), safe), S_OK);
    return file;
}
