// The list control: styles, columns, rows with their records, colours,
// states and check boxes, image lists, painting and the window's lifetime.
// Sorting and moving rows are in TMXListCtrlSort.cpp, in-place editing and
// the mouse in TMXListCtrlEdit.cpp.
#include "TMXListCtrl.h"

#include "Contained.h"
#include "ListItemRecord.h"
#include "NumberText.h"

#include <algorithm>
#include <climits>
#include <cstddef>
#include <cstdarg>
#include <cwctype>
#include <memory>
#include <new>
#include <vector>

namespace {

// LVS_SMALLICON's bit, LVS_EDITLABELS and LVS_NOSCROLL go; child, visible,
// both scroll bars and report view come.
constexpr DWORD kRemovedStyles = 0x2202;
constexpr DWORD kForcedStyles = 0x50300001;
// What ModifyStyle always removes (the whole view type, then report is
// added) and never removes (child, visible, scroll bars).
constexpr DWORD kModifyRemoved = 0x2203;
constexpr DWORD kWindowBits = 0x50300000;
// LVS_EX_FULLROWSELECT | LVS_EX_SUBITEMIMAGES.
constexpr DWORD kForcedExStyle = 0x22;

constexpr int kDefaultWidth = 100;
constexpr int kMaxWidth = 32767;

DWORD ForcedStyle(DWORD style) {
    return (style & ~kRemovedStyles) | kForcedStyles;
}

// The parts of `text` between `separator`s, empty parts dropped.
std::vector<CString> Split(const CString& text, wchar_t separator) {
    std::vector<CString> parts;
    int start = 0;
    const int length = text.GetLength();
    for (int i = 0; i <= length; ++i) {
        if (i == length || text[i] == separator) {
            if (i > start) parts.push_back(text.Mid(start, i - start));
            start = i + 1;
        }
    }
    return parts;
}

// A decimal integer after optional white space, anything after it ignored;
// `fallback` when there are no digits. Saturates instead of overflowing.
int ReadInteger(const CString& field, int fallback) {
    const wchar_t* p = field.GetString();
    while (*p && std::iswspace(*p))
        ++p;
    bool negative = *p == L'-';
    if (*p == L'-' || *p == L'+') ++p;
    if (*p < L'0' || *p > L'9') return fallback;
    long long value = 0;
    for (; *p >= L'0' && *p <= L'9'; ++p)
        value = std::min(value * 10 + (*p - L'0'), static_cast<long long>(INT_MAX) + 1);
    value = negative ? -value : value;
    return static_cast<int>(std::clamp<long long>(value, INT_MIN, INT_MAX));
}

COLORREF DefaultColor(bool text) {
    return ::GetSysColor(text ? COLOR_WINDOWTEXT : COLOR_WINDOW);
}

} // namespace

BEGIN_MESSAGE_MAP(TMXListCtrl, CListCtrl)
ON_NOTIFY_REFLECT(LVN_COLUMNCLICK, OnColumnClick)
ON_WM_LBUTTONDOWN()
ON_WM_LBUTTONDBLCLK()
ON_WM_MBUTTONDOWN()
ON_WM_MBUTTONDBLCLK()
ON_WM_RBUTTONDOWN()
ON_WM_RBUTTONDBLCLK()
ON_WM_CREATE()
ON_WM_DESTROY()
ON_NOTIFY_REFLECT(NM_CUSTOMDRAW, OnCustomDraw)
END_MESSAGE_MAP()

// Nothing leaves the library as an exception: without memory for them there
// is no in-place editing, and no row can be inserted.
TMXListCtrl::TMXListCtrl()
    : m_pEditCtrl(new (std::nothrow) CEdit), m_pRecords(new (std::nothrow) ListRecordSet) {}

TMXListCtrl::~TMXListCtrl() {
    // Torn down here, while the object is still a TMXListCtrl: the base
    // destructor would destroy the window without OnDestroy, and the edit's
    // last messages would reach a deleted object.
    if (m_hWnd && FromHandlePermanent(m_hWnd) == this) DestroyWindow();
    delete m_pEditCtrl;
    delete[] m_pszSortSeparator;
    FreeAllRecords();
    delete m_pRecords;
}

// ---- Creation and styles

BOOL TMXListCtrl::Create(CWnd* pParent, UINT nID, LPCRECT lpRect, DWORD dwStyle) {
    if (!pParent || !pParent->m_hWnd) return FALSE;
    CRect rect;
    if (lpRect)
        rect = *lpRect;
    else
        pParent->GetClientRect(&rect);
    return CListCtrl::Create(ForcedStyle(dwStyle), rect, pParent, nID);
}

BOOL TMXListCtrl::PreCreateWindow(CREATESTRUCT& cs) {
    cs.style = ForcedStyle(cs.style);
    return CListCtrl::PreCreateWindow(cs);
}

int TMXListCtrl::OnCreate(LPCREATESTRUCT cs) {
    if (CListCtrl::OnCreate(cs) == -1) return -1;
    ForceStyles(false); // not shown from inside its creation
    SetExtendedStyle(GetExtendedStyle());
    m_bCreating = true;
    return 0;
}

