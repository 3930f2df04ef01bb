// Frame windows: creation, layout of the bars, command routing, idle work
// and the forwarding of system changes to the frame's windows.
#include "Internal.h"

const CRect CFrameWnd::rectDefault(CW_USEDEFAULT, CW_USEDEFAULT, 0, 0);

BEGIN_MESSAGE_MAP(CFrameWnd, CWnd)
ON_WM_SIZE()
ON_WM_DESTROY()
ON_WM_SYSCOLORCHANGE()
ON_WM_SETTINGCHANGE()
ON_WM_INITMENUPOPUP()
ON_MESSAGE(WM_IDLEUPDATECMDUI, OnIdleUpdateCmdUI)
ON_UPDATE_COMMAND_UI_RANGE(AFX_IDW_CONTROLBAR_FIRST, AFX_IDW_CONTROLBAR_LAST, OnUpdateControlBarMenu)
ON_COMMAND_EX_RANGE(AFX_IDW_CONTROLBAR_FIRST, AFX_IDW_CONTROLBAR_LAST, OnBarCheck)
END_MESSAGE_MAP()

CFrameWnd::CFrameWnd() = default;

CFrameWnd::~CFrameWnd() {
    // Bars that outlive the frame must not reach back into it.
    for (POSITION pos = m_listControlBars.GetHeadPosition(); pos;)
        static_cast<CControlBar*>(m_listControlBars.GetNext(pos))->m_pDockSite = nullptr;
    if (m_hAccelTable) ::DestroyAcceleratorTable(m_hAccelTable);
}

BOOL CFrameWnd::PreCreateWindow(CREATESTRUCT& cs) {
    if (!cs.lpszClass)
        cs.lpszClass = AfxRegisterWndClass(CS_DBLCLKS, ::LoadCursorW(nullptr, IDC_ARROW),
                                           reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1));
    // Children that cover the client area paint themselves.
    cs.style |= WS_CLIPCHILDREN;
    return TRUE;
}

BOOL CFrameWnd::Create(LPCWSTR className, LPCWSTR windowName, DWORD style, const RECT& rect,
                       CWnd* parent, LPCWSTR menuName, DWORD exStyle) {
    HMENU menu = nullptr;
    if (menuName) {
        HINSTANCE instance = AfxFindResourceHandle(menuName, reinterpret_cast<LPCWSTR>(RT_MENU));
        menu = ::LoadMenuW(instance, menuName);
        if (!menu) return FALSE;
    }
    if (!CreateEx(exStyle, className, windowName, style, rect.left, rect.top,
                  rect.right - rect.left, rect.bottom - rect.top, AfxGetSafeHwnd(parent), menu)) {
        if (menu) ::DestroyMenu(menu);
        return FALSE;
    }
    return TRUE;
}

BOOL CFrameWnd::LoadFrame(UINT idResource, DWORD defaultStyle, CWnd* parent) {
    LPCWSTR name = MAKEINTRESOURCEW(idResource);
    CString title;
    title.LoadString(idResource);
    int lineFeed = title.Find(L'\n');
    if (lineFeed >= 0) title = title.Left(lineFeed);
    HINSTANCE iconModule = AfxFindResourceHandle(name, reinterpret_cast<LPCWSTR>(RT_GROUP_ICON));
    HICON icon = ::LoadIconW(iconModule, name);
    LPCWSTR className = AfxRegisterWndClass(CS_DBLCLKS, ::LoadCursorW(nullptr, IDC_ARROW),
                                            reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1), icon);
    HINSTANCE menuModule = AfxFindResourceHandle(name, reinterpret_cast<LPCWSTR>(RT_MENU));
    bool hasMenu = ::FindResourceW(menuModule, name, reinterpret_cast<LPCWSTR>(RT_MENU)) != nullptr;
    if (!Create(className, title, defaultStyle, rectDefault, parent, hasMenu ? name : nullptr))
        return FALSE;
    HINSTANCE accelModule = AfxFindResourceHandle(name, reinterpret_cast<LPCWSTR>(RT_ACCELERATOR));
    if (::FindResourceW(accelModule, name, reinterpret_cast<LPCWSTR>(RT_ACCELERATOR)))
        m_hAccelTable = ::LoadAcceleratorsW(accelModule, name);
    return TRUE;
}

