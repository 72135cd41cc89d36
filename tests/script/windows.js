// WindowManager and ArgumentTransfer as a script application uses them: its own pages, named by chrome
// URL, opened in stripped browser windows with values for the page. The test prefix answers
// "InternetExplorer.Application" with the browser stand-in of tests/doubles/browser, whose probe lists
// this process's windows. The page module is registered as a package under the low Extensions key and
// removed at the end.
// test-lock: foreground-window
var BUILD = WScript.Arguments(0);
var PAGES = BUILD + "\\tests\\doubles\\zbt_pages.dll";
var RES = "res://" + PAGES + "/";
var EXTENSIONS = "HKCU\\Software\\Microsoft\\Internet Explorer\\LowRegistry\\Belvanquist\\Zembrolatix\\Extensions\\";
var PACKAGE = "zbt-js-windows";
var wm = new ActiveXObject("Zembrolatix.WindowManager");
var probe = new ActiveXObject("Zembrolatix.Test.BrowserProbe");
SH.RegWrite(EXTENSIONS + PACKAGE + "\\", PAGES, "REG_SZ");

function chrome(page) { return "chrome://" + PACKAGE + "/content/" + page; }
// The one window the calls since the last closeAll() made.
function opened(what) {
    eq(probe.count, 1, what + ": one window");
    return probe.item(probe.count - 1);
}
// What the page's addArgument received, as a script array of this engine.
function received(browser) {
    var r = browser.Document.parentWindow.received, out = [];
    for (var i = 0; i < r.length; i++) out.push(r[i]);
    return out;
}
function closeAll() {
    probe.closeAll();
    probe.pump();
}

test("openDialog shows the page stripped and centred, and hands it the values in order", function () {
    var object = { n: 1 };
    eq(wm.resolveURL(chrome("args.html")), RES + "ARGS.HTML");
    wm.openDialog(chrome("args.html"), 400, 300, "a", 2, object);
    var b = opened("openDialog");
    eq(b.LocationURL, RES + "ARGS.HTML");
    var expected = [true, false, false, false, 0, false, 400, 300, (probe.screenWidth - 400) >> 1,
                    (probe.screenHeight - 300) >> 1];
    eq([b.Visible, b.AddressBar, b.MenuBar, b.StatusBar, b.ToolBar, b.FullScreen, b.Width, b.Height, b.Left,
        b.Top].join(), expected.join(), "Visible, bars, FullScreen, Width, Height, Left, Top");
    var r = received(b);
    eq(r.length, 3, "values received");
    eq(r[0], "a");
    eq(r[1], 2);
    ok(r[2] === object, "the same object");
    closeAll();
});

test("geometry: full screen, or the browser's own size and place", function () {
    function place(b) { return [b.Left, b.Top, b.Width, b.Height].join(); }
    wm.openDialog(chrome("noargs.html"), 0, 0);
    var home = place(opened("0 x 0"));
    closeAll();
    var cases = [[400, 0, false], [-1, 300, false], [-2, -2, false], [-1, -1, true]];
    for (var i = 0; i < cases.length; i++) {
        var what = cases[i][0] + " x " + cases[i][1];
        wm.openDialog(chrome("noargs.html"), cases[i][0], cases[i][1]);
        var b = opened(what);
        eq(b.FullScreen, cases[i][2], what);
        if (!cases[i][2]) eq(place(b), home, what);
        closeAll();
    }
    wm.openFullScreen(chrome("args.html"), "f");
    b = opened("openFullScreen");
    eq([b.FullScreen, b.Visible, received(b).join()].join(), "true,true,f", "openFullScreen");
    closeAll();
});

test("openHiddenDialog: gone once nothing holds it, kept while values wait for the page", function () {
    wm.openHiddenDialog(chrome("args.html"));
    probe.pump();
    eq(probe.count, 0, "without values");
    wm.openHiddenDialog(chrome("args.html"), "h");
    probe.pump();
    var b = opened("with a value");
    eq([b.Visible, received(b).join()].join(), "false,h");
    closeAll();
});

test("anything but the application's own pages is refused and opens nothing", function () {
    var cases = [["http://127.0.0.1/args.html", E_INVALIDARG], ["file:///C:/windows/win.ini", E_INVALIDARG],
                 ["C:\\windows\\win.ini", E_INVALIDARG], ["about:blank", E_INVALIDARG], ["", E_INVALIDARG],
                 ["chrome://zbt-js-not-registered/content/args.html", E_FAIL], ["{zbt-js-nothing}/a.html", E_FAIL]];
    for (var i = 0; i < cases.length; i++) {
        var url = cases[i][0], hr = cases[i][1];
        throwsHr(hr, function () { wm.openDialog(url, 400, 300, "a"); }, "openDialog " + url);
        throwsHr(hr, function () { wm.openFullScreen(url); }, "openFullScreen " + url);
        throwsHr(hr, function () { wm.openHiddenDialog(url, "a"); }, "openHiddenDialog " + url);
    }
    // A page that cannot be loaded: no error and no window either.
    wm.openDialog(chrome("missing.html"), 400, 300);
    wm.openDialog(chrome("missing.html"), 400, 300, "a", "b");
    probe.pump();
    eq(probe.count, 0, "no window");
});

