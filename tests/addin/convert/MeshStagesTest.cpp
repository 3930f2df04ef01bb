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

TEST_F(MeshStagesTest, FacesCarryTheirCornersAndTheNormalOfTheFirstThree) {
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
        {"degenerate triangle", {{0, 0, 0}, {1, 1, 1}, {3, 3, 3}}, 3, {0, 0, 0}},
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

TEST_F(MeshStagesTest, BodyFailuresLeaveTheirText) {
    // The host will not make the body: degenerate face, or no faces at all.
    const struct {
        const char* name;
        ON_Mesh mesh;
    } cases[] = {
        {"degenerate", MeshOf({{0, 0, 0}, {1, 1, 1}, {3, 3, 3}}, {{0, 1, 2}})},
        {"no faces", MeshOf({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}, {})},
    };
    for (const auto& c : cases) {
        host.ClearJournal();
        SetLastConversionError(L"");
        EXPECT_EQ(MeshToSolidBody(part, c.mesh, 1.0, 0), 0) << c.name;
        EXPECT_EQ(host.Journal(Op::BodyCreateFromFaces).size(), 1u) << c.name;
        EXPECT_STREQ(GetLastConversionError(), L"Unable to create body from surfaces") << c.name;
    }

    host.ClearJournal();
    host.RefuseCall(Op::PartCreateBody, 1);
    SetLastConversionError(L"");
    EXPECT_EQ(MeshToSolidBody(part, TwoTriangles(), 1.0, 1), 0);
    EXPECT_STREQ(GetLastConversionError(), L"Unable to create new body");
    EXPECT_EQ(Calls(), Lines{"PartCreateBody[doc 0]() = 0x80040201"});
    EXPECT_TRUE(host.Document(0).bodies.empty());
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
