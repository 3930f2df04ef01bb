// The list control: columns, typed texts, records and colours, the order of
// texts and sorting, state queries and check rules by real clicks, in-place
// editing (also inside a modal dialog), moves, and its lifetime.
#include "ControlProbes.h"
#include "DialogDriver.h"
#include "GuiTestSupport.h"
#include "ListOrder.h"
#include "ProcessProbes.h"
#include "TMXListCtrl.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <functional>
#include <string>
#include <vector>

namespace {

constexpr UINT kListId = 77;

LVITEMW Item(UINT mask, int row, LPCWSTR text = nullptr, LPARAM lParam = 0) {
    LVITEMW item{};
    item.mask = mask, item.iItem = row, item.pszText = const_cast<LPWSTR>(text);
    item.lParam = lParam;
    return item;
}

// The list's parent: what the list tells it, and hooks into its handlers.
class ListParent : public CWnd {
public:
    struct Note { UINT message; WPARAM wParam; LPARAM lParam; };
    std::vector<Note> notes;
    std::function<void(int row, int column)> onEdited;
    std::function<void(int row)> onDeleteItem;

    int Count(UINT message) const {
        return static_cast<int>(std::count_if(notes.begin(), notes.end(),
                                              [&](const Note& n) { return n.message == message; }));
    }

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message >= LISTMSG_CHECKBOX_CHANGED && message <= LISTMSG_ITEM_EDITED) {
            notes.push_back({message, wParam, lParam});
            if (message == LISTMSG_ITEM_EDITED && onEdited)
                onEdited(static_cast<int>(wParam), static_cast<int>(lParam));
            return 0;
        }
        auto* nm = reinterpret_cast<NMLISTVIEW*>(lParam);
        if (message == WM_NOTIFY && nm->hdr.code == LVN_DELETEITEM && onDeleteItem)
            onDeleteItem(nm->iItem);
        return CWnd::WindowProc(message, wParam, lParam);
    }
};

class ListCtrl : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(parent.CreateEx(0, nullptr, L"list", WS_POPUP | WS_VISIBLE, 0, 0, 420, 320,
                                    nullptr, nullptr));
        ASSERT_TRUE(list.Create(&parent, kListId, CRect(0, 0, 400, 300)));
        ASSERT_TRUE(list.SetColumnHeader(L"Name,100;Value,80,2;Note,100,1"));
    }
    void TearDown() override {
        parent.onEdited = nullptr; // their captures are gone
        parent.onDeleteItem = nullptr;
        list.DestroyWindow();
        parent.DestroyWindow();
    }
    void Rows(std::vector<std::wstring> names) {
        for (const std::wstring& name : names)
            list.InsertItemEx(list.GetItemCount(), name.c_str(), (L"v" + name).c_str(), nullptr);
    }
    std::wstring Column(int column) const {
        std::wstring out;
        for (int row = 0; row < list.GetItemCount(); ++row)
            out += (row ? L"," : L"") + std::wstring(list.GetItemText(row, column));
        return out;
    }
    CRect Label(int row, int column) {
        CRect r;
        list.GetSubItemRect(row, column, LVIR_LABEL, &r);
        return r;
    }
    CPoint CheckBox(int row) {
        CRect r;
        list.GetItemRect(row, &r, LVIR_BOUNDS);
        for (int x = r.left; x < r.left + 40; ++x) {
            LVHITTESTINFO hit{};
            hit.pt = {x, r.CenterPoint().y};
            list.HitTest(&hit);
            if (hit.flags & LVHT_ONITEMSTATEICON) return hit.pt;
        }
        ADD_FAILURE() << "no check box in row " << row;
        return CPoint(-1, -1);
    }
    // A click as the mouse makes it. Under Wine the list view's right
    // button-down waits for its button-up, so that is queued first.
    void Click(UINT down, CPoint p) {
        const LPARAM at = MAKELPARAM(p.x, p.y);
        if (down == WM_RBUTTONDOWN) list.PostMessage(WM_RBUTTONUP, 0, at);
        list.SendMessage(down, down == WM_RBUTTONDOWN ? MK_RBUTTON : MK_LBUTTON, at);
        if (down == WM_LBUTTONDOWN) list.SendMessage(WM_LBUTTONUP, 0, at);
        guitest::PumpMessages();
    }
    // A key-down in the edit, through pre-translation as a loop would do it.
    BOOL Key(UINT vk, HWND target = nullptr) {
        MSG msg{};
        msg.hwnd = target ? target : list.GetEditControl()->m_hWnd;
        msg.message = WM_KEYDOWN, msg.wParam = vk;
        return CWnd::WalkPreTranslateTree(nullptr, &msg);
    }
    DWORD Checks() const {
        DWORD bits = 0;
        for (int row = 0; row < list.GetItemCount(); ++row)
            bits |= (list.GetItemStates(row) & LIST_ITEM_CHECKED) ? 1u << row : 0;
        return bits;
    }
    bool Editing() { return list.GetEditControl()->IsWindowVisible() != FALSE; }

    ListParent parent;
    TMXListCtrl list;
};

