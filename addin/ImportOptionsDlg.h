// The import options dialog (template 17768): how the file's content is to
// arrive in the host. It shows the choices saved under
// HKEY_CURRENT_USER\Software\Tamrix\Quorla for SolidWorks and saves the new
// ones on OK; the caller reads the five fields after it closes.
#pragma once

#include <framework.h>

#include "ImportRun.h"

class ImportOptionsDlg : public CDialog {
public:
    explicit ImportOptionsDlg(CWnd* parent = nullptr);

    // The key and value names of the saved options.
    static const wchar_t kSettingsKey[];
    static const wchar_t kCurvesValue[];
    static const wchar_t kMeshesValue[];
    static const wchar_t kMultiBodyValue[];
    static const wchar_t kUnitsValue[];
    static const wchar_t kProgressValue[];

    // The fields as the import run takes them.
    ImportOptions Options() const;

    // In the order they are exchanged with the controls; -1 is no selection.
    int m_nProgress = 0;   // check box 1027
    int m_nUnits = -1;     // list 1024: mm, cm, m, in, ft
    int m_nMultiBody = 0;  // check box 1036
    int m_nCurveMode = -1; // radio group 1022: part, assembly, drawing
    int m_nMeshMode = -1;  // radio group 1034: solid, sketch

protected:
    BOOL OnInitDialog() override;
    void OnOK() override;
    void DoDataExchange(CDataExchange* dx) override;
};
