// Preferences from script. This process writes one value of each kind, then runs this same script again
// as a fresh cscript process (argument "reader") that reads them back; then binding states and shared
// branches. Every key used lies below Zembrolatix\zxprefs_js and is deleted at the end.
var READER = WScript.Arguments.length > 2 && WScript.Arguments(2) == "reader";
var ROOT = "zxprefs_js.main.";
var BASES = ["HKCU\\Software\\Microsoft\\Internet Explorer\\LowRegistry\\", "HKCU\\Software\\"];
var INT64_BIG = 12884901893; // 3 * 2^32 + 5
var INT64_NEG = -5000000000;
var TEXT = "Gr\u00FC\u00DFe \u20AC.x\\y";

function service() { return new ActiveXObject("Zembrolatix.PrefService"); }
function branch() { return new ActiveXObject("Zembrolatix.PrefBranch"); }
// A stored value read past the library, under whichever base the library chose.
function regRead(keyBelowBase, name) {
    for (var i = 0; i < BASES.length; i++) {
        try { return SH.RegRead(BASES[i] + "Zembrolatix\\" + keyBelowBase + name); } catch (e) { }
    }
    return undefined;
}
// A 64-bit preference as decimal text. Wine's JScript receives the VT_I8 result but cannot read it as a
// number; passed on as a string argument, the automation layer turns it into its decimal text.
function int64Text(b, name) {
    b.setCharPref("zx.int64.text", b.getInt64Pref(name));
    return b.getCharPref("zx.int64.text");
}

