// TMXCurve: which curves are lines, arcs and polylines, what the tests fill
// in, and the tolerance setting.
#include "TMXShape.h"
#include "TruthGeometry.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace {

using testjson::Value;

ON_NurbsCurve* Nurbs(int order, const std::vector<ON_3dPoint>& cvs,
                     const std::vector<double>& knots, const std::vector<double>& weights = {}) {
    ON_NurbsCurve* c = new ON_NurbsCurve(3, !weights.empty(), order, (int)cvs.size());
    for (size_t i = 0; i < cvs.size(); i++) {
        c->SetCV((int)i, cvs[i]);
        if (!weights.empty()) c->SetWeight((int)i, weights[i]);
    }
    for (size_t i = 0; i < knots.size(); i++)
        c->SetKnot((int)i, knots[i]);
    return c;
}

ON_Curve* FormOf(ON_Curve* c) {
    ON_NurbsCurve* n = c->NurbsCurve();
    delete c;
    return n;
}

ON_PolylineCurve* Polyline(const std::vector<ON_3dPoint>& pts) {
    ON_3dPointArray a;
    for (const ON_3dPoint& p : pts)
        a.Append(p);
    return new ON_PolylineCurve(a);
}

struct Expect {
    const char* name;
    std::function<ON_Curve*()> make;
    int line, arc, polyline;
};

class Classification : public ::testing::TestWithParam<Expect> {
protected:
    void TearDown() override { TMXCurve::ResetTolerance(); }
};

TEST_P(Classification, AnswersEachTest) {
    std::unique_ptr<ON_Curve> c(GetParam().make());
    ASSERT_TRUE(c->IsValid());
    ON_Line line;
    ON_Arc arc;
    ON_Polyline pl;
    EXPECT_EQ(TMXCurve::IsLine(c.get(), line), GetParam().line) << "IsLine";
    EXPECT_EQ(TMXCurve::IsArc(c.get(), arc), GetParam().arc) << "IsArc";
    EXPECT_EQ(TMXCurve::IsPolyline(c.get(), pl), GetParam().polyline) << "IsPolyline";
}

const ON_Plane kTilted(ON_3dPoint(0, 0, 5), ON_3dVector(1, 0, 0),
                       ON_3dVector(0, std::cos(0.5), std::sin(0.5)));

