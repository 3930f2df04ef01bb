// Curve facts the converters rely on: arc forms that keep the radius, the
// knot convention, the closed and periodic tests, polycurve joins, knot
// insertion and degree elevation that keep the shape, transforms.
#include "opennurbs.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

double MaxRadiusError(const ON_NurbsCurve& n, const ON_Arc& arc, int samples) {
    const ON_Interval d = n.Domain();
    double err = 0.0;
    for (int i = 0; i <= samples; i++) {
        const ON_3dPoint p = n.PointAt(d.ParameterAt((double)i / samples));
        err = std::max(err, std::fabs(p.DistanceTo(arc.Center()) - arc.radius));
        err = std::max(err, std::fabs(arc.plane.DistanceTo(p)));
    }
    return err;
}

struct ArcCase {
    const char* name;
    double start_deg, end_deg;
    int cv_count;
};

class ArcForms : public ::testing::TestWithParam<ArcCase> {};

TEST_P(ArcForms, PassThroughTheArcAndKeepItsRadius) {
    const ArcCase c = GetParam();
    ON_Plane plane(ON_3dPoint(3, -2, 1), ON_3dVector(1, 1, 0), ON_3dVector(0, 1, 1)); // tilted
    const ON_Arc arc(ON_Circle(plane, 7.5), ON_Interval(c.start_deg * ON_DEGREES_TO_RADIANS,
                                                        c.end_deg * ON_DEGREES_TO_RADIANS));
    ON_ArcCurve curve(arc);
    ON_NurbsCurve n;
    ASSERT_EQ(curve.GetNurbForm(n), 1);
    EXPECT_EQ(n.CVCount(), c.cv_count);
    EXPECT_EQ(n.Order(), 3);
    EXPECT_TRUE(n.IsRational());
    EXPECT_EQ(n.Domain(), curve.Domain());
    EXPECT_LT(MaxRadiusError(n, arc, 200), 1e-12 * 10);
    EXPECT_LT(n.PointAtStart().DistanceTo(arc.StartPoint()), 1e-12);
    EXPECT_LT(n.PointAtEnd().DistanceTo(arc.EndPoint()), 1e-12);
    // Every knot value is where the arc curve is: at a span's end the rational
    // form and the angle parametrisation agree.
    for (int i = 0; i < n.KnotCount(); i++)
        EXPECT_LT(n.PointAt(n.Knot(i)).DistanceTo(curve.PointAt(n.Knot(i))), 1e-12 * 10)
            << "knot " << i;
    EXPECT_EQ(n.IsClosed(), arc.IsCircle());
}

INSTANTIATE_TEST_SUITE_P(
    Spans, ArcForms,
    ::testing::Values(ArcCase{"quarter", 0, 90, 3}, ArcCase{"just over quarter", 0, 91, 5},
                      ArcCase{"half", 30, 210, 5}, ArcCase{"three quarters", -90, 180, 9},
                      ArcCase{"circle", 0, 360, 9}, ArcCase{"small", 10, 11, 3}),
    [](const ::testing::TestParamInfo<ArcCase>& i) {
        std::string s = i.param.name;
        for (char& ch : s)
            if (ch == ' ') ch = '_';
        return s;
    });

TEST(ArcForms, ClockwiseArcKeepsItsDownwardNormal) {
    ON_Plane down(ON_3dPoint(10, 0, 0), ON_3dVector(1, 0, 0), ON_3dVector(0, -1, 0));
    EXPECT_EQ(down.zaxis, ON_3dVector(0, 0, -1));
    ON_Arc arc(ON_Circle(down, 3.0), 2.0 * ON_PI / 3.0);
    ON_NurbsCurve n;
    ASSERT_TRUE(arc.GetNurbForm(n));
    // Clockwise seen from +z: the point a little way along has moved to -y.
    EXPECT_LT(n.PointAt(n.Domain().ParameterAt(0.1)).y, 0.0);
}

