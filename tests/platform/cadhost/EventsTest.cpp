// The application object as an add-in sees it through COM: class
// information, the connection point, events on several sinks, the switches.
#include "CadHost.h"
#include "HostContract.h"

#include <gtest/gtest.h>
#include <ocidl.h>
#include <olectl.h>

#include <functional>
#include <string>
#include <vector>

using namespace cadhost;

namespace {

struct Received {
    DISPID id = 0;
    std::vector<VARTYPE> types; // in the order the caller lists them (last argument first)
    std::wstring text;
    IDispatch* object = nullptr;
    long value = 0;
};

// An event sink like the add-in's: answers IUnknown, IDispatch and the
// event interface, records every Invoke.
class TestSink : public IDispatch {
public:
    explicit TestSink(bool answersEvents = true) : answersEvents_(answersEvents) {}

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override {
        if (gone) ++touchedWhenGone;
        if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IDispatch) ||
            (answersEvents_ && IsEqualIID(riid, kEventInterface))) {
            *out = static_cast<IDispatch*>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override {
        if (gone) ++touchedWhenGone;
        return ++refs;
    }
    ULONG STDMETHODCALLTYPE Release() override { // lives on the stack
        if (gone) ++touchedWhenGone;
        return --refs;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* n) override {
        *n = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params,
                                     VARIANT* result, EXCEPINFO*, UINT*) override {
        if (gone) ++touchedWhenGone;
        Received r;
        r.id = id;
        EXPECT_EQ(flags, DISPATCH_METHOD);
        for (UINT i = 0; i < params->cArgs; ++i) {
            const VARIANT& v = params->rgvarg[i];
            r.types.push_back(V_VT(&v));
            if (V_VT(&v) == VT_BSTR) r.text = V_BSTR(&v);
            if (V_VT(&v) == VT_DISPATCH) r.object = V_DISPATCH(&v);
            if (V_VT(&v) == VT_I4) r.value = V_I4(&v);
        }
        calls.push_back(r);
        if (result) {
            VariantClear(result);
            V_VT(result) = VT_BOOL;
            V_BOOL(result) = VARIANT_FALSE;
        }
        if (onInvoke) onInvoke(id);
        return S_OK;
    }

    ULONG refs = 1;
    std::vector<Received> calls;
    std::function<void(DISPID)> onInvoke;
    bool gone = false; // stands for a sink its owner destroyed
    int touchedWhenGone = 0;

private:
    bool answersEvents_;
};

class EventsTest : public ::testing::Test {
protected:
    void SetUp() override { app = host.Application(); }
    void TearDown() override {
        if (app) app->Release();
        EXPECT_EQ(host.OutstandingRefs(), 0) << host.Unreleased();
    }

    // The way the add-in connects: class information for the event
    // interface id, then the container and its connection point.
    IConnectionPoint* Connect() {
        IProvideClassInfo2* info = nullptr;
        EXPECT_EQ(app->QueryInterface(IID_IProvideClassInfo2, reinterpret_cast<void**>(&info)),
                  S_OK);
        if (!info) return nullptr;
        GUID iid{};
        EXPECT_EQ(info->GetGUID(GUIDKIND_DEFAULT_SOURCE_DISP_IID, &iid), S_OK);
        info->Release();
        EXPECT_TRUE(IsEqualIID(iid, kEventInterface));
        IConnectionPointContainer* container = nullptr;
        EXPECT_EQ(app->QueryInterface(IID_IConnectionPointContainer,
                                      reinterpret_cast<void**>(&container)),
                  S_OK);
        if (!container) return nullptr;
        IConnectionPoint* point = nullptr;
        EXPECT_EQ(container->FindConnectionPoint(iid, &point), S_OK);
        container->Release();
        return point;
    }

