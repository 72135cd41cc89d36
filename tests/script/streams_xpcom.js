// Stream code as XPCOM applications write it, on the streams' reading and opening members: a settings
// file read as text line by line, UTF-8 with bad bytes, bytes with NUL, an atomic write abandoned and
// finished, XPCOM's ioFlags; and the safe rules of every member that opens, reads or writes.
eval(FSO.OpenTextFile(WScript.Arguments(1) + "\\lib\\files.js", 1).ReadAll());

var TMP = tempFolder();
var PR_WRONLY = 0x02, PR_CREATE_FILE = 0x08, PR_APPEND = 0x10, PR_TRUNCATE = 0x20;
var ERROR_NO_UNICODE_TRANSLATION = 0x80070459;
function picked(tag) { return safeTemp("zmb_xpcom_" + tag + "_" + Math.floor(Math.random() * 1e9)); }
// Byte values from strings of ASCII characters and numbers.
function bytesOf() {
    var out = [];
    for (var i = 0; i < arguments.length; i++) {
        var a = arguments[i];
        if (typeof a === "number") out.push(a);
        else for (var k = 0; k < a.length; k++) out.push(a.charCodeAt(k));
    }
    return out;
}

// Ported: every line of a text file (a converter stream's readLine loop).
function readLines(file, charset) {
    var istream = new ActiveXObject("Zembrolatix.FileInputStream");
    istream.initWithCharset(file, charset, 0xFFFD);
    var lines = [];
    do { lines.push(istream.readLine()); } while (istream.hasMoreLines);
    istream.close();
    return lines;
}
// Ported: a whole file as text (a converter stream's readString until it gives nothing).
function readText(file, charset) {
    var fstream = new ActiveXObject("Zembrolatix.FileInputStream");
    fstream.init(file, -1, 0, 0);
    fstream.setCharset(charset, 0xFFFD);
    var data = "", str;
    while ((str = fstream.readString(0xFFFFFFFF)) !== "") data += str;
    fstream.close();
    return data;
}
// Ported: a safe output stream written, then finished or abandoned.
function writeAtomically(file, text, finish) {
    var foStream = new ActiveXObject("Zembrolatix.FileOutputStream");
    foStream.initSafe(file, PR_WRONLY | PR_CREATE_FILE | PR_TRUNCATE, 0x1B6, 0);
    foStream.write(text, text.length);
    if (finish) foStream.finish(); else foStream.close();
}
// Temporary files an atomic write left beside a file alone in its folder.
function leftovers(file) {
    return FSO.GetFolder(FSO.GetParentFolderName(file.path)).Files.Count - (file.exists() ? 1 : 0);
}

test("a settings file read as text line by line", function () {
    var f = picked("settings");
    writeByteValues(f.path, bytesOf(0xEF, 0xBB, 0xBF, "[main]\r\nname=caf", 0xC3, 0xA9, "\n\rlast=", 0xE2, 0x82, 0xAC));
    eq(readLines(f, "utf-8").join("|"), "[main]|name=caf\u00E9||last=\u20AC", "CR LF, LF and CR ends; the mark dropped");
    writeByteValues(f.path, bytesOf("a\r\n", 0xE9, "\n"));
    eq(readLines(f, "ISO-8859-1").join("|"), "a|\u00E9|", "a last line end is followed by an empty last line");
    var s = inputStream(f);
    eq(s.readLine() + "|" + s.readLine(), "a|\u00E9", "without a charset, lines are bytes");
    eq(s.hasMoreLines + "|" + s.readLine() + "|" + s.hasMoreLines, "true||false", "the empty last line");
    eq(s.readLine() + s.hasMoreLines, "false", "and stays at the end");
    s.close();
    f.remove(false);
});

test("UTF-8 with bad bytes", function () {
    var f = picked("bad");
    writeByteValues(f.path, bytesOf("ok ", 0xFF, " and ", 0xE2, 0x82, " then ", 0xF0, 0x9F, 0x98, 0x80));
    eq(readText(f, "UTF-8"), "ok \uFFFD and \uFFFD then \uD83D\uDE00", "each bad sequence gives one U+FFFD");
    var s = new ActiveXObject("Zembrolatix.FileInputStream");
    s.initWithCharset(f, "UTF-8", 0);
    eq(s.charset, "UTF-8");
    eq(s.readString(100), "ok ", "replacement 0: the text before the bad byte");
    throwsHr(ERROR_NO_UNICODE_TRANSLATION, function () { s.readString(100); }, "then the bad byte fails");
    s.seek(0, 17);
    eq(s.readString(1), "\uD83D", "count is in UTF-16 units");
    eq(s.readString(5), "\uDE00", "the pair's second half comes next");
    eq(s.readString(5), "", "the end");
    s.close();
    f.remove(false);
});

test("bytes: read stops its text at a NUL byte, readBytes gives exactly count bytes", function () {
    var f = picked("bytes");
    writeByteValues(f.path, bytesOf("ab", 0, "c", 0xFF));
    var s = inputStream(f);
    eq(s.read(3), "ab");
    eq(s.available(), 2, "the NUL byte was read all the same");
    s.seek(0, 0);
    eq(s.readBytes(5), "ab\u0000c\u00FF");
    throwsHr(E_FAIL, function () { s.readBytes(1); }, "fewer bytes left than asked");
    eq(s.read(-1), "", "the end");
    s.close();
    f.remove(false);
});

