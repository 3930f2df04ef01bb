// NURBS forms against openNURBS's own, as the truth files record them: every
// line, arc, polyline, polycurve and NURBS curve in the generated and the
// real fixtures, and the generated surfaces and extrusions.
#include "TruthGeometry.h"

#include <gtest/gtest.h>

#include <map>

namespace {

using testjson::Value;

struct CurveTally {
    std::map<std::string, int> checked;
    std::vector<std::string> failures;
    void Fail(const std::string& where, const std::string& what) {
        if (failures.size() < 25)
            failures.push_back(where + ": " + what);
        else if (failures.size() == 25)
            failures.push_back("...");
    }
};

void CheckCurve(const std::string& where, const std::string& type, const Value& g,
                CurveTally& tally) {
    std::unique_ptr<ON_Curve> c(truth::CurveFromTruth(type, g));
    if (!c) return;
    tally.checked[type]++;
    ON_NurbsCurve n;
    if (!c->GetNurbForm(n)) {
        tally.Fail(where, "no NURBS form");
        return;
    }
    const std::string diff = truth::CompareNurbs(n, g["nurbs"]);
    if (!diff.empty()) tally.Fail(where, "NURBS form: " + diff);
    if (c->IsClosed() != g["isClosed"].Bool()) tally.Fail(where, "IsClosed differs");
    if (c->IsPeriodic() != g["isPeriodic"].Bool()) tally.Fail(where, "IsPeriodic differs");
    if (n.IsClosed() != g["nurbs"]["isClosed"].Bool())
        tally.Fail(where, "NURBS form IsClosed differs");
    if (n.IsPeriodic() != g["nurbs"]["isPeriodic"].Bool())
        tally.Fail(where, "NURBS form IsPeriodic differs");
    // The curve's own evaluation at the truth's sample parameters (an arc's
    // parameter is linear in its angle, its NURBS form's is not), and the
    // form's end points.
    const double tol = 1e-9 * truth::Scale(g["nurbs"]);
    const Value& samples = g["samples"];
    for (size_t i = 0; i < samples.size(); i++) {
        const double t = samples[i]["t"].Num();
        if (c->PointAt(t).DistanceTo(truth::Point(samples[i]["point"])) > tol) {
            tally.Fail(where, "point at t = " + std::to_string(t) + " differs");
            break;
        }
    }
    if (n.PointAtStart().DistanceTo(truth::Point(g["pointAtStart"])) > tol ||
        n.PointAtEnd().DistanceTo(truth::Point(g["pointAtEnd"])) > tol)
        tally.Fail(where, "NURBS form end points differ");
}

void CheckFolder(const std::string& folder, CurveTally& tally) {
    for (const std::string& file : truth::TruthFiles(folder)) {
        const Value doc = testjson::Load(file);
        // Big files are summarised; files openNURBS could not read have no objects.
        if ((doc.Has("summarised") && doc["summarised"].Bool()) || !doc.Has("objects")) continue;
        const Value& objects = doc["objects"];
        for (size_t i = 0; i < objects.size(); i++) {
            const Value& o = objects[i];
            const std::string type = o["type"].Str();
            if (!o.Has("geometry") || !o["geometry"].Has("nurbs")) continue;
            const std::string where =
                file.substr(file.rfind('/') + 1) + " #" + std::to_string(i) + " " +
                (o.Has("name") && o["name"].IsString() ? o["name"].Str() : std::string());
            CheckCurve(where, type, o["geometry"], tally);
        }
    }
}

std::string Report(const CurveTally& tally) {
    std::string s;
    for (const auto& f : tally.failures)
        s += f + "\n";
    return s;
}

TEST(CurveNurbsForms, GeneratedFixturesMatchOpenNurbs) {
    CurveTally tally;
    CheckFolder("fixtures/3dm", tally);
    EXPECT_TRUE(tally.failures.empty()) << Report(tally);
    EXPECT_GE(tally.checked["LineCurve"], 6);
    EXPECT_GE(tally.checked["ArcCurve"], 8);
    EXPECT_GE(tally.checked["PolylineCurve"], 3);
    EXPECT_GE(tally.checked["PolyCurve"], 2);
    EXPECT_GE(tally.checked["NurbsCurve"], 10);
}

TEST(CurveNurbsForms, RealFilesMatchOpenNurbs) {
    CurveTally tally;
    CheckFolder("fixtures/real", tally);
    EXPECT_TRUE(tally.failures.empty()) << Report(tally);
    EXPECT_GE(tally.checked["PolyCurve"], 500);
    EXPECT_GE(tally.checked["ArcCurve"], 30);
}

// The object of the given name in a generated truth file.
const Value& Object(const Value& doc, const std::string& name) {
    const Value& objects = doc["objects"];
    for (size_t i = 0; i < objects.size(); i++)
        if (objects[i]["name"].IsString() && objects[i]["name"].Str() == name) return objects[i];
    throw std::runtime_error("no object " + name);
}

class SurfaceForms : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        doc_ = new Value(testjson::Load(truth::SharedPath("fixtures/3dm/surfaces.v8.json")));
    }
    static void TearDownTestSuite() {
        delete doc_;
        doc_ = nullptr;
    }
    static const Value& Nurbs(const std::string& name) {
        return Object(*doc_, name)["geometry"]["nurbs"];
    }
    static Value* doc_;
};
Value* SurfaceForms::doc_ = nullptr;

