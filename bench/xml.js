// Times a parse + serialize round trip of a generated 5 MB XML file through DOMParser (from a
// FileInputStream) and DOMSerializer (into a FileOutputStream), next to MSXML's own load + save of the
// same file in the same run, and prints the best of a few runs of each and their ratio.
// usage: cscript xml.js BUILD_DIR BENCH_DIR [megabytes] [runs]
var MB = WScript.Arguments.length > 2 ? parseFloat(WScript.Arguments(2)) : 5;
var RUNS = WScript.Arguments.length > 3 ? parseInt(WScript.Arguments(3), 10) : 3;
var FSO = new ActiveXObject("Scripting.FileSystemObject");
var SH = new ActiveXObject("WScript.Shell");
var TEMP = SH.ExpandEnvironmentStrings("%TEMP%").replace(/\u0000.*$/, "");
var DIR = TEMP + "\\zbx-bench-xml";
if (!FSO.FolderExists(DIR)) FSO.CreateFolder(DIR);
var SOURCE = DIR + "\\source.xml", OURS = DIR + "\\library.xml", THEIRS = DIR + "\\msxml.xml";

function now() { return new Date().getTime(); }
// The library writes only through safe files: the temporary folder as the directory service gives it.
function safeOutput(leaf) {
    var f = new ActiveXObject("Zembrolatix.DirectoryService").get("TmpD", "{F75B5C32-B42D-416D-93AC-8798869674CE}");
    f.append("zbx-bench-xml");
    f.append(leaf);
    return f;
}

// The source: items with attributes, text and a little non-ASCII text (written as its UTF-8 bytes).
var items = 0;
(function generate() {
    var out = FSO.CreateTextFile(SOURCE, true, false);
    out.Write('<?xml version="1.0" encoding="UTF-8"?>\r\n<catalog>\r\n');
    var size = 60, target = MB * 1024 * 1024;
    while (size < target) {
        var chunk = [];
        for (var i = 0; i < 500; i++, items++)
            chunk.push('\t<item id="' + items + '" kind="k' + (items % 17) + '"><name>Item ' + items +
                       ' caf\u00C3\u00A9</name><note>' + "lorem ipsum dolor sit amet ".substring(0, 8 + items % 20) +
                       "</note><empty/></item>\r\n");
        var text = chunk.join("");
        out.Write(text);
        size += text.length;
    }
    out.Write("</catalog>\r\n");
    out.Close();
})();
var bytes = FSO.GetFile(SOURCE).Size;

function libraryRoundTrip() {
    var t0 = now();
    var input = new ActiveXObject("Zembrolatix.FileInputStream");
    input.init(safeOutput("source.xml"), 1, 0, 0); // safe: the directory service gave it
    var doc = new ActiveXObject("Zembrolatix.DOMParser").parseFromStream(input, "UTF-8", bytes, "text/xml");
    input.close();
    var t1 = now();
    var output = new ActiveXObject("Zembrolatix.FileOutputStream");
    output.init(safeOutput("library.xml"), 0x02 | 0x08 | 0x20, 420, 0);
    new ActiveXObject("Zembrolatix.DOMSerializer").serializeToStream(doc, output);
    output.close();
    return [t1 - t0, now() - t1];
}
function msxmlRoundTrip() {
    var t0 = now();
    var doc = new ActiveXObject("Microsoft.XMLDOM");
    doc.async = false;
    if (!doc.load(SOURCE)) throw new Error("MSXML could not load the source");
    var t1 = now();
    doc.save(THEIRS);
    return [t1 - t0, now() - t1];
}
function best(fn) {
    var b = null;
    for (var r = 0; r < RUNS; r++) {
        var t = fn();
        if (b === null || t[0] + t[1] < b[0] + b[1]) b = t;
    }
    return b;
}

var ours = best(libraryRoundTrip);
var theirs = best(msxmlRoundTrip);

// Both outputs hold the same items.
function count(path) {
    var doc = new ActiveXObject("Microsoft.XMLDOM");
    doc.async = false;
    return doc.load(path) ? doc.documentElement.childNodes.length : -1;
}
var ok = count(OURS) === items && count(THEIRS) === items;

WScript.Echo("parse + serialize of a " + (bytes / 1048576).toFixed(2) + " MB XML file (" + items + " items), best of " + RUNS);
WScript.Echo("  DOMParser + DOMSerializer:   " + (ours[0] + ours[1]) + " ms (parse " + ours[0] + ", serialize " + ours[1] + "), " +
             FSO.GetFile(OURS).Size + " bytes written");
WScript.Echo("  MSXML load + save:           " + (theirs[0] + theirs[1]) + " ms (load " + theirs[0] + ", save " + theirs[1] + "), " +
             FSO.GetFile(THEIRS).Size + " bytes written");
WScript.Echo("  ratio library / MSXML:       " + ((theirs[0] + theirs[1]) ? ((ours[0] + ours[1]) / (theirs[0] + theirs[1])).toFixed(2) : "n/a"));
if (!ok) WScript.Echo("  the outputs do not hold every item");
WScript.Echo("ROW|DOMParser+DOMSerializer round trip " + MB + " MB vs MSXML load+save|" + (ours[0] + ours[1]) + "|" +
             (theirs[0] + theirs[1]) + "|ms|<=1.2");
FSO.DeleteFolder(DIR, true);
WScript.Quit(ok ? 0 : 1);
