// The self-painting static: what it paints (read back from the window after
// UpdateWindow), blinking and its timer, clicks through the shell recorder,
// font buffers and GDI objects over many repaints.
#include "ControlProbes.h"
#include "GuiTestSupport.h"
#include "ProcessProbes.h"
#include "TMXStatic.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cwchar>
#include <functional>
#include <string>

namespace {

const COLORREF kParentColor = RGB(0, 128, 128);
const COLORREF kWhite = RGB(255, 255, 255);
const COLORREF kBlack = RGB(0, 0, 0);
const COLORREF kRed = RGB(255, 0, 0);
const int kStaticId = 41;

// A parent that paints a known colour and records link notifications.
class Parent : public CWnd {
public:
    int linkClicks = 0;
    NMHDR lastHeader{};

protected:
    void OnLinkClick(NMHDR* header, LRESULT*) {
        ++linkClicks;
        lastHeader = *header;
    }
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(Parent, CWnd)
ON_NOTIFY(NM_STATIC_LINKCLICK, kStaticId, OnLinkClick)
END_MESSAGE_MAP()

// Gives the tests the control's state.
class Probe : public TMXStatic {
public:
    using TMXStatic::m_bTimerOn;
    using TMXStatic::m_lf;
};

class Statics : public ::testing::Test {
protected:
    void SetUp() override {
        static HBRUSH background = CreateSolidBrush(kParentColor);
        ASSERT_TRUE(parent.CreateEx(0, AfxRegisterWndClass(0, nullptr, background), L"statics",
                                    WS_POPUP | WS_VISIBLE, 40, 40, 420, 320, nullptr, nullptr));
    }
    void TearDown() override {
        label.DestroyWindow();
        parent.DestroyWindow();
    }

    // The label over (10,10)-(10+width,10+height) with `text` and `style`.
    void Make(const wchar_t* text, DWORD style, int width, int height) {
        label.DestroyWindow();
        ASSERT_TRUE(label.Create(text, WS_VISIBLE | style, CRect(10, 10, 10 + width, 10 + height),
                                 &parent, kStaticId));
    }
    // A readable font without smoothing (every inked pixel has the text's
    // colour) on a white background, black text.
    void Plain(int points = 14) {
        LOGFONTW lf{};
        lf.lfHeight = -MulDiv(points, 96, 72);
        lf.lfWeight = FW_NORMAL;
        lf.lfCharSet = DEFAULT_CHARSET;
        lf.lfQuality = NONANTIALIASED_QUALITY;
        wcscpy(lf.lfFaceName, L"Tahoma");
        label.SetFont(lf);
        label.SetBkColor(kWhite).SetTextColor(kBlack);
    }
    guitest::Snapshot Shot() {
        label.UpdateWindow();
        return guitest::Snapshot(label.m_hWnd);
    }

