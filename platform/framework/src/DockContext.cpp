// Docking contexts: dragging a bar to dock or float it, sizing a floating
// bar, and toggling between its last docked and floating places.
#include "Internal.h"

namespace {
// Moves `rect` the least so that it holds `point`.
void KeepUnder(CRect& rect, CPoint point) {
    int dx = point.x < rect.left ? point.x - rect.left : point.x > rect.right ? point.x - rect.right : 0;
    int dy = point.y < rect.top ? point.y - rect.top : point.y > rect.bottom ? point.y - rect.bottom : 0;
    rect.OffsetRect(dx, dy);
}

// The screen position a mouse message carries.
CPoint MessagePoint(const MSG& msg) {
    CPoint point(msg.lParam);
    if (msg.message < WM_NCMOUSEMOVE || msg.message > WM_NCMBUTTONDBLCLK)
        ::ClientToScreen(msg.hwnd, &point);
    return point;
}
} // namespace

CDockContext::CDockContext(CControlBar* bar) : m_pBar(bar), m_pDockSite(bar->m_pDockSite) {}

CDockContext::~CDockContext() {
    DrawDragFrame(nullptr);
}

CSize CDockContext::FloatingFrameExtra() const {
    // The frame's non-client area, less the bar's borders that the floating
    // dock bar hides.
    CRect frame(0, 0, 0, 0);
    ::AdjustWindowRectEx(&frame, CMiniDockFrameWnd::FrameStyle(m_pBar->m_dwStyle), FALSE,
                         CMiniDockFrameWnd::kFrameExStyle);
    return CSize(frame.Width() - 2 * AFX_CX_BORDER2, frame.Height() - 2 * AFX_CX_BORDER2);
}

void CDockContext::StartDrag(CPoint screen, UINT keys) {
    if (!m_pDockSite) m_pDockSite = m_pBar->m_pDockSite;
    if (!m_pDockSite) return;
    m_bDragging = TRUE;
    m_bForceFrame = (keys & MK_CONTROL) != 0;
    CRect rect;
    m_pBar->GetWindowRect(&rect);
    m_ptLast = screen;
    // The outlines the bar would have in each place, from where it is now.
    CSize horz, vert, floating;
    if (m_pBar->m_dwStyle & CBRS_SIZE_DYNAMIC) {
        horz = m_pBar->CalcDynamicLayout(0, LM_HORZ | LM_HORZDOCK);
        vert = m_pBar->CalcDynamicLayout(0, LM_VERTDOCK);
        floating = m_pBar->CalcDynamicLayout(0, LM_HORZ | LM_MRUWIDTH);
    } else {
        horz = floating = m_pBar->CalcFixedLayout(FALSE, TRUE);
        vert = m_pBar->CalcFixedLayout(FALSE, FALSE);
    }
    m_rectDragHorz = CRect(rect.TopLeft(), horz);
    m_rectDragVert = CRect(rect.TopLeft(), vert);
    CRect client(rect.TopLeft(), floating);
    client.DeflateRect(AFX_CX_BORDER2, AFX_CX_BORDER2);
    ::AdjustWindowRectEx(&client, CMiniDockFrameWnd::FrameStyle(m_pBar->m_dwStyle), FALSE,
                         CMiniDockFrameWnd::kFrameExStyle);
    m_rectFrameDragHorz = client;
    KeepUnder(m_rectDragHorz, screen);
    KeepUnder(m_rectDragVert, screen);
    KeepUnder(m_rectFrameDragHorz, screen);
    m_dwOverDockStyle = m_bForceFrame ? 0 : CanDock();
    DrawDragFrame(m_dwOverDockStyle & CBRS_ORIENT_VERT   ? &m_rectDragVert
                  : m_dwOverDockStyle                     ? &m_rectDragHorz
                                                          : &m_rectFrameDragHorz);
    Track();
}

void CDockContext::StartResize(int hitTest, CPoint screen) {
    CFrameWnd* frame = m_pBar->GetDockingFrame();
    if (!frame || !m_pBar->IsFloating()) return;
    m_bDragging = FALSE;
    m_nHitTest = hitTest;
    frame->GetWindowRect(&m_rectRequestedSize);
    m_rectActualSize = m_rectRequestedSize;
    m_ptLast = screen;
    DrawDragFrame(&m_rectActualSize);
    Track();
}

