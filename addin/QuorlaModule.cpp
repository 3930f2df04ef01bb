// Quorla.dll's entry point and exports. The module is an extension module of
// the framework: its resources enter the process's resource chain while it is
// loaded, and every call from the host runs under its own module state, so
// that its own templates and strings are found first.
#include "AddinObject.h"
#include "EventSink.h"
#include "ImportCommand.h"
#include "ProductTitle.h"

#include <cwchar>

namespace {
AFX_EXTENSION_MODULE s_quorlaModule;

// Shuts the add-in down and frees it. Its sinks leave it through TheAddin,
// which therefore goes only at the end.
void EndAddin() {
    if (!TheAddin) return;
    try {
        TheAddin->Shutdown();
    } catch (...) {
        // the add-in goes whatever its menus need
    }
    delete TheAddin;
    TheAddin = nullptr;
}
} // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    switch (reason) {
    case DLL_PROCESS_ATTACH:
        if (!AfxInitExtensionModule(s_quorlaModule, instance)) return FALSE;
        try {
            new CDynLinkLibrary(s_quorlaModule);
        } catch (...) {
            AfxTermExtensionModule(s_quorlaModule);
            return FALSE; // the loader refuses the module
        }
        break;
    case DLL_THREAD_DETACH:
        AfxTermThread(instance);
        break;
    case DLL_PROCESS_DETACH: {
        {
            AFX_MANAGE_STATE(AfxGetStaticModuleState());
            EndAddin();
        }
        AfxTermExtensionModule(s_quorlaModule);
        break;
    }
    }
    return TRUE;
}

extern "C" int InitUserDLL3(IDispatch* host) {
    AFX_MANAGE_STATE(AfxGetStaticModuleState());
    if (TheAddin) return 0;
    try {
        TheAddin = new AddinObject(host);
        TheAddin->SetUpMenus();
        // Without events the menus come only from the set-up above.
        auto* sink = new AppEventSink; // enters TheAddin's sink list
        sink->Connect(host);
        return 1;
    } catch (...) {
        // Nothing may be thrown into the host: take back what was set up,
        // and the reference the add-in was handed.
        if (TheAddin)
            EndAddin();
        else if (host)
            host->Release();
        return 0;
    }
}

// The menu's Import item. A host may call an export by name at any time:
// before InitUserDLL3, or after event 3 took the host away, there is nothing
// to import into.
extern "C" int MyQuorla_Import() {
    AFX_MANAGE_STATE(AfxGetStaticModuleState());
    if (!TheAddin || !TheAddin->Host()) return 0;
    try {
        return ImportCommand(TheAddin->Host());
    } catch (...) {
        return 0; // nothing may be thrown into the host
    }
}

// The host may call these by name; both names are this one function.
extern "C" void MenuItemCB() {}

extern "C" int QuorlaProductTitle(wchar_t* buffer, int size) {
    AFX_MANAGE_STATE(AfxGetStaticModuleState());
    if (!buffer || size <= 0) return -1;
    buffer[0] = L'\0';
    if (!TheAddin) return -1;
    try {
        FormProductTitle(TheAddin->Host());
    } catch (...) {
        return -1; // nothing may be thrown into the caller
    }
    std::size_t length = wcslen(ProductTitle);
    if (length >= static_cast<std::size_t>(size)) return -1;
    wmemcpy(buffer, ProductTitle, length + 1);
    return static_cast<int>(length);
}

extern "C" HINSTANCE QuorlaFindResource(LPCWSTR name, LPCWSTR type) {
    AFX_MANAGE_STATE(AfxGetStaticModuleState());
    return AfxFindResourceHandle(name, type);
}