TEST_F(ListCtrl, StylesAreForcedOnEveryPath) {
    TMXListCtrl other;
    ASSERT_TRUE(other.Create(&parent, 2, nullptr, LVS_SMALLICON | LVS_EDITLABELS | LVS_NOSCROLL));
    const DWORD looked = LVS_TYPEMASK | LVS_EDITLABELS | LVS_NOSCROLL | WS_CHILD | WS_VISIBLE;
    EXPECT_EQ(other.GetStyle() & looked, DWORD(LVS_REPORT | WS_CHILD | WS_VISIBLE));
    CRect r;
    other.GetWindowRect(&r);
    EXPECT_EQ(r.Width(), 420) << "a null rectangle covers the parent";
    EXPECT_EQ(other.GetExtendedStyle(), 0x22u);
    EXPECT_EQ(other.SetExtendedStyle(LVS_EX_GRIDLINES), 0x22u);
    EXPECT_EQ(other.GetExtendedStyle(), 0x22u | LVS_EX_GRIDLINES);
    other.ModifyStyle(WS_VISIBLE | LVS_REPORT, LVS_EDITLABELS | LVS_ICON);
    EXPECT_EQ(other.GetStyle() & looked, DWORD(LVS_REPORT | WS_CHILD | WS_VISIBLE));
    // The window's own extended style takes the masks as given.
    other.ModifyStyleEx(0, WS_EX_CLIENTEDGE);
    EXPECT_EQ(other.GetExStyle() & (WS_EX_CLIENTEDGE | WS_EX_TRANSPARENT), DWORD(WS_EX_CLIENTEDGE));
    EXPECT_EQ(other.GetExtendedStyle() & 0x22u, 0x22u);
}

TEST_F(ListCtrl, ColumnStringsGiveHeadingsWidthsAndAlignment) {
    struct Heading { std::wstring text; int width, format; };
    struct Case { const wchar_t* header; std::vector<Heading> columns; } const cases[] = {
        {L"Name,120;Size,60,2;Date",
         {{L"Name", 120, 0}, {L"Size", 60, LVCFMT_RIGHT}, {L"Date", 100, 0}}},
        {L"Heading,,2;;Mid, 30px,1", {{L"Heading", 2, 0}, {L"Mid", 30, LVCFMT_CENTER}}},
        {L" Wide ,99999999999,7;Narrow,-5;Words,wide,right",
         {{L" Wide ", 32767, 0}, {L"Narrow", 0, 0}, {L"Words", 100, 0}}},
        {L";,;,,", {}},
        {L"", {}},
    };
    for (const Case& c : cases) {
        Rows({L"gone"});
        EXPECT_EQ(list.SetColumnHeader(c.header), !c.columns.empty()) << c.header;
        EXPECT_EQ(list.GetItemCount(), 0) << c.header;
        ASSERT_EQ(list.GetColumnCount(), static_cast<int>(c.columns.size())) << c.header;
        for (int i = 0; i < list.GetColumnCount(); ++i) {
            LVCOLUMNW column{};
            column.mask = LVCF_FMT | LVCF_WIDTH;
            list.GetColumn(i, &column);
            EXPECT_EQ(std::wstring(list.GetHeaderText(i)), c.columns[i].text) << c.header;
            EXPECT_EQ(column.cx, c.columns[i].width) << c.header << " " << i;
            if (i > 0) { // the list view keeps column 0 left-aligned
                EXPECT_EQ(column.fmt & LVCFMT_JUSTIFYMASK, c.columns[i].format) << c.header;
            }
        }
    }
    EXPECT_FALSE(list.SetHeaderText(0, L"none"));
}

TEST_F(ListCtrl, TypedSettersWriteTheTextsOfTheTable) {
    Rows({L"row"});
    const COleDateTime date(2021, 3, 4, 5, 6, 7), invalid(1e9);
    auto set = [&](auto... value) { return list.SetItemText(0, 1, value...); };
    struct Case { std::function<BOOL()> set; std::wstring text; } const cases[] = {
        {[&] { return set('A'); }, L"A"}, // a char is not the number 65
        {[&] { return set(L'\x00e9'); }, L"\x00e9"},
        {[&] { return set(-5); }, L"-5"},
        {[&] { return set(-7L); }, L"-7"},
        {[&] { return set(4000000000u); }, L"4000000000"},
        {[&] { return set(DWORD(4000000001)); }, L"4000000001"},
        {[&] { return set(3.0); }, L"3"},
        {[&] { return set(1.5); }, L"1.5"},
        {[&] { return set(100.0); }, L"100"},
        {[&] { return set(-1e-9); }, L"0"},
        {[&] { return set(3.14159, 2); }, L"3.14"},
        {[&] { return set(2.5, 0); }, L"2"},
        {[&] { return set(date); }, std::wstring(date.Format())},
        {[&] { return set(invalid); }, L""},
    };
    testsupport::LocaleGuard german("German"); // reals keep their point
    for (const Case& c : cases) {
        EXPECT_TRUE(c.set());
        EXPECT_EQ(std::wstring(list.GetItemText(0, 1)), c.text);
    }
    EXPECT_FALSE(list.SetItemText(5, 0, 1));
}