    Host host;
    IDispatch* app = nullptr;
};

TEST_F(EventsTest, TwoSinksReceiveEveryEventWithItsArguments) {
    IConnectionPoint* point = Connect();
    ASSERT_NE(point, nullptr);
    TestSink a, b;
    DWORD ca = 0, cb = 0;
    ASSERT_EQ(point->Advise(&a, &ca), S_OK);
    ASSERT_EQ(point->Advise(&b, &cb), S_OK);
    EXPECT_NE(ca, cb);
    EXPECT_EQ(host.SinkCount(), 2);
    EXPECT_EQ(a.refs, 2u) << "the connection holds one reference to each sink";

    EXPECT_EQ(host.FireEvent1(L"C:\\models\\part.sldprt"), 2);
    EXPECT_EQ(host.FireEvent2(app, 42), 2);
    EXPECT_EQ(host.FireEvent3(), 2);
    EXPECT_EQ(host.FireEvent5(), 2);

    for (TestSink* s : {&a, &b}) {
        ASSERT_EQ(s->calls.size(), 4u);
        EXPECT_EQ(s->calls[0].id, 1);
        EXPECT_EQ(s->calls[0].types, std::vector<VARTYPE>{VT_BSTR});
        EXPECT_EQ(s->calls[0].text, L"C:\\models\\part.sldprt");
        EXPECT_EQ(s->calls[1].id, 2);
        // Dispatch arguments arrive last first: the long, then the object.
        EXPECT_EQ(s->calls[1].types, (std::vector<VARTYPE>{VT_I4, VT_DISPATCH}));
        EXPECT_EQ(s->calls[1].object, app);
        EXPECT_EQ(s->calls[1].value, 42);
        EXPECT_EQ(s->calls[2].id, 3);
        EXPECT_TRUE(s->calls[2].types.empty());
        EXPECT_EQ(s->calls[3].id, 5);
        EXPECT_TRUE(s->calls[3].types.empty());
    }

    ASSERT_EQ(point->Unadvise(ca), S_OK);
    EXPECT_EQ(point->Unadvise(ca), CONNECT_E_NOCONNECTION);
    EXPECT_EQ(host.FireEvent5(), 1);
    EXPECT_EQ(a.calls.size(), 4u);
    EXPECT_EQ(b.calls.size(), 5u);
    ASSERT_EQ(point->Unadvise(cb), S_OK);
    EXPECT_EQ(host.FireEvent1(L"x"), 0);
    EXPECT_EQ(a.refs, 1u);
    EXPECT_EQ(b.refs, 1u);
    point->Release();
}

TEST_F(EventsTest, SinkUnadvisingDuringAnEventIsSafeAndOthersFollowTheLiveList) {
    IConnectionPoint* point = Connect();
    ASSERT_NE(point, nullptr);
    TestSink a, b, c;
    DWORD ca = 0, cb = 0, cc = 0;
    point->Advise(&a, &ca);
    point->Advise(&b, &cb);
    point->Advise(&c, &cc);
    // a leaves on event 3 as the add-in's sink does, and takes b with it.
    a.onInvoke = [&](DISPID id) {
        if (id != 3) return;
        point->Unadvise(ca);
        point->Unadvise(cb);
    };
    EXPECT_EQ(host.FireEvent3(), 2);
    EXPECT_EQ(a.calls.size(), 1u);
    EXPECT_EQ(b.calls.size(), 0u) << "unadvised before its turn";
    EXPECT_EQ(c.calls.size(), 1u);
    EXPECT_EQ(host.SinkCount(), 1);
    point->Unadvise(cc);
    EXPECT_EQ(a.refs + b.refs + c.refs, 3u);
    point->Release();
}

TEST_F(EventsTest, SinkDestroyedInItsOwnHandlerIsNotTouchedAgain) {
    IConnectionPoint* point = Connect();
    ASSERT_NE(point, nullptr);
    TestSink a, b;
    DWORD ca = 0, cb = 0;
    point->Advise(&a, &ca);
    point->Advise(&b, &cb);
    // As the add-in's sink does on event 3: unadvise, then its owner deletes it.
    a.onInvoke = [&](DISPID id) {
        if (id != 3) return;
        point->Unadvise(ca);
        a.gone = true;
    };
    EXPECT_EQ(host.FireEvent3(), 2);
    EXPECT_EQ(a.touchedWhenGone, 0);
    EXPECT_EQ(host.FireEvent5(), 1);
    EXPECT_EQ(a.touchedWhenGone, 0);
    EXPECT_EQ(b.calls.size(), 2u);
    point->Unadvise(cb);
    point->Release();
}

TEST_F(EventsTest, ConnectionPointRefusesWhatCannotConnect) {
    IConnectionPoint* point = Connect();
    ASSERT_NE(point, nullptr);
    TestSink plain(false);
    DWORD cookie = 7;
    EXPECT_EQ(point->Advise(&plain, &cookie), CONNECT_E_CANNOTCONNECT);
    EXPECT_EQ(cookie, 0u);
    EXPECT_EQ(plain.refs, 1u);
    EXPECT_EQ(point->Advise(nullptr, &cookie), E_POINTER);
    EXPECT_EQ(point->Unadvise(12345), CONNECT_E_NOCONNECTION);

    IID iid{};
    EXPECT_EQ(point->GetConnectionInterface(&iid), S_OK);
    EXPECT_TRUE(IsEqualIID(iid, kEventInterface));
    IConnectionPointContainer* back = nullptr;
    EXPECT_EQ(point->GetConnectionPointContainer(&back), S_OK);
    ASSERT_NE(back, nullptr);
    IConnectionPoint* other = nullptr;
    EXPECT_EQ(back->FindConnectionPoint(IID_IDispatch, &other), CONNECT_E_NOCONNECTION);
    EXPECT_EQ(other, nullptr);
    back->Release();
    point->Release();
}

TEST_F(EventsTest, EnumeratorsListThePointAndItsConnections) {
    IConnectionPoint* point = Connect();
    ASSERT_NE(point, nullptr);
    TestSink a, b;
    DWORD ca = 0, cb = 0;
    point->Advise(&a, &ca);
    point->Advise(&b, &cb);

    IConnectionPointContainer* container = nullptr;
    app->QueryInterface(IID_IConnectionPointContainer, reinterpret_cast<void**>(&container));
    ASSERT_NE(container, nullptr);
    IEnumConnectionPoints* points = nullptr;
    ASSERT_EQ(container->EnumConnectionPoints(&points), S_OK);
    IConnectionPoint* got[2] = {};
    ULONG fetched = 0;
    EXPECT_EQ(points->Next(2, got, &fetched), S_FALSE);
    ASSERT_EQ(fetched, 1u);
    EXPECT_EQ(got[0], point);
    got[0]->Release();
    EXPECT_EQ(points->Reset(), S_OK);
    EXPECT_EQ(points->Skip(2), S_FALSE);
    points->Release();
    container->Release();

    IEnumConnections* conns = nullptr;
    ASSERT_EQ(point->EnumConnections(&conns), S_OK);
    IEnumConnections* clone = nullptr;
    CONNECTDATA d[3] = {};
    EXPECT_EQ(conns->Next(1, d, nullptr), S_OK);
    EXPECT_EQ(d[0].dwCookie, ca);
    EXPECT_EQ(conns->Clone(&clone), S_OK);
    d[0].pUnk->Release();
    ASSERT_EQ(clone->Next(3, d, &fetched), S_FALSE);
    ASSERT_EQ(fetched, 1u) << "the clone starts where its original stood";
    EXPECT_EQ(d[0].dwCookie, cb);
    d[0].pUnk->Release();
    clone->Release();
    conns->Release();
    EXPECT_EQ(a.refs, 2u);
    EXPECT_EQ(b.refs, 2u);

    point->Unadvise(ca);
    point->Unadvise(cb);
    point->Release();
}

TEST_F(EventsTest, DispatchAndClassInformationAnswerCorrectly) {
    UINT count = 9;
    EXPECT_EQ(app->GetTypeInfoCount(&count), S_OK);
    EXPECT_EQ(count, 0u);
    LPOLESTR name = const_cast<LPOLESTR>(L"Anything");
    DISPID id = 0;
    EXPECT_EQ(app->GetIDsOfNames(IID_NULL, &name, 1, 0, &id), DISP_E_UNKNOWNNAME);
    EXPECT_EQ(id, DISPID_UNKNOWN);

    IProvideClassInfo2* info = nullptr;
    ASSERT_EQ(app->QueryInterface(IID_IProvideClassInfo2, reinterpret_cast<void**>(&info)), S_OK);
    GUID g{};
    EXPECT_EQ(info->GetGUID(12345, &g), E_INVALIDARG);
    EXPECT_TRUE(IsEqualGUID(g, GUID_NULL));
    info->Release();

    // One identity for the whole object.
    IUnknown* u1 = nullptr;
    IUnknown* u2 = nullptr;
    IHostApplication* h = nullptr;
    app->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&u1));
    app->QueryInterface(IID_IHostApplication, reinterpret_cast<void**>(&h));
    ASSERT_NE(h, nullptr);
    h->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&u2));
    EXPECT_EQ(u1, u2);
    EXPECT_EQ(host.ApplicationRefs(), 4);
    u1->Release();
    u2->Release();
    h->Release();
}

