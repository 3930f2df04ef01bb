#include "Svg.h"

#include <algorithm>
#include <cstdarg>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>
#include <vector>

namespace quorla {

using cadhost::Body;
using cadhost::DocumentModel;
using cadhost::Entity;
using cadhost::EntityKind;
using cadhost::Face;
using cadhost::Vec3;

namespace {

const double kPi = 3.14159265358979323846;
const double kWidth = 960, kHeight = 720, kMargin = 40, kTop = 56, kBottom = 64;

// Isometric view from (1, 1, 1): x runs to the lower left, y to the lower
// right, z up. u to the right, w up, depth toward the viewer.
struct Projected {
    double u, w;
};
Projected Project(const Vec3& p) {
    return {(p.y - p.x) * 0.70710678118654752, (2 * p.z - p.x - p.y) * 0.40824829046386302};
}
double Depth(const Vec3& p) {
    return p.x + p.y + p.z;
}

Vec3 Lerp(const Vec3& a, const Vec3& b, double t) {
    return {a.x + (b.x - a.x) * t, a.y + (b.y - a.y) * t, a.z + (b.z - a.z) * t};
}

// A point of a B-spline by de Boor's algorithm; knots as the host holds them
// (order + count), control points Euclidean.
Vec3 DeBoor(const double* knots, const Vec3* cv, int order, int count, double t) {
    int span = order - 1;
    while (span < count - 1 && t >= knots[span + 1])
        span++;
    std::vector<Vec3> d(cv + span - order + 1, cv + span + 1);
    for (int r = 1; r < order; r++) {
        for (int j = order - 1; j >= r; j--) {
            int i = span - order + 1 + j;
            double denom = knots[i + order - r] - knots[i];
            double a = denom > 0 ? (t - knots[i]) / denom : 0.0;
            d[j] = Lerp(d[j - 1], d[j], a);
        }
    }
    return d[order - 1];
}

// Points of an arc in a plane parallel to XY, from angle a0 over sweep.
void ArcPoints(const Vec3& c, double radius, double a0, double sweep, std::vector<Vec3>& out) {
    int n = std::max(8, static_cast<int>(std::ceil(std::fabs(sweep) / (2 * kPi) * 96)));
    for (int i = 0; i <= n; i++) {
        double a = a0 + sweep * i / n;
        out.push_back({c.x + radius * std::cos(a), c.y + radius * std::sin(a), c.z});
    }
}

struct Picture {
    std::string out;
    void Printf(const char* format, ...) __attribute__((format(printf, 2, 3))) {
        char buffer[512];
        va_list args;
        va_start(args, format);
        int n = std::vsnprintf(buffer, sizeof buffer, format, args);
        va_end(args);
        if (n > 0) out.append(buffer, std::min<size_t>(static_cast<size_t>(n), sizeof buffer - 1));
    }
};

std::string Escape(const std::string& text) {
    std::string out;
    for (char c : text) {
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '"':
            out += "&quot;";
            break;
        default:
            out += c;
        }
    }
    return out;
}

// Metres per unit and the unit's short name, by the document's length unit.
void UnitOf(long code, double* metres, const char** name) {
    static const double kMetres[5] = {0.001, 0.01, 1.0, 0.0254, 0.3048};
    static const char* const kNames[5] = {"mm", "cm", "m", "in", "ft"};
    if (code < 0 || code > 4) code = 2;
    *metres = kMetres[code];
    *name = kNames[code];
}

// The largest of 1, 2, 5 times a power of ten not above value.
double RoundDown125(double value) {
    double p = std::pow(10.0, std::floor(std::log10(value)));
    for (double m : {5.0, 2.0, 1.0})
        if (m * p <= value) return m * p;
    return p;
}

} // namespace

