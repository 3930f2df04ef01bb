// How a host document is seen: a turntable view (the viewer's azimuth about
// z and elevation above the xy plane, z always up), the isometric view as
// its start, face shading by a light fixed to the viewer, and the map from
// view-plane metres to pixels that fits a document into a picture.
#pragma once

#include "CadHostModel.h"

namespace docview {

// A point in the view: u to the right, w up, depth toward the viewer.
struct Projected {
    double u, w, depth;
};

class Projection {
public:
    // Isometric, from (1, 1, 1): x runs to the lower left, y to the lower
    // right, z up.
    static Projection Isometric();
    // From azimuth (radians from +x toward +y) and elevation (radians above
    // the xy plane, kept within ±kMaxElevation).
    static Projection FromAngles(double azimuth, double elevation);
    static constexpr double kMaxElevation = 1.5533430342749532; // 89 degrees

    double Azimuth() const { return azimuth_; }
    double Elevation() const { return elevation_; }

    Projected Project(const cadhost::Vec3& p) const {
        return {r_[0] * p.x + r_[1] * p.y + r_[2] * p.z, up_[0] * p.x + up_[1] * p.y + up_[2] * p.z,
                d_[0] * p.x + d_[1] * p.y + d_[2] * p.z};
    }
    Projected Project(const double* xyz) const { return Project({xyz[0], xyz[1], xyz[2]}); }
    // The view's axes in model space: right (u), up (w), toward the viewer.
    cadhost::Vec3 Right() const { return {r_[0], r_[1], r_[2]}; }
    cadhost::Vec3 Up() const { return {up_[0], up_[1], up_[2]}; }
    cadhost::Vec3 Toward() const { return {d_[0], d_[1], d_[2]}; }

    // Brightness of a face with this normal, 0.45 to 1: the light comes from
    // above, over the viewer's left shoulder; both sides of a face are lit.
    double Shade(const double* normal) const;

private:
    Projection(double azimuth, double elevation);
    double azimuth_, elevation_;
    double r_[3], up_[3], d_[3]; // the view's right, up and toward-viewer axes in model space
    double light_[3];            // the light's direction in model space
};

// The face colour of the pictures, by brightness: 0x00RRGGBB.
unsigned FaceColour(double shade);

// Bounds of projected points (empty until Add).
struct Bounds {
    double umin = 1e300, umax = -1e300, wmin = 1e300, wmax = -1e300, dmin = 1e300, dmax = -1e300;
    void Add(const Projected& q);
    bool Empty() const { return !(umin <= umax); }
};

// View-plane metres to pixels: x = ox + (u - cu) * scale, y = oy - (w - cw) * scale.
struct ScreenMap {
    double scale = 1000.0, cu = 0, cw = 0, ox = 0, oy = 0;

    double X(const Projected& q) const { return ox + (q.u - cu) * scale; }
    double Y(const Projected& q) const { return oy - (q.w - cw) * scale; }
    // Fits bounds into the area (left, top, width, height), centred; a flat
    // or empty picture keeps a sensible scale.
    static ScreenMap Fit(const Bounds& b, double left, double top, double width, double height);
};

// Bounds of a whole document (sampled entities and face corners) in a view.
// Bodies of more than maxFaces faces are measured in part.
Bounds DocumentBounds(const cadhost::DocumentModel& doc, const Projection& view,
                      std::size_t maxFaces = static_cast<std::size_t>(-1));

} // namespace docview
