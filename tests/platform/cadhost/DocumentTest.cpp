// Documents: which one is active, their settings, the 3D sketch and the
// entities made in it or outside it.
#include "HostTestSupport.h"

#include <cmath>
#include <functional>
#include <stdexcept>

using namespace cadhost;

namespace {

class DocumentTest : public HostFixture {};

LONG KindOf(IHostDocument* d) {
    LONG k = -1;
    EXPECT_EQ(d->Kind(&k), S_OK);
    return k;
}

TEST_F(DocumentTest, NewDocumentsBecomeActiveAndTestsCanSwitch) {
    IHostDocument* active = reinterpret_cast<IHostDocument*>(1);
    EXPECT_EQ(app->ActiveDocument(&active), S_OK);
    EXPECT_EQ(active, nullptr) << "no document at start";

    IHostPart* part = nullptr;
    IHostDocument* assembly = nullptr;
    IHostDocument* drawing = nullptr;
    ASSERT_EQ(app->NewPart(&part), S_OK);
    ASSERT_EQ(app->ActiveDocument(&active), S_OK);
    ASSERT_NE(active, nullptr);
    EXPECT_EQ(KindOf(active), HOST_KIND_PART);
    IUnknown* u1 = nullptr;
    IUnknown* u2 = nullptr;
    part->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&u1));
    active->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&u2));
    EXPECT_EQ(u1, u2) << "the active document is the new part";
    u1->Release();
    u2->Release();
    active->Release();

    ASSERT_EQ(app->NewAssembly(&assembly), S_OK);
    EXPECT_EQ(KindOf(assembly), HOST_KIND_ASSEMBLY);
    EXPECT_EQ(host.ActiveDocumentId(), 1);
    ASSERT_EQ(app->NewDrawing(11, 0, 11, 0, 0, 0, 0, &drawing), S_OK);
    EXPECT_EQ(KindOf(drawing), HOST_KIND_DRAWING);
    EXPECT_EQ(host.ActiveDocumentId(), 2);

    int odd = host.OpenDocument(7);
    EXPECT_EQ(host.ActiveDocumentId(), odd);
    ASSERT_EQ(app->ActiveDocument(&active), S_OK);
    EXPECT_EQ(KindOf(active), 7);
    active->Release();

    EXPECT_TRUE(host.ActivateDocument(0));
    ASSERT_EQ(app->ActiveDocument(&active), S_OK);
    EXPECT_EQ(KindOf(active), HOST_KIND_PART);
    active->Release();
    EXPECT_TRUE(host.ActivateDocument(-1));
    ASSERT_EQ(app->ActiveDocument(&active), S_OK);
    EXPECT_EQ(active, nullptr);
    EXPECT_FALSE(host.ActivateDocument(4));
    EXPECT_EQ(host.ActiveDocumentId(), -1);

    IHostPart* second = nullptr;
    ASSERT_EQ(app->NewPart(&second), S_OK);
    ASSERT_EQ(host.DocumentCount(), 5);
    const wchar_t* names[] = {L"Part1", L"Assem1", L"Draw1", L"Doc1", L"Part2"};
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(host.Document(i).name, names[i]) << "document " << i;
    second->Release();
    part->Release();
    assembly->Release();
    drawing->Release();
}

