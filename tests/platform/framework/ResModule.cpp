// Test DLL: registers itself in the resource chain at process attach and
// withdraws at detach, as an add-in module does.
#include <framework.h>

namespace {
AFX_EXTENSION_MODULE s_module;
}

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        if (!AfxInitExtensionModule(s_module, instance)) return FALSE;
        new CDynLinkLibrary(s_module);
    } else if (reason == DLL_PROCESS_DETACH) {
        AfxTermExtensionModule(s_module);
    }
    return TRUE;
}

// This module's own state, as its exported entries switch to it.
extern "C" __declspec(dllexport) AFX_MODULE_STATE* ResModuleState() {
    return AfxGetStaticModuleState();
}

// The current module state seen inside this module while it runs under its own.
extern "C" __declspec(dllexport) AFX_MODULE_STATE* ResModuleStateInside() {
    AFX_MANAGE_STATE(AfxGetStaticModuleState());
    return AfxGetModuleState();
}
