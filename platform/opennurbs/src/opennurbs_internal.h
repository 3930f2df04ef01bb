// Helpers shared by the object model's sources; not part of the interface.
#pragma once

#include "opennurbs.h"

#include <vector>

namespace on_internal {

// Index s of the span [knot[s+order-2], knot[s+order-1]] that holds t (from
// above, or from below when side < 0), skipping empty spans; t outside the
// domain gives the first or last span.
int FindSpan(int order, int cv_count, const double* knot, double t, int side);

// Values and derivatives up to der of the order basis functions of span s:
// N[d*order + j] is the d-th derivative of the function of CV s + j.
void BasisDerivatives(int order, const double* knot, int s, double t, int der, double* N);

// Point and derivatives of a B-spline of cv_size-double CVs (homogeneous for
// rational curves): out receives (der+1) * cv_size doubles.
void EvaluateHomogeneous(int order, int cv_count, const double* knot, int cv_size, int cv_stride,
                         const double* cv, double t, int der, int side, double* out);

// Euclidean derivatives from homogeneous ones (last coordinate the weight):
// hom has (der+1) rows of dim+1, result (der+1) rows of dim, v_stride apart.
bool RationalToEuclidean(int dim, int der, const double* hom, int v_stride, double* v);

double Binomial(int n, int k);

// Two points equal within a tolerance scaled to their size.
bool PointsAreCoincident(const ON_3dPoint& a, const ON_3dPoint& b);

// Arc's rational form: CVs homogeneous in 3D, knots on the angle domain.
bool ArcNurbForm(const ON_Arc& arc, ON_NurbsCurve& nurbs);

// Tensor product of two curves' forms (weights multiply): S = C0(u) + C1(v)
// + base when bSum, else not used.
bool SumNurbForm(const ON_NurbsCurve& c0, const ON_NurbsCurve& c1, const ON_3dVector& base,
                 ON_NurbsSurface& srf);

// A rigid motion, possibly mirrored, with a uniform scale: the kinds that
// keep circles circles. scale receives the factor.
bool IsSimilarity(const ON_Xform& xform, double* scale = nullptr);

// Rebuilds the CV array with a new stride (dim + is_rat) if it differs.
void Compact(ON_NurbsCurve& c);

// Transforms one CV in place: dim coordinates (at most 3), then the weight
// when rational. False when a non-rational CV would go to infinity.
bool TransformCV(const ON_Xform& xform, double* cv, int dim, bool is_rat);

// Grows an owned onmalloc'd buffer of doubles (capacity 0 with a buffer: memory
// someone else owns, which is refused) to hold at least `wanted`; throws
// std::bad_alloc when the memory is not there.
bool ReserveDoubles(double*& buffer, int& capacity, int wanted);

// Moves the parameters t (first to last the old domain) onto [t0, t1], the
// ends exactly.
bool RemapParameters(ON_SimpleArray<double>& t, double t0, double t1);

// Point, derivative and zero higher derivatives of a straight piece.
void EvaluateStraight(const ON_3dPoint& p, const ON_3dVector& d, int dim, int der_count,
                      int v_stride, double* v);

} // namespace on_internal
