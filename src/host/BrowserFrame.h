// The browser frame window behind a page's window object.
#pragma once

#include <windows.h>
#include <oaidl.h>

// The frame window of the browser showing the page whose window object is page: the page's top window
// asked for its web browser application service. None when page is not a page window, or when any
// step on the way fails.
HWND BrowserFrameOf(IDispatch* page) noexcept;
