// Times set+get pairs of a 32-bit integer preference through a PrefBranch next to the same work done
// through WScript.Shell's RegWrite/RegRead on a value of the same key, in the same run, and prints both
// times and their ratio. usage: cscript prefs.js BUILD_DIR BENCH_DIR [pairs]
var PAIRS = WScript.Arguments.length > 2 ? parseInt(WScript.Arguments(2), 10) : 10000;
var SH = new ActiveXObject("WScript.Shell");
var BASES = ["HKCU\\Software\\Microsoft\\Internet Explorer\\LowRegistry\\", "HKCU\\Software\\"];
var KEY_BELOW_BASE = "Zembrolatix\\zxbench_prefs\\";

function now() { return new Date().getTime(); }

var branch = new ActiveXObject("Zembrolatix.PrefService").getBranch("zxbench_prefs.");
var sum = 0;
var start = now();
for (var i = 0; i < PAIRS; i++) {
    branch.setIntPref("counter", i);
    sum += branch.getIntPref("counter");
}
var prefMs = now() - start;

// The key the branch bound to, so the shell writes next to it.
var key = null;
for (var b = 0; b < BASES.length && key === null; b++) {
    try { SH.RegRead(BASES[b] + KEY_BELOW_BASE + "counter"); key = BASES[b] + KEY_BELOW_BASE; } catch (e) { }
}
if (key === null) {
    WScript.Echo("the branch's key was not found");
    WScript.Quit(1);
}

var shellSum = 0;
start = now();
for (var j = 0; j < PAIRS; j++) {
    SH.RegWrite(key + "shellCounter", j, "REG_DWORD");
    shellSum += SH.RegRead(key + "shellCounter");
}
var shellMs = now() - start;

// WScript.Shell's RegDelete is not implemented by Wine: reg.exe deletes the key.
SH.Run('reg.exe delete "' + key.replace(/\\$/, "") + '" /f', 0, true);

if (sum !== shellSum) WScript.Echo("sums differ: " + sum + " and " + shellSum);
WScript.Echo(PAIRS + " set+get pairs of an int preference");
WScript.Echo("  PrefBranch setIntPref/getIntPref:   " + prefMs + " ms");
WScript.Echo("  WScript.Shell RegWrite/RegRead:     " + shellMs + " ms");
WScript.Echo("  ratio PrefBranch / WScript.Shell:   " + (shellMs ? (prefMs / shellMs).toFixed(2) : "n/a"));
