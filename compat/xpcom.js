// XPCOM names for Zembrolatix.
//
// Evaluate this file before the application's own code (a <script src> in a page, a <script>
// element of a .wsf job, or concatenated in front). It defines the globals Components, Cc, Ci, Cr
// and Services over the library's objects, so script written against XPCOM runs unchanged where
// the library offers the same service. Plain ES3: Internet Explorer's JScript runs it as it is.
//
// Components.classes (Cc): contract IDs -> objects
//   @mozilla.org/file/local;1                       LocalFile
//   @mozilla.org/network/file-input-stream;1        FileInputStream
//   @mozilla.org/network/file-output-stream;1       FileOutputStream
//   @mozilla.org/network/safe-file-output-stream;1  FileOutputStream (finish() closes it)
//   @mozilla.org/file/directory_service;1           directory service (adapter, see below)
//   @mozilla.org/preferences-service;1              preferences (adapter, see below)
//   @mozilla.org/intl/stringbundle;1                string bundle service (adapter, see below)
//   @mozilla.org/xmlextras/domparser;1              DOMParser (adapter: parseFromString added)
//   @mozilla.org/xmlextras/xmlserializer;1          DOMSerializer
//   @mozilla.org/embedding/browser/nsWebBrowserPersist;1  WebBrowserPersist (adapter, see below)
//   @mozilla.org/filepicker;1                       FilePicker (adapter, see below)
//   @mozilla.org/network/io-service;1               newURI / newFileURI giving nsIURI objects (address, scheme)
//   @mozilla.org/intl/converter-output-stream;1     writeString() over a FileOutputStream (UTF-8)
//   @mozilla.org/consoleservice;1                   logStringMessage() through Logger
//   @mozilla.org/supports-string;1                  { data: "" }
//   @mozilla.org/embedcomp/window-watcher;1         openWindow() through WindowManager (Services.ww)
// createInstance() makes a new object each time; getService() hands out one per contract.
//
// Components.interfaces (Ci): each entry stands for the library interface that matches it and is
// accepted wherever the library takes an interface identifier (its text is the IID), e.g.
// dirsvc.get("ProfD", Ci.nsIFile) or element.QueryInterface(Ci.nsIPropertyElement). nsIFile and
// nsILocalFile both name ILocalFile; nsISafeOutputStream names IFileOutputStream, whose finish() is
// the safe stream's. Entries carry XPCOM's constants (nsIFile.DIRECTORY_TYPE, nsIFilePicker.modeSave,
// nsIFilePicker.filterText, nsIWebBrowserPersist.PERSIST_FLAGS_..., nsIWebProgressListener.STATE_...).
//
// Components.results (Cr): XPCOM's result names with the HRESULT the library reports for the same
// condition, as signed numbers, the form a caught error's e.number has:
//   try { ... } catch (e) { if (e.number == Cr.NS_ERROR_FILE_ACCESS_DENIED) ... }
// (JScript errors have no e.result.)
//
// Adapters, where XPCOM's signature or behaviour differs from the library's:
// - Preferences: XPCOM preference names are flat dotted strings; the library keeps one registry key
//   per branch. Every branch given out here (Services.prefs, getBranch(), getService(Ci.nsIPrefBranch))
//   splits the full name at its last dot: "extensions.app.window.width" is the value "width" of the
//   branch "extensions.app.window.", however it was reached. Getters take XPCOM's optional default
//   (getIntPref(name, 0)). getComplexValue/setComplexValue with nsISupportsString use { data }.
//   getPrefType() reports PREF_INT for booleans (both are stored as numbers). clearUserPref() and
//   getChildList() are not available (NS_ERROR_NOT_IMPLEMENTED); savePrefFile() does nothing,
//   every change is stored at once.
// - Directory service: get(key, iid) answers "ProfD" (also asked as "ProfLD") and "TmpD"; the
//   iid may be left out. has(key) tells which keys exist.
// - String bundles: formatStringFromName(name, params) replaces %S and %n$S; a missing name gives
//   the empty string (XPCOM throws).
// - DOMParser: parseFromStream as in XPCOM (a FileInputStream at its start); parseFromString parses
//   with MSXML and throws NS_ERROR_FAILURE for text that is not well-formed (XPCOM returns a
//   <parsererror> document). Documents are MSXML's: node.text where XPCOM has textContent.
// - WebBrowserPersist: saveURI takes XPCOM's long argument lists (6, 7, 8 or more arguments) as well
//   as the library's (uri, file). The URI is a string or an nsIURI object (newURI); the target
//   is the first LocalFile after the URI, or a file: URI. The download runs inside the call. With an
//   nsIWebProgressListener set as progressListener it is told onStateChange(START), onProgressChange
//   and onStateChange(STOP) with the result as status, and a failure is reported there and in
//   persist.result instead of being thrown; without one, a failure is thrown. A plain function as
//   progressListener is called (100, 100) as the library does.
// - FilePicker: filterIndex counts from 0 as in XPCOM; defaultString, defaultExtension,
//   displayDirectory and filterIndex are plain properties handed to the dialog by show(); after show()
//   file, fileURL and files hold the choice (files yields LocalFile objects; a file picked in
//   modeOpenMultiple is safe only inside the private data folder). open(callback) runs show() and
//   calls callback.done(result) or callback(result).
// - Windows: Services.ww.openWindow(parent, url, name, features, values) and, in a page,
//   window.openDialog(url, name, features, value...) open the application's own page (a chrome://
//   URL of its registered package) through WindowManager: "modal" in the features shows an HTML modal
//   dialog (showModalDialog, the values as its dialogArguments array, its returnValue returned),
//   "fullscreen" opens full screen, otherwise width and height size the window. Up to ten values reach
//   the page through its global function addArgument(value), called once per value when the
//   document has loaded, not through window.arguments. The name is not used.
// - Not offered by the library, so not here: reading text from an input stream, nsIFile's clone,
//   parent, directoryEntries, copyTo and moveTo. Writing an empty string to an output stream fails
//   (E_INVALIDARG); the converter stream's writeString("") does nothing.
//   `const Cc = Components.classes;` lines must go: JScript has no const, and the names exist.
var Components, Cc, Ci, Cr, Services;

