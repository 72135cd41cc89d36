// Declarations for the globals of compat/xpcom.js (Components, Cc, Ci, Cr, Services), over the
// declarations generated from the type library (zembrolatix.d.ts, beside this file in the build).
/// <reference path="zembrolatix.d.ts" />

declare namespace XPCOM {
    /** An entry of Ci: accepted wherever the library takes an interface identifier (its text is the IID). */
    interface nsIJSIID<T = unknown> {
        readonly name: string;
        /** The library interface's IID in registry form. */
        readonly number: string;
        equals(other: unknown): boolean;
        /** Phantom member: the object type this identifier stands for. */
        readonly __type?: T;
    }
    type IID<T = unknown> = string & nsIJSIID<T>;
    type InterfaceOf<I> = I extends nsIJSIID<infer T> ? T : unknown;

    interface nsIJSCID<T> {
        readonly name: string;
        createInstance(iid?: IID): T;
        getService(iid?: IID): T;
    }

    interface FileConstants { readonly NORMAL_FILE_TYPE: 0; readonly DIRECTORY_TYPE: 1 }
    interface SeekConstants { readonly NS_SEEK_SET: 0; readonly NS_SEEK_CUR: 1; readonly NS_SEEK_END: 2 }
    interface PrefConstants {
        readonly PREF_INVALID: 0; readonly PREF_STRING: 32; readonly PREF_INT: 64; readonly PREF_BOOL: 128;
    }
    interface FilePickerConstants {
        readonly modeOpen: 0; readonly modeSave: 1; readonly modeGetFolder: 2; readonly modeOpenMultiple: 3;
        readonly returnOK: 0; readonly returnCancel: 1; readonly returnReplace: 2;
        readonly filterAll: 0x01; readonly filterHTML: 0x02; readonly filterText: 0x04; readonly filterImages: 0x08;
        readonly filterXML: 0x10; readonly filterXUL: 0x20; readonly filterApps: 0x40;
    }
    interface PersistConstants {
        readonly PERSIST_FLAGS_NONE: 0; readonly PERSIST_FLAGS_FROM_CACHE: 1; readonly PERSIST_FLAGS_BYPASS_CACHE: 2;
        readonly PERSIST_FLAGS_REPLACE_EXISTING_FILES: 32; readonly PERSIST_FLAGS_CLEANUP_ON_FAILURE: 8192;
        readonly PERSIST_STATE_READY: 1; readonly PERSIST_STATE_SAVING: 2; readonly PERSIST_STATE_FINISHED: 3;
    }
    interface ProgressConstants {
        readonly STATE_START: 0x1; readonly STATE_STOP: 0x10; readonly STATE_IS_REQUEST: 0x10000;
        readonly STATE_IS_DOCUMENT: 0x20000; readonly STATE_IS_NETWORK: 0x40000; readonly STATE_IS_WINDOW: 0x80000;
    }

