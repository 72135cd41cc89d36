// String bundles from files, from a module's resources (res:// and chrome URLs through the Extensions
// key) and with brace tokens; the simple enumerator and property element they hand out.
// The test package module is built under <build>\tests\doubles; this script registers it under the
// low Extensions key (the storage of Windows 6 and later) and removes the registration at the end.
var BUILD = WScript.Arguments(0);
var MODULE = BUILD + "\\tests\\doubles\\zbt_bundle_module.dll";
var EXTENSIONS = "HKCU\\Software\\Microsoft\\Internet Explorer\\LowRegistry\\Belvanquist\\Zembrolatix\\Extensions\\";
var PACKAGE = "zbt-js-bundles", MODULE_TOKEN = "{zbt-js-bundles-module}", FOLDER_TOKEN = "{zbt-js-bundles-folder}";
// A folder of this test's own, registered as the application's location: other tests running meanwhile
// expect the rest of the temporary folder refused to unsafe readers.
var TEMP = FSO.GetSpecialFolder(2).Path + "\\zbt-js-bundles";
if (!FSO.FolderExists(TEMP)) FSO.CreateFolder(TEMP);
var IID_IPropertyElement = "{B4089FA6-4FA3-4141-BAFF-615FB472A7E2}";
var service = new ActiveXObject("Zembrolatix.StringBundleService");

function register(name, text) { SH.RegWrite(EXTENSIONS + name + "\\", text, "REG_SZ"); }
// WScript.Shell's RegDelete is not implemented by Wine: reg.exe deletes the key.
function unregister(name) { return SH.Run('reg.exe delete "' + EXTENSIONS + name + '" /f', 0, true); }
// A file in the temporary folder holding lines (ASCII text), returned as its path.
function tempFile(name, lines) {
    var path = TEMP + "\\zbt-js-bundles-" + name;
    var stream = FSO.CreateTextFile(path, true, false);
    if (lines.length) stream.Write(lines.join("\n"));
    stream.Close();
    return path;
}
// Every entry of a bundle as key -> value, with the number of elements the enumeration gave.
function entries(bundle) {
    var e = bundle.getSimpleEnumeration(), out = { count: 0, map: {} };
    while (e.hasMoreElements()) {
        var element = e.getNext();
        ok(element.Implements(IID_IPropertyElement), "a PropertyElement");
        eq(typeof element.key, "string", "key type");
        eq(typeof element.value, "string", "value type");
        out.map[element.key] = element.value;
        out.count++;
    }
    throwsHr(E_INVALIDARG, function () { e.getNext(); }, "getNext past the end");
    return out;
}
function moduleStarted() { return env("ZBT_BUNDLE_MODULE_STARTED") !== "%ZBT_BUNDLE_MODULE_STARTED%"; }

register(PACKAGE, MODULE);
register(MODULE_TOKEN, MODULE);
register(FOLDER_TOKEN, TEMP);
var dialogFile = tempFile("dialog.properties", [
    "# Dialog strings", "title = Export", "  prompt  =  Choose a file:  ", "ok=OK=Yes", "empty=", "=orphan",
    "note: not a pair", "path=C:\\temp\\new", "title=Export data"]);
var emptyFile = tempFile("empty.properties", []);

test("a bundle from a file", function () {
    var bundle = service.createBundle(dialogFile);
    eq(bundle.GetStringFromName("title"), "Export data");
    eq(bundle.GetStringFromName("prompt"), "Choose a file:");
    eq(bundle.GetStringFromName("ok"), "OK=Yes");
    eq(bundle.GetStringFromName("path"), "C:\\temp\\new");
    eq(bundle.GetStringFromName("empty"), "", "an empty value");
    eq(bundle.GetStringFromName("absent"), "", "an absent name");
    eq(bundle.GetStringFromName("TITLE"), "", "keys differ by case");
    // Looking a name up does not add it: the enumeration lists what the file held.
    var all = entries(bundle);
    eq(all.count, 5, "entries");
    eq(all.map.title, "Export data");
    eq(all.map.empty, "");
    ok(!("absent" in all.map), "the absent name is not listed");
});

test("a bundle from a module's resources", function () {
    var urls = ["res://" + MODULE + "/app.properties", "chrome://" + PACKAGE + "/locale/en-US/App.Properties",
                "CHROME://" + PACKAGE + "/content/app.properties", "res://" + MODULE_TOKEN + "/APP.PROPERTIES"];
    for (var i = 0; i < urls.length; i++) {
        var bundle = service.createBundle(urls[i]);
        eq(bundle.GetStringFromName("title"), "Export data", urls[i]);
        eq(bundle.GetStringFromName("greeting"), "Gr\u00fc\u00dfe", urls[i]);
        eq(entries(bundle).count, 4, urls[i]);
    }
    ok(!moduleStarted(), "the module's start-up code never ran");
});

