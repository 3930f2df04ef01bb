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
