// A frame's docking: its dock bars, docking and floating bars, showing and
// hiding them, and the View menu's bar items.
#include "Internal.h"

namespace {
// The sides, in the z-order their dock bars take the frame's edges.
const struct {
    DWORD align;
    UINT id;
    DWORD style;
} kSides[] = {
    {CBRS_ALIGN_TOP, AFX_IDW_DOCKBAR_TOP, CBRS_TOP},
    {CBRS_ALIGN_BOTTOM, AFX_IDW_DOCKBAR_BOTTOM, CBRS_BOTTOM},
    {CBRS_ALIGN_LEFT, AFX_IDW_DOCKBAR_LEFT, CBRS_LEFT},
    {CBRS_ALIGN_RIGHT, AFX_IDW_DOCKBAR_RIGHT, CBRS_RIGHT},
};
} // namespace

BOOL CFrameWnd::EnableDocking(DWORD dockStyle) {
    m_pFloatingFrameClass = RUNTIME_CLASS(CMiniDockFrameWnd);
    for (const auto& side : kSides) {
        if (!(dockStyle & side.align) || GetControlBar(side.id)) continue;
        auto* dock = new CDockBar;
        dock->m_bAutoDelete = TRUE;
        if (!dock->Create(this, WS_CLIPSIBLINGS | WS_CLIPCHILDREN | WS_CHILD | WS_VISIBLE | side.style,
                          side.id)) {
            delete dock;
            return FALSE;
        }
    }
    return TRUE;
}

CControlBar* CFrameWnd::GetControlBar(UINT id) {
    for (POSITION pos = m_listControlBars.GetHeadPosition(); pos;) {
        auto* bar = static_cast<CControlBar*>(m_listControlBars.GetNext(pos));
        if (bar->m_hWnd && static_cast<UINT>(bar->GetDlgCtrlID()) == id) return bar;
    }
    return nullptr;
}

DWORD CFrameWnd::CanDock(CRect rect, DWORD dockStyle, CDockBar** dockBar) {
    for (POSITION pos = m_listControlBars.GetHeadPosition(); pos;) {
        auto* bar = static_cast<CControlBar*>(m_listControlBars.GetNext(pos));
        if (!bar->IsDockBar() || !bar->IsWindowVisible()) continue;
        auto* dock = static_cast<CDockBar*>(bar);
        if (dock->m_bFloating || !(dock->m_dwStyle & dockStyle & CBRS_ALIGN_ANY)) continue;
        // An empty dock bar has no extent: its edge of the frame still counts.
        CRect area;
        dock->GetWindowRect(&area);
        if (area.Width() == 0) area.right++;
        if (area.Height() == 0) area.bottom++;
        if (area.IntersectRect(&area, &rect)) {
            if (dockBar) *dockBar = dock;
            return dock->m_dwStyle & dockStyle;
        }
    }
    return 0;
}

void CFrameWnd::DockControlBar(CControlBar* bar, UINT dockBarId, LPCRECT rect) {
    CControlBar* dock = dockBarId ? GetControlBar(dockBarId) : nullptr;
    DockControlBar(bar, dock && dock->IsDockBar() ? static_cast<CDockBar*>(dock) : nullptr, rect);
}

void CFrameWnd::DockControlBar(CControlBar* bar, CDockBar* dockBar, LPCRECT rect) {
    if (!bar) return;
    if (!dockBar && rect) CanDock(*rect, bar->m_dwDockStyle, &dockBar);
    for (const auto& side : kSides) {
        if (dockBar) break;
        if (bar->m_dwDockStyle & side.align) {
            CControlBar* dock = GetControlBar(side.id);
            if (dock && dock->IsDockBar()) dockBar = static_cast<CDockBar*>(dock);
        }
    }
    if (dockBar) dockBar->DockControlBar(bar, rect);
}

