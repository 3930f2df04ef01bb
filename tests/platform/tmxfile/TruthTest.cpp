// Every fixture and every real file, read with TMXFileReader and compared
// field by field with the truth that openNURBS read back from the same file.
// Mapping (what the import expects): points and point clouds -> points; every
// curve -> its NURBS form, a polycurve one per segment; a surface -> a
// one-face B-rep; an extrusion -> its B-rep form; block members appear only
// through their references, transformed by the reference's xform.
// Not compared: `samples` and `bbox` (evaluations of the geometry, the object
// model's work, not the file's data), attributes such as names, layers and
// colours (the import does not receive them), and trim curves (the truth has
// none: rhino3dm gives no access to them).
#include "TMXFile.h"
#include "TestJson.h"

#include "Fixtures.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <dirent.h>
#include <functional>
#include <map>
#include <sstream>
#include <string>
#include <vector>

using testjson::Value;

namespace {

const std::string kShared = SharedDir();

std::vector<std::string> ListFiles(const std::string& dir, const std::string& suffix) {
    std::vector<std::string> out;
    if (DIR* d = opendir(dir.c_str())) {
        while (dirent* e = readdir(d)) {
            std::string n = e->d_name;
            if (n.size() > suffix.size() &&
                n.compare(n.size() - suffix.size(), suffix.size(), suffix) == 0)
                out.push_back(n);
        }
        closedir(d);
    }
    std::sort(out.begin(), out.end());
    return out;
}

std::string Stem(const std::string& name) {
    return name.substr(0, name.rfind('.'));
}

// Collects differences with the path of the field that differed.
class Diff {
public:
    std::vector<std::string> errors;
    std::vector<std::string> path;
    double tolerance = 1e-12;

