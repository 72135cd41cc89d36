// The notes keeper: a small application written against XPCOM, run over compat/xpcom.js.
// It reads its settings from preferences and its strings from its own package, keeps notes as files
// in the private data folder, fetches a note from a file: URL, exports all notes as XML and
// imports them again. Argument: the path of a note to fetch (an XML file with one <note>).
var Notes = {
    PACKAGE_STRINGS: "chrome://zbx-notes/locale/notes.properties",

    start: function (welcomePath) {
        this.console = Cc["@mozilla.org/consoleservice;1"].getService(Ci.nsIConsoleService);
        this.strings = Cc["@mozilla.org/intl/stringbundle;1"].getService(Ci.nsIStringBundleService)
            .createBundle(this.PACKAGE_STRINGS);
        this.say(this.text("app.title"));
        this.readSettings();
        this.console.logStringMessage("started, run " + this.runs);
        this.say(this.console.logger.isEnabled ? this.text("logging.on") : this.text("logging.off"));

        this.folder = this.notesFolder();
        this.say(this.text("folder", [this.folder.path]));
        var notes = [
            { title: "Shopping", text: "Milk, bread, apples" },
            { title: "Greetings", text: "Gr\u00fc\u00dfe an Anna, \u00e0 bient\u00f4t" },
            { title: "Call", text: "Call Bob about the " + this.author + " notes" }
        ];
        notes.push(this.fetch(welcomePath));
        for (var i = 0; i < notes.length && i < this.maxNotes; i++) this.save(notes[i]);

        var exportFile = this.fileInFolder("notes.xml");
        this.exportNotes(notes, exportFile);
        this.say(this.text("exported", [notes.length, exportFile.leafName]));
        var titles = this.importNotes(exportFile);
        this.say(this.text("imported", [titles.length, titles.join(", ")]));
        this.describeStrings();
        this.console.logStringMessage("finished");
        this.say(this.text("done"));
    },

    say: function (line) { WScript.Echo(line); },
    text: function (name, params) {
        return params ? this.strings.formatStringFromName(name, params, params.length)
                      : this.strings.GetStringFromName(name);
    },

    // Settings: defaults when a preference was never set; the run counter is stored back.
    readSettings: function () {
        var prefs = Cc["@mozilla.org/preferences-service;1"].getService(Ci.nsIPrefService)
            .getBranch("extensions.zbx-notes.");
        try { this.maxNotes = prefs.getIntPref("maxNotes"); } catch (e) { this.maxNotes = 10; }
        try { this.author = prefs.getCharPref("author"); } catch (e) { this.author = "demo"; }
        this.runs = prefs.getIntPref("runs", 0) + 1;
        prefs.setIntPref("runs", this.runs);
        if (!prefs.prefHasUserValue("author")) prefs.setCharPref("author", this.author);
        this.say(this.text("run", [this.runs, this.author, this.maxNotes]));
    },

    notesFolder: function () {
        var folder = Services.dirsvc.get("ProfD", Ci.nsIFile);
        folder.append("zbx-notes");
        if (!folder.exists()) folder.create(Ci.nsIFile.DIRECTORY_TYPE, 0755);
        return folder;
    },
    fileInFolder: function (name) {
        var file = Cc["@mozilla.org/file/local;1"].createInstance(Ci.nsILocalFile);
        file.initWithFile(this.folder);
        file.append(name);
        return file;
    },

    // One note, one UTF-8 text file: the title on the first line, the text after it.
    save: function (note) {
        var file = this.fileInFolder(note.title.toLowerCase() + ".txt");
        var stream = Cc["@mozilla.org/network/file-output-stream;1"].createInstance(Ci.nsIFileOutputStream);
        stream.init(file, 0x02 | 0x08 | 0x20, 0644, 0);
        var converter = Cc["@mozilla.org/intl/converter-output-stream;1"].createInstance(Ci.nsIConverterOutputStream);
        converter.init(stream, "UTF-8", 0, 0);
        converter.writeString(note.title + "\r\n" + note.text + "\r\n");
        converter.close();
        this.say(this.text("saved", [note.title, file.fileSize]));
    },

    // A note published as XML, saved into the notes folder with WebBrowserPersist and parsed.
    fetch: function (path) {
        var ios = Cc["@mozilla.org/network/io-service;1"].getService(Ci.nsIIOService);
        var source = Cc["@mozilla.org/file/local;1"].createInstance(Ci.nsILocalFile);
        source.initWithPath(path);
        var uri = ios.newFileURI(source);
        var target = this.fileInFolder("fetched.xml");
        var persist = Cc["@mozilla.org/embedding/browser/nsWebBrowserPersist;1"].createInstance(Ci.nsIWebBrowserPersist);
        var console = this.console;
        persist.progressListener = {
            onStateChange: function (progress, request, flags, status) {
                if (flags & Ci.nsIWebProgressListener.STATE_STOP) console.logStringMessage("download ended: " + status);
            }
        };
        persist.saveURI(uri, null, null, null, null, target);
        if (persist.result) throw Components.Exception("download failed", persist.result);
        var root = this.parse(target).documentElement;
        this.say(this.text("fetched", [root.getAttribute("title"), uri.spec]));
        target.remove(false);
        return { title: root.getAttribute("title"), text: root.text };
    },

    parse: function (file) {
        var stream = Cc["@mozilla.org/network/file-input-stream;1"].createInstance(Ci.nsIFileInputStream);
        stream.init(file, -1, 0, 0);
        try {
            return Cc["@mozilla.org/xmlextras/domparser;1"].createInstance(Ci.nsIDOMParser)
                .parseFromStream(stream, "UTF-8", stream.available(), "text/xml");
        } finally {
            stream.close();
        }
    },

    exportNotes: function (notes, file) {
        var doc = Cc["@mozilla.org/xmlextras/domparser;1"].createInstance(Ci.nsIDOMParser)
            .parseFromString("<notes/>", "text/xml");
        for (var i = 0; i < notes.length; i++) {
            var element = doc.createElement("note");
            element.setAttribute("title", notes[i].title);
            element.appendChild(doc.createTextNode(notes[i].text));
            doc.documentElement.appendChild(element);
        }
        var stream = Cc["@mozilla.org/network/safe-file-output-stream;1"].createInstance(Ci.nsIFileOutputStream);
        stream.init(file, 0x02 | 0x08 | 0x20, 0644, 0);
        Cc["@mozilla.org/xmlextras/xmlserializer;1"].createInstance(Ci.nsIDOMSerializer)
            .serializeToStream(doc, stream, "UTF-8");
        stream.QueryInterface(Ci.nsISafeOutputStream).finish();
    },

    importNotes: function (file) {
        var list = this.parse(file).getElementsByTagName("note"), titles = [];
        for (var i = 0; i < list.length; i++) titles.push(list.item(i).getAttribute("title"));
        return titles;
    },

    describeStrings: function () {
        var count = 0, e = this.strings.getSimpleEnumeration();
        while (e.hasMoreElements()) {
            e.getNext().QueryInterface(Ci.nsIPropertyElement);
            count++;
        }
        this.say(this.text("strings", [count, this.PACKAGE_STRINGS]));
    }
};

try {
    Notes.start(WScript.Arguments(0));
} catch (e) {
    WScript.Echo("notes keeper failed: 0x" + (e.number >>> 0).toString(16).toUpperCase() + " " + (e.description || e.message || e));
    WScript.Quit(1);
}
