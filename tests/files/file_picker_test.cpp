// The picker as a script uses it, with the system dialogs worked from a second thread as a user would.
#include "FilesTestSupport.h"

#include <atomic>
#include <chrono>
#include <functional>
#include <string>
#include <thread>
#include <vector>

namespace {

using namespace std::chrono_literals;

constexpr int kNameBox = 0x47c;   // file name (cmb13)
constexpr int kFilterBox = 0x470; // file types (cmb1)
constexpr int kFolderPrompt = 0x3742;

ComPtr<IFilePicker> MakePicker() {
    ComPtr<IFilePicker> picker;
    EXPECT_EQ(::CoCreateInstance(CLSID_FilePicker, nullptr, CLSCTX_INPROC_SERVER, IID_IFilePicker,
                                 picker.put_void()),
              S_OK);
    return picker;
}

ComPtr<ILocalFile> MakeFile(const std::wstring& path) {
    ComPtr<ILocalFile> file;
    EXPECT_EQ(
        ::CoCreateInstance(CLSID_LocalFile, nullptr, CLSCTX_INPROC_SERVER, IID_ILocalFile, file.put_void()),
        S_OK);
    Bstr text(path);
    EXPECT_EQ(file->initWithPath(text.get()), S_OK);
    return file;
}

std::wstring PathOf(ILocalFile* file) {
    Bstr path;
    EXPECT_EQ(file->get_path(path.put()), S_OK);
    return std::wstring(path.view());
}

std::wstring TextOf(HWND window) {
    wchar_t text[512] = {};
    ::GetWindowTextW(window, text, 512);
    return text;
}

bool WaitUntil(const std::function<bool()>& done, std::chrono::milliseconds limit) {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (!done()) {
        if (std::chrono::steady_clock::now() > end) return false;
        std::this_thread::sleep_for(20ms);
    }
    return true;
}

// The visible dialog windows of a thread; with an owner, only those it owns.
std::vector<HWND> DialogsOf(DWORD thread, HWND owner = nullptr) {
    struct Search {
        HWND owner;
        std::vector<HWND> found;
    } search{owner, {}};
    ::EnumThreadWindows(
        thread,
        [](HWND window, LPARAM data) -> BOOL {
            auto& s = *reinterpret_cast<Search*>(data);
            wchar_t name[16] = {};
            ::GetClassNameW(window, name, 16);
            if (std::wstring(name) == L"#32770" && ::IsWindowVisible(window) &&
                (!s.owner || ::GetWindow(window, GW_OWNER) == s.owner))
                s.found.push_back(window);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

void Press(HWND dialog, int button) {
    ::PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), 0);
}

// What the user does in front of the dialog; answers what went wrong, or nothing.
using User = std::function<std::string(HWND dialog, DWORD thread)>;

struct Shown {
    HRESULT hr = E_FAIL;
    LONG result = -1;
    std::string userError;
};

// Runs show on this thread while another thread plays the user. A dialog that never appears or never
// closes fails the call: after a while every dialog of this thread is cancelled, and as a last resort
// the test program ends rather than hang the run.
Shown ShowAsUser(IFilePicker* picker, const User& user) {
    const DWORD thread = ::GetCurrentThreadId();
    std::atomic<bool> returned{false};
    Shown shown;
    std::thread driver([&] {
        HWND dialog = nullptr;
        WaitUntil(
            [&] {
                const auto dialogs = DialogsOf(thread);
                dialog = dialogs.empty() ? nullptr : dialogs.front();
                return dialog || returned;
            },
            10s);
        if (!dialog)
            shown.userError = "no dialog appeared";
        else
            shown.userError = user(dialog, thread);
        if (WaitUntil([&] { return returned.load(); }, 15s)) return;
        if (shown.userError.empty()) shown.userError = "the dialog did not close";
        for (HWND open : DialogsOf(thread)) {
            Press(open, IDNO);
            Press(open, IDCANCEL);
        }
        if (WaitUntil([&] { return returned.load(); }, 10s)) return;
        std::fputs("file picker test: a dialog hangs; giving up\n", stderr);
        ::TerminateProcess(::GetCurrentProcess(), 3);
    });
    shown.hr = picker->show(&shown.result);
    returned = true;
    driver.join();
    return shown;
}

// Types a name into a file dialog and confirms it.
User TypeAndConfirm(std::wstring name) {
    return [name](HWND dialog, DWORD) {
        ::SetWindowTextW(::GetDlgItem(dialog, kNameBox), name.c_str());
        Press(dialog, IDOK);
        return std::string();
    };
}

User PressOnly(int button) {
    return [button](HWND dialog, DWORD) {
        Press(dialog, button);
        return std::string();
    };
}

// A folder of this process in the temporary folder (outside the private data folder) holding a.txt
// and b.txt.
class PickFolder : public ::testing::Test {
protected:
    void SetUp() override {
        wchar_t temp[MAX_PATH] = {};
        ::GetTempPathW(MAX_PATH, temp);
        m_folder = std::wstring(temp) + L"zmb_picker_" + std::to_wstring(::GetCurrentProcessId());
        ::CreateDirectoryW(m_folder.c_str(), nullptr);
        for (const wchar_t* name : {L"a.txt", L"b.txt"})
            Touch(Path(name));
    }
    void TearDown() override {
        for (const std::wstring& path : m_made)
            ::DeleteFileW(path.c_str());
        ::RemoveDirectoryW(m_folder.c_str());
    }
    std::wstring Path(const wchar_t* name) const { return m_folder + L"\\" + name; }
    void Touch(const std::wstring& path) {
        ::CloseHandle(::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
        m_made.push_back(path);
    }
    void Forget(const std::wstring& path) { m_made.push_back(path); }

    std::wstring m_folder;
    std::vector<std::wstring> m_made;
};

// Paths a multiple selection answered, in order.
std::vector<std::wstring> PathsOf(IFilePicker* picker) {
    std::vector<std::wstring> paths;
    ComPtr<ISimpleEnumerator> files;
    EXPECT_EQ(picker->get_files(files.put()), S_OK);
    VARIANT_BOOL more = VARIANT_FALSE;
    while (files && SUCCEEDED(files->hasMoreElements(&more)) && more) {
        Variant next;
        EXPECT_EQ(files->getNext(next.get()), S_OK);
        EXPECT_EQ(next->vt, VT_BSTR);
        if (next->vt == VT_BSTR) paths.emplace_back(BstrView(next->bstrVal));
    }
    return paths;
}

TEST_F(PickFolder, OpenGivesTrustedFileOwnedByTheActiveWindow) {
    // A page object that is no window: the dialog belongs to the window active at init.
    HWND page = ::CreateWindowExW(0, L"STATIC", L"page", WS_OVERLAPPEDWINDOW, 0, 0, 200, 200, nullptr,
                                  nullptr, nullptr, nullptr);
    ASSERT_TRUE(page);
    ::SetActiveWindow(page);
    ComPtr<IFilePicker> picker = MakePicker();
    ComPtr<ILocalFile> notAWindow = MakeFile(Path(L"a.txt"));
    Bstr title(L"Open a file");
    ASSERT_EQ(picker->init(notAWindow.get(), title.get(), 0), S_OK);

    const std::wstring chosen = Path(L"b.txt");
    Shown shown = ShowAsUser(picker.get(), [&](HWND dialog, DWORD thread) {
        std::string error;
        if (::GetWindow(dialog, GW_OWNER) != page) error = "not owned by the active window; ";
        if (TextOf(dialog) != L"Open a file") error += "title not shown; ";
        return error + TypeAndConfirm(chosen)(dialog, thread);
    });
    ::DestroyWindow(page);
    EXPECT_EQ(shown.userError, "");
    ASSERT_EQ(shown.hr, S_OK);
    EXPECT_EQ(shown.result, 0);

    ComPtr<ILocalFile> first, second;
    ASSERT_EQ(picker->get_file(first.put()), S_OK);
    ASSERT_EQ(picker->get_file(second.put()), S_OK);
    EXPECT_NE(first.get(), second.get());
    EXPECT_EQ(PathOf(first.get()), chosen);
    EXPECT_EQ(PathOf(second.get()), chosen);
    VARIANT_BOOL safe = VARIANT_FALSE;
    EXPECT_EQ(first->GetSafe(&safe), S_OK);
    EXPECT_EQ(safe, VARIANT_TRUE);
    ComPtr<ISimpleEnumerator> files;
    EXPECT_EQ(picker->get_files(files.put()), E_UNEXPECTED);
}

TEST_F(PickFolder, SaveReportsNewAndExistingNamesAndNothingOnCancel) {
    ComPtr<IFilePicker> picker = MakePicker();
    Bstr title(L"Save as"), proposed(L"draft"), extension(L"txt");
    ASSERT_EQ(picker->init(nullptr, title.get(), 1), S_OK);
    ASSERT_EQ(picker->put_defaultString(proposed.get()), S_OK);
    ASSERT_EQ(picker->put_defaultExtension(extension.get()), S_OK);
    ASSERT_EQ(picker->put_displayDirectory(MakeFile(m_folder).get()), S_OK);

    // A new name without extension: the proposed name was shown, the default extension is added.
    Forget(Path(L"new.txt"));
    Shown shown = ShowAsUser(picker.get(), [&](HWND dialog, DWORD thread) {
        const std::wstring proposedText = TextOf(::GetDlgItem(dialog, kNameBox));
        std::string error = proposedText == L"draft" ? "" : "proposed name not shown; ";
        return error + TypeAndConfirm(L"new")(dialog, thread);
    });
    EXPECT_EQ(shown.userError, "");
    EXPECT_EQ(shown.result, 0);
    ComPtr<ILocalFile> file;
    ASSERT_EQ(picker->get_file(file.put()), S_OK);
    EXPECT_EQ(PathOf(file.get()), Path(L"new.txt"));

    // An existing name, confirmed in the overwrite box that the dialog owns.
    shown = ShowAsUser(picker.get(), [&](HWND dialog, DWORD thread) {
        TypeAndConfirm(Path(L"a.txt"))(dialog, thread);
        std::vector<HWND> boxes;
        if (!WaitUntil([&] { return !(boxes = DialogsOf(thread, dialog)).empty(); }, 10s))
            return std::string("no overwrite question");
        Press(boxes.front(), IDYES);
        return std::string();
    });
    EXPECT_EQ(shown.userError, "");
    EXPECT_EQ(shown.result, 2);
    ASSERT_EQ(picker->get_file(file.put()), S_OK);
    EXPECT_EQ(PathOf(file.get()), Path(L"a.txt"));

    // Cancelled: the proposed name is no choice of the user.
    shown = ShowAsUser(picker.get(), PressOnly(IDCANCEL));
    EXPECT_EQ(shown.userError, "");
    EXPECT_EQ(shown.result, 1);
    EXPECT_EQ(picker->get_file(file.put()), E_UNEXPECTED);
}

TEST_F(PickFolder, OpenMultipleGivesFullPathsInOrder) {
    ComPtr<IFilePicker> picker = MakePicker();
    Bstr title(L"Open files");
    ASSERT_EQ(picker->init(nullptr, title.get(), 3), S_OK);
    ASSERT_EQ(picker->put_displayDirectory(MakeFile(m_folder).get()), S_OK);

    Shown shown = ShowAsUser(picker.get(), TypeAndConfirm(L"\"a.txt\" \"b.txt\""));
    EXPECT_EQ(shown.userError, "");
    EXPECT_EQ(shown.result, 0);
    EXPECT_EQ(PathsOf(picker.get()), (std::vector<std::wstring>{Path(L"a.txt"), Path(L"b.txt")}));
    ComPtr<ILocalFile> file;
    EXPECT_EQ(picker->get_file(file.put()), E_UNEXPECTED);

    shown = ShowAsUser(picker.get(), TypeAndConfirm(L"b.txt"));
    EXPECT_EQ(shown.result, 0);
    EXPECT_EQ(PathsOf(picker.get()), std::vector<std::wstring>{Path(L"b.txt")});

    // Two files in a drive root: the folder comes with its separator.
    const std::wstring root = L"C:\\";
    const std::wstring tag = L"zmb_picker_" + std::to_wstring(::GetCurrentProcessId());
    Touch(root + tag + L"_a.txt");
    Touch(root + tag + L"_b.txt");
    shown = ShowAsUser(picker.get(), [&](HWND dialog, DWORD thread) {
        TypeAndConfirm(root)(dialog, thread); // the user walks to the root first
        std::this_thread::sleep_for(500ms);
        return TypeAndConfirm(L"\"" + tag + L"_a.txt\" \"" + tag + L"_b.txt\"")(dialog, thread);
    });
    EXPECT_EQ(shown.userError, "");
    EXPECT_EQ(shown.result, 0);
    EXPECT_EQ(PathsOf(picker.get()),
              (std::vector<std::wstring>{root + tag + L"_a.txt", root + tag + L"_b.txt"}));
}

TEST_F(PickFolder, FolderPreselectsTheDisplayDirectory) {
    ComPtr<IFilePicker> picker = MakePicker();
    Bstr title(L"Choose\\na folder");
    ASSERT_EQ(picker->init(nullptr, title.get(), 2), S_OK);
    ASSERT_EQ(picker->put_displayDirectory(MakeFile(m_folder).get()), S_OK);

    Shown shown = ShowAsUser(picker.get(), [](HWND dialog, DWORD) {
        const std::wstring prompt = TextOf(::GetDlgItem(dialog, kFolderPrompt));
        Press(dialog, IDOK);
        return prompt == L"Choose\na folder" ? std::string() : std::string("prompt not on two lines");
    });
    EXPECT_EQ(shown.userError, "");
    EXPECT_EQ(shown.result, 0);
    ComPtr<ILocalFile> folder;
    ASSERT_EQ(picker->get_file(folder.put()), S_OK);
    EXPECT_EQ(PathOf(folder.get()), m_folder);

    shown = ShowAsUser(picker.get(), PressOnly(IDCANCEL));
    EXPECT_EQ(shown.userError, "");
    EXPECT_EQ(shown.result, 1);
    EXPECT_EQ(picker->get_file(folder.put()), E_UNEXPECTED);
}

TEST_F(PickFolder, FiltersListedInOrderAndTheUsersChoiceCountedFromOne) {
    ComPtr<IFilePicker> picker = MakePicker();
    Bstr title(L"Open"), mine(L"My Files"), pattern(L"*.my");
    ASSERT_EQ(picker->init(nullptr, title.get(), 0), S_OK);
    ASSERT_EQ(picker->appendFilters(0x80), S_OK); // no such filter
    ASSERT_EQ(picker->appendFilters(0x41), S_OK);
    ASSERT_EQ(picker->appendFilter(mine.get(), pattern.get()), S_OK);

    std::vector<std::wstring> listed;
    Shown shown = ShowAsUser(picker.get(), [&](HWND dialog, DWORD thread) {
        HWND box = ::GetDlgItem(dialog, kFilterBox);
        const auto count = ::SendMessageW(box, CB_GETCOUNT, 0, 0);
        for (LRESULT i = 0; i < count; ++i) {
            wchar_t text[256] = {};
            ::SendMessageW(box, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text));
            listed.emplace_back(text);
        }
        ::SendMessageW(box, CB_SETCURSEL, 1, 0);
        ::SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(kFilterBox, CBN_SELENDOK),
                       reinterpret_cast<LPARAM>(box));
        return TypeAndConfirm(Path(L"a.txt"))(dialog, thread);
    });
    EXPECT_EQ(shown.userError, "");
    EXPECT_EQ(shown.result, 0);
    EXPECT_EQ(listed, (std::vector<std::wstring>{L"All Files", L"Applications", L"My Files"}));
    LONG index = 0;
    EXPECT_EQ(picker->get_filterIndex(&index), S_OK);
    EXPECT_EQ(index, 2);
}

TEST_F(PickFolder, RefusedCalls) {
    ComPtr<IFilePicker> picker = MakePicker();
    ComPtr<ILocalFile> aFile = MakeFile(Path(L"a.txt"));
    ComPtr<ILocalFile> missing = MakeFile(Path(L"missing"));
    Bstr title(L"t"), empty(L"");
    ComPtr<ILocalFile> file;
    ComPtr<ISimpleEnumerator> files;
    const struct {
        const char* call;
        std::function<HRESULT()> run;
        HRESULT expected;
    } cases[] = {
        {"init null title", [&] { return picker->init(nullptr, nullptr, 0); }, E_INVALIDARG},
        {"init mode 4", [&] { return picker->init(nullptr, title.get(), 4); }, E_INVALIDARG},
        {"init mode -1", [&] { return picker->init(nullptr, title.get(), -1); }, E_INVALIDARG},
        {"file before any show", [&] { return picker->get_file(file.put()); }, E_UNEXPECTED},
        {"files in open mode", [&] { return picker->get_files(files.put()); }, E_UNEXPECTED},
        {"show null", [&] { return picker->show(nullptr); }, E_POINTER},
        {"file null", [&] { return picker->get_file(nullptr); }, E_POINTER},
        {"files null", [&] { return picker->get_files(nullptr); }, E_POINTER},
        {"defaultExtension null", [&] { return picker->get_defaultExtension(nullptr); }, E_POINTER},
        {"defaultString null", [&] { return picker->get_defaultString(nullptr); }, E_POINTER},
        {"filterIndex null", [&] { return picker->get_filterIndex(nullptr); }, E_POINTER},
        {"displayDirectory null", [&] { return picker->get_displayDirectory(nullptr); }, E_POINTER},
        {"displayDirectory read", [&] { return picker->get_displayDirectory(file.put()); }, E_NOTIMPL},
        {"set defaultExtension null", [&] { return picker->put_defaultExtension(nullptr); }, E_INVALIDARG},
        {"set defaultString null", [&] { return picker->put_defaultString(nullptr); }, E_INVALIDARG},
        {"set displayDirectory null", [&] { return picker->put_displayDirectory(nullptr); }, E_INVALIDARG},
        {"set displayDirectory a file", [&] { return picker->put_displayDirectory(aFile.get()); },
         E_INVALIDARG},
        {"set displayDirectory missing", [&] { return picker->put_displayDirectory(missing.get()); },
         E_INVALIDARG},
        {"set defaultString empty", [&] { return picker->put_defaultString(empty.get()); }, S_OK},
        {"init mode 3", [&] { return picker->init(nullptr, empty.get(), 3); }, S_OK},
        {"files before any show", [&] { return picker->get_files(files.put()); }, E_UNEXPECTED},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.run(), c.expected) << c.call;
}

} // namespace
