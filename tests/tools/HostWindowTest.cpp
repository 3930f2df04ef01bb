// The host program's windows in this process with the real add-in: menus
// driven with WM_COMMAND, dialogs answered by the dialog driver, the
// document windows and their lists against the host's documents, pixels of
// the views, and what closing gives back.
#include "DialogDriver.h"
#include "DocumentView.h"
#include "DocumentWindow.h"
#include "FaceRaster.h"
#include "HostContract.h"
#include "HostScript.h"
#include "HostWindow.h"
#include "ImportPatch.h"
#include "ProcessProbes.h"
#include "WindowCapture.h"

#include <framework.h>

#include <gtest/gtest.h>

#include <commctrl.h>

#include <fstream>
#include <iterator>

namespace {

CWinApp g_app(L"Host window tests");

using quorlahost::DocumentWindow;
using quorlahost::HostWindow;

const wchar_t kTitle[] = L"Quorla for SolidWorks 2008 version 1.0";

std::wstring Z(const std::string& unixPath) {
    std::wstring path = L"Z:" + std::wstring(unixPath.begin(), unixPath.end());
    for (wchar_t& c : path)
        if (c == L'/') c = L'\\';
    return path;
}
const std::wstring kBracket = Z(QUORLA_SOURCE_DIR "/examples/bracket.3dm");

std::wstring BinFolder() {
    wchar_t path[MAX_PATH];
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder(path);
    return folder.substr(0, folder.find_last_of(L'\\') + 1);
}

// The top-level texts of a menu bar.
std::vector<std::wstring> BarTexts(HMENU bar) {
    std::vector<std::wstring> texts;
    for (int i = 0; i < GetMenuItemCount(bar); i++) {
        wchar_t text[64] = {};
        GetMenuStringW(bar, static_cast<UINT>(i), text, 64, MF_BYPOSITION);
        texts.push_back(text);
    }
    return texts;
}

std::vector<std::wstring> HostTexts(const cadhost::Host& host, long kind) {
    std::vector<std::wstring> texts;
    for (const cadhost::Menu& m : host.Menus(kind))
        texts.push_back(m.text);
    return texts;
}

std::wstring ListText(HWND list, int row, int column) {
    wchar_t text[128] = {};
    LVITEMW item{};
    item.iSubItem = column;
    item.pszText = text;
    item.cchTextMax = 128;
    SendMessageW(list, LVM_GETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
    return text;
}

class HostWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Tamrix");
        host_ = std::make_unique<HostWindow>();
        ASSERT_TRUE(host_->Create(1000, 700));
        ShowWindow(host_->Frame(), SW_SHOW);
        std::wstring reason;
        ASSERT_TRUE(host_->LoadAddin(BinFolder() + L"Quorla.dll", &reason)) << testsupport::Narrow(reason);
        driver_.IgnoreWhen(testsupport::IsProgressWindow);
    }
    void TearDown() override {
        host_.reset();
        RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Tamrix");
    }
    cadhost::Host& Host() { return host_->Host(); }

    // "&Quorla" in the bar shown, and the bar's menus in the host's order.
    void ExpectBar(long kind) {
        EXPECT_EQ(host_->ShownKind(), kind);
        const std::vector<std::wstring> shown = BarTexts(GetMenu(host_->Frame()));
        EXPECT_EQ(shown, HostTexts(Host(), kind));
        EXPECT_EQ(std::count(shown.begin(), shown.end(), L"&Quorla"), 1) << "bar " << kind;
    }

