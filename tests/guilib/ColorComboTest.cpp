// The colour combo box: its list, SetColor/GetColor, the custom colour
// through the colour dialog, and its painting.
#include "ControlProbes.h"
#include "DialogDriver.h"
#include "ProcessProbes.h"
#include "TMXColorComboBox.h"

#include <gtest/gtest.h>

#include <string>

namespace {

class ColorsDlg : public CDialog {
public:
    ColorsDlg() : CDialog(400u) {}
    TMXColorComboBox combo;

protected:
    void DoDataExchange(CDataExchange* dx) override { DDX_Control(dx, 401, combo); }
};

class ColorCombo : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dlg.Create(400u));
        dlg.ShowWindow(SW_SHOW);
    }
    void TearDown() override { dlg.DestroyWindow(); }
    // The user picks item `index`, as the list would report it.
    void Choose(int index) {
        dlg.combo.SetCurSel(index);
        dlg.SendMessage(WM_COMMAND, MAKEWPARAM(401, CBN_SELCHANGE),
                        reinterpret_cast<LPARAM>(dlg.combo.m_hWnd));
    }
    ColorsDlg dlg;
};

TEST_F(ColorCombo, ListsTheStandardColoursThenCustomWithWhiteSelected) {
    const std::pair<const wchar_t*, COLORREF> expected[] = {
        {L"White", RGB(255, 255, 255)},      {L"Light Gray", RGB(230, 230, 230)},
        {L"Gray", RGB(190, 190, 190)},       {L"Dark Gray", RGB(128, 128, 128)},
        {L"Black", RGB(0, 0, 0)},            {L"Red", RGB(255, 0, 0)},
        {L"Brown", RGB(191, 63, 63)},        {L"Orange", RGB(255, 127, 0)},
        {L"Gold", RGB(255, 191, 0)},         {L"Yellow", RGB(255, 255, 0)},
        {L"Chartreuse", RGB(127, 255, 0)},   {L"Green", RGB(0, 255, 0)},
        {L"Dark Green", RGB(0, 127, 0)},     {L"Sea Green", RGB(63, 191, 127)},
        {L"Aquamarine", RGB(127, 255, 191)}, {L"Cyan", RGB(0, 255, 255)},
        {L"Turquoise", RGB(63, 191, 191)},   {L"Lavender", RGB(191, 191, 255)},
        {L"Blue", RGB(0, 0, 255)},           {L"Dark Blue", RGB(0, 0, 191)},
        {L"Purple", RGB(191, 63, 255)},      {L"Magenta", RGB(255, 0, 255)},
        {L"Violet", RGB(255, 127, 255)},     {L"Pink", RGB(255, 191, 191)},
        {L"Custom...", RGB(255, 255, 255)},
    };
    ASSERT_EQ(dlg.combo.GetCount(), 25);
    for (int i = 0; i < 25; ++i) {
        CString text;
        dlg.combo.GetLBText(i, text);
        EXPECT_EQ(std::wstring(text), expected[i].first) << i;
        EXPECT_EQ(dlg.combo.GetItemData(i), expected[i].second) << i;
    }
    EXPECT_EQ(dlg.combo.GetCurSel(), 0);
    EXPECT_EQ(dlg.combo.GetColor(), RGB(255, 255, 255));
}

TEST_F(ColorCombo, SetColorSelectsTheFirstMatchOrRecoloursTheLastItem) {
    struct Case {
        COLORREF set;
        int selected;
        COLORREF got;
    } const cases[] = {
        {RGB(255, 191, 0), 8, RGB(255, 191, 0)},   // Gold
        {RGB(255, 255, 255), 0, RGB(255, 255, 255)}, // White, not Custom...
        {RGB(1, 2, 3), 24, RGB(1, 2, 3)},          // Custom... takes it
        {RGB(1, 2, 3), 24, RGB(1, 2, 3)},          // and is found again
    };
    for (const Case& c : cases) {
        dlg.combo.SetColor(c.set);
        EXPECT_EQ(dlg.combo.GetCurSel(), c.selected);
        EXPECT_EQ(dlg.combo.GetColor(), c.got);
    }
    // A colour added later comes after Custom..., so it is the one recoloured.
    dlg.combo.AddColor(L"Teal", RGB(0, 128, 128));
    dlg.combo.SetColor(RGB(9, 9, 9));
    EXPECT_EQ(dlg.combo.GetCurSel(), 25);
    EXPECT_EQ(dlg.combo.GetItemData(24), RGB(1, 2, 3));
    dlg.combo.SetCurSel(-1);
    EXPECT_EQ(dlg.combo.GetColor(), 0xFFFFFFFFu);
}

