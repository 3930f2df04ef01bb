// The application object, main window and application message box.
#include "Internal.h"

static CString ModuleBaseName(HMODULE module) {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(module, path, MAX_PATH);
    CString name(path);
    int slash = name.ReverseFind(L'\\');
    if (slash < 0) slash = name.ReverseFind(L'/');
    name = name.Mid(slash + 1);
    int dot = name.ReverseFind(L'.');
    if (dot > 0) name = name.Left(dot);
    return name;
}

CWinApp::CWinApp(LPCWSTR appName) {
    // The application of the module whose image holds this object; a heap
    // object belongs to the current module.
    HMODULE module = nullptr;
    if (GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                               GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                           reinterpret_cast<LPCWSTR>(this), &module))
        m_pModuleState = AfxGetModuleStateOf(module);
    else
        m_pModuleState = AfxGetModuleState();
    if (!m_pModuleState->m_pCurrentWinApp) m_pModuleState->m_pCurrentWinApp = this;

    m_hInstance = m_pModuleState->m_hCurrentInstanceHandle;
    m_strExeName = ModuleBaseName(m_hInstance);
    m_pszExeName = m_strExeName;
    SetAppName(appName && *appName ? appName : m_pszExeName);
}

CWinApp::~CWinApp() {
    if (m_pModuleState->m_pCurrentWinApp == this) {
        m_pModuleState->m_pCurrentWinApp = nullptr;
        m_pModuleState->m_lpszCurrentAppName = nullptr;
    }
}

void CWinApp::SetAppName(LPCWSTR name) {
    m_strAppName = name;
    m_pszAppName = m_strAppName;
    if (m_pModuleState->m_pCurrentWinApp == this)
        m_pModuleState->m_lpszCurrentAppName = m_pszAppName;
    // Without a registry key, profile settings go to <app>.INI as the platform keeps them.
    if (!m_pszRegistryKey) {
        m_strProfileName = m_strAppName + L".INI";
        m_pszProfileName = m_strProfileName;
    }
}

BOOL CWinApp::InitInstance() {
    return TRUE;
}
int CWinApp::ExitInstance() {
    return static_cast<int>(m_msgCur.wParam);
}

int CWinApp::Run() {
    bool idle = true;
    LONG idleCount = 0;
    MSG peek;
    for (;;) {
        while (idle && !::PeekMessageW(&peek, nullptr, 0, 0, PM_NOREMOVE))
            if (!OnIdle(idleCount++)) idle = false;
        do {
            if (!PumpMessage()) return ExitInstance();
            if (IsIdleMessage(&m_msgCur)) idle = true, idleCount = 0;
        } while (::PeekMessageW(&peek, nullptr, 0, 0, PM_NOREMOVE));
    }
}

BOOL CWinApp::PumpMessage() {
    if (!::GetMessageW(&m_msgCur, nullptr, 0, 0)) return FALSE;
    if (!AfxPreTranslateMessage(&m_msgCur)) {
        ::TranslateMessage(&m_msgCur);
        ::DispatchMessageW(&m_msgCur);
    }
    return TRUE;
}

BOOL CWinApp::IsIdleMessage(MSG* msg) {
    if (msg->message == WM_MOUSEMOVE || msg->message == WM_NCMOUSEMOVE) {
        // A mouse that reports the same place again changes nothing.
        bool same = msg->message == m_nMsgLast && msg->pt.x == m_ptCursorLast.x &&
                    msg->pt.y == m_ptCursorLast.y;
        m_ptCursorLast = msg->pt;
        m_nMsgLast = msg->message;
        return !same;
    }
    return msg->message != WM_PAINT && msg->message != 0x0118; // the caret's system timer
}

namespace {
struct IdleUpdate {
    HWND main;
};
void SendIdleUpdate(HWND hwnd) {
    CWnd* wnd = CWnd::FromHandlePermanent(hwnd);
    if (!wnd || !::IsWindowVisible(hwnd)) return;
    wnd->SendMessage(WM_IDLEUPDATECMDUI, TRUE);
    wnd->SendMessageToDescendants(WM_IDLEUPDATECMDUI, TRUE, 0, TRUE, TRUE);
}
BOOL CALLBACK IdleUpdateTopLevel(HWND hwnd, LPARAM param) {
    if (hwnd != reinterpret_cast<IdleUpdate*>(param)->main) SendIdleUpdate(hwnd);
    return TRUE;
}
} // namespace