void TMXListCtrl::PreSubclassWindow() {
    CListCtrl::PreSubclassWindow();
    ForceStyles(true);
    // A list made elsewhere (a dialog's) starts from exactly the forced
    // extended style; one made by Create has it already.
    if (!m_bCreating) SendMessage(LVM_SETEXTENDEDLISTVIEWSTYLE, 0, kForcedExStyle);
    m_bCreating = false;
}

void TMXListCtrl::ForceStyles(bool show) {
    CWnd::ModifyStyle(kRemovedStyles, kForcedStyles & ~WS_VISIBLE);
    if (show && !(GetStyle() & WS_VISIBLE)) ShowWindow(SW_SHOWNA);
}

DWORD TMXListCtrl::SetExtendedStyle(DWORD dwNewStyle) {
    if (!m_hWnd) return 0;
    return static_cast<DWORD>(
        SendMessage(LVM_SETEXTENDEDLISTVIEWSTYLE, 0, dwNewStyle | kForcedExStyle));
}

BOOL TMXListCtrl::ModifyStyle(DWORD dwRemove, DWORD dwAdd, UINT nFlags) {
    return CListCtrl::ModifyStyle((dwRemove & ~kWindowBits) | kModifyRemoved,
                                  (dwAdd & ~kRemovedStyles) | kForcedStyles, nFlags);
}

BOOL TMXListCtrl::ModifyStyleEx(DWORD dwRemove, DWORD dwAdd, UINT nFlags) {
    // The window's extended style takes the caller's masks as they are
    // (0x20 there would be WS_EX_TRANSPARENT); the forced bits belong to
    // the list view's own extended style.
    BOOL changed = CListCtrl::ModifyStyleEx(dwRemove, dwAdd, nFlags);
    SetExtendedStyle(GetExtendedStyle());
    return changed;
}

void TMXListCtrl::SetGridLines(BOOL bSet) {
    DWORD style = GetExtendedStyle();
    SetExtendedStyle(bSet ? style | LVS_EX_GRIDLINES : style & ~LVS_EX_GRIDLINES);
}

void TMXListCtrl::ResizeToFitParent() {
    CWnd* parent = m_hWnd ? GetParent() : nullptr;
    if (!parent) return;
    CRect rect;
    parent->GetClientRect(&rect);
    MoveWindow(&rect, TRUE);
    Invalidate();
}

void TMXListCtrl::SetRedraw(BOOL bRedraw) {
    SendMessage(WM_SETREDRAW, bRedraw);
    if (bRedraw) Invalidate();
}

BOOL TMXListCtrl::OnCommand(WPARAM wParam, LPARAM lParam) {
    // The in-place edit's notifications are not the list view's business:
    // it would take them for its own label editor's.
    if (EditWindow() && reinterpret_cast<HWND>(lParam) == EditWindow()) return TRUE;
    return CListCtrl::OnCommand(wParam, lParam);
}

// ---- Lifetime

void TMXListCtrl::OnDestroy() {
    DeleteAllItems(LIST_ITEM_ANY);
    FreeAllRecords();
    if (EditWindow()) m_pEditCtrl->DestroyWindow();
    ReleaseOwnList(m_imgList);
    ReleaseOwnList(m_imgHeader);
    CListCtrl::OnDestroy();
}

// ---- Records

// Null when there is no memory for it.
ListItemRecord* TMXListCtrl::NewRecord(DWORD_PTR userData) const {
    if (!m_pRecords) return nullptr;
    return Contained(static_cast<ListItemRecord*>(nullptr), [&] {
        auto record = std::make_unique<ListItemRecord>();
        record->dwUserData = userData;
        const size_t columns = static_cast<size_t>(std::max(0, GetColumnCount()));
        record->aTextColors.assign(columns, DefaultColor(true));
        record->aBkColors.assign(columns, DefaultColor(false));
        m_pRecords->records.insert(record.get());
        return record.release();
    });
}

ListItemRecord* TMXListCtrl::AsRecord(LPARAM lParam) const {
    auto* record = reinterpret_cast<ListItemRecord*>(lParam);
    return m_pRecords && m_pRecords->records.count(record) ? record : nullptr;
}

ListItemRecord* TMXListCtrl::RecordOf(int nItem) const {
    if (!IsValidItem(nItem)) return nullptr;
    LVITEMW item{};
    item.mask = LVIF_PARAM;
    item.iItem = nItem;
    return CListCtrl::GetItem(&item) ? AsRecord(item.lParam) : nullptr;
}

void TMXListCtrl::FreeRecord(ListItemRecord* record) {
    if (record && m_pRecords && m_pRecords->records.erase(record)) delete record;
}

void TMXListCtrl::FreeAllRecords() {
    if (!m_pRecords) return;
    for (ListItemRecord* record : m_pRecords->records)
        delete record;
    m_pRecords->records.clear();
}

BOOL TMXListCtrl::IsValidItem(int nItem) const {
    return m_hWnd && nItem >= 0 && nItem < CListCtrl::GetItemCount();
}

BOOL TMXListCtrl::IsValidColumn(int nCol) const {
    return nCol >= 0 && nCol < GetColumnCount();
}