TEST(ArcForms, ThreePointArcRunsThroughTheMiddlePoint) {
    const ON_3dPoint P(30, 0, 0), Q(33, 3, 0), R(36, 0, 0);
    ON_Arc arc(P, Q, R);
    ASSERT_TRUE(arc.IsValid());
    EXPECT_NEAR(arc.radius, 3.0, 1e-12);
    EXPECT_NEAR(arc.AngleRadians(), ON_PI, 1e-12);
    EXPECT_LT(arc.EndPoint().DistanceTo(R), 1e-12);
    EXPECT_LT(arc.MidPoint().DistanceTo(Q), 1e-12);
    EXPECT_NEAR(arc.Normal().z, -1.0, 1e-12); // clockwise in XY
}

// The open cubic with 5 CVs: 7 stored knots; the converter restores the two
// superfluous end knots by repeating the first and the last.
TEST(NurbsKnots, OpenCubicWithFiveCVs) {
    ON_NurbsCurve c(3, false, 4, 5);
    const double knots[7] = {2, 2, 2, 3, 6, 6, 6};
    for (int i = 0; i < 7; i++)
        c.SetKnot(i, knots[i]);
    for (int i = 0; i < 5; i++)
        c.SetCV(i, ON_3dPoint(i, (i % 2) * 2.0, 0));
    ASSERT_TRUE(c.IsValid());
    EXPECT_EQ(c.KnotCount(), 7);
    EXPECT_EQ(c.Order() + c.CVCount() - 2, c.KnotCount());
    EXPECT_EQ(c.Domain(), ON_Interval(2, 6));
    EXPECT_TRUE(c.IsClamped(2));
    EXPECT_FALSE(c.IsClosed());
    EXPECT_FALSE(c.IsPeriodic());
    // Clamped: the curve starts and ends on its end CVs.
    EXPECT_EQ(c.PointAtStart(), ON_3dPoint(0, 0, 0));
    EXPECT_EQ(c.PointAtEnd(), ON_3dPoint(4, 0, 0));
    // The restored textbook vector has order + cv_count knots.
    std::vector<double> full = {c.Knot(0)};
    for (int i = 0; i < c.KnotCount(); i++)
        full.push_back(c.Knot(i));
    full.push_back(c.Knot(c.KnotCount() - 1));
    EXPECT_EQ(full, (std::vector<double>{2, 2, 2, 2, 3, 6, 6, 6, 6}));
}

// Closed and periodic as openNURBS defines them, on the kinds of curve the
// converters meet.
struct ClosedCase {
    const char* name;
    std::function<ON_Curve*()> make;
    bool closed, periodic;
};

class ClosedAndPeriodic : public ::testing::TestWithParam<ClosedCase> {};

TEST_P(ClosedAndPeriodic, MatchOpenNurbsDefinitions) {
    std::unique_ptr<ON_Curve> c(GetParam().make());
    EXPECT_EQ(c->IsClosed(), GetParam().closed);
    EXPECT_EQ(c->IsPeriodic(), GetParam().periodic);
}

ON_NurbsCurve* PeriodicCubic() {
    // 9 CVs, the last 3 repeating the first 3, uniform knots.
    ON_NurbsCurve* c = new ON_NurbsCurve(3, false, 4, 9);
    const ON_3dPoint p[6] = {{0, 0, 0}, {4, 0, 0}, {6, 3, 0}, {4, 6, 0}, {0, 6, 0}, {-2, 3, 0}};
    for (int i = 0; i < 9; i++)
        c->SetCV(i, p[i % 6]);
    for (int i = 0; i < c->KnotCount(); i++)
        c->SetKnot(i, i - 2.0);
    return c;
}

ON_Curve* Square(bool closed) {
    ON_3dPointArray pts;
    pts.Append(0, 0, 0), pts.Append(4, 0, 0), pts.Append(4, 4, 0), pts.Append(0, 4, 0);
    if (closed) pts.Append(0, 0, 0);
    return new ON_PolylineCurve(pts);
}

