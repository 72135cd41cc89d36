// DirectoryService from a script: the private and temporary folders as safe local files; and the
// file objects with the ordinary (pre-Vista) locations, in a second script process that Wine runs as
// Windows XP.
// test-lock: private-data-folder
eval(FSO.OpenTextFile(WScript.Arguments(1) + "\\lib\\files.js", 1).ReadAll());

var F = privateFolder(true);
ensureFolder(F);
var TMP = tempFolder();

test("keys in any letter case; anything else is refused", function () {
    var ds = new ActiveXObject("Zembrolatix.DirectoryService");
    var keys = ["ProfD", "profd", "PROFD", "pRoFd"];
    for (var i = 0; i < keys.length; i++) eq(ds.get(keys[i], IID_ILocalFile).path, F, keys[i]);
    eq(ds.get("tmpd", IID_ILocalFile).path, TMP + "\\");
    var bad = ["profd ", " ProfD", "Prof", "ProfDir", "TmpD\\", "Other"];
    for (var j = 0; j < bad.length; j++)
        throwsHr(E_INVALIDARG, function () { ds.get(bad[j], IID_ILocalFile); }, '"' + bad[j] + '"');
    throwsHr(E_INVALIDARG, function () { ds.get("", IID_ILocalFile); }, "an empty key");
});

test("the interface identifier: braces required, letter case free", function () {
    var ds = new ActiveXObject("Zembrolatix.DirectoryService");
    eq(ds.get("ProfD", IID_ILocalFile.toLowerCase()).path, F, "lower case");
    throwsHr(E_FAIL, function () { ds.get("ProfD", IID_ILocalFile.substring(1, 37)); }, "without braces");
    throwsHr(E_FAIL, function () { ds.get("ProfD", IID_IFile); }, "another interface");
    var emptyIid = hrOf(function () { ds.get("ProfD", ""); });
    ok(emptyIid === E_FAIL, "an empty identifier: got " + hex(emptyIid));
    throwsHr(E_FAIL, function () { ds.get("Other", "{00000000-0000-0000-0000-000000000000}"); },
             "the identifier is checked before the key");
});

test("TmpD ends with a separator and is found as a folder", function () {
    var t = directory("TmpD");
    eq(t.path.charAt(t.path.length - 1), "\\");
    eq(t.leafName, "");
    eq(t.exists(), true);
    eq(t.isDirectory(), true);
    eq(t.GetSafe(), true, "set although outside the private folder");
    t.append("a.txt");
    eq(t.path, TMP + "\\a.txt", "no second separator");
    eq(t.GetSafe(), true);
});

test("ProfD is the private folder, safe and found", function () {
    var p = directory("ProfD");
    eq(p.path, F);
    eq(p.leafName, "Zembrolatix");
    eq(p.exists(), true);
    eq(p.isDirectory(), true);
    eq(p.GetSafe(), true);
});

test("below both: create and remove", function () {
    var keys = ["ProfD", "TmpD"];
    for (var i = 0; i < keys.length; i++) {
        var leaf = "zmb_files_js_ds_" + Math.floor(Math.random() * 1e9);
        var f = directory(keys[i]);
        f.append(leaf);
        f.create(0, 420);
        eq(f.exists(), true, keys[i] + " file");
        f.remove(false);
        eq(f.exists(), false, keys[i] + " removed");
        var d = directory(keys[i]);
        d.append(leaf + "_dir");
        d.create(1, 493);
        eq(d.isDirectory(), true, keys[i] + " folder");
        d.remove(false);
        eq(FSO.FolderExists(d.path), false, keys[i] + " folder removed");
    }
});

test("the user's and the process's folders: found where the system says, trusted only in the private folder", function () {
    function clean(v) { return String(v).replace(/\u0000.*$/, "").toLowerCase(); }
    var shell = "HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders\\";
    var expected = [["Home", env("USERPROFILE")], ["Desk", SH.RegRead(shell + "Desktop")],
                    ["Pers", SH.RegRead(shell + "Personal")], ["AppData", env("APPDATA")],
                    ["LocalAppData", env("LOCALAPPDATA")], ["CurWorkD", SH.CurrentDirectory],
                    ["CurProcD", FSO.GetParentFolderName(WScript.FullName)], ["ProfLD", F]];
    for (var i = 0; i < expected.length; i++) {
        var f = directory(expected[i][0]);
        eq(clean(f.path), clean(expected[i][1]), expected[i][0]);
        eq(f.GetSafe(), expected[i][0] === "ProfLD", expected[i][0] + " safe flag");
    }
    var downloads = directory("dfltdwnld");
    ok(/\\Downloads$/i.test(downloads.path) && !downloads.GetSafe(), "DfltDwnld: " + downloads.path);
    eq(new ActiveXObject("Zembrolatix.DirectoryService").get("TmpD", "{725E43E1-DF4A-43E7-BDEE-24F83A7F165B}").path,
       TMP + "\\", "asked for the newer interface");
});

test("each call gives a new object", function () {
    var ds = new ActiveXObject("Zembrolatix.DirectoryService");
    var a = ds.get("ProfD", IID_ILocalFile);
    a.append("x");
    var b = ds.get("ProfD", IID_ILocalFile);
    eq(b.path, F, "the next result is untouched");
    ok(a !== b);
    var t1 = ds.get("TmpD", IID_ILocalFile);
    t1.initWithPath("C:\\Windows");
    eq(ds.get("TmpD", IID_ILocalFile).path, TMP + "\\");
});

// Runs lib/files_xp.js with the assertions in a copy of cscript named cscript_xp.exe, which the test
// prefix gives a Windows XP version (tests/make-prefix.sh): the library then uses the ordinary locations.
test("the ordinary locations, in a process that runs as Windows XP", function () {
    var lib = WScript.Arguments(1) + "\\lib\\";
    var work = unique(TMP, "xp");
    FSO.CreateFolder(work);
    var host = work + "\\cscript_xp.exe";
    FSO.CopyFile(FSO.GetSpecialFolder(1).Path + "\\cscript.exe", host);
    var script = work + "\\files_xp.js";
    var ts = FSO.CreateTextFile(script, true, false);
    ts.Write(FSO.OpenTextFile(WScript.Arguments(1) + "\\lib\\assert.js", 1).ReadAll() + "\n" +
             FSO.OpenTextFile(lib + "files_xp.js", 1).ReadAll() + "\nfinish();\n");
    ts.Close();
    var out = work + "\\out.txt";
    var rc = SH.Run('cmd /c ""' + host + '" //nologo "' + script + '" "' + WScript.Arguments(0) + '" "' +
                    WScript.Arguments(1) + '" > "' + out + '" 2>&1"', 0, true);
    var text = readAnsi(out) || "";
    var lines = text.split(/\r?\n/), summary = "";
    for (var i = 0; i < lines.length; i++) {
        if (/^FAIL /.test(lines[i])) fail("xp: " + lines[i]);
        if (/^\d+ passed, \d+ failed$/.test(lines[i])) summary = lines[i];
    }
    ok(/ passed, 0 failed$/.test(summary) && !/^0 passed/.test(summary), "xp summary: " + summary + "\n" + text);
    eq(rc, 0, "xp exit code");
    FSO.DeleteFolder(work, true);
});
