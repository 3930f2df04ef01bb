// MeshToSolidBody, MeshToSketchLines and ConvertMeshLines: faces, normals,
// lines along the edges, failures.
#include "ConvertTestSupport.h"

#include <cmath>

using namespace converttest;
using cadhost::EntityKind;
using cadhost::Op;
using Lines = std::vector<std::string>;

namespace {

class MeshStagesTest : public ConvertTest {
protected:
    void SetUp() override {
        ConvertTest::SetUp();
        HostNewPart(app, &part);
        HostActiveDocument(app, &doc);
        host.ClearJournal();
    }
    void TearDown() override {
        HostRelease(doc);
        HostRelease(part);
        ConvertTest::TearDown();
    }

    HostPartHandle part = nullptr;
    HostDocHandle doc = nullptr;
};

} // namespace

TEST_F(MeshStagesTest, TwoTrianglesGiveTwoFacesOrFiveLines) {
    const ON_Mesh mesh = TwoTriangles();
    EXPECT_EQ(MeshToSolidBody(part, mesh, 1.0, 0), 1);
    EXPECT_EQ(Calls(),
              (Lines{
                  "PartCreateBody[doc 0]() = 0",
                  "BodyAddPlanarFace[body 0](3, [0, 0, 0, 1, 0, 0, 0, 1, 0], [-0, 0, 1]) = 0",
                  "BodyAddPlanarFace[body 0](3, [1, 0, 0, 1, 1, 0, 0, 1, 0], [-0, 0, 1]) = 0",
                  "BodyCreateFromFaces[body 0]() = 0",
              }))
        << Journal();
    ASSERT_EQ(host.Document(0).bodies.size(), 1u);
    EXPECT_FALSE(host.Document(0).bodies[0].solid); // an open sheet

    host.ClearJournal();
    EXPECT_EQ(MeshToSketchLines(doc, mesh, 2.0, 0), 1);
    EXPECT_EQ(Calls(), (Lines{
                           "DocCreateLine[doc 0](0, 0, 0, 2, 0, 0) = 0",
                           "DocCreateLine[doc 0](0, 0, 0, 0, 2, 0) = 0",
                           "DocCreateLine[doc 0](2, 0, 0, 0, 2, 0) = 0",
                           "DocCreateLine[doc 0](2, 0, 0, 2, 2, 0) = 0",
                           "DocCreateLine[doc 0](0, 2, 0, 2, 2, 0) = 0",
                       }))
        << Journal();
}

TEST_F(MeshStagesTest, FacesCarryTheirCornersAndTheNormalOfTheirWinding) {
    const struct {
        const char* name;
        std::vector<ON_3dPoint> corners;
        int count;
        double normal[3];
    } cases[] = {
        // A non-planar quad: the normal of its first three corners only.
        {"quad", {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0.5}}, 4, {0, 0, 1}},
        {"tilted triangle",
         {{0, 0, 0}, {1, 0, 1}, {1, 1, 1}},
         3,
         {-std::sqrt(0.5), 0, std::sqrt(0.5)}},
        // Concave, its reflex corner second: the first three corners turn
        // clockwise, the face counter-clockwise.
        {"concave quad", {{0, 0, 0}, {1, 0.25, 0}, {2, 0, 0}, {1, 2, 0}}, 4, {0, 0, 1}},
        {"concave quad, reflex corner last", {{2, 0, 0}, {1, 2, 0}, {0, 0, 0}, {1, 0.25, 0}}, 4,
         {0, 0, 1}},
        // Three corners in a line: the first three give no direction.
        {"quad with a corner on a side", {{0, 0, 0}, {1, 0, 0}, {2, 0, 0}, {1, 1, 0}}, 4, {0, 0, 1}},
        {"clockwise convex quad", {{0, 0, 0}, {0, 1, 0}, {1, 1, 0}, {1, 0, 0}}, 4, {0, 0, -1}},
    };
    for (const auto& c : cases) {
        std::vector<int> face;
        for (int i = 0; i < c.count; i++)
            face.push_back(i);
        host.ClearJournal();
        MeshToSolidBody(part, MeshOf(c.corners, {face}), 0.01, 0);
        const auto faces = host.Journal(Op::BodyAddPlanarFace);
        ASSERT_EQ(faces.size(), 1u) << c.name;
        EXPECT_EQ(faces[0].args.at(0).integer, c.count) << c.name;
        const auto& corners = faces[0].args.at(1).doubles;
        ASSERT_EQ(corners.size(), size_t(3 * c.count)) << c.name;
        for (int i = 0; i < c.count; i++) {
            // Corners: the float vertex widened, then scaled.
            const ON_3fPoint v(c.corners[i]);
            EXPECT_EQ(corners[3 * i], double(v.x) * 0.01) << c.name;
            EXPECT_EQ(corners[3 * i + 1], double(v.y) * 0.01) << c.name;
            EXPECT_EQ(corners[3 * i + 2], double(v.z) * 0.01) << c.name;
        }
        const auto& n = faces[0].args.at(2).doubles;
        ASSERT_EQ(n.size(), 3u);
        for (int k = 0; k < 3; k++)
            EXPECT_NEAR(n[k], c.normal[k], 1e-15) << c.name << ", normal " << k;
    }
}