void TMXListCtrl::ClearSortState() {
    m_nSortedColumn = -1;
    m_bSortAscending = TRUE;
}

void TMXListCtrl::NotifyParent(UINT message, WPARAM wParam, LPARAM lParam) {
    if (HWND parent = m_hWnd ? ::GetParent(m_hWnd) : nullptr)
        ::SendMessageW(parent, message, wParam, lParam);
}

// ---- Columns and header

CHeaderCtrl* TMXListCtrl::Header() const {
    CHeaderCtrl* header = m_hWnd ? CListCtrl::GetHeaderCtrl() : nullptr;
    return header && header->m_hWnd ? header : nullptr;
}

int TMXListCtrl::SetColumnHeader(const CString& columns) {
    DeleteAllItems(LIST_ITEM_ANY);
    DeleteAllColumns();
    EndEdit(TRUE);
    int inserted = 0;
    Contained([&] {
        for (const CString& entry : Split(columns, L';')) {
            std::vector<CString> fields = Split(entry, L',');
            if (fields.empty()) continue;
            int width = fields.size() > 1 ? ReadInteger(fields[1], kDefaultWidth) : kDefaultWidth;
            width = std::clamp(width, 0, kMaxWidth);
            const int align = fields.size() > 2 ? ReadInteger(fields[2], 0) : 0;
            const int format = align == 1 ? LVCFMT_CENTER : align == 2 ? LVCFMT_RIGHT : LVCFMT_LEFT;
            if (InsertColumn(GetColumnCount(), fields[0], format, width) >= 0) ++inserted;
        }
    });
    return inserted > 0;
}

int TMXListCtrl::InsertColumn(int nCol, const LVCOLUMNW* column) {
    EndEdit(TRUE);
    const int index = column && m_hWnd ? CListCtrl::InsertColumn(nCol, column) : -1;
    if (index < 0 || !m_pRecords) return index;
    // A record that cannot grow reads its later columns as having no colour.
    for (ListItemRecord* record : m_pRecords->records) {
        Contained([&] {
            for (auto* colors : {&record->aTextColors, &record->aBkColors}) {
                const size_t at = std::min(static_cast<size_t>(index), colors->size());
                colors->insert(colors->begin() + static_cast<std::ptrdiff_t>(at),
                               DefaultColor(colors == &record->aTextColors));
            }
        });
    }
    return index;
}

int TMXListCtrl::InsertColumn(int nCol, LPCWSTR heading, int format, int width, int subItem) {
    LVCOLUMNW column = ColumnOf(heading, format, width, subItem);
    return InsertColumn(nCol, &column);
}

int TMXListCtrl::DeleteColumn(int nCol) {
    EndEdit(TRUE);
    if (!m_hWnd || !CListCtrl::DeleteColumn(nCol)) return FALSE;
    if (!m_pRecords) return TRUE;
    for (ListItemRecord* record : m_pRecords->records) {
        if (nCol >= 0 && static_cast<size_t>(nCol) < record->aTextColors.size())
            record->aTextColors.erase(record->aTextColors.begin() + nCol);
        if (nCol >= 0 && static_cast<size_t>(nCol) < record->aBkColors.size())
            record->aBkColors.erase(record->aBkColors.begin() + nCol);
    }
    return TRUE;
}

int TMXListCtrl::DeleteAllColumns() {
    while (GetColumnCount() > 0)
        if (!DeleteColumn(0)) break;
    return TRUE;
}

int TMXListCtrl::GetColumnCount() const {
    CHeaderCtrl* header = Header();
    return header ? header->GetItemCount() : 0;
}

BOOL TMXListCtrl::HasColumnHeader() const {
    return m_hWnd && !(GetStyle() & LVS_NOCOLUMNHEADER);
}

const CHeaderCtrl* TMXListCtrl::GetHeaderCtrl() const {
    return Header();
}

CString TMXListCtrl::GetHeaderText(int nCol) {
    CHeaderCtrl* header = Header();
    if (!header) return CString();
    wchar_t text[256] = {};
    HDITEMW item{};
    item.mask = HDI_TEXT;
    item.pszText = text;
    item.cchTextMax = 256;
    if (!header->GetItem(nCol, &item) || !item.pszText) return CString();
    return CString(item.pszText);
}

BOOL TMXListCtrl::SetHeaderText(int nCol, LPCWSTR text) {
    CHeaderCtrl* header = Header();
    if (!header) return FALSE;
    HDITEMW item{};
    item.mask = HDI_TEXT;
    item.pszText = const_cast<LPWSTR>(text ? text : L"");
    return header->SetItem(nCol, &item);
}

BOOL TMXListCtrl::SetHeaderImage(int nCol, int nImage, BOOL bLeftSide) {
    CHeaderCtrl* header = Header();
    if (!header) return FALSE;
    if (!header->SendMessage(HDM_GETIMAGELIST))
        header->SendMessage(HDM_SETIMAGELIST, 0, SendMessage(LVM_GETIMAGELIST, LVSIL_SMALL));
    HDITEMW item{};
    item.mask = HDI_FORMAT;
    if (!header->GetItem(nCol, &item)) return FALSE;
    item.mask = HDI_FORMAT | HDI_IMAGE;
    item.fmt |= HDF_IMAGE;
    if (bLeftSide)
        item.fmt &= ~HDF_BITMAP_ON_RIGHT;
    else
        item.fmt |= HDF_BITMAP_ON_RIGHT;
    item.iImage = nImage;
    return header->SetItem(nCol, &item);
}

