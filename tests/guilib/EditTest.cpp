// The validating edits: keystrokes, formatting and reading in any locale,
// verbose messages, the focus change, and the tooltip in a modal dialog.
#include "DialogDriver.h"
#include "GuiTestSupport.h"
#include "ImportPatch.h"
#include "ProcessProbes.h"
#include "TMXEdit.h"

#include <gtest/gtest.h>

#include <climits>
#include <functional>
#include <string>

namespace {

int g_beeps = 0;
BOOL WINAPI CountBeep(UINT) {
    ++g_beeps;
    return TRUE;
}

// The three edits of test template 300, bound to their objects.
class EditsDlg : public CDialog {
public:
    EditsDlg() : CDialog(300u) {}
    TMXIntegerEdit integer;
    TMXRealEdit real;
    TMXEdit tipped;
    std::function<void(EditsDlg&)> onInit;

protected:
    void DoDataExchange(CDataExchange* dx) override {
        DDX_Control(dx, 301, integer);
        DDX_Control(dx, 302, real);
        DDX_Control(dx, 303, tipped);
    }
    BOOL OnInitDialog() override {
        CDialog::OnInitDialog();
        if (onInit) onInit(*this);
        return TRUE;
    }
};

class Edits : public ::testing::Test {
protected:
    void SetUp() override {
        g_beeps = 0;
        ASSERT_TRUE(beep.Active()) << "TMXUI.dll imports MessageBeep";
        ASSERT_TRUE(dlg.Create(300u));
        dlg.ShowWindow(SW_SHOW);
    }
    void TearDown() override { dlg.DestroyWindow(); }

    // Types `keys` into `edit` after putting `text` and the selection there.
    std::wstring Type(CEdit& edit, const std::wstring& text, int selStart, int selEnd,
                      const std::wstring& keys) {
        edit.SetWindowText(text.c_str());
        const int length = static_cast<int>(text.size());
        edit.SetSel(selStart < 0 ? length : selStart, selEnd < 0 ? length : selEnd);
        for (wchar_t key : keys)
            edit.SendMessage(WM_CHAR, key, 1);
        return testsupport::WindowText(edit.m_hWnd);
    }

