// Mesh topology, the normal of three points, B-reps made from surfaces, and
// the value semantics of the arrays the reader fills.
#include "TruthGeometry.h"

#include <gtest/gtest.h>

#include "TestMesh.h"

namespace {


// A closed box of 12 triangles over 8 vertices.
ON_Mesh Box() {
    return TestMeshOf(
        {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}, {0, 0, 1}, {1, 0, 1}, {1, 1, 1}, {0, 1, 1}},
        {{0, 2, 1},
         {0, 3, 2},
         {4, 5, 6},
         {4, 6, 7},
         {0, 1, 5},
         {0, 5, 4},
         {1, 2, 6},
         {1, 6, 5},
         {2, 3, 7},
         {2, 7, 6},
         {3, 0, 4},
         {3, 4, 7}});
}

struct TopologyCase {
    const char* name;
    ON_Mesh mesh;
    int topv, tope;
};

TEST(MeshTopology, EdgeAndVertexCounts) {
    std::vector<TopologyCase> cases = {
        {"two triangles sharing an edge",
         TestMeshOf({{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}}, {{0, 1, 2}, {0, 2, 3}}), 4, 5},
        {"closed box of 12 triangles", Box(), 8, 18},
        // Two triangles with their own copies of the shared corners: the
        // coincident vertices merge, so the shared edge exists once.
        {"separate faces, coincident vertices",
         TestMeshOf({{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 0, 0}, {1, 1, 0}, {0, 1, 0}},
                {{0, 1, 2}, {3, 4, 5}}),
         4, 5},
        {"single quad", TestMeshOf({{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}}, {{0, 1, 2, 3}}), 4, 4},
        {"no faces", TestMeshOf({{0, 0, 0}, {1, 0, 0}, {1, 1, 0}}, {}), 3, 0},
    };
    for (TopologyCase& c : cases) {
        const ON_MeshTopology& top = c.mesh.Topology();
        EXPECT_EQ(top.TopVertexCount(), c.topv) << c.name;
        EXPECT_EQ(top.TopEdgeCount(), c.tope) << c.name;
        EXPECT_EQ(top.TopFaceCount(), c.mesh.FaceCount()) << c.name;
    }
}

TEST(MeshTopology, EdgesKnowTheirFacesAndVerticesTheirMeshVertices) {
    ON_Mesh m = TestMeshOf({{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 0, 0}, {1, 1, 0}, {0, 1, 0}},
                       {{0, 1, 2}, {3, 4, 5}});
    const ON_MeshTopology& top = m.Topology();
    // Mesh vertices 0 and 3 share a position.
    const int tv = top.m_topv_map[0];
    EXPECT_EQ(top.m_topv_map[3], tv);
    ASSERT_EQ(top.m_topv[tv].m_v_count, 2);
    EXPECT_EQ(top.m_topv[tv].m_vi[0], 0);
    EXPECT_EQ(top.m_topv[tv].m_vi[1], 3);
    // The diagonal (0,0)-(1,1) is used by both faces; every other edge by one.
    const int diag = top.TopEdge(top.m_topv_map[0], top.m_topv_map[2]);
    ASSERT_GE(diag, 0);
    EXPECT_EQ(top.m_tope[diag].m_topf_count, 2);
    int single = 0;
    for (int e = 0; e < top.TopEdgeCount(); e++)
        single += top.m_tope[e].m_topf_count == 1;
    EXPECT_EQ(single, 4);
    // Each face lists its three edges, the triangle's third side in slot 3.
    for (int f = 0; f < 2; f++) {
        EXPECT_TRUE(top.m_topf[f].IsTriangle());
        EXPECT_GE(top.m_topf[f].m_topei[0], 0);
        EXPECT_GE(top.m_topf[f].m_topei[1], 0);
        EXPECT_GE(top.m_topf[f].m_topei[3], 0);
    }
    // Each topology vertex lists the edges that meet there.
    int total = 0;
    for (int v = 0; v < top.TopVertexCount(); v++)
        total += top.m_topv[v].m_tope_count;
    EXPECT_EQ(total, 2 * top.TopEdgeCount());
}

