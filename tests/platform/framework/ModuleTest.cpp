// Module states, the resource chain, the application object and its message box.
#include "DialogDriver.h"

#include <framework.h>

#include <gtest/gtest.h>

// The test program's application object.
CWinApp g_testApp(L"Framework tests");

namespace {

typedef AFX_MODULE_STATE* (*StateFn)();

class ResourceModule : public ::testing::Test {
protected:
    void SetUp() override {
        module = LoadLibraryW(L"fwtest_resmodule.dll");
        ASSERT_NE(module, nullptr);
        state = reinterpret_cast<StateFn>(
            reinterpret_cast<void*>(GetProcAddress(module, "ResModuleState")))();
        inside = reinterpret_cast<StateFn>(
            reinterpret_cast<void*>(GetProcAddress(module, "ResModuleStateInside")));
    }
    void TearDown() override {
        if (module) FreeLibrary(module);
    }
    HMODULE module = nullptr;
    AFX_MODULE_STATE* state = nullptr;
    StateFn inside = nullptr;
};

TEST_F(ResourceModule, EachModuleHasItsOwnStateAndSwitchingIsScoped) {
    AFX_MODULE_STATE* app = AfxGetAppModuleState();
    ASSERT_NE(state, nullptr);
    EXPECT_NE(state, app);
    EXPECT_EQ(state->m_hCurrentInstanceHandle, module);
    EXPECT_TRUE(state->m_bDLL);
    EXPECT_FALSE(app->m_bDLL);
    EXPECT_EQ(AfxGetModuleState(), app);
    EXPECT_EQ(inside(), state);
    EXPECT_EQ(AfxGetModuleState(), app) << "the switch outlived its scope";
    {
        AFX_MANAGE_STATE(state);
        EXPECT_EQ(AfxGetInstanceHandle(), module);
        {
            AFX_MANAGE_STATE(app);
            EXPECT_EQ(AfxGetInstanceHandle(), GetModuleHandleW(nullptr));
        }
        EXPECT_EQ(AfxGetModuleState(), state);
        EXPECT_EQ(AfxGetApp(), nullptr) << "the module has no application object";
    }
    EXPECT_EQ(AfxGetApp(), &g_testApp);
}

TEST_F(ResourceModule, LookupsSearchTheCurrentModuleThenTheChain) {
    CString s;
    // The program's own string first; the module's through the chain.
    ASSERT_TRUE(s.LoadString(100));
    EXPECT_STREQ(s, L"program's string");
    ASSERT_TRUE(s.LoadString(102));
    EXPECT_STREQ(s, L"only in the module");
    EXPECT_EQ(AfxFindResourceHandle(MAKEINTRESOURCEW(300), MAKEINTRESOURCEW(5)), module);
    {
        AFX_MANAGE_STATE(state);
        ASSERT_TRUE(s.LoadString(100));
        EXPECT_STREQ(s, L"module's string") << "under its own state the module's string wins";
        ASSERT_TRUE(s.LoadString(115));
        EXPECT_STREQ(s, L"last of its block") << "the program's resources come last";
    }
    // A dialog template found through the chain.
    CDialog dlg(300u);
    ASSERT_TRUE(dlg.Create(300u));
    EXPECT_EQ(testsupport::WindowText(dlg.m_hWnd), L"Module dialog");
    dlg.DestroyWindow();

    // Unloaded, the module leaves the chain.
    FreeLibrary(module);
    module = nullptr;
    EXPECT_FALSE(s.LoadString(102));
    EXPECT_EQ(AfxFindResourceHandle(MAKEINTRESOURCEW(300), MAKEINTRESOURCEW(5)),
              GetModuleHandleW(nullptr));
}

class StateProbe : public CWnd {
public:
    AFX_MODULE_STATE* seen = nullptr;

protected:
    LRESULT OnProbe(WPARAM, LPARAM) {
        seen = AfxGetModuleState();
        return 1;
    }
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(StateProbe, CWnd)
ON_MESSAGE(WM_APP + 9, OnProbe)
END_MESSAGE_MAP()

TEST_F(ResourceModule, WindowsRunUnderTheStateTheyWereCreatedIn) {
    StateProbe probe;
    {
        AFX_MANAGE_STATE(state);
        ASSERT_TRUE(probe.CreateEx(0, nullptr, L"probe", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr));
    }
    EXPECT_EQ(AfxGetModuleState(), AfxGetAppModuleState());
    EXPECT_EQ(probe.SendMessage(WM_APP + 9), 1);
    EXPECT_EQ(probe.seen, state);
    EXPECT_EQ(AfxGetModuleState(), AfxGetAppModuleState());
    probe.DestroyWindow();
}

TEST(Application, OnePerModuleWithRegistryProfile) {
    EXPECT_EQ(AfxGetApp(), &g_testApp);
    EXPECT_EQ(AfxGetAppModuleState()->m_pCurrentWinApp, &g_testApp);
    EXPECT_STREQ(g_testApp.m_pszAppName, L"Framework tests");
    EXPECT_EQ(g_testApp.m_hInstance, GetModuleHandleW(nullptr));
    {
        CWinApp second(L"second");
        EXPECT_EQ(AfxGetApp(), &g_testApp) << "a second application replaced the first";
    }
    EXPECT_EQ(AfxGetApp(), &g_testApp);

    g_testApp.SetRegistryKey(L"Tamrix Tests");
    EXPECT_STREQ(g_testApp.m_pszProfileName, L"Framework tests");
    EXPECT_EQ(g_testApp.GetProfileInt(L"Section", L"Missing", 17), 17u);
    EXPECT_TRUE(g_testApp.WriteProfileInt(L"Section", L"Count", -3));
    EXPECT_EQ(static_cast<int>(g_testApp.GetProfileInt(L"Section", L"Count", 0)), -3);
    EXPECT_TRUE(g_testApp.WriteProfileString(L"Section", L"Name", L"value"));
    EXPECT_STREQ(g_testApp.GetProfileString(L"Section", L"Name"), L"value");
    EXPECT_STREQ(g_testApp.GetProfileString(L"Section", L"Nothing", L"dflt"), L"dflt");
    HKEY key;
    ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, L"Software\\Tamrix Tests\\Framework tests\\Section",
                            0, KEY_READ, &key),
              ERROR_SUCCESS);
    RegCloseKey(key);
    EXPECT_TRUE(g_testApp.WriteProfileString(L"Section", nullptr, nullptr));
    RegDeleteKeyW(HKEY_CURRENT_USER, L"Software\\Tamrix Tests\\Framework tests");
    RegDeleteKeyW(HKEY_CURRENT_USER, L"Software\\Tamrix Tests");
}

