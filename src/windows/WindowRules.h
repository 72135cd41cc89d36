// Plain rules of the window manager: how the arguments of an open call become the values handed to the
// new page, where a new window goes, and which key records stand for a key with its modifiers.
#pragma once

#include "shared/Bstr.h"

#include <windows.h>
#include <oleauto.h>

#include <array>
#include <string_view>
#include <vector>

inline constexpr size_t kDialogParameterCount = 10;
using DialogParameters = std::array<const VARIANT*, kDialogParameterCount>;

// A parameter counts as supplied unless it is empty or an omitted optional argument (VT_ERROR).
bool IsSuppliedParameter(const VARIANT& value) noexcept;

// One more than the index of the last supplied parameter; 0 when none is supplied.
size_t DialogParameterCount(const DialogParameters& params) noexcept;

// Packs the counted parameters into a zero-based array of VARIANTs (VT_ARRAY | VT_VARIANT) in packed.
// Each value is copied through any reference: script engines pass their variables by reference, and
// the array outlives the call. No parameter: packed stays VT_EMPTY. On failure packed is empty.
HRESULT PackDialogParameters(const DialogParameters& params, Variant& packed) noexcept;

// Where a new window goes for a requested width and height.
struct WindowPlacement {
    enum class Kind { Default, FullScreen, Centered } kind = Kind::Default;
    LONG left = 0, top = 0, width = 0, height = 0;
};

// -1 x -1: full screen; both sizes positive: centred on the screen (a window larger than the screen
// gets a negative edge); anything else keeps the browser's own size and place.
WindowPlacement PlaceWindow(LONG width, LONG height, LONG screenWidth, LONG screenHeight) noexcept;

// The keyboard input records for a key and its modifiers: Ctrl, Shift, Alt (each only when exactly
// VARIANT_TRUE), then the key. Pressing stamps the modifiers with the time 4000 and leaves the key's
// time 0; releasing sends key-up records, all with time 0.
std::vector<INPUT> KeyRecords(LONG keyCode, VARIANT_BOOL shiftKey, VARIANT_BOOL ctrlKey, VARIANT_BOOL altKey,
                              bool release, ULONG_PTR extraInfo);

// True when address is a res: page of the module at modulePath (compared without regard to case for
// A-Z only). An empty module path matches nothing.
bool IsPageOfModule(std::wstring_view address, std::wstring_view modulePath);

// True when the module part of a res: address names its module as written: no percent escape, which
// the browser would decode into another path than the one checked.
bool NamesModulePlainly(std::wstring_view modulePath) noexcept;
