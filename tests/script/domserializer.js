// DOMSerializer: a node's markup as a string, and its whole document with a UTF-8 declaration
// through a FileOutputStream. MSXML's xml text is pretty-printed, so checks compare structure and
// the text around the declaration rather than whole strings.
eval(FSO.OpenTextFile(WScript.Arguments(1) + "\\lib\\files.js", 1).ReadAll());

// Written files go below the temporary folder, which the directory service hands out as safe.
var FOLDER = "zbx_domserializer_test";
var DIR = tempFolder() + "\\" + FOLDER;
ensureFolder(DIR);
var DECL = "<?xml version='1.0' encoding='UTF-8'?>";

// Read back as safe files too: the reading rule keeps an unsafe one outside the private data folder.
function localFile(path) { return safeFile(path.substring(DIR.length + 1)); }
function safeFile(name) {
    var f = safeTemp(FOLDER);
    f.append(name);
    return f;
}
function openOutput(name) { return outputStream(safeFile(name), 0x02 | 0x08 | 0x20); }
// Serializes root into a new file and gives the file's path.
function writeThrough(root, name, charset) {
    var path = DIR + "\\" + name;
    var out = openOutput(name);
    var s = new ActiveXObject("Zembrolatix.DOMSerializer");
    if (charset === undefined) s.serializeToStream(root, out);
    else s.serializeToStream(root, out, charset);
    out.close();
    return path;
}
// The file's bytes, each as one character (through the ANSI code page: compare ASCII text only).
function bytesOf(path) { return readAnsi(path); }
function xmlDoc(text) {
    var doc = new ActiveXObject("Microsoft.XMLDOM");
    doc.async = false;
    ok(doc.loadXML(text), "loads: " + text);
    return doc;
}
function load(path) {
    var doc = new ActiveXObject("Microsoft.XMLDOM");
    doc.async = false;
    ok(doc.load(path), "the written file is well-formed XML");
    return doc;
}
function utf8Length(s) {
    var n = 0;
    for (var i = 0; i < s.length; i++) {
        var c = s.charCodeAt(i);
        if (c < 0x80) n += 1;
        else if (c < 0x800) n += 2;
        else if (c >= 0xD800 && c < 0xDC00) { n += 4; i++; }
        else n += 3;
    }
    return n;
}

test("a declaration is replaced without a line break added", function () {
    var doc = xmlDoc('<?xml version="1.0"?><a/>');
    var text = doc.xml;
    var after = text.substring(text.indexOf("?>") + 2);
    eq(bytesOf(writeThrough(doc, "declared.xml")), DECL + after);
    eq(load(DIR + "\\declared.xml").documentElement.nodeName, "a", "root");
});

test("a document without a declaration gets it and one line feed in front", function () {
    var doc = xmlDoc("<a><b>x</b></a>");
    ok(doc.xml.indexOf("<?xml") < 0, "MSXML gives no declaration");
    eq(bytesOf(writeThrough(doc, "undeclared.xml")), DECL + "\n" + doc.xml);
});

test("another encoding's declaration is replaced in the file but kept by serializeToString", function () {
    var doc = xmlDoc('<?xml version="1.0" encoding="ISO-8859-1"?>\r\n<a>caf\u00E9</a>');
    var s = new ActiveXObject("Zembrolatix.DOMSerializer");
    eq(s.serializeToString(doc), doc.xml, "string form");
    ok(s.serializeToString(doc).indexOf("ISO-8859-1") > 0, "declaration kept");
    var written = bytesOf(writeThrough(doc, "latin.xml"));
    eq(written.indexOf(DECL), 0, "UTF-8 declaration first");
    ok(written.indexOf("ISO-8859-1") < 0, "old declaration gone");
    eq(load(DIR + "\\latin.xml").documentElement.text, "caf\u00E9", "text read back");
});

test("an element as root writes its whole document, but only itself as a string", function () {
    var doc = xmlDoc("<r><e k='v'>in</e><f/></r>");
    var e = doc.documentElement.firstChild;
    var s = new ActiveXObject("Zembrolatix.DOMSerializer");
    eq(s.serializeToString(e), e.xml, "string form of the element");
    ok(s.serializeToString(e).indexOf("<f") < 0, "no sibling in the string");
    var back = load(writeThrough(e, "element.xml"));
    eq(back.documentElement.nodeName, "r", "whole document written");
    eq(back.documentElement.childNodes.length, 2, "with every child");
    eq(bytesOf(DIR + "\\element.xml"), DECL + "\n" + doc.xml, "same as writing the document");
    // A text node inside, too.
    eq(bytesOf(writeThrough(e.firstChild, "text-node.xml")), DECL + "\n" + doc.xml, "from a text node");
});

