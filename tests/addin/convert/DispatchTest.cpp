// ConvertCurves and ConvertMeshes: documents, their preparation, the order of
// the stages, the unit factor, failures, and the release of every handle.
#include "ConvertTestSupport.h"

#include <cmath>
#include <cstring>

using namespace converttest;
using cadhost::EntityKind;
using cadhost::Op;
using Lines = std::vector<std::string>;

namespace {

ON_3dPointArray OnePoint() {
    ON_3dPointArray points;
    points.Append(ON_3dPoint(1, 2, 3));
    return points;
}

std::string Bits(double d) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.17g", d);
    return buf;
}

} // namespace

TEST(UnitFactorTest, ByUnitIndex) {
    const struct {
        int index;
        double factor;
    } cases[] = {{0, 0.001}, {1, 0.01}, {2, 1.0}, {3, 0.0254}, {4, 0.30479999999999996},
                 {-1, 1.0},  {5, 1.0},  {99, 1.0}};
    for (const auto& c : cases)
        EXPECT_EQ(std::memcmp(&c.factor, &(const double&)UnitFactor(c.index), sizeof(double)), 0)
            << "unit " << c.index << ": " << Bits(UnitFactor(c.index)) << ", expected "
            << Bits(c.factor);
    // Twelve inches, one unit in the last place below the double nearest 0.3048.
    EXPECT_NE(UnitFactor(4), 0.3048);
    EXPECT_EQ(UnitFactor(4), 12 * 0.0254);
}

using DispatchTest = ConvertTest;

TEST_F(DispatchTest, UnitSetsTheDocumentUnitAndScalesCoordinates) {
    const struct {
        int unit;
        const char* calls; // DocSetLengthUnit and DocCreatePoint as journalled
    } cases[] = {
        {0, "DocSetLengthUnit(0) DocCreatePoint(0.001, 0.002, 0.003)"},
        {1, "DocSetLengthUnit(1) DocCreatePoint(0.01, 0.02, 0.03)"},
        {2, "DocSetLengthUnit(2) DocCreatePoint(1, 2, 3)"},
        {3, "DocSetLengthUnit(3) DocCreatePoint(0.0254, 0.0508, 0.07619999999999999)"},
        {4, "DocSetLengthUnit(4) DocCreatePoint(0.30479999999999996, 0.6095999999999999, "
            "0.9143999999999999)"},
        {-1, "DocCreatePoint(1, 2, 3)"},
        {7, "DocCreatePoint(1, 2, 3)"},
    };
    const ON_3dPointArray points = OnePoint();
    for (const auto& c : cases) {
        host.ClearJournal();
        ASSERT_EQ(ConvertCurves(app, 0, c.unit, &points, nullptr, nullptr, nullptr, nullptr, 0), 1);
        std::string got;
        for (const auto& e : host.Journal())
            if (e.op == Op::DocSetLengthUnit || e.op == Op::DocCreatePoint) {
                std::string s = e.ToString();
                s.erase(s.find('['), s.find(']') - s.find('[') + 1);
                s.erase(s.rfind(" = "));
                got += (got.empty() ? "" : " ") + s;
            }
        EXPECT_EQ(got, c.calls) << "unit index " << c.unit;
    }
}