TEST(MeshTopology, DoubleVerticesDecidePositions) {
    // Two float vertices that round to the same float but differ in double.
    ON_Mesh m = TestMeshOf({{1e6, 0, 0}, {1e6 + 0.01, 0, 0}, {1e6, 1, 0}}, {{0, 1, 2}});
    EXPECT_EQ(m.Topology().TopVertexCount(), 2); // floats coincide
    m.m_dV.Append(ON_3dPoint(1e6, 0, 0));
    m.m_dV.Append(ON_3dPoint(1e6 + 0.01, 0, 0));
    m.m_dV.Append(ON_3dPoint(1e6, 1, 0));
    m.DestroyTopology();
    EXPECT_EQ(m.Topology().TopVertexCount(), 3);
    EXPECT_EQ(m.Vertex(1).x, 1e6 + 0.01);
}

TEST(MeshCopy, CopiesArraysNotTopology) {
    ON_Mesh a = Box();
    a.Topology();
    ASSERT_TRUE(a.HasTopology());
    ON_Mesh b(a);
    EXPECT_FALSE(b.HasTopology());
    b.m_F[0].vi[0] = 7;
    EXPECT_EQ(a.m_F[0].vi[0], 0);
    EXPECT_EQ(b.Topology().m_mesh, &b);
    ON_ClassArray<ON_Mesh> meshes;
    for (int i = 0; i < 20; i++)
        meshes.Append(a); // grows and moves its elements
    EXPECT_EQ(meshes[19].FaceCount(), 12);
    EXPECT_EQ(meshes[0].Topology().m_mesh, &meshes[0]);
    EXPECT_EQ(meshes[0].Topology().TopEdgeCount(), 18);
}

TEST(MeshTransform, MirrorKeepsFacesFrontFacing) {
    ON_Mesh m = TestMeshOf({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}, {{0, 1, 2}});
    ON_3dVector before;
    ASSERT_TRUE(m.ComputeFaceNormal(0, before));
    EXPECT_EQ(before, ON_3dVector(0, 0, 1));
    ASSERT_TRUE(m.Transform(ON_Xform::ScaleTransformation(ON_3dPoint::Origin, 1, 1, -1)));
    ON_3dVector after;
    ASSERT_TRUE(m.ComputeFaceNormal(0, after));
    EXPECT_LT((after - ON_3dVector(0, 0, -1)).Length(), 1e-12);
}

struct NormalCase {
    const char* name;
    ON_3dPoint a, b, c;
    ON_3dVector expected;
};