BOOL CWinApp::OnIdle(LONG count) {
    if (count <= 0) {
        // The main window first, then the thread's other top-level windows
        // (floating bars' frames, modeless windows).
        IdleUpdate update{AfxGetSafeHwnd(GetMainWnd())};
        if (update.main) SendIdleUpdate(update.main);
        ::EnumThreadWindows(::GetCurrentThreadId(), &IdleUpdateTopLevel,
                            reinterpret_cast<LPARAM>(&update));
    } else if (count == 1) {
        AfxUnlockTempMaps(TRUE);
    }
    return count < 1;
}
CWnd* CWinApp::GetMainWnd() {
    return m_pMainWnd;
}

BOOL CWinApp::PreTranslateMessage(MSG* msg) {
    CWnd* main = AfxGetMainWnd();
    HWND stop = AfxGetSafeHwnd(main);
    if (CWnd::WalkPreTranslateTree(stop, msg)) return TRUE;
    if (!main) return FALSE;
    // A window outside the main window's family (a modeless dialog of
    // another owner) did not reach it: the main window still gets its turn,
    // for its accelerators, unless a modal loop has disabled it.
    HWND hwnd = msg->hwnd;
    while (hwnd && hwnd != stop)
        hwnd = ::GetParent(hwnd);
    if (hwnd != stop && ::IsWindowEnabled(stop)) return main->PreTranslateMessage(msg);
    return FALSE;
}

void CWinApp::SetRegistryKey(LPCWSTR key) {
    if (!key || !*key) return;
    m_strRegistryKey = key;
    m_pszRegistryKey = m_strRegistryKey;
    m_strProfileName = m_strAppName;
    m_pszProfileName = m_strProfileName;
}

HKEY CWinApp::OpenSectionKey(LPCWSTR section, BOOL create) {
    if (!m_pszRegistryKey || !section) return nullptr;
    CString path;
    path.Format(L"Software\\%s\\%s\\%s", m_pszRegistryKey, m_pszProfileName, section);
    HKEY key = nullptr;
    LONG rc = create ? RegCreateKeyExW(HKEY_CURRENT_USER, path, 0, nullptr, 0, KEY_READ | KEY_WRITE,
                                       nullptr, &key, nullptr)
                     : RegOpenKeyExW(HKEY_CURRENT_USER, path, 0, KEY_READ, &key);
    return rc == ERROR_SUCCESS ? key : nullptr;
}

UINT CWinApp::GetProfileInt(LPCWSTR section, LPCWSTR entry, int defaultValue) {
    if (!m_pszRegistryKey)
        return GetPrivateProfileIntW(section, entry, defaultValue, m_pszProfileName);
    HKEY key = OpenSectionKey(section, FALSE);
    if (!key) return static_cast<UINT>(defaultValue);
    DWORD value = 0, type = 0, size = sizeof value;
    LONG rc = RegQueryValueExW(key, entry, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size);
    RegCloseKey(key);
    return rc == ERROR_SUCCESS && type == REG_DWORD && size == sizeof value
               ? value
               : static_cast<UINT>(defaultValue);
}

BOOL CWinApp::WriteProfileInt(LPCWSTR section, LPCWSTR entry, int value) {
    if (!m_pszRegistryKey) {
        CString text;
        text.Format(L"%d", value);
        return WritePrivateProfileStringW(section, entry, text, m_pszProfileName);
    }
    HKEY key = OpenSectionKey(section, TRUE);
    if (!key) return FALSE;
    DWORD data = static_cast<DWORD>(value);
    LONG rc =
        RegSetValueExW(key, entry, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&data), sizeof data);
    RegCloseKey(key);
    return rc == ERROR_SUCCESS;
}

CString CWinApp::GetProfileString(LPCWSTR section, LPCWSTR entry, LPCWSTR defaultValue) {
    if (!defaultValue) defaultValue = L"";
    if (!m_pszRegistryKey) {
        CString text;
        for (int size = 256;; size *= 2) {
            DWORD n = GetPrivateProfileStringW(section, entry, defaultValue, text.GetBuffer(size),
                                               size, m_pszProfileName);
            text.ReleaseBuffer(static_cast<int>(n));
            if (static_cast<int>(n) < size - 1) return text;
        }
    }
    HKEY key = OpenSectionKey(section, FALSE);
    if (!key) return defaultValue;
    DWORD type = 0, size = 0;
    CString text = defaultValue;
    if (RegQueryValueExW(key, entry, nullptr, &type, nullptr, &size) == ERROR_SUCCESS &&
        type == REG_SZ) {
        CString value;
        int chars = static_cast<int>(size / sizeof(wchar_t));
        LPWSTR buffer = value.GetBuffer(chars + 1);
        if (RegQueryValueExW(key, entry, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size) ==
            ERROR_SUCCESS) {
            buffer[size / sizeof(wchar_t)] = 0;
            value.ReleaseBuffer();
            text = value;
        }
    }
    RegCloseKey(key);
    return text;
}

