// Floating frames and the dock bar inside them.
#include "Internal.h"

BOOL CMiniFrameWnd::Create(LPCWSTR className, LPCWSTR windowName, DWORD style, const RECT& rect,
                           CWnd* owner) {
    return CreateEx(WS_EX_TOOLWINDOW, className, windowName, style, rect.left, rect.top,
                    rect.right - rect.left, rect.bottom - rect.top, AfxGetSafeHwnd(owner), nullptr);
}

BEGIN_MESSAGE_MAP(CMiniDockFrameWnd, CMiniFrameWnd)
ON_WM_NCLBUTTONDOWN()
ON_WM_NCLBUTTONDBLCLK()
ON_WM_CLOSE()
END_MESSAGE_MAP()

CMiniDockFrameWnd::CMiniDockFrameWnd() : m_wndDockBar(TRUE) {}

DWORD CMiniDockFrameWnd::FrameStyle(DWORD barStyle) {
    // A bar that sizes itself gets edges to size it by.
    return WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN |
           ((barStyle & CBRS_SIZE_DYNAMIC) ? WS_THICKFRAME : WS_BORDER);
}

BOOL CMiniDockFrameWnd::Create(CWnd* dockSite, DWORD barStyle) {
    // No layout until a bar is docked in it.
    m_bInRecalcLayout = TRUE;
    BOOL created = CMiniFrameWnd::Create(nullptr, L"", FrameStyle(barStyle), CRect(0, 0, 0, 0), dockSite);
    // The dock bar belongs to the dock site's frame (which finds its bars
    // through it) and lives in this one.
    const DWORD align = (barStyle & (CBRS_ALIGN_LEFT | CBRS_ALIGN_RIGHT)) ? CBRS_ALIGN_LEFT : CBRS_ALIGN_TOP;
    created = created && m_wndDockBar.Create(dockSite, WS_CHILD | WS_VISIBLE | align |
                                                           (barStyle & CBRS_FLOAT_MULTI),
                                             AFX_IDW_DOCKBAR_FLOAT);
    if (created) m_wndDockBar.SetParent(this);
    m_bInRecalcLayout = FALSE;
    return created;
}

void CMiniDockFrameWnd::RecalcLayout(BOOL) {
    if (m_bInRecalcLayout || !m_hWnd || !m_wndDockBar.m_hWnd) return;
    m_bInRecalcLayout = TRUE;
    // 1. Floating bars take their remembered widths.
    for (int pos = 0; pos < m_wndDockBar.m_arrBars.GetSize(); ++pos) {
        CControlBar* bar = m_wndDockBar.GetDockedControlBar(pos);
        if (bar && bar->IsVisible() && (bar->m_dwStyle & CBRS_SIZE_DYNAMIC))
            bar->CalcDynamicLayout(-1, LM_HORZ | LM_MRUWIDTH | LM_COMMIT);
    }
    // 2. The dock bar places them and gives its size to the frame.
    const CSize size = m_wndDockBar.CalcFixedLayout(FALSE, TRUE);
    CRect window(0, 0, size.cx, size.cy);
    ::AdjustWindowRectEx(&window, GetStyle(), FALSE, GetExStyle());
    SetWindowPos(nullptr, 0, 0, window.Width(), window.Height(),
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    // A captioned window may not get as narrow as its bar: the dock bar fills what it gets.
    CRect client;
    GetClientRect(&client);
    m_wndDockBar.SetWindowPos(nullptr, 0, 0, std::max<LONG>(size.cx, client.Width()),
                              std::max<LONG>(size.cy, client.Height()), SWP_NOZORDER | SWP_NOACTIVATE);
    // The caption is its bar's title.
    if (CControlBar* bar = SoleBar()) {
        CString title;
        bar->GetWindowText(title);
        SetWindowText(title);
    }
    m_nIdleFlags &= ~idleLayout;
    m_bInRecalcLayout = FALSE;
}

CControlBar* CMiniDockFrameWnd::SoleBar() const {
    for (int pos = 0; pos < m_wndDockBar.m_arrBars.GetSize(); ++pos)
        if (CControlBar* bar = m_wndDockBar.GetDockedControlBar(pos)) return bar;
    return nullptr;
}

void CMiniDockFrameWnd::OnNcLButtonDown(UINT hitTest, CPoint point) {
    CControlBar* bar = SoleBar();
    if (bar && bar->m_pDockContext) {
        if (hitTest == HTCAPTION) {
            ::BringWindowToTop(m_hWnd);
            bar->m_pDockContext->StartDrag(point);
            return;
        }
        if (hitTest >= HTLEFT && hitTest <= HTBOTTOMRIGHT && (bar->m_dwStyle & CBRS_SIZE_DYNAMIC)) {
            bar->m_pDockContext->StartResize(static_cast<int>(hitTest), point);
            return;
        }
    }
    CMiniFrameWnd::OnNcLButtonDown(hitTest, point);
}

void CMiniDockFrameWnd::OnNcLButtonDblClk(UINT hitTest, CPoint point) {
    CControlBar* bar = SoleBar();
    if (hitTest == HTCAPTION && bar && bar->m_pDockContext) {
        bar->m_pDockContext->ToggleDocking();
        return;
    }
    CMiniFrameWnd::OnNcLButtonDblClk(hitTest, point);
}

void CMiniDockFrameWnd::OnClose() {
    // Closing hides the bars (the View menu brings them back).
    CFrameWnd* site = m_wndDockBar.m_pDockSite;
    for (int pos = 0; pos < m_wndDockBar.m_arrBars.GetSize(); ++pos)
        if (CControlBar* bar = m_wndDockBar.GetDockedControlBar(pos))
            if (site) site->ShowControlBar(bar, FALSE, FALSE);
}
