// tmxui-gallery: writes a PNG picture of every window the GUI library makes,
// as a person sees it, into a folder (default "gallery"):
//   build/windows/wine-run build/windows/bin/tmxui-gallery.exe [folder]
// Modal dialogs are pictured from a timer inside their own loop and then
// closed. The exit status is the number of pictures that could not be made.
#include <TMXCheckMessageBox.h>
#include <TMXColorComboBox.h>
#include <TMXEdit.h>
#include <TMXGUIUtils.h>
#include <TMXHyperlink.h>
#include <TMXListCtrl.h>
#include <TMXProgress.h>
#include <TMXStatic.h>
#include <TMXToolbar.h>

#include "WindowCapture.h"

#include <cstdio>
#include <string>
#include <vector>

namespace {

CWinApp g_app(L"TMXUI Gallery");

std::wstring g_folder = L"gallery";
int g_failures = 0;

void Save(HWND window, const std::wstring& name) {
    std::wstring path = g_folder + L"\\" + name + L".png";
    if (wincapture::CaptureToPng(window, path)) {
        wprintf(L"%ls\n", path.c_str());
    } else {
        wprintf(L"could not picture %ls\n", name.c_str());
        ++g_failures;
    }
}

// The next modal dialog of this thread is pictured as `name` and closed
// with `button` once it is up; a prepare step may set it up first.
struct PendingShot {
    std::wstring name;
    int button = IDCANCEL;
    void (*prepare)(HWND) = nullptr;
    int tries = 0;
} g_shot;

void CALLBACK ShotTimer(HWND, UINT, UINT_PTR id, DWORD) {
    HWND dialog = GetActiveWindow();
    wchar_t cls[16] = {};
    if (dialog) GetClassNameW(dialog, cls, 16);
    if (!dialog || std::wstring(cls) != L"#32770" || !IsWindowVisible(dialog)) {
        if (++g_shot.tries < 100) return;
        wprintf(L"no dialog came for %ls\n", g_shot.name.c_str());
        ++g_failures;
        KillTimer(nullptr, id);
        return;
    }
    KillTimer(nullptr, id);
    if (g_shot.prepare) g_shot.prepare(dialog);
    Save(dialog, g_shot.name);
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(g_shot.button, BN_CLICKED), 0);
}

void ExpectDialog(const std::wstring& name, int button, void (*prepare)(HWND) = nullptr) {
    g_shot = PendingShot{name, button, prepare, 0};
    SetTimer(nullptr, 0, 100, &ShotTimer);
}

class EditsPage : public CDialog {
public:
    EditsPage() : CDialog(100u) {}
    TMXEdit text;
    TMXIntegerEdit integer;
    TMXRealEdit real;

protected:
    void DoDataExchange(CDataExchange* dx) override {
        DDX_Control(dx, 101, text);
        DDX_Control(dx, 102, integer);
        DDX_Control(dx, 103, real);
    }
    BOOL OnInitDialog() override {
        CDialog::OnInitDialog();
        text.SetWindowText(L"free text, with a tooltip");
        text.SetTooltipText(L"An edit with its own tooltip");
        integer.SetRange(-100, 100);
        integer.SetValue(-42);
        real.SetPrecision(3);
        real.SetValue(3.14159);
        return TRUE;
    }
};

class StaticsPage : public CDialog {
public:
    StaticsPage() : CDialog(200u) {}

protected:
    void DoDataExchange(CDataExchange* dx) override {
        for (int i = 0; i < 6; ++i)
            DDX_Control(dx, 201 + i, m_statics[i]);
        for (int i = 0; i < 3; ++i)
            DDX_Control(dx, 207 + i, m_links[i]);
    }
    BOOL OnInitDialog() override {
        CDialog::OnInitDialog();
        m_statics[0].SetBkColor(RGB(0, 64, 160), RGB(200, 230, 255), TMXStatic::bfmGradient)
            .SetTextColor(RGB(255, 255, 255))
            .SetFontBold(TRUE);
        m_statics[1].SetFont3D(TRUE, TMXStatic::t3dRaised).SetFontSize(12);
        m_statics[2].SetFont3D(TRUE, TMXStatic::t3dSunken).SetFontSize(12);
        m_statics[3].SetRotationAngle(90, TRUE).SetFontName(L"Arial").SetFontSize(10);
        m_statics[4].SetLink(TRUE, FALSE).SetHyperLink(L"http://www.tamrix.com")
            .SetTextColor(RGB(0, 0, 255)).SetFontUnderline(TRUE);
        m_statics[5].SetFontBold(TRUE).SetFontUnderline(TRUE).SetFontSize(11)
            .SetTextColor(RGB(128, 0, 0));
        m_links[0].SetLinkUrl(L"http://www.tamrix.com");
        // How a visited link and a link under the mouse look.
        m_links[1].SetLinkColor(RGB(5, 34, 143));
        m_links[2].SetLinkColor(RGB(255, 0, 0));
        return TRUE;
    }

private:
    TMXStatic m_statics[6];
    TMXHyperlink m_links[3];
};

