// TMXGUIUtils: messages, the check message box, docking beside a toolbar
// and path splitting.
#include "TMXGUIUtils.h"

#include "TMXCheckMessageBox.h"

#include <cstdarg>

void TMXGUIUtils::Message(LPCWSTR format, ...) {
    if (!format) return;
    CString text;
    va_list args;
    va_start(args, format);
    text.FormatV(format, args);
    va_end(args);
    AfxMessageBox(text, 0, 0);
}

int TMXGUIUtils::CheckMessageBox(CWnd* parent, const CString& text, int& ticked, UINT type,
                                 UINT helpId, const CString& checkText) {
    TMXCheckMessageBox box(parent, checkText);
    int result = box.Message(text, type, helpId);
    ticked = box.GetChecked();
    return result;
}

void TMXGUIUtils::DockToolbar(CMDIFrameWnd* frame, CToolBar* toolbar, CToolBar* neighbour) {
    if (!frame || !toolbar || !neighbour || !neighbour->m_hWnd) return;
    frame->RecalcLayout(TRUE);
    // One pixel right of the neighbour picks its row and the place after it.
    CRect rect;
    neighbour->GetWindowRect(&rect);
    rect.OffsetRect(1, 0);
    const DWORD style = neighbour->GetBarStyle();
    UINT dockBarId = 0;
    if (style & CBRS_ALIGN_TOP)
        dockBarId = AFX_IDW_DOCKBAR_TOP;
    else if (style & CBRS_ALIGN_BOTTOM)
        dockBarId = AFX_IDW_DOCKBAR_BOTTOM;
    else if (style & CBRS_ALIGN_LEFT)
        dockBarId = AFX_IDW_DOCKBAR_LEFT;
    else if (style & CBRS_ALIGN_RIGHT)
        dockBarId = AFX_IDW_DOCKBAR_RIGHT;
    frame->DockControlBar(toolbar, dockBarId, &rect);
}

void TMXGUIUtils::SplitPath(const CString& path, CString& drive, CString& folder, CString& name,
                            CString& extension) {
    int start = 0;
    drive.Empty();
    if (path.GetLength() >= 2 && path[1] == L':') {
        drive = path.Left(2);
        start = 2;
    }
    int lastSeparator = -1;
    for (int i = start; i < path.GetLength(); ++i)
        if (path[i] == L'\\' || path[i] == L'/') lastSeparator = i;
    folder = lastSeparator >= 0 ? path.Mid(start, lastSeparator + 1 - start) : CString();
    CString file = path.Mid(lastSeparator >= 0 ? lastSeparator + 1 : start);
    int dot = file.ReverseFind(L'.');
    if (dot >= 0) {
        name = file.Left(dot);
        extension = file.Mid(dot);
        extension.TrimLeft(L'.');
    } else {
        name = file;
        extension.Empty();
    }
}

CString TMXGUIUtils::GetExtension(const CString& path) {
    CString drive, folder, name, extension;
    SplitPath(path, drive, folder, name, extension);
    return extension;
}

CString TMXGUIUtils::GetName(const CString& path) {
    CString drive, folder, name, extension;
    SplitPath(path, drive, folder, name, extension);
    return name;
}

CString TMXGUIUtils::GetFolder(const CString& path) {
    CString drive, folder, name, extension;
    SplitPath(path, drive, folder, name, extension);
    return drive + folder;
}