TEST_F(SurfaceForms, PlaneSurface) {
    const double c = std::cos(ON_PI / 6), s = std::sin(ON_PI / 6);
    ON_PlaneSurface ps(ON_Plane(ON_3dPoint(0, 20, 0), ON_3dVector(1, 0, 0), ON_3dVector(0, c, s)));
    ps.SetExtents(0, ON_Interval(-2, 8), true);
    ps.SetExtents(1, ON_Interval(0, 5), true);
    ON_NurbsSurface n;
    ASSERT_TRUE(ps.GetNurbForm(n));
    EXPECT_EQ(truth::CompareNurbsSurface(n, Nurbs("plane-tilted")), "");
}

TEST_F(SurfaceForms, RevolutionOfALineIsAFullTurnOfFourSpans) {
    ON_RevSurface rev;
    ON_LineCurve* profile = new ON_LineCurve(ON_Line(ON_3dPoint(44, 0, 0), ON_3dPoint(42, 0, 6)));
    ASSERT_TRUE(rev.Create(profile, ON_Line(ON_3dPoint(40, 0, 0), ON_3dPoint(40, 0, 1))));
    ON_NurbsSurface n;
    ASSERT_TRUE(rev.GetNurbForm(n));
    EXPECT_EQ(truth::CompareNurbsSurface(n, Nurbs("revolved-cone-frustum")), "");
    // The surface's own evaluation agrees with the truth's samples.
    const Value& samples = Object(*doc_, "revolved-cone-frustum")["geometry"]["samples"];
    for (size_t i = 0; i < samples.size(); i++) {
        const ON_3dPoint p = rev.PointAt(samples[i]["u"].Num(), samples[i]["v"].Num());
        EXPECT_LT(p.DistanceTo(truth::Point(samples[i]["point"])), 1e-12 * 50) << "sample " << i;
    }
}

