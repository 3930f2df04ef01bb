// List views, headers and image lists; the middle and right mouse handlers.
#include <framework.h>

#include <gtest/gtest.h>

#include <string>

namespace {

class ListControls : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(parent.CreateEx(0, nullptr, L"lists", WS_POPUP | WS_VISIBLE, 0, 0, 400, 300, nullptr, nullptr));
        ASSERT_TRUE(list.Create(WS_CHILD | WS_VISIBLE | LVS_REPORT, CRect(0, 0, 380, 280), &parent, 1));
        list.SetExtendedStyle(LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT);
        list.InsertColumn(0, L"Name", LVCFMT_LEFT, 100);
        list.InsertColumn(1, L"Value", LVCFMT_RIGHT, 80);
    }
    void TearDown() override { parent.DestroyWindow(); }
    CWnd parent;
    CListCtrl list;
};

TEST_F(ListControls, CellTextsComeBackWholeAndRowsKeepTheirData) {
    for (size_t length : {0u, 254u, 255u, 256u, 511u, 1000u, 5000u}) {
        const std::wstring text(length, L'x');
        ASSERT_EQ(list.InsertItem(0, L"row"), 0);
        ASSERT_TRUE(list.SetItemText(0, 1, text.c_str()));
        EXPECT_EQ(std::wstring(list.GetItemText(0, 1)), text) << length;
        ASSERT_TRUE(list.SetItemData(0, 0xFEEDu + length));
        EXPECT_EQ(list.GetItemData(0), 0xFEEDu + length);
        list.DeleteAllItems();
    }
    list.InsertItem(0, L"checked");
    EXPECT_FALSE(list.GetCheck(0));
    list.SetCheck(0, TRUE);
    EXPECT_TRUE(list.GetCheck(0));
    EXPECT_EQ(std::wstring(list.GetItemText(7, 0)), L"") << "no such row";
    EXPECT_EQ(list.GetColumnWidth(1), 80);
    CHeaderCtrl* header = list.GetHeaderCtrl();
    ASSERT_NE(header, nullptr);
    EXPECT_EQ(header->GetItemCount(), 2);
    EXPECT_EQ(CWnd::FromHandlePermanent(header->m_hWnd), nullptr) << "a view, not attached";
}

TEST_F(ListControls, ImageListsHaveOwnersAndTemporaries) {
    {
        CImageList owned;
        ASSERT_TRUE(owned.Create(16, 16, ILC_COLOR24 | ILC_MASK, 2, 2));
        EXPECT_EQ(CImageList::FromHandle(owned.m_hImageList), &owned);
        EXPECT_FALSE(owned.Create(16, 16, ILC_COLOR24, 1, 1)) << "it holds one already";
        // A list nobody attached comes back as a temporary object.
        HIMAGELIST raw = ImageList_Create(8, 8, ILC_COLOR24, 1, 1);
        EXPECT_EQ(list.SetImageList(CImageList::FromHandle(raw), LVSIL_SMALL), nullptr);
        CImageList* previous = list.SetImageList(&owned, LVSIL_SMALL);
        ASSERT_NE(previous, nullptr);
        EXPECT_EQ(previous->m_hImageList, raw);
        EXPECT_NE(previous, &owned);
        EXPECT_EQ(list.GetImageList(LVSIL_SMALL), &owned);
        AfxUnlockTempMaps(TRUE);
        EXPECT_EQ(ImageList_GetImageCount(raw), 0) << "the temporary let go without destroying";
        EXPECT_TRUE(ImageList_Destroy(raw));

        // The list view hands its small list to its header too.
        CHeaderCtrl* header = list.GetHeaderCtrl();
        EXPECT_EQ(header->GetImageList(), &owned);
        EXPECT_EQ(header->SetImageList(nullptr), &owned);
        EXPECT_EQ(header->GetImageList(), nullptr);
        list.SetImageList(nullptr, LVSIL_SMALL);
    }
    // The owner destroyed its list with itself.
    CImageList again;
    EXPECT_TRUE(again.Create(16, 16, ILC_COLOR24, 1, 1));
    EXPECT_TRUE(again.DeleteImageList());
    EXPECT_EQ(again.m_hImageList, nullptr);
}

class MouseWnd : public CWnd {
public:
    std::string seen;

protected:
    void OnMButtonDown(UINT, CPoint p) { seen += "M" + std::to_string(p.x); }
    void OnMButtonDblClk(UINT, CPoint) { seen += "m"; }
    void OnRButtonDblClk(UINT, CPoint) { seen += "r"; }
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(MouseWnd, CWnd)
ON_WM_MBUTTONDOWN()
ON_WM_MBUTTONDBLCLK()
ON_WM_RBUTTONDBLCLK()
END_MESSAGE_MAP()

TEST(MouseMessages, MiddleAndRightButtonHandlersAreCalled) {
    MouseWnd wnd;
    ASSERT_TRUE(wnd.CreateEx(0, nullptr, L"mouse", WS_POPUP, 0, 0, 50, 50, nullptr, nullptr));
    wnd.SendMessage(WM_MBUTTONDOWN, MK_MBUTTON, MAKELPARAM(7, 3));
    wnd.SendMessage(WM_MBUTTONDBLCLK, MK_MBUTTON, 0);
    wnd.SendMessage(WM_RBUTTONDBLCLK, MK_RBUTTON, 0);
    EXPECT_EQ(wnd.seen, "M7mr");
    wnd.DestroyWindow();
}

} // namespace
