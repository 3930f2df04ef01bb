// InitUserDLL3, host event 3, unload, references, the empty callbacks, hosts
// without events, and the module state the add-in runs under.
#include "AddinTestSupport.h"
#include "HostContract.h"

#include <framework.h>

#include <ocidl.h>

using cadhost::Op;

TEST_F(AddinTest, InitUserDLL3TwiceReturnsOneThenZeroAndChangesNothing) {
    EXPECT_EQ(host.OutstandingRefs(), 0);
    ASSERT_EQ(Init(), 1);
    EXPECT_EQ(host.SinkCount(), 1);
    EXPECT_EQ(host.Calls(Op::Advise), 1u);
    long refs = host.ApplicationRefs();
    host.ClearJournal();

    IDispatch* again = host.Application();
    EXPECT_EQ(init(again), 0);
    EXPECT_EQ(host.JournalText(), "") << "the second call asks the host nothing";
    EXPECT_EQ(host.SinkCount(), 1) << "no second sink";
    EXPECT_EQ(host.ApplicationRefs(), refs + 1) << "the second reference stays the caller's";

    Unload();
    EXPECT_EQ(host.ApplicationRefs(), 1) << "only the caller's second reference is left";
    again->Release();
    EXPECT_EQ(host.OutstandingRefs(), 0) << host.Unreleased();
}

TEST_F(AddinTest, UnloadReleasesEveryHandleAndDisconnects) {
    ASSERT_EQ(Init(), 1);
    EXPECT_GE(host.ApplicationRefs(), 1) << "the add-in holds the host";
    for (long kind : {1, 2, 3, 1}) {
        host.OpenDocument(kind);
        host.FireEvent5();
        host.FireEvent1(L"x");
    }
    EXPECT_EQ(host.FrameRefs(), 0) << "the frame is released after each use";
    for (int id = 0; id < host.DocumentCount(); ++id)
        EXPECT_EQ(host.DocumentRefs(id), 0) << "document " << id << " after the events";

    Unload();
    EXPECT_EQ(host.SinkCount(), 0);
    EXPECT_EQ(host.Calls(Op::Unadvise), 1u);
    EXPECT_EQ(host.Journal(Op::Unadvise).at(0).status, 0);
    EXPECT_EQ(host.OutstandingRefs(), 0) << host.Unreleased();
    EXPECT_EQ(host.FireEvent5(), 0);
}

TEST_F(AddinTest, AfterEventThreeUnloadRemovesNothingAndReleasesNothing) {
    IDispatch* app = host.Application();
    ASSERT_EQ(init(app), 1);
    host.OpenDocument(1);
    host.FireEvent5();
    ASSERT_EQ(host.FindMenu(1, L"&Quorla"), 5);

    EXPECT_EQ(host.FireEvent3(), 1);
    EXPECT_EQ(host.SinkCount(), 0) << "the sink disconnected itself";
    EXPECT_EQ(host.Calls(Op::Unadvise), 1u);
    EXPECT_EQ(host.FireEvent5(), 0) << "no sink is left to call";
    EXPECT_EQ(host.ApplicationRefs(), 1) << "the add-in's reference, not released";

    IDispatch* again = host.Application();
    EXPECT_EQ(init(again), 0) << "the add-in object still exists";
    again->Release();

    host.ClearJournal();
    Unload();
    EXPECT_EQ(host.JournalText(), "") << "no menu removed, nothing asked";
    EXPECT_EQ(host.FindMenu(1, L"&Quorla"), 5);
    EXPECT_EQ(host.ApplicationRefs(), 1) << "the host was forgotten, not released";
    app->Release(); // the reference the add-in let go of without releasing
    EXPECT_EQ(host.OutstandingRefs(), 0) << host.Unreleased();
}

// A host that holds its own reference to the sink across the call that
// delivers event 3 sees what any host sees (as in the test above), and its
// release after the call is the one that frees the sink.
TEST_F(AddinTest, EventThreeFreesTheSinkWithItsLastReferenceWhenTheHostHoldsOne) {
    host.SetHoldSinksAcrossEvents(true);
    IDispatch* app = host.Application();
    ASSERT_EQ(init(app), 1);
    host.OpenDocument(1);
    EXPECT_EQ(host.FireEvent5(), 1);
    ASSERT_EQ(host.FindMenu(1, L"&Quorla"), 5);

    EXPECT_EQ(host.FireEvent3(), 1);
    EXPECT_EQ(host.SinkCount(), 0) << "the sink disconnected itself";
    EXPECT_EQ(host.Calls(Op::Unadvise), 1u);
    EXPECT_EQ(host.Journal(Op::Unadvise).at(0).status, 0);
    // After event 5 the list's and the subscription's references remain;
    // after event 3 none but the host's, whose release freed the sink.
    EXPECT_EQ(host.HeldSinkReleaseCounts(), (std::vector<unsigned long>{2, 0}));
    EXPECT_EQ(host.FireEvent5(), 0) << "no sink is left to call";
    EXPECT_EQ(host.ApplicationRefs(), 1) << "the add-in's reference, not released";

    host.ClearJournal();
    Unload();
    EXPECT_EQ(host.JournalText(), "") << "no menu removed, nothing asked";
    app->Release();
    EXPECT_EQ(host.OutstandingRefs(), 0) << host.Unreleased();
}