TEST_F(ColorCombo, CustomOpensTheColourDialogOwnedByTheDialogHoldingIt) {
    HWND owner = nullptr;
    testsupport::DialogDriver driver;
    driver.Expect(L"Color").Inspect([&](HWND, testsupport::SeenDialog& seen) { owner = seen.owner; })
        .Text(706, L"10").Text(707, L"20").Text(708, L"30").Click(IDOK);
    Choose(24);
    EXPECT_TRUE(driver.Finished()) << driver.Report();
    EXPECT_EQ(owner, dlg.m_hWnd);
    EXPECT_EQ(dlg.combo.GetColor(), RGB(10, 20, 30));

    driver.Expect(L"Color").Text(706, L"200").Click(IDCANCEL);
    Choose(24);
    EXPECT_TRUE(driver.Finished()) << driver.Report();
    EXPECT_EQ(dlg.combo.GetColor(), RGB(10, 20, 30)) << "Cancel keeps the colour";
    EXPECT_EQ(dlg.combo.GetCurSel(), 24);

    Choose(5); // Red: no dialog
    EXPECT_EQ(driver.Count(), 2);
    EXPECT_EQ(dlg.combo.GetColor(), RGB(255, 0, 0));
}

// Draws item `index` into a 120 x 16 bitmap with `state` and returns it.
guitest::Snapshot Draw(TMXColorComboBox& combo, HWND canvas, int index, UINT state) {
    HDC dc = GetDC(canvas);
    RECT r{0, 0, 120, 16};
    DRAWITEMSTRUCT item{ODT_COMBOBOX, 401, static_cast<UINT>(index), ODA_DRAWENTIRE, state, combo.m_hWnd, dc, r,
                        index >= 0 ? combo.GetItemData(index) : 0};
    // Through the parent, which hands it to the control's object.
    ::SendMessageW(::GetParent(combo.m_hWnd), WM_DRAWITEM, 401, reinterpret_cast<LPARAM>(&item));
    ReleaseDC(canvas, dc);
    return guitest::Snapshot(canvas);
}

TEST_F(ColorCombo, DrawsASwatchAndTheNameInEachState) {
    CWnd canvas;
    ASSERT_TRUE(canvas.CreateEx(0, L"STATIC", nullptr, WS_POPUP | WS_VISIBLE, 0, 0, 120, 16, nullptr, nullptr));
    const COLORREF window = GetSysColor(COLOR_WINDOW), highlight = GetSysColor(COLOR_HIGHLIGHT);
    const COLORREF inactive = GetSysColor(COLOR_INACTIVECAPTIONTEXT);
    struct Case {
        int index;
        UINT state;
        COLORREF background, swatch;
    } const cases[] = {
        {5, 0, window, RGB(255, 0, 0)},
        {5, ODS_SELECTED, highlight, RGB(255, 0, 0)},
        {18, ODS_FOCUS, window, RGB(0, 0, 255)},
        {5, ODS_DISABLED, window, inactive},
        {-1, ODS_SELECTED, highlight, highlight},
    };
    for (const Case& c : cases) {
        guitest::Snapshot s = Draw(dlg.combo, canvas.m_hWnd, c.index, c.state);
        const std::string what = std::to_string(c.index) + "/" + std::to_string(c.state);
        EXPECT_EQ(s.At(110, 8), c.background) << what;
        EXPECT_EQ(s.At(100, 1), c.background) << what;
        EXPECT_EQ(s.At(15, 8), c.swatch) << what << ": swatch inside (2,2)-(30,14)";
        if (c.index >= 0) {
            EXPECT_EQ(s.At(2, 8), RGB(0, 0, 0)) << what << ": swatch frame";
            EXPECT_GT(s.InkBox(c.background).right, 40) << what << ": the name after the swatch";
        }
        if (c.state & ODS_FOCUS) {
            int dotted = 0;
            for (int y = 0; y < 16; ++y)
                dotted += s.At(0, y) != c.background;
            EXPECT_GT(dotted, 3) << "focus rectangle";
        }
    }
    // A thousand draws leave no GDI object behind.
    Draw(dlg.combo, canvas.m_hWnd, 3, 0);
    const int before = testsupport::GdiObjectCount();
    for (int i = 0; i < 1000; ++i)
        Draw(dlg.combo, canvas.m_hWnd, i % 25, i % 3 ? 0 : ODS_SELECTED);
    if (before >= 0) {
        EXPECT_EQ(testsupport::GdiObjectCount(), before);
    }
    canvas.DestroyWindow();
}

} // namespace
