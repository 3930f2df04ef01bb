// CToolBarCtrl: the toolbar common control, with inline wrappers of its
// TB_* messages.
#pragma once

#include "Wnd.h"

class FW_API CToolBarCtrl : public CWnd {
public:
    DECLARE_DYNAMIC(CToolBarCtrl)
    BOOL Create(DWORD style, const RECT& rect, CWnd* parent, UINT id);

    // Buttons.
    int GetButtonCount() const { return static_cast<int>(SendMessage(TB_BUTTONCOUNT)); }
    BOOL GetButton(int index, TBBUTTON* button) const {
        return static_cast<BOOL>(SendMessage(TB_GETBUTTON, index, reinterpret_cast<LPARAM>(button)));
    }
    BOOL AddButtons(int count, const TBBUTTON* buttons) {
        return static_cast<BOOL>(SendMessage(TB_ADDBUTTONSW, count, reinterpret_cast<LPARAM>(buttons)));
    }
    BOOL InsertButton(int index, const TBBUTTON* button) {
        return static_cast<BOOL>(SendMessage(TB_INSERTBUTTONW, index, reinterpret_cast<LPARAM>(button)));
    }
    BOOL DeleteButton(int index) { return static_cast<BOOL>(SendMessage(TB_DELETEBUTTON, index)); }
    int CommandToIndex(UINT id) const { return static_cast<int>(SendMessage(TB_COMMANDTOINDEX, id)); }
    BOOL GetItemRect(int index, LPRECT rect) const {
        return static_cast<BOOL>(SendMessage(TB_GETITEMRECT, index, reinterpret_cast<LPARAM>(rect)));
    }
    BOOL GetRect(UINT id, LPRECT rect) const {
        return static_cast<BOOL>(SendMessage(TB_GETRECT, id, reinterpret_cast<LPARAM>(rect)));
    }
    int HitTest(LPPOINT point) const {
        return static_cast<int>(SendMessage(TB_HITTEST, 0, reinterpret_cast<LPARAM>(point)));
    }
    int GetButtonInfo(UINT id, TBBUTTONINFOW* info) const {
        return static_cast<int>(SendMessage(TB_GETBUTTONINFOW, id, reinterpret_cast<LPARAM>(info)));
    }
    BOOL SetButtonInfo(UINT id, TBBUTTONINFOW* info) {
        return static_cast<BOOL>(SendMessage(TB_SETBUTTONINFOW, id, reinterpret_cast<LPARAM>(info)));
    }
    BOOL SetCmdID(int index, UINT id) { return static_cast<BOOL>(SendMessage(TB_SETCMDID, index, id)); }
    BOOL ChangeBitmap(UINT id, int image) {
        return static_cast<BOOL>(SendMessage(TB_CHANGEBITMAP, id, MAKELPARAM(image, 0)));
    }
    int GetBitmap(UINT id) const { return static_cast<int>(SendMessage(TB_GETBITMAP, id)); }

    // Button states by command id.
    BOOL EnableButton(UINT id, BOOL enable = TRUE) { return SetStateFlag(TB_ENABLEBUTTON, id, enable); }
    BOOL CheckButton(UINT id, BOOL check = TRUE) { return SetStateFlag(TB_CHECKBUTTON, id, check); }
    BOOL PressButton(UINT id, BOOL press = TRUE) { return SetStateFlag(TB_PRESSBUTTON, id, press); }
    BOOL HideButton(UINT id, BOOL hide = TRUE) { return SetStateFlag(TB_HIDEBUTTON, id, hide); }
    BOOL Indeterminate(UINT id, BOOL on = TRUE) { return SetStateFlag(TB_INDETERMINATE, id, on); }
    BOOL IsButtonEnabled(UINT id) const { return static_cast<BOOL>(SendMessage(TB_ISBUTTONENABLED, id)); }
    BOOL IsButtonChecked(UINT id) const { return static_cast<BOOL>(SendMessage(TB_ISBUTTONCHECKED, id)); }
    BOOL IsButtonPressed(UINT id) const { return static_cast<BOOL>(SendMessage(TB_ISBUTTONPRESSED, id)); }
    BOOL IsButtonHidden(UINT id) const { return static_cast<BOOL>(SendMessage(TB_ISBUTTONHIDDEN, id)); }
    BOOL IsButtonIndeterminate(UINT id) const {
        return static_cast<BOOL>(SendMessage(TB_ISBUTTONINDETERMINATE, id));
    }
    BOOL SetState(UINT id, UINT state) { return static_cast<BOOL>(SendMessage(TB_SETSTATE, id, MAKELPARAM(state, 0))); }
    int GetState(UINT id) const { return static_cast<int>(SendMessage(TB_GETSTATE, id)); }