struct SwitchCase {
    const char* name;
    bool classInfo;
    ConnectionPoints points;
    HRESULT classInfoQuery, containerQuery, find;
};

class EventSwitchesTest : public EventsTest, public ::testing::WithParamInterface<SwitchCase> {};

TEST_P(EventSwitchesTest, AnswersAsSwitched) {
    const SwitchCase& c = GetParam();
    host.SetClassInfoAvailable(c.classInfo);
    host.SetConnectionPoints(c.points);
    IUnknown* p = nullptr;
    EXPECT_EQ(app->QueryInterface(IID_IProvideClassInfo2, reinterpret_cast<void**>(&p)),
              c.classInfoQuery);
    EXPECT_EQ(p == nullptr, FAILED(c.classInfoQuery));
    if (p) p->Release();
    p = nullptr;
    EXPECT_EQ(app->QueryInterface(IID_IProvideClassInfo, reinterpret_cast<void**>(&p)),
              c.classInfoQuery);
    if (p) p->Release();

    IConnectionPointContainer* container = nullptr;
    EXPECT_EQ(
        app->QueryInterface(IID_IConnectionPointContainer, reinterpret_cast<void**>(&container)),
        c.containerQuery);
    if (container) {
        IConnectionPoint* point = nullptr;
        EXPECT_EQ(container->FindConnectionPoint(kEventInterface, &point), c.find);
        EXPECT_EQ(point == nullptr, FAILED(c.find));
        IEnumConnectionPoints* e = nullptr;
        ASSERT_EQ(container->EnumConnectionPoints(&e), S_OK);
        IConnectionPoint* listed = nullptr;
        ULONG n = 0;
        e->Next(1, &listed, &n);
        EXPECT_EQ(n, FAILED(c.find) ? 0u : 1u);
        if (listed) listed->Release();
        e->Release();
        if (point) point->Release();
        container->Release();
    }
}

