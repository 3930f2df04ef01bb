// Builds object-model geometry from the fixtures' truth descriptions and
// compares NURBS forms with the ones openNURBS wrote into the truth.
#pragma once

#include "TestJson.h"
#include "opennurbs.h"

#include <algorithm>
#include <cmath>
#include <dirent.h>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

namespace truth {

using testjson::Value;

inline std::string SharedPath(const std::string& rel) {
    return std::string(QUORLA_SHARED_DIR) + "/" + rel;
}

// Truth files (*.json except index.json) of a fixtures folder, sorted.
inline std::vector<std::string> TruthFiles(const std::string& folder) {
    std::vector<std::string> files;
    const std::string dir = SharedPath(folder);
    if (DIR* d = opendir(dir.c_str())) {
        while (dirent* e = readdir(d)) {
            const std::string name = e->d_name;
            if (name.size() > 5 && name.substr(name.size() - 5) == ".json" && name != "index.json")
                files.push_back(dir + "/" + name);
        }
        closedir(d);
    }
    std::sort(files.begin(), files.end());
    return files;
}

inline ON_3dPoint Point(const Value& v) {
    return ON_3dPoint(v[0].Num(), v[1].Num(), v.size() > 2 ? v[2].Num() : 0.0);
}
inline ON_3dVector Vector(const Value& v) {
    return ON_3dVector(Point(v));
}
inline ON_Interval Interval(const Value& v) {
    return ON_Interval(v[0].Num(), v[1].Num());
}

inline ON_Plane Plane(const Value& v) {
    ON_Plane p;
    p.origin = Point(v["origin"]);
    p.xaxis = Vector(v["xAxis"]);
    p.yaxis = Vector(v["yAxis"]);
    p.zaxis = Vector(v["zAxis"]);
    p.UpdateEquation();
    return p;
}

inline ON_Arc Arc(const Value& a) {
    ON_Arc arc(ON_Circle(Plane(a["plane"]), a["radius"].Num()), Interval(a["angleDomain"]));
    return arc;
}

// The NURBS curve a truth `nurbs` object describes (homogeneous CVs where
// rational).
inline ON_NurbsCurve NurbsFromTruth(const Value& n) {
    ON_NurbsCurve c;
    const bool rat = n["isRational"].Bool();
    const int dim = n["dimension"].Int();
    c.Create(dim, rat, n["order"].Int(), n["cvCount"].Int());
    const Value& knots = n["knots"];
    for (int i = 0; i < c.KnotCount(); i++)
        c.m_knot[i] = knots[i].Num();
    for (int i = 0; i < c.CVCount(); i++) {
        if (rat) {
            const Value& h = n["cvsHomogeneous"][i];
            ON_4dPoint p(h[0].Num(), h[1].Num(), h.size() > 3 ? h[2].Num() : 0.0,
                         h[h.size() - 1].Num());
            if (dim == 2) p = ON_4dPoint(h[0].Num(), h[1].Num(), 0.0, h[3].Num());
            c.SetCV(i, p);
        } else {
            c.SetCV(i, Point(n["cvs"][i]));
        }
    }
    return c;
}

// The source curve an object's geometry describes; nullptr for kinds that
// the truth does not describe fully.
inline ON_Curve* CurveFromTruth(const std::string& type, const Value& g) {
    if (type == "LineCurve") {
        ON_LineCurve* c =
            new ON_LineCurve(ON_Line(Point(g["line"]["from"]), Point(g["line"]["to"])));
        c->m_t = Interval(g["domain"]);
        c->m_dim = g["dimension"].Int();
        return c;
    }
    if (type == "ArcCurve") {
        ON_ArcCurve* c = new ON_ArcCurve(Arc(g["arc"]));
        c->m_t = Interval(g["domain"]);
        c->m_dim = g["dimension"].Int();
        return c;
    }
    if (type == "PolylineCurve") {
        ON_PolylineCurve* c = new ON_PolylineCurve();
        const Value& pts = g["points"];
        for (size_t i = 0; i < pts.size(); i++)
            c->m_pline.Append(Point(pts[i]));
        // Vertex parameters are the NURBS form's knots (degree 1).
        const Value& knots = g["nurbs"]["knots"];
        for (size_t i = 0; i < knots.size(); i++)
            c->m_t.Append(knots[i].Num());
        c->m_dim = g["dimension"].Int();
        return c;
    }
    if (type == "NurbsCurve") return new ON_NurbsCurve(NurbsFromTruth(g["nurbs"]));
    if (type == "PolyCurve") {
        ON_PolyCurve* pc = new ON_PolyCurve();
        const Value& segs = g["segments"];
        for (size_t i = 0; i < segs.size(); i++) {
            ON_Curve* s = CurveFromTruth(segs[i]["type"].Str(), segs[i]["curve"]);
            if (!s) {
                delete pc;
                return nullptr;
            }
            const ON_Interval pd = Interval(segs[i]["polycurveDomain"]);
            if (i == 0) pc->m_t.Append(pd[0]);
            pc->AppendSegment(s, pd[1]);
        }
        return pc;
    }
    return nullptr;
}

// Size of a truth NURBS object (largest absolute CV coordinate, at least 1),
// for relative comparisons.
inline double Scale(const Value& n) {
    double s = 1.0;
    const Value& cvs = n["cvs"];
    std::vector<const Value*> stack = {&cvs};
    while (!stack.empty()) {
        const Value* v = stack.back();
        stack.pop_back();
        if (v->IsNumber())
            s = std::max(s, std::fabs(v->Num()));
        else
            for (const Value& item : v->items)
                stack.push_back(&item);
    }
    return s;
}

inline bool Near(double a, double b, double tol) {
    return std::fabs(a - b) <= tol;
}

// Empty when the curve's form equals the truth's within 1e-12 relative,
// else what differed.
inline std::string CompareNurbs(const ON_NurbsCurve& c, const Value& n) {
    std::ostringstream out;
    out.precision(17);
    const double scale = Scale(n);
    const double tol = 1e-12 * scale;
    if (c.Order() != n["order"].Int() || c.CVCount() != n["cvCount"].Int()) {
        out << "order/cv count " << c.Order() << "/" << c.CVCount() << ", expected "
            << n["order"].Int() << "/" << n["cvCount"].Int();
        return out.str();
    }
    if (c.IsRational() != n["isRational"].Bool()) {
        // A rational form whose weights are all 1 is the same curve.
        bool all_one = true;
        for (int i = 0; i < c.CVCount(); i++)
            all_one = all_one && c.Weight(i) == 1.0;
        if (!all_one || n["isRational"].Bool()) return "rational flag differs";
    }
    const Value& knots = n["knots"];
    double kscale = 1.0;
    for (size_t i = 0; i < knots.size(); i++)
        kscale = std::max(kscale, std::fabs(knots[i].Num()));
    for (int i = 0; i < c.KnotCount(); i++)
        if (!Near(c.Knot(i), knots[i].Num(), 1e-12 * kscale)) {
            out << "knot " << i << " is " << c.Knot(i) << ", expected " << knots[i].Num();
            return out.str();
        }
    for (int i = 0; i < c.CVCount(); i++) {
        ON_3dPoint p;
        c.GetCV(i, p);
        const ON_3dPoint q = Point(n["cvs"][i]);
        if (p.DistanceTo(q) > tol * 4) {
            out << "cv " << i << " is (" << p.x << ", " << p.y << ", " << p.z << "), expected ("
                << q.x << ", " << q.y << ", " << q.z << ")";
            return out.str();
        }
        const double w = n["weights"][i].Num();
        if (!Near(c.Weight(i), w, 1e-12)) {
            out << "weight " << i << " is " << c.Weight(i) << ", expected " << w;
            return out.str();
        }
    }
    return std::string();
}

inline std::string CompareNurbsSurface(const ON_NurbsSurface& s, const Value& n) {
    std::ostringstream out;
    out.precision(17);
    const double tol = 4e-12 * Scale(n);
    const char* kn[2] = {"knotsU", "knotsV"};
    const char* on[2] = {"orderU", "orderV"};
    const char* cn[2] = {"cvCountU", "cvCountV"};
    for (int d = 0; d < 2; d++) {
        if (s.Order(d) != n[on[d]].Int() || s.CVCount(d) != n[cn[d]].Int()) {
            out << "direction " << d << ": order/cv count " << s.Order(d) << "/" << s.CVCount(d)
                << ", expected " << n[on[d]].Int() << "/" << n[cn[d]].Int();
            return out.str();
        }
        const Value& k = n[kn[d]];
        double ks = 1.0;
        for (size_t i = 0; i < k.size(); i++)
            ks = std::max(ks, std::fabs(k[i].Num()));
        for (int i = 0; i < s.KnotCount(d); i++)
            if (!Near(s.Knot(d, i), k[i].Num(), 1e-12 * ks)) {
                out << "direction " << d << " knot " << i << " is " << s.Knot(d, i) << ", expected "
                    << k[i].Num();
                return out.str();
            }
    }
    for (int i = 0; i < s.CVCount(0); i++)
        for (int j = 0; j < s.CVCount(1); j++) {
            ON_3dPoint p;
            s.GetCV(i, j, p);
            const ON_3dPoint q = Point(n["cvs"][i][j]);
            if (p.DistanceTo(q) > tol) {
                out << "cv (" << i << ", " << j << ") is (" << p.x << ", " << p.y << ", " << p.z
                    << "), expected (" << q.x << ", " << q.y << ", " << q.z << ")";
                return out.str();
            }
            const double w = n["weights"][i][j].Num();
            if (!Near(s.Weight(i, j), w, 1e-12)) {
                out << "weight (" << i << ", " << j << ") is " << s.Weight(i, j) << ", expected "
                    << w;
                return out.str();
            }
        }
    return std::string();
}

} // namespace truth