class ColorsPage : public CDialog {
public:
    ColorsPage() : CDialog(300u) {}
    TMXColorComboBox combo;

protected:
    void DoDataExchange(CDataExchange* dx) override { DDX_Control(dx, 301, combo); }
    BOOL OnInitDialog() override {
        CDialog::OnInitDialog();
        combo.SetColor(RGB(255, 191, 0)); // Gold
        return TRUE;
    }
};

class ListPage : public CDialog {
public:
    ListPage() : CDialog(400u) {}
    TMXListCtrl list;

protected:
    void DoDataExchange(CDataExchange* dx) override { DDX_Control(dx, 401, list); }
    BOOL OnInitDialog() override {
        CDialog::OnInitDialog();
        list.SetColumnHeader(L"Part,110;Qty,50,2;Length,70,2;Finish,100");
        list.SetCheckboxeStyle(CHECKBOX_NORMAL);
        list.SetGridLines(TRUE);
        list.SetEditable(TRUE);
        const struct {
            const wchar_t* part;
            int quantity;
            double length;
            const wchar_t* finish;
        } rows[] = {
            {L"Bracket", 4, 120.5, L"Anodised"}, {L"Hinge pin", 12, 35, L"Zinc"},
            {L"Cover plate", 1, 240.25, L"Painted"}, {L"Spacer", 8, 6.5, L"Raw"},
            {L"Gusset", 2, 80, L"Painted"},
        };
        for (const auto& row : rows) {
            const int i = list.InsertItem(list.GetItemCount(), row.part);
            list.SetItemText(i, 1, row.quantity);
            list.SetItemText(i, 2, row.length, 2);
            list.SetItemText(i, 3, row.finish);
        }
        list.SetCheck(0);
        list.SetCheck(2);
        list.SetItemBkColor(-1, 1, RGB(235, 243, 255), FALSE);
        list.SetItemTextColor(3, 2, RGB(200, 0, 0), FALSE);
        list.SetItemBkColor(2, 3, RGB(255, 236, 160), FALSE);
        list.SetItemBkColor(4, 3, RGB(255, 236, 160), FALSE);
        list.SortItems(0, TRUE);
        return TRUE;
    }
};
ListPage* g_listPage = nullptr;

// A cell part way through an edit.
void EditACell(HWND) {
    if (!g_listPage || !g_listPage->list.StartEdit(1, 2)) return;
    CEdit* edit = g_listPage->list.GetEditControl();
    edit->SetWindowText(L"127.7");
    edit->SetSel(5, 5);
    wincapture::Pump(200);
}

void DropDown(HWND dialog) {
    SendDlgItemMessageW(dialog, 301, CB_SHOWDROPDOWN, TRUE, 0);
    wincapture::Pump(200);
}

