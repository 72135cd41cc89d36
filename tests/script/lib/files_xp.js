// The file objects with the ordinary locations; run by directoryservice.js in a process that Wine
// reports as Windows XP. The private folder is then LocalAppData\Zembrolatix, which no other test
// uses, so this process may remove it to watch the directory service make it.
eval(FSO.OpenTextFile(WScript.Arguments(1) + "\\lib\\files.js", 1).ReadAll());

var F = privateFolder(false);
var LOW = privateFolder(true);
var existedBefore = FSO.FolderExists(F);

test("the first ProfD request makes the ordinary private folder, later ones do not", function () {
    var fresh = !FSO.FolderExists(F) || (FSO.GetFolder(F).Files.Count === 0 && FSO.GetFolder(F).SubFolders.Count === 0);
    if (FSO.FolderExists(F) && fresh) FSO.DeleteFolder(F, true);
    var p = directory("ProfD");
    eq(p.path, F, "LocalAppData\\Zembrolatix");
    eq(p.GetSafe(), true);
    eq(FSO.FolderExists(F), true, "made by the first request");
    if (fresh) {
        FSO.DeleteFolder(F, true);
        eq(directory("PROFD").path, F);
        eq(FSO.FolderExists(F), false, "not made again in this process");
    }
    ensureFolder(F);
});

test("the safe rule follows the ordinary private folder", function () {
    eq(newLocalFile(F + "\\a.txt").GetSafe(), true);
    eq(newLocalFile(F.toUpperCase()).GetSafe(), true);
    eq(newLocalFile(LOW + "\\a.txt").GetSafe(), false, "the low folder is elsewhere now");
    eq(newLocalFile(F + "\\..\\x").GetSafe(), false);
    eq(newLocalFile(F + "Low\\x").GetSafe(), false);
    var f = directory("ProfD");
    f.append("..\\x");
    eq(f.GetSafe(), false);
});

test("create, write, read and remove in the ordinary private folder", function () {
    var f = newLocalFile(unique(F, "xp"));
    f.create(0, 420);
    eq(f.exists(), true);
    var s = outputStream(f, 0x10);
    eq(s.write("xp\u00E9", 3), 4);
    s.close();
    eq(f.fileSize, 4);
    var r = inputStream(f);
    eq(r.available(), 4);
    r.close();
    f.remove(false);
    eq(f.exists(), false);
    var t = directory("TmpD");
    eq(t.path, tempFolder() + "\\");
});

test("leave the ordinary private folder as it was found", function () {
    if (!existedBefore) FSO.DeleteFolder(F, true);
    eq(FSO.FolderExists(F), existedBefore);
});
