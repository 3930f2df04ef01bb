// CFrameWnd: a top-level window that lays out control bars along its edges
// and routes commands from its windows to itself and on to the application.
// There is no document/view: the area the bars leave over belongs to the
// child with id AFX_IDW_PANE_FIRST, if any.
//
// A frame deletes itself after its window is destroyed (create it with new).
#pragma once

#include "Collections.h"
#include "ControlBar.h"
#include "Wnd.h"

class CMiniDockFrameWnd;

class FW_API CFrameWnd : public CWnd {
public:
    DECLARE_DYNCREATE(CFrameWnd)
    CFrameWnd();
    ~CFrameWnd() override;

    static const CRect rectDefault; // the system's default place and size

    // Creates the window with an optional menu resource (through the
    // resource chain). FALSE and no window on failure.
    BOOL Create(LPCWSTR className, LPCWSTR windowName, DWORD style = WS_OVERLAPPEDWINDOW,
                const RECT& rect = rectDefault, CWnd* parent = nullptr,
                LPCWSTR menuName = nullptr, DWORD exStyle = 0);
    // Creates the window from resources with id `idResource`: its title
    // (the string's text up to the first line feed), menu, accelerators and
    // icon, each when it exists.
    virtual BOOL LoadFrame(UINT idResource, DWORD defaultStyle = WS_OVERLAPPEDWINDOW,
                           CWnd* parent = nullptr);

    // Layout: the bars take their edges, the pane the rest (RepositionBars).
    virtual void RecalcLayout(BOOL notify = TRUE);
    // Asks for a layout at the next idle time (bars shown or docked meanwhile
    // are laid out once).
    void DelayRecalcLayout(BOOL notify = TRUE);

    // Control bars whose dock site this frame is.
    CPtrList m_listControlBars;
    void AddControlBar(CControlBar* bar);
    void RemoveControlBar(CControlBar* bar);

    // Docking. EnableDocking gives the frame a dock bar on each side named
    // (CBRS_ALIGN_*), top, bottom, left, right in that z-order; FALSE when
    // one cannot be created.
    BOOL EnableDocking(DWORD dockStyle);
    // Docks `bar` on the dock bar with that id (0: the first side the bar
    // allows), at `rect` (screen) if given, which picks the row and place.
    void DockControlBar(CControlBar* bar, UINT dockBarId = 0, LPCRECT rect = nullptr);
    void DockControlBar(CControlBar* bar, CDockBar* dockBar, LPCRECT rect = nullptr);
    // Floats `bar` in a frame of its own at `point` (screen); a bar alone in
    // its floating frame moves with it. Nothing changes when no frame can be made.
    void FloatControlBar(CControlBar* bar, CPoint point, DWORD style = CBRS_ALIGN_TOP);
    void ShowControlBar(CControlBar* bar, BOOL show, BOOL delay);
    CControlBar* GetControlBar(UINT id);
    // The dock bar whose area `rect` (screen) touches among those `dockStyle`
    // allows: its alignment, and the dock bar through `dockBar`; 0 when none.
    DWORD CanDock(CRect rect, DWORD dockStyle, CDockBar** dockBar = nullptr);
    virtual CMiniDockFrameWnd* CreateFloatingFrame(DWORD style);
    CRuntimeClass* m_pFloatingFrameClass = nullptr;

    // The View menu's bar items: the command id is the bar's id.
    BOOL OnBarCheck(UINT id);
    void OnUpdateControlBarMenu(CCmdUI* ui);

    // Command routing: this frame's map, then the application's.
    BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) override;
    BOOL PreTranslateMessage(MSG* msg) override;

    BOOL m_bAutoMenuEnable = TRUE; // menu items without a handler are disabled
    HACCEL m_hAccelTable = nullptr;
    CRect m_rectBorder;            // extra margins around the pane
    enum IdleFlags { idleMenu = 1, idleTitle = 2, idleNotify = 4, idleLayout = 8 };
    UINT m_nIdleFlags = 0;
    BOOL m_bInRecalcLayout = FALSE;

protected:
    BOOL PreCreateWindow(CREATESTRUCT& cs) override;
    void PostNcDestroy() override; // deletes the object
    void OnSize(UINT type, int cx, int cy);
    void OnDestroy();
    void OnSysColorChange();
    void OnSettingChange(UINT flags, LPCWSTR section);
    void OnInitMenuPopup(CMenu* popup, UINT index, BOOL sysMenu);
    LRESULT OnIdleUpdateCmdUI(WPARAM wParam, LPARAM lParam);

    DECLARE_MESSAGE_MAP()
};
