// The Import command as the menu runs it, in a program with a main window:
// Open File dialog, options dialog with the saved settings, the import and
// its messages. Dialogs are answered by the shared dialog driver.
#include "CadHost.h"
#include "DialogDriver.h"
#include "QuorlaExports.h"

#include <framework.h>

#include <gtest/gtest.h>

#include <array>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

namespace {

CWinApp g_app(L"Import command tests");

const wchar_t kKey[] = L"Software\\Tamrix\\Quorla for SolidWorks";
const wchar_t* const kValues[5] = {L"Import Curves", L"Import Meshes", L"MultiBody", L"Units",
                                   L"Progress"};
const wchar_t kOptionsCaption[] = L"Quorla for SolidWorks Options";
const wchar_t kTitle[] = L"Quorla for SolidWorks 2008 version 1.0";

// Control ids of the options dialog.
enum { kCurvesPart = 1022, kUnits = 1024, kProgress = 1027, kMeshesSolid = 1034, kMultiBody = 1036 };
const int kCurveButtons[3] = {1022, 1023, 1032};
const int kMeshButtons[2] = {1034, 1035};

std::wstring Z(const std::string& unixPath) {
    std::wstring path = L"Z:" + std::wstring(unixPath.begin(), unixPath.end());
    for (wchar_t& c : path)
        if (c == L'/') c = L'\\';
    return path;
}
const std::wstring kBracket = Z(QUORLA_SOURCE_DIR "/examples/bracket.3dm");
const std::wstring kPointsAndBreps = Z(QUORLA_SOURCE_DIR "/tests/tools/data/points-and-breps.3dm");
const std::wstring kMeshes = Z(QUORLA_SHARED_DIR "/fixtures/3dm/meshes.v8.3dm");

// The five options as stored, or as the dialog shows them (-1: nothing chosen).
using Five = std::array<int, 5>; // curves, meshes, multibody, units, progress

// The Open File dialog's file name field (explorer style: a combo box).
void TypeFileName(HWND dialog, const std::wstring& name) {
    HWND field = GetDlgItem(dialog, 1148);
    if (!field) field = GetDlgItem(dialog, 1152);
    SetWindowTextW(field, name.c_str());
}

// What the options dialog showed, in the stored order (-9: no such control).
Five Shown(const testsupport::SeenDialog& seen) {
    auto get = [](const std::map<int, int>& m, int id) {
        auto it = m.find(id);
        return it == m.end() ? -9 : it->second;
    };
    auto group = [&](const int* ids, int n) {
        int checked = -1;
        for (int i = 0; i < n; i++)
            if (get(seen.checks, ids[i]) == BST_CHECKED) checked = checked == -1 ? i : -2;
        return checked;
    };
    return {group(kCurveButtons, 3), group(kMeshButtons, 2), get(seen.checks, kMultiBody),
            get(seen.selections, kUnits), get(seen.checks, kProgress)};
}

class ImportCommand : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        main_ = new CWnd;
        ASSERT_TRUE(main_->CreateEx(0, nullptr, L"host main window",
                                    WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 400, 300, nullptr,
                                    nullptr));
        g_app.m_pMainWnd = main_;
    }
    static void TearDownTestSuite() {
        g_app.m_pMainWnd = nullptr;
        main_->DestroyWindow();
        delete main_;
    }

    void SetUp() override {
        RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Tamrix");
        module_ = LoadLibraryW(L"Quorla.dll");
        ASSERT_NE(module_, nullptr);
        init_ = Proc<QuorlaInitUserDLL3Fn>(QUORLA_INIT_EXPORT);
        import_ = Proc<QuorlaCommandFn>(QUORLA_IMPORT_COMMAND_EXPORT);
        ASSERT_TRUE(init_ && import_);
        app_ = host_.Application();
        ASSERT_EQ(init_(app_), 1); // the add-in takes this reference over
        baseline_ = host_.OutstandingRefs();
        driver_.IgnoreWhen(testsupport::IsProgressWindow);
    }
    void TearDown() override {
        EXPECT_EQ(host_.OutstandingRefs(), baseline_) << "handles the command kept:\n"
                                                      << host_.Unreleased();
        if (module_) FreeLibrary(module_);
        RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Tamrix");
    }

    template <class F> F Proc(const char* name) {
        return reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(module_, name)));
    }

    // Scripts the Open File dialog to open `path`; the options dialog's
    // script is for the caller to write.
    testsupport::DialogDriver::Script& Choose(const std::wstring& path) {
        driver_.Expect(L"Open").Do([path](HWND d) { TypeFileName(d, path); }).Click(IDOK);
        return driver_.Expect(kOptionsCaption);
    }

    static void Store(const Five& values) {
        HKEY key;
        ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, kKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                                  &key, nullptr),
                  ERROR_SUCCESS);
        for (int i = 0; i < 5; i++)
            RegSetValueExW(key, kValues[i], 0, REG_BINARY,
                           reinterpret_cast<const BYTE*>(&values[i]), 4);
        RegCloseKey(key);
    }
    // The stored values; a value that is not 4 bytes of REG_BINARY reads as 1000 + its type.
    static Five Stored(const wchar_t* key = kKey) {
        Five out{};
        for (int i = 0; i < 5; i++) {
            DWORD type = 0, size = 16;
            int value[4] = {};
            LONG status = RegGetValueW(HKEY_CURRENT_USER, key, kValues[i], RRF_RT_ANY, &type,
                                       value, &size);
            out[i] = status != ERROR_SUCCESS ? -999
                     : type != REG_BINARY || size != 4 ? 1000 + static_cast<int>(type)
                                                       : value[0];
        }
        return out;
    }

    std::vector<std::string> Lines(std::initializer_list<cadhost::Op> ops) const {
        std::vector<std::string> out;
        for (const cadhost::JournalEntry& e : host_.Journal())
            for (cadhost::Op op : ops)
                if (e.op == op) out.push_back(e.ToString());
        return out;
    }

    static inline CWnd* main_ = nullptr;
    cadhost::Host host_; // outlives the add-in
    IDispatch* app_ = nullptr;
    HMODULE module_ = nullptr;
    QuorlaInitUserDLL3Fn init_ = nullptr;
    QuorlaCommandFn import_ = nullptr;
    long baseline_ = 0;
    testsupport::DialogDriver driver_;
};