    // Sizes, images and text.
    BOOL SetButtonSize(CSize size) { return static_cast<BOOL>(SendMessage(TB_SETBUTTONSIZE, 0, MAKELPARAM(size.cx, size.cy))); }
    BOOL SetBitmapSize(CSize size) { return static_cast<BOOL>(SendMessage(TB_SETBITMAPSIZE, 0, MAKELPARAM(size.cx, size.cy))); }
    CSize GetButtonSize() const {
        DWORD size = static_cast<DWORD>(SendMessage(TB_GETBUTTONSIZE));
        return CSize(LOWORD(size), HIWORD(size));
    }
    HIMAGELIST SetImageList(HIMAGELIST list) {
        return reinterpret_cast<HIMAGELIST>(SendMessage(TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(list)));
    }
    HIMAGELIST GetImageList() const { return reinterpret_cast<HIMAGELIST>(SendMessage(TB_GETIMAGELIST)); }
    HIMAGELIST SetHotImageList(HIMAGELIST list) {
        return reinterpret_cast<HIMAGELIST>(SendMessage(TB_SETHOTIMAGELIST, 0, reinterpret_cast<LPARAM>(list)));
    }
    HIMAGELIST SetDisabledImageList(HIMAGELIST list) {
        return reinterpret_cast<HIMAGELIST>(SendMessage(TB_SETDISABLEDIMAGELIST, 0, reinterpret_cast<LPARAM>(list)));
    }
    int AddBitmap(int count, UINT bitmapId);
    int AddStrings(LPCWSTR strings) { return static_cast<int>(SendMessage(TB_ADDSTRINGW, 0, reinterpret_cast<LPARAM>(strings))); }
    BOOL SetMaxTextRows(int rows) { return static_cast<BOOL>(SendMessage(TB_SETMAXTEXTROWS, rows)); }
    int GetTextRows() const { return static_cast<int>(SendMessage(TB_GETTEXTROWS)); }
    void SetRows(int rows, BOOL larger, LPRECT rect) { SendMessage(TB_SETROWS, MAKEWPARAM(rows, larger), reinterpret_cast<LPARAM>(rect)); }
    int GetRows() const { return static_cast<int>(SendMessage(TB_GETROWS)); }
    BOOL SetIndent(int indent) { return static_cast<BOOL>(SendMessage(TB_SETINDENT, indent)); }
    BOOL GetMaxSize(LPSIZE size) const { return static_cast<BOOL>(SendMessage(TB_GETMAXSIZE, 0, reinterpret_cast<LPARAM>(size))); }
    void AutoSize() { SendMessage(TB_AUTOSIZE); }

    // Styles.
    DWORD SetExtendedStyle(DWORD style) { return static_cast<DWORD>(SendMessage(TB_SETEXTENDEDSTYLE, 0, style)); }
    DWORD GetExtendedStyle() const { return static_cast<DWORD>(SendMessage(TB_GETEXTENDEDSTYLE)); }
    void SetStyle(DWORD style) { SendMessage(TB_SETSTYLE, 0, style); }
    DWORD GetStyle() const { return static_cast<DWORD>(SendMessage(TB_GETSTYLE)); }

    // Tooltips, customisation and saved state.
    HWND GetToolTips() const { return reinterpret_cast<HWND>(SendMessage(TB_GETTOOLTIPS)); }
    void SetToolTips(HWND tips) { SendMessage(TB_SETTOOLTIPS, reinterpret_cast<WPARAM>(tips)); }
    void Customize() { SendMessage(TB_CUSTOMIZE); }
    void SaveState(HKEY root, LPCWSTR subKey, LPCWSTR valueName);
    void RestoreState(HKEY root, LPCWSTR subKey, LPCWSTR valueName);

private:
    BOOL SetStateFlag(UINT message, UINT id, BOOL on) {
        return static_cast<BOOL>(SendMessage(message, id, MAKELPARAM(on ? 1 : 0, 0)));
    }
};
