// Seeded random curves, slightly perturbed, across scales and file
// tolerances: every entity ConvertCurveArray makes of a recognised curve
// lies within the tolerance used of its curve, both ways, and ends where the
// curve ends; splines are the curve's own.
#include "ConvertTestSupport.h"

#include <TMXCurve.h>

#include <algorithm>
#include <cmath>
#include <random>

using namespace converttest;
using cadhost::Entity;
using cadhost::EntityKind;
using cadhost::Vec3;

namespace {

ON_3dPoint P(const Vec3& v) {
    return ON_3dPoint(v.x, v.y, v.z);
}

double SegmentDistance(const ON_3dPoint& p, const ON_3dPoint& a, const ON_3dPoint& b) {
    const ON_3dVector d = b - a;
    const double len2 = d * d;
    double t = len2 > 0 ? ((p - a) * d) / len2 : 0.0;
    t = std::max(0.0, std::min(1.0, t));
    return p.DistanceTo(a + d * t);
}

// An entity as the host keeps it, with a distance and dense samples.
struct Shape {
    EntityKind kind;
    std::vector<ON_3dPoint> chain; // lines: their points in order
    ON_3dPoint centre, start, end;
    double radius = 0;
    int direction = 1;
    double sweep = 0; // arcs: angle from start to end in their direction

    // Angle of p about the centre in the XY plane, counted in the direction
    // of travel from the start.
    double Along(const ON_3dPoint& p) const {
        const double a0 = std::atan2(start.y - centre.y, start.x - centre.x);
        double a = (std::atan2(p.y - centre.y, p.x - centre.x) - a0) * direction;
        while (a < 0)
            a += 2 * ON_PI;
        while (a >= 2 * ON_PI)
            a -= 2 * ON_PI;
        return a;
    }
    ON_3dPoint OnCircle(double along) const {
        const double a0 = std::atan2(start.y - centre.y, start.x - centre.x);
        const double a = a0 + direction * along;
        return ON_3dPoint(centre.x + radius * std::cos(a), centre.y + radius * std::sin(a),
                          centre.z);
    }
    double Distance(const ON_3dPoint& p) const {
        if (kind == EntityKind::Line) {
            double best = INFINITY;
            for (size_t i = 0; i + 1 < chain.size(); i++)
                best = std::min(best, SegmentDistance(p, chain[i], chain[i + 1]));
            return best;
        }
        const double rho = std::hypot(p.x - centre.x, p.y - centre.y);
        const double onCircle = std::hypot(rho - radius, p.z - centre.z);
        if (kind == EntityKind::Circle || Along(p) <= sweep) return onCircle;
        return std::min(p.DistanceTo(start), p.DistanceTo(end));
    }
    std::vector<ON_3dPoint> Samples() const {
        std::vector<ON_3dPoint> out;
        const int n = 96;
        if (kind == EntityKind::Line) {
            for (size_t i = 0; i + 1 < chain.size(); i++)
                for (int k = 0; k <= n; k++)
                    out.push_back(chain[i] + (chain[i + 1] - chain[i]) * (double(k) / n));
        } else {
            const double total = kind == EntityKind::Circle ? 2 * ON_PI : sweep;
            for (int k = 0; k <= n; k++)
                out.push_back(OnCircle(total * k / n));
        }
        return out;
    }
};

// Distance from p to the curve: between dense samples (span ends among
// them), golden-section searches in every piece that could hold a point
// nearer than the best found (a piece of length l lies within l / 2 of its
// ends' distances).
double CurveDistance(const ON_NurbsCurve& c, const ON_3dPoint& p) {
    const int spans = c.SpanCount();
    std::vector<double> breaks(spans + 1);
    c.GetSpanVector(breaks.data());
    std::vector<double> ts;
    for (int s = 0; s < spans; s++)
        for (int k = 0; k < 24; k++)
            ts.push_back(breaks[s] + (breaks[s + 1] - breaks[s]) * k / 24.0);
    ts.push_back(breaks[spans]);
    std::vector<ON_3dPoint> at(ts.size());
    std::vector<double> d(ts.size());
    double best = INFINITY;
    for (size_t i = 0; i < ts.size(); i++) {
        at[i] = c.PointAt(ts[i]);
        d[i] = at[i].DistanceTo(p);
        best = std::min(best, d[i]);
    }
    std::vector<std::pair<double, size_t>> pieces;
    for (size_t i = 0; i + 1 < ts.size(); i++)
        pieces.push_back({std::min(d[i], d[i + 1]) - 0.51 * at[i].DistanceTo(at[i + 1]), i});
    std::sort(pieces.begin(), pieces.end());
    for (const auto& piece : pieces) {
        if (piece.first >= best) break;
        double lo = ts[piece.second], hi = ts[piece.second + 1];
        for (int it = 0; it < 45; it++) {
            const double m1 = lo + (hi - lo) * 0.381966, m2 = lo + (hi - lo) * 0.618034;
            if (c.PointAt(m1).DistanceTo(p) < c.PointAt(m2).DistanceTo(p))
                hi = m2;
            else
                lo = m1;
        }
        best = std::min(best, c.PointAt(0.5 * (lo + hi)).DistanceTo(p));
    }
    return best;
}

std::vector<ON_3dPoint> CurveSamples(const ON_NurbsCurve& c) {
    const int spans = c.SpanCount();
    std::vector<double> breaks(spans + 1);
    c.GetSpanVector(breaks.data());
    std::vector<ON_3dPoint> out;
    for (int s = 0; s < spans; s++)
        for (int k = 0; k < 61; k++) // not the recogniser's own sample points
            out.push_back(c.PointAt(breaks[s] + (breaks[s + 1] - breaks[s]) * k / 61.0));
    out.push_back(c.PointAtEnd());
    return out;
}

// A curve of one of the kinds the converter meets, at size about 1, then
// moved to scale and place.
class Generator {
public:
    explicit Generator(unsigned seed) : rng_(seed) {}

