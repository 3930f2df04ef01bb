// EventSink: connection to a host object's events; AppEventSink: the host
// application's events.
#include "EventSink.h"
#include "AddinObject.h"

#include <new>

BEGIN_INTERFACE_MAP(EventSink, CCmdTarget)
INTERFACE_PART(IID_IDispatch, m_xDispatch)
END_INTERFACE_MAP()

EventSink::EventSink() {
    if (TheAddin) TheAddin->AddSink(this);
}

EventSink::~EventSink() {
    if (TheAddin) TheAddin->RemoveSink(this);
    Disconnect();
    m_pSource = nullptr;
}

void EventSink::Close() {
    if (TheAddin) TheAddin->RemoveSink(this);
    Disconnect();
    m_pSource = nullptr;
    ExternalRelease(); // the list's reference: may free the sink
}

int EventSink::Connect(IUnknown* source) {
    m_pSource = source;
    if (!source) return 0;

    IProvideClassInfo2* classInfo = nullptr;
    if (FAILED(
            source->QueryInterface(IID_IProvideClassInfo2, reinterpret_cast<void**>(&classInfo))) ||
        !classInfo)
        return 0;
    HRESULT hr = classInfo->GetGUID(GUIDKIND_DEFAULT_SOURCE_DISP_IID, &m_iidSource);
    classInfo->Release();
    if (FAILED(hr)) {
        m_iidSource = GUID_NULL;
        return 0;
    }

    IUnknown* unknown = nullptr;
    if (FAILED(source->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&unknown))) ||
        !unknown)
        return 0;
    IConnectionPointContainer* container = nullptr;
    if (FAILED(unknown->QueryInterface(IID_IConnectionPointContainer,
                                       reinterpret_cast<void**>(&container))) ||
        !container) {
        unknown->Release();
        return 0;
    }

    if (SUCCEEDED(container->FindConnectionPoint(m_iidSource, &m_pConnectionPoint)) &&
        m_pConnectionPoint) {
        // A refused subscription leaves nothing to cancel later.
        if (FAILED(m_pConnectionPoint->Advise(&m_xDispatch, &m_dwCookie))) {
            m_pConnectionPoint->Release();
            m_pConnectionPoint = nullptr;
            m_dwCookie = 0;
        }
    } else {
        m_pConnectionPoint = nullptr;
    }
    unknown->Release();
    container->Release();
    return 1;
}

void EventSink::Disconnect() {
    if (!m_pConnectionPoint) return;
    m_pConnectionPoint->Unadvise(m_dwCookie);
    m_pConnectionPoint->Release();
    m_pConnectionPoint = nullptr;
    m_dwCookie = 0;
}

// ---- the dispatch part

HRESULT EventSink::XDispatch::QueryInterface(REFIID iid, void** ppv) {
    AFX_MANAGE_STATE(AfxGetStaticModuleState());
    if (!ppv) return E_POINTER;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch) ||
        (!IsEqualIID(m_pOwner->m_iidSource, GUID_NULL) && IsEqualIID(iid, m_pOwner->m_iidSource))) {
        *ppv = static_cast<IDispatch*>(this);
        m_pOwner->ExternalAddRef();
        return S_OK;
    }
    return m_pOwner->ExternalQueryInterface(&iid, ppv);
}

ULONG EventSink::XDispatch::AddRef() {
    AFX_MANAGE_STATE(AfxGetStaticModuleState());
    return static_cast<ULONG>(m_pOwner->ExternalAddRef());
}

ULONG EventSink::XDispatch::Release() {
    AFX_MANAGE_STATE(AfxGetStaticModuleState());
    return static_cast<ULONG>(m_pOwner->ExternalRelease());
}

HRESULT EventSink::XDispatch::GetTypeInfoCount(UINT* count) {
    AFX_MANAGE_STATE(AfxGetStaticModuleState());
    if (!count) return E_POINTER;
    *count = 0;
    return S_OK;
}

HRESULT EventSink::XDispatch::GetTypeInfo(UINT, LCID, ITypeInfo**) {
    AFX_MANAGE_STATE(AfxGetStaticModuleState());
    return E_NOTIMPL;
}

HRESULT EventSink::XDispatch::GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) {
    AFX_MANAGE_STATE(AfxGetStaticModuleState());
    return E_NOTIMPL;
}

HRESULT EventSink::XDispatch::Invoke(DISPID id, REFIID iid, LCID, WORD, DISPPARAMS* params,
                                     VARIANT* result, EXCEPINFO*, UINT* argErr) {
    AFX_MANAGE_STATE(AfxGetStaticModuleState());
    if (!IsEqualIID(iid, IID_NULL)) return DISP_E_UNKNOWNINTERFACE;
    BOOL outcome = FALSE;
    // A handler may close the sink: this call keeps it alive until it returns.
    EventSink* owner = m_pOwner;
    owner->ExternalAddRef();
    HRESULT hr;
    try {
        hr = owner->DispatchEvent(id, params, &outcome, argErr);
    } catch (const std::bad_alloc&) {
        hr = E_OUTOFMEMORY; // nothing may be thrown into the host
    } catch (...) {
        hr = E_UNEXPECTED;
    }
    if (result) {
        VariantClear(result);
        result->vt = VT_BOOL;
        result->boolVal = outcome ? VARIANT_TRUE : VARIANT_FALSE;
    }
    owner->ExternalRelease(); // may free the sink, and this part with it
    return hr;
}

// ---- the host application's events

BEGIN_EVENT_MAP(AppEventSink, EventSink)
ON_EVENT(1, OnTextEvent)
ON_EVENT(2, OnObjectEvent)
ON_EVENT(3, OnHostDestroy)
ON_EVENT(5, OnActiveChange)
END_EVENT_MAP()

BOOL AppEventSink::OnTextEvent(BSTR) {
    if (TheAddin) TheAddin->SetUpMenus();
    return FALSE;
}

BOOL AppEventSink::OnObjectEvent(IDispatch*, long) {
    return FALSE;
}

BOOL AppEventSink::OnHostDestroy() {
    AddinObject* addin = TheAddin;
    Close(); // leaves the sink list and disconnects; freed with its last reference
    if (addin) addin->ForgetHost();
    return FALSE;
}

BOOL AppEventSink::OnActiveChange() {
    if (TheAddin) TheAddin->SetUpMenus();
    return FALSE;
}
