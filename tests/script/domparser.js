// DOMParser: MSXML documents from files named by a FileInputStream.
eval(FSO.OpenTextFile(WScript.Arguments(1) + "\\lib\\files.js", 1).ReadAll());

var DIR = tempFolder() + "\\zbx_domparser_test";
ensureFolder(DIR);

// Writes text as single bytes (each character below U+0100 becomes that byte).
function writeBytes(name, text) {
    var s = FSO.CreateTextFile(DIR + "\\" + name, true, false);
    s.Write(text);
    s.Close();
    return DIR + "\\" + name;
}
// A local file the reading rule lets the test read: the folder above lies in the temporary folder,
// which the directory service hands out as safe.
function localFile(path) {
    var f = directory("TmpD");
    f.append(path.substring(tempFolder().length + 1));
    return f;
}
function openStream(path) { return inputStream(localFile(path)); }
function parse(stream, charset) {
    var p = new ActiveXObject("Zembrolatix.DOMParser");
    return p.parseFromStream(stream, charset === undefined ? "UTF-8" : charset, 0, "text/xml");
}

var GOOD = writeBytes("good.xml", '<?xml version="1.0" encoding="UTF-8"?>\r\n<root a="1"><child>caf\u00C3\u00A9</child><child/></root>\r\n');
var LATIN = writeBytes("latin.xml", '<?xml version="1.0" encoding="ISO-8859-1"?><root>caf\u00E9</root>');
var BAD = writeBytes("bad.xml", "<root><child></root>");

test("a fresh stream gives the file's document and stays at position 0", function () {
    var stream = openStream(GOOD);
    var doc = parse(stream);
    eq(doc.documentElement.nodeName, "root", "root element");
    eq(doc.documentElement.getAttribute("a"), "1", "attribute");
    eq(doc.documentElement.childNodes.length, 2, "children");
    eq(doc.documentElement.firstChild.text, "caf\u00E9", "UTF-8 text decoded");
    eq(stream.tell(), 0, "position after parsing");
    eq(stream.available(), FSO.GetFile(GOOD).Size, "nothing read from the stream");
    eq(doc.url, "", "no address: the document came from bytes");
    // The document is MSXML's own and can be changed and read as usual.
    doc.documentElement.appendChild(doc.createElement("added"));
    ok(doc.xml.indexOf("<added/>") > 0, "changed document");
    // The same stream parses again.
    eq(parse(stream).documentElement.nodeName, "root", "second parse");
});

test("a moved stream is refused until it is back at 0", function () {
    var stream = openStream(GOOD);
    stream.seek(0, 3);
    throwsHr(E_NOTIMPL, function () { parse(stream); });
    stream.seek(2, 0);
    throwsHr(E_NOTIMPL, function () { parse(stream); }, "at the end");
    stream.seek(0, 0);
    eq(parse(stream).documentElement.nodeName, "root", "after seeking back");
});

test("objects other than a file input stream are refused with their codes", function () {
    var p = new ActiveXObject("Zembrolatix.DOMParser");
    throwsHr(E_NOTIMPL, function () { p.parseFromStream(localFile(GOOD), "UTF-8", 0, "text/xml"); }, "LocalFile");
    throwsHr(E_NOTIMPL, function () { p.parseFromStream(new ActiveXObject("Microsoft.XMLDOM"), "", 0, ""); }, "XML document");
    throwsHr(E_INVALIDARG, function () { p.parseFromStream(GOOD, "UTF-8", 0, "text/xml"); }, "path string");
    throwsHr(E_INVALIDARG, function () { p.parseFromStream(null, "UTF-8", 0, "text/xml"); }, "null");
    throwsHr(E_INVALIDARG, function () { p.parseFromStream(undefined, "UTF-8", 0, "text/xml"); }, "undefined");
    throwsHr(E_INVALIDARG, function () { p.parseFromStream(42, "UTF-8", 0, "text/xml"); }, "number");
});

test("a file that is not well-formed fails", function () {
    throwsHr(E_FAIL, function () { parse(openStream(BAD)); });
});

test("a closed stream passes on the failure of its position", function () {
    var stream = openStream(GOOD);
    stream.close();
    throwsHr(E_FAIL, function () { parse(stream); });
});

test("parseFromString is not supported", function () {
    var p = new ActiveXObject("Zembrolatix.DOMParser");
    throwsHr(E_NOTIMPL, function () { p.parseFromString("<root/>", "text/xml"); });
    throwsHr(E_NOTIMPL, function () { p.parseFromString("", ""); });
});

test("the charset argument makes no difference", function () {
    var charsets = ["UTF-8", "ISO-8859-1", "UTF-16", "", null, 7];
    for (var i = 0; i < charsets.length; i++) {
        eq(parse(openStream(LATIN), charsets[i]).documentElement.text, "caf\u00E9", "Latin-1 file, charset " + charsets[i]);
        eq(parse(openStream(GOOD), charsets[i]).documentElement.firstChild.text, "caf\u00E9", "UTF-8 file, charset " + charsets[i]);
    }
});

test("a byte order mark decides the encoding of a file without a declaration", function () {
    function utf16(text) { return text.replace(/[\s\S]/g, function (c) { return c + "\u0000"; }); }
    var rows = [["utf8-bom.xml", "\u00EF\u00BB\u00BF<r>caf\u00C3\u00A9</r>", "UTF-8 with its mark"],
                ["utf16.xml", "\u00FF\u00FE" + utf16("<r>caf\u00E9</r>"), "UTF-16 little-endian"],
                ["bare.xml", "<r>caf\u00C3\u00A9</r>", "no mark, no declaration: UTF-8"]];
    for (var i = 0; i < rows.length; i++)
        eq(parse(openStream(writeBytes(rows[i][0], rows[i][1]))).documentElement.text, "caf\u00E9", rows[i][2]);
});

test("clean up", function () {
    FSO.DeleteFolder(DIR, true);
    ok(!FSO.FolderExists(DIR), "folder removed");
});