CMiniDockFrameWnd* CFrameWnd::CreateFloatingFrame(DWORD style) {
    CRuntimeClass* cls = m_pFloatingFrameClass ? m_pFloatingFrameClass : RUNTIME_CLASS(CMiniDockFrameWnd);
    CObject* object = cls->CreateObject();
    if (!object || !object->IsKindOf(RUNTIME_CLASS(CMiniDockFrameWnd))) {
        delete object;
        return nullptr;
    }
    auto* frame = static_cast<CMiniDockFrameWnd*>(object);
    if (!frame->Create(this, style)) {
        if (frame->m_hWnd) frame->DestroyWindow(); // deletes itself
        else delete frame;
        return nullptr;
    }
    return frame;
}

void CFrameWnd::FloatControlBar(CControlBar* bar, CPoint point, DWORD style) {
    if (!bar || !bar->m_hWnd) return;
    CDockBar* current = bar->m_pDockBar;
    if (current && current->m_bFloating && current->GetDockedCount() == 1) {
        // Alone in its floating frame: the frame moves.
        CFrameWnd* frame = current->GetParentFrame();
        frame->SetWindowPos(nullptr, point.x, point.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        frame->RecalcLayout();
        return;
    }
    // The frame it floated in last, if it is still there and empty; else a new one.
    CMiniDockFrameWnd* frame = nullptr;
    if (CDockContext* context = bar->m_pDockContext) {
        CWnd* last = CWnd::FromHandlePermanent(context->m_hWndMRUFloatFrame);
        context->m_hWndMRUFloatFrame = nullptr;
        if (last && last->IsKindOf(RUNTIME_CLASS(CMiniDockFrameWnd)) &&
            static_cast<CMiniDockFrameWnd*>(last)->m_wndDockBar.GetDockedCount() == 0)
            frame = static_cast<CMiniDockFrameWnd*>(last);
    }
    if (!frame)
        frame = CreateFloatingFrame(bar->m_dwStyle & CBRS_SIZE_DYNAMIC ? style | CBRS_SIZE_DYNAMIC
                                                                       : style);
    if (!frame) return;
    frame->SetWindowPos(nullptr, point.x, point.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    frame->m_wndDockBar.DockControlBar(bar);
    frame->RecalcLayout();
    if (bar->GetStyle() & WS_VISIBLE) {
        frame->ShowWindow(SW_SHOWNA);
        frame->UpdateWindow();
    }
    RecalcLayout();
}

void CFrameWnd::ShowControlBar(CControlBar* bar, BOOL show, BOOL delay) {
    if (!bar || !bar->m_hWnd) return;
    CFrameWnd* frame = bar->GetDockingFrame();
    if (delay) {
        bar->DelayShow(show);
    } else {
        bar->m_nStateFlags &= ~(CControlBar::delayShow | CControlBar::delayHide);
        bar->SetWindowPos(nullptr, 0, 0, 0, 0,
                          SWP_NOZORDER | SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE |
                              (show ? SWP_SHOWWINDOW : SWP_HIDEWINDOW));
    }
    if (bar->IsFloating() && frame && frame != this) {
        // A floating frame shows while one of its bars does.
        const int visible = bar->m_pDockBar->GetDockedVisibleCount();
        if (visible == 0)
            frame->ShowWindow(SW_HIDE);
        else {
            frame->RecalcLayout();
            frame->ShowWindow(SW_SHOWNA);
        }
    } else if (!delay) {
        RecalcLayout();
    }
}

BOOL CFrameWnd::OnBarCheck(UINT id) {
    CControlBar* bar = GetControlBar(id);
    if (!bar) return FALSE;
    ShowControlBar(bar, !(bar->GetStyle() & WS_VISIBLE), FALSE);
    return TRUE;
}

void CFrameWnd::OnUpdateControlBarMenu(CCmdUI* ui) {
    CControlBar* bar = GetControlBar(ui->m_nID);
    if (!bar) {
        ui->ContinueRouting(); // not a bar of this frame
        return;
    }
    ui->SetCheck((bar->GetStyle() & WS_VISIBLE) != 0);
}