TEST_F(AddinTest, TheEmptyCallbacksAreOneFunctionCallableAtAnyTime) {
    EXPECT_EQ(reinterpret_cast<void*>(menuItemCB), reinterpret_cast<void*>(saveAsCB));
    menuItemCB(); // before InitUserDLL3
    saveAsCB();
    IDispatch* app = host.Application();
    ASSERT_EQ(init(app), 1);
    for (bool hostGone : {false, true}) {
        if (hostGone) host.FireEvent3();
        host.ClearJournal();
        long refs = host.ApplicationRefs();
        menuItemCB();
        saveAsCB();
        EXPECT_EQ(host.JournalText(), "") << (hostGone ? "after event 3" : "while running");
        EXPECT_EQ(host.ApplicationRefs(), refs);
    }
    Unload();
    app->Release();
}

// Hosts that offer no events: the menus still come from InitUserDLL3.
struct NoEventsCase {
    const char* name;
    void (*configure)(cadhost::Host&);
    unsigned long long advises; // Advise calls the host sees
};

class NoEventsTest : public AddinTest, public ::testing::WithParamInterface<NoEventsCase> {};

TEST_P(NoEventsTest, MenusStillComeAndNothingLeaks) {
    GetParam().configure(host);
    ASSERT_EQ(Init(), 1);
    EXPECT_EQ(host.FindMenu(0, L"&Quorla"), 3);
    EXPECT_EQ(host.Menus(0).at(3).items.size(), 3u);
    EXPECT_EQ(host.SinkCount(), 0);
    EXPECT_EQ(host.Calls(Op::Advise), GetParam().advises);
    EXPECT_EQ(host.FireEvent5(), 0);
    Unload();
    EXPECT_EQ(host.Calls(Op::Unadvise), 0u) << "nothing to cancel";
    EXPECT_EQ(host.OutstandingRefs(), 0) << host.Unreleased();
}

INSTANTIATE_TEST_SUITE_P(
    Hosts, NoEventsTest,
    ::testing::Values(
        NoEventsCase{"NoClassInformation", [](cadhost::Host& h) { h.SetClassInfoAvailable(false); },
                     0},
        NoEventsCase{
            "NoContainer",
            [](cadhost::Host& h) { h.SetConnectionPoints(cadhost::ConnectionPoints::NoContainer); },
            0},
        NoEventsCase{"NoConnectionPoint",
                     [](cadhost::Host& h) {
                         h.SetConnectionPoints(cadhost::ConnectionPoints::NoConnectionPoint);
                     },
                     0},
        NoEventsCase{"AdviseRefused", [](cadhost::Host& h) { h.RefuseAll(Op::Advise); }, 1}),
    [](const ::testing::TestParamInfo<NoEventsCase>& info) { return info.param.name; });

namespace {

// Stands between the add-in and the host application: forwards everything
// and records the framework's module state at each host operation.
class StateProbe : public IDispatch, public IHostApplication {
public:
    explicit StateProbe(IDispatch* inner) : inner_(inner) {
        inner_->QueryInterface(IID_IHostApplication, reinterpret_cast<void**>(&app_));
    }
    ~StateProbe() {
        app_->Release();
        inner_->Release();
    }

