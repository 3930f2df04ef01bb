// The progress window: dialog 8001 of the library, a status line (static
// 8000, by data exchange) and a bar (8001) whose range stays the control's
// default 0..100, so its position is the percentage.
#include "ProgressView.h"
#include "TMXProgress.h"
#include "resource.h"

namespace {

class ProgressDialog : public CDialog {
public:
    ProgressDialog() : CDialog(IDD_TMX_PROGRESS) {}

    CProgressCtrl m_bar;
    CString m_strStatus;

protected:
    void DoDataExchange(CDataExchange* dx) override {
        CDialog::DoDataExchange(dx);
        DDX_Control(dx, IDC_TMX_PROGRESS_BAR, m_bar);
        DDX_Text(dx, IDC_TMX_PROGRESS_STATUS, m_strStatus);
    }
    // The window takes no input: Enter and Escape must not close it while
    // the caller is still working.
    void OnOK() override {}
    void OnCancel() override {}
};

class ProgressWindowView : public TMXProgressView {
public:
    int Presentation() const override { return TMXProgress::PresentWindow; }
    BOOL Open(CWnd* parent) override { return m_dlg.Create(IDD_TMX_PROGRESS, parent); }
    void Close() override { m_dlg.DestroyWindow(); }
    BOOL IsOpen() const override { return m_dlg.m_hWnd != nullptr; }
    void ShowTitle(const CString& title) override { m_dlg.SetWindowText(title); }

protected:
    void ShowPosition(int percent) override { m_dlg.m_bar.SetPos(percent); }
    void ShowStatus(const CString& text) override {
        m_dlg.m_strStatus = text;
        m_dlg.UpdateData(FALSE);
    }

private:
    ProgressDialog m_dlg;
};

} // namespace

TMXProgressView* TMXCreateProgressWindowView() {
    return new ProgressWindowView;
}
