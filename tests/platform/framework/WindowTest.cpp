// Windows: message maps through base classes, reflection of child
// notifications, subclassing, the handle map and the common wrappers.
#include "DialogDriver.h"

#include <framework.h>

#include <gtest/gtest.h>

namespace {

const UINT kMsgBase = WM_APP + 1;   // handled by BaseWnd only
const UINT kMsgMiddle = WM_APP + 2; // handled by BaseWnd and overridden by MiddleWnd
const UINT kMsgLeaf = WM_APP + 3;   // handled by LeafWnd only
const UINT kMsgNone = WM_APP + 4;   // handled by nobody

class BaseWnd : public CWnd {
public:
    int baseCalls = 0;

protected:
    LRESULT OnBase(WPARAM wParam, LPARAM) {
        ++baseCalls;
        return 100 + static_cast<LRESULT>(wParam);
    }
    LRESULT OnMiddleInBase(WPARAM, LPARAM) {
        ++baseCalls;
        return -1;
    }
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(BaseWnd, CWnd)
ON_MESSAGE(kMsgBase, OnBase)
ON_MESSAGE(kMsgMiddle, OnMiddleInBase)
END_MESSAGE_MAP()

class MiddleWnd : public BaseWnd {
public:
    int middleCalls = 0;

protected:
    LRESULT OnMiddle(WPARAM, LPARAM) {
        ++middleCalls;
        return 200;
    }
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(MiddleWnd, BaseWnd)
ON_MESSAGE(kMsgMiddle, OnMiddle)
END_MESSAGE_MAP()

class LeafWnd : public MiddleWnd {
public:
    int leafCalls = 0, timers = 0, destroyed = 0, postNcDestroyed = 0;
    AFX_MODULE_STATE* stateInHandler = nullptr;

protected:
    LRESULT OnLeaf(WPARAM, LPARAM) {
        ++leafCalls;
        stateInHandler = AfxGetModuleState();
        return 300;
    }
    // Default() runs the window's previous procedure for the current message.
    LRESULT OnGetTextLength(WPARAM, LPARAM) { return Default() + 1000; }
    void OnTimer(UINT_PTR id) { timers += static_cast<int>(id); }
    void OnDestroy() {
        ++destroyed;
        CWnd::OnDestroy();
    }
    void PostNcDestroy() override { ++postNcDestroyed; }
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(LeafWnd, MiddleWnd)
ON_MESSAGE(kMsgLeaf, OnLeaf)
ON_MESSAGE(WM_GETTEXTLENGTH, OnGetTextLength)
ON_WM_TIMER()
ON_WM_DESTROY()
END_MESSAGE_MAP()

HWND CreatePopup(CWnd& wnd, LPCWSTR title) {
    EXPECT_TRUE(wnd.CreateEx(0, nullptr, title, WS_POPUP, 0, 0, 200, 100, nullptr, nullptr));
    return wnd.m_hWnd;
}

TEST(MessageMap, WalksFromTheDerivedClassThroughItsBases) {
    LeafWnd wnd;
    ASSERT_NE(CreatePopup(wnd, L"abc"), nullptr);
    EXPECT_EQ(CWnd::FromHandlePermanent(wnd.m_hWnd), &wnd) << "attached from creation on";

    EXPECT_EQ(wnd.SendMessage(kMsgBase, 5), 105) << "an entry two levels up";
    EXPECT_EQ(wnd.SendMessage(kMsgMiddle), 200) << "the nearer class's entry wins";
    EXPECT_EQ(wnd.SendMessage(kMsgLeaf), 300);
    EXPECT_EQ(wnd.SendMessage(kMsgNone), 0) << "unhandled: the default window procedure";
    EXPECT_EQ(wnd.baseCalls, 1);
    EXPECT_EQ(wnd.middleCalls, 1);
    EXPECT_EQ(wnd.leafCalls, 1);

    EXPECT_EQ(wnd.SendMessage(WM_GETTEXTLENGTH), 1003);
    wnd.SendMessage(WM_TIMER, 7);
    EXPECT_EQ(wnd.timers, 7);

    HWND hwnd = wnd.m_hWnd;
    EXPECT_TRUE(wnd.DestroyWindow());
    EXPECT_EQ(wnd.destroyed, 1);
    EXPECT_EQ(wnd.postNcDestroyed, 1);
    EXPECT_EQ(wnd.m_hWnd, nullptr);
    EXPECT_EQ(CWnd::FromHandlePermanent(hwnd), nullptr);
}

// A control that handles its own notifications.
class ReflectingButton : public CWnd {
public:
    int clicks = 0, draws = 0, notifies = 0, preSubclassed = 0;
    UINT ctlColorType = 0;
    HBRUSH brush = nullptr;
    BOOL keepNotify = TRUE;