std::vector<Vec3> SampleEntity(const DocumentModel& doc, const Entity& e) {
    std::vector<Vec3> out;
    const double* v = doc.Values(e);
    switch (e.kind) {
    case EntityKind::Point:
        out.push_back(doc.At(e, 0));
        break;
    case EntityKind::Line:
        out.push_back(doc.At(e, 0));
        out.push_back(doc.At(e, 1));
        break;
    case EntityKind::Circle:
        ArcPoints(doc.At(e, 0), v[3], 0.0, 2 * kPi, out);
        break;
    case EntityKind::Arc: {
        Vec3 c = doc.At(e, 0), s = doc.At(e, 1), t = doc.At(e, 2);
        double a0 = std::atan2(s.y - c.y, s.x - c.x);
        double a1 = std::atan2(t.y - c.y, t.x - c.x);
        double sweep = e.direction >= 0 ? a1 - a0 : a0 - a1;
        while (sweep <= 1e-12)
            sweep += 2 * kPi;
        ArcPoints(c, std::hypot(s.x - c.x, s.y - c.y), a0, e.direction >= 0 ? sweep : -sweep, out);
        break;
    }
    case EntityKind::SplineThroughPoints:
        for (int i = 0; i < e.count; i++)
            out.push_back(doc.At(e, static_cast<size_t>(i)));
        break;
    case EntityKind::SplineFromNurbs: {
        const int order = e.order, count = e.count;
        const double* knots = doc.Knots(e);
        std::vector<Vec3> cv;
        for (int i = 0; i < count; i++)
            cv.push_back(doc.At(e, static_cast<size_t>(i)));
        if (order < 2 || count < order) break;
        const double t0 = knots[order - 1], t1 = knots[count];
        const int spans = count - order + 1;
        const int n = std::min(2000, std::max(16, spans * 16));
        for (int i = 0; i <= n; i++)
            out.push_back(DeBoor(knots, cv.data(), order, count, t0 + (t1 - t0) * i / n));
        break;
    }
    }
    return out;
}

