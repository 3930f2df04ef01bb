// Module state, the resource chain and the application object.
//
// Every module (the program and each DLL built on the framework) has its own
// module state: its instance handle, the handle its resources are looked up
// in and its application object. Each thread has a current module state,
// the program's unless switched; a DLL switches to its own state around the
// calls that create windows from its resources (AFX_MANAGE_STATE), and its
// windows run their window procedure under the state they were created in.
//
// The resource chain is a process-wide list of modules whose resources the
// framework's lookups search after the current module's own: a DLL enters it
// at process attach (CDynLinkLibrary) and leaves it at detach.
#pragma once

#include "CmdTarget.h"
#include "String.h"

struct AFX_MODULE_STATE {
    HINSTANCE m_hCurrentInstanceHandle = nullptr;
    HINSTANCE m_hCurrentResourceHandle = nullptr;
    LPCWSTR m_lpszCurrentAppName = nullptr;
    CWinApp* m_pCurrentWinApp = nullptr;
    BOOL m_bDLL = FALSE;
    BOOL m_bInitialized = FALSE; // AfxWinInit ran and AfxWinTerm did not yet
};

// The calling thread's current module state.
FW_API AFX_MODULE_STATE* AFXAPI AfxGetModuleState();
// The program's (the process's main executable) module state.
FW_API AFX_MODULE_STATE* AFXAPI AfxGetAppModuleState();
// The state of a given module, created on first use; owned by the framework.
FW_API AFX_MODULE_STATE* AFXAPI AfxGetModuleStateOf(HMODULE module);
// Makes `state` current for the calling thread; returns the previous one.
FW_API AFX_MODULE_STATE* AFXAPI AfxSetModuleState(AFX_MODULE_STATE* state);

// The module that contains the calling code. Inline and not exported, so each
// module gets its own copy, which finds its own image by an address inside it.
inline HMODULE AfxGetThisModule() {
    static const char anchor = 0;
    static HMODULE module = nullptr;
    if (!module)
        GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                               GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                           reinterpret_cast<LPCWSTR>(&anchor), &module);
    return module;
}

// The module state of the module that calls this (per-module, see above).
inline AFX_MODULE_STATE* AfxGetStaticModuleState() {
    static AFX_MODULE_STATE* state = AfxGetModuleStateOf(AfxGetThisModule());
    return state;
}

// Switches the thread's module state for the lifetime of the object.
class AFX_MAINTAIN_STATE2 {
public:
    explicit AFX_MAINTAIN_STATE2(AFX_MODULE_STATE* state)
        : m_pPrevState(AfxSetModuleState(state)) {}
    ~AFX_MAINTAIN_STATE2() { AfxSetModuleState(m_pPrevState); }
    AFX_MAINTAIN_STATE2(const AFX_MAINTAIN_STATE2&) = delete;
    AFX_MAINTAIN_STATE2& operator=(const AFX_MAINTAIN_STATE2&) = delete;

private:
    AFX_MODULE_STATE* m_pPrevState;
};

#define AFX_MANAGE_STATE(p) AFX_MAINTAIN_STATE2 _ctlState(p);

// Handles of the current module state.
FW_API HINSTANCE AFXAPI AfxGetInstanceHandle();
FW_API HINSTANCE AFXAPI AfxGetResourceHandle();
FW_API void AFXAPI AfxSetResourceHandle(HINSTANCE resource);

// Resource lookup: the current module's resources first, then the modules of
// the resource chain in the order they registered, then the program's.
// Returns the module that has the resource, or the current resource handle
// when none has it (so that the caller's load fails as it would have).
FW_API HINSTANCE AFXAPI AfxFindResourceHandle(LPCWSTR name, LPCWSTR type);
FW_API HINSTANCE AFXAPI AfxFindStringResourceHandle(UINT id);
// Points *text at string `id` of `instance` (not NUL-terminated) and returns
// its length, or -1 when the module has no such string.
FW_API int AFXAPI AfxGetStringResource(HINSTANCE instance, UINT id, LPCWSTR* text);
// Loads a bitmap through the resource chain; the caller deletes it.
FW_API HBITMAP AFXAPI AfxLoadBitmap(LPCWSTR name);

// Module set-up, as a DLL's entry point or a program's start runs it.
FW_API BOOL AFXAPI AfxCoreInitModule();
FW_API BOOL AFXAPI AfxWinInit(HINSTANCE instance, HINSTANCE prevInstance, LPWSTR cmdLine,
                              int cmdShow);
FW_API void AFXAPI AfxWinTerm();
// Deletes the calling thread's temporary objects (CWnd::FromHandle, CDC::FromHandle).
FW_API BOOL AFXAPI AfxUnlockTempMaps(BOOL deleteTemps = TRUE);
// Ends the calling thread's framework state (temporary maps, wait cursor).
FW_API void AFXAPI AfxTermThread(HINSTANCE instTerm = nullptr);

// Registration of a module in the resource chain.
struct AFX_EXTENSION_MODULE {
    BOOL bInitialized = FALSE;
    HMODULE hModule = nullptr;
    HMODULE hResource = nullptr;
};

FW_API BOOL AFXAPI AfxInitExtensionModule(AFX_EXTENSION_MODULE& module, HMODULE instance);
// Removes every chain entry of the module (deleting the CDynLinkLibrary objects).
FW_API void AFXAPI AfxTermExtensionModule(AFX_EXTENSION_MODULE& module, BOOL all = FALSE);

