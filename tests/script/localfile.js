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
    throwsHr(E_NOTIMPL, function () { dir.remove(true); }, "folders are never removed");
    throwsHr(E_NOTIMPL, function () { dir.remove(false); });
    eq(FSO.FolderExists(dir.path), true);
    throwsHr(E_FAIL, function () { return dir.fileSize; }, "fileSize of a folder");
    FSO.DeleteFolder(dir.path, true);

    var deep = newLocalFile(unique(F, "missing") + "\\child");
    deep.create(1, 493);
    eq(deep.exists(), false, "a missing parent: S_OK, nothing made");
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