    struct Scope {
        Diff& d;
        Scope(Diff& d_, const std::string& p) : d(d_) { d.path.push_back(p); }
        ~Scope() { d.path.pop_back(); }
    };
    std::string Where() const {
        std::string s;
        for (const auto& p : path)
            s += (s.empty() ? "" : ".") + p;
        return s;
    }
    void Fail(const std::string& what) {
        if (errors.size() < 25) errors.push_back(Where() + ": " + what);
    }
    bool Close(double got, double want, double scale = 1.0) const {
        if (got == want) return true;
        const double m = std::max({std::fabs(got), std::fabs(want), scale});
        return std::fabs(got - want) <= tolerance * m;
    }
    void Num(const std::string& field, double got, double want, double scale = 1.0) {
        if (!Close(got, want, scale)) {
            std::ostringstream os;
            os.precision(17);
            os << field << " is " << got << ", truth " << want;
            Fail(os.str());
        }
    }
    void Int(const std::string& field, long got, long want) {
        if (got != want)
            Fail(field + " is " + std::to_string(got) + ", truth " + std::to_string(want));
    }
    void Vec(const std::string& field, const double* got, const Value& want, size_t n,
             double scale = 1.0) {
        if (!want.IsArray() || want.size() < n) {
            Fail(field + ": truth is not a list of " + std::to_string(n));
            return;
        }
        for (size_t i = 0; i < n; ++i)
            if (!Close(got[i], want[i].Num(), scale)) {
                std::ostringstream os;
                os.precision(17);
                os << field << "[" << i << "] is " << got[i] << ", truth " << want[i].Num();
                Fail(os.str());
                return;
            }
    }
};

// A truth list: the whole list, or for big objects {count, head, tail, sum}.
// each(i, item) is called for every listed item; sumOf(i) gives the numbers of
// item i for the summary's sum.
void ForEachItem(Diff& d, const std::string& field, const Value& list, int count,
                 const std::function<void(int, const Value&)>& each,
                 const std::function<double(int)>& sumOf = nullptr) {
    Diff::Scope s(d, field);
    if (list.IsArray()) {
        d.Int("count", count, static_cast<long>(list.size()));
        for (int i = 0; i < count && i < static_cast<int>(list.size()); ++i)
            each(i, list[i]);
        return;
    }
    if (!list.IsObject() || !list.Has("count")) {
        d.Fail("truth is neither a list nor a summary");
        return;
    }
    const int n = list["count"].Int();
    d.Int("count", count, n);
    if (count != n) return;
    const Value& head = list["head"];
    const Value& tail = list["tail"];
    for (size_t i = 0; i < head.size(); ++i)
        each(static_cast<int>(i), head[i]);
    for (size_t i = 0; i < tail.size(); ++i)
        each(n - static_cast<int>(tail.size()) + static_cast<int>(i), tail[i]);
    if (sumOf && list.Has("sum")) {
        double sum = 0, mag = 0;
        for (int i = 0; i < n; ++i) {
            const double v = sumOf(i);
            sum += v;
            mag += std::fabs(v);
        }
        // The order of summation differs: compare relative to the magnitude summed.
        if (std::fabs(sum - list["sum"].Num()) > 1e-9 * std::max(1.0, mag))
            d.Fail("sum is " + std::to_string(sum) + ", truth " +
                   std::to_string(list["sum"].Num()));
    }
}

// A transform applied to expected values (identity outside blocks).
struct Xf {
    double m[4][4] = {{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}};
    bool identity = true;
    static Xf FromTruth(const Value& v) {
        Xf x;
        x.identity = false;
        for (int i = 0; i < 4; ++i)
            for (int j = 0; j < 4; ++j)
                x.m[i][j] = v[i][j].Num();
        return x;
    }
    Xf operator*(const Xf& o) const {
        if (identity) return o;
        if (o.identity) return *this;
        Xf r;
        r.identity = false;
        for (int i = 0; i < 4; ++i)
            for (int j = 0; j < 4; ++j) {
                r.m[i][j] = 0;
                for (int k = 0; k < 4; ++k)
                    r.m[i][j] += m[i][k] * o.m[k][j];
            }
        return r;
    }
    // Homogeneous point (x, y, z, w) -> transformed homogeneous point.
    void Apply4(const double in[4], double out[4]) const {
        if (identity) {
            std::copy(in, in + 4, out);
            return;
        }
        for (int i = 0; i < 4; ++i)
            out[i] = m[i][0] * in[0] + m[i][1] * in[1] + m[i][2] * in[2] + m[i][3] * in[3];
    }
    void Point(const Value& p, double out[3]) const {
        const double in[4] = {p[0].Num(), p[1].Num(), p.size() > 2 ? p[2].Num() : 0.0, 1.0};
        double h[4];
        Apply4(in, h);
        for (int i = 0; i < 3; ++i)
            out[i] = h[i] / h[3];
    }
};

void ComparePoint(Diff& d, const std::string& field, const ON_3dPoint& got, const Value& want,
                  const Xf& xf) {
    double w[3];
    xf.Point(want, w);
    const double g[3] = {got.x, got.y, got.z};
    Value wv;
    wv.kind = Value::Kind::Array;
    for (double x : w) {
        Value n;
        n.kind = Value::Kind::Number;
        n.number = x;
        wv.items.push_back(n);
    }
    d.Vec(field, g, wv, 3, 1.0);
}

void CompareCurveNurbs(Diff& d, const ON_NurbsCurve& c, const Value& t, const Xf& xf) {
    d.Int("dimension", c.m_dim, t["dimension"].Int());
    d.Int("order", c.m_order, t["order"].Int());
    d.Int("cvCount", c.m_cv_count, t["cvCount"].Int());
    const bool rational = t["isRational"].Bool();
    d.Int("isRational", c.IsRational(), rational);
    if (c.m_order != t["order"].Int() || c.m_cv_count != t["cvCount"].Int()) return;
    ForEachItem(
        d, "knots", t["knots"], c.KnotCount(),
        [&](int i, const Value& k) { d.Num("knot " + std::to_string(i), c.m_knot[i], k.Num()); },
        [&](int i) { return c.m_knot[i]; });
    const Value& cvs = rational ? t["cvsHomogeneous"] : t["cvs"];
    ForEachItem(
        d, rational ? "cvsHomogeneous" : "cvs", cvs, c.m_cv_count,
        [&](int i, const Value& cv) {
            // Truth: [x, y, z] or homogeneous [wx, wy, wz, w] (z = 0 for 2-D curves).
            const double in[4] = {cv[0].Num(), cv[1].Num(), cv[2].Num(),
                                  rational ? cv[3].Num() : 1.0};
            double h[4];
            xf.Apply4(in, h);
            double want[4];
            int n = 0;
            for (int k = 0; k < c.m_dim; ++k)
                want[n++] = h[k];
            if (rational) want[n++] = h[3];
            const double* p = c.CV(i);
            for (int k = 0; k < n; ++k)
                if (!d.Close(p[k], want[k], 1.0)) {
                    std::ostringstream os;
                    os.precision(17);
                    os << "cv " << i << "[" << k << "] is " << p[k] << ", truth " << want[k];
                    d.Fail(os.str());
                    return;
                }
        },
        [&](int i) {
            double s = 0;
            for (int k = 0; k < c.CVSize(); ++k)
                s += c.CV(i)[k];
            return s;
        });
    if (t.Has("domain")) {
        const ON_Interval dom = c.Domain();
        d.Vec("domain", dom.m_t, t["domain"], 2);
    }
}

void CompareSurfaceNurbs(Diff& d, const ON_NurbsSurface& s, const Value& t) {
    d.Int("orderU", s.m_order[0], t["orderU"].Int());
    d.Int("orderV", s.m_order[1], t["orderV"].Int());
    d.Int("cvCountU", s.m_cv_count[0], t["cvCountU"].Int());
    d.Int("cvCountV", s.m_cv_count[1], t["cvCountV"].Int());
    const bool rational = t["isRational"].Bool();
    d.Int("isRational", s.IsRational(), rational);
    if (s.m_order[0] != t["orderU"].Int() || s.m_order[1] != t["orderV"].Int() ||
        s.m_cv_count[0] != t["cvCountU"].Int() || s.m_cv_count[1] != t["cvCountV"].Int())
        return;
    for (int dir = 0; dir < 2; ++dir) {
        const char* name = dir ? "knotsV" : "knotsU";
        ForEachItem(
            d, name, t[name], s.KnotCount(dir),
            [&](int i, const Value& k) {
                d.Num("knot " + std::to_string(i), s.m_knot[dir][i], k.Num());
            },
            [&](int i) { return s.m_knot[dir][i]; });
    }
    const Value& rows = rational ? t["cvsHomogeneous"] : t["cvs"];
    ForEachItem(d, "cvs", rows, s.m_cv_count[0], [&](int i, const Value& row) {
        ForEachItem(d, "row " + std::to_string(i), row, s.m_cv_count[1],
                    [&](int j, const Value& cv) {
                        const double* p = s.CV(i, j);
                        d.Vec("cv " + std::to_string(j), p, cv, static_cast<size_t>(s.CVSize()));
                    });
    });
}

void CompareBrep(Diff& d, const ON_Brep& b, const Value& t, const Xf& xf,
                 bool fromExtrusion = false) {
    // A B-rep from a file keeps the solid flag it was saved with; one made
    // from an extrusion must be solid exactly when openNURBS's is.
    if (fromExtrusion) d.Int("isSolid", b.IsSolid(), t["isSolid"].Bool());
    d.Int("faceCount", b.m_F.Count(), t["faceCount"].Int());
    d.Int("edgeCount", b.m_E.Count(), t["edgeCount"].Int());
    d.Int("vertexCount", b.m_V.Count(), t["vertexCount"].Int());
    d.Int("loopCount", b.m_L.Count(), t["loopCount"].Int());
    d.Int("trimCount", b.m_T.Count(), t["trimCount"].Int());
    d.Int("surfaceCount", b.m_S.Count(), t["surfaceCount"].Int());
    if (!d.errors.empty()) return;
    ForEachItem(d, "vertices", t["vertices"], b.m_V.Count(), [&](int i, const Value& v) {
        ComparePoint(d, "vertex " + std::to_string(i), b.m_V[i].point, v["location"], xf);
    });
    ForEachItem(d, "edges", t["edges"], b.m_E.Count(), [&](int i, const Value& e) {
        Diff::Scope s(d, "edge " + std::to_string(i));
        const ON_Interval dom = b.m_E[i].Domain();
        d.Vec("domain", dom.m_t, e["domain"], 2);
        ON_NurbsCurve n;
        if (!b.m_E[i].GetNurbForm(n)) {
            d.Fail("has no NURBS form");
            return;
        }
        Diff::Scope s2(d, "nurbs");
        CompareCurveNurbs(d, n, e["nurbs"], xf);
    });
    // Trim curves are not in the truth (rhino3dm gives no access to them); the
    // loops' trims are compared by edge, direction and vertices instead.
    ForEachItem(d, "faces", t["faces"], b.m_F.Count(), [&](int i, const Value& f) {
        Diff::Scope s(d, "face " + std::to_string(i));
        const ON_BrepFace& face = b.m_F[i];
        d.Int("orientationIsReversed", face.m_bRev, f["orientationIsReversed"].Bool());
        d.Int("loopCount", face.m_li.Count(), f["loopCount"].Int());
        if (face.m_li.Count() != f["loopCount"].Int()) return;
        for (int k = 0; k < face.m_li.Count(); ++k) {
            const ON_BrepLoop& l = b.m_L[face.m_li[k]];
            const Value& tl = f["loops"][k];
            Diff::Scope s2(d, "loop " + std::to_string(k));
            d.Int("trimCount", l.m_ti.Count(), tl["trimCount"].Int());
            if (l.m_ti.Count() != tl["trimCount"].Int()) continue;
            ForEachItem(d, "trims", tl["trims"], l.m_ti.Count(), [&](int j, const Value& tt) {
                const ON_BrepTrim& tr = b.m_T[l.m_ti[j]];
                d.Int("trim " + std::to_string(j) + " edgeIndex", tr.m_ei, tt["edgeIndex"].Int());
                d.Int("trim " + std::to_string(j) + " isReversed", tr.m_bRev3d,
                      tt["isReversed"].Bool());
                d.Int("trim " + std::to_string(j) + " startVertexIndex", tr.m_vi[0],
                      tt["startVertexIndex"].Int());
                d.Int("trim " + std::to_string(j) + " endVertexIndex", tr.m_vi[1],
                      tt["endVertexIndex"].Int());
            });
        }
    });
    if (xf.identity) {
        ForEachItem(d, "surfaces", t["surfaces"], b.m_S.Count(), [&](int i, const Value& s) {
            Diff::Scope sc(d, "surface " + std::to_string(i));
            ON_NurbsSurface n;
            if (!b.m_S[i] || !b.m_S[i]->GetNurbForm(n)) {
                d.Fail("has no NURBS form");
                return;
            }
            CompareSurfaceNurbs(d, n, s["surface"]["nurbs"]);
        });
    }
}

void CompareMesh(Diff& d, const ON_Mesh& m, const Value& t, const Xf& xf) {
    d.Int("vertexCount", m.m_V.Count(), t["vertexCount"].Int());
    d.Int("faceCount", m.m_F.Count(), t["faceCount"].Int());
    const bool dp = t["useDoublePrecisionVertices"].Bool();
    d.Int("useDoublePrecisionVertices", m.HasDoublePrecisionVertices(), dp);
    if (!d.errors.empty()) return;
    if (t.Has("vertices")) {
        ForEachItem(
            d, "vertices", t["vertices"], m.m_V.Count(),
            [&](int i, const Value& v) {
                const ON_3dPoint p = dp ? m.m_dV[i] : ON_3dPoint(m.m_V[i]);
                ComparePoint(d, "vertex " + std::to_string(i), p, v, xf);
            },
            [&](int i) {
                const ON_3dPoint p = dp ? m.m_dV[i] : ON_3dPoint(m.m_V[i]);
                return p.x + p.y + p.z;
            });
    }
    if (t.Has("faces")) {
        ForEachItem(
            d, "faces", t["faces"], m.m_F.Count(),
            [&](int i, const Value& f) {
                for (int k = 0; k < 4; ++k)
                    if (m.m_F[i].vi[k] != f[k].Int()) {
                        d.Fail("face " + std::to_string(i) + " differs");
                        return;
                    }
            },
            [&](int i) {
                return static_cast<double>(m.m_F[i].vi[0]) + m.m_F[i].vi[1] + m.m_F[i].vi[2] +
                       m.m_F[i].vi[3];
            });
    }
}

struct Containers {
    ON_3dPointArray points;
    ON_ClassArray<ON_NurbsCurve> curves;
    ON_ClassArray<ON_Brep> breps;
    ON_ClassArray<ON_Mesh> meshes;
};

// Walks the truth objects in file order and compares each with the next
// items of the containers. Extrusions reach the containers through the
// object model's BrepForm and are compared with openNURBS's B-rep form
// field by field: the import sends those edges to the host.
class Walker {
public:
    Walker(Diff& d, const Containers& c, const Value& truth) : d_(d), c_(c), truth_(truth) {
        for (const auto& o : truth["objects"].items)
            if (o["id"].IsString()) byId_[o["id"].Str()] = &o;
        for (const auto& def : truth["instanceDefinitions"].items)
            defs_[def["id"].Str()] = &def;
    }