    // Each open document has one window titled with its name and kind, whose
    // list gives its counts; nothing else has a window.
    void ExpectWindowsMatchDocuments() {
        int open = 0;
        for (int id = 0; id < Host().DocumentCount(); id++) {
            SCOPED_TRACE(id);
            HWND child = host_->DocumentWindowOf(id);
            if (!Host().DocumentOpen(id)) {
                EXPECT_EQ(child, nullptr);
                continue;
            }
            open++;
            ASSERT_NE(child, nullptr);
            const cadhost::DocumentModel& doc = Host().Document(id);
            const wchar_t* kind = doc.kind == 1 ? L"part" : doc.kind == 2 ? L"assembly" : L"drawing";
            EXPECT_EQ(testsupport::WindowText(child), doc.name + L" (" + kind + L")");
            // The counts read from the model, each kind that has any.
            std::map<std::wstring, std::size_t> expected;
            const wchar_t* names[] = {L"Points", L"Lines", L"Circles", L"Arcs",
                                      L"Splines through points", L"NURBS splines"};
            for (int k = 0; k < cadhost::kEntityKindCount; k++)
                if (std::size_t n = doc.Count(static_cast<cadhost::EntityKind>(k))) expected[names[k]] = n;
            if (!doc.sketches.empty()) expected[L"3D sketches"] = doc.sketches.size();
            for (const cadhost::Body& b : doc.bodies) {
                expected[b.solid ? L"Solid bodies" : L"Sheet bodies"]++;
                expected[L"Faces"] += b.faces.size();
            }
            std::map<std::wstring, std::size_t> listed;
            HWND list = DocumentWindow::List(child);
            for (int row = 0; row < SendMessageW(list, LVM_GETITEMCOUNT, 0, 0); row++)
                listed[ListText(list, row, 0)] = std::stoul(ListText(list, row, 1));
            EXPECT_EQ(listed, expected);
        }
        int windows = 0;
        for (HWND c = GetWindow(host_->Client(), GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
            windows += DocumentWindow::DocumentId(c) >= 0;
        EXPECT_EQ(windows, open);
    }

    void ImportBracketThroughMenu(int command) {
        driver_.Expect(L"Open").Do([](HWND d) {
            HWND field = GetDlgItem(d, 1148);
            SetWindowTextW(field ? field : GetDlgItem(d, 1152), kBracket.c_str());
        }).Click(IDOK);
        driver_.Expect(L"Quorla for SolidWorks Options").Click(IDOK);
        host_->Command(command);
        EXPECT_TRUE(driver_.Finished()) << driver_.Report();
    }

    std::unique_ptr<HostWindow> host_;
    testsupport::DialogDriver driver_;
};

// The bar follows the active document's kind, and each bar gets the
// add-in's menu once, from the events the activation fires.
TEST_F(HostWindowTest, TheMenuBarFollowsTheActiveDocument) {
    ExpectBar(0);
    int ids[4] = {-1};
    for (long kind : {1L, 2L, 3L}) {
        ids[kind] = Host().OpenDocument(kind);
        host_->SyncDocuments();
    }
    struct Step {
        long kind; // whose window comes to the front
    } steps[] = {{1}, {3}, {2}, {1}, {2}};
    for (const Step& s : steps) {
        SCOPED_TRACE(s.kind);
        SendMessageW(host_->Client(), WM_MDIACTIVATE,
                     reinterpret_cast<WPARAM>(host_->DocumentWindowOf(ids[s.kind])), 0);
        EXPECT_EQ(Host().ActiveDocumentId(), ids[s.kind]);
        ExpectBar(s.kind);
    }
    EXPECT_EQ(Host().Calls(cadhost::Op::FrameAddMenu), 3u) << "once per bar";
    // Closing them all brings back the no-document bar.
    for (int n = 0; n < 3; n++)
        host_->Command(quorlahost::kCmdClose);
    EXPECT_EQ(Host().ActiveDocumentId(), -1);
    ExpectBar(0);
}

// Import through the add-in's item and through the host's File > Open.
TEST_F(HostWindowTest, ImportThroughTheMenusOpensAWindowPerDocument) {
    const struct {
        const wchar_t* menu;
        const wchar_t* item;
    } cases[] = {{L"&Quorla", L"Import..."}, {L"&File", L"&Open .3dm..."}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testsupport::Narrow(c.item));
        const int before = Host().DocumentCount();
        const int command = host_->CommandId(c.menu, c.item);
        ASSERT_NE(command, 0);
        ImportBracketThroughMenu(command);
        EXPECT_EQ(Host().DocumentCount() - before, 2) << "a part with the sketch, one with the bodies";
        ExpectWindowsMatchDocuments();
        EXPECT_EQ(host_->ActiveDocumentWindowId(), Host().ActiveDocumentId());
        ExpectBar(1);
    }
}

// Help and About reach their exports; an item whose export is missing
// makes the host say so and go on.
TEST_F(HostWindowTest, MenuItemsCallTheirExports) {
    static int shellCalls = 0;
    shellCalls = 0;
    testsupport::ImportPatch shell(GetModuleHandleW(L"Quorla.dll"), "shell32.dll", "ShellExecuteW",
                                   +[](HWND, LPCWSTR, LPCWSTR, LPCWSTR, LPCWSTR, INT) {
                                       ++shellCalls;
                                       return reinterpret_cast<HINSTANCE>(42);
                                   });
    ASSERT_TRUE(shell.Active());
    IDispatch* app = Host().Application();
    IHostApplication* hostApp = nullptr;
    ASSERT_EQ(app->QueryInterface(IID_IHostApplication, reinterpret_cast<void**>(&hostApp)), S_OK);
    LONG at = 0;
    hostApp->AddMenuItem(0, L"Missing...@&Quorla", -1, L"Quorla@MyQuorla_Missing, none", &at);
    hostApp->Release();
    app->Release();
    host_->RefreshMenuBar();

    struct Case {
        const wchar_t* item;
        const wchar_t* dialog; // the dialog it shows, or null
        int shellCalls;
    } cases[] = {{L"&Help...", nullptr, 1},
                 {L"&About...", L"About Quorla for SolidWorks 2008 version 1.0", 0},
                 {L"Missing...", L"Embedded CAD host", 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testsupport::Narrow(c.item));
        shellCalls = 0;
        if (c.dialog) driver_.Expect(c.dialog).Click(IDOK);
        host_->Command(host_->CommandId(L"&Quorla", c.item));
        EXPECT_TRUE(driver_.Finished()) << driver_.Report();
        EXPECT_EQ(shellCalls, c.shellCalls);
    }
    EXPECT_NE(driver_.Last().message.find(L"MyQuorla_Missing"), std::wstring::npos);
    EXPECT_EQ(driver_.Last().owner, host_->Frame());
}

// A picture of the main window has its size, and the views show the
// entities and faces where the projection puts them.
TEST_F(HostWindowTest, TheViewsPaintTheDocuments) {
    ASSERT_EQ(host_->ImportFiles({kBracket}), 1);
    host_->Command(quorlahost::kCmdTile);
    wincapture::Pump(200);
    const wincapture::Picture picture = wincapture::Capture(host_->Frame());
    RECT frame;
    GetWindowRect(host_->Frame(), &frame);
    ASSERT_EQ(picture.width, frame.right - frame.left);
    ASSERT_EQ(picture.height, frame.bottom - frame.top);
    // Whether a view pixel near a model point differs from the background.
    auto drawnNear = [&](quorlahost::DocumentView* view, const cadhost::Vec3& p) {
        POINT at = view->ClientPoint(p);
        ClientToScreen(view->Window(), &at);
        for (int dy = -1; dy <= 1; dy++)
            for (int dx = -1; dx <= 1; dx++)
                if (picture.At(at.x - frame.left + dx, at.y - frame.top + dy) !=
                    quorlahost::DocumentView::kBackground)
                    return true;
        return false;
    };
    int checked = 0;
    for (int id = 0; id < Host().DocumentCount(); id++) {
        const cadhost::DocumentModel& doc = Host().Document(id);
        auto* view = quorlahost::DocumentView::From(DocumentWindow::View(host_->DocumentWindowOf(id)));
        ASSERT_NE(view, nullptr);
        for (std::size_t i = 0; i < doc.entities.size(); i += 7) {
            const cadhost::Entity& e = doc.entities[i];
            if (e.kind != cadhost::EntityKind::Line) continue;
            const cadhost::Vec3 a = doc.At(e, 0), b = doc.At(e, 1);
            EXPECT_TRUE(drawnNear(view, {(a.x + b.x) / 2, (a.y + b.y) / 2, (a.z + b.z) / 2}))
                << "line " << i << " of " << testsupport::Narrow(doc.name);
            checked++;
        }
        for (const cadhost::Body& body : doc.bodies) {
            const cadhost::Face& f = body.faces[body.faces.size() / 2];
            cadhost::Vec3 c{};
            for (int k = 0; k < f.count; k++)
                c = {c.x + f.Corner(k).x / f.count, c.y + f.Corner(k).y / f.count,
                     c.z + f.Corner(k).z / f.count};
            EXPECT_TRUE(drawnNear(view, c)) << "a face of " << testsupport::Narrow(doc.name);
            checked++;
        }
        // The corner away from the axes is background: the picture is not all ink.
        RECT client;
        GetClientRect(view->Window(), &client);
        POINT corner{client.right - 3, 3};
        ClientToScreen(view->Window(), &corner);
        EXPECT_EQ(picture.At(corner.x - frame.left, corner.y - frame.top),
                  quorlahost::DocumentView::kBackground);
    }
    EXPECT_GT(checked, 3);
}

// Files on the command line: a damaged or missing one shows the add-in's
// message box and the next one is still imported; closing every document
// gives back the host's handles and the windows' GDI objects.
TEST_F(HostWindowTest, BadFilesAreReportedAndClosingGivesEverythingBack) {
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    const std::wstring damaged = std::wstring(temp) + L"host-damaged.3dm";
    {
        std::ifstream in(std::string(QUORLA_SOURCE_DIR "/examples/bracket.3dm"), std::ios::binary);
        std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        std::ofstream out(testsupport::Narrow(damaged).c_str(), std::ios::binary);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size() / 2));
    }
    const long refs = Host().OutstandingRefs();
    const int gdi = testsupport::GdiObjectCount();
    for (const wchar_t* name : {L"host-damaged.3dm", L"no such model.3dm"})
        driver_.Expect(kTitle).Inspect([name](HWND, testsupport::SeenDialog& seen) {
            EXPECT_NE(seen.message.find(name), std::wstring::npos) << testsupport::Narrow(seen.message);
        }).Click(IDOK);
    EXPECT_EQ(host_->ImportFiles({damaged, std::wstring(temp) + L"no such model.3dm", kBracket}), 1);
    EXPECT_TRUE(driver_.Finished()) << driver_.Report();
    for (const testsupport::SeenDialog& box : driver_.Seen())
        EXPECT_EQ(box.owner, host_->Frame());
    ExpectWindowsMatchDocuments();
    EXPECT_EQ(Host().DocumentCount(), 2);

    wincapture::Pump(100); // the views paint, taking their buffers
    while (host_->ActiveDocumentWindowId() >= 0)
        host_->Command(quorlahost::kCmdClose);
    ExpectWindowsMatchDocuments();
    EXPECT_EQ(Host().OutstandingRefs(), refs) << Host().Unreleased();
    EXPECT_EQ(testsupport::GdiObjectCount(), gdi);
    DeleteFileW(damaged.c_str());
}