// One entry of the resource chain; created with `new` at process attach,
// deleted by AfxTermExtensionModule at detach.
class FW_API CDynLinkLibrary : public CCmdTarget {
public:
    explicit CDynLinkLibrary(AFX_EXTENSION_MODULE& module, BOOL system = FALSE);
    CDynLinkLibrary(HINSTANCE module, HINSTANCE resource);
    ~CDynLinkLibrary() override;

    HMODULE m_hModule;
    HMODULE m_hResource;
    BOOL m_bSystem;

private:
    void Link();
};

// The application object of a module: at most one per module, usually a
// global. Its constructor makes it the application of the module its object
// lives in (of the current module state when it lives on the heap).
class FW_API CWinApp : public CCmdTarget {
public:
    DECLARE_DYNAMIC(CWinApp)
    explicit CWinApp(LPCWSTR appName = nullptr);
    ~CWinApp() override;

    virtual BOOL InitInstance();
    // The exit code: the WM_QUIT code that ended Run (0 without a loop).
    virtual int ExitInstance();
    // The message loop: dispatches messages and, whenever the queue runs
    // empty, calls OnIdle with 0, 1, ... until it returns FALSE. Returns
    // ExitInstance's result once WM_QUIT arrives.
    virtual int Run();
    // Idle work: 0 updates the command states of the visible frames' bars
    // and menus (WM_IDLEUPDATECMDUI to each top-level framework window of
    // the thread and its descendants), 1 frees the thread's temporary
    // objects. TRUE while there is more to do.
    virtual BOOL OnIdle(LONG count);
    // One message from the queue, pre-translated and dispatched; FALSE on WM_QUIT.
    virtual BOOL PumpMessage();
    // Whether a message starts a new round of idle work (painting, the
    // caret's timer and a mouse that did not move do not).
    virtual BOOL IsIdleMessage(MSG* msg);
    virtual CWnd* GetMainWnd();
    // Pre-translation of a queued message: the windows from the message's
    // own up to the main window, then the main window itself when the
    // message is for a window outside it (a modeless dialog, say).
    virtual BOOL PreTranslateMessage(MSG* msg);
    // Shows a message box owned by the main window; type and help id as MessageBox.
    virtual int DoMessageBox(LPCWSTR prompt, UINT type, UINT helpId);
    // +1 shows the wait cursor (counted), -1 takes one back, 0 restores it.
    virtual void DoWaitCursor(int code);

    // Profile settings under HKEY_CURRENT_USER\Software\<registry key>\<profile name>\<section>
    // once SetRegistryKey has named the key.
    void SetRegistryKey(LPCWSTR key);
    UINT GetProfileInt(LPCWSTR section, LPCWSTR entry, int defaultValue);
    BOOL WriteProfileInt(LPCWSTR section, LPCWSTR entry, int value);
    CString GetProfileString(LPCWSTR section, LPCWSTR entry, LPCWSTR defaultValue = nullptr);
    BOOL WriteProfileString(LPCWSTR section, LPCWSTR entry, LPCWSTR value);

    HCURSOR LoadStandardCursor(LPCWSTR name) const { return ::LoadCursorW(nullptr, name); }
    HICON LoadStandardIcon(LPCWSTR name) const { return ::LoadIconW(nullptr, name); }

    LPCWSTR m_pszAppName = nullptr;
    LPCWSTR m_pszRegistryKey = nullptr;
    LPCWSTR m_pszProfileName = nullptr;
    LPCWSTR m_pszExeName = nullptr;
    HINSTANCE m_hInstance = nullptr;
    LPWSTR m_lpCmdLine = nullptr;
    int m_nCmdShow = SW_SHOWNORMAL;
    CWnd* m_pMainWnd = nullptr;
    MSG m_msgCur{}; // the message PumpMessage took last

private:
    POINT m_ptCursorLast{-1, -1};
    UINT m_nMsgLast = 0;
    HKEY OpenSectionKey(LPCWSTR section, BOOL create);
    void SetAppName(LPCWSTR name);

    AFX_MODULE_STATE* m_pModuleState = nullptr;
    CString m_strAppName, m_strRegistryKey, m_strProfileName, m_strExeName;
};

// The current module's application object (null when it has none).
FW_API CWinApp* AFXAPI AfxGetApp();
// The calling thread's main window: the current module's application main
// window, else the program's, provided that window belongs to this thread.
FW_API CWnd* AFXAPI AfxGetMainWnd();
// The application message box (CWinApp::DoMessageBox, or the framework's own
// when the module has no application object).
FW_API int AFXAPI AfxMessageBox(LPCWSTR text, UINT type = MB_OK, UINT helpId = 0);
FW_API int AFXAPI AfxMessageBox(UINT promptId, UINT type = MB_OK,
                                UINT helpId = static_cast<UINT>(-1));
// The framework's wait cursor counter for the calling thread (see DoWaitCursor).
FW_API void AFXAPI AfxDoWaitCursor(int code);

// Shows the wait cursor while the object lives.
class CWaitCursor {
public:
    CWaitCursor() { AfxDoWaitCursorThroughApp(1); }
    ~CWaitCursor() { AfxDoWaitCursorThroughApp(-1); }
    void Restore() { AfxDoWaitCursorThroughApp(0); }
    CWaitCursor(const CWaitCursor&) = delete;
    CWaitCursor& operator=(const CWaitCursor&) = delete;

private:
    static void AfxDoWaitCursorThroughApp(int code) {
        if (CWinApp* app = AfxGetApp())
            app->DoWaitCursor(code);
        else
            AfxDoWaitCursor(code);
    }
};
