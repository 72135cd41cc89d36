// prepend: compat/xpcom.js
// What a hostile page gets from files, modules and XML: a local file it names reads only inside the
// private data folder and the application's registered locations; no module is loaded from another
// machine unless the application registered it; documents are loaded with external entities and
// validation off (checked on a stand-in for MSXML's document, registered for this test only).
// test-lock: private-data-folder
eval(FSO.OpenTextFile(WScript.Arguments(1) + "\\lib\\files.js", 1).ReadAll());

var BUILD = WScript.Arguments(0);
var EXTENSIONS = "HKCU\\Software\\Microsoft\\Internet Explorer\\LowRegistry\\Belvanquist\\Zembrolatix\\Extensions\\";
var APP = "C:\\zbt_hostile_" + Math.floor(Math.random() * 1e9);
var PRIVATE = directory("ProfD").path;
var NO_HOST = "\\\\zbt-no-such-host\\share";
var service = new ActiveXObject("Zembrolatix.StringBundleService");

function register(name, text) { SH.RegWrite(EXTENSIONS + name + "\\", text, "REG_SZ"); }
function unregister(name) { SH.Run('reg.exe delete "' + EXTENSIONS + name + '" /f', 0, true); }
function xmlFile(path) { writeAnsi(path, "<r>k=v</r>"); return path; }
function fileUrl(path) { return "file:///" + path.replace(/\\/g, "/"); }
var persist = new ActiveXObject("Zembrolatix.WebBrowserPersist");
var copy = newLocalFile(PRIVATE + "\\zbt_hostile_copy.xml");

ensureFolder(APP + "\\data");
ensureFolder(APP + "\\chrome");
register("{zbt-hostile-data}", APP + "\\data");
register("zbt-hostile-pkg", APP + "\\chrome\\app.dll");
register("zbt-hostile-share", NO_HOST + "\\app.dll");

test("an unsafe local file reads only in the private data folder and the registered locations", function () {
    var own = xmlFile(PRIVATE + "\\zbt_hostile_own.xml");
    var rows = [[own, true], [xmlFile(APP + "\\data\\in.xml"), true], [xmlFile(APP + "\\chrome\\in.xml"), true],
                [xmlFile(APP + "\\secret.xml"), false], [APP + "\\data\\..\\secret.xml", false],
                ["\\\\?\\" + APP + "\\secret.xml", false], [PRIVATE + "\\..\\..\\zbt_hostile.xml", false],
                ["\\\\zbt-no-such-host\\elsewhere\\in.xml", false]];
    for (var i = 0; i < rows.length; i++) {
        var path = rows[i][0], stream = new ActiveXObject("Zembrolatix.FileInputStream");
        if (rows[i][1]) {
            stream.init(newLocalFile(path), 0, 0, 0);
            eq(new ActiveXObject("Zembrolatix.DOMParser").parseFromStream(stream, "", 0, "")
                   .documentElement.nodeName, "r", path);
            stream.close();
            eq(service.createBundle(path).GetStringFromName("<r>k"), "v</r>", path);
            persist.saveURI(fileUrl(path), copy);
            eq(readAnsi(copy.path), "<r>k=v</r>", path + ": copied");
        } else {
            throwsHr(E_ACCESSDENIED, function () { stream.init(newLocalFile(path), 0, 0, 0); }, path);
            throwsHr(E_FAIL, function () { stream.available(); }, path + ": nothing opened");
            throwsHr(E_ACCESSDENIED, function () { service.createBundle(path); }, path);
            // A verbatim path is refused as a device source before the reading rule is asked.
            throwsHr(path.indexOf("\\\\?\\") == 0 ? E_INVALIDARG : E_ACCESSDENIED,
                     function () { persist.saveURI(fileUrl(path), copy); }, path + ": fetched");
        }
    }
    // A refused call leaves what was opened or loaded before.
    var held = inputStream(newLocalFile(own)), bundle = service.createBundle(own);
    throwsHr(E_ACCESSDENIED, function () { held.init(newLocalFile(APP + "\\secret.xml"), 0, 0, 0); });
    throwsHr(E_ACCESSDENIED, function () { bundle.init(APP + "\\secret.xml"); });
    eq(held.available(), 10, "the stream stays on its file");
    eq(bundle.GetStringFromName("<r>k"), "v</r>", "the bundle keeps its strings");
    held.close();
    removeFile(own);
});

test("no module on another machine is loaded unless registered", function () {
    var bundle = service.createBundle("res://" + BUILD + "\\tests\\doubles\\zbt_bundle_module.dll/APP.PROPERTIES");
    var urls = ["res://" + NO_HOST + "\\x.dll/APP.PROPERTIES", "res:////zbt-no-such-host/share/x.dll/APP.PROPERTIES",
                "res://\\\\?\\UNC\\zbt-no-such-host\\share\\x.dll/APP.PROPERTIES",
                "res://\\\\.\\GLOBALROOT\\Device\\Mup\\zbt-no-such-host\\share\\x.dll/APP.PROPERTIES",
                "res://" + NO_HOST + "\\app.dll\\..\\x.dll/APP.PROPERTIES"];
    for (var i = 0; i < urls.length; i++) {
        throwsHr(E_INVALIDARG, function () { service.createBundle(urls[i]); }, urls[i]);
        throwsHr(E_INVALIDARG, function () { bundle.init(urls[i]); }, urls[i]);
    }
    eq(bundle.GetStringFromName("source"), "module", "the bundle keeps its strings");
    // The registered module on the share is tried (and is not there).
    throwsHr(E_FAIL, function () { service.createBundle("chrome://zbt-hostile-share/locale/app.properties"); });
});

test("documents are loaded with external entities and validation off", function () {
    var standIn = '"' + BUILD + '\\tests\\doubles\\zbt_xmldoc.dll"';
    var file = directory("ProfD");
    file.append("zbt_hostile_entities.xml");
    writeAnsi(file.path, "<r/>");
    eq(SH.Run("regsvr32.exe /s " + standIn, 0, true), 0, "stand-in registered");
    try {
        var byScript = new ActiveXObject("Microsoft.XMLDOM");
        byScript.loadXML("<r/>");
        var stream = inputStream(file);
        var rows = [[byScript, "resolveExternals true, validateOnParse true", "MSXML's defaults"],
                    [new ActiveXObject("Zembrolatix.DOMParser").parseFromStream(stream, "", 0, ""),
                     "resolveExternals false, validateOnParse false", "DOMParser.parseFromStream"],
                    [Cc["@mozilla.org/xmlextras/domparser;1"].createInstance(Ci.nsIDOMParser).parseFromString("<r/>", ""),
                     "resolveExternals false, validateOnParse false", "parseFromString of the compatibility script"]];
        stream.close();
        for (var i = 0; i < rows.length; i++) eq(rows[i][0].url, rows[i][1], rows[i][2]);
    } finally {
        eq(SH.Run("regsvr32.exe /s /u " + standIn, 0, true), 0, "stand-in removed");
        file.remove(false);
    }
    var real = new ActiveXObject("Microsoft.XMLDOM");
    ok(real.loadXML("<back/>") && real.documentElement.nodeName === "back", "MSXML's own document again");
});

removeFile(copy.path);
unregister("{zbt-hostile-data}");
unregister("zbt-hostile-pkg");
unregister("zbt-hostile-share");
removeFolder(APP);
