// The interfaces of type library 1.0 stay as they were: every class still answers each of them that its
// default interface derives from, by its old IID, and through it every old member by its old dispatch id.
#include "support/TypeLibWalk.h"

#include "script/TypeInfoHolder.h"
#include "shared/Bstr.h"
#include "shared/ComPtr.h"

#include "Zembrolatix.h"

#include <gtest/gtest.h>

#include <map>
#include <sstream>
#include <string>

namespace {

// Written out once from type library 1.0: IID, name, and the interface's own members as name=dispid
// (g: property get, p: put). Clang-format leaves the long lines alone.
const wchar_t kVersion10[] = LR"(
{D74B3DE3-CBB7-46CF-8633-C74A5EF0936B} IScriptImplements Implements=100 QueryInterface=101
{71AEB529-9E28-4D48-A424-E0DBBDF5F11B} IInterfaceFinder Implements=1
{DEA976D2-5B43-4B4E-AABC-1BA9929A65F5} IFile fileSize=4g leafName=5g nativeLeafName=6g path=7g nativePath=8g append=9 exists=10 isDirectory=11 create=12 remove=13
{F75B5C32-B42D-416D-93AC-8798869674CE} ILocalFile initWithFile=30 initWithNativePath=31 initWithPath=32 GetSafe=33
{DDD3BB89-9A10-4E34-9A9E-D4E3D0EF7CE2} ISeekableStream seek=1 setEOF=2 tell=3
{D08EE107-5DC5-4637-A81F-DDF47112D1F6} IInputStream available=10 close=11 isNonBlocking=12
{CC3FD06A-0121-4041-A088-595BE5E4976B} IFileInputStream init=50
{D974C538-C226-4F75-A032-F04BD86D8EA6} IOutputStream close=10 flush=11 isNonBlocking=12 write=13
{F4DD0575-726A-457F-9F8C-AA442674A2AB} ISafeOutputStream finish=19
{4FD1401A-255E-4B95-9665-38D16B2E52CE} IFileOutputStream init=50
{FB23A57E-62AE-4D1C-998F-DC4A51F9070C} IDirectoryService get=1
{054958BB-B54F-460C-98BA-3381D46F398F} IFilePicker init=1 appendFilter=2 appendFilters=3 show=4 file=5g files=6g defaultExtension=7g defaultExtension=7p defaultString=8g defaultString=8p displayDirectory=9g displayDirectory=9p filterIndex=10g filterIndex=10p
{4874A34F-6015-44E4-A4AB-5A1092E7D5DD} ILogger init=1 isEnabled=2g debug=3 warn=4 error=5 dumpProperties=6
{C0BB1112-C259-4F15-8929-265FA0A02983} IPrefBranch init=1 InitWithKey=2 prefHasUserValue=3 getBoolPref=4 setBoolPref=5 getCharPref=6 setCharPref=7 getIntPref=8 setIntPref=9 getInt64Pref=10 setInt64Pref=11
{C96826CB-40D4-4695-BDC7-68911DC56C41} IPrefService getBranch=1
{D6538CE6-9A97-4640-A827-A11F1A6B2509} ISimpleEnumerator init=1 hasMoreElements=2 getNext=3
{B4089FA6-4FA3-4141-BAFF-615FB472A7E2} IPropertyElement key=1g key=1p value=2g value=2p
{6ABD173A-99F6-456D-9D57-BA326BF895B3} IStringBundle init=1 GetStringFromName=2 getSimpleEnumeration=3
{BD043DB9-03F3-40C5-BABA-47895C455AE4} IStringBundleService createBundle=1
{BDED5389-45BD-4D4F-B96C-E318820FD912} IWindowManager resolveURL=1 openDialog=2 openFullScreen=3 openHiddenDialog=4 showModalDialog=5 close=6 clearDialogTitle=7 setDialogStatus=8 ResendKey=9 StopKey=10 XMLHttpRequest=11g
{0B15F6D7-87C7-4382-8057-6CF08977DD19} IArgumentTransfer Attach=1 Detach=2 DocumentComplete=259
{553C1123-1AF6-4B5E-9408-EF0F266449E4} IContextMenuHelper GetDocumentLocation=1
{A978ADDC-831A-4532-A739-3517BE5A15ED} IDOMParser parseFromString=1 parseFromStream=2
{3B2068C5-FE93-4755-9376-AADA9897B207} IDOMSerializer serializeToString=1 serializeToStream=2
{7FED2AC1-5D92-4955-ABA5-35594F7208F5} IWebBrowserPersist progressListener=1g progressListener=1p saveURI=2)";