INSTANTIATE_TEST_SUITE_P(
    Curves, ClosedAndPeriodic,
    ::testing::Values(
        ClosedCase{
            "line",
            [] { return (ON_Curve*)new ON_LineCurve(ON_3dPoint(0, 0, 0), ON_3dPoint(1, 2, 3)); },
            false, false},
        ClosedCase{"circle",
                   [] { return (ON_Curve*)new ON_ArcCurve(ON_Circle(ON_3dPoint(0, 0, 1), 10.0)); },
                   true, true},
        ClosedCase{"circle_nurbs",
                   [] {
                       ON_NurbsCurve* n = new ON_NurbsCurve();
                       ON_Circle(ON_3dPoint(0, 0, 1), 10.0).GetNurbForm(*n);
                       return (ON_Curve*)n;
                   },
                   true, false},
        ClosedCase{"open_arc",
                   [] {
                       return (ON_Curve*)new ON_ArcCurve(
                           ON_Arc(ON_Circle(ON_3dPoint::Origin, 2.0), 3.0));
                   },
                   false, false},
        ClosedCase{"closed_square", [] { return Square(true); }, true, false},
        ClosedCase{"open_square", [] { return Square(false); }, false, false},
        ClosedCase{"periodic_cubic", [] { return (ON_Curve*)PeriodicCubic(); }, true, true},
        ClosedCase{"there_and_back",
                   [] {
                       // Three CVs out and back: start equals end but the curve is
                       // collapsed onto a segment, not closed.
                       ON_3dPointArray pts;
                       pts.Append(0, 0, 0), pts.Append(5, 0, 0), pts.Append(0, 0, 0);
                       return (ON_Curve*)new ON_PolylineCurve(pts);
                   },
                   false, false},
        ClosedCase{"three_cv_loop",
                   [] {
                       // A NURBS curve needs four CVs to be closed.
                       ON_NurbsCurve* n = new ON_NurbsCurve(3, false, 2, 3);
                       n->SetCV(0, ON_3dPoint(0, 0, 0)), n->SetCV(1, ON_3dPoint(1, 1, 0)),
                           n->SetCV(2, ON_3dPoint(0, 0, 0));
                       n->SetKnot(0, 0), n->SetKnot(1, 1), n->SetKnot(2, 2);
                       return (ON_Curve*)n;
                   },
                   false, false}),
    [](const ::testing::TestParamInfo<ClosedCase>& i) { return std::string(i.param.name); });

class PolycurveJoin : public ::testing::Test {
protected:
    void SetUp() override {
        pc.Append(new ON_LineCurve(ON_Line(ON_3dPoint(0, 0, 0), ON_3dPoint(5, 0, 0))));
        ON_Plane plane(ON_3dPoint(5, 1.5, 0), ON_3dVector(0, -1, 0), ON_3dVector(1, 0, 0));
        pc.Append(new ON_ArcCurve(ON_Arc(ON_Circle(plane, 1.5), ON_PI)));
        ON_NurbsCurve* cubic = new ON_NurbsCurve(3, false, 4, 4);
        const ON_3dPoint p[4] = {{5, 3, 0}, {3, 4, 0}, {1, 2, 1}, {0, 3, 0}};
        for (int i = 0; i < 4; i++)
            cubic->SetCV(i, p[i]);
        const double k[6] = {0, 0, 0, 1, 1, 1};
        for (int i = 0; i < 6; i++)
            cubic->SetKnot(i, k[i]);
        pc.Append(cubic);
    }
    ON_PolyCurve pc;
};

