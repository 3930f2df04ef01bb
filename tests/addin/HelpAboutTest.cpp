// The Help and About commands from their exports and the host's menus, in a
// program with a main window. The shell is never really asked to open
// anything: Quorla.dll's ShellExecuteW is replaced by a recorder.
#include "CadHost.h"
#include "DialogDriver.h"
#include "ImportPatch.h"
#include "QuorlaExports.h"

#include <framework.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

CWinApp g_app(L"Help and About tests");

const wchar_t kTitle[] = L"Quorla for SolidWorks 2008 version 1.0";

struct ShellCall {
    HWND owner;
    std::wstring verb, file, parameters;
    bool noFolder;
    int show;
};
std::vector<ShellCall> g_shellCalls;
INT_PTR g_shellResult = 42;

HINSTANCE WINAPI RecordShell(HWND owner, LPCWSTR verb, LPCWSTR file, LPCWSTR parameters,
                             LPCWSTR folder, INT show) {
    g_shellCalls.push_back({owner, verb ? verb : L"(null)", file ? file : L"(null)",
                            parameters ? parameters : L"(null)", folder == nullptr, show});
    return reinterpret_cast<HINSTANCE>(g_shellResult);
}

std::wstring BinFolder() {
    wchar_t path[MAX_PATH];
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder(path);
    return folder.substr(0, folder.find_last_of(L'\\') + 1);
}

class HelpAbout : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        main_ = new CWnd;
        ASSERT_TRUE(main_->CreateEx(0, nullptr, L"host main window",
                                    WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 400, 300, nullptr,
                                    nullptr));
        g_app.m_pMainWnd = main_;
    }
    static void TearDownTestSuite() {
        g_app.m_pMainWnd = nullptr;
        main_->DestroyWindow();
        delete main_;
    }
    void SetUp() override {
        g_shellCalls.clear();
        g_shellResult = 42;
        module_ = LoadLibraryW(L"Quorla.dll");
        ASSERT_NE(module_, nullptr);
        init_ = Proc<QuorlaInitUserDLL3Fn>(QUORLA_INIT_EXPORT);
        help_ = Proc<QuorlaCommandFn>(QUORLA_HELP_COMMAND_EXPORT);
        about_ = Proc<QuorlaCommandFn>(QUORLA_ABOUT_COMMAND_EXPORT);
        ASSERT_TRUE(init_ && help_ && about_);
        shell_ = std::make_unique<testsupport::ImportPatch>(module_, "shell32.dll", "ShellExecuteW",
                                                            &RecordShell);
        ASSERT_TRUE(shell_->Active()) << "Quorla.dll imports ShellExecuteW";
    }
    void TearDown() override {
        shell_.reset();
        if (module_) FreeLibrary(module_);
    }
    void Init() { ASSERT_EQ(init_(host_.Application()), 1); }

    template <class F> F Proc(const char* name) {
        return reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(module_, name)));
    }

    static inline CWnd* main_ = nullptr;
    cadhost::Host host_; // outlives the add-in
    HMODULE module_ = nullptr;
    QuorlaInitUserDLL3Fn init_ = nullptr;
    QuorlaCommandFn help_ = nullptr;
    QuorlaCommandFn about_ = nullptr;
    std::unique_ptr<testsupport::ImportPatch> shell_;
};

TEST_F(HelpAbout, HelpOpensTheHelpFileBesideTheAddin) {
    Init();
    testsupport::DialogDriver driver;
    EXPECT_EQ(help_(), 0);
    EXPECT_TRUE(driver.Finished()) << driver.Report();
    ASSERT_EQ(g_shellCalls.size(), 1u);
    const ShellCall& call = g_shellCalls[0];
    EXPECT_EQ(call.owner, nullptr);
    EXPECT_EQ(call.verb, L"open");
    EXPECT_EQ(call.file, BinFolder() + L"Quorla.chm");
    EXPECT_EQ(call.parameters, L"");
    EXPECT_TRUE(call.noFolder);
    EXPECT_EQ(call.show, SW_SHOW);
    EXPECT_NE(GetFileAttributesW(call.file.c_str()), INVALID_FILE_ATTRIBUTES)
        << "the build puts Quorla.chm beside Quorla.dll";
}

// Points the .chm file type at the test's recorder program for the object's
// lifetime (the classes root is HKLM\Software\Classes under Wine).
class ChmAssociation {
public:
    explicit ChmAssociation(const std::wstring& program) {
        const std::wstring command = L"\"" + program + L"\" \"%1\"";
        HKEY key;
        if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, kType, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                            nullptr) != ERROR_SUCCESS)
            return;
        wchar_t old[256] = {};
        DWORD size = sizeof old;
        if (RegQueryValueExW(key, nullptr, nullptr, nullptr, reinterpret_cast<BYTE*>(old), &size) ==
            ERROR_SUCCESS)
            previous_ = old, hadPrevious_ = true;
        Set(key, kClass);
        RegCloseKey(key);
        if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, kCommand, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                            &key, nullptr) != ERROR_SUCCESS)
            return;
        Set(key, command.c_str());
        RegCloseKey(key);
        active_ = true;
    }
    ~ChmAssociation() {
        RegDeleteTreeW(HKEY_LOCAL_MACHINE, L"Software\\Classes\\QuorlaTest.chm");
        HKEY key;
        if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kType, 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS) return;
        if (hadPrevious_) Set(key, previous_.c_str());
        else RegDeleteValueW(key, nullptr);
        RegCloseKey(key);
    }
    bool Active() const { return active_; }

