#include "opennurbs_internal.h"

#include <algorithm>

bool ON_Polyline::Create(int dim, bool is_rat, int point_count, int stride, const double* points) {
    Empty();
    if (dim < 1 || point_count < 0 || !points || stride < dim + (is_rat ? 1 : 0)) return false;
    Reserve(point_count);
    for (int i = 0; i < point_count; i++) {
        const double* p = points + (size_t)i * stride;
        ON_3dPoint q(p[0], dim > 1 ? p[1] : 0.0, dim > 2 ? p[2] : 0.0);
        if (is_rat) {
            if (p[dim] == 0.0) return false;
            q = q / p[dim];
        }
        Append(q);
    }
    return true;
}

bool ON_Polyline::IsValid(double tolerance) const {
    if (Count() < 2) return false;
    for (int i = 1; i < Count(); i++)
        if ((*this)[i].DistanceTo((*this)[i - 1]) <= tolerance) return false;
    return true;
}

bool ON_Polyline::IsClosed(double tolerance) const {
    if (Count() < 4) return false;
    return (*this)[0].DistanceTo((*this)[Count() - 1]) <= tolerance;
}

double ON_Polyline::Length() const {
    double s = 0.0;
    for (int i = 1; i < Count(); i++)
        s += (*this)[i].DistanceTo((*this)[i - 1]);
    return s;
}

ON_Line ON_Polyline::Segment(int i) const {
    if (i < 0 || i + 1 >= Count()) return ON_Line(ON_3dPoint::UnsetPoint, ON_3dPoint::UnsetPoint);
    return ON_Line((*this)[i], (*this)[i + 1]);
}

ON_3dVector ON_Polyline::SegmentDirection(int i) const {
    if (i < 0 || i + 1 >= Count()) return ON_3dVector::ZeroVector;
    return (*this)[i + 1] - (*this)[i];
}

ON_3dPoint ON_Polyline::PointAt(double t) const {
    const int n = SegmentCount();
    if (n < 1) return Count() == 1 ? (*this)[0] : ON_3dPoint::UnsetPoint;
    int i = (int)std::floor(t);
    if (i < 0) i = 0;
    if (i >= n) i = n - 1;
    return Segment(i).PointAt(t - i);
}

bool ON_Polyline::ClosestPointTo(const ON_3dPoint& p, double* t) const {
    const int n = SegmentCount();
    if (n < 1) return false;
    double best = -1.0, best_t = 0.0;
    for (int i = 0; i < n; i++) {
        const ON_Line s = Segment(i);
        double u = 0.0;
        if (!s.ClosestPointTo(p, &u)) u = 0.0;
        u = std::max(0.0, std::min(1.0, u));
        const double d = p.DistanceTo(s.PointAt(u));
        if (best < 0.0 || d < best) best = d, best_t = i + u;
    }
    if (t) *t = best_t;
    return true;
}

int ON_Polyline::Clean(double tolerance) {
    int removed = 0;
    for (int i = Count() - 1; i > 0; i--) {
        if ((*this)[i].DistanceTo((*this)[i - 1]) <= tolerance && Count() > 2) {
            // Keep the last point of a run so the end stays where it was.
            Remove(i == Count() - 1 ? i - 1 : i);
            removed++;
        }
    }
    return removed;
}
