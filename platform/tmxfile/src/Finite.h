// Whether an object read from a file holds only finite numbers where its
// shape is: coordinates, control points, weights, knots, domains, angles,
// transforms. An object that holds a NaN or an infinity there is left out
// whole: nothing downstream can place it, and sending it on would hand a
// non-finite number to the host.
#pragma once

#include "opennurbs.h"

namespace tmxfile {

bool IsFinite(const ON_3dPoint& p);
bool IsFinite(const ON_Curve& curve); // any curve class the reader makes
bool IsFinite(const ON_Surface& surface);
bool IsFinite(const ON_Brep& brep);
bool IsFinite(const ON_Mesh& mesh); // its vertices, single and double precision
bool IsFinite(const ON_Xform& xform);

} // namespace tmxfile