TEST_F(ListCtrl, RowsKeepTheCallersDataAndForeignRowsHaveNoRecord) {
    const DWORD_PTR wide = static_cast<DWORD_PTR>(0x123456789ABCull);
    ASSERT_EQ(list.InsertItem(LVIF_TEXT | LVIF_PARAM, 0, L"own", 0, 0, 0, 42), 0);
    EXPECT_EQ(list.GetItemData(0), 42u);
    EXPECT_TRUE(list.SetItemData(0, wide));
    LVITEMW item = Item(LVIF_PARAM, 0);
    ASSERT_TRUE(list.GetItem(&item));
    EXPECT_EQ(static_cast<DWORD_PTR>(item.lParam), wide);
    EXPECT_TRUE(list.SetItem(0, 0, LVIF_PARAM, nullptr, 0, 0, 0, 7));
    EXPECT_EQ(list.GetItemData(0), 7u);
    EXPECT_NE(list.CListCtrl::GetItemData(0), 7u) << "the control keeps its record";

    // A row inserted through the list view itself, with its own lParam.
    LVITEMW foreign = Item(LVIF_TEXT | LVIF_PARAM, 1, L"foreign", 0x1234);
    ASSERT_EQ(list.SendMessage(LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&foreign)), 1);
    EXPECT_EQ(list.GetItemData(1), 0u);
    EXPECT_FALSE(list.SetItemData(1, 5));
    EXPECT_EQ(list.GetItemTextColor(1, 0), CLR_INVALID);
    list.SetItemTextColor(-1, -1, RGB(1, 2, 3));
    EXPECT_EQ(list.GetItemTextColor(0, 2), RGB(1, 2, 3));
    list.SortItems(0, TRUE); // a foreign row sorts and moves like the others
    EXPECT_EQ(Column(0), L"foreign,own");
    list.MoveToBottom(0);
    EXPECT_EQ(Column(0), L"own,foreign");
    EXPECT_EQ(list.GetItemData(0), 7u);
    item = Item(LVIF_PARAM, 1);
    ASSERT_TRUE(list.GetItem(&item));
    EXPECT_EQ(item.lParam, 0x1234);
    EXPECT_TRUE(list.DeleteItem(1));
    EXPECT_TRUE(list.DeleteItem(0, TRUE));
}

TEST_F(ListCtrl, ARowIsDeletedBeforeItsRecordIsFreed) {
    std::vector<DWORD_PTR> seen;
    parent.onDeleteItem = [&](int row) { seen.push_back(list.GetItemData(row)); };
    for (int i = 0; i < 4; ++i)
        list.InsertItem(LVIF_TEXT | LVIF_PARAM, i, L"row", 0, 0, 0, 100 + i);
    list.SetItemStates(1, LIST_ITEM_SELECTED);
    EXPECT_TRUE(list.DeleteItem(0));
    EXPECT_EQ(list.DeleteAllItems(LIST_ITEM_SELECTED), 1);
    EXPECT_EQ(list.DeleteAllItems(0), 0);
    EXPECT_EQ(list.DeleteAllItems(), 2);
    std::sort(seen.begin(), seen.end());
    EXPECT_EQ(seen, (std::vector<DWORD_PTR>{100, 101, 102, 103}));

    // Painting resumes after a deletion by state.
    Rows({L"a", L"b"});
    list.SetItemStates(0, LIST_ITEM_SELECTED);
    list.DeleteAllItems(LIST_ITEM_SELECTED);
    list.InsertItem(1, L"WWWWWW");
    list.UpdateWindow();
    const CRect row = Label(1, 0);
    guitest::Snapshot s(list.m_hWnd);
    int ink = 0;
    for (int y = row.top; y < row.bottom; ++y)
        for (int x = row.left; x < row.right; ++x)
            ink += s.At(x, y) == GetSysColor(COLOR_WINDOWTEXT);
    EXPECT_GT(ink, 10);
}

TEST_F(ListCtrl, ColoursFollowTheirColumnsAndPaintTheCells) {
    Rows({L"a", L"b"});
    const COLORREF text = GetSysColor(COLOR_WINDOWTEXT), window = GetSysColor(COLOR_WINDOW);
    EXPECT_EQ(list.GetItemTextColor(0, 1), text);
    EXPECT_EQ(list.GetItemBkColor(1, 2), window);
    for (int c = 0; c < 3; ++c)
        list.SetItemBkColor(0, c, RGB(10 + c, 0, 0));
    list.InsertColumn(1, L"New", LVCFMT_LEFT, 40);
    list.DeleteColumn(2);
    const COLORREF expected[] = {RGB(10, 0, 0), window, RGB(12, 0, 0), CLR_INVALID};
    for (int c = 0; c < 4; ++c)
        EXPECT_EQ(list.GetItemBkColor(0, c), expected[c]) << c;
    EXPECT_EQ(list.GetItemBkColor(2, 0), CLR_INVALID);
    list.SetItemTextColor(0, 9, RGB(0, 0, 200)); // every column of row 0
    list.SetItemTextColor(9, 1, CLR_INVALID);    // column 1 of every row: the default
    EXPECT_EQ(list.GetItemTextColor(0, 2), RGB(0, 0, 200));
    EXPECT_EQ(list.GetItemTextColor(0, 1), text);

    // Row 0, column 2 paints its colours; a row without a record does not.
    list.SetItemText(0, 2, L"MMMM");
    LVITEMW foreign = Item(LVIF_TEXT, 2, L"foreign");
    list.SendMessage(LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&foreign));
    list.SetItemBkColor(0, 2, RGB(200, 0, 0));
    guitest::Snapshot s(list.m_hWnd);
    const CRect cell = Label(0, 2), other = Label(2, 2);
    EXPECT_EQ(s.At(cell.right - 3, cell.CenterPoint().y), RGB(200, 0, 0));
    EXPECT_EQ(s.At(other.right - 3, other.CenterPoint().y), window);
    int blue = 0; // the text, smoothed into the red
    for (int x = cell.left; x < cell.right; ++x)
        for (int y = cell.top; y < cell.bottom; ++y)
            blue += GetBValue(s.At(x, y)) > 100 && GetRValue(s.At(x, y)) < 100;
    EXPECT_GT(blue, 10) << "the text colour";
}

