// Open and Save As dialogs.
#include "Internal.h"

CFileDialog::CFileDialog(BOOL openFileDialog, LPCWSTR defaultExt, LPCWSTR fileName, DWORD flags,
                         LPCWSTR filter, CWnd* parent)
    : m_bOpenFileDialog(openFileDialog), m_szFileName(new wchar_t[kFileBufferSize]()) {
    m_pParentWnd = parent;
    m_ofn.lStructSize = sizeof m_ofn;
    m_ofn.hInstance = AfxGetResourceHandle();
    m_ofn.Flags = flags | OFN_EXPLORER;
    m_ofn.lpstrFile = m_szFileName;
    m_ofn.nMaxFile = kFileBufferSize;
    m_ofn.lpstrFileTitle = m_szFileTitle;
    m_ofn.nMaxFileTitle = MAX_PATH;
    if (defaultExt) {
        m_strDefExt = defaultExt;
        m_ofn.lpstrDefExt = m_strDefExt;
    }
    if (fileName) lstrcpynW(m_szFileName, fileName, kFileBufferSize);
    if (filter) {
        // "A|*.a|B|*.b||": the system wants NUL separators and a double NUL end.
        m_strFilter = filter;
        int length = m_strFilter.GetLength();
        LPWSTR p = m_strFilter.GetBuffer(length + 2);
        for (int i = 0; i < length; i++)
            if (p[i] == L'|') p[i] = L'\0';
        p[length] = p[length + 1] = L'\0';
        m_strFilter.ReleaseBuffer(length + 1);
        m_ofn.lpstrFilter = m_strFilter;
    }
}

CFileDialog::~CFileDialog() {
    delete[] m_szFileName;
}

INT_PTR CFileDialog::DoModal() {
    HWND owner = AfxGetSafeHwnd(m_pParentWnd);
    if (!owner) owner = AfxGetSafeHwnd(AfxGetMainWnd());
    m_ofn.hwndOwner = owner ? GetAncestor(owner, GA_ROOT) : nullptr;
    m_ofn.lpstrFile = m_szFileName;
    m_ofn.lpstrFileTitle = m_szFileTitle;
    BOOL ok = m_bOpenFileDialog ? ::GetOpenFileNameW(&m_ofn) : ::GetSaveFileNameW(&m_ofn);
    return ok ? IDOK : IDCANCEL;
}

CString CFileDialog::GetPathName() const {
    return CString(m_ofn.lpstrFile);
}

CString CFileDialog::GetFileName() const {
    CString path = GetPathName();
    if (m_ofn.nFileOffset > 0 && m_ofn.nFileOffset < path.GetLength())
        return path.Mid(m_ofn.nFileOffset);
    int slash = path.ReverseFind(L'\\');
    return path.Mid(slash + 1);
}

CString CFileDialog::GetFileExt() const {
    CString name = GetFileName();
    int dot = name.ReverseFind(L'.');
    return dot < 0 ? CString() : name.Mid(dot + 1);
}

CString CFileDialog::GetFileTitle() const {
    CString name = GetFileName();
    int dot = name.ReverseFind(L'.');
    return dot < 0 ? name : name.Left(dot);
}
