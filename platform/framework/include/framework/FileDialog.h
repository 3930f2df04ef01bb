// CFileDialog: the system's Open and Save As dialogs (comdlg32, explorer
// style), with the filter written as "Text|*.ext|...||".
//
// The file name buffer holds 32,768 characters, the longest path the system
// takes, so a long path comes back instead of failing as too long (which
// would look like Cancel).
#pragma once

#include "Dialog.h"

#include <commdlg.h>

class FW_API CFileDialog : public CDialog {
public:
    DECLARE_DYNAMIC(CFileDialog)
    static constexpr DWORD kFileBufferSize = 32768;

    explicit CFileDialog(BOOL openFileDialog, LPCWSTR defaultExt = nullptr,
                         LPCWSTR fileName = nullptr,
                         DWORD flags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT,
                         LPCWSTR filter = nullptr, CWnd* parent = nullptr);
    ~CFileDialog() override;
    CFileDialog(const CFileDialog&) = delete;
    CFileDialog& operator=(const CFileDialog&) = delete;

    // IDOK with a file chosen, IDCANCEL when the user cancelled or the
    // dialog failed (CommDlgExtendedError tells which). Without a parent the
    // main window owns the dialog.
    INT_PTR DoModal() override;

    CString GetPathName() const;  // the full path
    CString GetFileName() const;  // name and extension
    CString GetFileExt() const;   // extension without the dot, empty when none
    CString GetFileTitle() const; // name without the extension

    // The system's parameters; the constructor points lpstrFile, lpstrFilter,
    // lpstrDefExt and lpstrFileTitle into this object.
    OPENFILENAMEW m_ofn{};

protected:
    BOOL m_bOpenFileDialog;

private:
    wchar_t* m_szFileName;        // kFileBufferSize characters
    wchar_t m_szFileTitle[MAX_PATH] = {};
    CString m_strFilter;          // '|' turned into NULs
    CString m_strDefExt;
};
