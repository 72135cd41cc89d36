// FileInputStream and FileOutputStream from a script: writing UTF-8, reading positions, the creation
// and append choices, sharing, and the refusal to write through an unsafe local file.
eval(FSO.OpenTextFile(WScript.Arguments(1) + "\\lib\\files.js", 1).ReadAll());

var TMP = tempFolder();
function name(tag) { return "zmb_files_js_" + tag + "_" + Math.floor(Math.random() * 1e9); }

test("write converts exactly count units to UTF-8 and continues where it ended", function () {
    var f = safeTemp(name("write"));
    var s = outputStream(f, 0x08);
    eq(s.write("abcdef", 3), 3, "abcdef with count 3");
    eq(s.write("\u00E9", 1), 2, "e acute reports two bytes");
    eq(s.write("\u20AC!", 2), 4);
    eq(s.tell(), 9);
    s.close();
    eq(hexBytes(f.path), "61 62 63 C3 A9 E2 82 AC 21", "no BOM, nothing between writes");
    f.remove(false);
});

test("write argument checks", function () {
    var f = safeTemp(name("args"));
    var s = outputStream(f, 0x08);
    throwsHr(E_INVALIDARG, function () { s.write("", 0); }, "an empty string");
    throwsHr(E_INVALIDARG, function () { s.write("", 1); });
    throwsHr(E_INVALIDARG, function () { s.write("abc", 0); }, "count 0");
    throwsHr(E_INVALIDARG, function () { s.write("abc", 4); }, "count beyond the string");
    throwsHr(E_INVALIDARG, function () { s.write("abc", -1); }, "a negative count");
    s.close();
    eq(f.fileSize, 0, "nothing written");
    throwsHr(E_UNEXPECTED, function () { s.write("abc", 3); }, "write after close");
    eq(hrOf(function () { s.close(); }), 0, "close twice");
    eq(hrOf(function () { s.finish(); }), 0, "finish on a closed stream");
    eq(hrOf(function () { s.flush(); }), 0);
    throwsHr(E_FAIL, function () { s.tell(); });
    throwsHr(E_FAIL, function () { s.seek(0, 0); });
    f.remove(false);
});

test("a surrogate pair cut by count writes only what the conversion gives", function () {
    var f = safeTemp(name("pair"));
    var s = outputStream(f, 0x08);
    var n = s.write("a\uD83D\uDE00b", 2);
    s.close();
    var bytes = hexBytes(f.path);
    eq(f.fileSize, n, "the reported count is what the file holds");
    ok(bytes.indexOf("61") === 0, "the first unit is written: " + bytes);
    ok(bytes.indexOf("98 80") < 0 && bytes.indexOf("62") < 0, "nothing of the units after count: " + bytes);
    f.remove(false);
});

test("the four create/append choices on missing and existing files", function () {
    // [ioFlags, on a missing file: created?, on "0123456789": result after writing "ab"]
    var cases = [[0x18, true, "0123456789ab"], [0x08, true, "ab"], [0x10, false, "0123456789ab"],
                 [0x00, false, "ab"], [0x02, false, "ab"], [0x20, false, "ab"], [0x22, false, "ab"]];
    for (var i = 0; i < cases.length; i++) {
        var flags = cases[i][0], tag = "flags 0x" + flags.toString(16);
        var missing = safeTemp(name("missing"));
        var s = new ActiveXObject("Zembrolatix.FileOutputStream");
        if (cases[i][1]) {
            s.init(missing, flags, 0, 0);
            eq(s.tell(), 0, tag);
            s.close();
            eq(missing.exists(), true, tag + " creates a missing file");
            missing.remove(false);
        } else {
            throwsHr(E_FAIL, function () { s.init(missing, flags, 0, 0); }, tag + " on a missing file");
            eq(missing.exists(), false, tag);
        }
        var existing = safeTemp(name("existing"));
        writeAnsi(existing.path, "0123456789");
        var w = outputStream(existing, flags);
        eq(w.tell(), (flags & 0x10) ? 10 : 0, tag + " position after init");
        w.write("ab", 2);
        w.close();
        eq(readAnsi(existing.path), cases[i][2], tag + " on an existing file");
        existing.remove(false);
    }
});

test("append positions once, at init", function () {
    var f = safeTemp(name("append"));
    writeAnsi(f.path, "0123456789");
    var s = outputStream(f, 0x10);
    eq(s.tell(), 10);
    s.seek(0, 0);
    s.write("AB", 2);
    s.seek(2, 0);
    s.write("Z", 1);
    s.close();
    eq(readAnsi(f.path), "AB23456789Z", "seek(0, 0) then write overwrites the start");
    f.remove(false);
});