TEST_F(DocumentTest, AClosedDocumentLeavesTheHostWithItsBodies) {
    IHostDocument* first = NewPartDocument();
    IHostDocument* second = NewPartDocument();
    IHostPart* part = nullptr;
    second->QueryInterface(IID_IHostPart, reinterpret_cast<void**>(&part));
    IHostBody* body = nullptr;
    ASSERT_EQ(part->CreateBody(&body), S_OK);
    const double corners[9] = {0, 0, 0, 1, 0, 0, 0, 1, 0}, normal[3] = {0, 0, 1};
    ASSERT_EQ(body->AddPlanarFace(3, corners, normal), S_OK);
    part->Release();
    first->Release();

    // Nobody holds the first: it goes at once; the active one stays active.
    EXPECT_EQ(app->CloseDocument(L"Part1"), S_OK);
    EXPECT_FALSE(host.DocumentOpen(0));
    EXPECT_EQ(host.ActiveDocumentId(), 1);
    EXPECT_EQ(app->CloseDocument(L"Part1"), HOST_E_NOTFOUND) << "closed already";
    EXPECT_EQ(app->CloseDocument(nullptr), E_POINTER);
    host.RefuseCall(Op::HostCloseDocument, 1);
    EXPECT_EQ(app->CloseDocument(L"Part2"), HOST_E_REFUSED);
    EXPECT_TRUE(host.DocumentOpen(1));

    // Held handles outlive the document but act on nothing, and show.
    EXPECT_EQ(app->CloseDocument(L"Part2"), S_OK);
    EXPECT_EQ(host.OpenDocumentCount(), 0);
    EXPECT_EQ(host.ActiveDocumentId(), -1);
    EXPECT_EQ(host.DocumentCount(), 2) << "ids are not used again";
    EXPECT_THROW(host.Document(1), std::out_of_range);
    EXPECT_EQ(second->CloseOutA(), E_UNEXPECTED);
    EXPECT_EQ(body->AddPlanarFace(3, corners, normal), E_UNEXPECTED);
    EXPECT_EQ(host.Unreleased(),
              "application: 1\nclosed document 1 (Part2): 1\nbody handle 0: 1\n");
    second->Release();
    body->Release();
    EXPECT_EQ(host.Unreleased(), "application: 1\n") << "the fixture's";
    NewPartDocument()->Release();
    EXPECT_EQ(host.Document(2).name, L"Part3");
}

TEST_F(DocumentTest, UnitSwitchesAndCloseOutsAreRecorded) {
    IHostDocument* doc = NewPartDocument();
    const DocumentModel& m = host.Document(0);
    EXPECT_EQ(m.switchA, -1);
    EXPECT_EQ(m.switchB, -1);
    for (LONG unit = 0; unit <= 4; ++unit) {
        EXPECT_EQ(doc->SetLengthUnit(unit), S_OK);
        EXPECT_EQ(m.lengthUnit, unit);
    }
    EXPECT_EQ(doc->SetLengthUnit(5), E_INVALIDARG);
    EXPECT_EQ(doc->SetLengthUnit(-1), E_INVALIDARG);
    EXPECT_EQ(m.lengthUnit, 4) << "a refused unit leaves the old one";
    doc->CreationSwitchA(1);
    doc->CreationSwitchB(0);
    EXPECT_EQ(m.switchA, 1);
    EXPECT_EQ(m.switchB, 0);
    doc->CloseOutA();
    doc->CloseOutB();
    doc->CloseOutB();
    EXPECT_EQ(m.closeOuts[0], 1);
    EXPECT_EQ(m.closeOuts[1], 2);
    EXPECT_EQ(m.closeOuts[2], 0);
    doc->Release();
}

