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

enum TextOptions : int { toTextLabels = 0, toTextOnRight = 1, toNoTextLabels = 2 };
enum IconOptions : int { ioSmallIcons = 0, ioLargeIcons = 1 };

class TMXUI_API TMXToolbar : public CToolBar {
public:
    DECLARE_DYNCREATE(TMXToolbar)
    TMXToolbar();
    ~TMXToolbar() override;

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

    // Whether button `id` shows its label in toTextOnRight mode.
    virtual BOOL HasButtonText(int id);

    // Enables docking on `frame` for the sides in `dockStyle` (CBRS_ALIGN_*)
    // with CDockBarEx dock bars. A framework dock bar already there is
    // replaced in its place in the z-order and its bars move to the new
    // one; when the new one cannot be created the old one stays.
    static void FrameEnableDocking(CFrameWnd* frame, DWORD dockStyle);

protected:
    static int m_nBarNumber;

    int OnCreate(LPCREATESTRUCT cs);
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

    BOOL m_bHideControlsWhenVertical = TRUE;
    int m_nOriginalButtonCount = 0;
    CString m_strRegSubKey;
    CString m_strRegValue;
    CArray<CToolBarButtonInfo, CToolBarButtonInfo&> m_aCustomButtons;
    COLORREF m_crHighlight, m_crShadow, m_crFace;
    TextOptions m_eText = static_cast<TextOptions>(-1);
    IconOptions m_eIcon = static_cast<IconOptions>(-1);

    DECLARE_MESSAGE_MAP()
};
