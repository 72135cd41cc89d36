// Declarations for script code using Zembrolatix, generated from the ZembrolatixLib type library at build time.
// Do not edit: rebuild instead.

declare namespace Zembrolatix {
    /** An enumeration of the type library, passed as a number. */
    type tagDOMNodeType = number;
    /** {2933BF80-7B36-11D2-B20E-00C04F983E60} */
    interface IXMLDOMNode {
        readonly nodeName: string;
        nodeValue: any;
        readonly nodeType: number;
        readonly parentNode: IXMLDOMNode;
        readonly childNodes: IXMLDOMNodeList;
        readonly firstChild: IXMLDOMNode;
        readonly lastChild: IXMLDOMNode;
        readonly previousSibling: IXMLDOMNode;
        readonly nextSibling: IXMLDOMNode;
        readonly attributes: IXMLDOMNamedNodeMap;
        insertBefore(newChild: IXMLDOMNode, refChild: any): IXMLDOMNode;
        replaceChild(newChild: IXMLDOMNode, oldChild: IXMLDOMNode): IXMLDOMNode;
        removeChild(childNode: IXMLDOMNode): IXMLDOMNode;
        appendChild(newChild: IXMLDOMNode): IXMLDOMNode;
        hasChildNodes(): boolean;
        readonly ownerDocument: IXMLDOMDocument;
        cloneNode(deep: boolean): IXMLDOMNode;
        readonly nodeTypeString: string;
        text: string;
        readonly specified: boolean;
        readonly definition: IXMLDOMNode;
        nodeTypedValue: any;
        dataType: any;
        readonly xml: string;
        transformNode(styleSheet: IXMLDOMNode): string;
        selectNodes(queryString: string): IXMLDOMNodeList;
        selectSingleNode(queryString: string): IXMLDOMNode;
        readonly parsed: boolean;
        readonly namespaceURI: string;
        readonly prefix: string;
        readonly baseName: string;
        transformNodeToObject(styleSheet: IXMLDOMNode, outputObject: any): void;
    }
    /** {2933BF82-7B36-11D2-B20E-00C04F983E60} */
    interface IXMLDOMNodeList {
        item(index: number): IXMLDOMNode;
        readonly length: number;
        nextNode(): IXMLDOMNode;
        reset(): void;
    }
    /** {2933BF83-7B36-11D2-B20E-00C04F983E60} */
    interface IXMLDOMNamedNodeMap {
        getNamedItem(name: string): IXMLDOMNode;
        setNamedItem(newItem: IXMLDOMNode): IXMLDOMNode;
        removeNamedItem(name: string): IXMLDOMNode;
        item(index: number): IXMLDOMNode;
        readonly length: number;
        getQualifiedItem(baseName: string, namespaceURI: string): IXMLDOMNode;
        removeQualifiedItem(baseName: string, namespaceURI: string): IXMLDOMNode;
        nextNode(): IXMLDOMNode;
        reset(): void;
    }
    /** {2933BF81-7B36-11D2-B20E-00C04F983E60} */
    interface IXMLDOMDocument extends IXMLDOMNode {
        readonly doctype: IXMLDOMDocumentType;
        readonly implementation: IXMLDOMImplementation;
        documentElement: IXMLDOMElement;
        createElement(tagName: string): IXMLDOMElement;
        createDocumentFragment(): IXMLDOMDocumentFragment;
        createTextNode(data: string): IXMLDOMText;
        createComment(data: string): IXMLDOMComment;
        createCDATASection(data: string): IXMLDOMCDATASection;
        createProcessingInstruction(target: string, data: string): IXMLDOMProcessingInstruction;
        createAttribute(name: string): IXMLDOMAttribute;
        createEntityReference(name: string): IXMLDOMEntityReference;
        getElementsByTagName(tagName: string): IXMLDOMNodeList;
        createNode(type: any, name: string, namespaceURI: string): IXMLDOMNode;
        nodeFromID(idString: string): IXMLDOMNode;
        load(xmlSource: any): boolean;
        readonly readyState: number;
        readonly parseError: IXMLDOMParseError;
        readonly url: string;
        async: boolean;
        abort(): void;
        loadXML(bstrXML: string): boolean;
        save(destination: any): void;
        validateOnParse: boolean;
        resolveExternals: boolean;
        preserveWhiteSpace: boolean;
        onreadystatechange: any;
        ondataavailable: any;
        ontransformnode: any;
    }
    /** {2933BF8B-7B36-11D2-B20E-00C04F983E60} */
    interface IXMLDOMDocumentType extends IXMLDOMNode {
        readonly name: string;
        readonly entities: IXMLDOMNamedNodeMap;
        readonly notations: IXMLDOMNamedNodeMap;
    }
    /** {2933BF8F-7B36-11D2-B20E-00C04F983E60} */
    interface IXMLDOMImplementation {
        hasFeature(feature: string, version: string): boolean;
    }
    /** {2933BF86-7B36-11D2-B20E-00C04F983E60} */
    interface IXMLDOMElement extends IXMLDOMNode {
        readonly tagName: string;
        getAttribute(name: string): any;
        setAttribute(name: string, value: any): void;
        removeAttribute(name: string): void;
        getAttributeNode(name: string): IXMLDOMAttribute;
        setAttributeNode(DOMAttribute: IXMLDOMAttribute): IXMLDOMAttribute;
        removeAttributeNode(DOMAttribute: IXMLDOMAttribute): IXMLDOMAttribute;
        getElementsByTagName(tagName: string): IXMLDOMNodeList;
        normalize(): void;
    }
    /** {2933BF85-7B36-11D2-B20E-00C04F983E60} */
    interface IXMLDOMAttribute extends IXMLDOMNode {
        readonly name: string;
        value: any;
    }
    /** {3EFAA413-272F-11D2-836F-0000F87A7782} */
    interface IXMLDOMDocumentFragment extends IXMLDOMNode {
    }
    /** {2933BF84-7B36-11D2-B20E-00C04F983E60} */
    interface IXMLDOMCharacterData extends IXMLDOMNode {
        data: string;
        readonly length: number;
        substringData(offset: number, count: number): string;
        appendData(data: string): void;
        insertData(offset: number, data: string): void;
        deleteData(offset: number, count: number): void;
        replaceData(offset: number, count: number, data: string): void;
    }
    /** {2933BF87-7B36-11D2-B20E-00C04F983E60} */
    interface IXMLDOMText extends IXMLDOMCharacterData {
        splitText(offset: number): IXMLDOMText;
    }
    /** {2933BF88-7B36-11D2-B20E-00C04F983E60} */
    interface IXMLDOMComment extends IXMLDOMCharacterData {
    }
    /** {2933BF8A-7B36-11D2-B20E-00C04F983E60} */
    interface IXMLDOMCDATASection extends IXMLDOMText {
    }
    /** {2933BF89-7B36-11D2-B20E-00C04F983E60} */
    interface IXMLDOMProcessingInstruction extends IXMLDOMNode {
        readonly target: string;
        data: string;
    }
    /** {2933BF8E-7B36-11D2-B20E-00C04F983E60} */
    interface IXMLDOMEntityReference extends IXMLDOMNode {
    }
    /** {3EFAA426-272F-11D2-836F-0000F87A7782} */
    interface IXMLDOMParseError {
        readonly errorCode: number;
        readonly url: string;
        readonly reason: string;
        readonly srcText: string;
        readonly line: number;
        readonly linepos: number;
        readonly filepos: number;
    }
    /** {2933BF8C-7B36-11D2-B20E-00C04F983E60} */
    interface IXMLDOMNotation extends IXMLDOMNode {
        readonly publicId: any;
        readonly systemId: any;
    }
    /** {2933BF8D-7B36-11D2-B20E-00C04F983E60} */
    interface IXMLDOMEntity extends IXMLDOMNode {
        readonly publicId: any;
        readonly systemId: any;
        readonly notationName: string;
    }
    /** {BC718A6E-0994-4964-968C-6C55AC1B47BA}: not callable from script; may be held and passed on. */
    interface ISafeLocalFile { readonly __ISafeLocalFile: never; }
    /** {F7CD24E3-253F-4375-BA42-D0311B3C9E4F}: not callable from script; may be held and passed on. */
    interface IInputStreamNoScript { readonly __IInputStreamNoScript: never; }
    /** {0B15F6D7-87C7-4382-8057-6CF08977DD19} */
    interface IArgumentTransfer {
        Attach(browser: object | null, parameters: any): void;
        Detach(): void;
        DocumentComplete(pDisp: object | null, url: any): void;
    }
    /** {553C1123-1AF6-4B5E-9408-EF0F266449E4} */
    interface IContextMenuHelper {
        GetDocumentLocation(doc: object | null): string;
    }
    /** {FB23A57E-62AE-4D1C-998F-DC4A51F9070C} */
    interface IDirectoryService {
        get(prop: string, iid: string): any;
    }
    /** {A978ADDC-831A-4532-A739-3517BE5A15ED} */
    interface IDOMParser {
        parseFromString(str: string, contentType: any): IXMLDOMDocument;
        parseFromStream(stream: any, charset: any, contentLength: any, contentType: any): IXMLDOMDocument;
    }
    /** {3B2068C5-FE93-4755-9376-AADA9897B207} */
    interface IDOMSerializer {
        serializeToString(root: any): string;
        serializeToStream(root: any, stream: any, charset?: any): void;
    }
    /** {D74B3DE3-CBB7-46CF-8633-C74A5EF0936B} */
    interface IScriptImplements {
        Implements(bsIID: string): boolean;
        QueryInterface(bsIID: string): any;
    }
    /** {DDD3BB89-9A10-4E34-9A9E-D4E3D0EF7CE2} */
    interface ISeekableStream extends IScriptImplements {
        seek(whence: number, offset: number): void;
        setEOF(): void;
        tell(): number;
    }
    /** {D08EE107-5DC5-4637-A81F-DDF47112D1F6} */
    interface IInputStream extends ISeekableStream {
        available(): number;
        close(): void;
        isNonBlocking(): boolean;
    }
    /** {CC3FD06A-0121-4041-A088-595BE5E4976B} */
    interface IFileInputStream extends IInputStream {
        init(file: ILocalFile, ioFlags: number, perm: number, behaviorFlags: number): void;
    }
    /** {DEA976D2-5B43-4B4E-AABC-1BA9929A65F5} */
    interface IFile extends IScriptImplements {
        readonly fileSize: number;
        readonly leafName: string;
        readonly nativeLeafName: string;
        readonly path: string;
        readonly nativePath: string;
        append(node: string): void;
        exists(): boolean;
        isDirectory(): boolean;
        create(type: number, permissions: number): void;
        remove(recursive: boolean): void;
    }
    /** {F75B5C32-B42D-416D-93AC-8798869674CE} */
    interface ILocalFile extends IFile {
        initWithFile(pFile: ILocalFile): void;
        initWithNativePath(filePath: string): void;
        initWithPath(filePath: string): void;
        GetSafe(): boolean;
    }
    /** {8BC71A65-672E-4728-98C7-84CF7923CBF7} */
    interface IFileInputStream2 extends IFileInputStream {
        read(count: number): string;
        readBytes(count: number): string;
        readString(count: number): string;
        readLine(): string;
        readonly hasMoreLines: boolean;
        initWithCharset(file: ILocalFile, charset: string, replacementChar: number): void;
        setCharset(charset: string, replacementChar: number): void;
        readonly charset: string;
    }
    /** {D974C538-C226-4F75-A032-F04BD86D8EA6} */
    interface IOutputStream extends ISeekableStream {
        close(): void;
        flush(): void;
        isNonBlocking(): boolean;
        write(data: string, count: number): number;
    }
    /** {F4DD0575-726A-457F-9F8C-AA442674A2AB} */
    interface ISafeOutputStream extends IOutputStream {
        finish(): void;
    }
    /** {4FD1401A-255E-4B95-9665-38D16B2E52CE} */
    interface IFileOutputStream extends ISafeOutputStream {
        init(file: ILocalFile, ioFlags: number, perm: number, behaviorFlags: number): void;
    }
    /** {715D917A-AFA6-46C7-A3E0-D92B793193E3} */
    interface IFileOutputStream2 extends IFileOutputStream {
        initWithFlags(file: ILocalFile, ioFlags: number, perm: number, behaviorFlags: number): void;
        initSafe(file: ILocalFile, ioFlags: number, perm: number, behaviorFlags: number): void;
    }
    /** {054958BB-B54F-460C-98BA-3381D46F398F} */
    interface IFilePicker {
        init(parent: object | null, title: string, mode: number): void;
        appendFilter(title: string, filter: string): void;
        appendFilters(filterMask: number): void;
        show(): number;
        readonly file: ILocalFile;
        readonly files: ISimpleEnumerator;
        defaultExtension: string;
        defaultString: string;
        displayDirectory: ILocalFile;
        filterIndex: number;
    }
    /** {D6538CE6-9A97-4640-A827-A11F1A6B2509} */
    interface ISimpleEnumerator {
        init(values: any): void;
        hasMoreElements(): boolean;
        getNext(): any;
    }
    /** {71AEB529-9E28-4D48-A424-E0DBBDF5F11B} */
    interface IInterfaceFinder {
        Implements(pObj: object | null, bsIID: string): boolean;
    }
    /** {725E43E1-DF4A-43E7-BDEE-24F83A7F165B} */
    interface ILocalFile2 extends ILocalFile {
        leafName: string;
        readonly parent: ILocalFile2;
        clone(): ILocalFile2;
        equals(inFile: ILocalFile): boolean;
        contains(inFile: ILocalFile, recur?: any): boolean;
        isFile(): boolean;
        isReadable(): boolean;
        isWritable(): boolean;
        isHidden(): boolean;
        lastModifiedTime: number;
        readonly directoryEntries: ISimpleEnumerator;
        createUnique(type: number, permissions: number): void;
        copyTo(newParentDir: ILocalFile, newName?: any): void;
        moveTo(newParentDir: ILocalFile, newName?: any): void;
        normalize(): void;
        readonly NORMAL_FILE_TYPE: number;
        readonly DIRECTORY_TYPE: number;
    }
    /** {C0BB1112-C259-4F15-8929-265FA0A02983} */
    interface IPrefBranch {
        init(aPrefRoot: string): void;
        InitWithKey(aPrefRoot: string): void;
        prefHasUserValue(aPrefName: string): boolean;
        getBoolPref(aPrefName: string): boolean;
        setBoolPref(aPrefName: string, aValue: boolean): void;
        getCharPref(aPrefName: string): string;
        setCharPref(aPrefName: string, aValue: string): void;
        getIntPref(aPrefName: string): number;
        setIntPref(aPrefName: string, aValue: number): void;
        getInt64Pref(aPrefName: string): number;
        setInt64Pref(aPrefName: string, aValue: number): void;
    }
    /** {223089A6-136A-4C43-A4A5-6A1FA59AF512} */
    interface IPrefBranch2 extends IPrefBranch {
        getChildList(aStartingAt: string): any;
        clearUserPref(aPrefName: string): void;
        deleteBranch(aStartingAt: string): void;
        getPrefType(aPrefName: string): number;
        addObserver(aDomain: string, aObserver: object | null, aHoldWeak?: boolean): void;
        removeObserver(aDomain: string, aObserver: object | null): void;
        readonly PREF_INVALID: number;
        readonly PREF_STRING: number;
        readonly PREF_INT: number;
        readonly PREF_BOOL: number;
    }
    /** {C96826CB-40D4-4695-BDC7-68911DC56C41} */
    interface IPrefService {
        getBranch(aPrefRoot: string): IPrefBranch;
    }
    /** {B4089FA6-4FA3-4141-BAFF-615FB472A7E2} */
    interface IPropertyElement extends IScriptImplements {
        key: any;
        value: any;
    }
    /** {4874A34F-6015-44E4-A4AB-5A1092E7D5DD} */
    interface ILogger {
        init(prefix: string): void;
        readonly isEnabled: boolean;
        debug(message: string): void;
        warn(message: string): void;
        error(message: string): void;
        dumpProperties(value?: any): void;
    }
    /** {6ABD173A-99F6-456D-9D57-BA326BF895B3} */
    interface IStringBundle {
        init(url: string): void;
        GetStringFromName(name: string): string;
        getSimpleEnumeration(): ISimpleEnumerator;
    }
    /** {BD043DB9-03F3-40C5-BABA-47895C455AE4} */
    interface IStringBundleService {
        createBundle(url: string): IStringBundle;
    }
    /** {7FED2AC1-5D92-4955-ABA5-35594F7208F5} */
    interface IWebBrowserPersist {
        progressListener: any;
        saveURI(uri: string, destFile: ILocalFile): void;
    }
    /** {BDED5389-45BD-4D4F-B96C-E318820FD912} */
    interface IWindowManager {
        resolveURL(url: string): string;
        openDialog(url: string, width: number, height: number, param0?: any, param1?: any, param2?: any, param3?: any, param4?: any, param5?: any, param6?: any, param7?: any, param8?: any, param9?: any): void;
        openFullScreen(url: string, param0?: any, param1?: any, param2?: any, param3?: any, param4?: any, param5?: any, param6?: any, param7?: any, param8?: any, param9?: any): void;
        openHiddenDialog(url: string, param0?: any, param1?: any, param2?: any, param3?: any, param4?: any, param5?: any, param6?: any, param7?: any, param8?: any, param9?: any): void;
        showModalDialog(wnd: object | null, dialog: string, varArgIn?: any, varOptions?: any): any;
        close(wnd: object | null): void;
        clearDialogTitle(pWnd: object | null): void;
        setDialogStatus(pWnd: object | null, bsStatus: string): void;
        ResendKey(pWnd: object | null, keyCode: number, shiftKey: boolean, ctrlKey: boolean, altKey: boolean): void;
        StopKey(pWnd: object | null, keyCode: number, shiftKey: boolean, ctrlKey: boolean, altKey: boolean): void;
        readonly XMLHttpRequest: any;
    }
    /** Zembrolatix.ArgumentTransfer, CLSID {17826ECC-FE1C-49BB-A6FD-C489B0154603} */
    interface ArgumentTransfer extends IArgumentTransfer {}
    /** Zembrolatix.ContextMenuHelper, CLSID {987B300D-DF8E-49C8-A0D3-6F937EE40353} */
    interface ContextMenuHelper extends IContextMenuHelper {}
    /** Zembrolatix.DirectoryService, CLSID {E63A3DE1-7F61-4E19-8FD8-F2E78EAF6DF5} */
    interface DirectoryService extends IDirectoryService {}
    /** Zembrolatix.DOMParser, CLSID {80BE510D-BBD1-4A9F-AD98-6E9BEBFE8E7A} */
    interface DOMParser extends IDOMParser {}
    /** Zembrolatix.DOMSerializer, CLSID {A3E896FE-9ED2-4705-B95D-E596C8509B56} */
    interface DOMSerializer extends IDOMSerializer {}
    /** Zembrolatix.FileInputStream, CLSID {42648646-5107-4A59-A8CE-9C506DEB886B} */
    interface FileInputStream extends IFileInputStream2 {}
    /** Zembrolatix.FileOutputStream, CLSID {9817A3EA-CF95-4AFB-AF28-BF3CADB233A1} */
    interface FileOutputStream extends IFileOutputStream2 {}
    /** Zembrolatix.FilePicker, CLSID {0F6DF7E2-D100-4D1F-9CFB-5F3C2C428178} */
    interface FilePicker extends IFilePicker {}
    /** Zembrolatix.InterfaceFinder, CLSID {6C511935-A8CF-4D8A-9C45-9A98B3B592D8} */
    interface InterfaceFinder extends IInterfaceFinder {}
    /** Zembrolatix.LocalFile, CLSID {34B8DEF0-5233-4D14-AC27-9028812459E7} */
    interface LocalFile extends ILocalFile2 {}
    /** Zembrolatix.PrefBranch, CLSID {17908419-A8EF-44BA-B744-7B0E7A70466E} */
    interface PrefBranch extends IPrefBranch2 {}
    /** Zembrolatix.PrefService, CLSID {6B7EBC06-3EAE-4052-BEF2-E1CF98738247} */
    interface PrefService extends IPrefService {}
    /** Zembrolatix.PropertyElement, CLSID {F96F6F84-5433-40E9-B763-2E4FA373495D} */
    interface PropertyElement extends IPropertyElement {}
    /** Zembrolatix.Logger, CLSID {A0011F2B-E6BF-4496-8789-BE6538EFDB70} */
    interface Logger extends ILogger {}
    /** Zembrolatix.SimpleEnumerator, CLSID {09A3987F-8C49-4443-B714-DDE2D9A028FB} */
    interface SimpleEnumerator extends ISimpleEnumerator {}
    /** Zembrolatix.StringBundle, CLSID {46002ADA-34E5-4E6F-AD2A-060FC12F7BF7} */
    interface StringBundle extends IStringBundle {}
    /** Zembrolatix.StringBundleService, CLSID {995DE112-3FCC-4B48-A67E-0D3FD424B3F9} */
    interface StringBundleService extends IStringBundleService {}
    /** Zembrolatix.WebBrowserPersist, CLSID {26D10700-E7E7-4768-98DC-CCE8015B6EAB} */
    interface WebBrowserPersist extends IWebBrowserPersist {}
    /** Zembrolatix.WindowManager, CLSID {8F63891E-C758-423D-95B9-0DEE9B6B0640} */
    interface WindowManager extends IWindowManager {}
}