private:
    static void Set(HKEY key, const wchar_t* value) {
        RegSetValueExW(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(value),
                       static_cast<DWORD>((wcslen(value) + 1) * sizeof(wchar_t)));
    }
    static constexpr const wchar_t* kType = L"Software\\Classes\\.chm";
    static constexpr const wchar_t* kClass = L"QuorlaTest.chm";
    static constexpr const wchar_t* kCommand = L"Software\\Classes\\QuorlaTest.chm\\shell\\open\\command";
    std::wstring previous_;
    bool hadPrevious_ = false, active_ = false;
};

TEST_F(HelpAbout, TheShellHandsTheHelpFileToItsViewer) {
    shell_.reset(); // the real shell this time, with a recorder as the viewer
    Init();
    ChmAssociation association(BinFolder() + L"shell_recorder.exe");
    ASSERT_TRUE(association.Active());
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    const std::wstring record = std::wstring(temp) + L"quorla-help-record.txt";
    DeleteFileW(record.c_str());
    SetEnvironmentVariableW(L"QUORLA_SHELL_RECORD", record.c_str());
    testsupport::DialogDriver driver;
    EXPECT_EQ(help_(), 0);
    EXPECT_EQ(driver.Count(), 0) << driver.Report();
    std::wstring line;
    for (int wait = 0; wait < 200 && line.empty(); ++wait) {
        Sleep(50);
        if (FILE* f = _wfopen(record.c_str(), L"rb")) {
            wchar_t buffer[1024] = {};
            fread(buffer, sizeof(wchar_t), 1023, f);
            fclose(f);
            line = buffer;
        }
    }
    DeleteFileW(record.c_str());
    EXPECT_NE(line.find(L"\"" + BinFolder() + L"Quorla.chm\""), std::wstring::npos)
        << testsupport::Narrow(line);

    // Without the file the shell fails, and the user is told.
    const std::wstring chm = BinFolder() + L"Quorla.chm", away = chm + L".away";
    ASSERT_TRUE(MoveFileW(chm.c_str(), away.c_str()));
    testsupport::DialogDriver missing;
    missing.Expect(kTitle).Click(IDOK);
    EXPECT_EQ(help_(), 0);
    MoveFileW(away.c_str(), chm.c_str());
    EXPECT_TRUE(missing.Finished()) << missing.Report();
    EXPECT_EQ(missing.Last().message, L"Error displaying Quorla for SolidWorks help file.");
}

TEST_F(HelpAbout, AFailingShellShowsOneWarning) {
    Init();
    for (INT_PTR failure : {2, 31, 32}) {
        g_shellResult = failure;
        testsupport::DialogDriver driver;
        driver.Expect(kTitle).Click(IDOK);
        EXPECT_EQ(help_(), 0);
        EXPECT_TRUE(driver.Finished()) << driver.Report();
        const testsupport::SeenDialog& box = driver.Last();
        EXPECT_EQ(box.message, L"Error displaying Quorla for SolidWorks help file.");
        EXPECT_TRUE(box.warningIcon);
        EXPECT_TRUE(box.OkOnly());
        EXPECT_EQ(box.owner, main_->m_hWnd);
    }
    g_shellResult = 33;
    testsupport::DialogDriver none;
    EXPECT_EQ(help_(), 0);
    EXPECT_EQ(none.Count(), 0) << "33 is success";
}

TEST_F(HelpAbout, AboutShowsTheLibrarysBoxWithTheProductTitle) {
    Init();
    testsupport::DialogDriver driver;
    driver.Expect(std::wstring(L"About ") + kTitle).Click(IDOK);
    EXPECT_EQ(about_(), 0);
    EXPECT_TRUE(driver.Finished()) << driver.Report();
    EXPECT_EQ(driver.Last().texts.at(1013), kTitle);
    EXPECT_EQ(driver.Last().owner, main_->m_hWnd) << "no parent: the main window owns it";

    driver.Expect(std::wstring(L"About ") + kTitle).Click(IDOK);
    EXPECT_TRUE(host_.ClickMenuItem(0, L"&Quorla", L"&About..."));
    EXPECT_TRUE(driver.Finished()) << driver.Report();
}

TEST_F(HelpAbout, WithoutTheAddinObjectTheCommandsDoNothing) {
    testsupport::DialogDriver driver;
    EXPECT_EQ(help_(), 0) << "before InitUserDLL3";
    EXPECT_EQ(about_(), 0);
    Init();
    host_.FireEvent3();
    EXPECT_EQ(help_(), 0) << "after the host let the add-in go";
    EXPECT_EQ(about_(), 0);
    EXPECT_TRUE(g_shellCalls.empty());
    EXPECT_EQ(driver.Count(), 0);
}

TEST_F(HelpAbout, TheHelpMenuItemReachesItsExport) {
    Init();
    EXPECT_TRUE(host_.ClickMenuItem(0, L"&Quorla", L"&Help..."));
    EXPECT_EQ(g_shellCalls.size(), 1u);
}

} // namespace
