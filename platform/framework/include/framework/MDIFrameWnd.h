// CMDIFrameWnd: a frame whose pane is an MDI client window, in the area the
// control bars leave over. Managing MDI children is left out.
#pragma once

#include "FrameWnd.h"

#define AFX_IDM_FIRST_MDICHILD 0xFF00

class FW_API CMDIFrameWnd : public CFrameWnd {
public:
    DECLARE_DYNCREATE(CMDIFrameWnd)

    // Creates the MDI client (from WM_CREATE); `windowMenu` gets the list of
    // children. FALSE when it cannot be created, which fails the frame's creation.
    virtual BOOL CreateClient(LPCREATESTRUCT cs, CMenu* windowMenu);
    BOOL PreTranslateMessage(MSG* msg) override;

    HWND m_hWndMDIClient = nullptr;

protected:
    LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    int OnCreate(LPCREATESTRUCT cs);

    DECLARE_MESSAGE_MAP()
};
