// Control bars: styles, borders and gripper, their part in the frame's
// layout, delayed showing, idle updates, and the mouse that starts docking.
#include "Internal.h"

BEGIN_MESSAGE_MAP(CControlBar, CWnd)
ON_WM_CREATE()
ON_WM_DESTROY()
ON_MESSAGE(WM_SIZEPARENT, OnSizeParent)
ON_MESSAGE(WM_IDLEUPDATECMDUI, OnIdleUpdateCmdUI)
ON_WM_NCHITTEST()
ON_WM_NCCALCSIZE()
ON_WM_NCPAINT()
ON_WM_PAINT()
ON_MESSAGE(WM_PRINTCLIENT, OnPrintClient)
ON_WM_LBUTTONDOWN()
ON_WM_LBUTTONDBLCLK()
ON_MESSAGE(WM_WINDOWPOSCHANGED, OnWindowPosChanged)
END_MESSAGE_MAP()

CControlBar::CControlBar() = default;

CControlBar::~CControlBar() {
    DestroyWindow();
    if (m_pDockSite) m_pDockSite->RemoveControlBar(this);
    delete m_pDockContext;
}

void CControlBar::PostNcDestroy() {
    if (m_bAutoDelete) delete this;
}

int CControlBar::OnCreate(LPCREATESTRUCT cs) {
    if (CWnd::OnCreate(cs) == -1) return -1;
    // A bar made in a frame belongs to it: the frame lays it out and routes
    // its commands, wherever it is docked or floats later.
    CWnd* parent = CWnd::FromHandlePermanent(::GetParent(m_hWnd));
    if (parent && parent->IsKindOf(RUNTIME_CLASS(CFrameWnd))) {
        m_pDockSite = static_cast<CFrameWnd*>(parent);
        m_pDockSite->AddControlBar(this);
    }
    if (!m_hWndOwner) m_hWndOwner = ::GetParent(m_hWnd);
    return 0;
}

void CControlBar::OnDestroy() {
    if (m_pDockBar) m_pDockBar->RemoveControlBar(this);
    CWnd::OnDestroy();
}