TEST(ListOrder, PairsCompareByTheFirstRuleBothTextsSatisfy) {
    auto date = [](int y, int m, int d, int h) {
        return std::wstring(COleDateTime(y, m, d, h, 0, 0).Format().GetString());
    };
    struct Case { std::wstring a, b; int expected; } const cases[] = {
        // hexadecimal, with its quirks
        {L"9", L"10", -1}, {L"10", L"10", 0}, {L"Add", L"Cafe", -1}, {L"1e5", L"486", -1},
        {L"0x10", L"15", -1}, {L" 5", L"+4", 1}, {L"b", L"B", 0},
        // signed and long integers are numbers, not wrapped or saturated
        {L"-1", L"2", -1}, {L"-2", L"-1", -1}, {L"5", L"-2", 1},
        {L"123456789", L"123456788", 1}, {L"99999999", L"100000000", -1},
        // reals and percentages, dates (before 1900 too), texts
        {L"1.5", L"1.25", 1}, {L"1.5%", L"10%", -1}, {L"2%", L"2", 0}, {L"1e3", L"999.5", 1},
        {date(2020, 1, 2, 3), date(2020, 11, 1, 0), -1},
        {date(1899, 12, 29, 6), date(1899, 12, 29, 18), -1},
        {L"g", L"G", 1}, {L"G", L"h", -1}, {L"10", L"zz", -1}, {L"", L"0", -1},
        {L"x%", L"1%", 1}, {L"5%%", L"40%", 1},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(tmxlist::CompareTexts(c.a, c.b), c.expected)
            << testsupport::Narrow(c.a) << " vs " << testsupport::Narrow(c.b);
        EXPECT_EQ(tmxlist::CompareTexts(c.b, c.a), -c.expected);
    }
}

// Stack painting: a call made after Paint from the same depth overwrites
// the pattern as deep as it reaches.
constexpr size_t kPainted = 512 * 1024;
volatile unsigned char* g_painted = nullptr;
__attribute__((noinline)) void Paint() {
    g_painted = static_cast<unsigned char*>(__builtin_alloca(kPainted));
    for (size_t i = 0; i < kPainted; ++i)
        g_painted[i] = 0xA5;
}
size_t StackUsed() {
    size_t untouched = 0;
    while (untouched < kPainted && g_painted[untouched] == 0xA5)
        ++untouched;
    return kPainted - untouched;
}

TEST(ListOrder, AnOrganPipeColumnSortsInLittleStack) {
    // 20,000 rows: a recursion into the larger part would go 10,000 deep.
    struct Job {
        std::vector<tmxlist::SortKey> keys;
        std::vector<int> order;
        size_t used = 0;
    } job;
    for (int i = 0; i < 20000; ++i) {
        job.keys.emplace_back(std::to_wstring(i < 10000 ? i : 19999 - i));
        job.order.push_back(i);
    }
    // On a thread of its own, whose stack nothing else has used yet.
    auto run = [](void* p) -> DWORD {
        auto* j = static_cast<Job*>(p);
        Paint();
        tmxlist::SortOrder(j->order, j->keys, true);
        j->used = StackUsed();
        return 0;
    };
    HANDLE thread = CreateThread(nullptr, 0, run, &job, 0, nullptr);
    ASSERT_NE(thread, nullptr);
    ASSERT_EQ(WaitForSingleObject(thread, 60000), WAIT_OBJECT_0);
    CloseHandle(thread);
    EXPECT_LT(job.used, 32u * 1024);
    for (size_t k = 1; k < job.order.size(); ++k)
        ASSERT_LE(tmxlist::Compare(job.keys[job.order[k - 1]], job.keys[job.order[k]]), 0);
}