TEST_F(DispatchTest, PartModeRunsEveryStageInOrderInsideOneSketch) {
    // One item per collection, each making one recognisable entity.
    ON_3dPointArray points = OnePoint();
    ON_ClassArray<ON_NurbsCurve> curves;
    curves.Append(NurbsLine({0, 0, 0}, {1, 0, 0}));
    ON_ClassArray<ON_NurbsSurface> surfaces; // empty: its stage makes nothing
    ON_ClassArray<ON_Brep> breps;
    ON_Brep& brep = breps.AppendNew();
    const int c = brep.AddEdgeCurve(new ON_NurbsCurve(NurbsLine({0, 0, 1}, {0, 0, 2})));
    brep.NewEdge(brep.NewVertex({0, 0, 1}).m_vertex_index, brep.NewVertex({0, 0, 2}).m_vertex_index,
                 c);
    ON_ClassArray<ON_Mesh> meshes;
    meshes.Append(MeshOf({{0, 0, 0}, {0, 3, 0}, {3, 0, 0}}, {{0, 1, 2}}));

    ASSERT_EQ(ConvertCurves(app, 0, 2, &points, &curves, &surfaces, &breps, &meshes, 0), 1);
    const Lines expected = {
        "HostNewPart() = 0",
        "HostActiveDocument() = 0",
        "DocCreationSwitchA[doc 0](1) = 0",
        "DocSetLengthUnit[doc 0](2) = 0",
        "DocToggle3DSketch[doc 0](0) = 0",
        "DocCreationSwitchB[doc 0](0) = 0",
        "DocCreatePoint[doc 0](1, 2, 3) = 0",
        "DocCreateLine[doc 0](0, 0, 0, 1, 0, 0) = 0",
        "DocCreateLine[doc 0](0, 0, 1, 0, 0, 2) = 0",
        // The mesh's three edges, in the topology's order.
        "DocCreateLine[doc 0](0, 0, 0, 0, 3, 0) = 0",
        "DocCreateLine[doc 0](0, 0, 0, 3, 0, 0) = 0",
        "DocCreateLine[doc 0](0, 3, 0, 3, 0, 0) = 0",
        "DocCloseOutA[doc 0]() = 0",
        "DocCloseOutB[doc 0]() = 0",
        "DocToggle3DSketch[doc 0](0) = 0",
    };
    EXPECT_EQ(Calls(), expected) << Journal();
    const cadhost::DocumentModel& doc = host.Document(0);
    EXPECT_EQ(doc.kind, HOST_KIND_PART);
    ASSERT_EQ(doc.sketches.size(), 1u);
    EXPECT_FALSE(doc.sketches[0].open);
    EXPECT_EQ(doc.sketches[0].count, 6u);
    EXPECT_EQ(doc.switchA, 1);
    EXPECT_EQ(doc.switchB, 0); // the switches are not set back
}

TEST_F(DispatchTest, CurveModesChooseTheDocumentAndTheSketch) {
    const struct {
        int mode;
        const char* create; // first call
        long kind;
        unsigned toggles;
    } cases[] = {
        {0, "HostNewPart() = 0", HOST_KIND_PART, 2},
        {1, "HostNewAssembly() = 0", HOST_KIND_ASSEMBLY, 2},
        {2, "HostNewDrawing(11, 0, 11, 0, 0, 0, 0) = 0", HOST_KIND_DRAWING, 0},
    };
    const ON_3dPointArray points = OnePoint();
    for (const auto& c : cases) {
        cadhost::Host h;
        IDispatch* a = h.Application();
        ASSERT_EQ(ConvertCurves(a, c.mode, 0, &points, nullptr, nullptr, nullptr, nullptr, 0), 1);
        EXPECT_EQ(h.Journal().at(0).ToString(), c.create) << "mode " << c.mode;
        EXPECT_EQ(h.Journal(Op::DocToggle3DSketch).size(), c.toggles) << "mode " << c.mode;
        ASSERT_EQ(h.DocumentCount(), 1);
        const cadhost::DocumentModel& doc = h.Document(0);
        EXPECT_EQ(doc.kind, c.kind);
        EXPECT_EQ(doc.closeOuts[0], 1);
        EXPECT_EQ(doc.closeOuts[1], 1);
        EXPECT_EQ(doc.closeOuts[2], 0);
        // A drawing gets its entities outside any sketch.
        EXPECT_EQ(doc.Count(EntityKind::Point, c.mode == 2 ? -1 : 0), 1u) << "mode " << c.mode;
        a->Release();
        EXPECT_EQ(h.OutstandingRefs(), 0) << h.Unreleased();
    }
}

TEST_F(DispatchTest, NoCurveModeAddsToTheOpenPartWithoutASketch) {
    HostDocHandle mine = OpenPart();
    const ON_3dPointArray points = OnePoint();
    ASSERT_EQ(ConvertCurves(app, -1, 0, &points, nullptr, nullptr, nullptr, nullptr, 0), 1);
    const Lines expected = {
        "HostActiveDocument() = 0",
        "DocCreationSwitchA[doc 0](1) = 0",
        "DocSetLengthUnit[doc 0](0) = 0",
        "DocCreationSwitchB[doc 0](0) = 0",
        "DocCreatePoint[doc 0](0.001, 0.002, 0.003) = 0",
        "DocCloseOutA[doc 0]() = 0",
        "DocCloseOutB[doc 0]() = 0",
    };
    EXPECT_EQ(Calls(), expected) << Journal();
    EXPECT_EQ(host.DocumentCount(), 1);
    EXPECT_TRUE(host.Document(0).sketches.empty());
    EXPECT_EQ(host.Document(0).Count(EntityKind::Point, -1), 1u);
    HostRelease(mine);
}

