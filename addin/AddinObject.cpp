// AddinObject: menus in the host's bars, the sink list, shutdown.
#include "AddinObject.h"
#include "EventSink.h"

AddinObject* TheAddin = nullptr;

const wchar_t kQuorlaMenu[] = L"&Quorla";

const QuorlaMenuItem kQuorlaMenuItems[3] = {
    {L"Import...@&Quorla", L"&Import...", L"Quorla@MyQuorla_Import, Import meshes from a 3DM file"},
    {L"&Help...@&Quorla", L"&Help...",
     L"Quorla@MyQuorla_Help, Display the Quorla for SolidWorks help file"},
    {L"&About...@&Quorla", L"&About...",
     L"Quorla@MyQuorla_About, Display the Quorla for SolidWorks about box"},
};

namespace {
// Menu bars by document kind, as DocumentKind reports the kind.
constexpr long kNoDocument = 0;
constexpr long kPart = 1;
constexpr long kAssembly = 2;
constexpr long kDrawing = 3;

// Positions: the menu goes third into the no-document bar, sixth into a
// document bar; items are appended.
constexpr long kNoDocumentMenuPosition = 3;
constexpr long kDocumentMenuPosition = 5;
constexpr long kAppend = -1;
} // namespace

AddinObject::AddinObject(HostAppHandle host) : m_pHost(host) {}

AddinObject::~AddinObject() {
    // Shutdown closed the sinks unless the host went first; none may stay
    // in a list that is gone.
    while (!m_sinks.IsEmpty())
        static_cast<EventSink*>(m_sinks.GetHead())->Close();
}

void AddinObject::SetUpMenus() {
    if (!m_pHost) return;
    HostDocHandle doc = nullptr;
    HostActiveDocument(m_pHost, &doc);
    if (!doc) {
        // No flag here: the host may drop this bar's menus, so every run adds them again.
        HostAddMenu(m_pHost, kNoDocument, kQuorlaMenu, kNoDocumentMenuPosition, nullptr);
        for (const QuorlaMenuItem& item : kQuorlaMenuItems)
            HostAddMenuItem(m_pHost, kNoDocument, item.noDocumentText, kAppend, item.callback,
                            nullptr);
        return;
    }
    long kind = 0;
    DocumentKind(doc, &kind);
    BYTE* added = kind == kPart       ? &m_bPartMenuAdded
                  : kind == kAssembly ? &m_bAssemblyMenuAdded
                  : kind == kDrawing  ? &m_bDrawingMenuAdded
                                      : nullptr;
    if (added && !*added) {
        AddFrameMenu();
        *added = 1;
    }
    HostRelease(doc);
}

void AddinObject::AddFrameMenu() {
    HostFrameHandle frame = nullptr;
    HostFrame(m_pHost, &frame);
    // The frame acts on the bar it shows: the active document's kind.
    FrameAddMenu(frame, kQuorlaMenu, kDocumentMenuPosition, nullptr);
    for (const QuorlaMenuItem& item : kQuorlaMenuItems)
        FrameAddMenuItem(frame, kQuorlaMenu, item.documentText, kAppend, item.callback, nullptr);
    HostRelease(frame);
}

void AddinObject::RemoveMenus() {
    const struct {
        long kind;
        BYTE added;
    } bars[] = {{kPart, m_bPartMenuAdded},
                {kAssembly, m_bAssemblyMenuAdded},
                {kDrawing, m_bDrawingMenuAdded}};
    for (const auto& bar : bars)
        if (bar.added) HostRemoveMenu(m_pHost, bar.kind, kQuorlaMenu, nullptr, nullptr);
}

void AddinObject::Shutdown() {
    if (!m_pHost) return;
    RemoveMenus();
    // Closing a sink takes it out of the list.
    INT_PTR count = m_sinks.GetCount();
    for (INT_PTR i = 0; i < count; ++i)
        static_cast<EventSink*>(m_sinks.GetHead())->Close();
    m_pHost->Release();
    m_pHost = nullptr;
}

void AddinObject::AddSink(EventSink* sink) {
    m_sinks.AddTail(sink);
}

void AddinObject::RemoveSink(EventSink* sink) {
    if (POSITION pos = m_sinks.Find(sink)) m_sinks.RemoveAt(pos);
}
