// CControlBar: a bar along an edge of a frame (toolbar, dock bar) or
// floating in a frame of its own. The bar's borders and gripper are its
// non-client area; in the frame's layout (WM_SIZEPARENT) it takes the size
// its CalcDynamicLayout asks for. Notifications of its children go on to
// its owner (the frame), which keeps its commands while the bar moves
// between dock bars and floating frames.
#pragma once

#include "Wnd.h"

class CDockContext;

// Bar styles (m_dwStyle): where it docks, which borders it draws, how it sizes.
#define CBRS_ALIGN_LEFT 0x1000L
#define CBRS_ALIGN_TOP 0x2000L
#define CBRS_ALIGN_RIGHT 0x4000L
#define CBRS_ALIGN_BOTTOM 0x8000L
#define CBRS_ALIGN_ANY 0xF000L
#define CBRS_BORDER_LEFT 0x0100L
#define CBRS_BORDER_TOP 0x0200L
#define CBRS_BORDER_RIGHT 0x0400L
#define CBRS_BORDER_BOTTOM 0x0800L
#define CBRS_BORDER_ANY 0x0F00L
#define CBRS_TOOLTIPS 0x0010L
#define CBRS_FLYBY 0x0020L
#define CBRS_FLOAT_MULTI 0x0040L
#define CBRS_BORDER_3D 0x0080L
#define CBRS_HIDE_INPLACE 0x0008L
#define CBRS_SIZE_DYNAMIC 0x0004L
#define CBRS_SIZE_FIXED 0x0002L
#define CBRS_FLOATING 0x0001L
#define CBRS_GRIPPER 0x00400000L
#define CBRS_ORIENT_HORZ (CBRS_ALIGN_TOP | CBRS_ALIGN_BOTTOM)
#define CBRS_ORIENT_VERT (CBRS_ALIGN_LEFT | CBRS_ALIGN_RIGHT)
#define CBRS_ORIENT_ANY (CBRS_ORIENT_HORZ | CBRS_ORIENT_VERT)
#define CBRS_ALL 0x0040FFFFL
#define CBRS_NOALIGN 0x00000000L
#define CBRS_LEFT (CBRS_ALIGN_LEFT | CBRS_BORDER_RIGHT)
#define CBRS_TOP (CBRS_ALIGN_TOP | CBRS_BORDER_BOTTOM)
#define CBRS_RIGHT (CBRS_ALIGN_RIGHT | CBRS_BORDER_LEFT)
#define CBRS_BOTTOM (CBRS_ALIGN_BOTTOM | CBRS_BORDER_TOP)

// Layout modes of CalcDynamicLayout.
#define LM_STRETCH 0x01  // stretch to the frame's width or height
#define LM_HORZ 0x02     // horizontal, else vertical
#define LM_MRUWIDTH 0x04 // the most recently used width of a floating bar
#define LM_HORZDOCK 0x08 // docked at the top or bottom
#define LM_VERTDOCK 0x10 // docked at the left or right
#define LM_LENGTHY 0x20  // the length given is a height, else a width
#define LM_COMMIT 0x40   // remember the result (wrap states, MRU width)

// Pixels of the border lines and of the gripper with its margins.
#define AFX_CX_BORDER2 2
#define AFX_CX_GRIPPER 3
#define AFX_CX_BORDER_GRIPPER 2

class FW_API CControlBar : public CWnd {
public:
    DECLARE_DYNAMIC(CControlBar)
    CControlBar();
    ~CControlBar() override;

    // Styles and borders (the margins inside the border lines).
    DWORD GetBarStyle() const { return m_dwStyle; }
    virtual void SetBarStyle(DWORD style);
    void SetBorders(int cxLeft = 0, int cyTop = 0, int cxRight = 0, int cyBottom = 0);
    void SetBorders(LPCRECT rect) { SetBorders(rect->left, rect->top, rect->right, rect->bottom); }
    CRect GetBorders() const;

    // Docking: the sides (CBRS_ALIGN_*) this bar may dock at; gives it a
    // docking context, and makes the frame it belongs to now its owner.
    void EnableDocking(DWORD dockStyle);
    BOOL IsFloating() const;
    virtual BOOL IsDockBar() const { return FALSE; }
    // The frame the bar is in now: its dock site, or its floating frame.
    CFrameWnd* GetDockingFrame() const;
    // Visible, counting a pending DelayShow.
    BOOL IsVisible() const;
    // Number of bars docked in it (dock bars); 0 for other bars.
    virtual int GetCount() const { return 0; }

    // Layout: the size the bar wants, its borders and gripper included.
    virtual CSize CalcFixedLayout(BOOL stretch, BOOL horz);
    virtual CSize CalcDynamicLayout(int length, DWORD mode);
    // Shrinks `rect` by the borders and gripper for that orientation.
    virtual void CalcInsideRect(CRect& rect, BOOL horz) const;

    // Shows or hides the bar at the frame's next layout.
    void DelayShow(BOOL show);
    // Applies a pending DelayShow within a layout; the bar styles (CBRS_*)
    // and WS_VISIBLE as the layout is to use them.
    DWORD RecalcDelayShow(AFX_SIZEPARENTPARAMS* layout);

    // Updates the bar's items from the command-UI handlers `target` routes to.
    virtual void OnUpdateCmdUI(CFrameWnd* target, BOOL disableIfNoHandler) = 0;

    // Painting: client (DoPaint), borders and gripper (non-client).
    virtual void DoPaint(CDC* dc);
    virtual void DrawBorders(CDC* dc, CRect& rect);
    virtual void DrawGripper(CDC* dc, const CRect& rect);
    void EraseNonClient();
    // The window's rectangle and its client area, both in window coordinates.
    void GetNonClientRects(CRect& window, CRect& client) const;

    int m_cxLeftBorder = 6, m_cxRightBorder = 6;
    int m_cyTopBorder = 1, m_cyBottomBorder = 1;
    int m_cxDefaultGap = 2;
    UINT m_nMRUWidth = 32767; // the floating width a dynamic bar last had
    BOOL m_bAutoDelete = FALSE;
    DWORD m_dwStyle = 0;     // CBRS_* styles
    DWORD m_dwDockStyle = 0; // sides it may dock at, CBRS_FLOAT_MULTI
    CFrameWnd* m_pDockSite = nullptr;
    CDockBar* m_pDockBar = nullptr;
    CDockContext* m_pDockContext = nullptr;
    enum StateFlags { delayHide = 1, delayShow = 2, tempHide = 4 };
    UINT m_nStateFlags = 0;

protected:
    // Whether a client point is over one of the bar's items (a button):
    // a press there is the item's, elsewhere it starts a drag.
    virtual BOOL IsOverItem(CPoint point) const;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    void PostNcDestroy() override;

    int OnCreate(LPCREATESTRUCT cs);
    void OnDestroy();
    LRESULT OnSizeParent(WPARAM wParam, LPARAM lParam);
    LRESULT OnIdleUpdateCmdUI(WPARAM wParam, LPARAM lParam);
    LRESULT OnNcHitTest(CPoint point);
    void OnNcCalcSize(BOOL calcValidRects, NCCALCSIZE_PARAMS* params);
    void OnNcPaint();
    void OnPaint();
    LRESULT OnPrintClient(WPARAM wParam, LPARAM lParam);
    void OnLButtonDown(UINT flags, CPoint point);
    void OnLButtonDblClk(UINT flags, CPoint point);
    LRESULT OnWindowPosChanged(WPARAM wParam, LPARAM lParam);

    DECLARE_MESSAGE_MAP()
};