INSTANTIATE_TEST_SUITE_P(
    Curves, Classification,
    ::testing::Values(
        Expect{
            "line",
            [] { return (ON_Curve*)new ON_LineCurve(ON_3dPoint(0, 0, 5), ON_3dPoint(10, 10, 5)); },
            1, 0, 1},
        Expect{"line_form",
               [] { return FormOf(new ON_LineCurve(ON_3dPoint(-1, -2, -3), ON_3dPoint(4, 5, 6))); },
               1, 0, 1},
        Expect{"two_point_polyline",
               [] {
                   return (ON_Curve*)Polyline({{0, 0, 0}, {3, 4, 0}});
               },
               1, 0, 1},
        Expect{"straight_cubic",
               [] {
                   return (ON_Curve*)Nurbs(4, {{0, 0, 0}, {1, 1, 1}, {3, 3, 3}, {4, 4, 4}},
                                           {0, 0, 0, 1, 1, 1});
               },
               1, 0, 1},
        Expect{"collinear_polyline_in_order",
               [] {
                   return (ON_Curve*)Polyline({{0, 0, 0}, {1, 0, 0}, {3, 0, 0}});
               },
               1, 0, 1},
        Expect{"collinear_polyline_turning_back",
               [] {
                   return (ON_Curve*)Polyline({{0, 0, 0}, {3, 0, 0}, {1, 0, 0}});
               },
               0, 0, 1},
        Expect{"straight_cubic_turning_back",
               [] {
                   return (ON_Curve*)Nurbs(4, {{0, 0, 0}, {5, 0, 0}, {-3, 0, 0}, {2, 0, 0}},
                                           {0, 0, 0, 1, 1, 1});
               },
               0, 0, 0},
        Expect{"open_polyline",
               [] {
                   return (ON_Curve*)Polyline({{0, 0, 0}, {5, 0, 0}, {5, 5, 0}, {10, 5, 2}});
               },
               0, 0, 1},
        Expect{"closed_square_form",
               [] {
                   return FormOf(
                       Polyline({{0, 10, 0}, {4, 10, 0}, {4, 14, 0}, {0, 14, 0}, {0, 10, 0}}));
               },
               0, 0, 1},
        Expect{"ccw_arc",
               [] {
                   return (ON_Curve*)new ON_ArcCurve(
                       ON_Arc(ON_Circle(ON_3dPoint::Origin, 5.0), ON_PI / 2));
               },
               0, 1, 0},
        Expect{"tilted_arc_form",
               [] {
                   return FormOf(
                       new ON_ArcCurve(ON_Arc(ON_Circle(kTilted, 4.0), ON_Interval(0.5, 3.5))));
               },
               0, 1, 0},
        Expect{"circle_form_z1",
               [] { return FormOf(new ON_ArcCurve(ON_Circle(ON_3dPoint(0, 0, 1), 10.0))); }, 0, 1,
               0},
        Expect{"arc_raised_to_degree_5",
               [] {
                   ON_NurbsCurve* n =
                       ON_ArcCurve(ON_Arc(ON_Circle(kTilted, 4.0), 4.0)).NurbsCurve();
                   n->IncreaseDegree(5);
                   return (ON_Curve*)n;
               },
               0, 1, 0},
        Expect{
            "ellipse_arc",
            [] {
                // A quarter circle's form stretched in x: a conic, not a circle.
                ON_NurbsCurve* n =
                    ON_ArcCurve(ON_Arc(ON_Circle(ON_3dPoint::Origin, 5.0), ON_PI / 2)).NurbsCurve();
                n->Transform(ON_Xform::ScaleTransformation(ON_3dPoint::Origin, 2, 1, 1));
                return (ON_Curve*)n;
            },
            0, 0, 0},
        Expect{"parabola",
               [] {
                   return (ON_Curve*)Nurbs(3, {{0, 0, 0}, {1, 2, 0}, {2, 0, 0}}, {0, 0, 1, 1});
               },
               0, 0, 0},
        Expect{"cubic_spline",
               [] {
                   return (ON_Curve*)Nurbs(4,
                                           {{0, 0, 0}, {2, 4, 0}, {5, 5, 1}, {8, 1, 0}, {10, 3, 0}},
                                           {2, 2, 2, 3, 6, 6, 6});
               },
               0, 0, 0},
        Expect{"polycurve_of_lines_and_straight_cubic",
               [] {
                   ON_PolyCurve* pc = new ON_PolyCurve();
                   pc->Append(new ON_LineCurve(ON_3dPoint(0, 0, 0), ON_3dPoint(5, 0, 0)));
                   pc->Append(
                       Nurbs(4, {{5, 0, 0}, {5, 1, 0}, {5, 2, 0}, {5, 4, 0}}, {0, 0, 0, 1, 1, 1}));
                   pc->Append(new ON_LineCurve(ON_3dPoint(5, 4, 0), ON_3dPoint(0, 4, 0)));
                   return (ON_Curve*)pc;
               },
               0, 0, 1},
        Expect{"polycurve_line_and_arc",
               [] {
                   ON_PolyCurve* pc = new ON_PolyCurve();
                   pc->Append(new ON_LineCurve(ON_3dPoint(0, 0, 0), ON_3dPoint(5, 0, 0)));
                   ON_Plane p(ON_3dPoint(5, 1.5, 0), ON_3dVector(0, -1, 0), ON_3dVector(1, 0, 0));
                   pc->Append(new ON_ArcCurve(ON_Arc(ON_Circle(p, 1.5), ON_PI)));
                   return (ON_Curve*)pc;
               },
               0, 0, 0}),
    [](const ::testing::TestParamInfo<Expect>& i) { return std::string(i.param.name); });