    double Uniform(double a, double b) { return std::uniform_real_distribution<double>(a, b)(rng_); }
    double LogUniform(double a, double b) { return std::exp(Uniform(std::log(a), std::log(b))); }
    int Pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng_); }
    ON_3dVector Direction() {
        ON_3dVector v(Uniform(-1, 1), Uniform(-1, 1), Uniform(-1, 1));
        return v.Unitize() ? v : ON_3dVector(1, 0, 0);
    }

    // kind: 0 line, 1 arc or circle in the XY plane, 2 tilted arc, 3 polyline,
    // 4 straight spans of a cubic, 5 arc approximated by a cubic, 6 free form.
    ON_NurbsCurve Make(int kind, const char** name) {
        ON_NurbsCurve c;
        switch (kind) {
        case 0: {
            *name = "line";
            const ON_3dPoint a(Uniform(-1, 1), Uniform(-1, 1), Uniform(-1, 1));
            const ON_3dPoint b = a + Direction();
            c = ON_NurbsCurve(3, false, 4, 4);
            for (int i = 0; i < 4; i++)
                c.SetCV(i, a + (b - a) * (i / 3.0));
            for (int i = 0; i < 6; i++)
                c.SetKnot(i, i < 3 ? 0.0 : 1.0);
            break;
        }
        case 1:
        case 2: {
            *name = kind == 1 ? "arc in XY" : "tilted arc";
            ON_Plane plane = ON_Plane::World_xy;
            if (kind == 2) plane = ON_Plane(ON_3dPoint::Origin, Direction());
            const bool circle = Pick(3) == 0;
            const double a0 = Uniform(0, 6), sweep = circle ? 2 * ON_PI : Uniform(0.05, 6.2);
            ON_Arc arc(ON_Circle(plane, Uniform(0.2, 1)), ON_Interval(a0, a0 + sweep));
            if (Pick(2)) arc.plane.Flip(); // clockwise in XY
            arc.GetNurbForm(c);
            break;
        }
        case 3: {
            *name = "polyline";
            const int n = 2 + Pick(8);
            const bool closed = Pick(2) == 0;
            c = ON_NurbsCurve(3, false, 2, n + (closed ? 1 : 0));
            ON_3dPoint p(0, 0, 0);
            for (int i = 0; i < n; i++) {
                c.SetCV(i, p);
                p = p + Direction() * Uniform(0.05, 0.5);
            }
            if (closed) {
                ON_3dPoint first;
                c.GetCV(0, first);
                c.SetCV(n, first);
            }
            for (int i = 0; i < c.KnotCount(); i++)
                c.SetKnot(i, i);
            break;
        }
        case 4: {
            *name = "straight spans";
            // Spans of a cubic, each straight, joined with a corner.
            const int spans = 1 + Pick(4);
            c = ON_NurbsCurve(3, false, 4, 3 * spans + 1);
            ON_3dPoint p(0, 0, 0);
            for (int s = 0; s < spans; s++) {
                const ON_3dPoint q = p + Direction() * Uniform(0.1, 0.5);
                for (int k = 0; k < 3; k++)
                    c.SetCV(3 * s + k, p + (q - p) * (k / 3.0));
                p = q;
            }
            c.SetCV(3 * spans, p);
            int k = 0;
            for (int s = 0; s <= spans; s++)
                for (int m = 0; m < (s == 0 || s == spans ? 3 : 3); m++)
                    if (k < c.KnotCount()) c.SetKnot(k++, s);
            break;
        }
        case 5: {
            *name = "cubic nearest an arc";
            // A cubic through points of an XY arc: within a small distance of it.
            const double r = Uniform(0.2, 1), a0 = Uniform(0, 6), sweep = Uniform(0.3, 3);
            const int n = 4 + Pick(6);
            c = ON_NurbsCurve(3, false, 4, n);
            for (int i = 0; i < n; i++) {
                const double a = a0 + sweep * i / (n - 1);
                c.SetCV(i, ON_3dPoint(r * std::cos(a), r * std::sin(a), 0));
            }
            for (int i = 0; i < c.KnotCount(); i++)
                c.SetKnot(i, std::max(0, std::min(i - 2, n - 3)));
            break;
        }
        default: {
            *name = "free form";
            const int n = 4 + Pick(5);
            c = ON_NurbsCurve(3, false, 4, n);
            for (int i = 0; i < n; i++)
                c.SetCV(i, ON_3dPoint(Uniform(-1, 1), Uniform(-1, 1), Uniform(-1, 1)));
            for (int i = 0; i < c.KnotCount(); i++)
                c.SetKnot(i, std::max(0, std::min(i - 2, n - 3)));
            break;
        }
        }
        return c;
    }

    // Moves every control point by up to `amount` (in the XY plane for XY
    // curves, so that they stay there).
    void Perturb(ON_NurbsCurve& c, double amount, bool flat) {
        for (int i = 0; i < c.CVCount(); i++) {
            ON_4dPoint h;
            c.GetCV(i, h);
            ON_3dVector d = Direction() * Uniform(0, amount);
            if (flat) d.z = 0;
            const double w = c.IsRational() ? h.w : 1.0;
            c.SetCV(i, ON_4dPoint(h.x + d.x * w, h.y + d.y * w, h.z + d.z * w, w));
        }
    }

