// ON_Extrusion::BrepForm on made-up profiles: where the walls split, and
// what an extrusion whose profile count is not its profiles' gives. The
// fixtures' extrusions are compared with openNURBS's B-rep forms in
// tests/platform/tmxfile (TruthTest).
#include "opennurbs.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>
#include <vector>

namespace {

// Profile in the xy plane; the path runs 5 along z and up is y, so profile
// coordinates are world x and y.
std::unique_ptr<ON_Extrusion> Extrude(ON_Curve* profile, bool cap) {
    std::unique_ptr<ON_Extrusion> x(new ON_Extrusion());
    x->m_path = ON_Line(ON_3dPoint(0, 0, 0), ON_3dPoint(0, 0, 5));
    x->m_up = ON_3dVector(0, 1, 0);
    x->m_path_domain = ON_Interval(0, 5);
    x->SetOuterProfile(profile, cap);
    return x;
}

// Non-rational NURBS profile through the given CVs, knots as listed.
ON_NurbsCurve* Nurbs(int degree, const std::vector<ON_3dPoint>& cvs,
                     const std::vector<double>& knots) {
    ON_NurbsCurve* c = new ON_NurbsCurve(3, false, degree + 1, (int)cvs.size());
    for (size_t i = 0; i < cvs.size(); i++)
        c->SetCV((int)i, cvs[i]);
    for (size_t i = 0; i < knots.size(); i++)
        c->m_knot[i] = knots[i];
    return c;
}

ON_3dPoint Dir(double degrees) {
    const double a = degrees * ON_PI / 180.0;
    return ON_3dPoint(1.0 + std::cos(a), std::sin(a), 0);
}

struct SplitCase {
    const char* name;
    ON_Curve* profile;
    std::vector<double> wall_starts; // u domain start of every wall, in order
};

TEST(ExtrusionBrepForm, WallsSplitWhereTheProfileIsNotSmooth) {
    ON_ArcCurve circle(ON_Circle(ON_3dPoint(0, 0, 0), 2.0));
    ON_NurbsCurve* circle_form = new ON_NurbsCurve();
    circle.GetNurbForm(*circle_form);
    ON_PolyCurve* line_then_arc = new ON_PolyCurve();
    line_then_arc->Append(new ON_LineCurve(ON_3dPoint(-1, -1, 0), ON_3dPoint(0, -1, 0)));
    ON_ArcCurve* arc = new ON_ArcCurve(
        ON_Arc(ON_Circle(ON_3dPoint(0, 0, 0), 1.0), ON_Interval(-0.5 * ON_PI, 0.0)));
    arc->SetDomain(1.0, 1.0 + 0.5 * ON_PI);
    line_then_arc->Append(arc);

    std::vector<SplitCase> cases = {
        {"degree 1, a right angle", Nurbs(1, {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}}, {0, 1, 2}), {0, 1}},
        {"degree 1, a straight point in the middle",
         Nurbs(1, {{0, 0, 0}, {1, 0, 0}, {2, 0, 0}, {2, 1, 0}}, {0, 1, 2, 3}),
         {0, 2}},
        {"degree 1, a turn of half a degree",
         Nurbs(1, {{0, 0, 0}, {1, 0, 0}, Dir(0.5)}, {0, 1, 2}),
         {0}},
        {"degree 1, a turn of a degree and a half",
         Nurbs(1, {{0, 0, 0}, {1, 0, 0}, Dir(1.5)}, {0, 1, 2}),
         {0, 1}},
        {"degree 2, straight span into a tangent curved one",
         Nurbs(2, {{0, 0, 0}, {1, 0, 0}, {2, 0, 0}, {3, 0, 0}, {3, 1, 0}}, {0, 0, 1, 1, 2, 2}),
         {0, 1}},
        {"degree 2, tangent spans bending the same way",
         Nurbs(2, {{0, 0, 0}, {1, 0, 0}, {2, 1, 0}, {3, 2, 0}, {3, 3, 0}}, {0, 0, 1, 1, 2, 2}),
         {0}},
        {"degree 2, tangent spans bending opposite ways",
         Nurbs(2, {{0, 0, 0}, {1, 0, 0}, {2, 1, 0}, {3, 2, 0}, {4, 2, 0}}, {0, 0, 1, 1, 2, 2}),
         {0, 1}},
        {"degree 2, a corner at a double knot",
         Nurbs(2, {{0, 0, 0}, {1, 0, 0}, {2, 1, 0}, {2, 2, 0}, {3, 3, 0}}, {0, 0, 1, 1, 2, 2}),
         {0, 1}},
        {"a circle's rational form (double knots, no kink)", circle_form, {0}},
        {"polycurve: a line into a tangent arc", line_then_arc, {0, 1}},
    };
    for (SplitCase& c : cases) {
        std::unique_ptr<ON_Extrusion> x = Extrude(c.profile, false);
        std::unique_ptr<ON_Brep> b(x->BrepForm());
        ASSERT_TRUE(b) << c.name;
        ASSERT_EQ(b->m_F.Count(), (int)c.wall_starts.size()) << c.name;
        for (int f = 0; f < b->m_F.Count(); f++)
            EXPECT_EQ(b->m_F[f].Domain(0)[0], c.wall_starts[f]) << c.name << ", wall " << f;
        // The walls meet: each wall's bottom edge starts where the previous one ends.
        for (int f = 1; f < b->m_F.Count(); f++) {
            const ON_BrepEdge& prev = b->m_E[b->m_T[b->m_L[b->m_F[f - 1].m_li[0]].m_ti[0]].m_ei];
            const ON_BrepEdge& cur = b->m_E[b->m_T[b->m_L[b->m_F[f].m_li[0]].m_ti[0]].m_ei];
            EXPECT_EQ(prev.m_vi[1], cur.m_vi[0]) << c.name << ", wall " << f;
            EXPECT_LT(prev.PointAtEnd().DistanceTo(cur.PointAtStart()), 1e-12) << c.name;
        }
        EXPECT_FALSE(b->IsSolid()) << c.name;
    }
}

