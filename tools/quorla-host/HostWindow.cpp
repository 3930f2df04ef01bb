#include "HostWindow.h"

#include "DocumentView.h"
#include "DocumentWindow.h"
#include "HostContract.h"
#include "QuorlaExports.h"
#include "Svg.h"

#include <TMXRegistry.h>
#include <framework.h>

#include <commctrl.h>
#include <commdlg.h>

#include <cstdio>

namespace quorlahost {

namespace {

const wchar_t kFrameClass[] = L"QuorlaHostFrame";
const wchar_t kTitle[] = L"Embedded CAD host";
const wchar_t kOptionsKey[] = L"Software\\Tamrix\\Quorla for SolidWorks";

// The host's own menu items, by the host menu they belong to.
struct OwnItem {
    int id;
    const wchar_t* text; // null: a separator
    const wchar_t* hint;
};
const OwnItem kFileItems[] = {
    {kCmdOpen, L"&Open .3dm...\tCtrl+O", L"Import a .3dm file with the add-in's Import command"},
    {kCmdSaveJson, L"Save as &JSON...", L"Write the active document as JSON"},
    {kCmdSaveSvg, L"Save as &SVG...", L"Write an isometric picture of the active document"},
    {kCmdClose, L"&Close", L"Close the active document"},
    {0, nullptr, nullptr},
    {kCmdExit, L"E&xit", L"Quit the host"},
};
const OwnItem kViewItems[] = {
    {kCmdFit, L"&Fit\tF", L"Show the whole document"},
    {kCmdIsometric, L"&Isometric\tI", L"Look from x, y and z positive"},
};
const OwnItem kWindowItems[] = {
    {kCmdCascade, L"&Cascade", L"Arrange the document windows overlapping"},
    {kCmdTile, L"&Tile", L"Arrange the document windows side by side"},
    {kCmdArrange, L"&Arrange Icons", L"Arrange the minimised document windows"},
};

template <size_t N> void AppendOwn(HMENU popup, const OwnItem (&items)[N]) {
    for (const OwnItem& i : items)
        AppendMenuW(popup, i.text ? MF_STRING : MF_SEPARATOR, static_cast<UINT_PTR>(i.id), i.text);
}

const wchar_t* OwnHint(UINT id) {
    for (const OwnItem& i : kFileItems)
        if (static_cast<UINT>(i.id) == id && i.text) return i.hint;
    for (const OwnItem& i : kViewItems)
        if (static_cast<UINT>(i.id) == id) return i.hint;
    for (const OwnItem& i : kWindowItems)
        if (static_cast<UINT>(i.id) == id) return i.hint;
    return nullptr;
}

// The status-bar hint of a callback spec: what follows "module@export, ".
std::wstring CallbackHint(const std::wstring& callback) {
    const std::size_t comma = callback.find(L',');
    if (comma == std::wstring::npos) return std::wstring();
    std::size_t start = comma + 1;
    while (start < callback.size() && callback[start] == L' ')
        start++;
    return callback.substr(start);
}

std::wstring ExportName(const std::wstring& callback) {
    const std::size_t at = callback.find(L'@'), comma = callback.find(L',');
    if (at == std::wstring::npos) return callback;
    return callback.substr(at + 1, comma == std::wstring::npos ? std::wstring::npos : comma - at - 1);
}

std::string Narrow(const std::wstring& text) {
    int size = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string out(size > 0 ? static_cast<size_t>(size) : 1, '\0');
    if (size > 0) WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, &out[0], size, nullptr, nullptr);
    out.resize(out.size() - 1);
    return out;
}

} // namespace

HostWindow::HostWindow() = default;

HostWindow::~HostWindow() {
    Destroy();
    UnloadAddin();
}

