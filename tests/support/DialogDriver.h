// Drives the modal dialogs and message boxes that code under test opens on
// the calling thread: one thread-local CBT hook reads each new dialog when it
// activates, checks it against the next expected dialog, records what it
// showed and then plays that dialog's steps (texts, checks, selections,
// clicks) from a timer, inside the dialog's own modal loop.
//
// A dialog that nobody expected is recorded and cancelled, and a watchdog
// cancels whatever is still open after a few seconds, so a failing test ends
// with a message instead of hanging.
//
//   testsupport::DialogDriver driver;
//   driver.Expect(L"Open").Text(1152, L"C:\\bracket.3dm").Click(IDOK);
//   driver.Expect(L"Quorla for SolidWorks Options").Check(1027, 0).Click(IDOK);
//   ... run the command ...
//   EXPECT_TRUE(driver.Finished()) << driver.Report();
//
// With QUORLA_DIALOG_CAPTURES set to a folder, each dialog is also saved
// there as a bitmap (NN-caption.bmp) just before its steps run, to look at.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <cstdlib>
#include <deque>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace testsupport {

inline std::wstring WindowText(HWND hwnd) {
    std::wstring text(static_cast<size_t>(GetWindowTextLengthW(hwnd)) + 1, L'\0');
    text.resize(static_cast<size_t>(GetWindowTextW(hwnd, &text[0], static_cast<int>(text.size()))));
    return text;
}

inline std::wstring ClassOf(HWND hwnd) {
    wchar_t name[64] = {};
    GetClassNameW(hwnd, name, 64);
    return name;
}

// A window handle in the form CreateWindowEx answers: its 32 bits sign-
// extended. Wine's GetWindow and GetParent answer a handle of a late
// generation zero-extended, which would compare unequal to the same window.
inline HWND FullHandle(HWND hwnd) {
    return reinterpret_cast<HWND>(
        static_cast<INT_PTR>(static_cast<INT32>(reinterpret_cast<UINT_PTR>(hwnd) & 0xFFFFFFFFu)));
}

inline std::string Narrow(const std::wstring& text) {
    std::string out;
    for (wchar_t c : text)
        out += c < 0x80 ? static_cast<char>(c) : '?';
    return out;
}

// What a dialog showed when it activated.
struct SeenDialog {
    HWND hwnd = nullptr;
    std::wstring caption;
    std::wstring message; // a message box's text (its static 0xFFFF)
    HWND owner = nullptr;
    DWORD style = 0;
    bool expected = false;   // matched an Expect
    bool warningIcon = false; // shows the system's warning icon
    std::set<int> buttons;    // ids of its push buttons
    // Control state at activation, by id: window text, button check state,
    // combo box selection.
    std::map<int, std::wstring> texts;
    std::map<int, int> checks;
    std::map<int, int> selections;
    // The focused control's id at activation (0: none of the dialog's).
    int focusId = 0;

    bool OkOnly() const { return buttons == std::set<int>{IDOK}; }
};

// The library's progress window: modeless, with its status line 8000 and
// its bar 8001. Tests of runs that show progress ignore it.
inline bool IsProgressWindow(HWND dialog) {
    HWND bar = GetDlgItem(dialog, 8001);
    return bar && ClassOf(bar) == L"msctls_progress32" && GetDlgItem(dialog, 8000);
}

class DialogDriver {
public:
    using Inspect = std::function<void(HWND dialog, SeenDialog& seen)>;

