// Foundations of frames and bars: the collections, menus, the non-client and
// command-ex entries of message maps, owners apart from parents, and the
// WM_SIZEPARENT layout of RepositionBars.
#include <framework.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

TEST(Collections, ArrayGrowsInsertsAndRemovesElementsThatOwnMemory) {
    CArray<CString, const CString&> a;
    for (int i = 0; i < 100; ++i) {
        CString s;
        s.Format(L"%d", i);
        EXPECT_EQ(a.Add(s), i);
    }
    a.InsertAt(1, L"x", 2);
    a.RemoveAt(0, 1);
    a.Add(a[0]); // an element of the array itself, while it grows
    ASSERT_EQ(a.GetSize(), 102);
    EXPECT_EQ(a[0], L"x");
    EXPECT_EQ(a[2], L"1");
    EXPECT_EQ(a[101], L"x");
    a.SetAtGrow(110, L"far");
    EXPECT_EQ(a.GetSize(), 111);
    EXPECT_TRUE(a[105].IsEmpty());
    a.RemoveAt(100, 1000); // clipped to the end
    EXPECT_EQ(a.GetSize(), 100);

    CPtrArray p;
    p.InsertAt(3, &a); // past the end: the gap is filled with nulls
    EXPECT_EQ(p.GetSize(), 4);
    EXPECT_EQ(p[0], nullptr);
    EXPECT_EQ(p[3], &a);
}

TEST(Collections, ObjectListKeepsOrderAndPositions) {
    CMenu a, b, c;
    CObList list;
    list.AddTail(&b);
    list.AddHead(&a);
    POSITION pb = list.Find(&b);
    list.InsertAfter(pb, &c);
    std::vector<CObject*> seen;
    for (POSITION pos = list.GetHeadPosition(); pos;)
        seen.push_back(list.GetNext(pos));
    EXPECT_EQ(seen, (std::vector<CObject*>{&a, &b, &c}));
    list.RemoveAt(pb);
    EXPECT_EQ(list.GetCount(), 2);
    EXPECT_EQ(list.GetTail(), &c);
}

TEST(Collections, StringMapLooksUpReplacesRemovesAndIteratesEveryKey) {
    CMapStringToPtr map;
    map.InitHashTable(7);
    int values[50];
    for (int i = 0; i < 50; ++i) {
        CString key;
        key.Format(L"key%d", i);
        map[key] = &values[i];
    }
    map.SetAt(L"key3", &values[4]);
    map.SetAt(L"", &values[0]); // the empty key is a key
    EXPECT_EQ(map.GetCount(), 51);
    void* found = nullptr;
    EXPECT_TRUE(map.Lookup(L"key3", found));
    EXPECT_EQ(found, &values[4]);
    EXPECT_FALSE(map.Lookup(L"KEY3", found)); // exact comparison
    EXPECT_TRUE(map.RemoveKey(L"key10"));
    EXPECT_FALSE(map.RemoveKey(L"key10"));
    int count = 0;
    for (POSITION pos = map.GetStartPosition(); pos; ++count) {
        CString key;
        void* value;
        map.GetNextAssoc(pos, key, value);
        EXPECT_NE(key, L"key10");
    }
    EXPECT_EQ(count, 50);
}

TEST(Menus, OwnedMenusAreDestroyedAndTemporariesAreNot) {
    HMENU raw = nullptr;
    {
        CMenu menu;
        ASSERT_TRUE(menu.CreatePopupMenu());
        EXPECT_FALSE(menu.CreateMenu()); // already holds one
        menu.AppendMenu(MF_STRING, 10, L"&Ten");
        menu.AppendMenu(MF_SEPARATOR);
        menu.CheckMenuItem(10, MF_CHECKED);
        CString text;
        EXPECT_EQ(menu.GetMenuString(10, text, MF_BYCOMMAND), 4);
        EXPECT_EQ(text, L"&Ten");
        EXPECT_EQ(menu.GetMenuItemCount(), 2);
        raw = menu.m_hMenu;
        CMenu* temp = CMenu::FromHandle(raw);
        EXPECT_EQ(CMenu::FromHandle(raw), temp);
        EXPECT_TRUE(temp->GetMenuState(10, MF_BYCOMMAND) & MF_CHECKED);
        AfxUnlockTempMaps();
        EXPECT_TRUE(IsMenu(raw)); // the temporary did not take it along
    }
    EXPECT_FALSE(IsMenu(raw));
}

