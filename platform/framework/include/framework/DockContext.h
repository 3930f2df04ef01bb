// CDockContext: a control bar's dragging and docking state. StartDrag runs
// a loop that moves a drag frame with the mouse and, at the button's
// release, docks the bar at the dock bar under it or floats it there;
// Escape or the right button cancels, Ctrl held down keeps it floating.
// StartResize sizes a floating bar by its frame's edge, ToggleDocking
// (a double-click) docks a floating bar where it was docked last, or floats
// a docked one where it floated last.
//
// The loop takes the mouse's position from each message itself (not from
// the cursor), so that a drag made of posted messages behaves as one made
// by the hand.
#pragma once

#include "ControlBar.h"

class FW_API CDockContext {
public:
    explicit CDockContext(CControlBar* bar);
    virtual ~CDockContext();
    CDockContext(const CDockContext&) = delete;
    CDockContext& operator=(const CDockContext&) = delete;

    virtual void StartDrag(CPoint screen, UINT keys = 0);
    virtual void StartResize(int hitTest, CPoint screen);
    virtual void ToggleDocking();

    CControlBar* m_pBar;
    CFrameWnd* m_pDockSite;
    CRect m_rectMRUDockPos;   // where it was docked last (client of that dock bar)
    UINT m_uMRUDockID = 0;    // that dock bar's id
    CPoint m_ptMRUFloatPos{-1, -1};
    // The floating frame the bar left when it was docked, kept hidden so
    // that floating it again takes no new windows.
    HWND m_hWndMRUFloatFrame = nullptr;
    DWORD m_dwMRUFloatStyle = CBRS_ALIGN_TOP;

    // While tracking: the bar's outline docked horizontally, vertically, and
    // its floating frame's, all in screen coordinates.
    CRect m_rectDragHorz, m_rectDragVert, m_rectFrameDragHorz;
    CRect m_rectRequestedSize, m_rectActualSize; // resizing
    CPoint m_ptLast;
    BOOL m_bDragging = FALSE;
    BOOL m_bForceFrame = FALSE; // Ctrl: no docking
    DWORD m_dwOverDockStyle = 0;
    int m_nHitTest = 0;

protected:
    BOOL Track();
    void Move(CPoint screen);
    void Stretch(CPoint screen);
    void EndDrag();
    void EndResize();
    void CancelLoop();
    DWORD CanDock();
    // Inverts the outline shown (erasing the previous one); null erases it.
    void DrawDragFrame(const CRect* rect);
    // The frame length that holds a bar `barLength` long, and back.
    CSize FloatingFrameExtra() const;

    CRect m_rectShown;
    BOOL m_bShown = FALSE;
};