int TMXListCtrl::GetHeaderImage(int nCol) const {
    CHeaderCtrl* header = Header();
    HDITEMW item{};
    item.mask = HDI_IMAGE;
    return header && header->GetItem(nCol, &item) ? item.iImage : -1;
}

// ---- Image lists

void TMXListCtrl::ReleaseOwnList(CImageList& list) {
    HIMAGELIST handle = list.m_hImageList;
    if (!handle) return;
    // Nothing may keep using it: the list view would destroy it once more
    // with itself, and the header would draw from a destroyed list.
    if (m_hWnd) {
        for (int which : {LVSIL_NORMAL, LVSIL_SMALL, LVSIL_STATE})
            if (reinterpret_cast<HIMAGELIST>(SendMessage(LVM_GETIMAGELIST, which)) == handle)
                SendMessage(LVM_SETIMAGELIST, which, 0);
        CHeaderCtrl* header = Header();
        if (header && reinterpret_cast<HIMAGELIST>(header->SendMessage(HDM_GETIMAGELIST)) == handle)
            header->SendMessage(HDM_SETIMAGELIST, 0, 0);
    }
    list.DeleteImageList();
}

void TMXListCtrl::SetSmallList(HIMAGELIST fresh) {
    if (!m_hWnd) return;
    CHeaderCtrl* header = Header();
    auto rows = reinterpret_cast<HIMAGELIST>(SendMessage(LVM_GETIMAGELIST, LVSIL_SMALL));
    auto heading =
        header ? reinterpret_cast<HIMAGELIST>(header->SendMessage(HDM_GETIMAGELIST)) : nullptr;
    SendMessage(LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(fresh));
    // The report view hands its small list to its header as well; a header
    // with a list of its own keeps it, one that shared the small list
    // follows it.
    if (header && heading) {
        HIMAGELIST wanted = heading == rows ? fresh : heading;
        if (reinterpret_cast<HIMAGELIST>(header->SendMessage(HDM_GETIMAGELIST)) != wanted)
            header->SendMessage(HDM_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(wanted));
    }
}

CImageList* TMXListCtrl::SetImageList(CImageList* pImageList) {
    if (!m_hWnd) return nullptr;
    auto previous = reinterpret_cast<HIMAGELIST>(SendMessage(LVM_GETIMAGELIST, LVSIL_SMALL));
    SetSmallList(pImageList ? pImageList->m_hImageList : nullptr);
    return Contained(static_cast<CImageList*>(nullptr),
                     [&] { return CImageList::FromHandle(previous); });
}

CImageList* TMXListCtrl::GetImageList() const {
    return CListCtrl::GetImageList(LVSIL_SMALL);
}

CImageList* TMXListCtrl::SetImageList(UINT nBitmapID, COLORREF crMask) {
    if (!m_hWnd) return nullptr;
    // The new list first: if it cannot be made, the old one stays in use.
    CImageList fresh;
    if (!Contained(FALSE, [&] { return fresh.Create(nBitmapID, 16, 4, crMask); })) return nullptr;
    SetSmallList(fresh.m_hImageList);
    ReleaseOwnList(m_imgList);
    HIMAGELIST list = fresh.Detach();
    if (!Contained(FALSE, [&] { return m_imgList.Attach(list); })) {
        SetSmallList(nullptr);
        ImageList_Destroy(list);
        return nullptr;
    }
    return &m_imgList;
}

CImageList* TMXListCtrl::SetHeaderImageList(CImageList* pImageList) {
    CHeaderCtrl* header = Header();
    if (!header) return nullptr;
    return Contained(static_cast<CImageList*>(nullptr),
                     [&] { return header->SetImageList(pImageList); });
}

CImageList* TMXListCtrl::SetHeaderImageList(UINT nBitmapID, COLORREF crMask) {
    CHeaderCtrl* header = Header();
    if (!header) return nullptr;
    CImageList fresh;
    if (!Contained(FALSE, [&] { return fresh.Create(nBitmapID, 16, 4, crMask); })) return nullptr;
    header->SendMessage(HDM_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(fresh.m_hImageList));
    ReleaseOwnList(m_imgHeader);
    HIMAGELIST list = fresh.Detach();
    if (!Contained(FALSE, [&] { return m_imgHeader.Attach(list); })) {
        header->SendMessage(HDM_SETIMAGELIST, 0, 0);
        ImageList_Destroy(list);
        return nullptr;
    }
    return &m_imgHeader;
}

// ---- Rows

int TMXListCtrl::InsertWithRecord(LVITEMW item) {
    EndEdit(TRUE);
    ClearSortState();
    if (!m_hWnd) return -1;
    // The record is in place before the row exists, so that the parent's
    // insert notification already finds it.
    ListItemRecord* record =
        NewRecord((item.mask & LVIF_PARAM) ? static_cast<DWORD_PTR>(item.lParam) : 0);
    if (!record) return -1;
    item.mask |= LVIF_PARAM;
    item.lParam = reinterpret_cast<LPARAM>(record);
    const int index = CListCtrl::InsertItem(&item);
    if (index < 0) FreeRecord(record);
    return index;
}