TEST_F(ListCtrl, SortsBlocksAndCarriesWholeRows) {
    struct Case {
        std::vector<std::wstring> texts;
        const wchar_t* separator;
        BOOL ascending;
        std::wstring sorted;
    } const cases[] = {
        {{L"9", L"10", L"2"}, nullptr, TRUE, L"2,9,10"},
        {{L"1.5%", L"10%", L"2%"}, nullptr, TRUE, L"1.5%,2%,10%"},
        {{L"h", L"G", L"g"}, nullptr, TRUE, L"G,g,h"},
        {{L"1", L"2", L"5", L"-2", L"-1", L"123456789"}, nullptr, FALSE, L"123456789,5,2,1,-1,-2"},
        {{L"c", L"a", L"---", L"b", L"a"}, L"---", TRUE, L"a,c,---,a,b"},
        {{L"---", L"z", L"y", L"---"}, L"---", TRUE, L"---,y,z,---"},
    };
    for (const Case& c : cases) {
        list.DeleteAllItems();
        Rows(c.texts);
        list.SetSortSeparator(c.separator);
        parent.notes.clear();
        list.SortItems(0, c.ascending);
        EXPECT_EQ(Column(0), c.sorted);
        ASSERT_EQ(parent.Count(LISTMSG_SORTED), 1);
        EXPECT_EQ(parent.notes[0].wParam, 0u);
        EXPECT_EQ(parent.notes[0].lParam, c.ascending ? 1 : 0);
        EXPECT_EQ(list.GetSortedColumn(), 0);
        EXPECT_EQ(list.IsSortAscending(), c.ascending);
    }
    list.SetSortSeparator(nullptr);

    // Everything of a row travels with it, whole.
    list.DeleteAllItems();
    list.SetCheckboxeStyle(CHECKBOX_NORMAL);
    list.SetImageList(600, RGB(255, 0, 255));
    const std::wstring longText(1000, L'x');
    Rows({L"c", L"a", L"b"});
    list.SetItemText(0, 2, longText.c_str());
    list.SetItemImage(0, 1, 3);
    list.SetItemData(0, 33);
    list.SetItemBkColor(0, 1, RGB(3, 3, 3), FALSE);
    const DWORD states = LIST_ITEM_CHECKED | LIST_ITEM_SELECTED | LIST_ITEM_FOCUSED;
    list.SetItemStates(0, states);
    list.SortItems(0, TRUE);
    EXPECT_EQ(Column(0) + L"/" + Column(1), L"a,b,c/va,vb,vc");
    EXPECT_TRUE(std::wstring(list.GetItemText(2, 2)) == longText) << "whole";
    EXPECT_EQ(list.GetItemImage(2, 1), 3);
    EXPECT_EQ(list.GetItemData(2), 33u);
    EXPECT_EQ(list.GetItemBkColor(2, 1), RGB(3, 3, 3));
    EXPECT_EQ(list.GetItemStates(2), states);
    EXPECT_EQ(list.GetItemStates(0),
              LIST_ITEM_UNCHECKED | LIST_ITEM_UNSELECTED | LIST_ITEM_UNFOCUSED);

    // Sorting switched off clears the sort state and sorts nothing.
    EXPECT_TRUE(list.SetSortable(FALSE));
    EXPECT_EQ(list.GetSortedColumn(), -1);
    parent.notes.clear();
    list.SortItems(0, FALSE);
    EXPECT_EQ(Column(0), L"a,b,c");
    EXPECT_EQ(parent.Count(LISTMSG_SORTED), 0);
}

TEST_F(ListCtrl, HeaderClicksSortAndToggleTheDirection) {
    Rows({L"b", L"c", L"a"});
    CWnd* header = CWnd::FromHandle(list.GetHeaderCtrl()->m_hWnd);
    struct Step { int column; BOOL ascending; std::wstring names; } const steps[] = {
        {0, TRUE, L"a,b,c"}, {0, FALSE, L"c,b,a"}, {0, TRUE, L"a,b,c"}, {1, TRUE, L"a,b,c"}};
    for (const Step& s : steps) {
        CRect r;
        header->SendMessage(HDM_GETITEMRECT, s.column, reinterpret_cast<LPARAM>(&r));
        const LPARAM at = MAKELPARAM(r.CenterPoint().x, r.CenterPoint().y);
        header->SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, at);
        header->SendMessage(WM_LBUTTONUP, 0, at);
        EXPECT_EQ(list.GetSortedColumn(), s.column);
        EXPECT_EQ(list.IsSortAscending(), s.ascending);
        EXPECT_EQ(Column(0), s.names);
    }
}

TEST_F(ListCtrl, StateQueriesAnswerByFlags) {
    Rows({L"0", L"1", L"2", L"3"});
    list.SetCheckboxeStyle(CHECKBOX_NORMAL);
    list.SetItemStates(1, LIST_ITEM_SELECTED | LIST_ITEM_CHECKED);
    list.SetItemStates(2, LIST_ITEM_CHECKED | LIST_ITEM_FOCUSED);
    struct Case { DWORD filter; int count, first, last, afterRow1, beforeRow2; } const cases[] = {
        {LIST_ITEM_ANY, 4, 0, 3, 2, 1},
        {LIST_ITEM_CHECKED, 2, 1, 2, 2, 1},
        {LIST_ITEM_CHECKED | LIST_ITEM_UNSELECTED, 1, 2, 2, 2, -1},
        {LIST_ITEM_SELECTED | LIST_ITEM_UNSELECTED, 0, -1, -1, -1, -1},
        {LIST_ITEM_FOCUSED, 1, 2, 2, 2, -1},
        {LIST_ITEM_UNCHECKED | LIST_ITEM_UNFOCUSED, 2, 0, 3, 3, 0},
        {0, 0, -1, -1, -1, -1},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(list.GetItemCount(c.filter), c.count) << c.filter;
        EXPECT_EQ(list.GetFirstItem(c.filter, -7), c.first) << c.filter;
        EXPECT_EQ(list.GetLastItem(c.filter, -1), c.last) << c.filter;
        EXPECT_EQ(list.GetLastItem(c.filter, 99), c.last) << c.filter;
        EXPECT_EQ(list.GetFirstItem(c.filter, 1), c.afterRow1) << c.filter;
        EXPECT_EQ(list.GetLastItem(c.filter, 2), c.beforeRow2) << c.filter;
    }
    EXPECT_EQ(list.GetFirstItem(LIST_ITEM_ANY, INT_MAX), -1);
    EXPECT_EQ(list.GetItemStates(1), LIST_ITEM_SELECTED | LIST_ITEM_CHECKED | LIST_ITEM_UNFOCUSED);
    EXPECT_EQ(list.GetItemStates(4), 0u);
    EXPECT_FALSE(list.ExamItemStates(4, LIST_ITEM_ANY));
    EXPECT_FALSE(list.SetItemStates(-1, LIST_ITEM_SELECTED)) << "not every row";

    EXPECT_EQ(list.SetAllItemStates(LIST_ITEM_UNCHECKED, LIST_ITEM_SELECTED), 2);
    EXPECT_EQ(list.GetItemCount(LIST_ITEM_SELECTED), 3);
    list.InvertItems(0);
    EXPECT_EQ(list.GetFirstItem(LIST_ITEM_SELECTED), 2);
    list.InvertItems(1);
    EXPECT_EQ(Checks(), 0b1001u);
    list.SetCheckboxeStyle(CHECKBOX_SINGLE); // the first checked row stays
    EXPECT_EQ(Checks(), 0b0001u);
    EXPECT_EQ(list.SetAllItemStates(LIST_ITEM_ANY, LIST_ITEM_CHECKED), 4);
    EXPECT_EQ(Checks(), 0b0001u);
    list.SetCheckboxeStyle(9);
    EXPECT_EQ(list.GetCheckboxStyle(), CHECKBOX_SINGLE);
}

