#include "Projection.h"

#include "EntitySampling.h"

#include <algorithm>
#include <cmath>

namespace docview {

namespace {

// The light of the isometric pictures, in model space.
const double kIsoLight[3] = {-0.3, 0.45, 0.84};

} // namespace

Projection::Projection(double azimuth, double elevation)
    : azimuth_(azimuth), elevation_(elevation) {
    const double ca = std::cos(azimuth), sa = std::sin(azimuth);
    const double ce = std::cos(elevation), se = std::sin(elevation);
    const double r[3] = {-sa, ca, 0}, up[3] = {-se * ca, -se * sa, ce}, d[3] = {ce * ca, ce * sa, se};
    std::copy(r, r + 3, r_);
    std::copy(up, up + 3, up_);
    std::copy(d, d + 3, d_);
    // The light keeps its place relative to the viewer: its view coordinates
    // are those it has in the isometric view.
    const double k1 = 0.70710678118654752, k2 = 0.40824829046386302, k3 = 0.57735026918962576;
    const double lr = k1 * (kIsoLight[1] - kIsoLight[0]);
    const double lu = k2 * (2 * kIsoLight[2] - kIsoLight[0] - kIsoLight[1]);
    const double ld = k3 * (kIsoLight[0] + kIsoLight[1] + kIsoLight[2]);
    for (int i = 0; i < 3; i++)
        light_[i] = r_[i] * lr + up_[i] * lu + d_[i] * ld;
}

Projection Projection::Isometric() {
    // Exact constants rather than sines of 45 and 35.26 degrees, so that the
    // isometric pictures do not move with rounding.
    const double k1 = 0.70710678118654752, k2 = 0.40824829046386302, k3 = 0.57735026918962576;
    Projection p(0, 0);
    p.azimuth_ = 0.78539816339744831;
    p.elevation_ = 0.61547970867038734;
    const double r[3] = {-k1, k1, 0}, up[3] = {-k2, -k2, 2 * k2}, d[3] = {k3, k3, k3};
    std::copy(r, r + 3, p.r_);
    std::copy(up, up + 3, p.up_);
    std::copy(d, d + 3, p.d_);
    std::copy(kIsoLight, kIsoLight + 3, p.light_);
    return p;
}

Projection Projection::FromAngles(double azimuth, double elevation) {
    if (!(elevation < kMaxElevation)) elevation = kMaxElevation;
    if (!(elevation > -kMaxElevation)) elevation = -kMaxElevation;
    if (!std::isfinite(azimuth)) azimuth = 0;
    azimuth = std::remainder(azimuth, 2 * 3.14159265358979323846);
    return Projection(azimuth, elevation);
}

double Projection::Shade(const double* n) const {
    double shade = 0.45 + 0.55 * std::fabs(n[0] * light_[0] + n[1] * light_[1] + n[2] * light_[2]);
    return shade <= 1.0 ? shade : 1.0; // also for a normal that is not a number
}

unsigned FaceColour(double shade) {
    const unsigned r = static_cast<unsigned>(110 * shade), g = static_cast<unsigned>(160 * shade),
                   b = static_cast<unsigned>(210 * shade);
    return r << 16 | g << 8 | b;
}

void Bounds::Add(const Projected& q) {
    umin = std::min(umin, q.u);
    umax = std::max(umax, q.u);
    wmin = std::min(wmin, q.w);
    wmax = std::max(wmax, q.w);
    dmin = std::min(dmin, q.depth);
    dmax = std::max(dmax, q.depth);
}

ScreenMap ScreenMap::Fit(const Bounds& b, double left, double top, double width, double height) {
    ScreenMap m;
    m.ox = left + width / 2;
    m.oy = top + height / 2;
    if (b.Empty()) return m;
    const double extent = std::max(b.umax - b.umin, b.wmax - b.wmin);
    m.scale = extent > 0 ? std::min(width / std::max(b.umax - b.umin, extent * 1e-3),
                                    height / std::max(b.wmax - b.wmin, extent * 1e-3))
                         : 1000.0;
    m.cu = (b.umin + b.umax) / 2;
    m.cw = (b.wmin + b.wmax) / 2;
    return m;
}

Bounds DocumentBounds(const cadhost::DocumentModel& doc, const Projection& view,
                      std::size_t maxFaces) {
    Bounds b;
    for (const cadhost::Entity& e : doc.entities)
        for (const cadhost::Vec3& p : SampleEntity(doc, e))
            b.Add(view.Project(p));
    std::size_t faces = 0;
    for (const cadhost::Body& body : doc.bodies) {
        for (const cadhost::Face& f : body.faces) {
            if (faces++ >= maxFaces) return b;
            for (int i = 0; i < f.count; i++)
                b.Add(view.Project(f.Corner(i)));
        }
    }
    return b;
}

} // namespace docview
