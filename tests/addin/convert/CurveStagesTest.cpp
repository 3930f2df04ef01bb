// ConvertPoints and ConvertCurveArray: which entity each curve becomes and
// with which numbers.
#include "ConvertTestSupport.h"

#include <cmath>

using namespace converttest;
using cadhost::JournalEntry;
using cadhost::Op;

namespace {

class CurveStagesTest : public ConvertTest {
protected:
    void SetUp() override {
        ConvertTest::SetUp();
        doc = OpenPart();
    }
    void TearDown() override {
        HostRelease(doc);
        ConvertTest::TearDown();
    }

    // Converts one curve and returns the entity calls it made.
    std::vector<JournalEntry> Convert(const ON_NurbsCurve& curve, double unitFactor = 1.0) {
        ON_ClassArray<ON_NurbsCurve> curves;
        curves.Append(curve);
        host.ClearJournal();
        EXPECT_EQ(ConvertCurveArray(doc, curves, unitFactor, 0), 1);
        return host.Journal();
    }

    HostDocHandle doc = nullptr;
};

std::vector<double> Doubles(const JournalEntry& e) {
    std::vector<double> out;
    for (const auto& a : e.args)
        if (a.type == cadhost::JournalValue::Type::Double) out.push_back(a.number);
    return out;
}

void ExpectNear(const std::vector<double>& got, const std::vector<double>& want, double tol,
                const std::string& what) {
    ASSERT_EQ(got.size(), want.size()) << what;
    for (size_t i = 0; i < got.size(); i++)
        EXPECT_NEAR(got[i], want[i], tol) << what << ", number " << i;
}

std::string Ops(const std::vector<JournalEntry>& entries) {
    std::string out;
    for (const auto& e : entries)
        out += (out.empty() ? "" : " ") + std::string(e.Name());
    return out;
}

ON_Arc ArcIn(const ON_Plane& plane, double radius, double a0, double a1) {
    return ON_Arc(ON_Circle(plane, radius), ON_Interval(a0, a1));
}

ON_NurbsCurve Cubic(std::vector<ON_3dPoint> cvs, std::vector<double> knots, int dim = 3) {
    ON_NurbsCurve c(dim, false, 4, static_cast<int>(cvs.size()));
    for (int i = 0; i < c.CVCount(); i++)
        c.SetCV(i, cvs[i]);
    for (int i = 0; i < c.KnotCount(); i++)
        c.SetKnot(i, knots[i]);
    return c;
}

// The points of a spline through points, as (x, y, z) triples.
std::vector<ON_3dPoint> SplinePoints(const JournalEntry& e) {
    std::vector<ON_3dPoint> out;
    const auto& xyz = e.args.at(1).doubles;
    for (size_t i = 0; i + 2 < xyz.size(); i += 3)
        out.emplace_back(xyz[i], xyz[i + 1], xyz[i + 2]);
    return out;
}

} // namespace

TEST_F(CurveStagesTest, PointsAreScaledAndARefusedOneDoesNotStopTheRest) {
    ON_3dPointArray points;
    points.Append(ON_3dPoint(1, 2, 3));
    points.Append(ON_3dPoint(-4.5, 0, 0.001));
    points.Append(ON_3dPoint(1.5e6, -2.25e6, 3.125));
    host.RefuseCall(Op::DocCreatePoint, 2);
    EXPECT_EQ(ConvertPoints(doc, points, 0.01, 0), 1);
    const std::vector<std::string> expected = {
        "DocCreatePoint[doc 0](0.01, 0.02, 0.03) = 0",
        "DocCreatePoint[doc 0](-0.045, 0, 1e-05) = 0x80040201",
        "DocCreatePoint[doc 0](15000, -22500, 0.03125) = 0",
    };
    EXPECT_EQ(Calls(), expected) << Journal();
}

TEST_F(CurveStagesTest, LinesHaveNoPlaneCondition) {
    const auto calls = Convert(NurbsLine({0, 0, 5}, {10, 10, 5}), 0.001);
    ASSERT_EQ(Ops(calls), "DocCreateLine");
    ExpectNear(Doubles(calls[0]), {0, 0, 0.005, 0.01, 0.01, 0.005}, 1e-17, "line on z = 5");
}

