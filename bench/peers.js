// Times the library's everyday operations next to the automation objects a script author would
// otherwise use for the same work (Wine's FileSystemObject, Dictionary, TextStream, WScript.Shell),
// all in this one process.
// Prints one line per operation: "ROW|operation|ours|peer|us/op|<=goal|ratio", the goal being the
// highest acceptable ratio ours/peer. usage: cscript peers.js BUILD_DIR BENCH_DIR [scale]
var SCALE = WScript.Arguments.length > 2 ? parseFloat(WScript.Arguments(2)) : 1;
var ROUNDS = 40;
var FSO = new ActiveXObject("Scripting.FileSystemObject");
var SH = new ActiveXObject("WScript.Shell");
var TEMP = SH.ExpandEnvironmentStrings("%TEMP%").replace(/\u0000.*$/, "").replace(/\\$/, "");
var DIR = TEMP + "\\zbx-bench-peers";
var DS_IID = "{F75B5C32-B42D-416D-93AC-8798869674CE}";

function now() { return new Date().getTime(); }
function count(n) { return Math.max(1, Math.round(n * SCALE)); }

// Microseconds per operation of ours and of the peer, and their ratio. The two sides take turns in
// short rounds, so that the two rounds of a pair see the same machine; the quarter of the pairs that
// took longest (the machine busy with something else) is left out, and the rest are summed, so that the
// clock's millisecond steps average out. reset, when given, runs untimed before every round.
function compare(label, n, ours, peer, goal, reset) {
    var pairs = [], sides = [ours, peer], each = Math.max(1, Math.round(n / ROUNDS));
    sides[0](1);
    sides[1](1);
    for (var r = 0; r < ROUNDS; r++) {
        if (reset) reset();
        var times = [0, 0];
        for (var k = 0; k < 2; k++) {
            var s = r % 2 ? 1 - k : k, t0 = now();
            sides[s](each);
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
    function perOp(ms) { return (Math.max(ms, 0.5) * 1000 / (each * kept.length)).toFixed(2); }
    WScript.Echo("ROW|" + label + "|" + perOp(sum[0]) + "|" + perOp(sum[1]) + "|us/op|<=" + goal + "|" +
                 (Math.max(sum[0], 0.5) / Math.max(sum[1], 0.5)).toFixed(2));
}

function localFile(path) {
    var f = new ActiveXObject("Zembrolatix.LocalFile");
    f.initWithPath(path);
    return f;
}
// A file the library may write: below the temporary folder as the directory service hands it out.
function safeTemp(leaf) {
    var f = new ActiveXObject("Zembrolatix.DirectoryService").get("TmpD", DS_IID);
    f.append("zbx-bench-peers");
    f.append(leaf);
    return f;
}

// Creation first, while the script engine holds little else.
(function () {
    var o;
    compare("create Zembrolatix.LocalFile vs Scripting.Dictionary", count(40000),
            function (n) { for (var i = 0; i < n; i++) o = new ActiveXObject("Zembrolatix.LocalFile"); },
            function (n) { for (var i = 0; i < n; i++) o = new ActiveXObject("Scripting.Dictionary"); }, 1.0);
})();

// A folder of a few hundred entries, as a profile folder holds: the looked-up file sits among them.
if (FSO.FolderExists(DIR)) FSO.DeleteFolder(DIR, true);
FSO.CreateFolder(DIR);
for (var i = 0; i < 300; i++) FSO.CreateTextFile(DIR + "\\entry" + (1000 + i) + ".txt", true, false).Close();
var TARGET = DIR + "\\entry1150.txt";
FSO.CreateFolder(DIR + "\\sub");

(function () {
    var f = localFile(TARGET), path = TARGET, x;
    compare("LocalFile.leafName vs FSO.GetFileName", count(500000),
            function (n) { for (var i = 0; i < n; i++) x = f.leafName; },
            function (n) { for (var i = 0; i < n; i++) x = FSO.GetFileName(path); }, 0.15);
})();


(function () {
    var f = localFile(TARGET), d = localFile(DIR + "\\sub"), x;
    if (!f.exists() || f.isDirectory() || !d.isDirectory() || f.fileSize !== 0) WScript.Echo("unexpected lookup answers");
    function fileExists(n) { for (var i = 0; i < n; i++) x = FSO.FileExists(TARGET); }
    compare("LocalFile.exists() vs FSO.FileExists", count(100000),
            function (n) { for (var i = 0; i < n; i++) x = f.exists(); }, fileExists, 1.2);
    compare("LocalFile.isDirectory() vs FSO.FileExists", count(100000),
            function (n) { for (var i = 0; i < n; i++) x = d.isDirectory(); }, fileExists, 1.2);
    compare("LocalFile.fileSize vs FSO.FileExists", count(100000),
            function (n) { for (var i = 0; i < n; i++) x = f.fileSize; }, fileExists, 1.2);
})();

// Each side writes its own file, from its start again in every round.
function writes(label, length, n, goal) {
    var unit = "The quick brown fox jumps over the lazy dog; 0123456789 ABCDEFGH\r\n", text = "";
    while (text.length < length) text += unit;
    text = text.substring(0, length);
    var out = new ActiveXObject("Zembrolatix.FileOutputStream");
    out.init(safeTemp("ours" + length + ".txt"), 0x02 | 0x08 | 0x20, 420, 0);
    var theirs = DIR + "\\theirs" + length + ".txt", ts = FSO.CreateTextFile(theirs, true, false);
    var written = 0, calls = 0;
    compare(label, n,
            function (n) { for (var i = 0; i < n; i++) written += out.write(text, length); calls += n; },
            function (n) { for (var i = 0; i < n; i++) ts.Write(text); }, goal,
            function () { out.seek(0, 0); ts.Close(); ts = FSO.CreateTextFile(theirs, true, false); });
    out.close();
    ts.Close();
    if (written !== length * calls) WScript.Echo("unexpected byte count " + written);
}
writes("FileOutputStream.write 4 KiB vs TextStream.Write", 4096, count(50000), 1.0);
writes("FileOutputStream.write 64 chars vs TextStream.Write", 64, count(160000), 1.1);

// Preferences next to the same registry work through WScript.Shell, on a value of the same key.
(function () {
    var BASES = ["HKCU\\Software\\Microsoft\\Internet Explorer\\LowRegistry\\", "HKCU\\Software\\"];
    var branch = new ActiveXObject("Zembrolatix.PrefService").getBranch("zxbench_prefs.");
    branch.setIntPref("counter", 1);
    var key = null;
    for (var b = 0; b < BASES.length && key === null; b++) {
        try { SH.RegRead(BASES[b] + "Zembrolatix\\zxbench_prefs\\counter"); key = BASES[b] + "Zembrolatix\\zxbench_prefs\\"; } catch (e) { }
    }
    if (key === null) { WScript.Echo("the branch's key was not found"); return; }
    var sum = 0;
    compare("PrefBranch setIntPref+getIntPref vs WshShell RegWrite+RegRead", count(4000),
            function (n) { for (var i = 0; i < n; i++) { branch.setIntPref("counter", i); sum += branch.getIntPref("counter"); } },
            function (n) { for (var i = 0; i < n; i++) { SH.RegWrite(key + "shellCounter", i, "REG_DWORD"); sum -= SH.RegRead(key + "shellCounter"); } },
            0.29);
    if (sum !== 0) WScript.Echo("the two sides read back different numbers");
    // WScript.Shell's RegDelete is not implemented by Wine: reg.exe deletes the key.
    SH.Run('reg.exe delete "' + key.replace(/\\$/, "") + '" /f', 0, true);
})();

FSO.DeleteFolder(DIR, true);
