// A hostile web page turns the window manager against its user, and fails. The page comes from the
// loopback server of the download tests and runs in the browser stand-in as an Internet page: objects
// its script creates are told their caller is untrusted and get the page's site. Each attack runs in
// the page's own script, as it loads; its error number (0: it worked) lands in the page's `outcome`.
// Keys: tests/windows/keys_test.cpp.
// test-lock: foreground-window
var BUILD = WScript.Arguments(0);
// A copy of the test pages' module that no test registers (others register the original while this runs).
var PAGES = BUILD + "\\http-test\\zbt_unregistered_pages.dll";
FSO.CopyFile(BUILD + "\\tests\\doubles\\zbt_pages.dll", PAGES, true);
var PORT = FSO.OpenTextFile(BUILD + "\\http-test\\port", 1).ReadAll();
var ORIGIN = "http://127.0.0.1:" + PORT + "/";
var probe = new ActiveXObject("Zembrolatix.Test.BrowserProbe");

function quote(text) { return '"' + text.replace(/\\/g, "\\\\") + '"'; }
// Serves and shows a page that runs each attack (a statement) and keeps its outcome; gives its window.
function hostilePage(name, attacks) {
    var script = "var wm = new ActiveXObject('Zembrolatix.WindowManager'), request = wm.XMLHttpRequest;" +
                 "var outcome = [];\nfunction attempt(f) { try { f(); return 0; } catch (e) { return e.number >>> 0; } }\n";
    for (var i = 0; i < attacks.length; i++) script += "outcome.push(attempt(function () { " + attacks[i] + " }));\n";
    var file = FSO.CreateTextFile(BUILD + "\\http-test\\root\\" + name, true, false);
    file.Write("<html><head><title>Hostile</title><script>" + script + "</script></head></html>");
    file.Close();
    var browser = new ActiveXObject("InternetExplorer.Application");
    browser.Navigate(ORIGIN + name);
    eq(probe.lastScriptError, "", name + " ran");
    return browser.Document.parentWindow;
}
function check(page, attacks, expected) {
    for (var i = 0; i < attacks.length; i++) eq(page.outcome[i], expected[i] >>> 0, attacks[i]);
}

test("the request object keeps to the page's own origin, as one the page made itself", function () {
    var cases = [[ORIGIN + "payload.bin", 0], ["http://localhost:" + PORT + "/payload.bin", E_ACCESSDENIED],
                 ["file:///C:/windows/win.ini", E_ACCESSDENIED], ["http://127.0.0.2/", E_ACCESSDENIED]];
    var attacks = [], expected = [];
    for (var i = 0; i < cases.length; i++) {
        attacks.push("wm.XMLHttpRequest.open('GET', " + quote(cases[i][0]) + ", false);");
        expected.push(cases[i][1]);
    }
    var page = hostilePage("zbt-hostile-request.html", attacks);
    check(page, attacks, expected);
    eq(probe.safetyOptions(page.request), 3, "untrusted caller and untrusted data");
    eq(probe.siteUrl(page.request), ORIGIN + "zbt-hostile-request.html", "the page's site");
    var plain = new ActiveXObject("Zembrolatix.WindowManager").XMLHttpRequest; // no page: as before
    eq([probe.safetyOptions(plain), probe.siteUrl(plain)].join(), "0,", "no site, no options");
    probe.closeAll();
});

test("a module the application did not register opens no window and loads nothing", function () {
    var cases = ["res://" + PAGES + "/ARGS.HTML", "res://" + PAGES.replace(/\\/g, "%5C") + "/ARGS.HTML",
                 "res://\\\\zbt-no-server\\share\\zbt.dll/ARGS.HTML", "res:////zbt-no-server/share/zbt.dll/ARGS.HTML",
                 "res://\\\\?\\UNC\\zbt-no-server\\share\\zbt.dll/ARGS.HTML", "res://%5C%5Czbt-no-server%5Cs%5Czbt.dll/A.HTML",
                 "res://\\??\\UNC\\zbt-no-server\\s\\zbt.dll/A.HTML", "res://\\\\?\\GLOBALROOT\\Device\\Mup\\zbt-no-server\\s\\zbt.dll/A.HTML"];
    var attacks = [], expected = [];
    for (var i = 0; i < cases.length; i++) {
        var url = quote(cases[i]);
        attacks.push("wm.openDialog(" + url + ", 400, 300, 'secret');", "wm.openFullScreen(" + url + ");",
                     "wm.openHiddenDialog(" + url + ", 'secret');");
        // The page's own dialogs stay under the browser's limits, but never reach a network module.
        if (i > 0) attacks.push("wm.showModalDialog(window, " + url + ");");
    }
    for (i = 0; i < attacks.length; i++) expected.push(E_INVALIDARG);
    var reads = probe.pageReads;
    check(hostilePage("zbt-hostile-modules.html", attacks), attacks, expected);
    eq(probe.count, 1, "no window but the page's own");
    eq(probe.pageReads - reads, 1, "nothing read but the page itself");
    probe.closeAll();
    FSO.DeleteFile(BUILD + "\\http-test\\root\\zbt-hostile-*.html");
    FSO.DeleteFile(PAGES);
});