    Parent parent;
    Probe label;
};

// ---- backgrounds

struct GradientRow {
    int width;
    COLORREF from, to;
    struct Column {
        int x;
        COLORREF color;
    } columns[4];
};

// Each channel steps by ((to - from) * 256) / bands in 8.8 fixed point and
// paints its integer part; a band is width / bands pixels, the last one
// takes the rest.
const GradientRow kGradients[] = {
    // 50 bands of one pixel: red 255 - 5.1 per band, truncated.
    {50, RGB(255, 0, 0), RGB(0, 0, 255),
     {{0, RGB(255, 0, 0)}, {1, RGB(249, 0, 5)}, {25, RGB(127, 0, 127)}, {49, RGB(5, 0, 249)}}},
    // 100 bands of 3: step 652/256, never reaching white.
    {300, RGB(0, 0, 0), RGB(255, 255, 255),
     {{2, RGB(0, 0, 0)}, {3, RGB(2, 2, 2)}, {150, RGB(127, 127, 127)}, {299, RGB(252, 252, 252)}}},
    // 100 bands of 2; the last band runs from 198 to the right edge.
    {250, RGB(10, 200, 30), RGB(250, 0, 100),
     {{0, RGB(10, 200, 30)}, {197, RGB(245, 4, 98)}, {198, RGB(247, 2, 99)}, {249, RGB(247, 2, 99)}}},
    // One pixel: one band of the first colour.
    {1, RGB(90, 80, 70), RGB(0, 0, 0),
     {{0, RGB(90, 80, 70)}, {0, RGB(90, 80, 70)}, {0, RGB(90, 80, 70)}, {0, RGB(90, 80, 70)}}},
};

TEST_F(Statics, GradientBandsFollowTheFixedPointSteps) {
    for (const GradientRow& row : kGradients) {
        SCOPED_TRACE(row.width);
        Make(L"", SS_LEFT, row.width, 12);
        label.SetBkColor(row.from, row.to, TMXStatic::bfmGradient);
        guitest::Snapshot shot = Shot();
        ASSERT_EQ(shot.width, row.width);
        for (const auto& column : row.columns) {
            EXPECT_EQ(shot.At(column.x, 0), column.color) << "x " << column.x;
            EXPECT_EQ(shot.At(column.x, 11), column.color) << "x " << column.x << ", bottom row";
        }
    }
}

TEST_F(Statics, SolidDefaultAndTransparentBackgrounds) {
    struct Row {
        const char* what;
        std::function<void(TMXStatic&)> set;
        COLORREF expected;
    } rows[] = {
        {"default", [](TMXStatic&) {}, GetSysColor(COLOR_BTNFACE)},
        {"solid", [](TMXStatic& s) { s.SetBkColor(RGB(200, 50, 50)); }, RGB(200, 50, 50)},
        {"solid, then a gradient of one colour",
         [](TMXStatic& s) {
             s.SetBkColor(RGB(1, 2, 3));
             s.SetBkColor(RGB(9, 99, 199), RGB(9, 99, 199), TMXStatic::bfmGradient);
         },
         RGB(9, 99, 199)},
        {"transparent over a solid colour",
         [](TMXStatic& s) { s.SetBkColor(RGB(200, 50, 50)).SetTransparent(TRUE); }, kParentColor},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        Make(L"", SS_LEFT, 60, 30);
        row.set(label);
        guitest::Snapshot shot = Shot();
        EXPECT_EQ(shot.CountOf(row.expected), 60 * 30);
    }
    EXPECT_TRUE(label.GetExStyle() & WS_EX_TRANSPARENT);
}

// ---- text

TEST_F(Statics, Alignment) {
    struct Row {
        const char* what;
        DWORD style;
        std::function<void(const RECT&)> check;
    } rows[] = {
        {"left", SS_LEFT, [](const RECT& b) { EXPECT_LT(b.left, 4); EXPECT_LT(b.top, 8); }},
        {"right", SS_RIGHT, [](const RECT& b) { EXPECT_GT(b.right, 294); }},
        {"centre", SS_CENTER,
         [](const RECT& b) {
             EXPECT_NEAR((b.left + b.right) / 2, 150, 3);
             EXPECT_LT(b.top, 8);
         }},
        {"centre both ways", SS_CENTER | SS_CENTERIMAGE,
         [](const RECT& b) {
             EXPECT_NEAR((b.left + b.right) / 2, 150, 3);
             EXPECT_NEAR((b.top + b.bottom) / 2, 30, 4);
         }},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        Make(L"Mid", row.style, 300, 60);
        Plain();
        RECT box = Shot().InkBox(kWhite);
        ASSERT_GT(box.right, box.left);
        row.check(box);
    }
}

TEST_F(Statics, PrefixCharactersFollowTheStyle) {
    Make(L"R&D", SS_LEFT | SS_NOPREFIX, 200, 40);
    Plain();
    guitest::Snapshot noPrefix = Shot();
    Make(L"R&&D", SS_LEFT, 200, 40); // shows "R&D"
    Plain();
    guitest::Snapshot escaped = Shot();
    Make(L"R&D", SS_LEFT, 200, 40); // shows "RD", the D underlined
    Plain();
    guitest::Snapshot prefixed = Shot();
    EXPECT_TRUE(noPrefix == escaped) << "SS_NOPREFIX draws the ampersand";
    EXPECT_FALSE(prefixed == escaped);
}

TEST_F(Statics, Text3DCopyIsOffsetByOnePixel) {
    Make(L"Deep", SS_LEFT, 200, 50);
    Plain(20);
    label.SetText3DHiliteColor(kRed);
    const RECT flat = Shot().Box([](COLORREF c) { return c == kBlack; });
    struct Row {
        TMXStatic::Type3D type;
        int shift;
    } rows[] = {{TMXStatic::t3dRaised, -1}, {TMXStatic::t3dSunken, 1}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.shift);
        label.SetFont3D(TRUE, row.type);
        guitest::Snapshot shot = Shot();
        RECT hilite = shot.Box([](COLORREF c) { return c == kRed; });
        EXPECT_EQ(hilite.left, flat.left + row.shift);
        EXPECT_EQ(hilite.top, flat.top + row.shift);
        EXPECT_EQ(hilite.right, flat.right + row.shift);
        EXPECT_EQ(hilite.bottom, flat.bottom + row.shift);
        EXPECT_GT(shot.CountOf(kBlack), 0) << "the text shows beside its copy";
    }
}

TEST_F(Statics, BoldUnderlineAndSizeByInk) {
    Make(L"Weight", SS_LEFT, 300, 80);
    Plain(12);
    guitest::Snapshot regular = Shot();
    const int regularInk = regular.Ink(kWhite);
    const RECT regularBox = regular.InkBox(kWhite);
    ASSERT_GT(regularInk, 50);

    label.SetFontBold(TRUE);
    EXPECT_GT(Shot().Ink(kWhite), regularInk * 5 / 4) << "bold strokes are wider";
    label.SetFontBold(FALSE);
    EXPECT_EQ(Shot().Ink(kWhite), regularInk);

    label.SetFontUnderline(TRUE);
    guitest::Snapshot underlined = Shot();
    int longestRow = 0;
    for (int y = 0; y < underlined.height; ++y) {
        int run = 0;
        for (int x = 0; x < underlined.width; ++x)
            run += underlined.At(x, y) != kWhite;
        longestRow = std::max(longestRow, run);
    }
    EXPECT_GE(longestRow, (regularBox.right - regularBox.left) * 9 / 10) << "a line under the text";
    label.SetFontUnderline(FALSE);

    label.SetFontSize(24);
    const RECT large = Shot().InkBox(kWhite);
    EXPECT_GT(large.bottom - large.top, (regularBox.bottom - regularBox.top) * 3 / 2);
    EXPECT_GT(large.right - large.left, (regularBox.right - regularBox.left) * 3 / 2);
}

TEST_F(Statics, RotatedTextRunsUpwardsFromTheCentre) {
    Make(L"Upward", SS_LEFT, 200, 200);
    Plain(16);
    label.SetRotationAngle(90, TRUE);
    const RECT box = Shot().InkBox(kWhite);
    ASSERT_GT(box.bottom, box.top);
    EXPECT_LE(box.bottom, 102) << "nothing below the centre";
    EXPECT_LT(box.top, 60) << "it runs a long way up";
    EXPECT_GT(box.bottom - box.top, 2 * (box.right - box.left)) << "tall, not wide";
    EXPECT_GE(box.left, 70);
    EXPECT_LE(box.right, 110);

    label.SetRotationAngle(0, FALSE);
    const RECT flat = Shot().InkBox(kWhite);
    EXPECT_LT(flat.top, 10);
    EXPECT_LT(flat.left, 5);
}

// ---- blinking

TEST_F(Statics, BlinkPhasesAndStoppingShowsTheText) {
    auto redInk = [this] { return Shot().CountOf(kRed); };
    auto tick = [this] { label.SendMessage(WM_TIMER, 1); };
    Make(L"Blink", SS_LEFT, 200, 40);
    Plain();
    label.SetTextColor(kRed);
    ASSERT_GT(redInk(), 20);

    // Over a solid background the hidden phase is the background's colour.
    label.FlashText(TRUE);
    label.RedrawWindow();
    EXPECT_EQ(Shot().CountOf(kWhite), 200 * 40) << "hidden: nothing but background";
    tick();
    EXPECT_GT(redInk(), 20) << "shown";
    tick();
    EXPECT_EQ(redInk(), 0) << "hidden again";
    label.FlashText(FALSE);
    EXPECT_GT(redInk(), 20) << "stopping in the hidden phase shows the text";

    label.FlashText(TRUE);
    label.RedrawWindow();
    EXPECT_EQ(redInk(), 0);
    label.FlashBackground(FALSE);
    EXPECT_GT(redInk(), 20) << "stopping through FlashBackground shows it too";

    // Without a solid background the hidden text is black.
    label.SetBkColor(kWhite, kWhite, TMXStatic::bfmGradient);
    label.FlashText(TRUE);
    label.RedrawWindow();
    guitest::Snapshot hidden = Shot();
    EXPECT_EQ(hidden.CountOf(kRed), 0);
    EXPECT_GT(hidden.CountOf(kBlack), 20);
    tick();
    EXPECT_GT(redInk(), 20);

    // Background blinking toggles without a visible change.
    label.FlashBackground(TRUE);
    guitest::Snapshot before = Shot();
    tick();
    EXPECT_TRUE(before == Shot());
    label.FlashBackground(FALSE);
}

TEST_F(Statics, BlinkTimerRunsOnlyOnTheWindow) {
    auto threadTimer = [] {
        MSG msg;
        return PeekMessageW(&msg, reinterpret_cast<HWND>(-1), WM_TIMER, WM_TIMER, PM_REMOVE) != 0;
    };
    auto windowTimer = [this](UINT_PTR& id) {
        MSG msg;
        if (!PeekMessageW(&msg, label.m_hWnd, WM_TIMER, WM_TIMER, PM_REMOVE)) return false;
        id = msg.wParam;
        return true;
    };
    label.FlashText(TRUE); // no window yet: the request waits
    EXPECT_FALSE(label.m_bTimerOn);
    Sleep(650);
    EXPECT_FALSE(threadTimer()) << "no timer without a window";

    Make(L"Later", SS_LEFT, 100, 20);
    EXPECT_TRUE(label.m_bTimerOn) << "started with the window";
    Sleep(650);
    UINT_PTR id = 0;
    EXPECT_TRUE(windowTimer(id));
    EXPECT_EQ(id, 1u);
    EXPECT_FALSE(threadTimer());

    label.FlashText(FALSE);
    while (windowTimer(id)) {
    }
    Sleep(650);
    EXPECT_FALSE(windowTimer(id)) << "stopped";
}

// ---- clicks

TEST_F(Statics, ClicksOpenLinksOrNotifyTheParent) {
    guitest::ShellRecorder shell;
    ASSERT_TRUE(shell.Active()) << "TMXUI.dll imports ShellExecuteW";
    struct Row {
        const char* what;
        const wchar_t* text;
        std::function<void(TMXStatic&)> set;
        const wchar_t* file; // null: no shell call
        bool defaultVerb;
        int notifications;
    } rows[] = {
        // One object for all rows: each row sets all it relies on.
        {"web link with a target", L"Our site",
         [](TMXStatic& s) { s.SetLink(TRUE, FALSE).SetHyperLink(L"https://example.com/a"); },
         L"https://example.com/a", false, 0},
        {"web link without a target", L"https://example.com/text",
         [](TMXStatic& s) { s.SetHyperLink(L"").SetLink(TRUE, FALSE); }, L"https://example.com/text",
         false, 0},
        {"mail link", L"sales@example.com", [](TMXStatic& s) { s.SetMailLink(TRUE, FALSE); },
         L"mailto:sales@example.com", true, 0},
        {"link that notifies", L"Notify", [](TMXStatic& s) { s.SetLink(TRUE, TRUE); }, nullptr,
         false, 1},
        {"no link", L"Plain", [](TMXStatic& s) { s.SetLink(FALSE, FALSE); }, nullptr, false, 0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        shell.calls.clear();
        parent.linkClicks = 0;
        Make(row.text, SS_LEFT, 150, 20);
        row.set(label);
        label.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3));
        label.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(3, 3));
        EXPECT_EQ(parent.linkClicks, row.notifications);
        if (row.notifications) {
            EXPECT_EQ(parent.lastHeader.hwndFrom, label.m_hWnd);
            EXPECT_EQ(parent.lastHeader.idFrom, static_cast<UINT_PTR>(kStaticId));
            EXPECT_EQ(parent.lastHeader.code, 0x8200u);
        }
        if (!row.file) {
            EXPECT_TRUE(shell.calls.empty());
            continue;
        }
        ASSERT_EQ(shell.calls.size(), 1u);
        const auto& call = shell.calls[0];
        EXPECT_EQ(call.file, row.file);
        EXPECT_EQ(call.hasVerb, !row.defaultVerb);
        if (!row.defaultVerb) {
            EXPECT_EQ(call.verb, L"open");
        }
        EXPECT_EQ(call.owner, nullptr);
        EXPECT_FALSE(call.hasParameters);
        EXPECT_FALSE(call.hasDirectory);
        EXPECT_EQ(call.show, SW_SHOWNORMAL);
    }
}

