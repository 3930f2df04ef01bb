// TMXToolbar's embedded controls: made or taken in the place of a button
// (a separator carrying the button's id), laid out with the buttons, hidden
// while the bar stands vertically, and painted on the bar's face.
#include "TMXToolbar.h"

#include <algorithm>

namespace {
bool IsControlPlace(const TBBUTTON& b) {
    return (b.fsStyle & TBSTYLE_SEP) && b.idCommand != 0;
}
} // namespace

CWnd* TMXToolbar::InsertControl(CRuntimeClass* controlClass, LPCWSTR title, CRect& rect, UINT id,
                                DWORD style) {
    if (!controlClass || !m_hWnd) return nullptr;
    style |= WS_CHILD | WS_VISIBLE;
    CWnd* control = nullptr;
    BOOL made = FALSE;
    if (controlClass->IsDerivedFrom(RUNTIME_CLASS(CComboBox))) {
        auto* combo = new CComboBox;
        control = combo, made = combo->Create(style, rect, this, id);
    } else if (controlClass->IsDerivedFrom(RUNTIME_CLASS(CEdit))) {
        auto* edit = new CEdit;
        control = edit, made = edit->Create(style, rect, this, id);
    } else if (controlClass->IsDerivedFrom(RUNTIME_CLASS(CButton))) {
        auto* button = new CButton;
        control = button, made = button->Create(title, style, rect, this, id);
    } else if (controlClass->IsDerivedFrom(RUNTIME_CLASS(CWnd))) {
        // Any other window: the run-time class names its window class.
        wchar_t className[256] = {};
        ::MultiByteToWideChar(CP_ACP, 0, controlClass->m_lpszClassName, -1, className, 255);
        control = new CWnd;
        made = control->Create(className, title, style, rect, this, id);
    } else {
        return nullptr;
    }
    if (!made) {
        delete control;
        return nullptr;
    }
    if (!m_pOwnedControls) m_pOwnedControls = new CObList(10);
    m_pOwnedControls->AddTail(control);
    return InsertControl(control, rect, id);
}

CWnd* TMXToolbar::InsertControl(CWnd* control, CRect& rect, UINT id) {
    if (!control || !control->m_hWnd || !m_hWnd) return nullptr;
    const int index = CommandToIndex(id);
    bool show = false;
    if (index >= 0) {
        SetButtonInfo(index, id, TBBS_SEPARATOR, rect.Width());
        CRect item(0, 0, 0, 0);
        SendMessage(TB_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
        rect = item;
        CRect window;
        control->GetWindowRect(&window);
        rect.top = item.top + std::max(0, (item.Height() - window.Height()) / 2);
        control->SetWindowPos(nullptr, item.left, rect.top, 0, 0,
                              SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOCOPYBITS);
        control->SetFont(GetFont());
        const bool hide = IsVertDocked() && m_bHideControlsWhenVertical;
        UINT style = GetButtonStyle(index) & ~TBBS_HIDDEN;
        SetButtonStyle(index, hide ? style | TBBS_HIDDEN : style);
        show = !hide;
    }
    control->ShowWindow(show ? SW_SHOWNA : SW_HIDE);
    ModifyStyle(0, WS_CLIPCHILDREN);
    return control;
}

CSize TMXToolbar::CalcLayout(DWORD mode, int length) {
    const bool commit = (mode & (LM_COMMIT | LM_HORZDOCK | LM_VERTDOCK)) != 0;
    if (commit && m_hWnd) {
        // The places take their controls' widths, and no room when vertical.
        const bool hide = (m_dwStyle & CBRS_ORIENT_VERT) && m_bHideControlsWhenVertical;
        const int count = static_cast<int>(SendMessage(TB_BUTTONCOUNT));
        for (int i = 0; i < count; ++i) {
            TBBUTTON b;
            _GetButton(i, &b);
            CWnd* control = IsControlPlace(b) ? GetDlgItem(b.idCommand) : nullptr;
            if (!control) continue;
            CRect window;
            control->GetWindowRect(&window);
            TBBUTTON placed = b;
            placed.iBitmap = window.Width();
            placed.fsState = static_cast<BYTE>(hide ? b.fsState | TBSTATE_HIDDEN : b.fsState & ~TBSTATE_HIDDEN);
            _SetButton(i, &placed);
        }
    }
    const CSize size = CToolBar::CalcLayout(mode, length);
    if (commit && m_hWnd) MoveControls();
    return size;
}

void TMXToolbar::MoveControls() {
    const bool hide = (m_dwStyle & CBRS_ORIENT_VERT) && m_bHideControlsWhenVertical;
    for (HWND child = ::GetWindow(m_hWnd, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
        const int index = CommandToIndex(static_cast<UINT>(::GetDlgCtrlID(child)));
        if (index < 0 || hide) {
            ::ShowWindow(child, SW_HIDE);
            continue;
        }
        CRect item(0, 0, 0, 0), window;
        SendMessage(TB_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
        ::GetWindowRect(child, &window);
        const int top = item.top + std::max(0, (item.Height() - window.Height()) / 2);
        ::SetWindowPos(child, nullptr, item.left, top, 0, 0,
                       SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_SHOWWINDOW);
    }
}

CSize TMXToolbar::CalcFixedLayout(BOOL stretch, BOOL horz) {
    return CalcLayout((stretch ? LM_STRETCH : 0) | (horz ? LM_HORZ : 0));
}

CSize TMXToolbar::CalcDynamicLayout(int length, DWORD mode) {
    if (length != -1 || (mode & (LM_MRUWIDTH | LM_COMMIT)) || !(mode & (LM_HORZDOCK | LM_VERTDOCK)))
        return CalcLayout(mode, length);
    return CalcLayout((mode & (LM_STRETCH | LM_HORZDOCK | LM_VERTDOCK)) | ((mode & LM_HORZDOCK) ? LM_HORZ : 0));
}

void TMXToolbar::OnPaint() {
    CToolBar::OnPaint();
    // The places of controls show the bar's face behind their controls.
    CClientDC dc(this);
    const int count = static_cast<int>(SendMessage(TB_BUTTONCOUNT));
    for (int i = 0; i < count; ++i) {
        TBBUTTON b;
        _GetButton(i, &b);
        if (!IsControlPlace(b) || (b.fsState & TBSTATE_HIDDEN)) continue;
        CRect item(0, 0, 0, 0);
        SendMessage(TB_GETITEMRECT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
        dc.FillSolidRect(&item, m_crFace);
        if (CWnd* control = GetDlgItem(b.idCommand))
            control->RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    }
}
