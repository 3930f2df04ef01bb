// ConvertSurfaceCurves and ConvertBrepCurves, and the file's tolerance for
// recognising lines and arcs hidden in NURBS edges.
#include "ConvertTestSupport.h"

#include <TMXCurve.h>

#include <cmath>

using namespace converttest;
using cadhost::EntityKind;
using cadhost::Op;

namespace {

class SurfaceBrepStagesTest : public ConvertTest {
protected:
    void SetUp() override {
        ConvertTest::SetUp();
        doc = OpenPart();
    }
    void TearDown() override {
        HostRelease(doc);
        ConvertTest::TearDown();
    }
    const cadhost::DocumentModel& Model() const { return host.Document(0); }

    HostDocHandle doc = nullptr;
};

// A flat patch over [0, size]^2 with evenly spread control points and
// clamped uniform knots: parameter t maps linearly onto size * t, so every
// iso-curve is a line that shows its parameter.
ON_NurbsSurface FlatPatch(int order0, int order1, int count0, int count1, double size) {
    ON_NurbsSurface s(3, false, order0, order1, count0, count1);
    for (int i = 0; i < count0; i++)
        for (int j = 0; j < count1; j++)
            s.SetCV(i, j, ON_3dPoint(size * i / (count0 - 1), size * j / (count1 - 1), 0));
    const int counts[2] = {count0, count1}, orders[2] = {order0, order1};
    for (int dir = 0; dir < 2; dir++) {
        // Degree 1: knots at the control points; otherwise one Bezier span.
        const int n = s.KnotCount(dir);
        for (int k = 0; k < n; k++) {
            const double t = orders[dir] == 2 ? double(k) / (counts[dir] - 1)
                                              : (k < orders[dir] - 1 ? 0.0 : 1.0);
            s.SetKnot(dir, k, t);
        }
    }
    return s;
}

// A B-rep of edges only: one per curve, between its end points.
ON_Brep EdgeBrep(const std::vector<ON_NurbsCurve>& curves) {
    ON_Brep b;
    for (const auto& c : curves) {
        const int ci = b.AddEdgeCurve(new ON_NurbsCurve(c));
        const int v0 = b.NewVertex(c.PointAtStart()).m_vertex_index;
        const int v1 = c.IsClosed() ? v0 : b.NewVertex(c.PointAtEnd()).m_vertex_index;
        b.NewEdge(v0, v1, ci);
    }
    return b;
}

ON_Brep Box(double x, double y, double z) {
    const ON_3dPoint p[8] = {{0, 0, 0}, {x, 0, 0}, {x, y, 0}, {0, y, 0},
                             {0, 0, z}, {x, 0, z}, {x, y, z}, {0, y, z}};
    const int e[12][2] = {{0, 1}, {1, 2}, {2, 3}, {3, 0}, {4, 5}, {5, 6},
                          {6, 7}, {7, 4}, {0, 4}, {1, 5}, {2, 6}, {3, 7}};
    std::vector<ON_NurbsCurve> curves;
    for (const auto& k : e)
        curves.push_back(NurbsLine(p[k[0]], p[k[1]]));
    return EdgeBrep(curves);
}

} // namespace

TEST_F(SurfaceBrepStagesTest, BicubicPatchGivesFiveCurvesOfConstantVThenFiveOfConstantU) {
    ON_ClassArray<ON_NurbsSurface> surfaces;
    surfaces.Append(FlatPatch(4, 4, 4, 4, 10.0));
    EXPECT_EQ(ConvertSurfaceCurves(doc, surfaces, 1.0, 0), 1);
    ASSERT_EQ(Model().entities.size(), 10u) << Journal();
    const double t[5] = {0, 2.5, 5, 7.5, 10};
    for (int i = 0; i < 10; i++) {
        const cadhost::Entity& e = Model().entities[i];
        ASSERT_EQ(e.kind, EntityKind::Line) << "curve " << i;
        const cadhost::Vec3 a = Model().At(e, 0), b = Model().At(e, 1);
        // Constant v: along x at y = 10 v; then constant u: along y at x = 10 u.
        const double fixedA = i < 5 ? a.y : a.x, fixedB = i < 5 ? b.y : b.x;
        const double runA = i < 5 ? a.x : a.y, runB = i < 5 ? b.x : b.y;
        EXPECT_NEAR(fixedA, t[i % 5], 1e-12) << "curve " << i;
        EXPECT_NEAR(fixedB, t[i % 5], 1e-12) << "curve " << i;
        EXPECT_NEAR(runA, 0, 1e-12) << "curve " << i;
        EXPECT_NEAR(runB, 10, 1e-12) << "curve " << i;
    }
}

