#include "files/DirectoryService.h"

#include "FilesTestSupport.h"
#include "support/ComTest.h"

namespace {

// Missing key or identifier, then a missing out pointer, then the identifier's value; the result
// slot is not touched by a refused call.
TEST(DirectoryService, ArgumentOrder) {
    ComPtr<IDirectoryService> service = MakeObject<CDirectoryService, IDirectoryService>();
    Bstr profd(L"ProfD"), empty(L""), iid(L"{F75B5C32-B42D-416D-93AC-8798869674CE}");
    Bstr noBraces(L"F75B5C32-B42D-416D-93AC-8798869674CE");
    VARIANT result = IntArg(42);
    EXPECT_EQ(service->get(nullptr, iid.get(), nullptr), E_INVALIDARG);
    EXPECT_EQ(service->get(empty.get(), iid.get(), &result), E_INVALIDARG);
    EXPECT_EQ(service->get(profd.get(), nullptr, &result), E_INVALIDARG);
    EXPECT_EQ(service->get(profd.get(), iid.get(), nullptr), E_POINTER);
    EXPECT_EQ(service->get(profd.get(), empty.get(), &result), E_FAIL);
    EXPECT_EQ(service->get(profd.get(), noBraces.get(), &result), E_FAIL);
    EXPECT_EQ(result.vt, VT_I4);
    EXPECT_EQ(result.lVal, 42);
}

} // namespace