    HBRUSH CtlColor(CDC* dc, UINT type) {
        ctlColorType = type;
        if (dc) dc->SetTextColor(RGB(255, 0, 0));
        return brush;
    }
    void DrawItem(LPDRAWITEMSTRUCT dis) {
        ++draws;
        EXPECT_EQ(dis->hwndItem, m_hWnd);
    }

protected:
    void PreSubclassWindow() override { ++preSubclassed; }
    void OnClicked() { ++clicks; }
    BOOL OnNmClick(NMHDR*, LRESULT* result) {
        ++notifies;
        *result = 77;
        return keepNotify;
    }
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(ReflectingButton, CWnd)
ON_CONTROL_REFLECT(BN_CLICKED, OnClicked)
ON_NOTIFY_REFLECT_EX(NM_CLICK, OnNmClick)
ON_WM_CTLCOLOR_REFLECT()
ON_WM_DRAWITEM_REFLECT()
END_MESSAGE_MAP()

class ParentWnd : public CWnd {
public:
    int clicks = 0, notifies = 0, rangeClicks = 0;
    HBRUSH brush = reinterpret_cast<HBRUSH>(GetStockObject(GRAY_BRUSH));

protected:
    void OnButtonClicked() { ++clicks; }
    void OnOtherClicked(UINT) { ++rangeClicks; }
    void OnButtonNotify(NMHDR*, LRESULT* result) {
        ++notifies;
        *result = 5;
    }
    HBRUSH OnCtlColor(CDC*, CWnd*, UINT) { return brush; }
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(ParentWnd, CWnd)
ON_BN_CLICKED(501, OnButtonClicked)
ON_CONTROL_RANGE(BN_CLICKED, 502, 510, OnOtherClicked)
ON_NOTIFY(NM_CLICK, 501, OnButtonNotify)
ON_WM_CTLCOLOR()
END_MESSAGE_MAP()

class Reflection : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_NE(CreatePopup(parent, L"parent"), nullptr);
        HINSTANCE instance = GetModuleHandleW(nullptr);
        for (int i = 0; i < 3; ++i) {
            DWORD style = WS_CHILD | WS_VISIBLE | (i == 1 ? BS_OWNERDRAW : BS_PUSHBUTTON);
            raw[i] = CreateWindowExW(0, L"BUTTON", L"b", style, 0, 30 * i, 80, 25, parent.m_hWnd,
                                     reinterpret_cast<HMENU>(static_cast<INT_PTR>(501 + i)),
                                     instance, nullptr);
            ASSERT_NE(raw[i], nullptr);
        }
        ASSERT_TRUE(button.SubclassDlgItem(501, &parent));
        ASSERT_TRUE(ownerDrawn.SubclassDlgItem(502, &parent));
        // raw[2] (503) has no object: its notifications stay with the parent.
    }
    void TearDown() override { parent.DestroyWindow(); }