if (READER) {
    test("a fresh process reads each kind back", function () {
        var b = branch();
        b.init(ROOT);
        eq(b.getBoolPref("bool.true"), true, "bool true");
        eq(b.getBoolPref("bool.false"), false, "bool false");
        eq(b.getCharPref("text"), TEXT, "text");
        eq(b.getIntPref("int"), 640, "int");
        eq(int64Text(b, "int64"), String(INT64_BIG), "int64");
        eq(int64Text(b, "int64.neg"), String(INT64_NEG), "negative int64");
    });
    test("-1 is the DWORD 0xFFFFFFFF and reads back as -1", function () {
        var b = service().getBranch(ROOT);
        eq(b.getIntPref("int.neg"), -1);
        eq(regRead("zxprefs_js\\main\\", "int.neg") >>> 0, 0xFFFFFFFF, "stored DWORD");
    });
    test("booleans and 32-bit integers share the DWORD", function () {
        var b = service().getBranch(ROOT);
        eq(b.getBoolPref("two"), false, "2 as a boolean");
        eq(b.getBoolPref("one"), true, "1 as a boolean");
        eq(b.getIntPref("bool.asint"), 1, "true as an integer");
    });
    test("32-bit and 64-bit integers do not mix", function () {
        var b = service().getBranch(ROOT);
        throwsHr(E_FAIL, function () { b.getInt64Pref("int.for64"); }, "int read as int64");
        throwsHr(E_FAIL, function () { b.getIntPref("int64.for32"); }, "int64 read as int");
    });
    test("the empty string is kept", function () {
        var b = service().getBranch(ROOT);
        eq(b.getCharPref("empty"), "");
        eq(b.prefHasUserValue("empty"), true);
    });
    test("a name never written", function () {
        var b = service().getBranch(ROOT);
        throwsHr(E_FAIL, function () { b.getBoolPref("never"); }, "getBoolPref");
        throwsHr(E_FAIL, function () { b.getCharPref("never"); }, "getCharPref");
        throwsHr(E_FAIL, function () { b.getIntPref("never"); }, "getIntPref");
        throwsHr(E_FAIL, function () { b.getInt64Pref("never"); }, "getInt64Pref");
        eq(b.prefHasUserValue("never"), false, "prefHasUserValue");
    });
    test("the DWORD 42 00 41 00 read as a string", function () {
        var b = branch();
        b.InitWithKey("Zembrolatix\\zxprefs_js\\main\\");
        eq(b.getCharPref("ba"), "B");
    });
} else {
    test("write one value of each kind", function () {
        var b = service().getBranch(ROOT);
        b.setBoolPref("bool.true", true);
        b.setBoolPref("bool.false", false);
        b.setCharPref("text", TEXT);
        b.setIntPref("int", 640);
        b.setIntPref("int.neg", -1);
        b.setInt64Pref("int64", INT64_BIG);
        b.setInt64Pref("int64.neg", INT64_NEG);
        b.setIntPref("two", 2);
        b.setIntPref("one", 1);
        b.setBoolPref("bool.asint", true);
        b.setIntPref("int.for64", 7);
        b.setInt64Pref("int64.for32", 7);
        b.setCharPref("empty", "");
        b.setIntPref("ba", 0x00410042);
        // Each call goes to the registry at once: nothing waits for the branch to go.
        eq(regRead("zxprefs_js\\main\\", "int"), 640, "stored at once");
    });
    test("a fresh process reads them back", function () {
        var build = WScript.Arguments(0);
        var out = FSO.BuildPath(build, "script-tests\\prefs-reader.txt");
        if (FSO.FileExists(out)) FSO.DeleteFile(out);
        var code = SH.Run('cmd.exe /c cscript.exe //nologo "' + WScript.ScriptFullName + '" "' + build + '" "' +
                          WScript.Arguments(1) + '" reader > "' + out + '" 2>&1', 0, true);
        var text = FSO.FileExists(out) ? FSO.OpenTextFile(out).ReadAll() : "";
        var lines = text.split(/\r?\n/);
        for (var i = 0; i < lines.length; i++) if (lines[i]) WScript.Echo("reader: " + lines[i]);
        eq(code, 0, "reader's exit code");
        ok(/^\d+ passed, 0 failed\s*$/m.test(text), "reader's closing line");
    });
    test("an unbound branch answers E_UNEXPECTED", function () {
        var b = branch();
        throwsHr(E_UNEXPECTED, function () { b.prefHasUserValue("x"); }, "prefHasUserValue");
        throwsHr(E_UNEXPECTED, function () { b.getBoolPref("x"); }, "getBoolPref");
        throwsHr(E_UNEXPECTED, function () { b.setBoolPref("x", true); }, "setBoolPref");
        throwsHr(E_UNEXPECTED, function () { b.getCharPref("x"); }, "getCharPref");
        throwsHr(E_UNEXPECTED, function () { b.setCharPref("x", "v"); }, "setCharPref");
        throwsHr(E_UNEXPECTED, function () { b.getIntPref("x"); }, "getIntPref");
        throwsHr(E_UNEXPECTED, function () { b.setIntPref("x", 1); }, "setIntPref");
        throwsHr(E_UNEXPECTED, function () { b.getInt64Pref("x"); }, "getInt64Pref");
        throwsHr(E_UNEXPECTED, function () { b.setInt64Pref("x", 1); }, "setInt64Pref");
    });
    test("a second init is refused and the first key kept", function () {
        var b = branch();
        b.init("zxprefs_js.first.");
        throwsHr(E_UNEXPECTED, function () { b.init("zxprefs_js.second."); }, "init");
        throwsHr(E_UNEXPECTED, function () { b.InitWithKey("Zembrolatix\\zxprefs_js\\second\\"); }, "InitWithKey");
        b.setIntPref("where", 1);
        eq(service().getBranch("zxprefs_js.first.").getIntPref("where"), 1, "first key");
        eq(service().getBranch("zxprefs_js.second.").prefHasUserValue("where"), false, "second key");
    });
    test("two branches of one root see each other's writes", function () {
        var s = service();
        var one = s.getBranch("zxprefs_js.shared.");
        var two = s.getBranch("zxprefs_js.shared.");
        ok(one !== two, "two objects");
        one.setCharPref("from.one", "1");
        two.setInt64Pref("from.two", INT64_BIG);
        eq(two.getCharPref("from.one"), "1");
        eq(int64Text(one, "from.two"), String(INT64_BIG));
    });
    test("a branch from getBranch is already bound", function () {
        var b = service().getBranch("zxprefs_js.shared.");
        throwsHr(E_UNEXPECTED, function () { b.init("zxprefs_js.other."); }, "init");
        throwsHr(E_UNEXPECTED, function () { b.InitWithKey("Zembrolatix\\zxprefs_js\\other\\"); }, "InitWithKey");
    });
    test("clean up", function () {
        // WScript.Shell's RegDelete is not implemented by Wine: reg.exe deletes the whole tree.
        for (var i = 0; i < BASES.length; i++) SH.Run('reg.exe delete "' + BASES[i] + 'Zembrolatix\\zxprefs_js" /f', 0, true);
        eq(regRead("zxprefs_js\\main\\", "int"), undefined, "keys deleted");
    });
}
