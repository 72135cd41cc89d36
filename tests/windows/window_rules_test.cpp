// The plain rules of the window manager: packing the values handed to a new page, placing a new window
// and recognising the HTML dialog frame.
#include "shared/SafeArray.h"
#include "windows/BrowserWindow.h"
#include "windows/WindowRules.h"

#include <gtest/gtest.h>

namespace {

VARIANT Int(LONG n) {
    VARIANT v;
    v.vt = VT_I4;
    v.lVal = n;
    return v;
}
VARIANT Typed(VARTYPE type) {
    VARIANT v;
    ::VariantInit(&v);
    v.vt = type;
    if (type == VT_ERROR) v.scode = DISP_E_PARAMNOTFOUND;
    return v;
}

DialogParameters Pointers(VARIANT (&values)[kDialogParameterCount]) {
    DialogParameters params{};
    for (size_t i = 0; i < kDialogParameterCount; ++i)
        params[i] = &values[i];
    return params;
}

TEST(DialogParameters, CountEndsAtTheLastSuppliedValueAndKeepsTheGapsBelowIt) {
    struct Case {
        std::vector<std::pair<size_t, VARIANT>> set;
        size_t count;
    };
    const Case cases[] = {
        {{}, 0},
        {{{0, Int(7)}}, 1},
        {{{2, Int(7)}}, 3},                       // param0 and param1 omitted, still counted
        {{{0, Int(7)}, {1, Typed(VT_EMPTY)}}, 1}, // a trailing empty value is not counted
        {{{9, Int(7)}}, 10},
        {{{3, Typed(VT_NULL)}}, 4}, // null is a value
    };
    for (size_t c = 0; c < std::size(cases); ++c) {
        VARIANT values[kDialogParameterCount];
        for (VARIANT& v : values)
            v = Typed(VT_ERROR);
        for (const auto& [index, value] : cases[c].set)
            values[index] = value;
        EXPECT_EQ(DialogParameterCount(Pointers(values)), cases[c].count) << "case " << c;
    }
}

// Script engines pass variables by reference: the packed array holds the value, not the reference,
// since the array is read again long after the variable is gone or has changed.
TEST(DialogParameters, PackedValuesAreCopiedThroughReferences) {
    Variant variable;
    variable->vt = VT_BSTR;
    variable->bstrVal = ::SysAllocString(L"before");
    VARIANT values[kDialogParameterCount];
    for (VARIANT& v : values)
        v = Typed(VT_ERROR);
    values[1].vt = VT_BYREF | VT_VARIANT;
    values[1].pvarVal = variable.get();

    Variant packed;
    ASSERT_EQ(PackDialogParameters(Pointers(values), packed), S_OK);
    ASSERT_EQ(packed->vt, VT_ARRAY | VT_VARIANT);
    LONG lower = -1, upper = -1;
    ::SafeArrayGetLBound(packed->parray, 1, &lower);
    ::SafeArrayGetUBound(packed->parray, 1, &upper);
    EXPECT_EQ(lower, 0);
    EXPECT_EQ(upper, 1);

    ::SysFreeString(variable->bstrVal);
    variable->bstrVal = ::SysAllocString(L"after");
    LONG index = 0;
    Variant first, second;
    ASSERT_EQ(::SafeArrayGetElement(packed->parray, &index, first.get()), S_OK);
    EXPECT_EQ(first->vt, VT_ERROR) << "an omitted value below a supplied one goes as it came";
    index = 1;
    ASSERT_EQ(::SafeArrayGetElement(packed->parray, &index, second.get()), S_OK);
    ASSERT_EQ(second->vt, VT_BSTR);
    EXPECT_STREQ(second->bstrVal, L"before");

    VARIANT none[kDialogParameterCount];
    for (VARIANT& v : none)
        v = Typed(VT_ERROR);
    ASSERT_EQ(PackDialogParameters(Pointers(none), packed), S_OK);
    EXPECT_EQ(packed->vt, VT_EMPTY);
}

TEST(PlaceWindow, CentredFullScreenOrLeftToTheBrowser) {
    using Kind = WindowPlacement::Kind;
    struct Case {
        LONG width, height;
        Kind kind;
        LONG left, top;
    } const cases[] = {
        {400, 300, Kind::Centered, 312, 234}, {1024, 768, Kind::Centered, 0, 0},
        {1025, 769, Kind::Centered, 0, 0},    {1200, 300, Kind::Centered, -88, 234},
        {-1, -1, Kind::FullScreen, 0, 0},     {-1, 300, Kind::Default, 0, 0},
        {0, 0, Kind::Default, 0, 0},          {400, 0, Kind::Default, 0, 0},
        {-2, -2, Kind::Default, 0, 0},        {400, -1, Kind::Default, 0, 0},
    };
    for (const Case& c : cases) {
        const WindowPlacement place = PlaceWindow(c.width, c.height, 1024, 768);
        EXPECT_EQ(place.kind, c.kind) << c.width << " x " << c.height;
        if (c.kind != Kind::Centered) continue;
        EXPECT_EQ(place.left, c.left) << c.width << " x " << c.height;
        EXPECT_EQ(place.top, c.top) << c.width << " x " << c.height;
        EXPECT_EQ(place.width, c.width);
        EXPECT_EQ(place.height, c.height);
    }
}

TEST(DialogFrame, OnlyTheExactClassName) {
    EXPECT_TRUE(IsDialogFrameClass(L"Internet Explorer_TridentDlgFrame"));
    EXPECT_FALSE(IsDialogFrameClass(L"internet explorer_tridentdlgframe"));
    EXPECT_FALSE(IsDialogFrameClass(L"Internet Explorer_TridentDlgFrameX"));
    EXPECT_FALSE(IsDialogFrameClass(L"Internet Explorer_TridentDlg"));
    EXPECT_FALSE(IsDialogFrameClass(L""));
}

} // namespace
