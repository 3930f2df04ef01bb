// The add-in's import run through its export, in this process with the
// embedded host: the Import command's message boxes when the caller gives no
// message callback, and the calls the run makes into the host.
#include "CadHost.h"
#include "QuorlaExports.h"

#include <TMXProgress.h>

#include <gtest/gtest.h>

#include <string>

namespace {

std::wstring Z(const std::string& unixPath) {
    return L"Z:" + std::wstring(unixPath.begin(), unixPath.end());
}

// The message box the run shows: found by a CBT hook on this thread when it
// activates, read, and closed with OK.
struct SeenBox {
    int count = 0;
    std::wstring caption, text;
    bool warningIcon = false, okOnly = false;
    HWND last = nullptr; // a box may be activated more than once, and a null window after it
};
SeenBox* g_seen = nullptr;
HHOOK g_hook = nullptr;

LRESULT CALLBACK BoxHook(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_ACTIVATE && g_seen) {
        HWND box = reinterpret_cast<HWND>(wParam);
        if (!box || box == g_seen->last) return CallNextHookEx(g_hook, code, wParam, lParam);
        g_seen->last = box;
        wchar_t buffer[1024];
        GetWindowTextW(box, buffer, 1024);
        g_seen->caption = buffer;
        GetDlgItemTextW(box, 0xFFFF, buffer, 1024); // the text of a message box
        g_seen->text = buffer;
        // The warning icon is an icon static showing the system's warning icon.
        const HICON warning = LoadIconW(nullptr, IDI_WARNING);
        for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
            if ((GetWindowLongW(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON &&
                reinterpret_cast<HICON>(SendMessageW(child, STM_GETICON, 0, 0)) == warning)
                g_seen->warningIcon = true;
        // OK is the only button.
        g_seen->okOnly = GetDlgItem(box, IDOK) && !GetDlgItem(box, IDCANCEL);
        g_seen->count++;
        PostMessageW(box, WM_COMMAND, IDOK, 0);
    }
    return CallNextHookEx(g_hook, code, wParam, lParam);
}

class ImportRun : public ::testing::Test {
protected:
    void SetUp() override {
        module_ = LoadLibraryW(L"Quorla.dll");
        ASSERT_NE(module_, nullptr);
        auto init = reinterpret_cast<QuorlaInitUserDLL3Fn>(
            reinterpret_cast<void*>(GetProcAddress(module_, QUORLA_INIT_EXPORT)));
        import_ = reinterpret_cast<QuorlaImportFn>(
            reinterpret_cast<void*>(GetProcAddress(module_, QUORLA_IMPORT_EXPORT)));
        ASSERT_TRUE(init && import_);
        ASSERT_EQ(init(host_.Application()), 1);
        refsAfterStart_ = host_.OutstandingRefs();
        g_seen = &seen_;
        g_hook = SetWindowsHookExW(WH_CBT, BoxHook, nullptr, GetCurrentThreadId());
        TMXProgress::SetPresentation(TMXProgress::PresentNone);
    }
    void TearDown() override {
        TMXProgress::SetPresentation(TMXProgress::PresentWindow);
        UnhookWindowsHookEx(g_hook);
        g_seen = nullptr;
        if (module_) FreeLibrary(module_);
    }

    int Import(const std::wstring& path, QuorlaImportResult* result, int progress = 1) {
        QuorlaImportOptions options{0, 0, 1, 3, progress, 1};
        QuorlaImportCallbacks boxes{nullptr, nullptr, nullptr};
        return import_(path.c_str(), &options, &boxes, result);
    }

    cadhost::Host host_; // outlives the add-in
    HMODULE module_ = nullptr;
    QuorlaImportFn import_ = nullptr;
    SeenBox seen_;
    long refsAfterStart_ = 0; // the add-in's own: the host and its event connection
};

TEST_F(ImportRun, WithoutACallbackAFailureIsTheCommandsMessageBox) {
    QuorlaImportResult result;
    EXPECT_EQ(Import(L"no-such-file.3dm", &result), 0);
    EXPECT_EQ(result.failedStep, 1);
    ASSERT_EQ(seen_.count, 1);
    EXPECT_EQ(seen_.caption, L"Quorla for SolidWorks 2008 version 1.0");
    EXPECT_NE(seen_.text.find(L"no-such-file.3dm"), std::wstring::npos);
    EXPECT_TRUE(seen_.warningIcon);
    EXPECT_TRUE(seen_.okOnly);
    EXPECT_EQ(host_.DocumentCount(), 0);

    // A mesh that cannot be a solid: the converter's text, what was built stays.
    EXPECT_EQ(Import(Z(QUORLA_SHARED_DIR "/fixtures/3dm/meshes.v8.3dm"), &result), 0);
    EXPECT_EQ(result.failedStep, 3);
    ASSERT_EQ(seen_.count, 2);
    EXPECT_EQ(seen_.text, L"Unable to create body from surfaces");
    EXPECT_EQ(host_.DocumentCount(), 1);
    EXPECT_EQ(host_.OutstandingRefs(), refsAfterStart_) << "handles the run kept:\n"
                                                        << host_.Unreleased();
}

TEST_F(ImportRun, CurvesRunWithProgressWhateverTheOptionAndMeshesWithIt) {
    host_.ClearJournal();
    QuorlaImportResult result;
    EXPECT_EQ(Import(Z(QUORLA_SOURCE_DIR "/examples/bracket.3dm"), &result, 0), 1);
    EXPECT_EQ(seen_.count, 0) << "no message on success";
    EXPECT_EQ(result.failedStep, 0);
    EXPECT_EQ(result.unitIndex, 0) << "the file's millimetres";
    EXPECT_EQ(result.unitFromFile, 1);
    EXPECT_EQ(result.curvesConverted, 1);
    EXPECT_EQ(result.meshesConverted, 1);
    EXPECT_EQ(result.points, 4);
    EXPECT_EQ(result.breps, 2);
    EXPECT_EQ(result.meshes, 2);
    // Points, curves and B-rep edges into one part, meshes into a second.
    EXPECT_EQ(host_.Calls(cadhost::Op::HostNewPart), 2u);
    EXPECT_EQ(host_.Calls(cadhost::Op::DocCreatePoint), 4u);
    EXPECT_EQ(host_.Calls(cadhost::Op::PartCreateBody), 2u);
    EXPECT_EQ(host_.Document(0).lengthUnit, 0);
    EXPECT_EQ(host_.Document(1).bodies.size(), 2u);
    EXPECT_EQ(host_.OutstandingRefs(), refsAfterStart_) << host_.Unreleased();
}

TEST_F(ImportRun, MissingArgumentsOrAStoppedAddinGiveMinusOne) {
    QuorlaImportOptions options{0, 0, 1, 3, 1, 1};
    QuorlaImportResult result;
    result.failedStep = 99;
    EXPECT_EQ(import_(nullptr, &options, nullptr, &result), -1);
    EXPECT_EQ(result.failedStep, 0) << "the result is cleared";
    EXPECT_EQ(import_(L"x.3dm", nullptr, nullptr, nullptr), -1);
    EXPECT_EQ(seen_.count, 0);
}

} // namespace