int TMXListCtrl::InsertItem(int nItem, LPCWSTR text) {
    return InsertItem(nItem, text, -1);
}

int TMXListCtrl::InsertItem(int nItem, LPCWSTR text, int nImage) {
    LVITEMW item{};
    item.mask = LVIF_TEXT;
    item.iItem = nItem;
    item.pszText = const_cast<LPWSTR>(text ? text : L"");
    if (nImage != -1) {
        item.mask |= LVIF_IMAGE;
        item.iImage = nImage;
    }
    return InsertWithRecord(item);
}

int TMXListCtrl::InsertItem(const LVITEMW* item) {
    return item ? InsertWithRecord(*item) : -1;
}

int TMXListCtrl::InsertItem(UINT mask, int nItem, LPCWSTR text, UINT state, UINT stateMask,
                            int nImage, LPARAM lParam) {
    LVITEMW item{};
    item.mask = mask;
    item.iItem = nItem;
    item.pszText = const_cast<LPWSTR>(text);
    item.state = state;
    item.stateMask = stateMask;
    item.iImage = nImage;
    item.lParam = lParam;
    return InsertWithRecord(item);
}

int __cdecl TMXListCtrl::InsertItemEx(int nItem, LPCWSTR text, ...) {
    const int index = InsertItem(nItem, text);
    if (index < 0) return -1;
    va_list args;
    va_start(args, text);
    const int columns = GetColumnCount();
    for (int column = 1; column < columns; ++column) {
        LPCWSTR cell = va_arg(args, LPCWSTR);
        if (!cell) break;
        CListCtrl::SetItemText(index, column, cell);
    }
    va_end(args);
    return index;
}

BOOL TMXListCtrl::DeleteItem(int nItem, BOOL bSelectNextItem) {
    EndEdit(m_nEditItem != nItem);
    if (!IsValidItem(nItem)) return FALSE;
    if (bSelectNextItem && IsValidItem(nItem + 1))
        SetItemState(nItem + 1, LVIS_SELECTED, LVIS_SELECTED);
    // The row goes first: the parent's delete notification may still read
    // the row's item data.
    ListItemRecord* record = RecordOf(nItem);
    if (!CListCtrl::DeleteItem(nItem)) return FALSE;
    FreeRecord(record);
    return TRUE;
}

int TMXListCtrl::DeleteAllItems(DWORD dwStates) {
    EndEdit(FALSE);
    if (!m_hWnd) return 0;
    int deleted = 0;
    SetRedraw(FALSE);
    if (dwStates & LIST_ITEM_ANY) {
        const int count = CListCtrl::GetItemCount();
        if (CListCtrl::DeleteAllItems()) {
            deleted = count;
            FreeAllRecords(); // no row is left to hold one
        }
    } else if (dwStates) {
        for (int item = CListCtrl::GetItemCount() - 1; item >= 0; --item) {
            if (!ExamItemStates(item, dwStates)) continue;
            ListItemRecord* record = RecordOf(item);
            if (!CListCtrl::DeleteItem(item)) continue;
            FreeRecord(record);
            ++deleted;
        }
    }
    SetRedraw(TRUE);
    return deleted;
}

// ---- Cells

BOOL TMXListCtrl::SetItemText(int nItem, int nSubItem, LPCWSTR text) {
    EndEdit(TRUE);
    if (!IsValidItem(nItem)) return FALSE;
    if (!CListCtrl::SetItemText(nItem, nSubItem, text ? text : L"")) return FALSE;
    ClearSortState();
    return TRUE;
}

BOOL TMXListCtrl::SetItemText(int nItem, int nSubItem, wchar_t ch) {
    const wchar_t text[2] = {ch, 0};
    return SetItemText(nItem, nSubItem, text);
}

BOOL TMXListCtrl::SetItemText(int nItem, int nSubItem, char ch) {
    wchar_t wide = 0;
    if (::MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, &ch, 1, &wide, 1) != 1)
        wide = static_cast<unsigned char>(ch);
    return SetItemText(nItem, nSubItem, wide);
}

BOOL TMXListCtrl::SetItemText(int nItem, int nSubItem, int value) {
    return SetItemText(nItem, nSubItem, static_cast<long long>(value));
}

BOOL TMXListCtrl::SetItemText(int nItem, int nSubItem, long value) {
    return SetItemText(nItem, nSubItem, static_cast<long long>(value));
}

BOOL TMXListCtrl::SetItemText(int nItem, int nSubItem, UINT value) {
    return SetItemText(nItem, nSubItem, static_cast<long long>(value));
}

BOOL TMXListCtrl::SetItemText(int nItem, int nSubItem, DWORD value) {
    return SetItemText(nItem, nSubItem, static_cast<long long>(value));
}

BOOL TMXListCtrl::SetItemText(int nItem, int nSubItem, long long value) {
    CString text;
    text.Format(L"%lld", value);
    return SetItemText(nItem, nSubItem, text.GetString());
}

