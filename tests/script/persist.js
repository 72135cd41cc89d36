// WebBrowserPersist: downloads from file:/// and from the loopback HTTP server of the download tests
// (started by the test fixture; its port and request log are under the build folder).
// test-lock: private-data-folder
eval(FSO.OpenTextFile(WScript.Arguments(1) + "\\lib\\files.js", 1).ReadAll());

var BUILD = WScript.Arguments(0);
var HTTP = BUILD + "\\http-test";
var PORT = readAll(HTTP + "\\port");
var CLOSED_PORT = readAll(HTTP + "\\closed-port");
// The server's folder is registered as a location of the application, so its files may be fetched.
var ROOT_TOKEN = "HKCU\\Software\\Microsoft\\Internet Explorer\\LowRegistry\\Belvanquist\\Zembrolatix\\Extensions\\{zbt-persist-root}\\";
SH.RegWrite(ROOT_TOKEN, HTTP + "\\root", "REG_SZ");
var INET_E_RESOURCE_NOT_FOUND = 0x800C0005, INET_E_DOWNLOAD_FAILURE = 0x800C0008;

// The private data folder (the low one: Wine reports Windows 6.1 to cscript) and this test's folder in it.
var WORK = privateFolder(true) + "\\zbx_persist_test";
var OUTSIDE = tempFolder() + "\\zbx_persist_test";
ensureFolder(WORK);
ensureFolder(OUTSIDE);

function readAll(path) { return readAnsi(path); }
function sameBytes(a, b) { return FSO.GetFile(a).Size == FSO.GetFile(b).Size && readAll(a) === readAll(b); }
function fileUrl(path) { return "file:///" + path.replace(/\\/g, "/"); }
function httpUrl(name) { return "http://127.0.0.1:" + PORT + "/" + name; }
function requested(name) { return readAll(HTTP + "\\requests.log").indexOf("GET /" + name + " ") >= 0; }

function localFile(path) { return newLocalFile(path); }
function target(name) {
    var path = WORK + "\\" + name;
    if (FSO.FileExists(path)) FSO.DeleteFile(path);
    var f = localFile(path);
    ok(f.GetSafe(), "a file in the private data folder is safe");
    return f;
}
// A listener that keeps its calls, and the number of calls seen when saveURI returned.
function recorder() {
    var r = { calls: [] };
    r.fn = function (a, b) { r.calls.push([a, b, arguments.length]); };
    return r;
}
function calledOnceWith100(r) {
    eq(r.calls.length, 1, "listener calls");
    if (r.calls.length) {
        eq(r.calls[0][0], 100, "first argument");
        eq(r.calls[0][1], 100, "second argument");
        eq(r.calls[0][2], 2, "argument count");
    }
}

test("a file:/// source is written byte for byte and the listener is told once before saveURI returns", function () {
    var p = new ActiveXObject("Zembrolatix.WebBrowserPersist");
    var r = recorder();
    p.progressListener = r.fn;
    var dest = target("from-file.bin");
    p.saveURI(fileUrl(HTTP + "\\root\\payload.bin"), dest);
    calledOnceWith100(r);
    ok(sameBytes(dest.path, HTTP + "\\root\\payload.bin"), "same bytes as the source");
});

test("an http://127.0.0.1 source is written byte for byte, replacing an older file", function () {
    var p = new ActiveXObject("Zembrolatix.WebBrowserPersist");
    var r = recorder();
    p.progressListener = r.fn;
    var dest = target("from-http.bin");
    var old = FSO.CreateTextFile(dest.path, true);
    for (var i = 0; i < 3000; i++) old.Write("older and longer content ");
    old.Close();
    p.saveURI(httpUrl("large.bin"), dest);
    calledOnceWith100(r);
    ok(requested("large.bin"), "the server saw the request");
    ok(sameBytes(dest.path, HTTP + "\\root\\large.bin"), "same bytes as served");
});

test("a file below the temporary folder of the directory service is a safe target", function () {
    var p = new ActiveXObject("Zembrolatix.WebBrowserPersist");
    var r = recorder();
    p.progressListener = r.fn;
    var dest = safeTemp("zbx_persist_test");
    dest.append("from-tmpd.bin");
    p.saveURI(httpUrl("payload.bin?tmpd"), dest);
    calledOnceWith100(r);
    ok(sameBytes(dest.path, HTTP + "\\root\\payload.bin"), "same bytes as served");
});

test("without a listener the download behaves the same", function () {
    var p = new ActiveXObject("Zembrolatix.WebBrowserPersist");
    eq(p.progressListener, null, "no listener at first");
    var dest = target("no-listener.bin");
    p.saveURI(httpUrl("payload.bin?no-listener"), dest);
    ok(sameBytes(dest.path, HTTP + "\\root\\payload.bin"), "same bytes");
});

