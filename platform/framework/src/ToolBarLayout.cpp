// Toolbar layout: the room each item takes, rows wrapped at separators, the
// narrowest wrap for a length, and committing the result to the control.
#include "Internal.h"

#include <vector>

namespace {
bool IsSeparator(const TBBUTTON& b) {
    return (b.fsStyle & TBSTYLE_SEP) != 0;
}
bool IsHidden(const TBBUTTON& b) {
    return (b.fsState & TBSTATE_HIDDEN) != 0;
}
} // namespace

CSize CToolBar::GetButtonSize(TBBUTTON* buttons, int index, DWORD) const {
    const TBBUTTON& b = buttons[index];
    if (IsHidden(b)) return CSize(0, 0);
    if (IsSeparator(b)) return CSize(b.iBitmap, m_sizeButton.cy);
    CSize size = m_sizeButton;
    // A drop-down arrow widens its button: the control knows by how much.
    if ((b.fsStyle & BTNS_DROPDOWN) &&
        (SendMessage(TB_GETEXTENDEDSTYLE) & TBSTYLE_EX_DRAWDDARROWS)) {
        CRect item;
        if (SendMessage(TB_GETITEMRECT, index, reinterpret_cast<LPARAM>(&item)) &&
            item.Width() > size.cx)
            size.cx = item.Width();
    }
    return size;
}

CSize CToolBar::CalcSize(TBBUTTON* buttons, int count, DWORD mode) const {
    // A wrap after a separator adds the separator's height to the row step
    // (two thirds of it for raised buttons).
    const bool flat = (GetStyle() & TBSTYLE_FLAT) != 0;
    CPoint at(0, 0);
    CSize result(0, 0);
    for (int i = 0; i < count; ++i) {
        const TBBUTTON& b = buttons[i];
        if (IsHidden(b)) continue;
        const CSize size = GetButtonSize(buttons, i, mode);
        const int separatorHeight = flat ? b.iBitmap : b.iBitmap * 2 / 3;
        const bool wraps = (b.fsState & TBSTATE_WRAP) != 0;
        if (IsSeparator(b) && wraps) {
            result.cy = std::max<LONG>(result.cy, at.y + m_sizeButton.cy + separatorHeight);
        } else {
            result.cx = std::max<LONG>(result.cx, at.x + size.cx);
            result.cy = std::max<LONG>(result.cy, at.y + size.cy);
        }
        at.x += size.cx;
        if (wraps) {
            at.x = 0;
            at.y += m_sizeButton.cy + (IsSeparator(b) ? separatorHeight : 0);
        }
    }
    return result;
}

int CToolBar::WrapToolBar(TBBUTTON* buttons, int count, int width, DWORD mode) const {
    int wraps = 0;
    int x = 0;
    for (int i = 0; i < count; ++i)
        buttons[i].fsState &= ~TBSTATE_WRAP;
    for (int i = 0; i < count; ++i) {
        if (IsHidden(buttons[i])) continue;
        const int dx = GetButtonSize(buttons, i, mode).cx;
        if (x + dx <= width) {
            x += dx;
            continue;
        }
        // Too wide: wrap after the last separator of this row (a separator
        // with a command id is a control's place, not a separator), else
        // after the last button before this one.
        int mark = -1;
        for (int j = i; j >= 0 && !(buttons[j].fsState & TBSTATE_WRAP); --j)
            if (IsSeparator(buttons[j]) && buttons[j].idCommand == 0 && !IsHidden(buttons[j])) {
                mark = j;
                break;
            }
        if (mark < 0)
            for (int j = i - 1; j >= 0 && !(buttons[j].fsState & TBSTATE_WRAP); --j)
                if (!IsHidden(buttons[j]) && !(IsSeparator(buttons[j]) && buttons[j].idCommand != 0)) {
                    mark = j;
                    break;
                }
        if (mark < 0) {
            x += dx; // nothing to wrap at: the row grows
            continue;
        }
        buttons[mark].fsState |= TBSTATE_WRAP;
        ++wraps;
        i = mark; // the next row starts after the mark
        x = 0;
    }
    return wraps + 1;
}

void CToolBar::SizeToolBar(TBBUTTON* buttons, int count, int length, BOOL vert, DWORD mode) const {
    if (!vert) {
        // The narrowest width that keeps the row count `length` gives.
        const int target = WrapToolBar(buttons, count, length, mode);
        if (WrapToolBar(buttons, count, 0, mode) != target) {
            int lo = 0, hi = length;
            for (;;) {
                const int mid = (lo + hi) / 2;
                if (WrapToolBar(buttons, count, mid, mode) == target) {
                    hi = mid;
                } else if (lo == mid) {
                    WrapToolBar(buttons, count, hi, mode);
                    break;
                } else {
                    lo = mid;
                }
            }
        }
        WrapToolBar(buttons, count, CalcSize(buttons, count, mode).cx, mode);
        return;
    }
    // Vertical: the widest wrap whose height still fits `length`.
    WrapToolBar(buttons, count, 0, mode);
    CSize smallest = CalcSize(buttons, count, mode);
    WrapToolBar(buttons, count, 32767, mode);
    CSize largest = CalcSize(buttons, count, mode);
    while (smallest.cx < largest.cx) {
        const int mid = (smallest.cx + largest.cx) / 2;
        WrapToolBar(buttons, count, mid, mode);
        const CSize size = CalcSize(buttons, count, mode);
        if (length < size.cy) {
            if (size == smallest) {
                WrapToolBar(buttons, count, largest.cx, mode);
                break;
            }
            smallest = size;
        } else if (length > size.cy) {
            if (size == largest) {
                WrapToolBar(buttons, count, smallest.cx, mode);
                break;
            }
            largest = size;
        } else {
            break;
        }
    }
}

