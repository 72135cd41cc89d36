// prepend: compat/xpcom.js
// XPCOM script code, written as it is for XPCOM, run over the compatibility script.
// test-lock: private-data-folder
eval(FSO.OpenTextFile(WScript.Arguments(1) + "\\lib\\files.js", 1).ReadAll());

var BUILD = WScript.Arguments(0);
var EXTENSIONS = "HKCU\\Software\\Microsoft\\Internet Explorer\\LowRegistry\\Belvanquist\\Zembrolatix\\Extensions\\";
var PREF_KEY = "HKCU\\Software\\Microsoft\\Internet Explorer\\LowRegistry\\Zembrolatix\\extensions\\zbxcompat";
var WORK = privateFolder(true) + "\\zbx_compat_test";
var TEMP = FSO.GetSpecialFolder(2).Path;
ensureFolder(WORK);
SH.RegWrite(EXTENSIONS + "zbt-js-compat\\", BUILD + "\\tests\\doubles\\zbt_bundle_module.dll", "REG_SZ");

function profileFile(name) {
    var file = Cc["@mozilla.org/file/directory_service;1"].getService(Ci.nsIProperties).get("ProfD", Ci.nsIFile);
    file.append("zbx_compat_test");
    file.append(name);
    return file;
}
function writeFile(file, data, flags) {
    var foStream = Cc["@mozilla.org/network/file-output-stream;1"].createInstance(Ci.nsIFileOutputStream);
    foStream.init(file, flags, 0666, 0);
    foStream.write(data, data.length);
    foStream.close();
}

test("a profile file written, then appended to", function () {
    var file = profileFile("log.txt");
    writeFile(file, "first\n", 0x02 | 0x08 | 0x20);
    writeFile(file, "second\n", 0x02 | 0x10);
    eq(readAnsi(WORK + "\\log.txt"), "first\nsecond\n");
    writeFile(file, "again\n", 0x02 | 0x08 | 0x20);
    eq(readAnsi(WORK + "\\log.txt"), "again\n", "truncated by a new write");
    var converter = Cc["@mozilla.org/intl/converter-output-stream;1"].createInstance(Ci.nsIConverterOutputStream);
    var fos = Cc["@mozilla.org/network/file-output-stream;1"].createInstance(Ci.nsIFileOutputStream);
    fos.init(file, 0x02 | 0x08 | 0x20, 0666, 0);
    converter.init(fos, "UTF-8", 0, 0);
    converter.writeString("Gr\u00fc\u00dfe");
    converter.writeString("");
    converter.close();
    eq(hexBytes(WORK + "\\log.txt"), "47 72 C3 BC C3 9F 65");
});

test("a folder by path, made with create(DIRECTORY_TYPE)", function () {
    var dir = Cc["@mozilla.org/file/local;1"].createInstance(Ci.nsILocalFile);
    dir.initWithPath(WORK + "\\notes");
    if (!dir.exists()) dir.create(Ci.nsIFile.DIRECTORY_TYPE, 0755);
    ok(dir.isDirectory(), "made");
    var same = dir.QueryInterface(Ci.nsILocalFile);
    eq(same.path, WORK + "\\notes");
    ok(dir.Implements(Ci.nsIFile), "Ci entries are interface identifiers");
    var outside = Cc["@mozilla.org/file/local;1"].createInstance(Ci.nsILocalFile);
    outside.initWithPath(TEMP + "\\zbx_compat_outside");
    try { outside.create(Ci.nsIFile.DIRECTORY_TYPE, 0755); fail("created outside"); }
    catch (e) { eq(e.number, Cr.NS_ERROR_FILE_ACCESS_DENIED, "refused outside the private folder"); }
});

