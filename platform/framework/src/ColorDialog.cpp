// The colour dialog.
#include "Internal.h"

CColorDialog::CColorDialog(COLORREF initial, DWORD flags, CWnd* parent) {
    m_pParentWnd = parent;
    m_cc.lStructSize = sizeof m_cc;
    m_cc.lpCustColors = GetSavedCustomColors();
    m_cc.Flags = flags;
    if (initial != 0) {
        m_cc.rgbResult = initial;
        m_cc.Flags |= CC_RGBINIT;
    }
}

COLORREF* PASCAL CColorDialog::GetSavedCustomColors() {
    static COLORREF colors[16] = {RGB(255, 255, 255), RGB(255, 255, 255), RGB(255, 255, 255),
                                  RGB(255, 255, 255), RGB(255, 255, 255), RGB(255, 255, 255),
                                  RGB(255, 255, 255), RGB(255, 255, 255), RGB(255, 255, 255),
                                  RGB(255, 255, 255), RGB(255, 255, 255), RGB(255, 255, 255),
                                  RGB(255, 255, 255), RGB(255, 255, 255), RGB(255, 255, 255),
                                  RGB(255, 255, 255)};
    return colors;
}

INT_PTR CColorDialog::DoModal() {
    HWND owner = AfxGetSafeHwnd(m_pParentWnd);
    if (!owner) {
        HWND active = ::GetActiveWindow();
        if (active && ::GetWindowThreadProcessId(active, nullptr) == ::GetCurrentThreadId())
            owner = active;
    }
    if (!owner) owner = AfxGetSafeHwnd(AfxGetMainWnd());
    if (owner) owner = ::GetAncestor(owner, GA_ROOT);
    m_cc.hwndOwner = owner;
    m_cc.lpCustColors = m_cc.lpCustColors ? m_cc.lpCustColors : GetSavedCustomColors();
    return ::ChooseColorW(&m_cc) ? IDOK : IDCANCEL;
}
