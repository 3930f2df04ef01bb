// The add-in's one object per process: the host pointer, the menus it put
// into the host's menu bars and its event sinks.
#pragma once

#include <framework.h>

#include "Host.h"

class EventSink;

// Menu text and the three items, as the host shows them.
extern const wchar_t kQuorlaMenu[];
struct QuorlaMenuItem {
    const wchar_t* noDocumentText; // "text@menu" for the no-document bar
    const wchar_t* documentText;   // for a document's bar, through the frame
    const wchar_t* callback;       // "module@export, status-bar hint"
};
extern const QuorlaMenuItem kQuorlaMenuItems[3];

class AddinObject : public CObject {
public:
    // Takes over the caller's reference to `host`.
    explicit AddinObject(HostAppHandle host);
    ~AddinObject() override;

    // Puts the menu into the bar that the host shows now: the no-document bar
    // every time, a document kind's bar once.
    void SetUpMenus();
    void AddFrameMenu();
    // Takes the menu out of the document bars it was added to.
    void RemoveMenus();
    // Removes the menus, closes the sinks and releases the host.
    void Shutdown();

    void AddSink(EventSink* sink);
    void RemoveSink(EventSink* sink);
    INT_PTR SinkCount() const { return m_sinks.GetCount(); }

    HostAppHandle Host() const { return m_pHost; }
    // The host has gone away: forget it without releasing it.
    void ForgetHost() { m_pHost = nullptr; }

private:
    HostAppHandle m_pHost;
    BYTE m_bPartMenuAdded = 0;
    BYTE m_bAssemblyMenuAdded = 0;
    BYTE m_bDrawingMenuAdded = 0;
    CPtrList m_sinks{10};
};

// The one AddinObject; null before InitUserDLL3 and after unload.
extern AddinObject* TheAddin;
