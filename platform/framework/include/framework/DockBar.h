// CDockBar: the bar along one edge of a frame (or inside a floating frame)
// that holds docked control bars in rows. m_arrBars lists the rows, each
// ended by a null, after a leading null: {null, a, b, null, c, null}.
//
// Layout walks the rows once: each bar goes after its neighbour, overlapping
// it by GetBarOverlap pixels (its border), or further on where it was put;
// a bar that runs off the end is pushed back inside, and one that would
// start beyond the end opens a new row. A dock bar that packs its bars
// differently overrides only GetBarOverlap.
#pragma once

#include "Array.h"
#include "ControlBar.h"

class FW_API CDockBar : public CControlBar {
public:
    DECLARE_DYNAMIC(CDockBar)
    explicit CDockBar(BOOL floating = FALSE);

    // FALSE and no window when it cannot be created. The dock bar belongs to
    // `parent`'s frame even when it is moved into a floating frame.
    BOOL Create(CWnd* parent, DWORD style, UINT id);

    // Docks `bar` here: at `rect` (screen) when given, which picks the row
    // and the place in it, else in a new last row. The frame lays it out at
    // its next layout.
    void DockControlBar(CControlBar* bar, LPCRECT rect = nullptr);
    // Takes `bar` out (a row left empty goes too). A floating dock bar left
    // empty hides its frame and leaves it to the bar's next float (destroys
    // it for a bar that cannot dock); left with only hidden bars, hides it.
    BOOL RemoveControlBar(CControlBar* bar, int posExclude = -1);

    CControlBar* GetDockedControlBar(int pos) const {
        return static_cast<CControlBar*>(m_arrBars[pos]);
    }
    int GetDockedCount() const;
    int GetDockedVisibleCount() const;
    int GetCount() const override { return GetDockedCount(); }
    BOOL IsDockBar() const override { return TRUE; }

    CSize CalcFixedLayout(BOOL stretch, BOOL horz) override;
    void OnUpdateCmdUI(CFrameWnd*, BOOL) override {}

    BOOL m_bFloating;
    CPtrArray m_arrBars;
    BOOL m_bLayoutQuery = FALSE; // measure without moving anything
    CRect m_rectLayout;          // the extent to lay out in (empty: the frame's client area)

    // Pixels a bar overlaps its neighbours and the dock bar's edges: its
    // own border, hidden under them.
    virtual int GetBarOverlap(CControlBar* bar) const;

protected:
    // The index for `bar` at `rect` (client): the row under `mid`, ordered by place.
    int Insert(CControlBar* bar, const CRect& rect, CPoint mid);
    int FindBar(CControlBar* bar, int posExclude = -1) const;
    void OnDestroy();

    BOOL m_bDestroying = FALSE;

    DECLARE_MESSAGE_MAP()
};