    void All() {
        for (const auto& o : truth_["objects"].items) {
            if (o["mode"]["value"].Int() == 3) continue; // block members come through references
            Object(o, Xf(), 0);
        }
        d_.Int("points in all", points_, c_.points.Count());
        d_.Int("curves in all", curves_, c_.curves.Count());
        d_.Int("breps in all", breps_, c_.breps.Count());
        d_.Int("meshes in all", meshes_, c_.meshes.Count());
    }

private:
    void Curve(const Value& g, const Xf& xf) {
        if (g.Has("segments")) {
            for (size_t i = 0; i < g["segments"].size(); ++i) {
                Diff::Scope s(d_, "segment " + std::to_string(i));
                Curve(g["segments"][i]["curve"], xf);
            }
            return;
        }
        if (curves_ >= c_.curves.Count()) {
            d_.Fail("curve missing");
            ++curves_;
            return;
        }
        Diff::Scope s(d_, "nurbs");
        CompareCurveNurbs(d_, c_.curves[curves_++], g["nurbs"], xf);
    }

    void Object(const Value& o, const Xf& xf, int depth) {
        Diff::Scope s(d_,
                      "object " + std::to_string(o["index"].Int()) + " (" + o["type"].Str() + ")");
        const std::string type = o["type"].Str();
        const Value& g = o["geometry"];
        // A clipping plane is a view aid that rhino3dm lists as a surface; the reader skips it.
        if (o["onClass"].Str() == "ON_ClippingPlaneSurface") return;
        if (type == "Point") {
            if (points_ < c_.points.Count())
                ComparePoint(d_, "location", c_.points[points_], g["location"], xf);
            ++points_;
        } else if (type == "PointCloud") {
            const int n = g["count"].Int();
            if (points_ + n <= c_.points.Count()) {
                ForEachItem(d_, "points", g["points"], n, [&](int i, const Value& p) {
                    ComparePoint(d_, "point " + std::to_string(i), c_.points[points_ + i], p, xf);
                });
            }
            points_ += n;
        } else if (type == "LineCurve" || type == "ArcCurve" || type == "PolylineCurve" ||
                   type == "NurbsCurve" || type == "PolyCurve") {
            Curve(g, xf);
        } else if (type == "NurbsSurface" || type == "RevSurface" || type == "Surface") {
            if (breps_ < c_.breps.Count()) {
                const ON_Brep& b = c_.breps[breps_];
                d_.Int("faces of the surface's B-rep", b.m_F.Count(), 1);
                d_.Int("surfaces of the surface's B-rep", b.m_S.Count(), 1);
                ON_NurbsSurface n;
                if (xf.identity && b.m_S.Count() == 1 && b.m_S[0] && b.m_S[0]->GetNurbForm(n)) {
                    Diff::Scope s2(d_, "nurbs");
                    CompareSurfaceNurbs(d_, n, g["nurbs"]);
                }
            }
            ++breps_;
        } else if (type == "Brep") {
            if (breps_ < c_.breps.Count()) {
                Diff::Scope s2(d_, "brep");
                CompareBrep(d_, c_.breps[breps_], g, xf);
            }
            ++breps_;
        } else if (type == "Extrusion") {
            if (breps_ < c_.breps.Count()) {
                Diff::Scope s2(d_, "brepForm");
                CompareBrep(d_, c_.breps[breps_], g["extrusion"]["brepForm"], xf, true);
            }
            ++breps_;
        } else if (type == "Mesh") {
            if (meshes_ < c_.meshes.Count()) {
                Diff tolerant = d_;
                if (!xf.identity) tolerant.tolerance = 1e-6; // float vertices, transformed
                tolerant.errors.clear();
                CompareMesh(tolerant, c_.meshes[meshes_], g, xf);
                for (auto& e : tolerant.errors)
                    d_.errors.push_back(e);
            }
            ++meshes_;
        } else if (type == "InstanceReference") {
            auto def = defs_.find(g["parentIdefId"].Str());
            if (def == defs_.end() || depth > 8) return; // skipped by the reader as well
            const Xf inner = xf * Xf::FromTruth(g["xform"]);
            for (const auto& id : (*def->second)["objectIds"].items) {
                auto m = byId_.find(id.Str());
                if (m != byId_.end()) Object(*m->second, inner, depth + 1);
            }
        }
        // Everything else is skipped by the reader and counted in its report.
    }