test("non-ASCII text is written as UTF-8", function () {
    var doc = xmlDoc("<a/>");
    var text = "caf\u00E9 \u20AC \u4E2D \uD834\uDD1E";
    doc.documentElement.text = text;
    var path = writeThrough(doc, "utf8.xml");
    var whole = DECL + "\n" + doc.xml;
    eq(FSO.GetFile(path).Size, utf8Length(whole), "byte count");
    ok(FSO.GetFile(path).Size > whole.length, "more bytes than characters");
    ok(hexBytes(path).indexOf("63 61 66 C3 A9 20 E2 82 AC 20 E4 B8 AD 20 F0 9D 84 9E") > 0, "UTF-8 bytes");
    eq(load(path).documentElement.text, text, "text read back");
});

test("round trip through DOMParser, a change, and the serializer", function () {
    var src = writeThrough(xmlDoc("<list><item n='1'/></list>"), "round-in.xml");
    var input = inputStream(localFile(src));
    var doc = new ActiveXObject("Zembrolatix.DOMParser").parseFromStream(input, "UTF-8", 0, "text/xml");
    input.close();
    var item = doc.createElement("item");
    item.setAttribute("n", "2");
    doc.documentElement.appendChild(item);
    var back = load(writeThrough(doc, "round-out.xml"));
    eq(back.documentElement.childNodes.length, 2, "both items");
    eq(back.documentElement.lastChild.getAttribute("n"), "2", "the new item");
    eq(bytesOf(DIR + "\\round-out.xml").indexOf(DECL), 0, "one declaration, first");
    eq(bytesOf(DIR + "\\round-out.xml").lastIndexOf("<?xml"), 0, "and only one");
});

test("any charset, or none, changes nothing", function () {
    var doc = xmlDoc("<a>\u00E9</a>");
    var plain = bytesOf(writeThrough(doc, "charset-none.xml"));
    var charsets = ["UTF-8", "ISO-8859-1", "UTF-16", "", null, 0];
    for (var i = 0; i < charsets.length; i++)
        eq(bytesOf(writeThrough(doc, "charset-" + i + ".xml", charsets[i])), plain, "charset " + charsets[i]);
});

test("targets other than an output stream are refused with their codes", function () {
    var doc = xmlDoc("<a/>");
    var s = new ActiveXObject("Zembrolatix.DOMSerializer");
    var src = writeThrough(doc, "target.xml");
    var input = inputStream(localFile(src));
    throwsHr(E_NOTIMPL, function () { s.serializeToStream(doc, input); }, "input stream");
    input.close();
    throwsHr(E_NOTIMPL, function () { s.serializeToStream(doc, localFile(src)); }, "LocalFile");
    throwsHr(E_NOTIMPL, function () { s.serializeToStream(doc, doc); }, "XML document");
    throwsHr(E_INVALIDARG, function () { s.serializeToStream(doc, src); }, "path string");
    throwsHr(E_INVALIDARG, function () { s.serializeToStream(doc, null); }, "null");
    eq(bytesOf(src), DECL + "\n" + doc.xml, "file unchanged");
});

test("roots that are not MSXML nodes are refused", function () {
    var s = new ActiveXObject("Zembrolatix.DOMSerializer");
    var out = openOutput("roots.xml");
    var roots = [null, undefined, "<a/>", 1, {}, out];
    for (var i = 0; i < roots.length; i++) {
        throwsHr(E_INVALIDARG, function () { s.serializeToString(roots[i]); }, "string of root " + i);
        throwsHr(E_INVALIDARG, function () { s.serializeToStream(roots[i], out); }, "stream of root " + i);
    }
    out.close();
    eq(FSO.GetFile(DIR + "\\roots.xml").Size, 0, "nothing written");
});

test("a closed stream passes on its failure", function () {
    var out = openOutput("closed.xml");
    out.close();
    throwsHr(E_UNEXPECTED, function () { new ActiveXObject("Zembrolatix.DOMSerializer").serializeToStream(xmlDoc("<a/>"), out); });
});

test("clean up", function () {
    FSO.DeleteFolder(DIR, true);
    ok(!FSO.FolderExists(DIR), "folder removed");
});
