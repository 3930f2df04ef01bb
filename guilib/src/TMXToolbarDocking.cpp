// TMXToolbar::FrameEnableDocking: a frame's dock bars become CDockBarEx.
#include "TMXToolbar.h"

namespace {
// The sides in the z-order their dock bars take the frame's edges.
const struct {
    DWORD align;
    UINT id;
    DWORD style;
} kSides[] = {
    {CBRS_ALIGN_TOP, AFX_IDW_DOCKBAR_TOP, CBRS_ALIGN_TOP | CBRS_BORDER_BOTTOM},
    {CBRS_ALIGN_BOTTOM, AFX_IDW_DOCKBAR_BOTTOM, CBRS_ALIGN_BOTTOM | CBRS_BORDER_TOP},
    {CBRS_ALIGN_LEFT, AFX_IDW_DOCKBAR_LEFT, CBRS_ALIGN_LEFT | CBRS_BORDER_RIGHT},
    {CBRS_ALIGN_RIGHT, AFX_IDW_DOCKBAR_RIGHT, CBRS_ALIGN_RIGHT | CBRS_BORDER_LEFT},
};
constexpr DWORD kDockBarStyle = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;

// Hands the rows of `from` with their bars to `to`, leaving `from` empty.
void MoveDockedBars(CDockBar* from, CDockBarEx* to) {
    to->m_arrBars.RemoveAll();
    for (INT_PTR pos = 0; pos < from->m_arrBars.GetSize(); ++pos) {
        to->m_arrBars.Add(from->m_arrBars[pos]);
        if (CControlBar* bar = from->GetDockedControlBar(static_cast<int>(pos))) {
            bar->SetParent(to);
            bar->m_pDockBar = to;
        }
    }
    from->m_arrBars.RemoveAll();
    from->m_arrBars.Add(nullptr);
}
} // namespace

void TMXToolbar::FrameEnableDocking(CFrameWnd* frame, DWORD dockStyle) {
    if (!frame || !frame->m_hWnd) return;
    frame->EnableDocking(dockStyle);
    bool changed = false;
    for (const auto& side : kSides) {
        if (!(dockStyle & side.align)) continue;
        CControlBar* old = frame->GetControlBar(side.id);
        if (old && old->IsKindOf(RUNTIME_CLASS(CDockBarEx))) continue;
        // The new one first: if it cannot be made, the old one keeps its bars.
        auto* dock = new CDockBarEx;
        dock->m_bAutoDelete = TRUE;
        if (!dock->Create(frame, kDockBarStyle | side.style, side.id)) {
            if (dock->m_hWnd)
                dock->DestroyWindow();
            else
                delete dock;
            continue;
        }
        changed = true;
        if (!old) continue;
        // In the old one's place: just after it in the z-order and in the
        // frame's list of bars, which it leaves as it goes.
        dock->SetWindowPos(old, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        frame->RemoveControlBar(dock);
        if (POSITION pos = frame->m_listControlBars.Find(old))
            frame->m_listControlBars.InsertAfter(pos, dock);
        else
            frame->AddControlBar(dock);
        if (old->IsDockBar()) MoveDockedBars(static_cast<CDockBar*>(old), dock);
        frame->RemoveControlBar(old);
        const BOOL autoDelete = old->m_bAutoDelete;
        old->DestroyWindow();
        if (!autoDelete) delete old;
    }
    if (changed) frame->RecalcLayout();
}