// A closed profile with kinks: walls share their side edges all round, the
// caps are trimmed by the walls' bottom and top edges.
TEST(ExtrusionBrepForm, ClosedKinkedProfileMakesASolid) {
    // A "D": a straight side closed by a half circle of degree 2 (two
    // quarter spans, smooth between them).
    ON_PolyCurve* d = new ON_PolyCurve();
    d->Append(new ON_LineCurve(ON_3dPoint(0, 1, 0), ON_3dPoint(0, -1, 0)));
    ON_ArcCurve* half = new ON_ArcCurve(
        ON_Arc(ON_Circle(ON_3dPoint(0, 0, 0), 1.0), ON_Interval(-0.5 * ON_PI, 0.5 * ON_PI)));
    half->SetDomain(2.0, 2.0 + ON_PI);
    d->Append(half);
    std::unique_ptr<ON_Extrusion> x = Extrude(d, true);
    ASSERT_TRUE(x->IsValid());
    std::unique_ptr<ON_Brep> b(x->BrepForm());
    ASSERT_TRUE(b);
    EXPECT_EQ(b->m_F.Count(), 4); // two walls, two caps
    EXPECT_EQ(b->m_V.Count(), 4);
    EXPECT_EQ(b->m_E.Count(), 6);
    EXPECT_TRUE(b->IsSolid());
    EXPECT_TRUE(b->IsValid());
    for (int e = 0; e < b->m_E.Count(); e++)
        EXPECT_EQ(b->m_E[e].m_ti.Count(), 2) << "edge " << e;
    // Caps of a profile with curved parts reach an eighth past its box.
    const ON_PlaneSurface* cap = ON_PlaneSurface::Cast(b->m_S[2]);
    ASSERT_TRUE(cap);
    EXPECT_EQ(cap->Extents(0), ON_Interval(-0.125, 1.125));
    EXPECT_EQ(cap->Extents(1), ON_Interval(-1.25, 1.25));
}

struct CountCase {
    const char* name;
    int claimed;
    int inner; // closed inner profiles actually held
    int count; // ProfileCount()
};

// The profile count comes from the file: BrepForm must size its work by the
// profiles there are, whatever the count says.
TEST(ExtrusionBrepForm, ProfileCountMustMatchTheProfiles) {
    const std::vector<CountCase> cases = {
        {"no count (old files), one profile", 0, 0, 1},
        {"one, one", 1, 0, 1},
        {"two claimed, one held", 2, 0, 0},
        {"a billion claimed, one held", 1000000000, 0, 0},
        {"negative", -3, 0, 0},
        {"two, two", 2, 1, 2},
        {"three claimed, two held", 3, 1, 0},
        {"two claimed, three held", 2, 2, 0},
    };
    for (const CountCase& c : cases) {
        std::unique_ptr<ON_Extrusion> x =
            Extrude(new ON_ArcCurve(ON_Circle(ON_3dPoint(0, 0, 0), 5.0)), true);
        for (int i = 0; i < c.inner; i++)
            ASSERT_TRUE(x->AddInnerProfile(
                new ON_ArcCurve(ON_Circle(ON_3dPoint(-2.0 + 3.0 * i, 0, 0), 1.0))));
        x->m_profile_count = c.claimed;
        EXPECT_EQ(x->ProfileCount(), c.count) << c.name;
        EXPECT_EQ(x->IsValid(), c.count > 0) << c.name;
        std::unique_ptr<ON_Brep> b(x->BrepForm());
        EXPECT_EQ(b != nullptr, c.count > 0) << c.name;
        if (b) {
            EXPECT_EQ(b->m_F.Count(), c.count + 2) << c.name;
            EXPECT_EQ(b->m_L.Count(), c.count + 2 * c.count) << c.name;
        }
    }
}

TEST(ExtrusionBrepForm, OpenHoleIsRefused) {
    std::unique_ptr<ON_Extrusion> x =
        Extrude(new ON_ArcCurve(ON_Circle(ON_3dPoint(0, 0, 0), 5.0)), true);
    ASSERT_TRUE(x->AddInnerProfile(new ON_ArcCurve(ON_Circle(ON_3dPoint(0, 0, 0), 1.0))));
    // Replace the hole by an open curve behind the extrusion's back.
    ON_PolyCurve* pc = ON_PolyCurve::Cast(x->m_profile);
    ASSERT_TRUE(pc);
    const ON_Interval d = pc->SegmentDomain(1);
    delete pc->m_segment[1];
    pc->m_segment[1] =
        new ON_LineCurve(ON_Line(ON_3dPoint(0, 0, 0), ON_3dPoint(1, 0, 0)), d[0], d[1]);
    EXPECT_FALSE(x->IsValid());
    EXPECT_EQ(x->BrepForm(), nullptr);
}

} // namespace
