// LocalFile from a script: naming, normalising, looking up, creating and removing, and the safe flag.
// test-lock: private-data-folder
eval(FSO.OpenTextFile(WScript.Arguments(1) + "\\lib\\files.js", 1).ReadAll());

var F = privateFolder(true);
ensureFolder(F);
var TMP = tempFolder();

test("initWithPath normalises and leafName answers the last segment", function () {
    var cases = [
        ["C:/work/dir/", "C:\\work\\dir", "dir"],
        ["C:\\", "C:\\", ""],
        ["C:/", "C:\\", ""],
        ["ab\\", "ab\\", ""],
        ["abc\\", "abc", "abc"],
        ["C:\\x\\\\", "C:\\x\\", ""],
        ["a/b", "a\\b", "b"],
        ["plain", "plain", "plain"]
    ];
    for (var i = 0; i < cases.length; i++) {
        var f = newLocalFile(cases[i][0]);
        eq(f.path, cases[i][1], cases[i][0] + " path");
        eq(f.nativePath, cases[i][1], cases[i][0] + " nativePath");
        eq(f.leafName, cases[i][2], cases[i][0] + " leafName");
        eq(f.nativeLeafName, cases[i][2], cases[i][0] + " nativeLeafName");
        var g = newLocalFile();
        g.initWithNativePath(cases[i][0]);
        eq(g.path, cases[i][1], cases[i][0] + " initWithNativePath");
    }
});

test("empty paths and nodes are refused and change nothing", function () {
    var f = newLocalFile("C:\\kept");
    throwsHr(E_INVALIDARG, function () { f.initWithPath(""); });
    throwsHr(E_INVALIDARG, function () { f.initWithNativePath(""); });
    throwsHr(E_INVALIDARG, function () { f.append(""); });
    eq(f.path, "C:\\kept");
    var empty = newLocalFile();
    eq(empty.path, "", "a new object has no path");
    eq(empty.leafName, "");
    eq(empty.exists(), false);
    eq(empty.GetSafe(), false, "and no safe flag");
    throwsHr(E_UNEXPECTED, function () { empty.create(0, 420); });
    throwsHr(E_UNEXPECTED, function () { empty.remove(false); });
    throwsHr(E_FAIL, function () { return empty.fileSize; });
    throwsHr(E_INVALIDARG, function () { f.initWithFile(empty); }, "a source without a path");
    eq(f.path, "C:\\kept");
});

test("append adds one separator where needed and the node as given", function () {
    var cases = [[null, "sub", "sub"], ["C:\\", "sub", "C:\\sub"], ["C:\\a", "sub", "C:\\a\\sub"],
                 ["C:\\a", "b/c", "C:\\a\\b/c"], ["C:\\a", "..\\b", "C:\\a\\..\\b"]];
    for (var i = 0; i < cases.length; i++) {
        var f = cases[i][0] === null ? newLocalFile() : newLocalFile(cases[i][0]);
        f.append(cases[i][1]);
        eq(f.path, cases[i][2], cases[i][0] + " + " + cases[i][1]);
    }
});

test("the safe rule: inside the private folder only, however the path is written", function () {
    var inside = [F, F + "\\", F + "\\a.txt", F.toUpperCase() + "\\A.TXT", F.toLowerCase() + "/sub/a",
                  F + "\\sub\\..\\a", F + "\\\\a", F + "\\.\\a", F + "\\..\\Zembrolatix\\a", F + ".\\a",
                  "\\\\?\\" + F + "\\a"];
    for (var i = 0; i < inside.length; i++) eq(newLocalFile(inside[i]).GetSafe(), true, inside[i]);
    var outside = [TMP + "\\a", "C:\\Windows\\a", F + "\\..\\..\\x", F + "/../../x", F + "\\sub\\..\\..\\x",
                   F + "Evil\\x", F + "Evil", F + "2", F + " \\x", F + "..\\x", F.toUpperCase() + "\\..\\EVIL",
                   F + "\\.\\..\\x", F + "\\..", "\\\\?\\" + F + "\\..\\..\\x", "\\\\?\\" + F + "Evil\\x",
                   "//?/" + F + "/../../x", "\\\\.\\" + F + "\\x", "\\\\localhost\\C$\\" + F.substring(3) + "\\x",
                   "\\\\?\\UNC\\localhost\\C$\\" + F.substring(3) + "\\x", F.substring(2) + "\\x",
                   "Zembrolatix\\x", F + "\\NUL", F + "\\com1.txt"];
    var escaped = 0;
    for (var j = 0; j < outside.length; j++) {
        var f = newLocalFile(outside[j]);
        if (f.GetSafe()) { escaped++; fail("escaped: " + outside[j]); }
        throwsHr(E_ACCESSDENIED, function () { f.create(0, 420); }, outside[j]);
        throwsHr(E_ACCESSDENIED, function () { f.create(1, 420); }, outside[j]);
        throwsHr(E_ACCESSDENIED, function () { f.remove(false); }, outside[j]);
    }
    eq(escaped, 0, "escapes");
});