bool HostWindow::Create(int width, int height) {
    HINSTANCE instance = GetModuleHandleW(nullptr);
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_BAR_CLASSES | ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&icc);
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    if (!GetClassInfoExW(instance, kFrameClass, &wc)) {
        wc.lpfnWndProc = &FrameProc;
        wc.hInstance = instance;
        wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        wc.hIcon = LoadIconW(nullptr, IDI_APPLICATION);
        wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_APPWORKSPACE + 1);
        wc.lpszClassName = kFrameClass;
        if (!RegisterClassExW(&wc)) return false;
    }
    if (!DocumentWindow::Register(instance)) return false;
    frame_ = CreateWindowExW(0, kFrameClass, kTitle, WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 0, 0,
                             width, height, nullptr, nullptr, instance, this);
    if (!frame_) return false;
    ACCEL keys[] = {{FCONTROL | FVIRTKEY, 'O', kCmdOpen}};
    accelerators_ = CreateAcceleratorTableW(keys, 1);
    mainWnd_ = std::make_unique<CWnd>();
    mainWnd_->Attach(frame_);
    if (CWinApp* app = AfxGetApp()) app->m_pMainWnd = mainWnd_.get();
    RefreshMenuBar();
    return true;
}

void HostWindow::Destroy() {
    if (frame_) DestroyWindow(frame_); // WM_NCDESTROY lets go of it
    if (accelerators_) DestroyAcceleratorTable(accelerators_);
    accelerators_ = nullptr;
}

void HostWindow::Detached() {
    if (CWinApp* app = AfxGetApp())
        if (mainWnd_ && app->m_pMainWnd == mainWnd_.get()) app->m_pMainWnd = nullptr;
    if (mainWnd_) mainWnd_->Detach();
    mainWnd_.reset();
    windows_.clear();
    activeWindowDoc_ = -1;
    frame_ = client_ = status_ = nullptr;
}

bool HostWindow::LoadAddin(const std::wstring& path, std::wstring* reason) {
    addin_ = LoadLibraryW(path.c_str());
    if (!addin_) {
        if (reason) *reason = L"cannot load " + path;
        return false;
    }
    auto init = reinterpret_cast<QuorlaInitUserDLL3Fn>(
        reinterpret_cast<void*>(GetProcAddress(addin_, QUORLA_INIT_EXPORT)));
    if (!init || init(host_.Application()) != 1) {
        if (reason) *reason = path + L" did not start";
        FreeLibrary(addin_);
        addin_ = nullptr;
        return false;
    }
    AfterCommand();
    return true;
}

void HostWindow::UnloadAddin() {
    if (addin_) FreeLibrary(addin_);
    addin_ = nullptr;
}

int HostWindow::ImportFiles(const std::vector<std::wstring>& files) {
    auto import = addin_ ? reinterpret_cast<QuorlaImportFn>(reinterpret_cast<void*>(
                               GetProcAddress(addin_, QUORLA_IMPORT_EXPORT)))
                         : nullptr;
    if (!import) return 0;
    // The options as the options dialog saved them last.
    QuorlaImportOptions options{QUORLA_DEFAULT_CURVE_MODE, QUORLA_DEFAULT_MESH_MODE,
                                QUORLA_DEFAULT_MULTIBODY, QUORLA_DEFAULT_UNIT_INDEX,
                                QUORLA_DEFAULT_PROGRESS, 0};
    {
        TMXRegistry registry;
        if (registry.SetKey(CString(kOptionsKey), 0)) {
            options.curveMode = registry.ReadInt(L"Import Curves", options.curveMode);
            options.meshMode = registry.ReadInt(L"Import Meshes", options.meshMode);
            options.multibody = registry.ReadBool(L"MultiBody", options.multibody);
            options.unitIndex = registry.ReadInt(L"Units", options.unitIndex);
            options.progress = registry.ReadBool(L"Progress", options.progress);
        }
    }
    int imported = 0;
    for (const std::wstring& file : files) {
        // No message callback: the add-in shows its message boxes, owned by
        // this window.
        imported += import(file.c_str(), &options, nullptr, nullptr) == 1;
        AfterCommand();
    }
    return imported;
}