test("every completed document of one of the application's own pages gets the values again", function () {
    wm.openDialog(chrome("frames.html"), 400, 300, "a", "b");
    eq(received(opened("frames")).join(), "a,b,a,b,a,b", "once per frame and once for the page");
    closeAll();

    wm.openDialog(chrome("noargs.html"), 400, 300, "x", "y");
    var b = opened("noargs");
    eq(b.Document.parentWindow.loaded, true, "a page without addArgument");
    b.Navigate(RES + "ARGS.HTML");
    eq(received(b).join(), "x,y", "the next page with addArgument");
    // A page that is not the application's own never sees the values.
    var path = FSO.GetSpecialFolder(2).Path + "\\zbt-js-windows-outside.html";
    var page = FSO.CreateTextFile(path, true, false);
    page.Write("<html><head><script>var received = []; function addArgument(v) { received.push(v); }" +
               "</script></head><body>outside</body></html>");
    page.Close();
    b.Navigate("file:///" + path.replace(/\\/g, "/"));
    eq(b.LocationURL.indexOf("file:"), 0, "the outside page is shown");
    eq(received(b).length, 0, "nothing for a file: page");
    b.Navigate(RES + "ARGS.HTML");
    eq(received(b).join(), "x,y", "back on the application's page");
    closeAll();
    FSO.DeleteFile(path);
});

test("close with a frame's window closes the window around it", function () {
    wm.openDialog(chrome("nested.html"), 400, 300);
    var b = opened("nested");
    var handle = b.HWND;
    wm.close(b.Document.parentWindow.child);
    probe.pump();
    eq(probe.count, 0, "closed");
    eq(probe.isWindow(handle), false);
    throwsHr(E_INVALIDARG, function () { wm.close(null); }, "null");
    throwsHr(E_INVALIDARG, function () { wm.close(wm); }, "not a page window");
});

test("ArgumentTransfer attaches once, to a browser window, with an array of values", function () {
    var values = new ActiveXObject("Scripting.Dictionary");
    values.Add("v", 1);
    wm.openDialog(chrome("args.html"), 400, 300);
    var b = opened("args");
    var transfer = new ActiveXObject("Zembrolatix.ArgumentTransfer");
    throwsHr(E_INVALIDARG, function () { transfer.Attach(b, "v"); }, "a string");
    throwsHr(E_INVALIDARG, function () { transfer.Attach(b.Document.parentWindow, values.Keys()); }, "page window");
    transfer.Attach(b, values.Keys());
    throwsHr(E_UNEXPECTED, function () { transfer.Attach(b, values.Keys()); }, "attached twice");
    b.Navigate(RES + "ARGS.HTML");
    eq(received(b).join(), "v", "the first subscription only");
    transfer.Detach();
    b.Navigate(RES + "ARGS.HTML");
    eq(received(b).length, 0, "nothing after Detach");
    closeAll();
});

test("ArgumentTransfer: cookie 0 ends with Detach; an Attach while subscribing is refused", function () {
    var values = new ActiveXObject("Scripting.Dictionary"), transfer = new ActiveXObject("Zembrolatix.ArgumentTransfer");
    values.Add("v", 1);
    wm.openDialog(chrome("args.html"), 400, 300);
    wm.openDialog(chrome("args.html"), 400, 300);
    var b = probe.item(0), other = probe.item(1), nested = -1;
    probe.countCookiesFromZero(b);
    transfer.Attach(b, values.Keys());
    transfer.Detach();
    // Subscribing may handle messages, and so run page script that calls the same object.
    probe.callInsideNextAdvise(b, function () { nested = hrOf(function () { transfer.Attach(other, values.Keys()); }); });
    transfer.Attach(b, values.Keys());
    eq([nested, probe.subscribers(b), probe.subscribers(other)].join(), [E_UNEXPECTED >>> 0, 1, 0].join());
    transfer.Detach();
    eq(probe.subscribers(b), 0, "none left after Detach");
    closeAll();
});

test("values go only to pages of the opened page's module", function () {
    var copy = FSO.GetSpecialFolder(2).Path + "\\zbt-js-windows-pages.dll";
    FSO.CopyFile(PAGES, copy, true);
    wm.openDialog(chrome("noargs.html"), 400, 300, "x");
    var b = opened("noargs");
    b.Navigate("res://" + copy + "/ARGS.HTML");
    eq(received(b).length, 0, "a page of another module");
    b.Navigate(RES.toLowerCase() + "ARGS.HTML");
    eq(received(b).join(), "x", "the same module, named in other case");
    closeAll();
    FSO.DeleteFile(copy);
});

test("cleanup", function () {
    closeAll();
    eq(probe.count, 0, "no window left");
    eq(SH.Run('reg.exe delete "' + EXTENSIONS + PACKAGE + '" /f', 0, true), 0, "reg.exe delete");
});