test("preferences: a branch round trip with a default, seen the same from every branch", function () {
    var prefs = Cc["@mozilla.org/preferences-service;1"].getService(Ci.nsIPrefService).getBranch("extensions.zbxcompat.");
    var count;
    try { count = prefs.getIntPref("count"); } catch (e) { count = 10; }
    eq(count, 10, "default when missing");
    prefs.setIntPref("count", count + 1);
    eq(prefs.getIntPref("count"), 11);
    eq(Services.prefs.getIntPref("extensions.zbxcompat.count"), 11, "the root sees the full name");
    prefs.setCharPref("window.title", "Notes");
    eq(Services.prefs.getBranch("extensions.zbxcompat.window.").getCharPref("title"), "Notes");
    eq(Services.prefs.getCharPref("extensions.zbxcompat.window.title"), "Notes");
    eq(prefs.getBoolPref("missing", true), true, "a getter's default");
    var text = Cc["@mozilla.org/supports-string;1"].createInstance(Ci.nsISupportsString);
    text.data = "Gr\u00fc\u00dfe";
    prefs.setComplexValue("greeting", Ci.nsISupportsString, text);
    eq(prefs.getComplexValue("greeting", Ci.nsISupportsString).data, "Gr\u00fc\u00dfe");
    eq(prefs.getPrefType("greeting"), prefs.PREF_STRING);
    eq(prefs.getPrefType("count"), Ci.nsIPrefBranch.PREF_INT);
    eq(prefs.getPrefType("missing"), prefs.PREF_INVALID);
});

test("a string bundle of a registered package, enumerated and formatted", function () {
    var bundle = Services.strings.createBundle("chrome://zbt-js-compat/locale/app.properties");
    eq(bundle.GetStringFromName("title"), "Export data");
    var all = {}, n = 0;
    var e = bundle.getSimpleEnumeration();
    while (e.hasMoreElements()) {
        var prop = e.getNext().QueryInterface(Ci.nsIPropertyElement);
        all[prop.key] = prop.value;
        n++;
    }
    eq(n, 4);
    eq(all.greeting, "Gr\u00fc\u00dfe");
    var path = WORK + "\\zbx-compat-format.properties"; // a file a page may read: in the private data folder
    writeAnsi(path, "hello=Hello %S and %S\nswap=%2$S before %1$S, 100%%\n");
    var sbs = Cc["@mozilla.org/intl/stringbundle;1"].getService(Ci.nsIStringBundleService);
    var file = sbs.createBundle(path);
    eq(file.formatStringFromName("hello", ["Ann", "Bo"], 2), "Hello Ann and Bo");
    eq(file.formatStringFromName("swap", ["Ann", "Bo"], 2), "Bo before Ann, 100%");
    removeFile(path);
});

test("XML parsed from a file stream and serialized to one", function () {
    var source = profileFile("in.xml");
    writeFile(source, "<notes><note id='1'>milk</note></notes>", 0x02 | 0x08 | 0x20);
    var istream = Cc["@mozilla.org/network/file-input-stream;1"].createInstance(Ci.nsIFileInputStream);
    istream.init(source, -1, 0, 0);
    var parser = Cc["@mozilla.org/xmlextras/domparser;1"].createInstance(Ci.nsIDOMParser);
    var doc = parser.parseFromStream(istream, "UTF-8", istream.available(), "text/xml");
    istream.close();
    eq(doc.documentElement.nodeName, "notes");
    var note = doc.createElement("note");
    note.setAttribute("id", "2");
    note.appendChild(doc.createTextNode("Gr\u00fc\u00dfe"));
    doc.documentElement.appendChild(note);
    var target = profileFile("out.xml");
    var ostream = Cc["@mozilla.org/network/safe-file-output-stream;1"].createInstance(Ci.nsIFileOutputStream);
    ostream.init(target, 0x02 | 0x08 | 0x20, 0664, 0);
    Cc["@mozilla.org/xmlextras/xmlserializer;1"].createInstance(Ci.nsIDOMSerializer).serializeToStream(doc, ostream, "UTF-8");
    ostream.QueryInterface(Ci.nsISafeOutputStream).finish();
    var again = new ActiveXObject("Microsoft.XMLDOM");
    again.async = false;
    ok(again.load(target.path), "written XML loads");
    eq(again.documentElement.childNodes.length, 2);
    eq(again.documentElement.lastChild.text, "Gr\u00fc\u00dfe");
    eq(parser.parseFromString("<a><b/></a>", "text/xml").documentElement.firstChild.nodeName, "b");
    throwsHr(E_FAIL, function () { parser.parseFromString("<a>", "text/xml"); }, "not well-formed");
});