TEST_F(SurfaceBrepStagesTest, IsoParametersNeverAddACurveNextToTheLast) {
    // Ten steps of 0.1 add up to just below 1: repeated addition would make
    // an eleventh curve of constant v next to v = 1.
    const struct { int count0, count1; } cases[] = {{3, 10}, {10, 3}, {7, 10}, {2, 49}};
    for (const auto& c : cases) {
        ON_ClassArray<ON_NurbsSurface> surfaces;
        surfaces.Append(FlatPatch(2, 2, c.count0, c.count1, 1.0));
        const size_t before = Model().entities.size();
        EXPECT_EQ(ConvertSurfaceCurves(doc, surfaces, 1.0, 0), 1);
        EXPECT_EQ(Model().entities.size() - before, size_t(c.count0 + c.count1 + 2))
            << c.count0 << " x " << c.count1 << " control points";
        // The last curve of each direction lies on the boundary.
        const cadhost::Entity& lastV = Model().entities[before + c.count1];
        EXPECT_EQ(Model().At(lastV, 0).y, 1.0);
        EXPECT_EQ(Model().At(Model().entities.back(), 0).x, 1.0);
    }
}

TEST_F(SurfaceBrepStagesTest, BoxGivesTwelveLinesAndEmptyBrepsNothing) {
    ON_ClassArray<ON_Brep> breps;
    breps.AppendNew(); // no edges
    breps.Append(Box(10, 5, 2));
    EXPECT_EQ(ConvertBrepCurves(doc, breps, 0.001, 0), 1);
    EXPECT_EQ(host.Calls(Op::DocCreateLine), 12u) << Journal();
    EXPECT_EQ(Model().Count(EntityKind::Line), 12u);
    const cadhost::Entity& first = Model().entities[0];
    EXPECT_EQ(Model().At(first, 1).x, 0.01);

    ON_ClassArray<ON_Brep> none;
    host.ClearJournal();
    EXPECT_EQ(ConvertBrepCurves(doc, none, 1.0, 1), 1);
    EXPECT_EQ(ConvertSurfaceCurves(doc, ON_ClassArray<ON_NurbsSurface>(), 1.0, 1), 1);
    EXPECT_TRUE(host.Journal().empty()) << Journal();
}

namespace {

// Edges as a file stores them: a line as a cubic, an arc and a circle as
// rational quadratics, each with one control point moved by 2e-5 (within a
// file tolerance of 0.001, far outside 1e-9 of its size).
std::vector<ON_NurbsCurve> NearlyExactEdges() {
    ON_NurbsCurve line = NurbsLine({0, 0, 0}, {10, 0, 0});
    line.IncreaseDegree(3);
    ON_3dPoint p;
    line.GetCV(1, p);
    line.SetCV(1, p + ON_3dVector(0, 2e-5, 0));

    ON_NurbsCurve arc =
        NurbsOf(ON_Arc(ON_Circle(ON_3dPoint(10, 5, 0), 5), ON_Interval(-ON_PI / 2, 0)));
    arc.GetCV(1, p);
    arc.SetCV(1, p + ON_3dVector(2e-5, 0, 0));

    ON_NurbsCurve circle = NurbsOf(ON_Arc(ON_Circle(ON_3dPoint(5, 5, 0), 2), 2 * ON_PI));
    circle.GetCV(2, p);
    circle.SetCV(2, p + ON_3dVector(0, 2e-5, 0));
    return {line, arc, circle};
}

} // namespace

TEST_F(SurfaceBrepStagesTest, TheFilesToleranceRecognisesLinesAndArcsInNurbsEdges) {
    ON_ClassArray<ON_Brep> breps;
    breps.Append(EdgeBrep(NearlyExactEdges()));

    // The relative default sees splines.
    ASSERT_EQ(TMXCurve::AbsoluteTolerance(), 0.0);
    EXPECT_EQ(ConvertBrepCurves(doc, breps, 1.0, 0), 1);
    EXPECT_EQ(Calls({Op::DocCreateLine, Op::DocCreateArc, Op::DocCreateCircle}).size(), 0u)
        << Journal();

    host.ClearJournal();
    {
        RecognitionTolerance fileTolerance(0.001);
        EXPECT_EQ(TMXCurve::AbsoluteTolerance(), 0.001);
        EXPECT_EQ(ConvertBrepCurves(doc, breps, 1.0, 0), 1);
    }
    EXPECT_EQ(TMXCurve::AbsoluteTolerance(), 0.0) << "the default is back";
    const auto& j = host.Journal();
    ASSERT_EQ(j.size(), 3u) << Journal();
    EXPECT_EQ(j[0].op, Op::DocCreateLine);
    EXPECT_EQ(j[1].op, Op::DocCreateArc);
    EXPECT_EQ(j[1].args.at(9).integer, 1);
    EXPECT_EQ(j[2].op, Op::DocCreateCircle);
    EXPECT_NEAR(j[2].args.at(3).number, 2.0, 1e-4) << j[2].ToString();

    // Unusable file tolerances leave the default alone.
    for (double bad : {0.0, -1.0, std::nan("")}) {
        RecognitionTolerance t(bad);
        EXPECT_EQ(TMXCurve::AbsoluteTolerance(), 0.0) << bad;
    }
}
