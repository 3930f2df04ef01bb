// The embedded CAD host: an in-process host application for the add-in,
// with a document model, menu bars, events, a call journal, refusal of chosen
// calls on demand and readable reference counts. See README.md.
#pragma once

#include "CadHostModel.h"

#include <windows.h>
#include <oaidl.h>
#include <memory>
#include <string>
#include <vector>

namespace cadhost {

struct HostState;

// The application's default outgoing dispatch interface (events 1, 2, 3, 5).
inline constexpr IID kEventInterface = {
    0xa8a7ef20, 0x93f9, 0x45ca, {0xa5, 0xc9, 0xe9, 0xf0, 0x1f, 0x6a, 0xcd, 0x30}};

// Dispatch ids of the application's events.
enum EventId : DISPID {
    kEventText = 1,          // one BSTR
    kEventObjectLong = 2,    // an IDispatch and a 32-bit integer
    kEventDestroy = 3,       // no arguments
    kEventActiveChanged = 5, // no arguments
};

// BodyCreateFromFaces merges face corners that lie closer together than this
// fraction of the diagonal of the bounding box of all the body's corners; a
// face whose height over its longest side is within that distance is
// degenerate.
inline constexpr double kCornerTolerance = 1e-8;

enum class ConnectionPoints {
    Available,        // container and a connection point for the event interface
    NoContainer,      // QueryInterface(IID_IConnectionPointContainer) fails
    NoConnectionPoint // the container has no connection point
};

class Host {
public:
    Host();
    ~Host();
    Host(const Host&) = delete;
    Host& operator=(const Host&) = delete;

    // The application object with one new reference for the caller; this is
    // what InitUserDLL3 gets (it takes the reference over).
    IDispatch* Application();

    // Switches for the add-in's failure paths.
    void SetClassInfoAvailable(bool available); // false: no IProvideClassInfo(2)
    void SetConnectionPoints(ConnectionPoints mode);

    // Events, through IDispatch::Invoke on every advised sink; the result is
    // the number of sinks called. A sink unadvised by an earlier sink's
    // handler is not called.
    int SinkCount() const;
    // A host that holds its own reference to each sink across the Invoke of
    // an event (AddRef before, Release after), as COM hosts commonly do: a
    // sink that frees itself inside its handler would then be released after
    // it is gone. Off by default. The counts those Releases returned, in
    // order: 0 where the host's was the last reference.
    void SetHoldSinksAcrossEvents(bool hold);
    const std::vector<unsigned long>& HeldSinkReleaseCounts() const;
    int FireEvent1(const wchar_t* text);
    int FireEvent2(IDispatch* object, long value);
    int FireEvent3();
    int FireEvent5();

    // Documents. OpenDocument makes a document of any kind value (also an
    // unknown one) and activates it; it is not journalled. Ids count from 0.
    int OpenDocument(long kind);
    bool ActivateDocument(int id); // -1: no document active; false for an unknown or closed id
    int ActiveDocumentId() const;  // -1 when none
    int DocumentCount() const;     // documents made so far, open or closed: ids below it
    // A document leaves the host when it is closed (the application's
    // CloseDocument operation, by name); its id is not used again.
    bool DocumentOpen(int id) const;
    int OpenDocumentCount() const;
    const DocumentModel& Document(int id) const; // id must be open (std::out_of_range)

    void SetRevisionText(const std::wstring& text); // default "16.0.0"
    void SetBuildCode(long code);                   // default 2008083
    const std::wstring& RevisionText() const;
    long BuildCode() const;

    // Menu bars by kind: 0 no document, 1 part, 2 assembly, 3 drawing. Each
    // starts with the host's own menus (see README.md).
    const MenuBar& Menus(long kind) const;                   // kind 0..3
    int FindMenu(long kind, const std::wstring& text) const; // position or -1
    void SetMenuBar(long kind, const std::vector<std::wstring>& ownMenus);
    // A click on an item of a menu, as the host handles it: the item's
    // callback spec ("module@export, status-bar hint") names an export of a
    // module loaded in the process, which is called without arguments. False
    // (and nothing called) when the item has no such export.
    bool ClickMenuItem(long kind, const std::wstring& menu, const std::wstring& item);
    // The function a callback spec names, or null: the module must be loaded
    // (a name without extension is a .dll) and have the export.
    static FARPROC ResolveCallback(const std::wstring& callback);

    // The journal: on by default. Calls are counted either way.
    void SetJournalEnabled(bool on);
    bool JournalEnabled() const;
    const std::vector<JournalEntry>& Journal() const;
    std::vector<JournalEntry> Journal(Op op) const; // the entries of one operation
    void ClearJournal();
    std::string JournalText() const; // one entry per line
    unsigned long long Calls(Op op) const;

    // Refusal: a refused call changes nothing, returns HOST_E_REFUSED and is
    // journalled with that status.
    void RefuseCall(Op op, unsigned long long nth); // the nth call from now on (1: the next)
    void RefuseAll(Op op);
    void Accept(Op op); // forget the rules for op
    void AcceptAll();

    // References held by others than the host itself.
    long ApplicationRefs() const; // includes references to its connection point
    long FrameRefs() const;
    long DocumentRefs(int id) const; // both the document and the part side; 0 once gone
    int BodyHandleCount() const;     // body handles made by PartCreateBody so far
    long BodyHandleRefs(int index) const; // 0 once gone
    // A closed document or body handle that others still hold stays counted
    // here ("closed document 3 (Part4): 1") until they release it.
    long OutstandingRefs() const;   // sum of all the above
    std::string Unreleased() const; // "document 0 (Part1): 1" lines, empty when all released

    // The document as JSON (schema in README.md).
    std::string DocumentJson(int id) const;
    bool WriteDocumentJson(int id, const std::wstring& path) const;

private:
    HostState* state_;
};

} // namespace cadhost
