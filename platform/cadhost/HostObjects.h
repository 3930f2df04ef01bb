// Internal: the host's shared state and its COM objects.
#pragma once

#include "CadHost.h"
#include "HostContract.h"

#include <ocidl.h>
#include <array>
#include <map>
#include <cstdio>
#include <vector>

namespace cadhost {

class ApplicationObject;
class DocumentObject;
class BodyObject;
class FrameObject;

// Base of every object the host hands out. The host keeps one reference of
// its own until it is destroyed, so reference counts stay readable after the
// add-in released everything; Detach cuts an object off a host that is going
// away (its calls then fail with E_UNEXPECTED).
class HostObject {
public:
    virtual ~HostObject() = default;
    long ExternalRefs() const { return static_cast<long>(refs_) - 1; }
    virtual void Detach() { state_ = nullptr; }
    void ReleaseHostReference() { Drop(); }

protected:
    explicit HostObject(HostState* state) : state_(state) {}
    ULONG Hold() { return ++refs_; }
    ULONG Drop() {
        ULONG r = --refs_;
        if (r == 0) delete this;
        return r;
    }

    HostState* state_;

private:
    ULONG refs_ = 1;
};

struct Refusal {
    bool all = false;
    std::vector<unsigned long long> at; // absolute call numbers still to refuse
};

struct HostState {
    ApplicationObject* app = nullptr;
    FrameObject* frame = nullptr;
    // By id (documents) and index (body handles), in order of creation. A
    // closed document and its body handles leave these maps, unless someone
    // still holds them: then they stay, cut off, so that their counts show.
    std::map<int, DocumentObject*> documents;
    std::map<int, BodyObject*> bodies;
    int documentsMade = 0, bodiesMade = 0;
    std::map<std::wstring, int> openByName;
    int active = -1;
    int named[4] = {}; // documents made so far per name prefix, for "Part1", "Assem2", ...

    std::array<MenuBar, 4> bars;
    std::wstring revision = L"16.0.0";
    long build = 2008083;

    bool classInfo = true;
    ConnectionPoints connectionPoints = ConnectionPoints::Available;

    bool journalOn = true;
    std::vector<JournalEntry> journal;
    std::array<unsigned long long, kOpCount> calls{};
    std::array<Refusal, kOpCount> refusals{};

    DocumentObject* Active() const;
    int NewDocument(long kind); // makes it active, returns its id
    DocumentObject* Open(int id) const; // null when there is none or it was closed
    // Closes the document with its body handles; the newest open document
    // becomes the active one when it was.
    void CloseDocument(int id);
    // Menu operations on one bar; they return a status and set *position.
    HRESULT AddMenu(long kind, const wchar_t* text, long position, long* at);
    HRESULT AddMenuItem(long kind, const wchar_t* menu, const wchar_t* item, long position,
                        const wchar_t* callback, long* at);
    HRESULT RemoveMenu(long kind, const wchar_t* text, const wchar_t* callback, bool* removed);
};

// Views of caller arrays for the journal.
struct IntsArg {
    const LONG* p;
    std::size_t n;
};
struct DoublesArg {
    const double* p;
    std::size_t n;
};

// Counts one call, journals it when the journal is on and tells whether it
// is to be refused. End() stores the status in the journal entry.
class Call {
public:
    Call(HostState* s, Op op, int object);
    template <class... A> void Args(const A&... a) {
        if (index_ == kNone) return;
        auto& args = state_->journal[index_].args;
        (Push(args, a), ...);
    }
    bool Refused();
    HRESULT End(HRESULT hr) {
        if (index_ != kNone) state_->journal[index_].status = hr;
        return hr;
    }
    bool Journaling() const { return index_ != kNone; }

private:
    static constexpr std::size_t kNone = static_cast<std::size_t>(-1);
    static void Push(std::vector<JournalValue>& args, long v);
    static void Push(std::vector<JournalValue>& args, int v) { Push(args, static_cast<long>(v)); }
    static void Push(std::vector<JournalValue>& args, double v);
    static void Push(std::vector<JournalValue>& args, const wchar_t* v);
    static void Push(std::vector<JournalValue>& args, IntsArg v);
    static void Push(std::vector<JournalValue>& args, DoublesArg v);