namespace {

// Three triangles on the edge (0, 0, 0)-(1, 0, 0): the host will not sew them.
ON_Mesh Fan() {
    return MeshOf({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {0, -1, 0}, {0, 0, 1}},
                  {{0, 1, 2}, {1, 0, 3}, {0, 1, 4}});
}

} // namespace

TEST_F(MeshStagesTest, ARefusedMeshGoesAgainAsShellsAndFailuresCountTheirFaces) {
    // refuse: the n-th BodyCreateFromFaces (0: none, -1: all), the first
    // being the whole mesh's.
    const struct {
        const char* name;
        ON_Mesh mesh;
        int refuse;
        int result, bodies, facesInNoBody;
    } cases[] = {
        {"three sheets, once refused whole", Fan(), 0, 1, 3, 0},
        {"no faces", MeshOf({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}, {}), 0, 0, 0, 0},
        // Refused whole and nothing to split: not sent again.
        {"refused sound mesh", TwoTriangles(), 1, 0, 0, 2},
        {"every shell refused", Fan(), -1, 0, 0, 3},
        {"one shell refused", Fan(), 3, 0, 2, 1},
    };
    for (const auto& c : cases) {
        cadhost::Host h;
        IDispatch* a = h.Application();
        HostPartHandle p = nullptr;
        HostNewPart(a, &p);
        if (c.refuse > 0) h.RefuseCall(Op::BodyCreateFromFaces, unsigned(c.refuse));
        if (c.refuse < 0) h.RefuseAll(Op::BodyCreateFromFaces);
        SetLastConversionError(L"");
        ResetConversionCounts();
        EXPECT_EQ(MeshToSolidBody(p, c.mesh, 1.0, 0), c.result) << c.name;
        EXPECT_STREQ(GetLastConversionError(),
                     c.result ? L"" : L"Unable to create body from surfaces")
            << c.name;
        EXPECT_EQ(h.Calls(Op::PartCreateBody), c.mesh.FaceCount() && c.refuse != 1 ? 4u : 1u)
            << c.name << ": the whole mesh, then each shell";
        EXPECT_EQ(h.Document(0).bodies.size(), size_t(c.bodies)) << c.name;
        EXPECT_EQ(GetConversionCounts().facesInNoBody, c.facesInNoBody) << c.name;
        HostRelease(p);
        a->Release();
        EXPECT_EQ(h.OutstandingRefs(), 0) << c.name << "\n" << h.Unreleased();
    }

    host.ClearJournal();
    host.RefuseCall(Op::PartCreateBody, 1);
    SetLastConversionError(L"");
    EXPECT_EQ(MeshToSolidBody(part, TwoTriangles(), 1.0, 1), 0);
    EXPECT_STREQ(GetLastConversionError(), L"Unable to create new body");
    EXPECT_EQ(Calls(), Lines{"PartCreateBody[doc 0]() = 0x80040201"});
    EXPECT_TRUE(host.Document(0).bodies.empty());
}

TEST_F(MeshStagesTest, FacesOfZeroAreaAreLeftOutAndCounted) {
    // A good triangle among faces with a repeated corner, corners in a line,
    // a quad folded onto a line, and a sliver far thinner than the mesh.
    const ON_Mesh mesh = MeshOf({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {2, 0, 0}, {5, 5, 0}, {1, 1e-9, 0}},
                                {{0, 1, 2}, {0, 1, 1}, {0, 1, 3}, {0, 1, 3, 1}, {0, 5, 3}});
    ResetConversionCounts();
    EXPECT_EQ(MeshToSolidBody(part, mesh, 1.0, 0), 1);
    EXPECT_EQ(host.Journal(Op::BodyAddPlanarFace).size(), 1u) << Journal();
    EXPECT_EQ(host.Journal(Op::BodyCreateFromFaces).size(), 1u);
    EXPECT_EQ(GetConversionCounts().zeroAreaFaces, 4);
    EXPECT_EQ(GetConversionCounts().meshesWithoutFaces, 0);
    ASSERT_EQ(host.Document(0).bodies.size(), 1u);

    // Nothing but such faces: no body, and the mesh counted, not failed.
    host.ClearJournal();
    ResetConversionCounts();
    EXPECT_EQ(MeshToSolidBody(part, MeshOf({{0, 0, 0}, {1, 1, 1}, {3, 3, 3}}, {{0, 1, 2}}), 1.0, 0), 1);
    EXPECT_EQ(Calls(), Lines{"PartCreateBody[doc 0]() = 0"});
    EXPECT_EQ(GetConversionCounts().zeroAreaFaces, 1);
    EXPECT_EQ(GetConversionCounts().meshesWithoutFaces, 1);
    EXPECT_EQ(host.Document(0).bodies.size(), 1u);
}

