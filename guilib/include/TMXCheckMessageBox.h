// TMXCheckMessageBox: the platform's message box with one more row at the
// bottom, an etched line and a check box ("Do not show again" unless told
// otherwise). The object attaches itself to the message box while it is
// created and enlarges it; the caller reads the check box afterwards with
// GetChecked and decides what to do with it.
//
//   TMXCheckMessageBox box(parent);
//   int button = box.Message(L"Replace the file?", MB_YESNO | MB_ICONQUESTION, 0);
//   if (box.GetChecked()) ... remember the answer ...
//
// The box's caption is the application's title. The check box is at most
// 13 pixels high; the box grows by that plus 6 pixels, and widens when the
// check text needs it. One object serves one Message at a time and may be
// used again.
#pragma once

#include "TMXUIDefs.h"

class TMXUI_API TMXCheckMessageBox : public CWnd {
public:
    explicit TMXCheckMessageBox(CWnd* parent = nullptr, LPCWSTR checkText = L"Do not show again");
    ~TMXCheckMessageBox() override;

    // Shows the box (MB_* type flags, help id as the application's message
    // box takes them) and returns the button pressed.
    int Message(LPCWSTR text, UINT type = MB_OK, UINT helpId = 0);
    int GetChecked() const { return m_nChecked; }
    // The state the check box starts with at the next Message.
    void SetChecked(int checked) { m_nChecked = checked ? 1 : 0; }

protected:
    int OnCreate(LPCREATESTRUCT cs);
    LRESULT OnSubclassedInit(WPARAM wParam, LPARAM lParam);
    void OnDoNotShowAgain();

private:
    CWnd* m_pParent;
    CButton m_checkBox;
    CWnd* m_pSeparator = nullptr;
    int m_nChecked = 0;
    CString m_strCheckText;

    DECLARE_MESSAGE_MAP()
};
