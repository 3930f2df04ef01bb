#include "ImportOptionsDlg.h"
#include "resource.h"

#include <TMXRegistry.h>

const wchar_t ImportOptionsDlg::kSettingsKey[] = L"Software\\Tamrix\\Quorla for SolidWorks";
const wchar_t ImportOptionsDlg::kCurvesValue[] = L"Import Curves";
const wchar_t ImportOptionsDlg::kMeshesValue[] = L"Import Meshes";
const wchar_t ImportOptionsDlg::kMultiBodyValue[] = L"MultiBody";
const wchar_t ImportOptionsDlg::kUnitsValue[] = L"Units";
const wchar_t ImportOptionsDlg::kProgressValue[] = L"Progress";

ImportOptionsDlg::ImportOptionsDlg(CWnd* parent) : CDialog(IDD_IMPORT_OPTIONS, parent) {}

ImportOptions ImportOptionsDlg::Options() const {
    ImportOptions options;
    options.curveMode = m_nCurveMode;
    options.meshMode = m_nMeshMode;
    options.multibody = m_nMultiBody;
    options.unitIndex = m_nUnits;
    options.progress = m_nProgress;
    return options;
}

void ImportOptionsDlg::DoDataExchange(CDataExchange* dx) {
    CDialog::DoDataExchange(dx);
    DDX_Check(dx, IDC_PROGRESS, m_nProgress);
    DDX_CBIndex(dx, IDC_UNITS, m_nUnits);
    DDX_Check(dx, IDC_MULTIBODY, m_nMultiBody);
    DDX_Radio(dx, IDC_CURVES_PART, m_nCurveMode);
    DDX_Radio(dx, IDC_MESHES_SOLID, m_nMeshMode);
}

BOOL ImportOptionsDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    // Without the key every value is its default. The key is not taken as
    // selected when it cannot be opened: reads would then come from the
    // values of the same names directly under HKEY_CURRENT_USER.
    const ImportOptions defaults;
    TMXRegistry registry;
    if (registry.SetKey(kSettingsKey, 1)) {
        m_nCurveMode = registry.ReadInt(kCurvesValue, defaults.curveMode);
        m_nMeshMode = registry.ReadInt(kMeshesValue, defaults.meshMode);
        m_nMultiBody = registry.ReadBool(kMultiBodyValue, defaults.multibody);
        m_nUnits = registry.ReadInt(kUnitsValue, defaults.unitIndex);
        m_nProgress = registry.ReadBool(kProgressValue, defaults.progress);
    } else {
        m_nCurveMode = defaults.curveMode;
        m_nMeshMode = defaults.meshMode;
        m_nMultiBody = defaults.multibody;
        m_nUnits = defaults.unitIndex;
        m_nProgress = defaults.progress;
    }
    UpdateData(FALSE);
    return TRUE;
}

void ImportOptionsDlg::OnOK() {
    if (!UpdateData(TRUE)) return;
    // Nothing is written when the key cannot be had (see OnInitDialog).
    TMXRegistry registry;
    if (registry.SetKey(kSettingsKey, 1)) {
        registry.WriteInt(kCurvesValue, m_nCurveMode);
        registry.WriteInt(kMeshesValue, m_nMeshMode);
        registry.WriteBool(kMultiBodyValue, m_nMultiBody);
        registry.WriteInt(kUnitsValue, m_nUnits);
        registry.WriteBool(kProgressValue, m_nProgress);
    }
    EndDialog(IDOK);
}
