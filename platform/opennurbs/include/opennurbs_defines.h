// Constants and small helpers shared by the object model.
#pragma once

#include <cmath>
#include <cstddef>
#include <cstring>

#define ON_PI 3.141592653589793238462643
#define ON_DEGREES_TO_RADIANS (ON_PI / 180.0)
#define ON_RADIANS_TO_DEGREES (180.0 / ON_PI)
#define ON_EPSILON 2.2204460492503131e-16
#define ON_SQRT_EPSILON 1.490116119385000000e-8
#define ON_ZERO_TOLERANCE 2.3283064365386962890625e-10
#define ON_UNSET_VALUE -1.23432101234321e+308
#define ON_UNSET_FLOAT -1.234321e+38f

// True when x is a finite value other than the unset marker.
inline bool ON_IsValid(double x) {
    return std::isfinite(x) && x != ON_UNSET_VALUE && x != -ON_UNSET_VALUE;
}

class ON_Object;
class ON_Geometry;
class ON_Curve;
class ON_NurbsCurve;
class ON_Surface;
class ON_NurbsSurface;
class ON_Brep;
class ON_Mesh;
class ON_Xform;
