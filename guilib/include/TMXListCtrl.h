// TMXListCtrl: a report-view list control with columns declared from one
// string, typed cell setters, per-cell colours, sorting by header clicks
// (optionally in blocks between separator rows), in-place editing, check
// boxes in four styles, state queries by combinable flags, and moving and
// swapping rows. It tells its parent about checks, sorts and edits with the
// LISTMSG_* messages.
//
// Each row the control inserts carries a record of its own as the list
// view's item data: the caller's item data and one text and background
// colour per column. GetItemData/SetItemData and GetItem/SetItem with
// LVIF_PARAM see the caller's value. Rows inserted through the list view's
// own messages have no record: their colours read as -1 (CLR_INVALID), their
// item data as 0, and GetItem passes their raw lParam through.
//
// Choices this class makes:
// - SetItemText with a char ('A') shows the character, as with a wchar_t;
//   only int, long, UINT and DWORD (and BYTE, which widens to int) show
//   numbers. Reals are written with "." whatever the locale; precision -1
//   (the default) drops trailing zeros, other precisions are capped at 400.
// - Item data is pointer-sized (DWORD_PTR), so a pointer put in through
//   SetItem or SetItemData comes back whole.
// - In a column string a width that is not a number reads as absent
//   (100 pixels); widths are kept within 0..32767.
// - SetCheckboxeStyle ignores styles other than the four CHECKBOX_* values.
// - The image-list setters that take a bitmap return the control's new list
//   (null when it could not be made, the previous list then staying in use);
//   the control owns both its lists and detaches them from the list view and
//   the header before destroying them.
// - Inverting check marks in single-check style leaves only the first of
//   the newly checked rows checked.
// - State queries on a row that does not exist answer 0 (no states).
// - Shift+Tab in an edited cell goes to the previous column (wrapping to the
//   last), Tab to the next.
// - The in-place edit of a cell with an image starts 16 pixels further right
//   and keeps the cell's right edge.
#pragma once

#include "TMXUIDefs.h"

// Item states, combinable.
constexpr DWORD LIST_ITEM_ANY = 0x01;
constexpr DWORD LIST_ITEM_SELECTED = 0x02;
constexpr DWORD LIST_ITEM_UNSELECTED = 0x04;
constexpr DWORD LIST_ITEM_CHECKED = 0x08;
constexpr DWORD LIST_ITEM_UNCHECKED = 0x10;
constexpr DWORD LIST_ITEM_FOCUSED = 0x20;
constexpr DWORD LIST_ITEM_UNFOCUSED = 0x40;

// Check-box styles.
constexpr int CHECKBOX_NONE = 0;
constexpr int CHECKBOX_NORMAL = 1;
constexpr int CHECKBOX_SINGLE = 2;   // at most one row checked
constexpr int CHECKBOX_READONLY = 3; // shown, but the user cannot change them

// Sent to the parent. wParam: the row; lParam: the mouse message (WM_LBUTTONDOWN, ...).
constexpr UINT LISTMSG_CHECKBOX_CHANGED = 0xA710;
// wParam: the sorted column; lParam: 1 ascending, 0 descending.
constexpr UINT LISTMSG_SORTED = 0xA711;
// wParam: the row; lParam: the column. Only for a commit that changed the text.
constexpr UINT LISTMSG_ITEM_EDITED = 0xA712;

struct ListItemRecord;
struct ListRecordSet;

class TMXUI_API TMXListCtrl : public CListCtrl {
public:
    TMXListCtrl();
    // Destroys a window that still exists first, so that it is torn down
    // while this is still a TMXListCtrl.
    ~TMXListCtrl() override;

    // A child report view; a null rectangle covers the parent's client area.
    virtual BOOL Create(CWnd* pParent, UINT nID, LPCRECT lpRect = nullptr,
                        DWORD dwStyle = WS_BORDER | WS_TABSTOP | LVS_SHOWSELALWAYS);

    // ---- Columns and header
    // "Heading,width,alignment;..." (alignment 1 centre, 2 right, else
    // left; width 100 by default). Replaces every row and column.
    int SetColumnHeader(const CString& columns);
    int InsertColumn(int nCol, const LVCOLUMNW* column);
    int InsertColumn(int nCol, LPCWSTR heading, int format = LVCFMT_LEFT, int width = -1,
                     int subItem = -1);
    int DeleteColumn(int nCol);
    int DeleteAllColumns();
    int GetColumnCount() const;
    BOOL HasColumnHeader() const;
    const CHeaderCtrl* GetHeaderCtrl() const;
    CString GetHeaderText(int nCol);
    BOOL SetHeaderText(int nCol, LPCWSTR text);
    BOOL SetHeaderImage(int nCol, int nImage, BOOL bLeftSide = TRUE);
    int GetHeaderImage(int nCol) const;
    CImageList* SetHeaderImageList(CImageList* pImageList);
    CImageList* SetHeaderImageList(UINT nBitmapID, COLORREF crMask);

