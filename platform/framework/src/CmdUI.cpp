// Command user-interface items: menu items and plain windows, and the test
// of a command's enabled state before it runs.
#include "Internal.h"

void CCmdUI::Enable(BOOL on) {
    if (m_pMenu) {
        if (m_pSubMenu) return; // a pop-up's own state is the system's
        m_pMenu->EnableMenuItem(m_nIndex, MF_BYPOSITION | (on ? MF_ENABLED : MF_DISABLED | MF_GRAYED));
    } else if (m_pOther) {
        // Focus must not stay on a window being disabled.
        if (!on && ::GetFocus() == m_pOther->m_hWnd) {
            HWND parent = ::GetParent(m_pOther->m_hWnd);
            HWND next = parent ? ::GetNextDlgTabItem(parent, m_pOther->m_hWnd, FALSE) : nullptr;
            ::SetFocus(next && next != m_pOther->m_hWnd ? next : parent);
        }
        m_pOther->EnableWindow(on);
    }
    m_bEnableChanged = TRUE;
}

void CCmdUI::SetCheck(int check) {
    if (m_pMenu) {
        if (m_pSubMenu) return;
        m_pMenu->CheckMenuItem(m_nIndex, MF_BYPOSITION | (check ? MF_CHECKED : MF_UNCHECKED));
    } else if (m_pOther && (m_pOther->SendMessage(WM_GETDLGCODE) & DLGC_BUTTON)) {
        m_pOther->SendMessage(BM_SETCHECK, static_cast<WPARAM>(check));
    }
}

void CCmdUI::SetRadio(BOOL on) {
    if (m_pMenu && !m_pSubMenu && on) {
        m_pMenu->CheckMenuRadioItem(m_nIndex, m_nIndex, m_nIndex, MF_BYPOSITION);
        return;
    }
    SetCheck(on ? 1 : 0);
}

void CCmdUI::SetText(LPCWSTR text) {
    if (m_pMenu) {
        if (m_pSubMenu) return;
        // The item keeps its state: only its text changes.
        MENUITEMINFOW info{};
        info.cbSize = sizeof info;
        info.fMask = MIIM_STRING;
        info.dwTypeData = const_cast<LPWSTR>(text ? text : L"");
        ::SetMenuItemInfoW(m_pMenu->m_hMenu, m_nIndex, TRUE, &info);
    } else if (m_pOther) {
        m_pOther->SetWindowText(text ? text : L"");
    }
}

BOOL CCmdUI::DoUpdate(CCmdTarget* target, BOOL disableIfNoHandler) {
    if (!target || m_nID == 0 || LOWORD(m_nID) == 0xFFFF) return TRUE; // separators and static items
    m_bEnableChanged = FALSE;
    BOOL handled = target->OnCmdMsg(m_nID, CN_UPDATE_COMMAND_UI, this, nullptr);
    if (disableIfNoHandler && !m_bEnableChanged) {
        AFX_CMDHANDLERINFO info{};
        Enable(target->OnCmdMsg(m_nID, CN_COMMAND, this, &info));
    }
    return handled;
}

namespace {
// Records what an update handler says instead of showing it.
class CTestCmdUI : public CCmdUI {
public:
    void Enable(BOOL on) override {
        m_bEnabled = on;
        m_bEnableChanged = TRUE;
    }
    void SetCheck(int) override {}
    void SetRadio(BOOL) override {}
    void SetText(LPCWSTR) override {}
    BOOL m_bEnabled = TRUE;
};
} // namespace

BOOL AFXAPI AfxIsCommandEnabled(CCmdTarget* target, UINT id) {
    if (!target) return TRUE;
    CTestCmdUI state;
    state.m_nID = id;
    target->OnCmdMsg(id, CN_UPDATE_COMMAND_UI, &state, nullptr);
    return state.m_bEnabled;
}
