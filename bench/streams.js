// Times reading a generated 10 MB UTF-8 text file whole through FileInputStream.readString (the loop
// XPCOM code writes: read until an empty string) next to Scripting.FileSystemObject's TextStream.ReadAll
// of the same file in the same run, rounds alternating, and prints the best of each and their ratio.
// usage: cscript streams.js BUILD_DIR BENCH_DIR [megabytes] [runs]
var MB = WScript.Arguments.length > 2 ? parseFloat(WScript.Arguments(2)) : 10;
var RUNS = WScript.Arguments.length > 3 ? parseInt(WScript.Arguments(3), 10) : 3;
var FSO = new ActiveXObject("Scripting.FileSystemObject");

function now() { return new Date().getTime(); }
// The temporary folder as the directory service gives it: a safe file, which reads anywhere.
function benchFile() {
    var f = new ActiveXObject("Zembrolatix.DirectoryService").get("TmpD", "{F75B5C32-B42D-416D-93AC-8798869674CE}");
    f.append("zbx-bench-streams.txt");
    return f;
}
var FILE = benchFile(), PATH = FILE.path;

// Lines of text with some two- and three-byte characters, written as UTF-8 by the library.
var units = 0;
(function generate() {
    var out = new ActiveXObject("Zembrolatix.FileOutputStream");
    out.initWithFlags(FILE, -1, 0x1B6, 0);
    var line = "Line of settings text, caf\u00E9 \u20AC 12.50; key=value & more words to fill it\r\n";
    var chunk = [];
    for (var i = 0; i < 2000; i++) chunk.push(line);
    var text = chunk.join(""), written = 0;
    while (written < MB * 1024 * 1024) {
        written += out.write(text, text.length);
        units += text.length;
    }
    out.close();
})();
var bytes = FSO.GetFile(PATH).Size;

function ours() {
    var t0 = now();
    var s = new ActiveXObject("Zembrolatix.FileInputStream");
    s.initWithCharset(FILE, "UTF-8", 0xFFFD);
    var data = "", part;
    while ((part = s.readString(0xFFFFFFFF)) !== "") data += part;
    s.close();
    return [now() - t0, data.length];
}
function theirs() {
    var t0 = now();
    var ts = FSO.OpenTextFile(PATH, 1, false, 0);
    var data = ts.ReadAll();
    ts.Close();
    return [now() - t0, data.length];
}

var bestOurs = null, bestTheirs = null, length = 0;
for (var r = 0; r < RUNS; r++) {
    var a = ours(), b = theirs();
    length = a[1];
    if (bestOurs === null || a[0] < bestOurs) bestOurs = a[0];
    if (bestTheirs === null || b[0] < bestTheirs) bestTheirs = b[0];
}
var ok = length === units;

WScript.Echo("reading a " + (bytes / 1048576).toFixed(2) + " MB UTF-8 file whole, best of " + RUNS);
WScript.Echo("  FileInputStream.readString:  " + bestOurs + " ms, " + length + " characters");
WScript.Echo("  TextStream.ReadAll:          " + bestTheirs + " ms");
if (!ok) WScript.Echo("  readString gave " + length + " characters, expected " + units);
var ratio = bestTheirs ? (bestOurs / bestTheirs).toFixed(2) : "";
WScript.Echo("ROW|FileInputStream.readString " + MB + " MB UTF-8 vs TextStream.ReadAll|" + bestOurs + "|" + bestTheirs +
             "|ms|<=1|" + ratio);
FSO.DeleteFile(PATH, true);
WScript.Quit(ok ? 0 : 1);