private:
    std::mt19937 rng_;
};

std::string Dump(const ON_NurbsCurve& c, const Shape& s) {
    std::string out = "\ncurve:";
    char b[128];
    for (int i = 0; i < c.CVCount(); i++) {
        ON_3dPoint p;
        c.GetCV(i, p);
        snprintf(b, sizeof b, " (%.17g %.17g %.17g)", p.x, p.y, p.z);
        out += b;
    }
    out += "\nchain:";
    for (const ON_3dPoint& p : s.chain) {
        snprintf(b, sizeof b, " (%.17g %.17g %.17g)", p.x, p.y, p.z);
        out += b;
    }
    return out;
}

class RecognitionProperty : public ConvertTest {
protected:
    void SetUp() override {
        ConvertTest::SetUp();
        doc = OpenPart();
        host.SetJournalEnabled(false);
    }
    void TearDown() override {
        HostRelease(doc);
        TMXCurve::ResetTolerance();
        ConvertTest::TearDown();
    }
    HostDocHandle doc = nullptr;
};

TEST_F(RecognitionProperty, EveryEntityStaysWithinTheToleranceUsedOfItsCurve) {
    Generator g(20240611u);
    const cadhost::DocumentModel& model = host.Document(host.ActiveDocumentId());
    int recognised = 0, kinds[6] = {};
    for (int trial = 0; trial < 600; trial++) {
        const char* name = "";
        const int kind = trial % 7;
        ON_NurbsCurve curve = g.Make(kind, &name);
        const double scale = g.LogUniform(1e-6, 1e6);
        const double fileTolerance = g.LogUniform(1e-9, 10.0);
        curve.Transform(ON_Xform::ScaleTransformation(ON_3dPoint::Origin, scale));
        const bool flat = kind == 1 || kind == 5;
        ON_3dVector offset = g.Direction() * (scale * g.Uniform(0, 3));
        if (flat) offset.z = 0;
        curve.Transform(ON_Xform::TranslationTransformation(offset));
        // Up to a few times the tolerance, or not at all.
        const double factors[4] = {0.0, 0.1, 1.0, 3.0};
        g.Perturb(curve, fileTolerance * factors[g.Pick(4)], flat);

        RecognitionTolerance setting(fileTolerance);
        const double tol = TMXCurve::Tolerance(&curve);
        const double slack = 1e-12 * (scale * 4);
        const size_t before = model.entities.size();
        ON_ClassArray<ON_NurbsCurve> one;
        one.Append(curve);
        ResetConversionCounts();
        ConvertCurveArray(doc, one, 1.0, 0);
        const size_t after = model.entities.size();
        std::string what = std::string(name) + " #" + std::to_string(trial) + " at scale " +
                           std::to_string(scale) + ", file tolerance " +
                           std::to_string(fileTolerance) + ", tolerance used " +
                           std::to_string(tol);
        if (GetConversionCounts().shortCurves == 1) {
            // Left out as shorter than the file's tolerance: its control polygon is.
            double length = 0;
            ON_3dPoint a, b;
            for (int i = 1; i < curve.CVCount(); i++) {
                curve.GetCV(i - 1, a);
                curve.GetCV(i, b);
                length += a.DistanceTo(b);
            }
            EXPECT_LT(length, fileTolerance) << what;
            EXPECT_EQ(after, before) << what;
            continue;
        }
        ASSERT_GT(after, before) << what << ": nothing made (a refused entity?)";

        const Entity& first = model.entities[before];
        kinds[static_cast<int>(first.kind)]++;
        if (first.kind == EntityKind::SplineFromNurbs) {
            // The curve itself: its knots (the ends repeated) and its points.
            ASSERT_EQ(after - before, 1u) << what;
            ASSERT_EQ(first.count, curve.CVCount()) << what;
            for (int i = 0; i < curve.CVCount(); i++) {
                ON_3dPoint cv;
                curve.GetCV(i, cv);
                EXPECT_EQ(P(model.At(first, i)).DistanceTo(cv), 0.0) << what;
            }
            continue;
        }
        if (first.kind == EntityKind::SplineThroughPoints) {
            for (int i = 0; i < first.count; i++)
                EXPECT_LE(CurveDistance(curve, P(model.At(first, i))), tol + slack) << what;
            continue;
        }
        recognised++;
        Shape shape;
        shape.kind = first.kind;
        if (first.kind == EntityKind::Line) {
            shape.chain.push_back(P(model.At(first, 0)));
            for (size_t e = before; e < after; e++) {
                const Entity& line = model.entities[e];
                ASSERT_EQ(line.kind, EntityKind::Line) << what;
                EXPECT_EQ(P(model.At(line, 0)), shape.chain.back()) << what << ": a gap in the chain";
                shape.chain.push_back(P(model.At(line, 1)));
            }
            EXPECT_EQ(shape.chain.front(), curve.PointAtStart()) << what;
            EXPECT_EQ(shape.chain.back(), curve.PointAtEnd()) << what;
            if (curve.PointAtStart().DistanceTo(curve.PointAtEnd()) <= tol) {
                EXPECT_GE(shape.chain.size(), 4u) << what << ": a closed curve as fewer than three lines";
            }
        } else {
            ASSERT_EQ(after - before, 1u) << what;
            shape.centre = P(model.At(first, 0));
            if (first.kind == EntityKind::Circle) {
                shape.radius = model.Radius(first);
                shape.start = curve.PointAtStart();
                EXPECT_LE(shape.Distance(curve.PointAtStart()), slack) << what;
            } else {
                shape.start = P(model.At(first, 1));
                shape.end = P(model.At(first, 2));
                shape.direction = first.direction;
                shape.radius = shape.start.DistanceTo(shape.centre);
                EXPECT_EQ(shape.start, curve.PointAtStart()) << what;
                EXPECT_EQ(shape.end, curve.PointAtEnd()) << what;
                shape.sweep = shape.Along(shape.end);
            }
        }
        double worst = 0;
        for (const ON_3dPoint& p : CurveSamples(curve))
            worst = std::max(worst, shape.Distance(p));
        EXPECT_LE(worst, tol + slack) << what << ": the curve strays from its entity";
        worst = 0;
        for (const ON_3dPoint& p : shape.Samples())
            worst = std::max(worst, CurveDistance(curve, p));
        EXPECT_LE(worst, tol + slack) << what << ": the entity strays from its curve" << Dump(curve, shape);
    }
    // The run covers every kind of entity.
    EXPECT_GT(recognised, 200);
    for (int k = 1; k < 6; k++)
        EXPECT_GT(kinds[k], 10) << cadhost::EntityKindName(static_cast<EntityKind>(k));
}

} // namespace
