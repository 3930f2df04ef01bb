// Polyline: its vertices in order; closed when the last repeats the first.
#pragma once

#include "opennurbs_line.h"

class ON_Polyline : public ON_3dPointArray {
public:
    ON_Polyline() = default;
    explicit ON_Polyline(const ON_3dPointArray& points) : ON_3dPointArray(points) {}
    bool Create(int dim, bool is_rat, int point_count, int stride, const double* points);

    bool IsValid(double tolerance = 0.0) const;
    int PointCount() const { return Count(); }
    int SegmentCount() const { return Count() > 0 ? Count() - 1 : 0; }
    // At least 4 points and the last within tolerance of the first.
    bool IsClosed(double tolerance = 0.0) const;
    double Length() const;
    ON_Line Segment(int i) const;
    ON_3dVector SegmentDirection(int i) const;
    // t in [0, SegmentCount()]: segment floor(t), fraction t - floor(t).
    ON_3dPoint PointAt(double t) const;
    bool ClosestPointTo(const ON_3dPoint& p, double* t) const;
    // Removes consecutive points closer than tolerance; returns how many.
    int Clean(double tolerance = 0.0);
};