test("a 10-byte file: available, tell and seek", function () {
    var f = safeTemp(name("ten"));
    writeAnsi(f.path, "0123456789");
    var s = inputStream(f);
    eq(s.available(), 10);
    eq(s.tell(), 0);
    s.seek(2, -3);
    eq(s.tell(), 7);
    eq(s.available(), 3);
    s.seek(1, 2);
    eq(s.tell(), 9);
    s.seek(0, 20);
    eq(s.tell(), 20, "beyond the end");
    eq(s.available(), 0, "nothing is available beyond the end");
    throwsHr(E_FAIL, function () { s.seek(0, -1); }, "a negative position");
    throwsHr(E_FAIL, function () { s.seek(3, 0); }, "an unknown whence");
    throwsHr(E_FAIL, function () { s.seek(-1, 0); });
    eq(s.tell(), 20, "failed seeks leave the position");
    s.seek(2, 0);
    eq(s.available(), 0);
    throwsHr(E_NOTIMPL, function () { s.setEOF(); });
    throwsHr(E_NOTIMPL, function () { s.isNonBlocking(); });
    s.close();
    eq(hrOf(function () { s.close(); }), 0, "close twice");
    throwsHr(E_FAIL, function () { s.available(); }, "available after close");
    throwsHr(E_FAIL, function () { s.tell(); });
    var o = outputStream(f, 0x10);
    throwsHr(E_NOTIMPL, function () { o.setEOF(); });
    throwsHr(E_NOTIMPL, function () { o.isNonBlocking(); });
    o.close();
    eq(f.fileSize, 10, "setEOF never shortens");
    f.remove(false);
});

test("input streams: failures", function () {
    var s = new ActiveXObject("Zembrolatix.FileInputStream");
    throwsHr(E_FAIL, function () { s.init(directory("TmpD"), 0, 0, 0); }, "a directory");
    throwsHr(E_FAIL, function () { s.init(safeTemp(name("nothing")), 0, 0, 0); }, "a missing file");
    throwsHr(E_INVALIDARG, function () { s.init(newLocalFile(), 0, 0, 0); }, "a local file without a path");
});

test("the write refusal: unsafe targets are neither created nor changed", function () {
    var missingPath = TMP + "\\" + name("refused");
    var existingPath = TMP + "\\" + name("refusedexisting");
    writeAnsi(existingPath, "original");
    var escaped = directory("TmpD");
    escaped.append("sub\\..\\..\\" + name("escaped"));
    eq(escaped.GetSafe(), false);
    var targets = [newLocalFile(missingPath), newLocalFile(existingPath), escaped,
                   newLocalFile("C:\\Windows\\" + name("win"))];
    var flags = [0, 0x02, 0x08, 0x10, 0x18, 0x20, 0x7FFFFFFF, -1];
    var s = new ActiveXObject("Zembrolatix.FileOutputStream");
    for (var i = 0; i < targets.length; i++)
        for (var j = 0; j < flags.length; j++)
            throwsHr(E_ACCESSDENIED, function () { s.init(targets[i], flags[j], 0, 0); },
                     targets[i].path + " flags " + flags[j]);
    eq(FSO.FileExists(missingPath), false, "not created");
    eq(escaped.exists(), false, "not created");
    eq(targets[3].exists(), false, "not created");
    eq(readAnsi(existingPath), "original", "not emptied");
    throwsHr(E_UNEXPECTED, function () { s.write("a", 1); }, "the stream opened nothing");

    // A stream that held a file keeps it, with its path.
    var held = safeTemp(name("held"));
    var w = outputStream(held, 0x08);
    w.write("12", 2);
    throwsHr(E_ACCESSDENIED, function () { w.init(targets[1], 0x08, 0, 0); });
    w.write("34", 2);
    w.close();
    eq(readAnsi(held.path), "1234", "writes go on to the held file");
    eq(readAnsi(existingPath), "original");
    held.remove(false);
    removeFile(existingPath);
});

