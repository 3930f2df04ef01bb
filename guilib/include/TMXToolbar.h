// TMXToolbar: a dockable toolbar for framework frames, with text-label and
// icon-size options. TMXToolbar::FrameEnableDocking gives a frame dock bars
// (CDockBarEx) that pack flat toolbars side by side without overlap.
//
// Images come from one bitmap resource (LoadBitmapW) with one image per
// button that had a command when SetToolBarInfoForCustomization was called.
// Each icon size is built again from the resource, scaled to 16 x 16 or
// 24 x 24 per image, with black, dark grey, light grey and white taken to
// the current button colours. A flat toolbar paints its hot button itself:
// the image's silhouette in the shadow colour on a face 7 % darker, framed
// in the shadow colour.
//
// Toolbars are numbered in the order they are constructed in the process
// (the first is 1); the number names the registry value of the bar's saved
// state, "TMXToolBar<n>" under "Software\<registry key>\<profile>\Settings"
// of the program's application object. Without an application object or a
// registry key the subkey is empty and the state is neither saved nor read.
#pragma once

#include "TMXUIDefs.h"

#include "CDockBarEx.h"

class TMXCustomizeDialog;

enum TextOptions : int { toTextLabels = 0, toTextOnRight = 1, toNoTextLabels = 2 };
enum IconOptions : int { ioSmallIcons = 0, ioLargeIcons = 1 };

class TMXUI_API TMXToolbar : public CToolBar {
public:
    DECLARE_DYNCREATE(TMXToolbar)
    TMXToolbar();
    ~TMXToolbar() override;

    // A drop-down button's menu: the first submenu of menu resource
    // uMenuID opens under button uButtonID (0: no menu, the parent is told).
    struct CDropDownButtonInfo {
        CDropDownButtonInfo* pNext = nullptr;
        UINT uButtonID = 0;
        UINT uMenuID = 0;
    };

    // A button the customise dialog can offer. tbButton is the control's own
    // record; strText its label; bInitiallyVisible: in the set Reset restores.
    struct CToolBarButtonInfo {
        TBBUTTON tbButton{};
        CString strText;
        BOOL bInitiallyVisible = FALSE;
    };

    static const TextOptions m_eInitialTextOptions;
    static const IconOptions m_eInitialIconOptions;
    static const CSize m_szImageSmall;
    static const CSize m_szImageLarge;

    // Records the image strip (found through the resource chain); FALSE, the
    // old record kept, when there is none. The images are built from it at
    // the next SetIconOptions.
    BOOL LoadBitmapW(UINT id) { return LoadBitmapW(MAKEINTRESOURCEW(id)); }
    BOOL LoadBitmapW(LPCWSTR name);

    void SetTextOptions(TextOptions text, BOOL update = TRUE);
    void SetIconOptions(IconOptions icon, BOOL update = TRUE);
    // -1 before the first set.
    TextOptions GetTextOptions() const { return m_eText; }
    IconOptions GetIconOptions() const { return m_eIcon; }

    // The buttons now on the toolbar (labels from the string resources of
    // their ids, after the last line feed) and `additional` become the
    // buttons the customise dialog offers; the toolbar becomes adjustable,
    // with no text labels and small icons.
    void SetToolBarInfoForCustomization(
        const CArray<CToolBarButtonInfo, CToolBarButtonInfo&>* additional = nullptr);
    // The buttons now on the toolbar become the set Reset restores.
    BOOL MarkDefaultState();

    // Opens the customise dialog (with its option lists) and saves the state
    // when it closes. One runs at a time: while one is open, for any
    // toolbar, another is refused.
    void Customize();

    // The buttons and both options under HKEY_CURRENT_USER, in the control's
    // own record with the icon and text options in its first 8 bytes.
    // Nothing happens without a subkey; a damaged record changes nothing
    // (too short) or leaves the options (out of range).
    void SaveState();
    void RestoreState();

    // Button `id` opens menu `menuId`'s first submenu (a second call for the
    // same button changes the menu); with `arrow` the arrow is a part of
    // its own, else the whole button drops down.
    BOOL AddDropDownButton(UINT id, UINT menuId, BOOL arrow);
    BOOL SetDropDownButton(UINT id, BOOL arrow);