TEST(NormalOfThreePoints, RightHandRuleAndZeroWhenDegenerate) {
    const double s = 1.0 / std::sqrt(3.0);
    const NormalCase cases[] = {
        {"ccw in XY", {0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {0, 0, 1}},
        {"cw in XY", {0, 0, 0}, {0, 1, 0}, {1, 0, 0}, {0, 0, -1}},
        {"tilted", {1, 0, 0}, {0, 1, 0}, {0, 0, 1}, {s, s, s}},
        {"far from the origin", {1e6, 2e6, 3}, {1e6 + 1, 2e6, 3}, {1e6, 2e6 + 1, 3}, {0, 0, 1}},
        {"collinear", {0, 0, 0}, {1, 1, 1}, {2, 2, 2}, {0, 0, 0}},
        {"collinear, inexact", {0.1, 0.2, 0.3}, {0.4, 0.5, 0.6}, {0.7, 0.8, 0.9}, {0, 0, 0}},
        {"two equal corners", {1, 2, 3}, {1, 2, 3}, {4, 5, 6}, {0, 0, 0}},
        {"all equal", {1, 1, 1}, {1, 1, 1}, {1, 1, 1}, {0, 0, 0}},
    };
    for (const NormalCase& c : cases) {
        ON_3dVector n(9, 9, 9);
        const bool ok = n.PerpendicularTo(c.a, c.b, c.c);
        EXPECT_EQ(ok, !c.expected.IsZero()) << c.name;
        EXPECT_LT((n - c.expected).Length(), 1e-12)
            << c.name << ": (" << n.x << ", " << n.y << ", " << n.z << ")";
        if (ok) {
            EXPECT_NEAR(n.Length(), 1.0, 1e-15) << c.name;
        }
    }
}

// The one-face B-rep of the bicubic surface, as openNURBS made it for the
// breps fixture: four edges south, east, north, west.
TEST(BrepFromSurface, MatchesOpenNurbsOneFaceBrep) {
    const testjson::Value doc = testjson::Load(truth::SharedPath("fixtures/3dm/breps.v8.json"));
    const testjson::Value* brep = nullptr;
    for (size_t i = 0; i < doc["objects"].size(); i++)
        if (doc["objects"][i]["name"].Str() == "from-bicubic-surface")
            brep = &doc["objects"][i]["geometry"];
    ASSERT_TRUE(brep);
    const testjson::Value& sn = (*brep)["surfaces"][0]["surface"]["nurbs"];
    ON_NurbsSurface* s = new ON_NurbsSurface(3, false, sn["orderU"].Int(), sn["orderV"].Int(),
                                             sn["cvCountU"].Int(), sn["cvCountV"].Int());
    for (int d = 0; d < 2; d++)
        for (int i = 0; i < s->KnotCount(d); i++)
            s->m_knot[d][i] = sn[d ? "knotsV" : "knotsU"][i].Num();
    for (int i = 0; i < s->CVCount(0); i++)
        for (int j = 0; j < s->CVCount(1); j++)
            s->SetCV(i, j, truth::Point(sn["cvs"][i][j]));
    ON_Surface* srf = s;
    ON_Brep b;
    ASSERT_TRUE(b.Create(srf));
    EXPECT_EQ(srf, nullptr); // the brep owns it now
    ASSERT_TRUE(b.IsValid());
    ASSERT_EQ(b.m_E.Count(), (*brep)["edgeCount"].Int());
    ASSERT_EQ(b.m_V.Count(), (*brep)["vertexCount"].Int());
    for (int v = 0; v < b.m_V.Count(); v++)
        EXPECT_LT(b.m_V[v].point.DistanceTo(truth::Point((*brep)["vertices"][v]["location"])),
                  1e-12);
    for (int e = 0; e < b.m_E.Count(); e++) {
        const testjson::Value& te = (*brep)["edges"][e];
        EXPECT_EQ(b.m_E[e].Domain(), truth::Interval(te["domain"])) << "edge " << e;
        ON_NurbsCurve c;
        ASSERT_TRUE(b.m_E[e].GetNurbForm(c));
        EXPECT_EQ(truth::CompareNurbs(c, te["nurbs"]), "") << "edge " << e;
        EXPECT_LT(b.m_E[e].PointAtStart().DistanceTo(truth::Point(te["pointAtStart"])), 1e-12)
            << "edge " << e;
    }
    const testjson::Value& trims = (*brep)["faces"][0]["loops"][0]["trims"];
    ASSERT_EQ(b.m_L.Count(), 1);
    ASSERT_EQ(b.m_L[0].m_ti.Count(), (int)trims.size());
    for (int k = 0; k < b.m_L[0].m_ti.Count(); k++) {
        const ON_BrepTrim& t = b.m_T[b.m_L[0].m_ti[k]];
        EXPECT_EQ(t.m_ei, trims[k]["edgeIndex"].Int()) << "trim " << k;
        EXPECT_EQ(t.m_bRev3d, trims[k]["isReversed"].Bool()) << "trim " << k;
        EXPECT_EQ(t.m_vi[0], trims[k]["startVertexIndex"].Int()) << "trim " << k;
        EXPECT_EQ(t.m_vi[1], trims[k]["endVertexIndex"].Int()) << "trim " << k;
    }
}

TEST(BrepFromSurface, ClosedAndSingularSidesShareOrDropEdges) {
    // A sphere as a surface of revolution: poles are singular sides and the
    // seam is one edge used twice.
    ON_RevSurface* sphere = new ON_RevSurface();
    ON_Arc half(
        ON_Circle(ON_Plane(ON_3dPoint(0, 0, 0), ON_3dVector(0, 0, -1), ON_3dVector(1, 0, 0)), 4.0),
        ON_PI);
    sphere->Create(new ON_ArcCurve(half), ON_Line(ON_3dPoint(0, 0, 0), ON_3dPoint(0, 0, 1)));
    ON_Surface* srf = sphere;
    ON_Brep b;
    ASSERT_TRUE(b.Create(srf));
    EXPECT_EQ(b.m_E.Count(), 1);
    EXPECT_EQ(b.m_V.Count(), 2);
    ASSERT_EQ(b.m_T.Count(), 4);
    EXPECT_EQ(b.m_T[0].m_type, ON_BrepTrim::singular);
    EXPECT_EQ(b.m_T[1].m_ei, 0);
    EXPECT_EQ(b.m_T[3].m_ei, 0);
    EXPECT_TRUE(b.m_T[3].m_bRev3d);
    EXPECT_EQ(b.m_T[1].m_type, ON_BrepTrim::seam);
}

TEST(BrepCopy, IsDeepAndRefersToItsOwnCurves) {
    ON_Surface* srf = new ON_PlaneSurface(ON_Plane::World_xy);
    ON_Brep a;
    ASSERT_TRUE(a.Create(srf));
    ON_ClassArray<ON_Brep> breps;
    for (int i = 0; i < 9; i++)
        breps.Append(a);
    ON_Brep& last = breps[8];
    EXPECT_NE(last.m_C3[0], a.m_C3[0]);
    EXPECT_EQ(last.m_E[0].EdgeCurveOf(), last.m_C3[0]);
    EXPECT_EQ(breps[0].m_E[0].Brep(), &breps[0]);
    EXPECT_EQ(breps[0].m_F[0].SurfaceOf(), breps[0].m_S[0]);
    // Moving the copy leaves the original where it was.
    last.Transform(ON_Xform::TranslationTransformation(0, 0, 5));
    EXPECT_EQ(a.m_E[0].PointAtStart().z, 0.0);
    EXPECT_EQ(last.m_E[0].PointAtStart().z, 5.0);
    EXPECT_EQ(last.m_V[0].point.z, 5.0);
}

TEST(Arrays, SimpleArrayAppendsItsOwnElementsAcrossGrowth) {
    ON_SimpleArray<ON_3dPoint> a;
    a.Append(ON_3dPoint(1, 2, 3));
    for (int i = 0; i < 100; i++)
        a.Append(a[0]); // a[0] may move while growing
    EXPECT_EQ(a.Count(), 101);
    EXPECT_EQ(a[100], ON_3dPoint(1, 2, 3));
    a.Append(a.Count(), a.Array()); // appending itself
    EXPECT_EQ(a.Count(), 202);
    a.Insert(0, ON_3dPoint(0, 0, 0));
    a.Remove(1);
    EXPECT_EQ(a[0], ON_3dPoint(0, 0, 0));
    EXPECT_EQ(a.Count(), 202);
    a.SetCount(300);
    EXPECT_EQ(a[299], ON_3dPoint(0, 0, 0)); // new elements are zero
    EXPECT_EQ(a.At(300), nullptr);
    a.Empty();
    EXPECT_EQ(a.Count(), 0);
    EXPECT_GE(a.Capacity(), 300);
    a.Destroy();
    EXPECT_EQ(a.Capacity(), 0);
}

TEST(Arrays, ClassArrayCopiesElementsWithTheirCopyConstructor) {
    ON_ClassArray<ON_NurbsCurve> a;
    ON_NurbsCurve& c = a.AppendNew();
    ON_Circle(ON_3dPoint::Origin, 1.0).GetNurbForm(c);
    for (int i = 0; i < 10; i++)
        a.Append(a[0]);
    ON_ClassArray<ON_NurbsCurve> b(a);
    ASSERT_EQ(b.Count(), 11);
    EXPECT_NE(b[5].m_cv, a[5].m_cv);
    b[5].SetCV(0, ON_3dPoint(7, 7, 7));
    ON_3dPoint p;
    a[5].GetCV(0, p);
    EXPECT_EQ(p, ON_3dPoint(1, 0, 0));
    b.Remove(0);
    EXPECT_EQ(b.Count(), 10);
    b.Insert(3, a[1]);
    EXPECT_EQ(b.Count(), 11);
    EXPECT_EQ(b[3].CVCount(), 9);
}

} // namespace
