// Thread state, module states, the resource chain and the framework's own
// module entry.
#include "Internal.h"

#include <algorithm>
#include <map>
#include <vector>

namespace {

DWORD g_tlsIndex = TLS_OUT_OF_INDEXES;
HINSTANCE g_frameworkInstance = nullptr;
CRITICAL_SECTION g_lock; // module-state table and resource chain

// Heap-held so that nothing runs at static destruction, after the module's
// own detach.
std::map<HMODULE, AFX_MODULE_STATE*>* g_moduleStates = nullptr;
std::vector<CDynLinkLibrary*>* g_resourceChain = nullptr;

struct Lock {
    Lock() { EnterCriticalSection(&g_lock); }
    ~Lock() { LeaveCriticalSection(&g_lock); }
};

bool HasResource(HINSTANCE module, LPCWSTR name, LPCWSTR type) {
    return module && FindResourceW(module, name, type) != nullptr;
}

// The modules a lookup searches, in order: current, chain, program.
std::vector<HINSTANCE> SearchOrder() {
    std::vector<HINSTANCE> order;
    AFX_MODULE_STATE* current = AfxGetModuleState();
    order.push_back(current->m_hCurrentResourceHandle);
    {
        Lock lock;
        for (CDynLinkLibrary* lib : *g_resourceChain)
            order.push_back(lib->m_hResource);
    }
    AFX_MODULE_STATE* app = AfxGetAppModuleState();
    if (app != current) order.push_back(app->m_hCurrentResourceHandle);
    return order;
}

} // namespace

AfxThreadState* AfxPeekThreadState() {
    return g_tlsIndex == TLS_OUT_OF_INDEXES ? nullptr
                                            : static_cast<AfxThreadState*>(TlsGetValue(g_tlsIndex));
}

AfxThreadState* AfxGetThreadState() {
    AfxThreadState* ts = AfxPeekThreadState();
    if (!ts) {
        ts = new AfxThreadState;
        TlsSetValue(g_tlsIndex, ts);
    }
    return ts;
}

void AfxFreeThreadState() {
    AfxThreadState* ts = AfxPeekThreadState();
    if (!ts) return;
    AfxUnlockTempMaps(TRUE);
    if (ts->cbtHook) UnhookWindowsHookEx(ts->cbtHook);
    TlsSetValue(g_tlsIndex, nullptr);
    delete ts;
}

HINSTANCE AfxGetFrameworkInstance() {
    return g_frameworkInstance;
}

void AfxEnsureControls() {
    static LONG done = 0;
    if (InterlockedCompareExchange(&done, 1, 0) == 0) {
        INITCOMMONCONTROLSEX icc{sizeof icc, ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
        InitCommonControlsEx(&icc);
    }
}

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    switch (reason) {
    case DLL_PROCESS_ATTACH:
        g_frameworkInstance = instance;
        g_tlsIndex = TlsAlloc();
        if (g_tlsIndex == TLS_OUT_OF_INDEXES) return FALSE;
        InitializeCriticalSection(&g_lock);
        g_moduleStates = new std::map<HMODULE, AFX_MODULE_STATE*>;
        g_resourceChain = new std::vector<CDynLinkLibrary*>;
        break;
    case DLL_THREAD_DETACH:
        AfxFreeThreadState();
        break;
    case DLL_PROCESS_DETACH:
        AfxFreeThreadState();
        // Module states stay: modules unloaded after us may still read them.
        break;
    }
    return TRUE;
}

// ---- module states

AFX_MODULE_STATE* AFXAPI AfxGetModuleStateOf(HMODULE module) {
    Lock lock;
    auto it = g_moduleStates->find(module);
    if (it != g_moduleStates->end()) return it->second;
    auto* state = new AFX_MODULE_STATE;
    state->m_hCurrentInstanceHandle = module;
    state->m_hCurrentResourceHandle = module;
    state->m_bDLL = module != GetModuleHandleW(nullptr);
    (*g_moduleStates)[module] = state;
    return state;
}

AFX_MODULE_STATE* AFXAPI AfxGetAppModuleState() {
    static AFX_MODULE_STATE* app = AfxGetModuleStateOf(GetModuleHandleW(nullptr));
    return app;
}