    // The steps for one expected dialog, played in order.
    class Script {
    public:
        Script& Text(int id, std::wstring text) {
            steps_.push_back([id, text](HWND d) {
                SetDlgItemTextW(d, id, text.c_str());
                // Edits notify their parent as if typed.
                HWND c = GetDlgItem(d, id);
                if (c && ClassOf(c) == L"Edit")
                    SendMessageW(d, WM_COMMAND, MAKEWPARAM(id, EN_CHANGE), reinterpret_cast<LPARAM>(c));
            });
            return *this;
        }
        // A check box or radio button set as a click would leave it.
        Script& Check(int id, int state) {
            steps_.push_back([id, state](HWND d) {
                HWND c = GetDlgItem(d, id);
                if (!c) return;
                if (state && (GetWindowLongW(c, GWL_STYLE) & 0x0F) == BS_AUTORADIOBUTTON) {
                    // Clear the rest of the group the way the button would.
                    HWND first = c;
                    while (!(GetWindowLongW(first, GWL_STYLE) & WS_GROUP)) {
                        HWND prev = GetWindow(first, GW_HWNDPREV);
                        if (!prev) break;
                        first = prev;
                    }
                    for (HWND b = first; b; b = GetWindow(b, GW_HWNDNEXT)) {
                        if (b != first && (GetWindowLongW(b, GWL_STYLE) & WS_GROUP)) break;
                        if (b != c) SendMessageW(b, BM_SETCHECK, BST_UNCHECKED, 0);
                    }
                }
                SendMessageW(c, BM_SETCHECK, static_cast<WPARAM>(state), 0);
            });
            return *this;
        }
        // A combo or list box selection, with the notification a user's choice sends.
        Script& Select(int id, int index) {
            steps_.push_back([id, index](HWND d) {
                HWND c = GetDlgItem(d, id);
                if (!c) return;
                bool combo = ClassOf(c) == L"ComboBox";
                SendMessageW(c, combo ? CB_SETCURSEL : LB_SETCURSEL, static_cast<WPARAM>(index), 0);
                SendMessageW(d, WM_COMMAND, MAKEWPARAM(id, combo ? CBN_SELCHANGE : LBN_SELCHANGE),
                             reinterpret_cast<LPARAM>(c));
            });
            return *this;
        }
        // A push button's click (BM_CLICK, so the button notifies as if pressed).
        Script& Click(int id) {
            steps_.push_back([id](HWND d) {
                if (HWND c = GetDlgItem(d, id))
                    SendMessageW(c, BM_CLICK, 0, 0);
                else
                    SendMessageW(d, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0);
            });
            return *this;
        }
        // Anything else, with the dialog's handle.
        Script& Do(std::function<void(HWND)> step) {
            steps_.push_back(std::move(step));
            return *this;
        }
        // Runs at activation, before the steps, to read what the record does not hold.
        Script& Inspect(DialogDriver::Inspect inspect) {
            inspect_ = std::move(inspect);
            return *this;
        }

    private:
        friend class DialogDriver;
        std::wstring caption_; // empty: any caption
        std::vector<std::function<void(HWND)>> steps_;
        DialogDriver::Inspect inspect_;
    };

    // watchdogMs: how long a dialog may stay open before the driver cancels it.
    explicit DialogDriver(UINT watchdogMs = 10000) : watchdogMs_(watchdogMs) {
        previous_ = current_;
        current_ = this;
        hook_ = SetWindowsHookExW(WH_CBT, &Hook, nullptr, GetCurrentThreadId());
    }
    ~DialogDriver() {
        UnhookWindowsHookEx(hook_);
        if (stepTimer_) KillTimer(nullptr, stepTimer_);
        if (watchdog_) KillTimer(nullptr, watchdog_);
        current_ = previous_;
    }
    DialogDriver(const DialogDriver&) = delete;
    DialogDriver& operator=(const DialogDriver&) = delete;

    // The next dialog to activate; an empty caption matches any.
    Script& Expect(std::wstring caption = L"") {
        scripts_.emplace_back();
        scripts_.back().caption_ = std::move(caption);
        return scripts_.back();
    }
    // Dialogs for which `ignore` holds are left alone and not recorded:
    // modeless windows such as progress windows.
    void IgnoreWhen(std::function<bool(HWND)> ignore) { ignore_ = std::move(ignore); }
    // Dialogs beyond the expected ones are answered with this button and
    // count as expected (for runs that may show any number of message boxes).
    // 0, the default, cancels them and counts them as unexpected.
    void AnswerOthers(int button) { othersButton_ = button; }
    // Runs for every dialog it answers, once the dialog is up and just before
    // its steps (to take a picture of it, say).
    void BeforeSteps(std::function<void(HWND)> before) { before_ = std::move(before); }