    HostState* state_;
    Op op_;
    unsigned long long number_;
    std::size_t index_ = kNone;
};

class ConnectionPoint : public IConnectionPoint {
public:
    explicit ConnectionPoint(ApplicationObject* owner) : owner_(owner) {}
    ~ConnectionPoint();

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    HRESULT STDMETHODCALLTYPE GetConnectionInterface(IID* iid) override;
    HRESULT STDMETHODCALLTYPE GetConnectionPointContainer(IConnectionPointContainer** out) override;
    HRESULT STDMETHODCALLTYPE Advise(IUnknown* sink, DWORD* cookie) override;
    HRESULT STDMETHODCALLTYPE Unadvise(DWORD cookie) override;
    HRESULT STDMETHODCALLTYPE EnumConnections(IEnumConnections** out) override;

    int SinkCount() const { return static_cast<int>(sinks_.size()); }
    int Fire(DISPID id, VARIANT* args, UINT count);
    void DropSinks();
    // A reference of the host's own on each sink across its Invoke.
    void SetHoldAcrossInvoke(bool hold) { hold_ = hold; }
    const std::vector<unsigned long>& HeldReleaseCounts() const { return heldReleases_; }

private:
    struct Sink {
        DWORD cookie;
        IDispatch* sink;
    };
    ApplicationObject* owner_;
    std::vector<Sink> sinks_;
    DWORD nextCookie_ = 1;
    bool hold_ = false;
    std::vector<unsigned long> heldReleases_;
};

// HostObject comes first in each object so that it deletes the whole object.
class ApplicationObject : public HostObject,
                          public IDispatch,
                          public IHostApplication,
                          public IProvideClassInfo2,
                          public IConnectionPointContainer {
public:
    explicit ApplicationObject(HostState* state) : HostObject(state), point_(this) {}

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override;
    ULONG STDMETHODCALLTYPE AddRef() override { return Hold(); }
    ULONG STDMETHODCALLTYPE Release() override { return Drop(); }

    // IDispatch: the application has no dispatch members of its own.
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID lcid, ITypeInfo** info) override;
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID riid, LPOLESTR* names, UINT count, LCID lcid,
                                            DISPID* ids) override;
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID riid, LCID lcid, WORD flags,
                                     DISPPARAMS* params, VARIANT* result, EXCEPINFO* excep,
                                     UINT* argErr) override;

    // IProvideClassInfo2
    HRESULT STDMETHODCALLTYPE GetClassInfo(ITypeInfo** info) override;
    HRESULT STDMETHODCALLTYPE GetGUID(DWORD kind, GUID* guid) override;

    // IConnectionPointContainer
    HRESULT STDMETHODCALLTYPE EnumConnectionPoints(IEnumConnectionPoints** out) override;
    HRESULT STDMETHODCALLTYPE FindConnectionPoint(REFIID riid, IConnectionPoint** out) override;

    // IHostApplication
    HRESULT STDMETHODCALLTYPE ActiveDocument(IHostDocument** doc) override;
    HRESULT STDMETHODCALLTYPE NewPart(IHostPart** part) override;
    HRESULT STDMETHODCALLTYPE NewAssembly(IHostDocument** doc) override;
    HRESULT STDMETHODCALLTYPE NewDrawing(LONG w1, LONG w2, LONG w3, LONG w4, LONG w5, LONG w6,
                                         LONG w7, IHostDocument** doc) override;
    HRESULT STDMETHODCALLTYPE AddMenu(LONG kind, LPCWSTR text, LONG position,
                                      LONG* result) override;
    HRESULT STDMETHODCALLTYPE AddMenuItem(LONG kind, LPCWSTR item, LONG position, LPCWSTR callback,
                                          LONG* result) override;
    HRESULT STDMETHODCALLTYPE RemoveMenu(LONG kind, LPCWSTR text, LPCWSTR callback,
                                         LONG* result) override;
    HRESULT STDMETHODCALLTYPE Frame(IHostFrame** frame) override;
    HRESULT STDMETHODCALLTYPE RevisionText(BSTR* text) override;
    HRESULT STDMETHODCALLTYPE BuildCode(LONG* code) override;
    HRESULT STDMETHODCALLTYPE CloseDocument(LPCWSTR name) override;

    void Detach() override;
    ConnectionPoint& Point() { return point_; }
    HostState* State() const { return state_; }

private:
    ConnectionPoint point_;
};

