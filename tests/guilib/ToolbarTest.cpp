// TMXToolbar in a docking frame: CDockBarEx packing, FrameEnableDocking
// replacing the framework's dock bars, TMXGUIUtils::DockToolbar.
#include "GuiTestSupport.h"

#include "TMXGUIUtils.h"
#include "TMXToolbar.h"

#include <gtest/gtest.h>

namespace {

const UINT kButtons[] = {401, 402, ID_SEPARATOR, 403};

CRect ScreenRect(const CWnd& wnd) {
    CRect r;
    wnd.GetWindowRect(&r);
    return r;
}

// A frame (an MDI frame, as DockToolbar takes) with two toolbars made by
// `make`, docked at the top; system colours pinned for pixel checks.
class ToolbarFrame : public ::testing::Test {
protected:
    void SetUp() override {
        frame = new CMDIFrameWnd; // deletes itself
        ASSERT_TRUE(frame->Create(nullptr, L"Toolbars", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                                  CRect(40, 40, 680, 480)));
    }
    void TearDown() override {
        if (frameHwnd && IsWindow(frameHwnd)) frame->DestroyWindow();
        guitest::PumpMessages();
        for (CToolBar* bar : bars) delete bar;
    }
    template <class Bar> Bar* AddBar(DWORD ctrlStyle, UINT id) {
        frameHwnd = frame->m_hWnd;
        auto* bar = new Bar;
        bars.push_back(bar);
        EXPECT_TRUE(bar->CreateEx(frame, ctrlStyle, WS_CHILD | WS_VISIBLE | CBRS_TOP | CBRS_SIZE_DYNAMIC,
                                  CRect(0, 0, 0, 0), id));
        EXPECT_TRUE(bar->SetButtons(kButtons, 4));
        bar->EnableDocking(CBRS_ALIGN_ANY);
        return bar;
    }
    CDockBar* Dock(UINT id) { return static_cast<CDockBar*>(frame->GetControlBar(id)); }

    CMDIFrameWnd* frame = nullptr;
    HWND frameHwnd = nullptr;
    std::vector<CToolBar*> bars;
};

TEST_F(ToolbarFrame, NeighboursOverlapByTwoPixelsUnlessBothAreFlatToolbarsOnADockBarEx) {
    struct Case {
        bool ex, tmx;
        DWORD ctrlStyle;
        int overlap;
    } cases[] = {
        {true, true, TBSTYLE_FLAT, 0},  {true, true, 0, 2},       {true, false, TBSTYLE_FLAT, 2},
        {false, true, TBSTYLE_FLAT, 2}, {false, false, TBSTYLE_FLAT, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << "ex " << c.ex << " tmx " << c.tmx << " style " << c.ctrlStyle);
        TearDown();
        bars.clear();
        SetUp();
        if (c.ex)
            TMXToolbar::FrameEnableDocking(frame, CBRS_ALIGN_ANY);
        else
            frame->EnableDocking(CBRS_ALIGN_ANY);
        EXPECT_EQ(Dock(AFX_IDW_DOCKBAR_TOP)->IsKindOf(RUNTIME_CLASS(CDockBarEx)), c.ex);
        CToolBar* a = c.tmx ? AddBar<TMXToolbar>(c.ctrlStyle, 0xE801) : AddBar<CToolBar>(c.ctrlStyle, 0xE801);
        CToolBar* b = c.tmx ? AddBar<TMXToolbar>(c.ctrlStyle, 0xE802) : AddBar<CToolBar>(c.ctrlStyle, 0xE802);
        frame->DockControlBar(a, AFX_IDW_DOCKBAR_TOP);
        frame->RecalcLayout();
        TMXGUIUtils::DockToolbar(frame, b, a);
        frame->RecalcLayout();
        const CRect ra = ScreenRect(*a), rb = ScreenRect(*b), dock = ScreenRect(*Dock(AFX_IDW_DOCKBAR_TOP));
        EXPECT_EQ(rb.top, ra.top);
        EXPECT_EQ(rb.left, ra.right - c.overlap);
        EXPECT_EQ(ra.left, dock.left - c.overlap);
        EXPECT_EQ(ra.top, dock.top - c.overlap);
    }
}

TEST_F(ToolbarFrame, DockToolbarPutsTheBarRightOfItsNeighbourInTheNeighboursRow) {
    TMXToolbar::FrameEnableDocking(frame, CBRS_ALIGN_ANY);
    TMXToolbar* a = AddBar<TMXToolbar>(TBSTYLE_FLAT, 0xE801);
    TMXToolbar* b = AddBar<TMXToolbar>(TBSTYLE_FLAT, 0xE802);
    TMXToolbar* c = AddBar<TMXToolbar>(TBSTYLE_FLAT, 0xE803);
    const UINT sides[] = {AFX_IDW_DOCKBAR_BOTTOM, AFX_IDW_DOCKBAR_LEFT, AFX_IDW_DOCKBAR_RIGHT};
    for (UINT side : sides) {
        SCOPED_TRACE(side);
        // A bar already in a row below the neighbour's on the same side must not attract b.
        frame->DockControlBar(a, side);
        frame->DockControlBar(c, side);
        frame->RecalcLayout();
        TMXGUIUtils::DockToolbar(frame, b, a);
        frame->RecalcLayout();
        CDockBar* dock = Dock(side);
        EXPECT_EQ(b->m_pDockBar, dock);
        const bool horz = side == AFX_IDW_DOCKBAR_BOTTOM;
        const CRect ra = ScreenRect(*a), rb = ScreenRect(*b);
        EXPECT_EQ(horz ? rb.top : rb.left, horz ? ra.top : ra.left);
        EXPECT_EQ(horz ? rb.left : rb.top, horz ? ra.right : ra.bottom);
        // Rows {a, b} and {c}.
        EXPECT_EQ(dock->GetDockedCount(), 3);
        EXPECT_EQ(dock->m_arrBars.GetSize(), 6);
    }
}

// Refuses the creation of dock bars (and nothing else) while it is installed.
HHOOK g_refuseHook;
LRESULT CALLBACK RefuseDockBars(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_CREATEWND) {
        auto* create = reinterpret_cast<CBT_CREATEWNDW*>(lParam);
        const UINT id = static_cast<UINT>(reinterpret_cast<UINT_PTR>(create->lpcs->hMenu));
        if ((create->lpcs->style & WS_CHILD) && id >= AFX_IDW_DOCKBAR_TOP && id <= AFX_IDW_DOCKBAR_BOTTOM)
            return 1;
    }
    return CallNextHookEx(g_refuseHook, code, wParam, lParam);
}