BOOL CWinApp::WriteProfileString(LPCWSTR section, LPCWSTR entry, LPCWSTR value) {
    if (!m_pszRegistryKey)
        return WritePrivateProfileStringW(section, entry, value, m_pszProfileName);
    HKEY key = OpenSectionKey(section, TRUE);
    if (!key) return FALSE;
    LONG rc;
    if (!entry) { // the whole section goes, as with profile files
        RegCloseKey(key);
        CString path;
        path.Format(L"Software\\%s\\%s\\%s", m_pszRegistryKey, m_pszProfileName, section);
        return RegDeleteKeyW(HKEY_CURRENT_USER, path) == ERROR_SUCCESS;
    }
    if (!value) {
        rc = RegDeleteValueW(key, entry);
    } else {
        DWORD bytes = static_cast<DWORD>((wcslen(value) + 1) * sizeof(wchar_t));
        rc = RegSetValueExW(key, entry, 0, REG_SZ, reinterpret_cast<const BYTE*>(value), bytes);
    }
    RegCloseKey(key);
    return rc == ERROR_SUCCESS;
}

void CWinApp::DoWaitCursor(int code) {
    AfxDoWaitCursor(code);
}

// The owner for a message box: the main window, else the thread's active window.
static HWND MessageBoxOwner() {
    HWND owner = AfxGetSafeHwnd(AfxGetMainWnd());
    if (!owner) owner = GetActiveWindow();
    if (owner) owner = GetAncestor(owner, GA_ROOT);
    return owner;
}

// Without an icon the box gets the usual one for its buttons.
static UINT WithDefaultIcon(UINT type) {
    if ((type & MB_ICONMASK) == 0) {
        switch (type & MB_TYPEMASK) {
        case MB_OK:
        case MB_OKCANCEL:
            type |= MB_ICONEXCLAMATION;
            break;
        case MB_YESNO:
        case MB_YESNOCANCEL:
            type |= MB_ICONQUESTION;
            break;
        case MB_ABORTRETRYIGNORE:
        case MB_RETRYCANCEL:
            break;
        }
    }
    return type;
}

int CWinApp::DoMessageBox(LPCWSTR prompt, UINT type, UINT) {
    // Help ids are accepted for compatibility; the framework has no help system to show them.
    return MessageBoxW(MessageBoxOwner(), prompt, m_pszAppName, WithDefaultIcon(type));
}

CWinApp* AFXAPI AfxGetApp() {
    return AfxGetModuleState()->m_pCurrentWinApp;
}

static bool IsThreadWindow(CWnd* wnd) {
    return wnd && wnd->m_hWnd && IsWindow(wnd->m_hWnd) &&
           GetWindowThreadProcessId(wnd->m_hWnd, nullptr) == GetCurrentThreadId();
}

CWnd* AFXAPI AfxGetMainWnd() {
    if (CWinApp* app = AfxGetApp())
        if (IsThreadWindow(app->GetMainWnd())) return app->GetMainWnd();
    if (CWinApp* app = AfxGetAppModuleState()->m_pCurrentWinApp)
        if (IsThreadWindow(app->GetMainWnd())) return app->GetMainWnd();
    return nullptr;
}

int AFXAPI AfxMessageBox(LPCWSTR text, UINT type, UINT helpId) {
    if (CWinApp* app = AfxGetApp()) return app->DoMessageBox(text, type, helpId);
    CString caption = ModuleBaseName(AfxGetInstanceHandle());
    return MessageBoxW(MessageBoxOwner(), text, caption, WithDefaultIcon(type));
}

int AFXAPI AfxMessageBox(UINT promptId, UINT type, UINT helpId) {
    CString text;
    text.LoadString(promptId);
    if (helpId == static_cast<UINT>(-1)) helpId = promptId;
    return AfxMessageBox(text, type, helpId);
}