TEST_F(DispatchTest, NoDocumentForTheCurvesFailsWithAText) {
    const ON_3dPointArray points = OnePoint();
    SetLastConversionError(L"");
    EXPECT_EQ(ConvertCurves(app, -1, 0, &points, nullptr, nullptr, nullptr, nullptr, 1), 0);
    EXPECT_EQ(Calls(), Lines{"HostActiveDocument() = 0"});
    EXPECT_STREQ(GetLastConversionError(), L"No document is open to receive the curves.");

    // A refused new document: nothing goes into the part that happens to be open.
    HostDocHandle mine = OpenPart();
    for (Op op : {Op::HostNewPart, Op::HostNewAssembly, Op::HostNewDrawing}) {
        host.RefuseAll(op);
        SetLastConversionError(L"");
        const int mode = op == Op::HostNewPart ? 0 : op == Op::HostNewAssembly ? 1 : 2;
        EXPECT_EQ(ConvertCurves(app, mode, 0, &points, nullptr, nullptr, nullptr, nullptr, 1), 0);
        EXPECT_STREQ(GetLastConversionError(), L"Unable to create a new document for the curves.");
    }
    EXPECT_EQ(host.DocumentCount(), 1);
    EXPECT_EQ(host.Calls(Op::DocCreationSwitchA), 0u);
    EXPECT_EQ(host.Calls(Op::DocCreatePoint), 0u);
    HostRelease(mine);
}

TEST_F(DispatchTest, MeshModesInOnePartPerMesh) {
    ON_ClassArray<ON_Mesh> meshes;
    meshes.Append(MeshOf({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}, {{0, 1, 2}}));
    const Lines prepare = {
        "HostNewPart() = 0",
        "HostActiveDocument() = 0",
        "DocCreationSwitchA[doc 0](1) = 0",
        "DocCreationSwitchB[doc 0](0) = 0",
        "DocSetLengthUnit[doc 0](2) = 0",
    };
    const struct {
        int mode;
        Lines then;
    } cases[] = {
        {0,
         {"PartCreateBody[doc 0]() = 0",
          "BodyAddPlanarFace[body 0](3, [0, 0, 0, 1, 0, 0, 0, 1, 0], [-0, 0, 1]) = 0",
          "BodyCreateFromFaces[body 0]() = 0", "DocCloseOutA[doc 0]() = 0",
          "DocCloseOutC[doc 0]() = 0"}},
        {1,
         {"DocToggle3DSketch[doc 0](0) = 0", "DocCreateLine[doc 0](0, 0, 0, 1, 0, 0) = 0",
          "DocCreateLine[doc 0](0, 0, 0, 0, 1, 0) = 0",
          "DocCreateLine[doc 0](1, 0, 0, 0, 1, 0) = 0", "DocCloseOutB[doc 0]() = 0",
          "DocToggle3DSketch[doc 0](0) = 0", "DocCloseOutA[doc 0]() = 0",
          "DocCloseOutC[doc 0]() = 0"}},
        // No mode: the part is made and prepared, nothing converted, success.
        {-1, {"DocCloseOutA[doc 0]() = 0", "DocCloseOutC[doc 0]() = 0"}},
    };
    for (const auto& c : cases) {
        cadhost::Host h;
        IDispatch* a = h.Application();
        EXPECT_EQ(ConvertMeshes(a, meshes, 2, c.mode, 0, 0), 1) << "mesh mode " << c.mode;
        Lines expected = prepare;
        expected.insert(expected.end(), c.then.begin(), c.then.end());
        Lines got;
        for (const auto& e : h.Journal())
            got.push_back(e.ToString());
        EXPECT_EQ(got, expected) << "mesh mode " << c.mode << "\n" << h.JournalText();
        a->Release();
        EXPECT_EQ(h.OutstandingRefs(), 0) << h.Unreleased();
    }
}

