// The add-in's host binding against the embedded host: every operation
// reaches the host with its arguments in order, results come back, failures
// leave clean out-parameters, and every handle is released.
#include "CadHost.h"
#include "Host.h"
#include "HostContract.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <limits>
#include <string>
#include <vector>

using namespace cadhost;

namespace {

const wchar_t* const kImportCallback = L"Quorla@MyQuorla_Import, Import meshes from a 3DM file";

struct Handles {
    HostAppHandle app = nullptr;
    HostDocHandle doc = nullptr;
    HostPartHandle part = nullptr;
    HostBodyHandle body = nullptr;
    HostFrameHandle frame = nullptr;
};

class HostBindingTest : public ::testing::Test {
protected:
    void SetUp() override {
        app = host.Application();
        h.app = app;
        ASSERT_EQ(HostNewPart(app, &h.part), 0);
        ASSERT_EQ(HostActiveDocument(app, &h.doc), 0);
        ASSERT_EQ(PartCreateBody(h.part, &h.body), 0);
        ASSERT_EQ(HostFrame(app, &h.frame), 0);
        ASSERT_TRUE(h.doc && h.part && h.body && h.frame);
    }
    void TearDown() override {
        HostRelease(h.body);
        HostRelease(h.frame);
        HostRelease(h.doc);
        HostRelease(h.part);
        app->Release();
        EXPECT_EQ(host.OutstandingRefs(), 0) << host.Unreleased();
    }

    std::string LastCall() const {
        return host.Journal().empty() ? std::string() : host.Journal().back().ToString();
    }

