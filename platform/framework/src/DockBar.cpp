// Dock bars: the rows of docked bars, inserting and removing bars, and the
// row walk that lays them out.
#include "Internal.h"

BEGIN_MESSAGE_MAP(CDockBar, CControlBar)
ON_WM_DESTROY()
END_MESSAGE_MAP()

CDockBar::CDockBar(BOOL floating) : m_bFloating(floating) {
    m_cxLeftBorder = m_cxRightBorder = m_cyTopBorder = m_cyBottomBorder = 0;
    m_arrBars.Add(nullptr);
}

BOOL CDockBar::Create(CWnd* parent, DWORD style, UINT id) {
    m_dwStyle = style & CBRS_ALL;
    LPCWSTR className = AfxRegisterWndClass(CS_DBLCLKS, ::LoadCursorW(nullptr, IDC_ARROW),
                                            reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1));
    return CWnd::Create(className, nullptr, (style & ~CBRS_ALL) | WS_CHILD, CRect(0, 0, 0, 0),
                        parent, id);
}

void CDockBar::OnDestroy() {
    m_bDestroying = TRUE; // its bars leave it as they are destroyed: no frame to tidy up
    CControlBar::OnDestroy();
}

int CDockBar::GetBarOverlap(CControlBar*) const {
    return AFX_CX_BORDER2;
}

int CDockBar::FindBar(CControlBar* bar, int posExclude) const {
    for (int pos = 0; pos < m_arrBars.GetSize(); ++pos)
        if (pos != posExclude && m_arrBars[pos] == bar) return pos;
    return -1;
}

int CDockBar::GetDockedCount() const {
    int count = 0;
    for (int pos = 0; pos < m_arrBars.GetSize(); ++pos)
        count += m_arrBars[pos] != nullptr;
    return count;
}

int CDockBar::GetDockedVisibleCount() const {
    int count = 0;
    for (int pos = 0; pos < m_arrBars.GetSize(); ++pos)
        if (CControlBar* bar = GetDockedControlBar(pos)) count += bar->IsVisible() ? 1 : 0;
    return count;
}

int CDockBar::Insert(CControlBar* bar, const CRect& rect, CPoint mid) {
    const bool horz = (m_dwStyle & CBRS_ORIENT_HORZ) != 0;
    const int across = horz ? mid.y : mid.x;
    const int along = horz ? rect.left : rect.top;
    for (int first = 1; first < m_arrBars.GetSize();) {
        int end = first; // the row's null
        CRect band;
        bool any = false;
        while (end < m_arrBars.GetSize() && m_arrBars[end]) {
            CControlBar* other = GetDockedControlBar(end++);
            if (other == bar || !other->IsVisible()) continue;
            CRect r;
            other->GetWindowRect(&r);
            ScreenToClient(&r);
            if (any)
                band.UnionRect(&band, &r);
            else
                band = r, any = true;
        }
        if (any) {
            const int top = horz ? band.top : band.left, bottom = horz ? band.bottom : band.right;
            if (across < top) { // a new row before this one
                m_arrBars.InsertAt(first, static_cast<void*>(nullptr));
                m_arrBars.InsertAt(first, bar);
                return first;
            }
            if (across < bottom) { // in this row, by place
                int pos = first;
                for (; pos < end; ++pos) {
                    CControlBar* other = GetDockedControlBar(pos);
                    if (other == bar || !other->IsVisible()) continue;
                    CRect r;
                    other->GetWindowRect(&r);
                    ScreenToClient(&r);
                    if ((horz ? r.left : r.top) > along) break;
                }
                m_arrBars.InsertAt(pos, bar);
                return pos;
            }
        }
        first = end + 1;
    }
    m_arrBars.Add(bar); // a new last row
    m_arrBars.Add(nullptr);
    return static_cast<int>(m_arrBars.GetSize()) - 2;
}

void CDockBar::DockControlBar(CControlBar* bar, LPCRECT rect) {
    if (!bar || !m_hWnd) return;
    CRect place;
    bar->GetWindowRect(&place);
    if (bar->m_pDockBar == this && (!rect || place == *rect)) return; // already there
    const int overlap = GetBarOverlap(bar);
    if (bar->m_pDockBar == this) RemoveControlBar(bar);
    if (rect) {
        place = *rect;
        ScreenToClient(&place);
        Insert(bar, place, place.CenterPoint());
    } else {
        m_arrBars.Add(bar);
        m_arrBars.Add(nullptr);
        place.OffsetRect(-place.left - overlap, -place.top - overlap);
    }
    CDockBar* previous = bar->m_pDockBar;
    if (bar->GetParent() != this) bar->SetParent(this);
    bar->m_pDockBar = this;
    // Docked or floating, a bar shows all its borders: its neighbours
    // overlap them. Its alignment is this dock bar's.
    DWORD style = (bar->m_dwStyle & ~(CBRS_ALIGN_ANY | CBRS_FLOATING)) | CBRS_BORDER_ANY |
                  (m_dwStyle & CBRS_ALIGN_ANY) | (m_bFloating ? CBRS_FLOATING : 0);
    bar->SetBarStyle(style);
    bar->SetWindowPos(nullptr, place.left, place.top, 0, 0,
                      SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOCOPYBITS);
    if (CFrameWnd* frame = GetDockingFrame()) frame->DelayRecalcLayout();
    // Last: leaving a floating dock bar may destroy it and its frame.
    if (previous && previous != this) previous->RemoveControlBar(bar);
}