void CControlBar::SetBarStyle(DWORD style) {
    if (m_dwStyle == style) return;
    DWORD old = m_dwStyle;
    m_dwStyle = style;
    // Borders, gripper and orientation live in the non-client area.
    if (m_hWnd && (old ^ style) & (CBRS_BORDER_ANY | CBRS_BORDER_3D | CBRS_GRIPPER |
                                   CBRS_ORIENT_ANY | CBRS_FLOATING))
        ::SetWindowPos(m_hWnd, nullptr, 0, 0, 0, 0,
                       SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

void CControlBar::SetBorders(int cxLeft, int cyTop, int cxRight, int cyBottom) {
    m_cxLeftBorder = cxLeft, m_cyTopBorder = cyTop;
    m_cxRightBorder = cxRight, m_cyBottomBorder = cyBottom;
}

CRect CControlBar::GetBorders() const {
    return CRect(m_cxLeftBorder, m_cyTopBorder, m_cxRightBorder, m_cyBottomBorder);
}

void CControlBar::EnableDocking(DWORD dockStyle) {
    m_dwDockStyle = dockStyle;
    if (!m_pDockContext) m_pDockContext = new CDockContext(this);
    if (!m_hWndOwner) m_hWndOwner = ::GetParent(m_hWnd);
}

BOOL CControlBar::IsFloating() const {
    return m_pDockBar && m_pDockBar->m_bFloating;
}

CFrameWnd* CControlBar::GetDockingFrame() const {
    for (HWND hwnd = ::GetParent(m_hWnd); hwnd; hwnd = ::GetParent(hwnd)) {
        CWnd* wnd = CWnd::FromHandlePermanent(hwnd);
        if (wnd && wnd->IsKindOf(RUNTIME_CLASS(CFrameWnd))) return static_cast<CFrameWnd*>(wnd);
        if (!(::GetWindowLongW(hwnd, GWL_STYLE) & WS_CHILD)) break;
    }
    return m_pDockSite;
}

BOOL CControlBar::IsVisible() const {
    if (m_nStateFlags & delayHide) return FALSE;
    return (m_nStateFlags & delayShow) || (GetStyle() & WS_VISIBLE);
}

CSize CControlBar::CalcFixedLayout(BOOL stretch, BOOL horz) {
    return CSize(stretch && horz ? 32767 : 0, stretch && !horz ? 32767 : 0);
}

CSize CControlBar::CalcDynamicLayout(int, DWORD mode) {
    return CalcFixedLayout((mode & LM_STRETCH) != 0, (mode & LM_HORZ) != 0);
}

void CControlBar::CalcInsideRect(CRect& rect, BOOL horz) const {
    const DWORD style = m_dwStyle;
    if (style & CBRS_BORDER_LEFT) rect.left += AFX_CX_BORDER2;
    if (style & CBRS_BORDER_TOP) rect.top += AFX_CX_BORDER2;
    if (style & CBRS_BORDER_RIGHT) rect.right -= AFX_CX_BORDER2;
    if (style & CBRS_BORDER_BOTTOM) rect.bottom -= AFX_CX_BORDER2;
    // The margins run along the bar: a vertical bar turns them with it.
    const int along1 = m_cxLeftBorder, along2 = m_cxRightBorder;
    const int across1 = m_cyTopBorder, across2 = m_cyBottomBorder;
    const bool gripper = (style & (CBRS_GRIPPER | CBRS_FLOATING)) == CBRS_GRIPPER;
    const int grip = gripper ? AFX_CX_BORDER_GRIPPER + AFX_CX_GRIPPER + AFX_CX_BORDER_GRIPPER : 0;
    if (horz) {
        rect.left += along1 + grip, rect.right -= along2;
        rect.top += across1, rect.bottom -= across2;
    } else {
        rect.top += along1 + grip, rect.bottom -= along2;
        rect.left += across1, rect.right -= across2;
    }
}

void CControlBar::DelayShow(BOOL show) {
    m_nStateFlags &= ~(delayHide | delayShow);
    const bool visible = (GetStyle() & WS_VISIBLE) != 0;
    if (show && !visible) m_nStateFlags |= delayShow;
    if (!show && visible) m_nStateFlags |= delayHide;
    if (CFrameWnd* frame = GetDockingFrame()) frame->DelayRecalcLayout();
}

DWORD CControlBar::RecalcDelayShow(AFX_SIZEPARENTPARAMS* layout) {
    // The bar's styles with the window's visibility as it is to be.
    DWORD style = (m_dwStyle & CBRS_ALL) | (GetStyle() & WS_VISIBLE);
    if (m_nStateFlags & delayShow) style |= WS_VISIBLE;
    if (m_nStateFlags & delayHide) style &= ~WS_VISIBLE;
    if (layout && layout->hDWP && (m_nStateFlags & (delayShow | delayHide))) {
        layout->hDWP = ::DeferWindowPos(
            layout->hDWP, m_hWnd, nullptr, 0, 0, 0, 0,
            SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE |
                ((m_nStateFlags & delayShow) ? SWP_SHOWWINDOW : SWP_HIDEWINDOW));
        m_nStateFlags &= ~(delayShow | delayHide);
    }
    return style;
}

LRESULT CControlBar::OnSizeParent(WPARAM, LPARAM lParam) {
    auto* layout = reinterpret_cast<AFX_SIZEPARENTPARAMS*>(lParam);
    const DWORD style = RecalcDelayShow(layout);
    if (!(style & WS_VISIBLE) || !(style & CBRS_ALIGN_ANY)) return 0;
    // 1. The size the bar asks for in its place, within what is left.
    DWORD mode = layout->bStretch ? LM_STRETCH : 0;
    if ((m_dwStyle & CBRS_SIZE_DYNAMIC) && (m_dwStyle & CBRS_FLOATING))
        mode |= LM_HORZ | LM_MRUWIDTH;
    else if (style & CBRS_ORIENT_HORZ)
        mode |= LM_HORZ | LM_HORZDOCK;
    else
        mode |= LM_VERTDOCK;
    CRect rect(layout->rect);
    CSize size = CalcDynamicLayout(-1, mode);
    size.cx = size.cx < rect.Width() ? size.cx : rect.Width();
    size.cy = size.cy < rect.Height() ? size.cy : rect.Height();
    // 2. It takes that much of its edge: across the edge its thickness,
    // along it its length.
    const bool horz = (style & CBRS_ORIENT_HORZ) != 0;
    const LONG thickness = horz ? size.cy : size.cx, length = horz ? size.cx : size.cy;
    LONG& total = horz ? layout->sizeTotal.cy : layout->sizeTotal.cx;
    LONG& longest = horz ? layout->sizeTotal.cx : layout->sizeTotal.cy;
    total += thickness;
    longest = std::max(longest, length);
    if (style & (horz ? CBRS_ALIGN_TOP : CBRS_ALIGN_LEFT)) {
        (horz ? layout->rect.top : layout->rect.left) += thickness;
    } else { // bottom or right: from the far side
        (horz ? rect.top : rect.left) = (horz ? rect.bottom : rect.right) - thickness;
        (horz ? layout->rect.bottom : layout->rect.right) -= thickness;
    }
    rect.right = rect.left + size.cx;
    rect.bottom = rect.top + size.cy;
    AfxRepositionWindow(layout, m_hWnd, &rect);
    return 0;
}

LRESULT CControlBar::OnIdleUpdateCmdUI(WPARAM wParam, LPARAM) {
    if (!(GetStyle() & WS_VISIBLE)) return 0;
    CWnd* owner = GetOwner();
    CFrameWnd* target = owner && owner->IsKindOf(RUNTIME_CLASS(CFrameWnd))
                            ? static_cast<CFrameWnd*>(owner)
                            : GetDockingFrame();
    if (target) OnUpdateCmdUI(target, static_cast<BOOL>(wParam));
    return 0;
}

LRESULT CControlBar::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_COMMAND:
    case WM_NOTIFY:
    case WM_DRAWITEM:
    case WM_MEASUREITEM:
    case WM_DELETEITEM:
    case WM_COMPAREITEM:
    case WM_VKEYTOITEM:
    case WM_CHARTOITEM: {
        // What the bar's children tell their parent is meant for the frame.
        LRESULT result = 0;
        if (OnWndMsg(message, wParam, lParam, &result)) return result;
        CWnd* owner = GetOwner();
        if (owner && owner->m_hWnd != m_hWnd) return owner->SendMessage(message, wParam, lParam);
        return DefWindowProc(message, wParam, lParam);
    }
    default:
        return CWnd::WindowProc(message, wParam, lParam);
    }
}

