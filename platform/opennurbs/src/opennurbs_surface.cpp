#include "opennurbs_internal.h"

#include <vector>

ON_3dPoint ON_Surface::PointAt(double s, double t) const {
    double v[8] = {0};
    const int dim = Dimension();
    if (dim < 1 || dim > 8 || !Evaluate(s, t, 0, dim, v)) return ON_3dPoint::UnsetPoint;
    return ON_3dPoint(v[0], dim > 1 ? v[1] : 0.0, dim > 2 ? v[2] : 0.0);
}

ON_3dVector ON_Surface::NormalAt(double s, double t) const {
    double v[9] = {0};
    if (Dimension() != 3 || !Evaluate(s, t, 1, 3, v)) return ON_3dVector::ZeroVector;
    return ON_CrossProduct(ON_3dVector(v + 3), ON_3dVector(v + 6)).UnitVector();
}

bool ON_Surface::IsClosed(int dir) const {
    const ON_Interval d = Domain(dir), o = Domain(1 - dir);
    if (!d.IsIncreasing() || !o.IsIncreasing()) return false;
    // The two opposite sides coincide at a few points along them.
    for (int i = 0; i <= 4; i++) {
        const double c = o.ParameterAt(i / 4.0);
        const ON_3dPoint a = dir == 0 ? PointAt(d[0], c) : PointAt(c, d[0]);
        const ON_3dPoint b = dir == 0 ? PointAt(d[1], c) : PointAt(c, d[1]);
        if (!on_internal::PointsAreCoincident(a, b)) return false;
    }
    return true;
}

bool ON_Surface::IsPeriodic(int dir) const {
    ON_NurbsSurface n;
    return GetNurbForm(n) && n.IsPeriodic(dir);
}

ON_Curve* ON_Surface::IsoCurve(int dir, double c) const {
    ON_NurbsSurface n;
    if (!GetNurbForm(n)) return nullptr;
    return n.IsoCurve(dir, c);
}

ON_NurbsSurface* ON_Surface::NurbsSurface(ON_NurbsSurface* p, double tolerance) const {
    ON_NurbsSurface* n = p ? p : new ON_NurbsSurface();
    if (GetNurbForm(*n, tolerance)) return n;
    if (!p) delete n;
    return nullptr;
}

bool ON_Surface::GetBBox(double* boxmin, double* boxmax, bool bGrowBox) const {
    ON_NurbsSurface n;
    if (!GetNurbForm(n)) return false;
    return n.GetBBox(boxmin, boxmax, bGrowBox);
}

ON_SurfaceArray::ON_SurfaceArray(const ON_SurfaceArray& src) : ON_SimpleArray<ON_Surface*>() {
    *this = src;
}

ON_SurfaceArray& ON_SurfaceArray::operator=(const ON_SurfaceArray& src) {
    if (this == &src) return *this;
    Destroy();
    Reserve(src.Count());
    for (int i = 0; i < src.Count(); i++)
        Append(src[i] ? src[i]->DuplicateSurface() : nullptr);
    return *this;
}

ON_SurfaceArray& ON_SurfaceArray::operator=(ON_SurfaceArray&& src) noexcept {
    if (this != &src) {
        Destroy();
        ON_SimpleArray<ON_Surface*>::operator=(std::move(src));
    }
    return *this;
}

ON_SurfaceArray::~ON_SurfaceArray() {
    Destroy();
}

void ON_SurfaceArray::Destroy() {
    for (int i = 0; i < Count(); i++)
        delete (*this)[i];
    ON_SimpleArray<ON_Surface*>::Destroy();
}