TEST_F(SurfaceForms, NurbsSurfaceEvaluationMatchesSamples) {
    for (const char* name : {"bicubic-4x4", "rational-deg3x2"}) {
        const Value& g = Object(*doc_, name)["geometry"];
        const Value& n = g["nurbs"];
        ON_NurbsSurface s;
        ASSERT_TRUE(s.Create(3, n["isRational"].Bool(), n["orderU"].Int(), n["orderV"].Int(),
                             n["cvCountU"].Int(), n["cvCountV"].Int()));
        for (int d = 0; d < 2; d++)
            for (int i = 0; i < s.KnotCount(d); i++)
                s.m_knot[d][i] = n[d ? "knotsV" : "knotsU"][i].Num();
        for (int i = 0; i < s.CVCount(0); i++)
            for (int j = 0; j < s.CVCount(1); j++) {
                const Value& cv =
                    n["isRational"].Bool() ? n["cvsHomogeneous"][i][j] : n["cvs"][i][j];
                s.SetCV(i, j,
                        ON_4dPoint(cv[0].Num(), cv[1].Num(), cv[2].Num(),
                                   cv.size() > 3 ? cv[3].Num() : 1.0));
            }
        EXPECT_EQ(truth::CompareNurbsSurface(s, n), "") << name;
        const Value& samples = g["samples"];
        for (size_t i = 0; i < samples.size(); i++) {
            const ON_3dPoint p = s.PointAt(samples[i]["u"].Num(), samples[i]["v"].Num());
            EXPECT_LT(p.DistanceTo(truth::Point(samples[i]["point"])), 1e-12 * 30)
                << name << " sample " << i;
        }
        EXPECT_EQ(s.Domain(0), truth::Interval(g["domainU"])) << name;
        EXPECT_EQ(s.Domain(1), truth::Interval(g["domainV"])) << name;
    }
}

// Extrusions rebuilt from the truth: the path from its start to its end and
// any up direction perpendicular to it; the profiles, which the truth gives
// in world coordinates, taken into that frame. (The surfaces do not depend
// on the choice of frame.)
std::unique_ptr<ON_Extrusion> MakeExtrusion(const Value& g) {
    const Value& e = g["extrusion"];
    std::unique_ptr<ON_Extrusion> x(new ON_Extrusion());
    const ON_3dPoint start = truth::Point(e["pathStart"]);
    x->m_path = ON_Line(start, truth::Point(e["pathEnd"]));
    const ON_3dVector T = x->m_path.Tangent();
    x->m_up.PerpendicularTo(T);
    const ON_3dVector X = ON_CrossProduct(x->m_up, T);
    ON_Xform frame;
    for (int r = 0; r < 3; r++) {
        frame.m_xform[r][0] = X[r], frame.m_xform[r][1] = x->m_up[r], frame.m_xform[r][2] = T[r];
        frame.m_xform[r][3] = start[r];
    }
    const ON_Xform to_profile = frame.Inverse();
    const Value& profiles = e["profilesAtBottom"];
    ON_PolyCurve* pc = profiles.size() > 1 ? new ON_PolyCurve() : nullptr;
    for (size_t i = 0; i < profiles.size(); i++) {
        ON_Curve* c = truth::CurveFromTruth(profiles[i]["type"].Str(), profiles[i]["curve"]);
        c->Transform(to_profile);
        if (!pc) {
            x->m_profile = c;
            break;
        }
        if (i == 0) pc->m_t.Append(c->Domain()[0]);
        pc->AppendSegment(c, c->Domain()[1]);
    }
    if (pc) x->m_profile = pc;
    x->m_profile_count = (int)profiles.size();
    x->m_bCap[0] = e["isCappedAtBottom"].Bool();
    x->m_bCap[1] = e["isCappedAtTop"].Bool();
    // The profile runs along u unless the truth's u domain is the path's.
    x->m_bTransposed = truth::Interval(g["domainU"]) != x->m_profile->Domain();
    x->m_path_domain = truth::Interval(g[x->m_bTransposed ? "domainU" : "domainV"]);
    return x;
}

class ExtrusionForms : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        doc_ = new Value(testjson::Load(truth::SharedPath("fixtures/3dm/extrusions.v8.json")));
    }
    static void TearDownTestSuite() {
        delete doc_;
        doc_ = nullptr;
    }
    static std::unique_ptr<ON_Extrusion> Make(const Value& g) { return MakeExtrusion(g); }
    static Value* doc_;
};
Value* ExtrusionForms::doc_ = nullptr;

