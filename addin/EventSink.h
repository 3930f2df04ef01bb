// Event sinks: connect to a host object's default outgoing dispatch
// interface and route its events through the class's event map.
#pragma once

#include <framework.h>

#include <ocidl.h>

// A sink adds itself to TheAddin's list when made; the list holds the
// creator's reference. Close takes it out of the list, cancels the
// subscription and drops that reference: the sink is freed when its last
// reference goes, which may be a host's own, held across the Invoke in
// which the sink was closed (the subscription holds one from Advise to
// Unadvise, and each Invoke one for its duration).
class EventSink : public CCmdTarget {
public:
    EventSink();
    ~EventSink() override;

    // Subscribes to the source's default outgoing interface; 0 when the
    // source offers no class information or no connection point container.
    virtual int Connect(IUnknown* source);
    virtual void Disconnect();
    // Leaves the sink list, disconnects and releases the list's reference.
    // Nothing of the sink may be used by the caller afterwards.
    void Close();

protected:
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
