// Start and end of TMXUI.dll: its application object, its own framework
// module state and its entry in the resource chain.
#include "TMXUIDefs.h"

namespace {
// The module's application object: the framework's plain class, no behaviour of its own.
CWinApp theApp;
AFX_EXTENSION_MODULE s_resources;
} // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    switch (reason) {
    case DLL_PROCESS_ATTACH: {
        AFX_MANAGE_STATE(AfxGetStaticModuleState());
        if (!AfxCoreInitModule()) return FALSE;
        if (!AfxWinInit(instance, nullptr, const_cast<LPWSTR>(L""), 0)) {
            AfxWinTerm();
            return FALSE;
        }
        if (CWinApp* app = AfxGetApp(); app && !app->InitInstance()) {
            app->ExitInstance();
            AfxWinTerm();
            return FALSE;
        }
        if (!AfxInitExtensionModule(s_resources, instance)) return FALSE;
        new CDynLinkLibrary(s_resources);
        break;
    }
    case DLL_THREAD_DETACH:
        AfxTermThread(instance);
        break;
    case DLL_PROCESS_DETACH: {
        AFX_MANAGE_STATE(AfxGetStaticModuleState());
        if (CWinApp* app = AfxGetApp()) app->ExitInstance();
        AfxUnlockTempMaps(TRUE);
        AfxWinTerm();
        AfxTermExtensionModule(s_resources);
        break;
    }
    }
    return TRUE;
}
