#include "DocumentWindow.h"

#include "DocumentView.h"

#include <commctrl.h>

namespace quorlahost {

using cadhost::DocumentModel;
using cadhost::EntityKind;

namespace {

enum { kViewId = 1, kListId = 2 };

struct ChildCreate {
    const cadhost::Host* host;
    int id;
};

void FillList(HWND list, const DocumentModel& doc) {
    LVCOLUMNW column{};
    column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
    column.fmt = LVCFMT_LEFT;
    column.cx = 140;
    column.pszText = const_cast<wchar_t*>(L"Kind");
    SendMessageW(list, LVM_INSERTCOLUMNW, 0, reinterpret_cast<LPARAM>(&column));
    column.fmt = LVCFMT_RIGHT;
    column.cx = 56;
    column.pszText = const_cast<wchar_t*>(L"Count");
    SendMessageW(list, LVM_INSERTCOLUMNW, 1, reinterpret_cast<LPARAM>(&column));
    int row = 0;
    for (const auto& [kind, count] : DocumentWindow::Rows(doc)) {
        LVITEMW item{};
        item.mask = LVIF_TEXT;
        item.iItem = row;
        item.pszText = const_cast<wchar_t*>(kind.c_str());
        SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
        const std::wstring number = std::to_wstring(count);
        item.iSubItem = 1;
        item.pszText = const_cast<wchar_t*>(number.c_str());
        SendMessageW(list, LVM_SETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
        row++;
    }
}

LRESULT CALLBACK ChildProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_CREATE: {
        const auto* cs = reinterpret_cast<CREATESTRUCTW*>(lp);
        const auto* mdi = reinterpret_cast<MDICREATESTRUCTW*>(cs->lpCreateParams);
        const auto* args = reinterpret_cast<const ChildCreate*>(mdi->lParam);
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, args->id + 1);
        HWND view = DocumentView::Create(hwnd, *args->host, args->id);
        if (!view) return -1;
        SetWindowLongPtrW(view, GWLP_ID, kViewId);
        HWND list = CreateWindowExW(WS_EX_CLIENTEDGE, WC_LISTVIEWW, L"",
                                    WS_CHILD | WS_VISIBLE | LVS_REPORT | LVS_NOSORTHEADER |
                                        LVS_SINGLESEL,
                                    0, 0, 10, 10, hwnd, reinterpret_cast<HMENU>(kListId),
                                    cs->hInstance, nullptr);
        if (!list) return -1;
        SendMessageW(list, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), 0);
        SendMessageW(list, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
        FillList(list, args->host->Document(args->id));
        break;
    }
    case WM_SIZE: {
        const int w = LOWORD(lp), h = HIWORD(lp);
        const int listWidth = w > 2 * DocumentWindow::kListWidth ? DocumentWindow::kListWidth : w / 2;
        MoveWindow(GetDlgItem(hwnd, kViewId), 0, 0, w - listWidth, h, TRUE);
        MoveWindow(GetDlgItem(hwnd, kListId), w - listWidth, 0, listWidth, h, TRUE);
        break; // DefMDIChildProc keeps the MDI state up to date
    }
    case WM_SETFOCUS:
        DefMDIChildProcW(hwnd, msg, wp, lp);
        if (HWND view = GetDlgItem(hwnd, kViewId)) SetFocus(view);
        return 0;
    case WM_MDIACTIVATE:
        if (reinterpret_cast<HWND>(lp) == hwnd)
            SendMessageW(GetAncestor(hwnd, GA_ROOT), kMsgDocumentActivated,
                         static_cast<WPARAM>(DocumentWindow::DocumentId(hwnd)), 0);
        break;
    case WM_CLOSE:
        // The host closes the document, and with it this window.
        SendMessageW(GetAncestor(hwnd, GA_ROOT), kMsgCloseDocument,
                     static_cast<WPARAM>(DocumentWindow::DocumentId(hwnd)), 0);
        return 0;
    }
    return DefMDIChildProcW(hwnd, msg, wp, lp);
}

} // namespace

const wchar_t* const DocumentWindow::kClassName = L"QuorlaHostDocument";

bool DocumentWindow::Register(HINSTANCE instance) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    if (GetClassInfoExW(instance, kClassName, &wc)) return DocumentView::Register(instance);
    wc.lpfnWndProc = &ChildProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hIcon = LoadIconW(nullptr, IDI_APPLICATION);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = kClassName;
    return RegisterClassExW(&wc) != 0 && DocumentView::Register(instance);
}

HWND DocumentWindow::Create(HWND mdiClient, const cadhost::Host& host, int id) {
    ChildCreate args{&host, id};
    const std::wstring title = Title(host.Document(id));
    MDICREATESTRUCTW mdi{};
    mdi.szClass = kClassName;
    mdi.szTitle = title.c_str();
    mdi.hOwner = GetModuleHandleW(nullptr);
    mdi.x = mdi.y = mdi.cx = mdi.cy = CW_USEDEFAULT;
    mdi.lParam = reinterpret_cast<LPARAM>(&args);
    return reinterpret_cast<HWND>(
        SendMessageW(mdiClient, WM_MDICREATE, 0, reinterpret_cast<LPARAM>(&mdi)));
}

int DocumentWindow::DocumentId(HWND child) {
    wchar_t name[64] = {};
    if (!child || !GetClassNameW(child, name, 64) || std::wstring(name) != kClassName) return -1;
    return static_cast<int>(GetWindowLongPtrW(child, GWLP_USERDATA)) - 1;
}

HWND DocumentWindow::View(HWND child) {
    return GetDlgItem(child, kViewId);
}
HWND DocumentWindow::List(HWND child) {
    return GetDlgItem(child, kListId);
}

std::wstring DocumentWindow::Title(const DocumentModel& doc) {
    const wchar_t* kind = doc.kind == 1   ? L"part"
                          : doc.kind == 2 ? L"assembly"
                          : doc.kind == 3 ? L"drawing"
                                          : L"document";
    return doc.name + L" (" + kind + L")";
}

std::vector<std::pair<std::wstring, std::size_t>> DocumentWindow::Rows(const DocumentModel& doc) {
    static const wchar_t* const kEntityNames[cadhost::kEntityKindCount] = {
        L"Points", L"Lines", L"Circles", L"Arcs", L"Splines through points", L"NURBS splines"};
    std::vector<std::pair<std::wstring, std::size_t>> rows;
    auto add = [&rows](const wchar_t* name, std::size_t count) {
        if (count) rows.emplace_back(name, count);
    };
    add(L"3D sketches", doc.sketches.size());
    std::size_t counts[cadhost::kEntityKindCount] = {};
    for (const cadhost::Entity& e : doc.entities)
        counts[static_cast<int>(e.kind)]++;
    for (int k = 0; k < cadhost::kEntityKindCount; k++)
        add(kEntityNames[k], counts[k]);
    std::size_t solids = 0, sheets = 0, faces = 0;
    for (const cadhost::Body& b : doc.bodies) {
        (b.solid ? solids : sheets)++;
        faces += b.faces.size();
    }
    add(L"Solid bodies", solids);
    add(L"Sheet bodies", sheets);
    add(L"Faces", faces);
    return rows;
}

} // namespace quorlahost