BOOL CControlBar::IsOverItem(CPoint) const {
    return FALSE;
}

LRESULT CControlBar::OnNcHitTest(CPoint) {
    return HTCLIENT; // borders and gripper take the mouse as the bar does
}

void CControlBar::OnNcCalcSize(BOOL, NCCALCSIZE_PARAMS* params) {
    CRect inside(0, 0, 0, 0);
    CalcInsideRect(inside, (m_dwStyle & CBRS_ORIENT_HORZ) != 0 || (m_dwStyle & CBRS_FLOATING));
    RECT& r = params->rgrc[0];
    r.left += inside.left, r.top += inside.top;
    r.right += inside.right, r.bottom += inside.bottom;
    if (r.right < r.left) r.right = r.left;
    if (r.bottom < r.top) r.bottom = r.top;
}

void CControlBar::GetNonClientRects(CRect& window, CRect& client) const {
    GetWindowRect(&window);
    GetClientRect(&client);
    ClientToScreen(&client);
    client.OffsetRect(-window.left, -window.top);
    window.OffsetRect(-window.left, -window.top);
}

void CControlBar::EraseNonClient() {
    CWindowDC dc(this);
    CRect window, client;
    GetNonClientRects(window, client);
    dc.ExcludeClipRect(&client);
    dc.FillSolidRect(&window, ::GetSysColor(COLOR_BTNFACE));
    DrawBorders(&dc, window);
    DrawGripper(&dc, window);
}

void CControlBar::OnNcPaint() {
    EraseNonClient();
}

