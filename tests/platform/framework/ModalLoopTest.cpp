// The framework's modal loop: pre-translation from a control up to the main
// window, the owner's state, nesting, ending early, WM_QUIT, temporaries;
// run-time classes and tooltip records.
#include "DialogDriver.h"

#include <framework.h>

#include <gtest/gtest.h>

#include <string>

namespace {

std::wstring g_walk; // who saw a pre-translated key, in order

// Records the keys it pre-translates; swallows those in `swallow`.
template <class Base>
class Recorder : public Base {
public:
    Recorder(wchar_t name, std::wstring swallow = L"") : m_name(name), m_swallow(std::move(swallow)) {}
    using Base::Base;
    BOOL PreTranslateMessage(MSG* msg) override {
        if (msg->message != WM_KEYDOWN) return Base::PreTranslateMessage(msg);
        g_walk += m_name;
        return m_swallow.find(static_cast<wchar_t>(msg->wParam)) != std::wstring::npos;
    }

private:
    wchar_t m_name;
    std::wstring m_swallow;
};

class LoopDlg : public Recorder<CDialog> {
public:
    LoopDlg(CWnd* parent = nullptr, std::wstring swallow = L"")
        : Recorder<CDialog>(L'D', std::move(swallow)) {
        m_lpszTemplateName = MAKEINTRESOURCEW(200);
        m_pParentWnd = parent;
    }
    int endInInit = 0; // EndDialog with this from OnInitDialog
    std::function<void(LoopDlg&)> onOk;
    Recorder<CWnd> edit{L'E'};

protected:
    BOOL OnInitDialog() override {
        edit.SubclassDlgItem(201, this);
        if (endInInit) EndDialog(endInInit);
        return CDialog::OnInitDialog();
    }
    void OnOK() override {
        if (onOk) onOk(*this);
        else CDialog::OnOK();
    }
};

void PostKey(HWND dialog, int control, UINT key) {
    HWND target = ::GetDlgItem(dialog, control);
    PostMessageW(target, WM_KEYDOWN, key, 1);
    PostMessageW(target, WM_KEYUP, key, 0xC0000001);
}

class ModalLoop : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(main.CreateEx(0, nullptr, L"main", WS_POPUP | WS_VISIBLE, 0, 0, 300, 200,
                                  nullptr, nullptr));
        AfxGetApp()->m_pMainWnd = &main;
        g_walk.clear();
    }
    void TearDown() override {
        AfxGetApp()->m_pMainWnd = nullptr;
        main.DestroyWindow();
    }
    Recorder<CWnd> main{L'M'};
};

TEST_F(ModalLoop, KeysWalkFromTheControlToTheMainWindowBeforeTheDialogManager) {
    // Enter is swallowed by the dialog's pre-translation, so the default
    // button is never pressed; Escape goes on to the dialog manager.
    LoopDlg dlg(nullptr, std::wstring(1, static_cast<wchar_t>(VK_RETURN)));
    testsupport::DialogDriver driver;
    bool ownerDisabled = false;
    driver.Expect(L"Exchange").Do([&](HWND d) {
        ownerDisabled = !::IsWindowEnabled(main.m_hWnd);
        PostKey(d, 201, VK_RETURN);
        PostKey(d, 201, VK_ESCAPE);
    });
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    EXPECT_TRUE(driver.Finished()) << driver.Report();
    EXPECT_EQ(g_walk, L"ED" L"EDM") << "Enter stopped at the dialog, Escape went on to the main window";
    EXPECT_TRUE(ownerDisabled);
    EXPECT_TRUE(::IsWindowEnabled(main.m_hWnd));
    EXPECT_EQ(::GetActiveWindow(), main.m_hWnd) << "activation comes back to the owner";
}