std::string DocumentSvg(const DocumentModel& doc, const std::string& caption) {
    // Everything to draw, in metres, with its bounds in the view.
    struct Drawn {
        std::vector<Vec3> points;
        EntityKind kind;
    };
    std::vector<Drawn> entities;
    for (const Entity& e : doc.entities)
        entities.push_back({SampleEntity(doc, e), e.kind});
    struct FaceRef {
        const Face* face;
        double depth;
    };
    std::vector<FaceRef> faces;
    size_t faceTotal = 0;
    for (const Body& body : doc.bodies) {
        for (const Face& f : body.faces) {
            faceTotal++;
            if (faces.size() >= kSvgMaxFaces) continue;
            double depth = 0;
            for (int i = 0; i < f.count; i++)
                depth += Depth(f.Corner(i));
            faces.push_back({&f, depth / std::max(1, f.count)});
        }
    }

    double umin = std::numeric_limits<double>::infinity(), umax = -umin, wmin = umin, wmax = -umin;
    auto grow = [&](const Vec3& p) {
        Projected q = Project(p);
        umin = std::min(umin, q.u);
        umax = std::max(umax, q.u);
        wmin = std::min(wmin, q.w);
        wmax = std::max(wmax, q.w);
    };
    for (const Drawn& d : entities)
        for (const Vec3& p : d.points)
            grow(p);
    for (const FaceRef& f : faces)
        for (int i = 0; i < f.face->count; i++)
            grow(f.face->Corner(i));
    const bool empty = !(umin <= umax);
    if (empty) umin = umax = wmin = wmax = 0;

    // Metres to pixels: fit the view into the drawing area.
    const double areaW = kWidth - 2 * kMargin, areaH = kHeight - kTop - kBottom;
    const double extent = std::max(umax - umin, wmax - wmin);
    double scale = extent > 0 ? std::min(areaW / std::max(umax - umin, extent * 1e-3),
                                         areaH / std::max(wmax - wmin, extent * 1e-3))
                              : 1000.0;
    const double cu = (umin + umax) / 2, cw = (wmin + wmax) / 2;
    const double ox = kWidth / 2, oy = kTop + areaH / 2;
    auto X = [&](const Projected& q) { return ox + (q.u - cu) * scale; };
    auto Y = [&](const Projected& q) { return oy - (q.w - cw) * scale; };

    Picture svg;
    svg.Printf("<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"%.0f\" height=\"%.0f\" "
               "viewBox=\"0 0 %.0f %.0f\" font-family=\"sans-serif\" font-size=\"13\">\n",
               kWidth, kHeight, kWidth, kHeight);
    svg.Printf("<rect width=\"100%%\" height=\"100%%\" fill=\"#ffffff\"/>\n");
    svg.out += "<text x=\"" + std::to_string(static_cast<int>(kMargin)) + "\" y=\"24\">" +
               Escape(caption) + "</text>\n";
    std::string note =
        "isometric view from x, y and z positive; the scale bar measures in the view "
        "plane, lengths along the axes show at 82 %";
    if (faceTotal > faces.size())
        note += "; " + std::to_string(faces.size()) + " of " + std::to_string(faceTotal) +
                " faces drawn";
    if (empty) note += "; the document is empty";
    svg.out += "<text x=\"" + std::to_string(static_cast<int>(kMargin)) +
               "\" y=\"42\" fill=\"#666666\" font-size=\"11\">" + Escape(note) + "</text>\n";

    // Faces from the back to the front, shaded by their normals.
    std::stable_sort(faces.begin(), faces.end(),
                     [](const FaceRef& a, const FaceRef& b) { return a.depth < b.depth; });
    if (!faces.empty()) {
        svg.out += "<g stroke=\"#2b4a66\" stroke-width=\"0.4\" stroke-linejoin=\"round\">\n";
        const double lx = -0.3, ly = 0.45, lz = 0.84; // light from above, over the left shoulder
        for (const FaceRef& f : faces) {
            const double* n = f.face->normal;
            double shade = 0.45 + 0.55 * std::fabs(n[0] * lx + n[1] * ly + n[2] * lz);
            if (!(shade <= 1.0)) shade = 1.0;
            svg.Printf("<polygon fill=\"#%02x%02x%02x\" points=\"", int(110 * shade),
                       int(160 * shade), int(210 * shade));
            for (int i = 0; i < f.face->count; i++) {
                Projected q = Project(f.face->Corner(i));
                svg.Printf("%s%.2f,%.2f", i ? " " : "", X(q), Y(q));
            }
            svg.out += "\"/>\n";
        }
        svg.out += "</g>\n";
    }

    // Sketch entities over the faces; points as dots.
    svg.out += "<g fill=\"none\" stroke=\"#b3261e\" stroke-width=\"1.2\" "
               "stroke-linecap=\"round\" stroke-linejoin=\"round\">\n";
    for (const Drawn& d : entities) {
        if (d.kind == EntityKind::Point || d.points.size() < 2) continue;
        svg.out += "<polyline points=\"";
        for (size_t i = 0; i < d.points.size(); i++) {
            Projected q = Project(d.points[i]);
            svg.Printf("%s%.2f,%.2f", i ? " " : "", X(q), Y(q));
        }
        svg.out += "\"/>\n";
    }
    svg.out += "</g>\n<g fill=\"#1b5e20\">\n";
    for (const Drawn& d : entities) {
        if (d.kind != EntityKind::Point || d.points.empty()) continue;
        Projected q = Project(d.points[0]);
        svg.Printf("<circle cx=\"%.2f\" cy=\"%.2f\" r=\"2.5\"/>\n", X(q), Y(q));
    }
    svg.out += "</g>\n";

    // Axes and the scale bar, bottom left, in the document's unit.
    double metresPerUnit;
    const char* unitName;
    UnitOf(doc.lengthUnit, &metresPerUnit, &unitName);
    const double barUnits = RoundDown125(160.0 / scale / metresPerUnit);
    const double barPx = barUnits * metresPerUnit * scale;
    const double bx = kMargin + 70, by = kHeight - 28;
    svg.Printf("<g stroke=\"#000000\" stroke-width=\"1.5\">"
               "<line x1=\"%.2f\" y1=\"%.2f\" x2=\"%.2f\" y2=\"%.2f\"/>"
               "<line x1=\"%.2f\" y1=\"%.2f\" x2=\"%.2f\" y2=\"%.2f\"/>"
               "<line x1=\"%.2f\" y1=\"%.2f\" x2=\"%.2f\" y2=\"%.2f\"/></g>\n",
               bx, by, bx + barPx, by, bx, by - 5, bx, by + 5, bx + barPx, by - 5, bx + barPx,
               by + 5);
    char label[64];
    std::snprintf(label, sizeof label, "%g %s", barUnits, unitName);
    svg.Printf("<text x=\"%.2f\" y=\"%.2f\">%s</text>\n", bx + barPx + 8, by + 4, label);
    const double ax = kMargin + 24, ay = kHeight - 34, len = 22;
    const struct {
        Vec3 dir;
        const char* name;
        const char* colour;
    } axes[3] = {
        {{1, 0, 0}, "x", "#c62828"}, {{0, 1, 0}, "y", "#2e7d32"}, {{0, 0, 1}, "z", "#1565c0"}};
    for (const auto& a : axes) {
        Projected q = Project(a.dir);
        double ex = ax + q.u * len, ey = ay - q.w * len;
        svg.Printf("<line x1=\"%.2f\" y1=\"%.2f\" x2=\"%.2f\" y2=\"%.2f\" stroke=\"%s\" "
                   "stroke-width=\"1.5\"/><text x=\"%.2f\" y=\"%.2f\" fill=\"%s\" "
                   "font-size=\"11\">%s</text>\n",
                   ax, ay, ex, ey, a.colour, ex + (ex - ax) * 0.35 - 3, ey + (ey - ay) * 0.35 + 4,
                   a.colour, a.name);
    }
    svg.out += "</svg>\n";
    return svg.out;
}

} // namespace quorla
