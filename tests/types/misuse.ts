// Each marked line must be refused by the compiler with the error code it names.
const file = new ActiveXObject("Zembrolatix.LocalFile");
file.initWithPath(42); // error TS2345
file.appendd("x"); // error TS2551
const size: string = file.fileSize; // error TS2322
file.path = "C:\\x"; // error TS2540
new ActiveXObject("Zembrolatix.PrefService").getBranch("a.").setIntPref("n", "1"); // error TS2345
new ActiveXObject("Zembrolatix.FileOutputStream").write("x"); // error TS2554
new ActiveXObject("Zembrolatix.WebBrowserPersist").saveURI("file:///C:/a", "C:\\b"); // error TS2345
Services.prefs.getIntPref(7); // error TS2345
Cc["@mozilla.org/file/local;1"].createInstance(Ci.nsILocalFile).nosuch(); // error TS2339
Ci.nsIFilePicker.modeSave = 2; // error TS2540