TEST_F(ToolbarFrame, FrameEnableDockingReplacesTheDockBarsInPlaceWithTheirBars) {
    ASSERT_TRUE(frame->EnableDocking(CBRS_ALIGN_ANY));
    TMXToolbar* a = AddBar<TMXToolbar>(TBSTYLE_FLAT, 0xE801);
    TMXToolbar* b = AddBar<TMXToolbar>(TBSTYLE_FLAT, 0xE802);
    frame->DockControlBar(a, AFX_IDW_DOCKBAR_TOP);
    frame->DockControlBar(b, AFX_IDW_DOCKBAR_LEFT);
    const UINT ids[] = {AFX_IDW_DOCKBAR_TOP, AFX_IDW_DOCKBAR_BOTTOM, AFX_IDW_DOCKBAR_LEFT,
                        AFX_IDW_DOCKBAR_RIGHT};
    auto zOrder = [&] {
        std::vector<UINT> order;
        for (HWND w = GetWindow(frame->m_hWnd, GW_CHILD); w; w = GetWindow(w, GW_HWNDNEXT))
            for (UINT id : ids)
                if (GetDlgCtrlID(w) == static_cast<int>(id)) order.push_back(id);
        return order;
    };
    const std::vector<UINT> before = zOrder();
    ASSERT_EQ(before.size(), 4u);
    const HWND oldTop = Dock(AFX_IDW_DOCKBAR_TOP)->m_hWnd;

    // The new dock bars cannot be made: the old ones stay, with their bars.
    g_refuseHook = SetWindowsHookExW(WH_CBT, RefuseDockBars, nullptr, GetCurrentThreadId());
    TMXToolbar::FrameEnableDocking(frame, CBRS_ALIGN_ANY);
    UnhookWindowsHookEx(g_refuseHook);
    EXPECT_EQ(Dock(AFX_IDW_DOCKBAR_TOP)->m_hWnd, oldTop);
    EXPECT_FALSE(Dock(AFX_IDW_DOCKBAR_TOP)->IsKindOf(RUNTIME_CLASS(CDockBarEx)));
    EXPECT_EQ(a->GetParent()->m_hWnd, oldTop);

    TMXToolbar::FrameEnableDocking(frame, CBRS_ALIGN_ANY);
    EXPECT_FALSE(IsWindow(oldTop));
    EXPECT_EQ(zOrder(), before);
    for (UINT id : ids)
        EXPECT_TRUE(Dock(id)->IsKindOf(RUNTIME_CLASS(CDockBarEx))) << id;
    EXPECT_EQ(a->m_pDockBar, Dock(AFX_IDW_DOCKBAR_TOP));
    EXPECT_EQ(a->GetParent(), Dock(AFX_IDW_DOCKBAR_TOP));
    EXPECT_EQ(b->m_pDockBar, Dock(AFX_IDW_DOCKBAR_LEFT));
    EXPECT_EQ(Dock(AFX_IDW_DOCKBAR_TOP)->GetDockedCount(), 1);
    // Laid out in the new one: the flat bar no longer hides its border.
    frame->RecalcLayout();
    EXPECT_EQ(ScreenRect(*a).top, ScreenRect(*Dock(AFX_IDW_DOCKBAR_TOP)).top);
    // A second call changes nothing.
    const HWND newTop = Dock(AFX_IDW_DOCKBAR_TOP)->m_hWnd;
    TMXToolbar::FrameEnableDocking(frame, CBRS_ALIGN_ANY);
    EXPECT_EQ(Dock(AFX_IDW_DOCKBAR_TOP)->m_hWnd, newTop);
}

} // namespace
