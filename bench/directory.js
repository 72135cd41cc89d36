// Lists a folder of 10,000 files with LocalFile.directoryEntries and with FileSystemObject's Files
// collection, each entry's name read on both sides. Wine's JScript cannot walk an automation collection
// (its Enumerator refuses FileSystemObject's), so both sides run in one VBScript process that this
// script writes and starts, VBScript's For Each being how a script walks that collection.
// Prints "ROW|operation|ours|peer|ms/listing|<=goal|ratio". usage: cscript directory.js BUILD_DIR BENCH_DIR [scale]
var SCALE = WScript.Arguments.length > 2 ? parseFloat(WScript.Arguments(2)) : 1;
var FILES = Math.max(10, Math.round(10000 * SCALE)), ROUNDS = 10;
var FSO = new ActiveXObject("Scripting.FileSystemObject");
var SH = new ActiveXObject("WScript.Shell");
var IID = "{F75B5C32-B42D-416D-93AC-8798869674CE}";
// In the private data folder, where the library lets any script list a folder.
var DIR = new ActiveXObject("Zembrolatix.DirectoryService").get("ProfD", IID).path + "\\zbx-bench-directory";
var TEMP = SH.ExpandEnvironmentStrings("%TEMP%").replace(/\u0000.*$/, "").replace(/\\$/, "");

if (FSO.FolderExists(DIR)) FSO.DeleteFolder(DIR, true);
FSO.CreateFolder(DIR);
for (var i = 0; i < FILES; i++) FSO.CreateTextFile(DIR + "\\entry" + (100000 + i) + ".txt", true, false).Close();

var VBS = [
    'Set fso = CreateObject("Scripting.FileSystemObject")',
    'dir = WScript.Arguments(0) : rounds = CInt(WScript.Arguments(1))',
    'Function Ours()',
    '  Set folder = CreateObject("Zembrolatix.LocalFile") : folder.initWithPath dir',
    '  Set e = folder.directoryEntries : n = 0',
    '  Do While e.hasMoreElements() : name = e.getNext().leafName : n = n + 1 : Loop',
    '  Ours = n',
    'End Function',
    'Function Peer()',
    '  n = 0',
    '  For Each f In fso.GetFolder(dir).Files : name = f.Name : n = n + 1 : Next',
    '  Peer = n',
    'End Function',
    'If Ours() <> Peer() Then WScript.Echo "unexpected entry counts"',
    // The two sides take turns; each line gives one pair of times in milliseconds.
    'For r = 1 To rounds',
    '  If r Mod 2 = 0 Then t0 = Timer : Ours : t1 = Timer : Peer : t2 = Timer : WScript.Echo "PAIR " & Round((t1 - t0) * 1000) & " " & Round((t2 - t1) * 1000)',
    '  If r Mod 2 = 1 Then t0 = Timer : Peer : t1 = Timer : Ours : t2 = Timer : WScript.Echo "PAIR " & Round((t2 - t1) * 1000) & " " & Round((t1 - t0) * 1000)',
    'Next'
].join("\r\n");
var script = TEMP + "\\zbx-bench-directory.vbs", out = TEMP + "\\zbx-bench-directory.txt";
var ts = FSO.CreateTextFile(script, true, false);
ts.Write(VBS);
ts.Close();
SH.Run('cmd /c "cscript //nologo "' + script + '" "' + DIR + '" ' + ROUNDS + ' > "' + out + '" 2>&1"', 0, true);
var lines = FSO.OpenTextFile(out, 1).ReadAll().split(/\r?\n/), pairs = [];
for (var l = 0; l < lines.length; l++) {
    var m = /^PAIR (\d+) (\d+)/.exec(lines[l]);
    if (m) pairs.push([parseInt(m[1], 10), parseInt(m[2], 10)]);
    else if (lines[l]) WScript.Echo(lines[l]);
}
// The quarter of the pairs that took longest (the machine busy with something else) is left out.
pairs.sort(function (a, b) { return (a[0] + a[1]) - (b[0] + b[1]); });
var kept = pairs.slice(0, Math.ceil(pairs.length * 3 / 4)), sum = [0, 0];
for (var p = 0; p < kept.length; p++) {
    sum[0] += kept[p][0];
    sum[1] += kept[p][1];
}
if (kept.length) {
    WScript.Echo("ROW|LocalFile.directoryEntries vs FSO Folder.Files, " + FILES + " files|" +
                 (sum[0] / kept.length).toFixed(1) + "|" + (sum[1] / kept.length).toFixed(1) + "|ms/listing|<=1.2|" +
                 (Math.max(sum[0], 1) / Math.max(sum[1], 1)).toFixed(2));
}
FSO.DeleteFile(script);
FSO.DeleteFile(out);
FSO.DeleteFolder(DIR, true);
