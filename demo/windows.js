// A short tour of the window members from JScript: opens one of an application's own pages with values,
// shows a modal dialog from it, sends and releases a key, makes an HTTP request object and closes every
// window again. Needs the test browser of the build (registered as "InternetExplorer.Application" in the
// build's prefix) and its page module; its path is the first argument, else it is looked for at
// <repository>\build64\tests\doubles\zbt_pages.dll.
function hex(n) { return "0x" + ("00000000" + (n >>> 0).toString(16).toUpperCase()).slice(-8); }
function step(label, fn) {
    try { WScript.Echo(label + ": " + fn()); }
    catch (e) { WScript.Echo(label + ": error " + hex(e.number)); }
}

var FSO = new ActiveXObject("Scripting.FileSystemObject");
var SH = new ActiveXObject("WScript.Shell");
var PAGES = WScript.Arguments.length > 0 ? WScript.Arguments(0)
    : FSO.BuildPath(FSO.GetParentFolderName(FSO.GetParentFolderName(WScript.ScriptFullName)),
                    "build64\\tests\\doubles\\zbt_pages.dll");
var EXTENSIONS = "HKCU\\Software\\Microsoft\\Internet Explorer\\LowRegistry\\Belvanquist\\Zembrolatix\\Extensions\\";
var PACKAGE = "zembrolatix-demo";
var wm = new ActiveXObject("Zembrolatix.WindowManager");
var browsers = null;
try { browsers = new ActiveXObject("Zembrolatix.Test.BrowserProbe"); } catch (e) {}

WScript.Echo("== Windows");
SH.RegWrite(EXTENSIONS + PACKAGE + "\\", PAGES, "REG_SZ");
var url = "chrome://" + PACKAGE + "/content/args.html";
step("resolveURL", function () { return wm.resolveURL(url); });
step("openDialog with values", function () {
    wm.openDialog(url, 400, 300, "hello", 42, { answer: "an object" });
    if (!browsers) return "opened";
    var b = browsers.item(browsers.count - 1);
    var r = b.Document.parentWindow.received, values = [];
    for (var i = 0; i < r.length; i++) values.push(typeof r[i] === "object" ? r[i].answer : r[i]);
    return "window at " + b.Left + "," + b.Top + " size " + b.Width + "x" + b.Height + ", page received: " +
           values.join(", ");
});
step("a web address is refused", function () { wm.openDialog("http://example.com/", 400, 300); return "opened"; });
step("document address", function () {
    var b = browsers.item(browsers.count - 1);
    return new ActiveXObject("Zembrolatix.ContextMenuHelper").GetDocumentLocation(b.Document);
});
step("showModalDialog", function () {
    var page = browsers.item(browsers.count - 1).Document.parentWindow;
    return wm.showModalDialog(page, "chrome://" + PACKAGE + "/content/dialog.html", "from the demo", "");
});
step("ResendKey and StopKey (Shift+A), to the page's own window in front", function () {
    var page = browsers.item(browsers.count - 1).Document.parentWindow;
    wm.ResendKey(page, 0x41, true, false, false);
    wm.StopKey(page, 0x41, true, false, false);
    return "sent";
});
step("XMLHttpRequest", function () {
    var a = wm.XMLHttpRequest, b = wm.XMLHttpRequest;
    return "two request objects, distinct: " + (a !== b);
});
step("close", function () {
    var open = browsers.count;
    while (browsers.count > 0) {
        wm.close(browsers.item(0).Document.parentWindow);
        browsers.pump();
    }
    return open + " window(s) closed, " + browsers.count + " left";
});
SH.Run('reg.exe delete "' + EXTENSIONS + PACKAGE + '" /f', 0, true);