    testsupport::ImportPatch beep{GetModuleHandleW(L"TMXUI.dll"), "user32.dll", "MessageBeep",
                                  &CountBeep};
    EditsDlg dlg;
};

struct Keystroke {
    const char* what;
    bool real;
    double min, max;
    int minInclusive, maxInclusive, precision;
    const wchar_t* start; // caret at its end
    const wchar_t* keys;
    const wchar_t* text; // after the keys
    int beeps;
};

const double kLow = -1.7976931348623157e308, kHigh = 1.7976931348623157e308;
const std::wstring kNearMax(308, L'9'); // 9.99e307, below the largest double

const Keystroke kKeystrokes[] = {
    {"minus refused when the minimum is 0", false, 0, 100, 1, 1, 6, L"", L"-", L"", 1},
    {"minus taken when the minimum is negative", false, -5, 100, 1, 1, 6, L"", L"-", L"-", 0},
    {"-6 refused at the 6 below -5", false, -5, 100, 1, 1, 6, L"-", L"6", L"-", 1},
    {"on the way to 15 the 1 is below 10", false, 10, 100, 1, 1, 6, L"", L"1", L"", 1},
    {"letters and late signs", false, INT_MIN + 1, INT_MAX, 1, 1, 6, L"12", L"a+-", L"12", 3},
    {"a tenth digit beyond 32 bits", false, INT_MIN + 1, INT_MAX, 1, 1, 6, L"999999999", L"9",
     L"999999999", 1},
    {"the largest 32-bit number", false, INT_MIN + 1, INT_MAX, 1, 1, 6, L"214748364", L"7",
     L"2147483647", 0},
    {"a digit in precision", true, kLow, kHigh, 1, 1, 2, L"1.2", L"3", L"1.23", 0},
    {"a digit beyond precision", true, kLow, kHigh, 1, 1, 2, L"1.23", L"4", L"1.23", 1},
    {"a second point", true, kLow, kHigh, 1, 1, 2, L"1.2", L".", L"1.2", 1},
    {"an exclusive maximum itself", true, 0, 1, 1, 0, 3, L"", L"1", L"", 1},
    {"just below an exclusive maximum", true, 0, 1, 1, 0, 3, L"0.99", L"9", L"0.999", 0},
    {"an exclusive minimum itself", true, 0, 1, 0, 1, 3, L"", L"0", L"", 1},
    {"partial entries", true, -1, 1, 1, 1, 3, L"", L"-.", L"-.", 0},
    {"precision 0 takes a point, no decimals", true, kLow, kHigh, 1, 1, -4, L"1", L".5", L"1.", 1},
    {"huge precision is capped at 30", true, kLow, kHigh, 1, 1, INT_MAX,
     L"0.12345678901234567890123456789", L"01", L"0.123456789012345678901234567890", 1},
    {"a number beyond a double", true, kLow, kHigh, 1, 1, 6, kNearMax.c_str(), L"9",
     nullptr, 1},
};

TEST_F(Edits, EachKeystrokeIsCheckedAndARefusedOneIsUndone) {
    for (const Keystroke& k : kKeystrokes) {
        g_beeps = 0;
        std::wstring text;
        if (k.real) {
            dlg.real.SetRange(k.min, k.max, k.minInclusive, k.maxInclusive);
            dlg.real.SetPrecision(k.precision);
            text = Type(dlg.real, k.start, -1, -1, k.keys);
        } else {
            dlg.integer.SetRange(static_cast<int>(k.min), static_cast<int>(k.max));
            text = Type(dlg.integer, k.start, -1, -1, k.keys);
        }
        EXPECT_EQ(text, k.text ? std::wstring(k.text) : std::wstring(k.start)) << k.what;
        EXPECT_EQ(g_beeps, k.beeps) << k.what;
        if (k.precision == INT_MAX) {
            EXPECT_EQ(dlg.real.GetPrecision(), 30);
        }
    }
}

TEST_F(Edits, ARefusalPutsTheSelectionBackAndDropsTheKeysTypedAhead) {
    dlg.integer.SetRange(0, 1000);
    EXPECT_EQ(Type(dlg.integer, L"123", 1, 2, L"x"), L"123");
    int start = 0, end = 0;
    dlg.integer.GetSel(start, end);
    EXPECT_EQ(start, 1);
    EXPECT_EQ(end, 2);

    // "x" is refused; the "4" and "5" queued behind it go with it.
    for (wchar_t key : std::wstring(L"x45"))
        dlg.integer.PostMessage(WM_CHAR, key, 1);
    guitest::PumpMessages();
    EXPECT_EQ(testsupport::WindowText(dlg.integer.m_hWnd), L"123");
    EXPECT_EQ(g_beeps, 2);
}

TEST_F(Edits, CtrlVArrivesAsACharacterAndIsChecked) {
    auto paste = [&](const wchar_t* clip) {
        ASSERT_TRUE(OpenClipboard(dlg.m_hWnd));
        EmptyClipboard();
        size_t bytes = (wcslen(clip) + 1) * sizeof(wchar_t);
        HGLOBAL data = GlobalAlloc(GMEM_MOVEABLE, bytes);
        memcpy(GlobalLock(data), clip, bytes);
        GlobalUnlock(data);
        SetClipboardData(CF_UNICODETEXT, data);
        CloseClipboard();
    };
    dlg.real.SetRange(kLow, kHigh);
    dlg.real.SetPrecision(6);
    paste(L"2.5");
    EXPECT_EQ(Type(dlg.real, L"1", 0, 1, L"\x16"), L"2.5");
    paste(L"abc");
    EXPECT_EQ(Type(dlg.real, L"1", 0, 1, L"\x16"), L"1");
    EXPECT_EQ(g_beeps, 1);
}

struct Shown {
    double value;
    int precision, trim;
    const wchar_t* text;
};

TEST_F(Edits, ValuesAreShownAndReadWithAPointInAnyLocale) {
    const Shown shown[] = {
        {2.5, 6, 1, L"2.5"},         {3.0, 6, 1, L"3"},        {0.0, 6, 1, L"0"},
        {1e-7, 6, 1, L"0"},          {1e-7, 6, 0, L"0.000000"}, {-1e-7, 6, 1, L"0"},
        {100.0, 0, 1, L"100"},       {1.23456789, 6, 1, L"1.234568"},
        {-2.5, 3, 0, L"-2.500"},     {1e20, 2, 1, L"100000000000000000000"},
    };
    struct Read {
        const wchar_t* text;
        double real;
        int integer;
    } const reads[] = {
        {L"2.5", 2.5, 0},    {L"", 0, 0},        {L"-", 0, 0},       {L"-.", 0, 0},
        {L"007", 7, 7},      {L"1.", 1, 0},      {L".25", 0.25, 0},  {L"12abc", 0, 0},
        {L"2,5", 0, 0},      {L"-42", -42, -42}, {L"+3", 3, 3},
    };
    for (const char* locale : {"C", "German"}) {
        testsupport::LocaleGuard guard(locale);
        ASSERT_TRUE(guard.Active()) << locale;
        if (std::string(locale) == "German") {
            ASSERT_EQ(guard.TwoAndAHalf(), "2,5");
        }
        for (const Shown& s : shown) {
            dlg.real.SetPrecision(s.precision);
            dlg.real.SetRemoveTrailingZeros(s.trim);
            dlg.real.SetValue(s.value);
            EXPECT_EQ(testsupport::WindowText(dlg.real.m_hWnd), s.text) << locale << " " << s.value;
        }
        dlg.real.SetPrecision(6);
        dlg.real.SetRange(kLow, kHigh);
        dlg.integer.SetRange(INT_MIN + 1, INT_MAX);
        for (const Read& r : reads) {
            dlg.real.SetWindowText(r.text);
            dlg.integer.SetWindowText(r.text);
            EXPECT_EQ(dlg.real.GetValue(), r.real) << locale << " real " << testsupport::Narrow(r.text);
            int expected = std::wstring(r.text).find(L'.') == std::wstring::npos ? r.integer : 0;
            EXPECT_EQ(dlg.integer.GetValue(), expected) << locale << " integer " << testsupport::Narrow(r.text);
        }
        dlg.integer.SetValue(-17);
        EXPECT_EQ(testsupport::WindowText(dlg.integer.m_hWnd), L"-17");
    }
}

TEST_F(Edits, TextBeyondTheRangeThatWasNotTypedReadsClamped) {
    struct Case {
        const wchar_t* text;
        int min, max;
        int value;
        int valid;
    } const cases[] = {
        {L"9999999999", INT_MIN + 1, INT_MAX, INT_MAX, 1},
        {L"-9999999999", INT_MIN + 1, INT_MAX, INT_MIN + 1, 1},
        {L"99999999999999999999999", -5, 5, 5, 1},
        {L"12", -5, 5, 5, 1},
        {L"1x", -5, 5, 0, 2},
    };
    for (const Case& c : cases) {
        dlg.integer.SetRange(c.min, c.max);
        dlg.integer.SetWindowText(c.text);
        EXPECT_EQ(dlg.integer.IsValid(), c.valid) << testsupport::Narrow(c.text);
        EXPECT_EQ(dlg.integer.GetValue(), c.value) << testsupport::Narrow(c.text);
    }
    dlg.real.SetRange(0, 1, 1, 0);
    dlg.real.SetWindowText(L"7");
    EXPECT_EQ(dlg.real.IsValid(), 1);
    EXPECT_EQ(dlg.real.GetValue(), 1.0);
}

TEST_F(Edits, LosingTheFocusShowsTheCanonicalText) {
    const std::pair<const wchar_t*, const wchar_t*> cases[] = {
        {L"12.0", L"12"}, {L"1.50", L"1.5"}, {L"-", L"0"}, {L"", L"0"}};
    for (auto [typed, shown] : cases) {
        dlg.real.SetFocus();
        dlg.real.SetWindowText(typed);
        dlg.GetDlgItem(304)->SetFocus();
        EXPECT_EQ(testsupport::WindowText(dlg.real.m_hWnd), shown) << testsupport::Narrow(typed);
    }
    dlg.integer.SetFocus();
    dlg.integer.SetWindowText(L"007");
    dlg.GetDlgItem(304)->SetFocus();
    EXPECT_EQ(testsupport::WindowText(dlg.integer.m_hWnd), L"7");
}

TEST_F(Edits, VerboseModeShowsOneBoxPerRefusal) {
    struct Case {
        bool real;
        const wchar_t* key;
        const wchar_t* message;
    } const cases[] = {
        {false, L"-", L"Invalid key pressed."},
        {false, L"1", L"Value must lie between 10 and 100."},
        {true, L"x", L"Invalid key pressed."},
        {true, L"7", L"Value must lie between 0.000000 and 1.000000."},
    };
    dlg.integer.SetRange(10, 100);
    dlg.integer.SetVerbose(1);
    dlg.real.SetRange(0, 1);
    dlg.real.SetVerbose(1);
    // One driver for the whole run, answering every box, so that a stray
    // focus change (the window system's, after a box) can never hang it.
    testsupport::DialogDriver boxes;
    boxes.AnswerOthers(IDOK);
    for (const Case& c : cases) {
        CEdit& edit = c.real ? static_cast<CEdit&>(dlg.real) : dlg.integer;
        edit.SetWindowText(c.real ? L"0.5" : L"50");
        edit.SetFocus();
        guitest::PumpMessages();
        const int before = boxes.Count();
        g_beeps = 0;
        // Typed from the queue, as a person types, so the box's own loop
        // runs while the edit loses and regains the focus.
        edit.SetWindowText(L"");
        edit.PostMessage(WM_CHAR, c.key[0], 1);
        guitest::PumpMessages();
        EXPECT_EQ(boxes.Count() - before, 1) << boxes.Report();
        EXPECT_EQ(boxes.Last().message, c.message);
        EXPECT_EQ(boxes.Last().owner, dlg.m_hWnd);
        EXPECT_EQ(g_beeps, 1);
        edit.SetWindowText(c.real ? L"0.5" : L"50");
    }
    EXPECT_EQ(dlg.integer.GetVerbose(), 1);
}

TEST(EditTooltip, ShowsInAModalDialogThroughItsLoop) {
    EditsDlg dlg;
    dlg.onInit = [](EditsDlg& d) {
        d.tipped.SetTooltipText(static_cast<LPCWSTR>(nullptr)); // nothing
        d.tipped.ActivateTooltip(TRUE);                          // no tool yet: nothing
        d.tipped.SetTooltipText(999);                            // no such string: nothing
        d.tipped.SetTooltipText(310);
    };
    static std::wstring tipShown;
    static bool tipVisible = false;
    tipShown.clear();
    tipVisible = false;
    testsupport::DialogDriver driver;
    driver.Expect(L"Edits").Do([](HWND d) {
        HWND edit = GetDlgItem(d, 303);
        RECT r;
        GetWindowRect(edit, &r);
        SetCursorPos((r.left + r.right) / 2, (r.top + r.bottom) / 2);
        POINT inside{(r.right - r.left) / 2, (r.bottom - r.top) / 2};
        PostMessageW(edit, WM_MOUSEMOVE, 0, MAKELPARAM(inside.x, inside.y));
        // Look a while later, from the dialog's own loop.
        SetTimer(d, 77, 1500, [](HWND dialog, UINT, UINT_PTR id, DWORD) {
            KillTimer(dialog, id);
            for (HWND w : guitest::ThreadWindows()) {
                if (guitest::ClassName(w) != TOOLTIPS_CLASSW || !IsWindowVisible(w)) continue;
                tipVisible = true;
                tipShown = guitest::WindowText(w);
            }
            PostMessageW(dialog, WM_COMMAND, IDOK, 0);
        });
    });
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_TRUE(driver.Finished()) << driver.Report();
    EXPECT_TRUE(tipVisible) << "the tooltip showed over the edit";
    EXPECT_EQ(tipShown, L"Tip from the resources");

    // Tooltips made and destroyed with their edits leave no GDI objects.
    const int gdiBefore = testsupport::GdiObjectCount();
    if (gdiBefore < 0) GTEST_SKIP() << "no GDI handle table";
    for (int i = 0; i < 20; ++i) {
        EditsDlg again;
        ASSERT_TRUE(again.Create(300u));
        again.tipped.SetTooltipText(L"a tip");
        again.DestroyWindow();
    }
    EXPECT_EQ(testsupport::GdiObjectCount(), gdiBefore);
}

} // namespace
