// The embedded CAD host as a desktop program: the main window (an MDI frame)
// that loads Quorla.dll into the embedded host as the real host does, shows
// the host's menu bar for the active document's kind with the menus the
// add-in put there, calls a menu item's export by its callback spec, keeps a
// File menu of its own, opens a window per document the add-in builds and
// fires the application events when the active document changes.
#pragma once

#include "CadHost.h"

#include <windows.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

class CWnd;

namespace quorlahost {

// The host's own commands.
enum CommandId : int {
    kCmdOpen = 100,
    kCmdSaveJson,
    kCmdSaveSvg,
    kCmdClose,
    kCmdExit,
    kCmdFit = 110,
    kCmdIsometric,
    kCmdCascade = 120,
    kCmdTile,
    kCmdArrange,
    kCmdFirstAddin = 1000, // the add-in's items, in the order of the bar shown
    kFirstChildId = 50000, // the Window menu's list of documents
};

class HostWindow {
public:
    HostWindow();
    ~HostWindow();
    HostWindow(const HostWindow&) = delete;
    HostWindow& operator=(const HostWindow&) = delete;

    // The main window, not yet shown; it becomes the framework application's
    // main window, which owns the add-in's dialogs and message boxes.
    bool Create(int width, int height);
    // Loads the add-in from path and starts it with InitUserDLL3; false (and
    // why in *reason) when it cannot.
    bool LoadAddin(const std::wstring& path, std::wstring* reason);
    // Process detach runs the add-in's shutdown; the host stays.
    void UnloadAddin();
    void Destroy();
    // Closing the main window ends the message loop (WM_QUIT): the program's.
    void QuitOnClose(bool quit) { quitOnClose_ = quit; }

    // Imports the files one after another through the Import command's run
    // with the saved options and no dialogs; the add-in shows its own
    // messages. Returns how many were imported.
    int ImportFiles(const std::vector<std::wstring>& files);
    // Opens a window for each document the host has and no window shows yet,
    // closes the windows of closed documents, and activates the window of the
    // host's active document.
    void SyncDocuments();
    // Closes a document and its window (File > Close).
    bool CloseDocument(int id);
    // Writes a document as JSON or SVG (File > Save as ...).
    bool SaveDocument(int id, const std::wstring& path, bool svg);

    // Builds the menu bar of the active document's kind from the host's bar
    // of that kind (after each command and activation; call it when the bars
    // changed otherwise).
    void RefreshMenuBar();
    // The command id of an item of the menu bar shown (menu and item texts as
    // the bar has them), 0 when there is none.
    int CommandId(const std::wstring& menu, const std::wstring& item) const;
    // Runs a command as the menu does (WM_COMMAND).
    void Command(int id);

    cadhost::Host& Host() { return host_; }
    HWND Frame() const { return frame_; }
    HWND Client() const { return client_; }
    HWND StatusBar() const { return status_; }
    HWND DocumentWindowOf(int id) const; // null when none
    int ActiveDocumentWindowId() const;  // the id of the active window's document, -1
    long ShownKind() const { return shownKind_; }
    std::wstring StatusText(int part) const;
    // The accelerators of the main window, for the message loop.
    HACCEL Accelerators() const { return accelerators_; }

private:
    struct AddinItem {
        long kind;
        std::wstring menu, item, callback;
    };

    static LRESULT CALLBACK FrameProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
    LRESULT Handle(UINT msg, WPARAM wp, LPARAM lp);
    bool OnCommand(int id);
    void RunAddinItem(const AddinItem& item);
    void AfterCommand();
    void OnActivated(int id);
    void OnMenuSelect(UINT id, UINT flags);
    void SaveAs(bool svg);
    void ShowVersion();
    void Layout();
    void Detached(); // the main window is gone
    HWND ActiveChild() const;

    cadhost::Host host_;
    HMODULE addin_ = nullptr;
    HWND frame_ = nullptr, client_ = nullptr, status_ = nullptr;
    HACCEL accelerators_ = nullptr;
    std::unique_ptr<CWnd> mainWnd_;
    std::map<int, HWND> windows_; // by document id
    std::vector<AddinItem> items_; // by command id - kCmdFirstAddin
    long shownKind_ = 0;
    int knownDocuments_ = 0;
    int versionWidth_ = 420;   // the status bar's part for the host version
    int activeWindowDoc_ = -1; // the document of the window activated last
    bool refreshing_ = false;
    bool quitOnClose_ = false;
};

} // namespace quorlahost