TEST_F(CurveStagesTest, CirclesAndArcsInWorldXYAreNative) {
    const ON_Plane xy(ON_3dPoint(1, 2, 0), ON_3dVector(1, 0, 0), ON_3dVector(0, 1, 0));
    const ON_Plane down(ON_3dPoint(-3, 0, 0), ON_3dVector(0, 0, -1));
    const double pi = ON_PI;

    auto circle =
        Convert(NurbsOf(ArcIn(ON_Plane(ON_3dPoint(0, 0, 0), {0, 0, 1}), 10, 0, 2 * pi)), 0.001);
    ASSERT_EQ(Ops(circle), "DocCreateCircle");
    ExpectNear(Doubles(circle[0]), {0, 0, 0, 0.01}, 1e-15, "circle of radius 10 mm");

    const ON_Arc ccw = ArcIn(xy, 5, 0, pi / 2);
    auto a = Convert(NurbsOf(ccw));
    ASSERT_EQ(Ops(a), "DocCreateArc");
    ExpectNear(Doubles(a[0]), {1, 2, 0, 6, 2, 0, 1, 7, 0}, 1e-12, "counter-clockwise arc");
    EXPECT_EQ(a[0].args.at(9).integer, 1);

    const ON_Arc cw = ArcIn(down, 3, 0, 2 * pi / 3);
    a = Convert(NurbsOf(cw));
    ASSERT_EQ(Ops(a), "DocCreateArc");
    const ON_3dPoint s = cw.StartPoint(), e = cw.EndPoint();
    ExpectNear(Doubles(a[0]), {-3, 0, 0, s.x, s.y, s.z, e.x, e.y, e.z}, 1e-12, "clockwise arc");
    EXPECT_EQ(a[0].args.at(9).integer, -1);
}

TEST_F(CurveStagesTest, ArcsOutsideWorldXYKeepTheirShape) {
    // A closed circle off the plane, an arc parallel to it at z = 2, and an
    // arc tilted 30 degrees about X: all fitted through points on the arc,
    // never a spline on the arc's control points without their weights.
    const ON_Plane raised(ON_3dPoint(0, 0, 1), ON_3dVector(0, 0, 1));
    ON_Plane tilted(ON_3dPoint(1, 1, 1), ON_3dVector(0, std::sin(ON_PI / 6), std::cos(ON_PI / 6)));
    const struct {
        const char* name;
        ON_Arc arc;
    } cases[] = {
        {"circle at z = 1", ArcIn(raised, 10, 0, 2 * ON_PI)},
        {"quarter arc at z = 2", ArcIn(ON_Plane(ON_3dPoint(0, 0, 2), {0, 0, 1}), 4, 0, ON_PI / 2)},
        {"tilted arc", ArcIn(tilted, 4, ON_PI / 6, 200 * ON_PI / 180)},
    };
    for (const auto& c : cases) {
        const auto calls = Convert(NurbsOf(c.arc), 0.01);
        ASSERT_EQ(Ops(calls), "DocCreateSplineThroughPoints") << c.name;
        const auto points = SplinePoints(calls[0]);
        EXPECT_EQ(calls[0].args.at(0).integer, static_cast<long long>(points.size()));
        ASSERT_GE(points.size(), 3u) << c.name;
        for (const ON_3dPoint& p : points) {
            const ON_3dPoint q(p.x / 0.01, p.y / 0.01, p.z / 0.01);
            EXPECT_NEAR(q.DistanceTo(c.arc.Center()), c.arc.Radius(), 1e-9) << c.name;
            EXPECT_NEAR((q - c.arc.Center()) * c.arc.plane.zaxis, 0.0, 1e-9) << c.name;
        }
        EXPECT_LT(points.front().DistanceTo(c.arc.StartPoint() * 0.01), 1e-12) << c.name;
        EXPECT_LT(points.back().DistanceTo(c.arc.EndPoint() * 0.01), 1e-12) << c.name;
    }
}

