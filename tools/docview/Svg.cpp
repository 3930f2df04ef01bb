#include "Svg.h"

#include "EntitySampling.h"
#include "Projection.h"

#include <algorithm>
#include <cstdarg>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <vector>

namespace docview {

using cadhost::Body;
using cadhost::DocumentModel;
using cadhost::Entity;
using cadhost::EntityKind;
using cadhost::Face;
using cadhost::Vec3;

namespace {

const double kWidth = 960, kHeight = 720, kMargin = 40, kTop = 56, kBottom = 64;

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

std::string DocumentSvg(const DocumentModel& doc, const std::string& caption) {
    const Projection view = Projection::Isometric();
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
                depth += view.Project(f.Corner(i)).depth;
            faces.push_back({&f, depth / std::max(1, f.count)});
        }
    }

    Bounds bounds;
    for (const Drawn& d : entities)
        for (const Vec3& p : d.points)
            bounds.Add(view.Project(p));
    for (const FaceRef& f : faces)
        for (int i = 0; i < f.face->count; i++)
            bounds.Add(view.Project(f.face->Corner(i)));
    const bool empty = bounds.Empty();

    // Metres to pixels: fit the view into the drawing area.
    const double areaW = kWidth - 2 * kMargin, areaH = kHeight - kTop - kBottom;
    const ScreenMap map = ScreenMap::Fit(bounds, kMargin, kTop, areaW, areaH);
    const double scale = map.scale;
    auto X = [&](const Projected& q) { return map.X(q); };
    auto Y = [&](const Projected& q) { return map.Y(q); };

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
        for (const FaceRef& f : faces) {
            svg.Printf("<polygon fill=\"#%06x\" points=\"", FaceColour(view.Shade(f.face->normal)));
            for (int i = 0; i < f.face->count; i++) {
                Projected q = view.Project(f.face->Corner(i));
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
            Projected q = view.Project(d.points[i]);
            svg.Printf("%s%.2f,%.2f", i ? " " : "", X(q), Y(q));
        }
        svg.out += "\"/>\n";
    }
    svg.out += "</g>\n<g fill=\"#1b5e20\">\n";
    for (const Drawn& d : entities) {
        if (d.kind != EntityKind::Point || d.points.empty()) continue;
        Projected q = view.Project(d.points[0]);
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
        Projected q = view.Project(a.dir);
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

} // namespace docview