test("an atomic write: abandoned it leaves the target, finished it replaces it", function () {
    var f = picked("atomic");
    f.create(1, 0);
    f.append("target.txt");
    writeAnsi(f.path, "original");
    writeAtomically(f, "replacement", false);
    eq(readAnsi(f.path), "original", "close without finish");
    eq(leftovers(f), 0, "the temporary file is removed");
    var s = new ActiveXObject("Zembrolatix.FileOutputStream");
    s.initSafe(f, -1, 0, 0);
    s.write("new", 3);
    eq(readAnsi(f.path) + leftovers(f), "original1", "while writing: the target as it was, a temporary beside it");
    s.finish();
    eq(readAnsi(f.path) + leftovers(f), "new0", "finish replaces the target");
    throwsHr(E_INVALIDARG, function () { s.initSafe(f, PR_WRONLY | PR_APPEND, 0, 0); }, "append keeps nothing");
    f.remove(false);
    throwsHr(E_FAIL, function () { s.initSafe(f, PR_WRONLY | PR_TRUNCATE, 0, 0); }, "a missing target, no create");
    s.initSafe(f, PR_WRONLY | PR_CREATE_FILE | PR_APPEND | PR_TRUNCATE, 0, 0);
    eq(f.exists(), false, "a missing target appears only at finish");
    s.finish();
    eq(readAnsi(f.path), "");
    f.remove(false);
    FSO.DeleteFolder(FSO.GetParentFolderName(f.path), true);
});

test("XPCOM's ioFlags", function () {
    // [ioFlags, content after writing "ab" to "0123456789", after writing "ab" to a missing file]; null: E_FAIL
    var rows = [[-1, "ab", "ab"], [0x2A, "ab", "ab"], [0x1A, "0123456789ab", "ab"], [0x12, "0123456789ab", null],
                [0x02, "ab23456789", null], [0x0A, "ab23456789", "ab"], [0x8A, null, "ab"], [0x22, "ab", null]];
    for (var i = 0; i < rows.length; i++) {
        for (var existing = 0; existing < 2; existing++) {
            var f = picked("flags"), expected = rows[i][existing ? 1 : 2], tag = rows[i][0] + (existing ? " existing" : " missing");
            if (existing) writeAnsi(f.path, "0123456789");
            var s = new ActiveXObject("Zembrolatix.FileOutputStream");
            if (expected === null) {
                throwsHr(E_FAIL, function () { s.initWithFlags(f, rows[i][0], 0x1B6, 0); }, tag);
                eq(readAnsi(f.path), existing ? "0123456789" : null, tag + " leaves the file");
            } else {
                s.initWithFlags(f, rows[i][0], 0x1B6, 0);
                s.write("ab", 2);
                s.close();
                eq(readAnsi(f.path), expected, tag);
            }
            removeFile(f.path);
        }
    }
    var g = picked("append");
    writeAnsi(g.path, "01");
    var a = new ActiveXObject("Zembrolatix.FileOutputStream");
    a.initWithFlags(g, PR_WRONLY | PR_APPEND, 0, 0);
    a.write("ab", 2);
    a.seek(0, 0);
    a.write("cd", 2);
    a.close();
    eq(readAnsi(g.path), "01abcd", "append writes at the end every time");
    g.remove(false);
});

test("the safe rules: opening, reading and writing with a safe, an unsafe and a picked local file", function () {
    var profile = directory("ProfD").path;
    var kinds = [["safe", function (leaf) { return newLocalFile(profile + "\\" + leaf); }],
                 ["unsafe", function (leaf) { return newLocalFile(TMP + "\\" + leaf); }],
                 ["picked", function (leaf) { var f = directory("TmpD"); f.append(leaf); return f; }]];
    // Opens the file for reading as `open` says, gives what `how` reads, and closes it again.
    function reading(open, how) {
        return function (f) {
            var s = new ActiveXObject("Zembrolatix.FileInputStream");
            try {
                if (open) s.initWithCharset(f, "UTF-8", 0xFFFD); else s.init(f, -1, 0, 0);
                return how(s);
            } finally { s.close(); }
        };
    }
    function writing(how) {
        return function (f) {
            var s = new ActiveXObject("Zembrolatix.FileOutputStream");
            s[how](f, -1, 0, 0);
            s.write("new", 3);
            s.finish();
            return readAnsi(f.path);
        };
    }
    // [member, reads or writes the file "old\r\nline", what it gives]
    var members = [["initWithCharset", reading(true, function (s) { return s.readString(3); }), "old"],
                   ["read", reading(false, function (s) { return s.read(3); }), "old"],
                   ["readBytes", reading(false, function (s) { return s.readBytes(3); }), "old"],
                   ["readString", reading(false, function (s) { return s.readString(3); }), "old"],
                   ["readLine", reading(false, function (s) { return s.readLine(); }), "old"],
                   ["initWithFlags", writing("initWithFlags"), "new"],
                   ["initSafe", writing("initSafe"), "new"]];
    for (var k = 0; k < kinds.length; k++) {
        for (var m = 0; m < members.length; m++) {
            var f = kinds[k][1]("zmb_rules_" + m + "_" + Math.floor(Math.random() * 1e9)), tag = kinds[k][0] + " " + members[m][0];
            eq(f.GetSafe(), kinds[k][0] !== "unsafe", tag + " safe flag");
            writeAnsi(f.path, "old\r\nline");
            var got = null, hr = hrOf(function () { got = members[m][1](f); });
            if (kinds[k][0] === "unsafe") {
                eq(hex(hr), hex(E_ACCESSDENIED), tag);
                eq(readAnsi(f.path), "old\r\nline", tag + " leaves the file");
            } else {
                eq(got, members[m][2], tag + " (" + hex(hr) + ")");
            }
            removeFile(f.path);
        }
    }
});