TEST(Application, MessageBoxIsOwnedByTheMainWindowOfThisThread) {
    {
        testsupport::DialogDriver box;
        box.Expect(L"Framework tests").Click(IDOK);
        EXPECT_EQ(AfxMessageBox(L"no main window"), IDOK);
        EXPECT_TRUE(box.Finished()) << box.Report();
        EXPECT_EQ(box.Last().message, L"no main window");
    }
    CWnd main;
    ASSERT_TRUE(main.CreateEx(0, nullptr, L"main", WS_POPUP | WS_VISIBLE, 0, 0, 200, 100, nullptr,
                              nullptr));
    g_testApp.m_pMainWnd = &main;
    EXPECT_EQ(AfxGetMainWnd(), &main);
    {
        testsupport::DialogDriver box;
        box.Expect().Click(IDNO);
        CString text;
        text.Format(L"%d files", 3);
        EXPECT_EQ(AfxMessageBox(text, MB_YESNO), IDNO);
        EXPECT_TRUE(box.Finished()) << box.Report();
        EXPECT_EQ(box.Last().message, L"3 files");
        EXPECT_EQ(box.Last().owner, main.m_hWnd);
    }
    {
        testsupport::DialogDriver box;
        box.Expect().Click(IDOK);
        EXPECT_EQ(AfxMessageBox(100u), IDOK);
        EXPECT_EQ(box.Last().message, L"program's string");
    }
    g_testApp.m_pMainWnd = nullptr;
    EXPECT_EQ(AfxGetMainWnd(), nullptr);
    main.DestroyWindow();
}

struct ThreadMain {
    HANDLE created = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    HANDLE checked = CreateEventW(nullptr, TRUE, FALSE, nullptr);
};

TEST(Application, MainWindowOfAnotherThreadIsNotThisThreadsMainWindow) {
    ThreadMain sync;
    HANDLE thread = CreateThread(
        nullptr, 0,
        [](LPVOID param) -> DWORD {
            auto* s = static_cast<ThreadMain*>(param);
            CWnd window;
            window.CreateEx(0, nullptr, L"elsewhere", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr);
            g_testApp.m_pMainWnd = &window;
            SetEvent(s->created);
            WaitForSingleObject(s->checked, INFINITE);
            g_testApp.m_pMainWnd = nullptr;
            window.DestroyWindow();
            return 0;
        },
        &sync, 0, nullptr);
    ASSERT_NE(thread, nullptr);
    WaitForSingleObject(sync.created, INFINITE);
    EXPECT_NE(g_testApp.m_pMainWnd, nullptr);
    EXPECT_EQ(AfxGetMainWnd(), nullptr) << "a window of another thread cannot own this one's boxes";
    SetEvent(sync.checked);
    WaitForSingleObject(thread, INFINITE);
    CloseHandle(thread);
    CloseHandle(sync.created);
    CloseHandle(sync.checked);
}

} // namespace
