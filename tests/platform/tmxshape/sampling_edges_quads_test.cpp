// TMXNurbsCurve::GetPoints, TMXBrep::GetEdgeCurves, TMXMesh::BreakQuads.
#include "TMXShape.h"
#include "TruthGeometry.h"

#include <gtest/gtest.h>

#include "TestMesh.h"

#include <memory>

namespace {

class GetPoints : public ::testing::Test {
protected:
    void TearDown() override { TMXCurve::ResetTolerance(); }
};

TEST_F(GetPoints, CircleAtZ1IsSampledEvenlyAndClosesOnItsStart) {
    ON_NurbsCurve c;
    ON_Circle(ON_Plane(ON_3dPoint(0, 0, 1), ON_3dVector(0, 0, 1)), 10.0).GetNurbForm(c);
    ON_3dPointArray pts;
    const int n = TMXNurbsCurve::GetPoints(c, pts, 15.0);
    ASSERT_GT(n, 24); // at most 15 degrees apart, and more for the tolerance
    ASSERT_EQ(pts.Count(), n);
    EXPECT_EQ(pts[0], c.PointAtStart());
    EXPECT_EQ(pts[n - 1], c.PointAtEnd());
    EXPECT_LT(pts[0].DistanceTo(pts[n - 1]), 1e-12);
    const ON_3dPoint centre(0, 0, 1);
    double prev = 0.0, total = 0.0;
    for (int i = 0; i < n; i++) {
        EXPECT_NEAR(pts[i].DistanceTo(centre), 10.0, 1e-12);
        const double a = std::atan2(pts[i].y, pts[i].x);
        if (i > 0) {
            double step = a - prev;
            if (step < 0) step += 2 * ON_PI;
            // First to last, turning at most 15 degrees (the tangent of a
            // circle turns by the central angle).
            EXPECT_GT(step, 0.0) << "point " << i;
            EXPECT_LE(step, 15.0 * ON_DEGREES_TO_RADIANS + 1e-12) << "point " << i;
            total += step;
        }
        prev = a;
    }
    EXPECT_NEAR(total, 2 * ON_PI, 1e-9);
}

TEST_F(GetPoints, KeepsKinksAndEndPoints) {
    ON_NurbsCurve c(3, false, 2, 4); // a degree-1 zigzag
    const ON_3dPoint p[4] = {{0, 30, 0}, {3, 33, 0}, {6, 30, 0}, {9, 33, 0}};
    for (int i = 0; i < 4; i++)
        c.SetCV(i, p[i]), c.SetKnot(i, i);
    ON_3dPointArray pts;
    ASSERT_EQ(TMXNurbsCurve::GetPoints(c, pts, 15.0), 4); // straight spans need nothing between
    for (int i = 0; i < 4; i++)
        EXPECT_EQ(pts[i], p[i]);
}

TEST_F(GetPoints, AppendsAndTightensWithTheAbsoluteTolerance) {
    ON_NurbsCurve c(3, false, 4, 5);
    const ON_3dPoint p[5] = {{0, 0, 0}, {2, 4, 0}, {5, 5, 1}, {8, 1, 0}, {10, 3, 0}};
    const double k[7] = {2, 2, 2, 3, 6, 6, 6};
    for (int i = 0; i < 5; i++)
        c.SetCV(i, p[i]);
    for (int i = 0; i < 7; i++)
        c.SetKnot(i, k[i]);
    ON_3dPointArray loose, tight;
    loose.Append(ON_3dPoint(99, 99, 99)); // points are appended
    const int n1 = TMXNurbsCurve::GetPoints(c, loose, 15.0);
    EXPECT_EQ(loose.Count(), n1 + 1);
    EXPECT_EQ(loose[1], c.PointAtStart());
    EXPECT_EQ(loose[n1], c.PointAtEnd());
    TMXCurve::SetAbsoluteTolerance(1e-9);
    const int n2 = TMXNurbsCurve::GetPoints(c, tight, 15.0);
    EXPECT_GT(n2, n1);
    // Every point lies on the curve, in order of increasing parameter: the
    // chord polygon is never longer than the curve.
    double chord = 0.0;
    for (int i = 1; i < n2; i++)
        chord += tight[i].DistanceTo(tight[i - 1]);
    double length = 0.0;
    ON_3dPoint prev = c.PointAtStart();
    for (int i = 1; i <= 20000; i++) {
        const ON_3dPoint q = c.PointAt(c.Domain().ParameterAt(i / 20000.0));
        length += q.DistanceTo(prev);
        prev = q;
    }
    EXPECT_LE(chord, length + 1e-9);
    EXPECT_GT(chord, length - 1e-3);
}

TEST_F(GetPoints, RefusesBadArguments) {
    ON_NurbsCurve c;
    ON_3dPointArray pts;
    EXPECT_EQ(TMXNurbsCurve::GetPoints(c, pts, 15.0), -1); // empty curve
    ON_Circle(ON_3dPoint::Origin, 1.0).GetNurbForm(c);
    EXPECT_EQ(TMXNurbsCurve::GetPoints(c, pts, 0.0), -1);
    EXPECT_EQ(TMXNurbsCurve::GetPoints(c, pts, 181.0), -1);
    EXPECT_EQ(pts.Count(), 0);
}

TEST(GetEdgeCurves, OneCurvePerEdgeInEdgeOrder) {
    const testjson::Value doc =
        testjson::Load(truth::SharedPath("fixtures/3dm/extrusions.v8.json"));
    // The box extrusion's B-rep form: 12 straight edges, one curve each.
    ON_Extrusion box;
    box.m_path = ON_Line(ON_3dPoint(30, 0, 0), ON_3dPoint(30, 0, 2));
    box.m_up = ON_3dVector(0, 1, 0);
    ON_3dPointArray sq;
    sq.Append(0, 0, 0), sq.Append(4, 0, 0), sq.Append(4, 3, 0), sq.Append(0, 3, 0),
        sq.Append(0, 0, 0);
    box.SetOuterProfile(new ON_PolylineCurve(sq), true);
    box.m_path_domain = ON_Interval(0, 2);
    std::unique_ptr<ON_Brep> b(box.BrepForm());
    ASSERT_TRUE(b);
    ON_ClassArray<ON_NurbsCurve> curves;
    ASSERT_EQ(TMXBrep::GetEdgeCurves(*b, curves), 1);
    ASSERT_EQ(curves.Count(), 12);
    const testjson::Value* truth_box = nullptr;
    for (size_t i = 0; i < doc["objects"].size(); i++)
        if (doc["objects"][i]["name"].Str() == "box") truth_box = &doc["objects"][i];
    ASSERT_TRUE(truth_box);
    const testjson::Value& edges = (*truth_box)["geometry"]["extrusion"]["brepForm"]["edges"];
    for (int i = 0; i < curves.Count(); i++) {
        ON_Line line;
        EXPECT_EQ(TMXCurve::IsLine(&curves[i], line), 1) << "edge " << i;
        EXPECT_EQ(truth::CompareNurbs(curves[i], edges[i]["nurbs"]), "") << "edge " << i;
    }
}

TEST(GetEdgeCurves, FollowsSubDomainReversalAndEdgeDomain) {
    ON_Brep b;
    b.AddEdgeCurve(new ON_LineCurve(ON_Line(ON_3dPoint(0, 0, 0), ON_3dPoint(10, 0, 0)), 0, 10));
    b.NewVertex(ON_3dPoint(2, 0, 0));
    b.NewVertex(ON_3dPoint(6, 0, 0));
    ON_Interval part(2, 6);
    ON_BrepEdge& e = b.NewEdge(1, 0, 0, &part);
    e.m_bReversed = true;
    e.SetDomain(100, 104);
    ON_ClassArray<ON_NurbsCurve> curves;
    ASSERT_EQ(TMXBrep::GetEdgeCurves(b, curves), 1);
    ASSERT_EQ(curves.Count(), 1);
    EXPECT_EQ(curves[0].Domain(), ON_Interval(100, 104));
    EXPECT_LT(curves[0].PointAtStart().DistanceTo(ON_3dPoint(6, 0, 0)), 1e-12);
    EXPECT_LT(curves[0].PointAtEnd().DistanceTo(ON_3dPoint(2, 0, 0)), 1e-12);
    // The edge's own evaluation agrees.
    EXPECT_LT(e.PointAt(101).DistanceTo(curves[0].PointAt(101)), 1e-12);
}

TEST(GetEdgeCurves, EmptyAndBrokenBreps) {
    ON_Brep empty;
    ON_ClassArray<ON_NurbsCurve> curves;
    EXPECT_EQ(TMXBrep::GetEdgeCurves(empty, curves), 1);
    EXPECT_EQ(curves.Count(), 0);
    // An edge whose curve index is out of range is skipped and reported.
    ON_Brep broken;
    broken.AddEdgeCurve(new ON_LineCurve(ON_3dPoint(0, 0, 0), ON_3dPoint(1, 0, 0)));
    broken.NewEdge(-1, -1, 0);
    ON_BrepEdge& bad = broken.m_E.AppendNew();
    bad.m_c3i = 7;
    broken.NewEdge(-1, -1, 0);
    EXPECT_EQ(TMXBrep::GetEdgeCurves(broken, curves), 0);
    EXPECT_EQ(curves.Count(), 2);
}

// Checks for BreakQuads.

bool AllPlanar(const ON_Mesh& m) {
    for (int i = 0; i < m.FaceCount(); i++)
        if (m.m_F[i].IsQuad() && !TMXMesh::IsPlanarQuad(m, m.m_F[i])) return false;
    return true;
}

TEST(BreakQuads, SplitsOnlyNonPlanarQuadsAlongTheShorterDiagonal) {
    // Face 0: planar square. Face 1: a quad with one corner lifted, its
    // diagonal 1-3 shorter than 0-2. Face 2: a triangle.
    ON_Mesh m = TestMeshOf({{0, 0, 0},
                       {1, 0, 0},
                       {1, 1, 0},
                       {0, 1, 0},
                       {2, 0, 0},
                       {5, 0, 0},
                       {5, 1, 1},
                       {2, 1, 0},
                       {0, 2, 0}},
                      {{0, 1, 2, 3}, {4, 5, 6, 7}, {3, 2, 8}});
    m.ComputeFaceNormals();
    ON_SimpleArray<int> map;
    ASSERT_EQ(TMXMesh::BreakQuads(m, 1, &map), 1);
    ASSERT_EQ(m.FaceCount(), 4);
    EXPECT_TRUE(m.m_F[0].IsQuad());
    // 0-2 (from (2,0,0) to (5,1,1)) is longer than 1-3 ((5,0,0) to (2,1,0)).
    const int t1[4] = {4, 5, 7, 7}, t2[4] = {5, 6, 7, 7};
    for (int k = 0; k < 4; k++) {
        EXPECT_EQ(m.m_F[1].vi[k], t1[k]);
        EXPECT_EQ(m.m_F[2].vi[k], t2[k]);
    }
    EXPECT_TRUE(m.m_F[3].IsTriangle());
    const int expected_map[4] = {0, 1, 1, 2};
    ASSERT_EQ(map.Count(), 4);
    for (int i = 0; i < 4; i++)
        EXPECT_EQ(map[i], expected_map[i]);
    EXPECT_TRUE(AllPlanar(m));
    // The triangles keep the quad's orientation.
    ON_3dVector n;
    ASSERT_TRUE(m.ComputeFaceNormal(1, n));
    EXPECT_GT(n.z, 0.0);
    EXPECT_EQ(m.m_FN.Count(), 4); // face normals recomputed
}

TEST(BreakQuads, ModeZeroSplitsEveryQuadAndBadInputIsRefused) {
    ON_Mesh m = TestMeshOf({{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}}, {{0, 1, 2, 3}, {0, 0, 1, 2}});
    ON_Mesh copy(m);
    EXPECT_EQ(TMXMesh::BreakQuads(copy, 2, nullptr), -1);
    EXPECT_EQ(TMXMesh::BreakQuads(copy, 0, nullptr), 2);
    EXPECT_EQ(copy.FaceCount(), 3); // the quad in two, the repeated-corner quad as a triangle
    EXPECT_EQ(copy.QuadCount(), 0);
    ON_Mesh bad(m);
    bad.m_F[0].vi[3] = 9;
    EXPECT_EQ(TMXMesh::BreakQuads(bad, 1, nullptr), -1);
    EXPECT_EQ(bad.FaceCount(), 2);
}

TEST(BreakQuads, ClosedBoxOfTwistedQuadsEndsPlanar) {
    // The fixture's closed box with two corners nudged: some faces twist.
    ON_Mesh m =
        TestMeshOf({{0, 0, 0},
               {1, 0, 0},
               {1, 1, 0.1},
               {0, 1, 0},
               {0, 0, 1},
               {1, 0, 1},
               {1, 1, 1},
               {0, 1.2, 1}},
              {{0, 3, 2, 1}, {4, 5, 6, 7}, {0, 1, 5, 4}, {1, 2, 6, 5}, {2, 3, 7, 6}, {3, 0, 4, 7}});
    const int edges_before = m.Topology().TopEdgeCount();
    const int split = TMXMesh::BreakQuads(m, 1, nullptr);
    EXPECT_GT(split, 0);
    EXPECT_LT(split, 6);
    EXPECT_EQ(m.FaceCount(), 6 + split);
    EXPECT_TRUE(AllPlanar(m));
    EXPECT_EQ(m.Topology().TopEdgeCount(), edges_before + split); // one diagonal per split
}

} // namespace