CSize CToolBar::CalcLayout(DWORD mode, int length) {
    if (!m_hWnd) return CSize(0, 0);
    const DWORD buttonSize = static_cast<DWORD>(SendMessage(TB_GETBUTTONSIZE));
    m_sizeButton = CSize(LOWORD(buttonSize), HIWORD(buttonSize)); // texts may have grown it
    const int count = static_cast<int>(SendMessage(TB_BUTTONCOUNT));
    std::vector<TBBUTTON> copies(static_cast<size_t>(count));
    TBBUTTON* buttons = copies.data();
    for (int i = 0; i < count; ++i)
        _GetButton(i, &buttons[i]);

    // 1. Wrap as the bar's place asks.
    if (count > 0 && !(m_dwStyle & CBRS_SIZE_FIXED)) {
        const bool dynamic = (m_dwStyle & CBRS_SIZE_DYNAMIC) != 0;
        if (dynamic && (mode & LM_MRUWIDTH))
            SizeToolBar(buttons, count, static_cast<int>(m_nMRUWidth), FALSE, mode);
        else if (mode & LM_HORZDOCK)
            SizeToolBar(buttons, count, 32767, FALSE, mode);
        else if (mode & LM_VERTDOCK)
            SizeToolBar(buttons, count, 0, FALSE, mode);
        else if (dynamic && length != -1) {
            // `length` is the bar's outer size: the buttons get it less the margins.
            CRect inside(0, 0, 0, 0);
            CalcInsideRect(inside, (mode & LM_HORZ) != 0);
            const BOOL vert = (mode & LM_LENGTHY) != 0;
            SizeToolBar(buttons, count, length + (vert ? inside.Height() : inside.Width()), vert, mode);
        } else if (dynamic && (m_dwStyle & CBRS_FLOATING))
            SizeToolBar(buttons, count, static_cast<int>(m_nMRUWidth), FALSE, mode);
        else
            SizeToolBar(buttons, count, (mode & LM_HORZ) ? 32767 : 0, FALSE, mode);
    }
    // 2. Measure.
    CSize size = CalcSize(buttons, count, mode);
    // 3. Commit: a docked bar's rows always match its place.
    if (mode & (LM_COMMIT | LM_HORZDOCK | LM_VERTDOCK)) {
        if ((mode & LM_COMMIT) && (m_dwStyle & CBRS_FLOATING) && (m_dwStyle & CBRS_SIZE_DYNAMIC))
            m_nMRUWidth = static_cast<UINT>(size.cx);
        for (int i = 0; i < count; ++i)
            _SetButton(i, &buttons[i]);
        m_bDelayedButtonLayout = FALSE;
    }
    // 4. Add the borders, and stretch as the base bar does.
    CRect inside(0, 0, 0, 0);
    CalcInsideRect(inside, (mode & LM_HORZ) != 0);
    size.cx -= inside.Width();
    size.cy -= inside.Height();
    const CSize least = CControlBar::CalcFixedLayout((mode & LM_STRETCH) != 0, (mode & LM_HORZ) != 0);
    size.cx = std::max(size.cx, least.cx);
    size.cy = std::max(size.cy, least.cy);
    return size;
}

CSize CToolBar::CalcFixedLayout(BOOL stretch, BOOL horz) {
    return CalcLayout((stretch ? LM_STRETCH : 0) | (horz ? LM_HORZ : 0));
}

CSize CToolBar::CalcDynamicLayout(int length, DWORD mode) {
    // A docked bar in its own place is laid out in one row or column.
    if (length == -1 && !(mode & (LM_MRUWIDTH | LM_COMMIT)) && (mode & (LM_HORZDOCK | LM_VERTDOCK)))
        return CalcLayout((mode & (LM_STRETCH | LM_HORZDOCK | LM_VERTDOCK)) |
                          ((mode & LM_HORZDOCK) ? LM_HORZ : 0));
    return CalcLayout(mode, length);
}

void CToolBar::Layout() {
    if (!m_bDelayedButtonLayout || !m_hWnd) return;
    DWORD mode = LM_COMMIT;
    if (m_dwStyle & CBRS_FLOATING)
        mode |= LM_HORZ | LM_MRUWIDTH;
    else if (m_dwStyle & CBRS_ORIENT_VERT)
        mode |= LM_VERTDOCK;
    else
        mode |= LM_HORZ | LM_HORZDOCK;
    CalcDynamicLayout(-1, mode);
}