TEST(IsArc, FillsPlaneCentreRadiusAndAngle) {
    struct Case {
        const char* name;
        ON_Arc arc;
    };
    const ON_Plane down(ON_3dPoint(10, 0, 0), ON_3dVector(1, 0, 0), ON_3dVector(0, -1, 0));
    const Case cases[] = {
        {"counter-clockwise", ON_Arc(ON_Circle(ON_Plane::World_xy, 5.0), ON_Interval(0.25, 2.0))},
        {"clockwise", ON_Arc(ON_Circle(down, 3.0), 2.0 * ON_PI / 3.0)},
        {"tilted, 270 degrees",
         ON_Arc(ON_Circle(kTilted, 2.0), ON_Interval(-1.0, -1.0 + 1.5 * ON_PI))},
        {"circle", ON_Arc(ON_Circle(kTilted, 10.0), 2.0 * ON_PI)},
    };
    for (const Case& c : cases) {
        for (int form = 0; form < 2; form++) {
            std::unique_ptr<ON_Curve> curve(new ON_ArcCurve(c.arc));
            if (form) curve.reset(FormOf(curve.release()));
            ON_Arc a;
            ASSERT_EQ(TMXCurve::IsArc(curve.get(), a), 1) << c.name << (form ? " (form)" : "");
            EXPECT_LT(a.Center().DistanceTo(c.arc.Center()), 1e-9) << c.name;
            EXPECT_NEAR(a.radius, c.arc.radius, 1e-9) << c.name;
            EXPECT_NEAR(a.AngleRadians(), c.arc.AngleRadians(), 1e-9) << c.name;
            EXPECT_LT((a.Normal() - c.arc.Normal()).Length(), 1e-9) << c.name;
            EXPECT_LT(a.StartPoint().DistanceTo(c.arc.StartPoint()), 1e-9) << c.name;
            EXPECT_LT(a.EndPoint().DistanceTo(c.arc.EndPoint()), 1e-9) << c.name;
            EXPECT_TRUE(a.plane.IsValid()) << c.name;
        }
    }
}

TEST(IsPolyline, GivesTheVerticesFirstToLast) {
    std::unique_ptr<ON_Curve> square(
        FormOf(Polyline({{0, 10, 0}, {4, 10, 0}, {4, 14, 0}, {0, 14, 0}, {0, 10, 0}})));
    ON_Polyline pl;
    ASSERT_EQ(TMXCurve::IsPolyline(square.get(), pl), 1);
    ASSERT_EQ(pl.Count(), 5);
    EXPECT_EQ(pl[1], ON_3dPoint(4, 10, 0));
    EXPECT_EQ(pl[4], pl[0]);

    // Lines and a straight cubic joined: the cubic's span ends are the
    // vertices; the join inside the straight run is not.
    ON_PolyCurve pc;
    pc.Append(new ON_LineCurve(ON_3dPoint(0, 0, 0), ON_3dPoint(5, 0, 0)));
    pc.Append(new ON_LineCurve(ON_3dPoint(5, 0, 0), ON_3dPoint(8, 0, 0)));
    pc.Append(Nurbs(4, {{8, 0, 0}, {8, 1, 0}, {8, 2, 0}, {8, 4, 0}}, {0, 0, 0, 1, 1, 1}));
    ASSERT_EQ(TMXCurve::IsPolyline(&pc, pl), 1);
    ASSERT_EQ(pl.Count(), 3);
    EXPECT_LT(pl[1].DistanceTo(ON_3dPoint(8, 0, 0)), 1e-12);
    EXPECT_LT(pl[2].DistanceTo(ON_3dPoint(8, 4, 0)), 1e-12);

    // Output untouched on "no".
    ON_Polyline keep;
    keep.Append(ON_3dPoint(1, 1, 1));
    std::unique_ptr<ON_Curve> arc(new ON_ArcCurve(ON_Circle(ON_3dPoint::Origin, 1.0)));
    EXPECT_EQ(TMXCurve::IsPolyline(arc.get(), keep), 0);
    EXPECT_EQ(keep.Count(), 1);
}

TEST(IsLine, GivesTheEndPoints) {
    std::unique_ptr<ON_Curve> c(
        FormOf(new ON_LineCurve(ON_Line(ON_3dPoint(2, 2, 0), ON_3dPoint(5, 6, 0)), 10, 20)));
    ON_Line line;
    ASSERT_EQ(TMXCurve::IsLine(c.get(), line), 1);
    EXPECT_EQ(line.from, ON_3dPoint(2, 2, 0));
    EXPECT_EQ(line.to, ON_3dPoint(5, 6, 0));
    EXPECT_EQ(TMXCurve::IsLine(nullptr, line), 0);
}

// A regular polygon of 72 sides inscribed in a circle of radius 10: its
// sides stray up to 10 (1 - cos 2.5 deg) ~ 0.0095 from the circle.
class ToleranceSetting : public ::testing::Test {
protected:
    void SetUp() override {
        ON_3dPointArray pts;
        for (int i = 0; i <= 72; i++) {
            const double a = 2.0 * ON_PI * (i % 72) / 72.0;
            pts.Append(10 * std::cos(a), 10 * std::sin(a), 0);
        }
        polygon.reset(new ON_PolylineCurve(pts));
    }
    void TearDown() override { TMXCurve::ResetTolerance(); }
    std::unique_ptr<ON_Curve> polygon;
};