TEST_F(MeshStagesTest, NumbersThatOverflowWhenScaledNeverReachTheHost) {
    ResetConversionCounts();
    const ON_Mesh mesh =
        MeshOf({{0, 0, 0}, {1e30, 0, 0}, {0, 1e30, 0}, {1e30, 1e30, 0}}, {{0, 1, 3}, {0, 3, 2}});
    EXPECT_EQ(MeshToSolidBody(part, mesh, 1e300, 0), 1);
    EXPECT_EQ(MeshToSketchLines(doc, mesh, 1e300, 0), 1);
    for (const auto& e : host.Journal())
        for (const auto& a : e.args) {
            EXPECT_TRUE(a.type != cadhost::JournalValue::Type::Double || std::isfinite(a.number)) << e.ToString();
            for (double d : a.doubles)
                EXPECT_TRUE(std::isfinite(d)) << e.ToString();
        }
    EXPECT_EQ(host.Journal(Op::BodyAddPlanarFace).size(), 0u);
    EXPECT_EQ(host.Journal(Op::BodyCreateFromFaces).size(), 0u);
    EXPECT_EQ(host.Journal(Op::DocCreateLine).size(), 0u);
    EXPECT_EQ(GetConversionCounts().nonFinite, 2 + 5); // two faces, five edges
    EXPECT_EQ(GetConversionCounts().meshesWithoutFaces, 1);

    // Curves and points alike.
    ResetConversionCounts();
    host.ClearJournal();
    ON_ClassArray<ON_NurbsCurve> curves;
    curves.Append(NurbsLine(ON_3dPoint(0, 0, 0), ON_3dPoint(1e300, 0, 0)));
    curves.Append(NurbsOf(ON_Arc(ON_Circle(ON_3dPoint::Origin, 1e300), 1.0)));
    curves.Append(NurbsLine(ON_3dPoint(0, 0, 0), ON_3dPoint(1, 0, 0)));
    ON_3dPointArray points;
    points.Append(ON_3dPoint(1e300, 0, 0));
    EXPECT_EQ(ConvertCurveArray(doc, curves, 1e10, 0), 1);
    EXPECT_EQ(ConvertPoints(doc, points, 1e10, 0), 1);
    EXPECT_EQ(Calls(), Lines{"DocCreateLine[doc 0](0, 0, 0, 1e+10, 0, 0) = 0"});
    EXPECT_EQ(GetConversionCounts().nonFinite, 3);
}

TEST_F(MeshStagesTest, FacesNamingMissingVerticesAreLeftOut) {
    ON_Mesh mesh = TwoTriangles();
    mesh.m_F.AppendNew().vi[0] = 0;
    mesh.m_F[2].vi[1] = 1;
    mesh.m_F[2].vi[2] = mesh.m_F[2].vi[3] = 99;
    EXPECT_EQ(MeshToSolidBody(part, mesh, 1.0, 0), 1);
    EXPECT_EQ(host.Journal(Op::BodyAddPlanarFace).size(), 2u) << Journal();
    EXPECT_EQ(MeshToSketchLines(doc, mesh, 1.0, 0), 1);
    EXPECT_EQ(host.Journal(Op::DocCreateLine).size(), 5u) << Journal();
}

TEST_F(MeshStagesTest, SharedEdgesAndCoincidentVerticesMakeOneLine) {
    // Two triangles with their own copies of the shared corners.
    ON_Mesh mesh = MeshOf({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}},
                          {{0, 1, 2}, {3, 4, 5}});
    ON_ClassArray<ON_Mesh> meshes;
    meshes.Append(mesh);
    meshes.Append(TwoTriangles());
    EXPECT_EQ(ConvertMeshLines(doc, meshes, 1.0, 0), 1);
    EXPECT_EQ(host.Document(0).Count(EntityKind::Line), 10u);
    // The file's mesh keeps no topology of ours.
    EXPECT_FALSE(meshes[0].HasTopology());
}