// A frame that runs the toolbars' commands, so their buttons are enabled.
class ToolbarFrame : public CMDIFrameWnd {
protected:
    void OnButton(UINT) {}
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(ToolbarFrame, CMDIFrameWnd)
ON_COMMAND_RANGE(401, 502, OnButton)
END_MESSAGE_MAP()

// A frame with TMXToolbars docked side by side at the top, at the left and
// at the bottom, and one floating, pictured in each text and icon option.
void Toolbars() {
    auto* frame = new ToolbarFrame; // deletes itself
    if (!frame->Create(nullptr, L"Toolbars", WS_OVERLAPPEDWINDOW | WS_VISIBLE, CRect(60, 60, 620, 400))) {
        ++g_failures;
        return;
    }
    TMXToolbar::FrameEnableDocking(frame, CBRS_ALIGN_ANY);
    const UINT ids[] = {401, 402, ID_SEPARATOR, 403, 404};
    const wchar_t* names[] = {L"Standard", L"Views", L"Tools", L"Floating", L"Measure"};
    TMXToolbar bars[5];
    for (int i = 0; i < 5; ++i) {
        TMXToolbar& bar = bars[i];
        bar.CreateEx(frame, TBSTYLE_FLAT, WS_CHILD | WS_VISIBLE | CBRS_TOP | CBRS_GRIPPER | CBRS_TOOLTIPS | CBRS_SIZE_DYNAMIC,
                     CRect(0, 0, 0, 0), AFX_IDW_TOOLBAR + 1 + i);
        bar.SetButtons(ids, 5);
        bar.SetWindowText(names[i]);
        bar.LoadBitmapW(700);
        bar.SetToolBarInfoForCustomization();
        bar.EnableDocking(CBRS_ALIGN_ANY);
    }
    bars[1].AddDropDownButton(402, 710, TRUE);
    CRect place(0, 0, 110, 160);
    if (CWnd* combo = bars[1].InsertControl(RUNTIME_CLASS(CComboBox), L"", place, 404, CBS_DROPDOWNLIST | WS_VSCROLL)) {
        combo->SendMessage(CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(L"Millimetres"));
        combo->SendMessage(CB_SETCURSEL, 0);
    }
    frame->DockControlBar(&bars[0], AFX_IDW_DOCKBAR_TOP);
    frame->RecalcLayout();
    TMXGUIUtils::DockToolbar(frame, &bars[1], &bars[0]);
    frame->DockControlBar(&bars[2], AFX_IDW_DOCKBAR_LEFT);
    frame->FloatControlBar(&bars[3], CPoint(360, 260));
    frame->DockControlBar(&bars[4], AFX_IDW_DOCKBAR_BOTTOM);
    const struct {
        TextOptions text;
        IconOptions icon;
        const wchar_t* name;
    } options[] = {
        {toNoTextLabels, ioSmallIcons, L"toolbars-no-labels-small"},
        {toTextLabels, ioSmallIcons, L"toolbars-labels-small"},
        {toTextOnRight, ioSmallIcons, L"toolbars-text-on-right-small"},
        {toNoTextLabels, ioLargeIcons, L"toolbars-no-labels-large"},
        {toTextLabels, ioLargeIcons, L"toolbars-labels-large"},
    };
    for (const auto& o : options) {
        for (TMXToolbar& bar : bars) {
            bar.SetIconOptions(o.icon, FALSE);
            bar.SetTextOptions(o.text, TRUE);
        }
        frame->RecalcLayout();
        // The first button of the top bar under the mouse.
        bars[0].SendMessage(TB_SETHOTITEM, 0);
        wincapture::Pump(300);
        Save(frame->m_hWnd, o.name);
    }
    if (CFrameWnd* floating = bars[3].GetDockingFrame()) Save(floating->m_hWnd, L"toolbar-floating");
    // The customise dialog with its option lists.
    ExpectDialog(L"toolbar-customize", IDCANCEL);
    bars[0].Customize();
    frame->DestroyWindow();
}

void Pictures() {
    Toolbars();
    // The progress window, part way.
    {
        TMXProgress progress(L"Importing bracket.3dm", L"", 0, 100, nullptr);
        progress.StartProgress();
        progress.SetCurrent(40);
        wincapture::Pump(300);
        for (HWND w = GetTopWindow(nullptr); w; w = GetWindow(w, GW_HWNDNEXT))
            if (GetWindowThreadProcessId(w, nullptr) == GetCurrentThreadId() && IsWindowVisible(w)) {
                wchar_t caption[64] = {};
                GetWindowTextW(w, caption, 64);
                if (std::wstring(caption) == L"Importing bracket.3dm") {
                    Save(w, L"progress");
                    break;
                }
            }
        progress.EndProgress();
    }
    // The check message box, ticked.
    {
        TMXCheckMessageBox box;
        box.SetChecked(1);
        ExpectDialog(L"check-message-box", IDNO);
        box.Message(L"The file was written by a newer version. Import it anyway?",
                    MB_YESNO | MB_ICONQUESTION);
    }
    // The edits.
    {
        EditsPage page;
        ExpectDialog(L"edits", IDOK);
        page.DoModal();
    }
    // The About box, and the static texts and links.
    {
        ExpectDialog(L"about", IDOK);
        TMXGUIUtils::About(L"Quorla for SolidWorks 2024 version 1.0", nullptr);
        StaticsPage page;
        ExpectDialog(L"statics-and-links", IDOK);
        page.DoModal();
    }
    // The colour combo box, its list open.
    {
        ColorsPage page;
        ExpectDialog(L"colour-combo-box", IDOK, &DropDown);
        page.DoModal();
    }
    // The list control, a cell being edited.
    {
        ListPage page;
        g_listPage = &page;
        ExpectDialog(L"list-control", IDOK, &EditACell);
        page.DoModal();
        g_listPage = nullptr;
    }
    // The three input dialogs.
    {
        double x = 12.5, y = -3, z = 0.125;
        ExpectDialog(L"coordinates", IDCANCEL);
        TMXGUIUtils::Coordinates(x, y, z, L"Coordinates", nullptr);
        double value = 2.5;
        ExpectDialog(L"real-number", IDCANCEL);
        TMXGUIUtils::Real(value, L"Scale", L"Scale factor", 0, 10, 0, 1, nullptr);
        ExpectDialog(L"unit-converter", IDCANCEL);
        TMXGUIUtils::UnitConverter(7, 1, nullptr);
    }
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc > 1) g_folder = argv[1];
    CreateDirectoryW(g_folder.c_str(), nullptr);
    Pictures();
    return g_failures;
}
