// Creates every class of the installed library by its two ProgIDs (the version-independent names are
// the arguments) and checks that the installed module answers.
var args = WScript.Arguments;
for (var i = 0; i < args.length; i++) {
    (function (progId) {
        test("create " + progId, function () {
            ok(new ActiveXObject(progId) !== null, progId);
            ok(new ActiveXObject(progId + ".1") !== null, progId + ".1");
        });
    })(args(i));
}
test("the installed module answers", function () {
    var file = new ActiveXObject("Zembrolatix.LocalFile");
    file.initWithPath("C:\\Program Files\\Zembrolatix\\Zembrolatix.dll");
    ok(file.exists(), "the installed DLL is found through the installed class");
});