    interface nsISupportsString { data: string; QueryInterface(iid: IID): nsISupportsString }
    interface nsIURI {
        readonly spec: string; readonly scheme: string; readonly prePath: string; readonly host: string;
        readonly port: number; readonly hostPort: string; readonly path: string; readonly pathQueryRef: string;
        readonly filePath: string; readonly query: string; readonly ref: string; readonly userPass: string;
        /** nsIFileURL: the file of a file: address. */
        readonly file?: Zembrolatix.LocalFile;
        schemeIs(scheme: string): boolean;
        resolve(relative: string): string;
        equals(other: nsIURI): boolean;
        clone(): nsIURI;
        QueryInterface(iid: IID): nsIURI;
    }
    interface nsIObserver { observe(subject: unknown, topic: string, data: string | null): void }
    type Observer = nsIObserver | ((subject: unknown, topic: string, data: string | null) => void);
    interface nsIObserverService {
        addObserver(observer: Observer, topic: string, ownsWeak?: boolean): void;
        removeObserver(observer: Observer, topic: string): void;
        notifyObservers(subject: unknown, topic: string, data?: string | null): void;
    }
    interface nsIPromptService {
        alert(parent: object | null, title: string, text: string): void;
        confirm(parent: object | null, title: string, text: string): boolean;
        prompt(parent: object | null, title: string, text: string, value: { value: string }, checkMsg: string | null, check: object): boolean;
    }
    interface nsIXULAppInfo { readonly name: string; readonly vendor: string; readonly version: string; readonly OS: string }
    /** What openWindow gives: the new window's object. */
    interface ChildWindow { readonly closed: boolean; readonly window: unknown; readonly returnValue?: unknown; close(): void }
    interface FileUtils {
        readonly MODE_RDONLY: number; readonly MODE_WRONLY: number; readonly MODE_RDWR: number; readonly MODE_CREATE: number;
        readonly MODE_APPEND: number; readonly MODE_TRUNCATE: number; readonly PERMS_FILE: number; readonly PERMS_DIRECTORY: number;
        getFile(key: string, path: string[]): Zembrolatix.LocalFile;
        getDir(key: string, path: string[], shouldCreate?: boolean): Zembrolatix.LocalFile;
        openFileOutputStream(file: Zembrolatix.ILocalFile, modeFlags?: number): Zembrolatix.FileOutputStream;
        openSafeFileOutputStream(file: Zembrolatix.ILocalFile, modeFlags?: number): Zembrolatix.FileOutputStream;
        closeSafeFileOutputStream(stream: Zembrolatix.FileOutputStream): void;
    }
    interface NetUtil {
        newURI(target: string | nsIURI | Zembrolatix.ILocalFile, charset?: string | null, base?: nsIURI | null): nsIURI;
        asyncFetch(source: unknown, callback: (stream: Zembrolatix.FileInputStream | null, status: number) => void): void;
        readInputStreamToString(stream: unknown, count: number, options?: { charset?: string }): string;
    }

    /** A preference branch: full names are split at their last dot (see compat/xpcom.js). */
    interface nsIPrefBranch extends PrefConstants {
        readonly root: string;
        getBranch(root?: string): nsIPrefBranch;
        getBoolPref(name: string, defaultValue?: boolean): boolean;
        setBoolPref(name: string, value: boolean): void;
        getIntPref(name: string, defaultValue?: number): number;
        setIntPref(name: string, value: number): void;
        getCharPref(name: string, defaultValue?: string): string;
        setCharPref(name: string, value: string): void;
        getStringPref(name: string, defaultValue?: string): string;
        setStringPref(name: string, value: string): void;
        prefHasUserValue(name: string): boolean;
        getPrefType(name: string): number;
        getComplexValue(name: string, iid: IID): nsISupportsString;
        setComplexValue(name: string, iid: IID, value: { data: string }): void;
        savePrefFile(file?: unknown): void;
        QueryInterface(iid: IID): nsIPrefBranch;
    }
    interface nsIProperties {
        get(key: "ProfD" | "ProfLD" | "TmpD" | string, iid?: IID): Zembrolatix.LocalFile;
        has(key: string): boolean;
        QueryInterface(iid: IID): nsIProperties;
    }
    interface nsIStringBundle {
        GetStringFromName(name: string): string;
        formatStringFromName(name: string, params: ArrayLike<unknown>, length?: number): string;
        getSimpleEnumeration(): Zembrolatix.ISimpleEnumerator;
        QueryInterface(iid: IID): nsIStringBundle;
    }
    interface nsIStringBundleService { createBundle(url: string): nsIStringBundle; QueryInterface(iid: IID): nsIStringBundleService }
    interface nsIDOMParser {
        parseFromStream(stream: Zembrolatix.IFileInputStream, charset: string | null, length: number, type: string): Zembrolatix.IXMLDOMDocument;
        parseFromString(text: string, type?: string): Zembrolatix.IXMLDOMDocument;
        QueryInterface(iid: IID): nsIDOMParser;
    }
    interface nsIWebProgressListener {
        onStateChange?(progress: unknown, request: unknown, stateFlags: number, status: number): void;
        onProgressChange?(progress: unknown, request: unknown, cur: number, max: number, totalCur: number, totalMax: number): void;
    }
    type SaveSource = string | nsIURI;
    type SaveTarget = Zembrolatix.ILocalFile | nsIURI | string;
    interface nsIWebBrowserPersist extends PersistConstants {
        progressListener: nsIWebProgressListener | ((current: number, max: number) => void) | null;
        persistFlags: number;
        readonly currentState: number;
        readonly result: number;
        saveURI(uri: SaveSource, file: SaveTarget): void;
        saveURI(uri: SaveSource, cacheKey: unknown, referrer: unknown, postData: unknown, extraHeaders: unknown,
                file: SaveTarget, privacyContext?: unknown): void;
        saveURI(uri: SaveSource, cacheKey: unknown, referrer: unknown, referrerPolicy: unknown, postData: unknown,
                extraHeaders: unknown, file: SaveTarget, privacyContext?: unknown, ...more: unknown[]): void;
        cancelSave(): void;
        QueryInterface(iid: IID): nsIWebBrowserPersist;
    }
    interface nsISimpleEnumerator<T> { hasMoreElements(): boolean; getNext(): T }
    interface nsIFilePicker extends FilePickerConstants {
        init(parent: object | null, title: string, mode: number): void;
        appendFilter(title: string, filter: string): void;
        appendFilters(filterMask: number): void;
        show(): number;
        open(callback: ((result: number) => void) | { done(result: number): void }): void;
        defaultString: string;
        defaultExtension: string;
        displayDirectory: Zembrolatix.ILocalFile | null;
        /** Counted from 0. */
        filterIndex: number;
        readonly file: Zembrolatix.ILocalFile | null;
        readonly fileURL: nsIURI | null;
        readonly files: nsISimpleEnumerator<Zembrolatix.ILocalFile> | null;
        QueryInterface(iid: IID): nsIFilePicker;
    }
    interface nsIIOService {
        newURI(spec: string, charset?: string | null, base?: unknown): nsIURI;
        newFileURI(file: Zembrolatix.ILocalFile): nsIURI;
        QueryInterface(iid: IID): nsIIOService;
    }
    interface nsIConverterOutputStream {
        init(stream: Zembrolatix.IOutputStream, charset: string, bufferSize?: number, replacementChar?: number): void;
        writeString(text: string): boolean;
        flush(): void;
        close(): void;
        QueryInterface(iid: IID): nsIConverterOutputStream;
    }
    interface nsIConsoleService {
        logStringMessage(message: string): void;
        logMessage(message: { message: string } | string): void;
        QueryInterface(iid: IID): nsIConsoleService;
    }

