// A surface that refers to another one, possibly transposed; it does not
// own it.
#pragma once

#include "opennurbs_nurbssurface.h"

class ON_SurfaceProxy : public ON_Surface {
public:
    ON_SurfaceProxy() = default;
    explicit ON_SurfaceProxy(const ON_Surface* surface) : m_surface(surface) {}

    void SetProxySurface(const ON_Surface* surface) { m_surface = surface; }
    virtual const ON_Surface* ProxySurface() const { return m_surface; }
    bool ProxySurfaceIsTransposed() const { return m_bTransposed; }

    bool IsValid() const override;
    int Dimension() const override;
    ON_Interval Domain(int dir) const override;
    bool SetDomain(int, double, double) override { return false; }
    int SpanCount(int dir) const override;
    bool GetSpanVector(int dir, double* knots) const override;
    int Degree(int dir) const override;
    bool Evaluate(double s, double t, int der_count, int v_stride, double* v, int quadrant = 0,
                  int* hint = nullptr) const override;
    bool IsClosed(int dir) const override;
    bool IsPeriodic(int dir) const override;
    bool Transpose() override {
        m_bTransposed = !m_bTransposed;
        return true;
    }
    bool Transform(const ON_Xform&) override { return false; }
    ON_Surface* DuplicateSurface() const override;
    int GetNurbForm(ON_NurbsSurface& nurbs, double tolerance = 0.0) const override;

    const ON_Surface* m_surface = nullptr;
    bool m_bTransposed = false;
};
