// Every class by both ProgIDs, member names in any letter case, automation errors of the
// signatures, and the interface tests scripts use.
eval(FSO.OpenTextFile(WScript.Arguments(1) + "\\lib\\classes.js", 1).ReadAll());
var IID = {
    IScriptImplements: "{D74B3DE3-CBB7-46CF-8633-C74A5EF0936B}",
    ILocalFile: "{F75B5C32-B42D-416D-93AC-8798869674CE}",
    IFile: "{DEA976D2-5B43-4B4E-AABC-1BA9929A65F5}",
    ISafeLocalFile: "{BC718A6E-0994-4964-968C-6C55AC1B47BA}",
    IOutputStream: "{D974C538-C226-4F75-A032-F04BD86D8EA6}",
    ISafeOutputStream: "{F4DD0575-726A-457F-9F8C-AA442674A2AB}",
    IObjectSafety: "{CB5BDC81-93C1-11CF-8F20-00805F2CD064}",
    IDispatch: "{00020400-0000-0000-C000-000000000046}",
    IPrefBranch: "{C0BB1112-C259-4F15-8929-265FA0A02983}"
};

test("every class by both ProgIDs", function () {
    ok(CLASSES.length > 0, "the classes are read from the interface description");
    for (var i = 0; i < CLASSES.length; i++) {
        var names = ["Zembrolatix." + CLASSES[i], "Zembrolatix." + CLASSES[i] + ".1"];
        for (var j = 0; j < names.length; j++) {
            var hr = hrOf(function () { new ActiveXObject(names[j]); });
            eq(hr, 0, names[j]);
        }
    }
    throwsHr(0x800A01AD, function () { new ActiveXObject("Zembrolatix.NoSuchClass"); }, "unknown ProgID");
});

test("member names in any letter case", function () {
    var file = new ActiveXObject("Zembrolatix.LocalFile");
    var finder = new ActiveXObject("Zembrolatix.InterfaceFinder");
    eq(file.implements(IID.ILocalFile), true, "implements");
    eq(file.IMPLEMENTS(IID.IFile), true, "IMPLEMENTS");
    eq(finder.implements(file, IID.ILocalFile), true, "finder.implements");
    eq(typeof file.queryinterface(IID.ILocalFile), "object", "queryinterface reaches the script method");
});

test("automation errors of the signatures", function () {
    var finder = new ActiveXObject("Zembrolatix.InterfaceFinder");
    var file = new ActiveXObject("Zembrolatix.LocalFile");
    ok(hrOf(function () { finder.Implements(); }) !== 0, "missing arguments refused");
    ok(hrOf(function () { file.Implements(); }) !== 0, "missing argument refused");
    throwsHr(DISP_E_TYPEMISMATCH, function () { finder.Implements(file, file); }, "object for a string");
    throwsHr(0x800A01B6, function () { file.NoSuchMember(); }, "unknown member");
});

test("Implements over each class's own table", function () {
    var input = new ActiveXObject("Zembrolatix.FileInputStream");
    var output = new ActiveXObject("Zembrolatix.FileOutputStream");
    var element = new ActiveXObject("Zembrolatix.PropertyElement");
    var file = new ActiveXObject("Zembrolatix.LocalFile");
    eq(input.Implements(IID.IScriptImplements), true, "input stream");
    eq(output.Implements(IID.IScriptImplements), true, "output stream");
    eq(element.Implements(IID.IScriptImplements), true, "property element");
    eq(file.Implements(IID.IScriptImplements), false, "a local file does not answer IScriptImplements");
    eq(output.Implements(IID.ISafeOutputStream), false, "ISafeOutputStream is not answered");
    eq(output.Implements(IID.IOutputStream), true, "IOutputStream is answered");
    eq(file.Implements(IID.ISafeLocalFile), true, "ISafeLocalFile is answered though script cannot call it");
    eq(file.Implements(IID.ILocalFile.toLowerCase()), true, "lower-case identifier");
    eq(file.Implements(IID.ILocalFile.substring(1, 37)), false, "identifier without braces");
    eq(file.Implements(""), false, "empty identifier");
    eq(file.Implements("nonsense"), false, "malformed identifier");
});

test("QueryInterface from script", function () {
    var file = new ActiveXObject("Zembrolatix.LocalFile");
    var same = file.QueryInterface(IID.ILocalFile);
    same.initWithPath("C:\\qi\\same");
    eq(file.path, "C:\\qi\\same", "the very interface the script holds");
    throwsHr(E_NOINTERFACE, function () { file.QueryInterface(IID.IPrefBranch); });
    throwsHr(E_INVALIDARG, function () { file.QueryInterface(""); });
    ok(hrOf(function () { file.QueryInterface("{F75B5C32}"); }) !== 0, "malformed identifier refused");
    var safety = file.QueryInterface(IID.IObjectSafety);
    var finder = new ActiveXObject("Zembrolatix.InterfaceFinder");
    eq(finder.Implements(safety, IID.IObjectSafety), true, "the separate pointer can be passed on");
});

test("InterfaceFinder on any object", function () {
    var finder = new ActiveXObject("Zembrolatix.InterfaceFinder");
    var dict = new ActiveXObject("Scripting.Dictionary");
    eq(finder.Implements(dict, IID.IDispatch), true, "another library's object");
    eq(finder.Implements(dict, IID.ILocalFile), false);
    eq(finder.Implements(new ActiveXObject("Zembrolatix.ContextMenuHelper"), IID.IObjectSafety), false,
        "ContextMenuHelper has no IObjectSafety");
    eq(finder.Implements(new ActiveXObject("Zembrolatix.Logger"), IID.IObjectSafety), true);
    throwsHr(E_INVALIDARG, function () { finder.Implements(dict, ""); });
    ok(hrOf(function () { finder.Implements(dict, "nonsense"); }) !== 0, "malformed identifier is an error");
});
