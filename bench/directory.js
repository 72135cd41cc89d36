// Lists a folder of 10,000 files with LocalFile.directoryEntries and with FileSystemObject's Files
// collection, each entry's name read on both sides, in this one process.
// Prints "ROW|operation|ours|peer|ms/listing|<=goal|ratio". usage: cscript directory.js BUILD_DIR BENCH_DIR [scale]
var SCALE = WScript.Arguments.length > 2 ? parseFloat(WScript.Arguments(2)) : 1;
var FILES = Math.max(10, Math.round(10000 * SCALE)), ROUNDS = 10;
var FSO = new ActiveXObject("Scripting.FileSystemObject");
var SH = new ActiveXObject("WScript.Shell");
var TEMP = SH.ExpandEnvironmentStrings("%TEMP%").replace(/\u0000.*$/, "").replace(/\\$/, "");
var DIR = TEMP + "\\zbx-bench-directory";

function now() { return new Date().getTime(); }

// The folder is kept between runs while it holds the right number of files.
if (!FSO.FolderExists(DIR) || FSO.GetFolder(DIR).Files.Count !== FILES) {
    if (FSO.FolderExists(DIR)) FSO.DeleteFolder(DIR, true);
    FSO.CreateFolder(DIR);
    for (var i = 0; i < FILES; i++) FSO.CreateTextFile(DIR + "\\entry" + (100000 + i) + ".txt", true, false).Close();
}

function ours() {
    var folder = new ActiveXObject("Zembrolatix.LocalFile"), n = 0, name;
    folder.initWithPath(DIR);
    for (var e = folder.directoryEntries; e.hasMoreElements(); n++) name = e.getNext().leafName;
    return n;
}
function peer() {
    var n = 0, name;
    for (var e = new Enumerator(FSO.GetFolder(DIR).Files); !e.atEnd(); e.moveNext(), n++) name = e.item().Name;
    return n;
}

// The two sides take turns; the quarter of the pairs that took longest is left out.
var pairs = [], sides = [ours, peer];
if (ours() !== FILES || peer() !== FILES) WScript.Echo("unexpected entry counts");
for (var r = 0; r < ROUNDS; r++) {
    var times = [0, 0];
    for (var k = 0; k < 2; k++) {
        var s = r % 2 ? 1 - k : k, t0 = now();
        sides[s]();
        times[s] = now() - t0;
    }
    pairs.push(times);
}
pairs.sort(function (a, b) { return (a[0] + a[1]) - (b[0] + b[1]); });
var kept = pairs.slice(0, Math.ceil(pairs.length * 3 / 4)), sum = [0, 0];
for (var p = 0; p < kept.length; p++) {
    sum[0] += kept[p][0];
    sum[1] += kept[p][1];
}
WScript.Echo("ROW|LocalFile.directoryEntries vs FSO Folder.Files (" + FILES + " files)|" +
             (sum[0] / kept.length).toFixed(1) + "|" + (sum[1] / kept.length).toFixed(1) + "|ms/listing|<=1.2|" +
             (Math.max(sum[0], 1) / Math.max(sum[1], 1)).toFixed(2));
