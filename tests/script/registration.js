// Objects created by script through the registration: both ProgIDs of a class.
var IID_IInterfaceFinder = "{71AEB529-9E28-4D48-A424-E0DBBDF5F11B}";

test("InterfaceFinder by its version-independent ProgID", function () {
    var finder = new ActiveXObject("Zembrolatix.InterfaceFinder");
    eq(finder.Implements(finder, IID_IInterfaceFinder), true);
});

test("InterfaceFinder by its versioned ProgID", function () {
    var finder = new ActiveXObject("Zembrolatix.InterfaceFinder.1");
    eq(finder.Implements(finder, IID_IInterfaceFinder), true);
});

test("every class is found by both ProgIDs", function () {
    var names = ["ArgumentTransfer", "ContextMenuHelper", "DirectoryService", "DOMParser", "DOMSerializer",
                 "FileInputStream", "FileOutputStream", "FilePicker", "InterfaceFinder", "LocalFile", "PrefBranch",
                 "PrefService", "PropertyElement", "Logger", "SimpleEnumerator", "StringBundle",
                 "StringBundleService", "WebBrowserPersist", "WindowManager"];
    for (var i = 0; i < names.length; i++) {
        var independent = "Zembrolatix." + names[i];
        eq(SH.RegRead("HKCR\\" + independent + "\\CurVer\\"), independent + ".1", independent);
        var clsid = SH.RegRead("HKCR\\" + independent + ".1\\CLSID\\");
        eq(SH.RegRead("HKCR\\CLSID\\" + clsid + "\\VersionIndependentProgID\\"), independent, clsid);
    }
});
