// Helpers of the file tests (localfile.js, streams.js, directoryservice.js); loaded with
// eval(LoadFilesHelpers()) so that they become globals of the test.
var IID_ILocalFile = "{F75B5C32-B42D-416D-93AC-8798869674CE}";
var IID_IFile = "{DEA976D2-5B43-4B4E-AABC-1BA9929A65F5}";
var IID_IScriptImplements = "{D74B3DE3-CBB7-46CF-8633-C74A5EF0936B}";
var IID_ISafeLocalFile = "{BC718A6E-0994-4964-968C-6C55AC1B47BA}";
var IID_ISeekableStream = "{DDD3BB89-9A10-4E34-9A9E-D4E3D0EF7CE2}";
var IID_IInputStream = "{D08EE107-5DC5-4637-A81F-DDF47112D1F6}";
var IID_IFileInputStream = "{CC3FD06A-0121-4041-A088-595BE5E4976B}";
var IID_IOutputStream = "{D974C538-C226-4F75-A032-F04BD86D8EA6}";
var IID_ISafeOutputStream = "{F4DD0575-726A-457F-9F8C-AA442674A2AB}";
var IID_IFileOutputStream = "{4FD1401A-255E-4B95-9665-38D16B2E52CE}";

// The private data folder of this process: LocalAppData, "Low" unless the process runs with the
// ordinary locations, then "\Zembrolatix".
function privateFolder(low) { return env("LOCALAPPDATA") + (low ? "Low" : "") + "\\Zembrolatix"; }
function tempFolder() {
    var t = env("TEMP");
    return t.charAt(t.length - 1) === "\\" ? t.substring(0, t.length - 1) : t;
}
function ensureFolder(path) {
    if (FSO.FolderExists(path)) return;
    ensureFolder(FSO.GetParentFolderName(path));
    FSO.CreateFolder(path);
}

// A name that no other test uses, below the given folder.
var uniqueCount = 0;
function unique(folder, tag) {
    return folder + "\\zmb_files_js_" + tag + "_" + (++uniqueCount) + "_" + Math.floor(Math.random() * 1e9);
}
function removeFile(path) { if (FSO.FileExists(path)) FSO.DeleteFile(path, true); }
function removeFolder(path) { if (FSO.FolderExists(path)) FSO.DeleteFolder(path, true); }

function newLocalFile(path) {
    var f = new ActiveXObject("Zembrolatix.LocalFile");
    if (path !== undefined) f.initWithPath(path);
    return f;
}
function directory(key) { return new ActiveXObject("Zembrolatix.DirectoryService").get(key, IID_ILocalFile); }
// A safe local file for a name below the temporary folder (given by the directory service).
function safeTemp(name) {
    var f = directory("TmpD");
    f.append(name);
    return f;
}
function outputStream(file, flags) {
    var s = new ActiveXObject("Zembrolatix.FileOutputStream");
    s.init(file, flags, 0, 0);
    return s;
}
function inputStream(file) {
    var s = new ActiveXObject("Zembrolatix.FileInputStream");
    s.init(file, 0, 0, 0);
    return s;
}

// File contents as ANSI text (one character per byte) and as byte values. The reading side maps bytes
// through the ANSI code page (1252 here); its 0x80-0x9F characters are mapped back.
function writeAnsi(path, text) {
    var ts = FSO.CreateTextFile(path, true, false);
    ts.Write(text);
    ts.Close();
}
function readAnsi(path) {
    if (!FSO.FileExists(path)) return null;
    if (FSO.GetFile(path).Size == 0) return "";
    var ts = FSO.OpenTextFile(path, 1, false, 0);
    var text = ts.ReadAll();
    ts.Close();
    return text;
}
var CP1252_HIGH = [0x20AC, 0x81, 0x201A, 0x192, 0x201E, 0x2026, 0x2020, 0x2021, 0x2C6, 0x2030, 0x160, 0x2039,
                   0x152, 0x8D, 0x17D, 0x8F, 0x90, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                   0x2DC, 0x2122, 0x161, 0x203A, 0x153, 0x9D, 0x17E, 0x178];
function byteOf(ch) {
    var c = ch.charCodeAt(0);
    if (c < 0x80 || (c >= 0xA0 && c < 0x100)) return c;
    for (var i = 0; i < CP1252_HIGH.length; i++) if (CP1252_HIGH[i] === c) return 0x80 + i;
    return -1;
}
// The bytes of a file as a text of two-digit hex values ("61 62 C3 A9").
function hexBytes(path) {
    var text = readAnsi(path);
    if (text === null) return "<missing>";
    var out = [];
    for (var i = 0; i < text.length; i++) {
        var b = byteOf(text.charAt(i));
        out.push(b < 0 ? "??" : ("0" + b.toString(16).toUpperCase()).slice(-2));
    }
    return out.join(" ");
}
// Writes a file of the given byte values (0-255), through the ANSI side of writeAnsi.
function writeByteValues(path, bytes) {
    var text = [];
    for (var i = 0; i < bytes.length; i++) {
        var b = bytes[i];
        text.push(String.fromCharCode(b >= 0x80 && b < 0xA0 ? CP1252_HIGH[b - 0x80] : b));
    }
    writeAnsi(path, text.join(""));
}
