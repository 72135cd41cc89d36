// Script code using every class of the library, and XPCOM-style code over the compatibility
// script: compiles without errors with --strict against the generated declarations.
const IID_ILocalFile = "{F75B5C32-B42D-416D-93AC-8798869674CE}";

const dirs = new ActiveXObject("Zembrolatix.DirectoryService");
const profile: Zembrolatix.LocalFile = dirs.get("ProfD", IID_ILocalFile);
profile.append("notes.txt");
const size: number = profile.exists() ? profile.fileSize : 0;
const file = new ActiveXObject("Zembrolatix.LocalFile.1");
file.initWithFile(profile);
const safe: boolean = file.GetSafe();

const out = new ActiveXObject("Zembrolatix.FileOutputStream");
out.init(file, 0x08, 0, 0);
const written: number = out.write("hello", 5);
out.finish();
const input = new ActiveXObject("Zembrolatix.FileInputStream");
input.init(file, 0, 0, 0);
input.seek(2, -1);
const left: number = input.available() + input.tell();
const doc = new ActiveXObject("Zembrolatix.DOMParser").parseFromStream(input, "UTF-8", left, "text/xml");
const rootName: string = doc.documentElement.nodeName;
input.close();
const text: string = new ActiveXObject("Zembrolatix.DOMSerializer").serializeToString(doc.documentElement);

const branch = new ActiveXObject("Zembrolatix.PrefService").getBranch("extensions.sample.");
branch.setIntPref("count", size + written);
const again = new ActiveXObject("Zembrolatix.PrefBranch");
again.InitWithKey("Zembrolatix\\extensions\\sample\\");
const flag: boolean = again.getBoolPref("flag") || again.prefHasUserValue("count");

const bundle = new ActiveXObject("Zembrolatix.StringBundleService").createBundle("chrome://sample/locale/app.properties");
const title: string = bundle.GetStringFromName("title");
const entries = bundle.getSimpleEnumeration();
while (entries.hasMoreElements()) {
    const element: Zembrolatix.PropertyElement = entries.getNext();
    element.value = String(element.key) + title;
}
const own = new ActiveXObject("Zembrolatix.StringBundle");
own.init("C:\\strings.properties");
const enumerator = new ActiveXObject("Zembrolatix.SimpleEnumerator");
const more: boolean = enumerator.hasMoreElements();
const pair = new ActiveXObject("Zembrolatix.PropertyElement");
pair.key = "k";
const implemented: boolean = pair.Implements("{B4089FA6-4FA3-4141-BAFF-615FB472A7E2}") && more && safe && flag;

const logger = new ActiveXObject("Zembrolatix.Logger");
logger.init("sample");
if (logger.isEnabled) logger.debug(rootName + text + implemented);
logger.dumpProperties();

const persist = new ActiveXObject("Zembrolatix.WebBrowserPersist");
persist.progressListener = (current: number, max: number) => logger.warn(current + "/" + max);
persist.saveURI("file:///C:/source.txt", profile);

const picker = new ActiveXObject("Zembrolatix.FilePicker");
picker.init(null, "Open", 0);
picker.appendFilters(0x01 | 0x04);
picker.filterIndex = 1;
if (picker.show() === 0) logger.error(picker.file.path);

const finder = new ActiveXObject("Zembrolatix.InterfaceFinder");
const isFile: boolean = finder.Implements(profile, IID_ILocalFile);
const windows = new ActiveXObject("Zembrolatix.WindowManager");
const resolved: string = windows.resolveURL("chrome://sample/content/main.html");
windows.openDialog(resolved, 400, 300, "first", 2, isFile);
const transfer = new ActiveXObject("Zembrolatix.ArgumentTransfer");
transfer.Detach();
const location: string = new ActiveXObject("Zembrolatix.ContextMenuHelper").GetDocumentLocation({});
logger.debug(location);

// The same kind of work written for XPCOM, over compat/xpcom.js.
const prof = Cc["@mozilla.org/file/directory_service;1"].getService(Ci.nsIProperties).get("ProfD", Ci.nsIFile);
prof.append("log.txt");
const stream = Cc["@mozilla.org/network/file-output-stream;1"].createInstance(Ci.nsIFileOutputStream);
stream.init(prof, 0x02 | 0x08 | 0x20, 0o666, 0);
stream.write("line", 4);
stream.close();
const dir = Cc["@mozilla.org/file/local;1"].createInstance(Ci.nsILocalFile);
dir.initWithPath("C:\\data");
if (!dir.exists()) dir.create(Ci.nsIFile.DIRECTORY_TYPE, 0o755);
const prefs = Services.prefs.getBranch("extensions.sample.");
let count: number;
try { count = prefs.getIntPref("count"); } catch (e) { count = 0; }
prefs.setIntPref("count", count + 1);
const strings = Services.strings.createBundle("chrome://sample/locale/app.properties");
const all = strings.getSimpleEnumeration();
while (all.hasMoreElements()) {
    const prop: Zembrolatix.PropertyElement = all.getNext().QueryInterface(Ci.nsIPropertyElement);
    logger.debug(prop.key + "=" + prop.value + strings.formatStringFromName("hello", [count], 1));
}
const saver = Cc["@mozilla.org/embedding/browser/nsWebBrowserPersist;1"].createInstance(Ci.nsIWebBrowserPersist);
saver.progressListener = { onStateChange: (p, r, flags: number, status: number) => logger.debug(flags + ":" + status) };
saver.saveURI(Services.io.newURI("file:///C:/a.txt", null, null), null, null, null, null, prof);
const fp = Cc["@mozilla.org/filepicker;1"].createInstance(Ci.nsIFilePicker);
fp.init(null, "Save", Ci.nsIFilePicker.modeSave);
fp.appendFilters(Ci.nsIFilePicker.filterXML);
if (fp.show() !== Ci.nsIFilePicker.returnCancel && fp.file) logger.debug(fp.file.path);
try { dir.remove(false); } catch (e) { if ((e as { number: number }).number === Cr.NS_ERROR_FILE_ACCESS_DENIED) logger.warn("denied"); }
Services.ww.openWindow(null, "chrome://sample/content/options.html", "options", "modal,width=400", [count, prefs]);
