// The list control's sorting, and moving and swapping rows: each works on
// whole-row snapshots (texts of any length, images, the record, states).
#include "TMXListCtrl.h"

#include "Contained.h"
#include "ListItemRecord.h"
#include "ListOrder.h"

#include <algorithm>
#include <climits>
#include <vector>

// Everything that travels with a row.
struct TMXListCtrl::RowSnapshot {
    UINT state = 0;    // selection, focus, check mark (state image) and overlay
    LPARAM lParam = 0; // the record, or whatever a foreign row holds
    std::vector<CString> texts;
    std::vector<int> images;
};

namespace {

constexpr UINT kTravellingStates = LVIS_SELECTED | LVIS_FOCUSED | LVIS_CUT | LVIS_DROPHILITED |
                                   LVIS_OVERLAYMASK | LVIS_STATEIMAGEMASK;

} // namespace

// ---- Snapshots

TMXListCtrl::RowSnapshot TMXListCtrl::TakeRow(int nItem) const {
    RowSnapshot row;
    row.state = GetItemState(nItem, kTravellingStates);
    const int columns = std::max(1, GetColumnCount());
    row.texts.resize(static_cast<size_t>(columns));
    row.images.resize(static_cast<size_t>(columns));
    wchar_t buffer[256];
    for (int column = 0; column < columns; ++column) {
        LVITEMW item{};
        item.mask = LVIF_TEXT | LVIF_IMAGE | (column == 0 ? LVIF_PARAM : 0);
        item.iItem = nItem;
        item.iSubItem = column;
        item.pszText = buffer;
        item.cchTextMax = 256;
        buffer[0] = 0;
        if (!CListCtrl::GetItem(&item)) continue;
        if (column == 0) row.lParam = item.lParam;
        row.images[static_cast<size_t>(column)] = item.iImage;
        // A full buffer may have cut the text: read it whole.
        const wchar_t* text = item.pszText ? item.pszText : L"";
        row.texts[static_cast<size_t>(column)] =
            wcslen(text) >= 255 ? CListCtrl::GetItemText(nItem, column) : CString(text);
    }
    return row;
}

void TMXListCtrl::PutRow(int nItem, const RowSnapshot& row) {
    for (size_t column = 0; column < row.texts.size(); ++column) {
        LVITEMW item{};
        item.mask = LVIF_TEXT | LVIF_IMAGE | (column == 0 ? LVIF_PARAM : 0);
        item.iItem = nItem;
        item.iSubItem = static_cast<int>(column);
        item.pszText = const_cast<LPWSTR>(row.texts[column].GetString());
        item.iImage = row.images[column];
        item.lParam = row.lParam;
        CListCtrl::SetItem(&item);
    }
    if (GetItemState(nItem, kTravellingStates) != row.state)
        SetItemState(nItem, row.state, kTravellingStates);
}

// ---- Sorting

void TMXListCtrl::SortItems(int nCol, BOOL bAscending) {
    EndEdit(TRUE);
    if (!IsValidColumn(nCol) || !IsSortable()) return;
    m_nSortedColumn = nCol;
    m_bSortAscending = bAscending ? TRUE : FALSE;
    const int count = CListCtrl::GetItemCount();
    SetRedraw(FALSE);
    // Separator rows stay where they are; the runs between them sort apart.
    bool sorted = true;
    int first = 0;
    if (m_pszSortSeparator) {
        for (int item = 0; item < count && sorted; ++item) {
            if (CListCtrl::GetItemText(item, nCol) != m_pszSortSeparator) continue;
            sorted = SortBlock(first, item - 1, nCol, m_bSortAscending);
            first = item + 1;
        }
    }
    sorted = sorted && SortBlock(first, count - 1, nCol, m_bSortAscending);
    SetRedraw(TRUE);
    if (!sorted) {
        ClearSortState();
        return;
    }
    NotifyParent(LISTMSG_SORTED, static_cast<WPARAM>(nCol), m_bSortAscending ? 1 : 0);
}