TEST_F(ExtrusionForms, WallFormsMatchOpenNurbs) {
    const Value& objects = (*doc_)["objects"];
    ASSERT_EQ(objects.size(), 6u);
    for (size_t i = 0; i < objects.size(); i++) {
        const Value& g = objects[i]["geometry"];
        std::unique_ptr<ON_Extrusion> x = Make(g);
        ASSERT_TRUE(x->IsValid()) << objects[i]["name"].Str();
        ON_NurbsSurface n;
        ASSERT_TRUE(x->GetNurbForm(n));
        EXPECT_EQ(truth::CompareNurbsSurface(n, g["nurbs"]), "") << objects[i]["name"].Str();
        EXPECT_EQ(x->IsSolid(), g["extrusion"]["isSolid"].Bool()) << objects[i]["name"].Str();
        EXPECT_EQ(x->CapCount(), g["extrusion"]["capCount"].Int()) << objects[i]["name"].Str();
    }
}

TEST_F(ExtrusionForms, BrepFormEdgesMatchOpenNurbs) {
    const Value& objects = (*doc_)["objects"];
    for (size_t i = 0; i < objects.size(); i++) {
        const std::string name = objects[i]["name"].Str();
        const Value& g = objects[i]["geometry"];
        const Value& bf = g["extrusion"]["brepForm"];
        std::unique_ptr<ON_Extrusion> x = Make(g);
        std::unique_ptr<ON_Brep> b(x->BrepForm());
        ASSERT_TRUE(b) << name;
        EXPECT_TRUE(b->IsValid()) << name;
        EXPECT_EQ(b->m_F.Count(), bf["faceCount"].Int()) << name;
        EXPECT_EQ(b->m_V.Count(), bf["vertexCount"].Int()) << name;
        ASSERT_EQ(b->m_E.Count(), bf["edgeCount"].Int()) << name;
        for (int e = 0; e < b->m_E.Count(); e++) {
            ON_NurbsCurve c;
            ASSERT_TRUE(b->m_E[e].GetNurbForm(c)) << name << " edge " << e;
            EXPECT_EQ(truth::CompareNurbs(c, bf["edges"][e]["nurbs"]), "") << name << " edge " << e;
        }
        EXPECT_EQ(b->IsSolid(), bf["isSolid"].Bool()) << name;
    }
}

// Every extrusion of the real files whose ends are not mitered: its walls
// and the edges of its B-rep form as openNURBS made them.
TEST(RealExtrusions, WallsAndBrepEdgesMatchOpenNurbs) {
    int checked = 0;
    std::string failures;
    for (const std::string& file : truth::TruthFiles("fixtures/real")) {
        const Value doc = testjson::Load(file);
        if (!doc.Has("objects")) continue;
        const Value& objects = doc["objects"];
        for (size_t i = 0; i < objects.size(); i++) {
            if (objects[i]["type"].Str() != "Extrusion") continue;
            const Value& g = objects[i]["geometry"];
            // The truth does not give the miter normals.
            if (g["extrusion"]["isMiteredAtStart"].Bool() ||
                g["extrusion"]["isMiteredAtEnd"].Bool())
                continue;
            const std::string where = file.substr(file.rfind('/') + 1) + " #" + std::to_string(i);
            std::unique_ptr<ON_Extrusion> x = MakeExtrusion(g);
            ON_NurbsSurface n;
            std::string diff =
                x->GetNurbForm(n) ? truth::CompareNurbsSurface(n, g["nurbs"]) : "no NURBS form";
            const Value& bf = g["extrusion"]["brepForm"];
            std::unique_ptr<ON_Brep> b(x->BrepForm());
            if (diff.empty() && (!b || b->m_E.Count() != bf["edgeCount"].Int() ||
                                 b->m_F.Count() != bf["faceCount"].Int()))
                diff = "B-rep form has other edge or face counts";
            for (int e = 0; diff.empty() && e < b->m_E.Count(); e++) {
                ON_NurbsCurve c;
                diff = b->m_E[e].GetNurbForm(c) ? truth::CompareNurbs(c, bf["edges"][e]["nurbs"])
                                                : "no edge form";
                if (!diff.empty()) diff = "edge " + std::to_string(e) + ": " + diff;
            }
            if (!diff.empty()) failures += where + ": " + diff + "\n";
            checked++;
        }
    }
    EXPECT_EQ(failures, "");
    EXPECT_GE(checked, 10);
}

} // namespace