TEST_F(CurveStagesTest, OpenSplinesGoOnTheirKnotsWithBothEndKnotsRestored) {
    const ON_NurbsCurve cubic =
        Cubic({{0, 0, 0}, {1, 2, 0}, {3, -1, 1}, {4, 3, 0}, {6, 0, 2}}, {2, 2, 2, 3, 6, 6, 6});
    ON_NurbsCurve equalWeights = cubic;
    for (int i = 0; i < 5; i++)
        equalWeights.SetWeight(i, 2.0); // rational, same shape
    ON_NurbsCurve flat =
        Cubic({{0, 0, 0}, {1, 2, 0}, {3, -1, 0}, {4, 3, 0}, {6, 0, 0}}, {0, 0, 0, 1, 2, 2, 2}, 2);
    const struct {
        const char* name;
        const ON_NurbsCurve& curve;
        std::vector<double> knots;
        std::vector<double> cvs; // metres (factor 0.5)
    } cases[] = {
        {"cubic",
         cubic,
         {2, 2, 2, 2, 3, 6, 6, 6, 6},
         {0, 0, 0, 0.5, 1, 0, 1.5, -0.5, 0.5, 2, 1.5, 0, 3, 0, 1}},
        {"equal weights",
         equalWeights,
         {2, 2, 2, 2, 3, 6, 6, 6, 6},
         {0, 0, 0, 0.5, 1, 0, 1.5, -0.5, 0.5, 2, 1.5, 0, 3, 0, 1}},
        {"two-dimensional",
         flat,
         {0, 0, 0, 0, 1, 2, 2, 2, 2},
         {0, 0, 0, 0.5, 1, 0, 1.5, -0.5, 0, 2, 1.5, 0, 3, 0, 0}},
    };
    for (const auto& c : cases) {
        const auto calls = Convert(c.curve, 0.5);
        ASSERT_EQ(Ops(calls), "DocCreateSplineFromNurbs") << c.name;
        EXPECT_EQ(calls[0].args.at(0).ints, (std::vector<long long>{3, 4, 5, 0})) << c.name;
        EXPECT_EQ(calls[0].args.at(1).doubles, c.knots) << c.name;
        ExpectNear(calls[0].args.at(2).doubles, c.cvs, 1e-15, c.name);
    }
}

TEST_F(CurveStagesTest, RationalOpenCurvesWithUnequalWeightsAreFittedThroughPoints) {
    ON_NurbsCurve rational(3, true, 3, 5);
    const double w[5] = {1, 0.5, 2, 0.75, 1};
    const ON_3dPoint p[5] = {{0, 0, 0}, {1, 2, 1}, {3, 2, -1}, {4, 0, 0}, {6, 1, 2}};
    const double knots[6] = {0, 0, 1, 2, 3, 3};
    for (int i = 0; i < 5; i++)
        rational.SetCV(i, ON_4dPoint(p[i].x * w[i], p[i].y * w[i], p[i].z * w[i], w[i]));
    for (int i = 0; i < 6; i++)
        rational.SetKnot(i, knots[i]);

    auto calls = Convert(rational, 2.0);
    ASSERT_EQ(Ops(calls), "DocCreateSplineThroughPoints");
    auto points = SplinePoints(calls[0]);
    ASSERT_GE(points.size(), 5u);
    EXPECT_EQ(points.front(), ON_3dPoint(0, 0, 0));
    EXPECT_EQ(points.back(), ON_3dPoint(12, 2, 4));
    // Every point lies on the weighted curve.
    for (size_t i = 1; i + 1 < points.size(); i++) {
        double best = 1e300;
        for (int k = 0; k <= 3000; k++) {
            const ON_3dPoint q = rational.PointAt(3.0 * k / 3000) * 2.0;
            best = std::min(best, q.DistanceTo(points[i]));
        }
        EXPECT_LT(best, 1e-2) << "point " << i << " is off the curve";
    }

    // A control point of weight 0 has no Euclidean form: never a NURBS spline.
    ON_NurbsCurve zero = rational;
    zero.SetCV(2, ON_4dPoint(1, 1, 0, 0));
    calls = Convert(zero, 1.0);
    EXPECT_EQ(host.Calls(Op::DocCreateSplineFromNurbs), 0u) << Ops(calls);
    for (const auto& e : calls)
        for (double d : e.args.at(1).doubles)
            EXPECT_TRUE(std::isfinite(d)) << e.ToString();
}