    // A control of `controlClass` (a combo box, edit, button or any window
    // class by its name) made with `style` and put in the place of button
    // `id`; the toolbar owns and deletes it. Null when it cannot be made.
    CWnd* InsertControl(CRuntimeClass* controlClass, LPCWSTR title, CRect& rect, UINT id, DWORD style);
    // Puts `control` (the caller's) in the place of button `id`, `rect`'s
    // width wide and centred on its height; `rect` becomes the place. Docked
    // at a side, controls are hidden and their places take no room.
    CWnd* InsertControl(CWnd* control, CRect& rect, UINT id);

    // Whether button `id` shows its label in toTextOnRight mode.
    virtual BOOL HasButtonText(int id);

    // Enables docking on `frame` for the sides in `dockStyle` (CBRS_ALIGN_*)
    // with CDockBarEx dock bars. A framework dock bar already there is
    // replaced in its place in the z-order and its bars move to the new
    // one; when the new one cannot be created the old one stays.
    static void FrameEnableDocking(CFrameWnd* frame, DWORD dockStyle);

protected:
    static int m_nBarNumber;
    // While a customise dialog runs: the hook that attaches the extension
    // to it, and the extension.
    static HHOOK m_hCBTHook;
    static TMXCustomizeDialog* m_pCustomizeDlg;
    static LRESULT CALLBACK CBTProc(int code, WPARAM wParam, LPARAM lParam);
    LRESULT OnCustomize(WPARAM wParam, LPARAM lParam);

    int OnCreate(LPCREATESTRUCT cs);
    void OnPaint();
    void OnContextMenu(CWnd* wnd, CPoint point);
    // The menu of the frame's toolbars and "&Customize..." at `point`
    // (client); FALSE when the toolbar has nothing to customise.
    BOOL ShowContextMenu(CPoint point);
    BOOL OnToolBarBtnDropDown(NMHDR* header, LRESULT* result);
    CDropDownButtonInfo* FindDropDownButtonInfo(UINT id);
    void OnToolBarBeginAdjust(NMHDR* header, LRESULT* result);
    void OnToolBarEndAdjust(NMHDR* header, LRESULT* result);
    void OnToolBarCustomHelp(NMHDR* header, LRESULT* result);
    void OnInitCustomize(NMHDR* header, LRESULT* result);
    void OnToolBarQueryInsert(NMHDR* header, LRESULT* result);
    void OnToolBarQueryDelete(NMHDR* header, LRESULT* result);
    void OnToolBarGetButtonInfo(NMHDR* header, LRESULT* result);
    void OnToolBarReset(NMHDR* header, LRESULT* result);
    void OnToolBarChange(NMHDR* header, LRESULT* result);
    void OnSave(NMHDR* header, LRESULT* result);
    void OnRestore(NMHDR* header, LRESULT* result);
    void OnSysColorChange();
    void OnNcPaint();
    // The borders of a flat bar, one pixel each; `rect` shrinks by them.
    void Draw3DBorders(CDC* dc, CRect& rect);
    void OnCustomDraw(NMHDR* header, LRESULT* result);
    // Paints hot item `id` at `item` of `dc`.
    void DrawHotItem(HDC dc, const CRect& item, UINT id);
    // Builds the strip for `icon` from the recorded resource; FALSE when
    // there is none, it is damaged, or no button has an image.
    BOOL SetIconOptionBitmap(IconOptions icon);
    // The control measures its buttons again; the frame lays out the bars.
    void PositionControls();
    void UpdateFrame();
    BOOL IsVertDocked() const;

    // The room an item takes: its own rectangle in the control.
    CSize GetButtonSize(TBBUTTON* buttons, int index, DWORD mode) const override;
    // The base layout; committed, the control places take their controls'
    // widths (hidden when vertical) and the controls move onto them.
    CSize CalcLayout(DWORD mode, int length = -1);
    void MoveControls();

public:
    CSize CalcFixedLayout(BOOL stretch, BOOL horz) override;
    CSize CalcDynamicLayout(int length, DWORD mode) override;

protected:
    BOOL m_bHideControlsWhenVertical = TRUE;
    int m_nOriginalButtonCount = 0;
    CString m_strRegSubKey;
    CObList* m_pOwnedControls = nullptr;
    CDropDownButtonInfo* m_pDropDownList = nullptr;
    CString m_strRegValue;
    CArray<CToolBarButtonInfo, CToolBarButtonInfo&> m_aCustomButtons;
    COLORREF m_crHighlight, m_crShadow, m_crFace;
    TextOptions m_eText = static_cast<TextOptions>(-1);
    IconOptions m_eIcon = static_cast<IconOptions>(-1);
    DWORD* m_pSaveData = nullptr; // the block of a save under way, ours to free

    DECLARE_MESSAGE_MAP()
};