namespace {

// Three closed tetrahedra, the second with a non-planar quad in its place of
// a face pair, so that its working copy differs from the file's mesh.
ON_ClassArray<ON_Mesh> ThreeMeshes() {
    ON_ClassArray<ON_Mesh> meshes;
    for (int k = 0; k < 3; k++) {
        const double x = 10.0 * k;
        meshes.Append(MeshOf({{x, 0, 0}, {x + 1, 0, 0}, {x, 1, 0}, {x, 0, 1}},
                             {{0, 2, 1}, {0, 1, 3}, {1, 2, 3}, {0, 3, 2}}));
    }
    return meshes;
}

bool SameMesh(const ON_Mesh& a, const ON_Mesh& b) {
    if (a.VertexCount() != b.VertexCount() || a.FaceCount() != b.FaceCount()) return false;
    for (int i = 0; i < a.VertexCount(); i++)
        if (a.m_V[i].x != b.m_V[i].x || a.m_V[i].y != b.m_V[i].y || a.m_V[i].z != b.m_V[i].z)
            return false;
    for (int i = 0; i < a.FaceCount(); i++)
        if (std::memcmp(a.m_F[i].vi, b.m_F[i].vi, sizeof a.m_F[i].vi) != 0) return false;
    return true;
}

} // namespace

TEST_F(DispatchTest, AFailedMeshEndsNothingAndTheMessageNamesIt) {
    const ON_ClassArray<ON_Mesh> meshes = ThreeMeshes();
    for (int multibody : {0, 1}) {
        cadhost::Host h;
        IDispatch* a = h.Application();
        h.RefuseCall(Op::BodyCreateFromFaces, 2);
        SetLastConversionError(L"");
        EXPECT_EQ(ConvertMeshes(a, meshes, 0, 0, multibody, 0), 0) << multibody;
        EXPECT_STREQ(GetLastConversionError(), L"Unable to create body from surfaces. 1 of 3 "
                                               L"meshes could not be made into a body: 2.");
        // The third mesh is still converted; the failed one's part stays,
        // prepared and closed out.
        EXPECT_EQ(h.Calls(Op::PartCreateBody), 3u) << multibody;
        std::vector<size_t> bodies;
        for (int d = 0; d < h.DocumentCount(); d++) {
            bodies.push_back(h.Document(d).bodies.size());
            EXPECT_EQ(h.Document(d).closeOuts[0], 1);
            EXPECT_EQ(h.Document(d).closeOuts[2], 1);
        }
        const std::vector<size_t> expected =
            multibody ? std::vector<size_t>{2} : std::vector<size_t>{1, 0, 1};
        EXPECT_EQ(bodies, expected);
        a->Release();
        EXPECT_EQ(h.OutstandingRefs(), 0) << h.Unreleased();
    }

    // Many failures: the first twenty positions, then how many more.
    ON_ClassArray<ON_Mesh> many;
    for (int i = 0; i < 25; i++)
        many.Append(MeshOf({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}, {}));
    EXPECT_EQ(ConvertMeshes(app, many, 0, 0, 1, 0), 0);
    EXPECT_STREQ(GetLastConversionError(),
                 L"Unable to create body from surfaces. 25 of 25 meshes could not be made into "
                 L"bodies: 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20 "
                 L"and 5 more.");
}

TEST_F(DispatchTest, MultibodyOneBuildsEveryBodyInOnePartFromCopies) {
    ON_ClassArray<ON_Mesh> meshes = ThreeMeshes();
    // The middle mesh gets a non-planar quad: its copy is split, it is not.
    meshes[1] = MeshOf({{0, 0, 0}, {1, 0, 0}, {1, 1, 0.5}, {0, 1, 0}}, {{0, 1, 2, 3}});
    const ON_ClassArray<ON_Mesh> before = meshes;
    ResetConversionCounts();
    EXPECT_EQ(ConvertMeshes(app, meshes, 1, 0, 1, 0), 1);
    EXPECT_EQ(GetConversionCounts().quadsSplit, 1);
    ASSERT_EQ(host.DocumentCount(), 1);
    const cadhost::DocumentModel& doc = host.Document(0);
    ASSERT_EQ(doc.bodies.size(), 3u);
    EXPECT_EQ(doc.bodies[0].faces.size(), 4u);
    EXPECT_EQ(doc.bodies[1].faces.size(), 2u); // the quad as two triangles
    EXPECT_EQ(doc.bodies[1].faces[0].count, 3);
    EXPECT_EQ(doc.bodies[2].faces.size(), 4u);
    EXPECT_EQ(doc.bodies[0].faces[0].Corner(1).y, 0.01); // centimetres
    EXPECT_EQ(host.Calls(Op::HostNewPart), 1u);
    EXPECT_EQ(host.Calls(Op::DocToggle3DSketch), 0u);
    for (int i = 0; i < 3; i++)
        EXPECT_TRUE(SameMesh(meshes[i], before[i])) << "the file's mesh " << i << " changed";
}

