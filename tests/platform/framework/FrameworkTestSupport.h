// Helpers for the framework's window tests.
#pragma once

#include <framework.h>

#include <set>
#include <string>

namespace fwtest {

inline std::wstring Text(HWND hwnd) {
    wchar_t buffer[512] = {};
    GetWindowTextW(hwnd, buffer, 512);
    return buffer;
}

// Answers the next modal window (dialog or message box) that the calling
// thread activates: records what it showed and presses `button`.
class ModalResponder {
public:
    explicit ModalResponder(int button) : m_button(button) {
        s_current = this;
        m_hook = SetWindowsHookExW(WH_CBT, &Hook, nullptr, GetCurrentThreadId());
    }
    ~ModalResponder() {
        UnhookWindowsHookEx(m_hook);
        s_current = nullptr;
    }
    ModalResponder(const ModalResponder&) = delete;
    ModalResponder& operator=(const ModalResponder&) = delete;

    int seen = 0;
    std::wstring caption, message; // message: the message box's text (static 0xFFFF)
    HWND owner = nullptr;
    UINT style = 0;

private:
    static LRESULT CALLBACK Hook(int code, WPARAM wParam, LPARAM lParam) {
        ModalResponder* self = s_current;
        if (code == HCBT_CREATEWND && self) self->m_created.insert(reinterpret_cast<HWND>(wParam));
        if (code == HCBT_ACTIVATE && self) {
            HWND hwnd = reinterpret_cast<HWND>(wParam);
            wchar_t cls[32] = {};
            GetClassNameW(hwnd, cls, 32);
            // Only a dialog that came up after the responder: the one to answer.
            if (std::wstring(cls) == L"#32770" && self->m_created.erase(hwnd)) {
                ++self->seen;
                self->caption = Text(hwnd);
                self->message = Text(GetDlgItem(hwnd, 0xFFFF));
                self->owner = GetWindow(hwnd, GW_OWNER);
                self->style = static_cast<UINT>(GetWindowLongPtrW(hwnd, GWL_STYLE));
                PostMessageW(hwnd, WM_COMMAND, MAKEWPARAM(self->m_button, BN_CLICKED), 0);
            }
        }
        return CallNextHookEx(self ? self->m_hook : nullptr, code, wParam, lParam);
    }

    static inline ModalResponder* s_current = nullptr;
    int m_button;
    std::set<HWND> m_created;
    HHOOK m_hook = nullptr;
};

} // namespace fwtest