AFX_MODULE_STATE* AFXAPI AfxGetModuleState() {
    AfxThreadState* ts = AfxGetThreadState();
    return ts->moduleState ? ts->moduleState : AfxGetAppModuleState();
}

AFX_MODULE_STATE* AFXAPI AfxSetModuleState(AFX_MODULE_STATE* state) {
    AfxThreadState* ts = AfxGetThreadState();
    AFX_MODULE_STATE* prev = ts->moduleState ? ts->moduleState : AfxGetAppModuleState();
    ts->moduleState = state;
    return prev;
}

HINSTANCE AFXAPI AfxGetInstanceHandle() {
    return AfxGetModuleState()->m_hCurrentInstanceHandle;
}
HINSTANCE AFXAPI AfxGetResourceHandle() {
    return AfxGetModuleState()->m_hCurrentResourceHandle;
}
void AFXAPI AfxSetResourceHandle(HINSTANCE resource) {
    AfxGetModuleState()->m_hCurrentResourceHandle = resource;
}

BOOL AFXAPI AfxCoreInitModule() {
    AfxEnsureControls();
    return AfxGetThreadState() != nullptr;
}

BOOL AFXAPI AfxWinInit(HINSTANCE instance, HINSTANCE, LPWSTR cmdLine, int cmdShow) {
    AFX_MODULE_STATE* state = AfxGetModuleState();
    state->m_hCurrentInstanceHandle = instance;
    state->m_hCurrentResourceHandle = instance;
    state->m_bInitialized = TRUE;
    if (CWinApp* app = state->m_pCurrentWinApp) {
        app->m_hInstance = instance;
        app->m_lpCmdLine = cmdLine;
        app->m_nCmdShow = cmdShow;
    }
    AfxEnsureControls();
    return TRUE;
}

void AFXAPI AfxWinTerm() {
    AfxGetModuleState()->m_bInitialized = FALSE;
    AfxUnlockTempMaps(TRUE);
}

BOOL AFXAPI AfxUnlockTempMaps(BOOL deleteTemps) {
    AfxThreadState* ts = AfxPeekThreadState();
    if (!ts || !deleteTemps) return TRUE;
    // Temporary objects only wrap handles: they never destroy them.
    auto wnds = std::move(ts->tempWnds);
    ts->tempWnds.clear();
    for (auto& entry : wnds) {
        entry.second->m_hWnd = nullptr;
        delete entry.second;
    }
    auto dcs = std::move(ts->tempDCs);
    ts->tempDCs.clear();
    for (auto& entry : dcs) {
        entry.second->m_hDC = nullptr;
        delete entry.second;
    }
    auto imageLists = std::move(ts->tempImageLists);
    ts->tempImageLists.clear();
    for (auto& entry : imageLists) {
        entry.second->m_hImageList = nullptr;
        delete entry.second;
    }
    auto menus = std::move(ts->tempMenus);
    ts->tempMenus.clear();
    for (auto& entry : menus) {
        entry.second->m_hMenu = nullptr;
        delete entry.second;
    }
    auto gdiObjects = std::move(ts->tempGdiObjects);
    ts->tempGdiObjects.clear();
    for (auto& entry : gdiObjects) {
        entry.second->m_hObject = nullptr;
        delete entry.second;
    }
    return TRUE;
}

void AfxSaveTempMaps(AfxSavedTempMaps& saved) {
    AfxThreadState* ts = AfxGetThreadState();
    saved.wnds = std::move(ts->tempWnds);
    saved.dcs = std::move(ts->tempDCs);
    saved.gdiObjects = std::move(ts->tempGdiObjects);
    saved.imageLists = std::move(ts->tempImageLists);
    saved.menus = std::move(ts->tempMenus);
    ts->tempMenus.clear();
    ts->tempImageLists.clear();
    ts->tempWnds.clear();
    ts->tempDCs.clear();
    ts->tempGdiObjects.clear();
}

