#include "HelpCommand.h"

#include "AddinObject.h"
#include "ProductTitle.h"

#include <TMXGUIUtils.h>

#include <shellapi.h>

#include <vector>

namespace {

// The full path of `module`, however long.
CString ModulePath(HMODULE module) {
    std::vector<wchar_t> buffer(MAX_PATH);
    for (;;) {
        DWORD length = GetModuleFileNameW(module, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0) return CString();
        if (length < buffer.size()) return CString(buffer.data());
        if (buffer.size() >= 0x10000) return CString(); // beyond any path the system takes
        buffer.resize(buffer.size() * 2);
    }
}

HMODULE ThisModule() {
    HMODULE module = nullptr;
    GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                           GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCWSTR>(&ThisModule), &module);
    return module;
}

} // namespace

CString HelpFilePath() {
    CString module = ModulePath(ThisModule());
    if (module.IsEmpty()) return CString();
    return TMXGUIUtils::GetFolder(module) + L"Quorla.chm";
}

void HelpCommand(HostAppHandle host) {
    FormProductTitle(host);
    CString path = HelpFilePath();
    auto result = reinterpret_cast<INT_PTR>(
        ShellExecuteW(nullptr, L"open", path, L"", nullptr, SW_SHOW));
    if (path.IsEmpty() || result <= 32)
        ::MessageBoxW(AfxGetSafeHwnd(AfxGetMainWnd()),
                      L"Error displaying Quorla for SolidWorks help file.", ProductTitle,
                      MB_OK | MB_ICONWARNING);
}

// The menu's Help item. Before InitUserDLL3, or after event 3, there is no
// add-in to help with.
extern "C" int MyQuorla_Help() {
    AFX_MANAGE_STATE(AfxGetStaticModuleState());
    if (!TheAddin || !TheAddin->Host()) return 0;
    try {
        HelpCommand(TheAddin->Host());
    } catch (...) {
        // nothing may be thrown into the host
    }
    return 0;
}