INSTANTIATE_TEST_SUITE_P(
    Switches, EventSwitchesTest,
    ::testing::Values(
        SwitchCase{"Everything", true, ConnectionPoints::Available, S_OK, S_OK, S_OK},
        SwitchCase{"NoClassInfo", false, ConnectionPoints::Available, E_NOINTERFACE, S_OK, S_OK},
        SwitchCase{"NoContainer", true, ConnectionPoints::NoContainer, S_OK, E_NOINTERFACE, S_OK},
        SwitchCase{"NoConnectionPoint", true, ConnectionPoints::NoConnectionPoint, S_OK, S_OK,
                   CONNECT_E_NOCONNECTION}),
    [](const ::testing::TestParamInfo<SwitchCase>& i) { return std::string(i.param.name); });

TEST(EventsHostGone, DestroyedHostLetsGoOfItsSinksAndFailsLateCalls) {
    TestSink sink;
    IConnectionPoint* point = nullptr;
    IHostApplication* happ = nullptr;
    {
        Host host;
        IDispatch* app = host.Application();
        IConnectionPointContainer* container = nullptr;
        app->QueryInterface(IID_IConnectionPointContainer, reinterpret_cast<void**>(&container));
        ASSERT_NE(container, nullptr);
        container->FindConnectionPoint(kEventInterface, &point);
        container->Release();
        ASSERT_NE(point, nullptr);
        DWORD cookie = 0;
        point->Advise(&sink, &cookie);
        app->QueryInterface(IID_IHostApplication, reinterpret_cast<void**>(&happ));
        app->Release();
        EXPECT_EQ(sink.refs, 2u);
    }
    EXPECT_EQ(sink.refs, 1u);
    IHostPart* part = nullptr;
    EXPECT_EQ(happ->NewPart(&part), E_UNEXPECTED);
    EXPECT_EQ(part, nullptr);
    point->Release();
    happ->Release(); // the last reference frees the object
}

} // namespace