void HostWindow::SyncDocuments() {
    if (!client_) return;
    for (auto it = windows_.begin(); it != windows_.end();) {
        if (!host_.DocumentOpen(it->first)) {
            HWND child = it->second;
            it = windows_.erase(it);
            SendMessageW(client_, WM_MDIDESTROY, reinterpret_cast<WPARAM>(child), 0);
        } else {
            ++it;
        }
    }
    // Each new window activates as it opens (and the sinks hear of it); the
    // document the host had active comes to the front at the end.
    const int active = host_.ActiveDocumentId();
    for (; knownDocuments_ < host_.DocumentCount(); knownDocuments_++) {
        const int id = knownDocuments_;
        if (!host_.DocumentOpen(id)) continue;
        if (HWND child = DocumentWindow::Create(client_, host_, id)) windows_[id] = child;
    }
    auto shown = windows_.find(active);
    if (shown != windows_.end() && ActiveChild() != shown->second)
        SendMessageW(client_, WM_MDIACTIVATE, reinterpret_cast<WPARAM>(shown->second), 0);
    if (windows_.empty()) {
        activeWindowDoc_ = -1;
        host_.ActivateDocument(-1);
    }
}

bool HostWindow::CloseDocument(int id) {
    auto it = windows_.find(id);
    if (it == windows_.end()) return false;
    HWND child = it->second;
    windows_.erase(it);
    // The host's own close operation, as the application interface offers it.
    const std::wstring name = host_.Document(id).name;
    IDispatch* app = host_.Application();
    IHostApplication* hostApp = nullptr;
    if (SUCCEEDED(app->QueryInterface(IID_IHostApplication, reinterpret_cast<void**>(&hostApp)))) {
        hostApp->CloseDocument(name.c_str());
        hostApp->Release();
    }
    app->Release();
    SendMessageW(client_, WM_MDIDESTROY, reinterpret_cast<WPARAM>(child), 0);
    if (windows_.empty()) {
        // No document left: the host shows its no-document bar and says so.
        activeWindowDoc_ = -1;
        host_.ActivateDocument(-1);
        host_.FireEvent5();
        AfterCommand();
    }
    return true;
}

bool HostWindow::SaveDocument(int id, const std::wstring& path, bool svg) {
    if (!host_.DocumentOpen(id)) return false;
    if (!svg) return host_.WriteDocumentJson(id, path);
    const cadhost::DocumentModel& doc = host_.Document(id);
    const std::string text = docview::DocumentSvg(doc, Narrow(DocumentWindow::Title(doc)));
    FILE* f = _wfopen(path.c_str(), L"wb");
    if (!f) return false;
    const bool written = std::fwrite(text.data(), 1, text.size(), f) == text.size();
    return std::fclose(f) == 0 && written;
}

int HostWindow::CommandId(const std::wstring& menu, const std::wstring& item) const {
    for (std::size_t i = 0; i < items_.size(); i++)
        if (items_[i].menu == menu && items_[i].item == item)
            return kCmdFirstAddin + static_cast<int>(i);
    const int position = host_.FindMenu(shownKind_, menu);
    if (position < 0) return 0;
    auto find = [&item](const auto& list) {
        for (const OwnItem& i : list) {
            if (!i.text) continue;
            std::wstring text = i.text;
            text = text.substr(0, text.find(L'\t'));
            if (text == item) return i.id;
        }
        return 0;
    };
    if (menu == L"&File") return find(kFileItems);
    if (menu == L"&View") return find(kViewItems);
    if (menu == L"&Window") return find(kWindowItems);
    return 0;
}

void HostWindow::Command(int id) {
    SendMessageW(frame_, WM_COMMAND, MAKEWPARAM(id, 0), 0);
}

HWND HostWindow::DocumentWindowOf(int id) const {
    auto it = windows_.find(id);
    return it == windows_.end() ? nullptr : it->second;
}