TEST_F(Statics, LinkAskedForBeforeTheWindowGetsItsClicks) {
    label.SetLink(TRUE, FALSE);
    Make(L"Link", SS_LEFT, 100, 20);
    EXPECT_TRUE(label.GetStyle() & SS_NOTIFY);
    label.SetLink(FALSE, FALSE);
    EXPECT_FALSE(label.GetStyle() & SS_NOTIFY);
}

// ---- font buffers

TEST_F(Statics, FaceNamesAreCutAndTerminated) {
    Make(L"Face", SS_LEFT, 100, 20);
    const std::wstring longName(40, L'x');
    label.SetFontName(longName.c_str(), DEFAULT_CHARSET);
    EXPECT_EQ(std::wstring(label.m_lf.lfFaceName), std::wstring(31, L'x'));
    EXPECT_EQ(label.m_lf.lfCharSet, DEFAULT_CHARSET);

    LOGFONTW full{};
    full.lfHeight = -12;
    for (wchar_t& c : full.lfFaceName)
        c = L'y'; // no terminator
    label.SetFont(full);
    EXPECT_EQ(std::wstring(label.m_lf.lfFaceName), std::wstring(31, L'y'));
    EXPECT_EQ(label.m_lf.lfHeight, -12);
}

// ---- GDI objects

TEST_F(Statics, RepaintsLeaveNoGdiObjects) {
    Make(L"Counting", SS_CENTER, 300, 40);
    Plain();
    label.SetBkColor(kRed, kWhite, TMXStatic::bfmGradient);
    label.SetTextColor(kBlack); // warm-up: one refresh of each kind
    label.SetBkColor(kWhite).SetTextColor(kRed);
    const int before = testsupport::GdiObjectCount();
    if (before < 0) GTEST_SKIP() << "no GDI handle table";

    label.SetBkColor(kRed, kWhite, TMXStatic::bfmGradient);
    for (int i = 0; i < 500; ++i)
        label.SetTextColor(RGB(i % 256, 0, 0)); // each a gradient refresh
    label.SetBkColor(kWhite);
    for (int i = 0; i < 500; ++i)
        label.SetTextColor(RGB(0, i % 256, 0)); // each through the memory bitmap
    EXPECT_EQ(testsupport::GdiObjectCount(), before);
}

} // namespace
