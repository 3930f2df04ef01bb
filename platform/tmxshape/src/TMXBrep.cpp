#include "TMXBrep.h"

int TMXBrep::GetEdgeCurves(const ON_Brep& brep, ON_ClassArray<ON_NurbsCurve>& curves) {
    int rc = 1;
    curves.Reserve(curves.Count() + brep.m_E.Count());
    for (int i = 0; i < brep.m_E.Count(); i++) {
        const ON_BrepEdge& e = brep.m_E[i];
        // The brep's own curve array first: a reader may fill the edge's
        // indices without linking its proxy.
        const ON_Curve* c3 =
            (e.m_c3i >= 0 && e.m_c3i < brep.m_C3.Count()) ? brep.m_C3[e.m_c3i] : e.EdgeCurveOf();
        ON_NurbsCurve nurbs;
        bool ok = c3 != nullptr;
        if (ok) {
            const ON_Interval whole = c3->Domain();
            const ON_Interval part = e.ProxyCurveDomain();
            const bool sub = part.IsIncreasing() && part != whole;
            ok = c3->GetNurbForm(nurbs, 0.0, sub ? &part : nullptr) != 0;
            if (ok && e.ProxyCurveIsReversed()) ok = nurbs.Reverse();
            const ON_Interval d = e.Domain();
            if (ok && d.IsIncreasing() && d != nurbs.Domain()) ok = nurbs.SetDomain(d[0], d[1]);
        }
        if (!ok) {
            rc = 0;
            continue;
        }
        curves.Append(std::move(nurbs));
    }
    return rc;
}
