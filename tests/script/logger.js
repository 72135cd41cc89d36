// Logger from script, with the low locations (cscript sees Windows 6.1): the log switch under the
// LowRegistry settings key, the log file in the low local application data folder.
// test-lock: diagnostic-log
var SETTINGS = "HKCU\\Software\\Microsoft\\Internet Explorer\\LowRegistry\\Belvanquist\\Zembrolatix\\";
var LOG_FILE = env("LOCALAPPDATA") + "Low\\Zembrolatix\\Zembrolatix.log";
var DUMP = "CScriptLogger\t- dumpProperties(...) is not implemented\r\n";

function setSwitch(value, type) { SH.RegWrite(SETTINGS + "log", value, type); }
// Wine's WScript.Shell has no RegDelete (E_NOTIMPL): reg.exe deletes the value.
function removeSwitch() {
    SH.Run('reg.exe delete "' + SETTINGS.slice(0, -1) + '" /v log /f', 0, true);
}
function deleteLog() {
    if (FSO.FileExists(LOG_FILE)) FSO.DeleteFile(LOG_FILE, true);
}
// The log's text, or null when there is no file.
function readLog() {
    if (!FSO.FileExists(LOG_FILE)) return null;
    if (FSO.GetFile(LOG_FILE).Size == 0) return "";
    var stream = FSO.OpenTextFile(LOG_FILE, 1, false, 0);
    var text = stream.ReadAll();
    stream.Close();
    return text;
}
function newLogger() { return new ActiveXObject("Zembrolatix.Logger"); }

try {
    // The module loads with the first Logger below, while the switch is on: its process-wide writer
    // (used by dumpProperties) stays on for the rest of this script.
    test("lines are written when the switch is the DWORD 1", function () {
        deleteLog();
        setSwitch(1, "REG_DWORD");
        var log = newLogger();
        eq(log.isEnabled, true, "isEnabled");
        log.debug("before init");
        log.init("app");
        log.warn("m");
        log.init("second");
        log.error("e");
        log.debug("");
        throwsHr(E_INVALIDARG, function () { log.init(""); }, "empty init");
        log.debug("after a refused init");
        log.dumpProperties(log);
        log.dumpProperties(42);
        log.dumpProperties();
        eq(readLog(), "DEBUG before init\r\nWARN app\t- m\r\nERROR second\t- e\r\nDEBUG second\t- \r\n" +
            "DEBUG second\t- after a refused init\r\n" + DUMP + DUMP + DUMP);
    });

    test("a Logger keeps the switch it saw when it was made", function () {
        var early = newLogger();
        removeSwitch();
        deleteLog();
        var late = newLogger();
        eq(early.isEnabled, true, "made while on");
        eq(late.isEnabled, false, "made while off");
        late.debug("not written");
        early.debug("written");
        eq(readLog(), "DEBUG written\r\n");
    });

    test("no line and no file while the switch is absent, 0, 2 or the text 1", function () {
        var states = [
            ["absent", null, null], ["0", 0, "REG_DWORD"], ["2", 2, "REG_DWORD"], ["text 1", "1", "REG_SZ"]
        ];
        for (var i = 0; i < states.length; i++) {
            removeSwitch();
            if (states[i][2]) setSwitch(states[i][1], states[i][2]);
            deleteLog();
            var log = newLogger();
            eq(log.isEnabled, false, states[i][0] + ": isEnabled");
            log.debug("x");
            log.init("p");
            log.warn("y");
            log.error("z");
            eq(FSO.FileExists(LOG_FILE), false, states[i][0] + ": file made");
        }
        removeSwitch();
    });

    test("dumpProperties writes through the writer made when the module loaded", function () {
        removeSwitch();
        deleteLog();
        var log = newLogger();
        eq(log.isEnabled, false, "isEnabled");
        log.dumpProperties(new Object());
        eq(readLog(), DUMP);
    });

    test("a member call that fails writes one line: the member, the answer and its cause", function () {
        var rows = [
            ["a missing file", env("TEMP") + "\\zembrolatix-no-such-file.txt", "Win32 error 2 in "],
            ["a folder", env("TEMP"), "the path names a folder in "]
        ];
        for (var i = 0; i < rows.length; i++) {
            deleteLog();
            var file = new ActiveXObject("Zembrolatix.LocalFile");
            file.initWithPath(rows[i][1]);
            throwsHr(E_FAIL, function () { return file.fileSize; }, rows[i][0]);
            var lines = (readLog() || "").split("\r\n");
            eq(lines.length, 2, rows[i][0] + ": one line");
            var start = "ERROR CScriptLogger\t- ILocalFile2.fileSize failed with 0x80004005: " + rows[i][2];
            eq(lines[0].substring(0, start.length), start, rows[i][0] + ": the line");
        }
    });
} finally {
    removeSwitch();
    deleteLog();
}
