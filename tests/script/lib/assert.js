// Assertions for the JScript tests. The runner puts this file in front of each test file and
// finish() behind it; a test file only calls test(name, fn) and the checks below.
var T = { passed: 0, failed: 0, current: "" };
var SH = new ActiveXObject("WScript.Shell");
var FSO = new ActiveXObject("Scripting.FileSystemObject");

function hex(n) { return "0x" + ("00000000" + (n >>> 0).toString(16).toUpperCase()).slice(-8); }
function show(v) {
    if (typeof v === "string") return '"' + v + '"';
    return String(v);
}
function pass() { T.passed++; }
function fail(msg) {
    T.failed++;
    WScript.Echo("FAIL [" + T.current + "] " + msg);
}
function ok(cond, msg) { if (cond) pass(); else fail(msg || "expected true"); }
function eq(actual, expected, msg) {
    if (actual === expected) pass();
    else fail((msg ? msg + ": " : "") + "got " + show(actual) + ", expected " + show(expected));
}
// Runs fn and gives the HRESULT it failed with (as an unsigned number), or 0 when it succeeded.
function hrOf(fn) {
    try { fn(); return 0; } catch (e) { return e.number >>> 0; }
}
function throwsHr(expected, fn, msg) {
    var got = hrOf(fn);
    if (got === (expected >>> 0)) pass();
    else fail((msg ? msg + ": " : "") + "got " + hex(got) + ", expected " + hex(expected));
}
function test(name, fn) {
    T.current = name;
    try { fn(); } catch (e) { fail("uncaught error " + hex(e.number) + " " + (e.description || e.message || e)); }
}
function finish() {
    WScript.Echo(T.passed + " passed, " + T.failed + " failed");
    WScript.Quit(T.failed ? 1 : 0);
}
// Environment, with the trailing NUL that Wine leaves in expanded strings removed.
function env(name) {
    var v = SH.ExpandEnvironmentStrings("%" + name + "%");
    var nul = v.indexOf("\u0000");
    return nul >= 0 ? v.substring(0, nul) : v;
}

var S_OK = 0, S_FALSE = 1;
var E_NOTIMPL = 0x80004001, E_NOINTERFACE = 0x80004002, E_POINTER = 0x80004003, E_FAIL = 0x80004005;
var E_UNEXPECTED = 0x8000FFFF, E_ACCESSDENIED = 0x80070005, E_INVALIDARG = 0x80070057;
var E_OUTOFMEMORY = 0x8007000E, CO_E_IIDSTRING = 0x800401F4;
var DISP_E_MEMBERNOTFOUND = 0x80020003, DISP_E_TYPEMISMATCH = 0x80020005, DISP_E_UNKNOWNNAME = 0x80020006;
var DISP_E_BADPARAMCOUNT = 0x8002000E, DISP_E_PARAMNOTOPTIONAL = 0x8002000F;