HWND HostWindow::ActiveChild() const {
    return client_ ? reinterpret_cast<HWND>(SendMessageW(client_, WM_MDIGETACTIVE, 0, 0)) : nullptr;
}

int HostWindow::ActiveDocumentWindowId() const {
    return DocumentWindow::DocumentId(ActiveChild());
}

std::wstring HostWindow::StatusText(int part) const {
    wchar_t text[512] = {};
    const LRESULT length = SendMessageW(status_, SB_GETTEXTLENGTHW, static_cast<WPARAM>(part), 0);
    if (LOWORD(length) >= 512) return std::wstring();
    SendMessageW(status_, SB_GETTEXTW, static_cast<WPARAM>(part), reinterpret_cast<LPARAM>(text));
    return text;
}

void HostWindow::AfterCommand() {
    SyncDocuments();
    RefreshMenuBar();
    ShowVersion();
}

void HostWindow::RefreshMenuBar() {
    if (!frame_ || refreshing_) return;
    refreshing_ = true;
    const int active = host_.ActiveDocumentId();
    long kind = active >= 0 ? host_.Document(active).kind : 0;
    if (kind < 0 || kind > 3) kind = 0; // a kind without a bar of its own
    shownKind_ = kind;
    items_.clear();
    HMENU bar = CreateMenu();
    HMENU windowMenu = nullptr;
    for (const cadhost::Menu& m : host_.Menus(kind)) {
        HMENU popup = CreatePopupMenu();
        bool any = false;
        if (m.own) {
            if (m.text == L"&File") AppendOwn(popup, kFileItems), any = true;
            else if (m.text == L"&View") AppendOwn(popup, kViewItems), any = true;
            else if (m.text == L"&Window") AppendOwn(popup, kWindowItems), any = true, windowMenu = popup;
        }
        const bool ownItems = any;
        for (const cadhost::MenuItem& item : m.items) {
            // The add-in's items after the host's own, set apart.
            if (ownItems && &item == &m.items.front()) AppendMenuW(popup, MF_SEPARATOR, 0, nullptr);
            const int id = kCmdFirstAddin + static_cast<int>(items_.size());
            items_.push_back({kind, m.text, item.text, item.callback});
            AppendMenuW(popup, MF_STRING, static_cast<UINT_PTR>(id), item.text.c_str());
            any = true;
        }
        // A host menu with no command in this host is shown, greyed.
        AppendMenuW(bar, MF_POPUP | (any ? 0 : MF_GRAYED), reinterpret_cast<UINT_PTR>(popup),
                    m.text.c_str());
    }
    HMENU old = reinterpret_cast<HMENU>(SendMessageW(client_, WM_MDISETMENU,
                                                     reinterpret_cast<WPARAM>(bar),
                                                     reinterpret_cast<LPARAM>(windowMenu)));
    DrawMenuBar(frame_);
    if (old && old != bar) DestroyMenu(old);
    refreshing_ = false;
}

void HostWindow::OnActivated(int id) {
    if (id < 0 || id == activeWindowDoc_) {
        RefreshMenuBar();
        return;
    }
    // Another document's window came to the front: it is the active
    // document, the host tells its event sinks, and the menu bar follows the
    // document's kind.
    activeWindowDoc_ = id;
    host_.ActivateDocument(id);
    host_.FireEvent5();
    RefreshMenuBar();
}

void HostWindow::RunAddinItem(const AddinItem& item) {
    if (!host_.ClickMenuItem(item.kind, item.menu, item.item)) {
        // The item's export is not there: the host says so and goes on.
        const std::wstring text = L"The function " + ExportName(item.callback) +
                                  L" named by the menu item \"" + item.item +
                                  L"\" was not found (" + item.callback + L").";
        MessageBoxW(frame_, text.c_str(), kTitle, MB_OK | MB_ICONERROR);
    }
    AfterCommand();
}

