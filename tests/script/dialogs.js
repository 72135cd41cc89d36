// WindowManager's dialog members and request objects, and ContextMenuHelper, from a page window of the
// browser stand-in (tests/doubles/browser): a modal dialog whose page drives clearDialogTitle,
// setDialogStatus and close on itself, status text outside dialogs, the address of a document, and
// HTTP requests against the loopback server of the download tests. The page module is registered as a
// package for the length of the test: only registered modules open.
// test-lock: foreground-window
var BUILD = WScript.Arguments(0);
var PAGES = BUILD + "\\tests\\doubles\\zbt_pages.dll";
var RES = "res://" + PAGES + "/";
var EXTENSIONS = "HKCU\\Software\\Microsoft\\Internet Explorer\\LowRegistry\\Belvanquist\\Zembrolatix\\Extensions\\";
SH.RegWrite(EXTENSIONS + "zbt-js-dialogs\\", PAGES, "REG_SZ");
var PORT = FSO.OpenTextFile(BUILD + "\\http-test\\port", 1).ReadAll();
var wm = new ActiveXObject("Zembrolatix.WindowManager");
var probe = new ActiveXObject("Zembrolatix.Test.BrowserProbe");

function openPage(name) {
    wm.openDialog(RES + name, 400, 300);
    eq(probe.count, 1, "one window");
    return probe.item(0);
}
function closeAll() {
    probe.closeAll();
    probe.pump();
}

test("showModalDialog gives the dialog's return value; inside it the caption and status change", function () {
    var page = openPage("ARGS.HTML").Document.parentWindow;
    var result = wm.showModalDialog(page, RES + "DIALOG.HTML", "A", "");
    eq(result, "args=A|before=Options -- Webpage Dialog/|clearDialogTitle=ok|setDialogStatus=ok|" +
               "after=Options/Ready|close=ok");
    eq(probe.activeDialogCaption, "", "the dialog is gone");

    throwsHr(E_FAIL, function () { wm.showModalDialog(null, RES + "DIALOG.HTML", "A", ""); }, "no window");
    throwsHr(E_FAIL, function () { wm.showModalDialog(wm, RES + "DIALOG.HTML", "A", ""); }, "not a page window");
    throwsHr(E_FAIL, function () { wm.showModalDialog(page, "chrome://zbt-js-not-registered/d.html", "A", ""); },
             "an unregistered package");
    throwsHr(0x80070716, function () { wm.showModalDialog(page, RES + "MISSING.HTML", "A", ""); },
             "the browser's own failure");
    closeAll();
});

test("outside a dialog: the page's status is set and no other window changes", function () {
    var b = openPage("ARGS.HTML");
    var page = b.Document.parentWindow;
    var caption = probe.windowText(b.HWND);
    wm.setDialogStatus(page, "Saving");
    eq(page.status, "Saving", "status");
    eq(page.defaultStatus, "Saving", "defaultStatus");
    wm.clearDialogTitle(page);
    eq(probe.windowText(b.HWND), caption, "the browser window's caption");
    wm.clearDialogTitle(wm); // not a page window: nothing to do
    wm.setDialogStatus(wm, "x");
    throwsHr(E_INVALIDARG, function () { wm.clearDialogTitle(null); });
    throwsHr(E_INVALIDARG, function () { wm.setDialogStatus(null, "x"); });
    closeAll();
});

test("GetDocumentLocation gives a document's address", function () {
    var helper = new ActiveXObject("Zembrolatix.ContextMenuHelper");
    var b = openPage("NOARGS.HTML");
    eq(helper.GetDocumentLocation(b.Document), RES + "NOARGS.HTML");
    throwsHr(E_FAIL, function () { helper.GetDocumentLocation(b.Document.parentWindow); }, "a page window");
    throwsHr(E_FAIL, function () { helper.GetDocumentLocation(wm); }, "not a page");
    throwsHr(E_INVALIDARG, function () { helper.GetDocumentLocation(null); }, "null");
    closeAll();
});

test("XMLHttpRequest gives a new working request object on every read", function () {
    var first = wm.XMLHttpRequest, second = wm.XMLHttpRequest;
    ok(first !== second, "two objects");
    var cases = [[first, "payload.bin", 200], [second, "no-such-file.txt", 404]];
    for (var i = 0; i < cases.length; i++) {
        var request = cases[i][0];
        request.open("GET", "http://127.0.0.1:" + PORT + "/" + cases[i][1], false);
        request.send();
        eq(request.status, cases[i][2], cases[i][1]);
    }
});

test("no window left behind", function () {
    closeAll();
    eq(probe.count, 0);
    eq(SH.Run('reg.exe delete "' + EXTENSIONS + 'zbt-js-dialogs" /f', 0, true), 0, "reg.exe delete");
});