TEST_F(ModalLoop, NestsEndsEarlyAndPassesQuitOn) {
    // A dialog ended in OnInitDialog is never shown.
    {
        LoopDlg dlg;
        dlg.endInInit = 77;
        testsupport::DialogDriver driver;
        EXPECT_EQ(dlg.DoModal(), 77);
        // (The dialog manager may activate it, hidden, when it sets the focus.)
        for (const auto& seen : driver.Seen())
            EXPECT_FALSE(seen.style & WS_VISIBLE);
        EXPECT_TRUE(::IsWindowEnabled(main.m_hWnd));
    }
    // A dialog opened from the OK handler of another runs its own loop; the
    // outer one is its owner and goes on after it.
    {
        LoopDlg outer;
        INT_PTR innerResult = 0;
        HWND innerOwner = nullptr;
        bool outerDisabled = false;
        outer.onOk = [&](LoopDlg& self) {
            LoopDlg inner(&self);
            innerResult = inner.DoModal();
            self.EndDialog(5);
        };
        testsupport::DialogDriver driver;
        driver.Expect(L"Exchange").Click(IDOK);
        driver.Expect(L"Exchange").Inspect([&](HWND, testsupport::SeenDialog& seen) {
            innerOwner = seen.owner;
            outerDisabled = !::IsWindowEnabled(seen.owner);
        }).Click(IDCANCEL);
        EXPECT_EQ(outer.DoModal(), 5);
        EXPECT_TRUE(driver.Finished()) << driver.Report();
        EXPECT_EQ(innerResult, IDCANCEL);
        EXPECT_EQ(innerOwner, driver.Seen().front().hwnd);
        EXPECT_TRUE(outerDisabled);
    }
    // WM_QUIT ends the loop with -1 and is posted again, with its code.
    {
        LoopDlg dlg;
        testsupport::DialogDriver driver;
        driver.Expect(L"Exchange").Do([](HWND) { PostQuitMessage(7); });
        EXPECT_EQ(dlg.DoModal(), -1);
        MSG msg;
        ASSERT_TRUE(PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
        EXPECT_EQ(msg.wParam, 7u);
        EXPECT_TRUE(::IsWindowEnabled(main.m_hWnd));
        EXPECT_EQ(dlg.m_hWnd, nullptr);
    }
}

TEST_F(ModalLoop, KeepsTheCallersTemporariesAndFreesItsOwn) {
    HWND desktop = ::GetDesktopWindow();
    CWnd* callers = CWnd::FromHandle(desktop);
    int madeInside = 0;
    LoopDlg dlg;
    testsupport::DialogDriver driver;
    // Temporaries made between idle turns go, so each step gets a fresh one
    // unless the allocator happens to hand back the same address.
    driver.Expect(L"Exchange").Do([&](HWND) {
        CWnd* inside = CWnd::FromHandle(desktop);
        madeInside += inside != callers;
        EXPECT_EQ(CWnd::FromHandle(desktop), inside) << "one temporary per handle between idle turns";
    }).Click(IDCANCEL);
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    EXPECT_EQ(madeInside, 1) << "the loop's temporaries are its own";
    EXPECT_EQ(CWnd::FromHandle(desktop), callers) << "the caller's temporary survived the loop";
    EXPECT_EQ(callers->m_hWnd, desktop);
}

// A class of this program deriving from a class of framework.dll.
class ProgramDialog : public CDialog {
    DECLARE_DYNCREATE(ProgramDialog)
};
IMPLEMENT_DYNCREATE(ProgramDialog, CDialog)

TEST(RuntimeClass, KindsFollowTheClassTreeAcrossModules) {
    struct Case {
        CRuntimeClass* cls;
        CRuntimeClass* kind;
        bool is;
    } cases[] = {
        {RUNTIME_CLASS(ProgramDialog), RUNTIME_CLASS(CDialog), true},
        {RUNTIME_CLASS(ProgramDialog), RUNTIME_CLASS(CWnd), true},
        {RUNTIME_CLASS(ProgramDialog), RUNTIME_CLASS(CObject), true},
        {RUNTIME_CLASS(CEdit), RUNTIME_CLASS(CWnd), true},
        {RUNTIME_CLASS(CWnd), RUNTIME_CLASS(CDialog), false},
        {RUNTIME_CLASS(CEdit), RUNTIME_CLASS(CStatic), false},
        {RUNTIME_CLASS(CWinApp), RUNTIME_CLASS(CWnd), false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.cls->IsDerivedFrom(c.kind), c.is) << c.cls->m_lpszClassName << " / " << c.kind->m_lpszClassName;

    CObject* made = RUNTIME_CLASS(ProgramDialog)->CreateObject();
    ASSERT_NE(made, nullptr);
    EXPECT_TRUE(made->IsKindOf(RUNTIME_CLASS(CDialog)));
    EXPECT_STREQ(made->GetRuntimeClass()->m_lpszClassName, "ProgramDialog");
    delete made;
    EXPECT_EQ(RUNTIME_CLASS(CDialog)->CreateObject(), nullptr) << "not DYNCREATE";
    CToolTipCtrl tip;
    EXPECT_TRUE(tip.IsKindOf(RUNTIME_CLASS(CWnd)));
    EXPECT_FALSE(tip.IsKindOf(RUNTIME_CLASS(CEdit)));
}

TEST(ToolTipCtrl, ToolRecordsUseTheSizeThatVersion5Accepts) {
    CWnd owner;
    ASSERT_TRUE(owner.CreateEx(0, nullptr, L"owner", WS_POPUP, 0, 0, 200, 100, nullptr, nullptr));
    CToolTipCtrl tip;
    ASSERT_TRUE(tip.Create(&owner));
    RECT area{10, 10, 50, 30};
    EXPECT_TRUE(tip.AddTool(&owner, L"first", &area, 1));
    EXPECT_TRUE(tip.AddTool(&owner, L"whole window"));
    EXPECT_EQ(tip.GetToolCount(), 2);
    TTTOOLINFOW info;
    ASSERT_TRUE(tip.GetToolInfo(info, &owner, 1));
    EXPECT_EQ(info.cbSize, TTTOOLINFOW_V2_SIZE);
    EXPECT_EQ(info.rect.right, 50);
    tip.DelTool(&owner, 1);
    EXPECT_EQ(tip.GetToolCount(), 1);
    EXPECT_EQ(tip.SetMaxTipWidth(400), -1) << "no limit before";
    EXPECT_EQ(tip.GetMaxTipWidth(), 400);
    tip.DestroyWindow();
    owner.DestroyWindow();
}

} // namespace
