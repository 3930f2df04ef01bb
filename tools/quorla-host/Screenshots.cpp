#include "Screenshots.h"

#include "WindowCapture.h"

#include <commctrl.h>

namespace quorlahost {

namespace {

thread_local Screenshots* g_current = nullptr;

std::wstring Text(HWND hwnd) {
    std::wstring text(static_cast<size_t>(GetWindowTextLengthW(hwnd)) + 1, L'\0');
    text.resize(static_cast<size_t>(GetWindowTextW(hwnd, &text[0], static_cast<int>(text.size()))));
    return text;
}

bool IsProgressBar(HWND hwnd) {
    wchar_t name[32] = {};
    GetClassNameW(hwnd, name, 32);
    return std::wstring(name) == PROGRESS_CLASSW;
}

} // namespace

Screenshots::Screenshots(std::wstring folder) : folder_(std::move(folder)) {
    CreateDirectoryW(folder_.c_str(), nullptr);
    g_current = this;
    hook_ = SetWindowsHookExW(WH_CALLWNDPROCRET, &BarHook, nullptr, GetCurrentThreadId());
}

Screenshots::~Screenshots() {
    if (hook_) UnhookWindowsHookEx(hook_);
    if (g_current == this) g_current = nullptr;
}

std::wstring Screenshots::FileName(const std::wstring& caption) {
    std::wstring name;
    for (wchar_t c : caption)
        name += c < 32 || std::wstring(L"\\/:*?\"<>|").find(c) != std::wstring::npos ? L'_' : c;
    return name.empty() ? L"untitled" : name;
}

bool Screenshots::Save(HWND window, const std::wstring& name) {
    const std::wstring path = folder_ + L"\\" + name + L".png";
    if (!wincapture::CaptureToPng(window, path)) {
        failures_++;
        return false;
    }
    written_.push_back(path);
    return true;
}

void Screenshots::Dialog(HWND dialog) {
    wchar_t number[8];
    swprintf(number, 8, L"%02d-", ++number_);
    Save(dialog, number + FileName(Text(dialog)));
}

void Screenshots::Progress(HWND control, UINT message) {
    HWND window = GetAncestor(control, GA_ROOT);
    if (!window || pictured_.count(window)) return;
    if (message == PBM_SETPOS || message == PBM_STEPIT || message == PBM_DELTAPOS) {
        // Past half way the picture is due; it is taken at the next update,
        // once the window's text says the same.
        if (due_ == window) {
            due_ = nullptr;
        } else {
            if (SendMessageW(control, PBM_GETPOS, 0, 0) >= 50) due_ = window;
            return;
        }
    } else if (due_ != window) {
        return;
    }
    due_ = nullptr;
    if (!IsWindowVisible(window)) return;
    pictured_.insert(window);
    wchar_t number[8];
    swprintf(number, 8, L"%02d-", ++number_);
    Save(window, number + (L"progress-" + FileName(Text(window))));
}

LRESULT CALLBACK Screenshots::BarHook(int code, WPARAM wp, LPARAM lp) {
    if (code == HC_ACTION && g_current) {
        const auto* m = reinterpret_cast<const CWPRETSTRUCT*>(lp);
        const bool bar = (m->message == PBM_SETPOS || m->message == PBM_STEPIT ||
                          m->message == PBM_DELTAPOS) &&
                         IsProgressBar(m->hwnd);
        const bool text = m->message == WM_SETTEXT && g_current->due_ &&
                          GetAncestor(m->hwnd, GA_ROOT) == g_current->due_;
        if (bar || text) {
            // Unhooked while it pictures: the capture repaints the window.
            Screenshots* self = g_current;
            g_current = nullptr;
            self->Progress(m->hwnd, m->message);
            g_current = self;
        }
    }
    return CallNextHookEx(nullptr, code, wp, lp);
}

} // namespace quorlahost
