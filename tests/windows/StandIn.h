// The browser stand-in of the test prefix (tests/doubles/browser) as the C++ tests drive it: late-bound
// calls on its scriptable objects, its page module and its probe of live windows.
#pragma once

#include "support/ComTest.h"
#include "support/LibraryModule.h"

#include <string>

// The stand-in's page module (under tests\doubles beside the test program).
inline std::wstring PagesModulePath() {
    std::wstring path = LibraryModule::Path();
    path.resize(path.find_last_of(L"\\/") + 1);
    return path + L"tests\\doubles\\zbt_pages.dll";
}

// Address of a page of the stand-in's page module.
inline std::wstring PageUrl(const wchar_t* resource) {
    return L"res://" + PagesModulePath() + L"/" + resource;
}

// What ARGS.HTML's addArgument received, joined by ','; "<none>" when it cannot be read.
inline std::wstring Received(IDispatch* browser) {
    ComPtr<IDispatch> page = ObjectProperty(ObjectProperty(browser, L"Document").get(), L"parentWindow");
    Variant text;
    if (FAILED(CallMember(ObjectProperty(page.get(), L"received").get(), L"join", DISPATCH_METHOD,
                          {StringValue(L",")}, text.get())) ||
        text->vt != VT_BSTR)
        return L"<none>";
    return std::wstring(BstrView(text->bstrVal));
}

// The probe's count of live windows, and its calls without a result (pump, closeAll).
struct BrowserProbe {
    ComPtr<IDispatch> probe = CreateByProgId(L"Zembrolatix.Test.BrowserProbe");
    long count() {
        Variant value;
        if (FAILED(CallMember(probe.get(), L"count", DISPATCH_PROPERTYGET, {}, value.get())) ||
            FAILED(::VariantChangeType(value.get(), value.get(), 0, VT_I4)))
            return -1;
        return value->lVal;
    }
    void call(const wchar_t* name) {
        Variant ignored;
        CallMember(probe.get(), name, DISPATCH_METHOD, {}, ignored.get());
    }
};