    // ---- Rows and cells
    int InsertItem(int nItem, LPCWSTR text);
    int InsertItem(int nItem, LPCWSTR text, int nImage);
    int InsertItem(const LVITEMW* item);
    int InsertItem(UINT mask, int nItem, LPCWSTR text, UINT state, UINT stateMask, int nImage,
                   LPARAM lParam);
    // The further arguments are the texts (LPCWSTR) of columns 1, 2, ...;
    // end them with a null pointer unless every column is given.
    int __cdecl InsertItemEx(int nItem, LPCWSTR text, ...);
    BOOL DeleteItem(int nItem, BOOL bSelectNextItem = FALSE);
    // Rows matching dwStates (all for LIST_ITEM_ANY); how many went.
    int DeleteAllItems(DWORD dwStates = LIST_ITEM_ANY);

    BOOL SetItemText(int nItem, int nSubItem, LPCWSTR text);
    BOOL SetItemText(int nItem, int nSubItem, wchar_t ch);
    BOOL SetItemText(int nItem, int nSubItem, char ch);
    BOOL SetItemText(int nItem, int nSubItem, int value);
    BOOL SetItemText(int nItem, int nSubItem, long value);
    BOOL SetItemText(int nItem, int nSubItem, UINT value);
    BOOL SetItemText(int nItem, int nSubItem, DWORD value);
    BOOL SetItemText(int nItem, int nSubItem, double value, int nPrecision = -1);
    // Empty for an invalid or null date.
    BOOL SetItemText(int nItem, int nSubItem, const COleDateTime& value, DWORD dwFlags = 0);

    BOOL SetItemImage(int nItem, int nSubItem, int nImage);
    int GetItemImage(int nItem, int nSubItem) const;
    BOOL SetItemData(int nItem, DWORD_PTR data);
    DWORD_PTR GetItemData(int nItem) const;
    BOOL GetItem(LVITEMW* item) const;
    BOOL SetItem(const LVITEMW* item);
    BOOL SetItem(int nItem, int nSubItem, UINT mask, LPCWSTR text, int nImage, UINT state,
                 UINT stateMask, LPARAM lParam);

    // Colour -1 means the system's default; a row out of range means every
    // row, a column out of range every column.
    void SetItemTextColor(int nItem, int nSubItem, COLORREF color, BOOL bRedraw = TRUE);
    void SetItemBkColor(int nItem, int nSubItem, COLORREF color, BOOL bRedraw = TRUE);
    // -1 for a row or column out of range, or a row without a record.
    COLORREF GetItemTextColor(int nItem, int nSubItem) const;
    COLORREF GetItemBkColor(int nItem, int nSubItem) const;

    // The row's new index (clamped to the list), or -1 for a row that does not exist.
    int MoveTo(int nItem, int nNewIndex);
    int MoveUp(int nItem, int nCount = 1);
    int MoveDown(int nItem, int nCount = 1);
    int MoveToTop(int nItem);
    int MoveToBottom(int nItem);
    BOOL SwapItems(int nItem1, int nItem2);

    // ---- States and check boxes
    DWORD GetItemStates(int nItem) const;
    BOOL ExamItemStates(int nItem, DWORD dwStates) const;
    BOOL SetItemStates(int nItem, DWORD dwStates);
    int SetAllItemStates(DWORD dwFilter, DWORD dwStates);
    int GetItemCount(DWORD dwFilter = LIST_ITEM_ANY) const;
    int GetFirstItem(DWORD dwFilter, int nStartAfter = -1) const;
    int GetLastItem(DWORD dwFilter, int nStartBefore = -1) const;
    // 0: selection, 1: check marks.
    void InvertItems(int nType);
    void SetCheckboxeStyle(int nStyle);
    int GetCheckboxStyle() const;
    BOOL SetCheck(int nItem, BOOL bCheck = TRUE);

