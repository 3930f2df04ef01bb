// The library's small input dialogs (coordinates, a real number, the unit
// converter) and the TMXGUIUtils entries that show them.
#include "TMXEdit.h"
#include "TMXGUIUtils.h"

#include "NumberText.h"
#include "UnitFactors.h"
#include "resource.h"

namespace {

const double kNoMinimum = 2.2250738585072014e-308;
const double kNoMaximum = 1.7976931348623157e308;

CWnd* ParentOf(HWND* parent) {
    return parent && *parent ? CWnd::FromHandle(*parent) : nullptr;
}

CString TextOf(const CWnd& control) {
    CString text;
    control.GetWindowText(text);
    return text;
}

// A number field that gives back the caller's value, unrounded, for as
// long as it shows the text it was given.
struct ShownValue {
    double value = 0;
    CString text;

    void Show(TMXRealEdit& edit, double v) {
        value = v;
        edit.SetValue(v);
        text = TextOf(edit);
    }
    double Read(const TMXRealEdit& edit) const {
        return TextOf(edit) == text ? value : edit.GetValue();
    }
};

class CoordinatesDlg : public CDialog {
public:
    explicit CoordinatesDlg(CWnd* parent) : CDialog(IDD_TMX_COORDINATES, parent) {}

    double m_x = 0, m_y = 0, m_z = 0;
    CString m_title;

protected:
    void DoDataExchange(CDataExchange* dx) override {
        DDX_Control(dx, IDC_TMX_COORD_X, m_edits[0]);
        DDX_Control(dx, IDC_TMX_COORD_Y, m_edits[1]);
        DDX_Control(dx, IDC_TMX_COORD_Z, m_edits[2]);
    }
    BOOL OnInitDialog() override {
        CDialog::OnInitDialog();
        const double values[3] = {m_x, m_y, m_z};
        for (int i = 0; i < 3; ++i)
            m_shown[i].Show(m_edits[i], values[i]);
        if (!m_title.IsEmpty()) SetWindowText(m_title);
        return TRUE;
    }
    void OnOK() override {
        m_x = m_shown[0].Read(m_edits[0]);
        m_y = m_shown[1].Read(m_edits[1]);
        m_z = m_shown[2].Read(m_edits[2]);
        EndDialog(IDOK);
    }

private:
    TMXRealEdit m_edits[3];
    ShownValue m_shown[3];
};

class RealNumberDlg : public CDialog {
public:
    explicit RealNumberDlg(CWnd* parent) : CDialog(IDD_TMX_REALNUMBER, parent) {}

    double m_value = 0;
    double m_min = kNoMinimum;
    double m_max = kNoMaximum;
    int m_bMinInclusive = 1;
    int m_bMaxInclusive = 1;
    CString m_title;
    CString m_prompt;

protected:
    void DoDataExchange(CDataExchange* dx) override { DDX_Control(dx, IDC_TMX_REAL_VALUE, m_edit); }
    BOOL OnInitDialog() override {
        CDialog::OnInitDialog();
        m_shown.Show(m_edit, m_value);
        if (m_min != kNoMinimum) m_edit.SetMinValue(m_min, m_bMinInclusive);
        if (m_max != kNoMaximum) m_edit.SetMaxValue(m_max, m_bMaxInclusive);
        if (!m_title.IsEmpty()) SetWindowText(m_title);
        if (m_prompt.IsEmpty()) m_prompt = L"Real Number";
        SetDlgItemText(IDC_TMX_REAL_PROMPT, m_prompt);
        return TRUE;
    }
    // Only a value inside the range closes the dialog: an emptied field
    // reads as 0, which the range may exclude.
    void OnOK() override {
        const double value = m_shown.Read(m_edit);
        if (m_edit.IsValid() != 0 || !InRange(value)) {
            ::MessageBeep(MB_ICONEXCLAMATION);
            GotoDlgCtrl(&m_edit);
            return;
        }
        m_value = value;
        EndDialog(IDOK);
    }

private:
    bool InRange(double value) const {
        double low, high;
        m_edit.GetRange(low, high);
        const bool lowIncluded = m_min == kNoMinimum || m_bMinInclusive;
        const bool highIncluded = m_max == kNoMaximum || m_bMaxInclusive;
        return (value > low || (lowIncluded && value == low)) &&
               (value < high || (highIncluded && value == high));
    }