class DocumentObject : public HostObject, public IHostDocument, public IHostPart {
public:
    DocumentObject(HostState* state, int id, long kind, std::wstring name);

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override;
    ULONG STDMETHODCALLTYPE AddRef() override { return Hold(); }
    ULONG STDMETHODCALLTYPE Release() override { return Drop(); }

    HRESULT STDMETHODCALLTYPE Kind(LONG* kind) override;
    HRESULT STDMETHODCALLTYPE SetLengthUnit(LONG unit) override;
    HRESULT STDMETHODCALLTYPE CreationSwitchA(LONG value) override;
    HRESULT STDMETHODCALLTYPE CreationSwitchB(LONG value) override;
    HRESULT STDMETHODCALLTYPE Toggle3DSketch(LONG value) override;
    HRESULT STDMETHODCALLTYPE CreatePoint(double x, double y, double z, LONG* entity) override;
    HRESULT STDMETHODCALLTYPE CreateLine(double sx, double sy, double sz, double ex, double ey,
                                         double ez, LONG* entity) override;
    HRESULT STDMETHODCALLTYPE CreateCircle(double cx, double cy, double cz, double radius,
                                           LONG* entity) override;
    HRESULT STDMETHODCALLTYPE CreateArc(double cx, double cy, double cz, double sx, double sy,
                                        double sz, double ex, double ey, double ez, LONG direction,
                                        LONG* entity) override;
    HRESULT STDMETHODCALLTYPE CreateSplineThroughPoints(LONG count, const double* points,
                                                        LONG* entity) override;
    HRESULT STDMETHODCALLTYPE CreateSplineFromNurbs(const LONG* properties, const double* knots,
                                                    const double* controlPoints,
                                                    LONG* entity) override;
    HRESULT STDMETHODCALLTYPE CloseOutA() override;
    HRESULT STDMETHODCALLTYPE CloseOutB() override;
    HRESULT STDMETHODCALLTYPE CloseOutC() override;

    HRESULT STDMETHODCALLTYPE CreateBody(IHostBody** body) override;

    DocumentModel& Model() { return model_; }
    const DocumentModel& Model() const { return model_; }
    // Body handles made from this part, by index.
    const std::vector<int>& BodyHandles() const { return bodyHandles_; }
    // Cut off from the host, its model emptied (the name stays for messages).
    void Close();
    bool Closed() const { return closed_; }

private:
    HRESULT CloseOut(Op op, int which);
    LONG Add(EntityKind kind, const double* values, std::size_t n, int order = 0, int count = 0,
             int direction = 0, int periodic = 0);

    DocumentModel model_;
    std::vector<int> bodyHandles_;
    bool closed_ = false;
};

class BodyObject : public HostObject, public IHostBody {
public:
    BodyObject(HostState* state, int index, DocumentObject* part)
        : HostObject(state), index_(index), part_(part) {}

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override;
    ULONG STDMETHODCALLTYPE AddRef() override { return Hold(); }
    ULONG STDMETHODCALLTYPE Release() override;

    HRESULT STDMETHODCALLTYPE AddPlanarFace(LONG count, const double* corners,
                                            const double* normal) override;
    HRESULT STDMETHODCALLTYPE CreateFromFaces(VARIANT_BOOL* solid) override;

    // With its part: cut off, its faces gone.
    void Close();

private:
    int index_;
    DocumentObject* part_; // kept alive by the host while state_ is set
    Blocks<Face> faces_;
    bool made_ = false;
};

class FrameObject : public HostObject, public IHostFrame {
public:
    explicit FrameObject(HostState* state) : HostObject(state) {}

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override;
    ULONG STDMETHODCALLTYPE AddRef() override { return Hold(); }
    ULONG STDMETHODCALLTYPE Release() override { return Drop(); }

    HRESULT STDMETHODCALLTYPE AddMenu(LPCWSTR text, LONG position, VARIANT_BOOL* result) override;
    HRESULT STDMETHODCALLTYPE AddMenuItem(LPCWSTR menu, LPCWSTR item, LONG position,
                                          LPCWSTR callback, VARIANT_BOOL* result) override;

private:
    HRESULT ShownBar(long* kind) const;
};

// The body check: HRESULT S_OK with *solid set, or the failure status.
HRESULT CheckShell(const Blocks<Face>& faces, bool* solid);

// Writes a document as JSON into out (and, when file is set, flushes there as it goes).
void WriteJson(const DocumentModel& doc, std::string& out, std::FILE* file);

std::string Utf8(const std::wstring& text);

} // namespace cadhost