TEST_F(PolycurveJoin, FormIsContinuousAtTheJoinsAndFollowsEverySegment) {
    ASSERT_TRUE(pc.IsValid());
    EXPECT_EQ(pc.HasGap(), 0);
    ON_NurbsCurve n;
    ASSERT_EQ(pc.GetNurbForm(n), 1);
    EXPECT_EQ(n.Degree(), 3);
    EXPECT_EQ(n.CVCount(), 4 + 7 + 4 - 2);
    EXPECT_EQ(n.Domain(), pc.Domain());
    for (int s = 0; s < pc.SegmentCount(); s++) {
        const ON_Interval d = pc.SegmentDomain(s);
        // At each join: the same point from below and from above.
        double below[3], above[3];
        ASSERT_TRUE(n.Evaluate(d[0], 0, 3, above, 1));
        ASSERT_TRUE(n.Evaluate(d[0], 0, 3, below, -1));
        EXPECT_LT(ON_3dPoint(below).DistanceTo(ON_3dPoint(above)), 1e-12) << "join at " << d[0];
        // Inside, the form and the polycurve agree (the arc's parameter is
        // not linear in the form, so compare against the nearest point).
        for (int i = 0; i <= 8; i++) {
            const ON_3dPoint p = n.PointAt(d.ParameterAt(i / 8.0));
            const ON_Curve* seg = pc.SegmentCurve(s);
            if (const ON_ArcCurve* a = ON_ArcCurve::Cast(seg))
                EXPECT_NEAR(p.DistanceTo(a->m_arc.Center()), a->m_arc.radius, 1e-12)
                    << "segment " << s;
            else
                EXPECT_LT(p.DistanceTo(pc.PointAt(d.ParameterAt(i / 8.0))), 1e-12)
                    << "segment " << s;
        }
    }
}

TEST_F(PolycurveJoin, CopiesOwnTheirSegments) {
    ON_PolyCurve copy(pc);
    ASSERT_EQ(copy.SegmentCount(), 3);
    for (int i = 0; i < 3; i++)
        EXPECT_NE(copy.SegmentCurve(i), pc.SegmentCurve(i));
    copy.Transform(ON_Xform::TranslationTransformation(0, 0, 10));
    EXPECT_EQ(pc.PointAtStart(), ON_3dPoint(0, 0, 0));
    EXPECT_EQ(copy.PointAtStart(), ON_3dPoint(0, 0, 10));
}

TEST(NurbsEditing, KnotInsertionAndDegreeElevationKeepTheShape) {
    std::unique_ptr<ON_NurbsCurve> c(PeriodicCubic());
    ON_NurbsCurve rat(*c);
    rat.SetWeight(2, 3.0);
    rat.SetWeight(5, 0.5);
    for (const ON_NurbsCurve* src : {(const ON_NurbsCurve*)c.get(), (const ON_NurbsCurve*)&rat}) {
        ON_NurbsCurve a(*src), b(*src), t(*src);
        ASSERT_TRUE(a.InsertKnot(1.5, 2));
        ASSERT_TRUE(b.IncreaseDegree(5));
        EXPECT_EQ(b.Degree(), 5);
        ASSERT_TRUE(t.Trim(ON_Interval(0.25, 3.5)));
        EXPECT_EQ(t.Domain(), ON_Interval(0.25, 3.5));
        const ON_Interval d = src->Domain();
        for (int i = 0; i <= 40; i++) {
            const double u = d.ParameterAt(i / 40.0);
            const ON_3dPoint p = src->PointAt(u);
            EXPECT_LT(a.PointAt(u).DistanceTo(p), 1e-12 * 10) << "insertion at " << u;
            EXPECT_LT(b.PointAt(u).DistanceTo(p), 1e-12 * 10) << "elevation at " << u;
            if (u >= 0.25 && u <= 3.5) {
                EXPECT_LT(t.PointAt(u).DistanceTo(p), 1e-12 * 10) << "trim at " << u;
            }
        }
    }
}