    TMXRealEdit m_edit;
    ShownValue m_shown;
};

class UnitConverterDlg : public CDialog {
public:
    explicit UnitConverterDlg(CWnd* parent) : CDialog(IDD_TMX_UNITCONVERTER, parent) {}

    int m_nFrom = -1;
    int m_nTo = -1;
    double m_value = 0;
    double m_result = 0;

protected:
    void DoDataExchange(CDataExchange* dx) override {
        DDX_CBIndex(dx, IDC_TMX_UNIT_FROM, m_nFrom);
        DDX_CBIndex(dx, IDC_TMX_UNIT_TO, m_nTo);
        DDX_Text(dx, IDC_TMX_UNIT_VALUE, m_value);
        DDX_Text(dx, IDC_TMX_UNIT_RESULT, m_result);
    }
    BOOL OnInitDialog() override {
        // Changes made here are the dialog's own: no conversion until the end.
        CDialog::OnInitDialog();
        m_value = 1.0;
        UpdateData(FALSE);
        m_bReady = true;
        Convert();
        return TRUE;
    }
    // Close: nothing is returned, so nothing is read or checked.
    void OnOK() override { EndDialog(IDOK); }

    // Runs on every change of the value or of either unit. A value that
    // does not read as a number (yet: "-" on the way to "-5") leaves the
    // previous one in use, without a message.
    void OnChanged() {
        if (m_bReady) Convert();
    }

private:
    void Convert() {
        m_nFrom = static_cast<int>(SendDlgItemMessage(IDC_TMX_UNIT_FROM, CB_GETCURSEL));
        m_nTo = static_cast<int>(SendDlgItemMessage(IDC_TMX_UNIT_TO, CB_GETCURSEL));
        CString text;
        GetDlgItemText(IDC_TMX_UNIT_VALUE, text);
        double value = 0;
        if (tmxnumber::ReadReal(text.GetString(), value) == tmxnumber::ReadResult::Ok)
            m_value = value;
        m_result = m_value * tmxunits::Factor(m_nFrom, m_nTo);
        SetDlgItemText(IDC_TMX_UNIT_RESULT, tmxnumber::FormatFixed(m_result, 6, false).c_str());
    }

    bool m_bReady = false;

    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(UnitConverterDlg, CDialog)
ON_EN_CHANGE(IDC_TMX_UNIT_VALUE, OnChanged)
ON_CBN_SELCHANGE(IDC_TMX_UNIT_FROM, OnChanged)
ON_CBN_SELCHANGE(IDC_TMX_UNIT_TO, OnChanged)
END_MESSAGE_MAP()

} // namespace

TMXGUIUtils::TMXGUIUtils() = default;
TMXGUIUtils::~TMXGUIUtils() = default;
TMXGUIUtils& TMXGUIUtils::operator=(const TMXGUIUtils&) {
    return *this;
}

int TMXGUIUtils::Coordinates(double& x, double& y, double& z, const CString& title, HWND* parent) {
    AFX_MANAGE_STATE(AfxGetStaticModuleState());
    CoordinatesDlg dlg(ParentOf(parent));
    dlg.m_x = x, dlg.m_y = y, dlg.m_z = z;
    dlg.m_title = title;
    if (dlg.DoModal() != IDOK) return 0;
    x = dlg.m_x, y = dlg.m_y, z = dlg.m_z;
    return 1;
}

int TMXGUIUtils::Real(double& value, const CString& title, const CString& prompt, double minimum,
                      double maximum, int minInclusive, int maxInclusive, HWND* parent) {
    AFX_MANAGE_STATE(AfxGetStaticModuleState());
    RealNumberDlg dlg(ParentOf(parent));
    dlg.m_value = value;
    dlg.m_min = minimum;
    dlg.m_max = maximum;
    dlg.m_bMinInclusive = minInclusive;
    dlg.m_bMaxInclusive = maxInclusive;
    dlg.m_title = title;
    dlg.m_prompt = prompt;
    if (dlg.DoModal() != IDOK) return 0;
    value = dlg.m_value;
    return 1;
}

void TMXGUIUtils::UnitConverter(int fromUnit, int toUnit, HWND* parent) {
    AFX_MANAGE_STATE(AfxGetStaticModuleState());
    UnitConverterDlg dlg(ParentOf(parent));
    dlg.m_nFrom = fromUnit;
    dlg.m_nTo = toUnit;
    dlg.DoModal();
}