// The program itself: --screenshot with a script pictures the add-in's
// message box for a missing file, the progress windows of the next import
// and the main window, answering the box on its own, and ends with 0.
TEST(HostProgram, ScreenshotsOfAScriptedRun) {
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    const std::wstring dir = std::wstring(temp) + L"host-shots-" + std::to_wstring(GetCurrentProcessId());
    CreateDirectoryW(dir.c_str(), nullptr);
    {
        std::ofstream script(testsupport::Narrow(dir + L"\\run.script").c_str());
        script << "import \"" << testsupport::Narrow(dir) << "\\missing.3dm\"\n"
               << "import \"" << testsupport::Narrow(kBracket) << "\"\n"
               << "menu &Window &Cascade\nshot after\n";
    }
    std::wstring command = L"\"" + BinFolder() + L"quorla-host.exe\" --screenshot \"" + dir +
                           L"\\shots\" --script \"" + dir + L"\\run.script\"";
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    ASSERT_TRUE(CreateProcessW(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                               &si, &pi));
    ASSERT_EQ(WaitForSingleObject(pi.hProcess, 120000), WAIT_OBJECT_0);
    DWORD code = 99;
    GetExitCodeProcess(pi.hProcess, &code);
    CloseHandle(pi.hProcess);
    CloseHandle(pi.hThread);
    EXPECT_EQ(code, 0u);
    for (const std::wstring& name : {L"01-" + std::wstring(kTitle), std::wstring(L"02-progress-Creating points"),
                                     std::wstring(L"after"), std::wstring(L"main")}) {
        const std::wstring path = dir + L"\\shots\\" + name + L".png";
        EXPECT_NE(GetFileAttributesW(path.c_str()), INVALID_FILE_ATTRIBUTES) << testsupport::Narrow(path);
    }
    WIN32_FIND_DATAW found;
    HANDLE find = FindFirstFileW((dir + L"\\shots\\*.png").c_str(), &found);
    for (BOOL more = find != INVALID_HANDLE_VALUE; more; more = FindNextFileW(find, &found))
        DeleteFileW((dir + L"\\shots\\" + found.cFileName).c_str());
    if (find != INVALID_HANDLE_VALUE) FindClose(find);
    DeleteFileW((dir + L"\\run.script").c_str());
    RemoveDirectoryW((dir + L"\\shots").c_str());
    RemoveDirectoryW(dir.c_str());
}

