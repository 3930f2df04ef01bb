// Floating frames: CMiniFrameWnd, a small-caption tool window owned by its
// frame, and CMiniDockFrameWnd, which holds floating control bars in a dock
// bar of its own and sizes itself to them. Its caption drags the bar (to
// dock it), its edges size it, and a double-click on the caption docks it
// again; closing it hides its bars.
#pragma once

#include "DockBar.h"
#include "FrameWnd.h"

class FW_API CMiniFrameWnd : public CFrameWnd {
public:
    DECLARE_DYNCREATE(CMiniFrameWnd)
    BOOL Create(LPCWSTR className, LPCWSTR windowName, DWORD style, const RECT& rect,
                CWnd* owner = nullptr);
};

class FW_API CMiniDockFrameWnd : public CMiniFrameWnd {
public:
    DECLARE_DYNCREATE(CMiniDockFrameWnd)
    CMiniDockFrameWnd();

    // Styles of a floating frame for bars of `barStyle`.
    static DWORD FrameStyle(DWORD barStyle);
    static const DWORD kFrameExStyle = WS_EX_TOOLWINDOW;

    virtual BOOL Create(CWnd* dockSite, DWORD barStyle);
    void RecalcLayout(BOOL notify = TRUE) override;

    CDockBar m_wndDockBar;

protected:
    CControlBar* SoleBar() const; // the bar that caption and edges act on
    void OnNcLButtonDown(UINT hitTest, CPoint point);
    void OnNcLButtonDblClk(UINT hitTest, CPoint point);
    void OnClose();

    DECLARE_MESSAGE_MAP()
};
