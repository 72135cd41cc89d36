// prepend: compat/xpcom.js
// XPCOM script code, written as it is for XPCOM, run over the compatibility script.
// test-lock: private-data-folder
// test-lock: foreground-window
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
    var ostream = Cc["@mozilla.org/network/file-output-stream;1"].createInstance(Ci.nsIFileOutputStream);
    ostream.init(target, 0x02 | 0x08 | 0x20, 0664, 0);
    Cc["@mozilla.org/xmlextras/xmlserializer;1"].createInstance(Ci.nsIDOMSerializer).serializeToStream(doc, ostream, "UTF-8");
    ostream.close();
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
        calls.push("showModalDialog(" + (wnd === parent) + "|" + url + "|" + values.values.join("+") + "|" + options + ")");
        return "answer";
    };
    var ww = Cc["@mozilla.org/embedcomp/window-watcher;1"].getService(Ci.nsIWindowWatcher);
    eq(ww, Services.ww);
    ww.manager = manager;
    var cases = [["width=400,height=300", ["a", 2], "openDialog(chrome://p/content/x.html|400|300|a,2)"],
                 ["chrome,centerscreen", null, "openDialog(chrome://p/content/x.html|0|0|)"],
                 ["fullscreen=yes", "one", "openFullScreen(chrome://p/content/x.html|one)"],
                 ["modal,width=200", [1, 2], "showModalDialog(true|chrome://p/content/x.html|1+2|dialogWidth:200px;)"]];
    for (var i = 0; i < cases.length; i++) {
        calls = [];
        ww.openWindow(parent, "chrome://p/content/x.html", "name", cases[i][0], cases[i][1]);
        eq(calls.join(","), cases[i][2], "features " + cases[i][0]);
    }
    var many = [1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12];
    eq(ww.openWindow(parent, "chrome://p/content/x.html", "", "", many).values.length, 12, "no limit of ten values");
});