void CFrameWnd::PostNcDestroy() {
    // The main window of a program ends its message loop as it goes.
    CWinApp* app = AfxGetApp();
    if (app && app->m_pMainWnd == this) {
        app->m_pMainWnd = nullptr;
        if (!AfxGetModuleState()->m_bDLL) ::PostQuitMessage(0);
    }
    delete this;
}

void CFrameWnd::AddControlBar(CControlBar* bar) {
    if (bar && !m_listControlBars.Find(bar)) m_listControlBars.AddTail(bar);
}

void CFrameWnd::RemoveControlBar(CControlBar* bar) {
    if (POSITION pos = m_listControlBars.Find(bar)) m_listControlBars.RemoveAt(pos);
}

void CFrameWnd::RecalcLayout(BOOL) {
    if (m_bInRecalcLayout || !m_hWnd) return;
    m_bInRecalcLayout = TRUE;
    m_nIdleFlags &= ~idleLayout;
    RepositionBars(0, 0xFFFF, AFX_IDW_PANE_FIRST, reposExtra, &m_rectBorder);
    m_bInRecalcLayout = FALSE;
}

void CFrameWnd::DelayRecalcLayout(BOOL) {
    m_nIdleFlags |= idleLayout;
}

BOOL CFrameWnd::OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) {
    if (CWnd::OnCmdMsg(nID, nCode, pExtra, pHandlerInfo)) return TRUE;
    CWinApp* app = AfxGetApp();
    return app && app->OnCmdMsg(nID, nCode, pExtra, pHandlerInfo);
}

BOOL CFrameWnd::PreTranslateMessage(MSG* msg) {
    if (CWnd::PreTranslateMessage(msg)) return TRUE;
    return m_hAccelTable && msg->message >= WM_KEYFIRST && msg->message <= WM_KEYLAST &&
           ::TranslateAcceleratorW(m_hWnd, m_hAccelTable, msg);
}

void CFrameWnd::OnSize(UINT type, int, int) {
    // Not the default: an MDI frame's would give its client the whole area.
    if (type != SIZE_MINIMIZED) RecalcLayout();
}

void CFrameWnd::OnDestroy() {
    // Floating bars live in frames of their own, owned by this one.
    HWND self = m_hWnd;
    for (POSITION pos = m_listControlBars.GetHeadPosition(); pos;) {
        auto* bar = static_cast<CControlBar*>(m_listControlBars.GetNext(pos));
        HWND floating = bar->m_hWnd ? ::GetParent(bar->m_hWnd) : nullptr;
        if (floating && floating != self && ::GetWindow(floating, GW_OWNER) == self &&
            ::GetParent(floating) == nullptr) {
            // Destroying it changes the list: start over.
            ::DestroyWindow(floating);
            pos = m_listControlBars.GetHeadPosition();
        }
    }
    CWnd::OnDestroy();
}

void CFrameWnd::OnSysColorChange() {
    CWnd::OnSysColorChange();
    SendMessageToDescendants(WM_SYSCOLORCHANGE, 0, 0, TRUE, TRUE);
}

void CFrameWnd::OnSettingChange(UINT flags, LPCWSTR section) {
    CWnd::OnSettingChange(flags, section);
    const MSG& msg = AfxGetThreadState()->lastMsg;
    SendMessageToDescendants(WM_SETTINGCHANGE, msg.wParam, msg.lParam, TRUE, TRUE);
    RecalcLayout();
}

void CFrameWnd::OnInitMenuPopup(CMenu* popup, UINT, BOOL sysMenu) {
    if (sysMenu || !popup) return;
    CCmdUI state;
    state.m_pMenu = popup;
    state.m_nIndexMax = static_cast<UINT>(popup->GetMenuItemCount());
    for (state.m_nIndex = 0; state.m_nIndex < state.m_nIndexMax; ++state.m_nIndex) {
        state.m_nID = popup->GetMenuItemID(static_cast<int>(state.m_nIndex));
        if (state.m_nID == 0 || state.m_nID == static_cast<UINT>(-1)) continue; // separators, pop-ups
        // System commands are the system's to enable.
        state.DoUpdate(this, m_bAutoMenuEnable && state.m_nID < 0xF000);
    }
}

LRESULT CFrameWnd::OnIdleUpdateCmdUI(WPARAM, LPARAM) {
    if (m_nIdleFlags & idleLayout) RecalcLayout();
    m_nIdleFlags = 0;
    return 0;
}
