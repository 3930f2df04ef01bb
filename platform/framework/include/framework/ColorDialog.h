// CColorDialog: the system's colour dialog (comdlg32).
#pragma once

#include "Dialog.h"

class FW_API CColorDialog : public CDialog {
public:
    DECLARE_DYNAMIC(CColorDialog)

    // `flags` are CC_* flags; CC_RGBINIT is added when an initial colour is given.
    explicit CColorDialog(COLORREF initial = 0, DWORD flags = 0, CWnd* parent = nullptr);

    // IDOK or IDCANCEL. Without a parent the dialog is owned by the thread's
    // active top-level window, else by the main window, so the window that
    // asked for a colour stays disabled while it is up.
    INT_PTR DoModal() override;
    COLORREF GetColor() const { return m_cc.rgbResult; }
    void SetCurrentColor(COLORREF color) {
        m_cc.rgbResult = color;
        m_cc.Flags |= CC_RGBINIT;
    }
    // The sixteen custom colours the dialogs of the process share.
    static COLORREF* PASCAL GetSavedCustomColors();

    CHOOSECOLORW m_cc{};
};