test("append keeps the flag within the old path and clears it outside", function () {
    var cases = [["ProfD", "a.txt", true], ["ProfD", "sub\\..\\a", true], ["ProfD", "..\\..\\Windows\\x", false],
                 ["ProfD", "../x", false], ["ProfD", "..", false], ["TmpD", "a.txt", true],
                 ["TmpD", "..\\x", false], ["TmpD", "a\\..\\..\\x", false]];
    for (var i = 0; i < cases.length; i++) {
        var f = directory(cases[i][0]);
        f.append(cases[i][1]);
        eq(f.GetSafe(), cases[i][2], cases[i][0] + " + " + cases[i][1]);
    }
    // An escaped object stays unsafe even when a later append leads back inside.
    var back = directory("ProfD");
    back.append("..\\x");
    back.append("..\\Zembrolatix\\y");
    eq(back.GetSafe(), false, "cleared for good");
    var victim = unique(TMP, "escape");
    var esc = directory("ProfD");
    esc.append("..\\..\\..\\..\\..\\..\\" + victim.substring(3));
    throwsHr(E_ACCESSDENIED, function () { esc.create(0, 420); });
    eq(FSO.FileExists(victim), false, "nothing created outside");
    // append never sets the flag: an unsafe path that reaches inside needs initWithPath.
    var u = newLocalFile(F + "\\..");
    eq(u.GetSafe(), false);
    u.append("Zembrolatix\\x");
    eq(u.GetSafe(), false, "still unsafe after append");
    u.initWithPath(u.path);
    eq(u.GetSafe(), true, "safe once named in full");
});

test("create and remove inside the private folder", function () {
    var name = unique(F, "create");
    var f = newLocalFile(name);
    f.create(0, 420);
    eq(f.exists(), true, "type 0 creates a file");
    eq(f.isDirectory(), false);
    eq(f.fileSize, 0);
    writeAnsi(name, "keep me");
    throwsHr(E_FAIL, function () { f.create(0, 420); }, "type 0 on an existing file");
    eq(readAnsi(name), "keep me", "the file is untouched");
    f.remove(false);
    eq(FSO.FileExists(name), false, "removed");
    eq(hrOf(function () { f.remove(false); }), 0, "a missing file: S_FALSE, success to a script");

    var other = newLocalFile(unique(F, "type5"));
    other.create(5, 0);
    eq(FSO.FileExists(other.path), true, "any other type makes a file");
    eq(other.isDirectory(), false);
    other.remove(true);
    eq(FSO.FileExists(other.path), false);

    var dir = newLocalFile(unique(F, "dir"));
    dir.create(1, 493);
    eq(dir.isDirectory(), true, "type 1 makes a folder");
    dir.create(1, 493);
    eq(dir.exists(), true, "type 1 on an existing folder: S_OK");
    throwsHr(E_FAIL, function () { return dir.fileSize; }, "fileSize of a folder");
    writeAnsi(dir.path + "\\in.txt", "x");
    throwsHr(0x80070091, function () { dir.remove(false); }, "a folder that is not empty");
    dir.remove(true);
    eq(FSO.FolderExists(dir.path), false, "removed with what it held");

    var top = unique(F, "missing");
    var deep = newLocalFile(top + "\\child\\leaf.txt");
    deep.create(0, 420);
    eq(FSO.FileExists(deep.path), true, "missing parents are made");
    throwsHr(E_FAIL, function () { newLocalFile(deep.path + "\\below").create(1, 493); }, "a file stands in the way");
    FSO.DeleteFolder(top, true);
});

test("lookups: the one entry named, a folder also with its trailing separator, never a pattern", function () {
    var name = unique(F, "look");
    writeAnsi(name, "0123456789");
    // path (as initWithPath takes it, or a LocalFile), exists, isDirectory, fileSize (null: E_FAIL)
    var cases = [
        [name, true, false, 10],
        ["C:\\", true, true, null],
        [directory("TmpD"), true, true, null],
        [F + "\\\\", true, true, null],
        ["C:\\windows\\*.ini", false, false, null],
        [name.substring(0, name.length - 3) + "*", false, false, null],
        [name.substring(0, name.length - 1) + "?", false, false, null],
        [name + "\\\\", false, false, null],
        [name + "_missing", false, false, null],
        ["NUL", true, false, 0]
    ];
    for (var i = 0; i < cases.length; i++) {
        var f = typeof cases[i][0] === "string" ? newLocalFile(cases[i][0]) : cases[i][0];
        eq(f.exists(), cases[i][1], f.path + " exists");
        eq(f.isDirectory(), cases[i][2], f.path + " isDirectory");
        if (cases[i][3] === null) throwsHr(E_FAIL, function () { return f.fileSize; }, f.path + " fileSize");
        else eq(f.fileSize, cases[i][3], f.path + " fileSize");
    }
    removeFile(name);
});

