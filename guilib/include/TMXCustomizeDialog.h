// TMXCustomizeDialog: the extension of a TMXToolbar's customise dialog (the
// toolbar control's own dialog). It attaches itself to the dialog as the
// dialog is created, adds the lists "Te&xt options:" (control 1000) and
// "Ico&n options:" (1001) below it, and names the toolbar in the title. A
// text choice applies at once; the icon choice when the dialog closes.
#pragma once

#include "TMXUIDefs.h"

#include "TMXToolbar.h"

class TMXUI_API TMXCustomizeDialog : public CWnd {
public:
    DECLARE_DYNAMIC(TMXCustomizeDialog)
    explicit TMXCustomizeDialog(TMXToolbar* toolbar);

    // Selects both lists (Reset), recording the choices.
    void SetOptions(TextOptions text, IconOptions icon);

    TMXToolbar* m_pToolBar;
    CComboBox m_wndTextOptions, m_wndIconOptions;
    CStatic m_wndTextLabel, m_wndIconLabel;
    TextOptions m_eTextOptions;
    IconOptions m_eIconOptions;

protected:
    LRESULT OnInitDialog(WPARAM wParam, LPARAM lParam);
    LRESULT OnHelp(WPARAM wParam, LPARAM lParam);
    void OnTextOptionsChosen();
    void OnIconOptionsChosen();

    DECLARE_MESSAGE_MAP()
};
