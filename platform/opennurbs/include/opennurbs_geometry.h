// Base classes of every object and every geometric object.
#pragma once

#include "opennurbs_xform.h"

class ON_Object {
public:
    ON_Object() = default;
    ON_Object(const ON_Object&) = default;
    ON_Object& operator=(const ON_Object&) = default;
    virtual ~ON_Object() = default;
    virtual bool IsValid() const { return true; }
};

class ON_Geometry : public ON_Object {
public:
    virtual int Dimension() const = 0;
    // Box of the object (curves and surfaces: of their control points, which
    // contain them). False when the object is empty.
    virtual bool GetBBox(double* boxmin, double* boxmax, bool bGrowBox = false) const = 0;
    ON_BoundingBox BoundingBox() const;
    // False (and the object unchanged) when it cannot be transformed:
    // proxies transform through their owner, and arcs, plane surfaces,
    // surfaces of revolution and extrusions take only similarities (rigid
    // motions, mirrors, uniform scales); transform their NURBS forms
    // instead. Polycurves and B-reps replace such parts by NURBS forms
    // themselves.
    virtual bool Transform(const ON_Xform& xform) = 0;
    bool Translate(const ON_3dVector& delta) {
        return Transform(ON_Xform::TranslationTransformation(delta));
    }
    bool Scale(double s) { return Transform(ON_Xform::ScaleTransformation(ON_3dPoint::Origin, s)); }
    bool Rotate(double angle, const ON_3dVector& axis, const ON_3dPoint& center) {
        return Transform(ON_Xform::RotationTransformation(angle, axis, center));
    }
};