void CControlBar::DrawBorders(CDC* dc, CRect& rect) {
    const DWORD style = m_dwStyle;
    if (!(style & CBRS_BORDER_ANY)) return;
    const COLORREF shadow = ::GetSysColor(COLOR_BTNSHADOW);
    const COLORREF light = ::GetSysColor(COLOR_BTNHIGHLIGHT);
    // Each border is two lines: shadow outside, then highlight (3D) or face.
    const COLORREF inner = (style & CBRS_BORDER_3D) ? light : ::GetSysColor(COLOR_BTNFACE);
    const int w = rect.Width(), h = rect.Height();
    if (style & CBRS_BORDER_TOP)
        dc->FillSolidRect(rect.left, rect.top, w, 1, shadow),
            dc->FillSolidRect(rect.left, rect.top + 1, w, 1, inner);
    if (style & CBRS_BORDER_BOTTOM)
        dc->FillSolidRect(rect.left, rect.bottom - 2, w, 1, shadow),
            dc->FillSolidRect(rect.left, rect.bottom - 1, w, 1, inner);
    if (style & CBRS_BORDER_LEFT)
        dc->FillSolidRect(rect.left, rect.top, 1, h, shadow),
            dc->FillSolidRect(rect.left + 1, rect.top, 1, h, inner);
    if (style & CBRS_BORDER_RIGHT)
        dc->FillSolidRect(rect.right - 2, rect.top, 1, h, shadow),
            dc->FillSolidRect(rect.right - 1, rect.top, 1, h, inner);
    if (style & CBRS_BORDER_LEFT) rect.left += AFX_CX_BORDER2;
    if (style & CBRS_BORDER_TOP) rect.top += AFX_CX_BORDER2;
    if (style & CBRS_BORDER_RIGHT) rect.right -= AFX_CX_BORDER2;
    if (style & CBRS_BORDER_BOTTOM) rect.bottom -= AFX_CX_BORDER2;
}

void CControlBar::DrawGripper(CDC* dc, const CRect& rect) {
    if ((m_dwStyle & (CBRS_GRIPPER | CBRS_FLOATING)) != CBRS_GRIPPER) return;
    const COLORREF light = ::GetSysColor(COLOR_BTNHIGHLIGHT), shadow = ::GetSysColor(COLOR_BTNSHADOW);
    CRect grip;
    if (m_dwStyle & CBRS_ORIENT_HORZ)
        grip.SetRect(rect.left + AFX_CX_BORDER_GRIPPER, rect.top + m_cyTopBorder,
                     rect.left + AFX_CX_BORDER_GRIPPER + AFX_CX_GRIPPER,
                     rect.bottom - m_cyBottomBorder);
    else
        grip.SetRect(rect.left + m_cyTopBorder, rect.top + AFX_CX_BORDER_GRIPPER,
                     rect.right - m_cyBottomBorder,
                     rect.top + AFX_CX_BORDER_GRIPPER + AFX_CX_GRIPPER);
    dc->Draw3dRect(&grip, light, shadow);
}

void CControlBar::DoPaint(CDC*) {}

void CControlBar::OnPaint() {
    CPaintDC dc(this);
    DoPaint(&dc);
}

LRESULT CControlBar::OnPrintClient(WPARAM wParam, LPARAM) {
    DoPaint(CDC::FromHandle(reinterpret_cast<HDC>(wParam)));
    return 0;
}

void CControlBar::OnLButtonDown(UINT flags, CPoint point) {
    if (m_pDockContext && !IsOverItem(point)) {
        ClientToScreen(&point);
        m_pDockContext->StartDrag(point, flags);
        return;
    }
    CWnd::OnLButtonDown(flags, point);
}

void CControlBar::OnLButtonDblClk(UINT flags, CPoint point) {
    if (m_pDockContext && !IsOverItem(point)) {
        m_pDockContext->ToggleDocking();
        return;
    }
    CWnd::OnLButtonDblClk(flags, point);
}

LRESULT CControlBar::OnWindowPosChanged(WPARAM, LPARAM lParam) {
    LRESULT result = Default();
    auto* pos = reinterpret_cast<WINDOWPOS*>(lParam);
    // A bar of another size has its borders and gripper elsewhere.
    if (!(pos->flags & SWP_NOSIZE)) ::RedrawWindow(m_hWnd, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE);
    return result;
}