TEST_F(CurveStagesTest, PolylinesBecomeOneLinePerSegment) {
    auto calls = Convert(NurbsPolyline({{0, 0, 0}, {1, 0, 0}, {1, 1, 1}, {3, 1, 1}}), 0.01);
    std::vector<std::string> lines;
    for (const auto& e : calls)
        lines.push_back(e.ToString());
    EXPECT_EQ(lines, (std::vector<std::string>{
                         "DocCreateLine[doc 0](0, 0, 0, 0.01, 0, 0) = 0",
                         "DocCreateLine[doc 0](0.01, 0, 0, 0.01, 0.01, 0.01) = 0",
                         "DocCreateLine[doc 0](0.01, 0.01, 0.01, 0.03, 0.01, 0.01) = 0",
                     }));

    // A closed polyline gets its closing segment.
    calls = Convert(NurbsPolyline({{0, 0, 0}, {2, 0, 0}, {2, 2, 0}, {0, 2, 0}, {0, 0, 0}}));
    ASSERT_EQ(Ops(calls), "DocCreateLine DocCreateLine DocCreateLine DocCreateLine");
    ExpectNear(Doubles(calls[3]), {0, 2, 0, 0, 0, 0}, 0, "closing segment");

    // The first refused segment ends the polyline.
    host.RefuseCall(Op::DocCreateLine, 2);
    calls = Convert(NurbsPolyline({{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {2, 1, 0}}));
    ASSERT_EQ(calls.size(), 2u) << Ops(calls);
    EXPECT_EQ(calls[1].status, HOST_E_REFUSED);
    EXPECT_EQ(host.Document(0).Count(cadhost::EntityKind::Line), 8u);
}

TEST_F(CurveStagesTest, CurvesShorterThanTheFilesToleranceAreLeftOutAndCounted) {
    const struct {
        const char* name;
        ON_NurbsCurve curve;
        double fileTolerance; // 0: not known
        size_t calls;
        int shortCurves;
    } cases[] = {
        {"a line of no length", NurbsLine({1, 2, 3}, {1, 2, 3}), 0, 0, 1},
        {"a line shorter than the tolerance", NurbsLine({0, 0, 0}, {5e-4, 0, 0}), 1e-3, 0, 1},
        {"a line as long as the tolerance", NurbsLine({0, 0, 0}, {1e-3, 0, 0}), 1e-3, 1, 0},
        {"a short line, tolerance not known", NurbsLine({0, 0, 0}, {1e-9, 0, 0}), 0, 1, 0},
        {"a cubic curled up within the tolerance",
         Cubic({{0, 0, 0}, {3e-4, 0, 0}, {3e-4, 3e-4, 0}, {0, 3e-4, 0}}, {0, 0, 0, 1, 1, 1}), 1e-3, 0,
         1},
    };
    for (const auto& c : cases) {
        RecognitionTolerance tolerance(c.fileTolerance);
        ResetConversionCounts();
        const auto calls = Convert(c.curve);
        EXPECT_EQ(calls.size(), c.calls) << c.name << ": " << Ops(calls);
        for (const auto& e : calls)
            EXPECT_EQ(e.status, 0) << c.name << ": " << e.ToString();
        EXPECT_EQ(GetConversionCounts().shortCurves, c.shortCurves) << c.name;
    }
}

TEST_F(CurveStagesTest, EmptyArrayCreatesNothing) {
    ON_ClassArray<ON_NurbsCurve> none;
    ON_3dPointArray nothing;
    EXPECT_EQ(ConvertCurveArray(doc, none, 1.0, 1), 1);
    EXPECT_EQ(ConvertPoints(doc, nothing, 1.0, 1), 1);
    EXPECT_TRUE(host.Journal().empty()) << Journal();
}