TEST(NurbsStorage, CountsBeyondTheArraysAreInvalidNotRead) {
    ON_NurbsCurve c(3, false, 4, 5);
    for (int i = 0; i < c.KnotCount(); i++)
        c.SetKnot(i, i);
    ASSERT_TRUE(c.IsValid());
    c.m_cv_count = 9; // as a careless fill might leave it
    EXPECT_FALSE(c.IsValid());
    double v[3];
    EXPECT_FALSE(c.Evaluate(2.5, 0, 3, v));
    ON_NurbsCurve form;
    EXPECT_EQ(c.GetNurbForm(form), 0);
    c.m_cv_count = 5;
    c.m_cv_stride = 2; // shorter than a CV
    EXPECT_FALSE(c.IsValid());

    ON_NurbsSurface s(3, true, 2, 2, 3, 3);
    for (int d = 0; d < 2; d++)
        for (int i = 0; i < s.KnotCount(d); i++)
            s.SetKnot(d, i, i);
    ASSERT_TRUE(s.IsValid());
    s.m_cv_count[0] = 30;
    EXPECT_FALSE(s.IsValid());
    EXPECT_EQ(s.IsoCurve(0, 0.5), nullptr);
}

TEST(NurbsEditing, DerivativesOfARationalCurveMatchDifferences) {
    ON_NurbsCurve c;
    ON_Arc(ON_Circle(ON_3dPoint(1, 2, 3), 4.0), 2.5).GetNurbForm(c);
    const double h = 1e-6;
    for (double t : {0.3, 1.0, 2.2}) {
        double v[6];
        ASSERT_TRUE(c.Evaluate(t, 1, 3, v));
        const ON_3dVector fd = (c.PointAt(t + h) - c.PointAt(t - h)) / (2 * h);
        EXPECT_LT((ON_3dVector(v + 3) - fd).Length(), 1e-6) << "t = " << t;
    }
}

TEST(Transforms, EveryCurveKindMovesWithItsNurbsForm) {
    const ON_Xform x =
        ON_Xform::TranslationTransformation(16.3, -1.1, 2) *
        ON_Xform::RotationTransformation(ON_PI / 2, ON_3dVector(1, 0, 0), ON_3dPoint::Origin) *
        ON_Xform::ScaleTransformation(ON_3dPoint::Origin, 1.5);
    std::vector<std::unique_ptr<ON_Curve>> curves;
    curves.emplace_back(new ON_LineCurve(ON_3dPoint(1, 2, 3), ON_3dPoint(-4, 5, 6)));
    curves.emplace_back(
        new ON_ArcCurve(ON_Arc(ON_Circle(ON_3dPoint(1, 1, 0), 2.0), ON_Interval(0.5, 2.5))));
    curves.emplace_back(Square(true));
    curves.emplace_back(PeriodicCubic());
    for (auto& c : curves) {
        ON_NurbsCurve before;
        ASSERT_TRUE(c->GetNurbForm(before));
        ASSERT_TRUE(c->Transform(x));
        ASSERT_TRUE(before.Transform(x));
        const ON_Interval d = c->Domain();
        for (int i = 0; i <= 10; i++) {
            const double t = d.ParameterAt(i / 10.0);
            ON_NurbsCurve after;
            c->GetNurbForm(after);
            EXPECT_LT(after.PointAt(t).DistanceTo(before.PointAt(t)), 1e-12 * 50);
        }
    }
}

TEST(Transforms, ArcRefusesAShear) {
    ON_ArcCurve c(ON_Circle(ON_3dPoint::Origin, 1.0));
    ON_Xform shear;
    shear.m_xform[0][1] = 0.5;
    EXPECT_FALSE(c.Transform(shear));
    ON_NurbsCurve n;
    ASSERT_TRUE(c.GetNurbForm(n));
    EXPECT_TRUE(n.Transform(shear)); // its NURBS form can take it
}

// The identity leaves a 2-D curve 2-D: no third coordinate may be written
// into the next CV (or past the last one).
TEST(Transforms, IdentityKeepsTwoDimensionalCurvesIntact) {
    for (const bool rational : {false, true}) {
        ON_NurbsCurve c(2, rational, 2, 3);
        for (int i = 0; i < 3; i++) {
            c.CV(i)[0] = i + 1.0, c.CV(i)[1] = 10.0 * (i + 1);
            if (rational) c.CV(i)[2] = 1.0 + i;
            c.m_knot[i] = i;
        }
        const ON_NurbsCurve before(c);
        ASSERT_TRUE(c.Transform(ON_Xform::IdentityTransformation));
        EXPECT_EQ(c.m_dim, 2);
        for (int i = 0; i < 3; i++)
            for (int k = 0; k < c.CVSize(); k++)
                EXPECT_EQ(c.CV(i)[k], before.CV(i)[k]) << "rational " << rational << " cv " << i;
    }
}

