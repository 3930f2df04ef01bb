// Event sinks: connect to a host object's default outgoing dispatch
// interface and route its events through the class's event map.
#pragma once

#include <framework.h>

#include <ocidl.h>

// A sink adds itself to TheAddin's list when made and leaves it when
// destroyed. Its owner destroys it; its reference count never does (the
// subscription holds one reference from Advise to Unadvise).
class EventSink : public CCmdTarget {
public:
    EventSink();
    ~EventSink() override;

    // Subscribes to the source's default outgoing interface; 0 when the
    // source offers no class information or no connection point container.
    virtual int Connect(IUnknown* source);
    virtual void Disconnect();

protected:
    void OnFinalRelease() override {}

    // The dispatch part: answers IUnknown, IDispatch and the source's event
    // interface, shares the sink's reference count and routes Invoke through
    // the event map, each call under the add-in's module state.
    class XDispatch : public IDispatch {
    public:
        explicit XDispatch(EventSink* owner) : m_pOwner(owner) {}
        HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** ppv) override;
        ULONG STDMETHODCALLTYPE AddRef() override;
        ULONG STDMETHODCALLTYPE Release() override;
        HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
        HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override;
        HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override;
        HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID iid, LCID, WORD flags,
                                         DISPPARAMS* params, VARIANT* result, EXCEPINFO*,
                                         UINT* argErr) override;

    private:
        EventSink* m_pOwner;
    };

    IUnknown* m_pSource = nullptr;                  // borrowed
    IConnectionPoint* m_pConnectionPoint = nullptr; // owned while connected
    DWORD m_dwCookie = 0;
    IID m_iidSource = GUID_NULL;
    XDispatch m_xDispatch{this};

    DECLARE_INTERFACE_MAP()
};

// The host application's events: 1 and 5 put the menus into the bar now
// shown, 3 means the host is going away.
class AppEventSink : public EventSink {
protected:
    BOOL OnTextEvent(BSTR text);
    BOOL OnObjectEvent(IDispatch* object, long value);
    BOOL OnHostDestroy();
    BOOL OnActiveChange();

    DECLARE_EVENT_MAP()
};