// Where faces overlap the nearest wins; faces off the picture are skipped.
TEST(FaceRaster, TheNearestFaceWins) {
    cadhost::DocumentModel doc;
    auto square = [](double z, double size, double nx) {
        cadhost::Face f;
        f.count = 4;
        const double c[12] = {-size, -size, z, size, -size, z, size, size, z, -size, size, z};
        std::copy(c, c + 12, f.corners);
        f.normal[0] = nx;
        f.normal[2] = 1 - nx;
        return f;
    };
    doc.bodies.resize(1);
    doc.bodies[0].faces.push_back(square(1, 1, 0));     // in front (larger z is nearer from above)
    doc.bodies[0].faces.push_back(square(0, 2, 1));     // behind, larger
    doc.bodies[0].faces.push_back(square(0, 1, 0));
    doc.bodies[0].faces.back().corners[0] = 1e6;        // reaches far off the picture
    const docview::Projection top = docview::Projection::FromAngles(0, 1.5);
    docview::Bounds b;
    b.Add(top.Project(cadhost::Vec3{-2, -2, 0}));
    b.Add(top.Project(cadhost::Vec3{2, 2, 0}));
    const docview::ScreenMap map = docview::ScreenMap::Fit(b, 0, 0, 40, 40);
    std::vector<std::uint32_t> pixels(40 * 40);
    quorlahost::FaceRaster raster;
    raster.Begin(pixels.data(), 40, 40, 0xFFFFFF);
    const quorlahost::RasterStats stats = raster.Draw(doc, top, map);
    EXPECT_EQ(stats.faces, 3u);
    const std::uint32_t front = docview::FaceColour(top.Shade(doc.bodies[0].faces[0].normal));
    const std::uint32_t back = docview::FaceColour(top.Shade(doc.bodies[0].faces[1].normal));
    ASSERT_NE(front, back);
    EXPECT_EQ(pixels[20 * 40 + 20], front);
    EXPECT_EQ(pixels[2 * 40 + 2], back);
}

// Scripts that cannot run say where and why.
TEST(HostScriptTest, BadLinesAreRefusedWithTheirNumber) {
    const struct {
        const wchar_t* text;
        const wchar_t* error;
    } cases[] = {
        {L"menu \"&Quorla\" \"Import...\"\nclick 1\n", L"line 2: click outside a dialog"},
        {L"# pictures\n\nfly away\n", L"line 3: unknown step \"fly\""},
        {L"dialog Open\ncheck box 1\n", L"line 2: a control id is a number"},
        {L"turn Part1 30\n", L"line 1: wrong number of arguments for turn"},
    };
    for (const auto& c : cases) {
        quorlahost::HostScript script;
        std::wstring error;
        EXPECT_FALSE(script.Parse(c.text, &error));
        EXPECT_EQ(error, c.error);
    }
    EXPECT_EQ(quorlahost::HostScript::Split(L"file \"C:\\a b.3dm\" # note"),
              (std::vector<std::wstring>{L"file", L"C:\\a b.3dm"}));
}

} // namespace
