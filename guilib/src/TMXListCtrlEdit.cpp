// The list control's in-place editing, its keys, and the mouse.
#include "TMXListCtrl.h"

#include "Contained.h"

namespace {
// Child, border, automatic horizontal scrolling, selection kept while
// unfocused; the alignment (ES_LEFT 0, ES_CENTER 1, ES_RIGHT 2) is added.
constexpr DWORD kEditStyle = 0x40800180;
} // namespace

void TMXListCtrl::SetEditable(BOOL bSet) {
    if (!bSet) EndEdit(TRUE);
    m_bEditable = bSet;
}

BOOL TMXListCtrl::IsEditable() const {
    return m_bEditable;
}

void TMXListCtrl::SetFirstColumnEditable(BOOL bSet) {
    if (!bSet) EndEdit(TRUE);
    m_bFirstColumnEditable = bSet;
}

CEdit* TMXListCtrl::GetEditControl() {
    return m_pEditCtrl;
}

HWND TMXListCtrl::EditWindow() const {
    return m_pEditCtrl ? m_pEditCtrl->m_hWnd : nullptr;
}

BOOL TMXListCtrl::StartEdit(int nItem, int nSubItem) {
    auto editable = [&] {
        return m_bEditable && (nSubItem != 0 || m_bFirstColumnEditable) && IsValidItem(nItem) &&
               IsValidColumn(nSubItem);
    };
    if (!editable() || !m_pEditCtrl) return FALSE;
    if (nItem == m_nEditItem && nSubItem == m_nEditSubItem) return TRUE;
    EndEdit(TRUE);
    if (!editable()) return FALSE; // the parent's edit handler may have changed the list
    m_nEditItem = nItem;
    m_nEditSubItem = nSubItem;
    SetItemState(-1, 0, LVIS_SELECTED);
    SetItemState(nItem, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);

    // The edit's alignment follows the column's heading.
    int align = 0;
    if (CHeaderCtrl* header = Header()) {
        HDITEMW heading{};
        heading.mask = HDI_FORMAT;
        if (header->GetItem(nSubItem, &heading)) {
            const int justify = heading.fmt & HDF_JUSTIFYMASK;
            align = justify == HDF_CENTER ? 1 : justify == HDF_RIGHT ? 2 : 0;
        }
    }
    if (align != m_nEditAlign) {
        m_nEditAlign = align;
        if (m_pEditCtrl->m_hWnd) m_pEditCtrl->DestroyWindow();
    }
    auto create = [&] {
        return m_pEditCtrl->Create(kEditStyle | static_cast<DWORD>(m_nEditAlign), CRect(0, 0, 0, 0),
                                   this, 0);
    };
    if (!m_pEditCtrl->m_hWnd && !Contained(FALSE, create)) {
        m_nEditItem = m_nEditSubItem = -1;
        return FALSE;
    }

    m_pEditCtrl->SetFont(GetFont(), FALSE);
    CRect cell;
    GetSubItemRect(nItem, nSubItem, LVIR_LABEL, &cell);
    // A sub-item's label rectangle includes its image.
    if (nSubItem > 0 && SendMessage(LVM_GETIMAGELIST, LVSIL_SMALL) &&
        GetItemImage(nItem, nSubItem) >= 0)
        cell.left += 16;
    m_pEditCtrl->MoveWindow(&cell, FALSE);
    m_pEditCtrl->SetWindowText(CListCtrl::GetItemText(nItem, nSubItem));
    m_pEditCtrl->ShowWindow(SW_SHOW);
    m_pEditCtrl->SetSel(0, -1); // and the caret scrolled into view
    m_pEditCtrl->SetFocus();
    return TRUE;
}

BOOL TMXListCtrl::EndEdit(BOOL bCommit) {
    if (m_nEditItem < 0) return FALSE;
    const int item = m_nEditItem, column = m_nEditSubItem;
    bool changed = false;
    if (bCommit && EditWindow() && IsValidItem(item) && IsValidColumn(column)) {
        CString text;
        m_pEditCtrl->GetWindowText(text);
        if (text != CListCtrl::GetItemText(item, column)) {
            CListCtrl::SetItemText(item, column, text);
            ClearSortState();
            changed = true;
        }
    }
    // Finished before the parent hears of it, so that an edit its handler
    // starts is not the one hidden here.
    m_nEditItem = m_nEditSubItem = -1;
    if (EditWindow()) {
        if (::GetFocus() == EditWindow()) SetFocus();
        m_pEditCtrl->ShowWindow(SW_HIDE);
    }
    if (changed) NotifyParent(LISTMSG_ITEM_EDITED, static_cast<WPARAM>(item), column);
    return changed;
}