void HostWindow::SaveAs(bool svg) {
    const int id = ActiveDocumentWindowId();
    if (id < 0) return;
    wchar_t path[MAX_PATH] = {};
    const std::wstring name = host_.Document(id).name + (svg ? L".svg" : L".json");
    lstrcpynW(path, name.c_str(), MAX_PATH);
    OPENFILENAMEW ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = frame_;
    ofn.lpstrFilter = svg ? L"SVG pictures (*.svg)\0*.svg\0" : L"JSON files (*.json)\0*.json\0";
    ofn.lpstrFile = path;
    ofn.nMaxFile = MAX_PATH;
    ofn.lpstrDefExt = svg ? L"svg" : L"json";
    ofn.Flags = OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY | OFN_PATHMUSTEXIST;
    if (!GetSaveFileNameW(&ofn)) return;
    if (!SaveDocument(id, path, svg)) {
        const std::wstring text = std::wstring(L"Could not write ") + path + L".";
        MessageBoxW(frame_, text.c_str(), kTitle, MB_OK | MB_ICONWARNING);
    }
}

bool HostWindow::OnCommand(int id) {
    if (id >= kCmdFirstAddin && id < kCmdFirstAddin + static_cast<int>(items_.size())) {
        const AddinItem item = items_[static_cast<std::size_t>(id - kCmdFirstAddin)];
        RunAddinItem(item);
        return true;
    }
    HWND child = ActiveChild();
    DocumentView* view = child ? DocumentView::From(DocumentWindow::View(child)) : nullptr;
    switch (id) {
    case kCmdOpen: {
        auto importCommand = addin_ ? reinterpret_cast<QuorlaCommandFn>(reinterpret_cast<void*>(
                                          GetProcAddress(addin_, QUORLA_IMPORT_COMMAND_EXPORT)))
                                    : nullptr;
        if (importCommand) importCommand();
        else MessageBoxW(frame_, L"The add-in is not loaded.", kTitle, MB_OK | MB_ICONWARNING);
        AfterCommand();
        return true;
    }
    case kCmdSaveJson:
    case kCmdSaveSvg:
        SaveAs(id == kCmdSaveSvg);
        return true;
    case kCmdClose:
        if (child) CloseDocument(DocumentWindow::DocumentId(child));
        return true;
    case kCmdExit:
        PostMessageW(frame_, WM_CLOSE, 0, 0);
        return true;
    case kCmdFit:
        if (view) view->Fit();
        return true;
    case kCmdIsometric:
        if (view) view->Isometric();
        return true;
    case kCmdCascade:
        SendMessageW(client_, WM_MDICASCADE, 0, 0);
        return true;
    case kCmdTile:
        SendMessageW(client_, WM_MDITILE, MDITILE_VERTICAL, 0);
        return true;
    case kCmdArrange:
        SendMessageW(client_, WM_MDIICONARRANGE, 0, 0);
        return true;
    }
    return false;
}

void HostWindow::OnMenuSelect(UINT id, UINT flags) {
    std::wstring hint;
    if (!(flags == 0xFFFF) && !(flags & (MF_POPUP | MF_SEPARATOR))) {
        if (id >= kCmdFirstAddin && id < kCmdFirstAddin + items_.size())
            hint = CallbackHint(items_[id - kCmdFirstAddin].callback);
        else if (const wchar_t* own = OwnHint(id))
            hint = own;
    }
    if (hint.empty() && flags == 0xFFFF) hint = L"Ready";
    SendMessageW(status_, SB_SETTEXTW, 0, reinterpret_cast<LPARAM>(hint.c_str()));
}