TEST_F(DocumentTest, SketchOpensClosesAndKeepsItsEntities) {
    IHostDocument* doc = NewPartDocument();
    const DocumentModel& m = host.Document(0);
    LONG e = -5;
    // Nothing open yet: the point is kept outside any sketch, not dropped.
    ASSERT_EQ(doc->CreatePoint(1, 2, 3, &e), S_OK);
    EXPECT_EQ(e, 0);
    ASSERT_EQ(doc->Toggle3DSketch(0), S_OK);
    EXPECT_TRUE(m.SketchOpen());
    doc->CreateLine(0, 0, 0, 1, 0, 0, &e);
    EXPECT_EQ(e, 1);
    doc->CreateCircle(0, 0, 0, 0.5, &e);
    ASSERT_EQ(doc->Toggle3DSketch(0), S_OK);
    EXPECT_FALSE(m.SketchOpen());
    doc->CreateLine(0, 0, 0, 0, 1, 0, &e);
    ASSERT_EQ(doc->Toggle3DSketch(0), S_OK);
    doc->CreateLine(0, 0, 0, 0, 0, 1, &e);
    EXPECT_EQ(e, 4);

    ASSERT_EQ(m.sketches.size(), 2u);
    EXPECT_FALSE(m.sketches[0].open);
    EXPECT_EQ(m.sketches[0].first, 1u);
    EXPECT_EQ(m.sketches[0].count, 2u);
    EXPECT_TRUE(m.sketches[1].open);
    EXPECT_EQ(m.sketches[1].count, 1u);
    EXPECT_EQ(m.Count(EntityKind::Line), 3u);
    EXPECT_EQ(m.Count(EntityKind::Line, 0), 1u);
    EXPECT_EQ(m.Count(EntityKind::Line, -1), 1u);
    EXPECT_EQ(m.Count(EntityKind::Point, -1), 1u);
    EXPECT_EQ(m.Count(EntityKind::Circle, 0), 1u);
    doc->Release();
}

TEST_F(DocumentTest, AssemblyHasSketchesDrawingTakesEntitiesDirectly) {
    IHostDocument* assembly = nullptr;
    IHostDocument* drawing = nullptr;
    app->NewAssembly(&assembly);
    EXPECT_EQ(assembly->Toggle3DSketch(0), S_OK);
    assembly->CreatePoint(0, 0, 0, nullptr);
    EXPECT_EQ(host.Document(0).Count(EntityKind::Point, 0), 1u);

    app->NewDrawing(11, 0, 11, 0, 0, 0, 0, &drawing);
    EXPECT_EQ(drawing->Toggle3DSketch(0), HOST_E_STATE);
    LONG e = -1;
    EXPECT_EQ(drawing->CreateLine(0, 0, 5, 1, 1, 5, &e), S_OK);
    EXPECT_EQ(e, 0);
    const DocumentModel& d = host.Document(1);
    EXPECT_TRUE(d.sketches.empty());
    EXPECT_EQ(d.Count(EntityKind::Line, -1), 1u);
    assembly->Release();
    drawing->Release();
}

TEST_F(DocumentTest, EntitiesKeepTheirNumbersExactly) {
    IHostDocument* doc = NewPartDocument();
    doc->Toggle3DSketch(0);
    const double third = 1.0 / 3.0, tiny = 1e-300;
    doc->CreatePoint(third, -tiny, 0.1, nullptr);
    doc->CreateLine(0.1, 0.2, 0.3, 0.1 + 0.2, 4, 5, nullptr);
    doc->CreateCircle(1, 2, 3, 0.01, nullptr);
    doc->CreateArc(0, 0, 0, 2, 0, 0, 0, 2, 0, -1, nullptr);
    const double pts[9] = {0, 0, 0, 1, third, 0, 2, 0, tiny};
    doc->CreateSplineThroughPoints(3, pts, nullptr);
    const LONG props[4] = {3, 4, 5, 0};
    const double knots[9] = {0, 0, 0, 0, 0.5, 1, 1, 1, 1};
    const double cvs[15] = {0, 0, 0, 1, 1, 0, 2, -1, 0, 3, 1, 0, 4, 0, third};
    ASSERT_EQ(doc->CreateSplineFromNurbs(props, knots, cvs, nullptr), S_OK);

    const DocumentModel& m = host.Document(0);
    ASSERT_EQ(m.entities.size(), 6u);
    for (int k = 0; k < kEntityKindCount; ++k)
        EXPECT_EQ(m.Count(static_cast<EntityKind>(k)), 1u) << EntityKindName(EntityKind(k));
    const Blocks<Entity>& e = m.entities;
    EXPECT_EQ(m.At(e[0], 0).x, third);
    EXPECT_EQ(m.At(e[0], 0).y, -tiny);
    EXPECT_EQ(m.At(e[1], 1).x, 0.1 + 0.2);
    EXPECT_EQ(m.At(e[1], 1).z, 5);
    EXPECT_EQ(m.Radius(e[2]), 0.01);
    EXPECT_EQ(m.At(e[3], 2).y, 2);
    EXPECT_EQ(e[3].direction, -1);
    EXPECT_EQ(m.Radius(e[3]), 2);
    EXPECT_EQ(e[4].count, 3);
    EXPECT_EQ(m.At(e[4], 2).z, tiny);
    EXPECT_EQ(e[5].order, 4);
    EXPECT_EQ(e[5].count, 5);
    EXPECT_EQ(e[5].periodic, 0);
    for (int i = 0; i < 9; ++i)
        EXPECT_EQ(m.Knots(e[5])[i], knots[i]);
    EXPECT_EQ(m.At(e[5], 4).z, third);
    EXPECT_EQ(m.At(e[5], 2).y, -1);
    doc->Release();
}