TEST_F(ImportCommand, FirstUseShowsTheDefaultsAndOkStoresThem) {
    Choose(kBracket).Click(IDOK);
    EXPECT_EQ(import_(), 1);
    ASSERT_TRUE(driver_.Finished()) << driver_.Report();
    const testsupport::SeenDialog& open = driver_.Seen()[0];
    const testsupport::SeenDialog& options = driver_.Seen()[1];
    EXPECT_EQ(open.owner, main_->m_hWnd);
    EXPECT_EQ(options.owner, main_->m_hWnd);
    EXPECT_EQ(Shown(options), (Five{0, 0, 1, 3, 1}));
    EXPECT_EQ(options.texts.at(kUnits), L"Inches");
    EXPECT_EQ(Stored(), (Five{0, 0, 1, 3, 1})) << "five 4-byte REG_BINARY values";
    EXPECT_EQ(host_.DocumentCount(), 2) << "curves into one part, meshes into another";
    EXPECT_EQ(host_.Document(0).lengthUnit, 3);
}

// Stored values show in the controls; what the user then chooses is stored.
TEST_F(ImportCommand, StoredValuesRoundTripThroughEveryControl) {
    struct Case {
        Five stored, shown, chosen;
    };
    const Case cases[] = {
        {{2, 1, 0, 4, 0}, {2, 1, 0, 4, 0}, {1, 0, 1, 0, 1}},
        {{1, 0, 1, 2, 1}, {1, 0, 1, 2, 1}, {0, 1, 0, 1, 0}},
        // Out of range: nothing chosen, and OK then stores -1.
        {{3, 2, 1, 5, 1}, {-1, -1, 1, -1, 1}, {-1, -1, 1, -1, 1}},
        {{-1, -7, 0, -1, 0}, {-1, -1, 0, -1, 0}, {-1, -1, 0, -1, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "stored " << c.stored[0] << c.stored[1] << c.stored[2]
                                        << c.stored[3] << c.stored[4]);
        Store(c.stored);
        auto& options = Choose(kPointsAndBreps);
        if (c.chosen[0] >= 0) options.Check(kCurveButtons[c.chosen[0]], BST_CHECKED);
        if (c.chosen[1] >= 0) options.Check(kMeshButtons[c.chosen[1]], BST_CHECKED);
        options.Check(kMultiBody, c.chosen[2]);
        if (c.chosen[3] >= 0) options.Select(kUnits, c.chosen[3]);
        options.Check(kProgress, c.chosen[4]).Click(IDOK);
        driver_.AnswerOthers(IDOK); // curve mode -1 without a document fails with a message
        const size_t first = driver_.Seen().size();
        import_();
        ASSERT_GE(driver_.Seen().size(), first + 2) << driver_.Report();
        EXPECT_EQ(Shown(driver_.Seen()[first + 1]), c.shown);
        EXPECT_EQ(Stored(), c.chosen);
        EXPECT_EQ(driver_.Unexpected(), 0) << driver_.Report();
        driver_.AnswerOthers(0);
    }
}

TEST_F(ImportCommand, CancelLeavesTheStoredValuesAsTheyWere) {
    // Including values the dialog would not have written.
    HKEY key;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, kKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                              nullptr),
              ERROR_SUCCESS);
    const DWORD dword = 2;
    const double eight = 1.0;
    RegSetValueExW(key, L"Import Curves", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&dword), 4);
    RegSetValueExW(key, L"Units", 0, REG_BINARY, reinterpret_cast<const BYTE*>(&eight), 8);
    RegCloseKey(key);

    Choose(kBracket).Check(1023, BST_CHECKED).Select(kUnits, 0).Click(IDCANCEL);
    EXPECT_EQ(import_(), 0);
    ASSERT_TRUE(driver_.Finished()) << driver_.Report();
    EXPECT_EQ(Shown(driver_.Seen()[1]), (Five{2, 0, 1, 3, 1})) << "a REG_DWORD 2 reads as 2";
    EXPECT_EQ(Stored(), (Five{1004, -999, -999, 1003, -999}));
    EXPECT_EQ(host_.DocumentCount(), 0);
}

