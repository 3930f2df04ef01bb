// Pictures the host program takes with --screenshot: the main window when
// asked, every dialog as it comes up (from the dialog driver, before its
// steps), and every progress window once its bar is half full (from a hook
// on the bar's messages: the import runs no message loop of its own). PNG
// files through the Windows Imaging Component, numbered in order:
// "01-Open.png", "02-Quorla for SolidWorks Options.png", "03-progress-....png".
#pragma once

#include <windows.h>

#include <set>
#include <string>
#include <vector>

namespace quorlahost {

class Screenshots {
public:
    explicit Screenshots(std::wstring folder);
    ~Screenshots();
    Screenshots(const Screenshots&) = delete;
    Screenshots& operator=(const Screenshots&) = delete;

    // The window as NAME.png; false when it could not be written.
    bool Save(HWND window, const std::wstring& name);
    // A dialog that came up, named after its number and caption.
    void Dialog(HWND dialog);

    const std::vector<std::wstring>& Written() const { return written_; }
    int Failures() const { return failures_; }

    // A caption as part of a file name: characters files cannot have become "_".
    static std::wstring FileName(const std::wstring& caption);

private:
    static LRESULT CALLBACK BarHook(int code, WPARAM wp, LPARAM lp);
    void Progress(HWND control, UINT message);

    std::wstring folder_;
    std::vector<std::wstring> written_;
    int failures_ = 0;
    int number_ = 0;
    HHOOK hook_ = nullptr;
    std::set<HWND> pictured_; // progress windows taken already
    HWND due_ = nullptr;      // the progress window to take at its next update
};

} // namespace quorlahost