    const std::vector<SeenDialog>& Seen() const { return seen_; }
    const SeenDialog& Last() const {
        static const SeenDialog none;
        return seen_.empty() ? none : seen_.back();
    }
    int Count() const { return static_cast<int>(seen_.size()); }
    int Unexpected() const {
        int n = 0;
        for (const SeenDialog& s : seen_)
            n += !s.expected;
        return n;
    }
    bool TimedOut() const { return timedOut_; }
    // Every expected dialog came, nothing else did, and nothing hung.
    bool Finished() const { return scripts_.empty() && Unexpected() == 0 && !timedOut_; }
    // What happened, for a failure message.
    std::string Report() const {
        std::string out;
        for (const SeenDialog& s : seen_)
            out += (s.expected ? "  dialog \"" : "  UNEXPECTED dialog \"") + Narrow(s.caption) +
                   "\"" + (s.message.empty() ? "" : ": " + Narrow(s.message)) + "\n";
        for (const Script& s : scripts_)
            out += "  never came: \"" + Narrow(s.caption_) + "\"\n";
        if (timedOut_) out += "  the watchdog cancelled a dialog that stayed open\n";
        return out.empty() ? "  no dialogs\n" : out;
    }

private:
    static bool IsDialog(HWND hwnd) { return ClassOf(hwnd) == L"#32770"; }