// When the settings key cannot be created, the dialog shows the defaults,
// never values of the same names directly under HKEY_CURRENT_USER, and OK
// writes nothing anywhere.
TEST_F(ImportCommand, AKeyThatCannotBeCreatedGivesDefaultsAndStoresNothing) {
    HKEY key;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\Tamrix", 0, nullptr,
                              REG_OPTION_VOLATILE, KEY_ALL_ACCESS, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    RegCloseKey(key);
    const int two = 2;
    for (const wchar_t* name : kValues)
        RegSetValueExW(HKEY_CURRENT_USER, name, 0, REG_BINARY, reinterpret_cast<const BYTE*>(&two),
                       4);

    Choose(kBracket).Check(1023, BST_CHECKED).Select(kUnits, 0).Click(IDOK);
    EXPECT_EQ(import_(), 1);
    ASSERT_TRUE(driver_.Finished()) << driver_.Report();
    EXPECT_EQ(Shown(driver_.Seen()[1]), (Five{0, 0, 1, 3, 1}));
    HKEY root;
    RegOpenKeyExW(HKEY_CURRENT_USER, L"", 0, KEY_READ, &root);
    for (const wchar_t* name : kValues) {
        int value = 0;
        DWORD size = 4;
        EXPECT_EQ(RegQueryValueExW(root, name, nullptr, nullptr, reinterpret_cast<BYTE*>(&value),
                                   &size),
                  ERROR_SUCCESS);
        EXPECT_EQ(value, 2) << "root value overwritten";
        RegDeleteValueW(root, name);
    }
    RegCloseKey(root);
    EXPECT_EQ(Stored()[0], -999) << "no key was made";
    // The choices still reach the import: an assembly, in millimetres.
    EXPECT_EQ(host_.Calls(cadhost::Op::HostNewAssembly), 1u);
}

