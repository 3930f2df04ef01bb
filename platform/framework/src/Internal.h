// Framework-internal state shared by its source files.
#pragma once

#include "framework.h"

#include <algorithm>
#include <map>
#include <unordered_map>
#include <utility>

// A window handle as the maps of window objects know it. A handle is 32
// bits, sign-extended on 64-bit Windows; Wine's GetParent answers it
// zero-extended once the handle's generation passes 0x7FFF (after many
// windows in one wineserver session), so lookups go by the low 32 bits.
inline HWND AfxWndKey(HWND hwnd) {
    return reinterpret_cast<HWND>(
        static_cast<INT_PTR>(static_cast<INT32>(reinterpret_cast<UINT_PTR>(hwnd) & 0xFFFFFFFFu)));
}

// Per-thread state of the framework.
struct AfxThreadState {
    AFX_MODULE_STATE* moduleState = nullptr; // null: the program's
    std::unordered_map<HWND, CWnd*> permanentWnds;
    std::unordered_map<HWND, CWnd*> tempWnds;
    std::unordered_map<HDC, CDC*> tempDCs;
    std::map<std::pair<HGDIOBJ, int>, CGdiObject*> tempGdiObjects; // by handle and kind
    std::unordered_map<HIMAGELIST, CImageList*> permanentImageLists;
    std::unordered_map<HIMAGELIST, CImageList*> tempImageLists;
    std::unordered_map<HMENU, CMenu*> tempMenus;
    CWnd* wndInit = nullptr; // window object waiting for its window (AfxHookWindowCreate)
    HHOOK cbtHook = nullptr;
    MSG lastMsg{}; // message being handled, for CWnd::Default
    int waitCursorCount = 0;
    HCURSOR waitCursorRestore = nullptr;
};

// A set of temporary objects put aside: a modal loop keeps its caller's
// temporaries here while it frees its own when idle, and gives them back
// when it ends.
struct AfxSavedTempMaps {
    std::unordered_map<HWND, CWnd*> wnds;
    std::unordered_map<HDC, CDC*> dcs;
    std::map<std::pair<HGDIOBJ, int>, CGdiObject*> gdiObjects;
    std::unordered_map<HIMAGELIST, CImageList*> imageLists;
    std::unordered_map<HMENU, CMenu*> menus;
};
void AfxSaveTempMaps(AfxSavedTempMaps& saved);    // moves the thread's temporaries into `saved`
void AfxRestoreTempMaps(AfxSavedTempMaps& saved); // frees the thread's, then puts `saved` back

AfxThreadState* AfxGetThreadState();  // created on first use
AfxThreadState* AfxPeekThreadState(); // null when the thread never used the framework
void AfxFreeThreadState();

HINSTANCE AfxGetFrameworkInstance();
// Registers the common control classes the framework wraps (once per process).
void AfxEnsureControls();
INT_PTR CALLBACK AfxDlgProc(HWND, UINT, WPARAM, LPARAM);