    static SeenDialog Read(HWND d) {
        SeenDialog s;
        s.hwnd = d;
        s.caption = WindowText(d);
        s.owner = FullHandle(GetWindow(d, GW_OWNER));
        s.style = static_cast<DWORD>(GetWindowLongW(d, GWL_STYLE));
        if (HWND text = GetDlgItem(d, 0xFFFF)) s.message = WindowText(text);
        const HICON warning = LoadIconW(nullptr, IDI_WARNING);
        HWND focus = GetFocus();
        if (focus && IsChild(d, focus)) s.focusId = GetDlgCtrlID(focus);
        for (HWND c = GetWindow(d, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
            int id = GetDlgCtrlID(c);
            std::wstring cls = ClassOf(c);
            LONG style = GetWindowLongW(c, GWL_STYLE);
            if (cls == L"Static" && (style & SS_TYPEMASK) == SS_ICON &&
                reinterpret_cast<HICON>(SendMessageW(c, STM_GETICON, 0, 0)) == warning)
                s.warningIcon = true;
            if (cls == L"Button") {
                LONG type = style & BS_TYPEMASK;
                if (type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON) s.buttons.insert(id);
                else if (type != BS_GROUPBOX) s.checks[id] = static_cast<int>(SendMessageW(c, BM_GETCHECK, 0, 0));
            } else if (cls == L"ComboBox") {
                s.selections[id] = static_cast<int>(SendMessageW(c, CB_GETCURSEL, 0, 0));
            } else if (cls == L"ListBox") {
                s.selections[id] = static_cast<int>(SendMessageW(c, LB_GETCURSEL, 0, 0));
            }
            s.texts[id] = WindowText(c);
        }
        return s;
    }

    void Activated(HWND d) {
        SeenDialog seen = Read(d);
        Script script;
        bool matched = !scripts_.empty() &&
                       (scripts_.front().caption_.empty() || scripts_.front().caption_ == seen.caption);
        if (matched) {
            script = std::move(scripts_.front());
            scripts_.pop_front();
        } else if (othersButton_) {
            matched = true;
            script.Click(othersButton_);
        } else {
            script.Click(IDCANCEL);
        }
        seen.expected = matched;
        if (script.inspect_) script.inspect_(d, seen);
        seen_.push_back(seen);
        pending_.push_back({d, std::move(script.steps_)});
        open_[d] = GetTickCount();
        // The steps run from the dialog's own loop, once it is up.
        if (!stepTimer_) stepTimer_ = SetTimer(nullptr, 0, 1, &StepTimer);
        if (!watchdog_) watchdog_ = SetTimer(nullptr, 0, 200, &Watchdog);
    }

    // A 24-bit bitmap file of the dialog as the screen shows it, once it and
    // its controls have painted.
    static void Capture(HWND d, int number) {
        const char* folder = std::getenv("QUORLA_DIALOG_CAPTURES");
        if (!folder || !*folder) return;
        RECT r;
        GetWindowRect(d, &r);
        const int w = r.right - r.left, h = r.bottom - r.top;
        BITMAPINFO bi{};
        bi.bmiHeader = {sizeof(BITMAPINFOHEADER), w, h, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
        void* bits = nullptr;
        HDC dc = CreateCompatibleDC(nullptr);
        HBITMAP bmp = CreateDIBSection(dc, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
        HGDIOBJ old = SelectObject(dc, bmp);
        RedrawWindow(d, nullptr, nullptr,
                     RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_UPDATENOW | RDW_ALLCHILDREN);
        HDC screen = GetDC(nullptr);
        BitBlt(dc, 0, 0, w, h, screen, r.left, r.top, SRCCOPY);
        ReleaseDC(nullptr, screen);
        GdiFlush();
        const DWORD stride = (static_cast<DWORD>(w) * 3 + 3) & ~3u, size = stride * h;
        std::string name = std::string(folder) + "/" + (number < 10 ? "0" : "") +
                           std::to_string(number) + "-" + Narrow(WindowText(d)) + ".bmp";
        if (FILE* f = std::fopen(name.c_str(), "wb")) {
            BITMAPFILEHEADER fh{0x4D42, static_cast<DWORD>(sizeof fh + sizeof bi.bmiHeader + size),
                                0, 0, static_cast<DWORD>(sizeof fh + sizeof bi.bmiHeader)};
            std::fwrite(&fh, sizeof fh, 1, f);
            std::fwrite(&bi.bmiHeader, sizeof bi.bmiHeader, 1, f);
            std::fwrite(bits, size, 1, f);
            std::fclose(f);
        }
        SelectObject(dc, old);
        DeleteObject(bmp);
        DeleteDC(dc);
    }

    static void CALLBACK StepTimer(HWND, UINT, UINT_PTR id, DWORD) {
        DialogDriver* self = current_;
        KillTimer(nullptr, id);
        if (!self) return;
        if (self->stepTimer_ == id) self->stepTimer_ = 0;
        // Steps may open nested dialogs, which queue their own.
        while (!self->pending_.empty()) {
            Pending p = std::move(self->pending_.front());
            self->pending_.pop_front();
            if (IsWindow(p.dialog)) Capture(p.dialog, ++self->captures_);
            if (self->before_ && IsWindow(p.dialog)) self->before_(p.dialog);
            for (auto& step : p.steps) {
                if (!IsWindow(p.dialog)) break;
                step(p.dialog);
            }
        }
    }

    static void CALLBACK Watchdog(HWND, UINT, UINT_PTR id, DWORD) {
        DialogDriver* self = current_;
        if (!self || self->watchdog_ != id) {
            KillTimer(nullptr, id);
            return;
        }
        const DWORD now = GetTickCount();
        std::vector<HWND> stuck;
        for (auto& [d, since] : self->open_)
            if (IsWindow(d) && now - since >= self->watchdogMs_) stuck.push_back(d);
        if (self->open_.empty()) {
            KillTimer(nullptr, id);
            self->watchdog_ = 0;
            return;
        }
        // Newest first, so a nested box goes before its owner.
        for (auto it = stuck.rbegin(); it != stuck.rend(); ++it) {
            self->timedOut_ = true;
            // Cancel first; a dialog that ignores it has its loop ended, and
            // one that survives even that (a loop the system's EndDialog
            // does not reach) is destroyed.
            int& tries = self->cancelled_[*it];
            if (tries++ == 0)
                PostMessageW(*it, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
            else if (tries == 2)
                EndDialog(*it, IDCANCEL);
            else
                DestroyWindow(*it);
        }
    }

    static LRESULT CALLBACK Hook(int code, WPARAM wParam, LPARAM lParam) {
        DialogDriver* self = current_;
        if (self) {
            HWND hwnd = reinterpret_cast<HWND>(wParam);
            if (code == HCBT_CREATEWND) {
                auto* cbt = reinterpret_cast<CBT_CREATEWNDW*>(lParam);
                if (!(cbt->lpcs->style & WS_CHILD)) self->created_.insert(hwnd);
            } else if (code == HCBT_ACTIVATE) {
                // Each new dialog once, at its first activation.
                if (self->created_.erase(hwnd) && IsDialog(hwnd) &&
                    !(self->ignore_ && self->ignore_(hwnd)))
                    self->Activated(hwnd);
            } else if (code == HCBT_DESTROYWND) {
                self->created_.erase(hwnd);
                self->open_.erase(hwnd);
            }
        }
        return CallNextHookEx(nullptr, code, wParam, lParam);
    }

    struct Pending {
        HWND dialog;
        std::vector<std::function<void(HWND)>> steps;
    };

    static inline thread_local DialogDriver* current_ = nullptr;
    DialogDriver* previous_ = nullptr;
    HHOOK hook_ = nullptr;
    UINT watchdogMs_;
    UINT_PTR stepTimer_ = 0;
    UINT_PTR watchdog_ = 0;
    std::function<bool(HWND)> ignore_;
    std::function<void(HWND)> before_;
    int othersButton_ = 0;
    int captures_ = 0;
    bool timedOut_ = false;
    std::deque<Script> scripts_;
    std::deque<Pending> pending_;
    std::set<HWND> created_;
    std::map<HWND, int> cancelled_; // attempts to close a stuck dialog
    std::map<HWND, DWORD> open_; // dialogs up, with the tick they came up at
    std::vector<SeenDialog> seen_;
};

// Picks from the pop-up menus that code under test tracks on this thread.
// Each menu's items are recorded as it opens (WM_INITMENUPOPUP to its
// owner); then the next expectation is played as keys queued for the
// menu's loop: Down to the item with the command and Enter, or Escape. A
// menu nobody expected is cancelled, and a watchdog ends any menu still up
// after a few seconds.
//
//   testsupport::MenuPicker picker;
//   picker.Pick(ID_VIEW_TOOLBAR);
//   ... right-click ...
//   EXPECT_TRUE(picker.Finished());
//   picker.Seen()[0].items ...
class MenuPicker {
public:
    struct Item {
        UINT id = 0;
        std::wstring text;
        bool separator = false, checked = false, grayed = false;
    };
    struct SeenMenu {
        HMENU menu = nullptr;
        std::vector<Item> items;
        bool expected = false;
    };

    explicit MenuPicker(UINT watchdogMs = 5000) : watchdogMs_(watchdogMs) {
        previous_ = current_;
        current_ = this;
        hook_ = SetWindowsHookExW(WH_CALLWNDPROC, &Hook, nullptr, GetCurrentThreadId());
    }
    ~MenuPicker() {
        if (watchdog_) KillTimer(nullptr, watchdog_);
        UnhookWindowsHookEx(hook_);
        current_ = previous_;
    }
    MenuPicker(const MenuPicker&) = delete;
    MenuPicker& operator=(const MenuPicker&) = delete;

    MenuPicker& Pick(UINT command) {
        plan_.push_back(static_cast<int>(command));
        return *this;
    }
    MenuPicker& Cancel(int times = 1) {
        for (int i = 0; i < times; ++i)
            plan_.push_back(-1);
        return *this;
    }
    // For long loops: count the menus without keeping their items.
    void KeepItems(bool keep) { keepItems_ = keep; }

    bool Finished() const { return plan_.empty() && !timedOut_ && unexpected_ == 0; }
    const std::vector<SeenMenu>& Seen() const { return seen_; }
    int Count() const { return count_; }

    static std::vector<Item> Items(HMENU menu) {
        std::vector<Item> items;
        for (int i = 0, n = GetMenuItemCount(menu); i < n; ++i) {
            Item item;
            wchar_t text[256] = {};
            MENUITEMINFOW info{};
            info.cbSize = sizeof info;
            info.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_ID | MIIM_STRING;
            info.dwTypeData = text;
            info.cch = 255;
            GetMenuItemInfoW(menu, static_cast<UINT>(i), TRUE, &info);
            item.id = info.wID;
            item.text = text;
            item.separator = (info.fType & MFT_SEPARATOR) != 0;
            item.checked = (info.fState & MFS_CHECKED) != 0;
            item.grayed = (info.fState & MFS_GRAYED) != 0;
            items.push_back(item);
        }
        return items;
    }

private:
    static LRESULT CALLBACK Hook(int code, WPARAM wParam, LPARAM lParam) {
        MenuPicker* self = current_;
        const auto* call = reinterpret_cast<const CWPSTRUCT*>(lParam);
        if (code == HC_ACTION && self) {
            if (call->message == WM_INITMENUPOPUP && !HIWORD(call->lParam) && !self->open_)
                self->Opened(reinterpret_cast<HMENU>(call->wParam), call->hwnd);
            else if (call->message == WM_EXITMENULOOP || call->message == WM_UNINITMENUPOPUP)
                self->Closed();
        }
        return CallNextHookEx(nullptr, code, wParam, lParam);
    }

    void Opened(HMENU menu, HWND owner) {
        open_ = true;
        ++count_;
        const bool expected = !plan_.empty();
        const int step = expected ? plan_.front() : -1;
        if (!expected)
            ++unexpected_;
        else
            plan_.pop_front();
        const std::vector<Item> items = Items(menu);
        if (keepItems_ || seen_.empty()) seen_.push_back({menu, items, expected});
        // Keys for the menu's loop, which reads the thread's queue.
        int downs = -1;
        if (step != -1)
            for (size_t i = 0, k = 0; i < items.size(); ++i) {
                if (items[i].separator) continue;
                ++k;
                if (items[i].id == static_cast<UINT>(step)) {
                    downs = static_cast<int>(k);
                    break;
                }
            }
        if (downs < 0) {
            PostMessageW(owner, WM_KEYDOWN, VK_ESCAPE, 0);
        } else {
            for (int i = 0; i < downs; ++i)
                PostMessageW(owner, WM_KEYDOWN, VK_DOWN, 0);
            PostMessageW(owner, WM_KEYDOWN, VK_RETURN, 0);
        }
        if (!watchdog_) watchdog_ = SetTimer(nullptr, 0, watchdogMs_, &Watchdog);
    }
    void Closed() {
        open_ = false;
        if (watchdog_) KillTimer(nullptr, watchdog_);
        watchdog_ = 0;
    }
    static void CALLBACK Watchdog(HWND, UINT, UINT_PTR, DWORD) {
        if (MenuPicker* self = current_) {
            self->timedOut_ = true;
            EndMenu();
        }
    }

    static inline thread_local MenuPicker* current_ = nullptr;
    MenuPicker* previous_ = nullptr;
    HHOOK hook_ = nullptr;
    UINT watchdogMs_;
    UINT_PTR watchdog_ = 0;
    bool open_ = false, keepItems_ = true, timedOut_ = false;
    int unexpected_ = 0, count_ = 0;
    std::deque<int> plan_;
    std::vector<SeenMenu> seen_;
};

} // namespace testsupport