test("a brace token expanded to a folder", function () {
    var bundle = service.createBundle(FOLDER_TOKEN + "\\zbt-js-bundles-dialog.properties");
    eq(bundle.GetStringFromName("title"), "Export data");
});

test("resolution and load failures", function () {
    var failing = ["chrome://zbt-js-not-registered/locale/app.properties", "{zbt-js-not-registered}\\a.properties",
                   "res://" + MODULE, "res://" + MODULE + "/MISSING.PROPERTIES", "chrome://abc",
                   TEMP + "\\{x.properties", TEMP + "\\no-such-file.properties"];
    for (var i = 0; i < failing.length; i++) {
        throwsHr(E_FAIL, function () { service.createBundle(failing[i]); }, failing[i]);
    }
    var bundle = new ActiveXObject("Zembrolatix.StringBundle");
    throwsHr(E_FAIL, function () { bundle.init(""); }, "init with the empty URL");
    throwsHr(E_FAIL, function () { service.createBundle(""); }, "createBundle with the empty URL");
});

test("a zero-byte file", function () {
    var bundle = service.createBundle(emptyFile);
    throwsHr(E_UNEXPECTED, function () { bundle.GetStringFromName("title"); });
    throwsHr(E_UNEXPECTED, function () { bundle.getSimpleEnumeration(); });
});

test("a failing module source keeps the table, a failing file source empties it", function () {
    var bundle = service.createBundle(dialogFile);
    throwsHr(E_FAIL, function () { bundle.init("res://" + MODULE + "/MISSING.PROPERTIES"); });
    throwsHr(E_FAIL, function () { bundle.init("res://" + MODULE + "/EMPTY.PROPERTIES"); }, "an empty resource");
    throwsHr(E_FAIL, function () { bundle.init("chrome://zbt-js-not-registered/x.properties"); });
    eq(bundle.GetStringFromName("title"), "Export data", "the old table");
    bundle.init("res://" + MODULE + "/app.properties");
    eq(bundle.GetStringFromName("source"), "module", "replaced by the module's table");
    throwsHr(E_FAIL, function () { bundle.init(TEMP + "\\no-such-file.properties"); });
    throwsHr(E_UNEXPECTED, function () { bundle.GetStringFromName("source"); }, "emptied");
});

test("simple enumerator over arrays", function () {
    var three = new ActiveXObject("Scripting.Dictionary");
    three.Add("a", 1); three.Add("b", 2); three.Add("c", 3);
    var e = new ActiveXObject("Zembrolatix.SimpleEnumerator");
    throwsHr(E_INVALIDARG, function () { e.hasMoreElements(); }, "no array yet");
    throwsHr(E_FAIL, function () { e.getNext(); }, "getNext with no array");
    e.init(three.Keys());
    var seen = [];
    while (e.hasMoreElements()) seen.push(e.getNext());
    eq(seen.join(","), "a,b,c");
    throwsHr(E_INVALIDARG, function () { e.getNext(); }, "past the end");
    eq(e.hasMoreElements(), false, "still at the end");

    e.init(three.Items()); // init twice: the new array from its start
    eq(e.getNext(), 1);
    e.init(new ActiveXObject("Scripting.Dictionary").Keys());
    eq(e.hasMoreElements(), false, "zero elements");
    throwsHr(E_INVALIDARG, function () { e.getNext(); }, "zero elements");

    e.init(three.Keys());
    throwsHr(E_INVALIDARG, function () { e.init(["a", "b"]); }, "a script array");
    throwsHr(E_INVALIDARG, function () { e.hasMoreElements(); }, "the old array is dropped");
    throwsHr(E_INVALIDARG, function () { e.init("abc"); }, "a string");
});

test("property element", function () {
    var p = new ActiveXObject("Zembrolatix.PropertyElement");
    eq(typeof p.key, "undefined", "empty key");
    eq(typeof p.value, "undefined", "empty value");
    var object = { n: 1 };
    p.value = object;
    ok(p.value === object, "the same object back");
    object.n = 2;
    eq(p.value.n, 2, "shared, not copied");
    p.key = "k";
    eq(p.key, "k");
    ok(p.Implements(IID_IPropertyElement), "Implements");
});

test("cleanup", function () {
    eq(unregister(PACKAGE), 0, "reg.exe delete");
    eq(unregister(MODULE_TOKEN), 0, "reg.exe delete");
    eq(unregister(FOLDER_TOKEN), 0, "reg.exe delete");
    FSO.DeleteFile(dialogFile);
    FSO.DeleteFile(emptyFile);
    FSO.DeleteFolder(TEMP, true);
    throwsHr(E_FAIL, function () { service.createBundle("chrome://" + PACKAGE + "/locale/app.properties"); },
             "unregistered again");
});