    // ---- Sorting
    void SortItems(int nCol, BOOL bAscending = TRUE);
    BOOL SetSortable(BOOL bSet = TRUE);
    BOOL IsSortable() const;
    int GetSortedColumn() const;
    BOOL IsSortAscending() const;
    void SetSortSeparator(LPCWSTR separator);
    LPCWSTR GetSortSeparator() const;

    // ---- In-place editing
    void SetEditable(BOOL bSet = TRUE);
    BOOL IsEditable() const;
    void SetFirstColumnEditable(BOOL bSet = TRUE);
    BOOL StartEdit(int nItem, int nSubItem);
    BOOL EndEdit(BOOL bCommit = TRUE);
    CEdit* GetEditControl();

    // ---- Other
    void SetGridLines(BOOL bSet = TRUE);
    DWORD SetExtendedStyle(DWORD dwNewStyle);
    BOOL ModifyStyle(DWORD dwRemove, DWORD dwAdd, UINT nFlags = 0);
    BOOL ModifyStyleEx(DWORD dwRemove, DWORD dwAdd, UINT nFlags = 0);
    void ResizeToFitParent();
    // The small image list.
    CImageList* SetImageList(CImageList* pImageList);
    CImageList* GetImageList() const;
    CImageList* SetImageList(UINT nBitmapID, COLORREF crMask);
    using CListCtrl::GetImageList;
    using CListCtrl::SetImageList;

    BOOL PreTranslateMessage(MSG* msg) override;

protected:
    BOOL PreCreateWindow(CREATESTRUCT& cs) override;
    void PreSubclassWindow() override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;

    int OnCreate(LPCREATESTRUCT cs);
    void OnDestroy();
    void OnLButtonDown(UINT flags, CPoint point);
    void OnLButtonDblClk(UINT flags, CPoint point);
    void OnMButtonDown(UINT flags, CPoint point);
    void OnMButtonDblClk(UINT flags, CPoint point);
    void OnRButtonDown(UINT flags, CPoint point);
    void OnRButtonDblClk(UINT flags, CPoint point);
    void OnColumnClick(NMHDR* nmhdr, LRESULT* result);
    void OnCustomDraw(NMHDR* nmhdr, LRESULT* result);

    CEdit* m_pEditCtrl;
    LPWSTR m_pszSortSeparator = nullptr;
    BOOL m_bEditable = FALSE;
    BOOL m_bFirstColumnEditable = TRUE;
    int m_nEditItem = -1;
    int m_nEditSubItem = -1;
    int m_nCheckboxStyle = CHECKBOX_NORMAL;
    int m_nEditAlign = 0; // 0 left, 1 centre, 2 right
    CImageList m_imgList;
    CImageList m_imgHeader;
    int m_nSortedColumn = -1;
    BOOL m_bSortAscending = TRUE;

private:
    struct RowSnapshot;

    // The integer setters' one text.
    BOOL SetItemText(int nItem, int nSubItem, long long value);

    // Rows and records.
    ListItemRecord* NewRecord(DWORD_PTR userData) const;
    ListItemRecord* RecordOf(int nItem) const;
    ListItemRecord* AsRecord(LPARAM lParam) const;
    void FreeRecord(ListItemRecord* record);
    void FreeAllRecords();
    int InsertWithRecord(LVITEMW item);
    BOOL IsValidItem(int nItem) const;
    BOOL IsValidColumn(int nCol) const;
    void ClearSortState();
    CHeaderCtrl* Header() const;
    void ForceStyles(bool show);
    void SetRedraw(BOOL bRedraw);
    void SetColors(int nItem, int nSubItem, COLORREF color, BOOL bRedraw, bool text);
    COLORREF GetColor(int nItem, int nSubItem, bool text) const;

    // States.
    BOOL IsItemChecked(int nItem) const;
    void SingleCheckRule(int nItem);
    bool MonitorCheck(int nItem, BOOL bWasChecked, UINT message);
    void NotifyParent(UINT message, WPARAM wParam, LPARAM lParam);

    // Image lists.
    void ReleaseOwnList(CImageList& list);
    void SetSmallList(HIMAGELIST fresh);

    // Sorting and moving rows.
    RowSnapshot TakeRow(int nItem) const;
    void PutRow(int nItem, const RowSnapshot& row);
    bool SortBlock(int first, int last, int nCol, BOOL bAscending);

    // Editing and the mouse.
    HWND EditWindow() const;
    void OnClick(UINT message, CPoint point);
    BOOL EditKey(UINT key);

    ListRecordSet* m_pRecords;
    bool m_bCreating = false;

    DECLARE_MESSAGE_MAP()
};
