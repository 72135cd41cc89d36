// A short tour of Zembrolatix from JScript: creates every class and prints what it answers.
function hex(n) { return "0x" + ("00000000" + (n >>> 0).toString(16).toUpperCase()).slice(-8); }
function step(label, fn) {
    try { WScript.Echo(label + ": " + fn()); }
    catch (e) { WScript.Echo(label + ": error " + hex(e.number)); }
}

var CLASSES = ["ArgumentTransfer", "ContextMenuHelper", "DirectoryService", "DOMParser", "DOMSerializer",
    "FileInputStream", "FileOutputStream", "FilePicker", "InterfaceFinder", "LocalFile", "PrefBranch",
    "PrefService", "PropertyElement", "Logger", "SimpleEnumerator", "StringBundle", "StringBundleService",
    "WebBrowserPersist", "WindowManager"];
var IOBJECTSAFETY = "{CB5BDC81-93C1-11CF-8F20-00805F2CD064}";
var finder = new ActiveXObject("Zembrolatix.InterfaceFinder");

WScript.Echo("== Classes");
for (var i = 0; i < CLASSES.length; i++) {
    (function (name) {
        step("Zembrolatix." + name, function () {
            var obj = new ActiveXObject("Zembrolatix." + name + ".1");
            return "created; safe for scripting: " + finder.Implements(obj, IOBJECTSAFETY);
        });
    })(CLASSES[i]);
}

WScript.Echo("== Files");
var ILOCALFILE = "{F75B5C32-B42D-416D-93AC-8798869674CE}";
var dirs = new ActiveXObject("Zembrolatix.DirectoryService");
var folder = null;
step("ProfD", function () { folder = dirs.get("ProfD", ILOCALFILE); return folder.path + " (safe: " + folder.GetSafe() + ")"; });
step("TmpD", function () { return dirs.get("TmpD", ILOCALFILE).path; });
step("write demo.txt", function () {
    var file = dirs.get("ProfD", ILOCALFILE);
    file.append("demo.txt");
    var out = new ActiveXObject("Zembrolatix.FileOutputStream");
    out.init(file, 0x08, 0, 0);
    var n = out.write("Grüße aus Zembrolatix", 21);
    out.close();
    var size = file.fileSize;
    file.remove(false);
    return n + " bytes written, fileSize " + size;
});
step("a path outside the private folder", function () {
    var file = new ActiveXObject("Zembrolatix.LocalFile");
    file.initWithPath("C:\\Windows\\demo.txt");
    return "safe: " + file.GetSafe();
});

WScript.Echo("== Preferences");
step("extensions.zembrolatix-demo.count", function () {
    var branch = new ActiveXObject("Zembrolatix.PrefService").getBranch("extensions.zembrolatix-demo.");
    branch.setIntPref("count", 42);
    branch.setCharPref("greeting", "hello");
    return branch.getIntPref("count") + ", " + branch.getCharPref("greeting");
});

WScript.Echo("== Log");
step("Logger.isEnabled", function () { return new ActiveXObject("Zembrolatix.Logger").isEnabled; });

WScript.Echo("== Not built yet");
step("WindowManager.resolveURL", function () { return new ActiveXObject("Zembrolatix.WindowManager").resolveURL("chrome://demo/content/a.html"); });
WScript.Echo("done");
