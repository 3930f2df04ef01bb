// The About box: template 100 of the library, its picture, the product line
// in bold and two links.
#include "TMXGUIUtils.h"
#include "TMXHyperlink.h"
#include "TMXStatic.h"

#include "resource.h"

namespace {

class AboutDlg : public CDialog {
public:
    explicit AboutDlg(CWnd* parent) : CDialog(IDD_TMX_ABOUT, parent) {}

    CString m_strProduct;

protected:
    void DoDataExchange(CDataExchange* dx) override {
        CDialog::DoDataExchange(dx);
        DDX_Control(dx, IDC_TMX_ABOUT_WEBSITE, m_website);
        DDX_Control(dx, IDC_TMX_ABOUT_PRODUCT, m_product);
        DDX_Control(dx, IDC_TMX_ABOUT_EMAIL, m_email);
        DDX_Text(dx, IDC_TMX_ABOUT_PRODUCT, m_strProduct);
    }
    BOOL OnInitDialog() override {
        CDialog::OnInitDialog();
        TakeOverPicture();
        m_product.SetFontBold(TRUE);
        SetWindowText(L"About " + m_strProduct);
        return TRUE;
    }

private:
    // The picture static loads its bitmap from the template, and not every
    // system frees it with the control. Give it one the dialog owns (freed
    // with the object, after the window) and free the one it loaded.
    void TakeOverPicture() {
        for (HWND child = ::GetWindow(m_hWnd, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
            wchar_t cls[16] = {};
            ::GetClassNameW(child, cls, 16);
            if (lstrcmpiW(cls, L"Static") != 0 || (::GetWindowLongW(child, GWL_STYLE) & SS_TYPEMASK) != SS_BITMAP)
                continue;
            if (!m_picture.GetSafeHandle() && !m_picture.LoadBitmap(IDB_TMX_ABOUT)) return;
            HGDIOBJ loaded = reinterpret_cast<HGDIOBJ>(::SendMessageW(
                child, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(m_picture.GetSafeHandle())));
            if (loaded && loaded != m_picture.GetSafeHandle()) ::DeleteObject(loaded);
            return;
        }
    }

    CBitmap m_picture;
    TMXHyperlink m_website;
    TMXStatic m_product;
    TMXHyperlink m_email;
};

} // namespace

void TMXGUIUtils::About(const CString& productText, HWND* parent) {
    AFX_MANAGE_STATE(AfxGetStaticModuleState());
    AboutDlg dlg(parent && *parent ? CWnd::FromHandle(*parent) : nullptr);
    dlg.m_strProduct = productText;
    dlg.DoModal();
}