    interface nsIWindowWatcher {
        /** features: "width=..,height=..", "modal" or "fullscreen"; at most ten values. */
        openWindow(parent: object | null, url: string, name: string | null, features: string | null, values?: unknown): ChildWindow;
        QueryInterface(iid: IID): nsIWindowWatcher;
    }

    interface Interfaces {
        nsISupports: IID<unknown>;
        nsIFile: IID<Zembrolatix.LocalFile> & FileConstants;
        nsILocalFile: IID<Zembrolatix.LocalFile> & FileConstants;
        nsISeekableStream: IID<Zembrolatix.ISeekableStream> & SeekConstants;
        nsIInputStream: IID<Zembrolatix.IInputStream>;
        nsIFileInputStream: IID<Zembrolatix.FileInputStream>;
        nsIOutputStream: IID<Zembrolatix.IOutputStream>;
        nsIFileOutputStream: IID<Zembrolatix.FileOutputStream>;
        nsISafeOutputStream: IID<Zembrolatix.FileOutputStream>;
        nsIProperties: IID<nsIProperties>;
        nsIDirectoryService: IID<nsIProperties>;
        nsIPrefService: IID<nsIPrefBranch>;
        nsIPrefBranch: IID<nsIPrefBranch> & PrefConstants;
        nsIPrefBranch2: IID<nsIPrefBranch> & PrefConstants;
        nsIStringBundleService: IID<nsIStringBundleService>;
        nsIStringBundle: IID<nsIStringBundle>;
        nsISimpleEnumerator: IID<Zembrolatix.ISimpleEnumerator>;
        nsIPropertyElement: IID<Zembrolatix.PropertyElement>;
        nsIDOMParser: IID<nsIDOMParser>;
        nsIDOMSerializer: IID<Zembrolatix.DOMSerializer>;
        nsIWebBrowserPersist: IID<nsIWebBrowserPersist> & PersistConstants;
        nsIFilePicker: IID<nsIFilePicker> & FilePickerConstants;
        nsIConsoleService: IID<nsIConsoleService>;
        nsIDOMDocument: IID<Zembrolatix.IXMLDOMDocument>;
        nsIDOMNode: IID<Zembrolatix.IXMLDOMNode>;
        nsIDOMElement: IID<Zembrolatix.IXMLDOMElement>;
        nsIWebProgressListener: IID<nsIWebProgressListener> & ProgressConstants;
        nsIURI: IID<nsIURI>;
        nsIFileURL: IID<nsIURI>;
        nsIIOService: IID<nsIIOService>;
        nsISupportsString: IID<nsISupportsString>;
        nsIConverterOutputStream: IID<nsIConverterOutputStream>;
        nsIUnicharOutputStream: IID<nsIConverterOutputStream>;
        nsIConsoleMessage: IID<{ message: string }>;
        nsIWindowWatcher: IID<nsIWindowWatcher>;
    }

