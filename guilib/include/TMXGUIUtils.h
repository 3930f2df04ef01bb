// TMXGUIUtils: the library's one-call functions: message boxes, the About
// box, the small input dialogs, docking a toolbar beside another and path
// splitting.
//
// Each dialog function shows its dialog modally from the library's own
// resources (whatever templates of the same ids the program has) and
// returns when it is closed. A parent given as a pointer to a window handle
// may be null; otherwise the window it names owns the dialog, else the
// program's main window does.
#pragma once

#include "TMXUIDefs.h"

class TMXUI_API TMXGUIUtils {
public:
    TMXGUIUtils();
    ~TMXGUIUtils();
    TMXGUIUtils& operator=(const TMXGUIUtils&);

    // The About box: the maker's picture, `productText` in bold on the
    // product line, the web-site and e-mail links; the caption reads
    // "About " followed by the product text.
    static void About(const CString& productText, HWND* parent);

    // A printf-style text in the application's message box, OK only, with
    // the framework's default icon for it.
    static void Message(LPCWSTR format, ...);

    // A TMXCheckMessageBox with `checkText`, starting unticked: returns the
    // button pressed and sets `ticked` to whether the box was ticked.
    static int CheckMessageBox(CWnd* parent, const CString& text, int& ticked, UINT type = MB_OK,
                               UINT helpId = 0, const CString& checkText = L"Do not show again");

    // Docks `toolbar` in `neighbour`'s row, directly to its right, on the
    // dock bar of `neighbour`'s side (any side `toolbar` allows when
    // `neighbour` is not docked).
    static void DockToolbar(CMDIFrameWnd* frame, CToolBar* toolbar, CToolBar* neighbour);

    // Splits a path by the C library's rules: the drive is a letter and its
    // colon; the folder runs to the last "\" or "/" and keeps it; the name
    // runs to the last dot; the extension is the rest, returned without its
    // leading dots. No length limit.
    static void SplitPath(const CString& path, CString& drive, CString& folder, CString& name,
                          CString& extension);
    static CString GetExtension(const CString& path);
    static CString GetName(const CString& path);
    static CString GetFolder(const CString& path); // drive and folder

    // Three coordinates. OK writes them back and returns 1; Cancel returns 0
    // and leaves them. A field still showing the text it was given returns
    // the value it was given, not its rounded text. A non-empty title
    // replaces the caption.
    static int Coordinates(double& x, double& y, double& z, const CString& title, HWND* parent);

    // One real number with an optional range: a minimum of
    // 2.2250738585072014e-308 (the smallest normal double) means none, and
    // so does a maximum of 1.7976931348623157e308; each flag makes its bound
    // inclusive. OK accepts only a value within the range (the field is
    // focused with a beep otherwise) and returns 1; Cancel returns 0. An
    // empty prompt reads "Real Number".
    static int Real(double& value, const CString& title, const CString& prompt, double minimum,
                    double maximum, int minInclusive, int maxInclusive, HWND* parent);

    // Converts lengths between ten units (0 microns, 1 millimetres,
    // 2 centimetres, 3 metres, 4 kilometres, 5 microinches, 6 mils,
    // 7 inches, 8 feet, 9 miles), opened on these two; -1 chooses none.
    static void UnitConverter(int fromUnit, int toUnit, HWND* parent);
};
