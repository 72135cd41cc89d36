// XPCOM names for Zembrolatix.
//
// Evaluate this file before the application's own code (a <script src> in a page, a <script>
// element of a .wsf job, or concatenated in front). It defines the globals Components, Cc, Ci, Cr,
// Cu, ChromeUtils and Services over the library's objects, so script written against XPCOM runs
// unchanged where the library offers the same service, and XMLHttpRequest where the host has none.
// Plain ES3: Internet Explorer's JScript runs it as it is. Where the library cannot give XPCOM's
// result, a member throws an error naming what is missing (e.number NS_ERROR_NOT_IMPLEMENTED,
// text "not available in this library: ...") instead of doing something else.
//
// Components.classes (Cc): contract IDs -> objects (createInstance makes a new one each time,
// getService one per contract)
//   @mozilla.org/file/local;1                       LocalFile
//   @mozilla.org/network/file-input-stream;1        FileInputStream, with readLine(out) (nsILineInputStream)
//   @mozilla.org/network/file-output-stream;1       FileOutputStream opened with XPCOM's flags (below)
//   @mozilla.org/network/safe-file-output-stream;1  atomic FileOutputStream (below)
//   @mozilla.org/network/atomic-file-output-stream;1  the same
//   @mozilla.org/file/directory_service;1           directory service
//   @mozilla.org/preferences-service;1, @mozilla.org/preferences;1   preferences
//   @mozilla.org/intl/stringbundle;1                string bundle service
//   @mozilla.org/xmlextras/domparser;1              DOMParser (parseFromString added)
//   @mozilla.org/xmlextras/xmlserializer;1          DOMSerializer
//   @mozilla.org/xmlextras/xmlhttprequest;1         the window manager's XMLHttpRequest (MSXML)
//   @mozilla.org/embedding/browser/nsWebBrowserPersist;1  WebBrowserPersist
//   @mozilla.org/filepicker;1                       FilePicker
//   @mozilla.org/network/io-service;1               nsIIOService: newURI, newFileURI, getProtocolHandler
//   @mozilla.org/network/protocol;1?name=file       getFileFromURLSpec, getURLSpecFromFile, ...Dir
//   @mozilla.org/intl/converter-output-stream;1     writeString() over a file output stream (UTF-8)
//   @mozilla.org/intl/converter-input-stream;1      readString(count, out), readLine(out)
//   @mozilla.org/scriptableinputstream;1            read(count), readBytes(count), available()
//   @mozilla.org/binaryinputstream;1                readBytes, readByteArray, read8/16/32 (big-endian)
//   @mozilla.org/intl/scriptableunicodeconverter    UTF-8 only: ConvertFromUnicode, ConvertToUnicode,
//                                                   convertToByteArray, convertFromByteArray
//   @mozilla.org/consoleservice;1                   logStringMessage, logMessage through Logger
//   @mozilla.org/scripterror;1                      nsIScriptError (init, flags); logMessage logs it
//                                                   as an error, or a warning with warningFlag
//   @mozilla.org/supports-string;1, @mozilla.org/pref-localizedstring;1   { data }
//   @mozilla.org/supports-array;1, @mozilla.org/array;1   nsISupportsArray and nsIMutableArray in one
//   @mozilla.org/observer-service;1                 observers of this script (in-process)
//   @mozilla.org/embedcomp/window-watcher;1         openWindow through WindowManager
//   @mozilla.org/embedcomp/prompt-service;1         alert, confirm, prompt
//   @mozilla.org/xre/app-info;1                     name "Zembrolatix", version "1.0", OS "WINNT"
//
// Services: prefs, dirsvc, strings, io, console, ww, obs, prompt, appinfo (the services above).
//
// Modules: Components.utils.import(url[, scope]) and ChromeUtils.import(url) define the module's
// names in scope (the global object when left out) and return them:
//   resource://gre/modules/Services.jsm   Services
//   resource://gre/modules/FileUtils.jsm  FileUtils: getFile, getDir (shouldCreate makes each level),
//       openFileOutputStream, openSafeFileOutputStream, closeSafeFileOutputStream (and the Atomic
//       names), File(path), MODE_RDONLY/WRONLY/RDWR/CREATE/APPEND/TRUNCATE, PERMS_FILE, PERMS_DIRECTORY
//   resource://gre/modules/NetUtil.jsm    NetUtil: newURI (text, nsIURI or file), readInputStreamToString
//       (with options.charset: text, else bytes), readInputStream, asyncFetch(source, callback),
//       asyncCopy(source, sink, callback) of text made by convertToInputStream
// Any other module throws NS_ERROR_FILE_NOT_FOUND naming it.
//
// Components.interfaces (Ci): each entry stands for the library interface that matches it and is
// accepted wherever the library takes an interface identifier (its text is the IID), e.g.
// dirsvc.get("ProfD", Ci.nsIFile) or element.QueryInterface(Ci.nsIPropertyElement). nsIFile and
// nsILocalFile both name ILocalFile; nsISafeOutputStream names IFileOutputStream, whose finish() is
// the safe stream's. Entries carry XPCOM's constants (nsIFile.DIRECTORY_TYPE, nsIFilePicker.modeSave,
// nsIWebBrowserPersist.PERSIST_FLAGS_..., nsIWebProgressListener.STATE_..., nsIScriptError.warningFlag,
// nsIConverterInputStream.DEFAULT_REPLACEMENT_CHARACTER). Entries are functions, so `x instanceof
// Ci.nsIFile` is legal; it answers true only for nsIURI objects of this script (library objects are
// not JScript objects: ask x.Implements(Ci.nsIFile) or QueryInterface).
//
// Components.results (Cr): XPCOM's result names with the HRESULT the library reports for the same
// condition, as signed numbers, the form a caught error's e.number has. The library reports a
// missing file, an existing one, a missing preference and a failed open all as E_FAIL, so
// NS_ERROR_FILE_NOT_FOUND, NS_ERROR_FILE_ALREADY_EXISTS, NS_ERROR_NOT_AVAILABLE, ... equal
// NS_ERROR_FAILURE; the folder members pass the system's codes on, so NS_ERROR_FILE_DIR_NOT_EMPTY,
// NS_ERROR_FILE_NOT_DIRECTORY and NS_ERROR_FILE_TARGET_DOES_NOT_EXIST are those (0x80070091,
// 0x8007010B, 0x80070003; an existing copy target gives 0x80070050 or 0x800700B7, not
// NS_ERROR_FILE_ALREADY_EXISTS); NS_ERROR_FILE_ACCESS_DENIED is E_ACCESSDENIED; NS_ERROR_INVALID_ARG,
// NS_ERROR_MALFORMED_URI are E_INVALIDARG; NS_ERROR_UNEXPECTED, NS_ERROR_NOT_INITIALIZED,
// NS_BASE_STREAM_CLOSED are E_UNEXPECTED. Errors thrown by this script also carry e.result.
//   try { ... } catch (e) { if (e.number == Cr.NS_ERROR_FILE_ACCESS_DENIED) ... }
// Components.Exception(message, result), Components.isSuccessCode(result) and
// Components.Constructor(contract, iid, initializer) are there.
//
// What differs from XPCOM, and why:
// - File output streams: XPCOM's open flags (PR_WRONLY 0x02, PR_CREATE_FILE 0x08, PR_APPEND 0x10,
//   PR_TRUNCATE 0x20, -1 for write-create-truncate) are given to the library's initWithFlags where
//   it has one; else they are mapped onto its init (create 0x08 and append 0x10; without append it
//   empties the file): init(file, -1, ...) truncates. Flags that keep an existing file's content
//   without appending, and PR_EXCL, throw (the library's init cannot). write(data, 0) writes nothing.
//   The safe (atomic) stream writes beside its target and finish() replaces the target, through the
//   library's initSafe; a library without it makes init throw: never a non-atomic "safe" stream.
//   File streams (input and output) are this script's objects around the library's (their
//   `stream`): this script's members that take a stream (parseFromStream, serializeToStream, the
//   converter and scriptable streams, NetUtil) take either; a library object's member called
//   directly needs `stream`.
// - Input streams: scriptable, binary and converter streams and NetUtil.readInputStreamToString read
//   through the library's FileInputStream members read, readBytes, setCharset, readString, readLine
//   and hasMoreLines (charsets: the library's, UTF-8, windows-1252, UTF-16); without them they throw.
//   Text this script holds (an HTTP response, convertToInputStream) is decoded as UTF-8 only.
// - Preferences: XPCOM preference names are flat dotted strings; the library keeps one registry key
//   per branch. Every branch given out here splits the full name at its last dot:
//   "extensions.app.window.width" is the value "width" of the branch "extensions.app.window.",
//   however it was reached. Getters take XPCOM's optional default (getIntPref(name, 0)); a missing
//   preference throws E_FAIL (XPCOM: NS_ERROR_UNEXPECTED). getDefaultBranch(root) keeps defaults in
//   memory for the session (as XPCOM keeps the ones it read from an application's defaults file):
//   a stored user value hides a default, clearUserPref brings it back, getChildList lists both.
//   getComplexValue/setComplexValue: nsISupportsString and nsIPrefLocalizedString as { data } (a
//   localized value that is a chrome://...properties address gives that bundle's string of the
//   preference's full name, as XPCOM does), nsIFile/nsILocalFile as the file's path. getPrefType
//   uses the library's own getPrefType where it has one; otherwise it cannot tell a stored boolean
//   from an integer (PREF_INT) unless a default says PREF_BOOL. clearUserPref, getChildList and
//   deleteBranch need the library's members of those names and throw without them.
//   addObserver/removeObserver (nsIPrefBranch2): the library's own observers where it has them
//   (they also see other windows and processes); else only changes made through this script.
//   Observers get (branch, "nsPref:changed", name relative to the branch). Locked preferences and
//   preference files are not available; savePrefFile does nothing, every change is stored at once.
// - Directory service: get(key, iid) answers "ProfD" (also asked as "ProfLD") and "TmpD", and the
//   library's other keys (Home, Desk, Pers, AppData, LocalAppData, DfltDwnld, CurWorkD, CurProcD)
//   where it has them; the iid may be left out. has(key) tells which keys exist.
// - String bundles: formatStringFromName(name, params) replaces %S and %n$S. A missing name throws
//   NS_ERROR_FAILURE, as in XPCOM (the library itself answers "").
// - URIs: newURI(address, charset, base) resolves address against base as RFC 3986 does (the charset is
//   not used: addresses are UTF-8). nsIURI objects have spec, prePath, scheme, userPass, username,
//   password, host, port (-1 for the scheme's default), hostPort, path (= pathQueryRef), filePath,
//   query, ref, fileName, fileExtension, schemeIs, resolve, equals, equalsExceptRef, clone. They are
//   plain objects: setting a property does not re-parse the address. file: addresses percent-encode the path's
//   UTF-8 bytes as XPCOM does (space, #, %, ?, ; and the like; "p%41.txt" -> "p%2541.txt"), and a
//   UNC path \\server\share is file://server/share; nsIFileURL's file and getFileFromURLSpec decode
//   them back. A file given to newFileURI, or picked in the file picker (fp.file, fp.fileURL), stays
//   the same LocalFile object with its trust, into saveURI.
// - DOMParser: parseFromStream as in XPCOM (a FileInputStream at its start); parseFromString parses
//   with MSXML and throws NS_ERROR_FAILURE for text that is not well-formed (XPCOM returns a
//   <parsererror> document). Documents are MSXML's: node.text where XPCOM has textContent.
// - WebBrowserPersist: saveURI takes XPCOM's long argument lists (6, 7, 8 or more arguments) as well
//   as the library's (uri, file). The URI is a string or an nsIURI object; the target is the first
//   LocalFile after the URI, or a file: URI. The download runs inside the call. With an
//   nsIWebProgressListener set as progressListener it is told onStateChange(START), onProgressChange
//   and onStateChange(STOP) with the result as status, and a failure is reported there and in
//   persist.result instead of being thrown; without one, a failure is thrown. A plain function as
//   progressListener is called (100, 100) as the library does.
// - NetUtil.asyncFetch(source, callback) runs inside the call (a script has no background thread):
//   the callback (a function, or an object with onStreamComplete) gets (stream, status) before
//   asyncFetch returns. A file: source gives a FileInputStream; other addresses are fetched with
//   XMLHttpRequest. Channels are not available.
// - FilePicker: filterIndex counts from 0 as in XPCOM; defaultString, defaultExtension,
//   displayDirectory and filterIndex are plain properties handed to the dialog by show(); after show()
//   file, fileURL and files hold the choice (files yields LocalFile objects; a file picked in
//   modeOpenMultiple is safe only inside the private data folder). open(callback) runs show() and
//   calls callback.done(result) or callback(result).
// - Windows: Services.ww.openWindow(parent, url, name, features, args) and, in a page,
//   window.openDialog(url, name, features, value...) open the application's own page (a chrome://
//   URL of its registered package) through WindowManager: "modal" in the features shows an HTML modal
//   dialog, "fullscreen" opens full screen, otherwise width and height size the window. args may be
//   an array, an nsIArray/nsISupportsArray or one value. The page loads this script too: it receives
//   the values as window.arguments before its load handlers run (handlers added with
//   window.addEventListener("load", ...) or set as window.onload are held until the values arrive).
//   openWindow returns the new window's object: close(), closed (also turned on when the page
//   unloads, where the browser tells), window and document (once the page has loaded), and
//   returnValue for a modal one. A modal window with a null parent is owned by the
//   calling page's window; under a script host, which has no page window, it throws. The name is not
//   used. A page with its own addArgument gets one value, the object openWindow returned.
// - Services.prompt: alert, confirm and prompt show the parent's (or the calling page's) window
//   dialogs; under a script host, alert and confirm show its message box, and prompt throws (the
//   host has no input box). confirmEx and select are not there.
// - Services.obs: observers of this script only; nothing else in the library notifies them.
// `const Cc = Components.classes;` lines must go: JScript has no const, and the names exist.
var Components, Cc, Ci, Cr, Cu, Services, ChromeUtils;