(function () {
    var PREFIX = "Zembrolatix.";
    function create(cls) { return new ActiveXObject(PREFIX + cls); }
    function fail(number, text) {
        var e = new Error(text);
        e.number = number;
        e.description = text;
        e.result = number >>> 0;
        return e;
    }
    function signed(hr) { return hr | 0; }

    // ---- Results
    var E_NOTIMPL = signed(0x80004001), E_FAIL = signed(0x80004005), E_INVALIDARG = signed(0x80070057);
    Cr = {
        NS_OK: 0,
        NS_ERROR_NOT_IMPLEMENTED: E_NOTIMPL,
        NS_ERROR_NO_INTERFACE: signed(0x80004002),
        NS_ERROR_NULL_POINTER: signed(0x80004003),
        NS_ERROR_INVALID_POINTER: signed(0x80004003),
        NS_ERROR_FAILURE: E_FAIL,
        NS_ERROR_UNEXPECTED: signed(0x8000FFFF),
        NS_ERROR_NOT_INITIALIZED: signed(0x8000FFFF),
        NS_ERROR_OUT_OF_MEMORY: signed(0x8007000E),
        NS_ERROR_INVALID_ARG: E_INVALIDARG,
        NS_ERROR_ILLEGAL_VALUE: E_INVALIDARG,
        NS_ERROR_FILE_ACCESS_DENIED: signed(0x80070005)
    };

    // ---- Interface identifiers
    function Iid(name, number, constants) {
        this.name = name;
        this.number = number;
        for (var k in constants) if (constants.hasOwnProperty(k)) this[k] = constants[k];
    }
    Iid.prototype.toString = function () { return this.number; };
    Iid.prototype.valueOf = function () { return this.number; };
    Iid.prototype.equals = function (other) { return String(other).toUpperCase() === this.number.toUpperCase(); };

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
        // Served by this script's own objects, which answer QueryInterface with themselves.
        ["nsIWebProgressListener", IID.IDispatch, PROGRESS], ["nsIURI", IID.IDispatch], ["nsIFileURL", IID.IDispatch],
        ["nsIIOService", IID.IDispatch], ["nsISupportsString", IID.IDispatch],
        ["nsIConverterOutputStream", IID.IDispatch], ["nsIUnicharOutputStream", IID.IDispatch],
        ["nsIConsoleMessage", IID.IDispatch], ["nsIWindowWatcher", "{BDED5389-45BD-4D4F-B96C-E318820FD912}"]
    ];
    Ci = {};
    for (var i = 0; i < INTERFACES.length; i++)
        Ci[INTERFACES[i][0]] = new Iid(INTERFACES[i][0], INTERFACES[i][1], INTERFACES[i][2] || {});

    function self() { return this; }

    // ---- Preferences
    var libraryBranches = {};
    function libraryBranch(root) {
        var b = libraryBranches["k" + root];
        if (!b) libraryBranches["k" + root] = b = create("PrefService").getBranch(root);
        return b;
    }
    function PrefBranch(root) { this.root = root; }
    PrefBranch.prototype = PREF;
    PREF.QueryInterface = self;
    // The library branch holding a full dotted name, and the value name in it.
    PREF.locate = function (name) {
        var full = this.root + name, dot = full.lastIndexOf(".");
        return { branch: libraryBranch(full.substring(0, dot + 1)), name: full.substring(dot + 1) };
    };
    function getter(method) {
        return function (name, fallback) {
            var at = this.locate(name);
            if (arguments.length < 2) return at.branch[method](at.name);
            try { return at.branch[method](at.name); } catch (e) { return fallback; }
        };
    }
    function setter(method) {
        return function (name, value) { var at = this.locate(name); at.branch[method](at.name, value); };
    }
    PREF.getBoolPref = getter("getBoolPref");
    PREF.getIntPref = getter("getIntPref");
    PREF.getCharPref = PREF.getStringPref = getter("getCharPref");
    PREF.setBoolPref = setter("setBoolPref");
    PREF.setIntPref = setter("setIntPref");
    PREF.setCharPref = PREF.setStringPref = setter("setCharPref");
    PREF.prefHasUserValue = function (name) { var at = this.locate(name); return at.branch.prefHasUserValue(at.name); };
    PREF.getComplexValue = function (name) { return new SupportsString(this.getCharPref(name)); };
    PREF.setComplexValue = function (name, iid, value) { this.setCharPref(name, String(value.data)); };
    PREF.getPrefType = function (name) {
        if (!this.prefHasUserValue(name)) return PREF.PREF_INVALID;
        try { this.getIntPref(name); return PREF.PREF_INT; } catch (e) { return PREF.PREF_STRING; }
    };
    PREF.getBranch = function (root) { return new PrefBranch(this.root + (root || "")); };
    PREF.clearUserPref = PREF.getChildList = PREF.deleteBranch = function () {
        throw fail(E_NOTIMPL, "preferences cannot be removed or listed");
    };
    PREF.savePrefFile = function () {};

    function SupportsString(data) { this.data = data === undefined ? "" : data; }
    SupportsString.prototype.QueryInterface = self;
    SupportsString.prototype.toString = function () { return this.data; };

    // ---- Directory service
    var DIRECTORY_KEYS = { ProfD: "ProfD", ProfLD: "ProfD", TmpD: "TmpD" };
    // Library objects behind the services are made on first use, so evaluating this script makes none.
    function DirectoryService() { this.service = null; }
    DirectoryService.prototype.QueryInterface = self;
    DirectoryService.prototype.has = function (key) { return DIRECTORY_KEYS.hasOwnProperty(key); };
    DirectoryService.prototype.get = function (key, iid) {
        var known = DIRECTORY_KEYS.hasOwnProperty(key) ? DIRECTORY_KEYS[key] : key;
        if (!this.service) this.service = create("DirectoryService");
        return this.service.get(known, String(iid || IID.ILocalFile));
    };

    // ---- String bundles
    function StringBundle(bundle) { this.bundle = bundle; }
    StringBundle.prototype.QueryInterface = self;
    StringBundle.prototype.GetStringFromName = function (name) { return this.bundle.GetStringFromName(name); };
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

    // ---- XML
    function DOMParser() { this.parser = create("DOMParser"); }
    DOMParser.prototype.QueryInterface = self;
    DOMParser.prototype.parseFromStream = function (stream, charset, length, type) {
        return this.parser.parseFromStream(stream, charset, length, type);
    };
    DOMParser.prototype.parseFromString = function (text) {
        var doc = new ActiveXObject("Microsoft.XMLDOM");
        doc.async = false;
        doc.resolveExternals = false; // nothing outside the text is read
        doc.validateOnParse = false;
        if (!doc.loadXML(text)) throw fail(E_FAIL, "not well-formed XML");
        return doc;
    };

    // ---- URIs
    // nsIURI's attributes: the whole address and its scheme.
    function Uri(address) {
        this.spec = address;
        var colon = address.indexOf(":");
        this.scheme = colon > 0 ? address.substring(0, colon).toLowerCase() : "";
    }
    Uri.prototype.QueryInterface = self;
    Uri.prototype.toString = function () { return this.spec; };
    function fileAddress(file) { return "file:///" + String(file.path).replace(/\\/g, "/"); }
    function addressOf(uri) { return typeof uri === "string" ? uri : String(uri.spec); }
    function isLocalFile(x) { return x !== null && typeof x === "object" && typeof x.GetSafe !== "undefined"; }
    function localFile(path) {
        var f = create("LocalFile");
        f.initWithPath(path);
        return f;
    }
    function IOService() {}
    IOService.prototype.QueryInterface = self;
    IOService.prototype.newURI = function (address) { return new Uri(String(address)); };
    IOService.prototype.newFileURI = function (file) { return new Uri(fileAddress(file)); };

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
    // file: URI or file: URL text.
    function saveTarget(args) {
        var i, last = null;
        for (i = 1; i < args.length; i++) if (isLocalFile(args[i])) return args[i];
        for (i = 1; i < args.length; i++) {
            var a = args[i];
            if (a !== null && a !== undefined && (typeof a === "string" || typeof a.spec === "string") &&
                /^file:/i.test(addressOf(a))) last = a;
        }
        if (!last) throw fail(E_INVALIDARG, "saveURI needs a target file");
        return localFile(decodeURI(addressOf(last).replace(/^file:\/*/i, "")).replace(/\//g, "\\"));
    }
    WebBrowserPersist.prototype.saveURI = function () {
        var uri = addressOf(arguments[0]), file = saveTarget(arguments), listener = this.progressListener, me = this;
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
            this.fileURL = new Uri(fileAddress(this.file));
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
        if (this.next >= this.items.length) throw fail(E_FAIL, "no more elements");
        return this.items[this.next++];
    };

    // ---- Text output and the console
    function ConverterOutputStream() { this.stream = null; }
    ConverterOutputStream.prototype.QueryInterface = self;
    ConverterOutputStream.prototype.init = function (stream, charset) {
        if (charset && !/^utf-?8$/i.test(charset)) throw fail(E_INVALIDARG, "only UTF-8 is written");
        this.stream = stream;
    };
    ConverterOutputStream.prototype.writeString = function (text) {
        text = String(text);
        if (text.length) this.stream.write(text, text.length);
        return true;
    };
    ConverterOutputStream.prototype.flush = function () { this.stream.flush(); };
    ConverterOutputStream.prototype.close = function () { this.stream.close(); };

    function ConsoleService() { this.logger = null; }
    ConsoleService.prototype.QueryInterface = self;
    ConsoleService.prototype.log = function (level, message) {
        if (!this.logger) {
            this.logger = create("Logger");
            this.logger.init("console");
        }
        this.logger[level](String(message && message.message !== undefined ? message.message : message));
    };
    ConsoleService.prototype.logStringMessage = function (message) { this.log("debug", message); };
    ConsoleService.prototype.logMessage = function (message) { this.log("debug", message); };

    // ---- Windows
    // XPCOM opens a window with a features text ("width=400,height=300", "modal", "fullscreen=yes");
    // the library takes a size and up to ten values, which reach the page's addArgument(value).
    function WindowWatcher() { this.manager = null; }
    WindowWatcher.prototype.QueryInterface = self;
    function feature(features, name) {
        var m = new RegExp("(?:^|,)\\s*" + name + "\\s*(?:=\\s*([^,]*))?", "i").exec(features || "");
        return m ? (m[1] === undefined || m[1] === "" ? "yes" : m[1]) : null;
    }
    // The library's members take their values as separate optional arguments: a value left out must
    // be missing, not undefined, so each count is its own call.
    function callSpread(obj, method, a) {
        switch (a.length) {
        case 1: return obj[method](a[0]);
        case 2: return obj[method](a[0], a[1]);
        case 3: return obj[method](a[0], a[1], a[2]);
        case 4: return obj[method](a[0], a[1], a[2], a[3]);
        case 5: return obj[method](a[0], a[1], a[2], a[3], a[4]);
        case 6: return obj[method](a[0], a[1], a[2], a[3], a[4], a[5]);
        case 7: return obj[method](a[0], a[1], a[2], a[3], a[4], a[5], a[6]);
        case 8: return obj[method](a[0], a[1], a[2], a[3], a[4], a[5], a[6], a[7]);
        case 9: return obj[method](a[0], a[1], a[2], a[3], a[4], a[5], a[6], a[7], a[8]);
        case 10: return obj[method](a[0], a[1], a[2], a[3], a[4], a[5], a[6], a[7], a[8], a[9]);
        case 11: return obj[method](a[0], a[1], a[2], a[3], a[4], a[5], a[6], a[7], a[8], a[9], a[10]);
        case 12: return obj[method](a[0], a[1], a[2], a[3], a[4], a[5], a[6], a[7], a[8], a[9], a[10], a[11]);
        default: return obj[method](a[0], a[1], a[2], a[3], a[4], a[5], a[6], a[7], a[8], a[9], a[10], a[11], a[12]);
        }
    }
    WindowWatcher.prototype.openWindow = function (parent, url, name, features, args) {
        if (!this.manager) this.manager = create("WindowManager");
        var values = args === null || args === undefined ? [] : (args instanceof Array ? args : [args]);
        if (values.length > 10) throw fail(E_INVALIDARG, "at most ten values reach a window");
        var width = parseInt(feature(features, "width"), 10) || 0, height = parseInt(feature(features, "height"), 10) || 0;
        if (/^(yes|1|true)$/i.test(feature(features, "modal") || "")) {
            var options = (width ? "dialogWidth:" + width + "px;" : "") + (height ? "dialogHeight:" + height + "px;" : "");
            return this.manager.showModalDialog(parent, url, values, options);
        }
        if (/^(yes|1|true)$/i.test(feature(features, "fullscreen") || ""))
            return callSpread(this.manager, "openFullScreen", [url].concat(values));
        return callSpread(this.manager, "openDialog", [url, width, height].concat(values));
    };

    // ---- Contracts
    function library(cls) { return function () { return create(cls); }; }
    function made(Type) { return function () { return new Type(); }; }
    var CONTRACTS = {
        "@mozilla.org/file/local;1": library("LocalFile"),
        "@mozilla.org/network/file-input-stream;1": library("FileInputStream"),
        "@mozilla.org/network/file-output-stream;1": library("FileOutputStream"),
        "@mozilla.org/network/safe-file-output-stream;1": library("FileOutputStream"),
        "@mozilla.org/file/directory_service;1": made(DirectoryService),
        "@mozilla.org/preferences-service;1": function () { return new PrefBranch(""); },
        "@mozilla.org/intl/stringbundle;1": made(StringBundleService),
        "@mozilla.org/xmlextras/domparser;1": made(DOMParser),
        "@mozilla.org/xmlextras/xmlserializer;1": library("DOMSerializer"),
        "@mozilla.org/embedding/browser/nsWebBrowserPersist;1": made(WebBrowserPersist),
        "@mozilla.org/filepicker;1": made(FilePicker),
        "@mozilla.org/network/io-service;1": made(IOService),
        "@mozilla.org/intl/converter-output-stream;1": made(ConverterOutputStream),
        "@mozilla.org/consoleservice;1": made(ConsoleService),
        "@mozilla.org/supports-string;1": made(SupportsString),
        "@mozilla.org/embedcomp/window-watcher;1": made(WindowWatcher)
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
    Services.prefs = Cc["@mozilla.org/preferences-service;1"].getService();
    Services.dirsvc = Cc["@mozilla.org/file/directory_service;1"].getService();
    Services.strings = Cc["@mozilla.org/intl/stringbundle;1"].getService();
    Services.io = Cc["@mozilla.org/network/io-service;1"].getService();
    Services.console = Cc["@mozilla.org/consoleservice;1"].getService();
    Services.ww = Cc["@mozilla.org/embedcomp/window-watcher;1"].getService();
    // In a page: window.openDialog(url, name, features, value...) as in XPCOM's chrome windows.
    if (typeof window !== "undefined" && window && !window.openDialog)
        window.openDialog = function (url, name, features) {
            var values = [];
            for (var i = 3; i < arguments.length; i++) values.push(arguments[i]);
            return Services.ww.openWindow(window, url, name, features, values);
        };

    Components = {
        classes: Cc,
        interfaces: Ci,
        results: Cr,
        utils: {
            "import": function () { return { Services: Services }; },
            reportError: function (e) { Services.console.log("error", e); }
        },
        Exception: function (message, result) { return fail(result === undefined ? E_FAIL : result, message); },
        isSuccessCode: function (result) { return (result | 0) >= 0; }
    };
})();
