// Helpers for tests that drive real windows under Wine.
#pragma once

#include <framework.h>

#include <string>
#include <vector>

namespace guitest {

inline std::wstring WindowText(HWND hwnd) {
    wchar_t buffer[512] = {};
    GetWindowTextW(hwnd, buffer, 512);
    return buffer;
}

inline std::wstring ClassName(HWND hwnd) {
    wchar_t buffer[256] = {};
    GetClassNameW(hwnd, buffer, 256);
    return buffer;
}

// Top-level windows of the calling thread.
inline std::vector<HWND> ThreadWindows() {
    std::vector<HWND> found;
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND hwnd, LPARAM list) -> BOOL {
            reinterpret_cast<std::vector<HWND>*>(list)->push_back(hwnd);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found;
}

// Runs the thread's pending messages (painting, posted notifications).
inline void PumpMessages() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

// Counts the messages a window receives, by subclassing it for the object's lifetime.
class MessageCounter {
public:
    explicit MessageCounter(HWND hwnd) : m_hwnd(hwnd) {
        SetPropW(hwnd, L"guitest.counter", this);
        m_old = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Proc)));
    }
    ~MessageCounter() {
        if (IsWindow(m_hwnd)) {
            SetWindowLongPtrW(m_hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_old));
            RemovePropW(m_hwnd, L"guitest.counter");
        }
    }
    MessageCounter(const MessageCounter&) = delete;
    MessageCounter& operator=(const MessageCounter&) = delete;

    int Count(UINT message) const {
        int n = 0;
        for (UINT m : m_messages)
            n += m == message;
        return n;
    }
    int Total() const { return static_cast<int>(m_messages.size()); }
    void Clear() { m_messages.clear(); }

private:
    static LRESULT CALLBACK Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
        auto* self = static_cast<MessageCounter*>(GetPropW(hwnd, L"guitest.counter"));
        WNDPROC old = self->m_old;
        if (message == WM_NCDESTROY) {
            SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(old));
            RemovePropW(hwnd, L"guitest.counter");
        } else {
            self->m_messages.push_back(message);
        }
        return CallWindowProcW(old, hwnd, message, wParam, lParam);
    }

    HWND m_hwnd;
    WNDPROC m_old = nullptr;
    std::vector<UINT> m_messages;
};

} // namespace guitest
