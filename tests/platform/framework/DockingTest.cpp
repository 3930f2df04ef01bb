// Frames with docked and floating toolbars: docking on each side and in
// rows, floating, dragging with posted mouse messages, resizing a floating
// bar, double-click toggles, command states at idle, pixels with pinned
// system colours, the toolbar's image list, and a long dock/float loop.
#include "ProcessProbes.h"
#include "WindowCapture.h"

#include <framework.h>

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

enum : UINT { kEnabled = 301, kOrphan = 302, kChecked = 303, kAppCommand = 304 };

class DockFrame : public CFrameWnd {
public:
    CToolBar bars[4];
    BOOL enable301 = FALSE;
    int ran301 = 0;

protected:
    void OnUpdate301(CCmdUI* ui) { ui->Enable(enable301); }
    void OnUpdate303(CCmdUI* ui) {
        ui->Enable(TRUE);
        ui->SetCheck(1);
    }
    void On301() { ++ran301; }
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(DockFrame, CFrameWnd)
ON_UPDATE_COMMAND_UI(kEnabled, OnUpdate301)
ON_UPDATE_COMMAND_UI(kChecked, OnUpdate303)
ON_COMMAND(kEnabled, On301)
END_MESSAGE_MAP()

class CommandApp : public CWinApp {
public:
    int ran304 = 0;

protected:
    void On304() { ++ran304; }
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(CommandApp, CWinApp)
ON_COMMAND(kAppCommand, On304)
END_MESSAGE_MAP()

void Pump() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

CRect ScreenRect(const CWnd& wnd) {
    CRect r;
    wnd.GetWindowRect(&r);
    return r;
}

CSize DockedSize(CToolBar& bar) {
    const bool horz = (bar.m_dwStyle & CBRS_ORIENT_HORZ) != 0;
    return bar.CalcDynamicLayout(-1, horz ? LM_HORZ | LM_HORZDOCK : LM_VERTDOCK);
}

class Docking : public ::testing::Test {
protected:
    void SetUp() override {
        frame = new DockFrame; // frames delete themselves
        ASSERT_TRUE(frame->Create(nullptr, L"Docking", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                                  CRect(40, 40, 680, 520)));
        ASSERT_TRUE(frame->EnableDocking(CBRS_ALIGN_ANY));
        const wchar_t* names[] = {L"One", L"Two", L"Three", L"Four"};
        for (int i = 0; i < 4; ++i) {
            CToolBar& bar = frame->bars[i];
            ASSERT_TRUE(bar.CreateEx(frame, TBSTYLE_FLAT,
                                     WS_CHILD | WS_VISIBLE | CBRS_TOP | CBRS_GRIPPER | CBRS_SIZE_DYNAMIC,
                                     CRect(0, 0, 0, 0), AFX_IDW_TOOLBAR + 1 + i));
            ASSERT_TRUE(bar.LoadToolBar(300));
            bar.SetWindowText(names[i]);
            bar.EnableDocking(CBRS_ALIGN_ANY);
        }
        ASSERT_NE(dock(AFX_IDW_DOCKBAR_TOP), nullptr);
    }
    void TearDown() override {
        if (CWnd::FromHandlePermanent(frameHwnd())) frame->DestroyWindow();
        Pump();
    }
    HWND frameHwnd() const { return frame ? frame->m_hWnd : nullptr; }
    CDockBar* dock(UINT id) { return static_cast<CDockBar*>(frame->GetControlBar(id)); }
    // A drag of `bar` by its gripper to `to` (screen), as posted mouse messages.
    void DragByGripper(CToolBar& bar, CPoint to, WPARAM keys = 0, bool escape = false) {
        const CPoint grip(-6, 6); // left of the client area: the gripper
        CPoint target = to;
        bar.ScreenToClient(&target);
        bar.PostMessage(WM_LBUTTONDOWN, MK_LBUTTON | keys, MAKELPARAM(grip.x, grip.y));
        bar.PostMessage(WM_MOUSEMOVE, MK_LBUTTON | keys, MAKELPARAM(target.x, target.y));
        if (escape) bar.PostMessage(WM_KEYDOWN, VK_ESCAPE, 0);
        bar.PostMessage(WM_LBUTTONUP, keys, MAKELPARAM(target.x, target.y));
        Pump();
    }
    DockFrame* frame = nullptr;
};

TEST_F(Docking, BarsDockOnEachSideWithTheSizesTheyAskFor) {
    const UINT sides[] = {AFX_IDW_DOCKBAR_TOP, AFX_IDW_DOCKBAR_BOTTOM, AFX_IDW_DOCKBAR_LEFT,
                          AFX_IDW_DOCKBAR_RIGHT};
    for (int i = 0; i < 4; ++i)
        frame->DockControlBar(&frame->bars[i], sides[i]);
    frame->RecalcLayout();
    CRect client;
    frame->GetClientRect(&client);
    for (int i = 0; i < 4; ++i) {
        CToolBar& bar = frame->bars[i];
        CDockBar* d = dock(sides[i]);
        SCOPED_TRACE(i);
        EXPECT_EQ(bar.m_pDockBar, d);
        EXPECT_EQ(bar.GetParent(), d);
        EXPECT_FALSE(bar.IsFloating());
        const CSize size = DockedSize(bar);
        EXPECT_EQ(ScreenRect(bar).Size(), size);
        const bool horz = i < 2;
        EXPECT_EQ(horz, size.cx > size.cy);
        // One row: the dock bar is as thick as its bar, less the two
        // borders it hides, plus its own border line.
        const CRect area = ScreenRect(*d);
        EXPECT_EQ(horz ? area.Height() : area.Width(),
                  (horz ? size.cy : size.cx) - 2 * d->GetBarOverlap(&bar) + AFX_CX_BORDER2);
        const CSize fixed = d->CalcFixedLayout(TRUE, horz); // stretched along its edge
        EXPECT_EQ(horz ? area.Height() : area.Width(), horz ? fixed.cy : fixed.cx);
        EXPECT_EQ(horz ? area.Width() : area.Height(),
                  horz ? client.Width() : client.Height() - ScreenRect(*dock(sides[0])).Height() -
                                              ScreenRect(*dock(sides[1])).Height());
    }
}

TEST_F(Docking, ARectanglePicksTheRowAndThePlaceInIt) {
    CToolBar &a = frame->bars[0], &b = frame->bars[1], &c = frame->bars[2];
    frame->DockControlBar(&a, AFX_IDW_DOCKBAR_TOP);
    frame->RecalcLayout();
    // Beside a: its rectangle one pixel to the right, as a program docks a
    // toolbar next to another.
    CRect beside = ScreenRect(a);
    beside.OffsetRect(1, 0);
    frame->DockControlBar(&b, AFX_IDW_DOCKBAR_TOP, &beside);
    frame->RecalcLayout();
    CDockBar* top = dock(AFX_IDW_DOCKBAR_TOP);
    const int overlap = top->GetBarOverlap(&a);
    EXPECT_EQ(ScreenRect(b).top, ScreenRect(a).top);
    EXPECT_EQ(ScreenRect(b).left, ScreenRect(a).right - overlap);
    // Below the row: a second row.
    CRect below = ScreenRect(a);
    below.OffsetRect(0, below.Height());
    frame->DockControlBar(&c, AFX_IDW_DOCKBAR_TOP, &below);
    frame->RecalcLayout();
    EXPECT_EQ(ScreenRect(c).top, ScreenRect(a).bottom - overlap);
    EXPECT_EQ(ScreenRect(c).left, ScreenRect(a).left);
    EXPECT_EQ(ScreenRect(*top).Height(), 2 * (DockedSize(a).cy - overlap) - overlap + AFX_CX_BORDER2);
    EXPECT_EQ(top->GetDockedCount(), 3);
    // A row too short for the second bar to start in wraps it into a row of its own.
    frame->SetWindowPos(nullptr, 0, 0, DockedSize(a).cx, 400, SWP_NOMOVE | SWP_NOZORDER);
    frame->RecalcLayout();
    EXPECT_EQ(ScreenRect(b).left, ScreenRect(a).left);
    EXPECT_EQ(ScreenRect(b).top, ScreenRect(a).bottom - overlap);
}

TEST_F(Docking, DragsFloatAndDockWithPostedMouseMessages) {
    CToolBar& bar = frame->bars[0];
    frame->DockControlBar(&bar, AFX_IDW_DOCKBAR_TOP);
    frame->RecalcLayout();
    const CRect client = [&] {
        CRect r;
        frame->GetClientRect(&r);
        frame->ClientToScreen(&r);
        return r;
    }();
    const CPoint middle = client.CenterPoint();

    struct Case {
        const char* what;
        WPARAM keys;
        bool escape;
        bool floats;
    } cases[] = {
        {"escape cancels", 0, true, false},
        {"dropped in the middle floats", 0, false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        DragByGripper(bar, middle, c.keys, c.escape);
        EXPECT_EQ(bar.IsFloating(), c.floats);
    }
    ASSERT_TRUE(bar.IsFloating());
    CFrameWnd* floating = bar.GetDockingFrame();
    ASSERT_TRUE(floating && floating->IsKindOf(RUNTIME_CLASS(CMiniDockFrameWnd)));
    EXPECT_TRUE(floating->IsWindowVisible());
    EXPECT_EQ(ScreenRect(bar).Size(), bar.CalcDynamicLayout(-1, LM_HORZ | LM_MRUWIDTH));
    EXPECT_TRUE(ScreenRect(*floating).PtInRect(middle));

    // By its caption back over the top edge; with Ctrl held it stays afloat.
    auto dragCaption = [&](WPARAM keys) {
        CMiniDockFrameWnd* mini = static_cast<CMiniDockFrameWnd*>(bar.GetDockingFrame());
        const CRect frameRect = ScreenRect(*mini);
        const CPoint caption(frameRect.left + 20, frameRect.top + 5);
        ASSERT_EQ(mini->SendMessage(WM_NCHITTEST, 0, MAKELPARAM(caption.x, caption.y)), HTCAPTION);
        CPoint target(client.left + 30, client.top); // over the top edge of the client area
        bar.ScreenToClient(&target);
        mini->PostMessage(WM_NCLBUTTONDOWN, HTCAPTION, MAKELPARAM(caption.x, caption.y));
        bar.PostMessage(WM_MOUSEMOVE, MK_LBUTTON | keys, MAKELPARAM(target.x, target.y));
        bar.PostMessage(WM_LBUTTONUP, keys, MAKELPARAM(target.x, target.y));
        Pump();
    };
    dragCaption(MK_CONTROL);
    EXPECT_TRUE(bar.IsFloating());
    dragCaption(0);
    EXPECT_FALSE(bar.IsFloating());
    EXPECT_EQ(bar.m_pDockBar, dock(AFX_IDW_DOCKBAR_TOP));
    EXPECT_EQ(ScreenRect(bar).Size(), DockedSize(bar));
}

TEST_F(Docking, AFloatingBarResizesByItsFrameEdgeAndDoubleClicksToggle) {
    CToolBar& bar = frame->bars[0];
    frame->DockControlBar(&bar, AFX_IDW_DOCKBAR_LEFT);
    frame->RecalcLayout();
    // A double-click on the gripper floats it, on the caption docks it back.
    bar.PostMessage(WM_LBUTTONDBLCLK, 0, MAKELPARAM(6, -6)); // above the client: the gripper
    Pump();
    ASSERT_TRUE(bar.IsFloating());
    auto* mini = static_cast<CMiniDockFrameWnd*>(bar.GetDockingFrame());
    const CSize oneRow = ScreenRect(bar).Size();
    EXPECT_GT(oneRow.cx, oneRow.cy);

    // The right edge dragged to half the width: the buttons wrap at the separator.
    const CRect before = ScreenRect(*mini);
    const CPoint edge(before.right - 2, before.CenterPoint().y);
    ASSERT_EQ(mini->SendMessage(WM_NCHITTEST, 0, MAKELPARAM(edge.x, edge.y)), HTRIGHT);
    CPoint to(edge.x - oneRow.cx / 2, edge.y);
    mini->PostMessage(WM_NCLBUTTONDOWN, HTRIGHT, MAKELPARAM(edge.x, edge.y));
    mini->PostMessage(WM_NCMOUSEMOVE, HTRIGHT, MAKELPARAM(to.x, to.y));
    mini->PostMessage(WM_NCLBUTTONUP, HTRIGHT, MAKELPARAM(to.x, to.y));
    Pump();
    const CSize wrapped = ScreenRect(bar).Size();
    EXPECT_LT(wrapped.cx, oneRow.cx);
    EXPECT_GT(wrapped.cy, oneRow.cy);
    EXPECT_EQ(wrapped, bar.CalcDynamicLayout(-1, LM_HORZ | LM_MRUWIDTH)); // remembered
    EXPECT_EQ(ScreenRect(*mini).left, before.left);

    const CRect caption = ScreenRect(*mini);
    mini->PostMessage(WM_NCLBUTTONDBLCLK, HTCAPTION, MAKELPARAM(caption.left + 20, caption.top + 5));
    Pump();
    EXPECT_EQ(bar.m_pDockBar, dock(AFX_IDW_DOCKBAR_LEFT));
    EXPECT_EQ(ScreenRect(bar).Size(), DockedSize(bar));
    // Floating again, it takes the width it was given.
    bar.PostMessage(WM_LBUTTONDBLCLK, 0, MAKELPARAM(6, -6));
    Pump();
    EXPECT_EQ(ScreenRect(bar).Size(), wrapped);
}

TEST_F(Docking, ButtonsTakeTheirStatesFromTheFrameAtIdleAndCommandsReachFrameAndApplication) {
    CToolBar& bar = frame->bars[0];
    frame->DockControlBar(&bar, AFX_IDW_DOCKBAR_TOP);
    frame->FloatControlBar(&frame->bars[1], CPoint(300, 300));
    CommandApp app;
    AFX_MODULE_STATE* state = AfxGetModuleState();
    CWinApp* saved = state->m_pCurrentWinApp;
    state->m_pCurrentWinApp = &app;
    app.m_pMainWnd = frame;
    CToolBarCtrl& ctrl = bar.GetToolBarCtrl();
    CToolBarCtrl& floatingCtrl = frame->bars[1].GetToolBarCtrl();
    app.OnIdle(0);
    struct Case {
        UINT id;
        BOOL enabled, checked;
    } cases[] = {{kEnabled, FALSE, FALSE}, {kOrphan, FALSE, FALSE}, {kChecked, TRUE, TRUE},
                 {kAppCommand, TRUE, FALSE}};
    for (const Case& c : cases) {
        EXPECT_EQ(ctrl.IsButtonEnabled(c.id) != 0, c.enabled) << c.id;
        EXPECT_EQ(floatingCtrl.IsButtonEnabled(c.id) != 0, c.enabled) << c.id; // its own frame too
        EXPECT_EQ(ctrl.IsButtonChecked(c.id) != 0, c.checked) << c.id;
    }
    frame->enable301 = TRUE;
    app.OnIdle(0);
    EXPECT_TRUE(ctrl.IsButtonEnabled(kEnabled));
    // A button's command goes from the dock bar to the frame, and on to the application.
    HWND dockHwnd = ::GetParent(bar.m_hWnd);
    ::SendMessageW(dockHwnd, WM_COMMAND, MAKEWPARAM(kEnabled, BN_CLICKED), reinterpret_cast<LPARAM>(bar.m_hWnd));
    ::SendMessageW(dockHwnd, WM_COMMAND, MAKEWPARAM(kAppCommand, BN_CLICKED), reinterpret_cast<LPARAM>(bar.m_hWnd));
    EXPECT_EQ(frame->ran301, 1);
    EXPECT_EQ(app.ran304, 1);
    // The View menu's bar item: checked while the bar shows, and toggles it.
    frame->SendMessage(WM_COMMAND, bar.GetDlgCtrlID());
    EXPECT_FALSE(bar.IsWindowVisible());
    EXPECT_TRUE(AfxIsCommandEnabled(frame, bar.GetDlgCtrlID()));
    frame->SendMessage(WM_COMMAND, bar.GetDlgCtrlID());
    EXPECT_TRUE(bar.IsWindowVisible());
    app.m_pMainWnd = nullptr;
    state->m_pCurrentWinApp = saved;
}

// The image strip of four cells, at `height` pixels.
HBITMAP Strip(int height, const COLORREF (&colors)[4]) {
    HDC screen = GetDC(nullptr);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, 4 * height, height);
    HDC dc = CreateCompatibleDC(screen);
    HGDIOBJ old = SelectObject(dc, bitmap);
    for (int i = 0; i < 4; ++i) {
        HBRUSH brush = CreateSolidBrush(colors[i]);
        RECT cell{i * height, 0, (i + 1) * height, height};
        FillRect(dc, &cell, brush);
        DeleteObject(brush);
    }
    SelectObject(dc, old);
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
    return bitmap;
}

TEST_F(Docking, TheImageListIsBuiltAtTheImageSizeAndReplacedWithoutLeaks) {
    const COLORREF colors[4] = {RGB(255, 0, 0), RGB(0, 255, 0), RGB(0, 0, 255), RGB(255, 255, 0)};
    CToolBar& bar = frame->bars[2];
    int gdiBefore = 0;
    for (int round = 0; round < 20; ++round) {
        for (int size : {16, 24}) {
            bar.SetSizes(CSize(size + 7, size + 7), CSize(size, size));
            ASSERT_TRUE(bar.SetBitmap(Strip(16, colors))); // always a 16-pixel strip
            HIMAGELIST list = bar.GetToolBarCtrl().GetImageList();
            int cx = 0, cy = 0;
            ImageList_GetIconSize(list, &cx, &cy);
            EXPECT_EQ(cx, size);
            EXPECT_EQ(cy, size);
            EXPECT_EQ(ImageList_GetImageCount(list), 4);
            // Each cell is one image: the third image is blue all over.
            HDC screen = GetDC(nullptr);
            HDC dc = CreateCompatibleDC(screen);
            HBITMAP canvas = CreateCompatibleBitmap(screen, size, size);
            HGDIOBJ old = SelectObject(dc, canvas);
            ImageList_Draw(list, 2, dc, 0, 0, ILD_NORMAL);
            EXPECT_EQ(GetPixel(dc, 1, 1), colors[2]);
            EXPECT_EQ(GetPixel(dc, size - 2, size - 2), colors[2]);
            SelectObject(dc, old);
            DeleteObject(canvas);
            DeleteDC(dc);
            ReleaseDC(nullptr, screen);
        }
        if (round == 0) gdiBefore = testsupport::GdiObjectCount();
    }
    EXPECT_EQ(testsupport::GdiObjectCount(), gdiBefore);
}

TEST_F(Docking, PaintsTheFrameOfBarsInThePinnedSystemColours) {
    const int elements[] = {COLOR_BTNFACE, COLOR_BTNSHADOW, COLOR_BTNHIGHLIGHT};
    COLORREF saved[3], pinned[3] = {RGB(200, 180, 120), RGB(90, 40, 30), RGB(250, 250, 200)};
    for (int i = 0; i < 3; ++i)
        saved[i] = GetSysColor(elements[i]);
    SetSysColors(3, elements, pinned);
    frame->SendMessage(WM_SYSCOLORCHANGE);
    frame->DockControlBar(&frame->bars[0], AFX_IDW_DOCKBAR_TOP);
    frame->DockControlBar(&frame->bars[1], AFX_IDW_DOCKBAR_LEFT);
    frame->FloatControlBar(&frame->bars[2], CPoint(420, 300));
    frame->RecalcLayout();
    frame->RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_UPDATENOW | RDW_ALLCHILDREN);
    Pump();
    CToolBar& bar = frame->bars[0];
    CDockBar* top = dock(AFX_IDW_DOCKBAR_TOP);
    HDC dc = GetWindowDC(top->m_hWnd);
    const CRect barInDock = [&] {
        CRect r = ScreenRect(bar);
        r.OffsetRect(-ScreenRect(*top).left, -ScreenRect(*top).top);
        return r;
    }();
    // Right of the bar the dock bar shows the face; its bottom border line the shadow.
    EXPECT_EQ(GetPixel(dc, barInDock.right + 20, 4), pinned[0]);
    EXPECT_EQ(GetPixel(dc, barInDock.right + 20, ScreenRect(*top).Height() - 2), pinned[1]);
    ReleaseDC(top->m_hWnd, dc);
    // The gripper: a highlight line then a shadow line, across the bar.
    HDC barDc = GetWindowDC(bar.m_hWnd);
    const int gripX = AFX_CX_BORDER2 + AFX_CX_BORDER_GRIPPER, midY = ScreenRect(bar).Height() / 2;
    EXPECT_EQ(GetPixel(barDc, gripX, midY), pinned[2]);
    EXPECT_EQ(GetPixel(barDc, gripX + AFX_CX_GRIPPER - 1, midY), pinned[1]);
    ReleaseDC(bar.m_hWnd, barDc);
    if (const char* folder = std::getenv("QUORLA_DIALOG_CAPTURES")) {
        std::wstring path;
        for (const char* p = folder; *p; ++p)
            path += static_cast<wchar_t>(*p);
        wincapture::CaptureToPng(frame->m_hWnd, path + L"\\frames-docking.png");
        wincapture::CaptureToPng(frame->bars[2].GetDockingFrame()->m_hWnd, path + L"\\frames-floating.png");
    }
    SetSysColors(3, elements, saved);
    frame->SendMessage(WM_SYSCOLORCHANGE);
}

TEST_F(Docking, TenThousandDocksAndFloatsLeaveGdiAndUserAllocationsPossible) {
    CToolBar& bar = frame->bars[0];
    frame->DockControlBar(&bar, AFX_IDW_DOCKBAR_TOP);
    frame->RecalcLayout();
    // Hidden, the bar's floating frames are made and destroyed without being shown.
    frame->ShowControlBar(&bar, FALSE, FALSE);
    const int gdiBefore = testsupport::GdiObjectCount();
    for (int i = 0; i < 10000; ++i) {
        frame->FloatControlBar(&bar, CPoint(200 + i % 50, 200));
        frame->DockControlBar(&bar, i % 2 ? AFX_IDW_DOCKBAR_LEFT : AFX_IDW_DOCKBAR_BOTTOM);
        if (i % 10 == 0) frame->RecalcLayout();
        if (i % 100 == 0) {
            Pump();
            AfxUnlockTempMaps();
        }
    }
    Pump();
    AfxUnlockTempMaps();
    EXPECT_FALSE(bar.IsFloating());
    EXPECT_LE(testsupport::GdiObjectCount(), gdiBefore + 2);
    HDC screen = GetDC(nullptr);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, 64, 64);
    EXPECT_NE(bitmap, nullptr);
    DeleteObject(bitmap);
    ReleaseDC(nullptr, screen);
    HWND window = CreateWindowExW(0, L"STATIC", L"after", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    EXPECT_NE(window, nullptr);
    DestroyWindow(window);
}

} // namespace