    std::vector<AFX_MODULE_STATE*> states;
    LONG refs = 1; // the test's own; the object lives on the stack

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch)) {
            *out = static_cast<IDispatch*>(this);
        } else if (IsEqualIID(iid, IID_IHostApplication)) {
            *out = static_cast<IHostApplication*>(this);
        } else {
            return inner_->QueryInterface(iid, out); // class information, connection points
        }
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++refs; }
    ULONG STDMETHODCALLTYPE Release() override { return --refs; }
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* n) override {
        return inner_->GetTypeInfoCount(n);
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                                     UINT*) override {
        return DISP_E_MEMBERNOTFOUND;
    }

    HRESULT STDMETHODCALLTYPE ActiveDocument(IHostDocument** doc) override {
        Seen();
        return app_->ActiveDocument(doc);
    }
    HRESULT STDMETHODCALLTYPE NewPart(IHostPart** part) override {
        Seen();
        return app_->NewPart(part);
    }
    HRESULT STDMETHODCALLTYPE NewAssembly(IHostDocument** doc) override {
        Seen();
        return app_->NewAssembly(doc);
    }
    HRESULT STDMETHODCALLTYPE NewDrawing(LONG a, LONG b, LONG c, LONG d, LONG e, LONG f, LONG g,
                                         IHostDocument** doc) override {
        Seen();
        return app_->NewDrawing(a, b, c, d, e, f, g, doc);
    }
    HRESULT STDMETHODCALLTYPE AddMenu(LONG kind, LPCWSTR text, LONG position,
                                      LONG* result) override {
        Seen();
        return app_->AddMenu(kind, text, position, result);
    }
    HRESULT STDMETHODCALLTYPE AddMenuItem(LONG kind, LPCWSTR item, LONG position, LPCWSTR callback,
                                          LONG* result) override {
        Seen();
        return app_->AddMenuItem(kind, item, position, callback, result);
    }
    HRESULT STDMETHODCALLTYPE RemoveMenu(LONG kind, LPCWSTR text, LPCWSTR callback,
                                         LONG* result) override {
        Seen();
        return app_->RemoveMenu(kind, text, callback, result);
    }
    HRESULT STDMETHODCALLTYPE Frame(IHostFrame** frame) override {
        Seen();
        return app_->Frame(frame);
    }
    HRESULT STDMETHODCALLTYPE RevisionText(BSTR* text) override {
        Seen();
        return app_->RevisionText(text);
    }
    HRESULT STDMETHODCALLTYPE BuildCode(LONG* code) override {
        Seen();
        return app_->BuildCode(code);
    }
    HRESULT STDMETHODCALLTYPE CloseDocument(LPCWSTR name) override {
        Seen();
        return app_->CloseDocument(name);
    }

private:
    void Seen() { states.push_back(AfxGetModuleState()); }
    IDispatch* inner_;
    IHostApplication* app_ = nullptr;
};

} // namespace

TEST_F(AddinTest, HostCallsRunUnderTheAddinsModuleStateAndRestoreTheCallers) {
    AFX_MODULE_STATE* program = AfxGetAppModuleState();
    AFX_MODULE_STATE* addin = AfxGetModuleStateOf(module);
    ASSERT_NE(addin, program);
    {
        StateProbe probe(host.Application());
        probe.AddRef(); // the reference InitUserDLL3 takes over
        ASSERT_EQ(init(&probe), 1);
        EXPECT_EQ(AfxGetModuleState(), program) << "InitUserDLL3 left its state behind";
        EXPECT_EQ(host.SinkCount(), 1) << "the sink found the events through the probe";

        host.OpenDocument(1);
        EXPECT_EQ(host.FireEvent5(), 1);
        EXPECT_EQ(AfxGetModuleState(), program) << "the event left the add-in's state behind";
        wchar_t title[256];
        EXPECT_GT(productTitle(title, 256), 0);
        EXPECT_EQ(AfxGetModuleState(), program);

        Unload();
        EXPECT_EQ(AfxGetModuleState(), program);
        // InitUserDLL3 (1 query, 4 menu calls), event 5 (query, frame), title
        // (revision text), unload (the part bar's menu).
        ASSERT_EQ(probe.states.size(), 9u);
        for (std::size_t i = 0; i < probe.states.size(); ++i)
            EXPECT_EQ(probe.states[i], addin) << "host call " << i;
        EXPECT_EQ(probe.refs, 1) << "the add-in released the probe once";
    }
    EXPECT_EQ(host.OutstandingRefs(), 0) << host.Unreleased();
}

namespace {

// The add-in's sink as the host holds it: the IDispatch the connection point got.
IDispatch* ConnectedSink(cadhost::Host& host) {
    IDispatch* app = host.Application();
    IConnectionPointContainer* container = nullptr;
    IConnectionPoint* point = nullptr;
    IEnumConnections* connections = nullptr;
    CONNECTDATA data{};
    app->QueryInterface(IID_IConnectionPointContainer, reinterpret_cast<void**>(&container));
    container->FindConnectionPoint(cadhost::kEventInterface, &point);
    point->EnumConnections(&connections);
    ULONG fetched = 0;
    connections->Next(1, &data, &fetched);
    connections->Release();
    point->Release();
    container->Release();
    app->Release();
    if (fetched != 1) return nullptr;
    IDispatch* sink = nullptr;
    data.pUnk->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&sink));
    data.pUnk->Release();
    return sink;
}

