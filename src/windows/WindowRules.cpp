#include "windows/WindowRules.h"

#include "bundles/ResourceUrl.h"
#include "shared/SafeArray.h"
#include "shared/TextUtil.h"

bool IsSuppliedParameter(const VARIANT& value) noexcept {
    return value.vt != VT_EMPTY && value.vt != VT_ERROR;
}

size_t DialogParameterCount(const DialogParameters& params) noexcept {
    for (size_t i = params.size(); i > 0; --i)
        if (params[i - 1] && IsSuppliedParameter(*params[i - 1])) return i;
    return 0;
}

HRESULT PackDialogParameters(const DialogParameters& params, Variant& packed) noexcept {
    ::VariantClear(packed.get());
    const size_t count = DialogParameterCount(params);
    if (count == 0) return S_OK;

    SafeArray array(::SafeArrayCreateVector(VT_VARIANT, 0, static_cast<ULONG>(count)));
    if (!array) return E_OUTOFMEMORY;
    for (LONG i = 0; i < static_cast<LONG>(count); ++i) {
        void* element = nullptr;
        HRESULT hr = ::SafeArrayPtrOfIndex(array.get(), &i, &element);
        if (FAILED(hr)) return hr;
        // An unset parameter below a supplied one stays as automation delivered it.
        if (!params[i]) continue;
        hr = ::VariantCopyInd(static_cast<VARIANT*>(element), const_cast<VARIANT*>(params[i]));
        if (FAILED(hr)) return hr;
    }
    packed->vt = VT_ARRAY | VT_VARIANT;
    packed->parray = array.Detach();
    return S_OK;
}

WindowPlacement PlaceWindow(LONG width, LONG height, LONG screenWidth, LONG screenHeight) noexcept {
    WindowPlacement placement;
    if (width == -1 && height == -1) {
        placement.kind = WindowPlacement::Kind::FullScreen;
    } else if (width > 0 && height > 0) {
        placement.kind = WindowPlacement::Kind::Centered;
        placement.left = (screenWidth - width) / 2;
        placement.top = (screenHeight - height) / 2;
        placement.width = width;
        placement.height = height;
    }
    return placement;
}

std::vector<INPUT> KeyRecords(LONG keyCode, VARIANT_BOOL shiftKey, VARIANT_BOOL ctrlKey, VARIANT_BOOL altKey,
                              bool release, ULONG_PTR extraInfo) {
    std::vector<INPUT> records;
    auto add = [&](WORD key, DWORD time) {
        INPUT record{};
        record.type = INPUT_KEYBOARD;
        record.ki.wVk = key;
        record.ki.wScan = 0;
        record.ki.dwFlags = release ? KEYEVENTF_KEYUP : 0;
        record.ki.time = release ? 0 : time;
        record.ki.dwExtraInfo = extraInfo;
        records.push_back(record);
    };
    constexpr DWORD kModifierTime = 4000;
    if (ctrlKey == VARIANT_TRUE) add(VK_CONTROL, kModifierTime);
    if (shiftKey == VARIANT_TRUE) add(VK_SHIFT, kModifierTime);
    if (altKey == VARIANT_TRUE) add(VK_MENU, kModifierTime);
    add(static_cast<WORD>(keyCode & 0xFFFF), 0);
    return records;
}

bool IsPageOfModule(std::wstring_view address, std::wstring_view modulePath) {
    if (modulePath.empty() || !IsResUrl(address)) return false;
    return EqualsIgnoreAsciiCase(GetResModulePath(address), modulePath);
}

bool NamesModulePlainly(std::wstring_view modulePath) noexcept {
    return modulePath.find(L'%') == std::wstring_view::npos;
}