test("saveURI with XPCOM's argument lists and a progress listener", function () {
    var source = profileFile("source.txt");
    writeFile(source, "fetched", 0x02 | 0x08 | 0x20);
    var ios = Cc["@mozilla.org/network/io-service;1"].getService(Ci.nsIIOService);
    var uri = ios.newURI(ios.newFileURI(source).spec, null, null);
    var seen = [];
    var persist = Cc["@mozilla.org/embedding/browser/nsWebBrowserPersist;1"].createInstance(Ci.nsIWebBrowserPersist);
    persist.persistFlags = Ci.nsIWebBrowserPersist.PERSIST_FLAGS_REPLACE_EXISTING_FILES;
    persist.progressListener = {
        onStateChange: function (progress, request, flags, status) { seen.push(flags + ":" + status); },
        onProgressChange: function (p, r, cur, max) { seen.push("progress " + cur + "/" + max); }
    };
    var STOP = Ci.nsIWebProgressListener.STATE_STOP | Ci.nsIWebProgressListener.STATE_IS_NETWORK;
    var START = Ci.nsIWebProgressListener.STATE_START | Ci.nsIWebProgressListener.STATE_IS_NETWORK;
    persist.saveURI(uri, null, null, null, null, profileFile("copy6.txt"));
    eq(readAnsi(WORK + "\\copy6.txt"), "fetched");
    eq(seen.join(","), START + ":0,progress 100/100," + STOP + ":0");
    eq(persist.currentState, Ci.nsIWebBrowserPersist.PERSIST_STATE_FINISHED);
    persist.saveURI(uri.spec, null, null, 0, null, null, profileFile("copy8.txt"), null);
    eq(readAnsi(WORK + "\\copy8.txt"), "fetched");
    seen = [];
    persist.saveURI(uri.spec + ".missing", null, null, null, null, profileFile("none.txt"));
    ok(persist.result !== 0 && seen[seen.length - 1] === STOP + ":" + persist.result, "failure told to the listener");
    var plain = Cc["@mozilla.org/embedding/browser/nsWebBrowserPersist;1"].createInstance(Ci.nsIWebBrowserPersist);
    ok(hrOf(function () { plain.saveURI(uri.spec + ".missing", profileFile("none.txt")); }) !== 0,
       "without a listener a failure is thrown");
});

// The dialog itself is the library's; a stand-in answers for it so the adapter's side can be seen.
function pickerStandIn(result, paths) {
    var dialog = { filterIndex: 0, calls: [] };
    dialog.init = function (parent, title, mode) { dialog.calls.push("init " + title + " " + mode); };
    dialog.appendFilters = function (mask) { dialog.calls.push("filters " + mask); };
    dialog.show = function () { dialog.calls.push("show " + dialog.filterIndex + " " + dialog.defaultString); dialog.filterIndex = 2; return result; };
    dialog.file = newLocalFile(paths[0]);
    dialog.files = { i: 0, hasMoreElements: function () { return this.i < paths.length; }, getNext: function () { return paths[this.i++]; } };
    return dialog;
}

test("the file picker hands the dialog its settings and gives the choice back as XPCOM does", function () {
    var nsIFilePicker = Ci.nsIFilePicker;
    var cases = [[nsIFilePicker.modeSave, nsIFilePicker.returnReplace, [WORK + "\\a.txt"]],
                 [nsIFilePicker.modeOpenMultiple, nsIFilePicker.returnOK, [WORK + "\\a.txt", WORK + "\\b.txt"]],
                 [nsIFilePicker.modeOpen, nsIFilePicker.returnCancel, [WORK + "\\a.txt"]]];
    for (var i = 0; i < cases.length; i++) {
        var fp = Cc["@mozilla.org/filepicker;1"].createInstance(nsIFilePicker), dialog = pickerStandIn(cases[i][1], cases[i][2]);
        fp.picker = dialog;
        fp.init(null, "Pick", cases[i][0]);
        fp.appendFilters(nsIFilePicker.filterText | nsIFilePicker.filterAll);
        fp.defaultString = "x.txt";
        var answered = null;
        fp.open({ done: function (r) { answered = r; } });
        eq(answered, cases[i][1], "case " + i + " result");
        eq(dialog.calls.join(","), "init Pick " + cases[i][0] + ",filters 5,show 1 x.txt", "case " + i + " dialog");
        eq(fp.filterIndex, 1, "case " + i + " filter index from 0");
        if (cases[i][1] === nsIFilePicker.returnCancel) { eq(fp.file, null, "nothing chosen"); continue; }
        eq(fp.file.path, cases[i][2][0], "case " + i + " file");
        eq(fp.fileURL.spec, "file:///" + cases[i][2][0].replace(/\\/g, "/"), "case " + i + " fileURL");
        var n = 0;
        for (var e = fp.files; e.hasMoreElements(); n++) eq(e.getNext().QueryInterface(Ci.nsILocalFile).path, cases[i][2][n]);
        eq(n, cases[i][2].length, "case " + i + " files");
    }
});