TEST_F(ToleranceSetting, RelativeByDefault) {
    EXPECT_EQ(TMXCurve::AbsoluteTolerance(), 0.0);
    ON_Arc arc;
    ON_Polyline pl;
    EXPECT_EQ(TMXCurve::IsArc(polygon.get(), arc), 0);
    EXPECT_EQ(TMXCurve::IsPolyline(polygon.get(), pl), 1);
    EXPECT_NEAR(TMXCurve::Tolerance(polygon.get()), 1e-9 * std::sqrt(20.0 * 20.0 + 20.0 * 20.0),
                1e-12);
}

TEST_F(ToleranceSetting, AbsoluteWhileSetThenResetToRelative) {
    TMXCurve::SetAbsoluteTolerance(0.01);
    EXPECT_EQ(TMXCurve::AbsoluteTolerance(), 0.01);
    EXPECT_EQ(TMXCurve::Tolerance(polygon.get()), 0.01);
    ON_Arc arc;
    ON_Polyline pl;
    // Its sides lie within 0.01 of the circle, but a polygon stays a polygon.
    EXPECT_EQ(TMXCurve::IsArc(polygon.get(), arc), 0);
    EXPECT_EQ(TMXCurve::IsPolyline(polygon.get(), pl), 1);
    EXPECT_EQ(pl.Count(), 73);
    TMXCurve::SetAbsoluteTolerance(-1.0); // ignored
    TMXCurve::SetAbsoluteTolerance(std::nan(""));
    EXPECT_EQ(TMXCurve::AbsoluteTolerance(), 0.01);
    TMXCurve::ResetTolerance();
    EXPECT_EQ(TMXCurve::AbsoluteTolerance(), 0.0);
}

// A cubic from (0, 0, 0) to (10, 0, 0) whose inner control points stand h
// off the line: a line exactly when h is within the tolerance used.
ON_NurbsCurve* BumpedLine(double h) {
    return Nurbs(4, {{0, 0, 0}, {10.0 / 3, h, 0}, {20.0 / 3, -h, 0}, {10, 0, 0}},
                 {0, 0, 0, 1, 1, 1});
}

TEST_F(ToleranceSetting, TheFilesToleranceIsBoundedByTheCurvesSize) {
    struct Case {
        const char* name;
        double file;     // absolute tolerance set
        double used;     // per unit of the curve's size (10)
    } cases[] = {
        {"within the bounds", 1e-3, 1e-4},
        {"larger than 0.1 % of the size", 1.0, TMXCurve::MaxRelativeTolerance},
        {"as large as the curve", 10.0, TMXCurve::MaxRelativeTolerance},
        {"below the rounding of its coordinates", 1e-15, TMXCurve::RelativeTolerance},
    };
    for (const Case& c : cases) {
        TMXCurve::SetAbsoluteTolerance(c.file);
        const double size = std::hypot(10.0, 2 * 0.9 * c.used * 10); // box of the CVs
        const double used = std::max(TMXCurve::RelativeTolerance * size,
                                     std::min(c.file, TMXCurve::MaxRelativeTolerance * size));
        std::unique_ptr<ON_Curve> inside(BumpedLine(0.9 * c.used * 10));
        std::unique_ptr<ON_Curve> outside(BumpedLine(1.1 * c.used * 10));
        EXPECT_DOUBLE_EQ(TMXCurve::Tolerance(inside.get()), used) << c.name;
        ON_Line line;
        EXPECT_EQ(TMXCurve::IsLine(inside.get(), line), 1) << c.name;
        EXPECT_EQ(TMXCurve::IsLine(outside.get(), line), 0) << c.name;
    }
}

TEST_F(ToleranceSetting, ACircleAsSmallAsTheToleranceStaysACircle) {
    // Radius 0.5 in a file whose tolerance is 0.5: at that tolerance the
    // circle's four spans would pass as a diameter drawn there and back.
    std::unique_ptr<ON_Curve> circle(FormOf(new ON_ArcCurve(ON_Circle(ON_3dPoint::Origin, 0.5))));
    TMXCurve::SetAbsoluteTolerance(0.5);
    ON_Line line;
    ON_Arc arc;
    ON_Polyline pl;
    EXPECT_EQ(TMXCurve::IsLine(circle.get(), line), 0);
    ASSERT_EQ(TMXCurve::IsArc(circle.get(), arc), 1);
    EXPECT_NEAR(arc.radius, 0.5, 1e-12);
    EXPECT_EQ(TMXCurve::IsPolyline(circle.get(), pl), 0);
}

