// String bundle speed: the parse rate of a generated properties file of 100,000 lines (several MB)
// through StringBundleService.createBundle, in MB/s, next to GetStringFromName calls per second.
// Run by scripts/bench.sh; arguments: the build folder and this folder (Windows paths). The ROW line
// gives the parse rate and its floor.
var FSO = new ActiveXObject("Scripting.FileSystemObject");
var LINES = 100000, LOADS = 6, LOOKUPS = 200000;

function pad(n) { return ("00000" + n).slice(-6); }
function key(i) { return "dialog.section" + (i % 97) + ".string" + pad(i); }

// In the private data folder: a bundle reads a file a script names only there or in a registered location.
var path = new ActiveXObject("Zembrolatix.DirectoryService").get("ProfD", "{F75B5C32-B42D-416D-93AC-8798869674CE}")
               .path + "\\zbt-bench-bundles.properties";
var lines = ["# Generated strings for the bundle benchmark"];
for (var i = 0; i < LINES; i++)
    lines.push(key(i) + " = Localised text number " + pad(i) + " with a few words of padding");
var text = lines.join("\r\n");
var file = FSO.CreateTextFile(path, true, false);
file.Write(text);
file.Close();
var bytes = FSO.GetFile(path).Size;

var service = new ActiveXObject("Zembrolatix.StringBundleService");
var bundle = null, best = Infinity;
for (var load = 0; load < LOADS; load++) {
    var start = new Date().getTime();
    bundle = service.createBundle(path);
    best = Math.min(best, Math.max(new Date().getTime() - start, 1));
}

var names = [];
for (var n = 0; n < 1000; n++) names.push(key((n * 7919) % LINES));
var start = new Date().getTime();
for (var call = 0; call < LOOKUPS; call++) bundle.GetStringFromName(names[call % 1000]);
var lookupMs = Math.max(new Date().getTime() - start, 1);
if (bundle.GetStringFromName(key(12345)) !== "Localised text number 012345 with a few words of padding")
    WScript.Echo("unexpected value read back");
FSO.DeleteFile(path);

WScript.Echo("properties file: " + LINES + " lines, " + (bytes / 1e6).toFixed(2) + " MB");
WScript.Echo("createBundle parse rate: " + (bytes / 1e6 / (best / 1000)).toFixed(2) + " MB/s (best of " + LOADS +
             ", " + best + " ms)");
WScript.Echo("GetStringFromName: " + Math.round(LOOKUPS / (lookupMs / 1000)) + " calls/s (" + LOOKUPS + " calls, " +
             lookupMs + " ms)");
WScript.Echo("ROW|StringBundleService.createBundle parse rate|" + (bytes / 1e6 / (best / 1000)).toFixed(2) + "|-|MB/s|>=100");
