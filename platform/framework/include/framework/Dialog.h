// CDialog and dialog data exchange.
//
// Templates are found through AfxFindResourceHandle, so a DLL that switched
// to its own module state gets its own template even when the program has one
// of the same id. Initial control data of the template (RT_DLGINIT, e.g. the
// strings of a combo box) is applied before OnInitDialog.
#pragma once

#include "Wnd.h"

// Direction and context of one data exchange. A field that fails validation
// marks the exchange failed (Fail) instead of throwing, and the DDX functions
// after it do nothing; UpdateData then returns FALSE.
class FW_API CDataExchange {
public:
    CDataExchange(CWnd* dlgWnd, BOOL saveAndValidate);

    HWND PrepareCtrl(int id);     // the control, remembered for Fail
    HWND PrepareEditCtrl(int id); // the same; Fail also selects its text
    void Fail();                  // focuses the last prepared control and marks the exchange failed
    BOOL HasFailed() const { return m_bFailed; }

    BOOL m_bSaveAndValidate; // TRUE: controls -> members; FALSE: members -> controls
    CWnd* m_pDlgWnd;
    HWND m_idLastControl = nullptr;
    BOOL m_bEditLastControl = FALSE;
    BOOL m_bFailed = FALSE;
};

FW_API void AFXAPI DDX_Control(CDataExchange* dx, int id, CWnd& control);
FW_API void AFXAPI DDX_Text(CDataExchange* dx, int id, CString& value);
// Numbers: a text that is not a number (or out of the type's range) shows the
// framework's message ("Please enter an integer." / "Please enter a number.")
// and fails the exchange, leaving the member as it was.
FW_API void AFXAPI DDX_Text(CDataExchange* dx, int id, int& value);
FW_API void AFXAPI DDX_Text(CDataExchange* dx, int id, UINT& value);
FW_API void AFXAPI DDX_Text(CDataExchange* dx, int id, long& value);
FW_API void AFXAPI DDX_Text(CDataExchange* dx, int id, DWORD& value);
FW_API void AFXAPI DDX_Text(CDataExchange* dx, int id, double& value);
FW_API void AFXAPI DDX_Text(CDataExchange* dx, int id, float& value);
// Check box: 0 unchecked, 1 checked, 2 indeterminate.
FW_API void AFXAPI DDX_Check(CDataExchange* dx, int id, int& value);
// Radio group starting at `id` (the control with WS_GROUP) up to the next
// WS_GROUP control: index of the checked button, -1 for none.
FW_API void AFXAPI DDX_Radio(CDataExchange* dx, int id, int& value);
// Combo box selection index, -1 for none.
FW_API void AFXAPI DDX_CBIndex(CDataExchange* dx, int id, int& value);

class FW_API CDialog : public CWnd {
public:
    DECLARE_DYNAMIC(CDialog)
    CDialog();
    explicit CDialog(UINT templateId, CWnd* parent = nullptr);
    explicit CDialog(LPCWSTR templateName, CWnd* parent = nullptr);
    ~CDialog() override;

    // Modeless: creates the window from the template; TRUE on success.
    virtual BOOL Create(UINT templateId, CWnd* parent = nullptr);
    virtual BOOL Create(LPCWSTR templateName, CWnd* parent = nullptr);
    // Modal: creates the dialog from its template, disables its owner and
    // runs the framework's own loop (pre-translation, then the dialog
    // manager's keyboard handling, then dispatch) until EndDialog. Returns
    // the EndDialog result, -1 when it could not be created or when WM_QUIT
    // ended the loop (the quit is posted again for the outer loop). Without
    // a parent the main window owns it.
    virtual INT_PTR DoModal();
    void EndDialog(int result);

    virtual BOOL OnInitDialog(); // default: UpdateData(FALSE); TRUE sets the focus
    virtual void OnOK();         // default: UpdateData(TRUE), then EndDialog(IDOK)
    virtual void OnCancel();     // default: EndDialog(IDCANCEL)
    BOOL UpdateData(BOOL saveAndValidate = TRUE);

    void NextDlgCtrl() const;
    void PrevDlgCtrl() const;
    void GotoDlgCtrl(CWnd* control);
    void SetDefID(UINT id);
    DWORD GetDefID() const;
    void MapDialogRect(LPRECT rect) const;
    BOOL IsModal() const { return m_bModal; }

    // Sends the template's initial control data (RT_DLGINIT) to the controls.
    BOOL ExecuteDlgInit(LPCWSTR templateName);

    LPCWSTR m_lpszTemplateName = nullptr;
    UINT m_nIDHelp = 0;
    CWnd* m_pParentWnd = nullptr;

protected:
    virtual void DoDataExchange(CDataExchange* dx);
    BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;

    friend struct AfxWndInternals;

private:
    HWND ResolveOwner() const;
    void RunModalLoop();

    BOOL m_bModal = FALSE;
    BOOL m_bContinueModal = FALSE;
    int m_nModalResult = -1;

    DECLARE_MESSAGE_MAP()
};