void HostWindow::ShowVersion() {
    if (!status_) return;
    // What the add-in reads from the host, and the title it makes of it.
    std::wstring text = L"Host " + host_.RevisionText() + L" (build " +
                        std::to_wstring(host_.BuildCode()) + L")";
    auto title = addin_ ? reinterpret_cast<QuorlaProductTitleFn>(reinterpret_cast<void*>(
                              GetProcAddress(addin_, QUORLA_PRODUCTTITLE_EXPORT)))
                        : nullptr;
    wchar_t buffer[256] = {};
    if (title && title(buffer, 256) > 0) text += std::wstring(L": ") + buffer;
    HDC dc = GetDC(status_);
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(status_, WM_GETFONT, 0, 0)));
    SIZE size{};
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
    SelectObject(dc, old);
    ReleaseDC(status_, dc);
    versionWidth_ = size.cx + 28;
    Layout();
    SendMessageW(status_, SB_SETTEXTW, 1, reinterpret_cast<LPARAM>(text.c_str()));
}

void HostWindow::Layout() {
    RECT r{};
    GetClientRect(frame_, &r);
    SendMessageW(status_, WM_SIZE, 0, 0);
    RECT s{};
    GetWindowRect(status_, &s);
    const int statusHeight = s.bottom - s.top;
    int parts[2] = {r.right > versionWidth_ ? r.right - versionWidth_ : r.right / 2, -1};
    SendMessageW(status_, SB_SETPARTS, 2, reinterpret_cast<LPARAM>(parts));
    MoveWindow(client_, 0, 0, r.right, r.bottom - statusHeight, TRUE);
}

LRESULT CALLBACK HostWindow::FrameProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_NCCREATE) {
        auto* self = static_cast<HostWindow*>(reinterpret_cast<CREATESTRUCTW*>(lp)->lpCreateParams);
        self->frame_ = hwnd;
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<HostWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (!self) return DefFrameProcW(hwnd, nullptr, msg, wp, lp);
    return self->Handle(msg, wp, lp);
}

LRESULT HostWindow::Handle(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_CREATE: {
        CLIENTCREATESTRUCT ccs{nullptr, kFirstChildId};
        client_ = CreateWindowExW(WS_EX_CLIENTEDGE, L"MDICLIENT", nullptr,
                                  WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_VSCROLL | WS_HSCROLL,
                                  0, 0, 10, 10, frame_, nullptr, GetModuleHandleW(nullptr), &ccs);
        status_ = CreateWindowExW(0, STATUSCLASSNAMEW, L"Ready", WS_CHILD | WS_VISIBLE | SBARS_SIZEGRIP,
                                  0, 0, 0, 0, frame_, nullptr, GetModuleHandleW(nullptr), nullptr);
        if (!client_ || !status_) return -1;
        ShowVersion();
        return 0;
    }
    case WM_SIZE:
        Layout();
        return 0;
    case WM_COMMAND:
        if (OnCommand(LOWORD(wp))) return 0;
        break;
    case WM_INITMENUPOPUP: {
        // The document commands need a document.
        const UINT state = ActiveChild() ? MF_ENABLED : MF_GRAYED;
        HMENU popup = reinterpret_cast<HMENU>(wp);
        for (int id : {kCmdSaveJson, kCmdSaveSvg, kCmdClose, kCmdFit, kCmdIsometric})
            EnableMenuItem(popup, static_cast<UINT>(id), MF_BYCOMMAND | state);
        break;
    }
    case WM_MENUSELECT:
        OnMenuSelect(LOWORD(wp), HIWORD(wp));
        return 0;
    case kMsgDocumentActivated:
        OnActivated(static_cast<int>(wp));
        return 0;
    case kMsgCloseDocument:
        CloseDocument(static_cast<int>(wp));
        return 0;
    case WM_CLOSE:
        DestroyWindow(frame_);
        return 0;
    case WM_DESTROY:
        if (quitOnClose_) PostQuitMessage(0);
        return 0;
    case WM_NCDESTROY: {
        HWND frame = frame_;
        SetWindowLongPtrW(frame, GWLP_USERDATA, 0);
        Detached();
        return DefFrameProcW(frame, nullptr, msg, wp, lp);
    }
    }
    return DefFrameProcW(frame_, client_, msg, wp, lp);
}

} // namespace quorlahost
