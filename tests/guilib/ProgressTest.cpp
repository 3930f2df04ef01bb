// The progress window, read back from the real window.
#include "GuiTestSupport.h"

#include <TMXProgress.h>

#include <gtest/gtest.h>

#include <cmath>
#include <memory>

using guitest::WindowText;

namespace {

const int kStatusId = 8000;
const int kBarId = 8001;

// The open progress window of this thread: a dialog with our bar and status line.
HWND FindProgressWindow() {
    for (HWND hwnd : guitest::ThreadWindows()) {
        HWND bar = GetDlgItem(hwnd, kBarId);
        if (IsWindow(hwnd) && bar && guitest::ClassName(bar) == PROGRESS_CLASSW &&
            GetDlgItem(hwnd, kStatusId))
            return hwnd;
    }
    return nullptr;
}

class ProgressWindow : public ::testing::Test {
protected:
    void TearDown() override {
        AfxGetApp()->m_pMainWnd = nullptr;
        EXPECT_EQ(FindProgressWindow(), nullptr) << "a progress window outlived its test";
    }

    // Opens the window and returns it, failing the test when there is none.
    HWND Start(TMXProgress& progress) {
        progress.StartProgress();
        HWND hwnd = FindProgressWindow();
        EXPECT_NE(hwnd, nullptr) << "StartProgress opened no window";
        return hwnd;
    }
    static int BarPos(HWND hwnd) {
        return static_cast<int>(SendDlgItemMessageW(hwnd, kBarId, PBM_GETPOS, 0, 0));
    }
    static std::wstring Status(HWND hwnd) { return WindowText(GetDlgItem(hwnd, kStatusId)); }
    static std::wstring PercentText(int percent) {
        return std::to_wstring(percent) + L" % complete";
    }
};

TEST_F(ProgressWindow, DefaultObjectOpensEmptyCentredWindowWithoutOwner) {
    TMXProgress progress;
    EXPECT_STREQ(progress.GetTitle(), L"Progress");
    EXPECT_STREQ(progress.GetStatus(), L"");
    EXPECT_EQ(progress.GetMin(), 0.0);
    EXPECT_EQ(progress.GetMax(), 100.0);
    EXPECT_EQ(progress.GetCurrent(), 0.0);
    EXPECT_EQ(progress.GetParentWnd(), nullptr);

    HWND hwnd = Start(progress);
    ASSERT_NE(hwnd, nullptr);
    EXPECT_EQ(WindowText(hwnd), L"Progress");
    EXPECT_EQ(Status(hwnd), L"0 % complete");
    EXPECT_EQ(BarPos(hwnd), 0);
    EXPECT_TRUE(IsWindowVisible(hwnd));
    EXPECT_EQ(GetWindow(hwnd, GW_OWNER), nullptr);
    EXPECT_EQ(progress.GetParentWnd(), nullptr);

    // No close box, no buttons: the user cannot stop the work from here.
    LONG_PTR style = GetWindowLongPtrW(hwnd, GWL_STYLE);
    EXPECT_FALSE(style & WS_SYSMENU);
    EXPECT_TRUE(style & WS_CAPTION);

    // Centred in the work area of its monitor.
    RECT window;
    GetWindowRect(hwnd, &window);
    MONITORINFO info{};
    info.cbSize = sizeof info;
    GetMonitorInfoW(MonitorFromWindow(hwnd, MONITOR_DEFAULTTONEAREST), &info);
    int dx = (window.left + window.right) - (info.rcWork.left + info.rcWork.right);
    int dy = (window.top + window.bottom) - (info.rcWork.top + info.rcWork.bottom);
    EXPECT_LE(std::abs(dx), 2) << "window " << window.left << ".." << window.right;
    EXPECT_LE(std::abs(dy), 2) << "window " << window.top << ".." << window.bottom;

    progress.EndProgress();
    EXPECT_EQ(FindProgressWindow(), nullptr);
}

// One sequence of calls after StartProgress and what the window shows after each.
struct Step {
    enum Kind { StepBy, SetTo } kind;
    double value;
    int bar;
    int text;
};

struct RangeCase {
    const char* name;
    double min, max;
    int startBar; // and the start text's percentage
    std::vector<Step> steps;
};

class ProgressRanges : public ProgressWindow, public ::testing::WithParamInterface<RangeCase> {};

TEST_P(ProgressRanges, BarAndStatusFollowTheTruncatedPercentage) {
    const RangeCase& c = GetParam();
    TMXProgress progress(L"Working", CString(), 0.0, 100.0, nullptr);
    progress.SetMin(c.min);
    progress.SetMax(c.max);
    HWND hwnd = Start(progress);
    ASSERT_NE(hwnd, nullptr);
    EXPECT_EQ(progress.GetCurrent(), c.min);
    EXPECT_EQ(BarPos(hwnd), c.startBar);
    EXPECT_EQ(Status(hwnd), PercentText(c.startBar));
    int n = 0;
    for (const Step& s : c.steps) {
        ++n;
        if (s.kind == Step::StepBy)
            progress.StepIt(s.value);
        else
            progress.SetCurrent(s.value);
        EXPECT_EQ(BarPos(hwnd), s.bar) << "after call " << n;
        EXPECT_EQ(Status(hwnd), PercentText(s.text)) << "after call " << n;
    }
    progress.EndProgress();
}

std::vector<Step> TenSteps() {
    std::vector<Step> steps;
    for (int i = 1; i <= 10; ++i)
        steps.push_back({Step::StepBy, 1.0, i * 10, i * 10});
    return steps;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ProgressRanges,
    ::testing::Values(
        RangeCase{"ZeroToTenInTenSteps", 0, 10, 0, TenSteps()},
        RangeCase{"ThirdIsTruncated",
                  0,
                  3,
                  0,
                  {{Step::StepBy, 1.0, 33, 33}, {Step::StepBy, 1.0, 66, 66}}},
        RangeCase{
            "OffsetRange", 50, 150, 0, {{Step::SetTo, 100, 50, 50}, {Step::SetTo, 150, 100, 100}}},
        // The bar clamps its own position; the text shows the raw number.
        RangeCase{
            "PastTheMaximum", 0, 10, 0, {{Step::SetTo, 11, 100, 110}, {Step::StepBy, 1, 100, 120}}},
        RangeCase{"BelowTheMinimum", 0, 10, 0, {{Step::SetTo, -5, 0, -50}}},
        // Truncation is toward zero, not down.
        RangeCase{"NegativeFractionTruncatesTowardZero",
                  0,
                  1000,
                  0,
                  {{Step::SetTo, -5, 0, 0}, {Step::SetTo, -15, 0, -1}}},
        // Empty collections: a 0-to-0 range is complete from the start.
        RangeCase{"EmptyRangeIsComplete", 0, 0, 100, {{Step::StepBy, 1.0, 100, 100}}},
        RangeCase{"EmptyRangeBelowItsValue",
                  5,
                  5,
                  100,
                  {{Step::SetTo, 4, 0, 0}, {Step::SetTo, 5, 100, 100}}},
        RangeCase{
            "ReversedRange", 10, 0, 0, {{Step::SetTo, 5, 50, 50}, {Step::SetTo, 0, 100, 100}}},
        // Beyond int: clamped rather than undefined.
        RangeCase{"HugeValueIsClamped", 0, 1, 0, {{Step::SetTo, 1e300, 100, INT_MAX}}},
        RangeCase{"NotANumberShowsZero",
                  0,
                  10,
                  0,
                  {{Step::SetTo, 5, 50, 50}, {Step::SetTo, std::nan(""), 0, 0}}}),
    [](const ::testing::TestParamInfo<RangeCase>& info) { return std::string(info.param.name); });

TEST_F(ProgressWindow, StepsAccumulateInDoublePrecisionAndTruncate) {
    TMXProgress progress(L"Fine steps", CString(), 0.0, 1.0, nullptr);
    HWND hwnd = Start(progress);
    ASSERT_NE(hwnd, nullptr);
    for (int i = 0; i < 10; ++i)
        progress.StepIt(0.1);
    // Ten tenths add up to just under 1 in doubles: 99.99... shows as 99.
    EXPECT_EQ(progress.GetCurrent(), 0.9999999999999999);
    EXPECT_EQ(BarPos(hwnd), 99);
    EXPECT_EQ(Status(hwnd), L"99 % complete");
    progress.EndProgress();
}

TEST_F(ProgressWindow, GivenStatusStaysWhileTheBarMovesUntilCleared) {
    TMXProgress progress(L"Status", L"Reading file", 0.0, 4.0, nullptr);
    HWND hwnd = Start(progress);
    ASSERT_NE(hwnd, nullptr);
    EXPECT_EQ(Status(hwnd), L"Reading file");
    progress.StepIt(1.0);
    EXPECT_EQ(BarPos(hwnd), 25);
    EXPECT_EQ(Status(hwnd), L"Reading file");

    progress.SetStatus(L"Building bodies");
    EXPECT_EQ(Status(hwnd), L"Building bodies");
    progress.StepIt(1.0);
    EXPECT_EQ(Status(hwnd), L"Building bodies");
    EXPECT_EQ(BarPos(hwnd), 50);

    // An empty status empties the line at once, and the next update shows the
    // percentage again even though the percentage itself did not change.
    progress.SetStatus(L"");
    EXPECT_EQ(Status(hwnd), L"");
    progress.StepIt(0.0);
    EXPECT_EQ(Status(hwnd), L"50 % complete");
    progress.EndProgress();
}

TEST_F(ProgressWindow, UnchangedPercentageSendsNothingToTheWindow) {
    const int items = 200000;
    TMXProgress progress(L"Many items", CString(), 0.0, items, nullptr);
    HWND hwnd = Start(progress);
    ASSERT_NE(hwnd, nullptr);
    guitest::MessageCounter bar(GetDlgItem(hwnd, kBarId));
    guitest::MessageCounter status(GetDlgItem(hwnd, kStatusId));
    guitest::MessageCounter dialog(hwnd);
    int quietSteps = 0, noisyQuietSteps = 0;
    for (int i = 1; i <= items; ++i) {
        int before = bar.Total() + status.Total() + dialog.Total();
        progress.StepIt(1.0);
        // The same arithmetic as the object: a double quotient times 100, truncated.
        bool percentChanged = static_cast<int>(i / double(items) * 100.0) !=
                              static_cast<int>((i - 1) / double(items) * 100.0);
        if (!percentChanged) {
            ++quietSteps;
            if (bar.Total() + status.Total() + dialog.Total() != before) ++noisyQuietSteps;
        }
    }
    EXPECT_EQ(quietSteps, items - 100);
    EXPECT_EQ(noisyQuietSteps, 0) << "steps within one percent reached the window";
    // One position and one text per whole percent, 1 to 100.
    EXPECT_EQ(bar.Count(PBM_SETPOS), 100);
    EXPECT_EQ(status.Count(WM_SETTEXT), 100);
    EXPECT_EQ(BarPos(hwnd), 100);

    // SetCurrent within the same percent, and updates under a given status,
    // leave the status line alone.
    bar.Clear();
    status.Clear();
    progress.SetCurrent(items);
    progress.SetCurrent(items + 0.5);
    EXPECT_EQ(bar.Total(), 0);
    EXPECT_EQ(status.Total(), 0);
    progress.SetStatus(L"Done");
    status.Clear();
    progress.SetCurrent(0);
    EXPECT_EQ(status.Count(WM_SETTEXT), 0) << "a given status line is left alone";
    EXPECT_EQ(bar.Count(PBM_SETPOS), 1);
    progress.EndProgress();
}

TEST_F(ProgressWindow, SetMaxAfterStartChangesTheScaleFromTheNextUpdate) {
    TMXProgress progress;
    HWND hwnd = Start(progress);
    ASSERT_NE(hwnd, nullptr);
    progress.SetCurrent(20);
    EXPECT_EQ(BarPos(hwnd), 20);
    guitest::MessageCounter bar(GetDlgItem(hwnd, kBarId));
    progress.SetMax(40);
    progress.SetMin(0);
    EXPECT_EQ(bar.Total(), 0) << "nothing is redrawn until the next update";
    EXPECT_EQ(BarPos(hwnd), 20);
    progress.StepIt(0.0);
    EXPECT_EQ(BarPos(hwnd), 50);
    EXPECT_EQ(Status(hwnd), L"50 % complete");
    progress.EndProgress();
}

TEST_F(ProgressWindow, TitleBecomesTheCaptionAtOnceWhileOpen) {
    TMXProgress progress;
    progress.SetTitle(L"Creating points");
    HWND hwnd = Start(progress);
    ASSERT_NE(hwnd, nullptr);
    EXPECT_EQ(WindowText(hwnd), L"Creating points");
    progress.SetTitle(L"Creating curves");
    EXPECT_EQ(WindowText(hwnd), L"Creating curves");
    EXPECT_STREQ(progress.GetTitle(), L"Creating curves");
    progress.EndProgress();
}

TEST_F(ProgressWindow, ValuesSetWithoutAWindowAreKeptAndStartResetsCurrent) {
    TMXProgress progress;
    progress.SetCurrent(42);
    progress.StepIt(1);
    progress.SetStatus(L"Waiting");
    EXPECT_EQ(progress.GetCurrent(), 43.0);
    EXPECT_EQ(FindProgressWindow(), nullptr) << "updates alone open no window";
    HWND hwnd = Start(progress);
    ASSERT_NE(hwnd, nullptr);
    EXPECT_EQ(progress.GetCurrent(), 0.0);
    EXPECT_EQ(Status(hwnd), L"Waiting");
    progress.EndProgress();
    progress.StepIt(5);
    progress.EndProgress(); // a second EndProgress is harmless
    EXPECT_EQ(progress.GetCurrent(), 5.0);
}

TEST_F(ProgressWindow, StartAgainReplacesTheWindowAndDestructionClosesIt) {
    auto progress = std::make_unique<TMXProgress>();
    HWND first = Start(*progress);
    ASSERT_NE(first, nullptr);
    progress->SetCurrent(70);
    HWND second = Start(*progress);
    ASSERT_NE(second, nullptr);
    EXPECT_FALSE(IsWindow(first) && first != second) << "the first window is still there";
    EXPECT_EQ(BarPos(second), 0);
    EXPECT_EQ(guitest::ThreadWindows().size() > 0, true);
    progress.reset();
    EXPECT_FALSE(IsWindow(second)) << "destroying the object leaves its window open";
}

TEST_F(ProgressWindow, OwnerIsTheGivenParentElseTheMainWindowElseNone) {
    CWnd mainWnd;
    ASSERT_TRUE(mainWnd.CreateEx(0, nullptr, L"Main", WS_OVERLAPPEDWINDOW, 10, 10, 300, 200,
                                 nullptr, nullptr));
    CWnd other;
    ASSERT_TRUE(other.CreateEx(0, nullptr, L"Other", WS_OVERLAPPEDWINDOW, 20, 20, 300, 200, nullptr,
                               nullptr));

    { // Explicit parent.
        TMXProgress progress(L"p", CString(), 0, 1, &other);
        HWND hwnd = Start(progress);
        ASSERT_NE(hwnd, nullptr);
        EXPECT_EQ(GetWindow(hwnd, GW_OWNER), other.m_hWnd);
        EXPECT_EQ(progress.GetParentWnd(), &other);
    }
    { // No parent, no main window.
        TMXProgress progress;
        HWND hwnd = Start(progress);
        ASSERT_NE(hwnd, nullptr);
        EXPECT_EQ(GetWindow(hwnd, GW_OWNER), nullptr);
        EXPECT_EQ(progress.GetParentWnd(), nullptr);
    }
    AfxGetApp()->m_pMainWnd = &mainWnd;
    { // No parent: the calling program's main window, found although the
        // library runs under its own module state.
        TMXProgress progress;
        HWND hwnd = Start(progress);
        ASSERT_NE(hwnd, nullptr);
        EXPECT_EQ(GetWindow(hwnd, GW_OWNER), mainWnd.m_hWnd);
        EXPECT_EQ(progress.GetParentWnd(), &mainWnd);
    }
    { // SetParentWnd wins over the main window.
        TMXProgress progress;
        progress.SetParentWnd(&other);
        HWND hwnd = Start(progress);
        ASSERT_NE(hwnd, nullptr);
        EXPECT_EQ(GetWindow(hwnd, GW_OWNER), other.m_hWnd);
    }
    AfxGetApp()->m_pMainWnd = nullptr;
    mainWnd.DestroyWindow();
    other.DestroyWindow();
}

TEST_F(ProgressWindow, WindowComesFromTheLibraryEvenWhenTheProgramHasDialog8001) {
    // The program's own 8001 is there and is what the program itself gets.
    CDialog own;
    ASSERT_TRUE(own.Create(8001u));
    EXPECT_EQ(WindowText(own.m_hWnd), L"Program's own 8001");
    EXPECT_NE(GetDlgItem(own.m_hWnd, 9999), nullptr);
    own.DestroyWindow();

    TMXProgress progress;
    HWND hwnd = Start(progress);
    ASSERT_NE(hwnd, nullptr);
    EXPECT_EQ(WindowText(hwnd), L"Progress");
    EXPECT_EQ(GetDlgItem(hwnd, 9999), nullptr);
    EXPECT_NE(GetDlgItem(hwnd, kStatusId), nullptr);
    // 249 x 42 dialog units of client area.
    RECT client, units = {0, 0, 249, 42};
    GetClientRect(hwnd, &client);
    MapDialogRect(hwnd, &units);
    EXPECT_EQ(client.right, units.right);
    EXPECT_EQ(client.bottom, units.bottom);
    // The caller's module state is back in force afterwards.
    EXPECT_EQ(AfxGetModuleState(), AfxGetAppModuleState());
    progress.EndProgress();
}

TEST_F(ProgressWindow, EnterAndEscapeDoNotCloseIt) {
    TMXProgress progress;
    HWND hwnd = Start(progress);
    ASSERT_NE(hwnd, nullptr);
    SendMessageW(hwnd, WM_COMMAND, IDCANCEL, 0);
    SendMessageW(hwnd, WM_COMMAND, IDOK, 0);
    guitest::PumpMessages();
    EXPECT_TRUE(IsWindow(hwnd));
    progress.EndProgress();
}

} // namespace