    interface Classes {
        "@mozilla.org/file/local;1": nsIJSCID<Zembrolatix.LocalFile>;
        "@mozilla.org/network/file-input-stream;1": nsIJSCID<Zembrolatix.FileInputStream>;
        "@mozilla.org/network/file-output-stream;1": nsIJSCID<Zembrolatix.FileOutputStream>;
        "@mozilla.org/network/safe-file-output-stream;1": nsIJSCID<Zembrolatix.FileOutputStream>;
        "@mozilla.org/file/directory_service;1": nsIJSCID<nsIProperties>;
        "@mozilla.org/preferences-service;1": nsIJSCID<nsIPrefBranch>;
        "@mozilla.org/intl/stringbundle;1": nsIJSCID<nsIStringBundleService>;
        "@mozilla.org/xmlextras/domparser;1": nsIJSCID<nsIDOMParser>;
        "@mozilla.org/xmlextras/xmlserializer;1": nsIJSCID<Zembrolatix.DOMSerializer>;
        "@mozilla.org/embedding/browser/nsWebBrowserPersist;1": nsIJSCID<nsIWebBrowserPersist>;
        "@mozilla.org/filepicker;1": nsIJSCID<nsIFilePicker>;
        "@mozilla.org/network/io-service;1": nsIJSCID<nsIIOService>;
        "@mozilla.org/intl/converter-output-stream;1": nsIJSCID<nsIConverterOutputStream>;
        "@mozilla.org/consoleservice;1": nsIJSCID<nsIConsoleService>;
        "@mozilla.org/supports-string;1": nsIJSCID<nsISupportsString>;
        "@mozilla.org/embedcomp/window-watcher;1": nsIJSCID<nsIWindowWatcher>;
    }

    /** XPCOM result names with the library's HRESULT for the same condition, signed like e.number. */
    interface Results {
        readonly NS_OK: number; readonly NS_ERROR_NOT_IMPLEMENTED: number; readonly NS_ERROR_NO_INTERFACE: number;
        readonly NS_ERROR_NULL_POINTER: number; readonly NS_ERROR_INVALID_POINTER: number;
        readonly NS_ERROR_FAILURE: number; readonly NS_ERROR_UNEXPECTED: number;
        readonly NS_ERROR_NOT_INITIALIZED: number; readonly NS_ERROR_OUT_OF_MEMORY: number;
        readonly NS_ERROR_INVALID_ARG: number; readonly NS_ERROR_ILLEGAL_VALUE: number;
        readonly NS_ERROR_FILE_ACCESS_DENIED: number;
    }

    interface Services {
        prefs: nsIPrefBranch;
        dirsvc: nsIProperties;
        strings: nsIStringBundleService;
        io: nsIIOService;
        console: nsIConsoleService;
        ww: nsIWindowWatcher;
        obs: nsIObserverService;
        prompt: nsIPromptService;
        appinfo: nsIXULAppInfo;
    }
}

declare var Components: {
    readonly classes: XPCOM.Classes;
    readonly interfaces: XPCOM.Interfaces;
    readonly results: XPCOM.Results;
    readonly utils: typeof Cu;
    Exception(message: string, result?: number): Error;
    isSuccessCode(result: number): boolean;
    Constructor(contract: string, iid?: unknown, initializer?: string): new (...args: unknown[]) => any;
};
declare var Cu: { import(url: string, scope?: object): any; reportError(error: unknown): void };
declare var ChromeUtils: { import(url: string, scope?: object): any };
/** Defined by Cu.import("resource://gre/modules/FileUtils.jsm") and NetUtil.jsm. */
declare var FileUtils: XPCOM.FileUtils;
declare var NetUtil: XPCOM.NetUtil;
declare var Cc: XPCOM.Classes;
declare var Ci: XPCOM.Interfaces;
declare var Cr: XPCOM.Results;
declare var Services: XPCOM.Services;
