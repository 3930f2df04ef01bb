// CToolBar: a control bar made of the toolbar common control. Buttons come
// from an RT_TOOLBAR resource (LoadToolBar) or SetButtons, images from one
// bitmap strip. The toolbar builds and owns its image list at its current
// image size (a strip of another height is scaled), so a new size never
// cuts old images into cells of the new one; the list and strip it replaces
// are freed.
//
// Layout: docked at the top or bottom the buttons make one row; at the left
// or right one column; floating (with CBRS_SIZE_DYNAMIC) they wrap at
// separators to the width the user gives the frame. Wrap states are written
// to the control when a layout is committed or docked.
#pragma once

#include "ControlBar.h"
#include "MapStringToPtr.h"
#include "ToolBarCtrl.h"

// Button styles as GetButtonStyle/SetButtonStyle see them: the control's
// style in the low word, its state in the high word with the enabled bit
// turned round (TBBS_DISABLED).
#define TBBS_BUTTON MAKELONG(TBSTYLE_BUTTON, 0)
#define TBBS_SEPARATOR MAKELONG(TBSTYLE_SEP, 0)
#define TBBS_CHECKBOX MAKELONG(TBSTYLE_CHECK, 0)
#define TBBS_GROUP MAKELONG(TBSTYLE_GROUP, 0)
#define TBBS_CHECKGROUP MAKELONG(TBSTYLE_CHECKGROUP, 0)
#define TBBS_DROPDOWN MAKELONG(TBSTYLE_DROPDOWN, 0)
#define TBBS_AUTOSIZE MAKELONG(TBSTYLE_AUTOSIZE, 0)
#define TBBS_NOPREFIX MAKELONG(TBSTYLE_NOPREFIX, 0)
#define TBBS_CHECKED MAKELONG(0, TBSTATE_CHECKED)
#define TBBS_PRESSED MAKELONG(0, TBSTATE_PRESSED)
#define TBBS_DISABLED MAKELONG(0, TBSTATE_ENABLED)
#define TBBS_INDETERMINATE MAKELONG(0, TBSTATE_INDETERMINATE)
#define TBBS_HIDDEN MAKELONG(0, TBSTATE_HIDDEN)
#define TBBS_WRAPPED MAKELONG(0, TBSTATE_WRAP)

#define ID_SEPARATOR 0
#ifndef RT_TOOLBAR
#define RT_TOOLBAR MAKEINTRESOURCEW(241)
#endif

class FW_API CToolBar : public CControlBar {
public:
    DECLARE_DYNAMIC(CToolBar)
    CToolBar();
    ~CToolBar() override;

    BOOL Create(CWnd* parent, DWORD style = WS_CHILD | WS_VISIBLE | CBRS_TOP,
                UINT id = AFX_IDW_TOOLBAR);
    BOOL CreateEx(CWnd* parent, DWORD ctrlStyle = TBSTYLE_FLAT,
                  DWORD style = WS_CHILD | WS_VISIBLE | CBRS_ALIGN_TOP,
                  CRect borders = CRect(0, 0, 0, 0), UINT id = AFX_IDW_TOOLBAR);

    // Buttons and images.
    BOOL LoadToolBar(LPCWSTR name);
    BOOL LoadToolBar(UINT id) { return LoadToolBar(MAKEINTRESOURCEW(id)); }
    // ID_SEPARATOR entries are separators; ids null: `count` separators.
    BOOL SetButtons(const UINT* ids, int count);
    // The strip through the resource chain, or a bitmap the toolbar then owns.
    BOOL LoadBitmap(LPCWSTR name);
    BOOL LoadBitmap(UINT id) { return LoadBitmap(MAKEINTRESOURCEW(id)); }
    BOOL SetBitmap(HBITMAP bitmap);
    void SetSizes(SIZE button, SIZE image);
    // Sets the bar's height by spreading it over the top and bottom margins.
    void SetHeight(int height);

    int CommandToIndex(UINT id) const;
    UINT GetItemID(int index) const;
    void GetItemRect(int index, LPRECT rect) const;
    UINT GetButtonStyle(int index) const;
    void SetButtonStyle(int index, UINT style);
    void GetButtonInfo(int index, UINT& id, UINT& style, int& image) const;
    void SetButtonInfo(int index, UINT id, UINT style, int image);
    BOOL SetButtonText(int index, LPCWSTR text);
    CString GetButtonText(int index) const;
    void GetButtonText(int index, CString& text) const { text = GetButtonText(index); }
    // The control of this bar (a view on the same window).
    CToolBarCtrl& GetToolBarCtrl() const;

    CSize CalcFixedLayout(BOOL stretch, BOOL horz) override;
    CSize CalcDynamicLayout(int length, DWORD mode) override;
    void OnUpdateCmdUI(CFrameWnd* target, BOOL disableIfNoHandler) override;

    HINSTANCE m_hInstImageWell = nullptr; // where LoadBitmap found the strip
    HRSRC m_hRsrcImageWell = nullptr;
    HBITMAP m_hbmImageWell = nullptr; // the strip, owned
    HIMAGELIST m_hImageList = nullptr; // the images at m_sizeImage, owned
    BOOL m_bDelayedButtonLayout = TRUE;
    CSize m_sizeImage{16, 15};
    CSize m_sizeButton{23, 22};
    CMapStringToPtr* m_pStringMap = nullptr; // button texts to string indexes

protected:
    // Layout steps, on copies of the button records (_GetButton).
    // The room an item takes in its row; the hook for items of other sizes.
    virtual CSize GetButtonSize(TBBUTTON* buttons, int index, DWORD mode) const;
    CSize CalcSize(TBBUTTON* buttons, int count, DWORD mode) const;
    // Marks the wraps for rows of at most `width`; the number of rows.
    int WrapToolBar(TBBUTTON* buttons, int count, int width, DWORD mode) const;
    // Wraps to the narrowest width with as many rows as `length` allows
    // (horizontal), or to a height of at most `length` (vertical).
    void SizeToolBar(TBBUTTON* buttons, int count, int length, BOOL vert, DWORD mode) const;
    CSize CalcLayout(DWORD mode, int length = -1);
    // A button record with TBSTATE_ENABLED turned round (0: enabled).
    void _GetButton(int index, TBBUTTON* button) const;
    // Writes a record back, only when it differs from the control's.
    void _SetButton(int index, TBBUTTON* button);
    // Commits the layout of the bar's current place, when one is pending.
    void Layout();
    BOOL BuildImageList();

    BOOL IsOverItem(CPoint point) const override;
    void OnPaint();
    BOOL OnEraseBkgnd(CDC* dc);
    LRESULT OnPrintClient(WPARAM wParam, LPARAM lParam);
    LRESULT OnSetBitmapSize(WPARAM wParam, LPARAM lParam);
    LRESULT OnSetButtonSize(WPARAM wParam, LPARAM lParam);

    mutable CToolBarCtrl m_ctrlView;

    DECLARE_MESSAGE_MAP()
};
