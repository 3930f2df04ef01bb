// CToolTipCtrl: a tooltip window with its tools.
//
// Tool records are passed with the common controls 5.x size
// (TTTOOLINFOW_V2_SIZE): modules without a manifest get that version of the
// control, which refuses the larger record of version 6.
#pragma once

#include "Wnd.h"

class FW_API CToolTipCtrl : public CWnd {
public:
    DECLARE_DYNAMIC(CToolTipCtrl)

    // A topmost popup owned by `parent` (TTS_ALWAYSTIP is added).
    BOOL Create(CWnd* parent, DWORD style = 0);

    // A tool over `rect` of `wnd` (its whole client area when rect is null),
    // identified by `toolId`, with `text` (LPSTR_TEXTCALLBACKW asks the
    // window); toolId 0 makes the window itself the tool (TTF_IDISHWND).
    // The control sees mouse messages only through RelayEvent.
    BOOL AddTool(CWnd* wnd, LPCWSTR text = LPSTR_TEXTCALLBACKW, LPCRECT rect = nullptr,
                 UINT_PTR toolId = 0);
    BOOL AddTool(CWnd* wnd, UINT textId, LPCRECT rect = nullptr, UINT_PTR toolId = 0);
    void DelTool(CWnd* wnd, UINT_PTR toolId = 0);
    // Reads the tool's record (text not included); FALSE when there is no such tool.
    BOOL GetToolInfo(TTTOOLINFOW& info, CWnd* wnd, UINT_PTR toolId = 0) const;
    void SetToolInfo(TTTOOLINFOW* info) { SendMessage(TTM_SETTOOLINFOW, 0, reinterpret_cast<LPARAM>(info)); }
    void SetToolRect(CWnd* wnd, UINT_PTR toolId, LPCRECT rect);
    void UpdateTipText(LPCWSTR text, CWnd* wnd, UINT_PTR toolId = 0);
    void UpdateTipText(UINT textId, CWnd* wnd, UINT_PTR toolId = 0);
    int GetToolCount() const { return static_cast<int>(SendMessage(TTM_GETTOOLCOUNT)); }

    void Activate(BOOL activate) { SendMessage(TTM_ACTIVATE, activate); }
    void RelayEvent(LPMSG msg) { SendMessage(TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(msg)); }
    int SetMaxTipWidth(int width) { return static_cast<int>(SendMessage(TTM_SETMAXTIPWIDTH, 0, width)); }
    int GetMaxTipWidth() const { return static_cast<int>(SendMessage(TTM_GETMAXTIPWIDTH)); }
    void SetDelayTime(UINT delay) { SendMessage(TTM_SETDELAYTIME, TTDT_AUTOMATIC, delay); }
    void SetDelayTime(DWORD duration, int time) { SendMessage(TTM_SETDELAYTIME, duration, time); }
    int GetDelayTime(DWORD duration) const { return static_cast<int>(SendMessage(TTM_GETDELAYTIME, duration)); }
    void Pop() { SendMessage(TTM_POP); }
    void Update() { SendMessage(TTM_UPDATE); }

private:
    static void FillInfo(TTTOOLINFOW& info, CWnd* wnd, UINT_PTR toolId);
};