TEST_F(ToleranceSetting, AClosedCurveIsNeverALineNorAChainOfFewerThanThreeSegments) {
    TMXCurve::SetAbsoluteTolerance(1.0);
    struct Case {
        const char* name;
        std::vector<ON_3dPoint> points;
        int polyline;
    } cases[] = {
        {"there and back", {{0, 0, 0}, {10, 0, 0}, {0, 0, 0}}, 0},
        {"there and back in three", {{0, 0, 0}, {4, 0, 0}, {10, 0, 0}, {0, 0, 0}}, 0},
        {"a thin sliver", {{0, 0, 0}, {10, 0.001, 0}, {20, 0, 0}, {0, 0, 0}}, 0},
        {"a triangle", {{0, 0, 0}, {10, 0, 0}, {0, 10, 0}, {0, 0, 0}}, 1},
    };
    for (const Case& c : cases) {
        std::unique_ptr<ON_Curve> curve(Polyline(c.points));
        ON_Line line;
        ON_Polyline pl;
        EXPECT_EQ(TMXCurve::IsLine(curve.get(), line), 0) << c.name;
        EXPECT_EQ(TMXCurve::IsPolyline(curve.get(), pl), c.polyline) << c.name;
    }
}

TEST_F(ToleranceSetting, ArcsAndChainsEndExactlyWhereTheCurveEnds) {
    // A quarter circle whose end was moved by 0.0005, within the tolerance:
    // the arc ends at the curve's end, not at its own reading of the circle.
    ON_NurbsCurve* n = ON_ArcCurve(ON_Arc(ON_Circle(ON_3dPoint::Origin, 5.0), ON_PI / 2)).NurbsCurve();
    std::unique_ptr<ON_Curve> own(n);
    ON_3dPoint last;
    n->GetCV(n->CVCount() - 1, last);
    n->SetCV(n->CVCount() - 1, last + ON_3dVector(0.0004, 0.0003, 0));
    TMXCurve::SetAbsoluteTolerance(1e-3);
    ON_Arc arc;
    ASSERT_EQ(TMXCurve::IsArc(n, arc), 1);
    EXPECT_LT(arc.StartPoint().DistanceTo(n->PointAtStart()), 1e-14);
    EXPECT_LT(arc.EndPoint().DistanceTo(n->PointAtEnd()), 1e-14);

    // A chain whose last segment is shorter than the tolerance: its vertex
    // goes, the end stays.
    std::unique_ptr<ON_Curve> chain(Polyline({{0, 0, 0}, {10, 0, 0}, {10, 10, 0}, {10, 10.0005, 0}}));
    ON_Polyline pl;
    ASSERT_EQ(TMXCurve::IsPolyline(chain.get(), pl), 1);
    ASSERT_EQ(pl.Count(), 3);
    EXPECT_EQ(pl[2], ON_3dPoint(10, 10.0005, 0));
}

TEST_F(ToleranceSetting, PerturbedArcIsAnArcOnlyWithinTolerance) {
    ON_NurbsCurve* n = ON_ArcCurve(ON_Arc(ON_Circle(ON_3dPoint::Origin, 5.0), 2.0)).NurbsCurve();
    std::unique_ptr<ON_Curve> own(n);
    ON_3dPoint p;
    n->GetCV(1, p);
    n->SetCV(1, p + ON_3dVector(0, 0, 1e-4)); // lifts the middle out of the plane
    ON_Arc arc;
    EXPECT_EQ(TMXCurve::IsArc(n, arc), 0);
    TMXCurve::SetAbsoluteTolerance(1e-3);
    EXPECT_EQ(TMXCurve::IsArc(n, arc), 1);
}

// The v2 files hold the NURBS forms openNURBS wrote for the lines, arcs and
// polylines that the v8 files keep as they are: both must be recognised
// alike.
class FixtureForms : public ::testing::TestWithParam<std::string> {};