BOOL TMXListCtrl::SetItemText(int nItem, int nSubItem, double value, int nPrecision) {
    // Precision -1 is "%f" without its trailing zeros (and point).
    return Contained(FALSE, [&] {
        const std::wstring text =
            nPrecision < 0 ? tmxnumber::FormatFixed(value, 6, true)
                           : tmxnumber::FormatFixed(value, std::min(nPrecision, 400), false);
        return SetItemText(nItem, nSubItem, text.c_str());
    });
}

BOOL TMXListCtrl::SetItemText(int nItem, int nSubItem, const COleDateTime& value, DWORD dwFlags) {
    const CString text = value.GetStatus() == COleDateTime::valid
                             ? value.Format(dwFlags, LANG_USER_DEFAULT)
                             : CString();
    return SetItemText(nItem, nSubItem, text.GetString());
}

BOOL TMXListCtrl::SetItemImage(int nItem, int nSubItem, int nImage) {
    if (!IsValidItem(nItem)) return FALSE;
    LVITEMW item{};
    item.mask = LVIF_IMAGE;
    item.iItem = nItem;
    item.iSubItem = nSubItem;
    item.iImage = nImage;
    return CListCtrl::SetItem(&item);
}

int TMXListCtrl::GetItemImage(int nItem, int nSubItem) const {
    if (!IsValidItem(nItem)) return -1;
    LVITEMW item{};
    item.mask = LVIF_IMAGE;
    item.iItem = nItem;
    item.iSubItem = nSubItem;
    return CListCtrl::GetItem(&item) ? item.iImage : -1;
}

BOOL TMXListCtrl::SetItemData(int nItem, DWORD_PTR data) {
    ListItemRecord* record = RecordOf(nItem);
    if (!record) return FALSE;
    record->dwUserData = data;
    return TRUE;
}

DWORD_PTR TMXListCtrl::GetItemData(int nItem) const {
    ListItemRecord* record = RecordOf(nItem);
    return record ? record->dwUserData : 0;
}

BOOL TMXListCtrl::GetItem(LVITEMW* item) const {
    if (!item || !m_hWnd || !CListCtrl::GetItem(item)) return FALSE;
    if (item->mask & LVIF_PARAM)
        if (ListItemRecord* record = AsRecord(item->lParam))
            item->lParam = static_cast<LPARAM>(record->dwUserData);
    return TRUE;
}

BOOL TMXListCtrl::SetItem(const LVITEMW* item) {
    if (!item || !m_hWnd) return FALSE;
    LVITEMW copy = *item;
    ListItemRecord* record = nullptr;
    if (copy.mask & LVIF_PARAM) {
        // The control keeps the record; the caller's value goes into it.
        record = RecordOf(copy.iItem);
        if (record) copy.lParam = reinterpret_cast<LPARAM>(record);
    }
    if (!CListCtrl::SetItem(&copy)) return FALSE;
    if (record) record->dwUserData = static_cast<DWORD_PTR>(item->lParam);
    if (copy.mask & LVIF_TEXT) ClearSortState();
    return TRUE;
}

BOOL TMXListCtrl::SetItem(int nItem, int nSubItem, UINT mask, LPCWSTR text, int nImage, UINT state,
                          UINT stateMask, LPARAM lParam) {
    LVITEMW item{};
    item.mask = mask;
    item.iItem = nItem;
    item.iSubItem = nSubItem;
    item.state = state;
    item.stateMask = stateMask;
    item.pszText = const_cast<LPWSTR>(text);
    item.iImage = nImage;
    item.lParam = lParam;
    return SetItem(&item);
}

// ---- Colours

void TMXListCtrl::SetColors(int nItem, int nSubItem, COLORREF color, BOOL bRedraw, bool text) {
    if (!m_hWnd) return;
    if (color == CLR_INVALID) color = DefaultColor(text);
    const int count = CListCtrl::GetItemCount();
    const bool oneRow = IsValidItem(nItem), oneColumn = IsValidColumn(nSubItem);
    for (int row = oneRow ? nItem : 0; row < (oneRow ? nItem + 1 : count); ++row) {
        ListItemRecord* record = RecordOf(row);
        if (!record) continue;
        std::vector<COLORREF>& colors = text ? record->aTextColors : record->aBkColors;
        if (!oneColumn)
            std::fill(colors.begin(), colors.end(), color);
        else if (static_cast<size_t>(nSubItem) < colors.size())
            colors[static_cast<size_t>(nSubItem)] = color;
    }
    if (bRedraw) {
        Invalidate(FALSE);
        UpdateWindow();
    }
}

void TMXListCtrl::SetItemTextColor(int nItem, int nSubItem, COLORREF color, BOOL bRedraw) {
    SetColors(nItem, nSubItem, color, bRedraw, true);
}

void TMXListCtrl::SetItemBkColor(int nItem, int nSubItem, COLORREF color, BOOL bRedraw) {
    SetColors(nItem, nSubItem, color, bRedraw, false);
}