(function () {
    var PREFIX = "Zembrolatix.";
    var GLOBAL = (function () { return this; })();
    function create(cls) { return new ActiveXObject(PREFIX + cls); }
    function signed(hr) { return hr | 0; }
    function fail(number, text) {
        var e = new Error(text);
        e.number = number;
        e.description = text;
        e.message = text;
        e.result = number >>> 0;
        return e;
    }
    // What the library cannot do here: an error that says so, never a different result.
    function limit(text) { return fail(E_NOTIMPL, "not available in this library: " + text); }
    // A member of a library object, or null where this version of the library lacks it. Asking for a
    // missing member of an automation object throws; JScript calls some members "unknown".
    function member(obj, name) {
        try { return typeof obj[name] === "undefined" ? null : name; } catch (e) { return null; }
    }
    function needs(obj, name, text) {
        if (!member(obj, name)) throw limit(text || name);
        return name;
    }
    function self() { return this; }
    // obj[method](args...): library members are no JScript functions, so they have no apply.
    function callSpread(obj, method, a) {
        switch (a.length) {
        case 0: return obj[method]();
        case 1: return obj[method](a[0]);
        case 2: return obj[method](a[0], a[1]);
        case 3: return obj[method](a[0], a[1], a[2]);
        case 4: return obj[method](a[0], a[1], a[2], a[3]);
        default: return obj[method](a[0], a[1], a[2], a[3], a[4]);
        }
    }
    function isArray(x) { return Object.prototype.toString.call(x) === "[object Array]"; }
    // A list from a JScript array, a SAFEARRAY, an enumerator or anything with length and items.
    function listOf(x) {
        var out = [], i;
        // A SAFEARRAY first: some hosts' JScript cannot even ask typeof of one.
        try { return new VBArray(x).toArray(); } catch (e) {}
        if (x === null || x === undefined) return out;
        if (isArray(x)) return x.slice(0);
        if (member(x, "hasMoreElements")) { while (x.hasMoreElements()) out.push(x.getNext()); return out; }
        for (i = 0; i < x.length; i++) out.push(x[i]);
        return out;
    }
    function pageWindow() {
        try { return typeof window !== "undefined" && window && window.document ? window : null; } catch (e) { return null; }
    }

    // ---- Results
    var E_NOTIMPL = signed(0x80004001), E_NOINTERFACE = signed(0x80004002), E_POINTER = signed(0x80004003);
    var E_ABORT = signed(0x80004004), E_FAIL = signed(0x80004005), E_UNEXPECTED = signed(0x8000FFFF);
    var E_ACCESSDENIED = signed(0x80070005), E_OUTOFMEMORY = signed(0x8007000E), E_INVALIDARG = signed(0x80070057);
    // Each XPCOM name stands for the HRESULT the library gives for the same condition: a missing
    // file, an existing one, a missing preference or string all come back as E_FAIL.
    var RESULTS = {
        NS_OK: 0, NS_ERROR_NOT_IMPLEMENTED: E_NOTIMPL, NS_ERROR_NO_INTERFACE: E_NOINTERFACE, NS_NOINTERFACE: E_NOINTERFACE,
        NS_ERROR_NULL_POINTER: E_POINTER, NS_ERROR_INVALID_POINTER: E_POINTER, NS_ERROR_ABORT: E_ABORT,
        NS_ERROR_FAILURE: E_FAIL, NS_ERROR_UNEXPECTED: E_UNEXPECTED, NS_ERROR_NOT_INITIALIZED: E_UNEXPECTED,
        NS_ERROR_ALREADY_INITIALIZED: E_UNEXPECTED, NS_BASE_STREAM_CLOSED: E_UNEXPECTED,
        NS_ERROR_OUT_OF_MEMORY: E_OUTOFMEMORY, NS_ERROR_INVALID_ARG: E_INVALIDARG, NS_ERROR_ILLEGAL_VALUE: E_INVALIDARG,
        NS_ERROR_ILLEGAL_INPUT: E_INVALIDARG, NS_ERROR_MALFORMED_URI: E_INVALIDARG,
        NS_ERROR_FILE_UNRECOGNIZED_PATH: E_INVALIDARG, NS_ERROR_FILE_INVALID_PATH: E_INVALIDARG,
        NS_ERROR_FILE_NAME_TOO_LONG: E_INVALIDARG, NS_ERROR_UNKNOWN_PROTOCOL: E_INVALIDARG,
        NS_ERROR_FILE_ACCESS_DENIED: E_ACCESSDENIED, NS_ERROR_FILE_READ_ONLY: E_ACCESSDENIED,
        NS_ERROR_DOM_SECURITY_ERR: E_ACCESSDENIED,
        NS_ERROR_FILE_NOT_FOUND: E_FAIL, NS_ERROR_FILE_ALREADY_EXISTS: E_FAIL, NS_ERROR_FILE_IS_DIRECTORY: E_FAIL,
        NS_ERROR_FILE_IS_LOCKED: E_FAIL, NS_ERROR_FILE_NO_DEVICE_SPACE: E_FAIL,
        // The system's own codes, which the folder members (remove, directoryEntries, copyTo) pass on.
        NS_ERROR_FILE_TARGET_DOES_NOT_EXIST: signed(0x80070003), NS_ERROR_FILE_NOT_DIRECTORY: signed(0x8007010B),
        NS_ERROR_FILE_DIR_NOT_EMPTY: signed(0x80070091),
        NS_ERROR_FILE_CORRUPTED: E_FAIL, NS_ERROR_FILE_COPY_OR_MOVE_FAILED: E_FAIL, NS_ERROR_NOT_AVAILABLE: E_FAIL,
        NS_ERROR_NOT_CONNECTED: E_FAIL, NS_ERROR_NET_TIMEOUT: E_FAIL, NS_BINDING_ABORTED: E_ABORT
    };
    Cr = {};
    for (var r in RESULTS) if (RESULTS.hasOwnProperty(r)) Cr[r] = RESULTS[r];
    function named(name, text) { return fail(RESULTS[name], name + ": " + text); }

    // ---- Interface identifiers
    // Each entry is a function, so `x instanceof Ci.nsIFile` is legal; its text is the IID of the
    // library interface it stands for, which the library's members accept as an identifier.
    function Iid(name, number, constants) {
        var iid = function () {};
        iid.name = name;
        iid.number = number;
        iid.toString = iid.valueOf = function () { return number; };
        iid.equals = function (other) { return String(other).toUpperCase() === number.toUpperCase(); };
        for (var k in constants) if (constants.hasOwnProperty(k)) iid[k] = constants[k];
        return iid;
    }
    var IID = {
        IUnknown: "{00000000-0000-0000-C000-000000000046}", IDispatch: "{00020400-0000-0000-C000-000000000046}",
        ILocalFile: "{F75B5C32-B42D-416D-93AC-8798869674CE}", ISeekableStream: "{DDD3BB89-9A10-4E34-9A9E-D4E3D0EF7CE2}",
        IInputStream: "{D08EE107-5DC5-4637-A81F-DDF47112D1F6}", IFileInputStream: "{CC3FD06A-0121-4041-A088-595BE5E4976B}",
        IOutputStream: "{D974C538-C226-4F75-A032-F04BD86D8EA6}", IFileOutputStream: "{4FD1401A-255E-4B95-9665-38D16B2E52CE}",
        IDirectoryService: "{FB23A57E-62AE-4D1C-998F-DC4A51F9070C}", IFilePicker: "{054958BB-B54F-460C-98BA-3381D46F398F}",
        ILogger: "{4874A34F-6015-44E4-A4AB-5A1092E7D5DD}", IPrefBranch: "{C0BB1112-C259-4F15-8929-265FA0A02983}",
        IPrefService: "{C96826CB-40D4-4695-BDC7-68911DC56C41}", ISimpleEnumerator: "{D6538CE6-9A97-4640-A827-A11F1A6B2509}",
        IPropertyElement: "{B4089FA6-4FA3-4141-BAFF-615FB472A7E2}", IStringBundle: "{6ABD173A-99F6-456D-9D57-BA326BF895B3}",
        IStringBundleService: "{BD043DB9-03F3-40C5-BABA-47895C455AE4}", IDOMParser: "{A978ADDC-831A-4532-A739-3517BE5A15ED}",
        IDOMSerializer: "{3B2068C5-FE93-4755-9376-AADA9897B207}", IWebBrowserPersist: "{7FED2AC1-5D92-4955-ABA5-35594F7208F5}",
        IWindowManager: "{BDED5389-45BD-4D4F-B96C-E318820FD912}",
        IXMLDOMDocument: "{2933BF81-7B36-11D2-B20E-00C04F983E60}", IXMLDOMNode: "{2933BF80-7B36-11D2-B20E-00C04F983E60}",
        IXMLDOMElement: "{2933BF86-7B36-11D2-B20E-00C04F983E60}"
    };
    var FILE = { NORMAL_FILE_TYPE: 0, DIRECTORY_TYPE: 1 };
    var PREF = { PREF_INVALID: 0, PREF_STRING: 32, PREF_INT: 64, PREF_BOOL: 128 };
    var PICKER = {
        modeOpen: 0, modeSave: 1, modeGetFolder: 2, modeOpenMultiple: 3,
        returnOK: 0, returnCancel: 1, returnReplace: 2,
        filterAll: 0x01, filterHTML: 0x02, filterText: 0x04, filterImages: 0x08, filterXML: 0x10,
        filterXUL: 0x20, filterApps: 0x40
    };
    var PERSIST = {
        PERSIST_FLAGS_NONE: 0, PERSIST_FLAGS_FROM_CACHE: 1, PERSIST_FLAGS_BYPASS_CACHE: 2,
        PERSIST_FLAGS_REPLACE_EXISTING_FILES: 32, PERSIST_FLAGS_CLEANUP_ON_FAILURE: 8192,
        PERSIST_STATE_READY: 1, PERSIST_STATE_SAVING: 2, PERSIST_STATE_FINISHED: 3
    };
    var PROGRESS = {
        STATE_START: 0x1, STATE_STOP: 0x10, STATE_IS_REQUEST: 0x10000, STATE_IS_DOCUMENT: 0x20000,
        STATE_IS_NETWORK: 0x40000, STATE_IS_WINDOW: 0x80000
    };
    var SEEK = { NS_SEEK_SET: 0, NS_SEEK_CUR: 1, NS_SEEK_END: 2 };
    var CONVERTER = { DEFAULT_REPLACEMENT_CHARACTER: 0xFFFD };
    var SCRIPT_ERROR = { errorFlag: 0, warningFlag: 1, exceptionFlag: 2, strictFlag: 4, infoFlag: 8 };
    var PROMPT = { BUTTON_POS_0: 1, BUTTON_POS_1: 256, BUTTON_POS_2: 65536, BUTTON_TITLE_OK: 1, BUTTON_TITLE_CANCEL: 2,
                   BUTTON_TITLE_YES: 3, BUTTON_TITLE_NO: 4, STD_OK_CANCEL_BUTTONS: 513, STD_YES_NO_BUTTONS: 1027 };
    var D = IID.IDispatch;
    var INTERFACES = [
        ["nsISupports", IID.IUnknown], ["nsIFile", IID.ILocalFile, FILE], ["nsILocalFile", IID.ILocalFile, FILE],
        ["nsISeekableStream", IID.ISeekableStream, SEEK], ["nsIInputStream", IID.IInputStream],
        ["nsIFileInputStream", IID.IFileInputStream], ["nsIOutputStream", IID.IOutputStream],
        ["nsIFileOutputStream", IID.IFileOutputStream], ["nsISafeOutputStream", IID.IFileOutputStream],
        ["nsIProperties", IID.IDirectoryService], ["nsIDirectoryService", IID.IDirectoryService],
        ["nsIPrefService", IID.IPrefService], ["nsIPrefBranch", IID.IPrefBranch, PREF],
        ["nsIPrefBranch2", IID.IPrefBranch, PREF], ["nsIStringBundleService", IID.IStringBundleService],
        ["nsIStringBundle", IID.IStringBundle], ["nsISimpleEnumerator", IID.ISimpleEnumerator],
        ["nsIPropertyElement", IID.IPropertyElement], ["nsIDOMParser", IID.IDOMParser],
        ["nsIDOMSerializer", IID.IDOMSerializer], ["nsIWebBrowserPersist", IID.IWebBrowserPersist, PERSIST],
        ["nsIFilePicker", IID.IFilePicker, PICKER], ["nsIConsoleService", IID.ILogger],
        ["nsIDOMDocument", IID.IXMLDOMDocument], ["nsIDOMNode", IID.IXMLDOMNode], ["nsIDOMElement", IID.IXMLDOMElement],
        ["nsIWindowWatcher", IID.IWindowManager],
        // Served by this script's own objects, which answer QueryInterface with themselves.
        ["nsIWebProgressListener", D, PROGRESS], ["nsIURI", D], ["nsIURL", D], ["nsIFileURL", D], ["nsIIOService", D],
        ["nsISupportsString", D], ["nsIPrefLocalizedString", D], ["nsIConverterOutputStream", D],
        ["nsIUnicharOutputStream", D], ["nsIConsoleMessage", D], ["nsIScriptError", D, SCRIPT_ERROR],
        ["nsIScriptableInputStream", D], ["nsIConverterInputStream", D, CONVERTER], ["nsIUnicharInputStream", D],
        ["nsIUnicharLineInputStream", D], ["nsILineInputStream", D], ["nsIBinaryInputStream", D],
        ["nsIScriptableUnicodeConverter", D], ["nsIXMLHttpRequest", D], ["nsIObserverService", D], ["nsIObserver", D],
        ["nsIPromptService", D, PROMPT], ["nsIXULAppInfo", D], ["nsIXULRuntime", D], ["nsIProtocolHandler", D],
        ["nsIFileProtocolHandler", D], ["nsISupportsArray", D], ["nsIArray", D], ["nsIMutableArray", D],
        ["nsIDOMWindow", D], ["nsIDOMChromeWindow", D]
    ];
    Ci = {};
    for (var i = 0; i < INTERFACES.length; i++)
        Ci[INTERFACES[i][0]] = Iid(INTERFACES[i][0], INTERFACES[i][1], INTERFACES[i][2] || {});
    function isIid(iid, name) { return iid === Ci[name]; }

    // ---- Observers, in this script's process
    function notify(observer, subject, topic, data) {
        if (typeof observer === "function") observer(subject, topic, data);
        else observer.observe(subject, topic, data);
    }
    function ObserverService() { this.entries = []; }
    ObserverService.prototype.QueryInterface = self;
    ObserverService.prototype.addObserver = function (observer, topic) {
        if (!observer) throw named("NS_ERROR_INVALID_ARG", "no observer");
        this.entries.push({ observer: observer, topic: String(topic) });
    };
    ObserverService.prototype.removeObserver = function (observer, topic) {
        for (var i = 0; i < this.entries.length; i++)
            if (this.entries[i].observer === observer && this.entries[i].topic === String(topic)) {
                this.entries.splice(i, 1);
                return;
            }
        throw named("NS_ERROR_FAILURE", "observer not registered for " + topic);
    };
    ObserverService.prototype.matching = function (topic) {
        var out = [];
        for (var i = 0; i < this.entries.length; i++)
            if (this.entries[i].topic === topic || this.entries[i].topic === "*") out.push(this.entries[i].observer);
        return out;
    };
    ObserverService.prototype.notifyObservers = function (subject, topic, data) {
        var list = this.matching(String(topic));
        for (var i = 0; i < list.length; i++) notify(list[i], subject, String(topic), data === undefined ? null : data);
    };
    ObserverService.prototype.enumerateObservers = function (topic) { return new ArrayEnumerator(this.matching(String(topic))); };

    // ---- Preferences
    var libraryBranches = {};
    function libraryBranch(root) {
        var b = libraryBranches["k" + root];
        if (!b) libraryBranches["k" + root] = b = create("PrefService").getBranch(root);
        return b;
    }
    // Defaults live for the session, as XPCOM keeps the ones it read from an application's defaults.
    var defaults = {};
    var prefObservers = [];
    function typeOfValue(v) { return typeof v === "boolean" ? PREF.PREF_BOOL : typeof v === "number" ? PREF.PREF_INT : PREF.PREF_STRING; }
    function prefChanged(full) {
        var list = prefObservers.slice(0);
        for (var i = 0; i < list.length; i++) {
            var o = list[i];
            if (!o.native && full.substring(0, o.domain.length) === o.domain)
                notify(o.observer, o.branch, "nsPref:changed", full.substring(o.branch.root.length));
        }
    }
    function PrefBranch(root) { this.root = root; }
    PrefBranch.prototype = PREF;
    PREF.QueryInterface = self;
    // The library branch holding a full dotted name, and the value name in it.
    PREF.locate = function (name) {
        var full = this.root + name, dot = full.lastIndexOf(".");
        return { branch: libraryBranch(full.substring(0, dot + 1)), name: full.substring(dot + 1), full: full };
    };
    function getter(method, type) {
        return function (name, fallback) {
            var at = this.locate(name), d = defaults["p" + at.full];
            try {
                var v = at.branch[method](at.name);
                return type === PREF.PREF_STRING || !d || d.type !== PREF.PREF_BOOL ? v : !!v;
            } catch (e) {
                if (d && d.type === type) return d.value;
                if (arguments.length >= 2) return fallback;
                throw e;
            }
        };
    }
    function setter(method, type) {
        return function (name, value) {
            var at = this.locate(name), d = defaults["p" + at.full];
            if (d && d.type !== type) throw named("NS_ERROR_UNEXPECTED", "the preference " + at.full + " has another type");
            at.branch[method](at.name, value);
            prefChanged(at.full);
        };
    }
    PREF.getBoolPref = getter("getBoolPref", PREF.PREF_BOOL);
    PREF.getIntPref = getter("getIntPref", PREF.PREF_INT);
    PREF.getCharPref = PREF.getStringPref = getter("getCharPref", PREF.PREF_STRING);
    PREF.setBoolPref = setter("setBoolPref", PREF.PREF_BOOL);
    PREF.setIntPref = setter("setIntPref", PREF.PREF_INT);
    PREF.setCharPref = PREF.setStringPref = setter("setCharPref", PREF.PREF_STRING);
    PREF.prefHasUserValue = function (name) { var at = this.locate(name); return at.branch.prefHasUserValue(at.name); };
    PREF.prefIsLocked = function () { return false; };
    PREF.getComplexValue = function (name, iid) {
        if (isIid(iid, "nsIFile") || isIid(iid, "nsILocalFile")) return localFile(this.getCharPref(name));
        if (isIid(iid, "nsIPrefLocalizedString")) {
            var text = this.getCharPref(name);
            // As in XPCOM, a value naming a properties file stands for that file's string of the
            // preference's full name.
            if (/^chrome:\/\/.*\.properties$/i.test(text)) text = Services.strings.createBundle(text).GetStringFromName(this.root + name);
            return new SupportsString(text);
        }
        if (isIid(iid, "nsISupportsString")) return new SupportsString(this.getCharPref(name));
        throw named("NS_ERROR_NO_INTERFACE", "getComplexValue with " + (iid && iid.name));
    };
    PREF.setComplexValue = function (name, iid, value) {
        if (isIid(iid, "nsIFile") || isIid(iid, "nsILocalFile")) this.setCharPref(name, String(value.path));
        else if (isIid(iid, "nsISupportsString") || isIid(iid, "nsIPrefLocalizedString")) this.setCharPref(name, String(value.data));
        else throw named("NS_ERROR_NO_INTERFACE", "setComplexValue with " + (iid && iid.name));
    };
    PREF.getPrefType = function (name) {
        var at = this.locate(name), d = defaults["p" + at.full];
        if (member(at.branch, "getPrefType")) {
            var t = at.branch.getPrefType(at.name);
            if (t !== PREF.PREF_INVALID) return d && t === PREF.PREF_INT && d.type === PREF.PREF_BOOL ? d.type : t;
            return d ? d.type : t;
        }
        if (!at.branch.prefHasUserValue(at.name)) return d ? d.type : PREF.PREF_INVALID;
        if (d) return d.type;
        try { at.branch.getIntPref(at.name); return PREF.PREF_INT; } catch (e) { return PREF.PREF_STRING; }
    };
    PREF.getBranch = function (root) { return new PrefBranch(this.root + (root || "")); };
    PREF.getDefaultBranch = function (root) { return new DefaultBranch(this.root + (root || "")); };
    PREF.clearUserPref = function (name) {
        var at = this.locate(name);
        at.branch[needs(at.branch, "clearUserPref", "PrefBranch.clearUserPref")](at.name);
        prefChanged(at.full);
    };
    // Names below a start, relative to this branch: the library's stored ones and the defaults.
    PREF.getChildList = function (start, count) {
        var full = this.root + (start || ""), dot = full.lastIndexOf("."), base = full.substring(0, dot + 1);
        var branch = libraryBranch(base), names = {}, out = [], k;
        var stored = listOf(branch[needs(branch, "getChildList", "PrefBranch.getChildList")](full.substring(dot + 1)));
        for (k = 0; k < stored.length; k++) names["p" + base + stored[k]] = true;
        for (k in defaults) if (defaults.hasOwnProperty(k) && k.substring(1, full.length + 1) === full) names[k] = true;
        for (k in names) if (names.hasOwnProperty(k)) out.push(k.substring(1 + this.root.length));
        out.sort();
        if (count && typeof count === "object") count.value = out.length;
        return out;
    };
    PREF.deleteBranch = function (start) {
        var full = this.root + (start || ""), dot = full.lastIndexOf(".");
        var branch = libraryBranch(full.substring(0, dot + 1));
        branch[needs(branch, "deleteBranch", "PrefBranch.deleteBranch")](full.substring(dot + 1));
        for (var k in defaults) if (defaults.hasOwnProperty(k) && k.substring(1, full.length + 1) === full) delete defaults[k];
    };
    PREF.resetBranch = function () { throw limit("resetBranch"); };
    PREF.lockPref = PREF.unlockPref = function () { throw limit("locked preferences"); };
    // Observers: the library's own where it has them (changes by other processes too), else the
    // changes made through this script.
    PREF.addObserver = function (domain, observer) {
        var full = this.root + domain, dot = full.lastIndexOf("."), entry = { domain: full, observer: observer, branch: this, native: null };
        var branch = libraryBranch(full.substring(0, dot + 1)), me = this;
        if (member(branch, "addObserver")) {
            entry.native = function (subject, topic, data) {
                var name = String(data && data.indexOf(".") >= 0 ? data : full.substring(0, dot + 1) + data);
                notify(observer, me, "nsPref:changed", name.substring(me.root.length));
            };
            entry.nativeBranch = branch;
            branch.addObserver(full.substring(dot + 1), entry.native, false);
        }
        prefObservers.push(entry);
    };
    PREF.removeObserver = function (domain, observer) {
        var full = this.root + domain;
        for (var i = 0; i < prefObservers.length; i++) {
            var o = prefObservers[i];
            if (o.observer === observer && o.domain === full) {
                if (o.native) o.nativeBranch.removeObserver(full.substring(full.lastIndexOf(".") + 1), o.native);
                prefObservers.splice(i, 1);
                return;
            }
        }
    };
    PREF.savePrefFile = function () {};
    PREF.readUserPrefs = PREF.resetPrefs = function () { throw limit("reading or resetting a preferences file"); };

    // A default branch: values kept in memory for this session, under the stored user values.
    function DefaultBranch(root) { this.root = root; }
    DefaultBranch.prototype = new PrefBranch("");
    function defaultGetter(type) {
        return function (name, fallback) {
            var d = defaults["p" + this.root + name];
            if (d && d.type === type) return d.value;
            if (arguments.length >= 2) return fallback;
            throw named("NS_ERROR_UNEXPECTED", "no default for " + this.root + name);
        };
    }
    function defaultSetter(type) {
        return function (name, value) {
            var full = this.root + name, d = defaults["p" + full];
            if (d && d.type !== type) throw named("NS_ERROR_UNEXPECTED", "the preference " + full + " has another type");
            defaults["p" + full] = { type: type, value: type === PREF.PREF_BOOL ? !!value : type === PREF.PREF_INT ? value | 0 : String(value) };
            prefChanged(full);
        };
    }
    var DP = DefaultBranch.prototype;
    DP.getBoolPref = defaultGetter(PREF.PREF_BOOL);
    DP.getIntPref = defaultGetter(PREF.PREF_INT);
    DP.getCharPref = DP.getStringPref = defaultGetter(PREF.PREF_STRING);
    DP.setBoolPref = defaultSetter(PREF.PREF_BOOL);
    DP.setIntPref = defaultSetter(PREF.PREF_INT);
    DP.setCharPref = DP.setStringPref = defaultSetter(PREF.PREF_STRING);
    DP.getBranch = function (root) { return new DefaultBranch(this.root + (root || "")); };
    DP.getPrefType = function (name) { var d = defaults["p" + this.root + name]; return d ? d.type : PREF.PREF_INVALID; };
    DP.prefHasUserValue = function (name) { return PrefBranch.prototype.prefHasUserValue.call(this, name); };

    function SupportsString(data) { this.data = data === undefined ? "" : data; }
    SupportsString.prototype.QueryInterface = self;
    SupportsString.prototype.toString = function () { return this.data; };
    SupportsString.prototype.type = 3;

    // ---- Directory service
    var DIRECTORY_KEYS = { ProfD: "ProfD", ProfLD: "ProfD", TmpD: "TmpD" };
    var LIBRARY_KEYS = ["Home", "Desk", "Pers", "AppData", "LocalAppData", "DfltDwnld", "CurWorkD", "CurProcD"];
    // Library objects behind the services are made on first use, so evaluating this script makes none.
    function DirectoryService() { this.service = null; }
    DirectoryService.prototype.QueryInterface = self;
    DirectoryService.prototype.has = function (key) {
        if (DIRECTORY_KEYS.hasOwnProperty(key)) return true;
        try { this.get(key); return true; } catch (e) { return false; }
    };
    DirectoryService.prototype.get = function (key, iid) {
        var known = DIRECTORY_KEYS.hasOwnProperty(key) ? DIRECTORY_KEYS[key] : key;
        if (!this.service) this.service = create("DirectoryService");
        try {
            return this.service.get(known, String(iid || IID.ILocalFile));
        } catch (e) {
            for (var i = 0; i < LIBRARY_KEYS.length; i++)
                if (LIBRARY_KEYS[i] === key && e.number === E_INVALIDARG) throw limit("the directory key " + key);
            throw e;
        }
    };

    // ---- String bundles
    function StringBundle(bundle) { this.bundle = bundle; this.keys = null; }
    StringBundle.prototype.QueryInterface = self;
    // The library answers "" for a missing name; XPCOM throws, which is what callers' fallbacks wait for.
    StringBundle.prototype.GetStringFromName = function (name) {
        var text = this.bundle.GetStringFromName(name);
        if (text !== "") return text;
        if (!this.keys) {
            this.keys = {};
            for (var e = this.bundle.getSimpleEnumeration(); e.hasMoreElements();) this.keys["k" + e.getNext().key] = true;
        }
        if (!this.keys["k" + name]) throw named("NS_ERROR_FAILURE", "no string named " + name);
        return text;
    };
    StringBundle.prototype.GetStringFromID = function () { throw limit("strings by number"); };
    StringBundle.prototype.getSimpleEnumeration = function () { return this.bundle.getSimpleEnumeration(); };
    StringBundle.prototype.formatStringFromName = function (name, params) {
        var next = 0;
        return this.GetStringFromName(name).replace(/%(?:(\d+)\$)?S|%%/g, function (match, index) {
            if (match === "%%") return "%";
            var value = params[index ? index - 1 : next++];
            return value === undefined ? "" : String(value);
        });
    };
    function StringBundleService() {}
    StringBundleService.prototype.QueryInterface = self;
    StringBundleService.prototype.createBundle = function (url) {
        return new StringBundle(create("StringBundleService").createBundle(url));
    };
    StringBundleService.prototype.flushBundles = function () {};

    // ---- XML
    function DOMParser() { this.parser = create("DOMParser"); }
    DOMParser.prototype.QueryInterface = self;
    DOMParser.prototype.parseFromStream = function (stream, charset, length, type) {
        return this.parser.parseFromStream(libraryInput(stream), charset, length, type);
    };
    DOMParser.prototype.parseFromString = function (text) {
        var doc = new ActiveXObject("Microsoft.XMLDOM");
        doc.async = false;
        doc.resolveExternals = false; // nothing outside the text is read
        doc.validateOnParse = false;
        if (!doc.loadXML(text)) throw fail(E_FAIL, "not well-formed XML");
        return doc;
    };
    function xmlHttpRequest() {
        try { return create("WindowManager").XMLHttpRequest; } catch (e) { return new ActiveXObject("Msxml2.XMLHTTP"); }
    }

    // ---- Text: UTF-8 and percent-encoding
    function utf8Encode(text) {
        var out = [];
        for (var i = 0; i < text.length; i++) {
            var c = text.charCodeAt(i);
            if (c >= 0xD800 && c < 0xDC00 && i + 1 < text.length) {
                var d = text.charCodeAt(i + 1);
                if (d >= 0xDC00 && d < 0xE000) { c = 0x10000 + ((c - 0xD800) << 10) + (d - 0xDC00); i++; }
            }
            if (c < 0x80) out.push(c);
            else if (c < 0x800) out.push(0xC0 | c >> 6, 0x80 | c & 63);
            else if (c < 0x10000) out.push(0xE0 | c >> 12, 0x80 | c >> 6 & 63, 0x80 | c & 63);
            else out.push(0xF0 | c >> 18, 0x80 | c >> 12 & 63, 0x80 | c >> 6 & 63, 0x80 | c & 63);
        }
        return out;
    }
    // Bytes to text; a byte that does not belong to a valid sequence becomes U+FFFD.
    function utf8Decode(bytes) {
        var out = "", i = 0;
        while (i < bytes.length) {
            var b = bytes[i], n = b < 0x80 ? 0 : b >= 0xC2 && b < 0xE0 ? 1 : b >= 0xE0 && b < 0xF0 ? 2 : b >= 0xF0 && b < 0xF5 ? 3 : -1;
            var c = n === 0 ? b : n === 1 ? b & 31 : n === 2 ? b & 15 : b & 7, j;
            for (j = 1; j <= n && i + j < bytes.length && (bytes[i + j] & 0xC0) === 0x80; j++) c = c << 6 | bytes[i + j] & 63;
            if (n < 0 || j <= n || (n === 2 && c < 0x800) || (n === 3 && (c < 0x10000 || c > 0x10FFFF)) || (c >= 0xD800 && c < 0xE000)) {
                out += "\uFFFD";
                i++;
                continue;
            }
            out += c < 0x10000 ? String.fromCharCode(c) : String.fromCharCode(0xD800 + (c - 0x10000 >> 10), 0xDC00 + (c - 0x10000 & 1023));
            i += n + 1;
        }
        return out;
    }
    function bytesOf(text) { var out = []; for (var i = 0; i < text.length; i++) out.push(text.charCodeAt(i) & 255); return out; }
    function textOf(bytes) { var out = ""; for (var i = 0; i < bytes.length; i++) out += String.fromCharCode(bytes[i]); return out; }
    var HEX = "0123456789ABCDEF";
    // Percent-encodes the UTF-8 bytes of text, keeping the characters `keep` matches.
    function escape8(text, keep) {
        var out = "", bytes = utf8Encode(text);
        for (var i = 0; i < bytes.length; i++) {
            var b = bytes[i];
            out += b < 0x80 && keep.test(String.fromCharCode(b)) ? String.fromCharCode(b) : "%" + HEX.charAt(b >> 4) + HEX.charAt(b & 15);
        }
        return out;
    }
    function unescape8(text) {
        var bytes = [], s = String(text);
        for (var i = 0; i < s.length; i++) {
            if (s.charAt(i) === "%" && /^[0-9A-Fa-f]{2}$/.test(s.substring(i + 1, i + 3))) {
                bytes.push(parseInt(s.substring(i + 1, i + 3), 16));
                i += 2;
            } else bytes = bytes.concat(utf8Encode(s.charAt(i)));
        }
        return utf8Decode(bytes);
    }

    // ---- URIs
    // An address taken apart as RFC 3986 does: scheme, authority, path, query and fragment.
    function removeDots(path) {
        var input = path, out = [];
        var segments = input.split("/"), i;
        for (i = 0; i < segments.length; i++) {
            var s = segments[i], last = i === segments.length - 1;
            if (s === "..") { if (out.length > 1 || (out.length === 1 && out[0] !== "")) out.pop(); if (last) out.push(""); }
            else if (s === ".") { if (last) out.push(""); }
            else out.push(s);
        }
        var result = out.join("/");
        if (path.charAt(0) === "/" && result.charAt(0) !== "/") result = "/" + result;
        return result;
    }
    function merge(base, ref) {
        if (base.authority !== undefined && base.path === "") return "/" + ref;
        return base.path.substring(0, base.path.lastIndexOf("/") + 1) + ref;
    }
    // An address taken apart as RFC 3986 does: scheme, authority, path, query and fragment, each
    // undefined when absent. (JScript gives "" for a group that took no part in a match, so the
    // parts are cut out by hand.)
    function parts(address) {
        var p = {}, rest = address, m = /^[A-Za-z][A-Za-z0-9+.\-]*:/.exec(rest), at;
        if (m) { p.scheme = m[0].substring(0, m[0].length - 1); rest = rest.substring(m[0].length); }
        if ((at = rest.indexOf("#")) >= 0) { p.fragment = rest.substring(at + 1); rest = rest.substring(0, at); }
        if ((at = rest.indexOf("?")) >= 0) { p.query = rest.substring(at + 1); rest = rest.substring(0, at); }
        if (rest.substring(0, 2) === "//") {
            at = rest.indexOf("/", 2);
            if (at < 0) at = rest.length;
            p.authority = rest.substring(2, at);
            rest = rest.substring(at);
        }
        p.path = rest;
        return p;
    }
    function joinParts(p) {
        return (p.scheme !== undefined ? p.scheme + ":" : "") + (p.authority !== undefined ? "//" + p.authority : "") + p.path +
            (p.query !== undefined ? "?" + p.query : "") + (p.fragment !== undefined ? "#" + p.fragment : "");
    }
    // Resolves ref against base (RFC 3986, section 5.2).
    function resolveSpec(ref, baseSpec) {
        var r = parts(ref), b = parts(baseSpec), t = {};
        if (r.scheme !== undefined) { t = r; t.path = removeDots(r.path); }
        else {
            if (r.authority !== undefined) { t.authority = r.authority; t.path = removeDots(r.path); t.query = r.query; }
            else {
                if (r.path === "") { t.path = b.path; t.query = r.query !== undefined ? r.query : b.query; }
                else { t.path = removeDots(r.path.charAt(0) === "/" ? r.path : merge(b, r.path)); t.query = r.query; }
                t.authority = b.authority;
            }
            t.scheme = b.scheme;
        }
        t.fragment = r.fragment;
        return joinParts(t);
    }
    var SPECIAL = { http: 80, https: 443, ftp: 21, file: -1 };
    function Uri(address, file) {
        var p = parts(String(address));
        if (p.scheme === undefined) throw named("NS_ERROR_MALFORMED_URI", "no scheme in " + address);
        p.scheme = p.scheme.toLowerCase();
        var auth = p.authority, at = auth === undefined ? -1 : auth.lastIndexOf("@");
        this.userPass = at >= 0 ? auth.substring(0, at) : "";
        var hostPort = auth === undefined ? "" : auth.substring(at + 1), colon = hostPort.lastIndexOf(":");
        var bracket = hostPort.lastIndexOf("]");
        this.host = (colon > bracket ? hostPort.substring(0, colon) : hostPort).toLowerCase();
        this.port = colon > bracket && hostPort.substring(colon + 1) !== "" ? parseInt(hostPort.substring(colon + 1), 10) : -1;
        if (SPECIAL.hasOwnProperty(p.scheme)) {
            if (this.port === SPECIAL[p.scheme]) this.port = -1;
            if (p.path === "" && auth !== undefined) p.path = "/";
            p.path = removeDots(p.path);
        }
        this.scheme = p.scheme;
        this.username = this.userPass.split(":")[0];
        this.password = this.userPass.indexOf(":") >= 0 ? this.userPass.substring(this.userPass.indexOf(":") + 1) : "";
        this.hostPort = this.host + (this.port >= 0 ? ":" + this.port : "");
        this.prePath = this.scheme + ":" + (auth !== undefined ? "//" + (this.userPass ? this.userPass + "@" : "") + this.hostPort : "");
        this.filePath = p.path;
        this.query = p.query === undefined ? "" : p.query;
        this.ref = p.fragment === undefined ? "" : p.fragment;
        this.hasRef = p.fragment !== undefined;
        this.path = this.pathQueryRef = p.path + (p.query !== undefined ? "?" + p.query : "") + (this.hasRef ? "#" + this.ref : "");
        this.spec = this.asciiSpec = this.prePath + this.path;
        this.specIgnoringRef = this.prePath + p.path + (p.query !== undefined ? "?" + p.query : "");
        this.asciiHost = this.host;
        this.fileName = p.path.substring(p.path.lastIndexOf("/") + 1);
        this.directory = p.path.substring(0, p.path.lastIndexOf("/") + 1);
        var dot = this.fileName.lastIndexOf(".");
        this.fileExtension = dot >= 0 ? this.fileName.substring(dot + 1) : "";
        this.fileBaseName = dot >= 0 ? this.fileName.substring(0, dot) : this.fileName;
        // nsIFileURL: the file an address names; a file handed in keeps its own trust.
        this.file = this.scheme === "file" ? (file || new LazyFile(this.spec)) : undefined;
    }
    Uri.prototype = new Ci.nsIURI();
    Uri.prototype.QueryInterface = function (iid) {
        if (this.scheme !== "file" && isIid(iid, "nsIFileURL")) throw named("NS_ERROR_NO_INTERFACE", "not a file address");
        if (this.file instanceof LazyFile) this.file = localFile(pathFromFileSpec(this.spec));
        return this;
    };
    Uri.prototype.toString = function () { return this.spec; };
    Uri.prototype.schemeIs = function (scheme) { return this.scheme === String(scheme).toLowerCase(); };
    Uri.prototype.resolve = function (relative) {
        var address = resolveSpec(String(relative), this.spec);
        try { return new Uri(address).spec; } catch (e) { return address; }
    };
    Uri.prototype.equals = function (other) { return !!other && this.spec === String(other.spec); };
    Uri.prototype.equalsExceptRef = function (other) { return !!other && this.specIgnoringRef === new Uri(other.spec).specIgnoringRef; };
    Uri.prototype.clone = function () { return new Uri(this.spec, this.file instanceof LazyFile ? null : this.file); };
    Uri.prototype.cloneIgnoringRef = function () { return new Uri(this.specIgnoringRef); };
    // The file of a file: address is made when asked for.
    function LazyFile() {}
    function uriFile(uri) {
        if (uri.file instanceof LazyFile) uri.file = localFile(pathFromFileSpec(uri.spec));
        return uri.file;
    }

    // File addresses: the path's UTF-8 bytes percent-encoded, `%` itself included, so a name is
    // never read back as an escape; a UNC path \\server\share becomes file://server/share.
    var FILE_KEEP = /[A-Za-z0-9\-._~!$&'()*+,=:@\/]/;
    function fileSpec(path, isDirectory) {
        var p = String(path).replace(/\\/g, "/");
        if (isDirectory && p.charAt(p.length - 1) !== "/") p += "/";
        if (p.substring(0, 2) === "//") return "file:" + "//" + escape8(p.substring(2), FILE_KEEP);
        return "file:///" + escape8(p, FILE_KEEP);
    }
    // The form Windows reads a file address in (what the download takes): characters outside ASCII
    // as they are, the ASCII ones that would end or escape the path percent-encoded.
    function windowsFileSpec(path) {
        var p = String(path).replace(/\\/g, "/"), out = "";
        for (var i = 0; i < p.length; i++) {
            var c = p.charAt(i), n = p.charCodeAt(i);
            out += n >= 0x80 || FILE_KEEP.test(c) ? c : "%" + HEX.charAt(n >> 4) + HEX.charAt(n & 15);
        }
        return out.substring(0, 2) === "//" ? "file:" + out : "file:///" + out;
    }
    function pathFromFileSpec(address) {
        var p = parts(String(address));
        if (!p.scheme || p.scheme.toLowerCase() !== "file") throw named("NS_ERROR_MALFORMED_URI", "not a file address: " + address);
        var host = p.authority || "", path = unescape8(p.path);
        if (host !== "" && host.toLowerCase() !== "localhost") return "\\\\" + unescape8(host) + path.replace(/\//g, "\\");
        path = path.replace(/^\/([A-Za-z])[:|]/, "$1:");
        return path.replace(/\//g, "\\");
    }
    function fileOf(x) { return isLocalFile(x) ? x : localFile(String(x)); }
    function addressOf(uri) { return typeof uri === "string" ? uri : String(uri.spec); }
    function isLocalFile(x) { return x !== null && typeof x === "object" && !!member(x, "GetSafe"); }
    function localFile(path) {
        var f = create("LocalFile");
        f.initWithPath(path);
        return f;
    }
    function isDirectoryFile(file) { try { return file.isDirectory(); } catch (e) { return false; } }
    function IOService() {}
    IOService.prototype.QueryInterface = self;
    IOService.prototype.newURI = function (address, charset, base) {
        address = String(address);
        return new Uri(base ? resolveSpec(address, addressOf(base)) : address);
    };
    IOService.prototype.newFileURI = function (file) { return new Uri(fileSpec(file.path, isDirectoryFile(file)), file); };
    IOService.prototype.newChannel = IOService.prototype.newChannelFromURI = function () { throw limit("channels"); };
    IOService.prototype.getProtocolHandler = function (scheme) {
        if (String(scheme).toLowerCase() === "file") return Cc["@mozilla.org/network/protocol;1?name=file"].getService();
        throw named("NS_ERROR_UNKNOWN_PROTOCOL", "no handler for " + scheme);
    };
    IOService.prototype.extractScheme = function (address) {
        var p = parts(String(address));
        if (p.scheme === undefined) throw named("NS_ERROR_MALFORMED_URI", "no scheme in " + address);
        return p.scheme.toLowerCase();
    };
    IOService.prototype.offline = false;
    function FileProtocolHandler() {}
    FileProtocolHandler.prototype = new IOService();
    FileProtocolHandler.prototype.scheme = "file";
    FileProtocolHandler.prototype.defaultPort = -1;
    FileProtocolHandler.prototype.getURLSpecFromFile = function (file) { return fileSpec(file.path, isDirectoryFile(file)); };
    FileProtocolHandler.prototype.getURLSpecFromActualFile = FileProtocolHandler.prototype.getURLSpecFromFile;
    FileProtocolHandler.prototype.getURLSpecFromDir = function (file) { return fileSpec(file.path, true); };
    FileProtocolHandler.prototype.getFileFromURLSpec = function (address) { return localFile(pathFromFileSpec(address)); };

    // ---- Downloads
    function WebBrowserPersist() {
        this.persist = create("WebBrowserPersist");
        this.progressListener = null;
        this.persistFlags = 0;
        this.currentState = PERSIST.PERSIST_STATE_READY;
        this.result = 0;
    }
    WebBrowserPersist.prototype.QueryInterface = self;
    WebBrowserPersist.prototype.cancelSave = WebBrowserPersist.prototype.cancel = function () {};
    // The download target among XPCOM's arguments: the first LocalFile after the URI, else the last
    // file: URI (its own file, which keeps its trust) or file: URL text.
    function saveTarget(args) {
        var i, last = null;
        for (i = 1; i < args.length; i++) if (isLocalFile(args[i])) return args[i];
        for (i = 1; i < args.length; i++) {
            var a = args[i];
            if (a !== null && a !== undefined && (typeof a === "string" || typeof a.spec === "string") &&
                /^file:/i.test(addressOf(a))) last = a;
        }
        if (!last) throw fail(E_INVALIDARG, "saveURI needs a target file");
        return typeof last === "string" ? localFile(pathFromFileSpec(last)) : uriFile(last);
    }
    WebBrowserPersist.prototype.saveURI = function () {
        var uri = addressOf(arguments[0]), file = saveTarget(arguments), listener = this.progressListener, me = this;
        if (/^file:/i.test(uri)) uri = windowsFileSpec(pathFromFileSpec(uri));
        var watching = listener !== null && typeof listener === "object";
        if (typeof listener === "function") this.persist.progressListener = listener;
        else if (watching && listener.onProgressChange)
            this.persist.progressListener = function (current, max) {
                listener.onProgressChange(me, null, current, max, current, max);
            };
        else this.persist.progressListener = null;
        var STATE = PROGRESS.STATE_IS_NETWORK;
        this.currentState = PERSIST.PERSIST_STATE_SAVING;
        if (watching && listener.onStateChange) listener.onStateChange(this, null, PROGRESS.STATE_START | STATE, 0);
        try {
            this.persist.saveURI(uri, file);
            this.result = 0;
        } catch (e) {
            this.result = e.number;
        }
        this.currentState = PERSIST.PERSIST_STATE_FINISHED;
        if (watching && listener.onStateChange) listener.onStateChange(this, null, PROGRESS.STATE_STOP | STATE, this.result);
        if (this.result && !watching) throw fail(this.result, "saveURI failed");
    };

    // ---- File picker
    function FilePicker() {
        this.picker = create("FilePicker");
        this.mode = 0;
        this.defaultString = "";
        this.defaultExtension = "";
        this.displayDirectory = null;
        this.filterIndex = 0;
        this.file = this.fileURL = this.files = null;
    }
    FilePicker.prototype = PICKER;
    PICKER.QueryInterface = self;
    PICKER.init = function (parent, title, mode) {
        this.mode = mode;
        this.picker.init(parent || null, title, mode);
    };
    PICKER.appendFilter = function (title, filter) { this.picker.appendFilter(title, filter); };
    PICKER.appendFilters = function (mask) { this.picker.appendFilters(mask); };
    PICKER.show = function () {
        var p = this.picker;
        if (this.defaultString) p.defaultString = this.defaultString;
        if (this.defaultExtension) p.defaultExtension = this.defaultExtension;
        if (this.displayDirectory) p.displayDirectory = this.displayDirectory;
        p.filterIndex = this.filterIndex + 1;
        var result = p.show();
        this.filterIndex = Math.max(p.filterIndex - 1, 0);
        this.file = this.fileURL = this.files = null;
        if (result !== PICKER.returnCancel) {
            var files = [];
            if (this.mode === PICKER.modeOpenMultiple)
                for (var e = p.files; e.hasMoreElements();) files.push(localFile(e.getNext()));
            else files.push(p.file);
            this.file = files[0];
            this.fileURL = new Uri(fileSpec(this.file.path, this.mode === PICKER.modeGetFolder), this.file);
            this.files = new ArrayEnumerator(files);
        }
        return result;
    };
    PICKER.open = function (callback) {
        var result = this.show();
        if (typeof callback === "function") callback(result);
        else if (callback) callback.done(result);
    };
    function ArrayEnumerator(items) { this.items = items; this.next = 0; }
    ArrayEnumerator.prototype.QueryInterface = self;
    ArrayEnumerator.prototype.hasMoreElements = function () { return this.next < this.items.length; };
    ArrayEnumerator.prototype.getNext = function () {
        if (this.next >= this.items.length) throw named("NS_ERROR_FAILURE", "no more elements");
        return this.items[this.next++];
    };

    // ---- Arrays (window arguments)
    function MutableArray() { this.items = []; this.length = 0; }
    var MA = MutableArray.prototype;
    MA.QueryInterface = self;
    MA.sync = function () { this.length = this.items.length; };
    MA.appendElement = MA.AppendElement = function (element) { this.items.push(element); this.sync(); return true; };
    MA.insertElementAt = MA.InsertElementAt = function (element, index) { this.items.splice(index, 0, element); this.sync(); return true; };
    MA.replaceElementAt = MA.ReplaceElementAt = function (element, index) { this.items[index] = element; this.sync(); return true; };
    MA.removeElementAt = MA.RemoveElementAt = function (index) {
        if (index < 0 || index >= this.items.length) throw named("NS_ERROR_ILLEGAL_VALUE", "no element " + index);
        this.items.splice(index, 1);
        this.sync();
        return true;
    };
    MA.clear = MA.Clear = function () { this.items = []; this.sync(); };
    MA.queryElementAt = MA.QueryElementAt = MA.GetElementAt = function (index, iid) {
        if (index < 0 || index >= this.items.length) throw named("NS_ERROR_ILLEGAL_VALUE", "no element " + index);
        var e = this.items[index];
        return iid && e && typeof e.QueryInterface === "function" ? e.QueryInterface(iid) : e;
    };
    MA.Count = function () { return this.items.length; };
    MA.indexOf = function (start, element) {
        for (var i = start || 0; i < this.items.length; i++) if (this.items[i] === element) return i;
        throw named("NS_ERROR_FAILURE", "not in the array");
    };
    MA.GetIndexOf = function (element) { try { return this.indexOf(0, element); } catch (e) { return -1; } };
    MA.enumerate = MA.Enumerate = function () { return new ArrayEnumerator(this.items.slice(0)); };

    // ---- Streams
    // A stream of text this script holds (fetched over HTTP, or a converter's output).
    // `text` is what the bytes encode, when this script made them from text.
    function StringInputStream(bytes, text) { this.bytes = bytes; this.text = text; this.at = 0; }
    StringInputStream.prototype.QueryInterface = self;
    StringInputStream.prototype.available = function () { return this.bytes.length - this.at; };
    StringInputStream.prototype.read = function (count) {
        var text = this.bytes.substring(this.at, this.at + count);
        this.at += text.length;
        return text;
    };
    StringInputStream.prototype.close = function () { this.at = this.bytes.length; };
    // count bytes of a stream (all when count is left out), as code units 0-255: exactly count
    // with `method` "readBytes", up to count (ending at a NUL byte, as XPCOM's read) with "read".
    function readBytes(stream, count, method) {
        if (stream instanceof StringInputStream) return stream.read(count === undefined ? stream.available() : count);
        if (count === undefined) count = stream.available();
        return String(stream[needs(stream, method || "readBytes", "FileInputStream." + (method || "readBytes"))](count));
    }
    // A file input stream: the library's (its `stream`), with nsILineInputStream's readLine(out).
    function InputStream() { this.stream = create("FileInputStream"); }
    var IS = InputStream.prototype;
    IS.QueryInterface = self;
    IS.Implements = function (iid) { return this.stream.Implements(String(iid)); };
    IS.init = function (file, ioFlags, perm, behavior) { this.stream.init(file, ioFlags, perm, behavior); };
    IS.available = function () { return this.stream.available(); };
    IS.close = function () { this.stream.close(); };
    IS.seek = function (whence, offset) { this.stream.seek(whence, offset); };
    IS.tell = function () { return this.stream.tell(); };
    IS.isNonBlocking = function () { return false; };
    IS.readLine = function (out) {
        var s = this.stream;
        out.value = String(s[needs(s, "readLine", "FileInputStream.readLine")]());
        return !!s.hasMoreLines;
    };
    function libraryInput(s) { return s instanceof InputStream ? s.stream : s; }
    function openInput(file) {
        var s = new InputStream();
        s.init(file, -1, 0, 0);
        return s;
    }
    function ScriptableInputStream() { this.stream = null; }
    ScriptableInputStream.prototype.QueryInterface = self;
    ScriptableInputStream.prototype.init = function (stream) { this.stream = libraryInput(stream); };
    ScriptableInputStream.prototype.available = function () { return this.stream.available(); };
    ScriptableInputStream.prototype.read = function (count) { return readBytes(this.stream, count, "read"); };
    ScriptableInputStream.prototype.readBytes = function (count) { return readBytes(this.stream, count, "readBytes"); };
    ScriptableInputStream.prototype.close = function () { this.stream.close(); };

    function BinaryInputStream() { this.stream = null; }
    var BIS = BinaryInputStream.prototype;
    BIS.QueryInterface = self;
    BIS.setInputStream = function (stream) { this.stream = libraryInput(stream); };
    BIS.available = function () { return this.stream.available(); };
    BIS.close = function () { this.stream.close(); };
    BIS.readBytes = function (count) {
        var text = readBytes(this.stream, count, "readBytes");
        if (text.length < count) throw named("NS_ERROR_FAILURE", "the stream ended");
        return text;
    };
    BIS.readByteArray = function (count) { return bytesOf(this.readBytes(count)); };
    BIS.readNumber = function (size) {
        var b = this.readByteArray(size), n = 0;
        for (var i = 0; i < size; i++) n = n * 256 + b[i];
        return n;
    };
    BIS.read8 = function () { return this.readNumber(1); };
    BIS.read16 = function () { return this.readNumber(2); };
    BIS.read32 = function () { return this.readNumber(4); };
    BIS.readBoolean = function () { return this.read8() !== 0; };
    BIS.readString = function () { return utf8Decode(this.readByteArray(this.read32())); };

    // Text from a file stream, decoded by the library's stream itself (setCharset, readString,
    // readLine); text this script holds is decoded here, as UTF-8.
    function ConverterInputStream() { this.stream = null; this.pending = null; }
    var CIS = ConverterInputStream.prototype;
    CIS.QueryInterface = self;
    CIS.init = function (stream, charset, size, replacement) {
        stream = this.stream = libraryInput(stream);
        charset = charset || "UTF-8";
        if (stream instanceof StringInputStream) {
            if (!/^utf-?8$/i.test(charset)) throw limit("decoding " + charset + " text held by this script (UTF-8 only)");
            this.pending = utf8Decode(bytesOf(stream.read(stream.available())));
        } else stream[needs(stream, "setCharset", "FileInputStream.setCharset")](charset, replacement === undefined ? 0xFFFD : replacement);
    };
    CIS.readString = function (count, out) {
        var text;
        if (this.pending !== null) {
            text = this.pending.substring(0, count);
            this.pending = this.pending.substring(text.length);
        } else text = String(this.stream.readString(count));
        out.value = text;
        return text.length;
    };
    CIS.read = CIS.readString;
    // nsIUnicharLineInputStream: a line without its end (CR, LF or CRLF); false after the last one.
    CIS.readLine = function (out) {
        if (this.pending === null) {
            out.value = String(this.stream.readLine());
            return !!this.stream.hasMoreLines;
        }
        var m = /\r\n|\r|\n/.exec(this.pending);
        if (!m) { out.value = this.pending; this.pending = ""; return false; }
        out.value = this.pending.substring(0, m.index);
        this.pending = this.pending.substring(m.index + m[0].length);
        return true;
    };
    CIS.available = function () { return this.pending !== null ? this.pending.length : this.stream.available(); };
    CIS.close = function () { this.stream.close(); };

    function UnicodeConverter() { this.charset = "UTF-8"; }
    var UC = UnicodeConverter.prototype;
    UC.QueryInterface = self;
    UC.check = function () {
        if (!/^utf-?8$/i.test(this.charset)) throw limit("converting " + this.charset + " (UTF-8 only)");
    };
    UC.ConvertFromUnicode = function (text) { this.check(); return textOf(utf8Encode(String(text))); };
    UC.ConvertToUnicode = function (bytes) { this.check(); return utf8Decode(bytesOf(String(bytes))); };
    UC.Finish = function () { return ""; };
    UC.convertToByteArray = function (text, length) {
        this.check();
        var bytes = utf8Encode(String(text));
        if (length && typeof length === "object") length.value = bytes.length;
        return bytes;
    };
    UC.convertFromByteArray = function (bytes, count) {
        this.check();
        return utf8Decode(listOf(bytes).slice(0, count === undefined ? undefined : count));
    };
    UC.convertToInputStream = function (text) { return new StringInputStream(this.ConvertFromUnicode(text), String(text)); };

    // ---- File output
    // XPCOM's open flags over the library's: create (0x08) and append (0x10) are the library's own
    // bits, and without append the library empties the file; -1 is XPCOM's write-create-truncate.
    var PR = { RDONLY: 0x01, WRONLY: 0x02, RDWR: 0x04, CREATE_FILE: 0x08, APPEND: 0x10, TRUNCATE: 0x20, EXCL: 0x80 };
    function libraryFlags(ioFlags, file) {
        var f = ioFlags === -1 || ioFlags === undefined ? PR.WRONLY | PR.CREATE_FILE | PR.TRUNCATE : ioFlags;
        if (f & PR.EXCL) throw limit("exclusive creation (PR_EXCL)");
        if (!(f & (PR.APPEND | PR.TRUNCATE)) && file.exists())
            throw limit("writing over a file without emptying it or appending (open flags " + f + ")");
        return f & PR.CREATE_FILE | (f & PR.TRUNCATE ? 0 : f & PR.APPEND);
    }
    // A file output stream opened with XPCOM's flags. The library's stream is `stream`; members of
    // this script that hand a stream to the library (serializeToStream) pass that one.
    function OutputStream(atomic) { this.stream = create("FileOutputStream"); this.atomic = atomic; }
    var OS = OutputStream.prototype;
    OS.QueryInterface = self;
    OS.init = function (file, ioFlags, perm, behavior) {
        var s = this.stream, flags = ioFlags === undefined ? -1 : ioFlags;
        if (this.atomic) {
            // Writes go beside the target; finish() puts them in its place, close() leaves it as it was.
            s[needs(s, "initSafe", "atomic replacement of a file (FileOutputStream.initSafe)")](file, flags, perm || 0, behavior || 0);
        } else if (member(s, "initWithFlags")) s.initWithFlags(file, flags, perm || 0, behavior || 0);
        else s.init(file, libraryFlags(flags, file), perm || 0, behavior || 0);
    };
    OS.write = function (data, count) { return count === 0 ? 0 : this.stream.write(data, count); };
    OS.flush = function () { this.stream.flush(); };
    OS.close = function () { this.stream.close(); };
    OS.finish = function () { this.stream.finish(); };
    OS.seek = function (whence, offset) { this.stream.seek(whence, offset); };
    OS.tell = function () { return this.stream.tell(); };
    OS.setEOF = function () { this.stream.setEOF(); };
    OS.isNonBlocking = function () { return false; };
    OS.Implements = function (iid) { return this.stream.Implements(String(iid)); };
    function libraryStream(s) { return s instanceof OutputStream ? s.stream : s; }
    function openOutput(file, modeFlags, atomic) {
        var s = new OutputStream(atomic);
        s.init(file, modeFlags === undefined ? PR.WRONLY | PR.CREATE_FILE | PR.TRUNCATE : modeFlags, 420, 0);
        return s;
    }
    function DOMSerializer() { this.serializer = create("DOMSerializer"); }
    DOMSerializer.prototype.QueryInterface = self;
    DOMSerializer.prototype.serializeToString = function (root) { return this.serializer.serializeToString(root); };
    DOMSerializer.prototype.serializeToStream = function (root, stream, charset) {
        this.serializer.serializeToStream(root, libraryStream(stream), charset === undefined ? "UTF-8" : charset);
    };

    // ---- Text output and the console
    function ConverterOutputStream() { this.stream = null; }
    ConverterOutputStream.prototype.QueryInterface = self;
    ConverterOutputStream.prototype.init = function (stream, charset) {
        if (charset && !/^utf-?8$/i.test(charset)) throw limit("writing text in " + charset + " (UTF-8 only)");
        this.stream = stream;
    };
    ConverterOutputStream.prototype.writeString = function (text) {
        text = String(text);
        if (text.length) this.stream.write(text, text.length);
        return true;
    };
    ConverterOutputStream.prototype.flush = function () { this.stream.flush(); };
    ConverterOutputStream.prototype.close = function () { this.stream.close(); };

    function ScriptError() { this.init("", "", "", 0, 0, 0, ""); }
    ScriptError.prototype.QueryInterface = self;
    ScriptError.prototype.init = ScriptError.prototype.initWithWindowID = function (message, source, line, number, column, flags, category) {
        this.errorMessage = this.message = String(message);
        this.sourceName = String(source || "");
        this.sourceLine = String(line || "");
        this.lineNumber = number || 0;
        this.columnNumber = column || 0;
        this.flags = flags || 0;
        this.category = String(category || "");
    };
    ScriptError.prototype.toString = function () {
        var kind = this.flags & SCRIPT_ERROR.warningFlag ? "Warning" : "Error";
        return "[JavaScript " + kind + ": \"" + this.errorMessage + "\" {file: \"" + this.sourceName + "\" line: " + this.lineNumber + "}]";
    };
    function ConsoleService() { this.logger = null; }
    ConsoleService.prototype.QueryInterface = self;
    ConsoleService.prototype.log = function (level, message) {
        if (!this.logger) {
            this.logger = create("Logger");
            this.logger.init("console");
        }
        this.logger[level](String(message));
    };
    ConsoleService.prototype.logStringMessage = function (message) { this.log("debug", message); };
    ConsoleService.prototype.logMessage = function (message) {
        if (message instanceof ScriptError) this.log(message.flags & (SCRIPT_ERROR.warningFlag | SCRIPT_ERROR.infoFlag) ? "warn" : "error", message);
        else this.log("debug", message && message.message !== undefined ? message.message : message);
    };

    // ---- Dialog boxes: the page's own, or the script host's
    function PromptService() {}
    PromptService.prototype.QueryInterface = self;
    PromptService.prototype.host = function (parent) {
        if (parent && member(parent, "alert")) return parent;
        return pageWindow();
    };
    PromptService.prototype.alert = function (parent, title, text) {
        var w = this.host(parent);
        if (w) w.alert(text);
        else new ActiveXObject("WScript.Shell").Popup(String(text), 0, String(title || ""), 0x40);
    };
    PromptService.prototype.confirm = function (parent, title, text) {
        var w = this.host(parent);
        if (w) return !!w.confirm(text);
        return new ActiveXObject("WScript.Shell").Popup(String(text), 0, String(title || ""), 0x21) === 1;
    };
    PromptService.prototype.prompt = function (parent, title, text, value) {
        var w = this.host(parent);
        if (!w) throw limit("a text prompt under the script host, which has no input box");
        var answer = w.prompt(text, value && value.value !== undefined && value.value !== null ? value.value : "");
        if (answer === null || answer === undefined) return false;
        if (value) value.value = String(answer);
        return true;
    };
    PromptService.prototype.alertCheck = function (parent, title, text) { this.alert(parent, title, text); };
    PromptService.prototype.confirmCheck = function (parent, title, text) { return this.confirm(parent, title, text); };

    var APP_INFO = { name: "Zembrolatix", vendor: "Belvanquist", ID: "", version: "1.0", appBuildID: "",
                     platformVersion: "1.0", platformBuildID: "", OS: "WINNT", XPCOMABI: "x86-msvc",
                     widgetToolkit: "windows", inSafeMode: false, processType: 0 };
    APP_INFO.QueryInterface = self;

    // ---- Windows
    // XPCOM opens a window with a features text ("width=400,height=300", "modal", "fullscreen=yes").
    // The window manager takes a size and values that reach the page's addArgument(value); this
    // script hands over one value, the object for the new window, from which the page, with this
    // script loaded, builds window.arguments before its load handlers run.
    function WindowWatcher() { this.manager = null; }
    WindowWatcher.prototype.QueryInterface = self;
    function feature(features, name) {
        var m = new RegExp("(?:^|,)\\s*" + name + "\\s*(?:=\\s*([^,]*))?", "i").exec(features || "");
        return m ? (m[1] === undefined || m[1] === "" ? "yes" : m[1]) : null;
    }
    function windowValues(args) {
        if (args === null || args === undefined) return [];
        if (args instanceof MutableArray) return args.items.slice(0);
        if (isArray(args)) return args.slice(0);
        var out = [], i, n;
        if (member(args, "queryElementAt") && typeof args.length === "number") {
            for (i = 0; i < args.length; i++) out.push(args.queryElementAt(i, Ci.nsISupports));
            return out;
        }
        if (member(args, "Count") && member(args, "GetElementAt")) {
            for (i = 0, n = args.Count(); i < n; i++) out.push(args.GetElementAt(i));
            return out;
        }
        return [args];
    }
    // The opener's handle on a new window; the page fills in `window` when its values arrive.
    function ChildWindow(values, manager) {
        this.xpcomWindowArguments = true;
        this.values = values;
        this.manager = manager;
        this.window = null;
        this.closed = false;
        this.closeAsked = false;
    }
    ChildWindow.prototype.toString = function () { return this.values.join(","); };
    ChildWindow.prototype.count = function () { return this.values.length; };
    ChildWindow.prototype.item = function (i) { return this.values[i]; };
    ChildWindow.prototype.arrived = function (page) {
        this.window = page;
        this.document = page.document;
        if (this.closeAsked) this.close();
    };
    ChildWindow.prototype.close = function () {
        this.closeAsked = true;
        if (this.window && !this.closed) this.manager.close(this.window);
        this.closed = true;
    };
    ChildWindow.prototype.focus = function () {};
    ChildWindow.prototype.QueryInterface = self;

    WindowWatcher.prototype.openWindow = function (parent, url, name, features, args) {
        if (!this.manager) this.manager = create("WindowManager");
        var child = new ChildWindow(windowValues(args), this.manager);
        var width = parseInt(feature(features, "width"), 10) || 0, height = parseInt(feature(features, "height"), 10) || 0;
        if (/^(yes|1|true)$/i.test(feature(features, "modal") || "")) {
            var owner = parent || pageWindow();
            if (!owner) throw limit("a modal window without a page window to own it");
            var options = (width ? "dialogWidth:" + width + "px;" : "") + (height ? "dialogHeight:" + height + "px;" : "");
            child.returnValue = this.manager.showModalDialog(owner, url, child, options);
            child.closed = true;
            return child;
        }
        if (/^(yes|1|true)$/i.test(feature(features, "fullscreen") || "")) this.manager.openFullScreen(url, child);
        else this.manager.openDialog(url, width, height, child);
        return child;
    };
    WindowWatcher.prototype.getWindowByName = function () { return null; };
    WindowWatcher.prototype.activeWindow = null;

    // In a page: window.openDialog, and the receiving side of the values. Load handlers the page
    // adds (window.addEventListener("load", ...) or window.onload) wait until the values are there.
    function installPage(win) {
        if (!member(win, "openDialog"))
            win.openDialog = function (url, name, features) {
                var values = [];
                for (var i = 3; i < arguments.length; i++) values.push(arguments[i]);
                return Services.ww.openWindow(win, url, name, features, values);
            };
        if (!member(win, "arguments")) win.arguments = [];
        var held = [], released = false, loaded = false;
        var nativeAdd = member(win, "addEventListener") ? win.addEventListener : null;
        function pageOnload() { try { return typeof win.onload === "function" ? win.onload : null; } catch (e) { return null; } }
        function steal() {
            var f = pageOnload();
            if (released || !f) return;
            held.push(f);
            win.onload = null;
        }
        function release() {
            if (released) return;
            if (!loaded) steal();
            released = true;
            var event = { type: "load", target: win.document, currentTarget: win };
            for (var i = 0; i < held.length; i++) held[i].call(win, event);
        }
        function take(v) {
            var child = null;
            try { child = v && v.xpcomWindowArguments === true ? v : null; } catch (e) {}
            if (!child) { win.arguments.push(v); return; }
            var list = [];
            for (var i = 0, n = child.count(); i < n; i++) list.push(child.item(i));
            win.arguments = list;
            child.arrived(win);
            // The opener's object turns closed when the page goes, however it was closed.
            var gone = function () { try { child.closed = true; } catch (e) {} };
            if (nativeAdd) nativeAdd.call(win, "unload", gone, false);
            else if (member(win, "attachEvent")) win.attachEvent("onunload", gone);
            release();
        }
        var modal = member(win, "dialogArguments") ? win.dialogArguments : null;
        if (modal) { take(modal); return; }
        if (!member(win, "addArgument")) win.addArgument = take;
        win.addEventListener = function (type, listener, capture) {
            if (!released && String(type).toLowerCase() === "load")
                held.push(typeof listener === "function" ? listener : function (e) { listener.handleEvent(e); });
            else if (nativeAdd) nativeAdd.call(win, type, listener, capture);
        };
        // The browser's own load event: the window manager hands values over when the document
        // completes, right after it; a page that got none runs its handlers shortly after load.
        function onLoad() {
            loaded = true;
            if (member(win, "setTimeout")) win.setTimeout(release, 50); else release();
        }
        if (nativeAdd) {
            nativeAdd.call(win, "DOMContentLoaded", steal, false);
            nativeAdd.call(win, "load", onLoad, false);
        } else if (member(win, "attachEvent")) {
            win.document.attachEvent("onreadystatechange", function () { if (win.document.readyState !== "loading") steal(); });
            win.attachEvent("onload", onLoad);
        }
    }

    // ---- Modules
    var FileUtils = {
        MODE_RDONLY: PR.RDONLY, MODE_WRONLY: PR.WRONLY, MODE_RDWR: PR.RDWR, MODE_CREATE: PR.CREATE_FILE,
        MODE_APPEND: PR.APPEND, MODE_TRUNCATE: PR.TRUNCATE, PERMS_FILE: 420, PERMS_DIRECTORY: 493,
        getFile: function (key, pathArray) {
            var file = this.getDir(key, pathArray.slice(0, pathArray.length - 1), false);
            file.append(pathArray[pathArray.length - 1]);
            return file;
        },
        getDir: function (key, pathArray, shouldCreate) {
            var dir = Services.dirsvc.get(key, Ci.nsIFile);
            for (var i = 0; i < pathArray.length; i++) {
                dir.append(pathArray[i]);
                if (shouldCreate && !dir.exists()) dir.create(FILE.DIRECTORY_TYPE, 493);
            }
            return dir;
        },
        openFileOutputStream: function (file, modeFlags) { return openOutput(file, modeFlags, false); },
        openSafeFileOutputStream: function (file, modeFlags) { return openOutput(file, modeFlags, true); },
        closeSafeFileOutputStream: function (stream) { stream.finish(); },
        File: function (path) { return localFile(path); }
    };
    FileUtils.openAtomicFileOutputStream = FileUtils.openSafeFileOutputStream;
    FileUtils.closeAtomicFileOutputStream = FileUtils.closeSafeFileOutputStream;
    // A source given as a URI, its text, a file or { uri }: the file it names, or null for other schemes.
    function sourceFile(source) {
        if (isLocalFile(source)) return source;
        if (source && typeof source === "object" && source.uri) source = source.uri;
        var uri = typeof source === "string" ? Services.io.newURI(source) : source;
        return uri.scheme === "file" ? uriFile(uri) : null;
    }
    var NetUtil = {
        newURI: function (target, charset, base) {
            if (isLocalFile(target)) return Services.io.newFileURI(target);
            return Services.io.newURI(String(target && target.spec !== undefined ? target.spec : target), charset, base);
        },
        // Runs inside the call: the callback has the stream and the result before asyncFetch returns.
        asyncFetch: function (source, callback) {
            var stream = null, status = 0, file;
            try {
                file = sourceFile(source);
                if (file) stream = openInput(file);
                else {
                    var request = xmlHttpRequest();
                    request.open("GET", addressOf(source && source.uri ? source.uri : source), false);
                    request.send(null);
                    if (request.status >= 400) status = E_FAIL;
                    else stream = new StringInputStream(textOf(utf8Encode(String(request.responseText))));
                }
            } catch (e) {
                status = e.number || E_FAIL;
                stream = null;
            }
            if (typeof callback === "function") callback(stream, status, null);
            else callback.onStreamComplete(null, null, status, stream);
        },
        readInputStreamToString: function (stream, count, options) {
            var charset = options && options.charset;
            stream = libraryInput(stream);
            if (!charset) return readBytes(stream, count, "readBytes");
            var converter = new ConverterInputStream(), out = {}, text = "";
            converter.init(stream, charset, 0, options.replacement);
            while (converter.readString(0x7FFFFFFF, out) > 0) text += out.value;
            return text;
        },
        // Copies text made by convertToInputStream into an output stream, then closes it (a safe
        // stream is finished), inside the call; the library's streams write text, not bytes.
        asyncCopy: function (source, sink, callback) {
            var status = 0;
            try {
                if (!(source instanceof StringInputStream) || source.text === undefined)
                    throw limit("copying bytes into a file stream (only text from convertToInputStream)");
                if (source.text.length) sink.write(source.text, source.text.length);
                source.close();
                if (sink instanceof OutputStream && sink.atomic) sink.finish(); else sink.close();
            } catch (e) {
                status = e.number || E_FAIL;
                try { sink.close(); } catch (ignored) {}
            }
            if (typeof callback === "function") callback(status);
            return null;
        },
        readInputStream: function (stream, count) { return bytesOf(readBytes(libraryInput(stream), count, "readBytes")); }
    };
    var MODULES = {
        "resource://gre/modules/Services.jsm": function () { return { Services: Services }; },
        "resource://gre/modules/FileUtils.jsm": function () { return { FileUtils: FileUtils }; },
        "resource://gre/modules/NetUtil.jsm": function () { return { NetUtil: NetUtil }; }
    };
    // XPCOM's import defines the module's names in the caller's scope (here: the global one, or the
    // object given) and returns them.
    function importModule(url, scope) {
        var make = MODULES.hasOwnProperty(url) ? MODULES[url] : null;
        if (!make) throw named("NS_ERROR_FILE_NOT_FOUND", "no module " + url);
        var names = make(), target = scope && typeof scope === "object" ? scope : GLOBAL;
        for (var k in names) if (names.hasOwnProperty(k)) target[k] = names[k];
        return names;
    }

    // ---- Contracts
    function library(cls) { return function () { return create(cls); }; }
    function made(Type) { return function () { return new Type(); }; }
    function output(atomic) { return function () { return new OutputStream(atomic); }; }
    var CONTRACTS = {
        "@mozilla.org/file/local;1": library("LocalFile"),
        "@mozilla.org/network/file-input-stream;1": made(InputStream),
        "@mozilla.org/network/file-output-stream;1": output(false),
        "@mozilla.org/network/safe-file-output-stream;1": output(true),
        "@mozilla.org/network/atomic-file-output-stream;1": output(true),
        "@mozilla.org/file/directory_service;1": made(DirectoryService),
        "@mozilla.org/preferences-service;1": function () { return new PrefBranch(""); },
        "@mozilla.org/preferences;1": function () { return new PrefBranch(""); },
        "@mozilla.org/intl/stringbundle;1": made(StringBundleService),
        "@mozilla.org/xmlextras/domparser;1": made(DOMParser),
        "@mozilla.org/xmlextras/xmlserializer;1": made(DOMSerializer),
        "@mozilla.org/xmlextras/xmlhttprequest;1": xmlHttpRequest,
        "@mozilla.org/embedding/browser/nsWebBrowserPersist;1": made(WebBrowserPersist),
        "@mozilla.org/filepicker;1": made(FilePicker),
        "@mozilla.org/network/io-service;1": made(IOService),
        "@mozilla.org/network/protocol;1?name=file": made(FileProtocolHandler),
        "@mozilla.org/intl/converter-output-stream;1": made(ConverterOutputStream),
        "@mozilla.org/intl/converter-input-stream;1": made(ConverterInputStream),
        "@mozilla.org/scriptableinputstream;1": made(ScriptableInputStream),
        "@mozilla.org/binaryinputstream;1": made(BinaryInputStream),
        "@mozilla.org/intl/scriptableunicodeconverter": made(UnicodeConverter),
        "@mozilla.org/consoleservice;1": made(ConsoleService),
        "@mozilla.org/scripterror;1": made(ScriptError),
        "@mozilla.org/supports-string;1": made(SupportsString),
        "@mozilla.org/pref-localizedstring;1": made(SupportsString),
        "@mozilla.org/supports-array;1": made(MutableArray),
        "@mozilla.org/array;1": made(MutableArray),
        "@mozilla.org/observer-service;1": made(ObserverService),
        "@mozilla.org/embedcomp/window-watcher;1": made(WindowWatcher),
        "@mozilla.org/embedcomp/prompt-service;1": made(PromptService),
        "@mozilla.org/xre/app-info;1": function () { return APP_INFO; }
    };
    function ClassEntry(contract, make) {
        this.name = contract;
        this.make = make;
        this.service = null;
    }
    ClassEntry.prototype.createInstance = function () { return this.make(); };
    ClassEntry.prototype.getService = function () {
        if (!this.service) this.service = this.make();
        return this.service;
    };
    Cc = {};
    for (var contract in CONTRACTS)
        if (CONTRACTS.hasOwnProperty(contract)) Cc[contract] = new ClassEntry(contract, CONTRACTS[contract]);

    Services = {};
    var SERVICES = { prefs: "@mozilla.org/preferences-service;1", dirsvc: "@mozilla.org/file/directory_service;1",
                     strings: "@mozilla.org/intl/stringbundle;1", io: "@mozilla.org/network/io-service;1",
                     console: "@mozilla.org/consoleservice;1", ww: "@mozilla.org/embedcomp/window-watcher;1",
                     obs: "@mozilla.org/observer-service;1", prompt: "@mozilla.org/embedcomp/prompt-service;1",
                     appinfo: "@mozilla.org/xre/app-info;1" };
    for (var s in SERVICES) if (SERVICES.hasOwnProperty(s)) Services[s] = Cc[SERVICES[s]].getService();

    var page = pageWindow();
    if (page) installPage(page);
    if (typeof GLOBAL.XMLHttpRequest === "undefined")
        GLOBAL.XMLHttpRequest = function () { return xmlHttpRequest(); };

    Cu = {
        "import": importModule,
        reportError: function (e) { Services.console.log("error", e && e.message !== undefined ? e.message : e); },
        getGlobalForObject: function () { return GLOBAL; }
    };
    ChromeUtils = { "import": importModule };
    Components = {
        classes: Cc,
        interfaces: Ci,
        results: Cr,
        utils: Cu,
        Exception: function (message, result) { return fail(result === undefined ? E_FAIL : result, message); },
        isSuccessCode: function (result) { return (result | 0) >= 0; },
        // new (Components.Constructor(contract, iid, init))(args...) makes an instance and calls init.
        Constructor: function (contract, iid, init) {
            var entry = Cc[contract];
            if (!entry) throw named("NS_ERROR_FAILURE", "no class " + contract);
            return function () {
                var obj = entry.createInstance(iid);
                if (init) callSpread(obj, init, arguments);
                return obj;
            };
        }
    };
})();