void AfxRestoreTempMaps(AfxSavedTempMaps& saved) {
    AfxUnlockTempMaps(TRUE);
    AfxThreadState* ts = AfxGetThreadState();
    ts->tempWnds = std::move(saved.wnds);
    ts->tempDCs = std::move(saved.dcs);
    ts->tempGdiObjects = std::move(saved.gdiObjects);
    ts->tempImageLists = std::move(saved.imageLists);
    ts->tempMenus = std::move(saved.menus);
    saved.menus.clear();
    saved.imageLists.clear();
    saved.wnds.clear();
    saved.dcs.clear();
    saved.gdiObjects.clear();
}

void AFXAPI AfxTermThread(HINSTANCE instTerm) {
    AfxThreadState* ts = AfxPeekThreadState();
    if (!ts) return;
    AfxUnlockTempMaps(TRUE);
    if (ts->waitCursorCount > 0) {
        ts->waitCursorCount = 0;
        SetCursor(ts->waitCursorRestore);
    }
    // A thread left switched to the ending module goes back to the program's state.
    if (ts->moduleState && (!instTerm || ts->moduleState->m_hCurrentInstanceHandle == instTerm))
        ts->moduleState = nullptr;
}

// ---- resources

HINSTANCE AFXAPI AfxFindResourceHandle(LPCWSTR name, LPCWSTR type) {
    for (HINSTANCE module : SearchOrder())
        if (HasResource(module, name, type)) return module;
    return AfxGetResourceHandle();
}

int AFXAPI AfxGetStringResource(HINSTANCE instance, UINT id, LPCWSTR* text) {
    if (!instance || id > 0xFFFF) return -1;
    HRSRC res = FindResourceW(instance, MAKEINTRESOURCEW((id >> 4) + 1), MAKEINTRESOURCEW(6));
    if (!res) return -1;
    HGLOBAL global = LoadResource(instance, res);
    const WORD* p = global ? static_cast<const WORD*>(LockResource(global)) : nullptr;
    if (!p) return -1;
    // A block holds 16 counted strings; absent ones have length 0.
    const WORD* end = p + SizeofResource(instance, res) / sizeof(WORD);
    for (UINT i = 0; i < (id & 15); ++i) {
        if (p >= end) return -1;
        p += 1 + *p;
    }
    if (p >= end || *p == 0 || p + 1 + *p > end) return -1;
    if (text) *text = reinterpret_cast<LPCWSTR>(p + 1);
    return *p;
}

HINSTANCE AFXAPI AfxFindStringResourceHandle(UINT id) {
    for (HINSTANCE module : SearchOrder())
        if (AfxGetStringResource(module, id, nullptr) >= 0) return module;
    return AfxGetResourceHandle();
}