interface ActiveXObjectNameMap {
    "Zembrolatix.ArgumentTransfer": Zembrolatix.ArgumentTransfer;
    "Zembrolatix.ArgumentTransfer.1": Zembrolatix.ArgumentTransfer;
    "Zembrolatix.ContextMenuHelper": Zembrolatix.ContextMenuHelper;
    "Zembrolatix.ContextMenuHelper.1": Zembrolatix.ContextMenuHelper;
    "Zembrolatix.DirectoryService": Zembrolatix.DirectoryService;
    "Zembrolatix.DirectoryService.1": Zembrolatix.DirectoryService;
    "Zembrolatix.DOMParser": Zembrolatix.DOMParser;
    "Zembrolatix.DOMParser.1": Zembrolatix.DOMParser;
    "Zembrolatix.DOMSerializer": Zembrolatix.DOMSerializer;
    "Zembrolatix.DOMSerializer.1": Zembrolatix.DOMSerializer;
    "Zembrolatix.FileInputStream": Zembrolatix.FileInputStream;
    "Zembrolatix.FileInputStream.1": Zembrolatix.FileInputStream;
    "Zembrolatix.FileOutputStream": Zembrolatix.FileOutputStream;
    "Zembrolatix.FileOutputStream.1": Zembrolatix.FileOutputStream;
    "Zembrolatix.FilePicker": Zembrolatix.FilePicker;
    "Zembrolatix.FilePicker.1": Zembrolatix.FilePicker;
    "Zembrolatix.InterfaceFinder": Zembrolatix.InterfaceFinder;
    "Zembrolatix.InterfaceFinder.1": Zembrolatix.InterfaceFinder;
    "Zembrolatix.LocalFile": Zembrolatix.LocalFile;
    "Zembrolatix.LocalFile.1": Zembrolatix.LocalFile;
    "Zembrolatix.PrefBranch": Zembrolatix.PrefBranch;
    "Zembrolatix.PrefBranch.1": Zembrolatix.PrefBranch;
    "Zembrolatix.PrefService": Zembrolatix.PrefService;
    "Zembrolatix.PrefService.1": Zembrolatix.PrefService;
    "Zembrolatix.PropertyElement": Zembrolatix.PropertyElement;
    "Zembrolatix.PropertyElement.1": Zembrolatix.PropertyElement;
    "Zembrolatix.Logger": Zembrolatix.Logger;
    "Zembrolatix.Logger.1": Zembrolatix.Logger;
    "Zembrolatix.SimpleEnumerator": Zembrolatix.SimpleEnumerator;
    "Zembrolatix.SimpleEnumerator.1": Zembrolatix.SimpleEnumerator;
    "Zembrolatix.StringBundle": Zembrolatix.StringBundle;
    "Zembrolatix.StringBundle.1": Zembrolatix.StringBundle;
    "Zembrolatix.StringBundleService": Zembrolatix.StringBundleService;
    "Zembrolatix.StringBundleService.1": Zembrolatix.StringBundleService;
    "Zembrolatix.WebBrowserPersist": Zembrolatix.WebBrowserPersist;
    "Zembrolatix.WebBrowserPersist.1": Zembrolatix.WebBrowserPersist;
    "Zembrolatix.WindowManager": Zembrolatix.WindowManager;
    "Zembrolatix.WindowManager.1": Zembrolatix.WindowManager;
}

interface ActiveXObject {
    new <K extends keyof ActiveXObjectNameMap>(progid: K): ActiveXObjectNameMap[K];
}
declare var ActiveXObject: ActiveXObject;
