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
    HRSRC res = FindResourceW(module, m_lpszTemplateName, MAKEINTRESOURCEW(5));
    HGLOBAL global = res ? LoadResource(module, res) : nullptr;
    auto* dialogTemplate = global ? static_cast<LPCDLGTEMPLATEW>(LockResource(global)) : nullptr;
    if (!dialogTemplate) return -1;

    // The owner is disabled for the dialog's whole life, as the system's
    // own modal dialogs do, and only if it was enabled before.
    HWND owner = ResolveOwner();
    const bool enableOwner = owner && ::IsWindowEnabled(owner);
    if (enableOwner) ::EnableWindow(owner, FALSE);

    m_pModuleState = AfxGetModuleState();
    m_bModal = TRUE;
    m_bContinueModal = TRUE;
    m_nModalResult = -1;
    AfxHookWindowCreate(this);
    HWND hwnd = CreateDialogIndirectParamW(module, dialogTemplate, owner, &AfxDlgProc, 0);
    AfxUnhookWindowCreate();
    if (hwnd && m_hWnd == hwnd) {
        // EndDialog from OnInitDialog ends it before it is ever shown.
        if (m_bContinueModal) {
            if (!(GetStyle() & WS_VISIBLE)) ShowWindow(SW_SHOWNORMAL);
            RunModalLoop();
        }
        if (m_hWnd)
            ::SetWindowPos(m_hWnd, nullptr, 0, 0, 0, 0,
                           SWP_HIDEWINDOW | SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE | SWP_NOZORDER);
    }
    // The owner comes back before the dialog goes, so that activation
    // returns to it rather than to some other program's window.
    if (enableOwner) ::EnableWindow(owner, TRUE);
    if (owner && m_hWnd && ::GetActiveWindow() == m_hWnd) ::SetActiveWindow(owner);
    if (m_hWnd) DestroyWindow();
    else if (hwnd && ::IsWindow(hwnd)) ::DestroyWindow(hwnd);
    m_bModal = FALSE;
    m_bContinueModal = FALSE;
    return hwnd ? m_nModalResult : -1;
}

// Messages that leave the loop idle again once handled: painting and the
// caret's system timer come by themselves and would never let it rest.
static bool IsIdleMessage(const MSG& msg) {
    return msg.message != WM_PAINT && msg.message != 0x0118;
}

void CDialog::RunModalLoop() {
    // Temporary objects made inside the loop are its own: they are freed
    // whenever the queue is empty, while the caller's wait until it ends.
    AfxSavedTempMaps callers;
    AfxSaveTempMaps(callers);
    bool idle = true;
    MSG msg;
    while (m_bContinueModal && ::IsWindow(m_hWnd)) {
        if (idle && !::PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE)) {
            AfxUnlockTempMaps(TRUE);
            idle = false;
            continue;
        }
        if (!::GetMessageW(&msg, nullptr, 0, 0)) {
            // The program is ending: the loop that owns the quit sees it too.
            ::PostQuitMessage(static_cast<int>(msg.wParam));
            m_nModalResult = -1;
            break;
        }
        if (!AfxPreTranslateMessage(&msg) && !::IsDialogMessageW(m_hWnd, &msg)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
        if (IsIdleMessage(msg)) idle = true;
    }
    AfxRestoreTempMaps(callers);
}

void CDialog::EndDialog(int result) {
    m_nModalResult = result;
    if (!m_hWnd) return;
    if (m_bModal) {
        // The loop ends at its next turn; the wake-up makes sure it has one.
        m_bContinueModal = FALSE;
        ::PostMessageW(m_hWnd, WM_NULL, 0, 0);
    } else {
        // A modeless dialog has no loop to end: closing it destroys it.
        DestroyWindow();
    }
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
