// Dialogs: creation from templates, initial control data, data exchange in
// both directions and its failures, modal runs.
#include "DialogDriver.h"

#include <framework.h>

#include <gtest/gtest.h>

namespace {

class ExchangeDlg : public CDialog {
public:
    ExchangeDlg() : CDialog(200u) {}

    CString text = L"hello";
    int number = 42;
    double real = 0.1;
    int check = 1;
    int radio = 1;
    int combo = 2;
    int initCalls = 0;
    CWnd edit; // bound by DDX_Control

protected:
    BOOL OnInitDialog() override {
        ++initCalls;
        // The template's combo strings are in before the first exchange.
        EXPECT_EQ(SendDlgItemMessage(209, CB_GETCOUNT), 3);
        return CDialog::OnInitDialog();
    }
    void DoDataExchange(CDataExchange* dx) override {
        DDX_Control(dx, 201, edit);
        DDX_Text(dx, 201, text);
        DDX_Text(dx, 202, number);
        DDX_Text(dx, 203, real);
        DDX_Check(dx, 204, check);
        DDX_Radio(dx, 205, radio);
        DDX_CBIndex(dx, 209, combo);
    }
};

std::wstring Item(const CDialog& dlg, int id) {
    return testsupport::WindowText(::GetDlgItem(dlg.m_hWnd, id));
}
LRESULT Checked(const CDialog& dlg, int id) {
    return dlg.SendDlgItemMessage(id, BM_GETCHECK);
}

TEST(DataExchange, LoadsMembersIntoControlsAtInitialisation) {
    ExchangeDlg dlg;
    ASSERT_TRUE(dlg.Create(200u));
    EXPECT_EQ(dlg.initCalls, 1);
    EXPECT_EQ(testsupport::WindowText(dlg.m_hWnd), L"Exchange");
    EXPECT_EQ(CWnd::FromHandlePermanent(::GetDlgItem(dlg.m_hWnd, 201)), &dlg.edit);
    EXPECT_EQ(Item(dlg, 201), L"hello");
    EXPECT_EQ(Item(dlg, 202), L"42");
    EXPECT_EQ(Item(dlg, 203), L"0.1")
        << "reals are shown with their shortest round-tripping digits";
    EXPECT_EQ(Checked(dlg, 204), BST_CHECKED);
    EXPECT_EQ(Checked(dlg, 205), BST_UNCHECKED);
    EXPECT_EQ(Checked(dlg, 206), BST_CHECKED);
    EXPECT_EQ(Checked(dlg, 207), BST_UNCHECKED);
    EXPECT_EQ(dlg.SendDlgItemMessage(209, CB_GETCURSEL), 2);
    wchar_t item[16] = {};
    dlg.SendDlgItemMessage(209, CB_GETLBTEXT, 0, reinterpret_cast<LPARAM>(item));
    EXPECT_STREQ(item, L"Alpha");
    dlg.DestroyWindow();
}

TEST(DataExchange, SavesControlsIntoMembers) {
    ExchangeDlg dlg;
    ASSERT_TRUE(dlg.Create(200u));
    dlg.SetDlgItemText(201, L"changed");
    dlg.SetDlgItemText(202, L"  -17 ");
    dlg.SetDlgItemText(203, L"2.5e-3");
    dlg.CheckDlgButton(204, BST_UNCHECKED);
    dlg.CheckDlgButton(206, BST_UNCHECKED);
    dlg.CheckDlgButton(207, BST_CHECKED);
    dlg.CheckDlgButton(208, BST_CHECKED); // another group: not part of the index
    dlg.SendDlgItemMessage(209, CB_SETCURSEL, 0);
    ASSERT_TRUE(dlg.UpdateData(TRUE));
    EXPECT_STREQ(dlg.text, L"changed");
    EXPECT_EQ(dlg.number, -17);
    EXPECT_EQ(dlg.real, 2.5e-3);
    EXPECT_EQ(dlg.check, 0);
    EXPECT_EQ(dlg.radio, 2);
    EXPECT_EQ(dlg.combo, 0);

    dlg.CheckDlgButton(207, BST_UNCHECKED);
    dlg.SendDlgItemMessage(209, CB_SETCURSEL, static_cast<WPARAM>(-1));
    ASSERT_TRUE(dlg.UpdateData(TRUE));
    EXPECT_EQ(dlg.radio, -1) << "no button of the group checked";
    EXPECT_EQ(dlg.combo, -1);

    // And back: a value set in code reaches the controls.
    dlg.radio = 0;
    dlg.real = 1.0 / 3.0;
    ASSERT_TRUE(dlg.UpdateData(FALSE));
    EXPECT_EQ(Checked(dlg, 205), BST_CHECKED);
    EXPECT_EQ(Item(dlg, 203), L"0.333333333333333");
    dlg.DestroyWindow();
}

struct BadInput {
    int id;
    const wchar_t* text;
    const wchar_t* message;
};

class DataExchangeFailure : public ::testing::TestWithParam<BadInput> {};

TEST_P(DataExchangeFailure, ShowsTheFrameworkMessageAndKeepsTheMembers) {
    const BadInput& bad = GetParam();
    ExchangeDlg dlg;
    ASSERT_TRUE(dlg.Create(200u));
    dlg.SetDlgItemText(201, L"not saved");
    dlg.SetDlgItemText(bad.id, bad.text);
    dlg.CheckDlgButton(204, BST_UNCHECKED); // after the failing field: must not be read
    testsupport::DialogDriver boxes;
    boxes.Expect().Click(IDOK);
    EXPECT_FALSE(dlg.UpdateData(TRUE));
    EXPECT_TRUE(boxes.Finished()) << boxes.Report();
    EXPECT_EQ(boxes.Last().message, bad.message);
    EXPECT_EQ(dlg.number, 42);
    EXPECT_EQ(dlg.real, 0.1);
    EXPECT_EQ(dlg.check, 1) << "exchange went on past the failed field";
    EXPECT_STREQ(dlg.text, L"not saved") << "fields before the failure are saved";
    EXPECT_EQ(GetFocus(), ::GetDlgItem(dlg.m_hWnd, bad.id)) << "focus on the field to correct";
    dlg.DestroyWindow();
}

INSTANTIATE_TEST_SUITE_P(Cases, DataExchangeFailure,
                         ::testing::Values(BadInput{202, L"12abc", L"Please enter an integer."},
                                           BadInput{202, L"", L"Please enter an integer."},
                                           BadInput{202, L"99999999999",
                                                    L"Please enter an integer."},
                                           BadInput{202, L"1.5", L"Please enter an integer."},
                                           BadInput{203, L"abc", L"Please enter a number."},
                                           BadInput{203, L"1e999", L"Please enter a number."},
                                           BadInput{203, L"3 4", L"Please enter a number."}));

TEST(ModalDialog, OkSavesCancelDoesNotAndTheMainWindowOwnsIt) {
    CWnd main;
    ASSERT_TRUE(main.CreateEx(0, nullptr, L"main", WS_POPUP | WS_VISIBLE, 0, 0, 300, 200, nullptr,
                              nullptr));
    AfxGetApp()->m_pMainWnd = &main;
    {
        ExchangeDlg dlg;
        testsupport::DialogDriver driver;
        driver.Expect(L"Exchange").Click(IDOK);
        EXPECT_EQ(dlg.DoModal(), IDOK);
        EXPECT_TRUE(driver.Finished()) << driver.Report();
        EXPECT_EQ(driver.Last().owner, main.m_hWnd);
        EXPECT_EQ(dlg.m_hWnd, nullptr) << "the object outlives its window";
        EXPECT_EQ(dlg.initCalls, 1);
    }
    {
        ExchangeDlg dlg;
        dlg.number = 9;
        testsupport::DialogDriver driver;
        driver.Expect(L"Exchange").Click(IDCANCEL);
        EXPECT_EQ(dlg.DoModal(), IDCANCEL);
        EXPECT_EQ(dlg.number, 9);
    }
    AfxGetApp()->m_pMainWnd = nullptr;
    main.DestroyWindow();

    CDialog missing(4242u);
    EXPECT_EQ(missing.DoModal(), -1) << "a template nobody has";
    EXPECT_FALSE(missing.Create(4242u));
}

TEST(ModelessDialog, EndDialogClosesIt) {
    ExchangeDlg dlg;
    ASSERT_TRUE(dlg.Create(200u));
    dlg.SendMessage(WM_COMMAND, IDCANCEL);
    EXPECT_EQ(dlg.m_hWnd, nullptr);
    ASSERT_TRUE(dlg.Create(200u)) << "a closed dialog can be created again";
    EXPECT_EQ(dlg.initCalls, 2);
    dlg.DestroyWindow();
}

} // namespace
