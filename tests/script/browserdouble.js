// The browser stand-in seen from script, the way pages and the library's script tests use it.
// test-lock: foreground-window
var probe = new ActiveXObject("Zembrolatix.Test.BrowserProbe");
var pages = WScript.Arguments(0) + "\\tests\\doubles\\zbt_pages.dll";

test("a navigated window runs its page and shows its globals", function () {
    var ie = new ActiveXObject("InternetExplorer.Application");
    eq(probe.count, 1, "live windows");
    ok(probe.isWindow(ie.HWND), "real window");
    ie.Navigate("res://" + pages + "/ARGS.HTML");
    var win = ie.Document.parentWindow;
    eq(ie.Document.title, "Arguments");
    eq(probe.windowText(ie.HWND), "Arguments - Internet Explorer", "caption");
    win.addArgument("x");
    eq(win.received.length, 1, "received");
    eq(win.document.location.href, "res://" + pages + "/ARGS.HTML");
    win.x = 5; // a new global of the page
    eq(win.x, 5, "new window property");
    ie.Left = 10;
    ie.Visible = true;
    ok(ie.Visible && ie.Left === 10, "properties through automation");
    throwsHr(0x80070716, function () { ie.Navigate("res://" + pages + "/MISSING.HTML"); }, "missing page");
    probe.closeAll();
    eq(probe.count, 0, "after closeAll");
});