TEST_F(DispatchTest, MultibodyOneSketchHoldsTheLinesOfAllMeshes) {
    const ON_ClassArray<ON_Mesh> meshes = ThreeMeshes();
    EXPECT_EQ(ConvertMeshes(app, meshes, 2, 1, 1, 0), 1);
    ASSERT_EQ(host.DocumentCount(), 1);
    const cadhost::DocumentModel& doc = host.Document(0);
    ASSERT_EQ(doc.sketches.size(), 1u);
    EXPECT_EQ(doc.Count(EntityKind::Line, 0), 18u); // 6 edges each
    EXPECT_EQ(host.Calls(Op::DocToggle3DSketch), 2u);
    EXPECT_EQ(doc.closeOuts[0], 1);
    EXPECT_EQ(doc.closeOuts[1], 1);
    EXPECT_EQ(doc.closeOuts[2], 1);
}

TEST_F(DispatchTest, NoPartOrDocumentForTheMeshesFailsWithAText) {
    const ON_ClassArray<ON_Mesh> meshes = ThreeMeshes();
    for (int multibody : {0, 1}) {
        // With a part per mesh, each mesh fails on its own.
        const std::wstring each =
            multibody ? L"" : L" 3 of 3 meshes could not be made into bodies: 1, 2, 3.";
        host.RefuseAll(Op::HostNewPart);
        SetLastConversionError(L"");
        EXPECT_EQ(ConvertMeshes(app, meshes, 0, 0, multibody, 1), 0);
        EXPECT_EQ(std::wstring(GetLastConversionError()),
                  L"Unable to create a new part document for the meshes." + each);
        host.AcceptAll();
        host.RefuseAll(Op::HostActiveDocument);
        SetLastConversionError(L"");
        EXPECT_EQ(ConvertMeshes(app, meshes, 0, 1, multibody, 1), 0);
        EXPECT_EQ(std::wstring(GetLastConversionError()),
                  L"No document is open to receive the meshes." + each);
        host.AcceptAll();
    }
    EXPECT_EQ(host.Calls(Op::PartCreateBody), 0u);
    EXPECT_EQ(host.Calls(Op::DocCreateLine), 0u);
    EXPECT_EQ(host.Calls(Op::DocCreationSwitchA), 0u);
}

TEST(Units, TheNearestOfTheFiveUnitsWithinTheFilesSystem) {
    const struct {
        const char* name;
        double meters;
        UnitSystemFamily family;
        int nearest;
    } cases[] = {
        {"microns", 1e-6, kMetric, 0},
        {"decimetres: a tie, the smaller", 0.1, kMetric, 1},
        {"decimetres among all five", 0.1, kAnySystem, 4},
        {"kilometres", 1000, kMetric, 2},
        {"mils", 2.54e-5, kImperial, 3},
        {"yards", 0.9144, kImperial, 4},
        {"yards among all five", 0.9144, kAnySystem, 2},
        {"parsecs", 3.08567758e16, kAnySystem, 2},
        {"custom 0.25 m", 0.25, kAnySystem, 4},
        {"millimetres themselves", 0.001, kAnySystem, 0},
        {"zero", 0.0, kAnySystem, -1},
        {"not a number", std::nan(""), kMetric, -1},
    };
    for (const auto& c : cases)
        EXPECT_EQ(NearestUnitIndex(c.meters, c.family), c.nearest) << c.name;
    const ConvertUnits yards = ExactUnits(0.9144, kImperial);
    EXPECT_EQ(yards.factor, 0.9144);
    EXPECT_EQ(yards.documentUnit, 4);
    EXPECT_EQ(UnitsOfIndex(4).factor, 12 * 0.0254);
    EXPECT_EQ(UnitsOfIndex(-1).documentUnit, -1);
}
