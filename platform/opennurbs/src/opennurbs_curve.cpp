#include "opennurbs_internal.h"

using namespace on_internal;

ON_BoundingBox ON_Geometry::BoundingBox() const {
    ON_BoundingBox box;
    double mn[3] = {0, 0, 0}, mx[3] = {0, 0, 0};
    if (GetBBox(mn, mx, false)) box = ON_BoundingBox(ON_3dPoint(mn), ON_3dPoint(mx));
    return box;
}

ON_3dPoint ON_Curve::PointAt(double t) const {
    double v[8] = {0, 0, 0, 0, 0, 0, 0, 0};
    const int dim = Dimension();
    if (dim < 1 || dim > 8 || !Evaluate(t, 0, dim, v)) return ON_3dPoint::UnsetPoint;
    return ON_3dPoint(v[0], dim > 1 ? v[1] : 0.0, dim > 2 ? v[2] : 0.0);
}

ON_3dPoint ON_Curve::PointAtStart() const {
    return PointAt(Domain()[0]);
}

ON_3dPoint ON_Curve::PointAtEnd() const {
    double v[8] = {0, 0, 0, 0, 0, 0, 0, 0};
    const int dim = Dimension();
    if (dim < 1 || dim > 8 || !Evaluate(Domain()[1], 0, dim, v, -1)) return ON_3dPoint::UnsetPoint;
    return ON_3dPoint(v[0], dim > 1 ? v[1] : 0.0, dim > 2 ? v[2] : 0.0);
}

ON_3dVector ON_Curve::DerivativeAt(double t) const {
    double v[16] = {0};
    const int dim = Dimension();
    if (dim < 1 || dim > 8 || !Evaluate(t, 1, dim, v)) return ON_3dVector::ZeroVector;
    return ON_3dVector(v[dim], dim > 1 ? v[dim + 1] : 0.0, dim > 2 ? v[dim + 2] : 0.0);
}

ON_3dVector ON_Curve::TangentAt(double t) const {
    return DerivativeAt(t).UnitVector();
}

bool ON_Curve::IsClosed() const {
    const int dim = Dimension();
    if (dim < 1) return false;
    const ON_Interval d = Domain();
    if (!d.IsIncreasing()) return false;
    const ON_3dPoint a = PointAtStart(), b = PointAtEnd();
    if (!a.IsValid() || !b.IsValid() || !PointsAreCoincident(a, b)) return false;
    // A curve collapsed onto its ends (a point, or there and back on a
    // segment through a third of the domain) is not closed.
    const ON_3dPoint p = PointAt(d.ParameterAt(1.0 / 3.0)), q = PointAt(d.ParameterAt(2.0 / 3.0));
    return !PointsAreCoincident(a, p) && !PointsAreCoincident(a, q) && !PointsAreCoincident(b, p) &&
           !PointsAreCoincident(b, q);
}

ON_NurbsCurve* ON_Curve::NurbsCurve(ON_NurbsCurve* pNurbsCurve, double tolerance,
                                    const ON_Interval* subdomain) const {
    ON_NurbsCurve* c = pNurbsCurve ? pNurbsCurve : new ON_NurbsCurve();
    if (GetNurbForm(*c, tolerance, subdomain)) return c;
    if (!pNurbsCurve) delete c;
    return nullptr;
}

bool ON_Curve::GetBBox(double* boxmin, double* boxmax, bool bGrowBox) const {
    ON_NurbsCurve c;
    if (!GetNurbForm(c)) return false;
    return c.GetBBox(boxmin, boxmax, bGrowBox);
}

ON_CurveArray::ON_CurveArray(const ON_CurveArray& src) : ON_SimpleArray<ON_Curve*>() {
    *this = src;
}

ON_CurveArray& ON_CurveArray::operator=(const ON_CurveArray& src) {
    if (this == &src) return *this;
    Destroy();
    Reserve(src.Count());
    for (int i = 0; i < src.Count(); i++)
        Append(src[i] ? src[i]->DuplicateCurve() : nullptr);
    return *this;
}

ON_CurveArray& ON_CurveArray::operator=(ON_CurveArray&& src) noexcept {
    if (this != &src) {
        Destroy();
        ON_SimpleArray<ON_Curve*>::operator=(std::move(src));
    }
    return *this;
}

ON_CurveArray::~ON_CurveArray() {
    Destroy();
}

void ON_CurveArray::Destroy() {
    for (int i = 0; i < Count(); i++)
        delete (*this)[i];
    ON_SimpleArray<ON_Curve*>::Destroy();
}