TEST_P(FixtureForms, NurbsFormsAreRecognisedLikeTheirCurves) {
    const std::string model = GetParam();
    const Value v8 = testjson::Load(truth::SharedPath("fixtures/3dm/" + model + ".v8.json"));
    const Value v2 = testjson::Load(truth::SharedPath("fixtures/3dm/" + model + ".v2.json"));
    ASSERT_EQ(v8["objects"].size(), v2["objects"].size());
    for (size_t i = 0; i < v8["objects"].size(); i++) {
        const Value& o8 = v8["objects"][i];
        const Value& o2 = v2["objects"][i];
        const std::string name = o8["name"].Str();
        ASSERT_EQ(o2["type"].Str(), "NurbsCurve") << name;
        std::unique_ptr<ON_Curve> original(truth::CurveFromTruth(o8["type"].Str(), o8["geometry"]));
        std::unique_ptr<ON_Curve> form(truth::CurveFromTruth("NurbsCurve", o2["geometry"]));
        ON_Line l1, l2;
        ON_Arc a1, a2;
        ON_Polyline p1, p2;
        const int line = TMXCurve::IsLine(original.get(), l1);
        const int arc = TMXCurve::IsArc(original.get(), a1);
        const int poly = TMXCurve::IsPolyline(original.get(), p1);
        EXPECT_EQ(TMXCurve::IsLine(form.get(), l2), line) << name;
        EXPECT_EQ(TMXCurve::IsArc(form.get(), a2), arc) << name;
        EXPECT_EQ(TMXCurve::IsPolyline(form.get(), p2), poly) << name;
        const std::string type = o8["type"].Str();
        if (type == "LineCurve") {
            EXPECT_EQ(line, 1) << name;
            EXPECT_EQ(l1.from, truth::Point(o8["geometry"]["line"]["from"])) << name;
            EXPECT_EQ(l2.to, truth::Point(o8["geometry"]["line"]["to"])) << name;
        }
        if (type == "ArcCurve") {
            const Value& ta = o8["geometry"]["arc"];
            EXPECT_EQ(line, 0) << name;
            ASSERT_EQ(arc, 1) << name;
            for (const ON_Arc* a : {&a1, &a2}) {
                EXPECT_LT(a->Center().DistanceTo(truth::Point(ta["center"])), 1e-9) << name;
                EXPECT_NEAR(a->radius, ta["radius"].Num(), 1e-9) << name;
                EXPECT_NEAR(a->AngleRadians(), truth::Interval(ta["angleDomain"]).Length(), 1e-9)
                    << name;
                EXPECT_LT((a->Normal() - truth::Vector(ta["plane"]["zAxis"])).Length(), 1e-9)
                    << name;
                EXPECT_LT(a->StartPoint().DistanceTo(truth::Point(ta["startPoint"])), 1e-9) << name;
            }
            EXPECT_EQ(std::fabs(a2.AngleRadians() - 2 * ON_PI) <= 1e-12, ta["isCircle"].Bool())
                << name;
        }
        if (type == "PolylineCurve") {
            EXPECT_EQ(poly, 1) << name;
            const Value& pts = o8["geometry"]["points"];
            ASSERT_EQ(p2.Count(), (int)pts.size()) << name;
            for (int k = 0; k < p2.Count(); k++)
                EXPECT_EQ(p2[k], truth::Point(pts[k])) << name << " vertex " << k;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Models, FixtureForms,
                         ::testing::Values("lines", "arcs", "polylines", "polycurve", "nurbs"));

TEST(FixtureNurbs, OnlyTheCircleAndTheDegreeOneCurveAreRecognised) {
    const Value v8 = testjson::Load(truth::SharedPath("fixtures/3dm/nurbs.v8.json"));
    for (size_t i = 0; i < v8["objects"].size(); i++) {
        const Value& o = v8["objects"][i];
        const std::string name = o["name"].Str();
        std::unique_ptr<ON_Curve> c(truth::CurveFromTruth("NurbsCurve", o["geometry"]));
        ON_Line l;
        ON_Arc a;
        ON_Polyline p;
        EXPECT_EQ(TMXCurve::IsLine(c.get(), l), 0) << name;
        EXPECT_EQ(TMXCurve::IsArc(c.get(), a), name == "rational-circle" ? 1 : 0) << name;
        EXPECT_EQ(TMXCurve::IsPolyline(c.get(), p), name == "degree1" ? 1 : 0) << name;
    }
}

} // namespace