TEST(Transforms, NonUniformScaleTurnsPartsIntoNurbsForms) {
    const ON_Xform stretch = ON_Xform::ScaleTransformation(ON_3dPoint::Origin, 2, 1, 1);
    ON_PolyCurve pc;
    pc.Append(new ON_LineCurve(ON_3dPoint(-1, 0, 0), ON_3dPoint(1, 0, 0)));
    pc.Append(new ON_ArcCurve(ON_Arc(
        ON_Circle(ON_Plane(ON_3dPoint::Origin, ON_3dVector(1, 0, 0), ON_3dVector(0, 1, 0)), 1.0),
        ON_PI)));
    const ON_3dPoint quarter = pc.PointAt(pc.SegmentDomain(1).Mid());
    ASSERT_TRUE(pc.Transform(stretch));
    EXPECT_TRUE(ON_NurbsCurve::Cast(pc.SegmentCurve(1)) != nullptr);
    ON_NurbsCurve n;
    ASSERT_TRUE(pc.GetNurbForm(n));
    // The arc's top (0, 1) stays; its ends stretch to x = +-2: an ellipse.
    EXPECT_LT(n.PointAtEnd().DistanceTo(ON_3dPoint(-2, 0, 0)), 1e-12);
    EXPECT_LT(pc.SegmentCurve(1)
                  ->PointAt(pc.SegmentCurve(1)->Domain().Mid())
                  .DistanceTo(stretch * quarter),
              1e-12);

    ON_RevSurface* rev = new ON_RevSurface();
    rev->Create(new ON_LineCurve(ON_3dPoint(1, 0, 0), ON_3dPoint(1, 0, 2)),
                ON_Line(ON_3dPoint::Origin, ON_3dPoint(0, 0, 1)));
    EXPECT_FALSE(ON_RevSurface(*rev).Transform(stretch));
    ON_Surface* srf = rev;
    ON_Brep b;
    ASSERT_TRUE(b.Create(srf));
    ASSERT_TRUE(b.Transform(stretch));
    EXPECT_TRUE(ON_NurbsSurface::Cast(b.m_S[0]) != nullptr);
    EXPECT_EQ(b.m_F[0].SurfaceOf(), b.m_S[0]);
    EXPECT_LT(b.m_S[0]->PointAt(0.0, 0.0).DistanceTo(ON_3dPoint(2, 0, 0)), 1e-12);
    EXPECT_LT(b.m_E[0].PointAtStart().DistanceTo(ON_3dPoint(2, 0, 0)), 1e-12);
}

TEST(Xform, InverseAndNormals) {
    const ON_Xform x =
        ON_Xform::TranslationTransformation(1, 2, 3) *
        ON_Xform::RotationTransformation(0.7, ON_3dVector(1, 2, 3), ON_3dPoint(4, 5, 6)) *
        ON_Xform::ScaleTransformation(ON_3dPoint::Origin, 2, 3, 4);
    EXPECT_TRUE((x * x.Inverse()).IsIdentity(1e-12));
    ON_Xform singular(0.0);
    EXPECT_FALSE(singular.Invert());
    // A normal stays perpendicular to a transformed tangent plane.
    const ON_3dVector a(1, 0, 0), b(0, 1, 0), n(0, 0, 1);
    const ON_3dVector nn = x.NormalTransformation() * n;
    EXPECT_NEAR(nn * (x * a), 0.0, 1e-12);
    EXPECT_NEAR(nn * (x * b), 0.0, 1e-12);
}

} // namespace