test("a window reads window.arguments in its load handler; openWindow answers close() and closed; modal with a null parent", function () {
    var probe = new ActiveXObject("Zembrolatix.Test.BrowserProbe");
    SH.RegWrite(EXTENSIONS + "zbt-js-compat-pages\\", BUILD + "\\tests\\doubles\\zbt_pages.dll", "REG_SZ");
    Services.ww.manager = null; // the library's own window manager
    var args = Cc["@mozilla.org/array;1"].createInstance(Ci.nsIMutableArray);
    var text = Cc["@mozilla.org/supports-string;1"].createInstance(Ci.nsISupportsString);
    text.data = "two";
    args.appendElement("one", false);
    args.appendElement(text, false);
    var win = Services.ww.openWindow(null, "chrome://zbt-js-compat-pages/content/xpcomargs.html", "w", "width=400,height=300", args);
    eq(probe.count, 1, "one window");
    var page = probe.item(0).Document.parentWindow;
    eq([probe.item(0).Width, page.seen].join(), "400,load 2 one two", "arguments seen by the load handler");
    eq([win.closed, win.document.title].join(), "false,XPCOM arguments");
    win.close();
    probe.pump();
    eq([probe.count, win.closed].join(), "0,true", "closed through the object openWindow gave");
    Services.ww.openWindow(null, "chrome://zbt-js-compat-pages/content/args.html", "p", "", null);
    page = probe.item(0).Document.parentWindow;
    var dialog = Services.ww.openWindow(page, "chrome://zbt-js-compat-pages/content/dialog.html", "d", "modal", "x");
    ok(/^args=x\|.*\|close=ok$/.test(dialog.returnValue) && dialog.closed, "the dialog's answer: " + dialog.returnValue);
    throwsHr(E_NOTIMPL, function () { Services.ww.openWindow(null, "chrome://zbt-js-compat-pages/content/dialog.html", "d", "modal", "y"); },
             "a script host has no page window to own a modal window");
    window = page; // as in a page: the calling page owns a modal window opened with a null parent
    dialog = Services.ww.openWindow(null, "chrome://zbt-js-compat-pages/content/dialog.html", "d", "modal", "y");
    window = undefined;
    ok(/^args=y\|/.test(dialog.returnValue), "null parent: " + dialog.returnValue);
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

// Routines that need members a library may lack run only where it has them, and say so otherwise.
function has(obj, name) { try { return typeof obj[name] !== "undefined"; } catch (e) { return false; } }
function whenLibraryHas(available, name, routine) {
    if (available) routine();
    else WScript.Echo("skipped: needs " + name + " [" + T.current + "]");
}

test("file output: XPCOM's write-create-truncate (-1) empties the file; a safe stream is atomic or refused", function () {
    var file = profileFile("settings.ini");
    writeFile(file, "a much longer first content", -1);
    writeFile(file, "short", -1);
    eq(readAnsi(WORK + "\\settings.ini"), "short");
    writeFile(file, "+", 0x02 | 0x10);
    eq(readAnsi(WORK + "\\settings.ini"), "short+", "append");
    if (has(create_("FileOutputStream"), "initWithFlags")) {
        writeFile(file, "S", 0x02);
        eq(readAnsi(WORK + "\\settings.ini"), "Short+", "written over, not emptied");
    } else throwsHr(E_NOTIMPL, function () { writeFile(file, "x", 0x02); }, "overwriting without truncation is refused");
    var safe = Cc["@mozilla.org/network/safe-file-output-stream;1"].createInstance(Ci.nsIFileOutputStream);
    whenLibraryHas(has(safe.stream, "initSafe"), "FileOutputStream.initSafe", function () {
        var before = readAnsi(WORK + "\\settings.ini");
        safe.init(file, -1, 0644, 0);
        safe.write("new", 3);
        eq(readAnsi(WORK + "\\settings.ini"), before, "the target is untouched until finish()");
        safe.QueryInterface(Ci.nsISafeOutputStream).finish();
        eq(readAnsi(WORK + "\\settings.ini"), "new");
    });
    if (!has(safe.stream, "initSafe")) throwsHr(E_NOTIMPL, function () { safe.init(file, -1, 0644, 0); }, "no silent non-atomic stream");
});

test("preferences: a file and a localized string as complex values", function () {
    var prefs = Services.prefs.getBranch("extensions.zbxcompat.");
    var dir = Services.dirsvc.get("ProfD", Ci.nsIFile);
    prefs.setComplexValue("folder", Ci.nsIFile, dir);
    eq(prefs.getCharPref("folder"), dir.path, "a file is stored as its path");
    eq(prefs.getComplexValue("folder", Ci.nsILocalFile).path, dir.path);
    var text = Cc["@mozilla.org/pref-localizedstring;1"].createInstance(Ci.nsIPrefLocalizedString);
    text.data = "Gr\u00fc\u00dfe";
    prefs.setComplexValue("hello", Ci.nsIPrefLocalizedString, text);
    eq(prefs.getComplexValue("hello", Ci.nsIPrefLocalizedString).data, "Gr\u00fc\u00dfe");
});

test("preferences: defaults for the session, user values over them, observers", function () {
    var defaults = Services.prefs.getDefaultBranch("extensions.zbxcompat.");
    defaults.setIntPref("volume", 5);
    defaults.setBoolPref("sound", true);
    var prefs = Services.prefs.getBranch("extensions.zbxcompat.");
    eq([prefs.getIntPref("volume"), prefs.getBoolPref("sound"), prefs.prefHasUserValue("volume")].join(), "5,true,false");
    var seen = [];
    var observer = { observe: function (subject, topic, data) { seen.push(topic + " " + data + " " + (subject === prefs)); } };
    prefs.QueryInterface(Ci.nsIPrefBranch2).addObserver("vol", observer, false);
    Services.prefs.setIntPref("extensions.zbxcompat.volume", 9);
    eq([prefs.getIntPref("volume"), defaults.getIntPref("volume"), prefs.getPrefType("sound")].join(), "9,5," + prefs.PREF_BOOL);
    if (!has(libraryBranchOf("extensions.zbxcompat."), "addObserver")) eq(seen.join(), "nsPref:changed volume true", "observed");
    prefs.removeObserver("vol", observer);
    whenLibraryHas(has(libraryBranchOf("extensions.zbxcompat."), "clearUserPref"), "PrefBranch.clearUserPref, getChildList", function () {
        prefs.clearUserPref("volume");
        eq(prefs.getIntPref("volume"), 5, "the default is back");
        var count = {};
        ok(prefs.getChildList("", count).join().indexOf("sound") >= 0 && count.value >= 2, "child list with defaults");
    });
});
function create_(cls) { return new ActiveXObject("Zembrolatix." + cls); }
function libraryBranchOf(root) { return new ActiveXObject("Zembrolatix.PrefService").getBranch(root); }

function readable(stream) { return has(stream.stream, "setCharset"); }

test("a settings file read as text, line by line", function () {
    var file = profileFile("app.ini");
    writeFile(file, "[main]\r\nname=Gr\u00fc\u00dfe\nsize=3", -1);
    var fis = Cc["@mozilla.org/network/file-input-stream;1"].createInstance(Ci.nsIFileInputStream);
    fis.init(file, -1, 0, 0);
    whenLibraryHas(readable(fis), "FileInputStream.setCharset, readString, readLine", function () {
        var cis = Cc["@mozilla.org/intl/converter-input-stream;1"].createInstance(Ci.nsIConverterInputStream);
        cis.init(fis, "UTF-8", 0, Ci.nsIConverterInputStream.DEFAULT_REPLACEMENT_CHARACTER);
        cis.QueryInterface(Ci.nsIUnicharLineInputStream);
        var line = {}, lines = [], more;
        do { more = cis.readLine(line); lines.push(line.value); } while (more);
        eq(lines.join("|"), "[main]|name=Gr\u00fc\u00dfe|size=3");
        var istream = Cc["@mozilla.org/network/file-input-stream;1"].createInstance(Ci.nsIFileInputStream);
        istream.init(file, 0x01, 0444, 0);
        istream.QueryInterface(Ci.nsILineInputStream);
        lines = [];
        do { more = istream.readLine(line); lines.push(line.value); } while (more);
        istream.close();
        eq(lines.length + " " + lines[0], "3 [main]", "nsILineInputStream");
    });
    var sis = Cc["@mozilla.org/scriptableinputstream;1"].createInstance(Ci.nsIScriptableInputStream);
    sis.init(fis);
    if (!readable(fis)) throwsHr(E_NOTIMPL, function () { sis.read(4); }, "reading names the limit");
    else { fis.seek(0, 0); eq(sis.read(6), "[main]"); }
    fis.close();
});

test("a folder listed and copied", function () {
    var dir = profileFile("folder");
    if (!dir.exists()) dir.create(Ci.nsIFile.DIRECTORY_TYPE, 0755);
    var names = ["a.txt", "b.txt"];
    for (var i = 0; i < names.length; i++) {
        writeFile(newLocalFile(dir.path + "\\" + names[i]), names[i], -1);
    }
    whenLibraryHas(has(dir, "directoryEntries"), "LocalFile.directoryEntries, parent, copyTo", function () {
        var seen = [];
        for (var entries = dir.directoryEntries; entries.hasMoreElements();) seen.push(entries.getNext().QueryInterface(Ci.nsIFile).leafName);
        eq(seen.sort().join(), "a.txt,b.txt");
        dir.copyTo(dir.parent, "copy");
        eq(readAnsi(WORK + "\\copy\\b.txt"), "b.txt");
    });
});

test("a preference changed by another process reaches an observer", function () {
    var prefs = Services.prefs.getBranch("extensions.zbxcompat.");
    prefs.setIntPref("watch", 1);
    whenLibraryHas(has(libraryBranchOf("extensions.zbxcompat."), "addObserver"), "PrefBranch.addObserver", function () {
        var seen = [];
        prefs.addObserver("watch", function (subject, topic, data) { seen.push(data); }, false);
        SH.Run('reg.exe add "' + PREF_KEY + '" /v watch /t REG_DWORD /d 7 /f', 0, true);
        // Wine's script host has no WScript.Sleep: pump this thread's messages for up to two seconds.
        var probe = new ActiveXObject("Zembrolatix.Test.BrowserProbe");
        for (var end = new Date().getTime() + 2000; !seen.length && new Date().getTime() < end;) probe.pump();
        eq(seen.join(), "watch", "told within two seconds");
    });
});

test("a localised message with a fallback for a missing string", function () {
    var bundle = Services.strings.createBundle("chrome://zbt-js-compat/locale/app.properties");
    var label;
    try { label = bundle.GetStringFromName("missing.label"); } catch (e) { label = "Fallback"; ok(e.number === Cr.NS_ERROR_FAILURE, "NS_ERROR_FAILURE"); }
    eq(label, "Fallback");
    eq(bundle.formatStringFromName("title", [], 0), "Export data");
});

test("file URLs escape and unescape as XPCOM does", function () {
    var file = profileFile("p%41 #\u00e9.txt");
    writeFile(file, "", -1);
    var uri = Services.io.newFileURI(file);
    var spec = "file:///" + WORK.replace(/\\/g, "/").replace(/ /g, "%20") + "/p%2541%20%23%C3%A9.txt";
    eq(uri.spec, spec);
    var handler = Cc["@mozilla.org/network/protocol;1?name=file"].getService(Ci.nsIFileProtocolHandler);
    eq(handler.getURLSpecFromFile(file), spec);
    eq(handler.getFileFromURLSpec(spec).path, file.path);
    eq(Services.io.newURI(spec).QueryInterface(Ci.nsIFileURL).file.path, file.path);
    eq(handler.getFileFromURLSpec("file://server/share/a%20b.txt").path, "\\\\server\\share\\a b.txt");
});

test("a picked file keeps its trust through fp.fileURL into saveURI", function () {
    var target = directory("TmpD");
    target.append("zbx_compat_picked.txt");
    var fp = Cc["@mozilla.org/filepicker;1"].createInstance(Ci.nsIFilePicker);
    fp.picker = pickerStandIn(Ci.nsIFilePicker.returnOK, [target.path]);
    fp.picker.file = target; // the library hands out the chosen file as safe
    fp.init(null, "Save", Ci.nsIFilePicker.modeSave);
    fp.show();
    var source = profileFile("s \u00e9#.txt");
    writeFile(source, "picked", -1);
    var persist = Cc["@mozilla.org/embedding/browser/nsWebBrowserPersist;1"].createInstance(Ci.nsIWebBrowserPersist);
    persist.saveURI(Services.io.newFileURI(source), null, null, null, null, fp.fileURL);
    eq(readAnsi(target.path), "picked", "saved to the picked file through fp.fileURL");
    removeFile(target.path);
});

test("URIs: resolution against a base and nsIURI's attributes", function () {
    var base = Services.io.newURI("http://a/b/c/d;p?q");
    var table = [["g", "http://a/b/c/g"], ["../g", "http://a/b/g"], ["//g", "http://g/"], ["?y", "http://a/b/c/d;p?y"],
                 ["#s", "http://a/b/c/d;p?q#s"], ["../../../g", "http://a/g"], ["g;x=1/../y", "http://a/b/c/y"]];
    for (var i = 0; i < table.length; i++) {
        eq(Services.io.newURI(table[i][0], null, base).spec, table[i][1], table[i][0]);
        eq(base.resolve(table[i][0]), table[i][1]);
    }
    var uri = Services.io.newURI("HTTP://Example.COM:8080/a/b.txt?x=1#top");
    eq([uri.spec, uri.scheme, uri.host, uri.port, uri.path, uri.schemeIs("http")].join(" "),
       "http://example.com:8080/a/b.txt?x=1#top http example.com 8080 /a/b.txt?x=1#top true");
    ok(uri.equals(uri.clone()) && !uri.equals(base) && uri instanceof Ci.nsIURI && !(uri instanceof Ci.nsIFile), "equals, clone, instanceof");
    eq(Services.io.newURI("http://example.com:80").spec, "http://example.com/");
});

test("modules, results and constructors as ported code uses them", function () {
    Components.utils.import("resource://gre/modules/FileUtils.jsm");
    var scope = {};
    ChromeUtils.import("resource://gre/modules/NetUtil.jsm", scope);
    eq(typeof FileUtils + typeof scope.NetUtil + typeof Cu.import("resource://gre/modules/Services.jsm").Services, "objectobjectobject");
    try { Cu.import("resource://gre/modules/XPCOMUtils.jsm"); fail("imported"); }
    catch (e) { ok(e.number === Cr.NS_ERROR_FILE_NOT_FOUND && /XPCOMUtils/.test(e.message), "unknown module: " + e.message); }
    var missing = profileFile("missing.txt"), existing = profileFile("log.txt");
    var results = [[function () { Cc["@mozilla.org/network/file-input-stream;1"].createInstance(Ci.nsIFileInputStream).init(missing, -1, 0, 0); }, Cr.NS_ERROR_FILE_NOT_FOUND],
                   [function () { existing.create(Ci.nsIFile.NORMAL_FILE_TYPE, 0644); }, Cr.NS_ERROR_FILE_ALREADY_EXISTS],
                   [function () { Services.prefs.getIntPref("extensions.zbxcompat.none"); }, Cr.NS_ERROR_FAILURE],
                   [function () { newLocalFile(TEMP + "\\zbx_compat_denied").create(0, 0644); }, Cr.NS_ERROR_FILE_ACCESS_DENIED]];
    for (var i = 0; i < results.length; i++) eq(hrOf(results[i][0]) | 0, results[i][1], "result " + i);
    ok(!(existing instanceof Ci.nsIFile), "instanceof does not throw");
    var LocalFile = Components.Constructor("@mozilla.org/file/local;1", "nsILocalFile", "initWithPath");
    eq(new LocalFile(WORK).path, WORK);
});

test("FileUtils and NetUtil: a folder made, a file written, fetched back", function () {
    Components.utils.import("resource://gre/modules/NetUtil.jsm");
    var dir = FileUtils.getDir("ProfD", ["zbx_compat_test", "deep", "er"], true);
    ok(dir.isDirectory(), "getDir made every level");
    var file = FileUtils.getFile("ProfD", ["zbx_compat_test", "deep", "net.txt"]);
    var out = FileUtils.openFileOutputStream(file, FileUtils.MODE_WRONLY | FileUtils.MODE_CREATE | FileUtils.MODE_TRUNCATE);
    var converter = Cc["@mozilla.org/intl/scriptableunicodeconverter"].createInstance(Ci.nsIScriptableUnicodeConverter);
    converter.charset = "UTF-8";
    var got = null;
    NetUtil.asyncCopy(converter.convertToInputStream("Gr\u00fc\u00dfe"), out, function (status) { got = status; });
    eq(got + " " + hexBytes(file.path), "0 47 72 C3 BC C3 9F 65", "copied and closed");
    NetUtil.asyncFetch(NetUtil.newURI(file), function (stream, status) {
        got = status;
        whenLibraryHas(readable(stream), "FileInputStream.setCharset, readString", function () {
            eq(NetUtil.readInputStreamToString(stream, stream.available(), { charset: "UTF-8" }), "Gr\u00fc\u00dfe");
        });
        stream.close();
    });
    eq(got, Cr.NS_OK, "fetched with status NS_OK");
    NetUtil.asyncFetch(Services.io.newFileURI(profileFile("none.txt")), function (stream, status) { got = status; });
    ok(!Components.isSuccessCode(got), "a missing file fails");
});

test("services and contracts: observers, dialogs, application, converters, arrays, errors", function () {
    var seen = [];
    var observer = { observe: function (subject, topic, data) { seen.push(topic + ":" + data); } };
    Services.obs.addObserver(observer, "zbx-test", false);
    Services.obs.notifyObservers(null, "zbx-test", "one");
    Services.obs.removeObserver(observer, "zbx-test");
    Services.obs.notifyObservers(null, "zbx-test", "two");
    eq(seen.join(), "zbx-test:one");
    var calls = [], page = { alert: function (t) { calls.push("alert " + t); }, confirm: function (t) { calls.push("confirm " + t); return true; },
                             prompt: function (t, v) { calls.push("prompt " + t + " " + v); return "typed"; } };
    var value = { value: "start" };
    Services.prompt.alert(page, "T", "hello");
    var answers = [Services.prompt.confirm(page, "T", "sure?"), Services.prompt.prompt(page, "T", "name?", value, null, {}), value.value];
    eq(calls.join() + "|" + answers.join(), "alert hello,confirm sure?,prompt name? start|true,true,typed");
    throwsHr(E_NOTIMPL, function () { Services.prompt.prompt(null, "T", "name?", value, null, {}); }, "no input box under the script host");
    eq([Services.appinfo.name, Services.appinfo.version, Services.appinfo.OS].join(), "Zembrolatix,1.0,WINNT");
    var converter = Cc["@mozilla.org/intl/scriptableunicodeconverter"].createInstance(Ci.nsIScriptableUnicodeConverter);
    converter.charset = "UTF-8";
    var bytes = converter.ConvertFromUnicode("\u00e9\u20ac");
    eq(bytes.length + " " + converter.ConvertToUnicode(bytes) + " " + converter.convertToByteArray("\u00e9", {}).join(), "5 \u00e9\u20ac 195,169");
    var list = Cc["@mozilla.org/supports-array;1"].createInstance(Ci.nsISupportsArray);
    list.AppendElement("a");
    list.AppendElement("b");
    eq(list.Count() + list.GetElementAt(1), "2b");
    var error = Cc["@mozilla.org/scripterror;1"].createInstance(Ci.nsIScriptError);
    error.init("bad thing", "app.js", null, 3, 0, Ci.nsIScriptError.warningFlag, "app");
    Services.console.logMessage(error);
    eq(String(error), '[JavaScript Warning: "bad thing" {file: "app.js" line: 3}]');
    var request = Cc["@mozilla.org/xmlextras/xmlhttprequest;1"].createInstance(Ci.nsIXMLHttpRequest);
    ok(has(request, "open") && has(new XMLHttpRequest(), "send"), "an HTTP request object, and XMLHttpRequest");
});

test("leave nothing behind", function () {
    removeFolder(WORK);
    eq(SH.Run('reg.exe delete "' + EXTENSIONS + 'zbt-js-compat" /f', 0, true), 0, "package unregistered");
    eq(SH.Run('reg.exe delete "' + PREF_KEY + '" /f', 0, true), 0, "preferences removed");
});