    Host host;
    IDispatch* app = nullptr;
    Handles h;
};

struct OperationCase {
    const char* name;
    std::function<HostStatus(Handles&)> call;
    const char* journal; // the host's record of the call
};

const double kPoints[6] = {0.5, -1.25, 2e-9, 3, 4, 5};
const double kKnots[4] = {0, 0, 0.75, 0.75};
const double kCorners[12] = {0, 0, 0, 2, 0, 0, 2, 1, 0, 0, 1, 0};
const double kNormal[3] = {0, 0, 1};

class OperationTest : public HostBindingTest,
                      public ::testing::WithParamInterface<OperationCase> {};

TEST_P(OperationTest, ReachesTheHostWithItsArgumentsInOrder) {
    const OperationCase& c = GetParam();
    host.ClearJournal();
    c.call(h);
    EXPECT_EQ(LastCall(), c.journal);
}

// Releases the handle a call gave and passes its status on.
template <class T> HostStatus Dropping(HostStatus status, T& handle) {
    HostRelease(handle);
    return status;
}

const std::vector<OperationCase> kOperations = {
    {"HostActiveDocument",
     [](Handles& h) {
         HostDocHandle d = nullptr;
         return Dropping(HostActiveDocument(h.app, &d), d);
     },
     "HostActiveDocument() = 0"},
    {"HostNewPart",
     [](Handles& h) {
         HostPartHandle p = nullptr;
         return Dropping(HostNewPart(h.app, &p), p);
     },
     "HostNewPart() = 0"},
    {"HostNewAssembly",
     [](Handles& h) {
         HostDocHandle d = nullptr;
         return Dropping(HostNewAssembly(h.app, &d), d);
     },
     "HostNewAssembly() = 0"},
    {"HostNewDrawing",
     [](Handles& h) {
         HostDocHandle d = nullptr;
         return Dropping(HostNewDrawing(h.app, 11, 1, 12, 2, 3, 4, 5, &d), d);
     },
     "HostNewDrawing(11, 1, 12, 2, 3, 4, 5) = 0"},
    {"HostAddMenu", [](Handles& h) { return HostAddMenu(h.app, 0, L"&Quorla", 3, nullptr); },
     "HostAddMenu(0, \"&Quorla\", 3) = 0"},
    {"HostAddMenuItem",
     [](Handles& h) {
         HostAddMenu(h.app, 0, L"&Quorla", 3, nullptr);
         return HostAddMenuItem(h.app, 0, L"Import...@&Quorla", -1, kImportCallback, nullptr);
     },
     "HostAddMenuItem(0, \"Import...@&Quorla\", -1, \"Quorla@MyQuorla_Import, Import meshes "
     "from a 3DM file\") = 0"},
    {"HostRemoveMenu",
     [](Handles& h) {
         HostAddMenu(h.app, 2, L"&Quorla", 5, nullptr);
         return HostRemoveMenu(h.app, 2, L"&Quorla", nullptr, nullptr);
     },
     "HostRemoveMenu(2, \"&Quorla\", null) = 0"},
    {"HostFrame",
     [](Handles& h) {
         HostFrameHandle f = nullptr;
         return Dropping(HostFrame(h.app, &f), f);
     },
     "HostFrame() = 0"},
    {"HostRevisionText", [](Handles& h) { return HostRevisionText(h.app, nullptr); },
     "HostRevisionText() = 0"},
    {"HostBuildCode", [](Handles& h) { return HostBuildCode(h.app, nullptr); },
     "HostBuildCode() = 0"},
    {"DocumentKind", [](Handles& h) { return DocumentKind(h.doc, nullptr); },
     "DocumentKind[doc 0]() = 0"},
    {"DocSetLengthUnit", [](Handles& h) { return DocSetLengthUnit(h.doc, 3); },
     "DocSetLengthUnit[doc 0](3) = 0"},
    {"DocCreationSwitchA", [](Handles& h) { return DocCreationSwitchA(h.doc, 1); },
     "DocCreationSwitchA[doc 0](1) = 0"},
    {"DocCreationSwitchB", [](Handles& h) { return DocCreationSwitchB(h.doc, 0); },
     "DocCreationSwitchB[doc 0](0) = 0"},
    {"DocToggle3DSketch", [](Handles& h) { return DocToggle3DSketch(h.doc, 0); },
     "DocToggle3DSketch[doc 0](0) = 0"},
    {"DocCreatePoint", [](Handles& h) { return DocCreatePoint(h.doc, 1.5, -2.25, 3e-7, nullptr); },
     "DocCreatePoint[doc 0](1.5, -2.25, 3e-07) = 0"},
    {"DocCreateLine",
     [](Handles& h) { return DocCreateLine(h.doc, 1, 2, 3, 4, 5, 0.30000000000000004, nullptr); },
     "DocCreateLine[doc 0](1, 2, 3, 4, 5, 0.30000000000000004) = 0"},
    {"DocCreateCircle", [](Handles& h) { return DocCreateCircle(h.doc, 1, 2, 3, 0.25, nullptr); },
     "DocCreateCircle[doc 0](1, 2, 3, 0.25) = 0"},
    {"DocCreateArc",
     [](Handles& h) { return DocCreateArc(h.doc, 1, 2, 3, 4, 2, 3, 1, 5, 3, -1, nullptr); },
     "DocCreateArc[doc 0](1, 2, 3, 4, 2, 3, 1, 5, 3, -1) = 0"},
    {"DocCreateSplineThroughPoints",
     [](Handles& h) { return DocCreateSplineThroughPoints(h.doc, 2, kPoints, nullptr); },
     "DocCreateSplineThroughPoints[doc 0](2, [0.5, -1.25, 2e-09, 3, 4, 5]) = 0"},
    {"DocCreateSplineFromNurbs",
     [](Handles& h) {
         const int props[4] = {3, 2, 2, 0};
         return DocCreateSplineFromNurbs(h.doc, props, kKnots, kPoints, nullptr);
     },
     "DocCreateSplineFromNurbs[doc 0]([3, 2, 2, 0], [0, 0, 0.75, 0.75], "
     "[0.5, -1.25, 2e-09, 3, 4, 5]) = 0"},
    {"DocCloseOutA", [](Handles& h) { return DocCloseOutA(h.doc); }, "DocCloseOutA[doc 0]() = 0"},
    {"DocCloseOutB", [](Handles& h) { return DocCloseOutB(h.doc); }, "DocCloseOutB[doc 0]() = 0"},
    {"DocCloseOutC", [](Handles& h) { return DocCloseOutC(h.doc); }, "DocCloseOutC[doc 0]() = 0"},
    {"PartCreateBody",
     [](Handles& h) {
         HostBodyHandle b = nullptr;
         return Dropping(PartCreateBody(h.part, &b), b);
     },
     "PartCreateBody[doc 0]() = 0"},
    {"BodyAddPlanarFace",
     [](Handles& h) { return BodyAddPlanarFace(h.body, 4, kCorners, kNormal); },
     "BodyAddPlanarFace[body 0](4, [0, 0, 0, 2, 0, 0, 2, 1, 0, 0, 1, 0], [0, 0, 1]) = 0"},
    {"BodyCreateFromFaces",
     [](Handles& h) {
         BodyAddPlanarFace(h.body, 3, kCorners, kNormal);
         return BodyCreateFromFaces(h.body, nullptr);
     },
     "BodyCreateFromFaces[body 0]() = 0"},
    {"FrameAddMenu", [](Handles& h) { return FrameAddMenu(h.frame, L"&Quorla", 5, nullptr); },
     "FrameAddMenu(\"&Quorla\", 5) = 0"},
    {"FrameAddMenuItem",
     [](Handles& h) {
         FrameAddMenu(h.frame, L"&Quorla", 5, nullptr);
         return FrameAddMenuItem(h.frame, L"&Quorla", L"&Import...", -1, kImportCallback, nullptr);
     },
     "FrameAddMenuItem(\"&Quorla\", \"&Import...\", -1, \"Quorla@MyQuorla_Import, Import "
     "meshes from a 3DM file\") = 0"},
};

INSTANTIATE_TEST_SUITE_P(Operations, OperationTest, ::testing::ValuesIn(kOperations),
                         [](const ::testing::TestParamInfo<OperationCase>& i) {
                             return std::string(i.param.name);
                         });

TEST_F(HostBindingTest, EveryOperationOfTheHostIsCovered) {
    // The table above names each host operation once.
    std::vector<std::string> names;
    for (const OperationCase& c : kOperations)
        names.push_back(c.name);
    for (int i = 0; i < kOpCount; ++i) {
        Op op = static_cast<Op>(i);
        // Closing a document is for the programs that drive the host; the
        // add-in never closes one.
        if (op == Op::Advise || op == Op::Unadvise || op == Op::HostCloseDocument) continue;
        EXPECT_EQ(std::count(names.begin(), names.end(), OpName(op)), 1) << OpName(op);
    }
}

TEST_F(HostBindingTest, ResultsComeBackThroughTheOutParameters) {
    long r = -9;
    EXPECT_EQ(HostAddMenu(app, 0, L"&Quorla", 3, &r), 0);
    EXPECT_EQ(r, 3);
    EXPECT_EQ(HostAddMenuItem(app, 0, L"Import...@&Quorla", -1, kImportCallback, &r), 0);
    EXPECT_EQ(r, 0);
    EXPECT_EQ(HostRemoveMenu(app, 0, L"&Quorla", nullptr, &r), 0);
    EXPECT_EQ(r, 1);

    long kind = 0;
    EXPECT_EQ(DocumentKind(h.doc, &kind), 0);
    EXPECT_EQ(kind, 1);

    host.SetRevisionText(L"15.3.0");
    host.SetBuildCode(1999207);
    std::wstring text = L"old";
    long code = 0;
    EXPECT_EQ(HostRevisionText(app, &text), 0);
    EXPECT_EQ(text, L"15.3.0");
    EXPECT_EQ(HostBuildCode(app, &code), 0);
    EXPECT_EQ(code, 1999207);

    long e1 = -9, e2 = -9;
    DocToggle3DSketch(h.doc, 0);
    EXPECT_EQ(DocCreatePoint(h.doc, 0, 0, 0, &e1), 0);
    EXPECT_EQ(DocCreateLine(h.doc, 0, 0, 0, 1, 0, 0, &e2), 0);
    EXPECT_EQ(e1, 0);
    EXPECT_EQ(e2, 1);
    EXPECT_EQ(host.Document(0).Count(EntityKind::Line, 0), 1u);

    short ok = 0;
    EXPECT_EQ(FrameAddMenu(h.frame, L"&Quorla", 5, &ok), 0);
    EXPECT_EQ(ok, -1);
    EXPECT_EQ(host.FindMenu(1, L"&Quorla"), 5) << "the frame acts on the active part's bar";

    short flag = 5;
    BodyAddPlanarFace(h.body, 3, kCorners, kNormal);
    EXPECT_EQ(BodyCreateFromFaces(h.body, &flag), 0);
    EXPECT_EQ(flag, 0) << "one triangle makes a sheet";
}

TEST_F(HostBindingTest, SolidBodyFlagIsMinusOne) {
    // A tetrahedron with outward faces.
    const double a[3] = {0, 0, 0}, b[3] = {1, 0, 0}, c[3] = {0, 1, 0}, d[3] = {0, 0, 1};
    const double* faces[4][3] = {{a, c, b}, {a, b, d}, {a, d, c}, {b, c, d}};
    HostBodyHandle body = nullptr;
    ASSERT_EQ(PartCreateBody(h.part, &body), 0);
    for (auto& f : faces) {
        double corners[9];
        for (int k = 0; k < 3; ++k)
            for (int i = 0; i < 3; ++i)
                corners[3 * k + i] = f[k][i];
        ASSERT_EQ(BodyAddPlanarFace(body, 3, corners, kNormal), 0);
    }
    short flag = 0;
    EXPECT_EQ(BodyCreateFromFaces(body, &flag), 0);
    EXPECT_EQ(flag, -1);
    HostRelease(body);
    ASSERT_EQ(host.Document(0).bodies.size(), 1u);
    EXPECT_TRUE(host.Document(0).bodies[0].solid);
}

TEST_F(HostBindingTest, FailuresReportNonzeroAndClearOutParameters) {
    HostDocHandle doc = reinterpret_cast<HostDocHandle>(1);
    HostPartHandle part = reinterpret_cast<HostPartHandle>(1);
    HostBodyHandle body = reinterpret_cast<HostBodyHandle>(1);
    HostFrameHandle frame = reinterpret_cast<HostFrameHandle>(1);
    long r = 7, kind = 7, e = 7;
    short s = 7;
    std::wstring text = L"x";

    EXPECT_EQ(HostActiveDocument(nullptr, &doc), E_POINTER);
    EXPECT_EQ(doc, nullptr);
    EXPECT_EQ(HostFrame(nullptr, &frame), E_POINTER);
    EXPECT_EQ(frame, nullptr);
    EXPECT_EQ(HostAddMenu(nullptr, 0, L"&Quorla", 3, &r), E_POINTER);
    EXPECT_EQ(r, -1);
    EXPECT_EQ(HostRevisionText(nullptr, &text), E_POINTER);
    EXPECT_TRUE(text.empty());
    EXPECT_EQ(DocumentKind(nullptr, &kind), E_POINTER);
    EXPECT_EQ(kind, 0);
    EXPECT_EQ(DocCreateLine(nullptr, 0, 0, 0, 1, 1, 1, &e), E_POINTER);
    EXPECT_EQ(e, -1);
    EXPECT_EQ(DocCloseOutA(nullptr), E_POINTER);
    EXPECT_EQ(PartCreateBody(nullptr, &body), E_POINTER);
    EXPECT_EQ(body, nullptr);
    EXPECT_EQ(BodyCreateFromFaces(nullptr, &s), E_POINTER);
    EXPECT_EQ(s, 0);
    EXPECT_EQ(FrameAddMenu(nullptr, L"&Quorla", 5, &s), E_POINTER);
    const double zero[3] = {0, 0, 0};
    EXPECT_EQ(BodyAddPlanarFace(nullptr, 3, zero, zero), E_POINTER);
    EXPECT_EQ(DocCreateSplineFromNurbs(h.doc, nullptr, kKnots, kPoints, &e), E_POINTER);

    // The host's own refusals come through as they are.
    EXPECT_EQ(DocCreateLine(h.doc, 1, 1, 1, 1, 1, 1, &e), HOST_E_DEGENERATE);
    EXPECT_EQ(e, -1);
    EXPECT_EQ(DocSetLengthUnit(h.doc, 9), E_INVALIDARG);
    host.RefuseAll(Op::HostNewPart);
    part = reinterpret_cast<HostPartHandle>(1);
    EXPECT_EQ(HostNewPart(app, &part), HOST_E_REFUSED);
    EXPECT_EQ(part, nullptr);
    host.RefuseCall(Op::BodyCreateFromFaces, 1);
    s = 7;
    EXPECT_EQ(BodyCreateFromFaces(h.body, &s), HOST_E_REFUSED);
    EXPECT_EQ(s, 0);

    HostRelease(HostDocHandle{});
    HostRelease(HostPartHandle{});
    HostRelease(HostBodyHandle{});
    HostRelease(HostFrameHandle{});
}

// An application object that is not a host: the binding finds no host
// interface on it.
class PlainDispatch : public IDispatch {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override {
        if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IDispatch)) {
            *out = this;
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++refs; }
    ULONG STDMETHODCALLTYPE Release() override { return --refs; }
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* n) override {
        *n = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                                     UINT*) override {
        return E_NOTIMPL;
    }
    ULONG refs = 1;
};

