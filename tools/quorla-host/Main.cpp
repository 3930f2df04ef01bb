// quorla-host: the embedded CAD host as a desktop program. It loads
// Quorla.dll from its own folder as the real host does, imports the files
// named on the command line, and then runs as a window until closed; with
// --screenshot it plays the files (or a --script), pictures the main window
// and every dialog that came up, and ends.
//   quorla-host.exe [--screenshot DIR] [--script FILE] [FILE.3dm...]
#include "DialogDriver.h"
#include "HostScript.h"
#include "HostWindow.h"
#include "Screenshots.h"
#include "WindowCapture.h"

#include <framework.h>

#include <shellapi.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

namespace {

CWinApp g_app(L"Embedded CAD host");

const wchar_t kUsage[] =
    L"Usage: quorla-host [--screenshot DIR] [--script FILE] [FILE.3dm...]\n"
    L"\n"
    L"The embedded CAD host with the Quorla add-in, as a desktop program. Files named\n"
    L"are imported one after another with the saved import options.\n"
    L"  --screenshot DIR  play the files or the script, write PNG pictures of the main\n"
    L"                    window and of every dialog that came up into DIR, and end\n"
    L"  --script FILE     steps to play once the files are in (see HostScript.h)\n";

void Error(const std::wstring& text) {
    fwprintf(stderr, L"quorla-host: %ls\n", text.c_str());
}

std::wstring AddinPath() {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring self(path);
    return self.substr(0, self.find_last_of(L"\\/") + 1) + L"Quorla.dll";
}

struct Options {
    std::wstring screenshots, script;
    std::vector<std::wstring> files;
};

bool Parse(int argc, wchar_t** argv, Options* options, bool* help) {
    for (int i = 1; i < argc; i++) {
        const std::wstring arg = argv[i];
        if (arg == L"--help" || arg == L"-h") {
            *help = true;
        } else if (arg == L"--screenshot" || arg == L"--script") {
            if (i + 1 >= argc) {
                Error(arg + L" wants a value");
                return false;
            }
            (arg == L"--script" ? options->script : options->screenshots) = argv[++i];
        } else if (arg.size() > 1 && arg[0] == L'-' && arg[1] == L'-') {
            Error(L"unknown option " + arg);
            return false;
        } else {
            options->files.push_back(arg);
        }
    }
    if (!options->screenshots.empty() && options->script.empty() && options->files.empty()) {
        Error(L"--screenshot wants files or a --script to play");
        return false;
    }
    return true;
}

int Run(const Options& options) {
    const bool pictures = !options.screenshots.empty();
    quorlahost::HostScript script;
    std::wstring error;
    if (!options.script.empty() && !script.Load(options.script, &error)) {
        Error(error);
        return 2;
    }
    quorlahost::HostWindow host;
    if (!host.Create(pictures ? 1000 : 1200, pictures ? 700 : 850)) {
        Error(L"cannot create the main window");
        return 1;
    }
    host.QuitOnClose(true);
    ShowWindow(host.Frame(), SW_SHOW);
    UpdateWindow(host.Frame());
    if (!host.LoadAddin(AddinPath(), &error)) {
        Error(error);
        if (!pictures) MessageBoxW(host.Frame(), error.c_str(), L"Embedded CAD host", MB_OK | MB_ICONERROR);
        return 1;
    }

    std::unique_ptr<quorlahost::Screenshots> shots;
    if (pictures) shots = std::make_unique<quorlahost::Screenshots>(options.screenshots);
    // Dialogs are answered by the script's steps; with pictures, nobody is
    // there to answer the others: each is pictured, then its default button
    // pressed. Without either a person answers them.
    std::unique_ptr<testsupport::DialogDriver> driver;
    auto drive = [&] {
        driver = std::make_unique<testsupport::DialogDriver>();
        driver->IgnoreWhen(testsupport::IsProgressWindow);
        if (!pictures) return;
        driver->AnswerOthers(IDOK);
        driver->BeforeSteps([&shots](HWND dialog) { shots->Dialog(dialog); });
    };
    if (pictures) drive();
    wincapture::Pump(200);
    host.ImportFiles(options.files);
    bool ok = true;
    if (!options.script.empty()) {
        if (!driver) drive();
        ok = script.Run(host, *driver, shots.get(), &error);
        if (!ok) Error(error);
    } else if (pictures) {
        host.Command(quorlahost::kCmdTile);
    }
    if (!pictures) driver.reset(); // from now on a person answers
    wincapture::Pump(300);
    if (pictures) {
        shots->Save(host.Frame(), L"main");
        for (const std::wstring& path : shots->Written())
            wprintf(L"%ls\n", path.c_str());
        const int failures = shots->Failures();
        if (failures) Error(std::to_wstring(failures) + L" pictures could not be written");
        return ok && failures == 0 ? 0 : 1;
    }

    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (host.Client() && TranslateMDISysAccel(host.Client(), &msg)) continue;
        if (host.Frame() && TranslateAcceleratorW(host.Frame(), host.Accelerators(), &msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
        MSG next;
        if (!PeekMessageW(&next, nullptr, 0, 0, PM_NOREMOVE)) AfxUnlockTempMaps();
    }
    return ok ? 0 : 1;
}

} // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR, int) {
    Options options;
    bool help = false;
    if (!Parse(__argc, __wargv, &options, &help)) return 2;
    if (help) {
        wprintf(L"%ls", kUsage);
        return 0;
    }
    return Run(options);
}