// False when there was no memory for the sort; the rows are then as they were.
bool TMXListCtrl::SortBlock(int first, int last, int nCol, BOOL bAscending) {
    if (first >= last || !IsValidItem(first) || !IsValidItem(last)) return true;
    const int n = last - first + 1;
    std::vector<std::pair<int, RowSnapshot>> moved;
    const bool ready = Contained(false, [&] {
        // Each text is read and parsed once; the list is not touched while sorting.
        std::vector<tmxlist::SortKey> keys;
        keys.reserve(static_cast<size_t>(n));
        for (int item = first; item <= last; ++item)
            keys.emplace_back(std::wstring(CListCtrl::GetItemText(item, nCol).GetString()));
        std::vector<int> order(static_cast<size_t>(n));
        for (int k = 0; k < n; ++k)
            order[static_cast<size_t>(k)] = k;
        tmxlist::SortOrder(order, keys, bAscending != FALSE);
        // Snapshots of the rows that move, all taken before any is written.
        for (int k = 0; k < n; ++k)
            if (order[static_cast<size_t>(k)] != k)
                moved.emplace_back(first + k, TakeRow(first + order[static_cast<size_t>(k)]));
        return true;
    });
    if (!ready) return false;
    for (const auto& [item, row] : moved)
        PutRow(item, row);
    return true;
}

void TMXListCtrl::OnColumnClick(NMHDR* nmhdr, LRESULT* result) {
    const int column = reinterpret_cast<NMLISTVIEW*>(nmhdr)->iSubItem;
    SortItems(column, column != m_nSortedColumn || !m_bSortAscending);
    *result = 0;
}

// ---- Moving and swapping

int TMXListCtrl::MoveTo(int nItem, int nNewIndex) {
    if (!IsValidItem(nItem)) return -1;
    EndEdit(TRUE);
    if (!IsValidItem(nItem)) return -1; // the parent's edit handler may have changed the list
    const int count = CListCtrl::GetItemCount();
    const int target = std::clamp(nNewIndex, 0, count - 1);
    if (target == nItem) return nItem;
    RowSnapshot row;
    if (!Contained(false, [&] {
            row = TakeRow(nItem);
            return true;
        }))
        return -1;
    ClearSortState();
    // The record stays with the snapshot: the row goes without freeing it.
    if (!CListCtrl::DeleteItem(nItem)) return -1;
    LVITEMW item{};
    item.mask = LVIF_TEXT | LVIF_PARAM;
    item.iItem = target;
    item.pszText = const_cast<LPWSTR>(L"");
    item.lParam = row.lParam;
    const int index = CListCtrl::InsertItem(&item);
    if (index < 0) {
        FreeRecord(AsRecord(row.lParam));
        return -1;
    }
    PutRow(index, row);
    return index;
}

namespace {
// nItem + delta without overflow, kept within int.
int Offset(int nItem, long long delta) {
    return static_cast<int>(std::clamp<long long>(nItem + delta, INT_MIN, INT_MAX));
}
} // namespace

int TMXListCtrl::MoveUp(int nItem, int nCount) {
    return MoveTo(nItem, Offset(nItem, -static_cast<long long>(nCount)));
}

int TMXListCtrl::MoveDown(int nItem, int nCount) {
    return MoveTo(nItem, Offset(nItem, nCount));
}

int TMXListCtrl::MoveToTop(int nItem) {
    return MoveTo(nItem, -1);
}

int TMXListCtrl::MoveToBottom(int nItem) {
    return MoveTo(nItem, INT_MAX);
}

BOOL TMXListCtrl::SwapItems(int nItem1, int nItem2) {
    EndEdit(TRUE);
    if (!IsValidItem(nItem1) || !IsValidItem(nItem2)) return FALSE;
    if (nItem1 == nItem2) return TRUE;
    RowSnapshot first, second;
    if (!Contained(false, [&] {
            first = TakeRow(nItem1);
            second = TakeRow(nItem2);
            return true;
        }))
        return FALSE;
    ClearSortState();
    PutRow(nItem1, second);
    PutRow(nItem2, first);
    return TRUE;
}