TEST_F(ImportCommand, TheOptionsReachTheConverters) {
    Choose(kBracket).Check(1023, BST_CHECKED).Select(kUnits, 0).Check(1035, BST_CHECKED).Click(IDOK);
    EXPECT_EQ(import_(), 1);
    ASSERT_TRUE(driver_.Finished()) << driver_.Report();
    const auto lines = Lines({cadhost::Op::HostNewPart, cadhost::Op::HostNewAssembly,
                              cadhost::Op::DocSetLengthUnit, cadhost::Op::PartCreateBody});
    const std::vector<std::string> expected = {
        "HostNewAssembly() = 0", "DocSetLengthUnit[doc 0](0) = 0", // curves: an assembly in mm
        "HostNewPart() = 0",     "DocSetLengthUnit[doc 1](0) = 0", // meshes as sketch lines
    };
    EXPECT_EQ(lines, expected);
    EXPECT_EQ(Stored(), (Five{1, 1, 1, 0, 1}));
}

TEST_F(ImportCommand, OpenFileDialog) {
    // Cancel ends the command silently, before the options.
    driver_.Expect(L"Open").Click(IDCANCEL);
    EXPECT_EQ(import_(), 0);
    EXPECT_TRUE(driver_.Finished()) << driver_.Report();
    EXPECT_EQ(host_.DocumentCount(), 0);

    // The filter and default extension: a name without ".3dm" finds the file.
    std::wstring withoutExtension = kBracket.substr(0, kBracket.size() - 4);
    Choose(withoutExtension).Click(IDOK);
    EXPECT_EQ(import_(), 1);
    EXPECT_TRUE(driver_.Finished()) << driver_.Report();
    EXPECT_EQ(host_.DocumentCount(), 2);

    // A folder and file whose names are not ASCII.
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    const std::wstring folder = std::wstring(temp) + L"Modèle Ωμέγα 模型";
    CreateDirectoryW(folder.c_str(), nullptr);
    const std::wstring copy = folder + L"\\Träger.3dm";
    ASSERT_TRUE(CopyFileW(kBracket.c_str(), copy.c_str(), FALSE));
    Choose(copy).Click(IDOK);
    EXPECT_EQ(import_(), 1);
    EXPECT_TRUE(driver_.Finished()) << driver_.Report();
    EXPECT_EQ(host_.DocumentCount(), 4);
    DeleteFileW(copy.c_str());
    RemoveDirectoryW(folder.c_str());
}

// Each failure shows one box: the product title, the warning icon, OK only,
// owned by the main window, with the wait cursor on; afterwards it is off.
TEST_F(ImportCommand, FailuresShowOneBoxEach) {
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    const std::wstring damaged = std::wstring(temp) + L"damaged.3dm";
    {
        std::ifstream in(std::string(QUORLA_SOURCE_DIR "/examples/bracket.3dm"), std::ios::binary);
        std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        HANDLE file = CreateFileW(damaged.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0,
                                  nullptr);
        DWORD written = 0;
        WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size() / 2), &written, nullptr);
        CloseHandle(file);
    }
    const HCURSOR wait = LoadCursorW(nullptr, IDC_WAIT);
    struct Case {
        const char* what;
        std::wstring path;
        bool refuseParts;
        std::wstring text; // part of the message
        int documents;     // built before the failure, and kept
    };
    const Case cases[] = {
        {"missing file", std::wstring(temp) + L"no such model.3dm", false, L"no such model.3dm", 0},
        {"damaged file", damaged, false, L"damaged.3dm", 0},
        {"refused part", kBracket, true, L"", 0},
        {"failing mesh", kMeshes, false, L"Unable to create body from surfaces", 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const int before = host_.DocumentCount();
        if (c.refuseParts) host_.RefuseAll(cadhost::Op::HostNewPart);
        bool waitCursorWhileUp = false;
        Choose(c.path).Click(IDOK);
        driver_.Expect(kTitle)
            .Inspect([&](HWND, testsupport::SeenDialog&) { waitCursorWhileUp = GetCursor() == wait; })
            .Click(IDOK);
        EXPECT_EQ(import_(), 0);
        host_.AcceptAll();
        ASSERT_TRUE(driver_.Finished()) << driver_.Report();
        const testsupport::SeenDialog& box = driver_.Last();
        EXPECT_TRUE(box.warningIcon);
        EXPECT_TRUE(box.OkOnly());
        EXPECT_EQ(box.owner, main_->m_hWnd);
        EXPECT_FALSE(box.message.empty());
        EXPECT_NE(box.message.find(c.text), std::wstring::npos) << testsupport::Narrow(box.message);
        EXPECT_TRUE(waitCursorWhileUp);
        EXPECT_NE(GetCursor(), wait) << "the wait cursor stayed";
        EXPECT_EQ(host_.DocumentCount() - before, c.documents);
        EXPECT_EQ(host_.OutstandingRefs(), baseline_) << host_.Unreleased();
    }
    DeleteFileW(damaged.c_str());
}