HBITMAP AFXAPI AfxLoadBitmap(LPCWSTR name) {
    HINSTANCE module = AfxFindResourceHandle(name, MAKEINTRESOURCEW(2));
    return static_cast<HBITMAP>(LoadImageW(module, name, IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
}

// ---- resource chain

BOOL AFXAPI AfxInitExtensionModule(AFX_EXTENSION_MODULE& module, HMODULE instance) {
    if (!instance) return FALSE;
    module.hModule = instance;
    module.hResource = instance;
    module.bInitialized = TRUE;
    return TRUE;
}

void AFXAPI AfxTermExtensionModule(AFX_EXTENSION_MODULE& module, BOOL all) {
    std::vector<CDynLinkLibrary*> doomed;
    {
        Lock lock;
        for (CDynLinkLibrary* lib : *g_resourceChain)
            if (all || lib->m_hModule == module.hModule) doomed.push_back(lib);
    }
    for (CDynLinkLibrary* lib : doomed)
        delete lib; // each unlinks itself
    module.bInitialized = FALSE;
}

CDynLinkLibrary::CDynLinkLibrary(AFX_EXTENSION_MODULE& module, BOOL system)
    : m_hModule(module.hModule), m_hResource(module.hResource), m_bSystem(system) {
    Link();
}

CDynLinkLibrary::CDynLinkLibrary(HINSTANCE module, HINSTANCE resource)
    : m_hModule(module), m_hResource(resource), m_bSystem(FALSE) {
    Link();
}

void CDynLinkLibrary::Link() {
    Lock lock;
    g_resourceChain->push_back(this);
}

CDynLinkLibrary::~CDynLinkLibrary() {
    Lock lock;
    auto& chain = *g_resourceChain;
    chain.erase(std::remove(chain.begin(), chain.end(), this), chain.end());
}

// ---- objects and command targets

CObject::~CObject() = default;
CCmdTarget::~CCmdTarget() = default;

const AFX_MSGMAP* CCmdTarget::GetThisMessageMap() {
    static const AFX_MSGMAP_ENTRY entries[] = {{0, 0, 0, 0, nullptr}};
    static const AFX_MSGMAP map = {nullptr, &entries[0]};
    return &map;
}

const AFX_MSGMAP* CCmdTarget::GetMessageMap() const {
    return GetThisMessageMap();
}

static bool IsCodeKey(UINT key) {
    return key == WM_COMMAND || key == WM_NOTIFY || key == WM_REFLECT_BASE + WM_COMMAND ||
           key == WM_REFLECT_BASE + WM_NOTIFY;
}

const AFX_MSGMAP_ENTRY* CCmdTarget::FindMapEntry(UINT key, UINT code, UINT id) const {
    bool byCode = IsCodeKey(key);
    bool byId = key == WM_COMMAND || key == WM_NOTIFY;
    for (const AFX_MSGMAP* map = GetMessageMap(); map;
         map = map->pfnGetBaseMap ? map->pfnGetBaseMap() : nullptr) {
        for (const AFX_MSGMAP_ENTRY* e = map->lpEntries; e->pfnDispatch; ++e) {
            if (e->nMessage != key) continue;
            if (byCode && e->nCode != code) continue;
            if (byId && (id < e->nID || id > e->nLastID)) continue;
            return e;
        }
    }
    return nullptr;
}

BOOL CCmdTarget::DispatchMapMessage(UINT key, UINT code, UINT id, UINT message, WPARAM wParam,
                                    LPARAM lParam, LRESULT* pResult) {
    const AFX_MSGMAP_ENTRY* e = FindMapEntry(key, code, id);
    if (!e) return FALSE;
    LRESULT result = 0;
    if (!e->pfnDispatch(this, message, wParam, lParam, &result)) return FALSE;
    if (pResult) *pResult = result;
    return TRUE;
}

BOOL CCmdTarget::OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) {
    const UINT code = static_cast<UINT>(nCode);
    if (pHandlerInfo) {
        const AFX_MSGMAP_ENTRY* e = FindMapEntry(WM_COMMAND, code, nID);
        if (!e) return FALSE;
        pHandlerInfo->pTarget = this;
        pHandlerInfo->pEntry = e;
        return TRUE;
    }
    LRESULT ignored = 0;
    return DispatchMapMessage(WM_COMMAND, code, nID, WM_COMMAND, MAKEWPARAM(nID, nCode),
                              reinterpret_cast<LPARAM>(pExtra), &ignored);
}

void CCmdTarget::BeginWaitCursor() {
    if (CWinApp* app = AfxGetApp())
        app->DoWaitCursor(1);
    else
        AfxDoWaitCursor(1);
}

void CCmdTarget::EndWaitCursor() {
    if (CWinApp* app = AfxGetApp())
        app->DoWaitCursor(-1);
    else
        AfxDoWaitCursor(-1);
}

void CCmdTarget::RestoreWaitCursor() {
    if (CWinApp* app = AfxGetApp())
        app->DoWaitCursor(0);
    else
        AfxDoWaitCursor(0);
}

void AFXAPI AfxDoWaitCursor(int code) {
    AfxThreadState* ts = AfxGetThreadState();
    HCURSOR wait = LoadCursorW(nullptr, MAKEINTRESOURCEW(32514)); // IDC_WAIT
    if (code > 0) {
        if (ts->waitCursorCount++ == 0)
            ts->waitCursorRestore = SetCursor(wait);
        else
            SetCursor(wait);
    } else if (code < 0) {
        if (ts->waitCursorCount == 0) return; // unbalanced End: nothing to take back
        if (--ts->waitCursorCount == 0) SetCursor(ts->waitCursorRestore);
    } else if (ts->waitCursorCount > 0) {
        SetCursor(wait);
    }
}