COLORREF TMXListCtrl::GetColor(int nItem, int nSubItem, bool text) const {
    if (!IsValidColumn(nSubItem)) return CLR_INVALID;
    ListItemRecord* record = RecordOf(nItem);
    if (!record) return CLR_INVALID;
    const std::vector<COLORREF>& colors = text ? record->aTextColors : record->aBkColors;
    return static_cast<size_t>(nSubItem) < colors.size() ? colors[static_cast<size_t>(nSubItem)]
                                                         : CLR_INVALID;
}

COLORREF TMXListCtrl::GetItemTextColor(int nItem, int nSubItem) const {
    return GetColor(nItem, nSubItem, true);
}

COLORREF TMXListCtrl::GetItemBkColor(int nItem, int nSubItem) const {
    return GetColor(nItem, nSubItem, false);
}

void TMXListCtrl::OnCustomDraw(NMHDR* nmhdr, LRESULT* result) {
    auto* draw = reinterpret_cast<NMLVCUSTOMDRAW*>(nmhdr);
    switch (draw->nmcd.dwDrawStage) {
    case CDDS_PREPAINT:
    case CDDS_ITEMPREPAINT:
        *result = CDRF_NOTIFYSUBITEMDRAW;
        return;
    case CDDS_ITEMPREPAINT | CDDS_SUBITEM: {
        // A row without a record keeps the list's own colours.
        const int row = static_cast<int>(draw->nmcd.dwItemSpec);
        const COLORREF text = GetItemTextColor(row, draw->iSubItem);
        const COLORREF back = GetItemBkColor(row, draw->iSubItem);
        if (text != CLR_INVALID) draw->clrText = text;
        if (back != CLR_INVALID) draw->clrTextBk = back;
        *result = CDRF_DODEFAULT;
        return;
    }
    default:
        *result = CDRF_DODEFAULT;
    }
}

// ---- States and check boxes

BOOL TMXListCtrl::IsItemChecked(int nItem) const {
    // State image 2 and beyond are checked; none (0) counts as unchecked.
    return (GetItemState(nItem, LVIS_STATEIMAGEMASK) >> 12) >= 2;
}

DWORD TMXListCtrl::GetItemStates(int nItem) const {
    if (!IsValidItem(nItem)) return 0;
    const UINT state = GetItemState(nItem, LVIS_SELECTED | LVIS_FOCUSED);
    return (state & LVIS_SELECTED ? LIST_ITEM_SELECTED : LIST_ITEM_UNSELECTED) |
           (IsItemChecked(nItem) ? LIST_ITEM_CHECKED : LIST_ITEM_UNCHECKED) |
           (state & LVIS_FOCUSED ? LIST_ITEM_FOCUSED : LIST_ITEM_UNFOCUSED);
}

BOOL TMXListCtrl::ExamItemStates(int nItem, DWORD dwStates) const {
    if (!dwStates || !IsValidItem(nItem)) return FALSE;
    if (dwStates & LIST_ITEM_ANY) return TRUE;
    return (GetItemStates(nItem) & dwStates) == dwStates;
}

BOOL TMXListCtrl::SetItemStates(int nItem, DWORD dwStates) {
    // -1 would mean every row to the list view.
    if (!IsValidItem(nItem)) return FALSE;
    bool ok = true;
    if (dwStates & LIST_ITEM_SELECTED) ok = SetItemState(nItem, LVIS_SELECTED, LVIS_SELECTED) && ok;
    if (dwStates & LIST_ITEM_UNSELECTED) ok = SetItemState(nItem, 0, LVIS_SELECTED) && ok;
    if (dwStates & LIST_ITEM_CHECKED) ok = CListCtrl::SetCheck(nItem, TRUE) && ok;
    if (dwStates & LIST_ITEM_UNCHECKED) ok = CListCtrl::SetCheck(nItem, FALSE) && ok;
    if (dwStates & LIST_ITEM_FOCUSED) ok = SetItemState(nItem, LVIS_FOCUSED, LVIS_FOCUSED) && ok;
    if (dwStates & LIST_ITEM_UNFOCUSED) ok = SetItemState(nItem, 0, LVIS_FOCUSED) && ok;
    if (dwStates & LIST_ITEM_CHECKED) SingleCheckRule(nItem);
    return ok;
}

int TMXListCtrl::SetAllItemStates(DWORD dwFilter, DWORD dwStates) {
    if (!dwFilter || !dwStates || !m_hWnd) return 0;
    int applied = 0;
    for (int item = 0; item < CListCtrl::GetItemCount(); ++item) {
        if (!ExamItemStates(item, dwFilter)) continue;
        SetItemStates(item, dwStates);
        ++applied;
    }
    if (dwStates & LIST_ITEM_CHECKED) SingleCheckRule(-1);
    return applied;
}

int TMXListCtrl::GetItemCount(DWORD dwFilter) const {
    if (!m_hWnd) return 0;
    const int count = CListCtrl::GetItemCount();
    if (dwFilter & LIST_ITEM_ANY) return count;
    int matching = 0;
    for (int item = 0; item < count; ++item)
        matching += ExamItemStates(item, dwFilter) ? 1 : 0;
    return matching;
}

