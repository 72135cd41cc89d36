// prepend: compat/xpcom.js
// File code written as XPCOM applications write it (nsIFile, the directory service, file streams),
// run over the compatibility script; the checks look at the folders and files it leaves.
// test-lock: private-data-folder
eval(FSO.OpenTextFile(WScript.Arguments(1) + "\\lib\\files.js", 1).ReadAll());

var ROOT = privateFolder(true) + "\\zbx_xpcom_files";
removeFolder(ROOT);

function dataDir() {
    var dir = Cc["@mozilla.org/file/directory_service;1"].getService(Ci.nsIProperties).get("ProfD", Ci.nsIFile);
    dir.append("zbx_xpcom_files");
    if (!dir.exists()) dir.create(Ci.nsIFile.DIRECTORY_TYPE, 0755);
    return dir;
}
function writeText(file, text) {
    var fos = Cc["@mozilla.org/network/file-output-stream;1"].createInstance(Ci.nsIFileOutputStream);
    fos.init(file, 0x02 | 0x08 | 0x20, 0666, 0);
    fos.write(text, text.length);
    fos.close();
}

test("a store of notes: nested folders made on the way, unique names, listing", function () {
    var notes = dataDir();
    notes.append("notes");
    notes.append("2026");
    var note = notes.clone();
    note.append("note.txt");
    note.create(Ci.nsIFile.NORMAL_FILE_TYPE, 0644);
    writeText(note, "first");
    var second = notes.clone();
    second.append("note.txt");
    second.createUnique(Ci.nsIFile.NORMAL_FILE_TYPE, 0644);
    writeText(second, "second");
    eq(second.leafName, "note-1.txt");
    for (var names = [], e = notes.directoryEntries; e.hasMoreElements();)
        names.push(e.getNext().QueryInterface(Ci.nsIFile).leafName);
    eq(names.sort().join(","), "note-1.txt,note.txt");
    eq(readAnsi(ROOT + "\\notes\\2026\\note.txt") + readAnsi(ROOT + "\\notes\\2026\\note-1.txt"), "firstsecond");
    ok(note.parent.equals(notes) && notes.contains(note) && !note.contains(notes), "parent, equals, contains");
    ok(dataDir().contains(note) && !dataDir().contains(note, false), "contains at any depth, or directly");
});

test("backup, rename and move: copyTo, leafName, moveTo, lastModifiedTime", function () {
    var dir = dataDir(), doc = dataDir(), backups = dataDir();
    doc.append("doc.txt");
    writeText(doc, "v1");
    backups.append("backups");
    doc.copyTo(backups, "");
    doc.copyTo(backups, "doc.bak");
    eq(readAnsi(ROOT + "\\backups\\doc.txt") + readAnsi(ROOT + "\\backups\\doc.bak"), "v1v1", "copies");
    doc.lastModifiedTime = Date.UTC(2020, 0, 1, 12, 0, 0);
    eq(doc.lastModifiedTime, Date.UTC(2020, 0, 1, 12, 0, 0));
    var renamed = doc.clone();
    renamed.leafName = "renamed.txt";
    eq(renamed.exists(), false, "setting leafName renames the object only");
    doc.moveTo(null, "renamed.txt");
    ok(doc.equals(renamed) && !FSO.FileExists(ROOT + "\\doc.txt") && readAnsi(renamed.path) === "v1", "moved");
    backups.copyTo(dir, "backups2");
    eq(readAnsi(ROOT + "\\backups2\\doc.bak"), "v1", "a folder copied with what it holds");
    backups.moveTo(dir, "old");
    ok(backups.leafName === "old" && !FSO.FolderExists(ROOT + "\\backups") && FSO.FileExists(ROOT + "\\old\\doc.txt"));
});

test("attributes, normalize, the type constants and clearing up", function () {
    var file = Cc["@mozilla.org/file/local;1"].createInstance(Ci.nsILocalFile);
    file.initWithPath(dataDir().path + "/old/../renamed.txt");
    file.normalize();
    eq(file.path, ROOT + "\\renamed.txt");
    ok(file.isFile() && file.isReadable() && file.isWritable() && !file.isHidden(), "a plain file");
    FSO.GetFile(file.path).Attributes = 1 | 2;
    ok(!file.isWritable() && file.isHidden(), "read-only and hidden");
    eq(file.DIRECTORY_TYPE + "," + file.NORMAL_FILE_TYPE, Ci.nsIFile.DIRECTORY_TYPE + "," + Ci.nsIFile.NORMAL_FILE_TYPE);
    FSO.GetFile(file.path).Attributes = 0;
    dataDir().remove(true);
    eq(FSO.FolderExists(ROOT), false, "everything gone");
});
