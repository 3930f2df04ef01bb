#include "opennurbs_internal.h"

bool ON_SurfaceProxy::IsValid() const {
    const ON_Surface* s = ProxySurface();
    return s && s->IsValid();
}

int ON_SurfaceProxy::Dimension() const {
    const ON_Surface* s = ProxySurface();
    return s ? s->Dimension() : 0;
}

ON_Interval ON_SurfaceProxy::Domain(int dir) const {
    const ON_Surface* s = ProxySurface();
    if (!s) return ON_Interval();
    return s->Domain(m_bTransposed ? 1 - (dir ? 1 : 0) : (dir ? 1 : 0));
}

int ON_SurfaceProxy::SpanCount(int dir) const {
    const ON_Surface* s = ProxySurface();
    return s ? s->SpanCount(m_bTransposed ? 1 - (dir ? 1 : 0) : (dir ? 1 : 0)) : 0;
}

bool ON_SurfaceProxy::GetSpanVector(int dir, double* knots) const {
    const ON_Surface* s = ProxySurface();
    return s && s->GetSpanVector(m_bTransposed ? 1 - (dir ? 1 : 0) : (dir ? 1 : 0), knots);
}

int ON_SurfaceProxy::Degree(int dir) const {
    const ON_Surface* s = ProxySurface();
    return s ? s->Degree(m_bTransposed ? 1 - (dir ? 1 : 0) : (dir ? 1 : 0)) : 0;
}

bool ON_SurfaceProxy::Evaluate(double s, double t, int der, int v_stride, double* v, int quadrant,
                               int* hint) const {
    const ON_Surface* srf = ProxySurface();
    if (!srf) return false;
    if (!m_bTransposed) return srf->Evaluate(s, t, der, v_stride, v, quadrant, hint);
    if (!srf->Evaluate(t, s, der, v_stride, v, quadrant, hint)) return false;
    // Swap the partials of each order: (Ds, Dt) -> (Dt, Ds), ...
    const int dim = srf->Dimension();
    std::vector<double> tmp(dim);
    int n = 1;
    for (int total = 1; total <= der; total++) {
        for (int a = 0, b = total; a < b; a++, b--) {
            double* pa = v + (size_t)(n + a) * v_stride;
            double* pb = v + (size_t)(n + b) * v_stride;
            std::memcpy(tmp.data(), pa, sizeof(double) * dim);
            std::memcpy(pa, pb, sizeof(double) * dim);
            std::memcpy(pb, tmp.data(), sizeof(double) * dim);
        }
        n += total + 1;
    }
    return true;
}

bool ON_SurfaceProxy::IsClosed(int dir) const {
    const ON_Surface* s = ProxySurface();
    return s && s->IsClosed(m_bTransposed ? 1 - (dir ? 1 : 0) : (dir ? 1 : 0));
}

bool ON_SurfaceProxy::IsPeriodic(int dir) const {
    const ON_Surface* s = ProxySurface();
    return s && s->IsPeriodic(m_bTransposed ? 1 - (dir ? 1 : 0) : (dir ? 1 : 0));
}

ON_Surface* ON_SurfaceProxy::DuplicateSurface() const {
    const ON_Surface* s = ProxySurface();
    if (!s) return nullptr;
    ON_Surface* d = s->DuplicateSurface();
    if (d && m_bTransposed) d->Transpose();
    return d;
}

int ON_SurfaceProxy::GetNurbForm(ON_NurbsSurface& nurbs, double tolerance) const {
    const ON_Surface* s = ProxySurface();
    if (!s || !s->GetNurbForm(nurbs, tolerance)) return 0;
    if (m_bTransposed && !nurbs.Transpose()) return 0;
    return 1;
}