int TMXListCtrl::GetFirstItem(DWORD dwFilter, int nStartAfter) const {
    if (!m_hWnd) return -1;
    const long long count = CListCtrl::GetItemCount();
    for (long long item = nStartAfter < -1 ? 0 : static_cast<long long>(nStartAfter) + 1;
         item < count; ++item)
        if (ExamItemStates(static_cast<int>(item), dwFilter)) return static_cast<int>(item);
    return -1;
}

int TMXListCtrl::GetLastItem(DWORD dwFilter, int nStartBefore) const {
    if (!m_hWnd) return -1;
    const int count = CListCtrl::GetItemCount();
    const int start = nStartBefore < 0 || nStartBefore > count ? count - 1 : nStartBefore - 1;
    for (int item = start; item >= 0; --item)
        if (ExamItemStates(item, dwFilter)) return item;
    return -1;
}

void TMXListCtrl::InvertItems(int nType) {
    if (!m_hWnd || (nType != 0 && nType != 1)) return;
    const int count = CListCtrl::GetItemCount();
    for (int item = 0; item < count; ++item) {
        if (nType == 0)
            SetItemState(item, GetItemState(item, LVIS_SELECTED) ^ LVIS_SELECTED, LVIS_SELECTED);
        else
            CListCtrl::SetCheck(item, !IsItemChecked(item));
    }
    if (nType == 1) SingleCheckRule(-1);
}

void TMXListCtrl::SetCheckboxeStyle(int nStyle) {
    if (nStyle < CHECKBOX_NONE || nStyle > CHECKBOX_READONLY) return;
    m_nCheckboxStyle = nStyle;
    EndEdit(TRUE);
    const DWORD style = GetExtendedStyle();
    if (nStyle == CHECKBOX_NONE) {
        SetExtendedStyle(style & ~LVS_EX_CHECKBOXES);
        return;
    }
    SetExtendedStyle(style | LVS_EX_CHECKBOXES);
    SingleCheckRule(-1);
}

int TMXListCtrl::GetCheckboxStyle() const {
    return m_nCheckboxStyle;
}

BOOL TMXListCtrl::SetCheck(int nItem, BOOL bCheck) {
    if (!IsValidItem(nItem) || !CListCtrl::SetCheck(nItem, bCheck)) return FALSE;
    if (bCheck) SingleCheckRule(nItem);
    return TRUE;
}

void TMXListCtrl::SingleCheckRule(int nItem) {
    if (m_nCheckboxStyle != CHECKBOX_SINGLE || !m_hWnd) return;
    if (nItem < 0) nItem = GetFirstItem(LIST_ITEM_CHECKED, -1);
    if (nItem < 0) return;
    const int count = CListCtrl::GetItemCount();
    for (int item = nItem + 1; item < count; ++item)
        if (IsItemChecked(item)) CListCtrl::SetCheck(item, FALSE);
}

bool TMXListCtrl::MonitorCheck(int nItem, BOOL bWasChecked, UINT message) {
    if (!IsValidItem(nItem) || m_nCheckboxStyle == CHECKBOX_NONE) return false;
    const BOOL checked = IsItemChecked(nItem);
    if (checked == bWasChecked) return false;
    if (m_nCheckboxStyle == CHECKBOX_READONLY) {
        CListCtrl::SetCheck(nItem, bWasChecked);
        return true;
    }
    if (m_nCheckboxStyle == CHECKBOX_SINGLE && checked) {
        for (int item = GetFirstItem(LIST_ITEM_CHECKED, -1); item >= 0;
             item = GetFirstItem(LIST_ITEM_CHECKED, item))
            CListCtrl::SetCheck(item, FALSE);
        CListCtrl::SetCheck(nItem, TRUE);
    }
    SetItemState(-1, 0, LVIS_SELECTED);
    SetItemState(nItem, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    NotifyParent(LISTMSG_CHECKBOX_CHANGED, static_cast<WPARAM>(nItem),
                 static_cast<LPARAM>(message));
    return true;
}

// ---- Sorting state

BOOL TMXListCtrl::SetSortable(BOOL bSet) {
    CHeaderCtrl* header = Header();
    if (!header) return FALSE;
    header->ModifyStyle(bSet ? 0 : HDS_BUTTONS, bSet ? HDS_BUTTONS : 0);
    if (!bSet) ClearSortState();
    header->RedrawWindow();
    return TRUE;
}

BOOL TMXListCtrl::IsSortable() const {
    CHeaderCtrl* header = Header();
    return header && (header->GetStyle() & HDS_BUTTONS);
}

int TMXListCtrl::GetSortedColumn() const {
    return m_nSortedColumn;
}

BOOL TMXListCtrl::IsSortAscending() const {
    return m_bSortAscending;
}

void TMXListCtrl::SetSortSeparator(LPCWSTR separator) {
    delete[] m_pszSortSeparator;
    m_pszSortSeparator = nullptr;
    if (!separator) return;
    const size_t length = wcslen(separator);
    m_pszSortSeparator = new (std::nothrow) wchar_t[length + 1];
    if (m_pszSortSeparator) wmemcpy(m_pszSortSeparator, separator, length + 1);
}

LPCWSTR TMXListCtrl::GetSortSeparator() const {
    return m_pszSortSeparator;
}