// Interfaces a class's default interface derives from that version 1.0 already did not answer.
const std::wstring kNeverAnswered = L"LocalFile/IScriptImplements FileOutputStream/ISafeOutputStream";

TEST(OldInterfaces, AnsweredWithTheirOldIidsAndDispatchIds) {
    ComPtr<ITypeLib> typeLib;
    ASSERT_EQ(::LoadRegTypeLib(LIBID_ZembrolatixLib, kTypeLibMajorVersion, kTypeLibMinorVersion,
                               LOCALE_NEUTRAL, typeLib.put()),
              S_OK);
    std::map<std::wstring, std::wstring> oldMembers; // by IID text
    std::wistringstream lines(kVersion10);
    for (std::wstring line; std::getline(lines, line);)
        if (!line.empty()) oldMembers[line.substr(0, 38)] = line.substr(line.find(L' ', 39));

    int classes = 0, answered = 0;
    for (UINT t = 0; t < typeLib->GetTypeInfoCount(); ++t) {
        TYPEKIND kind;
        ComPtr<ITypeInfo> coclass, current;
        HREFTYPE ref = 0;
        if (FAILED(typeLib->GetTypeInfoType(t, &kind)) || kind != TKIND_COCLASS ||
            FAILED(typeLib->GetTypeInfo(t, coclass.put())) ||
            FAILED(coclass->GetRefTypeOfImplType(0, &ref)) ||
            FAILED(coclass->GetRefTypeInfo(ref, current.put())))
            continue;
        Bstr className;
        typeLib->GetDocumentation(static_cast<INT>(t), className.put(), nullptr, nullptr, nullptr);
        ComPtr<IClassFactory> factory;
        ComPtr<IUnknown> object;
        ASSERT_EQ(::DllGetClassObject(TypeAttrOf(coclass.get())->guid, IID_IClassFactory, factory.put_void()),
                  S_OK);
        ASSERT_EQ(factory->CreateInstance(nullptr, IID_IUnknown, object.put_void()), S_OK);
        ++classes;
        // The default interface and everything it derives from.
        for (current = OperationTable(current.get()); current; current = BaseOf(current.get())) {
            TypeAttrOf attr(current.get());
            wchar_t iidText[40] = {};
            ::StringFromGUID2(attr->guid, iidText, 40);
            auto old = oldMembers.find(iidText);
            if (old == oldMembers.end()) continue;
            Bstr itfName;
            current->GetDocumentation(MEMBERID_NIL, itfName.put(), nullptr, nullptr, nullptr);
            const std::wstring where = std::wstring(className.view()) + L"/" + std::wstring(itfName.view());
            const bool never = kNeverAnswered.find(where) != std::wstring::npos;
            ComPtr<IDispatch> itf;
            const HRESULT hr = object->QueryInterface(attr->guid, itf.put_void());
            EXPECT_EQ(hr, never ? E_NOINTERFACE : S_OK) << Narrow(where);
            if (FAILED(hr)) continue;
            ++answered;
            std::wistringstream words(old->second);
            for (std::wstring word; words >> word;) {
                std::wstring name = word.substr(0, word.find(L'='));
                LPOLESTR names[] = {name.data()};
                DISPID id = DISPID_UNKNOWN;
                EXPECT_EQ(itf->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id), S_OK)
                    << Narrow(where);
                EXPECT_EQ(id, std::stol(word.substr(word.find(L'=') + 1))) << Narrow(where + L"." + name);
            }
        }
    }
    EXPECT_EQ(classes, 19);
    // Each class its 1.0 default interface; LocalFile one base, each stream three, PropertyElement one.
    EXPECT_EQ(answered, 19 + 1 + 3 + 3 + 1);
}

} // namespace