test("a listener object without a default method is ignored", function () {
    var p = new ActiveXObject("Zembrolatix.WebBrowserPersist");
    var plain = { calls: 0 };
    p.progressListener = plain;
    ok(p.progressListener === plain, "the object is read back");
    var dest = target("plain-object.bin");
    p.saveURI(fileUrl(HTTP + "\\root\\payload.bin"), dest);
    ok(sameBytes(dest.path, HTTP + "\\root\\payload.bin"), "same bytes");
});

test("a listener that throws does not fail the download", function () {
    var p = new ActiveXObject("Zembrolatix.WebBrowserPersist");
    var calls = 0;
    p.progressListener = function () { calls++; throw new Error("listener failed"); };
    var dest = target("throwing.bin");
    p.saveURI(fileUrl(HTTP + "\\root\\payload.bin"), dest);
    eq(calls, 1, "listener calls");
    ok(sameBytes(dest.path, HTTP + "\\root\\payload.bin"), "same bytes");
});

test("a listener set back to null notifies no one", function () {
    var p = new ActiveXObject("Zembrolatix.WebBrowserPersist");
    var r = recorder();
    p.progressListener = r.fn;
    ok(p.progressListener === r.fn, "the function is read back");
    p.progressListener = null;
    eq(p.progressListener, null, "cleared");
    var dest = target("cleared.bin");
    p.saveURI(fileUrl(HTTP + "\\root\\payload.bin"), dest);
    eq(r.calls.length, 0, "listener calls");
    ok(sameBytes(dest.path, HTTP + "\\root\\payload.bin"), "same bytes");
});

test("an unsafe target is refused before any request and without a listener call", function () {
    var p = new ActiveXObject("Zembrolatix.WebBrowserPersist");
    var r = recorder();
    p.progressListener = r.fn;
    var dest = localFile(OUTSIDE + "\\unsafe.bin");
    ok(!dest.GetSafe(), "a file outside the private data folder is not safe");
    throwsHr(E_ACCESSDENIED, function () { p.saveURI(httpUrl("unsafe-target.bin"), dest); });
    // A request that did reach the server would be logged before this one.
    p.progressListener = null;
    p.saveURI(httpUrl("payload.bin?after-unsafe"), target("after-unsafe.bin"));
    ok(requested("payload.bin?after-unsafe"), "the log shows requests");
    ok(!requested("unsafe-target.bin"), "no request for the refused download");
    eq(r.calls.length, 0, "listener calls");
    ok(!FSO.FileExists(OUTSIDE + "\\unsafe.bin"), "nothing written");
});

test("missing arguments are refused", function () {
    var p = new ActiveXObject("Zembrolatix.WebBrowserPersist");
    var dest = target("arguments.bin");
    throwsHr(E_INVALIDARG, function () { p.saveURI("", dest); });
    throwsHr(E_INVALIDARG, function () { p.saveURI(httpUrl("payload.bin"), null); });
    ok(!FSO.FileExists(dest.path), "nothing written");
});

test("an unreachable port answers the platform's failure and the listener hears the end", function () {
    var p = new ActiveXObject("Zembrolatix.WebBrowserPersist");
    var r = recorder();
    p.progressListener = r.fn;
    var dest = target("unreachable.bin");
    throwsHr(INET_E_DOWNLOAD_FAILURE, function () {
        p.saveURI("http://127.0.0.1:" + CLOSED_PORT + "/payload.bin", dest);
    });
    // The platform started a binding before the connection failed, and ended it: one notification.
    calledOnceWith100(r);
    ok(!FSO.FileExists(dest.path), "nothing written");
});

test("a missing file:/// source fails with the platform's code", function () {
    var p = new ActiveXObject("Zembrolatix.WebBrowserPersist");
    var dest = target("missing-source.bin");
    throwsHr(INET_E_RESOURCE_NOT_FOUND, function () { p.saveURI(fileUrl(HTTP + "\\root\\missing.bin"), dest); });
});

test("an HTTP 404 saves the server's error page and succeeds", function () {
    var p = new ActiveXObject("Zembrolatix.WebBrowserPersist");
    var dest = target("not-found.html");
    p.saveURI(httpUrl("missing.bin"), dest);
    ok(FSO.FileExists(dest.path) && readAll(dest.path).indexOf("404") >= 0, "the error page was saved");
});

test("clean up", function () {
    FSO.DeleteFolder(WORK, true);
    FSO.DeleteFolder(OUTSIDE, true);
    ok(!FSO.FolderExists(WORK), "work folder removed");
});
SH.Run('reg.exe delete "' + ROOT_TOKEN.slice(0, -1) + '" /f', 0, true);
