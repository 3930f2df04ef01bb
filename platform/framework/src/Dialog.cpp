// Dialogs: modeless and modal creation from templates found through the
// module state and resource chain, initial control data, data exchange.
#include "Internal.h"

#include <cstring>

INT_PTR CALLBACK AfxDlgProc(HWND, UINT, WPARAM, LPARAM) {
    // Everything a dialog object handles runs in its window procedure
    // (AfxWndProc) before the dialog manager sees it.
    return FALSE;
}

BEGIN_MESSAGE_MAP(CDialog, CWnd)
ON_COMMAND(IDOK, OnOK)
ON_COMMAND(IDCANCEL, OnCancel)
END_MESSAGE_MAP()

CDialog::CDialog() = default;

CDialog::CDialog(UINT templateId, CWnd* parent)
    : m_lpszTemplateName(MAKEINTRESOURCEW(templateId)), m_nIDHelp(templateId),
      m_pParentWnd(parent) {}

CDialog::CDialog(LPCWSTR templateName, CWnd* parent)
    : m_lpszTemplateName(templateName), m_pParentWnd(parent) {}

CDialog::~CDialog() {
    if (m_hWnd && FromHandlePermanent(m_hWnd) == this) DestroyWindow();
}

BOOL CDialog::Create(UINT templateId, CWnd* parent) {
    m_nIDHelp = templateId;
    return Create(MAKEINTRESOURCEW(templateId), parent);
}

BOOL CDialog::Create(LPCWSTR templateName, CWnd* parent) {
    if (m_hWnd || !templateName) return FALSE;
    m_lpszTemplateName = templateName;
    m_pParentWnd = parent;
    m_bModal = FALSE;
    AfxEnsureControls();
    HINSTANCE module = AfxFindResourceHandle(templateName, MAKEINTRESOURCEW(5));
    m_pModuleState = AfxGetModuleState();
    AfxHookWindowCreate(this);
    HWND hwnd = CreateDialogParamW(module, templateName, AfxGetSafeHwnd(parent), &AfxDlgProc, 0);
    AfxUnhookWindowCreate();
    return hwnd != nullptr;
}

HWND CDialog::ResolveOwner() const {
    HWND owner = AfxGetSafeHwnd(m_pParentWnd);
    if (!owner) owner = AfxGetSafeHwnd(AfxGetMainWnd());
    return owner ? GetAncestor(owner, GA_ROOT) : nullptr;
}

INT_PTR CDialog::DoModal() {
    if (m_hWnd || !m_lpszTemplateName) return -1;
    AfxEnsureControls();
    HINSTANCE module = AfxFindResourceHandle(m_lpszTemplateName, MAKEINTRESOURCEW(5));
    m_pModuleState = AfxGetModuleState();
    m_bModal = TRUE;
    m_nModalResult = -1;
    AfxHookWindowCreate(this);
    INT_PTR result = DialogBoxParamW(module, m_lpszTemplateName, ResolveOwner(), &AfxDlgProc, 0);
    AfxUnhookWindowCreate();
    m_bModal = FALSE;
    return result;
}

void CDialog::EndDialog(int result) {
    m_nModalResult = result;
    if (!m_hWnd) return;
    // A modeless dialog has no loop to end: closing it destroys it.
    if (m_bModal)
        ::EndDialog(m_hWnd, result);
    else
        DestroyWindow();
}

BOOL CDialog::OnInitDialog() {
    UpdateData(FALSE);
    return TRUE;
}

void CDialog::OnOK() {
    if (!UpdateData(TRUE)) return;
    EndDialog(IDOK);
}

void CDialog::OnCancel() {
    EndDialog(IDCANCEL);
}

void CDialog::DoDataExchange(CDataExchange*) {}

BOOL CDialog::UpdateData(BOOL saveAndValidate) {
    if (!m_hWnd) return FALSE;
    CDataExchange dx(this, saveAndValidate);
    DoDataExchange(&dx);
    return !dx.HasFailed();
}

BOOL CDialog::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
    if (message == WM_INITDIALOG) {
        ExecuteDlgInit(m_lpszTemplateName);
        *pResult = OnInitDialog();
        return TRUE;
    }
    return CWnd::OnWndMsg(message, wParam, lParam, pResult);
}

// Initial control data: records of control id, message, byte count and
// bytes, ended by a zero id. The list-box and combo-box string messages come
// in their 16-bit numbering with narrow strings.
BOOL CDialog::ExecuteDlgInit(LPCWSTR templateName) {
    if (!templateName || !m_hWnd) return FALSE;
    LPCWSTR type = MAKEINTRESOURCEW(240);
    HINSTANCE module = AfxFindResourceHandle(templateName, MAKEINTRESOURCEW(5));
    HRSRC res = FindResourceW(module, templateName, type);
    if (!res) return TRUE; // no initial data is fine
    HGLOBAL global = LoadResource(module, res);
    const BYTE* p = global ? static_cast<const BYTE*>(LockResource(global)) : nullptr;
    if (!p) return FALSE;
    const BYTE* end = p + SizeofResource(module, res);
    while (end - p >= 2) {
        WORD id, message;
        DWORD size;
        std::memcpy(&id, p, 2);
        if (id == 0) break;
        if (end - p < 8) return FALSE;
        std::memcpy(&message, p + 2, 2);
        std::memcpy(&size, p + 4, 4);
        p += 8;
        if (static_cast<DWORD>(end - p) < size) return FALSE;
        UINT msg = message == 0x0401 ? LB_ADDSTRING : message == 0x0403 ? CB_ADDSTRING : message;
        if ((msg == LB_ADDSTRING || msg == CB_ADDSTRING) && size > 0) {
            CString text(
                CString(reinterpret_cast<const char*>(p))
                    .Left(static_cast<int>(strnlen(reinterpret_cast<const char*>(p), size))));
            ::SendDlgItemMessageW(m_hWnd, id, msg, 0, reinterpret_cast<LPARAM>(text.GetString()));
        }
        p += size;
    }
    return TRUE;
}

void CDialog::NextDlgCtrl() const {
    ::SendMessageW(m_hWnd, WM_NEXTDLGCTL, 0, 0);
}
void CDialog::PrevDlgCtrl() const {
    ::SendMessageW(m_hWnd, WM_NEXTDLGCTL, 1, 0);
}
void CDialog::GotoDlgCtrl(CWnd* control) {
    ::SendMessageW(m_hWnd, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(AfxGetSafeHwnd(control)), 1);
}
void CDialog::SetDefID(UINT id) {
    ::SendMessageW(m_hWnd, DM_SETDEFID, id, 0);
}
DWORD CDialog::GetDefID() const {
    return static_cast<DWORD>(::SendMessageW(m_hWnd, DM_GETDEFID, 0, 0));
}
void CDialog::MapDialogRect(LPRECT rect) const {
    ::MapDialogRect(m_hWnd, rect);
}