test("fileSize answers the full 64-bit size", function () {
    var f = safeTemp("zmb_files_js_sparse_" + Math.floor(Math.random() * 1e9));
    var s = outputStream(f, 0x08);
    s.seek(0, 5000000000);
    eq(s.write("x", 1), 1);
    s.close();
    eq(f.fileSize, 5000000001, "a sparse file beyond 4 GiB");
    f.remove(false);
    eq(f.exists(), false);
});

test("initWithFile copies path and flag as they are", function () {
    var tmp = directory("TmpD");
    var copy = newLocalFile("C:\\before");
    copy.initWithFile(tmp);
    eq(copy.path, tmp.path, "the trailing separator comes across");
    eq(copy.path.charAt(copy.path.length - 1), "\\");
    eq(copy.GetSafe(), true, "the flag is copied, not recomputed");
    var unsafe = newLocalFile(F + "\\..\\x");
    copy.initWithFile(unsafe);
    eq(copy.GetSafe(), false);
    eq(copy.path, F + "\\..\\x");
});

test("script interface table", function () {
    var f = newLocalFile("C:\\x");
    eq(f.Implements(IID_ILocalFile), true);
    eq(f.Implements(IID_IFile), true);
    eq(f.Implements(IID_ISafeLocalFile), true);
    eq(f.Implements(IID_IScriptImplements), false, "IScriptImplements is not answered");
    eq(f.Implements(IID_IFileInputStream), false);
    throwsHr(E_NOINTERFACE, function () { f.QueryInterface(IID_IScriptImplements); });
    eq(f.QueryInterface(IID_IFile).path, "C:\\x");
});

// Every member that writes or reads, on a folder holding a.txt named three ways: safe (a path inside the
// private folder), unsafe (a path in the temporary folder) and picked (the temporary folder as the
// directory service hands it out, so its flag comes from the library). Unsafe objects are refused and
// change nothing; the others do what the member does.
test("the safe rules: each member that writes or reads, with a safe, an unsafe and a picked object", function () {
    var made = [];
    function tree(path) { ensureFolder(path); writeAnsi(path + "\\a.txt", "a"); made.push(path); return path; }
    function safeFolder() { return newLocalFile(tree(unique(F, "rule"))); }
    function picked() { return safeTemp(tree(unique(TMP, "rule")).substring(TMP.length + 1)); }
    var kinds = [["safe", safeFolder, 0], ["unsafe", function () { return newLocalFile(tree(unique(TMP, "rule"))); },
                 E_ACCESSDENIED], ["picked", picked, 0]];
    function a(d) { var f = d.clone(); f.append("a.txt"); return f; }
    // member, call on the folder object d (s keeps what the check needs), whether its work shows below p
    var rows = [
        ["create", function (d) { var f = d.clone(); f.append("x\\y.txt"); f.create(0, 420); },
         function (p) { return FSO.FileExists(p + "\\x\\y.txt"); }],
        ["createUnique", function (d) { a(d).createUnique(0, 420); }, function (p) { return FSO.FileExists(p + "\\a-1.txt"); }],
        ["remove(false)", function (d) { var f = d.clone(); f.append("e"); FSO.CreateFolder(f.path); f.remove(false); },
         function (p) { return !FSO.FolderExists(p + "\\e"); }],
        ["remove(true)", function (d) { d.remove(true); }, function (p) { return !FSO.FolderExists(p); }],
        ["lastModifiedTime", function (d) { a(d).lastModifiedTime = 86400000; },
         function (p) { return new Date(FSO.GetFile(p + "\\a.txt").DateLastModified).getFullYear() < 1971; }],
        ["moveTo, the source", function (d) { a(d).moveTo(safeFolder(), "m.txt"); },
         function (p) { return !FSO.FileExists(p + "\\a.txt"); }],
        ["moveTo, the target", function (d) { a(safeFolder()).moveTo(d, "m.txt"); },
         function (p) { return FSO.FileExists(p + "\\m.txt"); }],
        ["copyTo, the source (reads)", function (d, s) { s.to = safeFolder(); a(d).copyTo(s.to, "c.txt"); },
         function (p, s) { return FSO.FileExists(s.to.path + "\\c.txt"); }],
        ["copyTo, the target", function (d) { a(safeFolder()).copyTo(d, "c.txt"); },
         function (p) { return FSO.FileExists(p + "\\c.txt"); }],
        ["directoryEntries (reads)", function (d, s) { s.listed = d.directoryEntries.getNext().leafName; },
         function (p, s) { return s.listed === "a.txt"; }]
    ];
    for (var r = 0; r < rows.length; r++) {
        for (var k = 0; k < kinds.length; k++) {
            var d = kinds[k][1](), p = d.path.replace(/\\$/, ""), s = {}, what = rows[r][0] + ", " + kinds[k][0];
            throwsHr(kinds[k][2], function () { rows[r][1](d, s); }, what);
            eq(rows[r][2](p, s), kinds[k][2] === 0, what + ": done");
        }
    }
    for (var m = 0; m < made.length; m++) removeFolder(made[m]);
});