test("openWindow's features choose the window manager's member, its values arrive one by one", function () {
    var calls = [], parent = {};
    function recorder(name) { return function () { calls.push(name + "(" + Array.prototype.slice.call(arguments).join("|") + ")"); return arguments[0]; }; }
    var manager = { openDialog: recorder("openDialog"), openFullScreen: recorder("openFullScreen") };
    manager.showModalDialog = function (wnd, url, values, options) {
        calls.push("showModalDialog(" + (wnd === parent) + "|" + url + "|" + values.join("+") + "|" + options + ")");
        return "answer";
    };
    var ww = Cc["@mozilla.org/embedcomp/window-watcher;1"].getService(Ci.nsIWindowWatcher);
    eq(ww, Services.ww);
    ww.manager = manager;
    var cases = [["width=400,height=300", ["a", 2], "openDialog(chrome://p/content/x.html|400|300|a|2)"],
                 ["chrome,centerscreen", null, "openDialog(chrome://p/content/x.html|0|0)"],
                 ["fullscreen=yes", "one", "openFullScreen(chrome://p/content/x.html|one)"],
                 ["modal,width=200", [1, 2], "showModalDialog(true|chrome://p/content/x.html|1+2|dialogWidth:200px;)"]];
    for (var i = 0; i < cases.length; i++) {
        calls = [];
        ww.openWindow(parent, "chrome://p/content/x.html", "name", cases[i][0], cases[i][1]);
        eq(calls.join(","), cases[i][2], "features " + cases[i][0]);
    }
    throwsHr(E_INVALIDARG, function () { ww.openWindow(parent, "chrome://p/content/x.html", "", "", [1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11]); });
});

test("openWindow and a modal openWindow open the application's own pages in the browser", function () {
    var probe = new ActiveXObject("Zembrolatix.Test.BrowserProbe");
    SH.RegWrite(EXTENSIONS + "zbt-js-compat-pages\\", BUILD + "\\tests\\doubles\\zbt_pages.dll", "REG_SZ");
    Services.ww.manager = null; // the library's own window manager
    Services.ww.openWindow(null, "chrome://zbt-js-compat-pages/content/args.html", "w", "width=400,height=300", ["a", 2]);
    eq(probe.count, 1, "one window");
    var page = probe.item(0).Document.parentWindow;
    eq([probe.item(0).Width, page.received.length, page.received[0], page.received[1]].join(), "400,2,a,2");
    var answer = Services.ww.openWindow(page, "chrome://zbt-js-compat-pages/content/dialog.html", "d", "modal", "x");
    ok(/^args=x\|.*\|close=ok$/.test(answer), "the dialog's answer: " + answer);
    probe.closeAll();
    probe.pump();
    eq(SH.Run('reg.exe delete "' + EXTENSIONS + 'zbt-js-compat-pages" /f', 0, true), 0, "pages unregistered");
});

test("interface constants and results", function () {
    var table = [[Ci.nsIFile.NORMAL_FILE_TYPE, 0], [Ci.nsILocalFile.DIRECTORY_TYPE, 1], [Ci.nsIFilePicker.modeSave, 1],
                 [Ci.nsIFilePicker.modeOpenMultiple, 3], [Ci.nsIFilePicker.returnReplace, 2],
                 [Ci.nsIFilePicker.filterText, 0x04], [Ci.nsIFilePicker.filterXML, 0x10],
                 [Ci.nsISeekableStream.NS_SEEK_END, 2], [Cr.NS_ERROR_FAILURE, E_FAIL | 0],
                 [Cr.NS_ERROR_INVALID_ARG, E_INVALIDARG | 0], [String(Ci.nsIFile), IID_ILocalFile]];
    for (var i = 0; i < table.length; i++) eq(table[i][0], table[i][1], "entry " + i);
    eq(Components.classes, Cc);
    eq(Components.interfaces.nsIPrefBranch, Ci.nsIPrefBranch);
    eq(Services.dirsvc.get("ProfLD", Ci.nsIFile).path, privateFolder(true));
});

test("leave nothing behind", function () {
    removeFolder(WORK);
    eq(SH.Run('reg.exe delete "' + EXTENSIONS + 'zbt-js-compat" /f', 0, true), 0, "package unregistered");
    eq(SH.Run('reg.exe delete "' + PREF_KEY + '" /f', 0, true), 0, "preferences removed");
});