TEST_F(ListCtrl, CheckRulesHoldForRealClicks) {
    Rows({L"0", L"1", L"2", L"3", L"4"});
    list.SetCheckboxeStyle(CHECKBOX_SINGLE);
    list.CListCtrl::SetCheck(0, TRUE);
    list.CListCtrl::SetCheck(4, TRUE);
    list.SetCheck(2, TRUE); // rows after it go, rows before stay
    EXPECT_EQ(Checks(), 0b00101u);
    Click(WM_LBUTTONDOWN, CheckBox(3));
    EXPECT_EQ(Checks(), 0b01000u);
    ASSERT_EQ(parent.Count(LISTMSG_CHECKBOX_CHANGED), 1);
    EXPECT_EQ(parent.notes[0].wParam, 3u);
    EXPECT_EQ(parent.notes[0].lParam, WM_LBUTTONDOWN);
    EXPECT_EQ(list.GetItemStates(3), LIST_ITEM_SELECTED | LIST_ITEM_FOCUSED | LIST_ITEM_CHECKED);

    // In an editable list a click on a box runs the rules and edits nothing.
    list.SetEditable(TRUE);
    struct Case { int style; DWORD checks; int messages; } const cases[] = {
        {CHECKBOX_READONLY, 0b01000u, 0}, {CHECKBOX_NORMAL, 0b01010u, 1}};
    for (const Case& c : cases) {
        list.SetCheckboxeStyle(c.style);
        parent.notes.clear();
        Click(WM_LBUTTONDOWN, CheckBox(1));
        EXPECT_EQ(Checks(), c.checks) << c.style;
        EXPECT_EQ(parent.Count(LISTMSG_CHECKBOX_CHANGED), c.messages) << c.style;
        EXPECT_FALSE(Editing()) << c.style;
    }
    EXPECT_TRUE(Key(VK_SPACE, list.m_hWnd)) << "the keyboard does not toggle boxes";
    // A click elsewhere on a cell starts its edit; a right click ends it.
    Click(WM_LBUTTONDOWN, Label(2, 1).CenterPoint());
    EXPECT_TRUE(Editing());
    list.GetEditControl()->SetWindowText(L"right");
    Click(WM_RBUTTONDOWN, Label(4, 0).CenterPoint());
    EXPECT_FALSE(Editing());
    EXPECT_EQ(std::wstring(list.GetItemText(2, 1)), L"right");
}

TEST_F(ListCtrl, EditsStartOnlyWhereAllowedAndSitOnTheCell) {
    Rows({L"a", L"b"});
    struct Refusal { BOOL editable, firstColumn; int row, column; } const refusals[] = {
        {FALSE, TRUE, 0, 1}, {TRUE, FALSE, 0, 0}, {TRUE, TRUE, 2, 0}, {TRUE, TRUE, 0, 3},
        {TRUE, TRUE, -1, 1}};
    for (const Refusal& r : refusals) {
        list.SetEditable(r.editable);
        list.SetFirstColumnEditable(r.firstColumn);
        EXPECT_FALSE(list.StartEdit(r.row, r.column)) << r.row << "," << r.column;
    }
    list.SetFirstColumnEditable(TRUE);
    list.SetImageList(600, RGB(255, 0, 255));
    list.SetItemImage(1, 2, 0);
    CEdit* edit = list.GetEditControl();
    const DWORD aligned[] = {ES_LEFT, ES_RIGHT, ES_CENTER}; // as the headings
    for (int column : {0, 1, 2}) {
        ASSERT_TRUE(list.StartEdit(1, column));
        EXPECT_TRUE(list.StartEdit(1, column)) << "the same cell";
        CRect cell = Label(1, column), placed;
        edit->GetWindowRect(&placed);
        list.ScreenToClient(&placed);
        EXPECT_EQ(placed.left, cell.left + (column == 2 ? 16 : 0)) << "after the image";
        EXPECT_EQ(placed.top, cell.top);
        EXPECT_EQ(edit->GetStyle() & (ES_CENTER | ES_RIGHT), aligned[column]);
        EXPECT_EQ(guitest::WindowText(edit->m_hWnd), std::wstring(list.GetItemText(1, column)));
        EXPECT_EQ(CWnd::GetFocus(), edit);
    }
    list.SetFirstColumnEditable(FALSE);
    EXPECT_FALSE(Editing()) << "switching the first column off ends editing";
}