test("a stream keeps its own path when the local file changes", function () {
    var f = safeTemp(name("own"));
    var first = f.path, leaf = f.leafName;
    var s = outputStream(f, 0x08);
    f.append("child");
    f.initWithPath(TMP + "\\" + name("other"));
    s.write("x", 1);
    s.close();
    eq(readAnsi(first), "x");
    var r = inputStream(safeTemp(leaf));
    var g = safeTemp(leaf);
    var r2 = new ActiveXObject("Zembrolatix.FileInputStream");
    r2.init(g, 0, 0, 0);
    g.initWithPath("C:\\elsewhere");
    eq(r2.available(), 1, "still on the first file");
    r.close();
    r2.close();
    removeFile(first);
});

test("sharing: a writer excludes everyone, readers exclude writers", function () {
    var f = safeTemp(name("share"));
    var w = outputStream(f, 0x08);
    throwsHr(E_FAIL, function () { outputStream(f, 0x18); }, "a second writer");
    throwsHr(E_FAIL, function () { inputStream(f); }, "a reader while writing");
    w.close();
    var r = inputStream(f);
    var r2 = inputStream(f);
    eq(r2.available(), 0, "a second reader");
    throwsHr(E_FAIL, function () { outputStream(f, 0x18); }, "a writer while reading");
    r.close();
    throwsHr(E_FAIL, function () { outputStream(f, 0x18); }, "one reader left");
    r2.close();
    outputStream(f, 0x18).close();
    f.remove(false);
});

test("init again releases the first file", function () {
    var a = safeTemp(name("first")), b = safeTemp(name("second"));
    writeAnsi(a.path, "a");
    writeAnsi(b.path, "b");
    var r = inputStream(a);
    r.init(b, 0, 0, 0);
    outputStream(a, 0x18).close();
    r.close();
    var w = outputStream(a, 0x18);
    w.init(b, 0x18, 0, 0);
    outputStream(a, 0x18).close();
    w.close();

    // A second init that cannot open its file closes the first all the same.
    var r3 = inputStream(a);
    throwsHr(E_FAIL, function () { r3.init(safeTemp(name("absent")), 0, 0, 0); });
    throwsHr(E_FAIL, function () { r3.available(); }, "no file held");
    outputStream(a, 0x18).close();
    // A second init that fails before opening keeps the first open.
    var r4 = inputStream(a);
    throwsHr(E_INVALIDARG, function () { r4.init(newLocalFile(), 0, 0, 0); });
    eq(r4.available(), 1, "still open");
    throwsHr(E_FAIL, function () { outputStream(a, 0x18); }, "still shared for reading only");
    r4.close();
    var w2 = outputStream(a, 0x18);
    throwsHr(E_FAIL, function () { w2.init(safeTemp(name("absent")), 0x10, 0, 0); });
    throwsHr(E_UNEXPECTED, function () { w2.write("a", 1); });
    outputStream(a, 0x18).close();
    a.remove(false);
    b.remove(false);
});

test("script interface tables of the streams", function () {
    var o = new ActiveXObject("Zembrolatix.FileOutputStream");
    eq(o.Implements(IID_IOutputStream), true);
    eq(o.Implements(IID_IFileOutputStream), true);
    eq(o.Implements(IID_ISeekableStream), true);
    eq(o.Implements(IID_ISafeLocalFile), true);
    eq(o.Implements(IID_ISafeOutputStream), false, "finish only through the dual interface");
    throwsHr(E_NOINTERFACE, function () { o.QueryInterface(IID_ISafeOutputStream); });
    var i = new ActiveXObject("Zembrolatix.FileInputStream");
    eq(i.Implements(IID_IFileInputStream), true);
    eq(i.Implements(IID_IInputStream), true);
    eq(i.Implements(IID_IOutputStream), false);
});

test("64 MiB in 4 KiB strings arrive byte-exact", function () {
    var f = safeTemp(name("large"));
    var filler = "";
    while (filler.length < 4088) filler += "0123456789abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ-_".substring(0, 4088 - filler.length);
    var count = 16384;
    function chunk(i) { return ("0000000" + i).slice(-8) + filler; }
    var s = outputStream(f, 0x08);
    for (var i = 0; i < count; i++) {
        var n = s.write(chunk(i), 4096);
        if (n !== 4096) { fail("write " + i + " reported " + n); break; }
    }
    s.close();
    eq(f.fileSize, 64 * 1024 * 1024);
    var ts = FSO.OpenTextFile(f.path, 1, false, 0);
    var bad = -1;
    for (var j = 0; j < count && bad < 0; j++) if (ts.Read(4096) !== chunk(j)) bad = j;
    ts.Close();
    eq(bad, -1, "first string that differs");
    f.remove(false);
});
