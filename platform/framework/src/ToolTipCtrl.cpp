// Tooltip controls.
#include "Internal.h"

BOOL CToolTipCtrl::Create(CWnd* parent, DWORD style) {
    AfxEnsureControls();
    return CWnd::CreateEx(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | style,
                          CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                          AfxGetSafeHwnd(parent), nullptr);
}

void CToolTipCtrl::FillInfo(TTTOOLINFOW& info, CWnd* wnd, UINT_PTR toolId) {
    info = TTTOOLINFOW{};
    info.cbSize = TTTOOLINFOW_V2_SIZE;
    info.hwnd = AfxGetSafeHwnd(wnd);
    if (toolId == 0) {
        info.uFlags = TTF_IDISHWND;
        info.uId = reinterpret_cast<UINT_PTR>(info.hwnd);
    } else {
        info.uId = toolId;
    }
}

BOOL CToolTipCtrl::AddTool(CWnd* wnd, LPCWSTR text, LPCRECT rect, UINT_PTR toolId) {
    if (!wnd || !wnd->m_hWnd) return FALSE;
    TTTOOLINFOW info;
    FillInfo(info, wnd, toolId);
    if (rect)
        info.rect = *rect;
    else if (toolId != 0)
        ::GetClientRect(wnd->m_hWnd, &info.rect);
    info.lpszText = const_cast<LPWSTR>(text);
    return static_cast<BOOL>(SendMessage(TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&info)));
}

BOOL CToolTipCtrl::AddTool(CWnd* wnd, UINT textId, LPCRECT rect, UINT_PTR toolId) {
    CString text;
    if (!text.LoadString(textId)) return FALSE;
    return AddTool(wnd, text.GetString(), rect, toolId);
}

void CToolTipCtrl::DelTool(CWnd* wnd, UINT_PTR toolId) {
    TTTOOLINFOW info;
    FillInfo(info, wnd, toolId);
    SendMessage(TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&info));
}

BOOL CToolTipCtrl::GetToolInfo(TTTOOLINFOW& info, CWnd* wnd, UINT_PTR toolId) const {
    FillInfo(info, wnd, toolId);
    return static_cast<BOOL>(SendMessage(TTM_GETTOOLINFOW, 0, reinterpret_cast<LPARAM>(&info)));
}

void CToolTipCtrl::SetToolRect(CWnd* wnd, UINT_PTR toolId, LPCRECT rect) {
    if (!rect) return;
    TTTOOLINFOW info;
    FillInfo(info, wnd, toolId);
    info.rect = *rect;
    SendMessage(TTM_NEWTOOLRECTW, 0, reinterpret_cast<LPARAM>(&info));
}

void CToolTipCtrl::UpdateTipText(LPCWSTR text, CWnd* wnd, UINT_PTR toolId) {
    TTTOOLINFOW info;
    FillInfo(info, wnd, toolId);
    info.lpszText = const_cast<LPWSTR>(text);
    SendMessage(TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&info));
}

void CToolTipCtrl::UpdateTipText(UINT textId, CWnd* wnd, UINT_PTR toolId) {
    CString text;
    if (text.LoadString(textId)) UpdateTipText(text.GetString(), wnd, toolId);
}
