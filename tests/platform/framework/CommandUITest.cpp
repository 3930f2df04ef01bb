// Command user interface: update handlers on menu items, "disable if no
// handler", commands that became disabled, and the application's idle loop.
#include <framework.h>

#include <gtest/gtest.h>

#include <vector>

namespace {

enum : UINT { kUpdated = 201, kHandled = 202, kOrphan = 203, kRenamed = 204 };

class CommandWnd : public CWnd {
public:
    BOOL enable201 = FALSE;
    int ran201 = 0, ran202 = 0, idleUpdates = 0;

protected:
    void OnUpdate201(CCmdUI* ui) {
        ui->Enable(enable201);
        ui->SetCheck(1);
    }
    void OnUpdate204(CCmdUI* ui) { ui->SetText(L"Renamed"); }
    void On201() { ++ran201; }
    void On202() { ++ran202; }
    LRESULT OnIdleUpdate(WPARAM, LPARAM) {
        ++idleUpdates;
        return 0;
    }
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(CommandWnd, CWnd)
ON_UPDATE_COMMAND_UI(kUpdated, OnUpdate201)
ON_UPDATE_COMMAND_UI(kRenamed, OnUpdate204)
ON_COMMAND(kUpdated, On201)
ON_COMMAND(kHandled, On202)
ON_MESSAGE(WM_IDLEUPDATECMDUI, OnIdleUpdate)
END_MESSAGE_MAP()

TEST(CommandUI, MenuItemsTakeTheirStateFromUpdateHandlersOrFromHavingAHandler) {
    CommandWnd wnd;
    ASSERT_TRUE(wnd.CreateEx(0, nullptr, L"cmd", WS_POPUP, 0, 0, 50, 50, nullptr, nullptr));
    CMenu menu;
    ASSERT_TRUE(menu.CreatePopupMenu());
    for (UINT id : {kUpdated, kHandled, kOrphan, kRenamed})
        menu.AppendMenu(MF_STRING, id, L"item");
    struct Case {
        BOOL disableIfNoHandler;
        UINT expected[4]; // MF_GRAYED/MF_CHECKED state of each item
    } cases[] = {
        {TRUE, {MF_GRAYED | MF_CHECKED, 0, MF_GRAYED, MF_GRAYED}},
        {FALSE, {MF_GRAYED | MF_CHECKED, 0, 0, 0}},
    };
    for (const Case& c : cases) {
        for (UINT i = 0; i < 4; ++i)
            menu.EnableMenuItem(i, MF_BYPOSITION | MF_ENABLED);
        CCmdUI ui;
        ui.m_pMenu = &menu;
        for (UINT i = 0; i < 4; ++i) {
            ui.m_nIndex = i;
            ui.m_nID = menu.GetMenuItemID(static_cast<int>(i));
            ui.DoUpdate(&wnd, c.disableIfNoHandler);
            EXPECT_EQ(menu.GetMenuState(i, MF_BYPOSITION) & (MF_GRAYED | MF_CHECKED), c.expected[i])
                << "item " << i << " disableIfNoHandler " << c.disableIfNoHandler;
        }
    }
    CString text;
    menu.GetMenuString(kRenamed, text, MF_BYCOMMAND);
    EXPECT_EQ(text, L"Renamed");
    wnd.DestroyWindow();
}

TEST(CommandUI, ACommandDisabledByItsUpdateHandlerDoesNotRun) {
    CommandWnd wnd;
    ASSERT_TRUE(wnd.CreateEx(0, nullptr, L"cmd", WS_POPUP, 0, 0, 50, 50, nullptr, nullptr));
    wnd.SendMessage(WM_COMMAND, kUpdated);
    wnd.SendMessage(WM_COMMAND, kHandled);
    EXPECT_EQ(wnd.ran201, 0);
    EXPECT_EQ(wnd.ran202, 1);
    wnd.enable201 = TRUE;
    wnd.SendMessage(WM_COMMAND, MAKEWPARAM(kUpdated, 1)); // an accelerator
    EXPECT_EQ(wnd.ran201, 1);
    wnd.DestroyWindow();
}

class LoopApp : public CWinApp {
public:
    LoopApp() : CWinApp(L"loop") {}
    std::vector<LONG> counts;
    BOOL OnIdle(LONG count) override {
        counts.push_back(count);
        BOOL more = CWinApp::OnIdle(count);
        if (!more && counts.size() < 4) ::PostMessageW(nullptr, WM_NULL, 0, 0); // one more round
        if (!more && counts.size() >= 4) ::PostQuitMessage(7);
        return more;
    }
};

TEST(Idle, RunCallsOnIdleWhenTheQueueIsEmptyAndEndsWithTheQuitCode) {
    CommandWnd main;
    ASSERT_TRUE(main.CreateEx(0, nullptr, L"main", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50, nullptr,
                              nullptr));
    CommandWnd child, hidden;
    ASSERT_TRUE(child.Create(nullptr, nullptr, WS_VISIBLE, CRect(0, 0, 5, 5), &main, 1));
    ASSERT_TRUE(hidden.CreateEx(0, nullptr, L"hidden", WS_POPUP, 0, 0, 5, 5, nullptr, nullptr));
    LoopApp app;
    app.m_pMainWnd = &main;
    EXPECT_EQ(app.Run(), 7);
    // Two rounds (the WM_NULL starts the second), each 0 then 1; every
    // round updates the visible window and its children, not hidden ones.
    EXPECT_EQ(app.counts, (std::vector<LONG>{0, 1, 0, 1}));
    EXPECT_EQ(main.idleUpdates, 2);
    EXPECT_EQ(child.idleUpdates, 2);
    EXPECT_EQ(hidden.idleUpdates, 0);
    hidden.DestroyWindow();
    main.DestroyWindow();
}

} // namespace