TEST_F(ListCtrl, EditsCommitChangedTextsAndKeysMoveThem) {
    Rows({L"a", L"b", L"c"});
    list.SetEditable(TRUE);
    list.SortItems(0, TRUE);
    list.StartEdit(0, 1);
    EXPECT_FALSE(list.EndEdit(TRUE)) << "unchanged";
    EXPECT_EQ(list.GetSortedColumn(), 0);
    EXPECT_FALSE(list.EndEdit(TRUE)) << "nothing edited";
    list.StartEdit(0, 1);
    list.GetEditControl()->SetWindowText(L"new");
    EXPECT_TRUE(list.EndEdit(TRUE));
    EXPECT_EQ(std::wstring(list.GetItemText(0, 1)), L"new");
    EXPECT_EQ(list.GetSortedColumn(), -1);
    ASSERT_EQ(parent.Count(LISTMSG_ITEM_EDITED), 1);
    EXPECT_EQ(parent.notes.back().wParam, 0u);
    EXPECT_EQ(parent.notes.back().lParam, 1);

    // Keys from (1, 1): the row edited afterwards (-1: none).
    struct Step { UINT key; BOOL consumed; int row; } const steps[] = {
        {VK_TAB, TRUE, 1}, {VK_TAB, TRUE, 1}, {VK_DOWN, TRUE, 2}, {VK_DOWN, FALSE, 2},
        {VK_UP, TRUE, 1},  {VK_UP, TRUE, 0},  {VK_UP, FALSE, 0},  {'X', FALSE, 0},
        {VK_ESCAPE, TRUE, -1}};
    list.StartEdit(1, 1);
    for (const Step& s : steps) {
        EXPECT_EQ(Key(s.key), s.consumed) << s.key;
        EXPECT_EQ(Editing() ? list.GetFirstItem(LIST_ITEM_FOCUSED) : -1, s.row) << s.key;
    }
    list.StartEdit(2, 2);
    list.GetEditControl()->SetWindowText(L"typed");
    EXPECT_TRUE(Key(VK_TAB)); // and on to column 0 of the same row
    EXPECT_EQ(guitest::WindowText(list.GetEditControl()->m_hWnd), L"c");
    EXPECT_TRUE(Key(VK_RETURN));
    EXPECT_EQ(std::wstring(list.GetItemText(2, 2)), L"typed");

    // The parent may start another edit when it hears of one: it stays.
    parent.onEdited = [&](int row, int) { list.StartEdit(row, 0); };
    list.StartEdit(1, 2);
    list.GetEditControl()->SetWindowText(L"again");
    EXPECT_TRUE(list.EndEdit(TRUE));
    EXPECT_TRUE(Editing());
    EXPECT_EQ(guitest::WindowText(list.GetEditControl()->m_hWnd), L"b");
    parent.onEdited = nullptr;
    // An edit whose row is gone commits nothing.
    list.GetEditControl()->SetWindowText(L"lost");
    list.CListCtrl::DeleteItem(2);
    list.CListCtrl::DeleteItem(1);
    EXPECT_FALSE(list.EndEdit(TRUE));
}

TEST_F(ListCtrl, MovesAndSwapsStopAtTheEdges) {
    Rows({L"0", L"1", L"2", L"3", L"4"});
    const std::wstring longText(1000, L'y');
    list.SetItemText(3, 2, longText.c_str());
    list.SetItemData(3, 3);
    struct Case { std::function<int()> move; int result; std::wstring order; } const cases[] = {
        {[&] { return list.MoveDown(3, INT_MAX); }, 4, L"0,1,2,4,3"},
        {[&] { return list.MoveUp(4, INT_MAX); }, 0, L"3,0,1,2,4"},
        {[&] { return list.MoveUp(0, INT_MIN); }, 4, L"0,1,2,4,3"},
        {[&] { return list.MoveToBottom(4); }, 4, L"0,1,2,4,3"},
        {[&] { return list.MoveToTop(0); }, 0, L"0,1,2,4,3"},
        {[&] { return list.MoveTo(4, 2); }, 2, L"0,1,3,2,4"},
        {[&] { return list.MoveTo(5, 0); }, -1, L"0,1,3,2,4"},
        {[&] { return list.SwapItems(2, 0); }, TRUE, L"3,1,0,2,4"},
        {[&] { return list.SwapItems(1, 1); }, TRUE, L"3,1,0,2,4"},
        {[&] { return list.SwapItems(0, 5); }, FALSE, L"3,1,0,2,4"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.move(), c.result);
        EXPECT_EQ(Column(0), c.order);
    }
    EXPECT_TRUE(std::wstring(list.GetItemText(0, 2)) == longText) << "whole";
    EXPECT_EQ(list.GetItemData(0), 3u);
}

TEST_F(ListCtrl, DeletingTheObjectTearsDownItsWindowFirst) {
    std::vector<DWORD_PTR> seen;
    auto* other = new TMXListCtrl;
    parent.onDeleteItem = [&](int row) { seen.push_back(other->GetItemData(row)); };
    ASSERT_TRUE(other->Create(&parent, kListId, CRect(0, 0, 100, 100)));
    other->SetColumnHeader(L"A;B");
    other->InsertItem(LVIF_TEXT | LVIF_PARAM, 0, L"x", 0, 0, 0, 5);
    other->InsertItem(LVIF_TEXT | LVIF_PARAM, 1, L"y", 0, 0, 0, 6);
    other->SetEditable(TRUE);
    ASSERT_TRUE(other->StartEdit(0, 1));
    const HWND window = other->m_hWnd, edit = other->GetEditControl()->m_hWnd;
    delete other;
    EXPECT_FALSE(IsWindow(window));
    EXPECT_FALSE(IsWindow(edit));
    std::sort(seen.begin(), seen.end());
    EXPECT_EQ(seen, (std::vector<DWORD_PTR>{5, 6})) << "its rows went in its own teardown";
}

