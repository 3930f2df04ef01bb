// A fresh embedded host per test, the journal as text lines, a watch on the
// progress windows the converters open, and small geometry builders.
#pragma once

#include "CadHost.h"
#include "HostContract.h"
#include "Convert.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

namespace converttest {

// Progress windows (dialogs from TMXUI's template 8001) created on this
// thread while the watch lives, each with the title it had when it closed.
class ProgressWatch {
public:
    ProgressWatch() {
        current_ = this;
        hook_ = SetWindowsHookExW(WH_CBT, &Hook, nullptr, GetCurrentThreadId());
    }
    ~ProgressWatch() {
        UnhookWindowsHookEx(hook_);
        current_ = nullptr;
    }
    ProgressWatch(const ProgressWatch&) = delete;
    ProgressWatch& operator=(const ProgressWatch&) = delete;

    int Created() const { return created_; }
    // Titles in the order the windows closed.
    const std::vector<std::wstring>& Closed() const { return closed_; }
    // Status line of each window as it closed.
    const std::vector<std::wstring>& ClosedStatus() const { return status_; }
    std::string ClosedText() const {
        std::string out;
        for (const auto& t : closed_)
            out += (out.empty() ? "" : ", ") + std::string(t.begin(), t.end());
        return out;
    }

private:
    static bool IsProgressWindow(HWND hwnd) {
        wchar_t cls[64] = {};
        GetClassNameW(hwnd, cls, 64);
        HWND bar = GetDlgItem(hwnd, 8001);
        wchar_t barCls[64] = {};
        if (bar) GetClassNameW(bar, barCls, 64);
        return std::wstring(cls) == L"#32770" && std::wstring(barCls) == L"msctls_progress32" &&
               GetDlgItem(hwnd, 8000) != nullptr;
    }
    static LRESULT CALLBACK Hook(int code, WPARAM wParam, LPARAM lParam) {
        ProgressWatch* self = current_;
        if (self && code == HCBT_CREATEWND) {
            auto* cbt = reinterpret_cast<CBT_CREATEWNDW*>(lParam);
            if (cbt->lpcs->hwndParent == nullptr || !(cbt->lpcs->style & WS_CHILD)) {
                const LPCWSTR cls = cbt->lpcs->lpszClass;
                // Dialogs are created with the atom of class #32770.
                if (IS_INTRESOURCE(cls) && reinterpret_cast<ULONG_PTR>(cls) == 0x8002)
                    self->created_++;
            }
        } else if (self && code == HCBT_DESTROYWND) {
            HWND hwnd = reinterpret_cast<HWND>(wParam);
            if (IsProgressWindow(hwnd)) {
                wchar_t text[256] = {};
                GetWindowTextW(hwnd, text, 256);
                self->closed_.push_back(text);
                GetDlgItemTextW(hwnd, 8000, text, 256);
                self->status_.push_back(text);
            }
        }
        return CallNextHookEx(nullptr, code, wParam, lParam);
    }

    static inline ProgressWatch* current_ = nullptr;
    HHOOK hook_ = nullptr;
    int created_ = 0;
    std::vector<std::wstring> closed_;
    std::vector<std::wstring> status_;
};

class ConvertTest : public ::testing::Test {
protected:
    void SetUp() override { app = host.Application(); }
    void TearDown() override {
        app->Release();
        EXPECT_EQ(host.OutstandingRefs(), 0) << "handles not released:\n" << host.Unreleased();
    }

    // The journal from entry `from` on, one call per line.
    std::vector<std::string> Calls(size_t from = 0) const {
        std::vector<std::string> out;
        const auto& journal = host.Journal();
        for (size_t i = from; i < journal.size(); i++)
            out.push_back(journal[i].ToString());
        return out;
    }
    // Only the calls of the given operations.
    std::vector<std::string> Calls(std::initializer_list<cadhost::Op> ops) const {
        std::vector<std::string> out;
        for (const auto& e : host.Journal())
            for (cadhost::Op op : ops)
                if (e.op == op) out.push_back(e.ToString());
        return out;
    }
    std::string Journal() const { return host.JournalText(); }

    // A part document opened by the test itself, with its document handle.
    HostDocHandle OpenPart() {
        host.OpenDocument(HOST_KIND_PART);
        HostDocHandle doc = nullptr;
        HostActiveDocument(app, &doc);
        host.ClearJournal();
        return doc;
    }

    cadhost::Host host;
    IDispatch* app = nullptr;
};

// Geometry builders.
inline ON_NurbsCurve NurbsLine(ON_3dPoint a, ON_3dPoint b) {
    ON_NurbsCurve c(3, false, 2, 2);
    c.SetCV(0, a);
    c.SetCV(1, b);
    c.SetKnot(0, 0.0);
    c.SetKnot(1, 1.0);
    return c;
}

inline ON_NurbsCurve NurbsOf(const ON_Arc& arc) {
    ON_NurbsCurve c;
    arc.GetNurbForm(c);
    return c;
}

inline ON_NurbsCurve NurbsPolyline(const std::vector<ON_3dPoint>& points) {
    ON_NurbsCurve c(3, false, 2, static_cast<int>(points.size()));
    for (int i = 0; i < static_cast<int>(points.size()); i++) {
        c.SetCV(i, points[i]);
        c.SetKnot(i, i);
    }
    return c;
}

inline ON_Mesh MeshOf(const std::vector<ON_3dPoint>& vertices,
                      const std::vector<std::vector<int>>& faces) {
    ON_Mesh m;
    for (const auto& v : vertices)
        m.AppendVertex(v);
    for (const auto& f : faces) {
        m.m_F.AppendNew();
        const int i = m.m_F.Count() - 1;
        if (f.size() == 3)
            m.SetTriangle(i, f[0], f[1], f[2]);
        else
            m.SetQuad(i, f[0], f[1], f[2], f[3]);
    }
    return m;
}

// Two triangles sharing the edge (1, 0, 0)-(0, 1, 0).
inline ON_Mesh TwoTriangles() {
    return MeshOf({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {1, 1, 0}}, {{0, 1, 2}, {1, 3, 2}});
}

} // namespace converttest
