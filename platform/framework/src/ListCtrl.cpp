// List views.
#include "Internal.h"

#include <vector>

BOOL CListCtrl::Create(DWORD style, const RECT& rect, CWnd* parent, UINT id) {
    AfxEnsureControls();
    return CWnd::Create(WC_LISTVIEWW, nullptr, style, rect, parent, id);
}

LVCOLUMNW CListCtrl::ColumnOf(LPCWSTR heading, int format, int width, int subItem) {
    LVCOLUMNW spec{};
    spec.mask = LVCF_FMT | LVCF_TEXT;
    spec.fmt = format;
    spec.pszText = const_cast<LPWSTR>(heading ? heading : L"");
    if (width != -1) {
        spec.mask |= LVCF_WIDTH;
        spec.cx = width;
    }
    if (subItem != -1) {
        spec.mask |= LVCF_SUBITEM;
        spec.iSubItem = subItem;
    }
    return spec;
}

int CListCtrl::InsertColumn(int column, LPCWSTR heading, int format, int width, int subItem) {
    LVCOLUMNW spec = ColumnOf(heading, format, width, subItem);
    return InsertColumn(column, &spec);
}

CHeaderCtrl* CListCtrl::GetHeaderCtrl() const {
    HWND header = reinterpret_cast<HWND>(SendMessage(LVM_GETHEADER));
    if (!header) return nullptr;
    m_headerView.m_hWnd = header;
    return &m_headerView;
}

int CListCtrl::InsertItem(int index, LPCWSTR text, int image) {
    LVITEMW item{};
    item.mask = LVIF_TEXT;
    item.iItem = index;
    item.pszText = const_cast<LPWSTR>(text ? text : L"");
    if (image != -1) {
        item.mask |= LVIF_IMAGE;
        item.iImage = image;
    }
    return InsertItem(&item);
}

CString CListCtrl::GetItemText(int item, int subItem) const {
    // The control copies at most the buffer's size less one and says how
    // much it copied: a full buffer may mean more text, so grow and ask again.
    std::vector<wchar_t> buffer(256);
    for (;;) {
        LVITEMW lv{};
        lv.iSubItem = subItem;
        lv.pszText = buffer.data();
        lv.cchTextMax = static_cast<int>(buffer.size());
        int copied = static_cast<int>(SendMessage(LVM_GETITEMTEXTW, static_cast<WPARAM>(item),
                                                  reinterpret_cast<LPARAM>(&lv)));
        if (copied < static_cast<int>(buffer.size()) - 1 || buffer.size() >= (1u << 24))
            return CString(lv.pszText ? lv.pszText : L"");
        buffer.assign(buffer.size() * 2, L'\0');
    }
}

BOOL CListCtrl::SetItemText(int item, int subItem, LPCWSTR text) {
    LVITEMW lv{};
    lv.iSubItem = subItem;
    lv.pszText = const_cast<LPWSTR>(text);
    return static_cast<BOOL>(SendMessage(LVM_SETITEMTEXTW, static_cast<WPARAM>(item),
                                         reinterpret_cast<LPARAM>(&lv)));
}

DWORD_PTR CListCtrl::GetItemData(int item) const {
    LVITEMW lv{};
    lv.mask = LVIF_PARAM;
    lv.iItem = item;
    return GetItem(&lv) ? static_cast<DWORD_PTR>(lv.lParam) : 0;
}

BOOL CListCtrl::SetItemData(int item, DWORD_PTR data) {
    LVITEMW lv{};
    lv.mask = LVIF_PARAM;
    lv.iItem = item;
    lv.lParam = static_cast<LPARAM>(data);
    return SetItem(&lv);
}

BOOL CListCtrl::SetItemState(int item, UINT state, UINT mask) {
    LVITEMW lv{};
    lv.state = state;
    lv.stateMask = mask;
    return static_cast<BOOL>(SendMessage(LVM_SETITEMSTATE, static_cast<WPARAM>(item),
                                         reinterpret_cast<LPARAM>(&lv)));
}

BOOL CListCtrl::GetItemRect(int item, LPRECT rect, UINT code) const {
    if (!rect) return FALSE;
    rect->left = static_cast<LONG>(code);
    return static_cast<BOOL>(SendMessage(LVM_GETITEMRECT, static_cast<WPARAM>(item),
                                         reinterpret_cast<LPARAM>(rect)));
}

BOOL CListCtrl::GetSubItemRect(int item, int subItem, int area, LPRECT rect) const {
    if (!rect) return FALSE;
    rect->top = subItem;
    rect->left = area;
    return static_cast<BOOL>(SendMessage(LVM_GETSUBITEMRECT, static_cast<WPARAM>(item),
                                         reinterpret_cast<LPARAM>(rect)));
}

CImageList* CListCtrl::SetImageList(CImageList* list, int which) {
    return CImageList::FromHandle(reinterpret_cast<HIMAGELIST>(
        SendMessage(LVM_SETIMAGELIST, static_cast<WPARAM>(which),
                    reinterpret_cast<LPARAM>(list ? list->m_hImageList : nullptr))));
}

CImageList* CListCtrl::GetImageList(int which) const {
    return CImageList::FromHandle(
        reinterpret_cast<HIMAGELIST>(SendMessage(LVM_GETIMAGELIST, static_cast<WPARAM>(which))));
}