BOOL CDockBar::RemoveControlBar(CControlBar* bar, int posExclude) {
    int pos = FindBar(bar, posExclude);
    if (pos < 0) return FALSE;
    m_arrBars.RemoveAt(pos);
    // A row left empty goes with its null.
    if (pos > 0 && !m_arrBars[pos - 1] && pos < m_arrBars.GetSize() && !m_arrBars[pos])
        m_arrBars.RemoveAt(pos);
    if (bar->m_pDockBar == this) bar->m_pDockBar = nullptr;
    CFrameWnd* frame = GetDockingFrame();
    if (!m_bFloating || m_bDestroying || !frame) {
        if (frame) frame->DelayRecalcLayout();
        return TRUE;
    }
    if (GetDockedCount() == 0 && bar->m_pDockContext) {
        // Kept, hidden, for the bar's next float (its owner takes it along at the end).
        bar->m_pDockContext->m_hWndMRUFloatFrame = frame->m_hWnd;
        frame->ShowWindow(SW_HIDE);
    } else if (GetDockedCount() == 0)
        frame->DestroyWindow(); // the frame and this dock bar go: nothing after this
    else if (GetDockedVisibleCount() == 0)
        frame->ShowWindow(SW_HIDE);
    else
        frame->DelayRecalcLayout();
    return TRUE;
}

CSize CDockBar::CalcFixedLayout(BOOL stretch, BOOL horz) {
    CSize fixed = CControlBar::CalcFixedLayout(stretch, horz);
    CSize extent = m_rectLayout.Size();
    if (m_rectLayout.IsRectEmpty()) {
        CRect client;
        if (CFrameWnd* frame = GetDockingFrame()) frame->GetClientRect(&client);
        extent = client.Size();
    }
    const int end = horz ? extent.cx : extent.cy; // how far a row may run
    AFX_SIZEPARENTPARAMS layout{};
    if (!m_bLayoutQuery) layout.hDWP = ::BeginDeferWindowPos(static_cast<int>(m_arrBars.GetSize()));

    // The row walk, along (x for a horizontal dock bar) and across rows.
    int rowStart = 0;      // where the current row begins across
    int slot = 0;          // where the next bar of the row may begin along
    int lastOverlap = 0;   // of the row's last bar
    int rowAdvance = 0;    // how far the next row begins after this one
    int rowOverlap = 0;    // of the row's bars, the largest
    int lastRowOverlap = 0;
    bool rows = false, wrapped = false;
    for (int pos = 0; pos < m_arrBars.GetSize(); ++pos) {
        CControlBar* bar = GetDockedControlBar(pos);
        if (bar && bar->IsVisible()) {
            // 1. The bar's own size in its place.
            DWORD mode = 0;
            if ((bar->m_dwStyle & CBRS_SIZE_DYNAMIC) && (bar->m_dwStyle & CBRS_FLOATING))
                mode = LM_HORZ | LM_MRUWIDTH;
            else if (bar->m_dwStyle & CBRS_ORIENT_HORZ)
                mode = LM_HORZ | LM_HORZDOCK;
            else
                mode = LM_VERTDOCK;
            const CSize size = bar->CalcDynamicLayout(-1, mode);
            const int length = horz ? size.cx : size.cy, thickness = horz ? size.cy : size.cx;
            const int overlap = GetBarOverlap(bar);
            CRect current;
            bar->GetWindowRect(&current);
            ScreenToClient(&current);
            // 2. After its neighbour, or further on where it was put; pushed
            // back inside the end; a fresh row starts at its beginning.
            int start = slot - overlap;
            const int placed = horz ? current.left : current.top;
            if (!m_bFloating && placed > start) start = placed;
            if (!m_bFloating && start + length > end) start = std::max(end - length + overlap, slot - overlap);
            if (wrapped) {
                wrapped = false;
                start = -overlap;
            } else if (!m_bFloating && start >= end - overlap && m_arrBars[pos - 1]) {
                // 3. It would start beyond the end: a new row begins with it.
                m_arrBars.InsertAt(pos, static_cast<void*>(nullptr));
                wrapped = true;
                bar = nullptr;
            }
            if (bar) {
                const int across = rowStart - overlap;
                CRect rect = horz ? CRect(start, across, start + length, across + thickness)
                                  : CRect(across, start, across + thickness, start + length);
                if (rect != current) {
                    if (!m_bLayoutQuery && !m_bFloating && bar->m_pDockContext)
                        bar->m_pDockContext->m_rectMRUDockPos = rect;
                    AfxRepositionWindow(&layout, bar->m_hWnd, &rect);
                }
                slot = start + length;
                lastOverlap = overlap;
                rowAdvance = std::max(rowAdvance, thickness - overlap);
                rowOverlap = std::max(rowOverlap, overlap);
            }
        }
        if (bar) bar->RecalcDelayShow(&layout);
        // 4. A null ends a row: the next begins after its thickest bar.
        if (!bar && !m_arrBars[pos]) {
            if (rowAdvance) {
                if (horz)
                    fixed.cx = std::max<LONG>(fixed.cx, slot - lastOverlap);
                else
                    fixed.cy = std::max<LONG>(fixed.cy, slot - lastOverlap);
                rowStart += rowAdvance;
                lastRowOverlap = rowOverlap;
                rows = true;
            }
            slot = rowAdvance = rowOverlap = 0;
        }
    }
    if (layout.hDWP) ::EndDeferWindowPos(layout.hDWP);
    if (rows) {
        if (horz)
            fixed.cy = std::max<LONG>(fixed.cy, rowStart - lastRowOverlap);
        else
            fixed.cx = std::max<LONG>(fixed.cx, rowStart - lastRowOverlap);
    }
    // 5. The dock bar's own borders, where the size is not stretched.
    CRect inside(0, 0, 0, 0);
    CalcInsideRect(inside, horz);
    if ((!stretch || !horz) && fixed.cx != 0) fixed.cx -= inside.Width();
    if ((!stretch || horz) && fixed.cy != 0) fixed.cy -= inside.Height();
    return fixed;
}
