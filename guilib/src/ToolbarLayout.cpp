// TMXToolbar's layout: the common controls' version and the room each item
// takes, measured by the control itself (labels, drop-down arrows, the
// places of embedded controls).
#include "ToolbarLayout.h"

#include "TMXToolbar.h"

#include <shlwapi.h>

namespace {
int g_comctlVersion = -1; // (major << 16) | minor, once known
constexpr int kVersion470 = 0x40046, kVersion471 = 0x40047;
} // namespace

void DetermineCommonControlsVersion() {
    if (g_comctlVersion != -1) return;
    int version = 0x40000; // 4.0 when the library cannot tell
    if (HMODULE comctl = ::GetModuleHandleW(L"COMCTL32.DLL")) {
        auto get = reinterpret_cast<DLLGETVERSIONPROC>(
            reinterpret_cast<void*>(::GetProcAddress(comctl, "DllGetVersion")));
        DLLVERSIONINFO info{};
        info.cbSize = sizeof info;
        if (get && SUCCEEDED(get(&info)))
            version = static_cast<int>(info.dwMajorVersion << 16 | (info.dwMinorVersion & 0xFFFF));
    }
    g_comctlVersion = version;
}

CSize TMXToolbar::GetButtonSize(TBBUTTON* buttons, int index, DWORD mode) const {
    const TBBUTTON& b = buttons[index];
    CRect item(0, 0, 0, 0); // left as it is for a hidden button
    SendMessage(TB_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
    CSize size = item.Size();
    if (!(b.fsStyle & TBSTYLE_SEP)) return size;
    const int standard = HIWORD(static_cast<DWORD>(SendMessage(TB_GETBUTTONSIZE)));
    if (size.cy > standard) size.cy = standard;
    if (b.idCommand != 0) { // a control's place
        if (m_bHideControlsWhenVertical) {
            if (!(mode & (LM_STRETCH | LM_HORZ))) return CSize(0, 0);
            CWnd* control = GetDlgItem(b.idCommand);
            if ((b.fsState & TBSTATE_HIDDEN) && control) {
                CRect r;
                control->GetWindowRect(&r);
                size = r.Size();
            }
        }
    } else if (b.fsState & TBSTATE_WRAP) {
        if (g_comctlVersion <= kVersion470)
            size.cy -= 3;
        else if (g_comctlVersion > kVersion471)
            size.cy = b.iBitmap; // as high as the separator is wide
        size.cx = 0;
    }
    return size;
}
