// Shared helpers of the files tests.
#pragma once

#include "support/ComTest.h"
#include "support/TempFile.h"

#include "Zembrolatix.h"

#include <gtest/gtest.h>

#include <string>

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