// A file with points and B-reps but no curves still imports them; with
// progress off, meshes convert without a window while curves keep theirs.
TEST_F(ImportCommand, PointsAndBrepsWithoutCurvesArrive) {
    Choose(kPointsAndBreps).Check(kProgress, BST_UNCHECKED).Click(IDOK);
    EXPECT_EQ(import_(), 1);
    ASSERT_TRUE(driver_.Finished()) << driver_.Report();
    ASSERT_EQ(host_.DocumentCount(), 1);
    EXPECT_GT(host_.Calls(cadhost::Op::DocCreatePoint), 0u);
    EXPECT_GT(host_.Calls(cadhost::Op::DocCreateLine) +
                  host_.Calls(cadhost::Op::DocCreateArc) +
                  host_.Calls(cadhost::Op::DocCreateSplineFromNurbs),
              0u)
        << "the B-rep edges";
}

TEST_F(ImportCommand, TheExportDoesNothingWithoutTheAddinsHost) {
    // After event 3 the add-in has no host any more.
    host_.FireEvent3();
    EXPECT_EQ(import_(), 0);
    EXPECT_EQ(driver_.Count(), 0) << driver_.Report();
    app_->Release(); // the add-in forgot its reference: it is ours again
    baseline_ = host_.OutstandingRefs();
}

TEST(ImportCommandExport, BeforeInitUserDll3ItDoesNothing) {
    HMODULE module = LoadLibraryW(L"Quorla.dll");
    ASSERT_NE(module, nullptr);
    auto import = reinterpret_cast<QuorlaCommandFn>(
        reinterpret_cast<void*>(GetProcAddress(module, QUORLA_IMPORT_COMMAND_EXPORT)));
    testsupport::DialogDriver driver;
    EXPECT_EQ(import(), 0);
    EXPECT_EQ(driver.Count(), 0) << driver.Report();
    FreeLibrary(module);
}

// The host's own click on the menu item reaches the export, and every item
// of the add-in's menus names an export that exists.
TEST_F(ImportCommand, TheMenuItemReachesTheCommand) {
    driver_.Expect(L"Open").Click(IDCANCEL);
    EXPECT_TRUE(host_.ClickMenuItem(0, L"&Quorla", L"Import..."));
    EXPECT_TRUE(driver_.Finished()) << driver_.Report();

    host_.OpenDocument(1);
    host_.FireEvent5();
    int resolved = 0;
    for (long kind : {0L, 1L}) {
        int menu = host_.FindMenu(kind, L"&Quorla");
        ASSERT_GE(menu, 0);
        for (const cadhost::MenuItem& item : host_.Menus(kind)[static_cast<size_t>(menu)].items) {
            EXPECT_NE(cadhost::Host::ResolveCallback(item.callback), nullptr)
                << testsupport::Narrow(item.callback);
            resolved++;
        }
    }
    EXPECT_EQ(resolved, 6) << "Import, Help and About in the no-document and the part bar";
    driver_.Expect(L"Open").Click(IDCANCEL);
    EXPECT_TRUE(host_.ClickMenuItem(1, L"&Quorla", L"&Import..."));
    EXPECT_TRUE(driver_.Finished()) << driver_.Report();
    EXPECT_FALSE(host_.ClickMenuItem(1, L"&Quorla", L"&Missing..."));
    EXPECT_EQ(cadhost::Host::ResolveCallback(L"Quorla@NoSuchExport, hint"), nullptr);
    EXPECT_EQ(cadhost::Host::ResolveCallback(L"NotLoaded@MyQuorla_Import, hint"), nullptr);
}

} // namespace
