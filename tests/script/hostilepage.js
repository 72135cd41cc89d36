// A hostile web page turns the window manager against its user, and fails. The page is served by the
// loopback server of the download tests and shown in the browser stand-in, which runs it as the browser
// runs an Internet page: its objects are created under a host security manager, told that their caller
// is untrusted and given the page's site. The attacks run in the page's own script while it loads; this
// test reads what they got. Keys are the C++ test tests/windows/keys_test.cpp.
var BUILD = WScript.Arguments(0);
var PAGES = BUILD + "\\tests\\doubles\\zbt_pages.dll";
var PORT = FSO.OpenTextFile(BUILD + "\\http-test\\port", 1).ReadAll();
var ORIGIN = "http://127.0.0.1:" + PORT + "/";
var probe = new ActiveXObject("Zembrolatix.Test.BrowserProbe");

function quote(text) { return '"' + text.replace(/\\/g, "\\\\").replace(/"/g, '\\"') + '"'; }

// Serves a page whose script runs the given attacks, each a function body whose error number (0 when
// it succeeded) lands in the page's global `outcome`, and shows it; gives the page's window.
function hostilePage(name, setup, attacks) {
    var lines = ["var wm = new ActiveXObject('Zembrolatix.WindowManager');", "var outcome = [];"];
    lines = lines.concat(setup);
    for (var i = 0; i < attacks.length; i++)
        lines.push("try { (function () { " + attacks[i] + " })(); outcome.push(0); } " +
                   "catch (e) { outcome.push(e.number >>> 0); }");
    var file = FSO.CreateTextFile(BUILD + "\\http-test\\root\\" + name, true, false);
    file.Write("<html><head><title>Hostile</title><script>\n" + lines.join("\n") +
               "\n</script></head><body></body></html>");
    file.Close();
    var browser = new ActiveXObject("InternetExplorer.Application");
    browser.Navigate(ORIGIN + name);
    return browser.Document.parentWindow;
}
function outcomes(page) {
    var out = [];
    for (var i = 0; i < page.outcome.length; i++) out.push(page.outcome[i]);
    return out;
}
function closeAll() {
    probe.closeAll();
    probe.pump();
}

test("the request object keeps to the page's own origin, as one the page made itself", function () {
    var cases = [["GET", ORIGIN + "payload.bin", 0], ["GET", "http://localhost:" + PORT + "/payload.bin", E_ACCESSDENIED],
                 ["GET", "file:///C:/windows/win.ini", E_ACCESSDENIED], ["POST", "http://127.0.0.2/", E_ACCESSDENIED]];
    var attacks = [];
    for (var i = 0; i < cases.length; i++)
        attacks.push("wm.XMLHttpRequest.open(" + quote(cases[i][0]) + ", " + quote(cases[i][1]) + ", false);");
    var page = hostilePage("zbt-hostile-request.html", ["var request = wm.XMLHttpRequest;"], attacks);
    eq(probe.lastScriptError, "", "the page ran");
    var got = outcomes(page);
    for (i = 0; i < cases.length; i++) eq(got[i], cases[i][2] >>> 0, cases[i][1]);
    eq(probe.safetyOptions(page.request), 3, "untrusted caller and untrusted data");
    eq(probe.siteUrl(page.request), ORIGIN + "zbt-hostile-request.html", "the page's site");
    // Without a page (this script host) the request object stays as it was.
    var plain = new ActiveXObject("Zembrolatix.WindowManager").XMLHttpRequest;
    eq([probe.safetyOptions(plain), probe.siteUrl(plain)].join(), "0,", "no site, no options");
    closeAll();
});

test("a module the application did not register opens no window and loads nothing", function () {
    var cases = ["res://" + PAGES + "/ARGS.HTML", "res://\\\\zbt-no-server\\share\\zbt.dll/ARGS.HTML",
                 "res:////zbt-no-server/share/zbt.dll/ARGS.HTML", "res://\\\\?\\UNC\\zbt-no-server\\share\\zbt.dll/ARGS.HTML",
                 "res://%5C%5Czbt-no-server%5Cshare%5Czbt.dll/ARGS.HTML", "res://" + PAGES.replace(/\\/g, "%5C") + "/ARGS.HTML"];
    var attacks = [];
    for (var i = 0; i < cases.length; i++) {
        var url = quote(cases[i]);
        attacks.push("wm.openDialog(" + url + ", 400, 300, 'secret');", "wm.openFullScreen(" + url + ");",
                     "wm.openHiddenDialog(" + url + ", 'secret');");
        // The page's own dialogs stay under the browser's limits, but never reach a network module.
        if (i > 0) attacks.push("wm.showModalDialog(window, " + url + ");");
    }
    var reads = probe.pageReads;
    var page = hostilePage("zbt-hostile-modules.html", [], attacks);
    eq(probe.lastScriptError, "", "the page ran");
    var got = outcomes(page);
    eq(got.length, attacks.length, "every attack ran");
    for (i = 0; i < got.length; i++) eq(got[i], E_INVALIDARG >>> 0, attacks[i]);
    eq(probe.count, 1, "no window but the page's own");
    eq(probe.pageReads - reads, 1, "nothing read but the page itself");
    closeAll();
});

test("no window left behind", function () {
    closeAll();
    eq(probe.count, 0);
    FSO.DeleteFile(BUILD + "\\http-test\\root\\zbt-hostile-*.html");
});