BOOL TMXListCtrl::PreTranslateMessage(MSG* msg) {
    if (msg && msg->message == WM_KEYDOWN && m_hWnd &&
        (msg->hwnd == m_hWnd || (EditWindow() && msg->hwnd == EditWindow()))) {
        if (m_nEditItem >= 0) {
            // Called from a message loop, not a window procedure: a failure
            // ends here, the key taken.
            if (Contained(TRUE, [&] { return EditKey(static_cast<UINT>(msg->wParam)); }))
                return TRUE;
        } else if (msg->wParam == VK_SPACE && msg->hwnd == m_hWnd) {
            return TRUE; // the keyboard does not toggle check boxes
        }
    }
    return CListCtrl::PreTranslateMessage(msg);
}

BOOL TMXListCtrl::EditKey(UINT key) {
    const int item = m_nEditItem, column = m_nEditSubItem;
    // After a commit, an edit that the parent started in its handler wins.
    auto editNext = [&](int nextItem, int nextColumn, bool scroll) {
        EndEdit(TRUE);
        if (m_nEditItem >= 0 || !IsValidItem(nextItem)) return;
        if (scroll) EnsureVisible(nextItem, FALSE);
        StartEdit(nextItem, nextColumn);
    };
    switch (key) {
    case VK_TAB: {
        const int columns = GetColumnCount();
        const bool back = ::GetKeyState(VK_SHIFT) < 0;
        const int next = back ? (column > 0 ? column - 1 : columns - 1)
                              : (column + 1 < columns ? column + 1 : 0);
        editNext(item, next, false);
        return TRUE;
    }
    case VK_RETURN:
        EndEdit(TRUE);
        return TRUE;
    case VK_ESCAPE:
        EndEdit(FALSE);
        return TRUE;
    case VK_UP:
        if (item <= 0) return FALSE;
        editNext(item - 1, column, true);
        return TRUE;
    case VK_DOWN:
        if (item + 1 >= CListCtrl::GetItemCount()) return FALSE;
        editNext(item + 1, column, true);
        return TRUE;
    default:
        return FALSE;
    }
}

// ---- The mouse

void TMXListCtrl::OnClick(UINT message, CPoint point) {
    LVHITTESTINFO hit{};
    hit.pt = point;
    SubItemHitTest(&hit);
    const int item = hit.iItem, column = hit.iSubItem;
    const bool left = message == WM_LBUTTONDOWN || message == WM_LBUTTONDBLCLK;
    const BOOL wasChecked = IsValidItem(item) && IsItemChecked(item);
    const bool wasEditing = m_nEditItem >= 0;
    const UINT selectedFocused = LVIS_SELECTED | LVIS_FOCUSED;
    const bool wasCurrent =
        left && IsValidItem(item) && GetItemState(item, selectedFocused) == selectedFocused;
    EndEdit(TRUE);
    Default();
    // The list view toggles a check box on the button-down itself: the
    // check rules come first, and a click that changed a box edits nothing.
    if (MonitorCheck(item, wasChecked, message)) return;
    if (!m_bEditable) return;
    if (message == WM_LBUTTONDOWN)
        StartEdit(item, column);
    else if (message == WM_LBUTTONDBLCLK && !wasEditing && wasCurrent)
        StartEdit(item, column);
}

void TMXListCtrl::OnLButtonDown(UINT, CPoint point) {
    OnClick(WM_LBUTTONDOWN, point);
}

void TMXListCtrl::OnLButtonDblClk(UINT, CPoint point) {
    OnClick(WM_LBUTTONDBLCLK, point);
}

void TMXListCtrl::OnMButtonDown(UINT, CPoint point) {
    OnClick(WM_MBUTTONDOWN, point);
}

void TMXListCtrl::OnMButtonDblClk(UINT, CPoint point) {
    OnClick(WM_MBUTTONDBLCLK, point);
}

void TMXListCtrl::OnRButtonDown(UINT, CPoint point) {
    OnClick(WM_RBUTTONDOWN, point);
}

void TMXListCtrl::OnRButtonDblClk(UINT, CPoint point) {
    OnClick(WM_RBUTTONDBLCLK, point);
}