    Diff& d_;
    const Containers& c_;
    const Value& truth_;
    std::map<std::string, const Value*> byId_;
    std::map<std::string, const Value*> defs_;
    int points_ = 0, curves_ = 0, breps_ = 0, meshes_ = 0;
};

struct Case {
    std::string dir, file;
};

std::vector<Case> AllCases() {
    std::vector<Case> cases;
    for (const auto& f : ListFiles(kShared + "/fixtures/3dm", ".3dm"))
        cases.push_back({"3dm", f});
    for (const auto& f : ListFiles(kShared + "/fixtures/real", ".3dm"))
        cases.push_back({"real", f});
    return cases;
}

class Truth : public ::testing::TestWithParam<Case> {};

TEST_P(Truth, MatchesOpenNurbs) {
    const Case& c = GetParam();
    const std::string base = kShared + "/fixtures/" + c.dir + "/";
    const Value truth = testjson::Load(base + Stem(c.file) + ".json");
    Containers out;
    TMXFileReader reader;
    const int ok = reader.ReadFile(base + c.file, out.points, out.curves, out.breps, out.meshes);
    const int av = truth["archiveVersion"].Int();
    if (av == 1) {
        // Rhino 1 files are refused with a message that says so.
        EXPECT_EQ(ok, 0);
        EXPECT_NE(reader.GetError().find(c.file), std::string::npos) << reader.GetError();
        EXPECT_NE(reader.GetError().find("Rhino 1"), std::string::npos) << reader.GetError();
        EXPECT_EQ(out.points.Count() + out.curves.Count() + out.breps.Count() + out.meshes.Count(),
                  0);
        return;
    }
    ASSERT_EQ(ok, 1) << reader.GetError();
    EXPECT_EQ(reader.GetError(), "");
    const TMXFileReport& rep = reader.GetReport();
    EXPECT_EQ(rep.archiveVersion, av);
    EXPECT_EQ(rep.unitSystem, truth["settings"]["modelUnitSystem"]["value"].Int());
    EXPECT_EQ(rep.absoluteTolerance, truth["settings"]["modelAbsoluteTolerance"].Num());

    // Every object of the file is either read or skipped with a reason.
    int accounted = 0;
    for (const auto& k : rep.read)
        accounted += k.count;
    for (const auto& k : rep.skipped) {
        accounted += k.count;
        EXPECT_FALSE(k.reason.empty()) << k.kind;
    }
    EXPECT_EQ(accounted, truth["objectCount"].Int());

    Diff d;
    Walker walker(d, out, truth);
    walker.All();
    std::string all;
    for (const auto& e : d.errors)
        all += "\n  " + e;
    EXPECT_TRUE(d.errors.empty()) << c.file << " differs from its truth:" << all;
}

std::string CaseName(const ::testing::TestParamInfo<Case>& info) {
    std::string n = info.param.dir + "_" + Stem(info.param.file);
    for (char& ch : n)
        if (!isalnum(static_cast<unsigned char>(ch))) ch = '_';
    return n;
}

INSTANTIATE_TEST_SUITE_P(AllFiles, Truth, ::testing::ValuesIn(AllCases()), CaseName);

} // namespace
