// XPCOM-style preference code on the branch's own members: listing children, reading each by its type,
// clearing values and deleting branches, with the registry read past the library. Every key used lies
// below Zembrolatix\zxtree_js (and Belvanquist\Zembrolatix\zxtree_js) and is deleted at the end.
var BASES = ["HKCU\\Software\\Microsoft\\Internet Explorer\\LowRegistry\\", "HKCU\\Software\\"];
var ROOT = "zxtree_js.app.";

function service() { return new ActiveXObject("Zembrolatix.PrefService"); }
function regRead(path) {
    for (var i = 0; i < BASES.length; i++) {
        try { return SH.RegRead(BASES[i] + "Zembrolatix\\zxtree_js\\" + path); } catch (e) { }
    }
    return undefined;
}
function children(branch) { return new VBArray(branch.getChildList("")).toArray().join(); }

var prefs = service().getBranch(ROOT);

test("ported code lists its preferences, reads each by its type and clears one", function () {
    prefs.setIntPref("count", 3);
    prefs.setBoolPref("enabled", true);
    prefs.setCharPref("title", "Notes");
    prefs.setInt64Pref("big", 12884901893);
    prefs.setIntPref("window.height", 480);
    service().getBranch(ROOT + "window.").setIntPref("width", 640); // the value "width" of the key "window"
    eq(children(prefs), "big,count,enabled,title,window.height,window.width", "every child");
    eq(new VBArray(prefs.getChildList("window.")).toArray().join(), "window.height,window.width", "below");
    var found = [], names = new VBArray(prefs.getChildList("")).toArray();
    for (var i = 0; i < names.length; i++) {
        switch (prefs.getPrefType(names[i])) {
        case prefs.PREF_STRING: found.push(names[i] + "=" + prefs.getCharPref(names[i])); break;
        case prefs.PREF_INT: found.push(names[i] + "=" + prefs.getIntPref(names[i])); break;
        case prefs.PREF_BOOL: found.push(names[i] + "=" + prefs.getBoolPref(names[i])); break;
        }
    }
    // A 64-bit value has no XPCOM getter; a value of a subkey is typed through that key's branch.
    eq(found.join(), "count=3,enabled=1,title=Notes,window.height=480");
    eq([prefs.PREF_INVALID, prefs.PREF_STRING, prefs.PREF_INT, prefs.PREF_BOOL].join(), "0,32,64,128");
    prefs.clearUserPref("title");
    prefs.clearUserPref("title"); // clearing a missing value succeeds
    eq(prefs.prefHasUserValue("title"), false);
    eq(regRead("app\\title"), undefined, "registry value cleared");
});

test("deleteBranch removes a name and what lies below it, nothing else", function () {
    service().getBranch("zxtree_js.sibling.").setIntPref("kept", 1);
    service().getBranch("zxtree_js.").setIntPref("app", 2);
    var rows = [["window", "big,count,enabled"], ["co", "big,count,enabled"], ["..", "big,count,enabled"],
                ["\\", "big,count,enabled"], ["", ""]];
    for (var i = 0; i < rows.length; i++) {
        prefs.deleteBranch(rows[i][0]);
        eq(children(prefs), rows[i][1], "after deleteBranch(\"" + rows[i][0] + "\")");
    }
    eq(regRead("app\\window\\width"), undefined, "subkey value");
    eq(regRead("sibling\\kept") + regRead("app"), 3, "sibling branch and value above");
    prefs.setIntPref("after", 1);
    eq(regRead("app\\after"), 1, "the branch stays usable");
});

test("deleting outside the preference key, or all of it, is refused", function () {
    var settings = new ActiveXObject("Zembrolatix.PrefBranch");
    settings.InitWithKey("Belvanquist\\Zembrolatix\\zxtree_js");
    settings.setIntPref("kept", 1);
    throwsHr(E_ACCESSDENIED, function () { settings.deleteBranch(""); }, "settings key");
    throwsHr(E_ACCESSDENIED, function () { service().getBranch("").deleteBranch(""); }, "every preference");
    eq(settings.getIntPref("kept"), 1);
});

test("clean up", function () {
    for (var i = 0; i < BASES.length; i++) {
        SH.Run('reg.exe delete "' + BASES[i] + 'Zembrolatix\\zxtree_js" /f', 0, true);
        SH.Run('reg.exe delete "' + BASES[i] + 'Belvanquist\\Zembrolatix\\zxtree_js" /f', 0, true);
    }
});
