// Objects created by script through the registration: both ProgIDs of a class.
eval(FSO.OpenTextFile(WScript.Arguments(1) + "\\lib\\classes.js", 1).ReadAll());
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
    var names = CLASSES;
    ok(names.length > 0, "the classes are read from the interface description");
    for (var i = 0; i < names.length; i++) {
        var independent = "Zembrolatix." + names[i];
        eq(SH.RegRead("HKCR\\" + independent + "\\CurVer\\"), independent + ".1", independent);
        var clsid = SH.RegRead("HKCR\\" + independent + ".1\\CLSID\\");
        eq(SH.RegRead("HKCR\\CLSID\\" + clsid + "\\VersionIndependentProgID\\"), independent, clsid);
    }
});
