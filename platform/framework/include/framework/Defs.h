// Common definitions of the application framework: export macro, Windows
// headers and forward declarations.
#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
#include <commctrl.h>

#ifdef FRAMEWORK_BUILD
#define FW_API __declspec(dllexport)
#else
#define FW_API __declspec(dllimport)
#endif

#ifndef AFXAPI
#define AFXAPI __stdcall
#endif

class CObject;
class CCmdTarget;
class CString;
class CWnd;
class CDC;
class CImageList;
class CMenu;
class CCmdUI;
class CFrameWnd;
class CControlBar;
class CDockBar;
class CDialog;
class CWinApp;
class CDataExchange;
struct AFX_MODULE_STATE;

// Reflected notifications arrive at the control as WM_REFLECT_BASE + message.
#define WM_REFLECT_BASE 0xBC00

// The framework's single message id for all WM_CTLCOLOR* messages in message
// maps (the handler gets the CTLCOLOR_* type separately).
#ifndef WM_CTLCOLOR
#define WM_CTLCOLOR 0x0019
#endif

// The framework's private window messages.
#define WM_SIZEPARENT 0x0361       // lParam: AFX_SIZEPARENTPARAMS*; a bar takes its edge of the parent
#define WM_SETMESSAGESTRING 0x0362 // wParam: string id, lParam: text (no status bar here: unused)
#define WM_IDLEUPDATECMDUI 0x0363  // wParam: disable commands without a handler
#define WM_RECALCPARENT 0x0368     // a floating frame asks for its layout again
#define WM_KICKIDLE 0x036A         // wakes a loop so that it runs its idle work

// Command notification codes passed to CCmdTarget::OnCmdMsg.
#define CN_COMMAND 0                              // pExtra unused
#define CN_UPDATE_COMMAND_UI (static_cast<int>(-1)) // pExtra: CCmdUI*

// Window ids the framework gives its frames' parts.
#define AFX_IDW_CONTROLBAR_FIRST 0xE800
#define AFX_IDW_CONTROLBAR_LAST 0xE8FF
#define AFX_IDW_TOOLBAR 0xE800
#define AFX_IDW_STATUS_BAR 0xE801
#define AFX_IDW_DOCKBAR_TOP 0xE81B
#define AFX_IDW_DOCKBAR_LEFT 0xE81C
#define AFX_IDW_DOCKBAR_RIGHT 0xE81D
#define AFX_IDW_DOCKBAR_BOTTOM 0xE81E
#define AFX_IDW_DOCKBAR_FLOAT 0xE81F
#define AFX_IDW_PANE_FIRST 0xE900
#define AFX_IDW_PANE_LAST 0xE9FF

// What WM_SIZEPARENT carries: the part of the parent's client area still
// free (each bar takes its edge), the bars' total size, and the batch that
// moves them (null for a query).
struct AFX_SIZEPARENTPARAMS {
    HDWP hDWP;
    RECT rect;
    SIZE sizeTotal;
    BOOL bStretch;
};

// Moves `hwnd` to `rect` (parent client coordinates) within the layout's
// batch; nothing for a query or when it is already there.
FW_API void AFXAPI AfxRepositionWindow(AFX_SIZEPARENTPARAMS* layout, HWND hwnd, LPCRECT rect);
