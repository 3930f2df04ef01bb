#include "ImportCommand.h"
#include "ImportOptionsDlg.h"
#include "ImportRun.h"
#include "ProductTitle.h"

int ImportCommand(HostAppHandle host) {
    FormProductTitle(host);

    CFileDialog file(TRUE, L"3dm", nullptr, OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT,
                     L"Rhino/OpenNURBS Files (*.3dm)|*.3dm||");
    if (file.DoModal() != IDOK) return 0;

    ImportOptionsDlg options;
    if (options.DoModal() != IDOK) return 0;

    MessageBoxFeedback feedback;
    return RunImport(host, file.GetPathName(), options.Options(), feedback, nullptr);
}