// A bar that takes its edge of the parent as WM_SIZEPARENT asks.
class EdgeBar : public CWnd {
public:
    UINT edge = 0; // 'T', 'L', 'B'
    int thickness = 0;

protected:
    LRESULT OnSizeParent(WPARAM, LPARAM lParam) {
        auto* layout = reinterpret_cast<AFX_SIZEPARENTPARAMS*>(lParam);
        CRect r(layout->rect);
        if (edge == 'T') r.bottom = r.top + thickness, layout->rect.top += thickness;
        if (edge == 'B') r.top = r.bottom - thickness, layout->rect.bottom -= thickness;
        if (edge == 'L') r.right = r.left + thickness, layout->rect.left += thickness;
        AfxRepositionWindow(layout, m_hWnd, &r);
        return 0;
    }
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(EdgeBar, CWnd)
ON_MESSAGE(WM_SIZEPARENT, OnSizeParent)
END_MESSAGE_MAP()

CRect ChildRect(const CWnd& child) {
    CRect r;
    child.GetWindowRect(&r);
    ::MapWindowPoints(nullptr, ::GetParent(child.m_hWnd), reinterpret_cast<LPPOINT>(&r), 2);
    return r;
}

TEST(Layout, BarsTakeTheirEdgesInZOrderAndThePaneTheRest) {
    CWnd parent;
    ASSERT_TRUE(parent.CreateEx(0, nullptr, L"layout", WS_POPUP, 0, 0, 300, 200, nullptr, nullptr));
    EdgeBar top, left, bottom;
    CWnd pane;
    top.edge = 'T', top.thickness = 20;
    left.edge = 'L', left.thickness = 30;
    bottom.edge = 'B', bottom.thickness = 10;
    const CRect none(0, 0, 1, 1);
    ASSERT_TRUE(top.Create(nullptr, nullptr, WS_VISIBLE, none, &parent, AFX_IDW_CONTROLBAR_FIRST));
    ASSERT_TRUE(left.Create(nullptr, nullptr, WS_VISIBLE, none, &parent, AFX_IDW_CONTROLBAR_FIRST + 1));
    ASSERT_TRUE(bottom.Create(nullptr, nullptr, WS_VISIBLE, none, &parent, 7)); // outside the range
    ASSERT_TRUE(pane.Create(nullptr, nullptr, WS_VISIBLE, none, &parent, AFX_IDW_PANE_FIRST));

    CRect query(0, 0, 0, 0);
    parent.RepositionBars(AFX_IDW_CONTROLBAR_FIRST, AFX_IDW_CONTROLBAR_LAST, AFX_IDW_PANE_FIRST,
                          CWnd::reposQuery, &query);
    EXPECT_EQ(query, CRect(30, 20, 300, 200));
    EXPECT_EQ(ChildRect(top), none); // a query moves nothing

    CRect extra(5, 0, 0, 5);
    parent.RepositionBars(AFX_IDW_CONTROLBAR_FIRST, AFX_IDW_CONTROLBAR_LAST, AFX_IDW_PANE_FIRST,
                          CWnd::reposExtra, &extra);
    EXPECT_EQ(ChildRect(top), CRect(0, 0, 300, 20));
    EXPECT_EQ(ChildRect(left), CRect(0, 20, 30, 200));
    EXPECT_EQ(ChildRect(bottom), none);
    EXPECT_EQ(ChildRect(pane), CRect(35, 20, 300, 195));
    parent.DestroyWindow();
}

// Entries for the messages frames and bars need.
class MapProbe : public CWnd {
public:
    std::vector<std::wstring> log;
    BOOL passOn = FALSE;

protected:
    LRESULT OnNcHitTest(CPoint p) {
        log.push_back(L"hit " + std::to_wstring(p.x) + L"," + std::to_wstring(p.y));
        return HTCAPTION;
    }
    void OnNcLButtonDblClk(UINT hit, CPoint) { log.push_back(L"ncdbl " + std::to_wstring(hit)); }
    void OnContextMenu(CWnd* wnd, CPoint p) {
        log.push_back(std::wstring(wnd == this ? L"menu self " : L"menu other ") +
                      std::to_wstring(p.x));
    }
    void OnSettingChange(UINT, LPCWSTR section) { log.push_back(section ? section : L"(null)"); }
    BOOL OnCommandEx(UINT id) {
        log.push_back(L"ex " + std::to_wstring(id));
        return !passOn;
    }
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(MapProbe, CWnd)
ON_WM_NCHITTEST()
ON_WM_NCLBUTTONDBLCLK()
ON_WM_CONTEXTMENU()
ON_WM_SETTINGCHANGE()
ON_COMMAND_EX_RANGE(100, 110, OnCommandEx)
END_MESSAGE_MAP()

TEST(MessageMaps, NonClientContextSettingAndCommandExEntries) {
    MapProbe probe;
    ASSERT_TRUE(probe.CreateEx(0, nullptr, L"probe", WS_POPUP, 0, 0, 100, 100, nullptr, nullptr));
    EXPECT_EQ(probe.SendMessage(WM_NCHITTEST, 0, MAKELPARAM(-5, 7)), HTCAPTION);
    probe.SendMessage(WM_NCLBUTTONDBLCLK, HTCAPTION, 0);
    probe.SendMessage(WM_CONTEXTMENU, reinterpret_cast<WPARAM>(probe.m_hWnd), MAKELPARAM(12, 3));
    probe.SendMessage(WM_SETTINGCHANGE, 0, reinterpret_cast<LPARAM>(L"intl"));
    EXPECT_TRUE(probe.OnCmdMsg(104, CN_COMMAND, nullptr, nullptr));
    probe.passOn = TRUE;
    EXPECT_FALSE(probe.OnCmdMsg(105, CN_COMMAND, nullptr, nullptr)); // routing goes on
    AFX_CMDHANDLERINFO info{};
    EXPECT_TRUE(probe.OnCmdMsg(110, CN_COMMAND, nullptr, &info)); // asked, not called
    EXPECT_EQ(info.pTarget, &probe);
    EXPECT_FALSE(probe.OnCmdMsg(111, CN_COMMAND, nullptr, &info));
    EXPECT_EQ(probe.log, (std::vector<std::wstring>{L"hit -5,7", L"ncdbl 2", L"menu self 12",
                                                    L"intl", L"ex 104", L"ex 105"}));
    probe.DestroyWindow();
}

TEST(Family, TheOwnerIsKeptApartFromTheParent) {
    CWnd frame, dock, bar;
    ASSERT_TRUE(frame.CreateEx(0, nullptr, L"frame", WS_POPUP, 0, 0, 100, 100, nullptr, nullptr));
    ASSERT_TRUE(dock.Create(nullptr, nullptr, 0, CRect(0, 0, 10, 10), &frame, 1));
    ASSERT_TRUE(bar.Create(nullptr, nullptr, 0, CRect(0, 0, 10, 10), &dock, 2));
    EXPECT_EQ(bar.GetOwner(), &dock); // none set: the parent
    bar.SetOwner(&frame);
    EXPECT_EQ(bar.GetOwner(), &frame);
    EXPECT_EQ(bar.GetParent(), &dock);
    frame.DestroyWindow();
}

} // namespace
