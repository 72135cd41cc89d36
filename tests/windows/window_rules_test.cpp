// Values packed for a new page, and the dialog frame's class name.
#include "windows/BrowserWindow.h"
#include "windows/WindowRules.h"
#include "support/ComTest.h"

#include <gtest/gtest.h>

namespace {

// Script engines pass variables by reference: the packed array holds the value, not the reference,
// since it is read again long after the variable has changed or is gone. Values are counted up to the
// last supplied one; omitted ones below it go as they came.
TEST(DialogParameters, PackedUpToTheLastSuppliedValueAndCopiedThroughReferences) {
    Variant variable;
    *variable.get() = StringValue(L"before");
    VARIANT values[kDialogParameterCount];
    DialogParameters params{};
    for (size_t i = 0; i < kDialogParameterCount; ++i) {
        values[i] = MissingArg();
        params[i] = &values[i];
    }
    values[2] = RefArg(variable.get());
    values[3] = Arg(VT_EMPTY); // not counted

    Variant packed;
    ASSERT_EQ(PackDialogParameters(params, packed), S_OK);
    ASSERT_EQ(packed->vt, VT_ARRAY | VT_VARIANT);
    LONG lower = -1, upper = -1;
    ::SafeArrayGetLBound(packed->parray, 1, &lower);
    ::SafeArrayGetUBound(packed->parray, 1, &upper);
    EXPECT_EQ(lower, 0);
    EXPECT_EQ(upper, 2);

    ::SysFreeString(variable->bstrVal);
    variable->bstrVal = ::SysAllocString(L"after");
    Variant first, third;
    LONG index = 0;
    ASSERT_EQ(::SafeArrayGetElement(packed->parray, &index, first.get()), S_OK);
    EXPECT_EQ(first->vt, VT_ERROR);
    index = 2;
    ASSERT_EQ(::SafeArrayGetElement(packed->parray, &index, third.get()), S_OK);
    ASSERT_EQ(third->vt, VT_BSTR);
    EXPECT_STREQ(third->bstrVal, L"before");

    values[2].vt = VT_EMPTY;
    ASSERT_EQ(PackDialogParameters(params, packed), S_OK);
    EXPECT_EQ(packed->vt, VT_EMPTY) << "nothing supplied, no array";
}

TEST(DialogFrame, OnlyTheExactClassName) {
    EXPECT_TRUE(IsDialogFrameClass(L"Internet Explorer_TridentDlgFrame"));
    EXPECT_FALSE(IsDialogFrameClass(L"internet explorer_tridentdlgframe"));
    EXPECT_FALSE(IsDialogFrameClass(L"Internet Explorer_TridentDlgFrameX"));
    EXPECT_FALSE(IsDialogFrameClass(L"Internet Explorer_TridentDlg"));
}

} // namespace