    ParentWnd parent;
    ReflectingButton button, ownerDrawn;
    HWND raw[3] = {};
};

TEST_F(Reflection, CommandNotificationsGoToTheControlObjectFirst) {
    EXPECT_EQ(button.preSubclassed, 1);
    SendMessageW(raw[0], BM_CLICK, 0, 0); // a real click notification
    EXPECT_EQ(button.clicks, 1);
    EXPECT_EQ(parent.clicks, 0) << "the parent saw a notification its control handled";

    SendMessageW(raw[2], BM_CLICK, 0, 0);
    EXPECT_EQ(parent.rangeClicks, 1) << "a control without an object: the parent's range entry";
    SendMessageW(raw[1], BM_CLICK, 0, 0);
    EXPECT_EQ(ownerDrawn.clicks, 1);
    EXPECT_EQ(parent.rangeClicks, 1);

    // Unsubclassed, the button's notifications reach the parent again.
    EXPECT_EQ(button.UnsubclassWindow(), raw[0]);
    SendMessageW(raw[0], BM_CLICK, 0, 0);
    EXPECT_EQ(button.clicks, 1);
    EXPECT_EQ(parent.clicks, 1);
}

TEST_F(Reflection, NotifyReflectExDecidesWhetherTheParentSeesIt) {
    NMHDR nm{raw[0], 501, static_cast<UINT>(NM_CLICK)};
    LRESULT r = SendMessageW(parent.m_hWnd, WM_NOTIFY, 501, reinterpret_cast<LPARAM>(&nm));
    EXPECT_EQ(r, 77);
    EXPECT_EQ(button.notifies, 1);
    EXPECT_EQ(parent.notifies, 0);

    button.keepNotify = FALSE;
    r = SendMessageW(parent.m_hWnd, WM_NOTIFY, 501, reinterpret_cast<LPARAM>(&nm));
    EXPECT_EQ(button.notifies, 2);
    EXPECT_EQ(parent.notifies, 1);
    EXPECT_EQ(r, 5);
}

TEST_F(Reflection, CtlColorComesFromTheControlUnlessItDeclines) {
    HDC dc = GetDC(parent.m_hWnd);
    button.brush = reinterpret_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    LRESULT r = SendMessageW(parent.m_hWnd, WM_CTLCOLORBTN, reinterpret_cast<WPARAM>(dc),
                             reinterpret_cast<LPARAM>(raw[0]));
    EXPECT_EQ(reinterpret_cast<HBRUSH>(r), button.brush);
    EXPECT_EQ(button.ctlColorType, static_cast<UINT>(CTLCOLOR_BTN));
    EXPECT_EQ(GetTextColor(dc), RGB(255, 0, 0)) << "the control's CtlColor worked on the real DC";

    r = SendMessageW(parent.m_hWnd, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                     reinterpret_cast<LPARAM>(raw[1])); // ownerDrawn returns no brush
    EXPECT_EQ(reinterpret_cast<HBRUSH>(r), parent.brush);
    EXPECT_EQ(ownerDrawn.ctlColorType, static_cast<UINT>(CTLCOLOR_STATIC));
    r = SendMessageW(parent.m_hWnd, WM_CTLCOLORBTN, reinterpret_cast<WPARAM>(dc),
                     reinterpret_cast<LPARAM>(raw[2]));
    EXPECT_EQ(reinterpret_cast<HBRUSH>(r), parent.brush);
    ReleaseDC(parent.m_hWnd, dc);
}

TEST_F(Reflection, OwnerDrawingIsReflectedWhenTheButtonPaints) {
    parent.ShowWindow(SW_SHOWNOACTIVATE);
    InvalidateRect(raw[1], nullptr, TRUE);
    UpdateWindow(raw[1]);
    EXPECT_GE(ownerDrawn.draws, 1) << "the button's WM_DRAWITEM did not reach its object";
    EXPECT_EQ(button.draws, 0);
}

TEST(Handles, TemporaryObjectsAttachAndDetach) {
    HWND raw = CreateWindowExW(0, L"STATIC", L"raw", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                               nullptr, nullptr);
    ASSERT_NE(raw, nullptr);
    EXPECT_EQ(CWnd::FromHandlePermanent(raw), nullptr);
    CWnd* temp = CWnd::FromHandle(raw);
    ASSERT_NE(temp, nullptr);
    EXPECT_EQ(temp->m_hWnd, raw);
    EXPECT_EQ(CWnd::FromHandle(raw), temp) << "one temporary object per handle";
    AfxUnlockTempMaps();
    EXPECT_TRUE(IsWindow(raw)) << "releasing temporaries destroyed the window";

    CWnd wnd;
    ASSERT_TRUE(wnd.Attach(raw));
    EXPECT_EQ(CWnd::FromHandle(raw), &wnd);
    CWnd other;
    EXPECT_FALSE(other.Attach(raw)) << "a handle has one permanent object";
    CString text;
    wnd.GetWindowText(text);
    EXPECT_STREQ(text, L"raw");
    wnd.SetWindowText(L"renamed");
    EXPECT_EQ(testsupport::WindowText(raw), L"renamed");
    EXPECT_EQ(wnd.Detach(), raw);
    EXPECT_EQ(CWnd::FromHandlePermanent(raw), nullptr);
    EXPECT_TRUE(IsWindow(raw));

    // An attached window that is not subclassed still detaches on DestroyWindow.
    ASSERT_TRUE(wnd.Attach(raw));
    EXPECT_TRUE(wnd.DestroyWindow());
    EXPECT_EQ(wnd.m_hWnd, nullptr);
    EXPECT_FALSE(IsWindow(raw));
}

// Makes the next window handle the system gives out have bit 31 set: every
// reuse of a handle slot raises the handle's upper word, and menus take the
// same slots as windows.
void ChurnHandleSlotPastBit31() {
    for (int i = 0; i < 0x10000; ++i) {
        HMENU menu = CreateMenu();
        const auto value = reinterpret_cast<ULONG_PTR>(menu);
        DestroyMenu(menu);
        if ((value & 0x80000000u) && (value >> 16 & 0xFFFF) < 0xFFFE) return;
    }
}

TEST(Handles, AWindowWithBit31SetIsFoundInEitherForm) {
    ChurnHandleSlotPastBit31();
    HWND raw = CreateWindowExW(0, L"STATIC", L"parent", WS_POPUP, 0, 0, 50, 50, nullptr, nullptr,
                               nullptr, nullptr);
    ASSERT_NE(raw, nullptr);
    if (!(reinterpret_cast<ULONG_PTR>(raw) & 0x80000000u)) {
        DestroyWindow(raw);
        GTEST_SKIP() << "the handle slot was taken by something else";
    }
    const auto low = static_cast<ULONG>(reinterpret_cast<ULONG_PTR>(raw));
    HWND zeroExtended = reinterpret_cast<HWND>(static_cast<ULONG_PTR>(low));
    CWnd parent;
    ASSERT_TRUE(parent.Attach(zeroExtended));
    EXPECT_EQ(parent.m_hWnd, raw) << "kept sign-extended, as the system makes it";
    EXPECT_EQ(CWnd::FromHandlePermanent(raw), &parent);
    EXPECT_EQ(CWnd::FromHandle(zeroExtended), &parent);
    HWND child = CreateWindowExW(0, L"STATIC", L"child", WS_CHILD, 0, 0, 5, 5, raw, nullptr, nullptr, nullptr);
    EXPECT_EQ(CWnd::FromHandle(child)->GetParent(), &parent);
    parent.DestroyWindow();
    AfxUnlockTempMaps();
    // The slot goes to a menu kept for the rest of the run, so that the
    // windows and cursors of later tests do not land in it.
    HMENU parked = CreateMenu();
    EXPECT_TRUE(reinterpret_cast<ULONG_PTR>(parked) & 0x80000000u);
}

TEST(Handles, DestroyingTheObjectDestroysItsWindow) {
    HWND hwnd;
    {
        LeafWnd wnd;
        hwnd = CreatePopup(wnd, L"short-lived");
        ASSERT_NE(hwnd, nullptr);
    }
    EXPECT_FALSE(IsWindow(hwnd));
}

TEST(Wrappers, GeometryVisibilityAndCentring) {
    CWnd parent, child;
    ASSERT_TRUE(parent.CreateEx(0, nullptr, L"p", WS_POPUP | WS_VISIBLE, 100, 100, 400, 300,
                                nullptr, nullptr));
    ASSERT_TRUE(child.Create(nullptr, L"c", WS_VISIBLE, CRect(0, 0, 100, 50), &parent, 7));
    EXPECT_EQ(child.GetDlgCtrlID(), 7);
    EXPECT_EQ(parent.GetDlgItem(7), &child);
    EXPECT_EQ(child.GetParent(), &parent);
    EXPECT_TRUE(child.IsWindowVisible());
    child.ShowWindow(SW_HIDE);
    EXPECT_FALSE(child.IsWindowVisible());
    child.ShowWindow(SW_SHOW);

    child.CenterWindow();
    CRect c, client;
    child.GetWindowRect(&c);
    parent.ScreenToClient(&c);
    parent.GetClientRect(&client);
    EXPECT_EQ(c, CRect(150, 125, 250, 175));

    child.MoveWindow(CRect(10, 20, 60, 40));
    child.GetWindowRect(&c);
    parent.ScreenToClient(&c);
    EXPECT_EQ(c, CRect(10, 20, 60, 40));

    // A popup centres over its owner.
    CWnd popup;
    ASSERT_TRUE(popup.CreateEx(0, nullptr, L"o", WS_POPUP | WS_VISIBLE, 0, 0, 100, 60,
                               parent.m_hWnd, nullptr));
    popup.CenterWindow();
    CRect p, owner;
    popup.GetWindowRect(&p);
    parent.GetWindowRect(&owner);
    EXPECT_EQ(p.CenterPoint(), owner.CenterPoint());
    EXPECT_EQ(popup.GetOwner(), &parent);
    popup.DestroyWindow();
    parent.DestroyWindow();
    EXPECT_EQ(child.m_hWnd, nullptr) << "a child goes with its parent";
}

TEST(Geometry, RectPointSize) {
    CRect r(10, 20, 110, 70);
    EXPECT_EQ(r.Width(), 100);
    EXPECT_EQ(r.Height(), 50);
    EXPECT_EQ(r.CenterPoint(), CPoint(60, 45));
    EXPECT_TRUE(r.PtInRect(CPoint(10, 20)));
    EXPECT_FALSE(r.PtInRect(CPoint(110, 20))) << "right and bottom are outside";
    r.OffsetRect(CPoint(5, 5));
    EXPECT_EQ(r, CRect(15, 25, 115, 75));
    r.InflateRect(5, 5);
    EXPECT_EQ(r.Size(), CSize(110, 60));
    EXPECT_EQ(CRect(0, 0, 10, 10) & CRect(5, 5, 20, 20), CRect(5, 5, 10, 10));
    EXPECT_EQ(CRect(0, 0, 10, 10) | CRect(5, 5, 20, 20), CRect(0, 0, 20, 20));
    EXPECT_TRUE(CRect(5, 5, 5, 10).IsRectEmpty());
    CRect n(10, 10, 0, 0);
    n.NormalizeRect();
    EXPECT_EQ(n, CRect(0, 0, 10, 10));
    EXPECT_EQ(CPoint(MAKELPARAM(-3, 4)), CPoint(-3, 4)) << "packed mouse coordinates are signed";
    EXPECT_EQ(CPoint(1, 2) + CSize(3, 4), CPoint(4, 6));
}

TEST(WaitCursor, NestsAndRestoresThePreviousCursor) {
    HCURSOR arrow = LoadCursorW(nullptr, IDC_ARROW);
    HCURSOR wait = LoadCursorW(nullptr, IDC_WAIT);
    SetCursor(arrow);
    CWnd target;
    target.BeginWaitCursor();
    EXPECT_EQ(GetCursor(), wait);
    {
        CWaitCursor inner;
        EXPECT_EQ(GetCursor(), wait);
        SetCursor(arrow); // something else changed it meanwhile
        inner.Restore();
        EXPECT_EQ(GetCursor(), wait);
    }
    EXPECT_EQ(GetCursor(), wait) << "the outer wait is still on";
    target.EndWaitCursor();
    EXPECT_EQ(GetCursor(), arrow);
    target.EndWaitCursor(); // unbalanced: no effect
    EXPECT_EQ(GetCursor(), arrow);
}

} // namespace

namespace {

// Records what its attachment set-up saw.
class SetUpProbe : public CStatic {
public:
    int preSubclassed = 0, colourChanges = 0;
    bool hadText = false, attached = false;

protected:
    void PreSubclassWindow() override {
        ++preSubclassed;
        attached = CWnd::FromHandlePermanent(m_hWnd) == this;
        CString text;
        GetWindowText(text);
        hadText = text == L"set up";
    }
    void OnSysColorChange() { ++colourChanges; }
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(SetUpProbe, CStatic)
ON_WM_SYSCOLORCHANGE()
END_MESSAGE_MAP()

TEST(Creation, CreateRunsTheAttachmentSetUpOnceOnTheFinishedWindow) {
    CWnd parent;
    ASSERT_TRUE(parent.CreateEx(0, nullptr, L"p", WS_POPUP, 0, 0, 200, 100, nullptr, nullptr));
    SetUpProbe made, subclassed;
    ASSERT_TRUE(made.Create(L"set up", WS_VISIBLE, CRect(0, 0, 50, 20), &parent, 5));
    EXPECT_EQ(made.preSubclassed, 1);
    EXPECT_TRUE(made.attached);
    EXPECT_TRUE(made.hadText) << "the window was complete";

    HWND raw = CreateWindowExW(0, L"STATIC", L"set up", WS_CHILD, 0, 30, 50, 20, parent.m_hWnd,
                               reinterpret_cast<HMENU>(6), nullptr, nullptr);
    ASSERT_TRUE(subclassed.SubclassWindow(raw));
    EXPECT_EQ(subclassed.preSubclassed, 1) << "the same set-up on both paths";

    made.SendMessage(WM_SYSCOLORCHANGE);
    EXPECT_EQ(made.colourChanges, 1);

    WINDOWPLACEMENT placement{};
    ASSERT_TRUE(parent.GetWindowPlacement(&placement));
    EXPECT_EQ(placement.length, sizeof placement);
    EXPECT_EQ(CRect(placement.rcNormalPosition), CRect(0, 0, 200, 100));
    parent.DestroyWindow();
}

} // namespace