// Each image list the framework destroys, and whether a window still used it then.
struct DestroyedList { HIMAGELIST list; bool stillUsed; };
std::vector<DestroyedList> g_destroyed;
HWND g_listWindow = nullptr;
BOOL WINAPI RecordDestroy(HIMAGELIST list) {
    const auto handle = reinterpret_cast<LRESULT>(list);
    HWND header = reinterpret_cast<HWND>(SendMessageW(g_listWindow, LVM_GETHEADER, 0, 0));
    bool used = SendMessageW(header, HDM_GETIMAGELIST, 0, 0) == handle;
    for (int which : {LVSIL_NORMAL, LVSIL_SMALL, LVSIL_STATE})
        used = used || SendMessageW(g_listWindow, LVM_GETIMAGELIST, which, 0) == handle;
    g_destroyed.push_back({list, used});
    return ImageList_Destroy(list);
}

TEST_F(ListCtrl, OwnImageListsAreLetGoBeforeTheyAreDestroyed) {
    testsupport::ImportPatch patch(GetModuleHandleW(L"framework.dll"), "comctl32.dll",
                                   "ImageList_Destroy", &RecordDestroy);
    ASSERT_TRUE(patch.Active());
    g_destroyed.clear();
    g_listWindow = list.m_hWnd;
    CHeaderCtrl* header = const_cast<CHeaderCtrl*>(list.GetHeaderCtrl());
    CImageList* rows = list.SetImageList(600, RGB(255, 0, 255));
    ASSERT_NE(rows, nullptr);
    EXPECT_EQ(rows->GetImageCount(), 4);
    EXPECT_TRUE(list.SetHeaderImage(1, 2, FALSE));
    EXPECT_EQ(list.GetHeaderImage(1), 2);
    HDITEMW heading{};
    heading.mask = HDI_FORMAT;
    header->GetItem(1, &heading);
    EXPECT_EQ(heading.fmt & (HDF_IMAGE | HDF_BITMAP_ON_RIGHT), HDF_IMAGE | HDF_BITMAP_ON_RIGHT);
    CImageList* own = list.SetHeaderImageList(600, RGB(255, 0, 255));
    ASSERT_NE(own, nullptr);
    const HIMAGELIST firstHeading = own->m_hImageList;
    list.SetHeaderImageList(600, RGB(255, 0, 255));
    EXPECT_EQ(header->GetImageList(), own);
    EXPECT_NE(own->m_hImageList, firstHeading);
    list.SetImageList(600, RGB(255, 0, 255)); // replaced: the header keeps its own
    EXPECT_EQ(header->GetImageList(), own);
    const HIMAGELIST kept = list.GetImageList()->m_hImageList;
    EXPECT_EQ(list.SetImageList(9999, RGB(255, 0, 255)), nullptr);
    EXPECT_EQ(list.GetImageList()->m_hImageList, kept) << "one that cannot be made leaves the old";
    list.DestroyWindow();
    ASSERT_EQ(g_destroyed.size(), 4u);
    for (const DestroyedList& d : g_destroyed)
        EXPECT_FALSE(d.stillUsed);
}

// The list inside a modal dialog: the keys reach the edit through the
// dialog's loop before the dialog manager sees them.
class ListDlg : public CDialog {
public:
    ListDlg() : CDialog(500u) {}
    TMXListCtrl list;
    DWORD extendedAtStart = 0;
    std::vector<std::pair<int, int>> edited;

protected:
    void DoDataExchange(CDataExchange* dx) override { DDX_Control(dx, 501, list); }
    BOOL OnInitDialog() override {
        CDialog::OnInitDialog();
        extendedAtStart = list.GetExtendedStyle();
        list.SetColumnHeader(L"Name;Value");
        list.InsertItemEx(0, L"a", L"1", nullptr);
        list.SetEditable(TRUE);
        return TRUE;
    }
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == LISTMSG_ITEM_EDITED) edited.emplace_back(int(wParam), int(lParam));
        return CDialog::WindowProc(message, wParam, lParam);
    }
};

TEST(ListCtrlInDialog, EnterCommitsAndTheDialogStaysOpen) {
    ListDlg dlg;
    testsupport::DialogDriver driver;
    driver.Expect(L"List").Do([&](HWND d) {
        dlg.list.StartEdit(0, 1);
        HWND edit = dlg.list.GetEditControl()->m_hWnd;
        SetWindowTextW(edit, L"2");
        PostMessageW(edit, WM_KEYDOWN, VK_RETURN, 0);
        PostMessageW(d, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    });
    EXPECT_EQ(dlg.DoModal(), IDCANCEL) << "Enter did not reach the dialog's default button";
    EXPECT_TRUE(driver.Finished()) << driver.Report();
    EXPECT_EQ(dlg.extendedAtStart, 0x22u) << "a dialog's list starts from the forced style";
    EXPECT_EQ(dlg.edited, (std::vector<std::pair<int, int>>{{0, 1}}));
}

} // namespace