// The conversion never sends a number that is not finite; the binding does
// not pass one on either (a debug build asserts first).
TEST_F(HostBindingTest, NumbersThatAreNotFiniteNeverReachTheHost) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    const double points[6] = {0, 0, 0, 1, inf, 0};
    const double knots[4] = {0, 0, nan, 1};
    const double cvs[6] = {0, 0, 0, 1, 0, 0};
    const int block[4] = {3, 2, 2, 0};
    const double corners[9] = {0, 0, 0, 1, 0, 0, 0, -inf, 0};
    const double normal[3] = {0, 0, 1};
    long e = 7;
    host.ClearJournal();
    const struct {
        const char* name;
        HostStatus status;
    } cases[] = {
        {"point", DocCreatePoint(h.doc, nan, 0, 0, &e)},
        {"line", DocCreateLine(h.doc, 0, 0, 0, 1, 1, inf, &e)},
        {"circle", DocCreateCircle(h.doc, 0, 0, 0, inf, &e)},
        {"arc", DocCreateArc(h.doc, 0, 0, 0, 1, 0, 0, 0, nan, 0, 1, &e)},
        {"spline through points", DocCreateSplineThroughPoints(h.doc, 2, points, &e)},
        {"spline knots", DocCreateSplineFromNurbs(h.doc, block, knots, cvs, &e)},
        {"face", BodyAddPlanarFace(h.body, 3, corners, normal)},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.status, E_INVALIDARG) << c.name;
    EXPECT_EQ(e, -1);
    EXPECT_EQ(host.JournalText(), "") << "nothing reached the host";
}

TEST(HostBindingOther, ApplicationWithoutTheHostInterfaceFailsCleanly) {
    PlainDispatch plain;
    HostDocHandle doc = reinterpret_cast<HostDocHandle>(1);
    long code = 5;
    EXPECT_EQ(HostActiveDocument(&plain, &doc), E_NOINTERFACE);
    EXPECT_EQ(doc, nullptr);
    EXPECT_EQ(HostBuildCode(&plain, &code), E_NOINTERFACE);
    EXPECT_EQ(code, 0);
    EXPECT_EQ(plain.refs, 1u);
}

TEST(HostBindingOther, HandlesNobodyAskedForAreReleased) {
    Host host;
    IDispatch* app = host.Application();
    EXPECT_EQ(HostNewPart(app, nullptr), 0);
    EXPECT_EQ(HostNewDrawing(app, 11, 0, 11, 0, 0, 0, 0, nullptr), 0);
    EXPECT_EQ(HostActiveDocument(app, nullptr), 0);
    EXPECT_EQ(HostFrame(app, nullptr), 0);
    EXPECT_EQ(host.DocumentCount(), 2);
    app->Release();
    EXPECT_EQ(host.OutstandingRefs(), 0) << host.Unreleased();
}

} // namespace
