// The console presentations of TMXProgress: one line on standard error,
// redrawn in place, for console programs; and none at all. Neither creates a
// window.
#include "ProgressView.h"
#include "TMXProgress.h"

#include <string>

namespace {

// Writes to standard error: a console gets UTF-16 through WriteConsoleW,
// anything else (a file, a pipe) UTF-8 bytes.
void WriteStandardError(const std::wstring& text) {
    HANDLE out = GetStdHandle(STD_ERROR_HANDLE);
    if (out == nullptr || out == INVALID_HANDLE_VALUE || text.empty()) return;
    DWORD written = 0;
    DWORD mode = 0;
    if (GetConsoleMode(out, &mode)) {
        WriteConsoleW(out, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
        return;
    }
    int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr,
                                   0, nullptr, nullptr);
    if (size <= 0) return;
    std::string bytes(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &bytes[0], size,
                        nullptr, nullptr);
    WriteFile(out, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}

// Columns of the console window behind standard error; 80 for anything else.
int StandardErrorWidth() {
    CONSOLE_SCREEN_BUFFER_INFO info;
    if (GetConsoleScreenBufferInfo(GetStdHandle(STD_ERROR_HANDLE), &info)) {
        int width = info.srWindow.Right - info.srWindow.Left + 1;
        if (width > 0) return width;
    }
    return 80;
}

const int kBarWidth = 24;

class ConsoleProgressView : public TMXProgressView {
public:
    ~ConsoleProgressView() override { ConsoleProgressView::Close(); }

    int Presentation() const override { return TMXProgress::PresentConsole; }
    BOOL Open(CWnd*) override {
        m_bOpen = TRUE;
        m_nWidth = StandardErrorWidth();
        m_nPercent = 0;
        m_bPositioned = FALSE;
        m_strStatus.Empty();
        m_drawn.clear();
        return TRUE;
    }
    // Wipes the line, so that a finished stage leaves nothing behind.
    void Close() override {
        if (!m_bOpen) return;
        m_bOpen = FALSE;
        if (!m_drawn.empty())
            WriteStandardError(L"\r" + std::wstring(m_drawn.size(), L' ') + L"\r");
        m_drawn.clear();
    }
    BOOL IsOpen() const override { return m_bOpen; }
    void ShowTitle(const CString& title) override {
        m_strTitle = title;
        Redraw();
    }

protected:
    void ShowPosition(int percent) override {
        m_nPercent = percent;
        m_bPositioned = TRUE;
        Redraw();
    }
    void ShowStatus(const CString& text) override {
        m_strStatus = text;
        Redraw();
    }
    // The line shows the percentage anyway: without a given status it
    // carries no text of its own.
    void ShowPercentText(int) override {
        m_strStatus.Empty();
        Redraw();
    }

private:
    std::wstring Line() const {
        std::wstring line(static_cast<LPCWSTR>(m_strTitle));
        int filled = m_nPercent < 0     ? 0
                     : m_nPercent > 100 ? kBarWidth
                                        : m_nPercent * kBarWidth / 100;
        line += L" [";
        line.append(static_cast<size_t>(filled), L'#');
        line.append(static_cast<size_t>(kBarWidth - filled), L'-');
        line += L"] ";
        std::wstring percent = std::to_wstring(m_nPercent);
        if (percent.size() < 3) line.append(3 - percent.size(), L' ');
        line += percent + L" %";
        if (!m_strStatus.IsEmpty()) line += L"  " + std::wstring(static_cast<LPCWSTR>(m_strStatus));
        // A line that wraps could no longer be redrawn with a carriage return.
        size_t room = m_nWidth > 1 ? static_cast<size_t>(m_nWidth - 1) : 1;
        if (line.size() > room) line.resize(room);
        return line;
    }

    void Redraw() {
        // StartProgress sets title and status before the first position:
        // one line for all of them.
        if (!m_bOpen || !m_bPositioned) return;
        std::wstring line = Line();
        if (line == m_drawn) return;
        std::wstring text = L"\r" + line;
        // Blank out what a longer previous line leaves on the right.
        if (m_drawn.size() > line.size()) text.append(m_drawn.size() - line.size(), L' ');
        WriteStandardError(text);
        m_drawn = line;
    }

    BOOL m_bOpen = FALSE;
    BOOL m_bPositioned = FALSE;
    int m_nWidth = 80;
    CString m_strTitle;
    CString m_strStatus;
    int m_nPercent = 0;
    std::wstring m_drawn; // the line as it stands on the terminal
};

class HiddenProgressView : public TMXProgressView {
public:
    int Presentation() const override { return TMXProgress::PresentNone; }
    BOOL Open(CWnd*) override { return m_bOpen = TRUE; }
    void Close() override { m_bOpen = FALSE; }
    BOOL IsOpen() const override { return m_bOpen; }
    void ShowTitle(const CString&) override {}

protected:
    void ShowPosition(int) override {}
    void ShowStatus(const CString&) override {}

private:
    BOOL m_bOpen = FALSE;
};

} // namespace

TMXProgressView* TMXCreateProgressConsoleView() {
    return new ConsoleProgressView;
}

TMXProgressView* TMXCreateProgressHiddenView() {
    return new HiddenProgressView;
}