VARIANT Variant(VARTYPE type) {
    VARIANT v;
    VariantInit(&v);
    v.vt = type;
    return v;
}

} // namespace

TEST_F(AddinTest, TheSinksDispatchPartRoutesThroughTheEventMap) {
    ASSERT_EQ(Init(), 1);
    IDispatch* sink = ConnectedSink(host);
    ASSERT_NE(sink, nullptr);

    // Identity: IUnknown, IDispatch and the event interface are the part itself.
    for (const IID* iid : {&IID_IUnknown, &IID_IDispatch, &cadhost::kEventInterface}) {
        IUnknown* p = nullptr;
        ASSERT_EQ(sink->QueryInterface(*iid, reinterpret_cast<void**>(&p)), S_OK);
        EXPECT_EQ(p, static_cast<IUnknown*>(sink));
        p->Release();
    }
    void* none = sink;
    EXPECT_EQ(sink->QueryInterface(IID_IConnectionPoint, &none), E_NOINTERFACE);
    EXPECT_EQ(none, nullptr);
    ULONG count = sink->AddRef();
    EXPECT_EQ(sink->Release(), count - 1) << "AddRef and Release share one count";

    UINT typeInfos = 7;
    EXPECT_EQ(sink->GetTypeInfoCount(&typeInfos), S_OK);
    EXPECT_EQ(typeInfos, 0u);
    ITypeInfo* info = nullptr;
    EXPECT_EQ(sink->GetTypeInfo(0, 0, &info), E_NOTIMPL);
    LPOLESTR name = const_cast<LPOLESTR>(L"Anything");
    DISPID id = 0;
    EXPECT_EQ(sink->GetIDsOfNames(IID_NULL, &name, 1, 0, &id), E_NOTIMPL);

    struct Case {
        const char* what;
        DISPID id;
        std::vector<VARIANT> args; // last argument first, as COM lists them
        HRESULT status;
        bool ranSetUp; // the handler asked for the active document
        UINT argErr;
    };
    VARIANT text = Variant(VT_BSTR);
    text.bstrVal = SysAllocString(L"Part1");
    VARIANT number = Variant(VT_I4);
    number.lVal = 12;
    VARIANT nullObject = Variant(VT_DISPATCH);
    std::vector<Case> cases = {
        {"event 5", 5, {}, S_OK, true, 99},
        {"event 1 with a text", 1, {text}, S_OK, true, 99},
        {"event 1 with a number, coerced to text", 1, {number}, S_OK, true, 99},
        {"event 2", 2, {number, nullObject}, S_OK, false, 99},
        {"event 1 without its argument", 1, {}, DISP_E_BADPARAMCOUNT, false, 99},
        {"event 5 with an argument", 5, {number}, DISP_E_BADPARAMCOUNT, false, 99},
        {"event 2 with a text for the object", 2, {number, text}, DISP_E_TYPEMISMATCH, false, 1},
        {"an id without a handler", 4, {}, DISP_E_MEMBERNOTFOUND, false, 99},
    };
    for (Case& c : cases) {
        host.ClearJournal();
        DISPPARAMS params{c.args.empty() ? nullptr : c.args.data(), nullptr,
                          static_cast<UINT>(c.args.size()), 0};
        VARIANT result = Variant(VT_I4);
        result.lVal = 5;
        UINT argErr = 99;
        EXPECT_EQ(
            sink->Invoke(c.id, IID_NULL, 0, DISPATCH_METHOD, &params, &result, nullptr, &argErr),
            c.status)
            << c.what;
        EXPECT_EQ(result.vt, VT_BOOL) << c.what;
        EXPECT_EQ(result.boolVal, VARIANT_FALSE) << c.what;
        EXPECT_EQ(argErr, c.argErr) << c.what;
        EXPECT_EQ(host.Journal(Op::HostActiveDocument).size(), c.ranSetUp ? 1u : 0u) << c.what;
    }
    SysFreeString(text.bstrVal);

    DISPPARAMS empty{nullptr, nullptr, 0, 0};
    EXPECT_EQ(sink->Invoke(5, IID_IDispatch, 0, DISPATCH_METHOD, &empty, nullptr, nullptr, nullptr),
              DISP_E_UNKNOWNINTERFACE);
    EXPECT_EQ(sink->Invoke(5, IID_NULL, 0, DISPATCH_METHOD, &empty, nullptr, nullptr, nullptr),
              S_OK)
        << "no result variant";

    sink->Release();
    Unload();
    EXPECT_EQ(host.OutstandingRefs(), 0) << host.Unreleased();
}