BOOL CDockContext::Track() {
    if (::GetCapture()) {
        CancelLoop();
        return FALSE;
    }
    const HWND bar = m_pBar->m_hWnd;
    ::SetCapture(bar);
    while (::GetCapture() == bar) {
        MSG msg;
        if (!::GetMessageW(&msg, nullptr, 0, 0)) {
            ::PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        switch (msg.message) {
        case WM_LBUTTONUP:
        case WM_NCLBUTTONUP:
            if (m_bDragging) {
                if (msg.message == WM_LBUTTONUP) m_bForceFrame = (msg.wParam & MK_CONTROL) != 0;
                Move(MessagePoint(msg));
                EndDrag();
            } else {
                Stretch(MessagePoint(msg));
                EndResize();
            }
            return TRUE;
        case WM_MOUSEMOVE:
        case WM_NCMOUSEMOVE:
            if (m_bDragging) {
                if (msg.message == WM_MOUSEMOVE) m_bForceFrame = (msg.wParam & MK_CONTROL) != 0;
                Move(MessagePoint(msg));
            } else {
                Stretch(MessagePoint(msg));
            }
            break;
        case WM_KEYDOWN:
        case WM_KEYUP:
            if (msg.wParam == VK_ESCAPE && msg.message == WM_KEYDOWN) {
                CancelLoop();
                return FALSE;
            }
            if (msg.wParam == VK_CONTROL && m_bDragging) {
                m_bForceFrame = msg.message == WM_KEYDOWN;
                Move(m_ptLast);
            }
            break;
        case WM_RBUTTONDOWN:
            CancelLoop();
            return FALSE;
        default:
            ::DispatchMessageW(&msg);
            break;
        }
    }
    CancelLoop();
    return FALSE;
}

DWORD CDockContext::CanDock() {
    const DWORD style = m_pBar->m_dwDockStyle;
    if (DWORD over = m_pDockSite->CanDock(m_rectDragHorz, style & CBRS_ORIENT_HORZ)) return over;
    return m_pDockSite->CanDock(m_rectDragVert, style & CBRS_ORIENT_VERT);
}

void CDockContext::Move(CPoint screen) {
    const CSize delta = screen - m_ptLast;
    m_ptLast = screen;
    m_rectDragHorz.OffsetRect(delta.cx, delta.cy);
    m_rectDragVert.OffsetRect(delta.cx, delta.cy);
    m_rectFrameDragHorz.OffsetRect(delta.cx, delta.cy);
    m_dwOverDockStyle = m_bForceFrame ? 0 : CanDock();
    DrawDragFrame(m_dwOverDockStyle & CBRS_ORIENT_VERT ? &m_rectDragVert
                  : m_dwOverDockStyle                   ? &m_rectDragHorz
                                                        : &m_rectFrameDragHorz);
}

void CDockContext::EndDrag() {
    CancelLoop();
    if (m_dwOverDockStyle) {
        CDockBar* dock = nullptr;
        const bool vert = (m_dwOverDockStyle & CBRS_ORIENT_VERT) != 0;
        CRect rect = vert ? m_rectDragVert : m_rectDragHorz;
        m_pDockSite->CanDock(rect, m_dwOverDockStyle, &dock);
        if (!dock) return;
        m_uMRUDockID = static_cast<UINT>(dock->GetDlgCtrlID());
        m_pDockSite->DockControlBar(m_pBar, dock, &rect);
        m_pDockSite->RecalcLayout();
    } else {
        m_ptMRUFloatPos = m_rectFrameDragHorz.TopLeft();
        m_pDockSite->FloatControlBar(m_pBar, m_ptMRUFloatPos,
                                     CBRS_ALIGN_TOP | (m_pBar->m_dwDockStyle & CBRS_FLOAT_MULTI));
    }
}

void CDockContext::Stretch(CPoint screen) {
    const CSize delta = screen - m_ptLast;
    m_ptLast = screen;
    CRect& r = m_rectRequestedSize;
    const int hit = m_nHitTest;
    const bool left = hit == HTLEFT || hit == HTTOPLEFT || hit == HTBOTTOMLEFT;
    const bool right = hit == HTRIGHT || hit == HTTOPRIGHT || hit == HTBOTTOMRIGHT;
    const bool top = hit == HTTOP, bottom = hit == HTBOTTOM;
    if (left) r.left += delta.cx;
    if (right) r.right += delta.cx;
    if (top) r.top += delta.cy;
    if (bottom) r.bottom += delta.cy;
    // The bar answers with the size it takes for that length; the outline
    // follows it, the edge not dragged staying where it is.
    const CSize extra = FloatingFrameExtra();
    const DWORD mode = LM_HORZ | ((top || bottom) ? LM_LENGTHY : 0);
    const int length = (top || bottom) ? r.Height() - extra.cy : r.Width() - extra.cx;
    const CSize size = m_pBar->CalcDynamicLayout(length > 0 ? length : 0, mode) + extra;
    CRect actual = m_rectActualSize;
    actual.right = left ? actual.right : actual.left + size.cx;
    actual.left = left ? actual.right - size.cx : actual.left;
    actual.bottom = top ? actual.bottom : actual.top + size.cy;
    actual.top = top ? actual.bottom - size.cy : actual.top;
    m_rectActualSize = actual;
    DrawDragFrame(&m_rectActualSize);
}

void CDockContext::EndResize() {
    CancelLoop();
    const CSize extra = FloatingFrameExtra();
    const bool vertical = m_nHitTest == HTTOP || m_nHitTest == HTBOTTOM;
    const int length = vertical ? m_rectActualSize.Height() - extra.cy : m_rectActualSize.Width() - extra.cx;
    m_pBar->CalcDynamicLayout(length, LM_HORZ | LM_COMMIT | (vertical ? LM_LENGTHY : 0));
    CFrameWnd* frame = m_pBar->GetDockingFrame();
    if (!frame) return;
    frame->SetWindowPos(nullptr, m_rectActualSize.left, m_rectActualSize.top, 0, 0,
                        SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    frame->RecalcLayout();
}

void CDockContext::CancelLoop() {
    DrawDragFrame(nullptr);
    if (::GetCapture() == m_pBar->m_hWnd) ::ReleaseCapture();
}

void CDockContext::ToggleDocking() {
    if (!m_pDockSite) m_pDockSite = m_pBar->m_pDockSite;
    if (!m_pDockSite) return;
    if (m_pBar->IsFloating()) {
        if (!(m_pBar->m_dwDockStyle & CBRS_ALIGN_ANY)) return;
        // Back where it was docked last.
        CDockBar* dock = m_uMRUDockID ? static_cast<CDockBar*>(m_pDockSite->GetControlBar(m_uMRUDockID)) : nullptr;
        CRect rect = m_rectMRUDockPos;
        if (dock) dock->ClientToScreen(&rect);
        m_pDockSite->DockControlBar(m_pBar, dock, dock ? &rect : nullptr);
        m_pDockSite->RecalcLayout();
    } else {
        // Where it floated last, else where it is.
        if (m_pBar->m_pDockBar) m_uMRUDockID = static_cast<UINT>(m_pBar->m_pDockBar->GetDlgCtrlID());
        CPoint point = m_ptMRUFloatPos;
        if (point.x < 0 || point.y < 0) {
            CRect rect;
            m_pBar->GetWindowRect(&rect);
            point = rect.TopLeft();
        }
        m_pDockSite->FloatControlBar(m_pBar, point, m_dwMRUFloatStyle);
    }
}

void CDockContext::DrawDragFrame(const CRect* rect) {
    // An outline inverted on the screen: drawing it again takes it away.
    HDC screen = ::GetDC(nullptr);
    HGDIOBJ old = ::SelectObject(screen, ::GetStockObject(GRAY_BRUSH));
    auto invert = [screen](const CRect& r) {
        const int t = 3;
        ::PatBlt(screen, r.left, r.top, r.Width(), t, PATINVERT);
        ::PatBlt(screen, r.left, r.bottom - t, r.Width(), t, PATINVERT);
        ::PatBlt(screen, r.left, r.top + t, t, r.Height() - 2 * t, PATINVERT);
        ::PatBlt(screen, r.right - t, r.top + t, t, r.Height() - 2 * t, PATINVERT);
    };
    if (m_bShown) invert(m_rectShown);
    m_bShown = rect != nullptr;
    if (rect) invert(m_rectShown = *rect);
    ::SelectObject(screen, old);
    ::ReleaseDC(nullptr, screen);
}
