// The COM side of CCmdTarget: external reference count, interface maps and
// the routing of incoming IDispatch calls through event maps.
#include "Internal.h"

#include <vector>

LONG CCmdTarget::InternalAddRef() {
    return InterlockedIncrement(&m_dwRef);
}

LONG CCmdTarget::InternalRelease() {
    if (m_dwRef == 0) return 0; // an unbalanced Release must not run the final release twice
    LONG count = InterlockedDecrement(&m_dwRef);
    if (count == 0) OnFinalRelease();
    return count;
}

LONG CCmdTarget::ExternalAddRef() {
    return InternalAddRef();
}

LONG CCmdTarget::ExternalRelease() {
    return InternalRelease();
}

void CCmdTarget::OnFinalRelease() {
    delete this;
}

IUnknown* CCmdTarget::GetInterface(const void* iid) {
    if (!iid) return nullptr;
    const IID& wanted = *static_cast<const IID*>(iid);
    bool any = IsEqualIID(wanted, IID_IUnknown);
    for (const AFX_INTERFACEMAP* map = GetInterfaceMap(); map;
         map = map->pfnGetBaseMap ? map->pfnGetBaseMap() : nullptr) {
        for (const AFX_INTERFACEMAP_ENTRY* e = map->pEntries; e->piid; ++e)
            if (any || IsEqualIID(*e->piid, wanted)) return e->pfnGetInterface(this);
    }
    return nullptr;
}

HRESULT CCmdTarget::InternalQueryInterface(const void* iid, void** ppvObj) {
    if (!ppvObj) return E_POINTER;
    IUnknown* part = GetInterface(iid);
    *ppvObj = part;
    if (!part) return E_NOINTERFACE;
    ExternalAddRef();
    return S_OK;
}

HRESULT CCmdTarget::ExternalQueryInterface(const void* iid, void** ppvObj) {
    return InternalQueryInterface(iid, ppvObj);
}

const AFX_INTERFACEMAP* CCmdTarget::GetThisInterfaceMap() {
    static const AFX_INTERFACEMAP_ENTRY entries[] = {{nullptr, nullptr}};
    static const AFX_INTERFACEMAP map = {nullptr, &entries[0]};
    return &map;
}

const AFX_INTERFACEMAP* CCmdTarget::GetInterfaceMap() const {
    return GetThisInterfaceMap();
}

const AFX_EVENTMAP* CCmdTarget::GetThisEventMap() {
    static const AFX_EVENTMAP_ENTRY entries[] = {{0, nullptr, 0, nullptr}};
    static const AFX_EVENTMAP map = {nullptr, &entries[0]};
    return &map;
}

const AFX_EVENTMAP* CCmdTarget::GetEventMap() const {
    return GetThisEventMap();
}

HRESULT CCmdTarget::DispatchEvent(DISPID id, const DISPPARAMS* params, BOOL* pResult,
                                  UINT* puArgErr) {
    if (pResult) *pResult = FALSE;
    const AFX_EVENTMAP_ENTRY* entry = nullptr;
    for (const AFX_EVENTMAP* map = GetEventMap(); map && !entry;
         map = map->pfnGetBaseMap ? map->pfnGetBaseMap() : nullptr) {
        for (const AFX_EVENTMAP_ENTRY* e = map->lpEntries; e->pfnDispatch; ++e) {
            if (e->dispid == id) {
                entry = e;
                break;
            }
        }
    }
    if (!entry) return DISP_E_MEMBERNOTFOUND;

    UINT given = params ? params->cArgs : 0;
    if (params && params->cNamedArgs > 0) return DISP_E_NONAMEDARGS;
    if (given != entry->nParams) return DISP_E_BADPARAMCOUNT;
    if (given > 0 && !params->rgvarg) return E_INVALIDARG;

    // The handler takes its arguments first to last; rgvarg lists them last to first.
    std::vector<VARIANT> args(given);
    for (VARIANT& v : args)
        VariantInit(&v);
    auto clear = [&args] {
        for (VARIANT& v : args)
            VariantClear(&v);
    };
    for (UINT i = 0; i < given; ++i) {
        UINT from = given - 1 - i;
        VARIANT& source = params->rgvarg[from];
        if (FAILED(VariantChangeType(&args[i], &source, 0, entry->pParams[i]))) {
            clear();
            if (puArgErr) *puArgErr = from;
            return DISP_E_TYPEMISMATCH;
        }
    }
    BOOL result = FALSE;
    entry->pfnDispatch(this, args.data(), &result);
    clear();
    if (pResult) *pResult = result;
    return S_OK;
}