TEST(Blocks, KeepEveryElementAcrossTheGrowingFirstBlockAndTheFixedOnes) {
    for (size_t n : {size_t(0), size_t(1), size_t(5), Blocks<int>::kPerBlock,
                     2 * Blocks<int>::kPerBlock + 3}) {
        Blocks<int> b;
        for (size_t i = 0; i < n; i++)
            b.push_back(int(i));
        Blocks<int> moved;
        moved.swap(b);
        ASSERT_EQ(moved.size(), n);
        size_t i = 0;
        for (int v : moved)
            ASSERT_EQ(v, int(i++)) << n;
        moved.clear();
        moved.push_back(7);
        EXPECT_EQ(moved[0], 7);
    }
}

struct BadEntity {
    const char* what;
    std::function<HRESULT(IHostDocument*, LONG*)> call;
    HRESULT status;
};

TEST_F(DocumentTest, MalformedEntitiesAreRefusedAndLeaveNothing) {
    const double nan = std::nan(""), inf = HUGE_VAL;
    const double two[6] = {0, 0, 0, 1, 1, 1};
    const LONG cubic[4] = {3, 4, 5, 0};
    const double knots[9] = {0, 0, 0, 0, 0.5, 1, 1, 1, 1};
    const double flat[9] = {1, 1, 1, 1, 1, 1, 1, 1, 1};
    const double down[9] = {0, 0, 0, 0, 1, 0.5, 1, 1, 1};
    const double cvs[15] = {};
    const LONG order1[4] = {3, 1, 5, 0};
    const LONG twoD[4] = {2, 4, 5, 0};
    const LONG few[4] = {3, 4, 3, 0};
    const LONG periodic2[4] = {3, 4, 5, 2};
    const std::vector<BadEntity> cases = {
        {"point at NaN", [&](IHostDocument* d, LONG* e) { return d->CreatePoint(nan, 0, 0, e); },
         E_INVALIDARG},
        {"line to infinity",
         [&](IHostDocument* d, LONG* e) { return d->CreateLine(0, 0, 0, inf, 0, 0, e); },
         E_INVALIDARG},
        {"zero-length line",
         [](IHostDocument* d, LONG* e) { return d->CreateLine(1, 2, 3, 1, 2, 3, e); },
         HOST_E_DEGENERATE},
        {"circle of radius 0",
         [](IHostDocument* d, LONG* e) { return d->CreateCircle(0, 0, 0, 0, e); },
         HOST_E_DEGENERATE},
        {"circle of negative radius",
         [](IHostDocument* d, LONG* e) { return d->CreateCircle(0, 0, 0, -1, e); },
         HOST_E_DEGENERATE},
        {"arc direction 0",
         [](IHostDocument* d, LONG* e) { return d->CreateArc(0, 0, 0, 1, 0, 0, 0, 1, 0, 0, e); },
         E_INVALIDARG},
        {"arc end off its circle",
         [](IHostDocument* d, LONG* e) { return d->CreateArc(0, 0, 0, 1, 0, 0, 0, 2, 0, 1, e); },
         E_INVALIDARG},
        {"arc start on its centre",
         [](IHostDocument* d, LONG* e) { return d->CreateArc(0, 0, 0, 0, 0, 0, 0, 0, 0, 1, e); },
         HOST_E_DEGENERATE},
        {"spline through one point",
         [&](IHostDocument* d, LONG* e) { return d->CreateSplineThroughPoints(1, two, e); },
         E_INVALIDARG},
        {"spline through a negative count",
         [&](IHostDocument* d, LONG* e) { return d->CreateSplineThroughPoints(-3, two, e); },
         E_INVALIDARG},
        {"spline through no array",
         [](IHostDocument* d, LONG* e) { return d->CreateSplineThroughPoints(2, nullptr, e); },
         E_POINTER},
        {"NURBS of order 1",
         [&](IHostDocument* d, LONG* e) { return d->CreateSplineFromNurbs(order1, knots, cvs, e); },
         E_INVALIDARG},
        {"NURBS of dimension 2",
         [&](IHostDocument* d, LONG* e) { return d->CreateSplineFromNurbs(twoD, knots, cvs, e); },
         E_INVALIDARG},
        {"NURBS with fewer points than its order",
         [&](IHostDocument* d, LONG* e) { return d->CreateSplineFromNurbs(few, knots, cvs, e); },
         E_INVALIDARG},
        {"NURBS periodic flag 2",
         [&](IHostDocument* d, LONG* e) {
             return d->CreateSplineFromNurbs(periodic2, knots, cvs, e);
         },
         E_INVALIDARG},
        {"NURBS knots going down",
         [&](IHostDocument* d, LONG* e) { return d->CreateSplineFromNurbs(cubic, down, cvs, e); },
         E_INVALIDARG},
        {"NURBS with an empty domain",
         [&](IHostDocument* d, LONG* e) { return d->CreateSplineFromNurbs(cubic, flat, cvs, e); },
         HOST_E_DEGENERATE},
        {"NURBS without properties",
         [&](IHostDocument* d, LONG* e) {
             return d->CreateSplineFromNurbs(nullptr, knots, cvs, e);
         },
         E_POINTER},
        {"NURBS without control points",
         [&](IHostDocument* d, LONG* e) {
             return d->CreateSplineFromNurbs(cubic, knots, nullptr, e);
         },
         E_POINTER},
    };
    IHostDocument* doc = NewPartDocument();
    doc->Toggle3DSketch(0);
    for (const BadEntity& c : cases) {
        LONG e = 99;
        EXPECT_EQ(c.call(doc, &e), c.status) << c.what;
        EXPECT_EQ(e, -1) << c.what;
    }
    EXPECT_TRUE(host.Document(0).entities.empty());
    EXPECT_EQ(host.Document(0).values.size(), 0u);
    doc->Release();
}

TEST_F(DocumentTest, RevisionTextAndBuildCodeAreSettable) {
    BSTR text = nullptr;
    ASSERT_EQ(app->RevisionText(&text), S_OK);
    EXPECT_EQ(Bstr(text), L"16.0.0");
    host.SetRevisionText(L"1.0");
    host.SetBuildCode(1998083);
    ASSERT_EQ(app->RevisionText(&text), S_OK);
    EXPECT_EQ(Bstr(text), L"1.0");
    LONG code = 0;
    ASSERT_EQ(app->BuildCode(&code), S_OK);
    EXPECT_EQ(code, 1998083);
    host.SetRevisionText(L"");
    ASSERT_EQ(app->RevisionText(&text), S_OK);
    EXPECT_EQ(Bstr(text), L"");
}

} // namespace
