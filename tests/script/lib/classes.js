// The names of the library's classes, as the coclasses of its interface description
// (idl/Zembrolatix.idl) name them, in their order; loaded with eval like lib/files.js.
var CLASSES = (function () {
    var repository = FSO.GetParentFolderName(FSO.GetParentFolderName(WScript.Arguments(1)));
    var idl = FSO.OpenTextFile(FSO.BuildPath(repository, "idl\\Zembrolatix.idl"), 1).ReadAll();
    var names = [], coclass = /\bcoclass\s+(\w+)\s*\{/g, match;
    while ((match = coclass.exec(idl)) !== null) names.push(match[1]);
    return names;
})();
