// TMXToolbar: a dockable toolbar for framework frames, with text-label and
// icon-size options. TMXToolbar::FrameEnableDocking gives a frame dock bars
// (CDockBarEx) that pack flat toolbars side by side without overlap.
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

    static const TextOptions m_eInitialTextOptions;
    static const IconOptions m_eInitialIconOptions;
    static const CSize m_szImageSmall;
    static const CSize m_szImageLarge;

    // Enables docking on `frame` for the sides in `dockStyle` (CBRS_ALIGN_*)
    // with CDockBarEx dock bars. A framework dock bar already there is
    // replaced in its place in the z-order and its bars move to the new
    // one; when the new one cannot be created the old one stays.
    static void FrameEnableDocking(CFrameWnd* frame, DWORD dockStyle);

protected:
    static int m_nBarNumber;

    BOOL m_bHideControlsWhenVertical = TRUE;
    int m_nOriginalButtonCount = 0;
    CString m_strRegSubKey;
    CString m_strRegValue;
    COLORREF m_crHighlight, m_crShadow, m_crFace;
    TextOptions m_eText = static_cast<TextOptions>(-1);
    IconOptions m_eIcon = static_cast<IconOptions>(-1);
};
